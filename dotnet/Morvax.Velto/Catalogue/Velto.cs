// Morvax.Velto: the top-level catalogue types that carry no tree logic:
// options, formatting values, document parts reached from a document, callback
// interfaces.
using System;
using System.Collections;
using System.Collections.Generic;
using System.Linq;
using Morvax.Velto.Loading;

namespace Morvax.Velto;

// A bookmark: the named span between a BookmarkStart and the BookmarkEnd of
// the same name.
public sealed class Bookmark
{
    private readonly BookmarkStart start;

    internal Bookmark(BookmarkStart start)
    {
        this.start = start;
    }

    public BookmarkStart BookmarkStart => start;

    /// <summary>The end mark of the same name in the same document, or null when it has none.</summary>
    public BookmarkEnd? BookmarkEnd => EndOf(start);

    /// <summary>The name; renaming a bookmark renames its end mark too.</summary>
    public string Name
    {
        get => start.Name;
        set
        {
            ArgumentNullException.ThrowIfNull(value);
            BookmarkEnd? end = EndOf(start);
            start.Name = value;
            if (end is not null)
                end.Name = value;
        }
    }

    /// <summary>
    /// The text between the bookmark's start and end (a paragraph end as a carriage return).
    /// Setting it replaces what lies between them with one run of the text, formatted as the
    /// first run there; the two marks must then be in the same paragraph.
    /// </summary>
    public string Text
    {
        get
        {
            var text = new System.Text.StringBuilder();
            Node? paragraph = start.ParentNode;
            foreach (Node node in Between())
            {
                if (node is CompositeNode)
                    continue;
                if (!ReferenceEquals(node.ParentNode, paragraph) && node.ParentNode is Paragraph entered)
                {
                    text.Append(ControlChar.ParagraphBreakChar);
                    paragraph = entered;
                }
                text.Append(node.GetText());
            }
            return text.ToString();
        }
        set
        {
            ArgumentNullException.ThrowIfNull(value);
            BookmarkEnd end = EndOf(start)
                ?? throw new InvalidOperationException($"The bookmark '{start.Name}' has no end, so it holds no text to replace.");
            if (!ReferenceEquals(end.ParentNode, start.ParentNode) || start.ParentNode is not Paragraph paragraph
                || paragraph.IndexOf(end) < paragraph.IndexOf(start))
                throw new NotSupportedException(
                    "Bookmark.Text can only be set on a bookmark whose start and end are in one paragraph, start first.");
            if (value.IndexOfAny(new[] { ControlChar.ParagraphBreakChar, ControlChar.LineFeedChar }) >= 0)
                throw new ArgumentException("The text of a bookmark cannot hold a paragraph end.", nameof(value));
            // Both marks are children of the paragraph: what lies between them is the
            // siblings from the start to the end.
            var between = new List<Node>();
            for (Node? node = start.NextSibling; node is not null && !ReferenceEquals(node, end); node = node.NextSibling)
                between.Add(node);
            var run = new Run(paragraph.Document, value);
            if (between.OfType<Run>().FirstOrDefault() is { } first)
                run.Font.CopyFrom(first.Font);
            foreach (Node node in between)
                node.Remove();
            if (value.Length != 0)
                paragraph.InsertBefore(run, end);
        }
    }

    // The nodes after the start and before the end, in document order.
    private IEnumerable<Node> Between()
    {
        BookmarkEnd? end = EndOf(start);
        if (end is null)
            yield break;
        Node root = start;
        while (root.ParentNode is { } parent)
            root = parent;
        bool inside = false;
        foreach (Node node in ((CompositeNode)root).Matching(NodeType.Any, true))
        {
            if (ReferenceEquals(node, end))
                yield break;
            if (inside)
                yield return node;
            else if (ReferenceEquals(node, start))
                inside = true;
        }
    }

    /// <summary>Removes the bookmark's marks; the text between them stays.</summary>
    public void Remove()
    {
        EndOf(start)?.Remove();
        start.Remove();
    }

    private static BookmarkEnd? EndOf(BookmarkStart start)
    {
        if (start.ParentNode is null)
            return null;
        Node root = start;
        while (root.ParentNode is { } parent)
            root = parent;
        return root is CompositeNode tree
            ? tree.Matching(NodeType.BookmarkEnd, true).Cast<BookmarkEnd>().FirstOrDefault(e => e.Name == start.Name)
            : null;
    }
}

// The bookmarks below a node, found afresh in the node tree on every use.
public sealed class BookmarkCollection : IEnumerable<Bookmark>
{
    private readonly NodeView<Bookmark> view;

