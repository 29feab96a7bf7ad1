// The tree operations and builder cursor that the writers depend on: links
// stay consistent whatever order nodes are moved in, and the builder keeps
// working when the tree is changed behind its back.
using System;
using System.Linq;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class TreeTests
{
    private static (Document Doc, Paragraph Paragraph, Run[] Runs) ThreeRuns()
    {
        var doc = new Document();
        Paragraph paragraph = doc.FirstSection!.Body!.FirstParagraph!;
        Run[] runs = { new(doc, "a"), new(doc, "b"), new(doc, "c") };
        foreach (Run run in runs)
            paragraph.AppendChild(run);
        return (doc, paragraph, runs);
    }

    private static void AssertLinked(CompositeNode parent, params Node[] expected)
    {
        Assert.Equal(expected.Length, parent.Count);
        Assert.Equal(expected.FirstOrDefault(), parent.FirstChild);
        Assert.Equal(expected.LastOrDefault(), parent.LastChild);
        for (int i = 0; i < expected.Length; i++)
        {
            Assert.Same(parent, expected[i].ParentNode);
            Assert.Equal(i == 0 ? null : expected[i - 1], expected[i].PreviousSibling);
            Assert.Equal(i == expected.Length - 1 ? null : expected[i + 1], expected[i].NextSibling);
            Assert.Equal(i, parent.IndexOf(expected[i]));
        }
    }

    [Fact]
    public void MovingANodeNextToItsOwnNeighbourKeepsTheLinksConsistent()
    {
        var (_, paragraph, runs) = ThreeRuns();
        paragraph.InsertAfter(runs[1], runs[0]);
        AssertLinked(paragraph, runs[0], runs[1], runs[2]);
        paragraph.InsertAfter(runs[0], runs[1]);
        AssertLinked(paragraph, runs[1], runs[0], runs[2]);
        paragraph.InsertBefore(runs[2], runs[1]);
        AssertLinked(paragraph, runs[2], runs[1], runs[0]);
        paragraph.InsertAfter(runs[0], null);
        AssertLinked(paragraph, runs[0], runs[2], runs[1]);
        paragraph.InsertBefore(runs[0], null);
        AssertLinked(paragraph, runs[2], runs[1], runs[0]);
        paragraph.InsertBefore(runs[1], runs[1]);
        AssertLinked(paragraph, runs[2], runs[1], runs[0]);
        paragraph.RemoveChild(runs[1]);
        AssertLinked(paragraph, runs[2], runs[0]);
        Assert.Null(runs[1].ParentNode);
        paragraph.RemoveAllChildren();
        AssertLinked(paragraph);
    }

    [Fact]
    public void WalksFollowTheEnumeratorContractAndTheLiveTree()
    {
        var (doc, paragraph, runs) = ThreeRuns();
        var second = new Paragraph(doc);
        second.AppendChild(new Run(doc, "d"));
        doc.FirstSection!.Body!.AppendChild(second);

        // Deep walks go in document order, shallow ones stay among the children.
        static System.Collections.Generic.IEnumerable<Node> InOrder(CompositeNode node)
        {
            for (Node? child = node.FirstChild; child is not null; child = child.NextSibling)
            {
                yield return child;
                if (child is CompositeNode composite)
                    foreach (Node below in InOrder(composite))
                        yield return below;
            }
        }
        Assert.Equal(InOrder(doc).ToArray(), doc.GetChildNodes(NodeType.Any, true).ToArray());
        Assert.Equal(InOrder(doc).OfType<Run>().ToArray(), doc.GetChildNodes(NodeType.Run, true).ToArray());
        Assert.Equal(4, doc.GetChildNodes(NodeType.Run, true).Count);
        Assert.Empty(doc.GetChildNodes(NodeType.Run, false));

        using var walk = paragraph.GetChildNodes(NodeType.Run, false).GetEnumerator();
        Assert.Throws<InvalidOperationException>(() => walk.Current);
        Assert.True(walk.MoveNext());
        Assert.Same(runs[0], walk.Current);
        runs[0].Remove();                          // the current node may go
        Assert.True(walk.MoveNext());
        Assert.Same(runs[1], walk.Current);
        paragraph.AppendChild(new Run(doc, "e"));  // ahead of the walk: reached
        Assert.True(walk.MoveNext());
        Assert.True(walk.MoveNext());
        Assert.Equal("e", ((Run)walk.Current).Text);
        Assert.False(walk.MoveNext());
        Assert.False(walk.MoveNext());             // the end stays the end
        Assert.Throws<InvalidOperationException>(() => walk.Current);
        walk.Reset();
        Assert.True(walk.MoveNext());
        Assert.Same(runs[1], walk.Current);
    }

    [Fact]
    public void InsertionsThatWouldBreakTheTreeAreRefusedAndChangeNothing()
    {
        var (doc, paragraph, runs) = ThreeRuns();
        var other = new Document();
        Body body = doc.FirstSection!.Body!;

        Assert.Contains("different document", Assert.Throws<ArgumentException>(() => paragraph.AppendChild(new Run(other))).Message);
        Assert.Equal("Cannot insert a Paragraph node into a Paragraph node. (Parameter 'newChild')",
            Assert.Throws<ArgumentException>(() => paragraph.AppendChild(new Paragraph(doc))).Message);
        Assert.Throws<ArgumentException>(() => body.AppendChild(new Run(doc)));
        Assert.Throws<ArgumentException>(() => doc.AppendChild(doc));
        Assert.Throws<ArgumentException>(() => paragraph.InsertAfter(new Run(doc), new Run(doc)));
        Assert.Throws<ArgumentException>(() => body.RemoveChild(runs[0]));
        Assert.Throws<ArgumentNullException>(() => paragraph.AppendChild(null!));
        Assert.Throws<ArgumentNullException>(() => new Run(null!));
        AssertLinked(paragraph, runs);
    }

    [Fact]
    public void GetChildCountsFromEitherEndAndSearchesDeep()
    {
        var (doc, paragraph, runs) = ThreeRuns();
        Assert.Same(runs[2], paragraph.GetChild(NodeType.Run, -1, false));
        Assert.Same(runs[0], paragraph.GetChild(NodeType.Any, -3, false));
        Assert.Null(paragraph.GetChild(NodeType.Run, -4, false));
        Assert.Null(paragraph.GetChild(NodeType.Run, 3, false));
        Assert.Null(doc.GetChild(NodeType.Run, 0, false));
        Assert.Same(runs[1], doc.GetChild(NodeType.Run, 1, true));
        Assert.Equal(6, doc.GetChildNodes(NodeType.Any, true).Count);
    }

    [Fact]
    public void CollectionsAreLiveAndTheirIndexerCountsFromTheEnd()
    {
        var (doc, paragraph, runs) = ThreeRuns();
        RunCollection collection = paragraph.Runs;
        paragraph.AppendChild(new Run(doc, "d"));
        Assert.Equal(4, collection.Count);
        Assert.Equal("d", collection[-1].Text);
        Assert.Throws<ArgumentOutOfRangeException>(() => collection[4]);
        Assert.Throws<ArgumentOutOfRangeException>(() => collection[-5]);

        collection.Insert(0, new Run(doc, "first"));
        collection.Insert(collection.Count, new Run(doc, "last"));
        Assert.Equal("firstabcdlast", string.Concat(collection.ToArray().Select(r => r.Text)));
        collection.RemoveAt(1);
        collection.Remove(runs[1]);
        Assert.Throws<ArgumentException>(() => collection.Remove(runs[1]));
        Assert.Throws<ArgumentException>(() => doc.FirstSection!.Body!.Paragraphs.Add(new Run(doc)));

        // Enumerating a snapshot: clearing while iterating visits every node.
        int visited = 0;
        foreach (Node node in collection)
        {
            node.Remove();
            visited++;
        }
        Assert.Equal((4, 0), (visited, collection.Count));
    }

    [Fact]
    public void ReadsByIndexSeeEveryChangeMadeBetweenThem()
    {
        // Reads in order resume from the node read last; each change below moves what an
        // index names, and the next read must see it, deep collections included.
        var (doc, paragraph, runs) = ThreeRuns();
        RunCollection collection = paragraph.Runs;
        NodeCollection deep = doc.GetChildNodes(NodeType.Run, true);
        Assert.Same(runs[1], collection[1]);
        Assert.Same(runs[1], deep[1]);
        paragraph.InsertBefore(new Run(doc, "x"), runs[0]);
        Assert.Equal("a", collection[1].Text);
        Assert.Equal("a", ((Run)deep[1]).Text);
        Assert.Equal("b", collection[2].Text);
        runs[1].Remove();
        Assert.Equal("c", collection[2].Text);
        Assert.Equal("c", ((Run)deep[2]).Text);
        Assert.Throws<ArgumentOutOfRangeException>(() => collection[3]);
        Assert.Equal("x", collection[0].Text);
        Paragraph second = (Paragraph)doc.FirstSection!.Body!.AppendChild(new Paragraph(doc));
        second.AppendChild(new Run(doc, "y"));
        Assert.Equal("y", ((Run)deep[3]).Text);
        Assert.Equal("c", ((Run)deep[-2]).Text);
        Assert.Equal(new[] { "x", "a", "c", "y" }, Enumerable.Range(0, deep.Count).Select(i => ((Run)deep[i]).Text));
    }

    [Fact]
    public void TextEndsParagraphsWithCrAndSectionsWithFormFeed()
    {
        var builder = new DocumentBuilder();
        builder.Writeln("one");
        builder.Write("two");
        builder.InsertBreak(BreakType.SectionBreakNewPage);
        builder.Write("three");
        Assert.Equal("one\rtwo\fthree\f", builder.Document.GetText());
        Assert.Equal("two\f", builder.Document.FirstSection!.Body!.LastParagraph!.ToString());
        Assert.True(builder.Document.LastSection!.Body!.LastParagraph!.IsEndOfDocument);
        Assert.False(builder.Document.FirstSection!.Body!.LastParagraph!.IsEndOfDocument);
    }

    [Fact]
    public void CloneIsDeepAndIndependent()
    {
        Document doc = Paragraphs("a", "b");
        doc.DefaultTabStop = 20;
        doc.FirstSection!.Body!.FirstParagraph!.Runs[0].Font.Bold = true;

        Document copy = doc.Clone();
        copy.FirstSection!.Body!.FirstParagraph!.Runs[0].Text = "changed";
        copy.FirstSection!.Body!.FirstParagraph!.Runs[0].Font.Bold = false;

        Assert.Equal("a\rb\f", doc.GetText());
        Assert.True(doc.FirstSection.Body.FirstParagraph.Runs[0].Font.Bold);
        Assert.Equal(20, copy.DefaultTabStop);
        Assert.All(copy.GetChildNodes(NodeType.Any, true), node => Assert.Same(copy, node.Document));

        Node shallow = doc.FirstSection.Body.FirstParagraph.Clone(false);
        Assert.Equal((false, null, doc), (((CompositeNode)shallow).HasChildNodes, shallow.ParentNode, shallow.Document));
    }

    [Fact]
    public void JoinRunsMergesOnlyIdenticalNeighbours()
    {
        var builder = new DocumentBuilder();
        builder.Write("a");
        builder.Write("b");
        builder.Font.Size = 12;
        builder.Write("c");
        builder.Write("d");
        builder.Write("e");
        Assert.Equal(3, builder.Document.JoinRunsWithSameFormatting());
        Assert.Equal(new[] { "ab", "cde" }, builder.CurrentParagraph.Runs.ToArray().Select(r => r.Text));
    }

    [Fact]
    public void BlankPagesGoAndPagesWithTextStay()
    {
        var builder = new DocumentBuilder();
        builder.InsertBreak(BreakType.PageBreak);
        builder.Write("one");
        builder.InsertBreak(BreakType.PageBreak);
        builder.Writeln("  ");
        builder.InsertBreak(BreakType.PageBreak);
        builder.Write("two");
        builder.InsertBreak(BreakType.PageBreak);
        // An empty section that starts a page, but shares it with the
        // continuous section after it, which shows text.
        builder.InsertBreak(BreakType.SectionBreakNewPage);
        builder.InsertBreak(BreakType.SectionBreakContinuous);
        builder.Write("three");
        Document doc = builder.Document;
        Assert.Equal(6, doc.PageCount);

        doc.RemoveBlankPages();

        Assert.Equal(3, doc.PageCount);
        Assert.Equal("one  \r\ftwo\f\fthree\f", doc.GetText());
    }

    [Fact]
    public void BlankSectionsGoButOneSectionAlwaysStays()
    {
        var builder = new DocumentBuilder();
        builder.Write("a");
        builder.InsertBreak(BreakType.SectionBreakNewPage);
        builder.InsertBreak(BreakType.SectionBreakNewPage);
        builder.Write("b");
        builder.InsertBreak(BreakType.SectionBreakOddPage);
        builder.Document.RemoveBlankPages();
        Assert.Equal(("a\fb\f", 2), (builder.Document.GetText(), builder.Document.Sections.Count));

        var empty = new Document();
        empty.AppendChild(new Section(empty));
        Section first = empty.FirstSection!;
        empty.RemoveBlankPages();
        Assert.Same(first, empty.Sections[0]);
        Assert.Equal(1, empty.Sections.Count);
    }

    [Fact]
    public void PageCountFollowsTheAmountOfText()
    {
        Assert.Equal(1, new Document().PageCount);
        var builder = new DocumentBuilder();
        for (int i = 0; i < 60; i++)
            builder.Writeln("line");
        Assert.Equal(2, builder.Document.PageCount);
    }
}

