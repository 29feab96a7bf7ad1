// Morvax.Velto.Saving: the save options of the formats without a writer yet,
// and the saving callbacks.
using System;
using Morvax.Velto.DigitalSignatures;

namespace Morvax.Velto.Saving;

// The outline levels of bookmarks in a saved PDF's outline, by bookmark name
// (compared without case), in the order they were added.
public sealed class BookmarksOutlineLevelCollection
    : System.Collections.Generic.IEnumerable<System.Collections.Generic.KeyValuePair<string, int>>
{
    private readonly System.Collections.Generic.List<System.Collections.Generic.KeyValuePair<string, int>> levels = new();

    public BookmarksOutlineLevelCollection()
    {
    }

    public int Count => levels.Count;

    /// <summary>The level at the index (0 to 9); setting it keeps the name.</summary>
    public int this[int index]
    {
        get => levels[index].Value;
        set => levels[index] = new(levels[index].Key, Checked(value));
    }

    /// <summary>The level of that bookmark; KeyNotFoundException when it has none.</summary>
    public int this[string name] => IndexOfKey(name) is var i and >= 0
        ? levels[i].Value
        : throw new System.Collections.Generic.KeyNotFoundException($"No outline level is set for the bookmark '{name}'.");

    /// <summary>Sets the level of a bookmark (0 to 9; 0 leaves it out of the outline).</summary>
    public void Add(string name, int outlineLevel)
    {
        if (string.IsNullOrEmpty(name))
            throw new ArgumentException("A bookmark name is needed.", nameof(name));
        int at = IndexOfKey(name);
        var entry = new System.Collections.Generic.KeyValuePair<string, int>(name, Checked(outlineLevel));
        if (at >= 0)
            levels[at] = entry;
        else
            levels.Add(entry);
    }

    public bool Contains(string name) => IndexOfKey(name) >= 0;

    public int IndexOfKey(string name) =>
        levels.FindIndex(l => string.Equals(l.Key, name, StringComparison.OrdinalIgnoreCase));

    public void Remove(string name)
    {
        int at = IndexOfKey(name);
        if (at >= 0)
            levels.RemoveAt(at);
    }

    public void RemoveAt(int index) => levels.RemoveAt(index);

    public void Clear() => levels.Clear();

    public System.Collections.Generic.IEnumerator<System.Collections.Generic.KeyValuePair<string, int>> GetEnumerator() =>
        levels.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();

    private static int Checked(int level) => level is >= 0 and <= 9
        ? level
        : throw new ArgumentOutOfRangeException(nameof(level), level, "An outline level is 0 to 9.");
}

public sealed class CssSavingArgs
{
    internal CssSavingArgs()
    {
    }

    public bool IsExportNeeded { get; set; } = true;

    public bool KeepCssStreamOpen { get; set; }
}

public sealed class DigitalSignatureDetails
{
    public DigitalSignatureDetails()
    {
    }

    public SignOptions? SignOptions { get; set; }
}

public sealed class DocSaveOptions : SaveOptions
{
    public DocSaveOptions() : base(SaveFormat.Doc)
    {
    }

    public DocSaveOptions(SaveFormat saveFormat) : base(saveFormat)
    {
    }

    public string? Password { get; set; }

    public bool SaveRoutingSlip { get; set; }

    public bool AlwaysCompressMetafiles { get; set; } = true;

    public bool SavePictureBullet { get; set; } = true;

    private protected override bool Accepts(SaveFormat format) =>
        format is SaveFormat.Doc or SaveFormat.Dot;
}

public sealed class DocumentPartSavingArgs
{
    internal DocumentPartSavingArgs()
    {
    }

    public string? DocumentPartFileName { get; set; }
}

public sealed class DocumentSavingArgs
{
    internal DocumentSavingArgs()
    {
    }

    public double EstimatedProgress { get; internal set; }
}

public sealed class DownsampleOptions
{
    public DownsampleOptions()
    {
    }

    public bool DownsampleImages { get; set; } = true;

    public int Resolution { get; set; } = 220;

    public int ResolutionThreshold { get; set; }
}

public abstract class FixedPageSaveOptions : SaveOptions
{
    private ColorMode colorMode = ColorMode.Normal;
    private NumeralFormat numeralFormat = NumeralFormat.European;

    private protected FixedPageSaveOptions(SaveFormat saveFormat) : base(saveFormat)
    {
    }

