// The enumerations of Morvax.Velto.Drawing.
using System;

namespace Morvax.Velto.Drawing;

public enum ArrowLength
{
    Short = 0,
    Medium = 1,
    Long = 2,
    Default = Short,
}

public enum ArrowType
{
    None = 0,
    Arrow = 1,
    Stealth = 2,
    Diamond = 3,
    Oval = 4,
    Open = 5,
    Default = None,
}

public enum ArrowWidth
{
    Narrow = 0,
    Medium = 1,
    Wide = 2,
    Default = Narrow,
}

public enum DashStyle
{
    Solid = 0,
    ShortDash = 1,
    ShortDot = 2,
    ShortDashDot = 3,
    ShortDashDotDot = 4,
    Dot = 5,
    Dash = 6,
    LongDash = 7,
    DashDot = 8,
    LongDashDot = 9,
    LongDashDotDot = 10,
    Default = Solid,
}

public enum EndCap
{
    Round = 0,
    Square = 1,
    Flat = 2,
}

public enum FillType
{
    Solid = 0,
    Patterned = 1,
    Gradient = 2,
    Textured = 3,
    Background = 4,
    Picture = 5,
}

[Flags]
public enum FlipOrientation
{
    None = 0,
    Horizontal = 1,
    Vertical = 2,
    Both = 3,
}

public enum GradientStyle
{
    None = -1,
    Horizontal = 1,
    Vertical = 2,
    DiagonalUp = 3,
    DiagonalDown = 4,
    FromCorner = 5,
    FromCenter = 6,
}

public enum GradientVariant
{
    None = 0,
    Variant1 = 1,
    Variant2 = 2,
    Variant3 = 3,
    Variant4 = 4,
}

public enum HorizontalAlignment
{
    None = 0,
    Default = 0,
    Left = 1,
    Center = 2,
    Right = 3,
    Inside = 4,
    Outside = 5,
}

public enum HorizontalRuleAlignment
{
    Left = 0,
    Center = 1,
    Right = 2,
}

public enum ImageType
{
    NoImage = 0,
    Unknown = 1,
    Emf = 2,
    Wmf = 3,
    Pict = 4,
    Jpeg = 5,
    Png = 6,
    Bmp = 7,
    Eps = 8,
    WebP = 9,
    Gif = 10,
}

public enum JoinStyle
{
    Bevel = 0,
    Miter = 1,
    Round = 2,
}

public enum LayoutFlow
{
    Horizontal = 0,
    TopToBottomIdeographic = 1,
    BottomToTop = 2,
    TopToBottom = 3,
    HorizontalIdeographic = 4,
    Vertical = 5,
}

public enum PatternType
{
    None = 0,
    Percent5 = 1,
    Percent10 = 2,
    Percent20 = 3,
    Percent25 = 4,
    Percent30 = 5,
    Percent40 = 6,
    Percent50 = 7,
    Percent60 = 8,
    Percent70 = 9,
    Percent75 = 10,
    Percent80 = 11,
    Percent90 = 12,
    Cross = 13,
    DarkDownwardDiagonal = 14,
    DarkHorizontal = 15,
    DarkUpwardDiagonal = 16,
    DarkVertical = 17,
    DashedDownwardDiagonal = 18,
    DashedHorizontal = 19,
    DashedUpwardDiagonal = 20,
    DashedVertical = 21,
    DiagonalBrick = 22,
    DiagonalCross = 23,
    Divot = 24,
    DottedDiamond = 25,
    DottedGrid = 26,
    DownwardDiagonal = 27,
    Horizontal = 28,
    HorizontalBrick = 29,
    LargeCheckerBoard = 30,
    LargeConfetti = 31,
    LargeGrid = 32,
    LightDownwardDiagonal = 33,
    LightHorizontal = 34,
    LightUpwardDiagonal = 35,
    LightVertical = 36,
    NarrowHorizontal = 37,
    NarrowVertical = 38,
    OutlinedDiamond = 39,
    Plaid = 40,
    Shingle = 41,
    SmallCheckerBoard = 42,
    SmallConfetti = 43,
    SmallGrid = 44,
    SolidDiamond = 45,
    Sphere = 46,
    Trellis = 47,
    UpwardDiagonal = 48,
    Vertical = 49,
    Wave = 50,
    Weave = 51,
    WideDownwardDiagonal = 52,
    WideUpwardDiagonal = 53,
    ZigZag = 54,
}

