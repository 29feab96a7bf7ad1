// Paragraphs copied into another document name styles its saved file holds:
// with UseDestinationStyles the target's style of the same name, else a copy
// of the source's; with KeepSourceFormatting the source's definition, renamed
// where the target has a different style of that name.
using System;
using System.IO;
using System.Linq;
using System.Xml.Linq;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class ImportedStyleTests
{
    private const string StylesType = "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml";

    private static string Style(string id, string name, string properties, string extra = "", bool isDefault = false) =>
        $"<w:style w:type=\"paragraph\" w:styleId=\"{id}\"" + (isDefault ? " w:default=\"1\"" : "")
        + $"><w:name w:val=\"{name}\"/>{extra}<w:rPr>{properties}</w:rPr></w:style>";

    private static readonly string Normal = Style("Normal", "Normal", "", isDefault: true);

    private static byte[] WithStyles(string body, params string[] styles) => WordPackage(
        $"<w:document xmlns:w=\"{W}\"><w:body>{body}</w:body></w:document>",
        ("styles.xml", StylesType, OfficeRel + "/styles", $"<w:styles xmlns:w=\"{W}\">{string.Concat(styles)}</w:styles>"));

    private static string P(string styleId, string text) =>
        $"<w:p><w:pPr><w:pStyle w:val=\"{styleId}\"/></w:pPr><w:r><w:t>{text}</w:t></w:r></w:p>";

    // Fancy is based on Base; Shared is red here.
    private static Document Source() => new(new MemoryStream(WithStyles(P("FancyId", "one") + P("Shared", "two"),
        Normal, Style("BaseId", "Base", "<w:i/>"), Style("FancyId", "Fancy", "<w:b/>", "<w:basedOn w:val=\"BaseId\"/>"),
        Style("Shared", "Shared", "<w:color w:val=\"FF0000\"/>"))));

    // Shared is blue here, and FancyId names another style.
    private static Document Target(string shared = "<w:color w:val=\"0000FF\"/>") => new(new MemoryStream(WithStyles(
        P("SharedT", "mine"), Normal, Style("SharedT", "Shared", shared), Style("FancyId", "Other", "<w:u w:val=\"single\"/>"))));

    // Each paragraph's text with the saved definition of its style (null: none).
    private static (string Text, XElement? Style)[] Saved(byte[] saved)
    {
        XElement[] styles = Part(saved, "word/styles.xml").Root!.Elements(W + "style").ToArray();
        return Part(saved, "word/document.xml").Root!.Descendants(W + "p").Select(p =>
        {
            string? id = (string?)p.Descendants(W + "pStyle").FirstOrDefault()?.Attribute(W + "val");
            return (string.Concat(p.Descendants(W + "t").Select(t => t.Value)),
                id is null ? null : styles.SingleOrDefault(s => (string?)s.Attribute(W + "styleId") == id));
        }).ToArray();
    }

    private static string NameOf(XElement style) => (string)style.Element(W + "name")!.Attribute(W + "val")!;

    private static XElement ById(byte[] saved, string id) =>
        Part(saved, "word/styles.xml").Root!.Elements(W + "style").Single(s => (string?)s.Attribute(W + "styleId") == id);

    // idTaken: the target's Other keeps the id FancyId.
    private static void AssertFancyCopied(byte[] saved, XElement fancy, bool idTaken = true)
    {
        Assert.Equal("Fancy", NameOf(fancy));
        Assert.Equal(idTaken, "FancyId" != (string)fancy.Attribute(W + "styleId")!);
        Assert.NotNull(fancy.Descendants(W + "b").SingleOrDefault());
        XElement basis = ById(saved, (string)fancy.Element(W + "basedOn")!.Attribute(W + "val")!);
        Assert.Equal("Base", NameOf(basis));
        Assert.NotNull(basis.Descendants(W + "i").SingleOrDefault());
    }

    [Fact]
    public void WithDestinationStylesTheTargetsStyleIsUsedAndAMissingOneCopiedIn()
    {
        Document source = Source(), target = Target();
        var importer = new NodeImporter(source, target, ImportFormatMode.UseDestinationStyles);
        foreach (Paragraph paragraph in source.FirstSection!.Body!.Paragraphs)
            target.FirstSection!.Body!.AppendChild(importer.ImportNode(paragraph, true));
        byte[] saved = SaveBytes(target, SaveFormat.Docx);

        (string Text, XElement? Style)[] paragraphs = Saved(saved);
        Assert.Equal(new[] { "mine", "one", "two" }, paragraphs.Select(p => p.Text));
        Assert.All(paragraphs, p => Assert.NotNull(p.Style));
        AssertFancyCopied(saved, paragraphs[1].Style!);
        Assert.Equal("SharedT", (string)paragraphs[2].Style!.Attribute(W + "styleId")!);
        Assert.Equal("Fancy", target.Styles["Fancy"]!.Name);
        Assert.Equal(new[] { "Fancy", "Shared" },
            Reload(target).FirstSection!.Body!.Paragraphs.Cast<Paragraph>().Skip(1).Select(p => p.ParagraphFormat.StyleName));
    }

    [Fact]
    public void KeepingSourceFormattingRenamesACopyWhoseNameTheTargetUsesOtherwise()
    {
        Document target = Target();
        target.AppendDocument(Source(), ImportFormatMode.KeepSourceFormatting);
        byte[] saved = SaveBytes(target, SaveFormat.Docx);

        (string Text, XElement? Style)[] paragraphs = Saved(saved);
        Assert.All(paragraphs, p => Assert.NotNull(p.Style));
        AssertFancyCopied(saved, paragraphs[1].Style!);
        XElement shared = paragraphs[2].Style!;
        Assert.Equal("Shared_0", NameOf(shared));
        Assert.Equal("FF0000", (string)shared.Descendants(W + "color").Single().Attribute(W + "val")!);
        Assert.Equal("0000FF", (string)paragraphs[0].Style!.Descendants(W + "color").Single().Attribute(W + "val")!);
        Assert.Equal(new[] { "Shared", "Fancy", "Shared_0" },
            Reload(target).GetChildNodes(NodeType.Paragraph, true).Cast<Paragraph>().Select(p => p.ParagraphFormat.StyleName));

        // The same definition under the same name is the target's own.
        Document same = Target("<w:color w:val=\"FF0000\"/>");
        same.AppendDocument(Source(), ImportFormatMode.KeepSourceFormatting);
        Assert.Equal("SharedT", (string)Saved(SaveBytes(same, SaveFormat.Docx))[2].Style!.Attribute(W + "styleId")!);
    }

    [Fact]
    public void ADocumentMadeHereGetsTheSourcesStylesOnceAndKeepsItsDefault()
    {
        var target = new Document();
        Document source = Source();
        var importer = new NodeImporter(source, target, ImportFormatMode.KeepSourceFormatting);
        for (int i = 0; i < 2; i++)
            target.FirstSection!.Body!.AppendChild(importer.ImportNode(source.FirstSection!.Body!.FirstParagraph!, true));
        byte[] saved = SaveBytes(target, SaveFormat.Docx);
        string[] names = Part(saved, "word/styles.xml").Root!.Elements(W + "style").Select(NameOf).ToArray();
        Assert.Equal(new[] { "Base", "Fancy", "Normal" }, names.Order());
        Assert.All(Saved(saved).Skip(1), p => AssertFancyCopied(saved, p.Style!, idTaken: false));
        Assert.Equal(2, Reload(target).FirstSection!.Body!.Paragraphs.Cast<Paragraph>().Count(p => p.ParagraphFormat.StyleName == "Fancy"));
    }

    // A note's mark run, kept whole, names a character style by the source's
    // identifier: the copy names the target's, and the note shows one mark.
    [Fact]
    public void AnAppendedNoteKeepsOneMarkAndItsCharacterStyle()
    {
        string body = "<w:p><w:r><w:t>text</w:t></w:r><w:r><w:rPr><w:rStyle w:val=\"NoteRef\"/></w:rPr>"
            + "<w:footnoteReference w:id=\"1\"/></w:r></w:p>";
        string notes = $"<w:footnotes xmlns:w=\"{W}\"><w:footnote w:id=\"1\"><w:p><w:r><w:rPr><w:rStyle w:val=\"NoteRef\"/></w:rPr>"
            + "<w:footnoteRef/></w:r><w:r><w:t>The note.</w:t></w:r></w:p></w:footnote></w:footnotes>";
        byte[] package = WordPackage($"<w:document xmlns:w=\"{W}\"><w:body>{body}</w:body></w:document>",
            Array.Empty<(string, string)>(),
            ("rId1", "styles.xml", StylesType, OfficeRel + "/styles", $"<w:styles xmlns:w=\"{W}\">{Normal}"
                + "<w:style w:type=\"character\" w:styleId=\"NoteRef\"><w:name w:val=\"Note Ref\"/><w:rPr><w:vertAlign w:val=\"superscript\"/></w:rPr></w:style>"
                + "</w:styles>"),
            WordPart("rId2", "footnotes.xml", "footnotes", notes));
        foreach (ImportFormatMode mode in new[] { ImportFormatMode.UseDestinationStyles, ImportFormatMode.KeepSourceFormatting })
        {
            var target = new Document();
            target.AppendDocument(new Document(new MemoryStream(package)), mode);
            byte[] saved = SaveBytes(target, SaveFormat.Docx);
            XDocument footnotes = Part(saved, "word/footnotes.xml");
            XElement note = footnotes.Root!.Elements(W + "footnote").Single(n => (string?)n.Attribute(W + "type") is null);
            Assert.Single(note.Descendants(W + "footnoteRef"));
            string[] defined = Part(saved, "word/styles.xml").Root!.Elements(W + "style")
                .Select(e => (string)e.Attribute(W + "styleId")!).ToArray();
            XElement[] references = footnotes.Descendants(W + "rStyle").Concat(Part(saved, "word/document.xml").Descendants(W + "rStyle")).ToArray();
            Assert.NotEmpty(references);
            Assert.All(references, r => Assert.Contains((string)r.Attribute(W + "val")!, defined));
        }
    }
}
