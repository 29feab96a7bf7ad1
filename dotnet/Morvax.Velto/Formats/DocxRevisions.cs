// DocxRevisions: the tracked changes of a document, counted, listed one by
// one, accepted or rejected as the word processor does: insertions and
// deletions (w:ins, w:del, w:moveTo, w:moveFrom around runs) in the markup
// kept whole and recorded on runs since (RevisionTracking), where accepting
// keeps inserted text and drops deleted text and rejecting does the
// opposite; and the format changes and paragraph marks held in properties,
// of nodes and of kept markup (DocxPropertyRevisions).  Kept markup is never
// edited in place (a copied document may share it); each changed kept node
// is replaced by new ones built from a modified copy.
using System;
using System.Collections.Generic;
using System.Linq;
using DocumentFormat.OpenXml;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static class DocxRevisions
{
    private static bool IsInsertion(OpenXmlElement e) => e is W.InsertedRun or W.MoveToRun;

    private static bool IsDeletion(OpenXmlElement e) => e is W.DeletedRun or W.MoveFromRun;

    private static bool IsRevision(OpenXmlElement e) =>
        IsInsertion(e) || IsDeletion(e) || DocxPropertyRevisions.IsRevision(e);

    /// <summary>How many revisions the document holds.</summary>
    internal static int Count(Document doc) => List(doc).Count;

    /// <summary>Accepts or rejects every revision; returns how many there were.</summary>
    internal static int Resolve(Document doc, bool accept)
    {
        int resolved = RevisionTracking.Resolve(doc, accept);
        // Format changes and those in nodes' properties, one by one: a
        // paragraph joined with the next takes the revisions of its own
        // properties with it.
        foreach (Revision revision in List(doc).Where(r => r.Site.PropertyMark is not null || r.Site.FormatRecord is not null))
        {
            if (revision.Site.IsCurrent)
            {
                Settle(revision.Site, accept);
                resolved++;
            }
        }
        doc.FormatRecords = null;
        foreach ((Node node, OpenXmlElement element) in KeptNodes(doc).ToList())
        {
            int here = RevisionsIn(element).Count();
            if (here == 0)
                continue;
            resolved += here;
            Rebuild(node, element, holder => ResolveIn(holder, accept));
        }
        return resolved;
    }

    /// <summary>Every revision of the document, in document order.</summary>
    internal static IReadOnlyList<Revision> List(Document doc)
    {
        var found = new List<Revision>();
        Gather(doc, doc, found);
        return found;
    }

    // A paragraph's own revisions come after its content (they are its
    // mark's), a table's, row's or cell's before it, a section's after it.
    private static void Gather(Document doc, Node node, List<Revision> found)
    {
        if (node is not (Paragraph or Section))
            GatherProperties(doc, node, found);
        GatherContent(doc, node, found);
        if (node is Paragraph or Section)
            GatherProperties(doc, node, found);
    }

    private static void GatherProperties(Document doc, Node node, List<Revision> found)
    {
        foreach (OpenXmlElement mark in DocxPropertyRevisions.MarksOf(node))
        {
            found.Add(new Revision(new RevisionSite(doc, node, null, DocxPropertyRevisions.TypeOf(mark), AuthorOf(mark),
                DateOf(mark)) { PropertyMark = mark.LocalName }));
        }
        if (doc.FormatRecords?.TryGetValue(node, out FormatRecord? record) == true && record.Changes(node))
        {
            found.Add(new Revision(new RevisionSite(doc, node, null, RevisionType.FormatChange, record.Author, record.Date)
                { FormatRecord = record }));
        }
    }

    private static string AuthorOf(OpenXmlElement mark) => WordMl.Attribute(mark, "author") ?? string.Empty;

    // The date as the file writes it; none when it gives none or no date.
    private static DateTime DateOf(OpenXmlElement mark)
    {
        if (WordMl.Attribute(mark, "date") is not { } text)
            return default;
        try
        {
            return System.Xml.XmlConvert.ToDateTime(text, System.Xml.XmlDateTimeSerializationMode.RoundtripKind);
        }
        catch (FormatException)
        {
            return default;
        }
    }

    private static void GatherContent(Document doc, Node node, List<Revision> found)
    {
        switch (node)
        {
            case Run { Revision: { } recorded } run:
                found.Add(new Revision(new RevisionSite(doc, run, null, recorded.Type, recorded.Author, recorded.Date)));
                return;
            case KeptInline { Element: OpenXmlElement inline }:
                GatherKept(doc, node, inline, found);
                return;
            case KeptBlock { Element: OpenXmlElement block }:
                GatherKept(doc, node, block, found);
                return;
            case CompositeNode composite:
                for (Node? child = composite.FirstChild; child is not null; child = child.NextSibling)
                    Gather(doc, child, found);
                return;
        }
    }

    private static void GatherKept(Document doc, Node node, OpenXmlElement element, List<Revision> found)
    {
        foreach (OpenXmlElement mark in RevisionsIn(element))
        {
            RevisionType type = mark is W.MoveToRun or W.MoveFromRun ? RevisionType.Moving
                : IsInsertion(mark) ? RevisionType.Insertion
                : IsDeletion(mark) ? RevisionType.Deletion
                : DocxPropertyRevisions.TypeOf(mark);
            found.Add(new Revision(new RevisionSite(doc, node, mark, type, AuthorOf(mark), DateOf(mark))));
        }
    }

    /// <summary>Accepts or rejects one revision; refused when it is no longer in its document.</summary>
    internal static void Settle(RevisionSite site, bool accept)
    {
        if (!site.IsCurrent)
            throw new InvalidOperationException(
                "The revision has already been accepted or rejected, or the content around it has changed since it was read: read the revisions again.");
        if (site.PropertyMark is { } name)
        {
            DocxPropertyRevisions.Settle(site.Document, site.Node, name, accept);
            return;
        }
        if (site.FormatRecord is not null)
        {
            RevisionTracking.SettleFormat(site.Node, accept);
            return;
        }
        if (site.Mark is null)
        {
            RevisionTracking.Settle((Run)site.Node, accept);
            return;
        }
        OpenXmlElement element = RevisionSite.RootOf(site.Node)!;
        int position = RevisionsIn(element).TakeWhile(r => !ReferenceEquals(r, site.Mark)).Count();
        Rebuild(site.Node, element, holder => SettleOne(RevisionsIn(holder).ElementAt(position), accept));
    }

    // The revision elements of kept markup, the element itself first, in
    // document order.
    private static IEnumerable<OpenXmlElement> RevisionsIn(OpenXmlElement element) =>
        (IsRevision(element) ? new[] { element } : Enumerable.Empty<OpenXmlElement>())
            .Concat(element.Descendants().Where(IsRevision));

    // Replaces a kept node by nodes built from a changed copy of its markup.
    // A wrapper around the top-level element lets the same unwrapping handle a
    // kept w:ins itself and one nested in a hyperlink.
    private static void Rebuild(Node node, OpenXmlElement element, Action<OpenXmlElement> change)
    {
        var holder = new W.Paragraph(element.CloneNode(true));
        change(holder);
        Node before = node;
        foreach (OpenXmlElement child in holder.ChildElements.ToList())
        {
            child.Remove();
            string text = DocxReader.TextOf(child, node is KeptBlock);
            Node replacement = node is KeptBlock
                ? new KeptBlock(node.Document, child, text)
                : new KeptInline(node.Document, child, text);
            before.ParentNode!.InsertAfter(replacement, before);
            before = replacement;
        }
        node.Remove();
    }

    // Innermost first, so an insertion inside a deletion is settled before
    // the deletion decides whether its content stays.
    private static void ResolveIn(OpenXmlElement root, bool accept)
    {
        foreach (OpenXmlElement revision in root.Descendants().Where(IsRevision).Reverse().ToList())
            SettleOne(revision, accept);
    }

    // Kept content comes out of its mark (deleted text turned back into
    // ordinary text when a deletion is rejected); other content goes with it.
    private static void SettleOne(OpenXmlElement revision, bool accept)
    {
        if (DocxPropertyRevisions.IsRevision(revision))
        {
            DocxPropertyRevisions.SettleInMarkup(revision, accept);
            return;
        }
        bool keep = IsInsertion(revision) == accept;
        if (keep)
        {
            if (!IsInsertion(revision))
                RestoreDeletedText(revision);
            foreach (OpenXmlElement child in revision.ChildElements.ToList())
            {
                child.Remove();
                revision.InsertBeforeSelf(child);
            }
        }
        revision.Remove();
    }

    // Rejecting a deletion turns its deleted text and field codes back into
    // ordinary ones.
    private static void RestoreDeletedText(OpenXmlElement revision)
    {
        foreach (W.DeletedText deleted in revision.Descendants<W.DeletedText>().ToList())
            deleted.InsertBeforeSelf(new W.Text(deleted.Text) { Space = deleted.Space }).Parent!.RemoveChild(deleted);
        foreach (W.DeletedFieldCode deleted in revision.Descendants<W.DeletedFieldCode>().ToList())
            deleted.InsertBeforeSelf(new W.FieldCode(deleted.Text) { Space = deleted.Space }).Parent!.RemoveChild(deleted);
    }

    private static IEnumerable<(Node Node, OpenXmlElement Element)> KeptNodes(Node root)
    {
        if (root is KeptInline { Element: OpenXmlElement inline })
            yield return (root, inline);
        else if (root is KeptBlock { Element: OpenXmlElement block })
            yield return (root, block);
        else if (root is CompositeNode composite)
            for (Node? child = composite.FirstChild; child is not null; child = child.NextSibling)
                foreach ((Node, OpenXmlElement) kept in KeptNodes(child))
                    yield return kept;
    }
}

