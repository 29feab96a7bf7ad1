// Footnotes, endnotes, comments, fields and links as nodes: read from a
// package another producer wrote, written back unchanged when untouched and
// as edited when changed; and the same content made with the builder.
using System;
using System.IO;
using System.Linq;
using System.Text;
using System.Xml.Linq;
using Morvax.Velto.Fields;
using Morvax.Velto.Notes;
using Morvax.Velto.Replacing;
using Morvax.Velto.Tables;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class DocxNotesFieldsTests
{
    private const string Ns = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
        + "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

    private const string Body =
        "<w:p><w:r><w:t>Noted</w:t></w:r><w:r><w:rPr><w:rStyle w:val=\"FootnoteReference\"/></w:rPr>"
        + "<w:footnoteReference w:id=\"2\"/></w:r><w:r><w:t xml:space=\"preserve\"> and </w:t></w:r>"
        + "<w:commentRangeStart w:id=\"5\"/><w:r><w:t>remarked</w:t></w:r><w:commentRangeEnd w:id=\"5\"/>"
        + "<w:r><w:commentReference w:id=\"5\"/></w:r><w:r><w:commentReference w:id=\"6\"/></w:r></w:p>"
        // A complex field nested in another's code, a simple field and a link.
        + "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/><w:instrText xml:space=\"preserve\"> IF </w:instrText></w:r>"
        + "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>PAGE</w:instrText></w:r>"
        + "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>3</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"
        + "<w:r><w:instrText xml:space=\"preserve\"> = 3 \"three\" \"other\"</w:instrText></w:r>"
        + "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>three</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"
        + "<w:fldSimple w:instr=\" AUTHOR \"><w:r><w:t>Ann</w:t></w:r></w:fldSimple>"
        + "<w:hyperlink r:id=\"rIdLink\" w:history=\"1\"><w:r><w:rPr><w:u w:val=\"single\"/></w:rPr><w:t>site</w:t></w:r></w:hyperlink></w:p>"
        + "<w:p><w:r><w:t>End</w:t></w:r><w:r><w:endnoteReference w:id=\"1\"/></w:r></w:p>";

    private const string Footnotes =
        "<w:footnotes " + Ns + "><w:footnote w:type=\"separator\" w:id=\"-1\"><w:p><w:r><w:separator/></w:r></w:p></w:footnote>"
        + "<w:footnote w:type=\"continuationSeparator\" w:id=\"0\"><w:p><w:r><w:continuationSeparator/></w:r></w:p></w:footnote>"
        + "<w:footnote w:id=\"2\"><w:p><w:r><w:footnoteRef/></w:r><w:r><w:t xml:space=\"preserve\"> The note.</w:t></w:r></w:p></w:footnote>"
        + "<w:footnote w:id=\"9\"><w:p><w:r><w:t>Unreferenced</w:t></w:r></w:p></w:footnote></w:footnotes>";

    private const string Endnotes =
        "<w:endnotes " + Ns + "><w:endnote w:id=\"1\"><w:p><w:r><w:t>Last word.</w:t></w:r></w:p></w:endnote></w:endnotes>";

    private const string Comments =
        "<w:comments " + Ns + "><w:comment w:id=\"5\" w:author=\"Bea\" w:initials=\"B\" w:date=\"2024-03-01T10:00:00Z\">"
        + "<w:p><w:r><w:t>Check this.</w:t></w:r></w:p></w:comment>"
        // A date that is none, as one producer writes for a comment without one.
        + "<w:comment w:id=\"6\" w:author=\"Lo\" w:date=\"0-00-00T00:00:00Z\"><w:p/></w:comment></w:comments>";

    private static byte[] ForeignPackage() => WordPackage($"<w:document {Ns}><w:body>{Body}</w:body></w:document>",
        new[] { ("rIdLink", "https://example.com/a?b=1") },
        WordPart("rIdF", "footnotes.xml", "footnotes", Footnotes), WordPart("rIdE", "endnotes.xml", "endnotes", Endnotes),
        WordPart("rIdC", "comments.xml", "comments", Comments));

    private static Document Load(byte[] package) => new(new MemoryStream(package));

    private static T[] All<T>(CompositeNode root, NodeType type) => root.GetChildNodes(type, true).Cast<T>().ToArray();

    private static XElement Sorted(XElement element) => new(element.Name,
        element.Attributes().Where(a => !a.IsNamespaceDeclaration).OrderBy(a => a.Name.ToString()),
        element.Nodes().Select(n => n is XElement child ? Sorted(child) : n));

    [Fact]
    public void ForeignNotesCommentsFieldsAndLinksAreNodes()
    {
        Document doc = Load(ForeignPackage());
        Footnote note = Assert.Single(All<Footnote>(doc, NodeType.Footnote), n => n.FootnoteType == FootnoteType.Footnote);
        Assert.Equal(" The note.\r", note.GetText());
        Footnote endnote = Assert.Single(All<Footnote>(doc, NodeType.Footnote), n => n.FootnoteType == FootnoteType.Endnote);
        Assert.Equal("Last word.\r", endnote.GetText());
        Comment[] comments = All<Comment>(doc, NodeType.Comment);
        Comment comment = comments[0];
        Assert.Equal(("Bea", "B", 5, new DateTime(2024, 3, 1, 10, 0, 0), "Check this.\r"),
            (comment.Author, comment.Initial, comment.Id, comment.DateTime, comment.GetText()));
        Assert.Equal(("Lo", default(DateTime)), (comments[1].Author, comments[1].DateTime));
        Assert.Equal(5, Assert.Single(All<CommentRangeStart>(doc, NodeType.CommentRangeStart)).Id);

        Field[] fields = All<FieldStart>(doc, NodeType.FieldStart).Select(s => s.GetField()!).ToArray();
        Assert.Equal(new[] { FieldType.FieldIf, FieldType.FieldPage, FieldType.FieldAuthor, FieldType.FieldHyperlink },
            fields.Select(f => f.Type));
        Assert.IsType<FieldIf>(fields[0]);
        Assert.Equal(" IF \u0013PAGE\u00143\u0015 = 3 \"three\" \"other\"", fields[0].GetFieldCode());
        Assert.Equal(" IF  = 3 \"three\" \"other\"", fields[0].GetFieldCode(false));
        Assert.Equal(("three", "3", "Ann"), (fields[0].Result, fields[1].Result, fields[2].Result));
        Assert.Equal("HYPERLINK \"https://example.com/a?b=1\"", fields[3].GetFieldCode());
        Assert.Same(fields[1].End, ((FieldEnd)fields[1].End).GetField()!.End);

        // Notes and comments are part of the paragraph's text, in their place.
        Paragraph first = doc.FirstSection!.Body!.FirstParagraph!;
        Assert.Equal("Noted The note.\r and remarkedCheck this.\r\r\r", first.GetText());
        // Exports show field results only, and no notes.
        Assert.Equal("Noted and remarked\r\nthreeAnnsite\r\nEnd\r\n", SaveText(doc, SaveFormat.Text));
    }

    [Fact]
    public void UntouchedDocumentIsWrittenAsRead()
    {
        byte[] original = ForeignPackage();
        byte[] saved = SaveBytes(Load(original), SaveFormat.Docx);
        foreach (string part in new[] { "word/document.xml", "word/footnotes.xml", "word/endnotes.xml", "word/comments.xml" })
        {
            XElement before = Part(original, part).Root!, after = Part(saved, part).Root!;
            // The format library writes the attributes it knows in its own order.
            string Body(XElement root) => string.Concat((root.Element(W + "body") ?? root).Elements()
                .Where(e => e.Name != W + "sectPr").Select(e => Sorted(e).ToString(SaveOptions.DisableFormatting)));
            Assert.Equal(Body(before), Body(after));
        }
        Document again = Load(saved);
        Assert.Equal(Load(original).GetText(), again.GetText());
    }

    [Fact]
    public void EditedNotesAndCommentsAreWrittenAndOthersKept()
    {
        Document doc = Load(ForeignPackage());
        Footnote note = All<Footnote>(doc, NodeType.Footnote)[0];
        ((Run)note.GetChild(NodeType.Run, 0, true)!).Text = " The edited note.";
        Comment comment = All<Comment>(doc, NodeType.Comment)[0];
        comment.Author = "Cy";
        comment.SetText("Done.");
        All<Footnote>(doc, NodeType.Footnote)[1].Remove();  // the endnote
        var builder = new DocumentBuilder(doc);
        builder.MoveToDocumentEnd();
        builder.InsertFootnote(FootnoteType.Footnote, "A new note.");

        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        XElement footnotes = Part(saved, "word/footnotes.xml").Root!;
        string[] ids = footnotes.Elements(W + "footnote").Select(f => (string)f.Attribute(W + "id")!).ToArray();
        // Separators and the unreferenced note stay, the read note keeps its id,
        // the new one gets one above every id in the part.
        Assert.Equal(new[] { "-1", "0", "9", "2", "10" }, ids);
        XElement body = Part(saved, "word/document.xml").Root!;
        Assert.Equal(new[] { "2", "10" }, body.Descendants(W + "footnoteReference").Select(r => (string)r.Attribute(W + "id")!));
        Assert.Empty(body.Descendants(W + "endnoteReference"));
        Assert.Empty(Part(saved, "word/endnotes.xml").Root!.Elements());

        Document again = Load(saved);
        Assert.Equal(new[] { " The edited note.\r", "A new note.\r" },
            All<Footnote>(again, NodeType.Footnote).Select(n => n.GetText()));
        Comment read = All<Comment>(again, NodeType.Comment)[0];
        Assert.Equal(("Cy", "B", "Done.\r"), (read.Author, read.Initial, read.GetText()));
        // The link and the fields survive the rewritten paragraph untouched.
        Assert.Equal(4, All<FieldStart>(again, NodeType.FieldStart).Length);
    }

    [Fact]
    public void CopiesAndNewCommentsGetTheirOwnIdentifiers()
    {
        Document doc = Load(ForeignPackage());
        var builder = new DocumentBuilder(doc);
        builder.MoveToDocumentEnd();
        for (int i = 0; i < 2; i++)
        {
            var comment = new Comment(doc, "N", "N", default);
            comment.SetText($"new {i}");
            builder.InsertNode(comment);
        }
        // A copy of the document writes its notes as the original does, once each.
        Document copy = (Document)Reload(doc).Clone(true);
        byte[] saved = SaveBytes(copy, SaveFormat.Docx);
        Assert.Equal(new[] { "-1", "0", "2", "9" }, Part(saved, "word/footnotes.xml").Root!.Elements(W + "footnote")
            .Select(f => (string)f.Attribute(W + "id")!));
        Document again = Load(saved);
        Comment[] comments = All<Comment>(again, NodeType.Comment);
        Assert.Equal(new[] { (5, "Check this.\r"), (6, "\r"), (0, "new 0\r"), (7, "new 1\r") },
            comments.Select(c => (c.Id, c.GetText())));
        Assert.Equal(" The note.\r", All<Footnote>(again, NodeType.Footnote)[0].GetText());
    }

    // The comment each saved range mark anchors: (range start id, range end
    // id, text of the comment the reference after them names), per paragraph.
    private static (string, string, string)[] Anchors(byte[] saved)
    {
        XElement comments = Part(saved, "word/comments.xml").Root!;
        string TextOf(string id) => string.Concat(comments.Elements(W + "comment")
            .Single(c => (string)c.Attribute(W + "id")! == id).Descendants(W + "t").Select(t => t.Value));
        return Part(saved, "word/document.xml").Root!.Descendants(W + "p")
            .Where(p => p.Elements(W + "commentRangeStart").Any())
            .Select(p => ((string)p.Element(W + "commentRangeStart")!.Attribute(W + "id")!,
                (string)p.Element(W + "commentRangeEnd")!.Attribute(W + "id")!,
                TextOf((string)p.Descendants(W + "commentReference").First().Attribute(W + "id")!)))
            .ToArray();
    }

    [Fact]
    public void ACopiedCommentsRangeMarksNameTheCopy()
    {
        Document doc = Load(ForeignPackage());
        Body body = doc.FirstSection!.Body!;
        Paragraph first = body.FirstParagraph!;
        var copy = (Paragraph)first.Clone(true);
        All<Comment>(copy, NodeType.Comment)[0].SetText("Copy checked.");
        body.InsertAfter(copy, first);
        // A second copy made before the first was inserted gets another identifier.
        var second = (Paragraph)first.Clone(true);
        All<Comment>(second, NodeType.Comment)[0].SetText("Second copy.");
        body.InsertAfter(second, copy);
        int[] copied = new[] { copy, second }.Select(p => All<CommentRangeStart>(p, NodeType.CommentRangeStart)[0].Id).ToArray();
        Assert.DoesNotContain(5, copied);
        Assert.NotEqual(copied[0], copied[1]);

        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        (string Start, string End, string Comment)[] anchors = Anchors(saved);
        Assert.Equal(("5", "5", "Check this."), anchors[0]);
        Assert.Equal("Copy checked.", anchors[1].Comment);
        Assert.Equal("Second copy.", anchors[2].Comment);
        Assert.All(anchors, a => Assert.Equal(a.Start, a.End));
        Assert.Equal(3, anchors.Select(a => a.Start).Distinct().Count());

        Document again = Load(saved);
        Paragraph[] paragraphs = again.FirstSection!.Body!.Paragraphs.ToArray();
        for (int i = 0; i < 3; i++)
        {
            Comment comment = All<Comment>(paragraphs[i], NodeType.Comment)[0];
            Assert.Equal(comment.Id, All<CommentRangeStart>(paragraphs[i], NodeType.CommentRangeStart)[0].Id);
            Assert.Equal(comment.Id, All<CommentRangeEnd>(paragraphs[i], NodeType.CommentRangeEnd)[0].Id);
        }
    }

    [Fact]
    public void RangeMarksCopiedWithoutTheirCommentNameTheOriginal()
    {
        Document doc = Load(ForeignPackage());
        Body body = doc.FirstSection!.Body!;
        Paragraph first = body.FirstParagraph!;
        // The comment's reference moves to the last paragraph; a copy of the
        // first then holds the range marks only.
        body.LastParagraph!.AppendChild(All<Comment>(first, NodeType.Comment)[0]);
        var copy = (Paragraph)first.Clone(true);
        Assert.Equal(5, All<CommentRangeStart>(copy, NodeType.CommentRangeStart)[0].Id);
        body.InsertAfter(copy, first);
        XElement saved = Part(SaveBytes(doc, SaveFormat.Docx), "word/document.xml").Root!;
        Assert.Equal(new[] { "5", "5" }, saved.Descendants(W + "commentRangeStart").Select(s => (string)s.Attribute(W + "id")!));
        Assert.Equal(new[] { "5", "5" }, saved.Descendants(W + "commentRangeEnd").Select(s => (string)s.Attribute(W + "id")!));
    }

    [Fact]
    public void AnImportedCommentWhoseIdentifierIsTakenGetsAnotherWithItsMarks()
    {
        Document source = Load(ForeignPackage()), target = Load(ForeignPackage());
        var importer = new NodeImporter(source, target, ImportFormatMode.KeepSourceFormatting);
        var imported = (Paragraph)importer.ImportNode(source.FirstSection!.Body!.FirstParagraph!, true);
        All<Comment>(imported, NodeType.Comment)[0].SetText("Imported.");
        target.FirstSection!.Body!.AppendChild(imported);
        (string Start, string End, string Comment)[] anchors = Anchors(SaveBytes(target, SaveFormat.Docx));
        Assert.Equal(new[] { ("5", "5", "Check this."), (anchors[1].Start, anchors[1].Start, "Imported.") }, anchors);
        Assert.NotEqual("5", anchors[1].Start);

        // Into a document without that identifier, the copy keeps it.
        var empty = new Document();
        var kept = (Paragraph)new NodeImporter(source, empty, ImportFormatMode.KeepSourceFormatting)
            .ImportNode(source.FirstSection!.Body!.FirstParagraph!, true);
        Assert.Equal(new[] { 5, 6 }, All<Comment>(kept, NodeType.Comment).Select(c => c.Id));
        Assert.Equal(5, All<CommentRangeEnd>(kept, NodeType.CommentRangeEnd)[0].Id);
    }

    [Fact]
    public void CopiedBookmarksAndNoteReferencesPairWithTheirCopies()
    {
        Document doc = Load(ForeignPackage());
        Body body = doc.FirstSection!.Body!;
        var builder = new DocumentBuilder(doc);
        builder.MoveTo(body.FirstParagraph!);
        builder.StartBookmark("mark");
        builder.Write("marked ");
        builder.EndBookmark("mark");
        Paragraph first = body.FirstParagraph!;
        var copy = (Paragraph)first.Clone(true);
        ((Run)All<Footnote>(copy, NodeType.Footnote)[0].GetChild(NodeType.Run, 0, true)!).Text = "copied note";
        body.InsertAfter(copy, first);
        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        XElement[] paragraphs = Part(saved, "word/document.xml").Root!.Descendants(W + "p").Take(2).ToArray();
        string[] starts = paragraphs.Select(p => (string)p.Descendants(W + "bookmarkStart").Single().Attribute(W + "id")!).ToArray();
        Assert.Equal(starts, paragraphs.Select(p => (string)p.Descendants(W + "bookmarkEnd").Single().Attribute(W + "id")!));
        Assert.NotEqual(starts[0], starts[1]);
        string[] notes = paragraphs.Select(p => (string)p.Descendants(W + "footnoteReference").Single().Attribute(W + "id")!).ToArray();
        Assert.NotEqual(notes[0], notes[1]);
        XElement footnotes = Part(saved, "word/footnotes.xml").Root!;
        string NoteText(string id) => string.Concat(footnotes.Elements(W + "footnote")
            .Single(f => (string)f.Attribute(W + "id")! == id).Descendants(W + "t").Select(t => t.Value));
        Assert.Equal(new[] { " The note.", "copied note" }, notes.Select(NoteText));
    }

    [Fact]
    public void AnEditedParagraphKeepsItsLinkUntilTheLinkIsEdited()
    {
        Document doc = Load(ForeignPackage());
        var second = (Paragraph)doc.FirstSection!.Body!.GetChild(NodeType.Paragraph, 1, false)!;
        second.AppendChild(new Run(doc, "!"));
        XElement kept = Part(SaveBytes(doc, SaveFormat.Docx), "word/document.xml").Root!;
        Assert.Equal("rIdLink", (string)Assert.Single(kept.Descendants(W + "hyperlink")).Attribute(XName.Get("id", OfficeRel))!);
        Assert.Single(kept.Descendants(W + "fldSimple"));

        Field author = All<FieldStart>(doc, NodeType.FieldStart)[2].GetField()!;
        author.Result = "Max";
        Run linkText = (Run)All<FieldStart>(doc, NodeType.FieldStart)[3].GetField()!.Separator!.NextSibling!;
        linkText.Text = "site";  // the same text: still unchanged
        Assert.Single(Part(SaveBytes(doc, SaveFormat.Docx), "word/document.xml").Root!.Descendants(W + "hyperlink"));
        linkText.Text = "the site";
        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        XElement body = Part(saved, "word/document.xml").Root!;
        Assert.Empty(body.Descendants(W + "hyperlink"));
        Assert.Contains(body.Descendants(W + "instrText"), t => t.Value == "HYPERLINK \"https://example.com/a?b=1\"");
        Document again = Load(saved);
        Field link = All<FieldStart>(again, NodeType.FieldStart).Select(s => s.GetField()!).Last();
        Assert.Equal((FieldType.FieldHyperlink, "the site"), (link.Type, link.Result));
        Assert.Equal("Max", All<FieldStart>(again, NodeType.FieldStart)[2].GetField()!.Result);
        Assert.Equal(Underline.Single, ((Run)link.Separator!.NextSibling!).Font.Underline);
        Assert.Equal(second.GetText(), again.FirstSection!.Body!.GetChild(NodeType.Paragraph, 1, false)!.GetText());
    }

    [Fact]
    public void FieldsAreRemovedUnlinkedAndGivenResults()
    {
        Document doc = Load(ForeignPackage());
        Field[] fields = All<FieldStart>(doc, NodeType.FieldStart).Select(s => s.GetField()!).ToArray();
        fields[2].Result = "Zed";
        Assert.Equal("Zed", fields[2].Result);
        fields[3].Unlink();
        fields[0].Remove();
        var second = doc.FirstSection!.Body!.GetChild(NodeType.Paragraph, 1, false)!;
        Assert.Equal("\u0013 AUTHOR \u0014Zed\u0015site\r", second.GetText());
        Assert.Throws<InvalidOperationException>(() => fields[0].Start);
        Document again = Reload(doc);
        Assert.Equal(second.GetText(), again.FirstSection!.Body!.GetChild(NodeType.Paragraph, 1, false)!.GetText());
        again.UnlinkFields();
        Assert.Empty(All<FieldStart>(again, NodeType.FieldStart));
        Assert.Equal("Zedsite\r", again.FirstSection!.Body!.GetChild(NodeType.Paragraph, 1, false)!.GetText());
    }

    [Fact]
    public void BuilderWritesFieldsLinksNotesCommentsAndBookmarks()
    {
        var doc = new Document();
        doc.BuiltInDocumentProperties.Author = "Ada";
        var builder = new DocumentBuilder(doc);
        builder.Write("By ");
        Field author = builder.InsertField("AUTHOR");
        Field merge = builder.InsertField("MERGEFIELD Name");
        Field page = builder.InsertField("PAGE", null);
        builder.StartBookmark("here");
        builder.Write("marked");
        builder.EndBookmark("here");
        Field link = builder.InsertHyperlink("the site", "https://example.com/\"q\"", false);
        Field internalLink = builder.InsertHyperlink("back", "here", true);
        builder.InsertFootnote(FootnoteType.Endnote, "End note.");
        var comment = new Comment(doc, "Ed", "E", new DateTime(2025, 1, 2, 3, 4, 5));
        comment.SetText("Looks fine.");
        builder.InsertNode(comment);
        Assert.Throws<NotSupportedException>(() => builder.InsertField("TOC \\o \"1-3\""));
        Assert.Equal(("Ada", "«Name»", "1"), (author.Result, merge.Result, page.Result));
        Assert.Equal("HYPERLINK \"https://example.com/\\\"q\\\"\"", link.GetFieldCode());
        Assert.IsType<FieldHyperlink>(internalLink);

        Document again = Reload(doc);
        Field[] fields = All<FieldStart>(again, NodeType.FieldStart).Select(s => s.GetField()!).ToArray();
        Assert.Equal(new[] { "AUTHOR", "MERGEFIELD Name", "PAGE", "HYPERLINK \"https://example.com/\\\"q\\\"\"",
            "HYPERLINK \\l \"here\"" }, fields.Select(f => f.GetFieldCode()));
        Assert.Equal(new[] { "Ada", "«Name»", "1", "the site", "back" }, fields.Select(f => f.Result));
        Assert.Equal("End note.\r", Assert.Single(All<Footnote>(again, NodeType.Footnote)).GetText());
        Comment read = Assert.Single(All<Comment>(again, NodeType.Comment));
        Assert.Equal(("Ed", "E", new DateTime(2025, 1, 2, 3, 4, 5), "Looks fine.\r"),
            (read.Author, read.Initial, read.DateTime, read.GetText()));
        var moved = new DocumentBuilder(again);
        Assert.True(moved.MoveToBookmark("here"));
        Assert.Equal("marked", ((Run)moved.CurrentNode!).Text);
        Assert.False(moved.MoveToBookmark("nowhere"));
    }

    [Fact]
    public void LinkAndMergeFieldPartsAreReadAndWrittenThroughTheCode()
    {
        var doc = new Document();
        var builder = new DocumentBuilder(doc);
        var link = (FieldHyperlink)builder.InsertHyperlink("text", "https://example.com/\"x\"", false);
        Assert.Equal(("https://example.com/\"x\"", null), (link.Address, link.SubAddress));
        link.SubAddress = "part two";
        link.ScreenTip = "A tip";
        Assert.Equal("HYPERLINK \"https://example.com/\\\"x\\\"\" \\l \"part two\" \\o \"A tip\"", link.GetFieldCode());
        var merge = (FieldMergeField)builder.InsertField("MERGEFIELD First \\b \"Dear \" \\* Upper", null);
        merge.FieldName = "Given Name";
        Assert.Equal("MERGEFIELD \"Given Name\" \\b \"Dear \" \\* \"Upper\"", merge.GetFieldCode());

        Document again = Reload(doc);
        var read = (FieldHyperlink)again.GetChild(NodeType.FieldStart, 0, true)!.AsFieldStart()!.GetField()!;
        Assert.Equal(("https://example.com/\"x\"", "part two", "A tip", "text"),
            (read.Address, read.SubAddress, read.ScreenTip, read.Result));
        var field = (FieldMergeField)again.GetChild(NodeType.FieldStart, 1, true)!.AsFieldStart()!.GetField()!;
        Assert.Equal("Given Name", field.FieldName);
        again.MailMerge.Execute(new[] { "Given Name" }, new object?[] { "ada" });
        Assert.Equal("Dear ADA", again.FirstSection!.Body!.FirstParagraph!.Runs.Cast<Run>().Last().Text);
    }

    [Fact]
    public void ACodeGoingOnInTheNextParagraphStaysCodeWhenEdited()
    {
        Document doc = Load(BodyPackage("<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
            + "<w:r><w:instrText xml:space=\"preserve\">QUOTE \"one</w:instrText></w:r></w:p>"
            + "<w:p><w:r><w:instrText xml:space=\"preserve\">two\" </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
            + "<w:r><w:t>shown</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>"));
        var second = (Paragraph)doc.FirstSection!.Body!.GetChild(NodeType.Paragraph, 1, false)!;
        ((Run)second.FirstChild!).Text = "three\" ";
        Assert.Equal("\u0013QUOTE \"one\rthree\" \u0014shown\u0015\f", Reload(doc).GetText());
        Assert.Equal(new[] { "QUOTE \"one", "three\" " }, Part(SaveBytes(doc, SaveFormat.Docx), "word/document.xml").Root!
            .Descendants(W + "instrText").Select(t => t.Value));
    }

    [Fact]
    public void BuilderTablesCarryTheirFormats()
    {
        var doc = new Document();
        var builder = new DocumentBuilder(doc);
        builder.Writeln("Before");
        Table table = builder.StartTable();
        builder.CellFormat.VerticalAlignment = CellVerticalAlignment.Center;
        builder.InsertCell();
        builder.Write("a");
        builder.CellFormat.VerticalAlignment = CellVerticalAlignment.Bottom;
        builder.InsertCell();
        builder.Write("b");
        builder.RowFormat.HeadingFormat = true;
        builder.RowFormat.Height = 30;
        builder.RowFormat.HeightRule = HeightRule.Exactly;
        builder.EndRow();
        builder.RowFormat.HeadingFormat = false;
        builder.InsertCell();
        builder.Write("c");
        Assert.Throws<InvalidOperationException>(() => builder.EndTable());
        builder.EndRow();
        Assert.Same(table, builder.EndTable());
        builder.Write("After");
        Assert.Throws<InvalidOperationException>(() => builder.InsertCell());
        Assert.Equal("Before\ra\ab\a\ac\a\aAfter\f", doc.GetText());

        Document again = Reload(doc);
        Table read = (Table)again.GetChild(NodeType.Table, 0, true)!;
        Row[] rows = read.Rows.Cast<Row>().ToArray();
        Assert.Equal((true, 30.0, HeightRule.Exactly), (rows[0].RowFormat.HeadingFormat, rows[0].RowFormat.Height,
            rows[0].RowFormat.HeightRule));
        Assert.Equal(new[] { CellVerticalAlignment.Center, CellVerticalAlignment.Bottom },
            rows[0].Cells.Cast<Cell>().Select(c => c.CellFormat.VerticalAlignment));
        Assert.False(rows[1].RowFormat.HeadingFormat);
        Assert.Equal(again.GetText(), doc.GetText());
        // A changed format of a read cell is written; the rest stays as read.
        rows[1].FirstCell!.CellFormat.VerticalAlignment = CellVerticalAlignment.Top;
        rows[0].RowFormat.HeadingFormat = false;
        Row[] third = ((Table)Reload(again).GetChild(NodeType.Table, 0, true)!).Rows.Cast<Row>().ToArray();
        Assert.Equal((false, 30.0, CellVerticalAlignment.Top), (third[0].RowFormat.HeadingFormat, third[0].RowFormat.Height,
            third[1].FirstCell!.CellFormat.VerticalAlignment));
    }

    [Fact]
    public void HeadersFootersAreReachedByTheBuilder()
    {
        var doc = new Document();
        var builder = new DocumentBuilder(doc);
        builder.Write("Body");
        builder.MoveToHeaderFooter(HeaderFooterType.FooterPrimary);
        builder.Write("Page ");
        builder.InsertField("PAGE");
        builder.MoveToDocumentEnd();
        builder.Write(" text");
        Document again = Reload(doc);
        var footer = (HeaderFooter)again.FirstSection!.GetChild(NodeType.HeaderFooter, 0, false)!;
        Assert.Equal((HeaderFooterType.FooterPrimary, "Page \u0013PAGE\u00141\u0015\r"), (footer.HeaderFooterType, footer.GetText()));
        Assert.Equal("Body text\f", again.GetText());
    }

    [Fact]
    public void ReplaceWorksAcrossRunsAndLeavesStructureAlone()
    {
        var doc = new Document();
        var builder = new DocumentBuilder(doc);
        builder.Write("The qu");
        builder.Font.Bold = true;
        builder.Write("ick fox; the quicker");
        builder.Font.Bold = false;
        builder.InsertField("MERGEFIELD quick");
        builder.Writeln(" end");
        builder.Write("QUICK");
        Assert.Equal(3, doc.Range.Replace("quick", "slow", new FindReplaceOptions { FindWholeWordsOnly = true, IgnoreFieldCodes = true }));
        Assert.Equal("The slow fox; the quicker\u0013MERGEFIELD quick\u0014«slow»\u0015 end\rslow\f", doc.Range.Text);
        Assert.Equal(1, doc.Range.Replace("Quicker", "faster", new FindReplaceOptions { MatchCase = true }) + 1);
        Assert.Equal(2, doc.Range.Replace("quick", "QUICK"));  // case-blind, codes included: the code and "quicker"
        Run[] runs = doc.FirstSection!.Body!.FirstParagraph!.Runs.ToArray();
        Assert.Equal(("The slow fox; the QUICKer", false), (runs[0].Text + runs[1].Text, runs[0].Font.Bold && !runs[1].Font.Bold));
        Assert.Throws<NotSupportedException>(() => doc.Range.Replace("end\r", "x"));
        Assert.Throws<ArgumentException>(() => doc.Range.Replace("", "x"));
        Assert.Equal(1, doc.Range.UpdateFields());
    }

    [Fact]
    public void MailMergeReplacesFieldsSplitOverRunsAndRefusesNestedOnes()
    {
        Document doc = Load(BodyPackage("<w:p><w:r><w:t>Hi </w:t><w:fldChar w:fldCharType=\"begin\"/></w:r>"
            + "<w:r><w:instrText>MERGEFIELD Name</w:instrText><w:fldChar w:fldCharType=\"separate\"/><w:t>«Name»</w:t></w:r>"
            + "<w:r><w:fldChar w:fldCharType=\"end\"/><w:t>!</w:t></w:r></w:p>"));
        Assert.Equal("Hi \u0013MERGEFIELD Name\u0014«Name»\u0015!\f", doc.GetText());
        doc.MailMerge.Execute(new[] { "Name" }, new object?[] { "Bo" });
        Assert.Equal("Hi Bo!\f", Reload(doc).GetText());

        var nested = new Document();
        var builder = new DocumentBuilder(nested);
        Field outer = builder.InsertField("IF 1 = 1 ", "yes");
        builder.MoveTo(outer.Separator!);
        builder.InsertField("MERGEFIELD Name", "x");
        Assert.Equal("\u0013IF 1 = 1\u0013MERGEFIELD Name\u0014x\u0015\u0014yes\u0015\f", nested.GetText());
        Assert.Equal("IF 1 = 1", outer.GetFieldCode(false));
        Assert.Throws<NotSupportedException>(() => nested.MailMerge.Execute(new[] { "Name" }, new object?[] { "Bo" }));
    }
}