    public ColorMode ColorMode
    {
        get => colorMode;
        set => colorMode = EnumCheck.Defined(value);
    }

    public int JpegQuality { get; set; } = 95;

    public bool OptimizeOutput { get; set; }

    public NumeralFormat NumeralFormat
    {
        get => numeralFormat;
        set => numeralFormat = EnumCheck.Defined(value);
    }

    public MetafileRenderingOptions MetafileRenderingOptions { get; } = new();
}

public sealed class FontSavingArgs
{
    internal FontSavingArgs()
    {
    }

    public string? FontFileName { get; set; }

    public bool IsExportNeeded { get; set; } = true;

    public string FontFamilyName { get; internal set; } = string.Empty;

    public bool Bold { get; internal set; }

    public bool Italic { get; internal set; }
}

public sealed class HtmlFixedSaveOptions : FixedPageSaveOptions
{
    private ExportFontFormat fontFormat = ExportFontFormat.Woff;
    private HtmlFixedPageHorizontalAlignment pageHorizontalAlignment = HtmlFixedPageHorizontalAlignment.Center;

    public HtmlFixedSaveOptions() : base(SaveFormat.HtmlFixed)
    {
    }

    public bool ExportEmbeddedCss { get; set; }

    public bool ExportEmbeddedFonts { get; set; }

    public bool ExportEmbeddedImages { get; set; }

    public bool ExportEmbeddedSvg { get; set; }

    public ExportFontFormat FontFormat
    {
        get => fontFormat;
        set => fontFormat = EnumCheck.Defined(value);
    }

    public HtmlFixedPageHorizontalAlignment PageHorizontalAlignment
    {
        get => pageHorizontalAlignment;
        set => pageHorizontalAlignment = EnumCheck.Defined(value);
    }

    public string? ResourcesFolder { get; set; }

    public string? ResourcesFolderAlias { get; set; }

    public bool ShowPageBorder { get; set; } = true;

    public bool UseTargetMachineFonts { get; set; }

    public bool SaveFontFaceCssSeparately { get; set; }

    public string? CssClassNamesPrefix { get; set; }

    private protected override bool Accepts(SaveFormat format) =>
        format is SaveFormat.HtmlFixed;
}

public interface ICssSavingCallback
{
    void CssSaving(CssSavingArgs args);
}

public interface IDocumentPartSavingCallback
{
    void DocumentPartSaving(DocumentPartSavingArgs args);
}

public interface IDocumentSavingCallback
{
    void Notify(DocumentSavingArgs args);
}

public interface IFontSavingCallback
{
    void FontSaving(FontSavingArgs args);
}

public interface IImageSavingCallback
{
    void ImageSaving(ImageSavingArgs args);
}

public sealed class ImageSaveOptions : FixedPageSaveOptions
{
    private ImageColorMode imageColorMode = ImageColorMode.None;
    private ImagePixelFormat pixelFormat = ImagePixelFormat.Format_32Bpp_Argb;
    private TiffCompression tiffCompression = TiffCompression.Lzw;
    private ImageBinarizationMethod tiffBinarizationMethod = ImageBinarizationMethod.Threshold;

    public ImageSaveOptions(SaveFormat saveFormat) : base(saveFormat)
    {
    }

    public ImageColorMode ImageColorMode
    {
        get => imageColorMode;
        set => imageColorMode = EnumCheck.Defined(value);
    }

    public ImagePixelFormat PixelFormat
    {
        get => pixelFormat;
        set => pixelFormat = EnumCheck.Defined(value);
    }

    public TiffCompression TiffCompression
    {
        get => tiffCompression;
        set => tiffCompression = EnumCheck.Defined(value);
    }

    public ImageBinarizationMethod TiffBinarizationMethod
    {
        get => tiffBinarizationMethod;
        set => tiffBinarizationMethod = EnumCheck.Defined(value);
    }

    public bool UseAntiAliasing { get; set; }

    public bool UseHighQualityRendering { get; set; }

    public bool UseGdiEmfRenderer { get; set; } = true;

    private protected override bool Accepts(SaveFormat format) =>
        format is SaveFormat.Tiff or SaveFormat.Png or SaveFormat.Bmp or SaveFormat.Emf or SaveFormat.Jpeg or SaveFormat.Gif or SaveFormat.Eps;
}

public sealed class ImageSavingArgs
{
    internal ImageSavingArgs()
    {
    }

