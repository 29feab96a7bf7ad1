// A collection walked before reads the nodes its last complete walk kept while the tree is
// unchanged. Whatever happens to the tree during a walk, the walk must hand out exactly what a
// live walk of a collection that kept nothing hands out: both are driven side by side over two
// identical documents, with the same changes made at the same steps.
using System;
using System.Collections.Generic;
using System.Linq;
using Morvax.Velto.Tables;
using Xunit;

namespace Morvax.Velto.Tests;

public class KeptWalkTests
{
    // Paragraphs "p0".."p{n-1}", each with two runs, and a one-cell table after every fifth;
    // the same seed gives the same document.
    private static Document Build(int paragraphs)
    {
        var doc = new Document();
        Body body = doc.FirstSection!.Body!;
        body.RemoveAllChildren();
        for (int i = 0; i < paragraphs; i++)
        {
            body.AppendChild(ParagraphOf(doc, $"p{i}"));
            if (i % 5 == 4)
                body.AppendChild(TableOf(doc, $"t{i}"));
        }
        return doc;
    }

    private static Paragraph ParagraphOf(Document doc, string text)
    {
        var paragraph = new Paragraph(doc);
        paragraph.AppendChild(new Run(doc, text + "a"));
        paragraph.AppendChild(new Run(doc, text + "b"));
        return paragraph;
    }

    private static Table TableOf(Document doc, string text)
    {
        var table = new Table(doc);
        var row = new Row(doc);
        var cell = new Cell(doc);
        cell.AppendChild(ParagraphOf(doc, text));
        row.AppendChild(cell);
        table.AppendChild(row);
        return table;
    }

    // The collections under test, the same one of each document.
    private static readonly Func<Document, NodeCollection>[] Collections =
    {
        d => d.FirstSection!.Body!.Paragraphs,                             // children of one kind, tables between
        d => d.FirstSection!.Body!.GetChildNodes(NodeType.Any, false),     // every child
        d => d.GetChildNodes(NodeType.Paragraph, true),                    // deep, cells' paragraphs too
        d => d.GetChildNodes(NodeType.Run, true),
        d => d.GetChildNodes(NodeType.Any, true),
    };

    private const int Kinds = 9;

    // Change number `kind` made at the node just handed out (or, for null, before the first step).
    private static void Change(Document doc, Node? current, int kind, string label)
    {
        Body body = doc.FirstSection!.Body!;
        Node made = current is Run ? new Run(doc, label) : ParagraphOf(doc, label);
        CompositeNode? parent = current?.ParentNode;
        bool fits = current is Run or Paragraph or Table && parent is not null;
        switch (kind)
        {
            case 0 when fits:
                current!.Remove();
                break;
            case 1 when fits:
                parent!.InsertAfter(made, current);
                break;
            case 2 when fits:
                current!.NextSibling?.Remove();
                break;
            case 3 when fits:
                if (current!.NextSibling is { } next)
                    parent!.InsertAfter(made, next);
                break;
            case 4:
                if (made is Run)
                    body.LastParagraph!.AppendChild(made);
                else
                    body.AppendChild(made);
                break;
            case 5 when fits && current is not Run:
                parent!.InsertAfter(TableOf(doc, label), current);
                break;
            case 6 when fits:
                parent!.AppendChild(current!);  // moved to the end of its parent
                break;
            case 7:
                // The structure version moves, the tree ends as it was.
                Paragraph spare = ParagraphOf(doc, label);
                body.AppendChild(spare);
                spare.Remove();
                break;
            case 8:
                body.FirstChild?.Remove();
                break;
        }
    }

    private static string Describe(Node? node) => node is null ? "(end)" : $"{node.NodeType}:{node.GetText()}";

