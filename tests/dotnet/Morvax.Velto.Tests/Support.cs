// Helpers the tests share: a scratch folder, building documents in a few
// lines, and opening what the writers produced.
using System;
using System.Collections.Generic;
using System.IO;
using System.IO.Compression;
using System.Linq;
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

    public const string MainType = "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";
    public const string RelationshipsNs = "http://schemas.openxmlformats.org/package/2006/relationships";
    public const string OfficeRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

    // A well-formed package around a main part, with parts related to it
    // (name under word/, content type, relationship type, content).
    public static byte[] WordPackage(string documentXml,
        params (string Name, string ContentType, string RelationshipType, string Content)[] related) =>
        WordPackage(documentXml, Array.Empty<(string, string)>(),
            related.Select((part, i) => ($"rId{i + 1}", part.Name, part.ContentType, part.RelationshipType, part.Content)).ToArray());

    // The same with the relationship ids the main part's markup names, and
    // external links (relationship id, address).
    public static byte[] WordPackage(string documentXml, (string Id, string Target)[] links,
        params (string Id, string Name, string ContentType, string RelationshipType, string Content)[] related)
    {
        var types = new StringBuilder("<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
            + "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
            + "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
            + $"<Override PartName=\"/word/document.xml\" ContentType=\"{MainType}\"/>");
        var rels = new StringBuilder($"<Relationships xmlns=\"{RelationshipsNs}\">");
        var parts = new List<(string, string)>
        {
            ("_rels/.rels", $"<Relationships xmlns=\"{RelationshipsNs}\"><Relationship Id=\"rId1\" "
                + $"Type=\"{OfficeRel}/officeDocument\" Target=\"word/document.xml\"/></Relationships>"),
            ("word/document.xml", documentXml),
        };
        foreach ((string id, string name, string contentType, string relationshipType, string content) in related)
        {
            types.Append($"<Override PartName=\"/word/{name}\" ContentType=\"{contentType}\"/>");
            rels.Append($"<Relationship Id=\"{id}\" Type=\"{relationshipType}\" Target=\"{name}\"/>");
            parts.Add(("word/" + name, content));
        }
        foreach ((string id, string target) in links)
            rels.Append($"<Relationship Id=\"{id}\" Type=\"{OfficeRel}/hyperlink\" Target=\"{target}\" TargetMode=\"External\"/>");
        parts.Add(("[Content_Types].xml", types.Append("</Types>").ToString()));
        if (related.Length + links.Length > 0)
            parts.Add(("word/_rels/document.xml.rels", rels.Append("</Relationships>").ToString()));
        return Package(parts.ToArray());
    }

    // A WordprocessingML part of the given kind ("footnotes", "header", ...)
    // related to the main part under the given id.
    public static (string Id, string Name, string ContentType, string RelationshipType, string Content) WordPart(
        string id, string name, string kind, string content) =>
        (id, name, $"application/vnd.openxmlformats-officedocument.wordprocessingml.{kind}+xml", $"{OfficeRel}/{kind}", content);

    // The smallest package around a body.
    public static byte[] BodyPackage(string bodyXml) => WordPackage(
        $"<w:document xmlns:w=\"{W}\" xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\">"
        + $"<w:body>{bodyXml}</w:body></w:document>");
}
