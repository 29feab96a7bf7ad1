// KeptBlock and KeptInline: markup a loaded document holds that the tree has
// no node for (content controls, hyperlinks, bookmarks, fields, drawings,
// revisions, anything from a newer vocabulary).  Each keeps its element as it
// was read, in its place among the nodes the tree does know, so saving writes
// it back unchanged; its text takes part in GetText as the word processor
// shows it.  The element is the format's own object, held as object so that
// the tree's types never need the format library's assemblies; a format may
// hold it in a cheaper form of its own (IDeferredMarkup) until it is asked for.
using System.Text;

namespace Morvax.Velto;

// Markup held in a form of the format's own, made into its element on demand.
internal interface IDeferredMarkup
{
    object Element { get; }

    static object ElementOf(object markup) => markup is IDeferredMarkup deferred ? deferred.Element : markup;
}

internal sealed class KeptBlock : Node
{
    private readonly string text;

    public KeptBlock(DocumentBase doc, object element, string text) : base(doc)
    {
        Markup = element;
        this.text = text;
    }

    public override NodeType NodeType => NodeType.System;

    public object Element => IDeferredMarkup.ElementOf(Markup);

    // The element as the format holds it.
    public object Markup { get; set; }

    internal override void AppendText(StringBuilder builder) => builder.Append(text);

    internal override Node CopyNode(DocumentBase owner) => new KeptBlock(owner, Markup, text);
}

internal sealed class KeptInline : Inline
{
    private readonly string text;

    public KeptInline(DocumentBase doc, object element, string text) : base(doc)
    {
        Markup = element;
        this.text = text;
    }

    public override NodeType NodeType => NodeType.System;

    public object Element => IDeferredMarkup.ElementOf(Markup);

    // The element as the format holds it.
    public object Markup { get; set; }

    internal override void AppendText(StringBuilder builder) => builder.Append(text);

    internal override Node CopyNode(DocumentBase owner) => new KeptInline(owner, Markup, text);
}

// Counting the kept markup of a tree, for the warnings of loading and saving.
internal static class KeptMarkup
{
    public static int Count(Node root) => CountWhere(root, n => n is KeptBlock or KeptInline);

    public static int CountOf<T>(Node root) where T : Node => CountWhere(root, n => n is T);

    private static int CountWhere(Node root, System.Func<Node, bool> matches)
    {
        int found = matches(root) ? 1 : 0;
        if (root is CompositeNode composite)
            for (Node? child = composite.FirstChild; child is not null; child = child.NextSibling)
                found += CountWhere(child, matches);
        return found;
    }
}
