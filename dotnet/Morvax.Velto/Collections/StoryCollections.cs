// Typed views of the comments and the headers and footers under a node.
namespace Morvax.Velto;

public sealed class CommentCollection : NodeCollection
{
    // All comments anywhere below the container.
    internal CommentCollection(CompositeNode container) : base(container, NodeType.Comment, true)
    {
    }

    public new Comment this[int index] => (Comment)base[index];
}

public sealed class HeaderFooterCollection : NodeCollection
{
    internal HeaderFooterCollection(CompositeNode container) : base(container, NodeType.HeaderFooter, false)
    {
    }

    public new HeaderFooter this[int index] => (HeaderFooter)base[index];

    /// <summary>The header or footer of that kind, or null when the section has none.</summary>
    public HeaderFooter? this[HeaderFooterType headerFooterType] =>
        System.Linq.Enumerable.FirstOrDefault(System.Linq.Enumerable.OfType<HeaderFooter>(this),
            h => h.HeaderFooterType == headerFooterType);

    public HeaderFooter? HeaderPrimary => this[HeaderFooterType.HeaderPrimary];

    public HeaderFooter? HeaderFirst => this[HeaderFooterType.HeaderFirst];

    public HeaderFooter? HeaderEven => this[HeaderFooterType.HeaderEven];

    public HeaderFooter? FooterPrimary => this[HeaderFooterType.FooterPrimary];

    public HeaderFooter? FooterFirst => this[HeaderFooterType.FooterFirst];

    public HeaderFooter? FooterEven => this[HeaderFooterType.FooterEven];
}
