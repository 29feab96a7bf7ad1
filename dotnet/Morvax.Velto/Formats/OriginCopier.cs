// OriginCopier: what a deep copy of nodes read from a package carries of
// their origins (Node.Origin), so that the copy saves what the original
// would: the unknown attributes and children of its elements, its records
// of revisions and format changes, its pictures.
//
// An origin's element is the writer's starting point and the place where
// settling a revision edits the markup (DocxPropertyRevisions), so original
// and copy never share one: each copied node gets a copy of it.  Elements
// that hold one another keep doing so in the copy (a paragraph read from a
// note part and the note around it, a run adopted into its paragraph's
// element, a section's properties inside the paragraph that ends it), since
// the writer and the settling rely on it: every element the copied origins
// name is collected first, each outermost one is copied once, and the others
// are found at their place in that copy.  What is never edited in place is
// shared: markup not yet made into an element (the copy gets its own
// RawMarkup over the same slice), a section's own properties (settling puts
// an edited copy in the origin instead), the snapshots of formatting, and
// the kept markup of KeptBlock and KeptInline (never edited, see
// DocxRevisions).
//
// A copy within its document also must not take over what names the
// original's place in the package: a bookmark's identifier (the writer gives
// the copy a new one), a header's part (the writer gives a second story
// naming the same part a new one) and a note's place in its part (the copy
// of an unchanged note stands in that place only while the original is
// gone).  A copy of a whole document also copies the roots of the notes and
// comments parts its notes are read from.  Nodes imported into another
// document carry no origin: their markup names the source package's styles,
// numbering and relationships, which the target does not have; only their
// pictures do, with the images they show (PictureImport).
using System;
using System.Collections.Generic;
using DocumentFormat.OpenXml;

namespace Morvax.Velto.Formats;

internal sealed class OriginCopier
{
    // Each original node whose origin names an element, and its copy: its
    // origin is copied once every element is.
    private readonly List<(Node Original, Node Copy)> withElements = new();
    private readonly Dictionary<OpenXmlElement, OpenXmlElement?> elements = new(ReferenceEqualityComparer.Instance);
    private readonly List<OpenXmlElement> noted = new();
    private readonly HashSet<OpenXmlElement> sections = new(ReferenceEqualityComparer.Instance);
    private readonly Dictionary<RawMarkup, RawMarkup> markup = new(ReferenceEqualityComparer.Instance);
    private readonly bool wholeDocument;
    private readonly Func<object, object> copyElement;
    // Stands in a copied list of nodes read that the original no longer
    // holds as read: a document is nobody's child or sibling, so it never
    // matches, and the copy counts as changed as the original does.
    private readonly Node[] noneAsRead;
    private Dictionary<Node, FormatRecord>? records, copiedRecords;
    private HashSet<Node>? fillers, copiedFillers;

    private OriginCopier(Node copy, bool wholeDocument)
    {
        this.wholeDocument = wholeDocument;
        noneAsRead = new Node[] { copy.Document };
        copyElement = element => Copy(element)!;
    }

    /// <summary>Gives a copy made within the original's document the origins and records of the nodes it copies.</summary>
    public static void CarryWithin(Node original, Node copy)
    {
        if (original.Document is not Document doc || !ReferenceEquals(copy.Document, doc)
            || doc.PackageSource is null && doc.FormatRecords is null)
            return;
        new OriginCopier(copy, false).Carry(original, copy, doc, doc);
    }

    /// <summary>Gives a copied document the origins and records of the original's nodes and its own copy of what they share.</summary>
    public static void CarryDocument(Document original, Document copy)
    {
        if (original.PackageSource is null && original.FormatRecords is null)
            return;
        var copier = new OriginCopier(copy, true);
        if (original.PackageSource is { } from && copy.PackageSource is { } to)
        {
            copier.Note(from.FootnotesRoot);
            copier.Note(from.EndnotesRoot);
            copier.Note(from.CommentsRoot);
            foreach (object read in from.StoriesRead)
                copier.Note(read);
        }
        copier.Carry(original, copy, original, copy);
        if (original.PackageSource is { } source && copy.PackageSource is { } copied)
        {
            copied.FootnotesRoot = copier.Copy(source.FootnotesRoot);
            copied.EndnotesRoot = copier.Copy(source.EndnotesRoot);
            copied.CommentsRoot = copier.Copy(source.CommentsRoot);
            var read = new HashSet<object>(ReferenceEqualityComparer.Instance);
            foreach (object story in source.StoriesRead)
                read.Add(copier.Copy(story)!);
            copied.StoriesRead = read;
        }
    }

