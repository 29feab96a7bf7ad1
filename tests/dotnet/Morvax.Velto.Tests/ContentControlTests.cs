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

    private const string W14 = "http://schemas.microsoft.com/office/word/2010/wordml";

    private static readonly string Values = "<w:p>"
        + $"<w:sdt xmlns:w14=\"{W14}\"><w:sdtPr><w:tag w:val=\"box\"/><w14:checkbox><w14:checked w14:val=\"0\"/>"
        + "<w14:checkedState w14:val=\"2612\" w14:font=\"MS Gothic\"/><w14:uncheckedState w14:val=\"2610\" w14:font=\"MS Gothic\"/>"
        + "</w14:checkbox></w:sdtPr><w:sdtContent><w:r><w:t>\u2610</w:t></w:r></w:sdtContent></w:sdt>"
        + "<w:sdt><w:sdtPr><w:tag w:val=\"when\"/><w:date w:fullDate=\"2024-05-01T00:00:00Z\"><w:dateFormat w:val=\"d MMMM yyyy\"/>"
        + "<w:lid w:val=\"en-GB\"/><w:calendar w:val=\"gregorian\"/></w:date></w:sdtPr>"
        + "<w:sdtContent><w:r><w:t xml:space=\"preserve\">1 May </w:t></w:r><w:r><w:t>2024</w:t></w:r></w:sdtContent></w:sdt></w:p>";

    private static StructuredDocumentTag[] Controls(Document doc) =>
        doc.GetChildNodes(NodeType.StructuredDocumentTag, true).Cast<StructuredDocumentTag>().ToArray();

    [Fact]
    public void Check_box_state_and_date_are_read_changed_with_their_shown_text_and_saved()
    {
        var doc = new Document(new MemoryStream(BodyPackage(Values)));
        StructuredDocumentTag[] controls = Controls(doc);
        Assert.Equal((SdtType.Checkbox, false), (controls[0].SdtType, controls[0].Checked));
        Assert.Equal((SdtType.Date, new System.DateTime(2024, 5, 1), "d MMMM yyyy"),
            (controls[1].SdtType, controls[1].FullDate, controls[1].DateDisplayFormat));
        Assert.Throws<System.InvalidOperationException>(() => controls[0].FullDate);
        Assert.Throws<System.InvalidOperationException>(() => controls[1].Checked = true);
        Assert.Throws<System.FormatException>(() => controls[1].DateDisplayFormat = "%");

        controls[0].Checked = true;
        controls[1].FullDate = new System.DateTime(2025, 12, 24);
        Assert.Equal(("\u2612", "24 December 2025"), (controls[0].GetText(), controls[1].GetText()));
        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        XElement[] sdts = Part(saved, "word/document.xml").Descendants(W + "sdt").ToArray();
        XNamespace w14 = W14;
        XElement box = sdts[0].Descendants(w14 + "checkbox").Single();
        Assert.Equal("1", box.Element(w14 + "checked")!.Attribute(w14 + "val")!.Value);
        Assert.Equal("MS Gothic", box.Element(w14 + "checkedState")!.Attribute(w14 + "font")!.Value);
        XElement date = sdts[1].Descendants(W + "date").Single();
        Assert.Equal("2025-12-24T00:00:00Z", date.Attribute(W + "fullDate")!.Value);
        Assert.NotNull(date.Element(W + "calendar"));

        StructuredDocumentTag[] again = Controls(new Document(new MemoryStream(saved)));
        Assert.Equal((true, "\u2612"), (again[0].Checked, again[0].GetText()));
        Assert.Equal((new System.DateTime(2025, 12, 24), "24 December 2025"), (again[1].FullDate, again[1].GetText()));
    }

    [Fact]
    public void Controls_made_here_keep_their_kind_state_and_entries_through_saving()
    {
        var doc = new Document();
        Paragraph paragraph = doc.FirstSection!.Body!.FirstParagraph!;
        var box = new StructuredDocumentTag(doc, SdtType.Checkbox, MarkupLevel.Inline);
        box.Checked = true;
        var combo = new StructuredDocumentTag(doc, SdtType.ComboBox, MarkupLevel.Inline);
        combo.ListItems.Add(new SdtListItem { DisplayText = "One", Value = "1" });
        var date = new StructuredDocumentTag(doc, SdtType.Date, MarkupLevel.Inline) { DateDisplayFormat = "yyyy-MM-dd" };
        date.FullDate = new System.DateTime(2026, 1, 2);
        paragraph.AppendChild(box);
        paragraph.AppendChild(combo);
        paragraph.AppendChild(date);

        StructuredDocumentTag[] again = Controls(Reload(doc));
        Assert.Equal(new[] { SdtType.Checkbox, SdtType.ComboBox, SdtType.Date }, again.Select(c => c.SdtType));
        Assert.Equal((true, "\u2612"), (again[0].Checked, again[0].GetText()));
        Assert.Equal("One", again[1].ListItems.Single().DisplayText);
        Assert.Equal((new System.DateTime(2026, 1, 2), "2026-01-02"), (again[2].FullDate, again[2].GetText()));
    }
}
