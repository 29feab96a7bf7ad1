// DocxPropertyRevisions: the tracked changes a .docx keeps inside properties
// rather than around content.  A format change (w:rPrChange, w:pPrChange,
// w:tblPrChange, w:trPrChange, w:tcPrChange, w:tblPrExChange, w:sectPrChange,
// and w:tblGridChange for a table's column widths) holds the properties as
// they were before the change; a paragraph mark
// inserted or deleted is a w:ins or w:del (w:moveTo, w:moveFrom when moved)
// in the paragraph's w:pPr/w:rPr.  They are found in the markup each node was
// read from (its origin), listed per node, and settled as the word processor
// does: accepting a format change keeps the formatting and drops the record,
// rejecting puts the recorded properties back (in the markup and in the
// node's formatting); a deleted mark accepted (or an inserted one rejected)
// joins its paragraph with the next, which keeps its own properties; the
// other way round the paragraphs stay apart and the mark loses its record.
// A row inserted or deleted is a w:ins or w:del in its w:trPr, a cell a
// w:cellIns or w:cellDel in its w:tcPr: settled so that the row or cell goes
// (a deletion accepted, an insertion rejected, and with its last row or cell
// the table or row around it) or stays without its record.
// The same settling serves marks in markup kept whole (DocxRevisions).
using System;
using System.Collections.Generic;
using System.Linq;
using DocumentFormat.OpenXml;
using Morvax.Velto.Tables;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static class DocxPropertyRevisions
{
    private static readonly HashSet<string> FormatChanges = new(StringComparer.Ordinal)
    {
        "rPrChange", "pPrChange", "tblPrChange", "trPrChange", "tcPrChange", "tblPrExChange", "sectPrChange", "tblGridChange",
    };

    private static readonly HashSet<string> MarkRevisions = new(StringComparer.Ordinal) { "ins", "del", "moveFrom", "moveTo" };

    private static readonly string[] RowMarks = { "ins", "del" };

    private static readonly string[] CellMarks = { "cellIns", "cellDel" };

    // Rejecting a format change replaces the properties' settings by the
    // recorded ones, but these children of the properties are no settings:
    // they stay, those first in the schema's order before the restored
    // settings, the others after them.
    private static readonly Dictionary<string, (string[] First, string[] Last)> KeptOnReject = new(StringComparer.Ordinal)
    {
        ["rPr"] = (new[] { "ins", "del", "moveFrom", "moveTo" }, Array.Empty<string>()),
        ["pPr"] = (Array.Empty<string>(), new[] { "rPr", "sectPr" }),
        ["trPr"] = (Array.Empty<string>(), new[] { "ins", "del" }),
        ["tcPr"] = (Array.Empty<string>(), new[] { "cellIns", "cellDel", "cellMerge" }),
        ["sectPr"] = (new[] { "headerReference", "footerReference" }, Array.Empty<string>()),
    };

    internal static bool IsFormatChange(OpenXmlElement e) => e.NamespaceUri == WordMl.W && FormatChanges.Contains(e.LocalName);

    // A w:ins, w:del, w:moveFrom or w:moveTo in a paragraph's w:pPr/w:rPr.
    internal static bool IsParagraphMark(OpenXmlElement e) =>
        e.NamespaceUri == WordMl.W && MarkRevisions.Contains(e.LocalName)
        && e.Parent is { LocalName: "rPr" } rPr && rPr.Parent is { LocalName: "pPr" };

    // A w:ins or w:del in a row's w:trPr, a w:cellIns or w:cellDel in a cell's w:tcPr.
    internal static bool IsStructureMark(OpenXmlElement e) =>
        e.NamespaceUri == WordMl.W && e.Parent is { } properties
        && (properties.LocalName == "trPr" && RowMarks.Contains(e.LocalName)
            || properties.LocalName == "tcPr" && CellMarks.Contains(e.LocalName));

    internal static bool IsRevision(OpenXmlElement e) => IsFormatChange(e) || IsParagraphMark(e) || IsStructureMark(e);

    // The mark names a node's properties may hold besides format changes.
    private static IEnumerable<string> MarkNamesOf(Node node) => node switch
    {
        Paragraph => MarkRevisions,
        Row => RowMarks,
        Cell => CellMarks,
        _ => Array.Empty<string>(),
    };

    internal static RevisionType TypeOf(OpenXmlElement mark) => mark.LocalName switch
    {
        "ins" or "cellIns" => RevisionType.Insertion,
        "del" or "cellDel" => RevisionType.Deletion,
        "moveFrom" or "moveTo" => RevisionType.Moving,
        _ => RevisionType.FormatChange,
    };

    private static bool IsInsertedMark(OpenXmlElement mark) => mark.LocalName is "ins" or "moveTo" or "cellIns";

    // Which properties of its element a node's revisions live in.
    private static string[] PropertiesOf(Node node) => node switch
    {
        Paragraph => new[] { "pPr" },
        Inline => new[] { "rPr" },
        Table => new[] { "tblPr", "tblGrid" },
        Row => new[] { "tblPrEx", "trPr" },
        Cell => new[] { "tcPr" },
        _ => Array.Empty<string>(),
    };

    // The element a node was read from, when it is one that can hold these
    // revisions: a table's, row's or cell's start tag with its properties.
    private static object? OriginElement(Node node) => node.Origin switch
    {
        ParagraphOrigin p => p.Element,
        RunOrigin r => r.Element,
        PlainOrigin p => p.Element,
        WholeFieldOrigin w => w.Element,
        TableOrigin t => t.Element,
        RowOrigin r => r.Element,
        CellOrigin c => c.Element,
        SectionOrigin s => s.Element,
        _ => null,
    };

    /// <summary>The revisions in a node's own properties, in markup order, without making its markup an element for good.</summary>
    internal static IEnumerable<OpenXmlElement> MarksOf(Node node)
    {
        // Most markup holds none, which its bytes tell without parsing them.
        if (node.Origin is RunOrigin { IsSlice: true } slice && !slice.MayHoldChange)
            return Enumerable.Empty<OpenXmlElement>();
        object? origin = OriginElement(node);
        if (origin is RawMarkup raw && RawMarkup.IsUntouched(raw))
        {
            if (!raw.MayHold("Change") && !MarkNamesOf(node).Any(raw.MayHoldTag))
                return Enumerable.Empty<OpenXmlElement>();
            return MarksIn(node, raw.Parse());
        }
        return RawMarkup.ElementOf(origin) is { } element ? MarksIn(node, element) : Enumerable.Empty<OpenXmlElement>();
    }

    private static IEnumerable<OpenXmlElement> MarksIn(Node node, OpenXmlElement element)
    {
        IEnumerable<OpenXmlElement> properties = node is Section
            ? new[] { element }
            : element.ChildElements.Where(e => e.NamespaceUri == WordMl.W && PropertiesOf(node).Contains(e.LocalName));
        return properties.SelectMany(Within);
    }

    // Revisions inside properties, not looking into the old properties a
    // record holds nor into a paragraph's section (the section's own).
    private static IEnumerable<OpenXmlElement> Within(OpenXmlElement properties)
    {
        foreach (OpenXmlElement child in properties.ChildElements)
        {
            if (child.NamespaceUri != WordMl.W || child.LocalName == "sectPr" && properties.LocalName == "pPr")
                continue;
            if (IsRevision(child))
                yield return child;
            else if (child.LocalName == "rPr")
            {
                foreach (OpenXmlElement inner in Within(child))
                    yield return inner;
            }
        }
    }

    /// <summary>Accepts or rejects the revision of that name in the node's properties; false when it is not there.</summary>
    internal static bool Settle(Document doc, Node node, string markName, bool accept)
    {
        if (!MarksOf(node).Any(m => m.LocalName == markName))
            return false;
        OpenXmlElement element = LiveElement(node);
        OpenXmlElement mark = MarksIn(node, element).First(m => m.LocalName == markName);
        if (IsParagraphMark(mark) && IsInsertedMark(mark) != accept && node is Paragraph { NextSibling: Paragraph next } paragraph)
        {
            JoinWithNext(paragraph, next);
            return true;
        }
        if (IsStructureMark(mark) && IsInsertedMark(mark) != accept)
        {
            RemoveWithEmptyParents(node);
            return true;
        }
        OpenXmlElement properties = mark.Parent!;
        SettleInMarkup(mark, accept);
        if (!accept && IsFormatChange(mark))
            Reformat(doc, node, properties);
        if (node is Inline)
            NotAsReadAround(node, element);
        if (node is Section section)
            section.Origin = ((SectionOrigin)section.Origin!) with { Element = element };
        return true;
    }

    /// <summary>
    /// Settles one revision inside markup: a format change accepted goes, rejected restores the
    /// properties it holds; a paragraph mark kept loses its record, one that goes joins its
    /// paragraph with the next paragraph there (the mark just goes when there is none).
    /// </summary>
    internal static void SettleInMarkup(OpenXmlElement mark, bool accept)
    {
        if (IsFormatChange(mark))
        {
            if (!accept)
                RestoreProperties(mark);
            mark.Remove();
            return;
        }
        if (IsStructureMark(mark))
        {
            if (IsInsertedMark(mark) != accept)
                RemoveWithEmptyParents(mark.Parent!.Parent!);
            else
                mark.Remove();
            return;
        }
        if (IsInsertedMark(mark) != accept && mark.Parent?.Parent?.Parent is W.Paragraph paragraph
            && paragraph.NextSibling() is W.Paragraph next)
        {
            OpenXmlElement? at = next.ParagraphProperties;
            foreach (OpenXmlElement child in paragraph.ChildElements.Where(c => c is not W.ParagraphProperties).ToList())
            {
                child.Remove();
                if (at is null)
                    next.InsertAt(child, 0);
                else
                    at.InsertAfterSelf(child);
                at = child;
            }
            paragraph.Remove();
            return;
        }
        mark.Remove();
    }

    // The properties element (the record's parent) takes the recorded
    // settings in place of its own.
    private static void RestoreProperties(OpenXmlElement change)
    {
        OpenXmlElement properties = change.Parent!;
        (string[] first, string[] last) = KeptOnReject.TryGetValue(properties.LocalName, out var kept)
            ? kept : (Array.Empty<string>(), Array.Empty<string>());
        OpenXmlElement? recorded = change.ChildElements.FirstOrDefault(e => e.NamespaceUri == WordMl.W);
        OpenXmlElement? after = null;
        foreach (OpenXmlElement child in properties.ChildElements.ToList())
        {
            if (ReferenceEquals(child, change) || IsRevision(child))
                continue;
            bool isW = child.NamespaceUri == WordMl.W;
            if (isW && first.Contains(child.LocalName))
                after = child;
            else if (!(isW && last.Contains(child.LocalName)))
                child.Remove();
        }
        foreach (OpenXmlElement setting in recorded?.ChildElements.ToList() ?? new List<OpenXmlElement>())
        {
            OpenXmlElement copy = setting.CloneNode(true);
            if (after is null)
                properties.InsertAt(copy, 0);
            else
                after.InsertAfterSelf(copy);
            after = copy;
        }
    }

    // A row or cell that goes takes with it the table or row it was the last
    // of: the file format has no empty table or row.
    private static void RemoveWithEmptyParents(Node node)
    {
        CompositeNode parent = node.ParentNode!;
        parent.UnlinkUntracked(node);
        if (parent is Row or Table && parent.FirstChild is null)
            RemoveWithEmptyParents(parent);
    }

    private static void RemoveWithEmptyParents(OpenXmlElement element)
    {
        OpenXmlElement? parent = element.Parent;
        element.Remove();
        if (parent is W.TableRow or W.Table && !parent.Elements<W.TableRow>().Any() && !parent.Elements<W.TableCell>().Any())
            RemoveWithEmptyParents(parent);
    }

    // The paragraph's content goes to the start of the next paragraph, which
    // keeps its own mark and properties; the paragraph goes.
    private static void JoinWithNext(Paragraph paragraph, Paragraph next)
    {
        Node? before = next.FirstChild;
        for (Node? child = paragraph.FirstChild; child is not null; child = paragraph.FirstChild)
        {
            paragraph.UnlinkUntracked(child);
            next.LinkUntracked(child, before);
        }
        paragraph.ParentNode!.UnlinkUntracked(paragraph);
    }

    // The element the writer writes the node from, made an element for good
    // and edited in place from here on (a copy for a section, whose origin is
    // then replaced).  A paragraph read as a stream becomes its element, and
    // its runs' origins the runs inside it, so that an edit to either shows
    // in both; tables around the node no longer count as their markup as read.
    private static OpenXmlElement LiveElement(Node node)
    {
        for (Node? up = node.ParentNode; up is not null; up = up.ParentNode)
        {
            if (up.Origin is TableOrigin { Whole: not null } table)
                up.Origin = table with { Whole = null };
        }
        if (node is Table { Origin: TableOrigin { Whole: not null } own })
            node.Origin = own with { Whole = null };
        if (node is Section { Origin: SectionOrigin section })
            return ((OpenXmlElement)section.Element).CloneNode(true);
        if (node is Inline && Ancestor<Paragraph>(node) is { } paragraph)
            Adopt(paragraph);
        else if (node is Paragraph self)
            Adopt(self);
        return RawMarkup.ElementOf(OriginElement(node))!;
    }

    // A piece of a run read as several nodes has an element of its own, made
    // from the run: the paragraph or content control around it, whose own
    // element holds the run unchanged, is written from its nodes from now on.
    private static void NotAsReadAround(Node node, OpenXmlElement edited)
    {
        for (Node? up = node.ParentNode; up is not null; up = up.ParentNode)
        {
            switch (up.Origin)
            {
                case ParagraphOrigin p when !Holds(p.Element, edited):
                    up.Origin = p with { Children = NoneAsRead(up) };
                    break;
                case ContentControlOrigin c when !Holds(c.Element, edited):
                    up.Origin = c with { Children = NoneAsRead(up) };
                    break;
            }
            if (up is Paragraph)
                return;
        }
    }

    // No node is its own child, so children compared with these never match.
    private static Node[] NoneAsRead(Node parent) => new[] { parent };

    private static bool Holds(object origin, OpenXmlElement edited) =>
        RawMarkup.ElementOf(origin) is { } root && (ReferenceEquals(root, edited) || edited.Ancestors().Contains(root));

    private static void Adopt(Paragraph paragraph)
    {
        if (paragraph.Origin is not ParagraphOrigin { Element: RawMarkup raw } origin)
            return;
        OpenXmlElement element = raw.Element;
        using IEnumerator<OpenXmlElement> runs = element.ChildElements.Where(e => e is not W.ParagraphProperties).GetEnumerator();
        foreach (Node child in origin.Children)
        {
            if (!runs.MoveNext())
                break;
            if (child.Origin is RunOrigin { Element: RawMarkup } run)
                child.Origin = new RunOrigin(runs.Current, run.Font, run.Text);
        }
    }

    private static T? Ancestor<T>(Node node) where T : Node
    {
        for (Node? up = node.ParentNode; up is not null; up = up.ParentNode)
        {
            if (up is T found)
                return found;
        }
        return null;
    }

    // After a rejection: the node's formatting becomes what its restored
    // properties say, and its origin's snapshot with it, so that the
    // restored markup is written as it is.
    private static void Reformat(Document doc, Node node, OpenXmlElement properties)
    {
        if (doc.PackageSource is not DocxSource { Sheet: { } sheet } source)
            return;
        switch (node)
        {
            case Paragraph paragraph when properties is W.ParagraphProperties pPr:
                var format = new ParagraphFormat();
                format.CopyFrom(sheet.Paragraph(pPr.ParagraphStyleId?.Val?.Value).Format);
                DocxReader.ApplyParagraphProperties(format, pPr, source.Styles);
                paragraph.OwnedFormat.CopyFrom(format);
                if (paragraph.Origin is ParagraphOrigin origin)
                    paragraph.Origin = origin with { Format = format };
                break;
            case Inline inline when properties is W.RunProperties rPr:
                string? styleId = Ancestor<Paragraph>(inline) is { } parent
                    ? source.Styles.IdOf(parent.OwnedFormat.StyleName) : null;
                var font = new Font();
                font.CopyFrom(sheet.Paragraph(styleId).Font);
                if (rPr.RunStyle?.Val?.Value is { } characterStyle)
                    sheet.ApplyCharacterStyle(font, characterStyle);
                DocxReader.ApplyRunProperties(font, rPr);
                inline.OwnedFont.CopyFrom(font);
                if (inline.Origin is RunOrigin run)
                    inline.Origin = new RunOrigin(run.Element, font, run.Text);
                break;
            case Row row when properties is W.TableRowProperties trPr:
                var rowFormat = new RowFormat();
                DocxTableFormats.Read(rowFormat, trPr);
                row.RowFormat.CopyFrom(rowFormat);
                if (row.Origin is RowOrigin rowOrigin)
                    row.Origin = rowOrigin with { Format = rowFormat };
                break;
            case Cell cell when properties is W.TableCellProperties tcPr:
                var cellFormat = new CellFormat();
                DocxTableFormats.Read(cellFormat, tcPr);
                cell.CellFormat.CopyFrom(cellFormat);
                if (cell.Origin is CellOrigin cellOrigin)
                    cell.Origin = cellOrigin with { Format = cellFormat };
                break;
            case Table table when properties is W.TableProperties tblPr:
                table.Alignment = WordMl.ValueOf(WordMl.TableAlignments, WordMl.Val(tblPr.GetFirstChild<W.TableJustification>()))
                    ?? TableAlignment.Left;
                if (table.Origin is TableOrigin tableOrigin)
                    table.Origin = tableOrigin with { Alignment = table.Alignment };
                break;
            case Section section when properties is W.SectionProperties sectPr:
                var setup = new PageSetup();
                DocxReader.ReadPageSetup(setup, sectPr);
                section.PageSetup.CopyFrom(setup);
                section.Start = DocxReader.StartOf(sectPr);
                if (section.Origin is SectionOrigin sectionOrigin)
                    section.Origin = sectionOrigin with { Start = section.Start, PageSetup = setup };
                break;
        }
    }
}
