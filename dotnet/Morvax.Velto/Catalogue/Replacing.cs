// Morvax.Velto.Replacing: find and replace.
using System;

namespace Morvax.Velto.Replacing;

public sealed class FindReplaceOptions
{
    private FindReplaceDirection direction = FindReplaceDirection.Forward;
    private ReplacementFormat replacementFormat = ReplacementFormat.Text;

    public FindReplaceOptions()
    {
    }

    public bool MatchCase { get; set; }

    public bool FindWholeWordsOnly { get; set; }

    public bool UseLegacyOrder { get; set; }

    public bool UseSubstitutions { get; set; }

    public bool IgnoreDeleted { get; set; }

    public bool IgnoreInserted { get; set; }

    public bool IgnoreFields { get; set; }

    public bool IgnoreFieldCodes { get; set; }

    public bool IgnoreFootnotes { get; set; }

    public bool IgnoreStructuredDocumentTags { get; set; }

    public bool IgnoreShapes { get; set; }

    public bool IgnoreOfficeMath { get; set; }

    public bool SmartParagraphBreakReplacement { get; set; }

    public bool LegacyMode { get; set; }

    public FindReplaceDirection Direction
    {
        get => direction;
        set => direction = EnumCheck.Defined(value);
    }

    public ReplacementFormat ReplacementFormat
    {
        get => replacementFormat;
        set => replacementFormat = EnumCheck.Defined(value);
    }
}

public interface IReplacingCallback
{
    ReplaceAction Replacing(ReplacingArgs args);
}

public sealed class ReplacingArgs
{
    private string replacement = string.Empty;

    internal ReplacingArgs()
    {
    }

    public string Replacement
    {
        get => replacement;
        set => replacement = value ?? throw new ArgumentNullException(nameof(value));
    }

    public int MatchOffset { get; internal set; }

    public int GroupIndex { get; set; }

    public string? GroupName { get; set; }
}
