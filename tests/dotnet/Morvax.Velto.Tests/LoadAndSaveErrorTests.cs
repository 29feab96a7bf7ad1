// How loading and saving refuse what they cannot do: the exception says
// what went wrong, and nothing is half-written.
using System;
using System.IO;
using System.Text;
using Morvax.Velto.Loading;
using Morvax.Velto.Saving;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public sealed class LoadAndSaveErrorTests : IDisposable
{
    private readonly ScratchFolder folder = new();

    public void Dispose() => folder.Dispose();

    [Fact]
    public void MissingFileIsFileNotFound()
    {
        var e = Assert.Throws<FileNotFoundException>(() => new Document(folder.File("absent.docx")));
        Assert.Equal(folder.File("absent.docx"), e.FileName);
    }

    [Theory]
    [InlineData("not a zip at all")]
    [InlineData("PK\u0003\u0004 truncated")]
    public void DocxThatIsNotAZipIsCorrupted(string content)
    {
        File.WriteAllText(folder.File("bad.docx"), content);
        var e = Assert.Throws<FileCorruptedException>(() => new Document(folder.File("bad.docx")));
        Assert.Equal("The document appears to be corrupted and cannot be loaded.", e.Message);
    }

    public static TheoryData<byte[]> BrokenPackages => new()
    {
        Package(("word/other.xml", "<x/>")),
        Package(("word/document.xml", "<w:document")),
        Package(("word/document.xml", "<!DOCTYPE d [<!ENTITY e \"boom\">]><d>&e;</d>")),
        Package(("word/document.xml", "<html/>")),
        Package(("word/document.xml", $"<w:document xmlns:w=\"{W}\"><w:body><w:p><w:r><w:t><w:b/></w:t></w:r></w:p></w:body></w:document>")),
    };

    [Theory]
    [MemberData(nameof(BrokenPackages))]
    public void PackageWithoutAReadableMainPartIsCorrupted(byte[] package)
    {
        Assert.Throws<FileCorruptedException>(() => new Document(new MemoryStream(package)));
    }

    [Theory]
    [InlineData("notes.xyz", "Unsupported file format: .xyz")]
    [InlineData("README", "Unsupported file format: 'README' has no extension.")]
    [InlineData("old.doc", "Loading documents in the Doc format is not supported.")]
    [InlineData("page.html", "Loading documents in the Html format is not supported.")]
    public void UnsupportedLoadFormatsAreNamed(string name, string message)
    {
        File.WriteAllText(folder.File(name), "text");
        var e = Assert.Throws<UnsupportedFileFormatException>(() => new Document(folder.File(name)));
        Assert.Equal(message, e.Message);
    }

    [Fact]
    public void LoadFormatInTheOptionsOverridesTheExtension()
    {
        File.WriteAllText(folder.File("notes.log"), "one\ntwo");
        var doc = new Document(folder.File("notes.log"), new LoadOptions(LoadFormat.Text, null, null));
        Assert.Equal(("one\rtwo\f", LoadFormat.Text), (doc.GetText(), doc.OriginalLoadFormat));
        Assert.Equal(Path.GetFullPath(folder.File("notes.log")), doc.OriginalFileName);
        Assert.Null(new Document().OriginalFileName);
        Assert.Equal(LoadFormat.Unknown, new Document().OriginalLoadFormat);
    }

    [Theory]
    [InlineData(new byte[] { 0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1, 0 }, "Loading binary (Doc) or encrypted documents is not supported.")]
    [InlineData(new byte[] { (byte)'{', (byte)'\\', (byte)'r', (byte)'t', (byte)'f', (byte)'1' }, "Loading documents in the Rtf format is not supported.")]
    [InlineData(new byte[] { (byte)'a', 0, (byte)'b' }, "The stream does not hold a document in a supported format.")]
    public void StreamContentThatIsNoSupportedFormatIsRefused(byte[] content, string message)
    {
        var e = Assert.Throws<UnsupportedFileFormatException>(() => new Document(new MemoryStream(content)));
        Assert.Equal(message, e.Message);
    }

    [Fact]
    public void StreamLoadingDetectsTextAndZipAndReadsFromThePosition()
    {
        Assert.Equal("plain\f", new Document(new MemoryStream(Encoding.UTF8.GetBytes("plain"))).GetText());
        Assert.Equal("\f", new Document(new MemoryStream()).GetText());
        // UTF-16 text holds NUL bytes but announces itself with its mark.
        byte[] utf16 = Encoding.Unicode.GetPreamble();
        Assert.Equal("wide\f", new Document(new MemoryStream([.. utf16, .. Encoding.Unicode.GetBytes("wide")])).GetText());

        var stream = new MemoryStream();
        stream.Write("junk"u8);
        Paragraphs("zipped").Save(stream, SaveFormat.Docx);
        stream.Position = 4;
        var doc = new Document(stream);
        Assert.Equal(("zipped\f", LoadFormat.Docx), (doc.GetText(), doc.OriginalLoadFormat));
    }

    [Fact]
    public void UnknownSaveExtensionIsRefusedBeforeAnythingIsWritten()
    {
        var e = Assert.Throws<UnsupportedFileFormatException>(() => new Document().Save(folder.File("out.xyz")));
        Assert.Equal("Unsupported file format: .xyz", e.Message);
        Assert.False(File.Exists(folder.File("out.xyz")));
    }

    [Theory]
    [InlineData("out.pdf", "Saving in the Pdf format is not supported.")]
    [InlineData("out.epub", "Saving in the Epub format is not supported.")]
    public void FormatsThatCannotBeWrittenAreNamed(string name, string message)
    {
        var e = Assert.Throws<NotSupportedException>(() => new Document().Save(folder.File(name)));
        Assert.Equal(message, e.Message);
        Assert.False(File.Exists(folder.File(name)));
        Assert.Throws<NotSupportedException>(() => new Document().Save(new MemoryStream(), SaveFormat.Rtf));
    }

    [Fact]
    public void PasswordIsRefusedAndAnExistingFileIsLeftAlone()
    {
        File.WriteAllText(folder.File("keep.docx"), "old");
        var options = new OoxmlSaveOptions { Password = "secret" };
        Assert.Throws<NotSupportedException>(() => new Document().Save(folder.File("keep.docx"), options));
        Assert.Equal("old", File.ReadAllText(folder.File("keep.docx")));
    }

    [Fact]
    public void OptionsRefuseFormatsOutsideTheirFamily()
    {
        Assert.Throws<ArgumentException>(() => new OoxmlSaveOptions(SaveFormat.Pdf));
        Assert.Throws<ArgumentException>(() => new HtmlSaveOptions { SaveFormat = SaveFormat.Mhtml });
        Assert.Throws<ArgumentException>(() => SaveOptions.CreateSaveOptions(SaveFormat.Unknown));
        Assert.Throws<ArgumentOutOfRangeException>(() => SaveOptions.CreateSaveOptions((SaveFormat)12345));
        Assert.IsType<MarkdownSaveOptions>(SaveOptions.CreateSaveOptions("x.MD"));
    }

    [Theory]
    [InlineData("a.docx", "application/vnd.openxmlformats-officedocument.wordprocessingml.document")]
    [InlineData("a.dotm", "application/vnd.ms-word.template.macroEnabled.12")]
    [InlineData("a.txt", "text/plain")]
    [InlineData("a.md", "text/markdown")]
    [InlineData("a.htm", "text/html")]
    public void SaveByExtensionReportsTheContentType(string name, string contentType)
    {
        Assert.Equal(contentType, Paragraphs("x").Save(folder.File(name)).ContentType);
        Assert.Equal(contentType, Paragraphs("x").Save(folder.File(name), SaveFormat.Unknown).ContentType);
        Assert.Equal(contentType, Paragraphs("x").Save(folder.File(name), (SaveOptions?)null).ContentType);
    }

    [Fact]
    public void SaveFormatWinsOverTheExtension()
    {
        Paragraphs("x").Save(folder.File("really-docx.txt"), SaveFormat.Docx);
        Assert.Equal("x\f", new Document(folder.File("really-docx.txt"), new LoadOptions(LoadFormat.Docx, null, null)).GetText());
    }

    [Fact]
    public void SavingToAStreamAppendsAndLeavesItOpen()
    {
        var stream = new MemoryStream();
        stream.Write("head"u8);
        Paragraphs("x").Save(stream, new TxtSaveOptions());
        Assert.Equal("headx\r\n", Encoding.UTF8.GetString(stream.ToArray()));
        Assert.True(stream.CanWrite);

        var readOnly = new MemoryStream(new byte[16], false);
        Assert.Throws<ArgumentException>(() => Paragraphs("x").Save(readOnly, SaveFormat.Text));
        Assert.Throws<ArgumentNullException>(() => Paragraphs("x").Save(stream, (SaveOptions)null!));
    }
}
