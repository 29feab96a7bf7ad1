// Node: the base of every element of the document tree.  A node belongs to
// one document for its whole life and sits in at most one parent at a time;
// the parent keeps its children as a doubly linked list (CompositeNode), so
// sibling steps and appends cost O(1).
using System;
using System.Text;

namespace Morvax.Velto;

/// <summary>A node of a document tree: a section, paragraph, run or any other part of a document.</summary>
public abstract partial class Node
{
    private readonly DocumentBase document;

    // Maintained by CompositeNode only.
    internal CompositeNode? parent;
    internal Node? next;
    internal Node? previous;

    // For a node read from a package: the element it was read from and what
    // the node was then, so that saving writes back what did not change
    // exactly as it was (see Formats/DocxSource).  Copies get their own
    // (Formats/OriginCopier).
    internal object? Origin;

    // A null owner is only legal for a document, which owns itself.  The
    // constructor is private protected so that no code outside this assembly
    // can add node kinds the tree does not know how to hold.
    private protected Node(DocumentBase? doc)
    {
        if (doc is null)
        {
            if (this is not DocumentBase self)
                throw new ArgumentNullException(nameof(doc));
            doc = self;
        }
        document = doc;
    }

    /// <summary>The kind of this node.</summary>
    public abstract NodeType NodeType { get; }

    /// <summary>The node that holds this one, or <see langword="null"/> when it is not in a tree.</summary>
    public CompositeNode? ParentNode => parent;

    /// <summary>The document this node belongs to.</summary>
    public DocumentBase Document => document;

    /// <summary>The node after this one under the same parent, or <see langword="null"/>.</summary>
    public Node? NextSibling => next;

    /// <summary>The node before this one under the same parent, or <see langword="null"/>.</summary>
    public Node? PreviousSibling => previous;

    public virtual bool IsComposite => false;

    /// <summary>The text of this node and the nodes below it, to read, search and replace.</summary>
    public Range Range => new(this);

    /// <summary>The text of this node and every node below it.</summary>
    public string GetText()
    {
        StringBuilder text = TextBuilderCache.Take();
        AppendText(text);
        return TextBuilderCache.Release(text);
    }

    // A clone belongs to the same document as the original and has no parent;
    // cloning a document yields a new, independent document.  Either way the
    // clone saves as the original would (its origins are carried over).
    /// <summary>Copies this node, with the nodes below it when <paramref name="isCloneChildren"/> is <see langword="true"/>.</summary>
    public Node Clone(bool isCloneChildren)
    {
        Node copy = CloneInto(document, isCloneChildren);
        if (this is not DocumentBase)
        {
            Formats.OriginCopier.CarryWithin(this, copy);
            // Pictures bring what their runs name: the copy got no origin (in
            // a document not loaded from a package), or it may be moved into
            // a story whose part lacks the original's relationships.
            Formats.PictureImport.Carry(this, copy);
            CommentCopies.Renumber(copy);
        }
        return copy;
    }

    /// <summary>Takes this node out of its parent.</summary>
    public void Remove() => parent?.RemoveChild(this);

    public override string ToString() => GetText();

    internal abstract void AppendText(StringBuilder text);

    // A new node of the same kind with this node's own attributes, owned by
    // owner, without children.
    internal abstract Node CopyNode(DocumentBase owner);

    internal virtual Node CloneInto(DocumentBase owner, bool deep) => CopyNode(owner);

    // True when this node hangs, through its parents, from its own document:
    // a removed node (or one never inserted) is not part of what gets saved.
    internal bool IsInDocument()
    {
        Node node = this;
        while (node.parent is not null)
            node = node.parent;
        return ReferenceEquals(node, document);
    }
}
