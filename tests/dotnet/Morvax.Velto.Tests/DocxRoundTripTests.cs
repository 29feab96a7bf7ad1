// The .docx writer and reader against each other, the package the writer
// makes, and documents shaped the way a word processor writes them.
using System.IO;
using System.IO.Compression;
using System.Linq;
using System.Xml.Linq;
using Morvax.Velto.Saving;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class DocxRoundTripTests
{
    [Fact]
    public void CharacterFormattingSurvives()
    {
        var builder = new DocumentBuilder();
        builder.Font.Bold = true;
        builder.Write("bold ");
        builder.Font.Bold = false;
        builder.Font.Italic = true;
        builder.Font.Size = 10.5;
        builder.Write("italic ");
        builder.Font.ClearFormatting();
        builder.Font.Name = "Courier New";
        builder.Font.Underline = Underline.Wavy;
        builder.Font.Superscript = true;
        builder.Font.StrikeThrough = true;
        builder.Font.AllCaps = true;
        builder.Font.Hidden = true;
        builder.Write("rest");

        Run[] runs = Reload(builder.Document).FirstSection!.Body!.FirstParagraph!.Runs.ToArray();

        Assert.Equal(new[] { "bold ", "italic ", "rest" }, runs.Select(r => r.Text));
        Assert.True(runs[0].Font.Bold);
        Assert.False(runs[0].Font.Italic);
        Assert.Equal(11.0, runs[0].Font.Size);
        Assert.Equal("Calibri", runs[0].Font.Name);
        Assert.True(runs[1].Font.Italic);
        Assert.False(runs[1].Font.Bold);
        Assert.Equal(10.5, runs[1].Font.Size);
        Font last = runs[2].Font;
        Assert.Equal(("Courier New", Underline.Wavy, true, false, true, true, true),
            (last.Name, last.Underline, last.Superscript, last.Subscript, last.StrikeThrough, last.AllCaps, last.Hidden));
    }

    [Fact]
    public void EveryUnderlineStyleSurvives()
    {
        var builder = new DocumentBuilder();
        Underline[] styles = System.Enum.GetValues<Underline>();
        foreach (Underline style in styles)
        {
            builder.Font.Underline = style;
            builder.Writeln(style.ToString());
        }
        Paragraph[] paragraphs = Reload(builder.Document).FirstSection!.Body!.Paragraphs.ToArray();
        Assert.Equal(styles, paragraphs.Take(styles.Length).Select(p => p.Runs[0].Font.Underline));
    }

    [Fact]
    public void ParagraphFormattingSurvives()
    {
        var doc = Paragraphs("a", "b");
        ParagraphFormat format = doc.FirstSection!.Body!.FirstParagraph!.ParagraphFormat;
        format.Alignment = ParagraphAlignment.Justify;
        format.LeftIndent = 36;
        format.RightIndent = 18.5;
        format.FirstLineIndent = -12;
        format.SpaceBefore = 6;
        format.SpaceAfter = 8;
        format.KeepTogether = true;
        format.KeepWithNext = true;
        format.StyleName = "Heading 1";
        doc.LastSection!.Body!.LastParagraph!.ParagraphFormat.Alignment = ParagraphAlignment.ThaiDistributed;

        Paragraph[] loaded = Reload(doc).FirstSection!.Body!.Paragraphs.ToArray();

        ParagraphFormat first = loaded[0].ParagraphFormat;
        Assert.Equal((ParagraphAlignment.Justify, 36.0, 18.5, -12.0, 6.0, 8.0, true, true, "Heading 1"),
            (first.Alignment, first.LeftIndent, first.RightIndent, first.FirstLineIndent, first.SpaceBefore,
                first.SpaceAfter, first.KeepTogether, first.KeepWithNext, first.StyleName));
        Assert.Equal(ParagraphAlignment.ThaiDistributed, loaded[1].ParagraphFormat.Alignment);
        Assert.Equal("Normal", loaded[1].ParagraphFormat.StyleName);
    }

    [Fact]
    public void StyleNamesThatMapToTheSameIdStayApart()
    {
        var doc = Paragraphs("a", "b", "c");
        Paragraph[] paragraphs = doc.FirstSection!.Body!.Paragraphs.ToArray();
        paragraphs[0].ParagraphFormat.StyleName = "Heading 1";
        paragraphs[1].ParagraphFormat.StyleName = "Heading1";
        paragraphs[2].ParagraphFormat.StyleName = "«»";

        Paragraph[] loaded = Reload(doc).FirstSection!.Body!.Paragraphs.ToArray();

        Assert.Equal(new[] { "Heading 1", "Heading1", "«»" }, loaded.Select(p => p.ParagraphFormat.StyleName));
    }

    [Fact]
    public void BreaksTabsAndHyphensBecomeElementsAndComeBack()
    {
        string text = "a\tb" + ControlChar.LineBreak + "c" + ControlChar.PageBreak + "d" + ControlChar.ColumnBreak
            + "e" + ControlChar.NonBreakingHyphenChar + "f" + ControlChar.OptionalHyphenChar + "g";
        var builder = new DocumentBuilder();
        builder.Write(text);
        byte[] package = SaveBytes(builder.Document, SaveFormat.Docx);

        XElement run = Part(package, "word/document.xml").Descendants(W + "r").Single();
        Assert.Equal(new[] { "t", "tab", "t", "br", "t", "br", "t", "br", "t", "noBreakHyphen", "t", "softHyphen", "t" },
            run.Elements().Select(e => e.Name.LocalName));
        Assert.Equal(new[] { null, "page", "column" },
            run.Elements(W + "br").Select(e => (string?)e.Attribute(W + "type")));
        Assert.Equal(text, new Document(new MemoryStream(package)).FirstSection!.Body!.FirstParagraph!.Runs[0].Text);
    }

    [Fact]
    public void CharactersXmlCannotHoldAreDroppedWhileCrAndLfSurvive()
    {
        var doc = new Document();
        Paragraph paragraph = doc.FirstSection!.Body!.FirstParagraph!;
        paragraph.AppendChild(new Run(doc, "a\u0001b" + ControlChar.Cell + ControlChar.FieldStartChar + "c\uD800d"));
        paragraph.AppendChild(new Run(doc, "x\ry\nz \U0001F600") { Font = { Bold = true } });

        Run[] runs = Reload(doc).FirstSection!.Body!.FirstParagraph!.Runs.ToArray();

        Assert.Equal("abc\uFFFDd", runs[0].Text);
        Assert.Equal("x\ry\nz \U0001F600", runs[1].Text);
    }

    [Fact]
    public void LeadingAndTrailingSpacesArePreserved()
    {
        Document loaded = Reload(Paragraphs("  two spaces  ", " "));
        Assert.Equal("  two spaces  \r \f", loaded.GetText());
    }

    [Fact]
    public void SectionsAndTheirStartsSurvive()
    {
        var builder = new DocumentBuilder();
        builder.Write("one");
        builder.InsertBreak(BreakType.SectionBreakContinuous);
        builder.Write("two");
        builder.InsertBreak(BreakType.SectionBreakOddPage);
        builder.Write("three");
        Document doc = builder.Document;
        // An empty section in the middle still needs a paragraph to end it.
        doc.InsertAfter(new Section(doc), doc.FirstSection);

        Document loaded = Reload(doc);

        Section[] sections = loaded.Sections.ToArray();
        Assert.Equal(4, sections.Length);
        Assert.Equal(new[] { SectionStart.NewPage, SectionStart.NewPage, SectionStart.Continuous, SectionStart.OddPage },
            sections.Select(s => s.Start));
        Assert.Equal("one\f\ftwo\fthree\f", loaded.GetText());
    }

    [Fact]
    public void SettingsSurvive()
    {
        var doc = new Document
        {
            DefaultTabStop = 42.5,
            TrackRevisions = true,
            ShowSpellingErrors = false,
            ShowGrammaticalErrors = false,
            SpellingChecked = true,
            GrammarChecked = true,
            AutomaticallyUpdateStyles = true,
            RemovePersonalInformation = true,
            ShadeFormData = false,
            PunctuationKerning = false,
        };
        Document loaded = Reload(doc);
        Assert.Equal((42.5, true, false, false, true, true, true, true, false, false),
            (loaded.DefaultTabStop, loaded.TrackRevisions, loaded.ShowSpellingErrors, loaded.ShowGrammaticalErrors,
                loaded.SpellingChecked, loaded.GrammarChecked, loaded.AutomaticallyUpdateStyles,
                loaded.RemovePersonalInformation, loaded.ShadeFormData, loaded.PunctuationKerning));

        Document defaults = Reload(new Document());
        Assert.Equal((36.0, false, true, true, true), (defaults.DefaultTabStop, defaults.TrackRevisions,
            defaults.ShowSpellingErrors, defaults.ShadeFormData, defaults.PunctuationKerning));
    }

    [Fact]
    public void WordCountIsRecordedInTheExtendedProperties()
    {
        Document doc = Paragraphs("Hello  big world", "", "\t x");
        doc.UpdateWordCount(true);
        byte[] package = SaveBytes(doc, SaveFormat.Docx);

        XNamespace ep = "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties";
        XElement properties = Part(package, "docProps/app.xml").Root!;
        Assert.Equal(("4", "14", "19", "2", "3"), ((string)properties.Element(ep + "Words")!,
            (string)properties.Element(ep + "Characters")!, (string)properties.Element(ep + "CharactersWithSpaces")!,
            (string)properties.Element(ep + "Paragraphs")!, (string)properties.Element(ep + "Lines")!));
        Assert.Equal(doc.Statistics, new Document(new MemoryStream(package)).Statistics);
    }

    [Fact]
    public void UpdateWordCountWithoutLinesKeepsTheLastLineCount()
    {
        Document doc = Paragraphs("a", "b");
        doc.UpdateWordCount(true);
        new DocumentBuilder(doc).Writeln("c");
        doc.UpdateWordCount();
        Assert.Equal((3, 2), (doc.Statistics.Words, doc.Statistics.Lines));
    }

    [Theory]
    [InlineData(SaveFormat.Docx, "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml", LoadFormat.Docx)]
    [InlineData(SaveFormat.Docm, "application/vnd.ms-word.document.macroEnabled.main+xml", LoadFormat.Docm)]
    [InlineData(SaveFormat.Dotx, "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml", LoadFormat.Dotx)]
    [InlineData(SaveFormat.Dotm, "application/vnd.ms-word.template.macroEnabledTemplate.main+xml", LoadFormat.Dotm)]
    public void PackageIsCompleteAndDeclaresItsFormat(SaveFormat format, string mainType, LoadFormat loadFormat)
    {
        byte[] package = SaveBytes(Paragraphs("x"), format);

        XNamespace ct = "http://schemas.openxmlformats.org/package/2006/content-types";
        XNamespace rel = "http://schemas.openxmlformats.org/package/2006/relationships";
        XElement types = Part(package, "[Content_Types].xml").Root!;
        // A part's type is its override, else the default for its extension.
        string? TypeOf(string name) =>
            (string?)types.Elements(ct + "Override").SingleOrDefault(e => (string?)e.Attribute("PartName") == "/" + name)
                ?.Attribute("ContentType")
            ?? (string?)types.Elements(ct + "Default").SingleOrDefault(e =>
                (string?)e.Attribute("Extension") == Path.GetExtension(name).TrimStart('.'))?.Attribute("ContentType");
        Assert.Equal(mainType, TypeOf("word/document.xml"));
        using var zip = new ZipArchive(new MemoryStream(package));
        string[] names = zip.Entries.Select(e => e.FullName).ToArray();
        // Every part has a content type and every relationship target exists.
        foreach (string name in names.Where(n => n != "[Content_Types].xml"))
            Assert.NotNull(TypeOf(name));
        foreach ((string rels, string folder) in new[] { ("_rels/.rels", ""), ("word/_rels/document.xml.rels", "word/") })
            foreach (XElement r in Part(package, rels).Root!.Elements(rel + "Relationship"))
            {
                string target = (string)r.Attribute("Target")!;
                Assert.Contains(target.StartsWith('/') ? target[1..] : folder + target, names);
            }
        Assert.Equal(loadFormat, new Document(new MemoryStream(package)).OriginalLoadFormat);
    }

    [Fact]
    public void PropertiesAreWrittenInSchemaOrder()
    {
        var builder = new DocumentBuilder();
        builder.ParagraphFormat.StyleName = "Title";
        builder.ParagraphFormat.KeepWithNext = true;
        builder.ParagraphFormat.SpaceAfter = 3;
        builder.ParagraphFormat.LeftIndent = 3;
        builder.ParagraphFormat.Alignment = ParagraphAlignment.Center;
        builder.Font.Name = "Arial";
        builder.Font.Bold = true;
        builder.Font.Italic = true;
        builder.Font.Size = 14;
        builder.Font.Underline = Underline.Single;
        builder.Font.Subscript = true;
        builder.Write("x");
        builder.InsertBreak(BreakType.SectionBreakNewPage);

        XElement body = Part(SaveBytes(builder.Document, SaveFormat.Docx), "word/document.xml").Root!.Element(W + "body")!;
        XElement first = body.Elements(W + "p").First();
        Assert.Equal(new[] { "pStyle", "keepNext", "spacing", "ind", "jc", "sectPr" },
            first.Element(W + "pPr")!.Elements().Select(e => e.Name.LocalName));
        Assert.Equal(new[] { "rFonts", "b", "i", "sz", "szCs", "u", "vertAlign" },
            first.Element(W + "r")!.Element(W + "rPr")!.Elements().Select(e => e.Name.LocalName));
        Assert.Equal("sectPr", body.Elements().Last().Name.LocalName);
    }

    [Fact]
    public void MacrosAreKeptForMacroEnabledFormatsOnly()
    {
        byte[] withMacros = WordPackage($"<w:document xmlns:w=\"{W}\"><w:body><w:p/></w:body></w:document>",
            ("vbaProject.bin", "application/vnd.ms-office.vbaProject",
                "http://schemas.microsoft.com/office/2006/relationships/vbaProject", "VBA!"));
        var doc = new Document(new MemoryStream(withMacros));
        Assert.True(doc.HasMacros);

        Assert.True(Reload(doc, SaveFormat.Docm).HasMacros);
        Assert.False(Reload(doc, SaveFormat.Docx).HasMacros);
        doc.RemoveMacros();
        Assert.False(Reload(doc, SaveFormat.Docm).HasMacros);
    }

    [Fact]
    public void PrettyFormatIndentsWithoutChangingText()
    {
        var options = new OoxmlSaveOptions { PrettyFormat = true };
        byte[] package = SaveBytes(Paragraphs(" a ", "b"), options);
        using (var zip = new ZipArchive(new MemoryStream(package)))
        using (var reader = new StreamReader(zip.GetEntry("word/document.xml")!.Open()))
            Assert.Contains("\n", reader.ReadToEnd());
        Assert.Equal(" a \rb\f", new Document(new MemoryStream(package)).GetText());
    }
}

