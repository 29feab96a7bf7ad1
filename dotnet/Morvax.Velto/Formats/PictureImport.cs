// PictureImport: a picture copied into another document brings what it
// shows.  Its run names relationships of the package it was read from, which
// the target does not have, so the copy's origin takes what they name, read
// now (the target does not depend on the source staying alive): the parts
// (an image, a chart with its embedded workbook and style parts, and
// whatever those relate to in turn) with their bytes, and the targets of
// external ones (a linked image, a click-through link).  The writer adds them
// to the target's package as parts and relationships of its own.  A copy
// made within the document takes them along too, for the case it is moved
// into another story (a picture copied from the body into a header), whose
// part lacks its original's relationships.  A picture whose run names a
// relationship its story part lacks is not carried: its copy has no drawing
// to write.
using System;
using System.Collections.Generic;
using System.IO;
using System.IO.Packaging;
using DocumentFormat.OpenXml;
using DocumentFormat.OpenXml.Packaging;
using Morvax.Velto.Drawing;

namespace Morvax.Velto.Formats;

internal sealed class PictureImport : IDisposable
{
    private readonly Document? source;
    private WordprocessingDocument? package;
    private Package? parts;

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
            else if (o is Shape { Origin: ShapeOrigin { Carried: null } read } && c is Shape { Origin: ShapeOrigin { Carried: null } copied }
                     && ReferenceEquals(o.Document, c.Document))
                c.Origin = import.CarriedWithin(o, read, copied);
            if (o is CompositeNode oc && c is CompositeNode cc)
            {
                Node? from = oc.FirstChild, to = cc.FirstChild;
                for (; from is not null && to is not null; from = from.NextSibling, to = to.NextSibling)
                    pairs.Push((from, to));
            }
        }
    }

    public void Dispose()
    {
        package?.Dispose();
        parts?.Close();
    }

    private ShapeOrigin? CarriedOrigin(Node shape, ShapeOrigin origin)
    {
        if (RawMarkup.ElementOf(origin.Element) is not { } run)
            return null;
        // What it carries names parts of no part of this package.
        if (origin.Carried is not null)
            return origin with { Element = run.CloneNode(true), IsCopy = true, CarriedFrom = null };
        if (source?.PackageSource is not { } from || StoryKey(shape) is not { } story)
            return null;
        return RelationshipsOf(run, from, story) is { } carried
            ? new ShapeOrigin(run.CloneNode(true), origin.Width, origin.Height) { Carried = carried, IsCopy = true }
            : null;
    }

    // What the relationships a run names in its story part name, each once;
    // null when one of them cannot be read.
    private List<CarriedRelationship>? RelationshipsOf(OpenXmlElement run, DocxSource from, string story)
    {
        var carried = new List<CarriedRelationship>();
        foreach ((_, OpenXmlAttribute attribute) in WordMl.RelationshipAttributes(run))
        {
            if (Relationship(from, story, attribute.Value ?? "") is not { } relationship)
                return null;
            if (!carried.Contains(relationship))
                carried.Add(relationship);
        }
        return carried;
    }

    // A copy made within the document names the relationships of the story
    // part its original was read from.  Written into that part it stays as
    // it is; written into another story (a header, a note) it needs what they
    // name there, so it takes them along as a copy from another package does.
    // The copy keeps its origin unchanged when they cannot be read.
    private ShapeOrigin CarriedWithin(Node shape, ShapeOrigin read, ShapeOrigin copied)
    {
        if (RawMarkup.ElementOf(read.Element) is not { } run || source?.PackageSource is not { } from
            || StoryKey(shape) is not { } story || StoryPart(from, story) is not { } part)
            return copied;
        return RelationshipsOf(run, from, story) is { Count: > 0 } carried
            ? copied with { Carried = carried, CarriedFrom = part.Uri }
            : copied;
    }

    // What a relationship of the shape's story part names, or null.
    private CarriedRelationship? Relationship(DocxSource from, string story, string id)
    {
        string key = story + "#" + id;
        if (from.Carried.TryGetValue(key, out CarriedRelationship? known))
            return known;
        CarriedRelationship? carried = null;
        if (StoryPart(from, story) is { } part)
        {
            PackagePart storyPart = Parts(from).GetPart(part.Uri);
            if (storyPart.RelationshipExists(id))
                carried = Carry(storyPart.GetRelationship(id), Folder(part.Uri), new Dictionary<Uri, CarriedPart?>(), 0);
        }
        from.Carried[key] = carried;
        return carried;
    }

    // The relationship with what it names; a part is read once however many
    // relationships of the carried parts name it.  Null when an internal
    // relationship names no part, or parts relate to parts deeper than any
    // drawing's do (a chart, its workbook: a few levels), which a crafted
    // package could make deep enough to exhaust the stack.
    private CarriedRelationship? Carry(PackageRelationship relationship, string storyFolder, Dictionary<Uri, CarriedPart?> read,
        int depth)
    {
        if (depth > MaxDepth)
            return null;
        if (relationship.TargetMode == TargetMode.External)
            return new CarriedRelationship(relationship.Id, relationship.RelationshipType, null, relationship.TargetUri.OriginalString);
        Uri uri;
        try
        {
            uri = PackUriHelper.ResolvePartUri(relationship.SourceUri, relationship.TargetUri);
        }
        catch (ArgumentException)
        {
            return null;  // an internal target that is no part (a place in the document)
        }
        if (read.TryGetValue(uri, out CarriedPart? seen))
            return seen is null ? null : new CarriedRelationship(relationship.Id, relationship.RelationshipType, seen, null);
        if (!parts!.PartExists(uri))
            return null;
        PackagePart target = parts.GetPart(uri);
        byte[] bytes;
        using (Stream stream = target.GetStream(FileMode.Open, FileAccess.Read))
            bytes = PackageLimits.ReadBounded(stream);
        var part = new CarriedPart(PathWithin(uri.OriginalString, storyFolder, relationship.RelationshipType), target.ContentType, bytes);
        read[uri] = part;
        foreach (PackageRelationship inner in target.GetRelationships())
        {
            if (Carry(inner, storyFolder, read, depth + 1) is not { } carried)
            {
                read[uri] = null;
                return null;
            }
            part.Relationships.Add(carried);
        }
        return new CarriedRelationship(relationship.Id, relationship.RelationshipType, part, null);
    }

    private const int MaxDepth = 16;

    // "/word/" for "/word/document.xml".
    private static string Folder(Uri part)
    {
        string name = part.OriginalString;
        return name[..(name.LastIndexOf('/') + 1)];
    }

    // A part's path relative to the story's folder; one outside it is given
    // the folder word processors use for its kind (media for images), or
    // else its own folder's name.
    private static string PathWithin(string name, string storyFolder, string relationshipType)
    {
        if (name.StartsWith(storyFolder, StringComparison.OrdinalIgnoreCase))
            return name[storyFolder.Length..];
        string file = name[(name.LastIndexOf('/') + 1)..];
        if (relationshipType.EndsWith("/image", StringComparison.Ordinal))
            return "media/" + file;
        string folder = name[..System.Math.Max(name.LastIndexOf('/'), 0)];
        string last = folder[(folder.LastIndexOf('/') + 1)..];
        return last.Length == 0 ? file : last + "/" + file;
    }

    private Package Parts(DocxSource from) =>
        parts ??= Package.Open(new MemoryStream(from.Package, writable: false), FileMode.Open, FileAccess.Read);

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