    private void Carry(Node original, Node copy, Document from, Document to)
    {
        records = from.FormatRecords;
        if (records is not null)
            copiedRecords = to.FormatRecords ??= new(ReferenceEqualityComparer.Instance);
        if (from.PackageSource is { Fillers.Count: > 0 } source && to.PackageSource is { } target)
            (fillers, copiedFillers) = (source.Fillers, target.Fillers);
        Pair(original, copy);
        CopyElements();
        foreach ((Node read, Node made) in withElements)
            made.Origin = CopyOrigin(read, made);
    }

    // The copy was made child by child, so the two trees match node for
    // node; a subtree that does not (a kind of node that adds children of
    // its own) is left without origins.
    private void Pair(Node original, Node copy)
    {
        // Most origins name markup not yet made into an element, copied at once.
        if (original.Origin is { } origin)
        {
            if (NoteElementsOf(origin))
                withElements.Add((original, copy));
            else
                copy.Origin = CopyOrigin(original, copy);
        }
        if (records is not null && records.TryGetValue(original, out FormatRecord? record))
            copiedRecords![copy] = record;
        if (fillers is not null && fillers.Contains(original))
            copiedFillers!.Add(copy);
        if (original is not CompositeNode from || copy is not CompositeNode to)
            return;
        for (Node? read = from.FirstChild, made = to.FirstChild; read is not null && made is not null;
             read = read.NextSibling, made = made.NextSibling)
        {
            if (read.GetType() != made.GetType())
                return;
            Pair(read, made);
        }
    }

    // True when the markup is an element, or made into one.
    private bool Note(object? element)
    {
        switch (element)
        {
            case RawMarkup raw when !RawMarkup.IsUntouched(raw):
                return Note(raw.Element);
            case OpenXmlElement sdk:
                if (elements.TryAdd(sdk, null))
                    noted.Add(sdk);
                return true;
            default:
                return false;
        }
    }

    // True when the origin names an element (the operands are all evaluated).
    private bool NoteElementsOf(object origin)
    {
        switch (origin)
        {
            case ParagraphOrigin p:
                return Note(p.Element);
            case RunOrigin r:
                return !r.IsSlice && Note(r.Element);
            case PlainOrigin p:
                return Note(p.Element);
            case WholeFieldOrigin w:
                return Note(w.Whole) | Note(w.Element);
            case StoryNodeOrigin s:
                return Note(s.Story) | Note(s.Element);
            case RangeOrigin r:
                return Note(r.Element);
            case TableOrigin t:
                return Note(t.Element) | Note(t.Whole);
            case RowOrigin r:
                return Note(r.Element);
            case CellOrigin c:
                return Note(c.Element);
            case BookmarkOrigin b:
                return Note(b.Element);
            case ShapeOrigin s:
                return Note(s.Element);
            case StoryOrigin s:
                return Note(s.Root);
            case SectionOrigin s:
                if (RawMarkup.ElementOf(s.Element) is { } section)
                    sections.Add(section);
                return Note(s.Element);
            case ContentControlOrigin c:
                return Note(c.Element);
            default:
                return false;
        }
    }

    // Each outermost element noted is copied once (a section's properties
    // outside any other are shared); those inside it are looked up in the copy.
    private void CopyElements()
    {
        var inside = new Dictionary<OpenXmlElement, int>(ReferenceEqualityComparer.Instance);
        foreach (OpenXmlElement element in noted)
        {
            OpenXmlElement? outermost = null;
            for (OpenXmlElement? up = element.Parent; up is not null; up = up.Parent)
            {
                if (elements.ContainsKey(up))
                    outermost = up;
            }
            if (outermost is not null)
                inside[outermost] = inside.GetValueOrDefault(outermost) + 1;
        }
        foreach (OpenXmlElement element in noted)
        {
            if (elements[element] is not null || IsInsideNoted(element))
                continue;
            OpenXmlElement copy = sections.Contains(element) ? element : element.CloneNode(true);
            elements[element] = copy;
            if (inside.TryGetValue(element, out int count))
                MapInside(element, copy, count);
        }
    }

    private bool IsInsideNoted(OpenXmlElement element)
    {
        for (OpenXmlElement? up = element.Parent; up is not null; up = up.Parent)
        {
            if (elements.ContainsKey(up))
                return true;
        }
        return false;
    }

