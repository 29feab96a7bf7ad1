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

    /// <summary>
    /// Called for each match before it is replaced; it may change the replacement, skip the
    /// match or stop the replacing. <see langword="null"/> replaces every match.
    /// </summary>
    public IReplacingCallback? ReplacingCallback { get; set; }
}

public interface IReplacingCallback
{
    ReplaceAction Replacing(ReplacingArgs args);
}

// What a replacing callback is told of one match, and where it says what to
// put in its place.
public sealed class ReplacingArgs
{
    private string replacement = string.Empty;

    internal ReplacingArgs()
    {
    }

    internal ReplacingArgs(string matchText, Node matchNode, int matchOffset, string replacement)
    {
        MatchText = matchText;
        MatchNode = matchNode;
        MatchOffset = matchOffset;
        this.replacement = replacement;
    }

    /// <summary>The text the pattern matched, as it stands in the document.</summary>
    public string MatchText { get; } = string.Empty;

    /// <summary>The run in which the match begins.</summary>
    public Node? MatchNode { get; }

    public string Replacement
    {
        get => replacement;
        set => replacement = value ?? throw new ArgumentNullException(nameof(value));
    }

    /// <summary>Where the match begins within <see cref="MatchNode"/>'s text.</summary>
    public int MatchOffset { get; internal set; }

    public int GroupIndex { get; set; }

    public string? GroupName { get; set; }
}
