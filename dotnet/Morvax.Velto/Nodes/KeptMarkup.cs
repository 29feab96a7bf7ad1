// KeptBlock and KeptInline: markup a loaded document holds that the tree has
// no node for (content controls, hyperlinks, bookmarks, fields, drawings,
// revisions, anything from a newer vocabulary).  Each keeps its element as it
// was read, in its place among the nodes the tree does know, so saving writes
// it back unchanged; its text takes part in GetText as the word processor
// shows it.  The element is the format's own object, held as object so that
// the tree's types never need the format library's assemblies.
using System.Text;

namespace Morvax.Velto;

internal sealed class KeptBlock : Node
{
    private readonly string text;

    public KeptBlock(DocumentBase doc, object element, string text) : base(doc)
    {
        Element = element;
        this.text = text;
    }

    public override NodeType NodeType => NodeType.System;

    public object Element { get; }

    internal override void AppendText(StringBuilder builder) => builder.Append(text);

    internal override Node CopyNode(DocumentBase owner) => new KeptBlock(owner, Element, text);
}

internal sealed class KeptInline : Inline
{
    private readonly string text;

    public KeptInline(DocumentBase doc, object element, string text) : base(doc)
    {
        Element = element;
        this.text = text;
    }

    public override NodeType NodeType => NodeType.System;

    public object Element { get; }

    internal override void AppendText(StringBuilder builder) => builder.Append(text);

    internal override Node CopyNode(DocumentBase owner) => new KeptInline(owner, Element, text);
}
