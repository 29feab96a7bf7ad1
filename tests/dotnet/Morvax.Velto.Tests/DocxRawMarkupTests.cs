// The main part read as a stream and written back from the markup it was
// read as: unchanged paragraphs and tables come back character for character,
// whatever they hold (unknown elements, attributes and namespaces, markup
// compatibility, preserved spaces, references, odd quoting); edited ones keep
// what they hold besides the edit; markup the stream hands to the SDK-based
// reader still reads as before.
using System.IO;
using System.IO.Compression;
using System.Linq;
using System.Text;
using System.Xml.Linq;
using Morvax.Velto.Saving;
using Morvax.Velto.Tables;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class DocxRawMarkupTests
{
    private const string Future = "urn:example:future";
    private const string Mc = "http://schemas.openxmlformats.org/markup-compatibility/2006";

    // Alternate content: the paragraph goes to the SDK-based reader.
    private const string ReadBySdk = "<w:p><w:r><mc:AlternateContent><mc:Choice Requires=\"f\"><f:shape/></mc:Choice>"
        + "<mc:Fallback><w:t>fallback</w:t></mc:Fallback></mc:AlternateContent></w:r><w:r><w:t>after</w:t></w:r></w:p>";

    private static XElement ParseBlock(string block) =>
        XElement.Parse($"<w:body xmlns:w=\"{W}\" xmlns:f=\"{Future}\" xmlns:mc=\"{Mc}\">{block}</w:body>").Elements().Single();

    // "<a/>" and "<a></a>" alike.
    private static XElement Expanded(XElement element)
    {
        foreach (XElement empty in element.DescendantsAndSelf().Where(e => e.IsEmpty).ToList())
            empty.Value = string.Empty;
        return element;
    }

    // Each block as written in the source, so that the saved part can be
    // searched for it verbatim.
    private static readonly string[] Blocks =
    {
        // Spaces kept, references, a character outside the BMP, a comment,
        // single quotes and a line break inside the tag.
        "<w:p w:rsidR='00A1'\r\n   f:mark=\"x&gt;y\"><w:pPr><w:pStyle w:val=\"Quote\"/><w:jc w:val=\"center\"/><f:extra/></w:pPr>"
        + "<w:r><w:t xml:space=\"preserve\">  two  &amp; &lt;three&gt; \U0001F600 </w:t></w:r><!-- note -->"
        + "<w:r><w:rPr><w:b/><w:color w:val=\"FF0000\"/></w:rPr><w:tab/><w:t>bold</w:t><w:br/></w:r></w:p>",
        // A namespace declared on the paragraph and used inside it.
        "<w:p xmlns:g=\"urn:example:g\" g:id=\"7\"><w:r g:kind=\"k\"><w:t>scoped</w:t></w:r></w:p>",
        ReadBySdk,
        "<w:bookmarkStart w:id=\"3\" w:name=\"a>b\" f:since=\"2\"/>",
        // A table: header row, merged cell, a kept element in a cell.
        "<w:tbl><w:tblPr><w:jc w:val=\"right\"/><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr><w:tblGrid><w:gridCol w:w=\"100\"/></w:tblGrid>"
        + "<w:tr f:row=\"1\"><w:trPr><w:tblHeader/></w:trPr><w:tc><w:tcPr><w:vMerge w:val=\"restart\"/></w:tcPr>"
        + "<w:p><w:r><w:t>head</w:t></w:r></w:p><f:note/></w:tc></w:tr></w:tbl>",
        "<w:bookmarkEnd w:id=\"3\"/>",
        "<w:p><w:r><w:t>plain</w:t></w:r><w:r><w:rPr><w:i/></w:rPr><w:t xml:space=\"preserve\"> end</w:t></w:r></w:p>",
    };

    private static byte[] Source() => WordPackage(
        $"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<w:document xmlns:w=\"{W}\" xmlns:f=\"{Future}\" xmlns:mc=\"{Mc}\" "
        + "mc:Ignorable=\"f\">\n<w:body>" + string.Join("\n", Blocks) + "<w:sectPr/></w:body></w:document>");

    private static string MainPart(byte[] package)
    {
        using var zip = new ZipArchive(new MemoryStream(package), ZipArchiveMode.Read);
        using var reader = new StreamReader(zip.GetEntry("word/document.xml")!.Open(), Encoding.UTF8);
        return reader.ReadToEnd();
    }

    private static Document Load(byte[] package) => new(new MemoryStream(package));

    [Fact]
    public void UnchangedBlocksAreWrittenBackCharacterForCharacter()
    {
        byte[] source = Source();
        Document doc = Load(source);
        string saved = MainPart(SaveBytes(doc, SaveFormat.Docx));
        // The reader normalises a CR LF inside a tag, as XML does: the block
        // is compared with what the part holds after that.
        foreach (string block in Blocks.Where(b => b != ReadBySdk))
            Assert.Contains(block.Replace("\r\n", "\n"), saved.Replace("\r\n", "\n"));
        // The paragraph the SDK read comes back as the same XML.
        XElement[] savedParagraphs = XDocument.Parse(saved).Root!.Element(W + "body")!.Elements(W + "p").ToArray();
        Assert.True(XNode.DeepEquals(Expanded(ParseBlock(ReadBySdk)), Expanded(savedParagraphs[2])));
        Document again = Load(SaveBytes(doc, SaveFormat.Docx));
        Assert.Equal(doc.GetText(), again.GetText());
        Assert.StartsWith("  two  & <three> \U0001F600 \tbold", doc.GetText());
    }

    [Fact]
    public void TheModelReadFromTheStreamMatchesTheMarkup()
    {
        Document doc = Load(Source());
        Body body = doc.FirstSection!.Body!;
        Paragraph first = body.FirstParagraph!;
        Assert.Equal(("Quote", ParagraphAlignment.Center), (first.ParagraphFormat.StyleName, first.ParagraphFormat.Alignment));
        Assert.Equal(new[] { false, true }, first.Runs.Cast<Run>().Select(r => r.Font.Bold).ToArray());
        Table table = (Table)body.GetChild(NodeType.Table, 0, false)!;
        Assert.Equal(TableAlignment.Right, table.Alignment);
        Assert.True(table.FirstRow!.RowFormat.HeadingFormat);
        Assert.Equal(CellMerge.First, table.FirstRow.FirstCell!.CellFormat.VerticalMerge);
        Assert.Equal("head\r\a\a", table.GetText());
        Assert.Contains("after", body.GetText());
    }

    [Fact]
    public void AnEditedParagraphKeepsWhatItHoldsBesidesTheEdit()
    {
        Document doc = Load(Source());
        Body body = doc.FirstSection!.Body!;
        Paragraph first = body.FirstParagraph!, scoped = (Paragraph)first.NextSibling!;
        first.Runs[1].Text = "BOLD";
        scoped.Runs[0].Font.Italic = true;
        Table table = (Table)body.GetChild(NodeType.Table, 0, false)!;
        table.FirstRow!.FirstCell!.FirstParagraph!.Runs[0].Text = "HEAD";

        string saved = MainPart(SaveBytes(doc, SaveFormat.Docx));
        XElement savedBody = XDocument.Parse(saved).Root!.Element(W + "body")!;
        XElement[] paragraphs = savedBody.Elements(W + "p").ToArray();
        XNamespace f = Future, g = "urn:example:g";
        Assert.Equal("x>y", (string?)paragraphs[0].Attribute(f + "mark"));
        Assert.NotNull(paragraphs[0].Element(W + "pPr")!.Element(f + "extra"));
        Assert.Equal("FF0000", (string?)paragraphs[0].Descendants(W + "color").Single().Attribute(W + "val"));
        Assert.Equal("  two  & <three> \U0001F600 ", paragraphs[0].Descendants(W + "t").First().Value);
        Assert.Equal("BOLD", paragraphs[0].Descendants(W + "t").Last().Value);
        Assert.Equal(("7", "k"), ((string?)paragraphs[1].Attribute(g + "id"), (string?)paragraphs[1].Element(W + "r")!.Attribute(g + "kind")));
        Assert.NotNull(paragraphs[1].Descendants(W + "i").SingleOrDefault());
        XElement tbl = savedBody.Element(W + "tbl")!;
        Assert.Equal("1", (string?)tbl.Element(W + "tr")!.Attribute(f + "row"));
        Assert.NotNull(tbl.Descendants(f + "note").SingleOrDefault());
        Assert.Equal("HEAD", tbl.Descendants(W + "t").Single().Value);
        // What was not edited is as it was.
        foreach (string block in Blocks.Skip(3).Where(b => !b.StartsWith("<w:tbl")))
            Assert.Contains(block, saved);
        Assert.Equal("HEAD\r\a\a", ((Table)Load(SaveBytes(doc, SaveFormat.Docx)).FirstSection!.Body!
            .GetChild(NodeType.Table, 0, false)!).GetText());
    }

    [Fact]
    public void MarkupImportedIntoAnotherDocumentDeclaresItsNamespaces()
    {
        Document source = Load(Source());
        var target = new Document();
        var importer = new NodeImporter(source, target, ImportFormatMode.KeepSourceFormatting);
        for (Node? block = source.FirstSection!.Body!.FirstChild; block is not null; block = block.NextSibling)
            target.FirstSection!.Body!.AppendChild(importer.ImportNode(block, true));
        string saved = MainPart(SaveBytes(target, SaveFormat.Docx));
        XElement body = XDocument.Parse(saved).Root!.Element(W + "body")!;
        Assert.Equal("2", (string?)body.Element(W + "bookmarkStart")!.Attribute(XName.Get("since", Future)));
        Assert.Contains("scoped", Load(SaveBytes(target, SaveFormat.Docx)).GetText());
    }

    // A paragraph longer than the writer's chunk, with a character outside
    // the BMP across the chunk's end, is written back whole.
    [Fact]
    public void ALongParagraphIsWrittenBackWhole()
    {
        const string open = "<w:p><w:r><w:t>";
        string paragraph = open + new string('a', 65535 - open.Length) + "\U0001F600" + new string('b', 70000) + "</w:t></w:r></w:p>";
        Document doc = Load(BodyPackage(paragraph + "<w:p/>"));
        Assert.Contains(paragraph, MainPart(SaveBytes(doc, SaveFormat.Docx)));
    }

    // The markup kept is cut from the part's bytes after reading: slices
    // after a byte order mark and after characters of two, three and four
    // bytes still start and end where the text's did.
    [Fact]
    public void UnchangedBlocksAfterWideCharactersComeBackAsRead()
    {
        const string first = "<w:p><w:r><w:t>é€\U0001F600</w:t></w:r></w:p>";
        const string second = "<w:p f:x=\"ü\"><w:r><w:rPr><w:b/></w:rPr><w:t>ß</w:t></w:r></w:p>";
        string xml = $"<w:document xmlns:w=\"{W}\" xmlns:f=\"{Future}\"><w:body>{first}{second}<w:p/></w:body></w:document>";
        byte[] withMark = Encoding.UTF8.GetPreamble().Concat(Encoding.UTF8.GetBytes(xml)).ToArray();
        byte[] package = WordPackage(xml);
        using (var zip = new ZipArchive(new MemoryStream(package), ZipArchiveMode.Read))
        {
            var rebuilt = new MemoryStream();
            using (var copy = new ZipArchive(rebuilt, ZipArchiveMode.Create, true))
            {
                foreach (ZipArchiveEntry entry in zip.Entries)
                {
                    using Stream to = copy.CreateEntry(entry.FullName).Open();
                    if (entry.FullName == "word/document.xml")
                        to.Write(withMark);
                    else
                        entry.Open().CopyTo(to);
                }
            }
            package = rebuilt.ToArray();
        }
        Document doc = Load(package);
        string saved = MainPart(SaveBytes(doc, SaveFormat.Docx));
        Assert.Contains(first + second, saved);
        Assert.Equal("é€\U0001F600\rß\r", doc.GetText()[..7]);
    }

    // Runs formatted alike share what they were read with: a change to one
    // run's font must reach only that run, and the others stay as read.
    [Fact]
    public void ChangingOneOfRunsFormattedAlikeChangesOnlyThatRun()
    {
        const string bold = "<w:r><w:rPr><w:b/></w:rPr><w:t>B</w:t></w:r>";
        const string plain = "<w:r><w:t>P</w:t></w:r>";
        Document doc = Load(BodyPackage($"<w:p>{bold}{plain}</w:p><w:p>{bold}{plain}</w:p>"));
        Run[] runs = doc.Matching(NodeType.Run, true).Cast<Run>().ToArray();
        runs[0].Font.Bold = false;
        runs[1].Font.Italic = true;
        Assert.Equal(new[] { false, false, true, false }, runs.Select(r => r.Font.Bold));
        Assert.Equal(new[] { false, true, false, false }, runs.Select(r => r.Font.Italic));
        Run[] reread = Load(SaveBytes(doc, SaveFormat.Docx)).Matching(NodeType.Run, true).Cast<Run>().ToArray();
        Assert.Equal(new[] { false, false, true, false }, reread.Select(r => r.Font.Bold));
        Assert.Equal(new[] { false, true, false, false }, reread.Select(r => r.Font.Italic));
        // The runs left alone are written back as read.
        string saved = MainPart(SaveBytes(doc, SaveFormat.Docx));
        Assert.Contains($"</w:p><w:p>{bold}{plain}</w:p>", saved);
    }

    [Theory]
    [InlineData("<w:p><w:r><w:t>unclosed</w:r></w:p>")]
    [InlineData("<w:p><w:r><w:t>&undefined;</w:t></w:r></w:p>")]
    [InlineData("<w:p><x:r><w:t>undeclared prefix</w:t></x:r></w:p>")]
    public void MalformedBodiesAreRefusedAsCorrupt(string body) =>
        Assert.Throws<FileCorruptedException>(() => Load(BodyPackage(body)));
}
