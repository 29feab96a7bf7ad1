// The package a save writes: entries nobody changed are carried over as they
// were stored (same compression, same time stamp, same bytes), the content
// types and relationships stay as read unless parts come or go, and changed,
// added and deleted parts show in the zip and in the content types.
using System;
using System.IO;
using System.IO.Compression;
using System.IO.Packaging;
using System.Linq;
using System.Text;
using System.Xml.Linq;
using Morvax.Velto.Formats;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class StoredPackageTests
{
    private static readonly DateTimeOffset Stamp = new(2001, 2, 3, 4, 5, 6, TimeSpan.Zero);
    private const string TypesNs = "http://schemas.openxmlformats.org/package/2006/content-types";

    // A word package whose every entry is stored uncompressed with an old
    // time stamp: an entry written again would be compressed and stamped now.
    private static byte[] StoredSource()
    {
        byte[] made = WordPackage(
            $"<w:document xmlns:w=\"{W}\"><w:body><w:p><w:r><w:t>body</w:t></w:r></w:p></w:body></w:document>",
            ("theme/theme1.xml", "application/vnd.openxmlformats-officedocument.theme+xml", OfficeRel + "/theme",
                "<a:theme xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" name=\"" + new string('t', 400) + "\"/>"),
            ("extra.bin", "application/octet-stream", OfficeRel + "/unknown", new string('x', 2000)));
        var buffer = new MemoryStream();
        using (var source = new ZipArchive(new MemoryStream(made), ZipArchiveMode.Read))
        using (var zip = new ZipArchive(buffer, ZipArchiveMode.Create, true))
        {
            foreach (ZipArchiveEntry entry in source.Entries)
            {
                ZipArchiveEntry copy = zip.CreateEntry(entry.FullName, CompressionLevel.NoCompression);
                copy.LastWriteTime = Stamp;
                using Stream from = entry.Open(), to = copy.Open();
                from.CopyTo(to);
            }
        }
        return buffer.ToArray();
    }

    private static ZipArchive Zip(byte[] package) => new(new MemoryStream(package), ZipArchiveMode.Read);

    private static byte[] Content(ZipArchiveEntry entry)
    {
        var content = new MemoryStream();
        using (Stream stream = entry.Open())
            stream.CopyTo(content);
        return content.ToArray();
    }

    private static void AssertCarriedOver(ZipArchive before, ZipArchive after, string name)
    {
        ZipArchiveEntry old = before.GetEntry(name)!, kept = after.GetEntry(name)!;
        Assert.Equal(old.LastWriteTime, kept.LastWriteTime);
        Assert.Equal(old.CompressedLength, kept.CompressedLength);
        Assert.Equal(old.Crc32, kept.Crc32);
        Assert.Equal(Content(old), Content(kept));
    }

    private static string[] Overrides(byte[] package) =>
        Part(package, "[Content_Types].xml").Root!.Elements(XName.Get("Override", TypesNs))
            .Select(e => (string)e.Attribute("PartName")!).OrderBy(n => n, StringComparer.Ordinal).ToArray();

    [Fact]
    public void SavingALoadedDocumentCarriesEveryUntouchedEntryOverAsStoredAndRewritesTheMainPart()
    {
        byte[] source = StoredSource();
        byte[] saved = SaveBytes(new Document(new MemoryStream(source)), SaveFormat.Docx);
        using ZipArchive before = Zip(source), after = Zip(saved);
        foreach (string name in new[] { "word/theme/theme1.xml", "word/extra.bin" })
            AssertCarriedOver(before, after, name);
        // The save adds settings and properties (so the relationships and
        // content types change), but every type read is still declared.
        Assert.Subset(Overrides(saved).ToHashSet(), Overrides(source).ToHashSet());
        ZipArchiveEntry main = after.GetEntry("word/document.xml")!;
        Assert.NotEqual(Stamp, main.LastWriteTime);
        Assert.Contains("body", Encoding.UTF8.GetString(Content(main)));
        Assert.Equal("body", new Document(new MemoryStream(saved)).GetText().Trim());
    }

    [Fact]
    public void SavingTwiceLeavesTheContentTypesAndRelationshipsOfTheFirstSaveAsTheyWere()
    {
        byte[] first = SaveBytes(new Document(new MemoryStream(StoredSource())), SaveFormat.Docx);
        byte[] second = SaveBytes(new Document(new MemoryStream(first)), SaveFormat.Docx);
        using ZipArchive a = Zip(first), b = Zip(second);
        foreach (string name in new[] { "[Content_Types].xml", "_rels/.rels", "word/_rels/document.xml.rels", "word/extra.bin", "word/theme/theme1.xml" })
            AssertCarriedOver(a, b, name);
        Assert.Equal(a.Entries.Select(e => e.FullName).OrderBy(n => n), b.Entries.Select(e => e.FullName).OrderBy(n => n));
    }

    [Fact]
    public void PartsChangedAddedAndDeletedShowInTheZipAndTheContentTypes()
    {
        byte[] source = StoredSource();
        byte[] written;
        using (var package = new StoredPackage(source))
        {
            // Opened for writing but left as it was: still carried over.
            package.GetPart(new Uri("/word/theme/theme1.xml", UriKind.Relative))
                .GetStream(FileMode.Open, FileAccess.ReadWrite).Dispose();
            using (Stream main = package.GetPart(new Uri("/word/document.xml", UriKind.Relative)).GetStream(FileMode.Create, FileAccess.Write))
                main.Write(Encoding.UTF8.GetBytes($"<w:document xmlns:w=\"{W}\"><w:body/></w:document>"));
            package.DeletePart(new Uri("/word/extra.bin", UriKind.Relative));
            PackagePart added = package.CreatePart(new Uri("/word/new.dat", UriKind.Relative), "application/x-new");
            using (Stream stream = added.GetStream(FileMode.Create, FileAccess.Write))
                stream.Write(new byte[] { 1, 2, 3 });
            PackagePart plain = package.CreatePart(new Uri("/word/plain.xml", UriKind.Relative), "application/xml");
            using (Stream stream = plain.GetStream(FileMode.Create, FileAccess.Write))
                stream.Write(Encoding.UTF8.GetBytes("<plain/>"));
            written = package.ToBytes();
        }
        using ZipArchive before = Zip(source), after = Zip(written);
        AssertCarriedOver(before, after, "word/theme/theme1.xml");
        Assert.Null(after.GetEntry("word/extra.bin"));
        Assert.Equal(new byte[] { 1, 2, 3 }, Content(after.GetEntry("word/new.dat")!));
        Assert.EndsWith("<w:body/></w:document>", Encoding.UTF8.GetString(Content(after.GetEntry("word/document.xml")!)));
        // The deleted part's override goes, the new one comes; a part its
        // extension's default types needs none.
        Assert.Equal(new[] { "/word/document.xml", "/word/new.dat", "/word/theme/theme1.xml" }, Overrides(written));
        XElement types = Part(written, "[Content_Types].xml").Root!;
        Assert.Equal(2, types.Elements(XName.Get("Default", TypesNs)).Count());

        // What was written reads back as the same package.
        using var reread = new StoredPackage(written);
        Assert.Equal("application/x-new", reread.GetPart(new Uri("/word/new.dat", UriKind.Relative)).ContentType);
        Assert.False(reread.PartExists(new Uri("/word/extra.bin", UriKind.Relative)));
        Assert.Equal(MainType, reread.GetPart(new Uri("/word/document.xml", UriKind.Relative)).ContentType);
    }

    [Fact]
    public void RelationshipsChangedThroughThePackageAreWrittenAndOthersKept()
    {
        byte[] source = StoredSource();
        byte[] written;
        using (var package = new StoredPackage(source))
        {
            package.CreateRelationship(new Uri("https://example.com/", UriKind.Absolute), TargetMode.External, OfficeRel + "/hyperlink");
            written = package.ToBytes();
        }
        using ZipArchive before = Zip(source), after = Zip(written);
        AssertCarriedOver(before, after, "word/_rels/document.xml.rels");
        AssertCarriedOver(before, after, "[Content_Types].xml");
        XElement rels = Part(written, "_rels/.rels").Root!;
        Assert.Equal(2, rels.Elements().Count());
        Assert.Contains(rels.Elements(), r => (string?)r.Attribute("Target") == "https://example.com/");
    }

    [Fact]
    public void APackageWithoutContentTypesIsRefusedAsCorrupt()
    {
        byte[] bare = Package(("word/document.xml", "<x/>"));
        Assert.Throws<FileCorruptedException>(() => new StoredPackage(bare));
    }
}
