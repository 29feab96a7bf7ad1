// Package content outside the story tree: custom XML parts and the
// package's own custom parts kept or rewritten on save, and mail-merge settings read from and written to the settings
// part only when they changed.
using System;
using System.IO;
using System.IO.Compression;
using System.Linq;
using Morvax.Velto.Markup;
using Morvax.Velto.Settings;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class PackageContentTests
{
    private static string[] CustomXmlNames(byte[] package)
    {
        using var zip = new ZipArchive(new MemoryStream(package), ZipArchiveMode.Read);
        return zip.Entries.Select(e => e.FullName).Where(n => n.StartsWith("customXml/", StringComparison.Ordinal)).OrderBy(n => n).ToArray();
    }

    [Fact]
    public void CustomXmlPartCollectionFindsByIdWithoutCaseAndClonesDeeply()
    {
        var parts = new CustomXmlPartCollection();
        CustomXmlPart added = parts.Add("{ABC}", "<a/>");
        Assert.Same(added, parts.GetById("{abc}"));
        Assert.Null(parts.GetById("{other}"));
        Assert.Throws<ArgumentOutOfRangeException>(() => parts.RemoveAt(1));
        Assert.Throws<ArgumentNullException>(() => added.Data = null!);
        CustomXmlPartCollection copy = parts.Clone();
        copy.GetById("{ABC}")!.Data[1] = (byte)'b';
        Assert.Equal("<a/>", System.Text.Encoding.UTF8.GetString(added.Data));
    }

    [Fact]
    public void AnUnchangedPartIsKeptAsItWasAndAChangedOneIsReplaced()
    {
        Document doc = Paragraphs("x");
        doc.CustomXmlParts.Add("{1}", "<one/>");
        doc.CustomXmlParts.Add("{2}", "<two/>");
        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        string[] names = CustomXmlNames(saved);
        Assert.Equal(4, names.Count(n => !n.Contains("_rels")));

        var loaded = new Document(new MemoryStream(saved));
        Assert.Equal(new[] { "{1}", "{2}" }, loaded.CustomXmlParts.Select(p => p.Id));
        loaded.CustomXmlParts.GetById("{2}")!.Data = "<changed/>"u8.ToArray();
        byte[] resaved = SaveBytes(loaded, SaveFormat.Docx);
        var reread = new Document(new MemoryStream(resaved));
        Assert.Equal("<one/>", System.Text.Encoding.UTF8.GetString(reread.CustomXmlParts.GetById("{1}")!.Data));
        Assert.Equal("<changed/>", System.Text.Encoding.UTF8.GetString(reread.CustomXmlParts.GetById("{2}")!.Data));
        // The unchanged part kept its package name; the changed one was written anew.
        Assert.Contains(CustomXmlNames(saved).First(n => n.EndsWith(".xml") && !n.Contains("Props") && Part(saved, n).Root!.Name.LocalName == "one"),
                        CustomXmlNames(resaved));
    }

    [Fact]
    public void MailMergeSettingsRoundTripAndACloneHasItsOwn()
    {
        Document doc = Paragraphs("x");
        doc.MailMergeSettings.MainDocumentType = MailMergeMainDocumentType.Envelopes;
        doc.MailMergeSettings.Destination = MailMergeDestination.Email;
        doc.MailMergeSettings.MailSubject = "Hello";
        doc.MailMergeSettings.CheckErrors = MailMergeCheckErrors.Simulate;
        doc.MailMergeSettings.DoNotSupressBlankLines = true;
        Document clone = doc.Clone();
        clone.MailMergeSettings.MailSubject = "Other";

        MailMergeSettings read = Reload(doc).MailMergeSettings;
        Assert.Equal(MailMergeMainDocumentType.Envelopes, read.MainDocumentType);
        Assert.Equal(MailMergeDestination.Email, read.Destination);
        Assert.Equal("Hello", read.MailSubject);
        Assert.Equal(MailMergeCheckErrors.Simulate, read.CheckErrors);
        Assert.True(read.DoNotSupressBlankLines);
        Assert.Equal("Other", Reload(clone).MailMergeSettings.MailSubject);
    }

    [Fact]
    public void ViewAndCompatibilityFlagsReadWordsSpellingsAndARefusedSaveWritesNothing()
    {
        string settings = "<w:settings xmlns:w=\"" + W + "\"><w:view w:val=\"normal\"/><w:zoom w:percent=\"120%\" w:val=\"textFit\"/>"
            + "<w:compat><w:growAutofit w:val=\"0\"/><w:noExtraLineSpacing/></w:compat></w:settings>";
        var doc = new Document(new MemoryStream(WordPackage(
            $"<w:document xmlns:w=\"{W}\"><w:body><w:p/></w:body></w:document>",
            ("settings.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml", OfficeRel + "/settings", settings))));
        Assert.Equal(ViewType.Normal, doc.ViewOptions.ViewType);
        Assert.Equal((120, ZoomType.TextFit), (doc.ViewOptions.ZoomPercent, doc.ViewOptions.ZoomType));
        Assert.False(doc.CompatibilityOptions.GrowAutofit);
        Assert.True(doc.CompatibilityOptions.NoExtraLineSpacing);

        doc.ViewOptions.ViewType = ViewType.Reading;
        Assert.Throws<NotSupportedException>(() => SaveBytes(doc, SaveFormat.Docx));
        doc.ViewOptions.ViewType = ViewType.Web;
        Document reread = Reload(doc);
        Assert.Equal(ViewType.Web, reread.ViewOptions.ViewType);
        Assert.True(reread.CompatibilityOptions.NoExtraLineSpacing);
        Assert.False(reread.CompatibilityOptions.GrowAutofit);
    }

    private const string RibbonRel = "http://schemas.microsoft.com/office/2006/relationships/ui/extensibility";
    private const string ImageRel = OfficeRel + "/image";

    // A package whose root relates to a ribbon that uses two images: one only
    // it uses and one the main part uses as well.
    private static byte[] PackageWithRibbon() => Package(
        ("[Content_Types].xml", "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
            + "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
            + "<Default Extension=\"xml\" ContentType=\"application/xml\"/><Default Extension=\"png\" ContentType=\"image/png\"/>"
            + "<Override PartName=\"/docProps/app.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.extended-properties+xml\"/>"
            + $"<Override PartName=\"/word/document.xml\" ContentType=\"{MainType}\"/></Types>"),
        ("_rels/.rels", $"<Relationships xmlns=\"{RelationshipsNs}\">"
            + $"<Relationship Id=\"rId1\" Type=\"{OfficeRel}/officeDocument\" Target=\"word/document.xml\"/>"
            + $"<Relationship Id=\"rId2\" Type=\"{OfficeRel}/extended-properties\" Target=\"docProps/app.xml\"/>"
            + $"<Relationship Id=\"rId3\" Type=\"{RibbonRel}\" Target=\"customUI/customUI.xml\"/></Relationships>"),
        ("docProps/app.xml", "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\"/>"),
        ("word/document.xml", $"<w:document xmlns:w=\"{W}\"><w:body><w:p/></w:body></w:document>"),
        ("word/_rels/document.xml.rels", $"<Relationships xmlns=\"{RelationshipsNs}\">"
            + $"<Relationship Id=\"rId1\" Type=\"{ImageRel}\" Target=\"/shared.png\"/></Relationships>"),
        ("customUI/customUI.xml", "<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\"/>"),
        ("customUI/_rels/customUI.xml.rels", $"<Relationships xmlns=\"{RelationshipsNs}\">"
            + $"<Relationship Id=\"i1\" Type=\"{ImageRel}\" Target=\"images/own.png\"/>"
            + $"<Relationship Id=\"i2\" Type=\"{ImageRel}\" Target=\"/shared.png\"/></Relationships>"),
        ("customUI/images/own.png", "own"),
        ("shared.png", "shared"));

    private static string[] Names(byte[] package)
    {
        using var zip = new ZipArchive(new MemoryStream(package), ZipArchiveMode.Read);
        return zip.Entries.Select(e => e.FullName).ToArray();
    }

    [Fact]
    public void PackageCustomPartsKeepUnchangedPartsAndDropRemovedOnesWithWhatOnlyTheyUsed()
    {
        var doc = new Document(new MemoryStream(PackageWithRibbon()));
        CustomPart ribbon = Assert.Single(doc.PackageCustomParts);  // the properties part is read elsewhere
        Assert.Equal(("/customUI/customUI.xml", RibbonRel, "application/xml", false),
                     (ribbon.Name, ribbon.RelationshipType, ribbon.ContentType, ribbon.IsExternal));

        // Unchanged: the ribbon keeps the parts it relates to.
        byte[] kept = SaveBytes(doc, SaveFormat.Docx);
        Assert.Contains("customUI/images/own.png", Names(kept));
        Assert.Contains("customUI/_rels/customUI.xml.rels", Names(kept));

        // Changed data: the part is written anew under its name, without its old relationships.
        Document changed = doc.Clone();
        changed.PackageCustomParts[0].Data = "<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\"><ribbon/></customUI>"u8.ToArray();
        byte[] rewritten = SaveBytes(changed, SaveFormat.Docx);
        Assert.Equal("ribbon", Part(rewritten, "customUI/customUI.xml").Root!.Elements().Single().Name.LocalName);
        Assert.DoesNotContain("customUI/images/own.png", Names(rewritten));

        // Removed: the image only the ribbon used goes, the one the main part uses stays.
        doc.PackageCustomParts.RemoveAt(0);
        string[] names = Names(SaveBytes(doc, SaveFormat.Docx));
        Assert.DoesNotContain("customUI/customUI.xml", names);
        Assert.DoesNotContain("customUI/images/own.png", names);
        Assert.Contains("shared.png", names);
        Assert.Contains("docProps/app.xml", names);
        Assert.Empty(Reload(doc).PackageCustomParts);
    }

    [Fact]
    public void PackageCustomPartsRefuseWhatCannotBeWrittenAndCloneDeeply()
    {
        var parts = new CustomPartCollection();
        var part = new CustomPart { Name = "/a.bin", RelationshipType = "urn:kind", ContentType = "application/x-a", Data = new byte[] { 1 } };
        parts.Add(part);
        CustomPartCollection copy = parts.Clone();
        copy[0].Data[0] = 2;
        Assert.Equal(1, part.Data[0]);
        Assert.Throws<ArgumentOutOfRangeException>(() => parts[1]);
        Assert.Throws<ArgumentNullException>(() => parts[0] = null!);

        Document doc = Paragraphs("x");
        doc.PackageCustomParts.Add(new CustomPart { Name = "/b.bin", RelationshipType = "urn:kind" });
        Assert.Contains("no content type", Assert.Throws<ArgumentException>(() => SaveBytes(doc, SaveFormat.Docx)).Message);
        doc.PackageCustomParts[0] = part;
        Assert.Equal(new byte[] { 1 }, Assert.Single(Reload(doc).PackageCustomParts).Data);
    }
}
