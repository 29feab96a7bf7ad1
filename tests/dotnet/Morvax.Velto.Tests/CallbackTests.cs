// The document's callbacks: the node-changing callback hears of every insertion and removal
// (a move is a removal then an insertion), before and after; a callback that throws stops
// the change before the tree is touched; warnings from saving reach the warning callback.
using System;
using System.Collections.Generic;
using System.IO;
using Xunit;

namespace Morvax.Velto.Tests;

public class CallbackTests
{
    private sealed class Recorder : INodeChangingCallback
    {
        public List<string> Events { get; } = new();
        public bool RefuseInserts { get; set; }

        public void NodeInserting(NodeChangingArgs args)
        {
            Assert.Null(args.Node.ParentNode);
            Events.Add($"inserting {args.Node.NodeType} into {args.NewParent!.NodeType}");
            if (RefuseInserts) throw new InvalidOperationException("no inserts");
        }

        public void NodeInserted(NodeChangingArgs args)
        {
            Assert.Same(args.NewParent, args.Node.ParentNode);
            Events.Add($"inserted {args.Node.NodeType}");
        }

        public void NodeRemoving(NodeChangingArgs args)
        {
            Assert.Same(args.OldParent, args.Node.ParentNode);
            Events.Add($"removing {args.Node.NodeType} from {args.OldParent!.NodeType}");
        }

        public void NodeRemoved(NodeChangingArgs args)
        {
            Assert.Null(args.Node.ParentNode);
            Events.Add($"removed {args.Node.NodeType}");
        }
    }

    [Fact]
    public void InsertionsRemovalsAndMovesAreHeardBeforeAndAfter()
    {
        var doc = new Document();
        var body = doc.FirstSection!.Body!;
        var recorder = new Recorder();
        doc.NodeChangingCallback = recorder;
        var paragraph = (Paragraph)body.AppendChild(new Paragraph(doc));
        paragraph.AppendChild(new Run(doc, "x"));
        paragraph.Remove();
        Assert.Equal(new[]
        {
            "inserting Paragraph into Body", "inserted Paragraph",
            "inserting Run into Paragraph", "inserted Run",
            "removing Paragraph from Body", "removed Paragraph",
        }, recorder.Events);

        recorder.Events.Clear();
        var second = (Paragraph)body.AppendChild(new Paragraph(doc));
        recorder.Events.Clear();
        body.PrependChild(second);  // a move
        Assert.Equal(new[] { "removing Paragraph from Body", "removed Paragraph", "inserting Paragraph into Body", "inserted Paragraph" },
            recorder.Events);

        doc.NodeChangingCallback = null;
        recorder.Events.Clear();
        body.AppendChild(new Paragraph(doc));
        Assert.Empty(recorder.Events);
    }

    [Fact]
    public void ACallbackThatThrowsLeavesTheTreeAsItWas()
    {
        var doc = new Document();
        var body = doc.FirstSection!.Body!;
        int before = body.Count;
        doc.NodeChangingCallback = new Recorder { RefuseInserts = true };
        Assert.Throws<InvalidOperationException>(() => body.AppendChild(new Paragraph(doc)));
        Assert.Equal(before, body.Count);
    }

    [Fact]
    public void SavingAsTextReportsATablesLostGrid()
    {
        var doc = new Document();
        doc.FirstSection!.Body!.AppendChild(new Tables.Table(doc));
        var warnings = new WarningInfoCollection();
        doc.WarningCallback = warnings;
        doc.Save(new MemoryStream(), SaveFormat.Docx);
        Assert.Equal(0, warnings.Count);
        doc.Save(new MemoryStream(), SaveFormat.Text);
        Assert.Equal(WarningType.MajorFormattingLoss, Assert.Single(warnings).WarningType);
    }
}
