// Morvax.Velto.Loading: the load options of each format and the loading
// callbacks.

namespace Morvax.Velto.Loading;

public sealed class ChmLoadOptions : LoadOptions
{
    public ChmLoadOptions()
    {
    }

    public string? OriginalFileName { get; set; }
}

public sealed class DocumentLoadingArgs
{
    internal DocumentLoadingArgs()
    {
    }

    public double EstimatedProgress { get; internal set; }
}

public sealed class HtmlLoadOptions : LoadOptions
{
    private BlockImportMode blockImportMode = BlockImportMode.Merge;
    private HtmlControlType preferredControlType = HtmlControlType.FormField;

    public HtmlLoadOptions()
    {
    }

    public bool SupportVml { get; set; }

    public bool IgnoreNoscriptElements { get; set; }

    public int WebRequestTimeout { get; set; } = 100000;

    public BlockImportMode BlockImportMode
    {
        get => blockImportMode;
        set => blockImportMode = EnumCheck.Defined(value);
    }

    public HtmlControlType PreferredControlType
    {
        get => preferredControlType;
        set => preferredControlType = EnumCheck.Defined(value);
    }

    public bool ConvertSvgToEmf { get; set; }
}

public interface IDocumentLoadingCallback
{
    void Notify(DocumentLoadingArgs args);
}

public interface IResourceLoadingCallback
{
    ResourceLoadingAction ResourceLoading(ResourceLoadingArgs args);
}

public sealed class LanguagePreferences
{
    private EditingLanguage defaultEditingLanguage = EditingLanguage.EnglishUS;

    public LanguagePreferences()
    {
    }

    public EditingLanguage DefaultEditingLanguage
    {
        get => defaultEditingLanguage;
        set => defaultEditingLanguage = EnumCheck.Defined(value);
    }
}

public sealed class MarkdownLoadOptions : LoadOptions
{
    public MarkdownLoadOptions()
    {
    }

    public bool PreserveEmptyLines { get; set; }

    public bool ImportUnderlineFormatting { get; set; }
}

public sealed class PdfLoadOptions : LoadOptions
{
    public PdfLoadOptions()
    {
    }

    public bool SkipPdfImages { get; set; }

    public int PageIndex { get; set; }

    public int PageCount { get; set; } = int.MaxValue;
}

public sealed class ResourceLoadingArgs
{
    internal ResourceLoadingArgs()
    {
    }

    public ResourceType ResourceType { get; internal set; }

    public string OriginalUri { get; internal set; } = string.Empty;

    public string? Uri { get; set; }
}

public sealed class RtfLoadOptions : LoadOptions
{
    public RtfLoadOptions()
    {
    }

    public bool RecognizeUtf8Text { get; set; }
}
