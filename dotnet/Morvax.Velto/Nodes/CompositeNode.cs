// CompositeNode: a node that holds children.  Each kind of container decides
// which kinds of child it accepts (CanHold), so the tree keeps the shape the
// writers expect: Document > Section > Body > Paragraph > Run.
using System;
using System.Collections.Generic;
using System.Text;

namespace Morvax.Velto;

/// <summary>A node that holds other nodes, in order.</summary>
public abstract class CompositeNode : Node
{
    private Node? first;
    private Node? last;
    private int count;

    private protected CompositeNode(DocumentBase? doc) : base(doc)
    {
    }

    public override bool IsComposite => true;

    /// <summary>The first child node, or <see langword="null"/>.</summary>
    public Node? FirstChild => first;

    /// <summary>The last child node, or <see langword="null"/>.</summary>
    public Node? LastChild => last;

    public bool HasChildNodes => first is not null;

    public int Count => count;

    /// <summary>Adds the node at the end of the children; returns it.</summary>
    public Node AppendChild(Node newChild)
    {
        CheckNewChild(newChild);
        bool added = newChild.parent is null;
        Detach(newChild);
        Link(newChild, null);
        Track(newChild, added);
        return newChild;
    }

    /// <summary>Adds the node at the start of the children; returns it.</summary>
    public Node PrependChild(Node newChild)
    {
        CheckNewChild(newChild);
        bool added = newChild.parent is null;
        Detach(newChild);
        Link(newChild, first);
        Track(newChild, added);
        return newChild;
    }

    // A null refChild inserts at the beginning, as in the XML DOM.
    /// <summary>Inserts the node after <paramref name="refChild"/> (at the start when it is <see langword="null"/>); returns it.</summary>
    public Node InsertAfter(Node newChild, Node? refChild)
    {
        CheckRefChild(refChild);
        CheckNewChild(newChild);
        if (ReferenceEquals(newChild, refChild))
            return newChild;
        bool added = newChild.parent is null;
        Detach(newChild);
        // Read refChild's neighbour only now: detaching may have changed it.
        Link(newChild, refChild is null ? first : refChild.next);
        Track(newChild, added);
        return newChild;
    }

    // A null refChild inserts at the end, as in the XML DOM.
    /// <summary>Inserts the node before <paramref name="refChild"/> (at the end when it is <see langword="null"/>); returns it.</summary>
    public Node InsertBefore(Node newChild, Node? refChild)
    {
        CheckRefChild(refChild);
        CheckNewChild(newChild);
        if (ReferenceEquals(newChild, refChild))
            return newChild;
        bool added = newChild.parent is null;
        Detach(newChild);
        Link(newChild, refChild);
        Track(newChild, added);
        return newChild;
    }

    /// <summary>Removes the child node; returns it.</summary>
    public Node RemoveChild(Node oldChild)
    {
        ArgumentNullException.ThrowIfNull(oldChild);
        if (!ReferenceEquals(oldChild.parent, this))
            throw new ArgumentException("The node to be removed is not a child of this node.", nameof(oldChild));
        if (Document.Tracking is { } tracking)
        {
            RevisionTracking.CheckRemovable(oldChild);
            if (!tracking.Removing(oldChild))
                return oldChild;
        }
        Unlink(oldChild);
        return oldChild;
    }

    /// <summary>Removes every child node.</summary>
    public void RemoveAllChildren()
    {
        if (Document.Tracking is { } tracking)
        {
            // Children that tracking keeps (as deleted runs) stay in place;
            // nothing changes unless every child may go.
            for (Node? node = first; node is not null; node = node.next)
                RevisionTracking.CheckRemovable(node);
            for (Node? node = first; node is not null;)
            {
                Node? following = node.next;
                if (tracking.Removing(node))
                    Unlink(node);
                node = following;
            }
            return;
        }
        while (first is not null)
            Unlink(first);
    }

    // Only a node that was in no tree is new content: moving a node within
    // the document (as ending a paragraph does with the runs before the
    // cursor) records nothing.
    private void Track(Node node, bool added)
    {
        if (added)
            Document.Tracking?.Inserted(node);
    }

    // Insertion and removal that revision tracking does not hear of: the
    // tracking's own edits, and accepting or rejecting.
    internal void LinkUntracked(Node node, Node? before) => Link(node, before);

    internal void UnlinkUntracked(Node node) => Unlink(node);

    // A negative index counts from the end (-1 is the last match); an index
    // past either end gives null.
    /// <summary>The child of the given kind at the index (negative counts from the end), searching the whole subtree when <paramref name="isDeep"/> is set; <see langword="null"/> when there is none.</summary>
    public Node? GetChild(NodeType nodeType, int index, bool isDeep)
    {
        if (index < 0)
        {
            var matches = new List<Node>(Matching(nodeType, isDeep));
            int from = matches.Count + index;
            return from >= 0 ? matches[from] : null;
        }
        foreach (Node node in Matching(nodeType, isDeep))
        {
            if (index-- == 0)
                return node;
        }
        return null;
    }

