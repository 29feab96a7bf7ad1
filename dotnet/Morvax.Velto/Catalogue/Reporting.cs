// Morvax.Velto.Reporting: the reporting engine and its data sources.

namespace Morvax.Velto.Reporting;

public sealed class CsvDataLoadOptions
{
    public CsvDataLoadOptions()
    {
    }

    public bool HasHeaders { get; set; }

    public string? Delimiter { get; set; }

    public string? QuoteChar { get; set; }

    public string? CommentChar { get; set; }
}

public sealed class CsvDataSource
{
    public CsvDataSource()
    {
    }
}

public sealed class JsonDataLoadOptions
{
    private JsonSimpleValueParseMode simpleValueParseMode = JsonSimpleValueParseMode.Loose;

    public JsonDataLoadOptions()
    {
    }

    public bool AlwaysGenerateRootObject { get; set; }

    public string? ExactDateTimeParseFormat { get; set; }

    public JsonSimpleValueParseMode SimpleValueParseMode
    {
        get => simpleValueParseMode;
        set => simpleValueParseMode = EnumCheck.Defined(value);
    }

    public bool PreserveSpaces { get; set; }
}

public sealed class JsonDataSource
{
    public JsonDataSource()
    {
    }
}

public sealed class KnownTypeSet
{
    internal KnownTypeSet()
    {
    }
}

// Fills a template document from data sources.
public sealed class ReportingEngine
{
    public ReportingEngine()
    {
    }

    public string? MissingMemberMessage { get; set; }

    public ReportBuildOptions Options { get; set; } = ReportBuildOptions.None;

    // Whether data sources are read through compiled accessors rather than
    // plain reflection; a process-wide switch.
    public static bool UseReflectionOptimization { get; set; } = true;
}

public sealed class XmlDataLoadOptions
{
    public XmlDataLoadOptions()
    {
    }

    public bool AlwaysGenerateRootObject { get; set; }
}

public sealed class XmlDataSource
{
    public XmlDataSource()
    {
    }
}
