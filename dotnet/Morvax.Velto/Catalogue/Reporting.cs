// Morvax.Velto.Reporting: the reporting engine and its data sources.

using System;

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

    private static Type[] restrictedTypes = Array.Empty<Type>();

    // Types whose members templates may not reach; process-wide, like the
    // switch above. The setter copies, so a caller's array stays its own.
    /// <summary>Forbids templates to use the members of the given types.</summary>
    public static void SetRestrictedTypes(params Type[] types)
    {
        ArgumentNullException.ThrowIfNull(types);
        if (Array.IndexOf(types, null) >= 0)
            throw new ArgumentException("A restricted type is null.", nameof(types));
        restrictedTypes = (Type[])types.Clone();
    }

    /// <summary>The types whose members templates may not use (none unless set).</summary>
    public static Type[] GetRestrictedTypes() => (Type[])restrictedTypes.Clone();
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