// Documents written the way a word processor writes them, which this
// library's writer never produces.
public class DocxForeignInputTests
{
    private static Document Load(string bodyXml) => new(new MemoryStream(BodyPackage(bodyXml)));

    [Fact]
    public void RunsInsideContainersAreReadAndDeletedOrAlternateContentIsNot()
    {
        Document doc = Load(
            "<w:p><w:hyperlink><w:r><w:t>link</w:t></w:r></w:hyperlink>"
            + "<w:ins><w:r><w:t>+ins</w:t></w:r></w:ins>"
            + "<w:del><w:r><w:delText>deleted</w:delText></w:r></w:del>"
            + "<w:r><w:fldChar/><w:instrText>PAGE</w:instrText></w:r><w:r><w:t>+result</w:t></w:r>"
            + "<mc:AlternateContent><mc:Choice><w:r><w:t>choice</w:t></w:r></mc:Choice></mc:AlternateContent>"
            + "<w:r><w:drawing><w:txbxContent><w:p><w:r><w:t>boxed</w:t></w:r></w:p></w:txbxContent></w:drawing>"
            + "<w:t>+after</w:t></w:r></w:p>");
        Assert.Equal("\u0013HYPERLINK\u0014link\u0015+ins+result+after\f", doc.GetText());
    }

