// NodeWalk: the nodes of one kind below a composite node, walked live through the tree's
// links: the children (a sibling walk) or all descendants in document order. Every
// collection of nodes and every search of the tree walks this way.
//
// The walker finds the node after the current one before handing the current one out, so
// the caller may remove or move the current node while walking; what the walk reaches next
// is the node that followed it when it was handed out, and the walk ends where that node's
// links end. It is a sealed class rather than an iterator method, so that a caller holding
// the walker type (foreach over Matching, the collections' Count, the interop assembly's
// enumerator entry) steps it without interface calls or a compiler-built state machine.

using System;
using System.Collections;
using System.Collections.Generic;
using System.Runtime.CompilerServices;

namespace Morvax.Velto;

/// <summary>The nodes of one kind below a composite node, as an enumerable that walks the live tree.</summary>
internal sealed class NodeMatches : IEnumerable<Node>
{
    internal readonly CompositeNode Container;
    internal readonly NodeType NodeType;
    internal readonly bool IsDeep;

    internal NodeMatches(CompositeNode container, NodeType nodeType, bool isDeep)
    {
        Container = container;
        NodeType = nodeType;
        IsDeep = isDeep;
    }

    public NodeWalker GetEnumerator() => new(Container, NodeType, IsDeep);

    IEnumerator<Node> IEnumerable<Node>.GetEnumerator() => GetEnumerator();

    IEnumerator IEnumerable.GetEnumerator() => GetEnumerator();

    /// <summary>The first matching node after <paramref name="node"/> in walk order; the first match of all when it is null.</summary>
    internal Node? After(Node? node)
    {
        Node? candidate = node is null ? Container.FirstChild : IsDeep ? Container.NextInDocumentOrder(node) : node.next;
        while (candidate is not null && NodeType != NodeType.Any && candidate.NodeType != NodeType)
            candidate = IsDeep ? Container.NextInDocumentOrder(candidate) : candidate.next;
        return candidate;
    }

    /// <summary>The number of matching nodes, walked once.</summary>
    internal int Count()
    {
        int count = 0;
        for (NodeWalker walker = GetEnumerator(); walker.Next() is not null;)
            count++;
        return count;
    }
}

/// <summary>Steps through the nodes of one kind below a composite node, live (see the file's opening).</summary>
internal sealed class NodeWalker : IEnumerator<Node>
{
    private readonly CompositeNode container;
    private readonly NodeType nodeType;
    private readonly bool isDeep;
    private Node? current;
    private Node? following;
    private bool started;

    internal NodeWalker(CompositeNode container, NodeType nodeType, bool isDeep)
    {
        this.container = container;
        this.nodeType = nodeType;
        this.isDeep = isDeep;
    }

    public Node Current => current ?? throw new InvalidOperationException(
        started ? "The walk has ended." : "The walk has not started. Call MoveNext.");

    object IEnumerator.Current => Current;

    public bool MoveNext()
    {
        current = Next();
        return current is not null;
    }

    /// <summary>
    /// Steps on and returns the node there, or null at the end and from then on. Current is
    /// not set (a caller of Next holds the node itself), which saves a stored reference.
    /// </summary>
    [MethodImpl(MethodImplOptions.AggressiveInlining)]
    public Node? Next()
    {
        Node? node = started ? following : container.FirstChild;
        started = true;
        while (node is not null && nodeType != NodeType.Any && node.NodeType != nodeType)
            node = Step(node);
        following = node is null ? null : Step(node);
        return node;
    }

    public void Reset()
    {
        current = following = null;
        started = false;
    }

    public void Dispose()
    {
    }

    private Node? Step(Node node) => isDeep ? container.NextInDocumentOrder(node) : node.next;
}