public enum PresetTexture
{
    None = -1,
    BlueTissuePaper = 0,
    Bouquet = 1,
    BrownMarble = 2,
    Canvas = 3,
    Cork = 4,
    Denim = 5,
    FishFossil = 6,
    Granite = 7,
    GreenMarble = 8,
    MediumWood = 9,
    Newsprint = 10,
    Oak = 11,
    PaperBag = 12,
    Papyrus = 13,
    Parchment = 14,
    PinkTissuePaper = 15,
    PurpleMesh = 16,
    RecycledPaper = 17,
    Sand = 18,
    Stationery = 19,
    Walnut = 20,
    WaterDroplets = 21,
    WhiteMarble = 22,
    WovenMat = 23,
}

public enum RelativeHorizontalPosition
{
    Margin = 0,
    Page = 1,
    Column = 2,
    Default = Column,
    Character = 3,
    LeftMargin = 4,
    RightMargin = 5,
    InsideMargin = 6,
    OutsideMargin = 7,
}

public enum RelativeHorizontalSize
{
    Margin = 0,
    Page = 1,
    LeftMargin = 2,
    RightMargin = 3,
    InnerMargin = 4,
    OuterMargin = 5,
    Default = Margin,
}

public enum RelativeVerticalPosition
{
    Margin = 0,
    TableDefault = Margin,
    Page = 1,
    Paragraph = 2,
    TextFrameDefault = Paragraph,
    Line = 3,
    TopMargin = 4,
    BottomMargin = 5,
    InsideMargin = 6,
    OutsideMargin = 7,
}

public enum RelativeVerticalSize
{
    Margin = 0,
    Page = 1,
    TopMargin = 2,
    BottomMargin = 3,
    InnerMargin = 4,
    OuterMargin = 5,
    Default = Margin,
}

// The preset shadows; Mixed is what a selection of differently shadowed
// shapes reports.
public enum ShadowType
{
    Shadow1 = 0,
    Shadow2 = 1,
    Shadow3 = 2,
    Shadow4 = 3,
    Shadow5 = 4,
    Shadow6 = 5,
    Shadow7 = 6,
    Shadow8 = 7,
    Shadow9 = 8,
    Shadow10 = 9,
    Shadow11 = 10,
    Shadow12 = 11,
    Shadow13 = 12,
    Shadow14 = 13,
    Shadow15 = 14,
    Shadow16 = 15,
    Shadow17 = 16,
    Shadow18 = 17,
    Shadow19 = 18,
    Shadow20 = 19,
    Shadow21 = 20,
    ShadowMixed = -2,
}

public enum ShapeLineStyle
{
    Single = 0,
    Double = 1,
    ThickThin = 2,
    ThinThick = 3,
    Triple = 4,
    Default = Single,
}

public enum ShapeMarkupLanguage
{
    Dml = 0,
    Vml = 1,
}

public enum ShapeTextOrientation
{
    Horizontal = 0,
    Downward = 1,
    Upward = 2,
    VerticalFarEast = 3,
    VerticalRotatedFarEast = 4,
    WordArtVertical = 5,
    WordArtVerticalRightToLeft = 6,
}

