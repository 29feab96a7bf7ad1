// DocxRevisions: the tracked insertions and deletions a loaded .docx holds in
// its kept markup (w:ins, w:del, w:moveTo, w:moveFrom around runs), with those
// recorded on runs since (RevisionTracking), counted,
// accepted or rejected as the word processor does: accepting keeps inserted
// text and drops deleted text, rejecting does the opposite.  The markup is
// never edited in place (a copied document may share it); each changed kept
// node is replaced by new ones built from a modified copy.
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
            int here = element.Descendants().Count(IsRevision) + (IsRevision(element) ? 1 : 0);
            if (here == 0)
                continue;
            resolved += here;
            // A wrapper around the top-level element lets the same unwrapping
            // handle a kept w:ins itself and one nested in a hyperlink.
            var holder = new W.Paragraph(element.CloneNode(true));
            ResolveIn(holder, accept);
            Node? before = node;
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
        return resolved;
    }

    // Innermost first, so an insertion inside a deletion is settled before
    // the deletion decides whether its content stays.
    private static void ResolveIn(OpenXmlElement root, bool accept)
    {
        foreach (OpenXmlElement revision in root.Descendants().Where(IsRevision).Reverse().ToList())
        {
            bool keep = IsInsertion(revision) == accept;
            if (keep)
            {
                if (!accept)
                    RestoreDeletedText(revision);
                foreach (OpenXmlElement child in revision.ChildElements.ToList())
                {
                    child.Remove();
                    revision.InsertBeforeSelf(child);
                }
            }
            revision.Remove();
        }
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