    internal BookmarkCollection(Node root)
    {
        view = new NodeView<Bookmark>(root, NodeType.BookmarkStart, node => new Bookmark((BookmarkStart)node));
    }

    public int Count => view.Count;

    public Bookmark this[int index] => view[index];

    /// <summary>The bookmark of that name (case-insensitive), or null.</summary>
    public Bookmark? this[string bookmarkName] =>
        view.Items().FirstOrDefault(b => string.Equals(b.Name, bookmarkName, StringComparison.OrdinalIgnoreCase));

    public void Remove(Bookmark bookmark)
    {
        ArgumentNullException.ThrowIfNull(bookmark);
        bookmark.Remove();
    }

    public void Remove(string bookmarkName) =>
        (this[bookmarkName] ?? throw new ArgumentException($"There is no bookmark named '{bookmarkName}'.", nameof(bookmarkName))).Remove();

    public void RemoveAt(int index) => this[index].Remove();

    public void Clear()
    {
        foreach (Bookmark bookmark in view.Items().ToList())
            bookmark.Remove();
    }

    public IEnumerator<Bookmark> GetEnumerator() => view.GetEnumerator();

    IEnumerator IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class Border : InternableComplexAttr
{
    // The format's limits: lines from a quarter point to twelve points wide, at most 31 points from the text.
    internal const double MinLineWidth = 0.25, MaxLineWidth = 12, MaxDistance = 31;

    private LineStyle lineStyle = LineStyle.None;
    private double lineWidth = 0.5;
    private double distanceFromText;

    internal Border()
    {
    }

    public LineStyle LineStyle
    {
        get => lineStyle;
        set => lineStyle = EnumCheck.Defined(value);
    }

    /// <summary>The line's width in points (0.25 to 12).</summary>
    public double LineWidth
    {
        get => lineWidth;
        set => lineWidth = value is >= MinLineWidth and <= MaxLineWidth ? value
            : throw new ArgumentOutOfRangeException(nameof(value), value, $"A border is {MinLineWidth} to {MaxLineWidth} points wide.");
    }

    /// <summary>The space between the line and the text it borders, in points (0 to 31).</summary>
    public double DistanceFromText
    {
        get => distanceFromText;
        set => distanceFromText = value is >= 0 and <= MaxDistance ? value
            : throw new ArgumentOutOfRangeException(nameof(value), value, $"A border is 0 to {MaxDistance} points from the text.");
    }

    public bool Shadow { get; set; }

    /// <summary>The border's colour; the empty colour for the automatic one.</summary>
    public System.Drawing.Color Color { get; set; }

    /// <summary>Whether the border shows a line.</summary>
    public bool IsVisible => lineStyle != LineStyle.None;

    /// <summary>Takes every attribute of the other border.</summary>
    public void CopyFrom(Border other) =>
        (lineStyle, lineWidth, distanceFromText, Shadow, Color) =
        (other.lineStyle, other.lineWidth, other.distanceFromText, other.Shadow, other.Color);

    /// <summary>Back to no line.</summary>
    public void ClearFormatting() => CopyFrom(new Border());

    // What the border looks like, for comparing borders (colours by value).
    internal BorderValues Values => new(lineStyle, lineWidth, distanceFromText, Shadow, ColorValue.Of(Color));

    // The values of a border that has never been asked for: no line.
    internal static readonly BorderValues NoneValues = new Border().Values;
}

// These values are compared for every run and paragraph a document reads
// (formats alike share one snapshot), so each compares its fields itself:
// the compiler's record equality goes through a generic comparer per field,
// which is not precompiled for these types and runs unoptimized code for the
// first loads of a process.  Doubles compare as the record's would (NaN
// equal to itself).
internal readonly record struct BorderValues(LineStyle Style, double Width, double Distance, bool Shadow, ColorValue Color)
{
    public bool Equals(BorderValues other) =>
        Style == other.Style && Width.Equals(other.Width) && Distance.Equals(other.Distance) && Shadow == other.Shadow
        && Color.Equals(other.Color);

    public override int GetHashCode() => System.HashCode.Combine(Style, Width, Distance, Shadow, Color);
}

// What the six borders of a collection look like, in its order.
internal readonly record struct BorderSetValues(BorderValues Left, BorderValues Right, BorderValues Top, BorderValues Bottom,
    BorderValues Horizontal, BorderValues Vertical)
{
    public bool Equals(BorderSetValues other) =>
        Left.Equals(other.Left) && Right.Equals(other.Right) && Top.Equals(other.Top) && Bottom.Equals(other.Bottom)
        && Horizontal.Equals(other.Horizontal) && Vertical.Equals(other.Vertical);

    public override int GetHashCode() => System.HashCode.Combine(Left, Right, Top, Bottom, Horizontal, Vertical);
}

// What a shading looks like: its texture and its two colours.
internal readonly record struct ShadingValues(TextureIndex Texture, ColorValue Background, ColorValue Foreground)
{
    public bool Equals(ShadingValues other) =>
        Texture == other.Texture && Background.Equals(other.Background) && Foreground.Equals(other.Foreground);

    public override int GetHashCode() => System.HashCode.Combine(Texture, Background, Foreground);
}

// A colour compared by what it shows: two colours are equal when both are
// empty or both have the same ARGB, however they were made.
internal readonly record struct ColorValue(bool Empty, int Argb)
{
    public static ColorValue Of(System.Drawing.Color color) => new(color.IsEmpty, color.IsEmpty ? 0 : color.ToArgb());

    public bool Equals(ColorValue other) => Empty == other.Empty && Argb == other.Argb;

    public override int GetHashCode() => System.HashCode.Combine(Empty, Argb);
}

// The six borders of a paragraph or cell, one per side and inside line.
public sealed class BorderCollection : IEnumerable<Border>
{
    private readonly Border[] borders = { new(), new(), new(), new(), new(), new() };

