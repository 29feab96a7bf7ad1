// Borders and shading of paragraphs, runs and cells: read from .docx, kept
// as read while unchanged, and written side by side when changed, keeping
// what the tree does not model on the sides left alone.
using System.Drawing;
using System.IO;
using System.Linq;
using System.Xml.Linq;
using Morvax.Velto.Tables;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class BorderShadingTests
{
    private const string Body =
        "<w:p><w:pPr><w:pBdr>"
        + "<w:top w:val=\"single\" w:sz=\"12\" w:space=\"4\" w:color=\"FF0000\"/>"
        + "<w:bottom w:val=\"double\" w:sz=\"6\" w:space=\"1\" w:color=\"1F3864\" w:themeColor=\"accent1\" w:themeShade=\"80\"/>"
        + "<w:between w:val=\"dotted\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\" w:shadow=\"1\"/>"
        + "<w:bar w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
        + "</w:pBdr><w:shd w:val=\"pct25\" w:color=\"00FF00\" w:fill=\"FFFF00\"/></w:pPr>"
        + "<w:r><w:rPr><w:bdr w:val=\"wave\" w:sz=\"8\" w:space=\"0\" w:color=\"0000FF\"/><w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"D9D9D9\"/></w:rPr>"
        + "<w:t>boxed</w:t></w:r></w:p>"
        + "<w:tbl><w:tblPr/><w:tblGrid><w:gridCol w:w=\"2000\"/></w:tblGrid><w:tr><w:tc><w:tcPr><w:tcW w:w=\"2000\" w:type=\"dxa\"/>"
        + "<w:tcBorders><w:start w:val=\"thick\" w:sz=\"24\" w:space=\"0\" w:color=\"00B050\"/>"
        + "<w:insideV w:val=\"dashed\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/><w:tl2br w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/></w:tcBorders>"
        + "<w:shd w:val=\"diagCross\" w:color=\"auto\" w:fill=\"FFC000\"/></w:tcPr><w:p><w:r><w:t>cell</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"
        + "<w:p><w:r><w:t>plain</w:t></w:r></w:p>";

    private static Document Load() => new(new MemoryStream(BodyPackage(Body)));

    private static Paragraph First(Document doc) => (Paragraph)doc.GetChildNodes(NodeType.Paragraph, true)[0];

    private static Cell CellOf(Document doc) => (Cell)doc.GetChildNodes(NodeType.Cell, true)[0];

    private static XElement Element(byte[] package, string name) =>
        Part(package, "word/document.xml").Descendants(W + name).First();

    [Fact]
    public void Paragraph_run_and_cell_borders_and_shading_are_read()
    {
        Document doc = Load();
        BorderCollection borders = First(doc).ParagraphFormat.Borders;
        Assert.Equal((LineStyle.Single, 1.5, 4.0, unchecked((int)0xFFFF0000)),
            (borders.Top.LineStyle, borders.Top.LineWidth, borders.Top.DistanceFromText, borders.Top.Color.ToArgb()));
        Assert.Equal((LineStyle.Double, 0.75), (borders.Bottom.LineStyle, borders.Bottom.LineWidth));
        Assert.Equal((LineStyle.Dot, true, true), (borders.Horizontal.LineStyle, borders.Horizontal.Shadow, borders.Horizontal.Color.IsEmpty));
        // The bar beside the paragraph is not one of the collection's sides.
        Assert.Equal(LineStyle.None, borders.Vertical.LineStyle);
        Shading shading = First(doc).ParagraphFormat.Shading;
        Assert.Equal((TextureIndex.Texture_25_Percent, unchecked((int)0xFF00FF00), unchecked((int)0xFFFFFF00)),
            (shading.Texture, shading.ForegroundPatternColor.ToArgb(), shading.BackgroundPatternColor.ToArgb()));

        Font font = First(doc).Runs[0].Font;
        Assert.Equal((LineStyle.Wave, 1.0), (font.Border.LineStyle, font.Border.LineWidth));
        Assert.Equal((TextureIndex.TextureNone, true, unchecked((int)0xFFD9D9D9)),
            (font.Shading.Texture, font.Shading.ForegroundPatternColor.IsEmpty, font.Shading.BackgroundPatternColor.ToArgb()));

        CellFormat cell = CellOf(doc).CellFormat;
        Assert.Equal((LineStyle.Thick, 3.0), (cell.Borders.Left.LineStyle, cell.Borders.Left.LineWidth));
        Assert.Equal(LineStyle.DashLargeGap, cell.Borders.Vertical.LineStyle);
        Assert.Equal(TextureIndex.TextureDarkDiagonalCross, cell.Shading.Texture);
    }

    [Fact]
    public void Unchanged_borders_are_written_as_read()
    {
        byte[] source = BodyPackage(Body);
        Document doc = Load();
        // Copying formatting onto itself changes nothing.
        First(doc).ParagraphFormat.Borders.Top.CopyFrom(First(doc).ParagraphFormat.Borders.Top);
        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        foreach (string name in new[] { "pBdr", "tcBorders", "bdr" })
            Assert.Equal(Element(source, name).ToString(), Element(saved, name).ToString());
        Assert.Equal(
            Part(source, "word/document.xml").Descendants(W + "shd").Select(e => e.ToString()),
            Part(saved, "word/document.xml").Descendants(W + "shd").Select(e => e.ToString()));
    }

    [Fact]
    public void A_changed_side_is_rewritten_and_the_others_keep_what_was_read()
    {
        Document doc = Load();
        Paragraph paragraph = First(doc);
        paragraph.ParagraphFormat.Borders.Top.Color = Color.FromArgb(0x12, 0x34, 0x56);
        paragraph.ParagraphFormat.Borders.Horizontal.LineStyle = LineStyle.None;
        paragraph.ParagraphFormat.Shading.Texture = TextureIndex.TextureSolid;
        paragraph.Runs[0].Font.Border.ClearFormatting();
        CellOf(doc).CellFormat.Borders.Left.LineWidth = 6;
        CellOf(doc).CellFormat.Shading.BackgroundPatternColor = Color.Empty;
        byte[] saved = SaveBytes(doc, SaveFormat.Docx);

        XElement pBdr = Element(saved, "pBdr");
        Assert.Equal("123456", pBdr.Element(W + "top")!.Attribute(W + "color")!.Value);
        Assert.Equal("none", pBdr.Element(W + "between")!.Attribute(W + "val")!.Value);
        // Sides left alone keep the theme colour and the bar.
        Assert.Equal("accent1", pBdr.Element(W + "bottom")!.Attribute(W + "themeColor")!.Value);
        Assert.NotNull(pBdr.Element(W + "bar"));
        Assert.Equal(new[] { "top", "bottom", "between", "bar" }, pBdr.Elements().Select(e => e.Name.LocalName));
        XElement tcBorders = Element(saved, "tcBorders");
        Assert.Equal("48", tcBorders.Elements().First(e => e.Name.LocalName is "left" or "start").Attribute(W + "sz")!.Value);
        Assert.NotNull(tcBorders.Element(W + "tl2br"));
        Assert.NotNull(tcBorders.Element(W + "insideV"));

        Document again = new(new MemoryStream(saved));
        BorderCollection borders = First(again).ParagraphFormat.Borders;
        Assert.Equal(unchecked((int)0xFF123456), borders.Top.Color.ToArgb());
        Assert.Equal(LineStyle.None, borders.Horizontal.LineStyle);
        Assert.Equal(LineStyle.Double, borders.Bottom.LineStyle);
        Assert.Equal(TextureIndex.TextureSolid, First(again).ParagraphFormat.Shading.Texture);
        Assert.Equal(LineStyle.None, First(again).Runs[0].Font.Border.LineStyle);
        Assert.Equal(TextureIndex.TextureNone, First(again).Runs[0].Font.Shading.Texture);
        Assert.Equal(6.0, CellOf(again).CellFormat.Borders.Left.LineWidth);
        Assert.True(CellOf(again).CellFormat.Shading.BackgroundPatternColor.IsEmpty);
    }

    [Fact]
    public void Builder_formatting_with_borders_and_shading_survives_saving_and_loading()
    {
        var doc = new Document();
        var builder = new DocumentBuilder(doc);
        builder.ParagraphFormat.Borders.LineStyle = LineStyle.Single;
        builder.ParagraphFormat.Borders.Bottom.LineWidth = 2.25;
        builder.ParagraphFormat.Shading.BackgroundPatternColor = Color.LightYellow;
        builder.Font.Shading.Texture = TextureIndex.Texture_17Pt5_Percent;
        builder.Writeln("framed");
        builder.ParagraphFormat.Borders.ClearFormatting();
        builder.ParagraphFormat.Shading.ClearFormatting();
        builder.Font.Shading.ClearFormatting();
        builder.Writeln("bare");

        Document again = Reload(doc);
        Paragraph[] paragraphs = again.GetChildNodes(NodeType.Paragraph, true).Cast<Paragraph>().ToArray();
        BorderCollection framed = paragraphs[0].ParagraphFormat.Borders;
        Assert.Equal(new[] { LineStyle.Single, LineStyle.Single, LineStyle.Single, LineStyle.Single, LineStyle.Single, LineStyle.None },
            framed.Select(b => b.LineStyle));
        Assert.Equal(2.25, framed.Bottom.LineWidth);
        Assert.Equal(Color.LightYellow.ToArgb(), paragraphs[0].ParagraphFormat.Shading.BackgroundPatternColor.ToArgb());
        // A texture the format has no name for is written as the nearest it has.
        Assert.Equal(TextureIndex.Texture_20_Percent, paragraphs[0].Runs[0].Font.Shading.Texture);
        Assert.All(paragraphs[1].ParagraphFormat.Borders, b => Assert.Equal(LineStyle.None, b.LineStyle));
        Assert.Equal(TextureIndex.TextureNone, paragraphs[1].Runs[0].Font.Shading.Texture);
    }

    [Fact]
    public void Out_of_range_widths_and_distances_are_refused_and_leave_the_border_as_it_was()
    {
        var border = new Document().FirstSection!.Body!.FirstParagraph!.ParagraphFormat.Borders.Top;
        Assert.Throws<System.ArgumentOutOfRangeException>(() => border.LineWidth = 0.1);
        Assert.Throws<System.ArgumentOutOfRangeException>(() => border.LineWidth = double.NaN);
        Assert.Throws<System.ArgumentOutOfRangeException>(() => border.DistanceFromText = 32);
        Assert.Throws<System.ArgumentOutOfRangeException>(() => border.LineStyle = (LineStyle)4);
        Assert.Equal((0.5, 0.0, LineStyle.None), (border.LineWidth, border.DistanceFromText, border.LineStyle));
    }
}

