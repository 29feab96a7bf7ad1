// PictureImport: a picture copied into another document brings its image.
// Its run names image parts of the package it was read from, which the
// target does not have, so the copy's origin takes the bytes of those parts,
// read now (the target does not depend on the source staying alive), and the
// writer adds them to the target's package as parts of its own.  A picture
// whose run names anything else of its package (a chart, a link) is not
// carried: its copy has no drawing to write.
using System;
using System.Collections.Generic;
using System.IO;
using DocumentFormat.OpenXml;
using DocumentFormat.OpenXml.Packaging;
using Morvax.Velto.Drawing;

namespace Morvax.Velto.Formats;

internal sealed class PictureImport : IDisposable
{
    private readonly Document? source;
    private WordprocessingDocument? package;

    private PictureImport(Document? source)
    {
        this.source = source;
    }

    /// <summary>Gives the pictures of a copy that have no origin (one made in another document, or in one not loaded from a package) the images of the originals.</summary>
    public static void Carry(Node original, Node copy)
    {
        if (copy is not ShapeBase && copy is not CompositeNode)
            return;
        using var import = new PictureImport(original.Document as Document);
        var pairs = new Stack<(Node Original, Node Copy)>();
        pairs.Push((original, copy));
        while (pairs.Count > 0)
        {
            (Node o, Node c) = pairs.Pop();
            if (o is Shape { Origin: ShapeOrigin origin } && c is Shape { Origin: null })
                c.Origin = import.CarriedOrigin(o, origin);
            if (o is CompositeNode oc && c is CompositeNode cc)
            {
                Node? from = oc.FirstChild, to = cc.FirstChild;
                for (; from is not null && to is not null; from = from.NextSibling, to = to.NextSibling)
                    pairs.Push((from, to));
            }
        }
    }

    public void Dispose() => package?.Dispose();

    private ShapeOrigin? CarriedOrigin(Node shape, ShapeOrigin origin)
    {
        if (RawMarkup.ElementOf(origin.Element) is not { } run)
            return null;
        if (origin.Carried is not null)
            return origin with { Element = run.CloneNode(true) };
        if (source?.PackageSource is not { } from || StoryKey(shape) is not { } story)
            return null;
        var carried = new List<CarriedImage>();
        foreach (OpenXmlElement element in run.Descendants())
        {
            foreach (OpenXmlAttribute attribute in element.GetAttributes())
            {
                if (attribute.NamespaceUri != WordMl.R)
                    continue;
                if (Image(from, story, attribute.Value ?? "") is not { } image)
                    return null;
                if (!carried.Contains(image))
                    carried.Add(image);
            }
        }
        return new ShapeOrigin(run.CloneNode(true), origin.Width, origin.Height) { Carried = carried };
    }

    // The image part a relationship of the shape's story part names, or null.
    private CarriedImage? Image(DocxSource from, string story, string id)
    {
        string key = story + "#" + id;
        if (from.CarriedImages.TryGetValue(key, out CarriedImage? known))
            return known;
        CarriedImage? image = null;
        if (StoryPart(from, story) is { } part && part.TryGetPartById(id, out OpenXmlPart? target) && target is ImagePart)
        {
            using Stream stream = target.GetStream(FileMode.Open, FileAccess.Read);
            image = new CarriedImage(id, PackageLimits.ReadBounded(stream), target.ContentType);
        }
        from.CarriedImages[key] = image;
        return image;
    }

    // Names the story the shape was read from: "main", "footnotes",
    // "endnotes", "comments", or "story:" and a header's or footer's
    // relationship id; null for a header or footer not read from the package.
    private static string? StoryKey(Node shape)
    {
        for (Node? node = shape.ParentNode; node is not null; node = node.ParentNode)
        {
            switch (node)
            {
                case HeaderFooter header:
                    return header.Origin is StoryOrigin { RelationshipId: var id } ? StoryPrefix + id : null;
                case Notes.Footnote note:
                    return note.FootnoteType == Notes.FootnoteType.Endnote ? "endnotes" : "footnotes";
                case Comment:
                    return "comments";
            }
        }
        return "main";
    }

    private const string StoryPrefix = "story:";

    // The part of the source package that a story (StoryKey) was read from.
    private OpenXmlPart? StoryPart(DocxSource from, string story)
    {
        package ??= WordprocessingDocument.Open(new MemoryStream(from.Package, writable: false), false, DocxReader.OpenSettings);
        if (package.MainDocumentPart is not { } main)
            return null;
        return story switch
        {
            "main" => main,
            "footnotes" => main.FootnotesPart,
            "endnotes" => main.EndnotesPart,
            "comments" => main.WordprocessingCommentsPart,
            _ => main.TryGetPartById(story[StoryPrefix.Length..], out OpenXmlPart? part) ? part : null,
        };
    }
}