    public string? ImageFileName { get; set; }

    public bool IsImageAvailable { get; internal set; }

    public bool KeepImageStreamOpen { get; set; }
}

public interface IPageSavingCallback
{
    void PageSaving(PageSavingArgs args);
}

public interface IResourceSavingCallback
{
    void ResourceSaving(ResourceSavingArgs args);
}

public sealed class MetafileRenderingOptions
{
    private MetafileRenderingMode renderingMode = MetafileRenderingMode.VectorWithFallback;
    private EmfPlusDualRenderingMode emfPlusDualRenderingMode = EmfPlusDualRenderingMode.EmfPlusWithFallback;

    public MetafileRenderingOptions()
    {
    }

    public MetafileRenderingMode RenderingMode
    {
        get => renderingMode;
        set => renderingMode = EnumCheck.Defined(value);
    }

    public EmfPlusDualRenderingMode EmfPlusDualRenderingMode
    {
        get => emfPlusDualRenderingMode;
        set => emfPlusDualRenderingMode = EnumCheck.Defined(value);
    }

    public bool UseEmfEmbeddedToWmf { get; set; } = true;

    public bool EmulateRasterOperations { get; set; } = true;

    public bool ScaleWmfFontsToMetafileSize { get; set; } = true;
}

// How several pages are laid out in one image when a document is saved as an
// image.
public sealed class MultiPageLayout
{
    internal MultiPageLayout()
    {
    }

    public static MultiPageLayout SinglePage() => new();

    // All pages as the frames of one multi-frame image (TIFF).
    public static MultiPageLayout TiffFrames() => new();
}

public sealed class OdtSaveOptions : SaveOptions
{
    private OdtSaveMeasureUnit measureUnit = OdtSaveMeasureUnit.Centimeters;

    public OdtSaveOptions() : base(SaveFormat.Odt)
    {
    }

    public OdtSaveOptions(SaveFormat saveFormat) : base(saveFormat)
    {
    }

    public OdtSaveMeasureUnit MeasureUnit
    {
        get => measureUnit;
        set => measureUnit = EnumCheck.Defined(value);
    }

    public bool IsStrictSchema11 { get; set; }

    public string? Password { get; set; }

    private protected override bool Accepts(SaveFormat format) =>
        format is SaveFormat.Odt or SaveFormat.Ott;
}

public sealed class OutlineOptions
{
    public OutlineOptions()
    {
    }

    public int HeadingsOutlineLevels { get; set; }

    public int ExpandedOutlineLevels { get; set; }

    public int DefaultBookmarksOutlineLevel { get; set; }

    public bool CreateMissingOutlineLevels { get; set; }

    public bool CreateOutlinesForHeadingsInTables { get; set; }
}

public sealed class PageRange
{
    public PageRange()
    {
    }
}

public sealed class PageSavingArgs
{
    internal PageSavingArgs()
    {
    }

    public string? PageFileName { get; set; }

    public int PageIndex { get; internal set; }

    public bool KeepPageStreamOpen { get; set; }
}

public sealed class PageSet
{
    public PageSet()
    {
    }
}

public sealed class PclSaveOptions : FixedPageSaveOptions
{
    public PclSaveOptions() : base(SaveFormat.Pcl)
    {
    }

    public bool RasterizeTransformedElements { get; set; } = true;

    public string? FallbackFontName { get; set; }

    private protected override bool Accepts(SaveFormat format) =>
        format is SaveFormat.Pcl;
}

public sealed class PdfDigitalSignatureDetails
{
    private PdfDigitalSignatureHashAlgorithm hashAlgorithm = PdfDigitalSignatureHashAlgorithm.Sha256;

    public PdfDigitalSignatureDetails()
    {
    }

    public string? Reason { get; set; }

    public string? Location { get; set; }

    public PdfDigitalSignatureHashAlgorithm HashAlgorithm
    {
        get => hashAlgorithm;
        set => hashAlgorithm = EnumCheck.Defined(value);
    }
}

public sealed class PdfDigitalSignatureTimestampSettings
{
    public PdfDigitalSignatureTimestampSettings()
    {
    }

    public string? ServerUrl { get; set; }

    public string? UserName { get; set; }

    public string? Password { get; set; }
}

public sealed class PdfEncryptionDetails
{
    public PdfEncryptionDetails()
    {
    }

    public string? UserPassword { get; set; }

