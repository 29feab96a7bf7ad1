// The enumerations of Morvax.Velto.Settings.

namespace Morvax.Velto.Settings;

public enum Compatibility
{
    NoTabHangInd = 1,
    UseSingleBorderforContiguousCells = 2,
    NoLeading = 3,
    UseFELayout = 4,
    SuppressSpacingAtTopOfPage = 5,
    NoSpaceRaiseLower = 6,
    ShapeLayoutLikeWW8 = 7,
    WrapTrailSpaces = 8,
    SpaceForUL = 9,
    BalanceSingleByteDoubleByteWidth = 10,
    DoNotLeaveBackslashAlone = 11,
    UlTrailSpace = 12,
    DoNotExpandShiftReturn = 13,
    SpacingInWholePoints = 14,
    LineWrapLikeWord6 = 15,
    PrintBodyTextBeforeHeader = 16,
    PrintColBlack = 17,
    WPSpaceWidth = 18,
    ShowBreaksInFrames = 19,
    SubFontBySize = 20,
    SuppressBottomSpacing = 21,
    SuppressTopSpacing = 22,
    SuppressTopSpacingWP = 23,
    SuppressSpBfAfterPgBrk = 24,
    SwapBordersFacingPgs = 25,
    ConvMailMergeEsc = 26,
    TruncateFontHeightsLikeWP6 = 27,
    MWSmallCaps = 28,
    UsePrinterMetrics = 29,
    DoNotSuppressParagraphBorders = 30,
    WPJustification = 31,
    AutoSpaceLikeWord95 = 32,
    FtnLayoutLikeWW8 = 33,
    NoColumnBalance = 34,
    NoExtraLineSpacing = 35,
    DoNotUseHTMLParagraphAutoSpacing = 36,
    LayoutRawTableWidth = 37,
    LayoutTableRowsApart = 38,
    UseWord97_LineBreakRules = 39,
    UseWord2002_TableStyleRules = 40,
    GrowAutofit = 41,
    UseNormalStyleForList = 42,
    DoNotUseIndentAsNumberingTabStop = 43,
    UseAltKinsokuLineBreakRules = 44,
    AllowSpaceOfSameStyleInTable = 45,
    DoNotSuppressIndentation = 46,
    DoNotAutofitConstrainedTables = 47,
    AutofitToFirstFixedWidthCell = 48,
    UnderlineTabInNumList = 49,
    DisplayHangulFixedWidth = 50,
    SplitPgBreakAndParaMark = 51,
    DoNotVertAlignCellWithSp = 52,
    DoNotBreakConstrainedForcedTable = 53,
    DoNotVertAlignInTxbx = 54,
    UseAnsiKerningPairs = 55,
    CachedColBalance = 56,
    AdjustLineHeightInTable = 57,
    ApplyBreakingRules = 58,
    AlignTablesRowByRow = 59,
    DoNotBreakWrappedTables = 60,
    DoNotSnapToGridInCell = 61,
    DoNotWrapTextWithPunct = 62,
    DoNotUseEastAsianBreakRules = 63,
    ForgetLastTabAlignment = 64,
    SelectFldWithFirstOrLastChar = 65,
    UseWord2010_TableStyleRules = 66,
    OverrideTableStyleFontSizeAndJustification = 67,
    DoNotExpandOnPunct = 68,
}

public enum JustificationMode
{
    Expand = 0,
    Compress = 1,
    CompressPunctuation = 2,
    CompressPunctuationAndJapaneseKana = 3,
}

public enum MailMergeCheckErrors
{
    Simulate = 1,
    PauseOnError = 2,
    CollectErrors = 3,
}

public enum MailMergeDataType
{
    None = 0,
    TextFile = 1,
    Database = 2,
    Spreadsheet = 3,
    Query = 4,
    Odbc = 5,
    Native = 6,
    Default = None,
}

public enum MailMergeDestination
{
    NewDocument = 0,
    Printer = 1,
    Email = 2,
    Fax = 3,
    Default = NewDocument,
}

public enum MailMergeMainDocumentType
{
    NotAMergeDocument = 0,
    FormLetters = 1,
    MailingLabels = 2,
    Envelopes = 3,
    Catalog = 4,
    Email = 5,
    Fax = 6,
    Default = NotAMergeDocument,
}

public enum MsWordVersion
{
    Word2000 = 0,
    Word2002 = 1,
    Word2003 = 2,
    Word2007 = 3,
    Word2010 = 4,
    Word2013 = 5,
    Word2016 = 6,
    Word2019 = 7,
}

public enum MultiplePagesType
{
    Normal = 0,
    MirrorMargins = 1,
    TwoPagesPerSheet = 2,
    BookFoldPrinting = 3,
    BookFoldPrintingReverse = 4,
    Default = Normal,
}

public enum OdsoDataSourceType
{
    Text = 0,
    Database = 1,
    AddressBook = 2,
    DocumentFile = 3,
    Email = 4,
    Native = 5,
    Legacy = 6,
    Master = 7,
    None = 8,
    Default = Text,
}

public enum OdsoFieldMappingType
{
    Column = 0,
    Null = 1,
    Default = Null,
}

public enum ViewType
{
    None = 0,
    Reading = 1,
    PageLayout = 2,
    Outline = 3,
    Normal = 4,
    Web = 5,
}

public enum ZoomType
{
    Custom = 0,
    None = 1,
    FullPage = 2,
    PageWidth = 3,
    TextFit = 4,
}
