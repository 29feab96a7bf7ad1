// Run: a piece of text with one character formatting.
using System;
using System.Text;

namespace Morvax.Velto;

public sealed class Run : Inline
{
    private string text;

    public Run(DocumentBase doc) : this(doc, string.Empty)
    {
    }

    public Run(DocumentBase doc, string text) : base(doc)
    {
        ArgumentNullException.ThrowIfNull(text);
        this.text = text;
    }

    public override NodeType NodeType => NodeType.Run;

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
