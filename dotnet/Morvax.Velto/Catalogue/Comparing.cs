// Morvax.Velto.Comparing: options for comparing two documents.

namespace Morvax.Velto.Comparing;

public sealed class AdvancedCompareOptions
{
    public AdvancedCompareOptions()
    {
    }

    public bool IgnoreDmlUniqueId { get; set; }

    public bool IgnoreStoreItemId { get; set; }
}

public sealed class CompareOptions
{
    private Granularity granularity = Granularity.WordLevel;
    private ComparisonTargetType target = ComparisonTargetType.Current;

    public CompareOptions()
    {
    }

    public bool IgnoreFormatting { get; set; }

    public bool IgnoreCaseChanges { get; set; }

    public bool IgnoreComments { get; set; }

    public bool IgnoreTables { get; set; }

    public bool IgnoreFields { get; set; }

    public bool IgnoreFootnotes { get; set; }

    public bool IgnoreTextboxes { get; set; }

    public bool IgnoreHeadersAndFooters { get; set; }

    public Granularity Granularity
    {
        get => granularity;
        set => granularity = EnumCheck.Defined(value);
    }

    public ComparisonTargetType Target
    {
        get => target;
        set => target = EnumCheck.Defined(value);
    }
}
