// DocxPackageParts: the package's own custom parts, those the package (not
// the main document part) relates to, other than the parts the document
// reads itself. Reading lists them into Document.PackageCustomParts; saving
// makes the package's set match that collection: a part still wanted
// unchanged keeps its relationship, bytes and whatever it relates to as
// read; one no longer wanted loses its relationship and, where nothing else
// points at them, its part and the parts only it used; the others are added
// under their names. The package is rewritten only when something differs.
using System;
using System.Collections.Generic;
using System.IO;
using System.IO.Packaging;
using System.Linq;
using Morvax.Velto.Markup;

namespace Morvax.Velto.Formats;

internal static class DocxPackageParts
{
    // The relationship types (by their endings, which the transitional and
    // strict forms share) of the package parts the document reads itself:
    // the main part, the properties, the thumbnail, the signatures and the
    // task panes.
    private static readonly string[] ReadElsewhere =
    {
        "/officeDocument", "/metadata/core-properties", "/extended-properties", "/custom-properties",
        "/metadata/thumbnail", "/digital-signature/origin", "/webextensiontaskpanes",
    };

    private static readonly Uri PackageRoot = new("/", UriKind.Relative);

    public static CustomPartCollection Read(byte[] data)
    {
        var parts = new CustomPartCollection();
        using Package package = Package.Open(new MemoryStream(data, writable: false), FileMode.Open, FileAccess.Read);
        foreach ((_, CustomPart part) in Listed(package))
            parts.Add(part);
        return parts;
    }

    public static void Write(Document doc, Package package)
    {
        List<CustomPart> added = doc.PackageCustomParts.ToList();
        var stale = new List<(PackageRelationship Relationship, CustomPart Part)>();
        foreach ((PackageRelationship relationship, CustomPart part) in Listed(package))
        {
            int same = added.FindIndex(p => p.SameAs(part));
            if (same >= 0)
                added.RemoveAt(same);
            else
                stale.Add((relationship, part));
        }
        if (stale.Count == 0 && added.Count == 0)
            return;
        foreach (CustomPart part in added)
            Check(part);
        foreach ((PackageRelationship relationship, _) in stale)
            package.DeleteRelationship(relationship.Id);
        foreach ((PackageRelationship relationship, _) in stale)
        {
            if (relationship.TargetMode == TargetMode.Internal)
                DropIfUnreferenced(package, PackUriHelper.ResolvePartUri(PackageRoot, relationship.TargetUri));
        }
        foreach (CustomPart part in added)
            Add(package, part);
    }

    // The package's relationships to custom parts, each with the part it
    // describes; a relationship whose part is missing is left alone.
    private static List<(PackageRelationship, CustomPart)> Listed(Package package)
    {
        var listed = new List<(PackageRelationship, CustomPart)>();
        foreach (PackageRelationship relationship in package.GetRelationships())
        {
            if (ReadElsewhere.Any(ending => relationship.RelationshipType.EndsWith(ending, StringComparison.OrdinalIgnoreCase)))
                continue;
            var part = new CustomPart { RelationshipType = relationship.RelationshipType };
            if (relationship.TargetMode == TargetMode.External)
            {
                part.IsExternal = true;
                part.Name = relationship.TargetUri.OriginalString;
            }
            else
            {
                Uri uri = PackUriHelper.ResolvePartUri(PackageRoot, relationship.TargetUri);
                if (!package.PartExists(uri))
                    continue;
                PackagePart stored = package.GetPart(uri);
                part.Name = uri.OriginalString;
                part.ContentType = stored.ContentType;
                using Stream stream = stored.GetStream(FileMode.Open, FileAccess.Read);
                part.Data = PackageLimits.ReadBounded(stream);
            }
            listed.Add((relationship, part));
        }
        return listed;
    }

    // Refuses, before the package is touched, a part that cannot be written.
    private static void Check(CustomPart part)
    {
        if (part.RelationshipType.Length == 0)
            throw new ArgumentException($"The package custom part '{part.Name}' has no relationship type.");
        if (part.Name.Length == 0)
            throw new ArgumentException("A package custom part has no name" + (part.IsExternal ? " (its target)." : "."));
        if (!part.IsExternal && part.ContentType.Length == 0)
            throw new ArgumentException($"The package custom part '{part.Name}' has no content type.");
    }

    private static void Add(Package package, CustomPart part)
    {
        try
        {
            if (part.IsExternal)
            {
                package.CreateRelationship(new Uri(part.Name, UriKind.RelativeOrAbsolute), TargetMode.External, part.RelationshipType);
                return;
            }
            Uri uri = PackUriHelper.CreatePartUri(new Uri(part.Name, UriKind.Relative));
            if (package.PartExists(uri))
                throw new InvalidOperationException(
                    $"The package custom part '{part.Name}' cannot be written: the package already holds a part of that name.");
            PackagePart made = package.CreatePart(uri, part.ContentType, CompressionOption.Normal);
            using (Stream stream = made.GetStream(FileMode.Create, FileAccess.Write))
                stream.Write(part.Data);
            package.CreateRelationship(uri, TargetMode.Internal, part.RelationshipType);
        }
        catch (Exception e) when (e is ArgumentException or UriFormatException)
        {
            throw new ArgumentException($"The package custom part '{part.Name}' cannot be written: {e.Message}", e);
        }
    }

    // Deletes the part unless a relationship still points at it, then the
    // parts it related to on the same terms.
    private static void DropIfUnreferenced(Package package, Uri uri)
    {
        if (!package.PartExists(uri) || Targets(package).Contains(uri))
            return;
        List<Uri> related = InternalTargets(uri, package.GetPart(uri).GetRelationships()).ToList();
        package.DeletePart(uri);
        foreach (Uri child in related)
            DropIfUnreferenced(package, child);
    }

    private static HashSet<Uri> Targets(Package package)
    {
        var targets = new HashSet<Uri>(InternalTargets(PackageRoot, package.GetRelationships()));
        foreach (PackagePart part in package.GetParts())
        {
            if (!PackUriHelper.IsRelationshipPartUri(part.Uri))
                targets.UnionWith(InternalTargets(part.Uri, part.GetRelationships()));
        }
        return targets;
    }

    private static IEnumerable<Uri> InternalTargets(Uri source, PackageRelationshipCollection relationships) =>
        relationships.Where(r => r.TargetMode == TargetMode.Internal)
            .Select(r => PackUriHelper.ResolvePartUri(source, r.TargetUri));
}