    // A deep copy has the original's shape: their descendants pair off in
    // document order.
    private void MapInside(OpenXmlElement original, OpenXmlElement copy, int count)
    {
        using IEnumerator<OpenXmlElement> read = original.Descendants().GetEnumerator();
        using IEnumerator<OpenXmlElement> made = copy.Descendants().GetEnumerator();
        while (count > 0 && read.MoveNext() && made.MoveNext())
        {
            if (read.Current.LocalName != made.Current.LocalName || read.Current.NamespaceUri != made.Current.NamespaceUri)
                return;
            if (elements.TryGetValue(read.Current, out OpenXmlElement? found) && found is null)
            {
                elements[read.Current] = made.Current;
                count--;
            }
        }
    }

    // The copy's own version of an element an origin names.
    private object? Copy(object? element) => element switch
    {
        RawMarkup raw when RawMarkup.IsUntouched(raw) => raw.CopyWith(null),
        RawMarkup raw => CopyOf(raw, Copy(raw.Element)),
        OpenXmlElement sdk => Copy(sdk),
        _ => element,
    };

    private OpenXmlElement Copy(OpenXmlElement element) =>
        elements.GetValueOrDefault(element) ?? (elements[element] = element.CloneNode(true));

    // Markup made into an element is copied once, like the element.
    private RawMarkup CopyOf(RawMarkup raw, OpenXmlElement element)
    {
        if (!markup.TryGetValue(raw, out RawMarkup? copy))
            markup[raw] = copy = raw.CopyWith(element);
        return copy;
    }

    private object CopyElement(object element) => Copy(element)!;

    // The copy's nodes standing for the nodes read, which start at the
    // original's first child (children) or at the original itself (a
    // field's nodes): while the original holds them as read, so does the
    // copy, node for node; once it does not, neither does the copy.
    private Node[] CopyNodes(Node[] read, Node? original, Node? copy)
    {
        var made = new Node[read.Length];
        for (int i = 0; i < read.Length; i++)
        {
            if (original is null || copy is null || !ReferenceEquals(original, read[i]) || copy.GetType() != original.GetType())
                return noneAsRead;
            made[i] = copy;
            (original, copy) = (original.NextSibling, copy.NextSibling);
        }
        return made;
    }

    private Node[] CopyChildren(Node[] read, Node original, Node copy) =>
        CopyNodes(read, ((CompositeNode)original).FirstChild, ((CompositeNode)copy).FirstChild);

    private object? CopyOrigin(Node original, Node copy) => original.Origin switch
    {
        ParagraphOrigin p => p with
        {
            Element = CopyElement(p.Element),
            // The list as read stands for the copy's list when the original
            // is still in it (a copied document has its own lists).
            List = ReferenceEquals(p.List, ((Paragraph)original).ListFormat.List) ? ((Paragraph)copy).ListFormat.List : p.List,
            Children = CopyChildren(p.Children, original, copy),
        },
        RunOrigin r => r.Copy(copyElement),
        PlainOrigin p => new PlainOrigin(CopyElement(p.Element)),
        WholeFieldOrigin w => w with { Element = CopyElement(w.Element), Whole = CopyElement(w.Whole), Nodes = CopyNodes(w.Nodes, original, copy) },
        StoryNodeOrigin s => s with
        {
            Element = CopyElement(s.Element),
            Story = CopyElement(s.Story),
            Children = CopyChildren(s.Children, original, copy),
            Place = wholeDocument ? CopyElement(s.Place) : s.Place,
        },
        RangeOrigin r => r with { Element = CopyElement(r.Element) },
        TableOrigin t => t with
        {
            Element = CopyElement(t.Element),
            Whole = t.Whole is null ? null : (RawMarkup)CopyElement(t.Whole),
            Children = t.Children is null ? null : CopyChildren(t.Children, original, copy),
        },
        RowOrigin r => r with { Element = CopyElement(r.Element), Children = r.Children is null ? null : CopyChildren(r.Children, original, copy) },
        CellOrigin c => c with { Element = CopyElement(c.Element), Children = c.Children is null ? null : CopyChildren(c.Children, original, copy) },
        BookmarkOrigin b => b with { Element = CopyElement(b.Element), Name = wholeDocument ? b.Name : null },
        // A copy within the document stands beside its original: its drawing
        // needs an identifier of its own.
        ShapeOrigin s => s with { Element = CopyElement(s.Element), IsCopy = s.IsCopy || !wholeDocument },
        StoryOrigin s => s with { Root = CopyElement(s.Root) },
        SectionOrigin s => s with { Element = CopyElement(s.Element) },
        ContentControlOrigin c => c with { Element = CopyElement(c.Element), Children = CopyChildren(c.Children, original, copy) },
        _ => null,
    };
}
