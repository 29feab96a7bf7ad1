// Whole-document operations on loaded markup: the visitor walk, tracked
// revisions nested in other markup, fields that nest or span paragraphs, and
// protections whose hash this library cannot verify, styles copied from a
// template.
using System.Collections.Generic;
using System.IO;
using System.Linq;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class DocumentOperationTests
{
    private static Document Load(string bodyXml) => new(new MemoryStream(BodyPackage(bodyXml)));

    private static string Text(Document doc) => doc.GetText().Replace("\f", "").TrimEnd('\r');

    private sealed class Recorder : DocumentVisitor
    {
        public readonly List<string> Calls = new();
        public string? StopAt;
        public bool SkipParagraphs;

        private VisitorAction Note(string call, VisitorAction otherwise = VisitorAction.Continue)
        {
            Calls.Add(call);
            return call == StopAt ? VisitorAction.Stop : otherwise;
        }

        public override VisitorAction VisitDocumentStart(Document doc) => Note("doc(");
        public override VisitorAction VisitDocumentEnd(Document doc) => Note(")doc");
        public override VisitorAction VisitSectionStart(Section section) => Note("sec(");
        public override VisitorAction VisitSectionEnd(Section section) => Note(")sec");
        public override VisitorAction VisitBodyStart(Body body) => Note("body(");
        public override VisitorAction VisitBodyEnd(Body body) => Note(")body");
        public override VisitorAction VisitParagraphStart(Paragraph paragraph) =>
            Note("p(", SkipParagraphs ? VisitorAction.SkipThisNode : VisitorAction.Continue);
        public override VisitorAction VisitParagraphEnd(Paragraph paragraph) => Note(")p");
        public override VisitorAction VisitRun(Run run) => Note("run:" + run.Text);
    }

    [Fact]
    public void AcceptWalksInDocumentOrderAndHonoursSkipAndStop()
    {
        Document doc = Paragraphs("a", "b");
        var all = new Recorder();
        Assert.True(doc.Accept(all));
        Assert.Equal("doc( sec( body( p( run:a )p p( run:b )p )body )sec )doc", string.Join(" ", all.Calls));

        var skip = new Recorder { SkipParagraphs = true };
        Assert.True(doc.Accept(skip));
        Assert.Equal("doc( sec( body( p( )p p( )p )body )sec )doc", string.Join(" ", skip.Calls));

        var stop = new Recorder { StopAt = "run:a" };
        Assert.False(doc.Accept(stop));
        Assert.Equal("run:a", stop.Calls.Last());
        Assert.Equal(VisitorAction.Stop, doc.AcceptStart(new Recorder { StopAt = "doc(" }));
        Assert.Equal(VisitorAction.Continue, doc.AcceptEnd(new Recorder()));
    }

    private const string Nested =
        "<w:p><w:hyperlink w:anchor=\"x\"><w:r><w:t xml:space=\"preserve\">link </w:t></w:r>"
        + "<w:ins w:id=\"1\" w:author=\"A\"><w:r><w:t>in</w:t></w:r></w:ins></w:hyperlink>"
        + "<w:del w:id=\"2\" w:author=\"A\"><w:r><w:delText xml:space=\"preserve\"> gone</w:delText></w:r></w:del></w:p>";

    [Theory]
    [InlineData(true, "\u0013HYPERLINK \\l \"x\"\u0014link in\u0015")]
    [InlineData(false, "\u0013HYPERLINK \\l \"x\"\u0014link \u0015 gone")]
    public void RevisionsNestedInOtherMarkupAreResolvedAndSaved(bool accept, string expected)
    {
        Document doc = Load(Nested);
        Assert.Equal(2, doc.Revisions.Count);
        if (accept)
            doc.Revisions.AcceptAll();
        else
            doc.Revisions.RejectAll();
        Assert.Equal(expected, Text(doc));
        Document again = Reload(doc);
        Assert.False(again.HasRevisions);
        Assert.Equal(expected, Text(again));
        string body = Part(SaveBytes(doc, SaveFormat.Docx), "word/document.xml").ToString();
        // The edited paragraph keeps its link, written as a HYPERLINK field.
        Assert.Contains("HYPERLINK \\l \"x\"", body);
    }

    [Fact]
    public void UnlinkingDropsNestedCodesAndFollowsFieldsAcrossParagraphs()
    {
        static string Char(string kind) => $"<w:r><w:fldChar w:fldCharType=\"{kind}\"/></w:r>";
        static string Code(string code) => $"<w:r><w:instrText xml:space=\"preserve\">{code}</w:instrText></w:r>";
        static string T(string text) => $"<w:r><w:t xml:space=\"preserve\">{text}</w:t></w:r>";
        // An IF field whose code holds a nested field, and whose result spans
        // two paragraphs; then text after the field.
        Document doc = Load(
            "<w:p>" + T("A ") + Char("begin") + Code(" IF ") + Char("begin") + Code(" PAGE ") + Char("separate") + T("1")
            + Char("end") + Code(" = 1 \"x\" ") + Char("separate") + T("first") + "</w:p>"
            + "<w:p>" + T("second") + Char("end") + T(" B") + "</w:p>");
        doc.UnlinkFields();
        Assert.Equal("A first\rsecond B", Text(doc));
        string body = Part(SaveBytes(doc, SaveFormat.Docx), "word/document.xml").ToString();
        Assert.DoesNotContain("fldChar", body);
        Assert.DoesNotContain("instrText", body);
    }

    [Fact]
    public void AProtectionWithAnUnknownHashIsKeptAndNotOpenedByGuessing()
    {
        Document doc = Paragraphs("x");
        doc.Protect(ProtectionType.AllowOnlyComments, "p");
        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        string settings = Part(saved, "word/settings.xml").ToString()
            .Replace("SHA-512", "MD-UNKNOWN");
        byte[] edited = Package(ReadAll(saved).Select(p => p.Name == "word/settings.xml" ? (p.Name, settings) : p).ToArray());
        var loaded = new Document(new MemoryStream(edited));
        Assert.Equal(ProtectionType.AllowOnlyComments, loaded.ProtectionType);
        Assert.False(loaded.Unprotect("p"));
        Assert.Contains("MD-UNKNOWN", Part(SaveBytes(loaded, SaveFormat.Docx), "word/settings.xml").ToString());
        loaded.Unprotect();
        Assert.Equal(ProtectionType.NoProtection, Reload(loaded).ProtectionType);
    }

    private static IEnumerable<(string Name, string Content)> ReadAll(byte[] package)
    {
        using var zip = new System.IO.Compression.ZipArchive(new MemoryStream(package));
        foreach (var entry in zip.Entries)
        {
            using var reader = new StreamReader(entry.Open());
            yield return (entry.FullName, reader.ReadToEnd());
        }
    }

    private static byte[] WithStyles(string bodyXml, string stylesXml) => WordPackage(
        $"<w:document xmlns:w=\"{W}\"><w:body>{bodyXml}</w:body></w:document>",
        ("styles.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml",
         "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles",
         $"<w:styles xmlns:w=\"{W}\">{stylesXml}</w:styles>"));

    private static string Style(string id, string name, string inner = "") =>
        $"<w:style w:type=\"paragraph\" w:customStyle=\"1\" w:styleId=\"{id}\"><w:name w:val=\"{name}\"/>{inner}</w:style>";

    [Fact]
    public void CopiedStylesKeepTheDocumentsIdentifiersAndTakeNewOnesWhereTheyClash()
    {
        // Here "Shared" is A and the identifier B names another style; in the
        // template "Shared" is X, "Fresh" is B and is based on X.
        var doc = new Document(new MemoryStream(WithStyles(
            "<w:p><w:pPr><w:pStyle w:val=\"A\"/></w:pPr><w:r><w:t>one</w:t></w:r></w:p>",
            Style("A", "Shared") + Style("B", "Other"))));
        var template = new Document(new MemoryStream(WithStyles("<w:p/>",
            Style("X", "Shared", "<w:rPr><w:b/></w:rPr>") + Style("B", "Fresh", "<w:basedOn w:val=\"X\"/><w:next w:val=\"Gone\"/>"))));
        doc.CopyStylesFromTemplate(template);
        var styles = Part(SaveBytes(doc, SaveFormat.Docx), "word/styles.xml").Descendants(W + "style")
            .ToDictionary(s => (string)s.Element(W + "name")!.Attribute(W + "val")!, s => s);
        Assert.Equal("A", (string?)styles["Shared"].Attribute(W + "styleId"));
        Assert.NotNull(styles["Shared"].Descendants(W + "b").SingleOrDefault());
        Assert.Equal("B", (string?)styles["Other"].Attribute(W + "styleId"));
        Assert.Equal("B1", (string?)styles["Fresh"].Attribute(W + "styleId"));
        Assert.Equal("A", (string?)styles["Fresh"].Element(W + "basedOn")!.Attribute(W + "val"));
        Assert.Null(styles["Fresh"].Element(W + "next"));  // it named a style neither document has
        Assert.Equal(3, styles.Count);
    }
}
