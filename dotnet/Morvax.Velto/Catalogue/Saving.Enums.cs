// The enumerations of Morvax.Velto.Saving.
using System;

namespace Morvax.Velto.Saving;

public enum ColorMode
{
    Normal = 0,
    Grayscale = 1,
}

public enum CompressionLevel
{
    Normal = 0,
    Maximum = 1,
    Fast = 2,
    SuperFast = 3,
}

public enum CssStyleSheetType
{
    Inline = 0,
    Embedded = 1,
    External = 2,
}

public enum Dml3DEffectsRenderingMode
{
    Basic = 0,
    Advanced = 1,
}

public enum DmlEffectsRenderingMode
{
    Simplified = 0,
    None = 1,
    Fine = 2,
}

public enum DmlRenderingMode
{
    Fallback = 0,
    DrawingML = 1,
}

// Where a document is split into parts when saved as several files; combinable.
[Flags]
public enum DocumentSplitCriteria
{
    None = 0,
    PageBreak = 1,
    ColumnBreak = 2,
    SectionBreak = 4,
    HeadingParagraph = 8,
}

public enum EmfPlusDualRenderingMode
{
    EmfPlusWithFallback = 0,
    EmfPlus = 1,
    Emf = 2,
}

public enum ExportFontFormat
{
    Woff = 0,
    Ttf = 1,
}

public enum ExportHeadersFootersMode
{
    None = 0,
    PerSection = 1,
    FirstSectionHeaderLastSectionFooter = 2,
    FirstPageHeaderFooterPerSection = 3,
}

public enum ExportListLabels
{
    Auto = 0,
    AsInlineText = 1,
    ByHtmlTags = 2,
}

public enum HeaderFooterBookmarksExportMode
{
    None = 0,
    First = 1,
    All = 2,
}

public enum HtmlElementSizeOutputMode
{
    All = 0,
    RelativeOnly = 1,
    None = 2,
}

public enum HtmlFixedPageHorizontalAlignment
{
    Left = 0,
    Center = 1,
    Right = 2,
}

public enum HtmlMetafileFormat
{
    Png = 0,
    Svg = 1,
    EmfOrWmf = 2,
}

public enum HtmlOfficeMathOutputMode
{
    Image = 0,
    MathML = 1,
    Text = 2,
}

public enum HtmlVersion
{
    Xhtml = 0,
    Html5 = 1,
}

public enum ImageBinarizationMethod
{
    Threshold = 0,
    FloydSteinbergDithering = 1,
}

public enum ImageColorMode
{
    None = 0,
    Grayscale = 1,
    BlackAndWhite = 2,
}

public enum ImagePixelFormat
{
    Format_16Bpp_Rgb_555 = 0,
    Format_16Bpp_Rgb_565 = 1,
    Format_16Bpp_Argb_1555 = 2,
    Format_24Bpp_Rgb = 3,
    Format_32Bpp_Rgb = 4,
    Format_32Bpp_Argb = 5,
    Format_32Bpp_Pargb = 6,
    Format_48Bpp_Rgb = 7,
    Format_64Bpp_Argb = 8,
    Format_64Bpp_Pargb = 9,
    Format_1Bpp_Indexed = 10,
}

public enum ImlRenderingMode
{
    Fallback = 0,
    InkML = 1,
}

public enum MarkdownEmptyParagraphExportMode
{
    None = 0,
    EmptyLine = 1,
    MarkdownHardLineBreak = 2,
}

[Flags]
public enum MarkdownExportAsHtml
{
    None = 0,
    Tables = 1,
    NonCompatibleTables = 2,
}

public enum MarkdownLinkExportMode
{
    Auto = 0,
    Inline = 1,
    Reference = 2,
}

public enum MarkdownListExportMode
{
    MarkdownSyntax = 0,
    PlainText = 1,
}

public enum MarkdownOfficeMathExportMode
{
    Text = 0,
    Image = 1,
    MathML = 2,
    Latex = 3,
}