    public string? OwnerPassword { get; set; }

    public PdfPermissions Permissions { get; set; } = PdfPermissions.DisallowAll;
}

public sealed class PdfSaveOptions : FixedPageSaveOptions
{
    private PdfCompliance compliance = PdfCompliance.Pdf17;
    private PdfTextCompression textCompression = PdfTextCompression.Flate;
    private PdfImageCompression imageCompression = PdfImageCompression.Auto;
    private PdfPageMode pageMode = PdfPageMode.UseOutlines;
    private PdfPageLayout pageLayout = PdfPageLayout.SinglePage;
    private PdfZoomBehavior zoomBehavior = PdfZoomBehavior.None;
    private PdfFontEmbeddingMode fontEmbeddingMode = PdfFontEmbeddingMode.EmbedAll;
    private PdfCustomPropertiesExport customPropertiesExport = PdfCustomPropertiesExport.None;
    private PdfImageColorSpaceExportMode imageColorSpaceExportMode = PdfImageColorSpaceExportMode.Auto;
    private PdfAttachmentsEmbeddingMode attachmentsEmbeddingMode = PdfAttachmentsEmbeddingMode.None;
    private HeaderFooterBookmarksExportMode headerFooterBookmarksExportMode = HeaderFooterBookmarksExportMode.All;

    public PdfSaveOptions() : base(SaveFormat.Pdf)
    {
    }

    public PdfCompliance Compliance
    {
        get => compliance;
        set => compliance = EnumCheck.Defined(value);
    }

    public bool EmbedFullFonts { get; set; }

    public PdfTextCompression TextCompression
    {
        get => textCompression;
        set => textCompression = EnumCheck.Defined(value);
    }

    public PdfImageCompression ImageCompression
    {
        get => imageCompression;
        set => imageCompression = EnumCheck.Defined(value);
    }

    public PdfPageMode PageMode
    {
        get => pageMode;
        set => pageMode = EnumCheck.Defined(value);
    }

    public PdfPageLayout PageLayout
    {
        get => pageLayout;
        set => pageLayout = EnumCheck.Defined(value);
    }

    public PdfZoomBehavior ZoomBehavior
    {
        get => zoomBehavior;
        set => zoomBehavior = EnumCheck.Defined(value);
    }

    public PdfFontEmbeddingMode FontEmbeddingMode
    {
        get => fontEmbeddingMode;
        set => fontEmbeddingMode = EnumCheck.Defined(value);
    }

    public PdfCustomPropertiesExport CustomPropertiesExport
    {
        get => customPropertiesExport;
        set => customPropertiesExport = EnumCheck.Defined(value);
    }

    public PdfImageColorSpaceExportMode ImageColorSpaceExportMode
    {
        get => imageColorSpaceExportMode;
        set => imageColorSpaceExportMode = EnumCheck.Defined(value);
    }

    public PdfAttachmentsEmbeddingMode AttachmentsEmbeddingMode
    {
        get => attachmentsEmbeddingMode;
        set => attachmentsEmbeddingMode = EnumCheck.Defined(value);
    }

    public HeaderFooterBookmarksExportMode HeaderFooterBookmarksExportMode
    {
        get => headerFooterBookmarksExportMode;
        set => headerFooterBookmarksExportMode = EnumCheck.Defined(value);
    }

    public bool ExportDocumentStructure { get; set; }

    public bool CreateNoteHyperlinks { get; set; }

    public bool UseCoreFonts { get; set; }

    public bool DisplayDocTitle { get; set; }

    public bool OpenHyperlinksInNewWindow { get; set; }

    public bool PreserveFormFields { get; set; }

    public OutlineOptions OutlineOptions { get; } = new();

    public DownsampleOptions DownsampleOptions { get; } = new();

    public PdfEncryptionDetails? EncryptionDetails { get; set; }

    public PdfDigitalSignatureDetails? DigitalSignatureDetails { get; set; }

    private protected override bool Accepts(SaveFormat format) =>
        format is SaveFormat.Pdf;
}

public sealed class PsSaveOptions : FixedPageSaveOptions
{
    public PsSaveOptions() : base(SaveFormat.Ps)
    {
    }

    public bool UseBookFoldPrintingSettings { get; set; }

    private protected override bool Accepts(SaveFormat format) =>
        format is SaveFormat.Ps;
}

public sealed class ResourceSavingArgs
{
    internal ResourceSavingArgs()
    {
    }

