// Content controls (structured document tags) and smart tags.  A content
// control holds what fits the level it sits at: inline content inside a
// paragraph, paragraphs at block level, cells in a row, paragraphs in a cell.
// A ranged content control is a start and an end marker around block content
// instead.
using System;
using System.Threading;

namespace Morvax.Velto.Markup;

public sealed class StructuredDocumentTag : CompositeNode, IStructuredDocumentTag
{
    private string tag = string.Empty;
    private string title = string.Empty;

    public StructuredDocumentTag(DocumentBase doc, SdtType type, MarkupLevel level) : base(doc)
    {
        SdtType = EnumCheck.Defined(type);
        if (level == MarkupLevel.Unknown || !Enum.IsDefined(level))
            throw new ArgumentOutOfRangeException(nameof(level), level, "A content control needs a known markup level.");
        Level = level;
        Id = SdtIds.Next();
    }

    public override NodeType NodeType => NodeType.StructuredDocumentTag;

    public int Id { get; }

    public SdtType SdtType { get; }

    public MarkupLevel Level { get; }

    public string Tag
    {
        get => tag;
        set => tag = value ?? throw new ArgumentNullException(nameof(value));
    }

    public string Title
    {
        get => title;
        set => title = value ?? throw new ArgumentNullException(nameof(value));
    }

    public bool LockContents { get; set; }

    public bool LockContentControl { get; set; }

    /// <summary>The entries of a combo box or drop-down list control.</summary>
    public SdtListItemCollection ListItems { get; } = new();

    internal override bool CanHold(Node child) => Level switch
    {
        MarkupLevel.Inline => Paragraph.IsInlineContent(child),
        MarkupLevel.Row => child is Tables.Cell,
        _ => child is Paragraph,
    };

    // A copy is a new control, so it gets its own identifier.
    internal override Node CopyNode(DocumentBase owner)
    {
        var copy = new StructuredDocumentTag(owner, SdtType, Level) { tag = tag, title = title, LockContents = LockContents,
            LockContentControl = LockContentControl };
        foreach (SdtListItem item in ListItems)
            copy.ListItems.Add(new SdtListItem { DisplayText = item.DisplayText, Value = item.Value });
        return copy;
    }
}

public sealed class StructuredDocumentTagRangeStart : Node, IStructuredDocumentTag
{
    private string tag = string.Empty;
    private string title = string.Empty;

    public StructuredDocumentTagRangeStart(DocumentBase doc, SdtType type) : base(doc)
    {
        SdtType = EnumCheck.Defined(type);
        Id = SdtIds.Next();
    }

    public override NodeType NodeType => NodeType.StructuredDocumentTagRangeStart;

    public int Id { get; }

    public SdtType SdtType { get; }

    // Ranged controls always wrap block-level content.
    public MarkupLevel Level => MarkupLevel.Block;

    public string Tag
    {
        get => tag;
        set => tag = value ?? throw new ArgumentNullException(nameof(value));
    }

    public string Title
    {
        get => title;
        set => title = value ?? throw new ArgumentNullException(nameof(value));
    }

    internal override void AppendText(System.Text.StringBuilder text)
    {
    }

    internal override Node CopyNode(DocumentBase owner) =>
        new StructuredDocumentTagRangeStart(owner, SdtType) { tag = tag, title = title };
}

public sealed class StructuredDocumentTagRangeEnd : Node
{
    internal StructuredDocumentTagRangeEnd(DocumentBase doc, int id) : base(doc)
    {
        Id = id;
    }

    public override NodeType NodeType => NodeType.StructuredDocumentTagRangeEnd;

    // The Id of the range start this ends.
    public int Id { get; }

    internal override void AppendText(System.Text.StringBuilder text)
    {
    }

    internal override Node CopyNode(DocumentBase owner) => new StructuredDocumentTagRangeEnd(owner, Id);
}

// A piece of inline text that a smart-tag recogniser marked with an XML
// element name.
public sealed class SmartTag : CompositeNode
{
    private string element = string.Empty;
    private string uri = string.Empty;

    public SmartTag(DocumentBase doc) : base(doc)
    {
    }

    public override NodeType NodeType => NodeType.SmartTag;

    public string Element
    {
        get => element;
        set => element = value ?? throw new ArgumentNullException(nameof(value));
    }

    public string Uri
    {
        get => uri;
        set => uri = value ?? throw new ArgumentNullException(nameof(value));
    }

    internal override bool CanHold(Node child) => child is Inline;

    internal override Node CopyNode(DocumentBase owner) => new SmartTag(owner) { element = element, uri = uri };
}

// Content-control identifiers: positive and unique within the process, which
// is what the format asks of them within a document.
internal static class SdtIds
{
    private static int last;

    // After 2^31 controls the counter wraps; masking keeps the result
    // positive, and 0 is skipped.
    public static int Next()
    {
        int id = Interlocked.Increment(ref last) & int.MaxValue;
        return id == 0 ? 1 : id;
    }
}