/// <summary>
/// Where one revision is: a run recorded while tracking (no mark), a revision
/// element inside the markup a kept node holds, or one in a node's own
/// properties (PropertyMark: its local name, one of each at most per node).
/// </summary>
internal sealed class RevisionSite
{
    internal RevisionSite(Document document, Node node, OpenXmlElement? mark, RevisionType type, string author, DateTime date)
    {
        Document = document;
        Node = node;
        Mark = mark;
        Type = type;
        Author = author;
        Date = date;
    }

    internal Document Document { get; }

    internal Node Node { get; }

    internal OpenXmlElement? Mark { get; }

    internal string? PropertyMark { get; init; }

    // A format change made while tracking: the run's or paragraph's record.
    internal FormatRecord? FormatRecord { get; init; }

    internal RevisionType Type { get; }

    internal string Author { get; }

    internal DateTime Date { get; }

    /// <summary>The text inserted or deleted, deleted text included.</summary>
    internal string Text => FormatRecord is not null ? Node.GetText()
        : PropertyMark is not null
        ? Type == RevisionType.FormatChange || Node is not Paragraph ? Node.GetText() : ControlChar.ParagraphBreak
        : Mark is null
        ? ((Run)Node).Text
        : string.Concat(Mark.Descendants().Select(e => e switch
        {
            W.Text t => t.Text,
            W.DeletedText d => d.Text,
            W.TabChar => ControlChar.Tab,
            _ => string.Empty,
        }));

