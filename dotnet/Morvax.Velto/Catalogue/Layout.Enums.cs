// The enumerations of Morvax.Velto.Layout.
using System;

namespace Morvax.Velto.Layout;

public enum CommentDisplayMode
{
    Hide = 0,
    ShowInBalloons = 1,
    ShowInAnnotations = 2,
}

public enum ContinuousSectionRestart
{
    Always = 0,
    FromNewPageOnly = 1,
}

[Flags]
public enum LayoutEntityType
{
    None = 0,
    Page = 1,
    Column = 2,
    Row = 8,
    Cell = 16,
    Line = 32,
    Span = 64,
    Footnote = 256,
    Endnote = 512,
    HeaderFooter = 1024,
    TextBox = 2048,
    Comment = 4096,
    NoteSeparator = 8192,
}

public enum PageLayoutEvent
{
    None = 0,
    WatchDog = 1,
    PartReflowStarted = 2,
    PartReflowFinished = 3,
    PartRenderingStarted = 4,
    PartRenderingFinished = 5,
    ConversionFinished = 6,
}

public enum RevisionColor
{
    Auto = 0,
    Black = 1,
    Blue = 2,
    BrightGreen = 3,
    DarkBlue = 4,
    DarkRed = 5,
    DarkYellow = 6,
    Gray25 = 7,
    Gray50 = 8,
    Green = 9,
    Pink = 10,
    Red = 11,
    Teal = 12,
    Turquoise = 13,
    Violet = 14,
    White = 15,
    Yellow = 16,
    NoHighlight = 17,
    ClassicRed = 18,
    ClassicBlue = 19,
    ByAuthor = 20,
}

public enum RevisionTextEffect
{
    None = 0,
    Color = 1,
    Bold = 2,
    Italic = 3,
    Underline = 4,
    DoubleUnderline = 5,
    StrikeThrough = 6,
    DoubleStrikeThrough = 7,
    Hidden = 8,
}

public enum ShowInBalloons
{
    None = 0,
    Format = 1,
    FormatAndDelete = 2,
}
