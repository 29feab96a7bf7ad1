// Package content outside the story tree: custom XML parts kept or rewritten
// on save, and mail-merge settings read from and written to the settings
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
}
