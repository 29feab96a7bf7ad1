// A style's formatting changed through Document.Styles is saved into the
// style's own properties in the styles part; other styles and the settings
// the tree does not model stay as read.
using System.IO;
using System.Linq;
using System.Xml.Linq;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class StyleFormattingTests
{
    private static readonly string StylesXml = $"<w:styles xmlns:w=\"{W}\">"
        + "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name w:val=\"Normal\"/></w:style>"
        + "<w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:name w:val=\"heading 1\"/><w:basedOn w:val=\"Normal\"/>"
        + "<w:pPr><w:keepNext/></w:pPr><w:rPr><w:b/><w:lang w:val=\"en-GB\"/></w:rPr></w:style>"
        + "<w:style w:type=\"character\" w:styleId=\"Strong\"><w:name w:val=\"Strong\"/><w:rPr><w:b/></w:rPr></w:style>"
        + "</w:styles>";

    private static byte[] Source() => WordPackage(
        $"<w:document xmlns:w=\"{W}\"><w:body><w:p><w:pPr><w:pStyle w:val=\"Heading1\"/></w:pPr><w:r><w:t>Title</w:t></w:r></w:p></w:body></w:document>",
        ("styles.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml",
         "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles", StylesXml));

    private static XElement StyleElement(byte[] package, string id) =>
        Part(package, "word/styles.xml").Descendants(W + "style").Single(s => s.Attribute(W + "styleId")?.Value == id);

    [Fact]
    public void Changed_style_formatting_is_saved_into_the_style_and_the_rest_stays_as_read()
    {
        var doc = new Document(new MemoryStream(Source()));
        Style heading = doc.Styles.Get("Heading 1")!;
        Assert.True(heading.Font.Bold);
        heading.Font.Size = 20;
        heading.Font.Italic = true;
        heading.ParagraphFormat.Borders.Bottom.LineStyle = LineStyle.Single;
        doc.Styles.Get("Normal")!.ParagraphFormat.SpaceAfter = 12;
        byte[] saved = SaveBytes(doc, SaveFormat.Docx);

        XElement h1 = StyleElement(saved, "Heading1");
        Assert.Equal(new[] { "b", "i", "sz", "szCs", "lang" }, h1.Element(W + "rPr")!.Elements().Select(e => e.Name.LocalName));
        Assert.Equal("40", h1.Element(W + "rPr")!.Element(W + "sz")!.Attribute(W + "val")!.Value);
        Assert.Equal(new[] { "keepNext", "pBdr" }, h1.Element(W + "pPr")!.Elements().Select(e => e.Name.LocalName));
        Assert.Null(h1.Element(W + "pPr")!.Element(W + "pStyle"));
        Assert.Equal("240", StyleElement(saved, "Normal").Element(W + "pPr")!.Element(W + "spacing")!.Attribute(W + "after")!.Value);
        Assert.Equal(StyleElement(Source(), "Strong").ToString(), StyleElement(saved, "Strong").ToString());

        var again = new Document(new MemoryStream(saved));
        Style back = again.Styles.Get("Heading 1")!;
        Assert.Equal((true, true, 20.0), (back.Font.Bold, back.Font.Italic, back.Font.Size));
        Assert.Equal(LineStyle.Single, back.ParagraphFormat.Borders.Bottom.LineStyle);
        Assert.Equal(12.0, again.Styles.Get("Normal")!.ParagraphFormat.SpaceAfter);
        // The heading's paragraph takes the style's new size.
        Assert.Equal(20.0, ((Paragraph)again.GetChild(NodeType.Paragraph, 0, true)!).Runs[0].Font.Size);
    }

    [Fact]
    public void A_new_documents_default_style_keeps_its_changes()
    {
        var doc = new Document();
        doc.Styles.Get("Normal")!.Font.Name = "Liberation Serif";
        Assert.Equal("Liberation Serif", Reload(doc).Styles.Get("Normal")!.Font.Name);
        // Saved again unchanged, the formatting as read is what was saved.
        Document twice = Reload(Reload(doc));
        Assert.Equal("Liberation Serif", twice.Styles.Get("Normal")!.Font.Name);
    }

    [Fact]
    public void A_cloned_documents_styles_are_its_own()
    {
        var doc = new Document(new MemoryStream(Source()));
        var clone = (Document)doc.Clone(true);
        clone.Styles.Get("Heading 1")!.Font.Size = 30;
        Assert.NotEqual(30.0, doc.Styles.Get("Heading 1")!.Font.Size);
        Assert.Equal(StyleElement(Source(), "Heading1").ToString(), StyleElement(SaveBytes(doc, SaveFormat.Docx), "Heading1").ToString());
        Assert.Equal(30.0, new Document(new MemoryStream(SaveBytes(clone, SaveFormat.Docx))).Styles.Get("Heading 1")!.Font.Size);
    }
}