    internal BorderCollection()
    {
    }

    public int Count => borders.Length;

    public Border this[int index] => borders[index];

    /// <summary>Not offered: BorderType names a line style here, not a side; use left, right, top, bottom, horizontal or vertical.</summary>
    public Border this[BorderType borderType] =>
        throw new NotSupportedException("BorderCollection[BorderType] is not supported: use the side properties.");

    public Border Left => borders[0];

    public Border Right => borders[1];

    public Border Top => borders[2];

    public Border Bottom => borders[3];

    public Border Horizontal => borders[4];

    public Border Vertical => borders[5];

    /// <summary>The one line style of all six borders; setting it sets each.</summary>
    public LineStyle LineStyle
    {
        get => borders[0].LineStyle;
        set
        {
            EnumCheck.Defined(value);
            foreach (Border border in borders)
                border.LineStyle = value;
        }
    }

    /// <summary>Takes out every border.</summary>
    public void ClearFormatting()
    {
        foreach (Border border in borders)
            border.ClearFormatting();
    }

    internal void CopyFrom(BorderCollection other)
    {
        for (int i = 0; i < borders.Length; i++)
            borders[i].CopyFrom(other.borders[i]);
    }

    internal BorderSetValues Values =>
        new(borders[0].Values, borders[1].Values, borders[2].Values, borders[3].Values, borders[4].Values, borders[5].Values);

    // The values of a collection that has never been asked for: six borders without lines.
    internal static readonly BorderSetValues NoneValues =
        new BorderCollection().Values;

    public IEnumerator<Border> GetEnumerator() => ((IEnumerable<Border>)borders).GetEnumerator();

    IEnumerator IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class CleanupOptions
{
    public CleanupOptions()
    {
    }

    public bool UnusedStyles { get; set; } = true;

    public bool UnusedLists { get; set; } = true;

    public bool DuplicateStyle { get; set; }

    public bool UnusedBuiltinStyles { get; set; }
}

public sealed class ComHelper
{
    public ComHelper()
    {
    }
}

public sealed class ConditionalStyle
{
    internal ConditionalStyle(ConditionalStyleType type)
    {
        Type = type;
    }

    public ConditionalStyleType Type { get; internal set; }
}

// The twelve conditional formats of a table style, in the order of ConditionalStyleType.
public sealed class ConditionalStyleCollection : IEnumerable<ConditionalStyle>
{
    private readonly ConditionalStyle[] styles =
        Enum.GetValues<ConditionalStyleType>().Select(type => new ConditionalStyle(type)).ToArray();

    internal ConditionalStyleCollection()
    {
    }

    public int Count => styles.Length;

    public ConditionalStyle this[int index] => styles[index];

    public ConditionalStyle this[ConditionalStyleType conditionalStyle] =>
        styles.First(s => s.Type == EnumCheck.Defined(conditionalStyle));

    public ConditionalStyle FirstRow => this[ConditionalStyleType.FirstRow];

    public ConditionalStyle LastRow => this[ConditionalStyleType.LastRow];

    public ConditionalStyle FirstColumn => this[ConditionalStyleType.FirstColumn];

    public ConditionalStyle LastColumn => this[ConditionalStyleType.LastColumn];

    public ConditionalStyle OddRowBanding => this[ConditionalStyleType.OddRowBanding];

    public ConditionalStyle EvenRowBanding => this[ConditionalStyleType.EvenRowBanding];

    public ConditionalStyle OddColumnBanding => this[ConditionalStyleType.OddColumnBanding];