    // Walks both collections side by side, changing both documents alike, and returns what was seen.
    private static void WalkAlike(NodeCollection kept, NodeCollection fresh, Document keptDoc, Document freshDoc,
        IReadOnlyDictionary<int, int> changes)
    {
        using IEnumerator<Node> a = kept.GetEnumerator();
        using IEnumerator<Node> b = fresh.GetEnumerator();
        if (changes.TryGetValue(-1, out int before))
        {
            Change(keptDoc, null, before, "x");
            Change(freshDoc, null, before, "x");
        }
        for (int step = 0; step < 300; step++)
        {
            bool more = a.MoveNext();
            Assert.Equal(b.MoveNext(), more);
            if (!more)
                break;
            Assert.Equal(Describe(b.Current), Describe(a.Current));
            if (changes.TryGetValue(step, out int kind))
            {
                Change(keptDoc, a.Current, kind, $"n{step}");
                Change(freshDoc, b.Current, kind, $"n{step}");
            }
        }
        Assert.Equal(Describe(freshDoc.FirstSection!.Body!), Describe(keptDoc.FirstSection!.Body!));
        Assert.Equal(fresh.Select(Describe), kept.Select(Describe));
    }

    [Fact]
    public void AWalkReadFromTheKeptNodesChangesAsTheLiveWalkDoes()
    {
        var random = new Random(11);
        for (int round = 0; round < 400; round++)
        {
            int which = round % Collections.Length;
            Document keptDoc = Build(12), freshDoc = Build(12);
            NodeCollection kept = Collections[which](keptDoc);
            // Two complete walks: the second one is kept for the third.
            Assert.Equal(kept.ToList(), kept.ToList());
            Assert.NotNull(kept.Matches.CurrentRecord);
            Assert.Equal(kept.Count, kept.ToArray().Length);
            var changes = new Dictionary<int, int>();
            int count = random.Next(1, 4);
            for (int i = 0; i < count; i++)
                changes[random.Next(-1, 30)] = random.Next(Kinds);
            WalkAlike(kept, Collections[which](freshDoc), keptDoc, freshDoc, changes);
        }
    }

    [Fact]
    public void EveryChangeAtEveryStepOfEachCollection()
    {
        foreach (var collection in Collections)
        {
            int length = collection(Build(4)).Count;
            for (int kind = 0; kind < Kinds; kind++)
            {
                for (int step = -1; step <= length; step++)
                {
                    Document keptDoc = Build(4), freshDoc = Build(4);
                    NodeCollection kept = collection(keptDoc);
                    kept.ToList();
                    kept.ToList();
                    WalkAlike(kept, collection(freshDoc), keptDoc, freshDoc, new Dictionary<int, int> { [step] = kind });
                }
            }
        }
    }

    [Fact]
    public void TheKeptNodesServeCountAndIndexOnlyWhileTheTreeIsUnchanged()
    {
        Document doc = Build(6);
        ParagraphCollection paragraphs = doc.FirstSection!.Body!.Paragraphs;
        List<Node> first = paragraphs.ToList();
        Assert.Null(paragraphs.Matches.CurrentRecord);  // a first walk keeps nothing
        Assert.Equal(first, paragraphs.ToList());  // the second walk is kept
        Assert.NotNull(paragraphs.Matches.CurrentRecord);
        Assert.Equal(first, paragraphs.ToList());  // and read by the third
        Assert.Equal(6, paragraphs.Count);
        Assert.Same(first[5], paragraphs[5]);
        Assert.Throws<ArgumentOutOfRangeException>(() => paragraphs[6]);

        first[2].Remove();
        Assert.Equal(5, paragraphs.Count);
        Assert.Same(first[3], paragraphs[2]);
        Assert.Equal(first.Where((_, i) => i != 2), paragraphs.ToList());
        doc.FirstSection!.Body!.AppendChild(first[2]);
        Assert.Equal(6, paragraphs.Count);
        Assert.Same(first[2], paragraphs[5]);
        Assert.Same(first[2], paragraphs.ToList()[^1]);

        // A walk left part-way, or one during which the tree changed, keeps nothing wrong.
        using (IEnumerator<Node> partial = paragraphs.GetEnumerator())
            partial.MoveNext();
        Assert.Equal(6, paragraphs.Count);
        foreach (Node node in paragraphs)
        {
            if (ReferenceEquals(node, first[0]))
                doc.FirstSection!.Body!.AppendChild(ParagraphOf(doc, "late"));
        }
        Assert.Equal(7, paragraphs.Count);
        Assert.Equal("late", paragraphs[6].GetText().TrimEnd('\r')[..4]);
    }
}
