// Story: a flow of block-level content: paragraphs and tables, and markup a
// loaded document holds that the tree keeps without modelling (KeptBlock).
namespace Morvax.Velto;

/// <summary>A run of block-level content: paragraphs and tables.</summary>
public abstract class Story : CompositeNode
{
    private protected Story(DocumentBase doc) : base(doc)
    {
    }

    public Paragraph? FirstParagraph => (Paragraph?)GetChild(NodeType.Paragraph, 0, false);

    public Paragraph? LastParagraph => (Paragraph?)GetChild(NodeType.Paragraph, -1, false);

    // One collection per story, so that a story's paragraphs walked again (each
    // `for p in body.paragraphs`) read the walk the collection kept while the tree is unchanged.
    private ParagraphCollection? paragraphs;

    /// <summary>The paragraphs directly in this story.</summary>
    public ParagraphCollection Paragraphs => paragraphs ??= new(this);

    internal override bool CanHold(Node child) => child is Paragraph or Tables.Table or KeptBlock;
}
