// The enumerations of Morvax.Velto.Math.

namespace Morvax.Velto.Math;

public enum MathObjectType
{
    OMath = 0,
    OMathPara = 1,
    Accent = 2,
    Bar = 3,
    BorderBox = 4,
    Box = 5,
    Delimiter = 6,
    Degree = 7,
    Argument = 8,
    Array = 9,
    Fraction = 10,
    Denominator = 11,
    Numerator = 12,
    Function = 13,
    FunctionName = 14,
    GroupCharacter = 15,
    Limit = 16,
    LowerLimit = 17,
    UpperLimit = 18,
    Matrix = 19,
    MatrixRow = 20,
    NAry = 21,
    Phantom = 22,
    Radical = 23,
    SubscriptPart = 24,
    SuperscriptPart = 25,
    PreSubSuperscript = 26,
    Subscript = 27,
    SubSuperscript = 28,
    Superscript = 29,
}

public enum OfficeMathDisplayType
{
    Display = 0,
    Inline = 1,
}

public enum OfficeMathJustification
{
    CenterGroup = 0,
    Center = 1,
    Left = 2,
    Right = 3,
    Inline = 4,
    Default = CenterGroup,
}
