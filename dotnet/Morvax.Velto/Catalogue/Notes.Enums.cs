// The enumerations of Morvax.Velto.Notes.

namespace Morvax.Velto.Notes;

public enum EndnotePosition
{
    EndOfSection = 0,
    EndOfDocument = 3,
}

public enum FootnoteNumberingRule
{
    Continuous = 0,
    RestartSection = 1,
    RestartPage = 2,
    Default = Continuous,
}

public enum FootnotePosition
{
    BottomOfPage = 1,
    BeneathText = 2,
}

public enum FootnoteSeparatorType
{
    FootnoteSeparator = 0,
    FootnoteContinuationSeparator = 1,
    FootnoteContinuationNotice = 2,
    EndnoteSeparator = 3,
    EndnoteContinuationSeparator = 4,
    EndnoteContinuationNotice = 5,
}

public enum FootnoteType
{
    Footnote = 0,
    Endnote = 1,
}
