// The frames page of a document's web settings: nested framesets and frames
// with the pages their relationships name, read from a package made by hand
// and kept when saved.
using System.IO;
using System.IO.Compression;
using System.Linq;
using Morvax.Velto.Framesets;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class FramesetTests
{
    private static string Frame(string name, string? relationship, bool linked) =>
        $"<w:frame><w:name w:val=\"{name}\"/>"
        + (relationship is null ? "" : $"<w:sourceFileName r:id=\"{relationship}\"/>")
        + (linked ? "<w:linkedToFile/>" : "") + "</w:frame>";

    internal static byte[] FramesPage(string framesetXml)
    {
        byte[] package = WordPackage(
            $"<w:document xmlns:w=\"{W}\"><w:body><w:p><w:r><w:t>Frames</w:t></w:r></w:p></w:body></w:document>",
            ("webSettings.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.webSettings+xml",
                $"{OfficeRel}/webSettings",
                $"<w:webSettings xmlns:w=\"{W}\" xmlns:r=\"{OfficeRel}\">{framesetXml}</w:webSettings>"));
        var buffer = new MemoryStream();
        buffer.Write(package);
        using (var zip = new ZipArchive(buffer, ZipArchiveMode.Update, true))
        using (var writer = new StreamWriter(zip.CreateEntry("word/_rels/webSettings.xml.rels").Open()))
        {
            writer.Write($"<Relationships xmlns=\"{RelationshipsNs}\">"
                + $"<Relationship Id=\"rIdTop\" Type=\"{OfficeRel}/frame\" Target=\"top.docx\" TargetMode=\"External\"/>"
                + $"<Relationship Id=\"rIdMain\" Type=\"{OfficeRel}/frame\" Target=\"file:///C:/pages/main.docx\" TargetMode=\"External\"/>"
                + "</Relationships>");
        }
        return buffer.ToArray();
    }

    private static readonly string Nested = "<w:frameset><w:frameLayout w:val=\"rows\"/>"
        + Frame("top", "rIdTop", true)
        + "<w:frameset>" + Frame("main", "rIdMain", false) + Frame("empty", null, false) + "</w:frameset>"
        + "</w:frameset>";

    private static void AssertNested(Frameset? root)
    {
        Assert.NotNull(root);
        Assert.Null(root!.FrameDefaultUrl);
        Assert.Equal(2, root.ChildFramesets.Count);
        Frameset top = root.ChildFramesets[0];
        Assert.Equal(("top.docx", true, 0), (top.FrameDefaultUrl, top.IsFrameLinkToFile, top.ChildFramesets.Count));
        Assert.Equal(new[] { ("file:///C:/pages/main.docx", false), (null, false) },
            root.ChildFramesets[1].ChildFramesets.Select(f => (f.FrameDefaultUrl, f.IsFrameLinkToFile)));
    }

    [Fact]
    public void Frames_and_nested_framesets_are_read_and_kept()
    {
        var doc = new Document(new MemoryStream(FramesPage(Nested)));
        AssertNested(doc.Frameset);
        AssertNested(new Document(new MemoryStream(SaveBytes(doc, SaveFormat.Docx))).Frameset);
        AssertNested(doc.Clone().Frameset);
        Assert.Null(new Document().Frameset);
    }

    [Fact]
    public void Nesting_beyond_what_word_processors_make_is_not_followed()
    {
        string deep = string.Concat(Enumerable.Repeat("<w:frameset>", 200)) + string.Concat(Enumerable.Repeat("</w:frameset>", 200));
        Frameset? level = new Document(new MemoryStream(FramesPage(deep))).Frameset;
        int depth = 0;
        while (level!.ChildFramesets.Count > 0)
        {
            level = level.ChildFramesets[0];
            depth++;
        }
        Assert.Equal(32, depth);
    }
}
