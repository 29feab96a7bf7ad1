// Inline content controls in .docx: read into StructuredDocumentTag nodes
// holding their content, written back as read when untouched, and with the
// properties as read (changed values set) around the content otherwise.
using System.IO;
using System.Linq;
using System.Xml.Linq;
using Morvax.Velto.Markup;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class ContentControlTests
{
    private const string Control = "<w:sdt><w:sdtPr><w:alias w:val=\"Colour\"/><w:tag w:val=\"colour\"/><w:lock w:val=\"sdtLocked\"/>"
        + "<w:placeholder><w:docPart w:val=\"DefaultPlaceholder\"/></w:placeholder>"
        + "<w:comboBox><w:listItem w:displayText=\"Red\" w:value=\"r\"/><w:listItem w:displayText=\"Blue\" w:value=\"b\"/></w:comboBox>"
        + "</w:sdtPr><w:sdtContent><w:r><w:t>Red</w:t></w:r></w:sdtContent></w:sdt>";

    private static readonly string Body = $"<w:p><w:r><w:t xml:space=\"preserve\">Pick: </w:t></w:r>{Control}"
        + "<w:r><w:t xml:space=\"preserve\"> done</w:t></w:r></w:p>";

    private static Document Load() => new(new MemoryStream(BodyPackage(Body)));

    private static XElement Sdt(byte[] package) => Part(package, "word/document.xml").Descendants(W + "sdt").Single();

    [Fact]
    public void AnInlineControlIsReadWithItsPropertiesAndContent()
    {
        Document doc = Load();
        StructuredDocumentTag control = doc.Range.StructuredDocumentTags.Cast<StructuredDocumentTag>().Single();
        Assert.Equal(("colour", "Colour", SdtType.ComboBox, MarkupLevel.Inline), (control.Tag, control.Title, control.SdtType, control.Level));
        Assert.Equal((false, true), (control.LockContents, control.LockContentControl));
        Assert.Equal(new[] { ("Red", "r"), ("Blue", "b") }, control.ListItems.Select(i => (i.DisplayText, i.Value)));
        Assert.Equal("Red", ((Run)control.FirstChild!).Text);
        Assert.Equal("Pick: Red done\f", doc.GetText());
        Assert.Single(doc.GetChildNodes(NodeType.StructuredDocumentTag, true).Cast<Node>());
    }

    [Fact]
    public void AnUntouchedControlIsWrittenAsRead()
    {
        byte[] read = BodyPackage(Body);
        Assert.Equal(Sdt(read).ToString(), Sdt(SaveBytes(new Document(new MemoryStream(read)), SaveFormat.Docx)).ToString());
    }

    [Fact]
    public void ChangedPropertiesAndContentAreWrittenAndTheRestKept()
    {
        Document doc = Load();
        var control = (StructuredDocumentTag)doc.GetChild(NodeType.StructuredDocumentTag, 0, true)!;
        control.Tag = "hue";
        control.LockContents = true;
        control.Title = string.Empty;
        ((Run)control.FirstChild!).Text = "Blue";
        byte[] saved = SaveBytes(doc, SaveFormat.Docx);

        XElement properties = Sdt(saved).Element(W + "sdtPr")!;
        Assert.Equal(new[] { "tag", "lock", "placeholder", "comboBox" }, properties.Elements().Select(e => e.Name.LocalName));
        Assert.Equal("sdtContentLocked", (string?)properties.Element(W + "lock")!.Attribute(W + "val"));
        Assert.Equal(2, properties.Descendants(W + "listItem").Count());

        var back = (StructuredDocumentTag)new Document(new MemoryStream(saved)).GetChild(NodeType.StructuredDocumentTag, 0, true)!;
        Assert.Equal(("hue", "", true, true), (back.Tag, back.Title, back.LockContents, back.LockContentControl));
        Assert.Equal("Pick: Blue done\f", back.Document.GetText());
    }
}
