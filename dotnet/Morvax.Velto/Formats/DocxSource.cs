// DocxSource: what a document loaded from a WordprocessingML package keeps of
// it so that saving loses nothing: the package bytes (every part the tree
// does not model is carried over from them), the style names and ids, the
// document's default character formatting, and what the properties were when
// read.  Each node read from the package has an origin (Node.Origin): the
// element it came from and a snapshot of the node at that time; the writer
// compares the node with its snapshot and changes only what differs.
using System;
using System.Collections.Generic;
using Morvax.Velto.Tables;

namespace Morvax.Velto.Formats;

internal sealed class DocxSource
{
    public DocxSource(byte[] package, StyleNames styles, Font defaultFont)
    {
        Package = package;
        Styles = styles;
        DefaultFont = defaultFont;
    }

    // The styles as read, for formatting that properties restored after
    // loading start from.
    public DocxReader.StyleSheet? Sheet { get; init; }

    public byte[] Package { get; }

    // The main part's root element as read (its namespace declarations and
    // whatever it holds besides the body), so that saving need not parse
    // the main part again.
    public object? MainRoot { get; set; }

    // The main part as read, which markup kept from it slices: its UTF-8
    // bytes or its text.
    public object? MainPart { get; set; }

    // The body's content as read, and the last section properties in it:
    // while every block the body holds is written as the markup it was read
    // as, with nothing between them but white space, the body as a whole is
    // as read (null when the body was not read as a stream).
    public RawMarkup? BodyContent { get; set; }

    public RawMarkup? LastSectionMarkup { get; set; }

    public long MainLength => MainPart switch { string text => text.Length, byte[] bytes => bytes.Length, _ => 0 };

    public StyleNames Styles { get; }

    // What a run without its own formatting looks like in this document.
    public Font DefaultFont { get; }

    // The built-in and custom properties as read, by name.
    public Dictionary<string, object?> BuiltInProperties { get; init; } = new();

    public List<(string Name, object? Value)> CustomProperties { get; init; } = new();

    // Empty paragraphs the loader added where the tree needs one (after a
    // closing table, say) but the package had none: not written back while
    // they stay empty.
    public HashSet<Node> Fillers { get; } = new(ReferenceEqualityComparer.Instance);

    // The roots of the footnotes, endnotes and comments parts as read, and
    // which of their notes and comments became nodes: one that did not (its
    // reference sits in markup the tree keeps whole) is written back as read.
    public object? FootnotesRoot { get; set; }

    public object? EndnotesRoot { get; set; }

    public object? CommentsRoot { get; set; }

    public HashSet<object> StoriesRead { get; set; } = new(ReferenceEqualityComparer.Instance);

    // What pictures copied from this document brought of its package, by
    // story and relationship (null: the relationship cannot be carried), so
    // that each part is read from the package once.
    public Dictionary<string, CarriedRelationship?> Carried { get; } = new(StringComparer.Ordinal);

    // The reference type ("default", "first", "even") of a header or footer.
    private static readonly (HeaderFooterType Type, string Kind, bool Header)[] HeaderFooterKinds =
    {
        (HeaderFooterType.HeaderPrimary, "default", true), (HeaderFooterType.HeaderFirst, "first", true),
        (HeaderFooterType.HeaderEven, "even", true), (HeaderFooterType.FooterPrimary, "default", false),
        (HeaderFooterType.FooterFirst, "first", false), (HeaderFooterType.FooterEven, "even", false),
    };

    public static HeaderFooterType HeaderFooterTypeOf(string? kind, bool header)
    {
        foreach ((HeaderFooterType type, string name, bool isHeader) in HeaderFooterKinds)
        {
            if (isHeader == header && name == (kind ?? "default"))
                return type;
        }
        return header ? HeaderFooterType.HeaderPrimary : HeaderFooterType.FooterPrimary;
    }

    public static string KindOf(HeaderFooterType type) =>
        Array.Find(HeaderFooterKinds, entry => entry.Type == type).Kind;

    // A copied document keeps the parts; the origins of its nodes and the
    // roots of the notes and comments parts become its own copies once its
    // nodes are made (OriginCopier).
    public DocxSource ForCopy() => new(Package, Styles, DefaultFont)
    {
        Sheet = Sheet,
        MainRoot = MainRoot,
        MainPart = MainPart,
        BodyContent = BodyContent,
        LastSectionMarkup = LastSectionMarkup,
        FootnotesRoot = FootnotesRoot,
        EndnotesRoot = EndnotesRoot,
        CommentsRoot = CommentsRoot,
        StoriesRead = StoriesRead,
        BuiltInProperties = BuiltInProperties,
        CustomProperties = CustomProperties,
    };
}

// Style ids and the names the tree uses for them.
internal sealed class StyleNames
{
    private readonly Dictionary<string, string> namesById = new(StringComparer.Ordinal);
    private readonly Dictionary<string, string> idsByName = new(StringComparer.Ordinal);

    public string DefaultStyleName { get; private set; } = ParagraphFormat.DefaultStyleName;

    public string? DefaultStyleId { get; private set; }

    public void Add(string id, string name, bool isDefault)
    {
        namesById[id] = name;
        idsByName.TryAdd(name, id);
        if (isDefault)
        {
            DefaultStyleName = name;
            DefaultStyleId = id;
        }
    }

    public string NameOf(string id) => namesById.TryGetValue(id, out string? name) ? name : id;

