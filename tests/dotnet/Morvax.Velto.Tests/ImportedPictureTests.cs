// Pictures copied into another document bring their images: the target's
// package gets image parts of its own, named from the part the copy is
// written into, whichever story of the source the picture was read from.
using System;
using System.IO;
using System.IO.Compression;
using System.Linq;
using System.Text;
using System.Xml.Linq;
using Morvax.Velto.Drawing;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class ImportedPictureTests
{
    private const string Ns = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
        + "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
        + "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
        + "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
        + "xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"";

    private static readonly XNamespace A = "http://schemas.openxmlformats.org/drawingml/2006/main";

    // A picture run naming its image by relationship; link: a relationship
    // its click names too.
    private static string Picture(string id, string? link = null) =>
        "<w:p><w:r><w:drawing><wp:inline><wp:extent cx=\"127000\" cy=\"254000\"/><wp:docPr id=\"1\" name=\"p\">"
        + (link is null ? "" : $"<a:hlinkClick r:id=\"{link}\"/>")
        + "</wp:docPr><a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:pic>"
        + $"<pic:blipFill><a:blip r:embed=\"{id}\"/></pic:blipFill></pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r></w:p>";

    private static readonly string MainImage = "main image bytes", HeaderImage = "header image bytes";

    // The main part and its header each have an image by the same relationship id.
    private static byte[] Source()
    {
        const string types = "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
            + "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
            + "<Default Extension=\"xml\" ContentType=\"application/xml\"/><Default Extension=\"png\" ContentType=\"image/png\"/>"
            + "<Override PartName=\"/word/document.xml\" ContentType=\"" + MainType + "\"/>"
            + "<Override PartName=\"/word/header1.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml\"/>"
            + "</Types>";
        string body = Picture("rIdImg") + Picture("rIdImg", "rIdLink")
            + "<w:sectPr><w:headerReference w:type=\"default\" r:id=\"rIdH\"/></w:sectPr>";
        return Package(("[Content_Types].xml", types),
            ("_rels/.rels", $"<Relationships xmlns=\"{RelationshipsNs}\"><Relationship Id=\"rId1\" "
                + $"Type=\"{OfficeRel}/officeDocument\" Target=\"word/document.xml\"/></Relationships>"),
            ("word/_rels/document.xml.rels", $"<Relationships xmlns=\"{RelationshipsNs}\">"
                + $"<Relationship Id=\"rIdH\" Type=\"{OfficeRel}/header\" Target=\"header1.xml\"/>"
                + $"<Relationship Id=\"rIdImg\" Type=\"{OfficeRel}/image\" Target=\"media/main.png\"/>"
                + $"<Relationship Id=\"rIdLink\" Type=\"{OfficeRel}/hyperlink\" Target=\"https://example.com/\" TargetMode=\"External\"/>"
                + "</Relationships>"),
            ("word/_rels/header1.xml.rels", $"<Relationships xmlns=\"{RelationshipsNs}\">"
                + $"<Relationship Id=\"rIdImg\" Type=\"{OfficeRel}/image\" Target=\"media/header.png\"/></Relationships>"),
            ("word/document.xml", $"<w:document {Ns}><w:body>{body}</w:body></w:document>"),
            ("word/header1.xml", $"<w:hdr {Ns}>{Picture("rIdImg")}</w:hdr>"),
            ("word/media/main.png", MainImage), ("word/media/header.png", HeaderImage));
    }

    // The text of the image each picture of a saved part (of the main part
    // unless named) shows.
    private static string[] ImagesShown(byte[] saved, string part = "document.xml")
    {
        using var zip = new ZipArchive(new MemoryStream(saved), ZipArchiveMode.Read);
        XDocument rels = XDocument.Load(zip.GetEntry($"word/_rels/{part}.rels")!.Open());
        return Part(saved, "word/" + part).Root!.Descendants(A + "blip").Select(blip =>
        {
            string id = (string)blip.Attribute(XName.Get("embed", OfficeRel))!;
            string target = (string)rels.Root!.Elements().Single(r => (string)r.Attribute("Id")! == id).Attribute("Target")!;
            using var reader = new StreamReader(zip.GetEntry(target.TrimStart('/').StartsWith("word/") || target.StartsWith('/')
                ? target.TrimStart('/') : "word/" + target)!.Open(), Encoding.UTF8);
            return reader.ReadToEnd();
        }).ToArray();
    }

    [Fact]
    public void APictureBringsTheImageOfTheStoryItWasReadFrom()
    {
        var source = new Document(new MemoryStream(Source()));
        var target = new Document();
        var importer = new NodeImporter(source, target, ImportFormatMode.KeepSourceFormatting);
        var header = (HeaderFooter)source.FirstSection!.GetChild(NodeType.HeaderFooter, 0, false)!;
        Body body = target.FirstSection!.Body!;
        body.AppendChild(importer.ImportNode(header.FirstParagraph!, true));
        Node main = importer.ImportNode(source.FirstSection!.Body!.FirstParagraph!, true);
        body.AppendChild(main);
        ((Shape)((Paragraph)main).GetChild(NodeType.Shape, 0, true)!).Width = 20;

        byte[] saved = SaveBytes(target, SaveFormat.Docx);
        Assert.Equal(new[] { HeaderImage, MainImage }, ImagesShown(saved));
        Document again = new(new MemoryStream(saved));
        Shape[] shapes = again.GetChildNodes(NodeType.Shape, true).Cast<Shape>().ToArray();
        Assert.All(shapes, s => Assert.True(s.HasImage));
        Assert.Equal(new[] { (10.0, 20.0), (20.0, 20.0) }, shapes.Select(s => (s.Width, s.Height)));

        // A copy of the imported picture, within the target or into a third
        // document, shows the same image.
        body.AppendChild(main.Clone(true));
        var third = new Document();
        third.FirstSection!.Body!.AppendChild(new NodeImporter(target, third, ImportFormatMode.KeepSourceFormatting)
            .ImportNode(main, true));
        Assert.Equal(new[] { HeaderImage, MainImage, MainImage }, ImagesShown(SaveBytes(target, SaveFormat.Docx)));
        Assert.Equal(new[] { MainImage }, ImagesShown(SaveBytes(third, SaveFormat.Docx)));
    }

    // The main part and the header both name their image rIdImg, so a copy
    // moved into the other story and written with its original's id would
    // show the other story's image.
    [Fact]
    public void APictureCopiedIntoAnotherStoryOfItsDocumentShowsItsOwnImage()
    {
        var doc = new Document(new MemoryStream(Source()));
        var warnings = new WarningInfoCollection();
        doc.WarningCallback = warnings;
        var header = (HeaderFooter)doc.FirstSection!.GetChild(NodeType.HeaderFooter, 0, false)!;
        Body body = doc.FirstSection!.Body!;
        Paragraph mainPicture = body.FirstParagraph!, headerPicture = header.FirstParagraph!;
        byte[] before = SaveBytes(doc, SaveFormat.Docx);
        header.AppendChild(mainPicture.Clone(true));
        body.AppendChild(headerPicture.Clone(true));
        body.AppendChild(mainPicture.Clone(true));

        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        Assert.Equal(0, warnings.Count);
        Assert.Equal(ImagesShown(before).Append(HeaderImage).Append(MainImage), ImagesShown(saved));
        Assert.Equal(ImagesShown(before, "header1.xml").Append(MainImage), ImagesShown(saved, "header1.xml"));
        // A copy staying in its original's story shares its image part.
        Assert.Equal(MediaCount(before) + 2, MediaCount(saved));
        // Appended to another document, the copies bring their images there.
        var other = new Document();
        other.AppendDocument(doc, ImportFormatMode.KeepSourceFormatting);
        Assert.Equal(ImagesShown(saved), ImagesShown(SaveBytes(other, SaveFormat.Docx)));
    }

    private static int MediaCount(byte[] saved)
    {
        using var zip = new ZipArchive(new MemoryStream(saved), ZipArchiveMode.Read);
        return zip.Entries.Count(e => e.FullName.StartsWith("word/media/", StringComparison.Ordinal));
    }

    [Fact]
    public void AppendingADocumentToItselfKeepsItsPictures()
    {
        var doc = new Document(new MemoryStream(Source()));
        doc.AppendDocument(doc, ImportFormatMode.UseDestinationStyles);
        Assert.Equal(new[] { MainImage, MainImage }, ImagesShown(SaveBytes(doc, SaveFormat.Docx)).Take(2));
    }

    // A picture whose click names a link brings the link too, and the
    // images are written under the main part's folder, one part per image.
    [Fact]
    public void APictureWithALinkIsCarriedAndItsImageLiesBesideTheMainPart()
    {
        var source = new Document(new MemoryStream(Source()));
        var target = new Document();
        var warnings = new WarningInfoCollection();
        target.WarningCallback = warnings;
        var importer = new NodeImporter(source, target, ImportFormatMode.KeepSourceFormatting);
        Body body = target.FirstSection!.Body!;
        body.AppendChild(importer.ImportNode(source.FirstSection!.Body!.FirstParagraph!, true));
        body.AppendChild(importer.ImportNode(source.FirstSection!.Body!.Paragraphs[1], true));
        byte[] saved = SaveBytes(target, SaveFormat.Docx);
        Assert.Equal(new[] { MainImage, MainImage }, ImagesShown(saved));
        Assert.Equal(0, warnings.Count);
        using var zip = new ZipArchive(new MemoryStream(saved), ZipArchiveMode.Read);
        Assert.Equal(new[] { "word/media/image1.png" }, zip.Entries.Select(e => e.FullName).Where(n => n.EndsWith(".png")));
    }
}
