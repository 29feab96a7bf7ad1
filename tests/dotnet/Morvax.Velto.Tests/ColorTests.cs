// Colours in .docx: a run's text colour and highlight read from and written to
// its properties ("auto" and "none" are the empty colour), and a shape's
// gradient stops read from its fill.
using System.Drawing;
using System.IO;
using System.Linq;
using System.Xml.Linq;
using Morvax.Velto.Drawing;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class ColorTests
{
    private static readonly XNamespace Wml = W;

    private static Run[] Runs(Document doc) => doc.GetChildNodes(NodeType.Run, true).Cast<Run>().ToArray();

    [Fact]
    public void Text_colours_and_highlights_are_read_from_run_properties()
    {
        Document doc = new(new MemoryStream(BodyPackage("<w:p>"
            + "<w:r><w:rPr><w:color w:val=\"1F3A5C\"/><w:highlight w:val=\"darkGreen\"/></w:rPr><w:t>a</w:t></w:r>"
            + "<w:r><w:rPr><w:color w:val=\"auto\"/><w:highlight w:val=\"none\"/></w:rPr><w:t>b</w:t></w:r>"
            + "<w:r><w:rPr><w:color w:val=\"not-hex\"/></w:rPr><w:t>c</w:t></w:r></w:p>")));
        Run[] runs = Runs(doc);
        Assert.Equal(Color.FromArgb(255, 0x1F, 0x3A, 0x5C).ToArgb(), runs[0].Font.Color.ToArgb());
        Assert.Equal(unchecked((int)0xFF008000), runs[0].Font.HighlightColor.ToArgb());
        Assert.True(runs[1].Font.Color.IsEmpty && runs[1].Font.HighlightColor.IsEmpty);
        Assert.True(runs[2].Font.Color.IsEmpty);
    }

    [Fact]
    public void Changed_colours_are_written_and_the_highlight_snaps_to_the_nearest_named_one()
    {
        Document doc = new(new MemoryStream(BodyPackage(
            "<w:p><w:r><w:rPr><w:color w:val=\"FF0000\"/></w:rPr><w:t>a</w:t></w:r><w:r><w:t>b</w:t></w:r></w:p>")));
        Run[] runs = Runs(doc);
        runs[0].Font.Color = Color.Empty;
        runs[1].Font.Color = Color.FromArgb(128, 0x10, 0x20, 0x30);  // no alpha in a run's colour
        runs[1].Font.HighlightColor = Color.FromArgb(0x7F, 0x7F, 0x7F);
        XDocument part = Part(SaveBytes(doc, SaveFormat.Docx), "word/document.xml");
        string?[] Values(string element) => part.Descendants(Wml + "r")
            .Select(r => r.Element(Wml + "rPr")?.Element(Wml + element)?.Attribute(Wml + "val")?.Value).ToArray();
        Assert.Equal(new[] { "auto", "102030" }, Values("color"));
        Assert.Equal(new[] { null, "darkGray" }, Values("highlight"));

        Run[] again = Runs(Reload(doc));
        Assert.True(again[0].Font.Color.IsEmpty);
        Assert.Equal(unchecked((int)0xFF102030), again[1].Font.Color.ToArgb());
    }

    [Fact]
    public void Gradient_stops_come_from_the_shape_fill_not_its_line_and_refuse_changes()
    {
        string drawing = AdjustmentTests.RoundedRectangle("").Replace("</a:prstGeom>", "</a:prstGeom><a:gradFill><a:gsLst>"
            + "<a:gs pos=\"20000\"><a:sysClr val=\"window\" lastClr=\"FFFFFF\"/></a:gs>"
            + "<a:gs pos=\"120000\"><a:srgbClr val=\"000080\"><a:alpha val=\"50000\"/></a:srgbClr></a:gs>"
            + "</a:gsLst></a:gradFill><a:ln><a:gradFill><a:gsLst><a:gs pos=\"0\"><a:srgbClr val=\"FF0000\"/></a:gs>"
            + "</a:gsLst></a:gradFill></a:ln>");
        var shape = (Shape)new Document(new MemoryStream(BodyPackage("<w:p>" + drawing + "</w:p>")))
            .GetChildNodes(NodeType.Shape, true)[0];
        Assert.Equal(FillType.Gradient, shape.Fill.FillType);
        GradientStopCollection stops = shape.Fill.GradientStops;
        Assert.Equal(2, stops.Count);
        Assert.Equal((unchecked((int)0xFFFFFFFF), 0.2, 0.0), (stops[0].Color.ToArgb(), stops[0].Position, stops[0].Transparency));
        // Positions past the end are held at it.
        Assert.Equal((128, 1.0, 0.5), (stops[1].Color.A, stops[1].Position, stops[1].Transparency));
        Assert.Throws<System.NotSupportedException>(() => stops[0].Position = 0.5);
        Assert.Throws<System.NotSupportedException>(() => stops.RemoveAt(0));
        Assert.Equal(2, stops.Count);
        Shape copy = (Shape)shape.Clone(true);
        Assert.Same(stops, copy.Fill.GradientStops);
    }
}