    // The tree's default name stands for the document's default paragraph
    // style when no style has that name.
    public string? IdOf(string name) =>
        idsByName.TryGetValue(name, out string? id) ? id
        : name == ParagraphFormat.DefaultStyleName ? DefaultStyleId
        : null;

    public bool IsIdTaken(string id) => namesById.ContainsKey(id);
}

// The snapshots: what a node was when read.
// Children: the nodes read from the paragraph, in order; the paragraph is
// written as read only while it holds exactly these, each unchanged.
internal sealed record ParagraphOrigin(object Element, ParagraphFormat Format, int ListLevel, Lists.List? List, Node[] Children);

// A footnote, endnote or comment: the run that referred to it (Element), its
// own element in its part, and what it was: identifier, children and, for a
// comment, author, initials and date.
// Place: the element of its part that the note stands for there, written
// in its place while the note is unchanged: its own element, but for a copy
// made within the document the original's (Story is then a copy of it).
internal sealed record StoryNodeOrigin(object Element, object Story, string Id, Node[] Children, string Author = "",
    string Initial = "", DateTime DateTime = default)
{
    private readonly object? place;

    public object Place
    {
        get => place ?? Story;
        init => place = value;
    }
}

// The start of a field read from one element (a simple field, a link):
// Element is the start's own run, Whole the element, Nodes every node read
// from it; while those stay unchanged the element is written whole.
internal sealed record WholeFieldOrigin(object Element, object Whole, Node[] Nodes);

// A comment range's start or end with its comment's identifier.
internal sealed record RangeOrigin(object Element, int Id);

// A run and the font and text it was read with.  A run read as a stream
// keeps where its markup lies in the part, made into markup only when asked
// for (when its paragraph changed): most runs never are.
internal sealed class RunOrigin
{
    private object? element;
    private readonly byte[]? part;
    private readonly NamespaceScope? scope;
    private readonly int start, length;

    public RunOrigin(object element, Font font, string text)
    {
        this.element = element;
        Font = font;
        Text = text;
    }

    public RunOrigin(byte[] part, int start, int length, NamespaceScope scope, Font font, string text)
    {
        this.part = part;
        this.start = start;
        this.length = length;
        this.scope = scope;
        Font = font;
        Text = text;
    }

    public object Element => element ??= new RawMarkup(part!, start, length, scope!, MarkupParent.Paragraph);

    // The same run for a copied node: a slice stays a slice of the same
    // bytes; an element is replaced by the copy's own.
    public RunOrigin Copy(Func<object, object> copyElement) => IsSlice
        ? new RunOrigin(part!, start, length, scope!, Font, Text)
        : new RunOrigin(copyElement(Element), Font, Text);

    // True while the run is still where its markup lies in the part.
    public bool IsSlice => element is null && part is not null;

    // False when the run's markup surely holds no format change record.
    public bool MayHoldChange => !IsSlice || part.AsSpan(start, length).IndexOf("Change"u8) >= 0;

    public Font Font { get; }

    public string Text { get; }
}

// Whole and Children: a table, row or cell read as a stream keeps its whole
// markup and the nodes read from it, so that one unchanged throughout is
// written back as that markup (Element then holds only its start tag and
// properties).
internal sealed record TableOrigin(object Element, TableAlignment Alignment, RawMarkup? Whole = null, Node[]? Children = null);

internal sealed record PlainOrigin(object Element);

internal sealed record RowOrigin(object Element, Tables.RowFormat Format, Node[]? Children = null);

internal sealed record CellOrigin(object Element, Tables.CellFormat Format, Node[]? Children = null);

// Name: the name read, which the element's identifier goes with; null for a
// copy within the document, whose element keeps only its other attributes.
internal sealed record BookmarkOrigin(object Element, string? Name);

// A picture's run, with the size it had.  Carried: for a picture brought
// from another package, the relationships its run names there with what they
// name, which the writer adds to the part it writes the run into.  IsCopy:
// the run is a copy of another picture's (within the document or from
// another), so its drawing's identifier is not its own and the writer gives
// it a new one.
internal sealed record ShapeOrigin(object Element, double Width, double Height)
{
    public IReadOnlyList<CarriedRelationship>? Carried { get; init; }

    // For a copy made within the document: the story part Carried was read
    // from, into which the run is written as it is.
    public Uri? CarriedFrom { get; init; }

    public bool IsCopy { get; init; }
}

// A relationship of another package, by its id and type there, with what it
// names: a part of that package (Part) or an external target (Target).
internal sealed record CarriedRelationship(string Id, string Type, CarriedPart? Part, string? Target)
{
    public bool IsImage => Part is not null && Type.EndsWith("/image", StringComparison.Ordinal);
}

// A part of another package, read whole: Path is where it lay relative to the
// folder of the story part the picture was read from ("media/image1.png",
// "charts/chart1.xml"), which the copy keeps relative to the part it is
// written into; its own relationships keep their ids, which its markup names.
internal sealed class CarriedPart
{
    public CarriedPart(string path, string contentType, byte[] bytes)
    {
        Path = path;
        ContentType = contentType;
        Bytes = bytes;
    }

    public string Path { get; }

    public string ContentType { get; }

    public byte[] Bytes { get; }

    public List<CarriedRelationship> Relationships { get; } = new();
}

// A header or footer: the root of its part and the relationship that names it.
internal sealed record StoryOrigin(object Root, string RelationshipId);

// StoryIds: the relationships of the headers and footers read for it.
internal sealed record SectionOrigin(object Element, SectionStart Start, PageSetup PageSetup, string[] StoryIds);
