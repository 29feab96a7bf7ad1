// Paragraph: a block of inline content ending with a paragraph mark.
using System.Text;

namespace Morvax.Velto;

/// <summary>A paragraph: runs of text and other inline nodes, with paragraph formatting.</summary>
public sealed class Paragraph : CompositeNode
{
    public Paragraph(DocumentBase doc) : base(doc)
    {
        ListFormat = new(doc);
    }

    public override NodeType NodeType => NodeType.Paragraph;

    /// <summary>The runs of text in this paragraph.</summary>
    public RunCollection Runs => new(this);

    /// <summary>The formatting of this paragraph: alignment, indents, spacing and style.</summary>
    public ParagraphFormat ParagraphFormat
    {
        get
        {
            Document.Tracking?.FormattingTaken(this);
            return OwnedFormat;
        }
    }

    // The paragraph's formatting without handing it out: a change to it is
    // no edit tracking records (readers, writers, accepting and rejecting).
    internal ParagraphFormat OwnedFormat { get; } = new();

    public Lists.ListFormat ListFormat { get; }

    public bool IsEndOfSection =>
        parent is Body body && ReferenceEquals(body.LastChild, this) && body.parent is Section;

    public bool IsEndOfDocument =>
        IsEndOfSection && parent!.parent is Section section && section.parent is Document
        && ReferenceEquals(section.next, null);

    public Section? ParentSection => parent?.parent as Section;

    internal override bool CanHold(Node child) => IsInlineContent(child);

    // What a paragraph, and an inline content control in one, can hold.
    internal static bool IsInlineContent(Node child) =>
        child is Inline or BookmarkStart or BookmarkEnd or Drawing.ShapeBase or InlineStory or CommentRangeStart
        or CommentRangeEnd or Markup.StructuredDocumentTag { Level: Markup.MarkupLevel.Inline };

    // Word's convention: a paragraph's text ends with its paragraph mark,
    // which for the last paragraph of a section is the section break.
    internal override void AppendText(StringBuilder text)
    {
        base.AppendText(text);
        text.Append(IsEndOfSection ? ControlChar.SectionBreakChar : ControlChar.ParagraphBreakChar);
    }

    internal override Node CopyNode(DocumentBase owner)
    {
        var copy = new Paragraph(owner);
        copy.OwnedFormat.CopyFrom(OwnedFormat);
        copy.ListFormat.CopyFrom(ListFormat, owner.Lists);
        return copy;
    }
}
