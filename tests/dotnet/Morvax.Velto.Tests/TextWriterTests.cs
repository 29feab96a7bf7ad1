// The plain text, Markdown and HTML writers, and the plain text reader.
using System.IO;
using System.Linq;
using System.Text;
using System.Xml;
using System.Xml.Linq;
using Morvax.Velto.Saving;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class PlainTextTests
{
    [Fact]
    public void EveryParagraphEndsWithCrLfAndThereIsNoByteOrderMark()
    {
        byte[] bytes = SaveBytes(Paragraphs("é", "", "b"), SaveFormat.Text);
        Assert.Equal("é\r\n\r\nb\r\n", Encoding.UTF8.GetString(bytes));
        Assert.Equal(0xC3, bytes[0]);
    }

    [Fact]
    public void BreaksHiddenTextAndMarksAreTranslated()
    {
        var builder = new DocumentBuilder();
        builder.Write("a" + ControlChar.LineBreak + "b\tc" + ControlChar.PageBreak + "d" + ControlChar.NonBreakingHyphenChar
            + "e" + ControlChar.OptionalHyphenChar + ControlChar.Cell + ControlChar.FieldStartChar + "f");
        builder.Font.Hidden = true;
        builder.Write("hidden");
        var options = new TxtSaveOptions { ParagraphBreak = "\n" };
        Assert.Equal("a\nb\tc\fd-ef\n", Encoding.UTF8.GetString(SaveBytes(builder.Document, options)));
    }

    [Fact]
    public void ReaderSplitsOnEveryLineEndAndDropsOnlyTheFinalBreak()
    {
        var doc = new Document(new MemoryStream(Encoding.UTF8.GetBytes("a\r\nb\rc\n\nd\r\n")));
        Assert.Equal(new[] { "a", "b", "c", "", "d" },
            doc.FirstSection!.Body!.Paragraphs.ToArray().Select(p => p.GetText().TrimEnd('\r', '\f')));
    }

    [Theory]
    [InlineData("")]
    [InlineData("one")]
    [InlineData("one\r\n")]
    [InlineData("one\r\n\r\n")]
    [InlineData("\r\n\r\nthree\f after a page break\r\n")]
    public void TextSurvivesARoundTrip(string text)
    {
        Document doc = new(new MemoryStream(Encoding.UTF8.GetBytes(text)));
        string saved = Encoding.UTF8.GetString(SaveBytes(doc, SaveFormat.Text));
        // An empty file loads as one empty paragraph, which saves as a line.
        Assert.Equal(text.Length == 0 ? "\r\n" : text.EndsWith("\n") ? text : text + "\r\n", saved);
    }

    [Fact]
    public void ByteOrderMarksSelectTheEncodingAndInvalidUtf8IsReplaced()
    {
        byte[] utf8Bom = [.. Encoding.UTF8.GetPreamble(), .. "x"u8];
        byte[] utf16BigEndian = [.. Encoding.BigEndianUnicode.GetPreamble(), .. Encoding.BigEndianUnicode.GetBytes("y")];
        Assert.Equal("x\f", new Document(new MemoryStream(utf8Bom)).GetText());
        Assert.Equal("y\f", new Document(new MemoryStream(utf16BigEndian)).GetText());
        Assert.Equal("a\uFFFDb\f", new Document(new MemoryStream(new byte[] { (byte)'a', 0xFF, (byte)'b' })).GetText());
    }
}

public class MarkdownWriterTests
{
    private static string Markdown(System.Action<DocumentBuilder> write)
    {
        var builder = new DocumentBuilder();
        write(builder);
        return SaveText(builder.Document, SaveFormat.Markdown);
    }

    [Fact]
    public void ParagraphsAreSeparatedByBlankLinesAndEmptyOnesDropped()
    {
        Assert.Equal("one\n\ntwo\n", SaveText(Paragraphs("one", "", "  ", "two", ""), SaveFormat.Markdown));
        Assert.Equal("", SaveText(new Document(), SaveFormat.Markdown));
    }

    [Fact]
    public void EmphasisMarkersWrapRunsAndNeighboursShareOneSpan()
    {
        string md = Markdown(b =>
        {
            b.Write("plain ");
            b.Font.Bold = true;
            b.Write("bo");
            b.Write("ld ");
            b.Font.Italic = true;
            b.Write("both");
            b.Font.Bold = false;
            b.Write(" it ");
            b.Font.Italic = false;
            b.Font.StrikeThrough = true;
            b.Write("gone");
        });
        Assert.Equal("plain **bold** ***both*** *it* ~~gone~~\n", md);
    }

    [Fact]
    public void BlankRunsGetNoMarkers()
    {
        string md = Markdown(b =>
        {
            b.Write("a");
            b.Font.Bold = true;
            b.Write("   ");
            b.Font.Bold = false;
            b.Write("b");
        });
        Assert.Equal("a   b\n", md);
    }

    [Fact]
    public void MarkupCharactersAreEscaped()
    {
        Assert.Equal("\\# not a heading\n\n\\- not a list\n\n12\\. not a list either\n\na \\*b\\* \\_c\\_ \\[d\\] \\<e\\> 1. f \\\\ g \\& h\n",
            SaveText(Paragraphs("# not a heading", "- not a list", "12. not a list either", "a *b* _c_ [d] <e> 1. f \\ g & h"),
                SaveFormat.Markdown));
    }

