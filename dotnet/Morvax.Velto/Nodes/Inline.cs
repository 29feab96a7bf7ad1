// Inline: a node that lives inside a paragraph and carries character
// formatting.
namespace Morvax.Velto;

/// <summary>A node inside a paragraph that carries character formatting.</summary>
public abstract class Inline : Node
{
    private protected Inline(DocumentBase doc) : base(doc)
    {
    }

    private Font? font;
    // Formatting shared with other nodes (a loaded run shares the snapshot
    // it was read with): most nodes of a loaded document are never asked
    // for their Font, so each gets its own copy only when first asked.
    private Font? sharedFont;

    /// <summary>The character formatting of this node.</summary>
    public Font Font
    {
        get
        {
            if (Document.Tracking is { } tracking && this is Run run)
                tracking.FormattingTaken(run);
            return OwnedFont;
        }
    }

    // The node's own formatting, made when first asked for; a change to it is
    // no edit tracking records (accepting and rejecting make those).
    internal Font OwnedFont => font ??= OwnFont();

    // The formatting to read without changing it, shared or not.
    internal Font FormattingView => font ?? sharedFont ?? OwnedFont;

    // Formatting that no one changes, shared until Font is asked for.
    internal void ShareFormatting(Font formatting)
    {
        font = null;
        sharedFont = formatting;
    }

    private Font OwnFont()
    {
        var own = new Font();
        if (sharedFont is not null)
            own.CopyFrom(sharedFont);
        sharedFont = null;
        return own;
    }

    /// <summary>Whether this node is text inserted while revisions were tracked and not yet accepted or rejected.</summary>
    public bool IsInsertRevision => this is Run { Revision.Type: RevisionType.Insertion };

    /// <summary>Whether this node is text deleted while revisions were tracked and not yet accepted or rejected.</summary>
    public bool IsDeleteRevision => this is Run { Revision.Type: RevisionType.Deletion };
}