    public string? ResourceFileName { get; set; }

    public string? ResourceFileUri { get; set; }

    public bool KeepResourceStreamOpen { get; set; }
}

public sealed class RtfSaveOptions : SaveOptions
{
    public RtfSaveOptions() : base(SaveFormat.Rtf)
    {
    }

    public bool ExportCompactSize { get; set; }

    public bool ExportImagesForOldReaders { get; set; } = true;

    public bool SaveImagesAsWmf { get; set; }

    private protected override bool Accepts(SaveFormat format) =>
        format is SaveFormat.Rtf;
}

public sealed class SvgSaveOptions : FixedPageSaveOptions
{
    private SvgTextOutputMode textOutputMode = SvgTextOutputMode.UsePlacedGlyphs;

    public SvgSaveOptions() : base(SaveFormat.Svg)
    {
    }

    public bool ExportEmbeddedImages { get; set; }

    public bool FitToViewPort { get; set; }

    public bool ShowPageBorder { get; set; } = true;

    public SvgTextOutputMode TextOutputMode
    {
        get => textOutputMode;
        set => textOutputMode = EnumCheck.Defined(value);
    }

    public string? ResourcesFolder { get; set; }

    public string? ResourcesFolderAlias { get; set; }

    private protected override bool Accepts(SaveFormat format) =>
        format is SaveFormat.Svg;
}

public sealed class TxtListIndentation
{
    private string indentCharacter = " ";

    internal TxtListIndentation()
    {
    }

    public int Count { get; set; }

    public string IndentCharacter
    {
        get => indentCharacter;
        set => indentCharacter = value ?? throw new ArgumentNullException(nameof(value));
    }
}

public sealed class WordML2003SaveOptions : SaveOptions
{
    public WordML2003SaveOptions() : base(SaveFormat.WordML)
    {
    }

    private protected override bool Accepts(SaveFormat format) =>
        format is SaveFormat.WordML;
}

public sealed class XamlFixedSaveOptions : FixedPageSaveOptions
{
    public XamlFixedSaveOptions() : base(SaveFormat.XamlFixed)
    {
    }

    public string? ResourcesFolder { get; set; }

    public string? ResourcesFolderAlias { get; set; }

    private protected override bool Accepts(SaveFormat format) =>
        format is SaveFormat.XamlFixed;
}

public sealed class XamlFlowSaveOptions : SaveOptions
{
    public XamlFlowSaveOptions() : base(SaveFormat.XamlFlow)
    {
    }

    public XamlFlowSaveOptions(SaveFormat saveFormat) : base(saveFormat)
    {
    }

    public string? ImagesFolder { get; set; }

    public string? ImagesFolderAlias { get; set; }

    private protected override bool Accepts(SaveFormat format) =>
        format is SaveFormat.XamlFlow or SaveFormat.XamlFlowPack;
}

public sealed class XlsxSaveOptions : SaveOptions
{
    private CompressionLevel compressionLevel = CompressionLevel.Normal;
    private XlsxSectionMode sectionMode = XlsxSectionMode.MultipleWorksheets;
    private XlsxDateTimeParsingMode dateTimeParsingMode = XlsxDateTimeParsingMode.Auto;

    public XlsxSaveOptions() : base(SaveFormat.Xlsx)
    {
    }

    public CompressionLevel CompressionLevel
    {
        get => compressionLevel;
        set => compressionLevel = EnumCheck.Defined(value);
    }

    public XlsxSectionMode SectionMode
    {
        get => sectionMode;
        set => sectionMode = EnumCheck.Defined(value);
    }

    public XlsxDateTimeParsingMode DateTimeParsingMode
    {
        get => dateTimeParsingMode;
        set => dateTimeParsingMode = EnumCheck.Defined(value);
    }

    private protected override bool Accepts(SaveFormat format) =>
        format is SaveFormat.Xlsx;
}

public sealed class XpsSaveOptions : FixedPageSaveOptions
{
    public XpsSaveOptions() : base(SaveFormat.Xps)
    {
    }

    public XpsSaveOptions(SaveFormat saveFormat) : base(saveFormat)
    {
    }

    public bool UseBookFoldPrintingSettings { get; set; }

    public OutlineOptions OutlineOptions { get; } = new();

    private protected override bool Accepts(SaveFormat format) =>
        format is SaveFormat.Xps or SaveFormat.OpenXps;
}
