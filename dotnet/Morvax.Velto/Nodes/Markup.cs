// Content controls (structured document tags) and smart tags.  A content
// control holds what fits the level it sits at: inline content inside a
// paragraph, paragraphs at block level, cells in a row, paragraphs in a cell.
// A ranged content control is a start and an end marker around block content
// instead.
using System;
using System.Linq;
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

    // The symbols a check box shows for its two states (from the control's
    // properties when read).
    internal char CheckedSymbol { get; set; } = '\u2612';
    internal char UncheckedSymbol { get; set; } = '\u2610';

    /// <summary>Whether a check-box control is ticked; ticking it shows the checked symbol as its content.</summary>
    public bool Checked
    {
        get => Is(SdtType.Checkbox, nameof(Checked)) && isChecked;
        set
        {
            Is(SdtType.Checkbox, nameof(Checked));
            isChecked = value;
            ShowText((value ? CheckedSymbol : UncheckedSymbol).ToString());
        }
    }

    /// <summary>A date control's date; setting it shows the date in the display format as its content.</summary>
    public DateTime FullDate
    {
        get => Is(SdtType.Date, nameof(FullDate)) ? fullDate : default;
        set
        {
            Is(SdtType.Date, nameof(FullDate));
            fullDate = value;
            ShowText(value.ToString(dateDisplayFormat, DateCulture));
        }
    }

    /// <summary>How a date control shows its date, as a date format string ("M/d/yyyy").</summary>
    public string DateDisplayFormat
    {
        get => dateDisplayFormat;
        set
        {
            Is(SdtType.Date, nameof(DateDisplayFormat));
            ArgumentException.ThrowIfNullOrEmpty(value);
            _ = DateTime.MinValue.ToString(value, DateCulture);  // a malformed format fails here, not when shown
            dateDisplayFormat = value;
        }
    }

    // The language a date control shows its date in.
    internal System.Globalization.CultureInfo DateCulture { get; set; } = System.Globalization.CultureInfo.InvariantCulture;

    // The values as read, without changing the content.
    internal void ReadValues(bool ticked, DateTime date, string? format) =>
        (isChecked, fullDate, dateDisplayFormat) = (ticked, date, string.IsNullOrEmpty(format) ? dateDisplayFormat : format);

    private bool isChecked;
    private DateTime fullDate;
    private string dateDisplayFormat = "M/d/yyyy";

    private bool Is(SdtType type, string member) => SdtType == type
        ? true
        : throw new InvalidOperationException($"StructuredDocumentTag.{member} is only for {type} controls; this is a {SdtType} control.");

    // The control shows the text in its first run (a new one when it has
    // none); the other runs of an inline control go, so that only the text shows.
    private void ShowText(string text)
    {
        var first = (Run?)GetChildNodes(NodeType.Run, true).FirstOrDefault();
        if (first is null)
        {
            CompositeNode? holder = Level == MarkupLevel.Inline ? this : (CompositeNode?)GetChildNodes(NodeType.Paragraph, true).FirstOrDefault();
            if (holder is null)
                return;
            holder.AppendChild(new Run(Document, text));
            return;
        }
        first.Text = text;
        if (Level != MarkupLevel.Inline)
            return;
        foreach (Node other in GetChildNodes(NodeType.Run, true).Skip(1).ToList())
            other.Remove();
    }

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
            LockContentControl = LockContentControl, CheckedSymbol = CheckedSymbol, UncheckedSymbol = UncheckedSymbol,
            DateCulture = DateCulture };
        copy.ReadValues(isChecked, fullDate, dateDisplayFormat);
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