    public ConditionalStyle EvenColumnBanding => this[ConditionalStyleType.EvenColumnBanding];

    public ConditionalStyle TopLeftCell => this[ConditionalStyleType.TopLeftCell];

    public ConditionalStyle TopRightCell => this[ConditionalStyleType.TopRightCell];

    public ConditionalStyle BottomLeftCell => this[ConditionalStyleType.BottomLeftCell];

    public ConditionalStyle BottomRightCell => this[ConditionalStyleType.BottomRightCell];

    public IEnumerator<ConditionalStyle> GetEnumerator() => ((IEnumerable<ConditionalStyle>)styles).GetEnumerator();

    IEnumerator IEnumerable.GetEnumerator() => GetEnumerator();
}

// Derive from this to walk a document; each Visit method says whether to go
// on.
public abstract class DocumentVisitor
{
    protected DocumentVisitor()
    {
    }

    public virtual VisitorAction VisitDocumentStart(Document doc) => VisitorAction.Continue;

    public virtual VisitorAction VisitDocumentEnd(Document doc) => VisitorAction.Continue;

    public virtual VisitorAction VisitSectionStart(Section section) => VisitorAction.Continue;

    public virtual VisitorAction VisitSectionEnd(Section section) => VisitorAction.Continue;

    public virtual VisitorAction VisitBodyStart(Body body) => VisitorAction.Continue;

    public virtual VisitorAction VisitBodyEnd(Body body) => VisitorAction.Continue;

    public virtual VisitorAction VisitParagraphStart(Paragraph paragraph) => VisitorAction.Continue;

    public virtual VisitorAction VisitParagraphEnd(Paragraph paragraph) => VisitorAction.Continue;

    public virtual VisitorAction VisitRun(Run run) => VisitorAction.Continue;
}

public sealed class EditableRange
{
    private EditorType editorGroup = EditorType.Unspecified;

    internal EditableRange()
    {
    }

    public int Id { get; internal set; }

    public EditorType EditorGroup
    {
        get => editorGroup;
        set => editorGroup = EnumCheck.Defined(value);
    }
}

public sealed class FileFormatInfo
{
    internal FileFormatInfo()
    {
    }

    public LoadFormat LoadFormat { get; internal set; } = LoadFormat.Unknown;

    public bool IsEncrypted { get; internal set; }

    public bool HasMacros { get; internal set; }
}

public sealed class FrameFormat
{
    internal FrameFormat()
    {
    }

    public bool IsFrame { get; internal set; }
}

// The hyphenation dictionaries registered for the process.
public static class Hyphenation
{
    /// <summary>Asked for the dictionary of a language that hyphenation needs and has not got; <see langword="null"/> asks no one.</summary>
    public static IHyphenationCallback? Callback { get; set; }

    /// <summary>Told of what goes wrong while hyphenation dictionaries are read; <see langword="null"/> tells no one.</summary>
    public static IWarningCallback? WarningCallback { get; set; }
}

public interface IDocumentConverterPlugin
{
}

public interface IDocumentMergerPlugin
{
}

public interface IDocumentProcessorPlugin
{
}

public interface IDocumentReaderPlugin
{
    void Read(string fileName, LoadOptions loadOptions, Document document);
}

public interface IHyphenationCallback
{
    void RequestDictionary(string language);
}

public sealed class ImageWatermarkOptions
{
    public ImageWatermarkOptions()
    {
    }

    public bool IsWashout { get; set; } = true;
}

public sealed class ImportFormatOptions
{
    public ImportFormatOptions()
    {
    }

    public bool SmartStyleBehavior { get; set; }

    public bool KeepSourceNumbering { get; set; }

    public bool IgnoreTextBoxes { get; set; } = true;

    public bool IgnoreHeaderFooter { get; set; } = true;

    public bool MergePastedLists { get; set; }

    public bool ForceCopyStyles { get; set; }
}

public interface INodeChangingCallback
{
    void NodeInserting(NodeChangingArgs args);

    void NodeInserted(NodeChangingArgs args);

    void NodeRemoving(NodeChangingArgs args);

    void NodeRemoved(NodeChangingArgs args);
}

// The base of formatting values that many nodes share (borders, shading, tab
// stops).
public abstract class InternableComplexAttr
{
    private protected InternableComplexAttr()
    {
    }
}

public interface IRevisionCriteria
{
    bool IsMatch(Revision revision);
}

public interface IWarningCallback
{
    void Warning(WarningInfo info);
}

public sealed class NodeChangingArgs
{
    internal NodeChangingArgs(Node node, Node? oldParent, Node? newParent, NodeChangingAction action)
    {
        Node = node;
        OldParent = oldParent;
        NewParent = newParent;
        Action = action;
    }