public enum ShapeType
{
    MinValue = -2,
    Group = -1,
    NonPrimitive = 0,
    Rectangle = 1,
    RoundRectangle = 2,
    Ellipse = 3,
    Diamond = 4,
    Triangle = 5,
    RightTriangle = 6,
    Parallelogram = 7,
    Trapezoid = 8,
    Hexagon = 9,
    Octagon = 10,
    Plus = 11,
    Star = 12,
    Arrow = 13,
    ThickArrow = 14,
    HomePlate = 15,
    Cube = 16,
    Balloon = 17,
    Seal = 18,
    Arc = 19,
    Line = 20,
    Plaque = 21,
    Can = 22,
    Donut = 23,
    TextSimple = 24,
    TextOctagon = 25,
    TextHexagon = 26,
    TextCurve = 27,
    TextWave = 28,
    TextRing = 29,
    TextOnCurve = 30,
    TextOnRing = 31,
    StraightConnector1 = 32,
    BentConnector2 = 33,
    BentConnector3 = 34,
    BentConnector4 = 35,
    BentConnector5 = 36,
    CurvedConnector2 = 37,
    CurvedConnector3 = 38,
    CurvedConnector4 = 39,
    CurvedConnector5 = 40,
    Callout1 = 41,
    Callout2 = 42,
    Callout3 = 43,
    AccentCallout1 = 44,
    AccentCallout2 = 45,
    AccentCallout3 = 46,
    BorderCallout1 = 47,
    BorderCallout2 = 48,
    BorderCallout3 = 49,
    AccentBorderCallout1 = 50,
    AccentBorderCallout2 = 51,
    AccentBorderCallout3 = 52,
    Ribbon = 53,
    Ribbon2 = 54,
    Chevron = 55,
    Pentagon = 56,
    NoSmoking = 57,
    Seal8 = 58,
    Seal16 = 59,
    Seal32 = 60,
    WedgeRectCallout = 61,
    WedgeRRectCallout = 62,
    WedgeEllipseCallout = 63,
    Wave = 64,
    FoldedCorner = 65,
    LeftArrow = 66,
    DownArrow = 67,
    UpArrow = 68,
    LeftRightArrow = 69,
    UpDownArrow = 70,
    IrregularSeal1 = 71,
    IrregularSeal2 = 72,
    LightningBolt = 73,
    Heart = 74,
    Image = 75,
    QuadArrow = 76,
    LeftArrowCallout = 77,
    RightArrowCallout = 78,
    UpArrowCallout = 79,
    DownArrowCallout = 80,
    LeftRightArrowCallout = 81,
    UpDownArrowCallout = 82,
    QuadArrowCallout = 83,
    Bevel = 84,
    LeftBracket = 85,
    RightBracket = 86,
    LeftBrace = 87,
    RightBrace = 88,
    LeftUpArrow = 89,
    BentUpArrow = 90,
    BentArrow = 91,
    Seal24 = 92,
    StripedRightArrow = 93,
    NotchedRightArrow = 94,
    BlockArc = 95,
    SmileyFace = 96,
    VerticalScroll = 97,
    HorizontalScroll = 98,
    CircularArrow = 99,
    CustomShape = 100,
    UturnArrow = 101,
    CurvedRightArrow = 102,
    CurvedLeftArrow = 103,
    CurvedUpArrow = 104,
    CurvedDownArrow = 105,
    CloudCallout = 106,
    EllipseRibbon = 107,
    EllipseRibbon2 = 108,
    FlowChartProcess = 109,
    FlowChartDecision = 110,
    FlowChartInputOutput = 111,
    FlowChartPredefinedProcess = 112,
    FlowChartInternalStorage = 113,
    FlowChartDocument = 114,
    FlowChartMultidocument = 115,
    FlowChartTerminator = 116,
    FlowChartPreparation = 117,
    FlowChartManualInput = 118,
    FlowChartManualOperation = 119,
    FlowChartConnector = 120,
    FlowChartPunchedCard = 121,
    FlowChartPunchedTape = 122,
    FlowChartSummingJunction = 123,
    FlowChartOr = 124,
    FlowChartCollate = 125,
    FlowChartSort = 126,
    FlowChartExtract = 127,
    FlowChartMerge = 128,
    FlowChartOfflineStorage = 129,
    FlowChartOnlineStorage = 130,
    FlowChartMagneticTape = 131,
    FlowChartMagneticDisk = 132,
    FlowChartMagneticDrum = 133,
    FlowChartDisplay = 134,
    FlowChartDelay = 135,
    TextPlainText = 136,
    TextStop = 137,
    TextTriangle = 138,
    TextTriangleInverted = 139,
    TextChevron = 140,
    TextChevronInverted = 141,
    TextRingInside = 142,
    TextRingOutside = 143,
    TextArchUpCurve = 144,
    TextArchDownCurve = 145,
    TextCircleCurve = 146,
    TextButtonCurve = 147,
    TextArchUpPour = 148,
    TextArchDownPour = 149,
    TextCirclePour = 150,
    TextButtonPour = 151,
    TextCurveUp = 152,
    TextCurveDown = 153,
    TextCascadeUp = 154,
    TextCascadeDown = 155,
    TextWave1 = 156,
    TextWave2 = 157,
    TextWave3 = 158,
    TextWave4 = 159,
    TextInflate = 160,
    TextDeflate = 161,
    TextInflateBottom = 162,
    TextDeflateBottom = 163,
    TextInflateTop = 164,
    TextDeflateTop = 165,
    TextDeflateInflate = 166,
    TextDeflateInflateDeflate = 167,
    TextFadeRight = 168,
    TextFadeLeft = 169,
    TextFadeUp = 170,
    TextFadeDown = 171,
    TextSlantUp = 172,
    TextSlantDown = 173,
    TextCanUp = 174,
    TextCanDown = 175,
    FlowChartAlternateProcess = 176,
    FlowChartOffpageConnector = 177,
    Callout90 = 178,
    AccentCallout90 = 179,
    BorderCallout90 = 180,
    AccentBorderCallout90 = 181,
    LeftRightUpArrow = 182,
    Sun = 183,
    Moon = 184,
    BracketPair = 185,
    BracePair = 186,
    Seal4 = 187,
    DoubleWave = 188,
    ActionButtonBlank = 189,
    ActionButtonHome = 190,
    ActionButtonHelp = 191,
    ActionButtonInformation = 192,
    ActionButtonForwardNext = 193,
    ActionButtonBackPrevious = 194,
    ActionButtonEnd = 195,
    ActionButtonBeginning = 196,
    ActionButtonReturn = 197,
    ActionButtonDocument = 198,
    ActionButtonSound = 199,
    ActionButtonMovie = 200,
    OleObject = 201,
    TextBox = 202,
    SingleCornerSnipped = 203,
    TopCornersSnipped = 204,
    DiagonalCornersSnipped = 205,
    TopCornersOneRoundedOneSnipped = 206,
    SingleCornerRounded = 207,
    TopCornersRounded = 208,
    DiagonalCornersRounded = 209,
    Heptagon = 210,
    Cloud = 211,
    Seal6 = 212,
    Seal7 = 213,
    Seal10 = 214,
    Seal12 = 215,
    Swoosh = 216,
    Teardrop = 217,
    SquareTabs = 218,
    PlaqueTabs = 219,
    Pie = 220,
    WedgePie = 221,
    InverseLine = 222,
    MathPlus = 223,
    MathMinus = 224,
    MathMultiply = 225,
    MathDivide = 226,
    MathEqual = 227,
    MathNotEqual = 228,
    NonIsoscelesTrapezoid = 229,
    LeftRightCircularArrow = 230,
    LeftRightRibbon = 231,
    LeftCircularArrow = 232,
    Frame = 233,
    HalfFrame = 234,
    Funnel = 235,
    Gear6 = 236,
    Gear9 = 237,
    Decagon = 238,
    Dodecagon = 239,
    DiagonalStripe = 240,
    Corner = 241,
    CornerTabs = 242,
    Chord = 243,
    ChartPlus = 244,
    ChartStar = 245,
    ChartX = 246,
}