    [Fact]
    public void HeadingStylesBecomeAtxHeadings()
    {
        Document doc = Paragraphs("Title", "Sub", "Body", "Deep");
        Paragraph[] paragraphs = doc.FirstSection!.Body!.Paragraphs.ToArray();
        paragraphs[0].ParagraphFormat.StyleName = "Heading 1";
        paragraphs[1].ParagraphFormat.StyleName = "Heading 2";
        paragraphs[3].ParagraphFormat.StyleName = "Heading 7";
        Assert.Equal("# Title\n\n## Sub\n\nBody\n\nDeep\n", SaveText(doc, SaveFormat.Markdown));
    }

    [Fact]
    public void LineBreaksAreHardBreaksOutsideEmphasis()
    {
        string md = Markdown(b =>
        {
            b.Font.Bold = true;
            b.Write("one" + ControlChar.LineBreak + "# two" + ControlChar.LineBreak);
        });
        Assert.Equal("**one**\\\n**\\# two**\n", md);
    }

    [Fact]
    public void HiddenTextAndControlCharactersAreLeftOut()
    {
        string md = Markdown(b =>
        {
            b.Write("a" + ControlChar.PageBreak + ControlChar.FieldStartChar + "b");
            b.Font.Hidden = true;
            b.Write("secret");
        });
        Assert.Equal("ab\n", md);
    }
}

public class HtmlWriterTests
{
    private static XDocument Parse(Document doc, HtmlSaveOptions? options = null)
    {
        byte[] bytes = SaveBytes(doc, options ?? new HtmlSaveOptions());
        var settings = new XmlReaderSettings { DtdProcessing = DtdProcessing.Ignore };
        using XmlReader reader = XmlReader.Create(new MemoryStream(bytes), settings);
        return XDocument.Load(reader);
    }

    [Fact]
    public void OutputIsWellFormedWithOneElementPerParagraph()
    {
        XDocument html = Parse(Paragraphs("a < b & c > d \"q\"", "", "x"));
        XElement[] paragraphs = html.Root!.Element("body")!.Elements().ToArray();
        Assert.Equal(new[] { "p", "p", "p" }, paragraphs.Select(p => p.Name.LocalName));
        Assert.Equal("a < b & c > d \"q\"", paragraphs[0].Value);
        // An empty paragraph keeps its height.
        Assert.Equal("\u00a0", paragraphs[1].Value);
        Assert.Equal("utf-8", (string?)html.Root.Element("head")!.Element("meta")!.Attribute("charset"));
    }

    [Fact]
    public void RunFormattingNestsInAFixedOrder()
    {
        var builder = new DocumentBuilder();
        builder.Font.Bold = true;
        builder.Font.Italic = true;
        builder.Font.Underline = Underline.Double;
        builder.Font.Superscript = true;
        builder.Font.Name = "O'Brien \"Sans\"";
        builder.Font.Size = 14;
        builder.Write("x" + ControlChar.LineBreak + "y");

        XElement span = Parse(builder.Document).Root!.Element("body")!.Element("p")!.Element("span")!;
        Assert.Equal("font-family:'O\\'Brien \"Sans\"';font-size:14pt;", (string?)span.Attribute("style"));
        XElement innermost = span.Element("b")!.Element("i")!.Element("u")!.Element("sup")!;
        Assert.Equal(new[] { "x", "<br />", "y" }, innermost.Nodes().Select(n => n.ToString()));
    }

    [Fact]
    public void ParagraphFormattingBecomesInlineStyleAndHeadingsBecomeHeadingElements()
    {
        Document doc = Paragraphs("centred", "heading");
        Paragraph[] paragraphs = doc.FirstSection!.Body!.Paragraphs.ToArray();
        paragraphs[0].ParagraphFormat.Alignment = ParagraphAlignment.Center;
        paragraphs[0].ParagraphFormat.LeftIndent = 7.25;
        paragraphs[0].ParagraphFormat.FirstLineIndent = -3;
        paragraphs[1].ParagraphFormat.StyleName = "Heading 3";

        XElement[] elements = Parse(doc).Root!.Element("body")!.Elements().ToArray();
        Assert.Equal("text-align:center;margin-left:7.25pt;text-indent:-3pt;", (string?)elements[0].Attribute("style"));
        Assert.Equal("h3", elements[1].Name.LocalName);
    }

    [Fact]
    public void ControlCharactersAndLoneSurrogatesCannotBreakTheMarkup()
    {
        XDocument html = Parse(Paragraphs("a" + ControlChar.PageBreak + ControlChar.Cell + "\uD800b" + ControlChar.NonBreakingHyphenChar));
        Assert.Equal("a\uFFFDb\u2011", html.Root!.Element("body")!.Element("p")!.Value);
    }

    [Fact]
    public void PrettyFormatPutsElementsOnTheirOwnLines()
    {
        string compact = SaveText(Paragraphs("a", "b"), SaveFormat.Html);
        string pretty = Encoding.UTF8.GetString(SaveBytes(Paragraphs("a", "b"), new HtmlSaveOptions { PrettyFormat = true }));
        Assert.DoesNotContain("\n", compact);
        Assert.Contains("<body>\n<p>a</p>\n<p>b</p>\n</body>", pretty);
    }
}
