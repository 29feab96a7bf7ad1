// RevisionTracking: edits recorded as tracked insertions and deletions while
// a document tracks revisions (Document.StartTrackRevisions).  What is
// recorded is text: a run added to the document is marked inserted; a run
// removed is marked deleted and stays where it was; a run whose text changes
// becomes its old text deleted followed by its new text inserted.  Accepting
// and rejecting settle the marks as the word processor does, and saving writes
// them as w:ins and w:del, which a later load keeps as tracked markup.
// Structure is not recorded: removing a paragraph, table or section while
// tracking is refused rather than done untracked.  Formatting is recorded
// per run: the formatting a run had when its Font was first handed out while
// tracking is kept, and while the run's formatting differs from it the run
// holds a format change (written as w:rPrChange with those properties).  A
// Font taken before tracking started and changed after records nothing.
using System;
using System.Collections.Generic;
using System.Linq;

namespace Morvax.Velto;

/// <summary>A tracked insertion or deletion of one run: who made it and when.</summary>
internal sealed record RunRevision(RevisionType Type, string Author, DateTime Date);

/// <summary>A run's formatting before changes made while tracking: who made them and when.</summary>
internal sealed record RunFormatRecord(Font Before, string Author, DateTime Date)
{
    /// <summary>Whether the run holds a format change by this record: text not inserted or deleted, formatted otherwise now.</summary>
    internal bool Changes(Run run) => run.Revision is null && !Before.HasSameFormatting(run.FormattingView);
}

internal sealed class RevisionTracking
{
    private readonly string author;
    private readonly DateTime? date;

    internal RevisionTracking(string author, DateTime? date)
    {
        this.author = author;
        this.date = date;
    }

    private RunRevision Mark(RevisionType type) => new(type, author, date ?? DateTime.Now);

    // Every run of a node just added to the document (the node itself when it
    // is one) is new text.
    internal void Inserted(Node node)
    {
        foreach (Run run in RunsOf(node))
            run.Revision ??= Mark(RevisionType.Insertion);
    }

    // Removing a run marks it deleted, except text inserted under tracking,
    // which simply goes, as in the word processor.  Returns whether the node
    // is to be unlinked after all.  The caller has passed it to CheckRemovable.
    internal bool Removing(Node node)
    {
        if (node is Run run)
        {
            if (run.Revision?.Type == RevisionType.Insertion)
                return true;
            run.Revision ??= Mark(RevisionType.Deletion);
            return false;
        }
        return true;
    }

    // A run in the document whose Font is handed out: its formatting now is
    // what a change would be recorded against, unless a record is there
    // already (from this tracking or read from the file).  Text inserted or
    // deleted while tracking carries its formatting with it.
    internal void FormattingTaken(Run run)
    {
        if (run.ParentNode is null || run.Revision is not null
            || run.Document.FormatRecords?.ContainsKey(run) == true || Formats.DocxPropertyRevisions.MarksOf(run).Any())
            return;
        var before = new Font();
        before.CopyFrom(run.FormattingView);
        (run.Document.FormatRecords ??= new(ReferenceEqualityComparer.Instance)).Add(run, new RunFormatRecord(before, author, date ?? DateTime.Now));
    }

    // A format change settled: accepting keeps the formatting, rejecting
    // puts the recorded one back.
    internal static void SettleFormat(Run run, bool accept)
    {
        if (run.Document.FormatRecords is not { } records || !records.Remove(run, out RunFormatRecord? record))
            return;
        if (!accept)
            run.OwnedFont.CopyFrom(record.Before);
    }

    internal static void CheckRemovable(Node node)
    {
        if (node is CompositeNode composite && RunsOf(composite).Any())
            throw new NotSupportedException(
                $"Removing a {node.NodeType} node while revisions are tracked is not supported: only the insertion and deletion of runs are recorded.");
    }

    // A run's text replaced under tracking: the old text stays before it as a
    // deleted run, the run itself holds the new text as an insertion; emptied,
    // the run keeps its text as a deletion.  Returns the text the run holds.
    internal string TextChanging(Run run, string oldText, string newText)
    {
        switch (run.Revision?.Type)
        {
            case RevisionType.Insertion:
                return newText;
            case RevisionType.Deletion:
                throw new InvalidOperationException("The text of a deleted run cannot be changed while revisions are tracked.");
        }
        if (newText.Length == 0)
        {
            run.Revision = Mark(RevisionType.Deletion);
            return oldText;
        }
        if (run.ParentNode is { } parent && oldText.Length != 0)
        {
            var deleted = new Run(run.Document, oldText) { Revision = Mark(RevisionType.Deletion) };
            deleted.Font.CopyFrom(run.Font);
            parent.LinkUntracked(deleted, run);
        }
        run.Revision = Mark(RevisionType.Insertion);
        return newText;
    }

    /// <summary>How many runs of the tree carry a tracked insertion or deletion.</summary>
    internal static int Count(CompositeNode root) => RunsOf(root).Count(r => r.Revision is not null);

    // Accepting keeps inserted runs and drops deleted ones; rejecting does the
    // opposite.  Returns how many marks were settled.
    internal static int Resolve(CompositeNode root, bool accept)
    {
        int settled = 0;
        foreach (Run run in RunsOf(root).Where(r => r.Revision is not null).ToList())
        {
            Settle(run, accept);
            settled++;
        }
        return settled;
    }

    // One run's mark settled: the run stays as plain text or goes.
    internal static void Settle(Run run, bool accept)
    {
        bool keep = (run.Revision!.Type == RevisionType.Insertion) == accept;
        run.Revision = null;
        if (!keep)
            run.ParentNode!.UnlinkUntracked(run);
    }

    private static IEnumerable<Run> RunsOf(Node node) => node switch
    {
        Run run => new[] { run },
        CompositeNode composite => composite.Matching(NodeType.Run, true).Cast<Run>(),
        _ => Enumerable.Empty<Run>(),
    };
}
