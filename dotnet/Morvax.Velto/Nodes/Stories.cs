// The stories besides the body: InlineStory is a story anchored inside a
// paragraph (a comment, a footnote); HeaderFooter is a header or footer of a
// section.  All of them hold paragraphs.
using System;
using System.Text;

namespace Morvax.Velto;

public abstract class InlineStory : CompositeNode
{
    private protected InlineStory(DocumentBase doc) : base(doc)
    {
        doc.InlineStoriesMade = true;
    }

    public Paragraph? FirstParagraph => (Paragraph?)GetChild(NodeType.Paragraph, 0, false);

    public Paragraph? LastParagraph => (Paragraph?)GetChild(NodeType.Paragraph, -1, false);

    public ParagraphCollection Paragraphs => new(this);

    internal override bool CanHold(Node child) => child is Paragraph or Tables.Table or KeptBlock;

    /// <summary>Replaces the content with one paragraph holding the text.</summary>
    public void SetText(string text)
    {
        ArgumentNullException.ThrowIfNull(text);
        RemoveAllChildren();
        var paragraph = (Paragraph)AppendChild(new Paragraph(Document));
        if (text.Length > 0)
            paragraph.AppendChild(new Run(Document, text));
    }

    // What a subclass copies besides the children.
    private protected abstract InlineStory CopyStory(DocumentBase owner);

    internal sealed override Node CopyNode(DocumentBase owner) => CopyStory(owner);
}

public sealed class Comment : InlineStory
{
    private string author = string.Empty;
    private string initial = string.Empty;

    public Comment(DocumentBase doc) : base(doc)
    {
    }

    public Comment(DocumentBase doc, string author, string initial, DateTime dateTime) : base(doc)
    {
        Author = author;
        Initial = initial;
        DateTime = dateTime;
    }

    public override NodeType NodeType => NodeType.Comment;

    // Links the comment to its CommentRangeStart and CommentRangeEnd.
    public int Id { get; set; }

    public string Author
    {
        get => author;
        set => author = value ?? throw new ArgumentNullException(nameof(value));
    }

    public string Initial
    {
        get => initial;
        set => initial = value ?? throw new ArgumentNullException(nameof(value));
    }

    // When the comment was made; DateTime.MinValue when unknown.
    public DateTime DateTime { get; set; }

    private protected override InlineStory CopyStory(DocumentBase owner) =>
        new Comment(owner) { Id = Id, author = author, initial = initial, DateTime = DateTime };
}

public sealed class HeaderFooter : Story
{
    public HeaderFooter(DocumentBase doc, HeaderFooterType headerFooterType) : base(doc)
    {
        HeaderFooterType = EnumCheck.Defined(headerFooterType);
    }

    public override NodeType NodeType => NodeType.HeaderFooter;

    public HeaderFooterType HeaderFooterType { get; }

    public bool IsHeader => HeaderFooterType is HeaderFooterType.HeaderPrimary or HeaderFooterType.HeaderFirst
        or HeaderFooterType.HeaderEven;

    internal override Node CopyNode(DocumentBase owner) => new HeaderFooter(owner, HeaderFooterType);
}
