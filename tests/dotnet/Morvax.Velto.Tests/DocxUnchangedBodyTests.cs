// A main part whose body comes back unchanged keeps its stored bytes on
// saving; any change to a block, the blocks' order or the section writes it
// anew, with the change.  The body is read straight from the part's UTF-8
// bytes: parts in UTF-16 and parts with bytes that are not UTF-8 read as
// before.
using System;
using System.Collections.Generic;
using System.IO;
using System.IO.Compression;
using System.Linq;
using System.Text;
using System.Text.RegularExpressions;
using Morvax.Velto.Formats;
using Morvax.Velto.Tables;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class DocxUnchangedBodyTests
{
    private const string MainEntry = "word/document.xml";
    private static readonly DateTimeOffset Stamp = new(2001, 2, 3, 4, 5, 6, TimeSpan.Zero);

    // White space, a line break and a bookmark between the blocks, a table,
    // a wide character: all of it a body that reads as plain blocks.
    private static readonly string Body =
        "\n  <w:p><w:pPr><w:jc w:val=\"center\"/></w:pPr><w:r><w:t>first ü</w:t></w:r></w:p>\r\n"
        + "<w:bookmarkStart w:id=\"1\" w:name=\"mark\"/><w:p><w:r><w:rPr><w:b/></w:rPr><w:t>second</w:t></w:r></w:p>"
        + "<w:bookmarkEnd w:id=\"1\"/>\t<w:p><w:r><w:t>third \U0001F600</w:t></w:r></w:p>"
        + "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr><w:tblGrid><w:gridCol w:w=\"100\"/></w:tblGrid>"
        + "<w:tr><w:tc><w:p><w:r><w:t>cell</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"
        + "<w:p><w:r><w:t>last</w:t></w:r></w:p>\n<w:sectPr><w:pgSz w:w=\"12240\" w:h=\"15840\"/></w:sectPr>\n";

    private static string DocumentXml(string body) =>
        $"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<w:document xmlns:w=\"{W}\"><w:body>{body}</w:body></w:document>";

    // The package with its main part replaced by these bytes, stamped with
    // a time long past, so that an entry carried over shows by its stamp.
    private static byte[] WithMainPart(byte[] package, byte[] main)
    {
        var rebuilt = new MemoryStream();
        using (var zip = new ZipArchive(new MemoryStream(package), ZipArchiveMode.Read))
        using (var copy = new ZipArchive(rebuilt, ZipArchiveMode.Create, true))
        {
            foreach (ZipArchiveEntry entry in zip.Entries)
            {
                ZipArchiveEntry to = copy.CreateEntry(entry.FullName);
                if (entry.FullName == MainEntry)
                    to.LastWriteTime = Stamp;
                using Stream target = to.Open();
                if (entry.FullName == MainEntry)
                    target.Write(main);
                else
                    entry.Open().CopyTo(target);
            }
        }
        return rebuilt.ToArray();
    }

    private static byte[] Source(string body = "") =>
        WithMainPart(BodyPackage(""), Encoding.UTF8.GetBytes(DocumentXml(body.Length > 0 ? body : Body)));

    private static (DateTimeOffset Stamp, byte[] Content) MainOf(byte[] package)
    {
        using var zip = new ZipArchive(new MemoryStream(package), ZipArchiveMode.Read);
        ZipArchiveEntry entry = zip.GetEntry(MainEntry)!;
        var content = new MemoryStream();
        entry.Open().CopyTo(content);
        return (entry.LastWriteTime, content.ToArray());
    }

    private static Document Load(byte[] package) => new(new MemoryStream(package));

    [Fact]
    public void AnUntouchedBodyKeepsTheStoredMainPart()
    {
        byte[] source = Source();
        Document doc = Load(source);
        // Reading the text and the formatting changes nothing.
        Assert.Equal("first ü\rsecond\rthird \U0001F600\rcell\a\a" + "last\f", doc.GetText());
        Assert.True(((Paragraph)doc.FirstSection!.Body!.GetChild(NodeType.Paragraph, 1, false)!).Runs[0].Font.Bold);
        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        Assert.Equal(MainOf(source), MainOf(saved), new MainComparer());
        // And again from what was saved.
        Assert.Equal(MainOf(source), MainOf(SaveBytes(Load(saved), SaveFormat.Docx)), new MainComparer());
    }

    // Each change, and what the text reads after saving and loading again.
    public static IEnumerable<object[]> Changes() => new (string Name, Action<Document> Change, string Text)[]
    {
        ("a paragraph removed between two kept", d => Block(d, 1).Remove(), "first ü\rthird \U0001F600\rcell\a\alast\f"),
        ("the first paragraph removed", d => Block(d, 0).Remove(), "second\rthird \U0001F600\rcell\a\alast\f"),
        ("the table removed", d => Block(d, 3).Remove(), "first ü\rsecond\rthird \U0001F600\rlast\f"),
        ("the last paragraph removed", d => Block(d, 4).Remove(), "first ü\rsecond\rthird \U0001F600\rcell\a\a\f"),
        ("two paragraphs swapped", d => Block(d, 0).ParentNode!.InsertAfter(Block(d, 0), Block(d, 1)),
            "second\rfirst ü\rthird \U0001F600\rcell\a\alast\f"),
        ("a run's text", d => ((Paragraph)Block(d, 2)).Runs[0].Text = "3", "first ü\rsecond\r3\rcell\a\alast\f"),
        ("a paragraph added", d => d.FirstSection!.Body!.AppendChild(new Paragraph(d)),
            "first ü\rsecond\rthird \U0001F600\rcell\a\alast\r\f"),
        ("a cell's text", d => ((Table)Block(d, 3)).FirstRow!.FirstCell!.FirstParagraph!.Runs[0].Text = "CELL",
            "first ü\rsecond\rthird \U0001F600\rCELL\a\alast\f"),
    }.Select(c => new object[] { c.Name, c.Change, c.Text });

    private static Node Block(Document doc, int index) =>
        doc.FirstSection!.Body!.Matching(NodeType.Any, false).Where(n => n is Paragraph or Table).ElementAt(index);

    [Theory]
    [MemberData(nameof(Changes))]
    public void AChangedBodyIsWrittenAnewWithTheChange(string name, Action<Document> change, string text)
    {
        byte[] source = Source();
        Document doc = Load(source);
        change(doc);
        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        Assert.True(MainOf(saved).Stamp != Stamp, name);
        Assert.Equal(text, Load(saved).GetText());
    }

    // Indented output writes the part anew, unchanged blocks copied into it
    // as read between the elements the writer indents.
    [Fact]
    public void AnIndentedSaveOfAReadBodyKeepsItsText()
    {
        Document doc = Load(Source());
        byte[] saved = SaveBytes(doc, new Saving.OoxmlSaveOptions { PrettyFormat = true });
        Assert.NotEqual(Stamp, MainOf(saved).Stamp);
        Assert.Equal(doc.GetText(), Load(saved).GetText());
    }

    // Each formatting change, and how to read the value after it.
    [Fact]
    public void FormattingChangesWriteTheMainPartAnew()
    {
        foreach ((Action<Document> change, Func<Document, object> read, object expected) in
                 new (Action<Document>, Func<Document, object>, object)[]
                 {
                     (d => First(d).ParagraphFormat.Alignment = ParagraphAlignment.Right,
                         d => First(d).ParagraphFormat.Alignment, ParagraphAlignment.Right),
                     (d => Second(d).Runs[0].Font.Bold = false, d => Second(d).Runs[0].Font.Bold, false),
                     (d => d.FirstSection!.PageSetup.PageWidth = 500, d => d.FirstSection!.PageSetup.PageWidth, 500.0),
                 })
        {
            Document doc = Load(Source());
            change(doc);
            byte[] saved = SaveBytes(doc, SaveFormat.Docx);
            Assert.NotEqual(Stamp, MainOf(saved).Stamp);
            Assert.Equal(expected, read(Load(saved)));
        }
    }

    private static Paragraph First(Document doc) => (Paragraph)Block(doc, 0);

    private static Paragraph Second(Document doc) => (Paragraph)Block(doc, 1);

    // A body that ends in a table gets an empty paragraph to end with in
    // the tree; it is not written back while it stays empty, whichever way
    // the part is written, and written once it holds something.
    [Fact]
    public void TheParagraphThatCompletesABodyIsWrittenOnlyOnceUsed()
    {
        const string table = "<w:tbl><w:tblGrid><w:gridCol w:w=\"100\"/></w:tblGrid><w:tr><w:tc><w:p><w:r><w:t>c</w:t></w:r>"
            + "</w:p></w:tc></w:tr></w:tbl>";
        byte[] source = Source("<w:p><w:r><w:t>a</w:t></w:r></w:p>" + table + "<w:sectPr/>");
        foreach ((Action<Document> change, string tail) in new (Action<Document>, string)[]
                 {
                     (_ => { }, table + "<w:sectPr/>"),
                     (d => First(d).Runs[0].Text = "A", table + "<w:sectPr"),
                     (d => ((Paragraph)d.FirstSection!.Body!.LastChild!).AppendChild(new Run(d, "z")), "z</w:t></w:r></w:p><w:sectPr"),
                 })
        {
            Document doc = Load(source);
            Assert.IsType<Paragraph>(doc.FirstSection!.Body!.LastChild);
            change(doc);
            string saved = Encoding.UTF8.GetString(MainOf(SaveBytes(doc, SaveFormat.Docx)).Content);
            Assert.Contains(tail, saved);
            // A clone writes as many paragraphs: the completing one stays unwritten there too.
            string cloned = Encoding.UTF8.GetString(MainOf(SaveBytes(doc.Clone(), SaveFormat.Docx)).Content);
            Assert.Equal(Regex.Matches(saved, "<w:p[ >]").Count, Regex.Matches(cloned, "<w:p[ >]").Count);
        }
    }

    // Markup between blocks that is not white space (a comment) is not
    // carried over whole: the part is written from the blocks.
    [Fact]
    public void AnythingButSpaceBetweenBlocksWritesThePartAnew()
    {
        byte[] source = Source("<w:p><w:r><w:t>a</w:t></w:r></w:p><!-- c --><w:p><w:r><w:t>b</w:t></w:r></w:p><w:sectPr/>");
        byte[] saved = SaveBytes(Load(source), SaveFormat.Docx);
        Assert.NotEqual(Stamp, MainOf(saved).Stamp);
        Assert.Equal("a\rb\f", Load(saved).GetText());
    }

    // Parts in UTF-16 and parts whose bytes are not all UTF-8 (read with
    // U+FFFD in their place) read and come back with their text.
    [Fact]
    public void PartsNotInUtf8ReadAndComeBack()
    {
        string xml = DocumentXml("<w:p><w:r><w:t>é€\U0001F600</w:t></w:r></w:p><w:p><w:r><w:t>b</w:t></w:r></w:p><w:sectPr/>");
        byte[] utf16 = Encoding.Unicode.GetPreamble().Concat(Encoding.Unicode.GetBytes(xml.Replace("UTF-8", "UTF-16"))).ToArray();
        byte[] invalid = Encoding.UTF8.GetBytes(xml.Replace("é", "\u0001")).Select(b => b == 1 ? (byte)0xFF : b).ToArray();
        foreach ((byte[] main, string text) in new[] { (utf16, "é€\U0001F600\rb\f"), (invalid, "\uFFFD€\U0001F600\rb\f") })
        {
            Document doc = Load(WithMainPart(BodyPackage(""), main));
            Assert.Equal(text, doc.GetText());
            Assert.Equal(text, Load(SaveBytes(doc, SaveFormat.Docx)).GetText());
            ((Paragraph)Block(doc, 1)).Runs[0].Text = "B";
            Assert.Equal(text.Replace("\rb", "\rB"), Load(SaveBytes(doc, SaveFormat.Docx)).GetText());
        }
    }

    // A stream is read from its position to its end, in one array when it
    // tells its length, and whole when it holds more than it told.
    [Fact]
    public void StreamsAreReadFromTheirPositionToTheirEnd()
    {
        byte[] package = Source();
        var positioned = new MemoryStream(new byte[] { 1, 2, 3 }.Concat(package).ToArray()) { Position = 3 };
        var understated = new UnderstatedStream(package, package.Length / 2);
        foreach (Stream stream in new Stream[] { positioned, understated })
            Assert.StartsWith("first ü\rsecond", new Document(stream).GetText());
    }

    // A stream (a file that grew, say) whose length is less than it holds.
    private sealed class UnderstatedStream : MemoryStream
    {
        private readonly long told;

        public UnderstatedStream(byte[] content, long told) : base(content) => this.told = told;

        public override long Length => told;
    }

    // The writer asks whether a paragraph's formatting is as read through
    // this comparison: a change to any attribute must count.
    [Fact]
    public void EveryParagraphAttributeTakesPartInTheComparison()
    {
        var changes = new List<(string Name, Action<ParagraphFormat> Change)>
        {
            ("Borders", f => f.Borders.Top.LineStyle = LineStyle.Single),
            ("Shading", f => f.Shading.BackgroundPatternColor = System.Drawing.Color.Red),
        };
        foreach (System.Reflection.PropertyInfo property in typeof(ParagraphFormat).GetProperties())
        {
            if (!property.CanWrite)
                continue;
            object changed = property.PropertyType switch
            {
                { } t when t == typeof(double) => 12.0,
                { } t when t == typeof(bool) => true,
                { } t when t == typeof(string) => "Other",
                { IsEnum: true } t => Enum.GetValues(t).Cast<object>().Last(),
                _ => throw new InvalidOperationException($"No change made to {property.Name}."),
            };
            changes.Add((property.Name, f => property.SetValue(f, changed)));
        }
        foreach ((string name, Action<ParagraphFormat> change) in changes)
        {
            var format = new ParagraphFormat();
            change(format);
            Assert.False(format.HasSameFormatting(new ParagraphFormat()), name);
        }
    }

    private sealed class MainComparer : IEqualityComparer<(DateTimeOffset Stamp, byte[] Content)>
    {
        public bool Equals((DateTimeOffset Stamp, byte[] Content) x, (DateTimeOffset Stamp, byte[] Content) y) =>
            x.Stamp == y.Stamp && x.Content.AsSpan().SequenceEqual(y.Content);

        public int GetHashCode((DateTimeOffset Stamp, byte[] Content) obj) => obj.Content.Length;
    }
}
