// Revisions one by one: those read from a file and those recorded while
// tracking, as objects with author, date and kind, settled singly, and
// gathered into groups of adjacent ones.
using System;
using System.IO;
using System.Linq;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class RevisionObjectTests
{
    private static string Text(Document doc) => doc.GetText().Replace("\f", "").TrimEnd('\r');

    private static Document Read(string paragraphXml) =>
        new(new MemoryStream(BodyPackage($"<w:p>{paragraphXml}</w:p>")));

    private static string Ins(int id, string author, string text) =>
        $"<w:ins w:id=\"{id}\" w:author=\"{author}\" w:date=\"2024-01-02T03:04:05Z\"><w:r><w:t xml:space=\"preserve\">{text}</w:t></w:r></w:ins>";

    private static string Del(int id, string author, string text) =>
        $"<w:del w:id=\"{id}\" w:author=\"{author}\"><w:r><w:delText xml:space=\"preserve\">{text}</w:delText></w:r></w:del>";

    private static string Plain(string text) => $"<w:r><w:t xml:space=\"preserve\">{text}</w:t></w:r>";

    [Fact]
    public void Read_revisions_are_objects_in_document_order()
    {
        Document doc = Read(Plain("a ") + Ins(1, "Ann", "b ") + Del(2, "Bob", "c ")
            + "<w:moveTo w:id=\"3\" w:author=\"Cy\"><w:r><w:t>d</w:t></w:r></w:moveTo>");
        Revision[] all = doc.Revisions.ToArray();
        Assert.Equal(doc.Revisions.Count, all.Length);
        Assert.Equal(new[] { ("Ann", RevisionType.Insertion), ("Bob", RevisionType.Deletion), ("Cy", RevisionType.Moving) },
            all.Select(r => (r.Author, r.RevisionType)));
        Assert.Equal(new DateTime(2024, 1, 2, 3, 4, 5), all[0].DateTime);
        Assert.Equal(default, all[1].DateTime);
        Assert.Equal("b ", all[0].ParentNode.GetText());
        Assert.Equal("Bob", doc.Revisions[1].Author);
        Assert.Throws<ArgumentOutOfRangeException>(() => doc.Revisions[3]);
        Assert.Throws<ArgumentOutOfRangeException>(() => doc.Revisions[-1]);
    }

    [Theory]
    [InlineData(0, true, "a b d")]
    [InlineData(0, false, "a d")]
    [InlineData(1, true, "a b d")]
    [InlineData(1, false, "a b c d")]
    public void One_read_revision_is_settled_and_the_rest_stay(int index, bool accept, string text)
    {
        Document doc = Read(Plain("a ") + Ins(1, "Ann", "b ") + Del(2, "Bob", "c ") + Plain("d"));
        Revision revision = doc.Revisions[index];
        if (accept)
            revision.Accept();
        else
            revision.Reject();
        Assert.Equal(text, Text(doc));
        RevisionType other = index == 0 ? RevisionType.Deletion : RevisionType.Insertion;
        Assert.Equal(other, doc.Revisions.Single().RevisionType);
        // Settled once; a second time is refused and changes nothing.
        Assert.Throws<InvalidOperationException>(() => revision.Accept());
        Document back = Reload(doc);
        Assert.Equal(text, Text(back));
        Assert.Single(back.Revisions);
    }

    [Fact]
    public void A_revision_nested_in_kept_markup_is_settled_alone()
    {
        Document doc = Read("<w:customXml w:element=\"clause\">" + Ins(1, "Ann", "in ") + Del(2, "Ann", "out") + "</w:customXml>");
        Assert.Equal(2, doc.Revisions.Count);
        doc.Revisions[1].Reject();
        Assert.Equal("in out", Text(doc));
        Revision left = Assert.Single(doc.Revisions);
        Assert.Equal(RevisionType.Insertion, left.RevisionType);
        left.Reject();
        Assert.Equal("out", Text(doc));
        Assert.Contains("w:customXml", System.Text.Encoding.UTF8.GetString(SaveBytes(doc, SaveFormat.FlatOpc)));
    }

    [Fact]
    public void Recorded_revisions_are_objects_on_their_runs()
    {
        Document doc = Paragraphs("Keep ");
        var when = new DateTime(2024, 5, 6, 7, 8, 9);
        doc.StartTrackRevisions("Ann", when);
        var builder = new DocumentBuilder(doc);
        builder.MoveToDocumentEnd();
        builder.Write("two");
        doc.StopTrackRevisions();
        Revision revision = Assert.Single(doc.Revisions);
        Assert.Equal(("Ann", when, RevisionType.Insertion), (revision.Author, revision.DateTime, revision.RevisionType));
        Run run = Assert.IsType<Run>(revision.ParentNode);
        Assert.Equal("two", run.Text);
        revision.Reject();
        Assert.Equal("Keep ", Text(doc));
        Assert.Empty(doc.Revisions);
        Assert.Throws<InvalidOperationException>(() => revision.Reject());
    }

    [Fact]
    public void Adjacent_revisions_of_one_author_and_kind_form_a_group()
    {
        Document doc = Read(Ins(1, "Ann", "one ") + Ins(2, "Ann", "two ") + Ins(3, "Bob", "three ")
            + Plain("gap ") + Ins(4, "Bob", "four ") + Del(5, "Bob", "five"));
        RevisionGroupCollection groups = doc.Revisions.Groups;
        Assert.Equal(new[] { ("Ann", RevisionType.Insertion, "one two "), ("Bob", RevisionType.Insertion, "three "),
                ("Bob", RevisionType.Insertion, "four "), ("Bob", RevisionType.Deletion, "five") },
            groups.Select(g => (g.Author, g.RevisionType, g.Text)));
        Assert.Equal("one two ", doc.Revisions[1].Group.Text);
        Assert.Equal("five", doc.Revisions[4].Group.Text);
        Assert.Empty(Paragraphs("plain").Revisions.Groups);
    }
}
