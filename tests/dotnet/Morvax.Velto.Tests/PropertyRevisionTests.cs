// Revisions held in properties: format changes of runs, paragraphs, tables,
// rows, cells and sections, and paragraph marks inserted or deleted.  Each is
// read from markup a word processor writes, listed, accepted, rejected and
// saved; untouched ones go back into the file as they were read.
using System;
using System.IO;
using System.Linq;
using System.Xml.Linq;
using Morvax.Velto.Tables;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class PropertyRevisionTests
{
    private const string Stamp = "w:id=\"9\" w:author=\"Ann\" w:date=\"2024-01-02T03:04:05Z\"";

    private static Document Read(string body) => new(new MemoryStream(BodyPackage(body)));

    private static string Text(Document doc) => doc.GetText().Replace("\f", "").TrimEnd('\r');

    private static XElement SavedBody(Document doc) => Part(SaveBytes(doc, SaveFormat.Docx), "word/document.xml").Root!;

    // Every revision accepted or rejected, none left.
    private static void SettleAll(Document doc, bool accept)
    {
        if (accept)
            doc.Revisions.AcceptAll();
        else
            doc.Revisions.RejectAll();
        Assert.Empty(doc.Revisions);
    }

    private static Run FirstRun(Document doc) => (Run)doc.GetChild(NodeType.Run, 0, true)!;

    // A run made bold whose italic was taken away.  With a bookmark beside it
    // the paragraph is read through the element tree instead of as a stream.
    private static string BoldedRun(bool viaTree) =>
        "<w:p>" + (viaTree ? "<w:bookmarkStart w:id=\"1\" w:name=\"b\"/>" : "")
        + "<w:r><w:t xml:space=\"preserve\">plain </w:t></w:r>"
        + $"<w:r><w:rPr><w:b/><w:rPrChange {Stamp}><w:rPr><w:i/></w:rPr></w:rPrChange></w:rPr><w:t>bold</w:t></w:r>"
        + "</w:p>";

    [Theory]
    [InlineData(false)]
    [InlineData(true)]
    public void A_run_format_change_is_listed_and_settled(bool viaTree)
    {
        Document doc = Read(BoldedRun(viaTree));
        Revision revision = Assert.Single(doc.Revisions);
        Assert.Equal((RevisionType.FormatChange, "Ann"), (revision.RevisionType, revision.Author));
        Assert.Equal(new DateTime(2024, 1, 2, 3, 4, 5), revision.DateTime);
        Assert.Equal("bold", Assert.IsType<Run>(revision.ParentNode).Text);
        Assert.Equal("bold", revision.Group.Text);

        // Accepted: the new formatting stays, the record goes.
        Document accepted = Read(BoldedRun(viaTree));
        accepted.Revisions[0].Accept();
        Assert.Empty(accepted.Revisions);
        XElement body = SavedBody(accepted);
        Assert.Empty(body.Descendants(W + "rPrChange"));
        Assert.Single(body.Descendants(W + "b"));
        Run kept = (Run)Reload(accepted).GetChild(NodeType.Run, 1, true)!;
        Assert.True(kept.Font.Bold);

        // Rejected: the recorded formatting comes back, in memory and in the file.
        revision.Reject();
        Assert.Throws<InvalidOperationException>(() => revision.Accept());
        Run run = (Run)doc.GetChild(NodeType.Run, 1, true)!;
        Assert.Equal((false, true), (run.Font.Bold, run.Font.Italic));
        body = SavedBody(doc);
        Assert.Empty(body.Descendants(W + "rPrChange"));
        Assert.Empty(body.Descendants(W + "b"));
        Document back = Reload(doc);
        Run reread = (Run)back.GetChild(NodeType.Run, 1, true)!;
        Assert.Equal((false, true, "bold"), (reread.Font.Bold, reread.Font.Italic, reread.Text));
        Assert.Empty(back.Revisions);
    }

    [Fact]
    public void A_paragraph_format_change_restores_its_alignment_and_keeps_the_mark_formatting()
    {
        const string body = "<w:p><w:pPr><w:jc w:val=\"center\"/><w:rPr><w:b/></w:rPr>"
            + $"<w:pPrChange {Stamp}><w:pPr><w:jc w:val=\"right\"/></w:pPr></w:pPrChange></w:pPr>"
            + "<w:r><w:t>text</w:t></w:r></w:p>";
        Document doc = Read(body);
        Revision revision = Assert.Single(doc.Revisions);
        Assert.Equal(RevisionType.FormatChange, revision.RevisionType);
        Paragraph paragraph = Assert.IsType<Paragraph>(revision.ParentNode);
        Assert.Equal(ParagraphAlignment.Center, paragraph.ParagraphFormat.Alignment);
        revision.Reject();
        Assert.Equal(ParagraphAlignment.Right, paragraph.ParagraphFormat.Alignment);
        XElement pPr = SavedBody(doc).Descendants(W + "pPr").Single();
        Assert.Equal(new[] { "jc", "rPr" }, pPr.Elements().Select(e => e.Name.LocalName));
        Assert.Equal("right", (string?)pPr.Element(W + "jc")!.Attribute(W + "val"));
        Assert.Equal(ParagraphAlignment.Right, Reload(doc).FirstSection!.Body!.FirstParagraph!.ParagraphFormat.Alignment);

        Document accepted = Read(body);
        accepted.AcceptAllRevisions();
        Assert.Equal(ParagraphAlignment.Center, accepted.FirstSection!.Body!.FirstParagraph!.ParagraphFormat.Alignment);
        Assert.Empty(SavedBody(accepted).Descendants(W + "pPrChange"));
    }

    // "one" whose paragraph mark is inserted or deleted, then "two"; inside a
    // cell as well as in the body.
    private static string Marked(string mark, bool inCell)
    {
        string paragraphs = $"<w:p><w:pPr><w:rPr><w:{mark} {Stamp}/></w:rPr></w:pPr><w:r><w:t>one</w:t></w:r></w:p>"
            + "<w:p><w:pPr><w:jc w:val=\"right\"/></w:pPr><w:r><w:t>two</w:t></w:r></w:p>";
        return inCell ? $"<w:tbl><w:tr><w:tc>{paragraphs}</w:tc></w:tr></w:tbl><w:p/>" : paragraphs;
    }

    [Theory]
    [InlineData("del", true, false)]
    [InlineData("del", false, false)]
    [InlineData("ins", true, false)]
    [InlineData("ins", false, false)]
    [InlineData("del", true, true)]
    [InlineData("ins", false, true)]
    [InlineData("ins", true, true)]
    [InlineData("del", false, true)]
    public void A_paragraph_mark_joins_or_keeps_the_paragraphs(string mark, bool accept, bool inCell)
    {
        Document doc = Read(Marked(mark, inCell));
        Revision revision = Assert.Single(doc.Revisions);
        Assert.Equal(mark == "ins" ? RevisionType.Insertion : RevisionType.Deletion, revision.RevisionType);
        Assert.Equal("one", revision.ParentNode.GetText().TrimEnd('\r'));
        Assert.Equal("\r", revision.Group.Text);
        if (accept)
            revision.Accept();
        else
            revision.Reject();
        bool joins = (mark == "del") == accept;
        string expected = joins ? "onetwo" : "one\rtwo";
        Assert.Equal(expected, Text(doc).Replace("\a", "").TrimEnd('\r'));
        Assert.Empty(doc.Revisions);
        Document back = Reload(doc);
        Assert.Equal(expected, Text(back).Replace("\a", "").TrimEnd('\r'));
        Assert.Empty(back.Revisions);
        // The joined paragraph is the second one, with its properties.
        Paragraph last = (Paragraph)back.GetChild(NodeType.Paragraph, joins ? 0 : 1, true)!;
        Assert.Equal(ParagraphAlignment.Right, last.ParagraphFormat.Alignment);
        Assert.Empty(SavedBody(doc).Descendants(W + mark));
    }

    [Fact]
    public void A_deleted_mark_of_the_last_paragraph_just_loses_its_record()
    {
        Document doc = Read($"<w:p><w:pPr><w:rPr><w:del {Stamp}/></w:rPr></w:pPr><w:r><w:t>end</w:t></w:r></w:p>");
        doc.Revisions.AcceptAll();
        Assert.Equal("end", Text(doc));
        Assert.Empty(doc.Revisions);
    }

    private const string TableBody =
        "<w:tbl><w:tblPr><w:jc w:val=\"center\"/>"
        + $"<w:tblPrChange {Stamp}><w:tblPr><w:jc w:val=\"right\"/></w:tblPr></w:tblPrChange></w:tblPr>"
        + "<w:tblGrid><w:gridCol w:w=\"2000\"/></w:tblGrid>"
        + $"<w:tr><w:trPr><w:cantSplit/><w:trPrChange {Stamp}><w:trPr/></w:trPrChange></w:trPr>"
        + $"<w:tc><w:tcPr><w:vAlign w:val=\"bottom\"/><w:tcPrChange {Stamp}><w:tcPr><w:vAlign w:val=\"center\"/></w:tcPr></w:tcPrChange></w:tcPr>"
        + "<w:p><w:r><w:t>cell</w:t></w:r></w:p></w:tc></w:tr></w:tbl><w:p/>";

    [Theory]
    [InlineData(true)]
    [InlineData(false)]
    public void Table_row_and_cell_format_changes_are_settled_together(bool accept)
    {
        Document doc = Read(TableBody);
        Assert.Equal(new[] { typeof(Table), typeof(Row), typeof(Cell) }, doc.Revisions.Select(r => r.ParentNode.GetType()));
        Assert.All(doc.Revisions, r => Assert.Equal(RevisionType.FormatChange, r.RevisionType));
        SettleAll(doc, accept);
        foreach (Document state in new[] { doc, Reload(doc) })
        {
            var table = (Table)state.GetChild(NodeType.Table, 0, true)!;
            Assert.Equal(accept ? TableAlignment.Center : TableAlignment.Right, table.Alignment);
            Assert.Equal(!accept, table.FirstRow!.RowFormat.AllowBreakAcrossPages);
            Assert.Equal(accept ? CellVerticalAlignment.Bottom : CellVerticalAlignment.Center,
                table.FirstRow.FirstCell!.CellFormat.VerticalAlignment);
        }
        XElement body = SavedBody(doc);
        Assert.DoesNotContain(body.Descendants(), e => e.Name.LocalName.EndsWith("PrChange", StringComparison.Ordinal));
        Assert.Equal("cell", body.Descendants(W + "t").Single().Value);
    }

    [Fact]
    public void A_section_format_change_restores_the_page()
    {
        const string sectPr = "<w:sectPr><w:pgSz w:w=\"16838\" w:h=\"11906\" w:orient=\"landscape\"/>"
            + $"<w:sectPrChange {Stamp}><w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/></w:sectPr></w:sectPrChange></w:sectPr>";
        Document doc = Read("<w:p><w:r><w:t>page</w:t></w:r></w:p>" + sectPr);
        Revision revision = Assert.Single(doc.Revisions);
        Assert.IsType<Section>(revision.ParentNode);
        Assert.Equal(Orientation.Landscape, doc.FirstSection!.PageSetup.Orientation);
        revision.Reject();
        foreach (Document state in new[] { doc, Reload(doc) })
        {
            Assert.Equal(Orientation.Portrait, state.FirstSection!.PageSetup.Orientation);
            Assert.Equal(11906 / 20.0, state.FirstSection.PageSetup.PageWidth);
        }
        Assert.Empty(SavedBody(doc).Descendants(W + "sectPrChange"));
    }

    [Fact]
    public void Untouched_records_are_saved_as_read_and_read_again()
    {
        string body = BoldedRun(false) + Marked("del", false) + TableBody;
        XElement read = XElement.Parse($"<w:body xmlns:w=\"{W.NamespaceName}\">{body}</w:body>");
        Document doc = Read(body);
        Assert.Equal(5, doc.Revisions.Count);
        // A change elsewhere makes the body written anew.
        doc.FirstSection!.Body!.LastParagraph!.AppendChild(new Run(doc, "new"));
        XElement saved = SavedBody(doc);
        foreach (string name in new[] { "rPrChange", "del", "tblPrChange", "trPrChange", "tcPrChange" })
        {
            XElement[] before = read.Descendants(W + name).ToArray();
            XElement[] after = saved.Descendants(W + name).ToArray();
            Assert.Equal(before.Length, after.Length);
            Assert.All(before.Zip(after), pair => Assert.True(XNode.DeepEquals(pair.First, pair.Second), name));
        }
        Document back = Reload(doc);
        Assert.Equal(doc.Revisions.Select(r => (r.RevisionType, r.Author)), back.Revisions.Select(r => (r.RevisionType, r.Author)));
    }

    [Fact]
    public void Revisions_of_one_paragraph_are_settled_one_at_a_time()
    {
        Document doc = Read("<w:p><w:pPr><w:jc w:val=\"center\"/>"
            + $"<w:rPr><w:del {Stamp}/><w:b/><w:rPrChange {Stamp}><w:rPr/></w:rPrChange></w:rPr>"
            + $"<w:pPrChange {Stamp}><w:pPr/></w:pPrChange></w:pPr><w:r><w:t>one</w:t></w:r></w:p>"
            + "<w:p><w:r><w:t>two</w:t></w:r></w:p>");
        Revision[] all = doc.Revisions.ToArray();
        Assert.Equal(new[] { RevisionType.Deletion, RevisionType.FormatChange, RevisionType.FormatChange },
            all.Select(r => r.RevisionType));
        all[2].Reject();
        all[1].Accept();
        Assert.Equal(ParagraphAlignment.Left, doc.FirstSection!.Body!.FirstParagraph!.ParagraphFormat.Alignment);
        Assert.Equal(RevisionType.Deletion, Assert.Single(doc.Revisions).RevisionType);
        XElement pPr = SavedBody(doc).Descendants(W + "pPr").First();
        Assert.Equal(new[] { "del", "b" }, pPr.Element(W + "rPr")!.Elements().Select(e => e.Name.LocalName));
        Assert.Null(pPr.Element(W + "jc"));
        all[0].Reject();
        Assert.Equal("one\rtwo", Text(doc));
        Assert.Empty(doc.Revisions);
    }

    [Fact]
    public void Records_inside_kept_markup_are_listed_and_settled_there()
    {
        Document doc = Read($"<w:p><w:ins {Stamp}><w:r><w:rPr><w:b/><w:rPrChange {Stamp}><w:rPr/></w:rPrChange></w:rPr>"
            + "<w:t>new</w:t></w:r></w:ins></w:p>");
        Assert.Equal(new[] { RevisionType.Insertion, RevisionType.FormatChange }, doc.Revisions.Select(r => r.RevisionType));
        doc.Revisions[1].Reject();
        Revision left = Assert.Single(doc.Revisions);
        Assert.Equal(RevisionType.Insertion, left.RevisionType);
        left.Accept();
        XElement body = SavedBody(doc);
        Assert.Empty(body.Descendants(W + "b"));
        Assert.Empty(body.Descendants(W + "ins"));
        Assert.Equal("new", Text(doc));
    }

    [Theory]
    [InlineData(true)]
    [InlineData(false)]
    public void A_run_read_as_several_nodes_is_written_from_them_once_settled(bool accept)
    {
        // The first run holds text and a field's start: two nodes, each with the run's record.
        Document doc = Read($"<w:p><w:r><w:rPr><w:b/><w:rPrChange {Stamp}><w:rPr/></w:rPrChange></w:rPr>"
            + "<w:t>x</w:t><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> PAGE </w:instrText></w:r>"
            + "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>1</w:t></w:r>"
            + "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>");
        Assert.Equal(2, doc.Revisions.Count);
        if (accept)
            doc.AcceptAllRevisions();
        else
            doc.Revisions.RejectAll();
        XElement body = SavedBody(doc);
        Assert.Empty(body.Descendants(W + "rPrChange"));
        Assert.Equal(accept ? 2 : 0, body.Descendants(W + "b").Count());
        Document back = Reload(doc);
        Assert.Empty(back.Revisions);
        Assert.Equal(accept, FirstRun(back).Font.Bold);
        Assert.Single(back.Range.Fields);
    }

    [Fact]
    public void Adjacent_format_changes_of_one_author_form_a_group()
    {
        string Bolded(string text) =>
            $"<w:r><w:rPr><w:b/><w:rPrChange {Stamp}><w:rPr/></w:rPrChange></w:rPr><w:t>{text}</w:t></w:r>";
        Document doc = Read("<w:p>" + Bolded("a") + Bolded("b") + "<w:r><w:t>-</w:t></w:r>" + Bolded("c") + "</w:p>");
        Assert.Equal(new[] { "ab", "c" }, doc.Revisions.Groups.Select(g => g.Text));
    }

    // Two rows of two cells: row 1 inserted or deleted as a whole, and in
    // row 2 the second cell inserted or deleted.
    private static string TrackedRows(string rowMark, string cellMark)
    {
        static string Cell(string text, string marks) =>
            $"<w:tc><w:tcPr><w:tcW w:w=\"2000\" w:type=\"dxa\"/>{marks}</w:tcPr><w:p><w:r><w:t>{text}</w:t></w:r></w:p></w:tc>";
        return "<w:tbl><w:tblPr/><w:tblGrid><w:gridCol w:w=\"2000\"/><w:gridCol w:w=\"2000\"/></w:tblGrid>"
            + $"<w:tr><w:trPr><w:{rowMark} {Stamp}/></w:trPr>" + Cell("a", "") + Cell("b", "") + "</w:tr>"
            + "<w:tr>" + Cell("c", "") + Cell("d", $"<w:{cellMark} {Stamp}/>") + "</w:tr></w:tbl><w:p/>";
    }

    [Theory]
    [InlineData("del", "cellDel", true, "c")]
    [InlineData("del", "cellDel", false, "ab|cd")]
    [InlineData("ins", "cellIns", true, "ab|cd")]
    [InlineData("ins", "cellIns", false, "c")]
    public void Inserted_and_deleted_rows_and_cells_go_or_lose_their_record(string rowMark, string cellMark, bool accept, string rows)
    {
        Document doc = Read(TrackedRows(rowMark, cellMark));
        RevisionType expected = rowMark == "ins" ? RevisionType.Insertion : RevisionType.Deletion;
        Assert.Equal(new[] { (typeof(Row), "a\ab\a\a"), (typeof(Cell), "d\a") },
            doc.Revisions.Select(r => (r.ParentNode.GetType(), r.ParentNode.GetText())));
        Assert.All(doc.Revisions, r => Assert.Equal(expected, r.RevisionType));
        SettleAll(doc, accept);
        foreach (Document state in new[] { doc, Reload(doc) })
        {
            var table = (Table)state.GetChild(NodeType.Table, 0, true)!;
            Assert.Equal(rows, string.Join("|", table.Rows.Cast<Row>().Select(r => string.Concat(r.Cells.Cast<Cell>().Select(c => c.GetText().TrimEnd('\a'))))));
        }
        XElement body = SavedBody(doc);
        Assert.DoesNotContain(body.Descendants(), e => e.Name == W + rowMark || e.Name == W + cellMark);
    }

    [Fact]
    public void Accepting_the_deletion_of_every_row_removes_the_table_and_one_at_a_time_is_refused_twice()
    {
        Document doc = Read($"<w:tbl><w:tblPr/><w:tr><w:trPr><w:del {Stamp}/></w:trPr><w:tc><w:p><w:r><w:t>x</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"
            + "<w:p><w:r><w:t>after</w:t></w:r></w:p>");
        Revision revision = Assert.Single(doc.Revisions);
        revision.Accept();
        Assert.Null(doc.GetChild(NodeType.Table, 0, true));
        Assert.Throws<InvalidOperationException>(() => revision.Reject());
        Assert.Empty(SavedBody(doc).Descendants(W + "tbl"));
        Assert.Equal("after", Text(Reload(doc)));
    }

    [Fact]
    public void A_deleted_row_inside_kept_markup_goes_with_it()
    {
        // A table inside a tracked insertion's content control is kept whole.
        Document doc = Read("<w:sdt><w:sdtContent>" + TrackedRows("del", "cellIns") + "</w:sdtContent></w:sdt>");
        Assert.Equal(new[] { RevisionType.Deletion, RevisionType.Insertion }, doc.Revisions.Select(r => r.RevisionType));
        doc.Revisions.AcceptAll();
        Assert.Empty(doc.Revisions);
        XElement table = SavedBody(doc).Descendants(W + "tbl").Single();
        Assert.Equal("cd", string.Concat(table.Descendants(W + "t").Select(t => t.Value)));
        Assert.Empty(table.Descendants(W + "cellIns"));
    }

    [Theory]
    [InlineData(true, "3000")]
    [InlineData(false, "2000")]
    public void A_column_width_change_keeps_or_restores_the_grid(bool accept, string width)
    {
        Document doc = Read("<w:tbl><w:tblPr/><w:tblGrid><w:gridCol w:w=\"3000\"/>"
            + "<w:tblGridChange w:id=\"4\"><w:tblGrid><w:gridCol w:w=\"2000\"/></w:tblGrid></w:tblGridChange></w:tblGrid>"
            + "<w:tr><w:tc><w:p><w:r><w:t>x</w:t></w:r></w:p></w:tc></w:tr></w:tbl><w:p/>");
        Revision revision = Assert.Single(doc.Revisions);
        Assert.Equal((RevisionType.FormatChange, typeof(Table)), (revision.RevisionType, revision.ParentNode.GetType()));
        if (accept)
            revision.Accept();
        else
            revision.Reject();
        Assert.Empty(doc.Revisions);
        XElement grid = SavedBody(doc).Descendants(W + "tblGrid").Single();
        Assert.Equal(new[] { width }, grid.Elements().Select(e => (string?)e.Attribute(W + "w")));
        Assert.Empty(Reload(doc).Revisions);
    }
}
