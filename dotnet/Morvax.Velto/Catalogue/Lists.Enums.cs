// The enumerations of Morvax.Velto.Lists.

namespace Morvax.Velto.Lists;

public enum ListLevelAlignment
{
    Left = 0,
    Center = 1,
    Right = 2,
}

public enum ListTemplate
{
    BulletDefault = 0,
    BulletDisk = 1,
    BulletCircle = 2,
    BulletSquare = 3,
    BulletDiamonds = 4,
    BulletArrowHead = 5,
    BulletTick = 6,
    NumberDefault = 7,
    NumberArabicDot = 8,
    NumberArabicParenthesis = 9,
    NumberUppercaseRomanDot = 10,
    NumberUppercaseLetterDot = 11,
    NumberLowercaseLetterParenthesis = 12,
    NumberLowercaseLetterDot = 13,
    NumberLowercaseRomanDot = 14,
    OutlineNumbers = 15,
    OutlineLegal = 16,
    OutlineBullets = 17,
    OutlineHeadingsArticleSection = 18,
    OutlineHeadingsLegal = 19,
    OutlineHeadingsNumbers = 20,
    OutlineHeadingsChapter = 21,
}

public enum ListTrailingCharacter
{
    Tab = 0,
    Space = 1,
    Nothing = 2,
}
