// The enumerations of Morvax.Velto.Themes.

namespace Morvax.Velto.Themes;

public enum ThemeColor
{
    None = -1,
    Dark1 = 0,
    Light1 = 1,
    Dark2 = 2,
    Light2 = 3,
    Accent1 = 4,
    Accent2 = 5,
    Accent3 = 6,
    Accent4 = 7,
    Accent5 = 8,
    Accent6 = 9,
    Hyperlink = 10,
    FollowedHyperlink = 11,
    Text1 = 12,
    Text2 = 13,
    Background1 = 14,
    Background2 = 15,
}

public enum ThemeFont
{
    None = 0,
    Major = 1,
    Minor = 2,
}
