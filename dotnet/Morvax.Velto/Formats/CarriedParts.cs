// CarriedParts: writes into a saved package what pictures brought from
// other packages name.  Each relationship the written markup names gets a
// part of its own under the folder of the part it belongs to, where it lay in
// its own package relative to its story ("media/image3.png" beside
// "/word/document.xml" becomes "/word/media/imageN.png"), numbered to be
// unique; the parts a carried part relates to come along, keeping the ids its
// markup names.  An external relationship is added as it was.
using System;
using System.Collections.Generic;
using System.Globalization;
using System.IO;
using System.IO.Packaging;

namespace Morvax.Velto.Formats;

internal static class CarriedParts
{
    public static void Add(Package package, Dictionary<Uri, List<(string Id, CarriedRelationship Carried)>> carried)
    {
        foreach ((Uri uri, List<(string Id, CarriedRelationship Carried)> relationships) in carried)
        {
            if (!package.PartExists(uri))
                continue;
            PackagePart written = package.GetPart(uri);
            string folder = uri.OriginalString[..(uri.OriginalString.LastIndexOf('/') + 1)];
            // Each drawing's chart is a part of its own, with its own
            // workbook: what one relationship brings is made once.
            foreach ((string id, CarriedRelationship relationship) in relationships)
                Relate(package, written, id, relationship, folder, new Dictionary<CarriedPart, Uri>(ReferenceEqualityComparer.Instance));
        }
    }

    private static void Relate(Package package, PackagePart from, string id, CarriedRelationship relationship, string folder,
        Dictionary<CarriedPart, Uri> made)
    {
        if (relationship.Part is not { } part)
        {
            from.CreateRelationship(new Uri(relationship.Target!, UriKind.RelativeOrAbsolute), TargetMode.External,
                relationship.Type, id);
            return;
        }
        if (!made.TryGetValue(part, out Uri? uri))
        {
            // Images are named as word processors name them.
            made[part] = uri = FreeName(package, folder, relationship.IsImage
                ? "media/image" + System.IO.Path.GetExtension(part.Path) : part.Path);
            PackagePart created = package.CreatePart(uri, part.ContentType, CompressionOption.Normal);
            using (Stream stream = created.GetStream(FileMode.Create, FileAccess.Write))
                stream.Write(part.Bytes);
            foreach (CarriedRelationship inner in part.Relationships)
                Relate(package, created, inner.Id, inner, folder, made);
        }
        from.CreateRelationship(PackUriHelper.GetRelativeUri(from.Uri, uri), TargetMode.Internal, relationship.Type, id);
    }

    // "/word/media/image4.png" for "media/image1.png" under "/word/" when
    // image1 to image3 are taken.
    private static Uri FreeName(Package package, string folder, string path)
    {
        int slash = path.LastIndexOf('/');
        string directory = path[..(slash + 1)], file = path[(slash + 1)..];
        int dot = file.LastIndexOf('.');
        string extension = dot > 0 ? file[dot..] : "";
        string stem = (dot > 0 ? file[..dot] : file).TrimEnd('0', '1', '2', '3', '4', '5', '6', '7', '8', '9');
        if (stem.Length == 0)
            stem = "part";
        for (int n = 1; ; n++)
        {
            Uri uri = PackUriHelper.CreatePartUri(new Uri(
                folder + directory + stem + n.ToString(CultureInfo.InvariantCulture) + extension, UriKind.Relative));
            if (!package.PartExists(uri))
                return uri;
        }
    }
}
