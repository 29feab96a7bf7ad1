// The library's collection classes: node-tree collections are live views (marks added or
// removed anywhere below the root show at once), keyed collections keep their order and
// compare names without case, indexers refuse what is outside the collection with
// ArgumentOutOfRangeException (the binding's "index out of range"), and built-in document
// properties read and write the named properties.
using System;
using System.Collections.Generic;
using System.Linq;
using Morvax.Velto.Properties;
using Morvax.Velto.Saving;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class CollectionTests
{
    [Fact]
    public void BookmarksAreALiveViewOfTheNodeTree()
    {
        Document doc = Paragraphs("one", "two");
        var bookmarks = new BookmarkCollection(doc);
        Assert.Equal(0, bookmarks.Count);
        Paragraph second = doc.FirstSection!.Body!.Paragraphs[1];
        second.PrependChild(new BookmarkStart(doc, "Total"));
        second.AppendChild(new BookmarkEnd(doc, "Total"));
        Assert.Equal(1, bookmarks.Count);
        Assert.Equal("Total", bookmarks[0].Name);
        Assert.Same(bookmarks["total"]!.BookmarkStart, bookmarks[0].BookmarkStart);
        Assert.Null(bookmarks["missing"]);
        Assert.Throws<ArgumentOutOfRangeException>(() => bookmarks[1]);
        Assert.Throws<ArgumentOutOfRangeException>(() => bookmarks[-1]);

        bookmarks[0].Name = "Sum";
        Assert.Equal("Sum", bookmarks[0].BookmarkEnd!.Name);
        bookmarks.Remove("sum");
        Assert.Equal(0, bookmarks.Count);
        Assert.Empty(doc.GetChildNodes(NodeType.BookmarkEnd, true).ToArray());
        Assert.Equal("two", second.GetText().Trim());
    }

    [Fact]
    public void EnumeratingANodeViewWalksASnapshot()
    {
        Document doc = Paragraphs("a", "b");
        Paragraph first = doc.FirstSection!.Body!.FirstParagraph!;
        foreach (string name in new[] { "x", "y" })
            first.AppendChild(new BookmarkStart(doc, name));
        var bookmarks = new BookmarkCollection(doc);
        var seen = new List<string>();
        foreach (Bookmark bookmark in bookmarks)
        {
            seen.Add(bookmark.Name);
            bookmark.Remove();  // changing the tree while walking it
        }
        Assert.Equal(new[] { "x", "y" }, seen);
        Assert.Equal(0, bookmarks.Count);
    }

    [Fact]
    public void VariablesAreKeptInOrderOfNameAndFoundWithoutCase()
    {
        var variables = new Document().Variables;
        variables.Add("beta", "2");
        variables.Add("Alpha", "1");
        variables.Add("BETA", "3");  // the name is taken: the value changes
        Assert.Equal(new[] { "Alpha", "beta" }, variables.Select(v => v.Key));
        Assert.Equal("3", variables["Beta"]);
        Assert.Equal(1, variables.IndexOfKey("BETA"));
        variables[0] = "one";
        Assert.Equal("one", variables["alpha"]);
        Assert.Throws<ArgumentOutOfRangeException>(() => variables[2]);
        Assert.Throws<ArgumentNullException>(() => variables[0] = null!);
        Assert.Throws<ArgumentException>(() => variables.Add("", "x"));
    }

    [Fact]
    public void BuiltInPropertiesReadAndWriteTheNamedProperties()
    {
        var doc = new Document();
        BuiltInDocumentProperties builtIn = doc.BuiltInDocumentProperties;
        builtIn.Title = "Minutes";
        Assert.Equal("Minutes", builtIn["TITLE"]!.Value);
        builtIn[0].Value = "Agenda";
        Assert.Equal("Agenda", builtIn.Title);
        builtIn["Words"]!.Value = 12;
        Assert.Equal(12, builtIn.Words);
        Assert.Equal(builtIn.Count, builtIn.Count());
        Assert.Throws<NotSupportedException>(() => builtIn.Clear());

        CustomDocumentProperties custom = doc.CustomDocumentProperties;
        custom.Add("Client", "Acme");
        Assert.Equal("Client", custom[0].Name);
        custom.RemoveAt(0);
        Assert.Equal(0, custom.Count);
    }

    [Fact]
    public void HeadersAndFootersAreFoundByKind()
    {
        var doc = new Document();
        Section section = doc.FirstSection!;
        section.AppendChild(new HeaderFooter(doc, HeaderFooterType.FooterFirst));
        HeaderFooterCollection all = section.HeadersFooters;
        Assert.Same(all[0], all.FooterFirst);
        Assert.Null(all.HeaderPrimary);
        Assert.Null(all[HeaderFooterType.FooterPrimary]);
    }

    [Fact]
    public void KeyedAndFixedCollectionsRefuseWhatIsOutside()
    {
        var levels = new BookmarksOutlineLevelCollection();
        levels.Add("Intro", 1);
        levels.Add("intro", 2);
        Assert.Equal(1, levels.Count);
        Assert.Equal(2, levels["INTRO"]);
        Assert.Throws<ArgumentOutOfRangeException>(() => levels[0] = 10);
        Assert.Throws<KeyNotFoundException>(() => levels["none"]);

        var tabs = new TabStopCollection();
        tabs.Add(72, TabAlignment.Left, TabLeader.None);
        tabs.Add(36, TabAlignment.Center, TabLeader.Dots);
        tabs.Add(72, TabAlignment.Right, TabLeader.None);
        Assert.Equal(new[] { 36.0, 72.0 }, new[] { tabs[0].Position, tabs[1].Position });
        Assert.Equal(TabAlignment.Right, tabs[1].Alignment);

        var conditional = new ConditionalStyleCollection();
        Assert.Equal(12, conditional.Count);
        Assert.Equal(ConditionalStyleType.BottomRightCell, conditional.BottomRightCell.Type);
        Assert.Equal(ConditionalStyleType.OddColumnBanding, conditional[ConditionalStyleType.OddColumnBanding].Type);

        var revisions = Paragraphs("x").Revisions;
        Assert.Throws<ArgumentOutOfRangeException>(() => revisions[0]);
        Assert.Empty(revisions);
        Assert.Throws<NotSupportedException>(() => new BorderCollection()[BorderType.Single]);
    }
}
