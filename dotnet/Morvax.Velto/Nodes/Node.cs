// Node: the base of every element of the document tree.  A node belongs to
// one document for its whole life and sits in at most one parent at a time;
// the parent keeps its children as a doubly linked list (CompositeNode), so
// sibling steps and appends cost O(1).
using System;
using System.Text;

namespace Morvax.Velto;

public abstract class Node
{
    private readonly DocumentBase document;

    // Maintained by CompositeNode only.
    internal CompositeNode? parent;
    internal Node? next;
    internal Node? previous;

    // For a node read from a package: the element it was read from and what
    // the node was then, so that saving writes back what did not change
    // exactly as it was (see Formats/DocxSource).  Copies do not share it.
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

    public abstract NodeType NodeType { get; }

    public CompositeNode? ParentNode => parent;

    public DocumentBase Document => document;

    public Node? NextSibling => next;

    public Node? PreviousSibling => previous;

    public virtual bool IsComposite => false;

    public string GetText()
    {
        var text = new StringBuilder();
        AppendText(text);
        return text.ToString();
    }

    // A clone belongs to the same document as the original and has no parent;
    // cloning a document yields a new, independent document.
    public Node Clone(bool isCloneChildren) => CloneInto(document, isCloneChildren);

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
