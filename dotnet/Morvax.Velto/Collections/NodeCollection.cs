// NodeCollection: a live view of the children (or all descendants) of one
// node that have a given type.  Reads always reflect the current tree;
// changes made through the collection are made to the tree.
using System;
using System.Collections;
using System.Collections.Generic;
using System.Linq;

namespace Morvax.Velto;

/// <summary>A live view of the child nodes of one kind below a node.</summary>
public class NodeCollection : IEnumerable<Node>
{
    private readonly NodeMatches nodes;

    // The node the last read by index found, and where: reading the items in order then
    // costs one step each instead of a walk from the first. Any change to the document's
    // tree (its structure version) makes it forgotten.
    private Node? lastRead;
    private int lastReadIndex;
    private int lastReadVersion;

    internal NodeCollection(CompositeNode container, NodeType nodeType, bool isDeep)
    {
        nodes = container.Matching(nodeType, isDeep);
    }

    /// <summary>The number of nodes in the collection.</summary>
    public int Count => nodes.Count();

    // A negative index counts from the end (-1 is the last node).
    public Node this[int index]
    {
        get
        {
            Node? node = index >= 0 ? NodeAt(index) : nodes.Container.GetChild(nodes.NodeType, index, nodes.IsDeep);
            return node ?? throw new ArgumentOutOfRangeException(nameof(index), index,
                "The index is outside the collection.");
        }
    }

    private Node? NodeAt(int index)
    {
        // While the tree is the one the last complete walk saw, its nodes are at hand.
        NodeWalkRecord? kept = nodes.CurrentRecord;
        if (kept is not null)
            return index < kept.Count ? kept.Nodes[index] : null;
        int version = nodes.Container.Document.StructureVersion;
        bool resume = lastRead is not null && lastReadVersion == version && lastReadIndex <= index;
        Node? node = resume ? lastRead : nodes.After(null);
        int at = resume ? lastReadIndex : 0;
        for (; node is not null && at < index; at++)
            node = nodes.After(node);
        if (node is not null)
            (lastRead, lastReadIndex, lastReadVersion) = (node, index, version);
        return node;
    }

    // Appends to the node the collection was taken from.
    public void Add(Node node)
    {
        CheckType(node);
        nodes.Container.AppendChild(node);
    }

    // Inserts before the node now at index, in that node's parent; an index
    // equal to Count appends after the last node of the collection.
    public void Insert(int index, Node node)
    {
        CheckType(node);
        Node[] members = ToArray();
        if (index < 0 || index > members.Length)
            throw new ArgumentOutOfRangeException(nameof(index), index, "The index is outside the collection.");
        if (index < members.Length)
            members[index].ParentNode!.InsertBefore(node, members[index]);
        else if (members.Length > 0)
            members[^1].ParentNode!.InsertAfter(node, members[^1]);
        else
            nodes.Container.AppendChild(node);
    }

    public void Remove(Node node)
    {
        if (!Contains(node))
            throw new ArgumentException("The node is not in this collection.", nameof(node));
        node.Remove();
    }

    public void RemoveAt(int index) => this[index].Remove();

    public void Clear()
    {
        foreach (Node node in ToArray())
            node.Remove();
    }

    public bool Contains(Node node) => IndexOf(node) >= 0;

    public int IndexOf(Node node)
    {
        if (node is null)
            return -1;
        int index = 0;
        foreach (Node candidate in nodes)
        {
            if (ReferenceEquals(candidate, node))
                return index;
            index++;
        }
        return -1;
    }

    public Node[] ToArray() => nodes.ToArray();

    // Walks the tree as it is (NodeWalk.cs): each step finds the following node before handing
    // out the current one, so the current node may be removed or moved while iterating. A
    // snapshot would cost a large array per walk (the large-object heap for long stories); a
    // collection walked more than once keeps its last complete walk instead, which later walks
    // read while the tree is unchanged and leave, as the live walk would, once it changes.
    public IEnumerator<Node> GetEnumerator() => nodes.GetEnumerator();

    // The matches the collection walks (what its walks keep, for the tests).
    internal NodeMatches Matches => nodes;

    IEnumerator IEnumerable.GetEnumerator() => GetEnumerator();


    private void CheckType(Node node)
    {
        ArgumentNullException.ThrowIfNull(node);
        if (nodes.NodeType != NodeType.Any && node.NodeType != nodes.NodeType)
            throw new ArgumentException($"A {node.NodeType} node cannot be added to a collection of {nodes.NodeType} nodes.",
                nameof(node));
    }
}