    /// <summary>The node being inserted or removed.</summary>
    public Node Node { get; }

    /// <summary>The parent the node leaves (<see langword="null"/> for an insertion).</summary>
    public Node? OldParent { get; }

    /// <summary>The parent the node joins (<see langword="null"/> for a removal).</summary>
    public Node? NewParent { get; }

    /// <summary>Whether the node is inserted or removed.</summary>
    public NodeChangingAction Action { get; }
}

// A fixed list of nodes, as a selection returned them.
public sealed class NodeList : IEnumerable<Node>
{
    private readonly Node[] nodes;

    internal NodeList(IEnumerable<Node> nodes)
    {
        this.nodes = nodes.ToArray();
    }

    public int Count => nodes.Length;

    public Node this[int index] => nodes[index];

    public Node[] ToArray() => (Node[])nodes.Clone();

    public IEnumerator<Node> GetEnumerator() => ((IEnumerable<Node>)nodes).GetEnumerator();

    IEnumerator IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class PageExtractOptions
{
    public PageExtractOptions()
    {
    }

    public bool UpdatePageStartingNumber { get; set; } = true;

    public bool UnlinkPagesNumberFields { get; set; } = true;
}

// The page of a section: its size and orientation and the margins, in
// points.  A new section has a US Letter page with one-inch margins.
public sealed class PageSetup
{
    // The largest page the word processor accepts: 22 inches.
    internal const double MaxLength = 1584.0;

    private double pageWidth = 612, pageHeight = 792;
    private double leftMargin = 72, rightMargin = 72, topMargin = 72, bottomMargin = 72;
    private double headerDistance = 36, footerDistance = 36;
    private Orientation orientation = Orientation.Portrait;

    internal PageSetup()
    {
    }

    public double PageWidth { get => pageWidth; set => pageWidth = Length(value, 1); }

    public double PageHeight { get => pageHeight; set => pageHeight = Length(value, 1); }

    // Turning the page swaps its width and height, as the word processor does.
    public Orientation Orientation
    {
        get => orientation;
        set
        {
            if (EnumCheck.Defined(value) != orientation)
                (pageWidth, pageHeight) = (pageHeight, pageWidth);
            orientation = value;
        }
    }

    public double LeftMargin { get => leftMargin; set => leftMargin = Length(value, 0); }

    public double RightMargin { get => rightMargin; set => rightMargin = Length(value, 0); }

    // Negative top and bottom margins keep the text where they say even
    // when a header or footer would push it.
    public double TopMargin { get => topMargin; set => topMargin = Length(value, -MaxLength); }

    public double BottomMargin { get => bottomMargin; set => bottomMargin = Length(value, -MaxLength); }

    public double HeaderDistance { get => headerDistance; set => headerDistance = Length(value, 0); }

    public double FooterDistance { get => footerDistance; set => footerDistance = Length(value, 0); }

    internal void CopyFrom(PageSetup other)
    {
        (pageWidth, pageHeight, orientation) = (other.pageWidth, other.pageHeight, other.orientation);
        (leftMargin, rightMargin, topMargin, bottomMargin) =
            (other.leftMargin, other.rightMargin, other.topMargin, other.bottomMargin);
        (headerDistance, footerDistance) = (other.headerDistance, other.footerDistance);
    }

    // Written so that NaN fails the comparison.
    private static double Length(double value, double min) => value >= min && value <= MaxLength
        ? value
        : throw new ArgumentOutOfRangeException(nameof(value), value, $"The length must be between {min} and {MaxLength} points.");
}

public sealed class PhoneticGuide
{
    internal PhoneticGuide()
    {
    }

    public string BaseText { get; internal set; } = string.Empty;

    public string RubyText { get; internal set; } = string.Empty;
}

// One tracked change: an insertion, deletion or move of a run recorded while
// tracking or read from a file, a paragraph mark inserted or deleted, or a
// format change of a run, paragraph, table, row, cell or section read from a
// file.  Made afresh by the collection from the document as it is; settling
// it changes the document.
public sealed class Revision
{
    private readonly Formats.RevisionSite site;

    internal Revision(Formats.RevisionSite site)
    {
        this.site = site;
    }

    internal Formats.RevisionSite Site => site;

    /// <summary>Who made the revision.</summary>
    public string Author => site.Author;

    /// <summary>When the revision was made; the earliest date when the file gives none.</summary>
    public DateTime DateTime => site.Date;

    public RevisionType RevisionType => site.Type;

    /// <summary>
    /// The node that holds the revised content: the run itself for a revision recorded while
    /// tracking, the run, paragraph, table, row, cell or section whose properties hold a format
    /// change or paragraph mark, the node keeping the read markup otherwise.
    /// </summary>
    public Node ParentNode => site.Node;

