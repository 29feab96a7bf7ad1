// Morvax.Velto.LowCode: the one-call operations on documents and their
// contexts.
using System;
using Morvax.Velto.Fonts;
using Morvax.Velto.Layout;

namespace Morvax.Velto.LowCode;

public sealed class Comparer : Processor
{
    internal Comparer()
    {
    }
}

public sealed class ComparerContext : ProcessorContext
{
    public ComparerContext()
    {
    }
}

public sealed class Converter : Processor
{
    internal Converter()
    {
    }
}

public sealed class ConverterContext : ProcessorContext
{
    public ConverterContext()
    {
    }
}

public sealed class MailMergeDataSource
{
    public MailMergeDataSource()
    {
    }
}

public sealed class MailMergeOptions
{
    public MailMergeOptions()
    {
    }

    public bool TrimWhitespaces { get; set; } = true;

    public bool UseNonMergeFields { get; set; }

    public bool PreserveUnusedTags { get; set; }

    public string? RegionStartTag { get; set; }

    public string? RegionEndTag { get; set; }
}

// The simple mail merge of a file into another: statically in one call, or
// through an instance made by Create whose input and output files are set
// by LoadFrom and SaveTo before Execute.
public sealed class MailMerger : Processor
{
    private string? inputFileName;
    private string? outputFileName;

    internal MailMerger(MailMergerContext context)
    {
        Context = context;
    }

    internal MailMergerContext Context { get; }

    /// <summary>Makes a mail merger working with the context's settings; set its files with LoadFrom and SaveTo, then call Execute.</summary>
    public static MailMerger Create(MailMergerContext context) =>
        new(context ?? throw new ArgumentNullException(nameof(context)));

    /// <summary>Sets the file the merge reads; returns this merger.</summary>
    public MailMerger LoadFrom(string inputFileName)
    {
        this.inputFileName = inputFileName ?? throw new ArgumentNullException(nameof(inputFileName));
        return this;
    }

    /// <summary>Sets the file the merged document is saved to, in the format its extension names; returns this merger.</summary>
    public MailMerger SaveTo(string outputFileName)
    {
        this.outputFileName = outputFileName ?? throw new ArgumentNullException(nameof(outputFileName));
        return this;
    }

    /// <summary>Merges the values into the merge fields of the file set by LoadFrom and saves the result to the file set by SaveTo.</summary>
    public void Execute(string[] fieldNames, object?[] fieldValues) =>
        Merge(inputFileName ?? throw new InvalidOperationException("MailMerger.Execute needs an input file: call LoadFrom first."),
            outputFileName ?? throw new InvalidOperationException("MailMerger.Execute needs an output file: call SaveTo first."),
            null, fieldNames, fieldValues);

    /// <summary>Loads the input file, replaces its merge fields named in <paramref name="fieldNames"/> by the values' text and saves the result in the format the output file's extension names.</summary>
    public static void Execute(string inputFileName, string outputFileName, string[] fieldNames, object?[] fieldValues) =>
        Merge(inputFileName, outputFileName, null, fieldNames, fieldValues);

    /// <summary>Loads the input file, replaces its merge fields named in <paramref name="fieldNames"/> by the values' text and saves the result in the given format.</summary>
    public static void Execute(string inputFileName, string outputFileName, SaveFormat saveFormat, string[] fieldNames, object?[] fieldValues) =>
        Merge(inputFileName, outputFileName, saveFormat, fieldNames, fieldValues);

    private static void Merge(string inputFileName, string outputFileName, SaveFormat? saveFormat, string[] fieldNames, object?[] fieldValues)
    {
        ArgumentNullException.ThrowIfNull(outputFileName);
        var doc = new Document(inputFileName);
        doc.MailMerge.Execute(fieldNames, fieldValues);
        if (saveFormat is { } format)
            doc.Save(outputFileName, format);
        else
            doc.Save(outputFileName);
    }
}

public sealed class MailMergerContext : ProcessorContext
{
    public MailMergerContext()
    {
    }
}

public sealed class Merger : Processor
{
    internal Merger()
    {
    }
}

public sealed class MergerContext : ProcessorContext
{
    private MergeFormatMode mergeFormatMode = MergeFormatMode.KeepSourceFormatting;

    public MergerContext()
    {
    }

    public MergeFormatMode MergeFormatMode
    {
        get => mergeFormatMode;
        set => mergeFormatMode = EnumCheck.Defined(value);
    }
}

// The base of the one-call operations on documents (convert, compare, merge,
// split ...).
public abstract class Processor
{
    private protected Processor()
    {
    }
}

// What a one-call operation is given: its options, fonts and layout settings.
public class ProcessorContext
{
    public ProcessorContext()
    {
    }

    public LayoutOptions LayoutOptions { get; } = new();

    public FontSettings? FontSettings { get; set; }
}

public sealed class Replacer : Processor
{
    internal Replacer()
    {
    }
}

public sealed class ReplacerContext : ProcessorContext
{
    public ReplacerContext()
    {
    }
}

public sealed class ReportBuilder : Processor
{
    internal ReportBuilder()
    {
    }
}

public sealed class ReportBuilderContext : ProcessorContext
{
    public ReportBuilderContext()
    {
    }
}

public sealed class ReportBuilderOptions
{
    public ReportBuilderOptions()
    {
    }

    public bool AllowMissingMembers { get; set; }

    public bool RemoveEmptyParagraphs { get; set; }

    public bool InlineErrorMessages { get; set; }

    public string? MissingMemberMessage { get; set; }
}

public sealed class SignerContext : ProcessorContext
{
    public SignerContext()
    {
    }
}

public sealed class SplitOptions
{
    private SplitCriteria splitCriteria = SplitCriteria.Page;

    public SplitOptions()
    {
    }

    public SplitCriteria SplitCriteria
    {
        get => splitCriteria;
        set => splitCriteria = EnumCheck.Defined(value);
    }

    public string? SplitStyle { get; set; }
}

public sealed class Splitter : Processor
{
    internal Splitter()
    {
    }
}

public sealed class SplitterContext : ProcessorContext
{
    public SplitterContext()
    {
    }
}

public sealed class Watermarker : Processor
{
    internal Watermarker()
    {
    }
}

public sealed class WatermarkerContext : ProcessorContext
{
    public WatermarkerContext()
    {
    }
}