    /// <summary>A live collection of the child nodes of the given kind, of the whole subtree when <paramref name="isDeep"/> is set.</summary>
    public NodeCollection GetChildNodes(NodeType nodeType, bool isDeep) => new(this, nodeType, isDeep);

    /// <summary>The position of the child among the children, or -1.</summary>
    public int IndexOf(Node child)
    {
        if (child is null || !ReferenceEquals(child.parent, this))
            return -1;
        int index = 0;
        for (Node? node = first; !ReferenceEquals(node, child); node = node!.next)
            index++;
        return index;
    }

    internal abstract bool CanHold(Node child);

    // Children (isDeep false) or all descendants in document order (isDeep
    // true) whose type matches; Any matches every node.  The walk follows the
    // links without recursion, so tree depth never costs stack (NodeWalk.cs).
    internal NodeMatches Matching(NodeType nodeType, bool isDeep) => new(this, nodeType, isDeep);

    // As Matching deep, but leaving out headers and footers, footnotes and
    // comments: the flow of the main text, which is what text exports, counts
    // and page estimates cover.
    internal IEnumerable<Node> MatchingInMainText(NodeType nodeType)
    {
        Node? node = first;
        while (node is not null)
        {
            if (node is HeaderFooter or InlineStory)
            {
                node = NextInDocumentOrder(node, skipChildren: true);
                continue;
            }
            Node? following = NextInDocumentOrder(node);
            if (nodeType == NodeType.Any || node.NodeType == nodeType)
                yield return node;
            node = following;
        }
    }

    internal override void AppendText(StringBuilder text)
    {
        for (Node? node = first; node is not null; node = node.next)
            node.AppendText(text);
    }

    internal override Node CloneInto(DocumentBase owner, bool deep)
    {
        var copy = (CompositeNode)CopyNode(owner);
        if (deep)
        {
            // A cloned document owns its own children.
            for (Node? node = first; node is not null; node = node.next)
                copy.Link(node.CloneInto(copy.Document, true), null);
        }
        return copy;
    }

    internal Node? NextInDocumentOrder(Node node, bool skipChildren = false)
    {
        if (!skipChildren && node is CompositeNode composite && composite.first is not null)
            return composite.first;
        for (Node? current = node; current is not null && !ReferenceEquals(current, this); current = current.parent)
        {
            if (current.next is not null)
                return current.next;
        }
        return null;
    }

    private void CheckNewChild(Node newChild)
    {
        ArgumentNullException.ThrowIfNull(newChild);
        if (!ReferenceEquals(newChild.Document, Document))
            throw new ArgumentException(
                "The newChild was created from a different document than the one that created this node.",
                nameof(newChild));
        if (!CanHold(newChild))
            throw new ArgumentException(
                $"Cannot insert a {newChild.NodeType} node into a {NodeType} node.", nameof(newChild));
        for (Node? ancestor = this; ancestor is not null; ancestor = ancestor.parent)
        {
            if (ReferenceEquals(ancestor, newChild))
                throw new ArgumentException("Cannot insert a node into itself or one of its descendants.",
                    nameof(newChild));
        }
    }

    private void CheckRefChild(Node? refChild)
    {
        if (refChild is not null && !ReferenceEquals(refChild.parent, this))
            throw new ArgumentException("The reference node is not a child of this node.", nameof(refChild));
    }

    private static void Detach(Node node) => node.parent?.Unlink(node);

    // Inserts an unattached node before `before` (a child of this node), or
    // at the end when `before` is null.
    private void Link(Node node, Node? before)
    {
        // The document's watcher hears of the insertion before and after it.
        var watcher = Document.NodeChangingCallback;
        NodeChangingArgs? change = watcher is null ? null : new NodeChangingArgs(node, null, this, NodeChangingAction.Insert);
        if (change is not null) watcher!.NodeInserting(change);
        node.parent = this;
        node.next = before;
        node.previous = before is null ? last : before.previous;
        if (node.previous is null)
            first = node;
        else
            node.previous.next = node;
        if (before is null)
            last = node;
        else
            before.previous = node;
        count++;
        Document.StructureVersion++;
        if (change is not null) watcher!.NodeInserted(change);
    }

    private void Unlink(Node node)
    {
        var watcher = Document.NodeChangingCallback;
        NodeChangingArgs? change = watcher is null ? null : new NodeChangingArgs(node, this, null, NodeChangingAction.Remove);
        if (change is not null) watcher!.NodeRemoving(change);
        if (node.previous is null)
            first = node.next;
        else
            node.previous.next = node.next;
        if (node.next is null)
            last = node.previous;
        else
            node.next.previous = node.previous;
        node.parent = null;
        node.next = null;
        node.previous = null;
        count--;
        Document.StructureVersion++;
        if (change is not null) watcher!.NodeRemoved(change);
    }
}