    /// <summary>The group of adjacent revisions of the same author and kind this one belongs to.</summary>
    public RevisionGroup Group => site.Document.Revisions.Groups.Containing(this);

    /// <summary>Accepts the revision: inserted text stays, deleted text goes (a deleted paragraph mark joins its paragraph to the next), new formatting stays.</summary>
    public void Accept() => Formats.DocxRevisions.Settle(site, true);

    /// <summary>Rejects the revision: inserted text goes (an inserted paragraph mark joins its paragraph to the next), deleted text comes back, the formatting before the change comes back.</summary>
    public void Reject() => Formats.DocxRevisions.Settle(site, false);
}

// The tracked changes of a document (insertions, deletions, moves, format
// changes), read afresh from the document on every use.
public sealed class RevisionCollection : IEnumerable<Revision>
{
    private readonly Document document;

    internal RevisionCollection(Document document)
    {
        this.document = document;
    }

    /// <summary>How many tracked changes the document holds.</summary>
    public int Count => Formats.DocxRevisions.Count(document);

    /// <summary>The revision at the index, in document order.</summary>
    public Revision this[int index]
    {
        get
        {
            IReadOnlyList<Revision> all = Formats.DocxRevisions.List(document);
            if ((uint)index >= (uint)all.Count)
                throw new ArgumentOutOfRangeException(nameof(index), index, "The index is outside the collection.");
            return all[index];
        }
    }

    /// <summary>The revisions gathered into runs of adjacent ones by the same author and of the same kind.</summary>
    public RevisionGroupCollection Groups => new(RevisionGroup.Gather(Formats.DocxRevisions.List(document)));

    public IEnumerator<Revision> GetEnumerator() => Formats.DocxRevisions.List(document).GetEnumerator();

    IEnumerator IEnumerable.GetEnumerator() => GetEnumerator();

    /// <summary>Accepts every revision: inserted text stays, deleted text goes, new formatting stays.</summary>
    public void AcceptAll() => Formats.DocxRevisions.Resolve(document, true);

    /// <summary>Rejects every revision: inserted text goes, deleted text comes back, the formatting before each change comes back.</summary>
    public void RejectAll() => Formats.DocxRevisions.Resolve(document, false);
}

// Adjacent revisions of one author and kind, as the word processor's review
// pane shows them together.
public sealed class RevisionGroup
{
    private readonly List<Revision> members;

    private RevisionGroup(List<Revision> members)
    {
        this.members = members;
    }

    public string Author => members[0].Author;

    public RevisionType RevisionType => members[0].RevisionType;

    /// <summary>The text the group's revisions insert, delete or format, in order (a paragraph mark is "\r").</summary>
    public string Text => string.Concat(members.Select(r => r.Site.Text));

    internal bool Holds(Revision revision) => members.Any(m => m.Site.SameAs(revision.Site));

    // Consecutive revisions form one group while author and kind agree and
    // nothing stands between their content.
    internal static List<RevisionGroup> Gather(IReadOnlyList<Revision> revisions)
    {
        var groups = new List<RevisionGroup>();
        for (int i = 0; i < revisions.Count; i++)
        {
            Revision revision = revisions[i];
            if (groups.Count > 0 && groups[^1].members[^1] is var last
                && last.Author == revision.Author && last.RevisionType == revision.RevisionType
                && last.Site.IsFollowedBy(revision.Site))
                groups[^1].members.Add(revision);
            else
                groups.Add(new RevisionGroup(new List<Revision> { revision }));
        }
        return groups;
    }
}

// The groups of a document's revisions, in document order; read when asked for.
public sealed class RevisionGroupCollection : IEnumerable<RevisionGroup>
{
    private readonly List<RevisionGroup> groups;

    internal RevisionGroupCollection(List<RevisionGroup> groups)
    {
        this.groups = groups;
    }

    public int Count => groups.Count;

    public RevisionGroup this[int index] => groups[index];

    internal RevisionGroup Containing(Revision revision) =>
        groups.FirstOrDefault(g => g.Holds(revision))
        ?? throw new InvalidOperationException("The revision has already been accepted or rejected.");

    public IEnumerator<RevisionGroup> GetEnumerator() => groups.GetEnumerator();

