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
}
