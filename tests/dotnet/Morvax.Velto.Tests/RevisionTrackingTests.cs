// Edits recorded as tracked revisions: what each edit records, accepting and
// rejecting the records, and their round trip through .docx as w:ins/w:del.
using System;
using System.Linq;
using System.Xml.Linq;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class RevisionTrackingTests
{
    private static readonly XNamespace W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
    private static readonly DateTime When = new(2024, 5, 6, 7, 8, 9);

    private static string Text(Document doc) => doc.GetText().Replace("\f", "").TrimEnd('\r');

    private static Paragraph First(Document doc) => doc.FirstSection!.Body!.FirstParagraph!;

    // "Keep one" with tracking started after it was written; then "two" added
    // by the builder, "one" removed.
    private static Document Edited()
    {
        Document doc = Paragraphs("Keep ");
        First(doc).AppendChild(new Run(doc, "one"));
        doc.StartTrackRevisions("Ann", When);
        var builder = new DocumentBuilder(doc);
        builder.MoveToDocumentEnd();
        builder.Write("two");
        First(doc).Runs[1].Remove();
        doc.StopTrackRevisions();
        return doc;
    }

    [Fact]
    public void Inserted_and_removed_runs_are_recorded_and_deleted_text_is_not_shown()
    {
        Document doc = Edited();
        Run[] runs = First(doc).Runs.Cast<Run>().ToArray();
        Assert.Equal(new[] { "Keep ", "one", "two" }, runs.Select(r => r.Text));
        Assert.Equal(new[] { false, true, false }, runs.Select(r => r.IsDeleteRevision));
        Assert.Equal(new[] { false, false, true }, runs.Select(r => r.IsInsertRevision));
        Assert.Equal(2, doc.Revisions.Count);
        Assert.True(doc.HasRevisions);
        Assert.Equal("Keep two", Text(doc));
        Assert.Equal("Keep two", SaveText(doc, SaveFormat.Text).TrimEnd());
    }

    [Theory]
    [InlineData(true, "Keep two")]
    [InlineData(false, "Keep one")]
    public void Accepting_or_rejecting_settles_every_record(bool accept, string expected)
    {
        Document doc = Edited();
        if (accept)
            doc.AcceptAllRevisions();
        else
            doc.Revisions.RejectAll();
        Assert.Equal(expected, Text(doc));
        Assert.False(doc.HasRevisions);
        Assert.DoesNotContain(First(doc).Runs.Cast<Run>(), r => r.IsInsertRevision || r.IsDeleteRevision);
    }

    [Fact]
    public void Changed_text_is_the_old_text_deleted_beside_the_new_inserted()
    {
        Document doc = Paragraphs("old");
        doc.StartTrackRevisions("Ann");
        Run run = (Run)First(doc).FirstChild!;
        run.Text = "new";
        run.Text = "newer";  // an insertion simply changes
        Assert.Equal(new[] { "old", "newer" }, First(doc).Runs.Cast<Run>().Select(r => r.Text));
        Assert.Equal(2, doc.Revisions.Count);
        Assert.Equal("newer", Text(doc));
        Assert.Throws<InvalidOperationException>(() => ((Run)First(doc).FirstChild!).Text = "x");
        doc.Revisions.RejectAll();
        Assert.Equal("old", Text(doc));
    }

    [Fact]
    public void Text_inserted_under_tracking_and_then_removed_leaves_nothing()
    {
        Document doc = Paragraphs("a");
        doc.StartTrackRevisions("Ann");
        var run = new Run(doc, "b");
        First(doc).AppendChild(run);
        run.Remove();
        Assert.Null(run.ParentNode);
        Assert.Equal(0, doc.Revisions.Count);
    }

    [Fact]
    public void Structure_is_refused_whole_and_moves_record_nothing()
    {
        Document doc = Paragraphs("one", "two");
        doc.StartTrackRevisions("Ann");
        Body body = doc.FirstSection!.Body!;
        Assert.Throws<NotSupportedException>(() => body.LastParagraph!.Remove());
        Assert.Throws<NotSupportedException>(() => body.RemoveAllChildren());
        Assert.Equal("one\rtwo", Text(doc));
        // Ending a paragraph moves the runs before the cursor: not an edit of text.
        var builder = new DocumentBuilder(doc);
        builder.MoveToDocumentEnd();
        builder.InsertParagraph();
        Assert.Equal(0, doc.Revisions.Count);
        // Joining runs shows the same text, so it records nothing; runs of
        // different records stay apart.
        doc.StartTrackRevisions("Ann", When);
        First(doc).AppendChild(new Run(doc, "!"));
        First(doc).AppendChild(new Run(doc, "?"));
        doc.StopTrackRevisions();
        Assert.Equal(1, doc.JoinRunsWithSameFormatting());
        Assert.Equal(new[] { "one", "!?" }, First(doc).Runs.Cast<Run>().Select(r => r.Text));
        Assert.Equal(1, doc.Revisions.Count);
    }

    [Fact]
    public void Records_are_written_as_ins_and_del_and_read_back_as_revisions()
    {
        byte[] package = SaveBytes(Edited(), SaveFormat.Docx);
        XElement body = Part(package, "word/document.xml").Root!;
        XElement ins = body.Descendants(W + "ins").Single();
        XElement del = body.Descendants(W + "del").Single();
        Assert.Equal("Ann", (string?)ins.Attribute(W + "author"));
        Assert.StartsWith("2024-05-06T07:08:09", (string?)del.Attribute(W + "date"));
        Assert.NotEqual((string?)ins.Attribute(W + "id"), (string?)del.Attribute(W + "id"));
        Assert.Equal("one", (string?)del.Descendants(W + "delText").Single());
        Assert.Empty(del.Descendants(W + "t"));

        var again = new Document(new System.IO.MemoryStream(package));
        Assert.Equal(2, again.Revisions.Count);
        Assert.Equal("Keep two", Text(again));
        again.Revisions.RejectAll();
        Assert.Equal("Keep one", Text(again));
    }

    [Fact]
    public void Replacing_under_tracking_records_the_change_and_never_matches_deleted_text()
    {
        Document doc = Edited();  // "Keep " + deleted "one" + inserted "two"
        doc.StartTrackRevisions("Bo", When);
        Assert.Equal(0, doc.Range.Replace("one", "1"));
        Assert.Equal(1, doc.Range.Replace("Keep", "Held"));
        Assert.Equal("Held two", Text(doc));
        doc.Revisions.RejectAll();
        Assert.Equal("Keep one", Text(doc));
    }

    [Fact]
    public void A_clone_keeps_its_records_apart()
    {
        Document doc = Edited();
        var copy = (Document)doc.Clone();
        copy.AcceptAllRevisions();
        Assert.Equal(2, doc.Revisions.Count);
        Assert.Equal(0, copy.Revisions.Count);
    }

    [Fact]
    public void A_formatting_change_is_recorded_written_as_the_old_properties_and_settled()
    {
        byte[] read = SaveBytes(Paragraphs("plain"), SaveFormat.Docx);
        Document doc = new(new System.IO.MemoryStream(read));
        doc.StartTrackRevisions("Ann", When);
        Run run = (Run)First(doc).FirstChild!;
        Assert.False(run.Font.Bold);  // looking records nothing
        Assert.Equal(0, doc.Revisions.Count);
        run.Font.Bold = true;
        run.Font.Bold = true;
        var builder = new DocumentBuilder(doc);
        builder.MoveToDocumentEnd();
        builder.Font.Italic = true;
        builder.Write(" new");  // inserted text carries its formatting: no format change
        doc.StopTrackRevisions();
        Assert.Equal(new[] { RevisionType.FormatChange, RevisionType.Insertion }, doc.Revisions.Select(r => r.RevisionType));
        Revision change = doc.Revisions[0];
        Assert.Equal(("Ann", When, "plain"), (change.Author, change.DateTime, change.Group.Text));
        Assert.Same(run, change.ParentNode);

        // Saved as the properties before the change; read back as a format change of the file.
        XElement rPrChange = Part(SaveBytes(doc, SaveFormat.Docx), "word/document.xml").Root!.Descendants(W + "rPrChange").Single();
        Assert.Equal("Ann", (string?)rPrChange.Attribute(W + "author"));
        Assert.Empty(rPrChange.Descendants(W + "b"));
        Document again = Reload(doc);
        Assert.Equal(RevisionType.FormatChange, again.Revisions[0].RevisionType);
        again.Revisions[0].Reject();
        Assert.False(((Run)First(again).FirstChild!).Font.Bold);

        // Rejected while still tracking: the old formatting back, nothing new recorded.
        doc.StartTrackRevisions("Ann", When);
        change.Reject();
        Assert.False(run.Font.Bold);
        Assert.Equal(RevisionType.Insertion, Assert.Single(doc.Revisions).RevisionType);
        run.Font.Italic = true;
        doc.AcceptAllRevisions();
        Assert.True(run.Font.Italic);
        Assert.Equal(0, doc.Revisions.Count);
        Assert.Empty(Part(SaveBytes(doc, SaveFormat.Docx), "word/document.xml").Root!.Descendants(W + "rPrChange"));
    }

    [Fact]
    public void A_paragraph_formatting_change_is_recorded_as_the_properties_read_and_settled()
    {
        Document source = Paragraphs("right", "new");
        First(source).ParagraphFormat.Alignment = ParagraphAlignment.Right;
        Document doc = new(new System.IO.MemoryStream(SaveBytes(source, SaveFormat.Docx)));
        doc.StartTrackRevisions("Ann", When);
        Paragraph paragraph = First(doc);
        paragraph.ParagraphFormat.Alignment = ParagraphAlignment.Center;
        var added = new Paragraph(doc);
        doc.FirstSection!.Body!.AppendChild(added);
        added.AppendChild(new Run(doc, "added"));
        added.ParagraphFormat.Alignment = ParagraphAlignment.Justify;  // a new paragraph's formatting is no change
        doc.StopTrackRevisions();
        Assert.Equal(new[] { (RevisionType.FormatChange, "right\r") },
            doc.Revisions.Where(r => r.RevisionType == RevisionType.FormatChange).Select(r => (r.RevisionType, r.ParentNode.GetText())));
        Assert.Same(paragraph, doc.Revisions[0].ParentNode);

        // Saved with the settings as read; read back as the file's own record, and rejected there.
        XElement pPrChange = Part(SaveBytes(doc, SaveFormat.Docx), "word/document.xml").Root!.Descendants(W + "pPrChange").Single();
        Assert.Equal("right", (string?)pPrChange.Descendants(W + "jc").Single().Attribute(W + "val"));
        Document again = Reload(doc);
        Revision read = again.Revisions.Single(r => r.RevisionType == RevisionType.FormatChange);
        read.Reject();
        Assert.Equal(ParagraphAlignment.Right, First(again).ParagraphFormat.Alignment);

        // Settled here: rejecting puts the alignment back, accepting keeps it; neither leaves a record.
        doc.Revisions[0].Reject();
        Assert.Equal(ParagraphAlignment.Right, paragraph.ParagraphFormat.Alignment);
        Assert.DoesNotContain(doc.Revisions, r => r.RevisionType == RevisionType.FormatChange);
        doc.StartTrackRevisions("Ann", When);
        paragraph.ParagraphFormat.SpaceAfter = 12;
        doc.AcceptAllRevisions();
        Assert.Equal((ParagraphAlignment.Right, 12.0), (paragraph.ParagraphFormat.Alignment, paragraph.ParagraphFormat.SpaceAfter));
        Assert.Empty(Part(SaveBytes(doc, SaveFormat.Docx), "word/document.xml").Root!.Descendants(W + "pPrChange"));
    }

    [Fact]
    public void Formatting_changed_back_to_what_was_read_is_still_written_as_a_change()
    {
        // Bold before tracking, plain again while tracking: formatted as read,
        // yet a change of what tracking started from.
        Document doc = new(new System.IO.MemoryStream(SaveBytes(Paragraphs("plain", "other"), SaveFormat.Docx)));
        Run run = (Run)First(doc).FirstChild!;
        run.Font.Bold = true;
        doc.StartTrackRevisions("Ann", When);
        run.Font.Bold = false;
        doc.StopTrackRevisions();
        Assert.Equal(RevisionType.FormatChange, Assert.Single(doc.Revisions).RevisionType);
        XElement rPrChange = Part(SaveBytes(doc, SaveFormat.Docx), "word/document.xml").Root!.Descendants(W + "rPrChange").Single();
        Assert.Single(rPrChange.Descendants(W + "b"));
        Assert.Equal(RevisionType.FormatChange, Assert.Single(Reload(doc).Revisions).RevisionType);
    }
}
