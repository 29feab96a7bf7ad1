// Body: the main story of a section.
namespace Morvax.Velto;

/// <summary>The main text of a section: paragraphs and tables.</summary>
public sealed class Body : Story
{
    /// <summary>A new, empty body belonging to doc; a section takes it as its main text.</summary>
    public Body(DocumentBase doc) : base(doc)
    {
    }

    public override NodeType NodeType => NodeType.Body;

    // The body must end with a paragraph: that is where the section's last
    // paragraph mark, and the builder's cursor at the end of the section, live.
    public void EnsureMinimum()
    {
        if (LastChild is not Paragraph)
            AppendChild(new Paragraph(Document));
    }

    internal override Node CopyNode(DocumentBase owner) => new Body(owner);
}
