// Morvax.Velto.Notes: footnote and endnote options and separators.

using System;

namespace Morvax.Velto.Notes;

public sealed class EndnoteOptions
{
    private EndnotePosition position = EndnotePosition.EndOfDocument;
    private NumberStyle numberStyle = NumberStyle.LowercaseRoman;
    private FootnoteNumberingRule restartRule = FootnoteNumberingRule.Continuous;

    internal EndnoteOptions()
    {
    }

    public EndnotePosition Position
    {
        get => position;
        set => position = EnumCheck.Defined(value);
    }

    public NumberStyle NumberStyle
    {
        get => numberStyle;
        set => numberStyle = EnumCheck.Defined(value);
    }

    public int StartNumber { get; set; } = 1;

    public FootnoteNumberingRule RestartRule
    {
        get => restartRule;
        set => restartRule = EnumCheck.Defined(value);
    }
}

public sealed class FootnoteOptions
{
    private FootnotePosition position = FootnotePosition.BottomOfPage;
    private NumberStyle numberStyle = NumberStyle.Arabic;
    private FootnoteNumberingRule restartRule = FootnoteNumberingRule.Continuous;

    internal FootnoteOptions()
    {
    }

    public FootnotePosition Position
    {
        get => position;
        set => position = EnumCheck.Defined(value);
    }

    public NumberStyle NumberStyle
    {
        get => numberStyle;
        set => numberStyle = EnumCheck.Defined(value);
    }

    public int StartNumber { get; set; } = 1;

    // Footnote columns are a per-section setting of later word processors,
    // which this library does not write; only the default is accepted.
    public int Columns
    {
        get => 0;
        set
        {
            if (value != 0)
                throw new NotSupportedException("FootnoteOptions.Columns cannot be set: footnote columns are not written by this library.");
        }
    }

    public FootnoteNumberingRule RestartRule
    {
        get => restartRule;
        set => restartRule = EnumCheck.Defined(value);
    }
}

public sealed class FootnoteSeparatorCollection
{
    internal FootnoteSeparatorCollection()
    {
    }
}