// Formats that compare equal share one snapshot when a document is read, so
// a field left out of these comparisons would give a run or paragraph the
// borders or shading of another.
public class FormatValueEqualityTests
{
    private static readonly ColorValue Red = ColorValue.Of(Color.Red);
    private static readonly BorderValues Line = new(LineStyle.Single, 0.5, 4, false, Red);

    private static void AssertEachFieldCounts<T>(T value, params T[] changedInOneField) where T : struct
    {
        T copy = value;
        Assert.True(value.Equals(copy));
        Assert.Equal(value.GetHashCode(), copy.GetHashCode());
        for (int i = 0; i < changedInOneField.Length; i++)
            Assert.False(value.Equals(changedInOneField[i]), $"variant {i} of {typeof(T).Name} compared equal");
    }

    [Fact]
    public void EveryFieldOfABorderShadingOrColourTakesPartInItsEquality()
    {
        AssertEachFieldCounts(Red, Red with { Empty = true }, Red with { Argb = Color.Blue.ToArgb() });
        AssertEachFieldCounts(Line, Line with { Style = LineStyle.Double }, Line with { Width = 1 },
            Line with { Distance = 0 }, Line with { Shadow = true }, Line with { Color = ColorValue.Of(Color.Empty) });
        var set = new BorderSetValues(Line, Line, Line, Line, Line, Line);
        BorderValues other = Line with { Width = 3 };
        AssertEachFieldCounts(set, set with { Left = other }, set with { Right = other }, set with { Top = other },
            set with { Bottom = other }, set with { Horizontal = other }, set with { Vertical = other });
        var shading = new ShadingValues(TextureIndex.TextureSolid, Red, ColorValue.Of(Color.Empty));
        AssertEachFieldCounts(shading, shading with { Texture = TextureIndex.TextureNone },
            shading with { Background = ColorValue.Of(Color.Green) }, shading with { Foreground = Red });
    }

    [Fact]
    public void ColoursAndWidthsCompareByValueAsBefore()
    {
        // The same colour made two ways; a NaN width equal to itself, as the
        // record comparison had it.
        Assert.True(ColorValue.Of(Color.FromArgb(255, 255, 0, 0)) == Red);
        BorderValues odd = Line with { Width = double.NaN };
        Assert.True(odd == (Line with { Width = double.NaN }));
        Assert.True(Line == (Line with { Width = 0.5 }) && Line != odd);
    }
}
