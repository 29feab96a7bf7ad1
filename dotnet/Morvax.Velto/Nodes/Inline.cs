// Inline: a node that lives inside a paragraph and carries character
// formatting.
namespace Morvax.Velto;

/// <summary>A node inside a paragraph that carries character formatting.</summary>
public abstract class Inline : Node
{
    private protected Inline(DocumentBase doc) : base(doc)
    {
    }

    /// <summary>The character formatting of this node.</summary>
    public Font Font { get; } = new();

    /// <summary>Whether this node is text inserted while revisions were tracked and not yet accepted or rejected.</summary>
    public bool IsInsertRevision => this is Run { Revision.Type: RevisionType.Insertion };

    /// <summary>Whether this node is text deleted while revisions were tracked and not yet accepted or rejected.</summary>
    public bool IsDeleteRevision => this is Run { Revision.Type: RevisionType.Deletion };
}
