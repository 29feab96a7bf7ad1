// Section: a part of a document with its own page setup; holds the Body and
// the headers and footers it names.
// A new section is empty (no body) until EnsureMinimum or the caller adds one.
namespace Morvax.Velto;

/// <summary>A section of a document: a body with its own page set-up.</summary>
public sealed class Section : CompositeNode
{
    public Section(DocumentBase doc) : base(doc)
    {
    }

    public override NodeType NodeType => NodeType.Section;

    /// <summary>The main text of the section.</summary>
    public Body? Body => (Body?)GetChild(NodeType.Body, 0, false);

    public HeaderFooterCollection HeadersFooters => new(this);

    internal SectionStart Start { get; set; } = SectionStart.NewPage;

    public PageSetup PageSetup { get; } = new();

    public Section Clone() => (Section)Clone(true);

    public void EnsureMinimum()
    {
        Body body = Body ?? (Body)AppendChild(new Body(Document));
        body.EnsureMinimum();
    }

    internal override bool CanHold(Node child) => child is Morvax.Velto.Body or HeaderFooter;

    // A section's text is its body's; headers and footers have their own.
    internal override void AppendText(System.Text.StringBuilder text) => Body?.AppendText(text);

    internal override Node CopyNode(DocumentBase owner)
    {
        var copy = new Section(owner) { Start = Start };
        copy.PageSetup.CopyFrom(PageSetup);
        return copy;
    }
}