    IEnumerator IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class Shading : InternableComplexAttr
{
    private TextureIndex texture = TextureIndex.TextureNone;

    internal Shading()
    {
    }

    public TextureIndex Texture
    {
        get => texture;
        set => texture = EnumCheck.Defined(value);
    }

    /// <summary>The colour behind the texture's pattern; the empty colour for the automatic one.</summary>
    public System.Drawing.Color BackgroundPatternColor { get; set; }

    /// <summary>The colour of the texture's pattern; the empty colour for the automatic one.</summary>
    public System.Drawing.Color ForegroundPatternColor { get; set; }

    /// <summary>Takes every attribute of the other shading.</summary>
    public void CopyFrom(Shading other) =>
        (texture, BackgroundPatternColor, ForegroundPatternColor) =
        (other.texture, other.BackgroundPatternColor, other.ForegroundPatternColor);

    /// <summary>Back to no shading.</summary>
    public void ClearFormatting() => CopyFrom(new Shading());

    internal ShadingValues Values =>
        new(texture, ColorValue.Of(BackgroundPatternColor), ColorValue.Of(ForegroundPatternColor));

    internal static readonly ShadingValues NoneValues = new Shading().Values;
}

public sealed class SignatureLineOptions
{
    public SignatureLineOptions()
    {
    }

    public string? Signer { get; set; }

    public string? SignerTitle { get; set; }

    public string? Email { get; set; }

    public string? Instructions { get; set; }

    public bool ShowDate { get; set; } = true;

    public bool AllowComments { get; set; }

    public bool DefaultInstructions { get; set; } = true;
}

// A style of the document: its formatting is what it gives text, with what
// it inherits from the style it is based on and the document defaults.
public class Style
{
    internal Style()
    {
    }

    public string Name { get; internal set; } = string.Empty;

    public StyleType Type { get; internal set; } = StyleType.Paragraph;

    public bool BuiltIn { get; internal set; }

    public StyleIdentifier StyleIdentifier { get; internal set; } = StyleIdentifier.User;

    // The name of the style this one is based on; empty when none.
    public string BaseStyleName { get; internal set; } = string.Empty;

    public Font Font { get; } = new();

    // For paragraph styles; other kinds keep the defaults.
    public ParagraphFormat ParagraphFormat { get; } = new();

    // The style's identifier in the package, and its formatting as read (or
    // as made), which saving compares with to write what changed.
    internal string? StyleId { get; set; }
    internal Font? FontAsRead { get; private set; }
    internal ParagraphFormat? FormatAsRead { get; private set; }

    // A copy for another document: its own formatting, the same identity in the package and the same formatting
    // as read (never changed once taken, so it can be shared).
    internal Style CopyForDocument()
    {
        Style copy = this is TableStyle ? new TableStyle() : new Style();
        (copy.Name, copy.Type, copy.BuiltIn, copy.StyleIdentifier, copy.BaseStyleName, copy.StyleId) =
            (Name, Type, BuiltIn, StyleIdentifier, BaseStyleName, StyleId);
        copy.Font.CopyFrom(Font);
        copy.ParagraphFormat.CopyFrom(ParagraphFormat);
        (copy.FontAsRead, copy.FormatAsRead) = (FontAsRead, FormatAsRead);
        return copy;
    }

    internal void KeepAsRead()
    {
        FontAsRead = new Font();
        FontAsRead.CopyFrom(Font);
        FormatAsRead = new ParagraphFormat();
        FormatAsRead.CopyFrom(ParagraphFormat);
    }
}

// The styles a document defines, in the order the document lists them.
public sealed class StyleCollection : IEnumerable<Style>
{
    private readonly System.Collections.Generic.List<Style> styles = new();

    internal StyleCollection()
    {
    }

    public int Count => styles.Count;

    public Style this[int index] => styles[index];

    // The style of that name, or null.
    public Style? this[string name] => Get(name);

    // The first style of that built-in identifier, or null.
    public Style? this[StyleIdentifier sti] => styles.Find(s => s.StyleIdentifier == sti);

    public IEnumerator<Style> GetEnumerator() => styles.GetEnumerator();

    IEnumerator IEnumerable.GetEnumerator() => GetEnumerator();

    public Style? Get(string name) => styles.Find(s => s.Name == name);

    public Style GetAt(int index) => styles[index];

    internal void Add(Style style) => styles.Add(style);

    internal void Clear() => styles.Clear();

    internal void RemoveWhere(Predicate<Style> match) => styles.RemoveAll(match);

    internal void CopyFrom(StyleCollection other)
    {
        styles.Clear();
        styles.AddRange(other.styles.Select(style => style.CopyForDocument()));
    }

    // What a document made here starts with: the default paragraph style.
    internal static StyleCollection Blank()
    {
        var blank = new StyleCollection();
        // The blank package's default paragraph style has the name as its identifier.
        var normal = new Style
        {
            Name = ParagraphFormat.DefaultStyleName, BuiltIn = true, StyleIdentifier = StyleIdentifier.Normal,
            StyleId = ParagraphFormat.DefaultStyleName,
        };
        normal.KeepAsRead();
        blank.Add(normal);
        return blank;
    }
}

public sealed class TableStyle : Style
{
    internal TableStyle()
    {
    }
}

// Tab stops in order of position; one stop per position.
public sealed class TabStopCollection : InternableComplexAttr
{
    private readonly List<TabStop> stops = new();

