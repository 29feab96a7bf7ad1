// Packages made to hurt the reader: each must end as a FileCorruptedException
// promptly and without taking unbounded memory or the stack.
using System;
using System.IO;
using System.IO.Compression;
using System.Linq;
using System.Text;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class HostilePackageTests
{
    private static FileCorruptedException Refused(byte[] package) =>
        Assert.Throws<FileCorruptedException>(() => new Document(new MemoryStream(package)));

    private static string Document(string body) => $"<w:document xmlns:w=\"{W}\"><w:body>{body}</w:body></w:document>";

    [Theory]
    [InlineData("pPr", 100_000)]
    [InlineData("rPr", 100_000)]
    [InlineData("body", 600)]
    public void NestingPastTheLimitIsRefusedAndBelowItIsRead(string where, int depth)
    {
        string open = string.Concat(Enumerable.Repeat("<x:u xmlns:x=\"urn:x\">", depth));
        string close = string.Concat(Enumerable.Repeat("</x:u>", depth));
        string body = where switch
        {
            "pPr" => $"<w:p><w:pPr>{open}{close}</w:pPr></w:p>",
            "rPr" => $"<w:p><w:r><w:rPr>{open}{close}</w:rPr></w:r></w:p>",
            _ => $"{open}{close}<w:p/>",
        };
        Assert.Contains("nests deeper", Refused(WordPackage(Document(body))).InnerException!.Message);

        // Content controls nested as deeply as real documents nest them load.
        string controls = string.Concat(Enumerable.Repeat("<w:sdt><w:sdtContent>", 100));
        string ends = string.Concat(Enumerable.Repeat("</w:sdtContent></w:sdt>", 100));
        Assert.Equal("deep\r\f", new Document(new MemoryStream(WordPackage(
            Document($"{controls}<w:p><w:r><w:t>deep</w:t></w:r></w:p>{ends}"))))
            .GetText());
    }

    [Fact]
    public void EntitiesAreNeverExpandedNorResolved()
    {
        string secret = Path.Combine(Path.GetTempPath(), "morvax-secret-" + Guid.NewGuid().ToString("N"));
        File.WriteAllText(secret, "SECRET");
        try
        {
            string laughs = "<!DOCTYPE w:document [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
                + "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>";
            string external = $"<!DOCTYPE w:document [<!ENTITY x SYSTEM \"file://{secret}\">]>";
            foreach (string doctype in new[] { laughs, external })
            {
                string text = doctype == laughs ? "&c;" : "&x;";
                Refused(WordPackage(doctype + Document($"<w:p><w:r><w:t>{text}</w:t></w:r></w:p>")));
            }
        }
        finally
        {
            File.Delete(secret);
        }
    }

    [Fact]
    public void APartThatInflatesPastTheLimitIsRefused()
    {
        var buffer = new MemoryStream();
        using (var zip = new ZipArchive(buffer, ZipArchiveMode.Create, true))
        {
            using (Stream main = zip.CreateEntry("word/document.xml", CompressionLevel.Fastest).Open())
            {
                main.Write(Encoding.UTF8.GetBytes(Document("<w:p><w:r><w:t>")));
                byte[] spaces = new byte[1 << 20];
                Array.Fill(spaces, (byte)' ');
                for (int i = 0; i <= 256; i++)
                    main.Write(spaces);
            }
        }
        Assert.True(buffer.Length < 16 << 20);
        Assert.Contains("too large", Refused(buffer.ToArray()).InnerException!.Message);
    }

    [Fact]
    public void TooManyPartsAreRefused()
    {
        var buffer = new MemoryStream();
        using (var zip = new ZipArchive(buffer, ZipArchiveMode.Create, true))
        {
            for (int i = 0; i <= 10_000; i++)
                zip.CreateEntry($"p/{i}");
        }
        Refused(buffer.ToArray());
    }

    [Fact]
    public void AnEndlessInputStopsAtTheCap()
    {
        // A device that never ends, as a stream and under a document's name.
        using var zeros = new FileStream("/dev/zero", FileMode.Open, FileAccess.Read);
        var e = Assert.Throws<FileCorruptedException>(() => new Document(zeros));
        Assert.Contains("larger than", e.InnerException!.Message);
    }

    [Theory]
    [InlineData("<w:document xmlns:w=\"urn:not-word\"><w:body/></w:document>")]
    [InlineData("<w:document")]
    [InlineData("<html/>")]
    public void AMainPartThatIsNotWordprocessingMlIsRefused(string main)
    {
        Refused(WordPackage(main));
    }

    [Fact]
    public void CorruptingASavedPackageNeverEscapesAsAnotherException()
    {
        byte[] saved = SaveBytes(Paragraphs("alpha", "beta"), SaveFormat.Docx);
        var random = new Random(1234);
        for (int i = 0; i < 200; i++)
        {
            byte[] mutant = (byte[])saved.Clone();
            for (int j = random.Next(1, 8); j > 0; j--)
                mutant[random.Next(mutant.Length)] = (byte)random.Next(256);
            try
            {
                var loaded = new Document(new MemoryStream(mutant));
                loaded.GetText();
                // What loads also saves.
                loaded.Save(new MemoryStream(), SaveFormat.Docx);
            }
            catch (FileCorruptedException)
            {
            }
            catch (UnsupportedFileFormatException)
            {
            }
        }
    }
}
