// Drawings copied into another document bring what they name in their own
// package: a chart with its embedded workbook and style parts, a linked
// image, a click-through link.  The target's package gets parts and
// relationships of its own, with fresh names under the written part's folder.
using System;
using System.IO;
using System.IO.Compression;
using System.Linq;
using System.Xml.Linq;
using Morvax.Velto.Drawing;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class CarriedDrawingTests
{
    private const string C = "http://schemas.openxmlformats.org/drawingml/2006/chart";
    private const string Ns = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
        + "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
        + "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
        + "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
        + "xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"";
    private const string ChartType = "application/vnd.openxmlformats-officedocument.drawingml.chart+xml";
    private const string ChartRel = OfficeRel + "/chart";
    private const string Xlsx = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";
    private const string ColorsType = "application/vnd.ms-office.chartcolorstyle+xml";
    private const string ColorsRel = "http://schemas.microsoft.com/office/2011/relationships/chartColorStyle";
    private static readonly XNamespace Rels = RelationshipsNs;

    private static string Chart(string series) =>
        $"<c:chartSpace xmlns:c=\"{C}\" xmlns:r=\"{OfficeRel}\"><c:chart><c:plotArea><c:barChart><c:barDir val=\"col\"/>"
        + $"<c:ser><c:tx><c:v>{series}</c:v></c:tx></c:ser></c:barChart></c:plotArea></c:chart>"
        + "<c:externalData r:id=\"rId1\"/></c:chartSpace>";

    private static string Paragraph(string run) => $"<w:p>{run}</w:p>";

    private static string Picture(string attribute, string link = "") =>
        "<w:r><w:drawing><wp:inline><wp:extent cx=\"127000\" cy=\"127000\"/><wp:docPr id=\"7\" name=\"p\">" + link
        + "</wp:docPr><a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:pic>"
        + $"<pic:blipFill><a:blip {attribute}/></pic:blipFill></pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>";

    private static string Relationship(string id, string type, string target, bool external = false) =>
        $"<Relationship Id=\"{id}\" Type=\"{type}\" Target=\"{target}\"" + (external ? " TargetMode=\"External\"/>" : "/>");

    // The main part shows a chart (rIdC: chart1, with a workbook and colors),
    // a linked picture with a click-through link and a picture naming a
    // relationship that does not exist; its header shows another chart by
    // the same relationship id (chart2, with a workbook of its own).
    private static byte[] Source()
    {
        string types = "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
            + "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
            + $"<Default Extension=\"xml\" ContentType=\"application/xml\"/><Default Extension=\"xlsx\" ContentType=\"{Xlsx}\"/>"
            + $"<Override PartName=\"/word/document.xml\" ContentType=\"{MainType}\"/>"
            + "<Override PartName=\"/word/header1.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml\"/>"
            + $"<Override PartName=\"/word/charts/chart1.xml\" ContentType=\"{ChartType}\"/>"
            + $"<Override PartName=\"/word/charts/chart2.xml\" ContentType=\"{ChartType}\"/>"
            + $"<Override PartName=\"/word/charts/colors1.xml\" ContentType=\"{ColorsType}\"/></Types>";
        string body = Paragraph(ChartTests.ChartDrawing("rIdC"))
            + Paragraph(Picture("r:link=\"rIdL\"", "<a:hlinkClick r:id=\"rIdH\"/>"))
            + Paragraph(Picture("r:embed=\"rIdMissing\""))
            + "<w:sectPr><w:headerReference w:type=\"default\" r:id=\"rIdHdr\"/></w:sectPr>";
        return Package(("[Content_Types].xml", types),
            ("_rels/.rels", $"<Relationships xmlns=\"{RelationshipsNs}\">"
                + Relationship("rId1", OfficeRel + "/officeDocument", "word/document.xml") + "</Relationships>"),
            ("word/_rels/document.xml.rels", $"<Relationships xmlns=\"{RelationshipsNs}\">"
                + Relationship("rIdHdr", OfficeRel + "/header", "header1.xml") + Relationship("rIdC", ChartRel, "charts/chart1.xml")
                + Relationship("rIdL", OfficeRel + "/image", "http://example.com/linked.png", true)
                + Relationship("rIdH", OfficeRel + "/hyperlink", "https://example.com/click", true) + "</Relationships>"),
            ("word/_rels/header1.xml.rels", $"<Relationships xmlns=\"{RelationshipsNs}\">"
                + Relationship("rIdC", ChartRel, "charts/chart2.xml")
                + Relationship("rIdH", OfficeRel + "/hyperlink", "https://example.com/header", true) + "</Relationships>"),
            ("word/charts/_rels/chart1.xml.rels", $"<Relationships xmlns=\"{RelationshipsNs}\">"
                + Relationship("rId1", OfficeRel + "/package", "../embeddings/Microsoft_Excel_Worksheet.xlsx")
                + Relationship("rId2", ColorsRel, "colors1.xml") + "</Relationships>"),
            ("word/charts/_rels/chart2.xml.rels", $"<Relationships xmlns=\"{RelationshipsNs}\">"
                + Relationship("rId1", OfficeRel + "/package", "../embeddings/Microsoft_Excel_Worksheet1.xlsx") + "</Relationships>"),
            ("word/document.xml", $"<w:document {Ns}><w:body>{body}</w:body></w:document>"),
            ("word/header1.xml", $"<w:hdr {Ns}>{Paragraph(ChartTests.ChartDrawing("rIdC"))}"
                + "<w:p><w:hyperlink r:id=\"rIdH\"><w:r><w:t>site</w:t></w:r></w:hyperlink></w:p></w:hdr>"),
            ("word/charts/chart1.xml", Chart("Main")), ("word/charts/chart2.xml", Chart("Header")),
            ("word/charts/colors1.xml", "<cs:colorStyle xmlns:cs=\"http://schemas.microsoft.com/office/drawing/2012/chartStyle\"/>"),
            ("word/embeddings/Microsoft_Excel_Worksheet.xlsx", "main workbook"),
            ("word/embeddings/Microsoft_Excel_Worksheet1.xlsx", "header workbook"));
    }

    private static string Text(ZipArchive zip, string name)
    {
        using var reader = new StreamReader(zip.GetEntry(name)!.Open());
        return reader.ReadToEnd();
    }

    // The relationships of a saved part: (id, type, target, external).
    private static (string Id, string Type, string Target, bool External)[] RelationshipsOf(ZipArchive zip, string rels) =>
        XDocument.Parse(Text(zip, rels)).Root!.Elements(Rels + "Relationship").Select(r => ((string)r.Attribute("Id")!,
            (string)r.Attribute("Type")!, (string)r.Attribute("Target")!, (string?)r.Attribute("TargetMode") == "External")).ToArray();

    private static Paragraph Body(Document doc, int index) => doc.FirstSection!.Body!.Paragraphs[index];

    private static string SeriesOf(Shape shape) => shape.Chart!.Series[0].Name;

    [Fact]
    public void AnImportedChartBringsItsPartWithWhatItRelatesTo()
    {
        var source = new Document(new MemoryStream(Source()));
        var target = new Document();
        var warnings = new WarningInfoCollection();
        target.WarningCallback = warnings;
        var importer = new NodeImporter(source, target, ImportFormatMode.KeepSourceFormatting);
        Body body = target.FirstSection!.Body!;
        // Twice: each drawing gets a chart (and workbook) of its own.
        body.AppendChild(importer.ImportNode(Body(source, 0), true));
        body.AppendChild(importer.ImportNode(Body(source, 0), true));

        byte[] saved = SaveBytes(target, SaveFormat.Docx);
        Assert.Equal(0, warnings.Count);
        using var zip = new ZipArchive(new MemoryStream(saved), ZipArchiveMode.Read);
        var charts = RelationshipsOf(zip, "word/_rels/document.xml.rels").Where(r => r.Type == ChartRel).ToArray();
        Assert.Equal(new[] { "charts/chart1.xml", "charts/chart2.xml" }, charts.Select(c => c.Target).Order());
        Assert.Equal(2, charts.Select(c => c.Id).Distinct().Count());
        foreach (string chart in new[] { "chart1", "chart2" })
        {
            Assert.Equal(Chart("Main"), Text(zip, $"word/charts/{chart}.xml"));
            var inner = RelationshipsOf(zip, $"word/charts/_rels/{chart}.xml.rels");
            // The ids the chart's markup names are kept.
            Assert.Equal(new[] { "rId1", "rId2" }, inner.Select(r => r.Id).Order());
            string workbook = inner.Single(r => r.Id == "rId1").Target;
            Assert.Matches(@"^\.\./embeddings/Microsoft_Excel_Worksheet\d\.xlsx$", workbook);
            Assert.Equal("main workbook", Text(zip, "word/" + workbook[3..]));
            Assert.Matches(@"^colors\d\.xml$", inner.Single(r => r.Id == "rId2").Target);
        }
        Assert.Contains("Override PartName=\"/word/charts/chart2.xml\" ContentType=\"" + ChartType, Text(zip, "[Content_Types].xml"));

        Document again = new(new MemoryStream(saved));
        Assert.All(again.GetChildNodes(NodeType.Shape, true).Cast<Shape>(), s => Assert.Equal("Main", SeriesOf(s)));
        // A copy of the copy, saved again, still has its chart.
        Document third = new();
        third.FirstSection!.Body!.AppendChild(new NodeImporter(again, third, ImportFormatMode.KeepSourceFormatting)
            .ImportNode(Body(again, 1), true));
        Assert.Equal("Main", SeriesOf((Shape)Reload(third).GetChildNodes(NodeType.Shape, true)[0]));
    }

    [Fact]
    public void LinkedPicturesAndClickThroughLinksBecomeExternalRelationshipsOfTheTarget()
    {
        var source = new Document(new MemoryStream(Source()));
        var target = new Document();
        var warnings = new WarningInfoCollection();
        target.WarningCallback = warnings;
        target.AppendDocument(source, ImportFormatMode.KeepSourceFormatting);
        byte[] saved = SaveBytes(target, SaveFormat.Docx);

        using var zip = new ZipArchive(new MemoryStream(saved), ZipArchiveMode.Read);
        var rels = RelationshipsOf(zip, "word/_rels/document.xml.rels");
        XElement linked = Part(saved, "word/document.xml").Root!.Descendants()
            .Single(e => e.Attribute(XName.Get("link", OfficeRel)) is not null);
        string linkId = (string)linked.Attribute(XName.Get("link", OfficeRel))!;
        Assert.Contains((linkId, OfficeRel + "/image", "http://example.com/linked.png", true), rels);
        string clickId = (string)Part(saved, "word/document.xml").Root!.Descendants()
            .Single(e => e.Name.LocalName == "hlinkClick").Attribute(XName.Get("id", OfficeRel))!;
        Assert.Contains((clickId, OfficeRel + "/hyperlink", "https://example.com/click", true), rels);

        // Only the picture naming a relationship its package lacks is left
        // out, and the save says so.
        WarningInfo warning = Assert.Single(warnings);
        Assert.Equal(WarningType.DataLoss, warning.WarningType);
        Assert.Contains("left out 1 drawing", warning.Description);
    }

    [Fact]
    public void AHeadersDrawingsNameTheHeadersOwnRelationships()
    {
        var source = new Document(new MemoryStream(Source()));
        var header = (HeaderFooter)source.FirstSection!.GetChild(NodeType.HeaderFooter, 0, false)!;
        Assert.Equal("Header", SeriesOf((Shape)header.GetChild(NodeType.Shape, 0, true)!));
        Assert.Equal("Main", SeriesOf((Shape)Body(source, 0).GetChild(NodeType.Shape, 0, true)!));
        // So do its links: the main part's rIdH is another address.
        Assert.Equal("HYPERLINK \"https://example.com/header\"", header.Range.Fields[0].GetFieldCode());

        var target = new Document();
        var importer = new NodeImporter(source, target, ImportFormatMode.KeepSourceFormatting);
        target.FirstSection!.Body!.AppendChild(importer.ImportNode(header.FirstParagraph!, true));
        byte[] saved = SaveBytes(target, SaveFormat.Docx);
        using var zip = new ZipArchive(new MemoryStream(saved), ZipArchiveMode.Read);
        string chart = RelationshipsOf(zip, "word/_rels/document.xml.rels").Single(r => r.Type == ChartRel).Target;
        Assert.Equal(Chart("Header"), Text(zip, "word/" + chart));
        string workbook = RelationshipsOf(zip, "word/charts/_rels/" + chart["charts/".Length..] + ".rels").Single().Target;
        Assert.Equal("header workbook", Text(zip, "word/" + workbook[3..]));
    }

    private static readonly XNamespace Wp = "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing";

    private static long[] DrawingIds(byte[] saved, params string[] parts) => parts.SelectMany(p =>
        Part(saved, p).Root!.Descendants(Wp + "docPr").Select(d => (long)d.Attribute("id")!)).ToArray();

    [Fact]
    public void CopiedDrawingsGetIdentifiersOfTheirOwnAcrossTheStories()
    {
        // As read: the main part's drawings are 1, 7 and 7, the header's 1.
        var source = new Document(new MemoryStream(Source()));
        Paragraph chart = Body(source, 0);
        chart.ParentNode!.InsertAfter(chart.Clone(true), chart);
        chart.ParentNode!.InsertAfter(chart.Clone(true), chart);
        byte[] saved = SaveBytes(source, SaveFormat.Docx);
        // The original and the drawings never copied keep theirs.
        Assert.Equal(new long[] { 1, 8, 9, 7, 7, 1 }, DrawingIds(saved, "word/document.xml", "word/header1.xml"));

        // Appended twice, with the header: every drawing of the target is its own.
        var target = new Document();
        target.AppendDocument(source, ImportFormatMode.KeepSourceFormatting);
        target.AppendDocument(source, ImportFormatMode.KeepSourceFormatting);
        saved = SaveBytes(target, SaveFormat.Docx);
        using var zip = new ZipArchive(new MemoryStream(saved), ZipArchiveMode.Read);
        string[] stories = zip.Entries.Select(e => e.FullName).Where(n => n.StartsWith("word/header") || n == "word/document.xml").ToArray();
        long[] ids = DrawingIds(saved, stories);
        Assert.True(ids.Length >= 10, string.Join(",", ids));
        Assert.Equal(ids.Length, ids.Distinct().Count());
        // And they still show their charts once loaded.
        Assert.All(Reload(target).GetChildNodes(NodeType.Shape, true).Cast<Shape>().Where(s => s.HasChart),
            s => Assert.Contains(SeriesOf(s), new[] { "Main", "Header" }));
    }

    [Theory]
    [InlineData("<wp:docPr id=\"3\" name=\"a\"/><x:docPr name='b' id='12'>", 12)]
    [InlineData("<docPr\n id=\"5\"/><wp:docPrX id=\"99\"/><wp:cNvdocPr id=\"98\"/>", 5)]
    [InlineData("<wp:docPr name=\"id=77\" id=\"4\"/><wp:docPr id=\"x\"/><wp:docPr id=\"6", 4)]
    [InlineData("no drawings", 0)]
    public void TheHighestDrawingIdentifierIsFoundInTheBytes(string markup, long highest) =>
        Assert.Equal(highest, Formats.DrawingIds.HighestIn(System.Text.Encoding.UTF8.GetBytes(markup)));

    // A chart whose parts relate to parts in a long chain is not carried
    // (the save says it left the drawing out); a short chain is.
    [Theory]
    [InlineData(3, true)]
    [InlineData(200, false)]
    public void PartsRelatingToPartsWithoutEndAreNotCarried(int length, bool carried)
    {
        var types = new System.Text.StringBuilder("<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
            + "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
            + "<Default Extension=\"bin\" ContentType=\"application/octet-stream\"/>"
            + $"<Default Extension=\"xml\" ContentType=\"application/xml\"/><Override PartName=\"/word/document.xml\" ContentType=\"{MainType}\"/>"
            + $"<Override PartName=\"/word/charts/chart1.xml\" ContentType=\"{ChartType}\"/></Types>");
        var parts = new System.Collections.Generic.List<(string, string)>
        {
            ("[Content_Types].xml", types.ToString()),
            ("_rels/.rels", $"<Relationships xmlns=\"{RelationshipsNs}\">" + Relationship("rId1", OfficeRel + "/officeDocument", "word/document.xml") + "</Relationships>"),
            ("word/_rels/document.xml.rels", $"<Relationships xmlns=\"{RelationshipsNs}\">" + Relationship("rIdC", ChartRel, "charts/chart1.xml") + "</Relationships>"),
            ("word/document.xml", $"<w:document {Ns}><w:body>{Paragraph(ChartTests.ChartDrawing("rIdC"))}</w:body></w:document>"),
            ("word/charts/chart1.xml", Chart("Main")),
            ("word/charts/_rels/chart1.xml.rels", $"<Relationships xmlns=\"{RelationshipsNs}\">" + Relationship("rId1", OfficeRel + "/package", "../embeddings/x0.bin") + "</Relationships>"),
        };
        for (int i = 0; i < length; i++)
        {
            parts.Add(($"word/embeddings/x{i}.bin", "link " + i));
            if (i + 1 < length)
                parts.Add(($"word/embeddings/_rels/x{i}.bin.rels", $"<Relationships xmlns=\"{RelationshipsNs}\">"
                    + Relationship("rId1", OfficeRel + "/package", $"x{i + 1}.bin") + "</Relationships>"));
        }
        var source = new Document(new MemoryStream(Package(parts.ToArray())));
        var target = new Document();
        var warnings = new WarningInfoCollection();
        target.WarningCallback = warnings;
        target.FirstSection!.Body!.AppendChild(new NodeImporter(source, target, ImportFormatMode.KeepSourceFormatting)
            .ImportNode(Body(source, 0), true));
        byte[] saved = SaveBytes(target, SaveFormat.Docx);
        using var zip = new ZipArchive(new MemoryStream(saved), ZipArchiveMode.Read);
        Assert.Equal(carried ? length : 0, zip.Entries.Count(e => e.FullName.EndsWith(".bin")));
        Assert.Equal(carried ? 0 : 1, warnings.Count);
    }
}
