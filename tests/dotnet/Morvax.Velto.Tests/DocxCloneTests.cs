// Copies of loaded content: a cloned document, and nodes cloned within their
// document, save what the original saves (unknown markup, revision records,
// notes, headers), and settling or editing one leaves the other's save as it was.
using System;
using System.IO;
using System.IO.Compression;
using System.Linq;
using System.Text;
using System.Xml.Linq;
using Morvax.Velto.Notes;
using Morvax.Velto.Tables;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class DocxCloneTests
{
    private const string Ns = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
        + "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
        + "xmlns:w14=\"http://schemas.microsoft.com/office/word/2010/wordml\" xmlns:f=\"urn:example:future\" "
        + "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\" mc:Ignorable=\"w14 f\"";

    private const string Stamp = "w:author=\"Ann\" w:date=\"2024-01-02T03:04:05Z\"";

    private static readonly XNamespace W14 = "http://schemas.microsoft.com/office/word/2010/wordml";

    // Read as a stream: a paragraph and a run with attributes and children
    // of newer vocabularies and format changes, a table; read through the
    // element tree: a paragraph with a bookmark, a note and a link.
    private const string Body =
        $"<w:p w14:paraId=\"1A2B3C4D\" w:rsidR=\"00AB12CD\"><w:pPr><w:jc w:val=\"center\"/><w:pPrChange w:id=\"1\" {Stamp}><w:pPr/></w:pPrChange></w:pPr>"
        + $"<w:r w:rsidR=\"00AB12CD\"><w:rPr><w:b/><w:rPrChange w:id=\"2\" {Stamp}><w:rPr/></w:rPrChange></w:rPr><w:t>bold</w:t></w:r>"
        + "<f:gadget f:size=\"3\"/></w:p>"
        + "<w:p w14:paraId=\"0000BBBB\"><w:bookmarkStart w:id=\"0\" w:name=\"mark\" w:colFirst=\"1\" w:colLast=\"1\"/><w:r><w:t>Noted</w:t></w:r>"
        + "<w:bookmarkEnd w:id=\"0\"/><w:r><w:footnoteReference w:id=\"2\"/></w:r>"
        + "<w:hyperlink r:id=\"rIdLink\" w:history=\"1\"><w:r><w:t>site</w:t></w:r></w:hyperlink></w:p>"
        + "<w:tbl><w:tblPr><w:tblW w:w=\"5000\" w:type=\"pct\"/></w:tblPr><w:tblGrid><w:gridCol w:w=\"2000\"/></w:tblGrid>"
        + "<w:tr w14:paraId=\"0000AAAA\"><w:tc><w:tcPr><w:tcW w:w=\"2000\" w:type=\"dxa\"/><f:shade/></w:tcPr>"
        + "<w:p><w:r><w:t>cell</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"
        + "<w:p><w:r><w:t>last</w:t></w:r></w:p>"
        + "<w:sectPr><w:headerReference w:type=\"default\" r:id=\"rIdH\"/><w:pgSz w:w=\"11906\" w:h=\"16838\"/></w:sectPr>";

    private const string Footnotes =
        "<w:footnotes " + Ns + "><w:footnote w:type=\"separator\" w:id=\"-1\"><w:p><w:r><w:separator/></w:r></w:p></w:footnote>"
        + "<w:footnote w:type=\"continuationSeparator\" w:id=\"0\"><w:p><w:r><w:continuationSeparator/></w:r></w:p></w:footnote>"
        + "<w:footnote w:id=\"2\"><w:p w14:paraId=\"22222222\"><w:r><w:rPr><w:i/>"
        + $"<w:rPrChange w:id=\"3\" {Stamp}><w:rPr/></w:rPrChange></w:rPr><w:t>The note.</w:t></w:r></w:p></w:footnote></w:footnotes>";

    private const string Header =
        "<w:hdr " + Ns + "><w:p w14:paraId=\"33333333\"><w:r><w:t>head</w:t></w:r><f:gadget/></w:p></w:hdr>";

    private static readonly string[] Parts = { "word/document.xml", "word/footnotes.xml", "word/header1.xml" };

    private static byte[] ForeignPackage() => WordPackage($"<w:document {Ns}><w:body>{Body}</w:body></w:document>",
        new[] { ("rIdLink", "https://example.com/") },
        WordPart("rIdF", "footnotes.xml", "footnotes", Footnotes), WordPart("rIdH", "header1.xml", "header", Header));

    private static Document Load() => new(new MemoryStream(ForeignPackage()));

    // The saved parts' text, by name.
    private static string[] PartsOf(byte[] package)
    {
        using var zip = new ZipArchive(new MemoryStream(package), ZipArchiveMode.Read);
        return Parts.Select(name =>
        {
            using var reader = new StreamReader(zip.GetEntry(name)!.Open(), Encoding.UTF8);
            return reader.ReadToEnd();
        }).ToArray();
    }

    private static string[] Saved(Document doc) => PartsOf(SaveBytes(doc, SaveFormat.Docx));

    private static Body BodyOf(Document doc) => doc.FirstSection!.Body!;

    private static Run LastRun(Document doc) => BodyOf(doc).LastParagraph!.Runs[0];

    [Theory]
    [InlineData(false)]
    [InlineData(true)]
    public void ACloneSavesWhatTheOriginalSaves(bool edited)
    {
        Document doc = Load();
        Document copy = doc.Clone();
        if (edited)
        {
            // The body is then written from the nodes, each from its origin.
            LastRun(doc).Text = "changed";
            LastRun(copy).Text = "changed";
        }
        string[] original = Saved(doc);
        Assert.Equal(original, Saved(copy));
        // What the model does not know is in both.
        foreach (string kept in new[] { "w14:paraId=\"1A2B3C4D\"", "f:gadget", "w:pPrChange", "w:rPrChange", "f:shade", "w:colFirst" })
            Assert.Contains(kept, original[0]);
        Assert.Contains("w14:paraId=\"22222222\"", original[1]);
        Assert.Contains("w:rPrChange", original[1]);
        Assert.Contains("f:gadget", original[2]);
        Assert.Equal(3, copy.Revisions.Count);
    }

    // Settling revisions edits the markup the nodes were read from: in the
    // document whose revisions are settled only.
    [Theory]
    [InlineData(false)]
    [InlineData(true)]
    public void SettlingOrEditingOneLeavesTheOthersSaveAsItWas(bool inCopy)
    {
        Document doc = Load();
        Document copy = doc.Clone();
        (Document settled, Document other) = inCopy ? (copy, doc) : (doc, copy);
        string[] before = Saved(other);
        settled.Revisions.AcceptAll();
        LastRun(settled).Text = "changed";
        ((Paragraph)BodyOf(settled).FirstChild!).ParagraphFormat.Alignment = ParagraphAlignment.Right;
        string[] after = Saved(settled);
        Assert.DoesNotContain("Change", after[0]);
        Assert.DoesNotContain("Change", after[1]);
        Assert.Contains("w14:paraId=\"22222222\"", after[1]);
        Assert.Equal(before, Saved(other));
        Assert.Equal(3, other.Revisions.Count);
        // And the other way round, after the first has been saved.
        other.Revisions.RejectAll();
        Assert.Equal(after, Saved(settled));
    }

    private static XElement Normalized(XElement element) => new(element.Name,
        element.Attributes().Where(a => !a.IsNamespaceDeclaration).OrderBy(a => a.Name.ToString()),
        element.Nodes().Select(n => n is XElement child ? Normalized(child) : n));

    private static XElement[] BlocksOf(string mainPart) =>
        XDocument.Parse(mainPart).Root!.Element(W + "body")!.Elements().Select(Normalized).ToArray();

    [Fact]
    public void BlocksClonedWithinTheDocumentSaveAsTheirOriginals()
    {
        Document doc = Load();
        Body body = BodyOf(doc);
        Node[] originals = body.GetChildNodes(NodeType.Any, false).Cast<Node>().Take(3).ToArray();
        foreach (Node node in originals)
            body.InsertBefore(node.Clone(true), body.LastChild);
        // A run alone, into another paragraph.
        body.LastParagraph!.AppendChild(((Paragraph)originals[0]).Runs[0].Clone(true));
        string[] saved = Saved(doc);
        XElement[] blocks = BlocksOf(saved[0]);
        Assert.True(XNode.DeepEquals(blocks[0].Element(W + "r"), blocks[6].Elements(W + "r").Last()));
        // The first paragraph (format changes, unknown markup) and the table
        // come back as they were.
        Assert.True(XNode.DeepEquals(blocks[0], blocks[3]));
        Assert.True(XNode.DeepEquals(blocks[2], blocks[5]));
        Assert.Contains(blocks[3].Elements(), e => e.Name.LocalName == "gadget");
        // The bookmark keeps its other attributes under an identifier of its
        // own; the note gets one of its own too, with its markup as read.
        XElement[] starts = blocks.SelectMany(b => b.Elements(W + "bookmarkStart")).ToArray();
        Assert.Equal(2, starts.Length);
        Assert.NotEqual((string?)starts[0].Attribute(W + "id"), (string?)starts[1].Attribute(W + "id"));
        Assert.All(starts, s => Assert.Equal("1", (string?)s.Attribute(W + "colFirst")));
        Assert.Equal(2, blocks.SelectMany(b => b.Descendants(W + "hyperlink")).Count());
        XElement[] notes = XDocument.Parse(saved[1]).Root!.Elements(W + "footnote").Skip(2).ToArray();
        Assert.Equal(new[] { "2", "3" }, notes.Select(n => (string)n.Attribute(W + "id")!));
        Assert.All(notes, n => Assert.Equal("22222222", (string?)n.Element(W + "p")!.Attribute(W14 + "paraId")));
        Assert.Equal(7, doc.Revisions.Count);

        // Settling the copies' revisions leaves the originals'.
        foreach (Revision revision in doc.Revisions.ToArray().Skip(3))
            revision.Accept();
        Assert.Equal(3, doc.Revisions.Count);
        blocks = BlocksOf(Saved(doc)[0]);
        Assert.Contains(blocks[0].Descendants(), e => e.Name.LocalName == "rPrChange");
        Assert.DoesNotContain(blocks[3].Descendants(), e => e.Name.LocalName.EndsWith("Change", StringComparison.Ordinal));
        Document back = new(new MemoryStream(SaveBytes(doc, SaveFormat.Docx)));
        Assert.Equal(doc.GetText(), back.GetText());
    }

    // A note cloned with its paragraph stands in the original's place in the
    // notes part once the original is gone.
    [Fact]
    public void ANoteClonedWithinTheDocumentTakesTheOriginalsPlaceWhenItGoes()
    {
        Document doc = Load();
        string[] before = Saved(doc);
        Node noted = BodyOf(doc).GetChildNodes(NodeType.Any, false)[1];
        noted.ParentNode!.InsertAfter(noted.Clone(true), noted);
        noted.Remove();
        string[] after = Saved(doc);
        Assert.Equal(before[1], after[1]);
        Assert.Single(XDocument.Parse(after[0]).Descendants(W + "footnoteReference"), r => (string?)r.Attribute(W + "id") == "2");
    }

    [Fact]
    public void ASectionClonedWithinTheDocumentGetsItsOwnHeaderPart()
    {
        Document doc = Load();
        doc.AppendChild(doc.FirstSection!.Clone());
        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        using var zip = new ZipArchive(new MemoryStream(saved), ZipArchiveMode.Read);
        string[] headers = zip.Entries.Where(e => e.FullName.StartsWith("word/header", StringComparison.Ordinal))
            .Select(e => new StreamReader(e.Open()).ReadToEnd()).ToArray();
        Assert.Equal(2, headers.Length);
        Assert.All(headers, h => Assert.Contains("f:gadget", h));
        XElement[] references = XDocument.Parse(PartsOf(saved)[0]).Descendants(W + "headerReference").ToArray();
        Assert.Equal(2, references.Select(r => (string?)r.Attribute(XName.Get("id", OfficeRel))).Distinct().Count());
        Document back = new(new MemoryStream(saved));
        Assert.Equal(new[] { "head\r", "head\r" }, back.Sections.Cast<Section>().Select(s => s.HeadersFooters[0].GetText()));
    }

    // A copy made after an edit or settling takes the markup as it stands,
    // each element once: the copy's element of an adopted run sits in its
    // paragraph's, as the original's does.
    [Fact]
    public void ACloneOfASettledDocumentCarriesTheSettledMarkup()
    {
        Document doc = Load();
        doc.Revisions[1].Reject();
        Document copy = doc.Clone();
        string[] original = Saved(doc);
        Assert.Equal(original, Saved(copy));
        copy.Revisions[0].Accept();
        Assert.Equal(original, Saved(doc));
        Assert.Equal(2, doc.Revisions.Count);
        Assert.Single(copy.Revisions);
        Assert.DoesNotContain("Change", Saved(copy)[0]);
    }
}
