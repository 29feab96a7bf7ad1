// Morvax.Velto.LowCode: the one-call operations on documents and their
// contexts.
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

public sealed class MailMerger : Processor
{
    internal MailMerger()
    {
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
