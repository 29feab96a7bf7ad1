// Legacy form fields in .docx: the form data in a field start's mark read
// into FormField nodes, written back as read when untouched and with only
// the changed values (and the result) rewritten otherwise.
using System.IO;
using System.Linq;
using System.Xml.Linq;
using Morvax.Velto.Fields;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class FormFieldTests
{
    private static readonly XNamespace Wn = W;

    private static string Field(string data, string code, string result) =>
        $"<w:r><w:fldChar w:fldCharType=\"begin\"><w:ffData>{data}</w:ffData></w:fldChar></w:r>"
        + $"<w:r><w:instrText xml:space=\"preserve\"> {code} </w:instrText></w:r>"
        + "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
        + $"<w:r><w:t>{result}</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";

    // A text input, a ticked check box with a help text nothing here models,
    // and a drop-down showing its second entry.
    private static readonly string Body = "<w:p><w:r><w:t xml:space=\"preserve\">Name: </w:t></w:r>"
        + Field("<w:name w:val=\"Who\"/><w:enabled/><w:textInput><w:default w:val=\"Anon\"/><w:maxLength w:val=\"20\"/></w:textInput>",
            "FORMTEXT", "Bob")
        + "</w:p><w:p>"
        + Field("<w:name w:val=\"Agree\"/><w:helpText w:type=\"text\" w:val=\"tick me\"/>"
            + "<w:checkBox><w:sizeAuto/><w:default w:val=\"0\"/><w:checked/></w:checkBox>", "FORMCHECKBOX", "")
        + Field("<w:name w:val=\"Colour\"/><w:ddList><w:result w:val=\"1\"/><w:listEntry w:val=\"red\"/>"
            + "<w:listEntry w:val=\"green\"/><w:listEntry w:val=\"blue\"/></w:ddList>", "FORMDROPDOWN", "green")
        + "</w:p>";

    private static Document Load() => new(new MemoryStream(BodyPackage(Body)));

    private static XElement[] FormData(byte[] package) =>
        Part(package, "word/document.xml").Descendants(Wn + "ffData").ToArray();

    [Fact]
    public void FormFieldsAreReadWithTheirValuesAndResults()
    {
        Document doc = Load();
        FormFieldCollection fields = doc.Range.FormFields;
        Assert.Equal(new[] { "Who", "Agree", "Colour" }, fields.Select(f => f.Name));
        Assert.Equal(new[] { FieldType.FieldFormTextInput, FieldType.FieldFormCheckBox, FieldType.FieldFormDropDown },
            fields.Select(f => f.Type));
        FormField who = fields["Who"]!, agree = fields["Agree"]!, colour = fields["Colour"]!;
        Assert.Equal(("Anon", 20, "Bob"), (who.TextInputDefault, who.MaxLength, who.Result));
        Assert.True(agree.Checked);
        Assert.False(agree.Default);
        Assert.Equal(new[] { "red", "green", "blue" }, colour.DropDownItems);
        Assert.Equal((1, "green"), (colour.DropDownSelectedIndex, colour.Result));
        // The fields' text is unchanged by their form data.
        Assert.Equal("Name: \u0013 FORMTEXT \u0014Bob\u0015\r\u0013 FORMCHECKBOX \u0014\u0015\u0013 FORMDROPDOWN \u0014green\u0015\f",
            doc.GetText());
        Assert.Equal(3, doc.GetChildNodes(NodeType.FormField, true).Count);
    }

    [Fact]
    public void UntouchedFormFieldsAreWrittenAsRead()
    {
        byte[] read = BodyPackage(Body);
        byte[] saved = SaveBytes(new Document(new MemoryStream(read)), SaveFormat.Docx);
        Assert.Equal(FormData(read).Select(e => e.ToString()), FormData(saved).Select(e => e.ToString()));
    }

    [Fact]
    public void ChangedValuesAreWrittenAndTheRestKept()
    {
        Document doc = Load();
        FormFieldCollection fields = doc.Range.FormFields;
        fields["Who"]!.Result = "Alice";
        fields["Who"]!.MaxLength = 0;
        fields["Agree"]!.Checked = false;
        FormField colour = fields["Colour"]!;
        colour.DropDownItems.Add("black");
        colour.DropDownSelectedIndex = 3;
        byte[] saved = SaveBytes(doc, SaveFormat.Docx);

        XElement[] data = FormData(saved);
        Assert.NotNull(data[0].Element(Wn + "enabled"));
        Assert.Null(data[0].Descendants(Wn + "maxLength").FirstOrDefault());
        Assert.Equal("tick me", (string?)data[1].Element(Wn + "helpText")?.Attribute(Wn + "val"));
        Assert.Equal(new[] { "sizeAuto", "default", "checked" },
            data[1].Element(Wn + "checkBox")!.Elements().Select(e => e.Name.LocalName));
        Assert.Equal(new[] { "result", "listEntry", "listEntry", "listEntry", "listEntry" },
            data[2].Element(Wn + "ddList")!.Elements().Select(e => e.Name.LocalName));

        Document back = new(new MemoryStream(saved));
        FormFieldCollection again = back.Range.FormFields;
        Assert.Equal(("Alice", 0), (again["Who"]!.Result, again["Who"]!.MaxLength));
        Assert.False(again["Agree"]!.Checked);
        Assert.Equal((3, "black"), (again["Colour"]!.DropDownSelectedIndex, again["Colour"]!.Result));
        Assert.Equal(new[] { "red", "green", "blue", "black" }, again["Colour"]!.DropDownItems);
    }

    [Fact]
    public void AnOutOfRangeChoiceIsRefused()
    {
        FormField colour = Load().Range.FormFields["Colour"]!;
        Assert.Throws<System.ArgumentOutOfRangeException>(() => colour.DropDownSelectedIndex = 3);
        Assert.Throws<System.ArgumentOutOfRangeException>(() => colour.MaxLength = -1);
        Assert.Equal(1, colour.DropDownSelectedIndex);
    }

    [Fact]
    public void Help_status_and_behaviour_are_read_and_only_changed_settings_are_rewritten_in_schema_order()
    {
        Document doc = Load();
        FormField[] fields = doc.Range.FormFields.Cast<FormField>().ToArray();
        Assert.Equal((true, "", false), (fields[0].Enabled, fields[0].HelpText, fields[0].OwnHelp));
        Assert.Equal(("tick me", true, "", false), (fields[1].HelpText, fields[1].OwnHelp, fields[1].StatusText, fields[1].OwnStatus));
        Assert.False(fields[2].CalculateOnExit);

        fields[0].Enabled = false;
        fields[0].ExitMacro = "Checked";
        fields[1].HelpText = "";
        fields[1].StatusText = "Tick to agree";
        fields[1].OwnStatus = true;
        Assert.Throws<System.ArgumentOutOfRangeException>(() => fields[2].StatusText = new string('x', 139));
        Assert.Equal("", fields[2].StatusText);
        byte[] saved = SaveBytes(doc, SaveFormat.Docx);

        XElement[] data = FormData(saved);
        Assert.Equal(new[] { "name", "enabled", "exitMacro", "textInput" }, data[0].Elements().Select(e => e.Name.LocalName));
        Assert.Equal("0", data[0].Element(Wn + "enabled")!.Attribute(Wn + "val")!.Value);
        Assert.Equal(new[] { "name", "statusText", "checkBox" }, data[1].Elements().Select(e => e.Name.LocalName));
        Assert.Equal(("text", "Tick to agree"), (data[1].Element(Wn + "statusText")!.Attribute(Wn + "type")!.Value,
            data[1].Element(Wn + "statusText")!.Attribute(Wn + "val")!.Value));
        // Untouched, the drop-down's data is as read.
        Assert.Equal(FormData(BodyPackage(Body))[2].ToString(), data[2].ToString());

        FormField[] again = new Document(new MemoryStream(saved)).Range.FormFields.Cast<FormField>().ToArray();
        Assert.Equal((false, "Checked"), (again[0].Enabled, again[0].ExitMacro));
        Assert.Equal(("", "Tick to agree", true), (again[1].HelpText, again[1].StatusText, again[1].OwnStatus));
    }
}
