// NodeView: the elements of a collection that lives in the node tree (bookmarks,
// comments, fields, form fields, structured document tags), found by walking
// every node of one kind below a root on each use. Nodes of that kind added or
// removed anywhere below the root show at once.
using System;
using System.Collections.Generic;
using System.Linq;

namespace Morvax.Velto;

internal sealed class NodeView<T> where T : class
{
    private readonly Node root;
    private readonly NodeType kind;
    private readonly Func<Node, T?> elementOf;

    internal NodeView(Node root, NodeType kind, Func<Node, T?> elementOf)
    {
        this.root = root ?? throw new ArgumentNullException(nameof(root));
        this.kind = kind;
        this.elementOf = elementOf;
    }

    internal int Count => Items().Count();

    internal T this[int index] =>
        index >= 0 ? Items().ElementAtOrDefault(index) ?? throw OutOfRange(index) : throw OutOfRange(index);

    // The root itself counts when it is of the kind (a range over one node).
    internal IEnumerable<T> Items()
    {
        IEnumerable<Node> nodes = root is CompositeNode tree ? tree.Matching(kind, true) : Enumerable.Empty<Node>();
        if (root.NodeType == kind)
            nodes = nodes.Prepend(root);
        foreach (Node node in nodes)
        {
            if (elementOf(node) is { } element)
                yield return element;
        }
    }

    // A snapshot: the tree may change while the caller walks it.
    internal IEnumerator<T> GetEnumerator() => Items().ToList().GetEnumerator();

    private static ArgumentOutOfRangeException OutOfRange(int index) =>
        new(nameof(index), index, "The index is outside the collection.");
}