    internal TabStopCollection()
    {
    }

    public int Count => stops.Count;

    public TabStop this[int index] => stops[index];

    /// <summary>Adds the stop, replacing one at the same position.</summary>
    public void Add(TabStop tabStop)
    {
        ArgumentNullException.ThrowIfNull(tabStop);
        stops.RemoveAll(s => s.Position == tabStop.Position);
        int at = stops.FindIndex(s => s.Position > tabStop.Position);
        stops.Insert(at < 0 ? stops.Count : at, tabStop);
    }

    public void Add(double position, TabAlignment alignment, TabLeader leader) => Add(new TabStop(position, alignment, leader));

    public void RemoveByIndex(int index) => stops.RemoveAt(index);

    public void RemoveByPosition(double position) => stops.RemoveAll(s => s.Position == position);

    public void Clear() => stops.Clear();
}

public sealed class TextColumn
{
    internal TextColumn()
    {
    }
}

// The text columns of a section: one column until SetCount says otherwise.
public sealed class TextColumnCollection
{
    private readonly List<TextColumn> columns = new() { new TextColumn() };

    internal TextColumnCollection()
    {
    }

    public int Count => columns.Count;

    public TextColumn this[int index] => columns[index];

    /// <summary>Sets how many columns there are (1 to 45).</summary>
    public void SetCount(int newCount)
    {
        if (newCount < 1 || newCount > 45)
            throw new ArgumentOutOfRangeException(nameof(newCount), newCount, "A section has 1 to 45 text columns.");
        while (columns.Count > newCount)
            columns.RemoveAt(columns.Count - 1);
        while (columns.Count < newCount)
            columns.Add(new TextColumn());
    }
}

public sealed class TextWatermarkOptions
{
    private string fontFamily = "Calibri";
    private WatermarkLayout layout = WatermarkLayout.Diagonal;

    public TextWatermarkOptions()
    {
    }

    public string FontFamily
    {
        get => fontFamily;
        set => fontFamily = value ?? throw new ArgumentNullException(nameof(value));
    }

    public bool IsSemitrasparent { get; set; } = true;

    public WatermarkLayout Layout
    {
        get => layout;
        set => layout = EnumCheck.Defined(value);
    }
}

// The document variables: names (compared without case) with their string
// values, kept in order of name.
public sealed class VariableCollection : IEnumerable<KeyValuePair<string, string>>
{
    private readonly List<KeyValuePair<string, string>> variables = new();

    internal VariableCollection()
    {
    }

    public int Count => variables.Count;

    /// <summary>The value at the index; setting it replaces the value and keeps the name.</summary>
    public string this[int index]
    {
        get => variables[index].Value;
        set => variables[index] = new(variables[index].Key, value ?? throw new ArgumentNullException(nameof(value)));
    }

    /// <summary>The value of that name, or null.</summary>
    public string? this[string name] => IndexOfKey(name) is var i and >= 0 ? variables[i].Value : null;

    /// <summary>Adds the variable, or sets its value when the name is taken.</summary>
    public void Add(string name, string value)
    {
        if (string.IsNullOrEmpty(name))
            throw new ArgumentException("A variable needs a name.", nameof(name));
        ArgumentNullException.ThrowIfNull(value);
        int at = IndexOfKey(name);
        if (at >= 0)
        {
            variables[at] = new(variables[at].Key, value);
            return;
        }
        int before = variables.FindIndex(v => string.Compare(v.Key, name, StringComparison.OrdinalIgnoreCase) > 0);
        variables.Insert(before < 0 ? variables.Count : before, new(name, value));
    }

    public bool Contains(string name) => IndexOfKey(name) >= 0;

    public int IndexOfKey(string name) =>
        variables.FindIndex(v => string.Equals(v.Key, name, StringComparison.OrdinalIgnoreCase));

    public void Remove(string name)
    {
        int at = IndexOfKey(name);
        if (at >= 0)
            variables.RemoveAt(at);
    }

    public void RemoveAt(int index) => variables.RemoveAt(index);

    public void Clear() => variables.Clear();

    public IEnumerator<KeyValuePair<string, string>> GetEnumerator() => variables.GetEnumerator();

    IEnumerator IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class Watermark
{
    internal Watermark()
    {
    }

    public WatermarkType Type { get; internal set; } = WatermarkType.None;
}