    [Fact]
    public void AdjacentPropertyElementsAreAllRead()
    {
        // Without whitespace between elements a reader that consumes a
        // subtree and then reads on would skip the next element.
        Document doc = Load("<w:p><w:pPr><w:jc w:val=\"center\"/></w:pPr><w:r><w:rPr><w:b/></w:rPr><w:t>a</w:t></w:r>"
            + "<w:r><w:rPr><w:i w:val=\"1\"/><w:b w:val=\"false\"/></w:rPr><w:t>b</w:t></w:r></w:p><w:p/><w:p><w:r><w:t>c</w:t></w:r></w:p>");
        Paragraph[] paragraphs = doc.FirstSection!.Body!.Paragraphs.ToArray();
        Assert.Equal(3, paragraphs.Length);
        Assert.Equal(ParagraphAlignment.Center, paragraphs[0].ParagraphFormat.Alignment);
        Run[] runs = paragraphs[0].Runs.ToArray();
        Assert.Equal((true, false, false, true), (runs[0].Font.Bold, runs[0].Font.Italic, runs[1].Font.Bold, runs[1].Font.Italic));
        Assert.Equal("ab\r\rc\f", doc.GetText());
    }

    [Fact]
    public void TablesAreReadAsTablesWithTheirCells()
    {
        Document doc = Load("<w:tbl><w:tblPr/><w:tr><w:tc><w:p><w:r><w:t>cell 1</w:t></w:r></w:p></w:tc>"
            + "<w:tc><w:p><w:r><w:t>cell 2</w:t></w:r></w:p></w:tc></w:tr></w:tbl><w:p><w:r><w:t>after</w:t></w:r></w:p>");
        Assert.Equal("cell 1\acell 2\a\aafter\f", doc.GetText());
        var table = (Morvax.Velto.Tables.Table)doc.FirstSection!.Body!.FirstChild!;
        Assert.Equal(new[] { "cell 1\a", "cell 2\a" }, table.FirstRow!.Cells.ToArray().Select(c => c.GetText()));
    }

