// Loading and saving a package another producer wrote: what the tree does
// not model comes back unchanged, and an edit changes only what it touches.
using System.IO;
using System.IO.Compression;
using System.Linq;
using System.Xml.Linq;
using Morvax.Velto.Tables;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class DocxPreservationTests
{
    private const string W14 = "http://schemas.microsoft.com/office/word/2010/wordml";
    private const string Mc = "http://schemas.openxmlformats.org/markup-compatibility/2006";
    private const string Future = "urn:example:future";

    // A body with a little of everything this library does not model: a
    // newer vocabulary's attributes and elements, a content control, a
    // bookmark, a hyperlink, a field, a merged-cell table with widths and
    // borders, and a section that points at a header part.
    private const string Body =
        "<w:sdt><w:sdtPr><w:tag w:val=\"t\"/></w:sdtPr><w:sdtContent><w:p><w:r><w:t>in control</w:t></w:r></w:p></w:sdtContent></w:sdt>"
        + "<w:p w14:paraId=\"0A1B2C3D\"><w:pPr><w:pStyle w:val=\"Heading1\"/><w:numPr><w:ilvl w:val=\"0\"/><w:numId w:val=\"1\"/></w:numPr></w:pPr>"
        + "<w:bookmarkStart w:id=\"0\" w:name=\"mark\"/><w:r><w:rPr><w:b/><w:color w:val=\"FF0000\"/></w:rPr><w:t>Title</w:t></w:r>"
        + "<w:bookmarkEnd w:id=\"0\"/><f:gadget f:size=\"3\"/></w:p>"
        + "<w:p><w:hyperlink w:anchor=\"mark\"><w:r><w:t>link</w:t></w:r></w:hyperlink>"
        + "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>PAGE</w:instrText></w:r>"
        + "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>7</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>"
        + "<w:tbl><w:tblPr><w:tblW w:w=\"5000\" w:type=\"pct\"/><w:tblBorders><w:top w:val=\"double\" w:sz=\"4\"/></w:tblBorders></w:tblPr>"
        + "<w:tblGrid><w:gridCol w:w=\"2000\"/><w:gridCol w:w=\"3000\"/></w:tblGrid>"
        + "<w:tr><w:tc><w:tcPr><w:tcW w:w=\"5000\" w:type=\"dxa\"/><w:gridSpan w:val=\"2\"/></w:tcPr><w:p><w:r><w:t>wide</w:t></w:r></w:p></w:tc></w:tr>"
        + "<w:tr><w:tc><w:tcPr><w:vMerge w:val=\"restart\"/></w:tcPr><w:p><w:r><w:t>a</w:t></w:r></w:p></w:tc>"
        + "<w:tc><w:p><w:r><w:t>b</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"
        + "<w:p><w:r><w:t xml:space=\"preserve\">last </w:t></w:r><w:r><w:rPr><w:i/></w:rPr><w:t>words</w:t></w:r></w:p>"
        + "<w:sectPr><w:headerReference w:type=\"default\" r:id=\"rIdHeader\"/><w:pgSz w:w=\"11906\" w:h=\"16838\"/></w:sectPr>";

    private static byte[] ForeignPackage()
    {
        string document = $"<w:document xmlns:w=\"{W}\" xmlns:r=\"{OfficeRel}\" xmlns:w14=\"{W14}\" xmlns:mc=\"{Mc}\""
            + $" xmlns:f=\"{Future}\" mc:Ignorable=\"w14 f\"><w:body>{Body}</w:body></w:document>";
        byte[] package = WordPackage(document,
            ("header1.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml", OfficeRel + "/header",
                $"<w:hdr xmlns:w=\"{W}\"><w:p><w:r><w:t>page header</w:t></w:r></w:p></w:hdr>"),
            ("numbering.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.numbering+xml",
                OfficeRel + "/numbering", $"<w:numbering xmlns:w=\"{W}\"><w:num w:numId=\"1\"><w:abstractNumId w:val=\"0\"/></w:num></w:numbering>"),
            ("styles.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml", OfficeRel + "/styles",
                $"<w:styles xmlns:w=\"{W}\"><w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name w:val=\"Normal\"/></w:style>"
                + "<w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:name w:val=\"heading 1\"/><w:basedOn w:val=\"Normal\"/>"
                + "<w:rPr><w:sz w:val=\"32\"/></w:rPr></w:style></w:styles>"));
        // The header's relationship id is the one the section names.
        return RenameRelationship(package, "rId1", "rIdHeader");
    }

    private static byte[] RenameRelationship(byte[] package, string from, string to)
    {
        var buffer = new MemoryStream();
        buffer.Write(package);
        using (var zip = new ZipArchive(buffer, ZipArchiveMode.Update, true))
        {
            ZipArchiveEntry entry = zip.GetEntry("word/_rels/document.xml.rels")!;
            string text;
            using (var reader = new StreamReader(entry.Open()))
                text = reader.ReadToEnd();
            entry.Delete();
            using var writer = new StreamWriter(zip.CreateEntry("word/_rels/document.xml.rels").Open());
            writer.Write(text.Replace($"Id=\"{from}\"", $"Id=\"{to}\""));
        }
        return buffer.ToArray();
    }

    // Elements compared by name, attributes and content; namespace
    // declarations may move between producers without changing anything.
    private static XElement Normalized(XElement element) => new(element.Name,
        element.Attributes().Where(a => !a.IsNamespaceDeclaration).OrderBy(a => a.Name.ToString()),
        element.Nodes().Select(n => n is XElement child ? Normalized(child) : n));

    private static XElement BodyOf(byte[] package) =>
        Normalized(Part(package, MainPartName(package)).Root!.Element(W + "body")!);

    private static string MainPartName(byte[] package)
    {
        XNamespace rel = RelationshipsNs;
        string target = (string)Part(package, "_rels/.rels").Root!.Elements(rel + "Relationship")
            .Single(r => ((string)r.Attribute("Type")!).EndsWith("/officeDocument")).Attribute("Target")!;
        return target.TrimStart('/');
    }

    [Fact]
    public void LoadAndSaveWithoutChangesKeepsEveryPartAndTheWholeBody()
    {
        byte[] original = ForeignPackage();
        byte[] saved = SaveBytes(new Document(new MemoryStream(original)), SaveFormat.Docx);

        Assert.True(XNode.DeepEquals(BodyOf(original), BodyOf(saved)));
        foreach (string part in new[] { "word/header1.xml", "word/numbering.xml" })
            Assert.Equal(Part(original, part).ToString(), Part(saved, part).ToString());
        // The saved package reads back as the same document.
        Document again = new(new MemoryStream(saved));
        Assert.Equal(new Document(new MemoryStream(original)).GetText(), again.GetText());
        Assert.True(XNode.DeepEquals(BodyOf(saved), BodyOf(SaveBytes(again, SaveFormat.Docx))));
    }

    [Fact]
    public void AnEditChangesOnlyWhatItTouches()
    {
        byte[] original = ForeignPackage();
        var doc = new Document(new MemoryStream(original));
        Paragraph last = doc.FirstSection!.Body!.LastParagraph!;
        last.Runs[1].Text = "changed";
        last.ParagraphFormat.Alignment = ParagraphAlignment.Center;

        XElement before = BodyOf(original), after = BodyOf(SaveBytes(doc, SaveFormat.Docx));

        XElement[] oldBlocks = before.Elements().ToArray(), newBlocks = after.Elements().ToArray();
        Assert.Equal(oldBlocks.Length, newBlocks.Length);
        int lastParagraph = System.Array.FindLastIndex(oldBlocks, e => e.Name == W + "p");
        for (int i = 0; i < oldBlocks.Length; i++)
            Assert.Equal(i != lastParagraph, XNode.DeepEquals(oldBlocks[i], newBlocks[i]));
        XElement edited = newBlocks[lastParagraph];
        Assert.Equal("center", (string?)edited.Element(W + "pPr")!.Element(W + "jc")!.Attribute(W + "val"));
        XElement[] runs = edited.Elements(W + "r").ToArray();
        Assert.True(XNode.DeepEquals(oldBlocks[lastParagraph].Elements(W + "r").First(), runs[0]));
        // The edited run keeps its own formatting.
        Assert.NotNull(runs[1].Element(W + "rPr")!.Element(W + "i"));
        Assert.Equal("changed", runs[1].Element(W + "t")!.Value);
    }

    [Fact]
    public void ACloneOfALoadedDocumentSavesTheSameDocument()
    {
        var doc = new Document(new MemoryStream(ForeignPackage()));
        Document copy = doc.Clone();
        byte[] saved = SaveBytes(copy, SaveFormat.Docx);
        Document back = new(new MemoryStream(saved));
        Assert.Equal(doc.GetText(), back.GetText());
        Assert.Equal("page header\r", back.FirstSection!.HeadersFooters[0].GetText());
        Assert.Equal(595.3, back.FirstSection.PageSetup.PageWidth);
        Assert.Contains("word/numbering.xml", new ZipArchive(new MemoryStream(saved)).Entries.Select(e => e.FullName));
    }

    [Fact]
    public void MarkupNamingAnotherPackagesPartsIsLeftOutWhereItWouldDangle()
    {
        // The header's relationship id, used by a link: it resolves in its own
        // package and nowhere else.
        byte[] package = ForeignPackage();
        var source = new Document(new MemoryStream(package));
        Paragraph last = source.FirstSection!.Body!.LastParagraph!;
        last.AppendChild(new KeptInline(source, new DocumentFormat.OpenXml.Wordprocessing.Hyperlink(
            new DocumentFormat.OpenXml.Wordprocessing.Run(new DocumentFormat.OpenXml.Wordprocessing.Text("here"))) { Id = "rIdHeader" },
            "here"));
        XNamespace r = OfficeRel;
        Assert.Single(BodyOf(SaveBytes(source, SaveFormat.Docx)).Descendants(W + "hyperlink"), h => h.Attribute(r + "id") is not null);

        var target = new Document();
        var imported = (Paragraph)new NodeImporter(source, target, ImportFormatMode.KeepSourceFormatting).ImportNode(last, true);
        target.FirstSection!.Body!.AppendChild(imported);
        XElement written = BodyOf(SaveBytes(target, SaveFormat.Docx));
        Assert.Empty(written.Descendants(W + "hyperlink"));
        Assert.Contains("last words", string.Concat(written.Descendants(W + "t").Select(t => t.Value)));
    }

    [Fact]
    public void TextFollowsWhatTheWordProcessorShows()
    {
        Document doc = new(new MemoryStream(ForeignPackage()));
        Assert.Equal("in control\rTitle\r\u0013HYPERLINK \\l \"mark\"\u0014link\u0015\u0013PAGE\u00147\u0015\rwide\a\aa\ab\a\alast words\f", doc.GetText());
        Paragraph title = (Paragraph)doc.FirstSection!.Body!.GetChild(NodeType.Paragraph, 0, false)!;
        Assert.Equal(("Heading 1", true), (title.ParagraphFormat.StyleName, title.Runs[0].Font.Bold));
    }

    [Fact]
    public void TablesKeepMergedCellsWidthsAndBordersAndTakeNewRows()
    {
        var doc = new Document(new MemoryStream(ForeignPackage()));
        Table table = (Table)doc.FirstSection!.Body!.GetChild(NodeType.Table, 0, false)!;
        Assert.Equal((2, 1, 2), (table.Rows.Count, table.Rows[0].Cells.Count, table.Rows[1].Cells.Count));
        Row added = (Row)table.AppendChild(new Row(doc));
        added.EnsureMinimum();
        added.FirstCell!.FirstParagraph!.AppendChild(new Run(doc, "new"));
        table.Alignment = TableAlignment.Right;

        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        XElement tbl = BodyOf(saved).Element(W + "tbl")!;
        Assert.Equal("right", (string?)tbl.Element(W + "tblPr")!.Element(W + "jc")!.Attribute(W + "val"));
        Assert.Equal("double", (string?)tbl.Descendants(W + "top").Single().Attribute(W + "val"));
        Assert.Equal("2", (string?)tbl.Descendants(W + "gridSpan").Single().Attribute(W + "val"));
        Assert.Equal("restart", (string?)tbl.Descendants(W + "vMerge").Single().Attribute(W + "val"));
        Assert.Equal(new[] { "2000", "3000" }, tbl.Element(W + "tblGrid")!.Elements().Select(c => (string?)c.Attribute(W + "w")));

        Table reloaded = (Table)new Document(new MemoryStream(saved)).FirstSection!.Body!.GetChild(NodeType.Table, 0, false)!;
        Assert.Equal((3, TableAlignment.Right, "new\a"), (reloaded.Rows.Count, reloaded.Alignment, reloaded.LastRow!.FirstCell!.GetText()));
    }

    [Fact]
    public void TablesBuiltFromNodesAreWrittenWithGridAndBordersAndReadBack()
    {
        var doc = new Document();
        var table = new Table(doc) { Alignment = TableAlignment.Center };
        doc.FirstSection!.Body!.InsertBefore(table, doc.FirstSection.Body.FirstParagraph);
        foreach (string[] cells in new[] { new[] { "a", "b", "c" }, new[] { "d", "e", "f" } })
        {
            var row = (Row)table.AppendChild(new Row(doc));
            foreach (string text in cells)
            {
                var cell = (Cell)row.AppendChild(new Cell(doc));
                cell.AppendChild(new Paragraph(doc)).As<Paragraph>().AppendChild(new Run(doc, text));
            }
        }

        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        XElement tbl = BodyOf(saved).Element(W + "tbl")!;
        Assert.Equal(3, tbl.Element(W + "tblGrid")!.Elements(W + "gridCol").Count());
        Assert.NotNull(tbl.Element(W + "tblPr")!.Element(W + "tblBorders"));
        Document back = new(new MemoryStream(saved));
        Assert.Equal("a\ab\ac\a\ad\ae\af\a\a\f", back.GetText());
        Assert.Equal(TableAlignment.Center, ((Table)back.FirstSection!.Body!.FirstChild!).Alignment);
    }

    [Fact]
    public void PropertiesAreWrittenAndReadAndUntouchedOnesStayAsTheyWere()
    {
        var doc = new Document();
        doc.BuiltInDocumentProperties.Title = "The title";
        doc.BuiltInDocumentProperties.Author = "Someone";
        doc.BuiltInDocumentProperties.Company = "Firm";
        doc.CustomDocumentProperties.Add("Client", "ACME");
        doc.CustomDocumentProperties.Add("Count", 42);
        doc.CustomDocumentProperties.Add("Approved", true);
        doc.CustomDocumentProperties.Add("Rate", 1.5);
        doc.CustomDocumentProperties.Add("Due", new System.DateTime(2026, 3, 4, 5, 6, 7, System.DateTimeKind.Utc));

        Document back = Reload(doc);
        var builtIn = back.BuiltInDocumentProperties;
        Assert.Equal(("The title", "Someone", "Firm"), (builtIn.Title, builtIn.Author, builtIn.Company));
        var custom = back.CustomDocumentProperties;
        Assert.Equal(("ACME", 42, true, 1.5, new System.DateTime(2026, 3, 4, 5, 6, 7)),
            (custom.Get("Client")!.ToString(), custom.Get("Count")!.ToInt(), custom.Get("Approved")!.ToBool(),
                custom.Get("Rate")!.ToDouble(), custom.Get("Due")!.ToDateTime()));

        // Changing one property leaves the others as they were.
        back.BuiltInDocumentProperties.Title = "Another";
        back.CustomDocumentProperties.Remove("Count");
        Document third = Reload(back);
        Assert.Equal(("Another", "Someone"), (third.BuiltInDocumentProperties.Title, third.BuiltInDocumentProperties.Author));
        Assert.Equal(new[] { "Client", "Approved", "Rate", "Due" }, third.CustomDocumentProperties.All.Select(p => p.Name));
    }

    [Fact]
    public void PageSetupIsReadAndOnlyTheChangedValueIsWritten()
    {
        var doc = new Document(new MemoryStream(ForeignPackage()));
        PageSetup page = doc.FirstSection!.PageSetup;
        Assert.Equal((595.3, 841.9, 72.0), (page.PageWidth, page.PageHeight, page.LeftMargin));
        page.LeftMargin = 36;

        XElement sectPr = BodyOf(SaveBytes(doc, SaveFormat.Docx)).Element(W + "sectPr")!;
        Assert.Equal(new[] { "headerReference", "pgSz", "pgMar" }, sectPr.Elements().Select(e => e.Name.LocalName));
        Assert.Equal(new[] { "11906", "16838" }, new[] { "w", "h" }.Select(a => (string?)sectPr.Element(W + "pgSz")!.Attribute(W + a)));
        Assert.Equal(new[] { "left" }, sectPr.Element(W + "pgMar")!.Attributes().Select(a => a.Name.LocalName).Where(n => n != "gutter"));
        Assert.Equal("720", (string?)sectPr.Element(W + "pgMar")!.Attribute(W + "left"));
    }

    [Fact]
    public void SectionsMadeHereCarryTheirPageAndTurningThePageSwapsItsSides()
    {
        var builder = new DocumentBuilder();
        builder.Write("one");
        builder.InsertBreak(BreakType.SectionBreakNewPage);
        builder.Write("two");
        Document doc = builder.Document;
        doc.FirstSection!.PageSetup.Orientation = Orientation.Landscape;
        doc.LastSection!.PageSetup.TopMargin = -10;

        Document back = Reload(doc);
        PageSetup first = back.FirstSection!.PageSetup, last = back.LastSection!.PageSetup;
        Assert.Equal((Orientation.Landscape, 792.0, 612.0), (first.Orientation, first.PageWidth, first.PageHeight));
        Assert.Equal((Orientation.Portrait, -10.0, 72.0), (last.Orientation, last.TopMargin, last.BottomMargin));
        Assert.Throws<System.ArgumentOutOfRangeException>(() => first.PageWidth = double.NaN);
        Assert.Throws<System.ArgumentOutOfRangeException>(() => first.LeftMargin = -1);
    }

    [Fact]
    public void StylesInheritFromTheirBaseAndGiveRunsTheirFormatting()
    {
        const string StylesType = "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml";
        string styles = $"<w:styles xmlns:w=\"{W}\"><w:docDefaults><w:rPrDefault><w:rPr><w:sz w:val=\"24\"/></w:rPr></w:rPrDefault>"
            + "<w:pPrDefault><w:pPr><w:spacing w:after=\"160\"/></w:pPr></w:pPrDefault></w:docDefaults>"
            + "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name w:val=\"Normal\"/></w:style>"
            + "<w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:name w:val=\"heading 1\"/><w:basedOn w:val=\"Normal\"/>"
            + "<w:pPr><w:keepNext/></w:pPr><w:rPr><w:b/><w:sz w:val=\"32\"/></w:rPr></w:style>"
            + "<w:style w:type=\"paragraph\" w:customStyle=\"1\" w:styleId=\"Mine\"><w:name w:val=\"Mine\"/>"
            + "<w:basedOn w:val=\"Heading1\"/><w:rPr><w:i/></w:rPr></w:style>"
            + "<w:style w:type=\"character\" w:styleId=\"Loud\"><w:name w:val=\"Loud\"/><w:rPr><w:caps/></w:rPr></w:style>"
            + "<w:style w:type=\"paragraph\" w:styleId=\"A\"><w:name w:val=\"A\"/><w:basedOn w:val=\"B\"/></w:style>"
            + "<w:style w:type=\"paragraph\" w:styleId=\"B\"><w:name w:val=\"B\"/><w:basedOn w:val=\"A\"/></w:style></w:styles>";
        string body = "<w:p><w:pPr><w:pStyle w:val=\"Mine\"/></w:pPr><w:r><w:t>styled</w:t></w:r>"
            + "<w:r><w:rPr><w:rStyle w:val=\"Loud\"/><w:b w:val=\"0\"/></w:rPr><w:t>loud</w:t></w:r></w:p>"
            + "<w:p><w:pPr><w:pStyle w:val=\"A\"/></w:pPr><w:r><w:t>cycle</w:t></w:r></w:p><w:p><w:r><w:t>plain</w:t></w:r></w:p>";
        var doc = new Document(new MemoryStream(WordPackage($"<w:document xmlns:w=\"{W}\"><w:body>{body}</w:body></w:document>",
            ("styles.xml", StylesType, OfficeRel + "/styles", styles))));

        Paragraph[] paragraphs = doc.FirstSection!.Body!.Paragraphs.ToArray();
        Font styled = paragraphs[0].Runs[0].Font, loud = paragraphs[0].Runs[1].Font;
        Assert.Equal((true, true, 16.0, false), (styled.Bold, styled.Italic, styled.Size, styled.AllCaps));
        Assert.Equal((false, true, true), (loud.Bold, loud.Italic, loud.AllCaps));
        Assert.Equal(("Mine", true, 8.0), (paragraphs[0].ParagraphFormat.StyleName, paragraphs[0].ParagraphFormat.KeepWithNext,
            paragraphs[0].ParagraphFormat.SpaceAfter));
        Assert.Equal((12.0, "Normal"), (paragraphs[2].Runs[0].Font.Size, paragraphs[2].ParagraphFormat.StyleName));

        Style mine = doc.Styles["Mine"]!;
        Assert.Equal(("Heading 1", false, StyleType.Paragraph, true, 16.0), (mine.BaseStyleName, mine.BuiltIn, mine.Type,
            mine.Font.Italic, mine.Font.Size));
        Assert.Equal((StyleIdentifier.Heading1, true), (doc.Styles["Heading 1"]!.StyleIdentifier, doc.Styles["Heading 1"]!.BuiltIn));
        Assert.Equal((StyleType.Character, true), (doc.Styles["Loud"]!.Type, doc.Styles["Loud"]!.Font.AllCaps));
        Assert.Equal(6, doc.Styles.Count);

        // Formatting that comes from a style is not written onto the runs.
        XElement saved = BodyOf(SaveBytes(doc, SaveFormat.Docx));
        Assert.Null(saved.Element(W + "p")!.Element(W + "r")!.Element(W + "rPr"));
    }

    [Fact]
    public void HeadersAndFootersAreReadEditedAddedAndRemoved()
    {
        var doc = new Document(new MemoryStream(ForeignPackage()));
        Section section = doc.FirstSection!;
        HeaderFooter header = section.HeadersFooters[0];
        Assert.Equal((1, HeaderFooterType.HeaderPrimary, "page header\r"),
            (section.HeadersFooters.Count, header.HeaderFooterType, header.GetText()));
        header.FirstParagraph!.Runs[0].Text = "new header";
        var footer = new HeaderFooter(doc, HeaderFooterType.FooterFirst);
        section.AppendChild(footer);
        footer.AppendChild(new Paragraph(doc)).As<Paragraph>().AppendChild(new Run(doc, "first footer"));

        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        Assert.Equal("new header", Part(saved, "word/header1.xml").Descendants(W + "t").Single().Value);
        XElement sectPr = BodyOf(saved).Element(W + "sectPr")!;
        Assert.Equal("first", (string?)sectPr.Element(W + "footerReference")!.Attribute(W + "type"));
        Section back = new Document(new MemoryStream(saved)).FirstSection!;
        Assert.Equal(new[] { "new header\r", "first footer\r" }, back.HeadersFooters.ToArray().Select(h => h.GetText()));
        Assert.Equal(HeaderFooterType.FooterFirst, back.HeadersFooters[1].HeaderFooterType);
        // The body's text leaves headers and footers out.
        Assert.DoesNotContain("header", back.Document.GetText());

        back.HeadersFooters[0].Remove();
        XElement without = BodyOf(SaveBytes((Document)back.Document, SaveFormat.Docx)).Element(W + "sectPr")!;
        Assert.Null(without.Element(W + "headerReference"));
        Assert.NotNull(without.Element(W + "footerReference"));
    }

    [Fact]
    public void ListItemsComeFromTheirStyleOrTheirOwnNumberingAndChangeLevel()
    {
        string numbering = $"<w:numbering xmlns:w=\"{W}\"><w:abstractNum w:abstractNumId=\"5\">"
            + "<w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt w:val=\"bullet\"/><w:lvlText w:val=\"•\"/></w:lvl>"
            + "<w:lvl w:ilvl=\"1\"><w:start w:val=\"3\"/><w:numFmt w:val=\"lowerRoman\"/><w:lvlText w:val=\"%2.\"/></w:lvl>"
            + "</w:abstractNum><w:num w:numId=\"7\"><w:abstractNumId w:val=\"5\"/></w:num></w:numbering>";
        string styles = $"<w:styles xmlns:w=\"{W}\"><w:style w:type=\"paragraph\" w:styleId=\"Bullets\"><w:name w:val=\"Bullets\"/>"
            + "<w:pPr><w:numPr><w:numId w:val=\"7\"/></w:numPr></w:pPr></w:style></w:styles>";
        string body = "<w:p><w:pPr><w:pStyle w:val=\"Bullets\"/></w:pPr><w:r><w:t>by style</w:t></w:r></w:p>"
            + "<w:p><w:pPr><w:numPr><w:ilvl w:val=\"1\"/><w:numId w:val=\"7\"/></w:numPr></w:pPr><w:r><w:t>own</w:t></w:r></w:p>"
            + "<w:p><w:pPr><w:pStyle w:val=\"Bullets\"/><w:numPr><w:numId w:val=\"0\"/></w:numPr></w:pPr><w:r><w:t>out</w:t></w:r></w:p>";
        var doc = new Document(new MemoryStream(WordPackage($"<w:document xmlns:w=\"{W}\"><w:body>{body}</w:body></w:document>",
            ("numbering.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.numbering+xml", OfficeRel + "/numbering", numbering),
            ("styles.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml", OfficeRel + "/styles", styles))));

        Paragraph[] paragraphs = doc.FirstSection!.Body!.Paragraphs.ToArray();
        Lists.ListFormat byStyle = paragraphs[0].ListFormat, own = paragraphs[1].ListFormat;
        Assert.Equal((true, 0, NumberStyle.Bullet, "•"), (byStyle.IsListItem, byStyle.ListLevelNumber,
            byStyle.ListLevel!.NumberStyle, byStyle.ListLevel.NumberFormat));
        Assert.Equal((true, 1, NumberStyle.LowercaseRoman, 3), (own.IsListItem, own.ListLevelNumber,
            own.ListLevel!.NumberStyle, own.ListLevel.StartAt));
        Assert.False(paragraphs[2].ListFormat.IsListItem);
        Assert.Throws<System.ArgumentOutOfRangeException>(() => byStyle.ListLevelNumber = 9);

        byStyle.ListLevelNumber = 1;
        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        XElement[] written = BodyOf(saved).Elements(W + "p").ToArray();
        Assert.Equal("1", (string?)written[0].Descendants(W + "ilvl").Single().Attribute(W + "val"));
        Paragraph back = new Document(new MemoryStream(saved)).FirstSection!.Body!.FirstParagraph!;
        Assert.Equal((true, 1, NumberStyle.LowercaseRoman), (back.ListFormat.IsListItem, back.ListFormat.ListLevelNumber,
            back.ListFormat.ListLevel!.NumberStyle));
    }

    [Fact]
    public void BookmarksAreNodesThatCanBeRenamedAndAdded()
    {
        var doc = new Document(new MemoryStream(ForeignPackage()));
        Paragraph title = (Paragraph)doc.FirstSection!.Body!.GetChild(NodeType.Paragraph, 0, false)!;
        var start = (BookmarkStart)title.GetChild(NodeType.BookmarkStart, 0, false)!;
        var end = (BookmarkEnd)title.GetChild(NodeType.BookmarkEnd, 0, false)!;
        Assert.Equal(("mark", "mark"), (start.Name, end.Name));
        (start.Name, end.Name) = ("renamed", "renamed");
        Paragraph last = doc.FirstSection.Body.LastParagraph!;
        last.InsertBefore(new BookmarkStart(doc, "added"), last.FirstChild);
        last.AppendChild(new BookmarkEnd(doc, "added"));

        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        XElement body = BodyOf(saved);
        var ids = body.Descendants(W + "bookmarkStart").ToDictionary(e => (string)e.Attribute(W + "name")!, e => (string)e.Attribute(W + "id")!);
        Assert.Equal(new[] { "renamed", "added" }, ids.Keys);
        Assert.Equal(ids.Values.OrderBy(v => v), body.Descendants(W + "bookmarkEnd").Select(e => (string)e.Attribute(W + "id")!).OrderBy(v => v));
        Document back = new(new MemoryStream(saved));
        Assert.Equal(new[] { "renamed", "added" },
            back.GetChildNodes(NodeType.BookmarkStart, true).ToArray().Select(n => ((BookmarkStart)n).Name));
        Assert.Equal(doc.GetText(), back.GetText());
    }

    [Fact]
    public void PicturesAreShapesWithTheirSizeAndWrapping()
    {
        const string Wp = "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing";
        const string A = "http://schemas.openxmlformats.org/drawingml/2006/main";
        const string Pic = "http://schemas.openxmlformats.org/drawingml/2006/picture";
        string Picture(string placement, string wrap) => $"<w:r><w:drawing><wp:{placement}>{wrap}<wp:extent cx=\"1270000\" cy=\"635000\"/>"
            + "<wp:docPr id=\"1\" name=\"p\"/><a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
            + "<pic:pic><pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"1270000\" cy=\"635000\"/></a:xfrm></pic:spPr></pic:pic>"
            + $"</a:graphicData></a:graphic></wp:{placement}></w:drawing></w:r>";
        string document = $"<w:document xmlns:w=\"{W}\" xmlns:wp=\"{Wp}\" xmlns:a=\"{A}\" xmlns:pic=\"{Pic}\"><w:body><w:p>"
            + Picture("inline", "") + "<w:r><w:t>between</w:t></w:r>" + Picture("anchor", "").Replace("</wp:anchor>", "<wp:wrapSquare wrapText=\"bothSides\"/></wp:anchor>")
            + "</w:p></w:body></w:document>";
        var doc = new Document(new MemoryStream(WordPackage(document)));
        Drawing.Shape[] shapes = doc.GetChildNodes(NodeType.Shape, true).ToArray().Cast<Drawing.Shape>().ToArray();
        Assert.Equal(new[] { (100.0, 50.0, Drawing.WrapType.Inline), (100.0, 50.0, Drawing.WrapType.Square) },
            shapes.Select(s => (s.Width, s.Height, s.WrapType)));
        Assert.Equal(Drawing.ShapeType.Image, shapes[0].ShapeType);
        Assert.Equal("between\f", doc.GetText());

        shapes[0].Width = 200;
        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        XElement[] extents = BodyOf(saved).Descendants().Where(e => e.Name.LocalName is "extent" or "ext").ToArray();
        Assert.Equal(new[] { "2540000", "2540000", "1270000", "1270000" }, extents.Select(e => (string?)e.Attribute("cx")));
        Assert.Equal(200.0, ((Drawing.Shape)new Document(new MemoryStream(saved)).GetChild(NodeType.Shape, 0, true)!).Width);
    }

    [Theory]
    [InlineData(SaveFormat.FlatOpc, LoadFormat.FlatOpc)]
    [InlineData(SaveFormat.FlatOpcTemplateMacroEnabled, LoadFormat.FlatOpcTemplateMacroEnabled)]
    public void FlatOpcCarriesTheWholePackageInOneXmlFile(SaveFormat format, LoadFormat expected)
    {
        var doc = new Document(new MemoryStream(ForeignPackage()));
        byte[] flat = SaveBytes(doc, format);
        Assert.Contains("http://schemas.microsoft.com/office/2006/xmlPackage", System.Text.Encoding.UTF8.GetString(flat));

        using var folder = new ScratchFolder();
        File.WriteAllBytes(folder.File("flat.xml"), flat);
        foreach (Document back in new[] { new Document(new MemoryStream(flat)), new Document(folder.File("flat.xml")) })
        {
            Assert.Equal((doc.GetText(), expected), (back.GetText(), back.OriginalLoadFormat));
            Assert.Equal("page header\r", back.FirstSection!.HeadersFooters[0].GetText());
        }
        string hostile = "<!DOCTYPE p [<!ENTITY e \"e\">]>" + System.Text.Encoding.UTF8.GetString(flat)
            .Substring(System.Text.Encoding.UTF8.GetString(flat).IndexOf("<pkg:package", System.StringComparison.Ordinal));
        Assert.Throws<FileCorruptedException>(() => new Document(new MemoryStream(System.Text.Encoding.UTF8.GetBytes(hostile)),
            new Loading.LoadOptions(LoadFormat.FlatOpc, null, null)));
    }

    [Fact]
    public void SettingsChangeOnlyWhenTheirValueDoes()
    {
        var doc = new Document { TrackRevisions = true, DefaultTabStop = 18 };
        Document back = Reload(doc);
        Assert.Equal((true, 18.0), (back.TrackRevisions, back.DefaultTabStop));
        back.TrackRevisions = false;
        XElement settings = Part(SaveBytes(back, SaveFormat.Docx), "word/settings.xml").Root!;
        Assert.Null(settings.Element(W + "trackRevisions"));
        Assert.Equal("360", (string?)settings.Element(W + "defaultTabStop")!.Attribute(W + "val"));
    }
}

internal static class NodeCasts
{
    public static T As<T>(this Node node) where T : Node => (T)node;
}
