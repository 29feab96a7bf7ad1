// Charts read from a chart part that a drawing refers to: the kind, each
// series' name, categories and values in index order; the part is saved
// back unchanged and the read chart refuses changes.
using System;
using System.IO;
using System.Linq;
using Morvax.Velto.Drawing;
using Morvax.Velto.Drawing.Charts;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class ChartTests
{
    private const string C = "http://schemas.openxmlformats.org/drawingml/2006/chart";

    internal static string ChartDrawing(string relationshipId) =>
        "<w:r><w:drawing><wp:inline xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\">"
        + "<wp:extent cx=\"5486400\" cy=\"3200400\"/><wp:docPr id=\"1\" name=\"Chart 1\"/>"
        + "<a:graphic xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">"
        + $"<a:graphicData uri=\"{C}\"><c:chart xmlns:c=\"{C}\" xmlns:r=\"{OfficeRel}\" r:id=\"{relationshipId}\"/>"
        + "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r>";

    private static string Series(string name, string categories, string values) =>
        $"<c:ser><c:idx val=\"0\"/><c:order val=\"0\"/><c:tx><c:strRef><c:f>Sheet1!$B$1</c:f><c:strCache><c:ptCount val=\"1\"/>"
        + $"<c:pt idx=\"0\"><c:v>{name}</c:v></c:pt></c:strCache></c:strRef></c:tx>{categories}{values}</c:ser>";

    private static readonly string StackedColumns = "<c:barChart><c:barDir val=\"col\"/><c:grouping val=\"stacked\"/>"
        + Series("Sales",
            "<c:cat><c:strRef><c:f/><c:strCache><c:ptCount val=\"2\"/><c:pt idx=\"1\"><c:v>Q2</c:v></c:pt><c:pt idx=\"0\"><c:v>Q1</c:v></c:pt></c:strCache></c:strRef></c:cat>",
            "<c:val><c:numRef><c:f/><c:numCache><c:ptCount val=\"2\"/><c:pt idx=\"0\"><c:v>4.5</c:v></c:pt><c:pt idx=\"1\"><c:v>7</c:v></c:pt></c:numCache></c:numRef></c:val>")
        + "</c:barChart>"
        + "<c:lineChart><c:grouping val=\"standard\"/>"
        + Series("Trend",
            "<c:cat><c:numRef><c:f/><c:numCache><c:ptCount val=\"2\"/><c:pt idx=\"0\"><c:v>2023</c:v></c:pt><c:pt idx=\"1\"><c:v>2024</c:v></c:pt></c:numCache></c:numRef></c:cat>",
            "<c:val><c:numRef><c:f/><c:numCache><c:pt idx=\"0\"><c:v>1</c:v></c:pt><c:pt idx=\"1\"><c:v>n/a</c:v></c:pt></c:numCache></c:numRef></c:val>")
        + "</c:lineChart>";

    internal static byte[] WithChart(string plotArea, string relationshipId = "rId1") => WordPackage(
        $"<w:document xmlns:w=\"{W}\"><w:body><w:p>{ChartDrawing(relationshipId)}</w:p></w:body></w:document>",
        ("charts/chart1.xml", "application/vnd.openxmlformats-officedocument.drawingml.chart+xml", $"{OfficeRel}/chart",
            $"<c:chartSpace xmlns:c=\"{C}\"><c:chart><c:plotArea><c:layout/>{plotArea}</c:plotArea></c:chart></c:chartSpace>"));

    private static Shape ShapeOf(Document doc) => (Shape)doc.GetChildNodes(NodeType.Shape, true)[0];

    private static void AssertRead(Chart chart)
    {
        Assert.Equal(ChartType.ColumnStacked, chart.Type);
        Assert.Equal(new[] { ("Sales", ChartSeriesType.ColumnStacked), ("Trend", ChartSeriesType.Line) },
            chart.Series.Select(s => (s.Name, s.SeriesType)));
        ChartSeries sales = chart.Series[0], trend = chart.Series[1];
        Assert.Equal(new[] { "Q1", "Q2" }, sales.XValues.Select(x => x.StringValue));
        Assert.All(sales.XValues, x => Assert.Equal(ChartXValueType.String, x.ValueType));
        Assert.Equal(new[] { 4.5, 7 }, sales.YValues.Select(y => y.DoubleValue));
        Assert.Equal(new[] { (ChartXValueType.Double, 2023.0), (ChartXValueType.Double, 2024.0) },
            trend.XValues.Select(x => (x.ValueType, x.DoubleValue)));
        Assert.Equal(1, trend.YValues[0].DoubleValue);
        Assert.True(double.IsNaN(trend.YValues[1].DoubleValue));
    }

    [Fact]
    public void A_chart_shape_shows_its_series_and_is_saved_unchanged()
    {
        var doc = new Document(new MemoryStream(WithChart(StackedColumns)));
        Shape shape = ShapeOf(doc);
        Assert.True(shape.HasChart);
        AssertRead(shape.Chart!);
        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        Assert.Equal("chartSpace", Part(saved, "word/charts/chart1.xml").Root!.Name.LocalName);
        AssertRead(ShapeOf(new Document(new MemoryStream(saved))).Chart!);
        AssertRead(ShapeOf((Document)doc.Clone(true)).Chart!);
    }

    [Fact]
    public void A_read_chart_refuses_changes()
    {
        Chart chart = ShapeOf(new Document(new MemoryStream(WithChart(StackedColumns)))).Chart!;
        ChartSeries series = chart.Series[0];
        var refusals = new Action[]
        {
            () => series.Name = "x", () => series.Smooth = true, () => series.Explosion = 3, () => chart.Series.Clear(),
            () => chart.Series.RemoveAt(0), () => series.YValues.RemoveAt(0), () => series.XValues.Clear(),
        };
        foreach (Action refused in refusals)
            Assert.Contains("cannot change a chart read from a document", Assert.Throws<NotSupportedException>(refused).Message);
        AssertRead(chart);
    }

    [Fact]
    public void A_drawing_without_a_readable_chart_part_has_no_chart()
    {
        Assert.False(ShapeOf(new Document(new MemoryStream(WithChart(StackedColumns, "rIdMissing")))).HasChart);
        Chart empty = ShapeOf(new Document(new MemoryStream(WithChart("")))).Chart!;
        Assert.Empty(empty.Series);
    }

    [Fact]
    public void A_chart_in_a_header_is_read_from_the_headers_own_relationships()
    {
        const string header = "application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml";
        const string chart = "application/vnd.openxmlformats-officedocument.drawingml.chart+xml";
        byte[] package = Package(
            ("[Content_Types].xml", "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                + "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                + "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                + $"<Override PartName=\"/word/document.xml\" ContentType=\"{MainType}\"/>"
                + $"<Override PartName=\"/word/header1.xml\" ContentType=\"{header}\"/>"
                + $"<Override PartName=\"/word/charts/chart7.xml\" ContentType=\"{chart}\"/></Types>"),
            ("_rels/.rels", $"<Relationships xmlns=\"{RelationshipsNs}\"><Relationship Id=\"rId1\" "
                + $"Type=\"{OfficeRel}/officeDocument\" Target=\"word/document.xml\"/></Relationships>"),
            ("word/document.xml", $"<w:document xmlns:w=\"{W}\" xmlns:r=\"{OfficeRel}\"><w:body><w:p><w:r><w:t>body</w:t></w:r></w:p>"
                + "<w:sectPr><w:headerReference w:type=\"default\" r:id=\"rIdHeader\"/></w:sectPr></w:body></w:document>"),
            ("word/_rels/document.xml.rels", $"<Relationships xmlns=\"{RelationshipsNs}\"><Relationship Id=\"rIdHeader\" "
                + $"Type=\"{OfficeRel}/header\" Target=\"header1.xml\"/></Relationships>"),
            // The header's chart has the same relationship id as nothing in the main part.
            ("word/header1.xml", $"<w:hdr xmlns:w=\"{W}\"><w:p>{ChartDrawing("rIdChart")}</w:p></w:hdr>"),
            ("word/_rels/header1.xml.rels", $"<Relationships xmlns=\"{RelationshipsNs}\"><Relationship Id=\"rIdChart\" "
                + $"Type=\"{OfficeRel}/chart\" Target=\"charts/chart7.xml\"/></Relationships>"),
            ("word/charts/chart7.xml", $"<c:chartSpace xmlns:c=\"{C}\"><c:chart><c:plotArea><c:layout/>{StackedColumns}</c:plotArea></c:chart></c:chartSpace>"));

        var doc = new Document(new MemoryStream(package));
        Shape shape = ShapeOf(doc);
        Assert.IsType<HeaderFooter>(shape.ParentNode!.ParentNode);
        AssertRead(shape.Chart!);
        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        AssertRead(ShapeOf(new Document(new MemoryStream(saved))).Chart!);
    }
}