    [Fact]
    public void OutOfRangeValuesAreIgnoredNotThrown()
    {
        Document doc = Load("<w:p><w:pPr><w:ind w:left=\"99999999\" w:hanging=\"x\"/><w:spacing w:before=\"-20\"/>"
            + "<w:jc w:val=\"sideways\"/></w:pPr><w:r><w:rPr><w:sz w:val=\"0\"/><w:rFonts w:ascii=\"\"/>"
            + "<w:u w:val=\"sparkly\"/></w:rPr><w:t>x</w:t></w:r></w:p>");
        Paragraph paragraph = doc.FirstSection!.Body!.FirstParagraph!;
        Assert.Equal((0.0, 0.0, ParagraphAlignment.Left), (paragraph.ParagraphFormat.LeftIndent,
            paragraph.ParagraphFormat.SpaceBefore, paragraph.ParagraphFormat.Alignment));
        Font font = paragraph.Runs[0].Font;
        Assert.Equal((11.0, "Calibri", Underline.Single), (font.Size, font.Name, font.Underline));
    }

    [Fact]
    public void StylesPartSuppliesNamesDefaultsAndTheDefaultParagraphStyle()
    {
        string styles = $"<w:styles xmlns:w=\"{W}\"><w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"Times New Roman\"/>"
            + "<w:sz w:val=\"24\"/></w:rPr></w:rPrDefault></w:docDefaults>"
            + "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Body\"><w:name w:val=\"Body Text\"/></w:style>"
            + "<w:style w:type=\"paragraph\" w:styleId=\"H1\"><w:name w:val=\"heading 1\"/></w:style></w:styles>";
        byte[] package = WordPackage($"<w:document xmlns:w=\"{W}\"><w:body><w:p><w:r><w:t>plain</w:t></w:r></w:p>"
                + "<w:p><w:pPr><w:pStyle w:val=\"H1\"/></w:pPr></w:p><w:p><w:pPr><w:pStyle w:val=\"Missing\"/></w:pPr></w:p>"
                + "</w:body></w:document>",
            ("s.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml", OfficeRel + "/styles", styles));

        Paragraph[] paragraphs = new Document(new MemoryStream(package)).FirstSection!.Body!.Paragraphs.ToArray();

        Assert.Equal(new[] { "Body Text", "Heading 1", "Missing" }, paragraphs.Select(p => p.ParagraphFormat.StyleName));
        Assert.Equal(("Times New Roman", 12.0), (paragraphs[0].Runs[0].Font.Name, paragraphs[0].Runs[0].Font.Size));
    }

    [Fact]
    public void ALastParagraphThatEndsASectionEndsTheLastSection()
    {
        Document doc = Load("<w:p><w:pPr><w:sectPr><w:type w:val=\"continuous\"/></w:sectPr></w:pPr><w:r><w:t>a</w:t></w:r></w:p>");
        Assert.Equal(1, doc.Sections.Count);
        Assert.Equal(SectionStart.Continuous, doc.FirstSection!.Start);
        Assert.Equal("a\f", doc.GetText());
    }
}
