// The lists of the numbering part and the fonts of the font table: what is
// read, that an unchanged part goes back byte for byte, and that a changed
// level or an added list is written so that it reads back the same.
using System;
using System.IO;
using System.IO.Compression;
using System.Linq;
using System.Xml.Linq;
using Morvax.Velto.Fonts;
using Morvax.Velto.Lists;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class ListAndFontTableTests
{
    private const string NumberingType = "application/vnd.openxmlformats-officedocument.wordprocessingml.numbering+xml";
    private const string FontTableType = "application/vnd.openxmlformats-officedocument.wordprocessingml.fontTable+xml";

    // Two instances of one definition (ids 3 and 4), one of another (id 9);
    // the first definition's level 0 carries markup the model does not read,
    // and levels -1 and 9 (out of range) are passed over.
    private static readonly string Numbering = $"<w:numbering xmlns:w=\"{W}\">"
        + "<w:abstractNum w:abstractNumId=\"2\"><w:nsid w:val=\"1234ABCD\"/><w:multiLevelType w:val=\"multilevel\"/>"
        + "<w:lvl w:ilvl=\"0\"><w:start w:val=\"5\"/><w:numFmt w:val=\"upperRoman\"/><w:lvlText w:val=\"%1)\"/>"
        + "<w:lvlJc w:val=\"right\"/><w:pPr><w:ind w:left=\"720\" w:hanging=\"360\"/></w:pPr><w:rPr><w:b/></w:rPr></w:lvl>"
        + "<w:lvl w:ilvl=\"-1\"><w:numFmt w:val=\"hex\"/></w:lvl><w:lvl w:ilvl=\"9\"><w:numFmt w:val=\"hex\"/></w:lvl>"
        + "<w:lvl w:ilvl=\"1\"><w:numFmt w:val=\"decimalZero\"/><w:suff w:val=\"space\"/><w:isLgl/><w:lvlText w:val=\"%1.%2\"/>"
        + "<w:pPr><w:ind w:left=\"1440\" w:firstLine=\"200\"/></w:pPr></w:lvl>"
        + "</w:abstractNum>"
        + "<w:abstractNum w:abstractNumId=\"7\"><w:styleLink w:val=\"Outline\"/>"
        + "<w:lvl w:ilvl=\"0\"><w:numFmt w:val=\"bullet\"/><w:lvlText w:val=\"o\"/></w:lvl></w:abstractNum>"
        + "<w:num w:numId=\"3\"><w:abstractNumId w:val=\"2\"/></w:num><w:num w:numId=\"4\"><w:abstractNumId w:val=\"2\"/></w:num>"
        + "<w:num w:numId=\"9\"><w:abstractNumId w:val=\"7\"/></w:num>"
        + "<w:num w:numId=\"11\"><w:abstractNumId w:val=\"99\"/></w:num></w:numbering>";

    private static readonly string Fonts = $"<w:fonts xmlns:w=\"{W}\">"
        + "<w:font w:name=\"Body Serif\"><w:altName w:val=\"Serif Alt\"/><w:charset w:val=\"CC\"/><w:family w:val=\"roman\"/>"
        + "<w:pitch w:val=\"variable\"/></w:font>"
        + "<w:font w:name=\"Mono\"><w:family w:val=\"modern\"/><w:pitch w:val=\"fixed\"/><w:notTrueType/></w:font>"
        + "<w:font w:name=\"mono\"><w:family w:val=\"script\"/></w:font><w:font><w:family w:val=\"swiss\"/></w:font>"
        + "<w:font w:name=\"Odd\"><w:charset w:val=\"zz\"/><w:family w:val=\"unheard\"/></w:font></w:fonts>";

    private static byte[] Loaded(string body) => WordPackage($"<w:document xmlns:w=\"{W}\"><w:body>{body}</w:body></w:document>",
        ("numbering.xml", NumberingType, OfficeRel + "/numbering", Numbering),
        ("fontTable.xml", FontTableType, OfficeRel + "/fontTable", Fonts));

    private static readonly string ThreeItems =
        "<w:p><w:pPr><w:numPr><w:ilvl w:val=\"1\"/><w:numId w:val=\"3\"/></w:numPr></w:pPr><w:r><w:t>a</w:t></w:r></w:p>"
        + "<w:p><w:pPr><w:numPr><w:ilvl w:val=\"0\"/><w:numId w:val=\"4\"/></w:numPr></w:pPr><w:r><w:t>b</w:t></w:r></w:p>"
        + "<w:p><w:pPr><w:numPr><w:ilvl w:val=\"0\"/><w:numId w:val=\"11\"/></w:numPr></w:pPr><w:r><w:t>c</w:t></w:r></w:p>";

    private static string PartText(byte[] package, string name)
    {
        using var zip = new ZipArchive(new MemoryStream(package), ZipArchiveMode.Read);
        using var reader = new StreamReader(zip.GetEntry(name)!.Open());
        return reader.ReadToEnd();
    }

    private static Paragraph[] ParagraphsOf(Document doc) => doc.FirstSection!.Body!.Paragraphs.ToArray();

    [Fact]
    public void ListsAreTheNumberingInstancesWithTheLevelsOfTheirDefinitions()
    {
        var doc = new Document(new MemoryStream(Loaded(ThreeItems)));

        // The instance naming a missing definition is no list, and its paragraph no list item.
        Assert.Equal(new[] { 3, 4, 9 }, doc.Lists.Select(l => l.ListId));
        List first = doc.Lists.GetListByListId(3)!, bullets = doc.Lists[2];
        Assert.Null(doc.Lists.GetListByListId(11));
        Assert.Equal((true, false, true), (first.IsMultiLevel, first.IsListStyleDefinition, bullets.IsListStyleDefinition));
        Assert.Same(first.ListLevels, doc.Lists[1].ListLevels);
        Assert.Equal(9, first.ListLevels.Count);

        ListLevel top = first.ListLevels[0], second = first.ListLevels[1];
        Assert.Equal((NumberStyle.UppercaseRoman, "%1)", 5, ListLevelAlignment.Right, 36.0, 18.0, false),
            (top.NumberStyle, top.NumberFormat, top.StartAt, top.Alignment, top.TextPosition, top.NumberPosition, top.IsLegal));
        Assert.Equal((NumberStyle.LeadingZero, ListTrailingCharacter.Space, true, 72.0, 82.0),
            (second.NumberStyle, second.TrailingCharacter, second.IsLegal, second.TextPosition, second.NumberPosition));
        Assert.Equal((NumberStyle.Bullet, "o"), (bullets.ListLevels[0].NumberStyle, bullets.ListLevels[0].NumberFormat));

        Paragraph[] paragraphs = ParagraphsOf(doc);
        Assert.Same(first, paragraphs[0].ListFormat.List);
        Assert.Same(second, paragraphs[0].ListFormat.ListLevel);
        Assert.Same(doc.Lists[1], paragraphs[1].ListFormat.List);
        Assert.False(paragraphs[2].ListFormat.IsListItem);
        Assert.Null(paragraphs[2].ListFormat.List);
    }

    [Fact]
    public void UnchangedListsAndFontsAreWrittenBackAsRead()
    {
        byte[] package = Loaded(ThreeItems);
        byte[] saved = SaveBytes(new Document(new MemoryStream(package)), SaveFormat.Docx);
        Assert.Equal(PartText(package, "word/numbering.xml"), PartText(saved, "word/numbering.xml"));
        Assert.Equal(PartText(package, "word/fontTable.xml"), PartText(saved, "word/fontTable.xml"));
    }

    [Fact]
    public void AChangedLevelRewritesOnlyWhatChangedAndReadsBack()
    {
        var doc = new Document(new MemoryStream(Loaded(ThreeItems)));
        ListLevel top = doc.Lists[0].ListLevels[0];
        (top.StartAt, top.NumberPosition, top.NumberStyle, top.TrailingCharacter) = (2, 40, NumberStyle.Hex, ListTrailingCharacter.Nothing);

        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        XElement definition = Part(saved, "word/numbering.xml").Root!.Elements(W + "abstractNum").First();
        XElement level = definition.Elements(W + "lvl").First();
        Assert.Equal("1234ABCD", (string?)definition.Element(W + "nsid")!.Attribute(W + "val"));
        Assert.NotNull(level.Element(W + "rPr")!.Element(W + "b"));
        Assert.Equal("%1)", (string?)level.Element(W + "lvlText")!.Attribute(W + "val"));
        XElement indent = level.Element(W + "pPr")!.Element(W + "ind")!;
        Assert.Equal(("720", null, "80"), ((string?)indent.Attribute(W + "left"), (string?)indent.Attribute(W + "hanging"),
            (string?)indent.Attribute(W + "firstLine")));

        // Both lists of the definition see the change; saving again changes nothing more.
        var back = new Document(new MemoryStream(saved));
        foreach (List list in back.Lists.Take(2))
        {
            ListLevel read = list.ListLevels[0];
            Assert.Equal((2, 36.0, 40.0, NumberStyle.Hex, ListTrailingCharacter.Nothing, ListLevelAlignment.Right),
                (read.StartAt, read.TextPosition, read.NumberPosition, read.NumberStyle, read.TrailingCharacter, read.Alignment));
        }
        Assert.Equal(PartText(saved, "word/numbering.xml"), PartText(SaveBytes(doc, SaveFormat.Docx), "word/numbering.xml"));
    }

    [Fact]
    public void AddedListsGetFreshIdentifiersAndParagraphsMoveBetweenLists()
    {
        var doc = new Document(new MemoryStream(Loaded(ThreeItems)));
        List added = doc.Lists.Add(ListTemplate.NumberLowercaseLetterParenthesis);
        // Instance 11 names no definition but keeps its identifier.
        Assert.Equal((12, 4), (added.ListId, doc.Lists.Count));
        Paragraph[] paragraphs = ParagraphsOf(doc);
        paragraphs[0].ListFormat.List = added;
        paragraphs[1].ListFormat.List = null;
        paragraphs[2].ListFormat.List = doc.Lists[2];

        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        XElement numbering = Part(saved, "word/numbering.xml").Root!;
        // Definitions stay ahead of instances, as the schema wants.
        Assert.Equal(new[] { "abstractNum", "abstractNum", "abstractNum", "num", "num", "num", "num", "num" },
            numbering.Elements().Select(e => e.Name.LocalName));
        var back = new Document(new MemoryStream(saved));
        Paragraph[] read = ParagraphsOf(back);
        Assert.Equal((12, 1, NumberStyle.LowercaseRoman, "%2)"), (read[0].ListFormat.List!.ListId, read[0].ListFormat.ListLevelNumber,
            read[0].ListFormat.ListLevel!.NumberStyle, read[0].ListFormat.ListLevel!.NumberFormat));
        Assert.False(read[1].ListFormat.IsListItem);
        Assert.Equal(9, read[2].ListFormat.List!.ListId);
        Assert.Equal(new[] { 3, 4, 9, 12 }, back.Lists.Select(l => l.ListId));
    }

    [Fact]
    public void ABlankDocumentGainsANumberingPartForItsFirstList()
    {
        var doc = Paragraphs("one", "two");
        Assert.Equal(0, doc.Lists.Count);
        List list = doc.Lists.Add(ListTemplate.OutlineLegal);
        list.ListLevels[2].StartAt = 7;
        Paragraph second = ParagraphsOf(doc)[1];
        second.ListFormat.List = list;
        second.ListFormat.ListLevelNumber = 2;

        Document back = Reload(doc);
        List read = back.Lists.Single();
        Assert.Equal((1, true, "%1.%2.%3.", 7, 108.0, 90.0), (read.ListId, read.IsMultiLevel, read.ListLevels[2].NumberFormat,
            read.ListLevels[2].StartAt, read.ListLevels[2].TextPosition, read.ListLevels[2].NumberPosition));
        Paragraph[] paragraphs = ParagraphsOf(back);
        Assert.False(paragraphs[0].ListFormat.IsListItem);
        Assert.Equal((true, 2), (paragraphs[1].ListFormat.IsListItem, paragraphs[1].ListFormat.ListLevelNumber));
    }

    [Fact]
    public void EveryTemplateGivesNineLevelsNumberingTheirOwnLevel()
    {
        var doc = new Document();
        foreach (ListTemplate template in Enum.GetValues<ListTemplate>())
        {
            List list = doc.Lists.Add(template);
            Assert.Equal(9, list.ListLevels.Count);
            for (int i = 0; i < 9; i++)
            {
                ListLevel level = list.ListLevels[i];
                Assert.True(level.NumberStyle == NumberStyle.Bullet ? level.NumberFormat.Length == 1
                    : level.NumberFormat.Contains("%" + (i + 1)), $"{template} level {i}: {level.NumberFormat}");
                Assert.Equal(level.TextPosition - 18, level.NumberPosition);
            }
        }
        Assert.Equal(Enumerable.Range(1, 22), doc.Lists.Select(l => l.ListId));
        Assert.Throws<ArgumentOutOfRangeException>(() => doc.Lists.Add((ListTemplate)99));
        Assert.Equal(22, doc.Lists.Count);
        ListLevel first = doc.Lists[0].ListLevels[0];
        foreach (double bad in new[] { double.NaN, double.PositiveInfinity, 1584.5, -2000 })
            Assert.Throws<ArgumentOutOfRangeException>(() => first.TextPosition = bad);
        Assert.Equal(36.0, first.TextPosition);
    }

    [Fact]
    public void ListsBelongToTheirDocumentAndCopiesKeepTheirNumbering()
    {
        var doc = new Document(new MemoryStream(Loaded(ThreeItems)));
        var other = Paragraphs("x");
        Paragraph foreign = ParagraphsOf(other)[0];
        Assert.Throws<ArgumentException>(() => foreign.ListFormat.List = doc.Lists[0]);
        Assert.False(foreign.ListFormat.IsListItem);

        // A clone has lists of its own, shared as in the original.
        Document clone = doc.Clone();
        Assert.Equal(new[] { 3, 4, 9 }, clone.Lists.Select(l => l.ListId));
        Assert.Same(clone.Lists[0].ListLevels, clone.Lists[1].ListLevels);
        Assert.Same(clone.Lists[0], ParagraphsOf(clone)[0].ListFormat.List);
        clone.Lists[0].ListLevels[0].StartAt = 42;
        Assert.Equal(5, doc.Lists[0].ListLevels[0].StartAt);
        Assert.Equal(42, Reload(clone).Lists[0].ListLevels[0].StartAt);

        // A paragraph imported into another document brings a copy of its list.
        var importer = new NodeImporter(doc, other, ImportFormatMode.KeepSourceFormatting);
        var imported = (Paragraph)importer.ImportNode(ParagraphsOf(doc)[0], true);
        other.FirstSection!.Body!.AppendChild(imported);
        List copy = other.Lists.Single();
        Assert.Same(copy, imported.ListFormat.List);
        Assert.Equal((1, NumberStyle.LeadingZero), (copy.ListId, copy.ListLevels[1].NumberStyle));
        Assert.Equal("%1.%2", ParagraphsOf(Reload(other))[1].ListFormat.ListLevel!.NumberFormat);
    }

    [Fact]
    public void CleanupTakesUnusedListsOutOfTheCollectionAsWellAsThePackage()
    {
        var doc = new Document(new MemoryStream(Loaded(ThreeItems.Substring(0, ThreeItems.IndexOf("</w:p>") + 6))));
        doc.Lists.Add(ListTemplate.BulletSquare);
        doc.Cleanup(new CleanupOptions { UnusedStyles = false, UnusedBuiltinStyles = false, UnusedLists = true });

        Assert.Equal(new[] { 3 }, doc.Lists.Select(l => l.ListId));
        Document back = Reload(doc);
        Assert.Equal(new[] { 3 }, back.Lists.Select(l => l.ListId));
        Assert.Same(back.Lists[0], ParagraphsOf(back)[0].ListFormat.List);
    }

    [Fact]
    public void FontInfosComeFromTheFontTable()
    {
        var doc = new Document(new MemoryStream(Loaded(string.Empty)));
        // A nameless font and a second font of the same name are left out.
        Assert.Equal(new[] { "Body Serif", "Mono", "Odd" }, doc.FontInfos.Select(f => f.Name));
        FontInfo serif = doc.FontInfos["body serif"]!, mono = doc.FontInfos[1], odd = doc.FontInfos["Odd"]!;
        Assert.Equal(("Serif Alt", 0xCC, FontFamily.Roman, FontPitch.Variable, true),
            (serif.AltName, serif.Charset, serif.Family, serif.Pitch, serif.IsTrueType));
        Assert.Equal((null, FontFamily.Modern, FontPitch.Fixed, false), (mono.AltName, mono.Family, mono.Pitch, mono.IsTrueType));
        Assert.Equal((0, FontFamily.Auto, FontPitch.Default), (odd.Charset, odd.Family, odd.Pitch));
        Assert.Null(doc.FontInfos["Absent"]);
        Assert.Equal(3, doc.Clone().FontInfos.Count);
        Assert.Equal(0, new Document().FontInfos.Count);
    }
}
