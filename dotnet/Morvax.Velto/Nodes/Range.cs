// Range: the text of a node and everything below it, seen as one text to
// read, search and replace.  Replacing works on the runs: a match may cross
// runs of one paragraph (the replacement takes the first run's formatting)
// but not a paragraph end or any node other than a run, such as a field mark.
using System;
using System.Collections.Generic;
using System.Linq;
using Morvax.Velto.Fields;
using Morvax.Velto.Replacing;

namespace Morvax.Velto;

public sealed class Range
{
    private readonly Node node;

    internal Range(Node node)
    {
        this.node = node;
    }

    /// <summary>The text of the range, with the control characters of its structure.</summary>
    public string Text => node.GetText();

    // The collections below are views: each use finds its elements afresh in
    // the range's nodes, so they follow every later edit.
    /// <summary>The bookmarks that start in the range.</summary>
    public BookmarkCollection Bookmarks => new(node);

    /// <summary>The fields that start in the range.</summary>
    public FieldCollection Fields => new(node, start => start.GetField(), found => found.Remove());

    /// <summary>The form fields in the range.</summary>
    public FormFieldCollection FormFields => new(node);

    /// <summary>The structured document tags in the range.</summary>
    public Markup.StructuredDocumentTagCollection StructuredDocumentTags => new(node);

    /// <summary>Replaces every occurrence of the text, ignoring case; returns how many were replaced.</summary>
    public int Replace(string pattern, string replacement) => Replace(pattern, replacement, new FindReplaceOptions());

    /// <summary>Replaces every occurrence of the text as the options say (case, whole words, fields, notes); returns how many were replaced.</summary>
    public int Replace(string pattern, string replacement, FindReplaceOptions options)
    {
        ArgumentNullException.ThrowIfNull(pattern);
        ArgumentNullException.ThrowIfNull(replacement);
        ArgumentNullException.ThrowIfNull(options);
        if (pattern.Length == 0)
            throw new ArgumentException("Range.Replace needs a pattern that is not empty.", nameof(pattern));
        if (pattern.Any(IsStructure) || replacement.Any(IsStructure))
            throw new NotSupportedException(
                "Range.Replace cannot match or insert paragraph, cell or section breaks or field marks: patterns and replacements are text within a paragraph.");
        var comparison = options.MatchCase ? StringComparison.Ordinal : StringComparison.OrdinalIgnoreCase;
        var decide = new ReplacementDecider(options.ReplacingCallback, replacement);
        int count = 0;
        foreach (Paragraph paragraph in Paragraphs())
        {
            if (options.IgnoreFootnotes && InStory(paragraph))
                continue;
            foreach (List<Run> runs in Segments(paragraph, options))
            {
                count += ReplaceIn(runs, pattern, comparison, options.FindWholeWordsOnly, decide);
                if (decide.Stopped)
                    return count;
            }
        }
        return count;
    }

    // Asks the replacing callback, when there is one, what each match becomes,
    // in document order; after a Stop no later match is offered or replaced.
    private sealed class ReplacementDecider
    {
        private readonly IReplacingCallback? callback;
        private readonly string replacement;

        internal ReplacementDecider(IReplacingCallback? callback, string replacement)
        {
            this.callback = callback;
            this.replacement = replacement;
        }

        internal bool Stopped { get; private set; }

        // The text to put in place of the match, or null to leave it.
        internal string? Decide(string matchText, Run run, int offsetInRun)
        {
            if (Stopped)
                return null;
            if (callback is null)
                return replacement;
            var args = new ReplacingArgs(matchText, run, offsetInRun, replacement);
            switch (callback.Replacing(args))
            {
                case ReplaceAction.Replace:
                    if (args.Replacement.Any(IsStructure))
                        throw new NotSupportedException(
                            "ReplacingArgs.Replacement cannot insert paragraph, cell or section breaks or field marks: replacements are text within a paragraph.");
                    return args.Replacement;
                case ReplaceAction.Skip:
                    return null;
                case ReplaceAction.Stop:
                    Stopped = true;
                    return null;
                default:
                    throw new ArgumentOutOfRangeException(nameof(IReplacingCallback), "The replacing callback returned a value that is not a ReplaceAction.");
            }
        }
    }

    /// <summary>Recomputes the results of the fields in the range that this library can update; returns how many were.</summary>
    public int UpdateFields() => FieldScanner.In(node).Count(field => field.Start.IsInDocument() && field.TryUpdate());

