// DocxRevisions: the tracked insertions and deletions a loaded .docx holds in
// its kept markup (w:ins, w:del, w:moveTo, w:moveFrom around runs), with those
// recorded on runs since (RevisionTracking), counted, listed one by one,
// accepted or rejected as the word processor does: accepting keeps inserted
// text and drops deleted text, rejecting does the opposite.  The markup is
// never edited in place (a copied document may share it); each changed kept
// node is replaced by new ones built from a modified copy.
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

    private static bool IsRevision(OpenXmlElement e) => IsInsertion(e) || IsDeletion(e);

    /// <summary>How many insertions and deletions the document holds: read ones in its kept markup and those recorded since.</summary>
    internal static int Count(Document doc) =>
        KeptNodes(doc).Sum(k => k.Element.Descendants().Count(IsRevision) + (IsRevision(k.Element) ? 1 : 0))
        + RevisionTracking.Count(doc);

    /// <summary>Accepts or rejects every insertion and deletion; returns how many there were.</summary>
    internal static int Resolve(Document doc, bool accept)
    {
        int resolved = RevisionTracking.Resolve(doc, accept);
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

    private static void Gather(Document doc, Node node, List<Revision> found)
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
        foreach (W.RunTrackChangeType mark in RevisionsIn(element).Cast<W.RunTrackChangeType>())
        {
            RevisionType type = mark is W.MoveToRun or W.MoveFromRun ? RevisionType.Moving
                : IsInsertion(mark) ? RevisionType.Insertion : RevisionType.Deletion;
            DateTime date = mark.Date?.Value ?? default;
            found.Add(new Revision(new RevisionSite(doc, node, mark, type, mark.Author?.Value ?? string.Empty, date)));
        }
    }

    /// <summary>Accepts or rejects one revision; refused when it is no longer in its document.</summary>
    internal static void Settle(RevisionSite site, bool accept)
    {
        if (!site.IsCurrent)
            throw new InvalidOperationException(
                "The revision has already been accepted or rejected, or the content around it has changed since it was read: read the revisions again.");
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
/// Where one revision is: a run recorded while tracking (no mark), or a revision
/// element inside the markup a kept node holds.
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

    internal RevisionType Type { get; }

    internal string Author { get; }

    internal DateTime Date { get; }

    /// <summary>The text inserted or deleted, deleted text included.</summary>
    internal string Text => Mark is null
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
            if (Mark is null)
                return Node is Run run && run.Revision is { } recorded && recorded.Type == Type;
            return RootOf(Node) is { } root && (ReferenceEquals(root, Mark) || Mark.Ancestors().Contains(root));
        }
    }

    internal bool SameAs(RevisionSite other) => ReferenceEquals(Node, other.Node) && ReferenceEquals(Mark, other.Mark);

    // The other revision's content comes right after this one's: the next
    // element in the same markup, or the next node.
    internal bool IsFollowedBy(RevisionSite next)
    {
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