    /// <summary>Whether the revision is still in its document as it was when listed.</summary>
    internal bool IsCurrent
    {
        get
        {
            if (!IsInDocument(Node))
                return false;
            if (PropertyMark is { } name)
                return DocxPropertyRevisions.MarksOf(Node).Any(m => m.LocalName == name);
            if (FormatRecord is { } record)
                return Document.FormatRecords?.GetValueOrDefault(Node) == record && record.Changes(Node);
            if (Mark is null)
                return Node is Run run && run.Revision is { } recorded && recorded.Type == Type;
            return RootOf(Node) is { } root && (ReferenceEquals(root, Mark) || Mark.Ancestors().Contains(root));
        }
    }

    internal bool SameAs(RevisionSite other) =>
        ReferenceEquals(Node, other.Node) && ReferenceEquals(Mark, other.Mark) && PropertyMark == other.PropertyMark
        && FormatRecord == other.FormatRecord;

    // The other revision's content comes right after this one's: the next
    // element in the same markup, or the next node.
    internal bool IsFollowedBy(RevisionSite next)
    {
        bool inProperties = PropertyMark is not null || FormatRecord is not null;
        if (inProperties || next.PropertyMark is not null || next.FormatRecord is not null)
            return inProperties && (next.PropertyMark is not null || next.FormatRecord is not null)
                && ReferenceEquals(Node.NextSibling, next.Node);
        if (Mark is not null && next.Mark is not null && ReferenceEquals(Node, next.Node))
            return ReferenceEquals(Mark.NextSibling(), next.Mark);
        return ReferenceEquals(Node.NextSibling, next.Node)
            && (Mark is null || ReferenceEquals(Mark, RootOf(Node)))
            && (next.Mark is null || ReferenceEquals(next.Mark, RootOf(next.Node)));
    }

    internal static OpenXmlElement? RootOf(Node node) =>
        ((node as KeptInline)?.Element ?? (node as KeptBlock)?.Element) as OpenXmlElement;

    private bool IsInDocument(Node node)
    {
        Node current = node;
        while (current.ParentNode is { } parent)
            current = parent;
        return ReferenceEquals(current, Document);
    }
}