    /// <summary>Replaces every field in the range with its result.</summary>
    public void UnlinkFields()
    {
        foreach (Field field in FieldScanner.In(node))
        {
            if (field.start is { } start && ReferenceEquals(Root(start), Root(node)))
                field.Unlink();
        }
    }

    private static Node Root(Node node)
    {
        while (node.ParentNode is { } parent)
            node = parent;
        return node;
    }

    private static bool IsStructure(char c) => c is ControlChar.ParagraphBreakChar or ControlChar.CellChar
        or ControlChar.SectionBreakChar or ControlChar.FieldStartChar or ControlChar.FieldSeparatorChar
        or ControlChar.FieldEndChar;

    private IEnumerable<Paragraph> Paragraphs() => node switch
    {
        Paragraph paragraph => new[] { paragraph },
        CompositeNode composite => composite.Matching(NodeType.Paragraph, true).Cast<Paragraph>().ToList(),
        _ => node.ParentNode is Paragraph parent ? new[] { parent } : Array.Empty<Paragraph>(),
    };

    private static bool InStory(Node node)
    {
        for (Node? current = node; current is not null; current = current.ParentNode)
        {
            if (current is InlineStory)
                return true;
        }
        return false;
    }

    // The stretches of neighbouring runs that a match may cross, leaving out
    // fields or field codes when the options say so.
    private IEnumerable<List<Run>> Segments(Paragraph paragraph, FindReplaceOptions options)
    {
        var nesting = new FieldNesting();
        var segment = new List<Run>();
        for (Node? child = paragraph.FirstChild; child is not null; child = child.NextSibling)
        {
            nesting.Step(child);
            // Text deleted under revision tracking is not shown, so it is not searched.
            bool eligible = child is Run { IsDeleteRevision: false } && (node is not Run || ReferenceEquals(child, node))
                && !(options.IgnoreFields && nesting.InField)
                && !(options.IgnoreFieldCodes && nesting.InCode);
            if (eligible)
            {
                segment.Add((Run)child);
                continue;
            }
            if (segment.Count > 0)
                yield return segment;
            segment = new List<Run>();
        }
        if (segment.Count > 0)
            yield return segment;
    }

    private static int ReplaceIn(List<Run> runs, string pattern, StringComparison comparison, bool wholeWords,
        ReplacementDecider decide)
    {
        string text = string.Concat(runs.Select(r => r.Text));
        var matches = new List<(int At, string Replacement)>();
        for (int at = text.IndexOf(pattern, comparison); at >= 0 && !decide.Stopped;
             at = at + 1 > text.Length ? -1 : text.IndexOf(pattern, at + 1, comparison))
        {
            if (wholeWords && (at > 0 && char.IsLetterOrDigit(text[at - 1])
                               || at + pattern.Length < text.Length && char.IsLetterOrDigit(text[at + pattern.Length])))
                continue;
            (Run run, int offset) = RunAt(runs, at);
            if (decide.Decide(text.Substring(at, pattern.Length), run, offset) is { } replacement)
                matches.Add((at, replacement));
            at += pattern.Length - 1;
        }
        // From the last match back, so the offsets of the earlier ones hold.
        var emptied = new HashSet<Run>(ReferenceEqualityComparer.Instance);
        for (int m = matches.Count - 1; m >= 0; m--)
            Splice(runs, matches[m].At, pattern.Length, matches[m].Replacement, emptied);
        foreach (Run run in emptied)
        {
            if (run.Text.Length == 0)
                run.Remove();
        }
        return matches.Count;
    }

    // The run holding the character at the offset of the runs' joined text,
    // and the offset within it.
    private static (Run Run, int Offset) RunAt(List<Run> runs, int at)
    {
        foreach (Run run in runs)
        {
            if (at < run.Text.Length)
                return (run, at);
            at -= run.Text.Length;
        }
        return (runs[^1], runs[^1].Text.Length);
    }

    // Puts the replacement where the match starts and takes the matched
    // text out of every run it covers.
    private static void Splice(List<Run> runs, int start, int length, string replacement, HashSet<Run> emptied)
    {
        int offset = 0;
        bool placed = false;
        foreach (Run run in runs)
        {
            int runStart = offset, runEnd = offset + run.Text.Length;
            offset = runEnd;
            int from = System.Math.Max(start, runStart), to = System.Math.Min(start + length, runEnd);
            if (from >= to)
                continue;
            string text = run.Text;
            string inserted = placed ? string.Empty : replacement;
            run.Text = text[..(from - runStart)] + inserted + text[(to - runStart)..];
            placed = true;
            if (run.Text.Length == 0)
                emptied.Add(run);
        }
    }
}
