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
            text = value;
        }
    }

    internal override void AppendText(StringBuilder builder) => builder.Append(text);

    internal override Node CopyNode(DocumentBase owner)
    {
        var copy = new Run(owner, text);
        copy.Font.CopyFrom(Font);
        return copy;
    }
}