public enum TextBoxAnchor
{
    Top = 0,
    Middle = 1,
    Bottom = 2,
    TopCentered = 3,
    MiddleCentered = 4,
    BottomCentered = 5,
    TopBaseline = 6,
    BottomBaseline = 7,
    TopCenteredBaseline = 8,
    BottomCenteredBaseline = 9,
}

public enum TextBoxWrapMode
{
    Square = 0,
    None = 1,
}

public enum TextPathAlignment
{
    Stretch = 0,
    Center = 1,
    Left = 2,
    Right = 3,
    LetterJustify = 4,
    WordJustify = 5,
}

public enum TextureAlignment
{
    TopLeft = 0,
    Top = 1,
    TopRight = 2,
    Left = 3,
    Center = 4,
    Right = 5,
    BottomLeft = 6,
    Bottom = 7,
    BottomRight = 8,
    None = 9,
}

// Inline: the shape sits in the text line rather than floating.
public enum VerticalAlignment
{
    Inline = -1,
    None = 0,
    Default = 0,
    Top = 1,
    Center = 2,
    Bottom = 3,
    Inside = 4,
    Outside = 5,
}

public enum WrapSide
{
    Both = 0,
    Left = 1,
    Right = 2,
    Largest = 3,
    Default = Both,
}

public enum WrapType
{
    Inline = 0,
    TopBottom = 1,
    Square = 2,
    None = 3,
    Tight = 4,
    Through = 5,
}
