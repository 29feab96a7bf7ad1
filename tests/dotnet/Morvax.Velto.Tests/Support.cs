// Helpers the tests share: a scratch folder, building documents in a few
// lines, and opening what the writers produced.
using System;
using System.IO;
using System.IO.Compression;
using System.Text;
using System.Xml.Linq;
using SaveOptions = Morvax.Velto.Saving.SaveOptions;

namespace Morvax.Velto.Tests;

internal sealed class ScratchFolder : IDisposable
{
    public ScratchFolder()
    {
        Path = System.IO.Path.Combine(System.IO.Path.GetTempPath(), "morvax-velto-tests-" + Guid.NewGuid().ToString("N"));
        Directory.CreateDirectory(Path);
    }

    public string Path { get; }

    public string File(string name) => System.IO.Path.Combine(Path, name);

    public void Dispose() => Directory.Delete(Path, true);
}

internal static class Support
{
    public static readonly XNamespace W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

    // One paragraph per argument, one run per paragraph.
    public static Document Paragraphs(params string[] texts)
    {
        var doc = new Document();
        var builder = new DocumentBuilder(doc);
        for (int i = 0; i < texts.Length; i++)
        {
            if (i < texts.Length - 1)
                builder.Writeln(texts[i]);
            else
                builder.Write(texts[i]);
        }
        return doc;
    }

    public static byte[] SaveBytes(Document doc, SaveFormat format)
    {
        var stream = new MemoryStream();
        doc.Save(stream, format);
        return stream.ToArray();
    }

    public static byte[] SaveBytes(Document doc, SaveOptions options)
    {
        var stream = new MemoryStream();
        doc.Save(stream, options);
        return stream.ToArray();
    }

    public static string SaveText(Document doc, SaveFormat format) => Encoding.UTF8.GetString(SaveBytes(doc, format));

    public static Document Reload(Document doc, SaveFormat format = SaveFormat.Docx) =>
        new(new MemoryStream(SaveBytes(doc, format)));

    public static XDocument Part(byte[] package, string name)
    {
        using var zip = new ZipArchive(new MemoryStream(package), ZipArchiveMode.Read);
        ZipArchiveEntry entry = zip.GetEntry(name) ?? throw new InvalidOperationException("no part " + name);
        using Stream stream = entry.Open();
        return XDocument.Load(stream);
    }

    // A package made by hand, for reading documents this library did not
    // write.  Parts are given as (name, content) pairs.
    public static byte[] Package(params (string Name, string Content)[] parts)
    {
        var buffer = new MemoryStream();
        using (var zip = new ZipArchive(buffer, ZipArchiveMode.Create, true))
        {
            foreach ((string name, string content) in parts)
            {
                using var writer = new StreamWriter(zip.CreateEntry(name).Open(), new UTF8Encoding(false));
                writer.Write(content);
            }
        }
        return buffer.ToArray();
    }

    // The smallest package around a body: no relationships, no content
    // types, which the reader must cope with.
    public static byte[] BodyPackage(string bodyXml) => Package(("word/document.xml",
        $"<w:document xmlns:w=\"{W}\" xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\">"
        + $"<w:body>{bodyXml}</w:body></w:document>"));
}