public class BuilderTests
{
    [Fact]
    public void WriteSplitsParagraphsOnEveryLineEnd()
    {
        var builder = new DocumentBuilder();
        builder.Write("a\r\nb\rc\nd");
        Assert.Equal("a\rb\rc\rd\f", builder.Document.GetText());
    }

    [Fact]
    public void WritingAtTheStartInsertsBeforeExistingText()
    {
        Document doc = Paragraphs("end");
        var builder = new DocumentBuilder(doc);
        Assert.True(builder.IsAtStartOfParagraph);
        Assert.False(builder.IsAtEndOfParagraph);
        builder.Write("start ");
        builder.InsertParagraph();
        Assert.Equal("start \rend\f", doc.GetText());
        builder.MoveToDocumentEnd();
        Assert.True(builder.IsAtEndOfParagraph);
        builder.Write("!");
        Assert.Equal("start \rend!\f", doc.GetText());
    }

    [Fact]
    public void NewParagraphsInheritTheParagraphFormatAndRunsCopyTheFont()
    {
        var builder = new DocumentBuilder();
        builder.ParagraphFormat.Alignment = ParagraphAlignment.Right;
        builder.Font.Italic = true;
        builder.Writeln("a");
        builder.Font.Italic = false;
        builder.Write("b");
        Paragraph[] paragraphs = builder.Document.FirstSection!.Body!.Paragraphs.ToArray();
        Assert.All(paragraphs, p => Assert.Equal(ParagraphAlignment.Right, p.ParagraphFormat.Alignment));
        Assert.Equal((true, false), (paragraphs[0].Runs[0].Font.Italic, paragraphs[1].Runs[0].Font.Italic));
    }

    [Fact]
    public void BuilderRecoversWhenItsParagraphIsRemoved()
    {
        Document doc = Paragraphs("a", "b");
        var builder = new DocumentBuilder(doc);
        builder.CurrentParagraph.Remove();
        builder.Write("x");
        Assert.Equal("bx\f", doc.GetText());

        doc.RemoveAllChildren();
        builder.Write("y");
        Assert.Equal("y\f", doc.GetText());
    }

    [Fact]
    public void SwitchingDocumentsMovesTheCursorToTheNewOne()
    {
        var builder = new DocumentBuilder();
        var other = Paragraphs("other");
        builder.Document = other;
        builder.Write(">");
        Assert.Equal(">other\f", other.GetText());
        Assert.Throws<ArgumentNullException>(() => builder.Document = null!);
        Assert.Throws<ArgumentOutOfRangeException>(() => builder.InsertBreak((BreakType)99));
    }
}