public enum MetafileRenderingMode
{
    VectorWithFallback = 0,
    Vector = 1,
    Bitmap = 2,
}

public enum NumeralFormat
{
    European = 0,
    ArabicIndic = 1,
    EasternArabicIndic = 2,
    Context = 3,
    System = 4,
}

public enum OdtSaveMeasureUnit
{
    Centimeters = 0,
    Inches = 1,
}

public enum OoxmlCompliance
{
    Ecma376_2006 = 0,
    Iso29500_2008_Transitional = 1,
    Iso29500_2008_Strict = 2,
}

public enum PdfAttachmentsEmbeddingMode
{
    None = 0,
    Annotations = 1,
    DocumentEmbeddedFiles = 2,
}

public enum PdfCompliance
{
    Pdf17 = 0,
    Pdf20 = 1,
    PdfA1a = 2,
    PdfA1b = 3,
    PdfA2a = 4,
    PdfA2u = 5,
    PdfA3a = 6,
    PdfA3u = 7,
    PdfA4 = 8,
    PdfA4f = 9,
    PdfA4Ua2 = 10,
    PdfUa1 = 11,
    PdfUa2 = 12,
}

public enum PdfCustomPropertiesExport
{
    None = 0,
    Standard = 1,
    Metadata = 2,
}

public enum PdfDigitalSignatureHashAlgorithm
{
    Sha1 = 0,
    Sha256 = 1,
    Sha384 = 2,
    Sha512 = 3,
    RipeMD160 = 4,
}

public enum PdfFontEmbeddingMode
{
    EmbedAll = 0,
    EmbedNonstandard = 1,
    EmbedNone = 2,
}

public enum PdfImageColorSpaceExportMode
{
    Auto = 0,
    SimpleCmyk = 1,
}

public enum PdfImageCompression
{
    Auto = 0,
    Jpeg = 1,
}

public enum PdfPageLayout
{
    SinglePage = 0,
    OneColumn = 1,
    TwoColumnLeft = 2,
    TwoColumnRight = 3,
    TwoPageLeft = 4,
    TwoPageRight = 5,
}

public enum PdfPageMode
{
    UseNone = 0,
    UseOutlines = 1,
    UseThumbs = 2,
    FullScreen = 3,
    UseOC = 4,
    UseAttachments = 5,
}

// The operations a reader of an encrypted PDF may perform; the bit values
// are those of the PDF permission flags.
[Flags]
public enum PdfPermissions
{
    DisallowAll = 0,
    Printing = 4,
    ModifyContents = 8,
    ContentCopy = 16,
    ModifyAnnotations = 32,
    FillIn = 256,
    ContentCopyForAccessibility = 512,
    DocumentAssembly = 1024,
    HighResolutionPrinting = 2052,
    AllowAll = 65535,
}

public enum PdfTextCompression
{
    None = 0,
    Flate = 1,
}

public enum PdfZoomBehavior
{
    None = 0,
    ZoomFactor = 1,
    FitPage = 2,
    FitWidth = 3,
    FitHeight = 4,
    FitBox = 5,
}

public enum SvgTextOutputMode
{
    UseSvgFonts = 0,
    UseTargetMachineFonts = 1,
    UsePlacedGlyphs = 2,
}

public enum TableContentAlignment
{
    Auto = 0,
    Left = 1,
    Center = 2,
    Right = 3,
}

public enum TiffCompression
{
    None = 0,
    Rle = 1,
    Lzw = 2,
    Ccitt3 = 3,
    Ccitt4 = 4,
}

public enum TxtExportHeadersFootersMode
{
    None = 0,
    PrimaryOnly = 1,
    AllAtEnd = 2,
}

public enum XlsxDateTimeParsingMode
{
    Auto = 0,
    UseCultureInfo = 1,
}

public enum XlsxSectionMode
{
    SingleWorksheet = 0,
    MultipleWorksheets = 1,
}

public enum Zip64Mode
{
    Never = 0,
    IfNecessary = 1,
    Always = 2,
}
