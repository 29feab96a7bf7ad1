// Section: a part of a document with its own page setup; holds the Body.
// A new section is empty (no body) until EnsureMinimum or the caller adds one.
namespace Morvax.Velto;

public sealed class Section : CompositeNode
{
    public Section(DocumentBase doc) : base(doc)
    {
    }

    public override NodeType NodeType => NodeType.Section;

    public Body? Body => (Body?)GetChild(NodeType.Body, 0, false);

    internal SectionStart Start { get; set; } = SectionStart.NewPage;

    public PageSetup PageSetup { get; } = new();

    public Section Clone() => (Section)Clone(true);

    public void EnsureMinimum()
    {
        Body body = Body ?? (Body)AppendChild(new Body(Document));
        body.EnsureMinimum();
    }

    internal override bool CanHold(Node child) => child is Body;

    internal override Node CopyNode(DocumentBase owner)
    {
        var copy = new Section(owner) { Start = Start };
        copy.PageSetup.CopyFrom(PageSetup);
        return copy;
    }
}
