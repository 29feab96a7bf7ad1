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

    private const string DrawingNs = "http://schemas.openxmlformats.org/drawingml/2006/main";

    // A package whose one shape has a gradient with the given stops' colour elements, with a
    // theme and settings part when given.
    private static GradientStopCollection StopsOf(string[] colors, string? themeScheme = null, string? mapping = null)
    {
        string stops = string.Concat(colors.Select((color, i) => $"<a:gs pos=\"{i * 1000}\">{color}</a:gs>"));
        string body = "<w:p>" + AdjustmentTests.RoundedRectangle("").Replace("</a:prstGeom>",
            $"</a:prstGeom><a:gradFill><a:gsLst>{stops}</a:gsLst></a:gradFill>") + "</w:p>";
        var parts = new System.Collections.Generic.List<(string, string, string, string)>();
        if (themeScheme is not null)
            parts.Add(("theme/theme1.xml", "application/vnd.openxmlformats-officedocument.theme+xml", OfficeRel + "/theme",
                $"<a:theme xmlns:a=\"{DrawingNs}\" name=\"T\"><a:themeElements><a:clrScheme name=\"S\">{themeScheme}"
                + "</a:clrScheme></a:themeElements></a:theme>"));
        if (mapping is not null)
            parts.Add(("settings.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml",
                OfficeRel + "/settings", $"<w:settings xmlns:w=\"{W}\"><w:clrSchemeMapping {mapping}/></w:settings>"));
        byte[] package = WordPackage($"<w:document xmlns:w=\"{W}\"><w:body>{body}</w:body></w:document>", parts.ToArray());
        var shape = (Shape)new Document(new MemoryStream(package)).GetChildNodes(NodeType.Shape, true)[0];
        return shape.Fill.GradientStops;
    }

    private static string[] Argb(GradientStopCollection stops) =>
        stops.Select(s => s.Color.IsEmpty ? "empty" : s.Color.ToArgb().ToString("X8")).ToArray();

    private const string Scheme = "<a:dk1><a:sysClr val=\"windowText\" lastClr=\"000000\"/></a:dk1>"
        + "<a:lt1><a:sysClr val=\"window\" lastClr=\"FFFFFF\"/></a:lt1><a:dk2><a:srgbClr val=\"44546A\"/></a:dk2>"
        + "<a:lt2><a:srgbClr val=\"E7E6E6\"/></a:lt2><a:accent1><a:srgbClr val=\"4472C4\"/></a:accent1>";

    [Fact]
    public void Theme_colours_resolve_through_the_documents_theme_and_scheme_mapping_with_their_modifiers()
    {
        string[] colors =
        {
            "<a:schemeClr val=\"accent1\"/>",
            // Word's "Accent 1, lighter 40%".
            "<a:schemeClr val=\"accent1\"><a:lumMod val=\"60000\"/><a:lumOff val=\"40000\"/></a:schemeClr>",
            "<a:schemeClr val=\"tx1\"/>",
            "<a:schemeClr val=\"bg2\"><a:alpha val=\"50000\"/></a:schemeClr>",
            "<a:schemeClr val=\"phClr\"/>",
            "<a:schemeClr val=\"accent6\"/>",
        };
        Assert.Equal(new[] { "FF4472C4", "FF8FAADC", "FF000000", "80E7E6E6", "empty", "empty" }, Argb(StopsOf(colors, Scheme)));
        Assert.Equal(0.5, StopsOf(colors, Scheme)[3].Transparency, 6);
        // The settings may map text 1 onto light 1.
        Assert.Equal("FFFFFFFF", Argb(StopsOf(colors, Scheme, "w:t1=\"light1\" w:bg1=\"dark1\""))[2]);
        // Without a theme, theme colours are unknown rather than made up.
        Assert.All(Argb(StopsOf(colors)), c => Assert.Equal("empty", c));
    }

    [Fact]
    public void Preset_hsl_and_linear_colours_and_the_light_modifiers_resolve()
    {
        string[] colors =
        {
            "<a:prstClr val=\"dkSlateGray\"/>", "<a:prstClr val=\"medAquamarine\"/>", "<a:prstClr val=\"ltGrey\"/>",
            "<a:prstClr val=\"noSuchColour\"/>", "<a:prstClr val=\"window\"/>",
            "<a:hslClr hue=\"14400000\" sat=\"100000\" lum=\"50000\"/>",
            "<a:scrgbClr r=\"100000\" g=\"0\" b=\"21586\"/>",
            // Shade and tint work in linear light: half of white's light is sRGB 188.
            "<a:srgbClr val=\"FFFFFF\"><a:shade val=\"50000\"/></a:srgbClr>",
            "<a:srgbClr val=\"000000\"><a:tint val=\"50000\"/></a:srgbClr>",
            "<a:srgbClr val=\"FF0000\"><a:comp/></a:srgbClr>",
            "<a:srgbClr val=\"00FF00\"><a:inv/><a:alphaOff val=\"-25000\"/></a:srgbClr>",
        };
        Assert.Equal(new[]
        {
            "FF2F4F4F", "FF66CDAA", "FFD3D3D3", "empty", "empty", "FF0000FF", "FFFF0080", "FFBCBCBC", "FFBCBCBC",
            "FF00FFFF", "BFFF00FF",
        }, Argb(StopsOf(colors)));
    }
}
