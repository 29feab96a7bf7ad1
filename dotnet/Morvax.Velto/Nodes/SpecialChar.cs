// SpecialChar: an inline node that stands for one control character of the
// text (a field mark, a form field, an absolute position tab).  Only the
// library makes them: each kind has a fixed character and a meaning that the
// writers must know about.
using System.Text;

namespace Morvax.Velto;

public class SpecialChar : Inline
{
    private readonly char character;

    internal SpecialChar(DocumentBase doc, char character) : base(doc)
    {
        this.character = character;
    }

    public override NodeType NodeType => NodeType.SpecialChar;

    internal char Character => character;

    internal override void AppendText(StringBuilder text) => text.Append(character);

    internal override Node CopyNode(DocumentBase owner) => CopyFormatting(new SpecialChar(owner, character));

    private protected Node CopyFormatting(Inline copy)
    {
        copy.Font.CopyFrom(FormattingView);
        return copy;
    }
}

// A tab whose stop is set relative to a margin or indent instead of the
// paragraph's tab stops.
public sealed class AbsolutePositionTab : SpecialChar
{
    internal AbsolutePositionTab(DocumentBase doc) : base(doc, ControlChar.TabChar)
    {
    }

    internal override Node CopyNode(DocumentBase owner) => CopyFormatting(new AbsolutePositionTab(owner));
}
