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
// holds a format change (written as w:rPrChange with those properties); so is
// a paragraph's when its ParagraphFormat is first handed out (w:pPrChange),
// unless the paragraph was added while tracking (its text is an insertion).
// A Font or ParagraphFormat taken before tracking started and changed after
// records nothing.
using System;
using System.Collections.Generic;
using System.Linq;

namespace Morvax.Velto;

/// <summary>A tracked insertion or deletion of one run: who made it and when.</summary>
internal sealed record RunRevision(RevisionType Type, string Author, DateTime Date);

/// <summary>A node's formatting before changes made while tracking: who made them and when.</summary>
internal abstract record FormatRecord(string Author, DateTime Date)
{
    /// <summary>Whether the node holds a format change by this record: it is formatted otherwise now.</summary>
    internal abstract bool Changes(Node node);

    /// <summary>Puts the recorded formatting back.</summary>
    internal abstract void Restore(Node node);
}

/// <summary>A run's formatting before changes made while tracking; text inserted or deleted holds none.</summary>
internal sealed record RunFormatRecord(Font Before, string Author, DateTime Date) : FormatRecord(Author, Date)
{
    internal override bool Changes(Node node) =>
        node is Run { Revision: null } run && !Before.HasSameFormatting(run.FormattingView);

    internal override void Restore(Node node) => ((Run)node).OwnedFont.CopyFrom(Before);
}

/// <summary>A paragraph's formatting before changes made while tracking.</summary>
internal sealed record ParagraphFormatRecord(ParagraphFormat Before, string Author, DateTime Date) : FormatRecord(Author, Date)
{
    internal override bool Changes(Node node) => !Before.HasSameFormatting(((Paragraph)node).OwnedFormat);

    internal override void Restore(Node node) => ((Paragraph)node).OwnedFormat.CopyFrom(Before);
}

internal sealed class RevisionTracking
{
    private readonly string author;
    private readonly DateTime? date;

    // Paragraphs added while tracking: new text, whose formatting is no change.
    private readonly HashSet<Paragraph> added = new(ReferenceEqualityComparer.Instance);

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
        if (node is Paragraph paragraph)
            added.Add(paragraph);
        else if (node is CompositeNode composite)
            added.UnionWith(composite.Matching(NodeType.Paragraph, true).Cast<Paragraph>());
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
        if (run.Revision is null && Recordable(run))
        {
            var before = new Font();
            before.CopyFrom(run.FormattingView);
            Record(run, new RunFormatRecord(before, author, date ?? DateTime.Now));
        }
    }

    // The same for a paragraph's ParagraphFormat.
    internal void FormattingTaken(Paragraph paragraph)
    {
        if (!added.Contains(paragraph) && Recordable(paragraph))
        {
            var before = new ParagraphFormat();
            before.CopyFrom(paragraph.OwnedFormat);
            Record(paragraph, new ParagraphFormatRecord(before, author, date ?? DateTime.Now));
        }
    }

    // A node in the document that holds no record yet, neither made here nor
    // read from the file.
    private static bool Recordable(Node node) =>
        node.ParentNode is not null && node.Document.FormatRecords?.ContainsKey(node) != true
        && !Formats.DocxPropertyRevisions.MarksOf(node).Any();

    private static void Record(Node node, FormatRecord record) =>
        (node.Document.FormatRecords ??= new(ReferenceEqualityComparer.Instance)).Add(node, record);

    // A format change settled: accepting keeps the formatting, rejecting
    // puts the recorded one back.
    internal static void SettleFormat(Node node, bool accept)
    {
        if (node.Document.FormatRecords is not { } records || !records.Remove(node, out FormatRecord? record))
            return;
        if (!accept)
            record.Restore(node);
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
