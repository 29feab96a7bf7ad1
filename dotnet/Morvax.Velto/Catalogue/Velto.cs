// Morvax.Velto: the top-level catalogue types that carry no tree logic:
// options, formatting values, document parts reached from a document, callback
// interfaces.
using System;
using Morvax.Velto.Loading;

namespace Morvax.Velto;

public sealed class Bookmark
{
    internal Bookmark()
    {
    }

    public string Name { get; internal set; } = string.Empty;
}

public sealed class BookmarkCollection
{
    internal BookmarkCollection()
    {
    }
}

public sealed class Border : InternableComplexAttr
{
    private LineStyle lineStyle = LineStyle.None;

    internal Border()
    {
    }

    public LineStyle LineStyle
    {
        get => lineStyle;
        set => lineStyle = EnumCheck.Defined(value);
    }

    public bool Shadow { get; set; }
}

public sealed class BorderCollection
{
    internal BorderCollection()
    {
    }
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
    internal ConditionalStyle()
    {
    }

    public ConditionalStyleType Type { get; internal set; }
}

public sealed class ConditionalStyleCollection
{
    internal ConditionalStyleCollection()
    {
    }
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

public sealed class NodeList
{
    internal NodeList()
    {
    }
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

public sealed class Revision
{
    internal Revision()
    {
    }

    public string Author { get; internal set; } = string.Empty;

    public RevisionType RevisionType { get; internal set; }
}

// The tracked insertions and deletions of a document, read afresh from the
// document on every use.
public sealed class RevisionCollection
{
    private readonly Document document;

    internal RevisionCollection(Document document)
    {
        this.document = document;
    }

    /// <summary>How many tracked insertions and deletions the document holds.</summary>
    public int Count => Formats.DocxRevisions.Count(document);

    /// <summary>Accepts every revision: inserted text stays, deleted text goes.</summary>
    public void AcceptAll() => Formats.DocxRevisions.Resolve(document, true);

    /// <summary>Rejects every revision: inserted text goes, deleted text comes back.</summary>
    public void RejectAll() => Formats.DocxRevisions.Resolve(document, false);
}

public sealed class RevisionGroup
{
    internal RevisionGroup()
    {
    }
}

public sealed class RevisionGroupCollection
{
    internal RevisionGroupCollection()
    {
    }
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
}

// The styles a document defines, in the order the document lists them.
public sealed class StyleCollection
{
    private readonly System.Collections.Generic.List<Style> styles = new();

    internal StyleCollection()
    {
    }

    public int Count => styles.Count;

    public Style this[int index] => styles[index];

    // The style of that name, or null.
    public Style? this[string name] => Get(name);

    public Style? Get(string name) => styles.Find(s => s.Name == name);

    public Style GetAt(int index) => styles[index];

    internal void Add(Style style) => styles.Add(style);

    internal void Clear() => styles.Clear();

    internal void RemoveWhere(Predicate<Style> match) => styles.RemoveAll(match);

    internal void CopyFrom(StyleCollection other)
    {
        styles.Clear();
        styles.AddRange(other.styles);
    }

    // What a document made here starts with: the default paragraph style.
    internal static StyleCollection Blank()
    {
        var blank = new StyleCollection();
        blank.Add(new Style { Name = ParagraphFormat.DefaultStyleName, BuiltIn = true, StyleIdentifier = StyleIdentifier.Normal });
        return blank;
    }
}

public sealed class TableStyle : Style
{
    internal TableStyle()
    {
    }
}

public sealed class TabStopCollection : InternableComplexAttr
{
    internal TabStopCollection()
    {
    }
}

public sealed class TextColumn
{
    internal TextColumn()
    {
    }
}

public sealed class TextColumnCollection
{
    internal TextColumnCollection()
    {
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

public sealed class VariableCollection
{
    internal VariableCollection()
    {
    }
}

public sealed class Watermark
{
    internal Watermark()
    {
    }

    public WatermarkType Type { get; internal set; } = WatermarkType.None;
}
