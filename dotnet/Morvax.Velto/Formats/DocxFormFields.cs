// DocxFormFields: a legacy form field's data (w:ffData inside the field
// start's w:fldChar) read into a FormField node and written back.  Only the
// values the model holds are touched on writing, and only when they changed;
// every other child and attribute of the form data stays as read.
using System;
using System.Globalization;
using System.Linq;
using DocumentFormat.OpenXml;
using Morvax.Velto.Fields;
using static Morvax.Velto.Formats.WordMl;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static class DocxFormFields
{
    /// <summary>The form field that a field start's run describes, or null when its mark holds no form data.</summary>
    public static FormField? Read(DocumentBase doc, W.Run piece)
    {
        if (piece.GetFirstChild<W.FieldChar>()?.GetFirstChild<W.FormFieldData>() is not { } data)
            return null;
        var field = new FormField(doc)
        {
            Name = Val(Child(data, "name")) ?? string.Empty, ReadData = data,
            Enabled = Child(data, "enabled") is not { } enabled || OnOff(enabled),
            CalculateOnExit = OnOff(Child(data, "calcOnExit")),
            EntryMacro = Val(Child(data, "entryMacro")) ?? string.Empty,
            ExitMacro = Val(Child(data, "exitMacro")) ?? string.Empty,
        };
        OpenXmlElement? help = Child(data, "helpText"), status = Child(data, "statusText");
        field.ReadInfo(Val(help) ?? string.Empty, IsOwnText(help), Val(status) ?? string.Empty, IsOwnText(status));
        if (Child(data, "checkBox") is { } box)
        {
            field.Type = FieldType.FieldFormCheckBox;
            field.Default = OnOff(Child(box, "default"));
            field.Checked = Child(box, "checked") is { } ticked ? OnOff(ticked) : field.Default;
        }
        else if (Child(data, "ddList") is { } list)
        {
            field.Type = FieldType.FieldFormDropDown;
            foreach (OpenXmlElement entry in list.ChildElements.Where(e => e.LocalName == "listEntry"))
                field.DropDownItems.Add(Val(entry) ?? string.Empty);
            int chosen = Int(Val(Child(list, "result")));
            if (chosen < field.DropDownItems.Count)
                field.ReadSelectedIndex(chosen);
        }
        else if (Child(data, "textInput") is { } input)
        {
            field.TextInputDefault = Val(Child(input, "default")) ?? string.Empty;
            field.MaxLength = Int(Val(Child(input, "maxLength")));
            field.TextInputType = Val(Child(input, "type")) switch
            {
                "number" => TextFormFieldType.Number,
                "date" => TextFormFieldType.Date,
                "currentTime" => TextFormFieldType.CurrentTime,
                "currentDate" => TextFormFieldType.CurrentDate,
                "calculated" => TextFormFieldType.Calculated,
                _ => TextFormFieldType.Regular,
            };
        }
        field.ReadValues = field.Values;
        return field;
    }

    /// <summary>True when the form field's values are those it was read with.</summary>
    public static bool IsUnchanged(FormField field) => field.ReadValues == field.Values;

    /// <summary>The field start's run with the form field's data in its mark: the data as read with the changed values set.</summary>
    public static W.Run WithData(W.Run run, FormField field)
    {
        W.FieldChar mark = run.GetFirstChild<W.FieldChar>() ?? run.AppendChild(new W.FieldChar { FieldCharType = W.FieldCharValues.Begin });
        var data = (OpenXmlElement)((field.ReadData as OpenXmlElement)?.CloneNode(true) ?? new W.FormFieldData());
        FormFieldValues before = field.ReadValues ?? default;
        FormFieldValues now = field.Values;
        mark.GetFirstChild<W.FormFieldData>()?.Remove();
        mark.AppendChild(data);
        if (field.ReadValues is null || before.Name != now.Name)
            SetAttributeVal(Ensure(data, "name"), now.Name);
        WriteBehaviour(data, field.ReadValues is null ? null : before.Behaviour, now.Behaviour);
        switch (field.Type)
        {
            case FieldType.FieldFormCheckBox:
                OpenXmlElement box = Ensure(data, "checkBox");
                if (field.ReadValues is null && Child(box, "size") is null && Child(box, "sizeAuto") is null)
                    box.PrependChild(NewElement("sizeAuto"));
                if (field.ReadValues is null || before.Default != now.Default)
                    SetAttributeVal(Ensure(box, "default"), now.Default ? "1" : "0");
                if (field.ReadValues is null || before.Checked != now.Checked)
                    SetAttributeVal(Ensure(box, "checked"), now.Checked ? "1" : "0");
                break;
            case FieldType.FieldFormDropDown:
                OpenXmlElement list = Ensure(data, "ddList");
                if (field.ReadValues is null || before.DropDownSelectedIndex != now.DropDownSelectedIndex)
                    SetAttributeVal(Ensure(list, "result"), now.DropDownSelectedIndex.ToString(CultureInfo.InvariantCulture));
                if (field.ReadValues is null || before.DropDownItems != now.DropDownItems)
                {
                    foreach (OpenXmlElement entry in list.ChildElements.Where(e => e.LocalName == "listEntry").ToList())
                        entry.Remove();
                    foreach (string item in field.DropDownItems)
                        list.AppendChild(SetAttributeVal(NewElement("listEntry"), item));
                }
                break;
            default:
                OpenXmlElement input = Ensure(data, "textInput");
                if (field.ReadValues is null || before.TextInputDefault != now.TextInputDefault)
                    SetAttributeVal(Ensure(input, "default"), now.TextInputDefault);
                if (field.ReadValues is null || before.MaxLength != now.MaxLength)
                {
                    if (now.MaxLength == 0)
                        Child(input, "maxLength")?.Remove();
                    else
                        SetAttributeVal(Ensure(input, "maxLength"), now.MaxLength.ToString(CultureInfo.InvariantCulture));
                }
                break;
        }
        return run;
    }

    // What the form data says besides the value, each setting written only when it changed (all of them for a
    // field made here).
    private static void WriteBehaviour(OpenXmlElement data, FormFieldBehaviour? before, FormFieldBehaviour now)
    {
        if (before?.Enabled != now.Enabled)
            SetAttributeVal(Ensure(data, "enabled"), now.Enabled ? "1" : "0");
        if (before?.CalculateOnExit != now.CalculateOnExit)
            SetAttributeVal(Ensure(data, "calcOnExit"), now.CalculateOnExit ? "1" : "0");
        if (before?.EntryMacro != now.EntryMacro)
            SetOrRemove(data, "entryMacro", now.EntryMacro, null);
        if (before?.ExitMacro != now.ExitMacro)
            SetOrRemove(data, "exitMacro", now.ExitMacro, null);
        if (before?.HelpText != now.HelpText || before?.OwnHelp != now.OwnHelp)
            SetOrRemove(data, "helpText", now.HelpText, now.OwnHelp);
        if (before?.StatusText != now.StatusText || before?.OwnStatus != now.OwnStatus)
            SetOrRemove(data, "statusText", now.StatusText, now.OwnStatus);
    }

    // Sets a text setting (with its type when own is given: the text itself or an AutoText entry's name); an empty
    // text takes the setting out.
    private static void SetOrRemove(OpenXmlElement data, string localName, string value, bool? own)
    {
        if (value.Length == 0)
        {
            Child(data, localName)?.Remove();
            return;
        }
        OpenXmlElement setting = Ensure(data, localName);
        if (own is { } ownText)
            SetAttribute(setting, "type", ownText ? "text" : "autoText");
        SetAttributeVal(setting, value);
    }

    // Help and status texts are the text itself unless they name an AutoText entry.
    private static bool IsOwnText(OpenXmlElement? info) => info is not null && Attribute(info, "type") is null or "text";

    // The schema's order of the children written here, those of the form data and then those of its check box,
    // drop-down and text input; a child added goes before the first present one that comes later.
    private static readonly string[] ChildOrder =
    {
        "name", "label", "tabIndex", "enabled", "calcOnExit", "entryMacro", "exitMacro", "helpText", "statusText",
        "checkBox", "ddList", "textInput",
        "size", "sizeAuto", "type", "result", "default", "checked", "maxLength", "listEntry", "format",
    };

    private static OpenXmlElement Ensure(OpenXmlElement parent, string localName)
    {
        if (Child(parent, localName) is { } present)
            return present;
        int rank = Array.IndexOf(ChildOrder, localName);
        OpenXmlElement added = NewElement(localName);
        OpenXmlElement? later = localName == "name" ? parent.FirstChild : parent.ChildElements.FirstOrDefault(e =>
            e.NamespaceUri == WordMl.W && Array.IndexOf(ChildOrder, e.LocalName) > rank);
        return later is null ? parent.AppendChild(added) : parent.InsertBefore(added, later);
    }

    private static OpenXmlElement SetAttributeVal(OpenXmlElement element, string value) => SetAttribute(element, "val", value);

    private static bool OnOff(OpenXmlElement? element) =>
        element is not null && Val(element) is not ("0" or "false" or "off");

    private static int Int(string? text) =>
        int.TryParse(text, NumberStyles.Integer, CultureInfo.InvariantCulture, out int value) && value >= 0 ? value : 0;
}
