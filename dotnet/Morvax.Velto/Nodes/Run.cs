// Run: a piece of text with one character formatting.
using System;
using System.Text;

namespace Morvax.Velto;

/// <summary>A run of text with one character formatting.</summary>
public sealed class Run : Inline
{
    private string text;

    /// <summary>Creates an empty run for the document.</summary>
    public Run(DocumentBase doc) : this(doc, string.Empty)
    {
    }

    /// <summary>Creates a run of the text for the document.</summary>
    public Run(DocumentBase doc, string text) : base(doc)
    {
        ArgumentNullException.ThrowIfNull(text);
        this.text = text;
    }

    public override NodeType NodeType => NodeType.Run;

    /// <summary>The text of the run.</summary>
    public string Text
    {
        get => text;
        set
        {
            ArgumentNullException.ThrowIfNull(value);
            if (value != text && Document.Tracking is { } tracking)
                value = tracking.TextChanging(this, text, value);
            text = value;
        }
    }

    // A tracked insertion or deletion of this run's text, if any.
    internal RunRevision? Revision { get; set; }

    internal override void AppendText(StringBuilder builder)
    {
        if (Revision?.Type != RevisionType.Deletion)
            builder.Append(text);
    }

    // Joins the following run into this one without recording a revision:
    // the text shown does not change.
    internal void Absorb(Run following)
    {
        text += following.text;
        following.ParentNode!.UnlinkUntracked(following);
    }

    internal override Node CopyNode(DocumentBase owner)
    {
        var copy = new Run(owner, text) { Revision = Revision };
        copy.Font.CopyFrom(FormattingView);
        return copy;
    }
}
