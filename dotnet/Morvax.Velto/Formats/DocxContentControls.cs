// DocxContentControls: a content control's properties (w:sdtPr) read into a
// StructuredDocumentTag node and written back.  The properties element is
// kept as read; only the tag, title and locks the node holds are set in it,
// and only when they changed, so that everything else (data binding,
// placeholder, appearance, future children) stays as it was.
using System;
using System.Globalization;
using System.Linq;
using DocumentFormat.OpenXml;
using Morvax.Velto.Markup;
using static Morvax.Velto.Formats.WordMl;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

// The content control as read: its element, the values the node started
// with, and the nodes read from its content.
internal sealed record ContentControlOrigin(object Element, string Tag, string Title, bool LockContents,
    bool LockContentControl, string ListItems, Node[] Children)
{
    // A check box's state and a date control's date and format as read.
    public (bool Checked, DateTime Date, string Format) Values { get; init; }
}

internal static class DocxContentControls
{
    // The kind of control, named by the first of these children of the
    // properties present; a control without one holds rich text.
    private static readonly (string LocalName, SdtType Type)[] Kinds =
    {
        ("text", SdtType.PlainText), ("comboBox", SdtType.ComboBox), ("dropDownList", SdtType.DropDownList),
        ("date", SdtType.Date), ("picture", SdtType.Picture), ("checkbox", SdtType.Checkbox),
        ("docPartObj", SdtType.DocPartObj), ("docPartList", SdtType.BuildingBlockGallery), ("group", SdtType.Group),
        ("citation", SdtType.Citation), ("bibliography", SdtType.Bibliography), ("equation", SdtType.Equation),
        ("richText", SdtType.RichText),
    };

    /// <summary>The node for a content control at that level, its origin still to be completed with its children.</summary>
    public static StructuredDocumentTag Read(DocumentBase doc, OpenXmlElement sdt, MarkupLevel level)
    {
        OpenXmlElement? properties = sdt.ChildElements.FirstOrDefault(e => e.LocalName == "sdtPr");
        SdtType type = properties is null ? SdtType.RichText
            : Kinds.FirstOrDefault(k => properties.ChildElements.Any(e => e.LocalName == k.LocalName)).Type;
        var control = new StructuredDocumentTag(doc, type == SdtType.None ? SdtType.RichText : type, level)
        {
            Tag = Val(Child(properties, "tag")) ?? string.Empty,
            Title = Val(Child(properties, "alias")) ?? string.Empty,
        };
        string? locking = Val(Child(properties, "lock"));
        control.LockContents = locking is "contentLocked" or "sdtContentLocked";
        control.LockContentControl = locking is "sdtLocked" or "sdtContentLocked";
        if ((Child(properties, "comboBox") ?? Child(properties, "dropDownList")) is { } list)
        {
            foreach (OpenXmlElement item in list.ChildElements.Where(e => e.LocalName == "listItem"))
            {
                control.ListItems.Add(new SdtListItem
                {
                    DisplayText = Attribute(item, "displayText") ?? Attribute(item, "value") ?? string.Empty,
                    Value = Attribute(item, "value") ?? string.Empty,
                });
            }
        }
        if (Child2010(properties, "checkbox") is { } box)
        {
            control.CheckedSymbol = Symbol(Child2010(box, "checkedState"), control.CheckedSymbol);
            control.UncheckedSymbol = Symbol(Child2010(box, "uncheckedState"), control.UncheckedSymbol);
            control.ReadValues(AnyAttribute(Child2010(box, "checked"), "val") is "1" or "true", default, null);
        }
        if (Child(properties, "date") is { } date)
        {
            if (Val(Child(date, "lid")) is { } language)
                control.DateCulture = CultureOf(language);
            DateTime.TryParse(Attribute(date, "fullDate"), CultureInfo.InvariantCulture,
                DateTimeStyles.AdjustToUniversal | DateTimeStyles.AssumeUniversal, out DateTime full);
            control.ReadValues(false, full, Val(Child(date, "dateFormat")));
        }
        return control;
    }

    // The state symbol a check box names by its hexadecimal code.
    private static char Symbol(OpenXmlElement? state, char fallback) =>
        int.TryParse(AnyAttribute(state, "val"), NumberStyles.AllowHexSpecifier, CultureInfo.InvariantCulture, out int code)
        && code is > 0 and <= char.MaxValue && !char.IsSurrogate((char)code) ? (char)code : fallback;

    // Check boxes are an extension: their elements and attributes are in its namespace.
    private static OpenXmlElement? Child2010(OpenXmlElement? parent, string localName) =>
        parent?.ChildElements.FirstOrDefault(e => e.LocalName == localName && e.NamespaceUri == Word2010Ns);

    private static string? AnyAttribute(OpenXmlElement? element, string localName) =>
        element?.GetAttributes().FirstOrDefault(a => a.LocalName == localName).Value;

    private static CultureInfo CultureOf(string language)
    {
        try
        {
            return CultureInfo.GetCultureInfo(language);
        }
        catch (CultureNotFoundException)
        {
            return CultureInfo.InvariantCulture;
        }
    }

    private static (bool, DateTime, string) ValuesOf(StructuredDocumentTag control) => control.SdtType switch
    {
        SdtType.Checkbox => (control.Checked, default, string.Empty),
        SdtType.Date => (false, control.FullDate, control.DateDisplayFormat),
        _ => (false, default, string.Empty),
    };

    /// <summary>The origin of a control read from that element, once its content has been read into it.</summary>
    public static ContentControlOrigin Origin(StructuredDocumentTag control, OpenXmlElement sdt)
    {
        var children = new Node[control.Count];
        int i = 0;
        for (Node? child = control.FirstChild; child is not null; child = child.NextSibling)
            children[i++] = child;
        return new ContentControlOrigin(sdt, control.Tag, control.Title, control.LockContents, control.LockContentControl,
            ListItemsOf(control), children) { Values = ValuesOf(control) };
    }

    /// <summary>True when the control's own values are those it was read with (its content aside).</summary>
    public static bool PropertiesUnchanged(StructuredDocumentTag control, ContentControlOrigin origin) =>
        origin.Tag == control.Tag && origin.Title == control.Title && origin.LockContents == control.LockContents
        && origin.LockContentControl == control.LockContentControl && origin.ListItems == ListItemsOf(control)
        && origin.Values == ValuesOf(control);

    /// <summary>The content control's element with its properties as read (changed values set) and an empty content.</summary>
    public static OpenXmlElement Shell(StructuredDocumentTag control, out OpenXmlElement content)
    {
        var origin = control.Origin as ContentControlOrigin;
        bool inline = control.Level == MarkupLevel.Inline;
        OpenXmlElement sdt = inline ? new W.SdtRun() : new W.SdtBlock();
        var read = RawMarkup.ElementOf(origin?.Element) as OpenXmlElement;
        var properties = (OpenXmlElement?)Child(read, "sdtPr")?.CloneNode(true) ?? new W.SdtProperties();
        sdt.AppendChild(properties);
        if (Child(read, "sdtEndPr")?.CloneNode(true) is { } end)
            sdt.AppendChild(end);
        content = sdt.AppendChild(inline ? new W.SdtContentRun() : (OpenXmlElement)new W.SdtContentBlock());
        if (origin is not null && PropertiesUnchanged(control, origin))
            return sdt;
        if (origin is null || origin.Title != control.Title)
            SetOrRemove(properties, "alias", control.Title, 0);
        if (origin is null || origin.Tag != control.Tag)
            SetOrRemove(properties, "tag", control.Tag, 1);
        if (origin is null || origin.LockContents != control.LockContents || origin.LockContentControl != control.LockContentControl)
        {
            string? locking = (control.LockContents, control.LockContentControl) switch
            {
                (true, true) => "sdtContentLocked",
                (true, false) => "contentLocked",
                (false, true) => "sdtLocked",
                _ => null,
            };
            SetOrRemove(properties, "lock", locking ?? string.Empty, 2);
        }
        if (origin is null)
            AddKind(control, properties);
        if (origin is null || origin.Values != ValuesOf(control))
            SetValues(control, properties);
        if ((origin is null ? control.ListItems.Count > 0 : origin.ListItems != ListItemsOf(control))
            && (Child(properties, "comboBox") ?? Child(properties, "dropDownList")) is { } list)
        {
            foreach (OpenXmlElement item in list.ChildElements.Where(e => e.LocalName == "listItem").ToList())
                item.Remove();
            foreach (SdtListItem item in control.ListItems)
            {
                OpenXmlElement added = list.AppendChild(NewElement("listItem"));
                SetAttribute(added, "displayText", item.DisplayText);
                SetAttribute(added, "value", item.Value);
            }
        }
        return sdt;
    }

    private const string Word2010Ns = "http://schemas.microsoft.com/office/word/2010/wordml";

    // A control made here says what kind it is (rich text needs nothing).
    private static void AddKind(StructuredDocumentTag control, OpenXmlElement properties)
    {
        if (control.SdtType == SdtType.RichText || Kinds.FirstOrDefault(k => k.Type == control.SdtType).LocalName is not { } kind)
            return;
        properties.AppendChild(control.SdtType == SdtType.Checkbox
            ? new OpenXmlUnknownElement("w14", "checkbox", Word2010Ns)
            : NewElement(kind));
    }

    // A check box's state (with the symbols it shows) and a date control's date, format and language.
    private static void SetValues(StructuredDocumentTag control, OpenXmlElement properties)
    {
        if (control.SdtType == SdtType.Checkbox && Child2010(properties, "checkbox") is { } box)
        {
            Word2010(box, "checked").SetAttribute(new OpenXmlAttribute("w14", "val", Word2010Ns, control.Checked ? "1" : "0"));
            foreach ((string state, char symbol) in new[] { ("checkedState", control.CheckedSymbol), ("uncheckedState", control.UncheckedSymbol) })
            {
                OpenXmlElement element = Word2010(box, state);
                if (AnyAttribute(element, "val") is null)
                    element.SetAttribute(new OpenXmlAttribute("w14", "val", Word2010Ns, ((int)symbol).ToString("X4", CultureInfo.InvariantCulture)));
            }
        }
        else if (control.SdtType == SdtType.Date && Child(properties, "date") is { } date)
        {
            if (control.FullDate == default)
                date.RemoveAttribute("fullDate", WordMl.W);
            else
                SetAttribute(date, "fullDate", control.FullDate.ToString("yyyy-MM-dd'T'HH:mm:ss'Z'", CultureInfo.InvariantCulture));
            OpenXmlElement format = Child(date, "dateFormat") ?? date.PrependChild(NewElement("dateFormat"));
            SetAttribute(format, "val", control.DateDisplayFormat);
        }
    }

    // The check box's child of that name, added in the schema's order (checked, checkedState, uncheckedState).
    private static OpenXmlElement Word2010(OpenXmlElement box, string localName)
    {
        if (Child2010(box, localName) is { } present)
            return present;
        var added = new OpenXmlUnknownElement("w14", localName, Word2010Ns);
        return localName == "checked" ? box.PrependChild(added)
            : localName == "checkedState" && Child2010(box, "uncheckedState") is { } after ? box.InsertBefore(added, after)
            : box.AppendChild(added);
    }

    private static string ListItemsOf(StructuredDocumentTag control) =>
        string.Join("\u0000", control.ListItems.Select(i => i.DisplayText + "\u0001" + i.Value));

    // Sets the property's value (an empty value removes it).  A new one goes
    // where the schema's order puts these three: after the run properties
    // and each other, before the rest.
    private static void SetOrRemove(OpenXmlElement properties, string localName, string value, int rank)
    {
        OpenXmlElement? present = Child(properties, localName);
        if (value.Length == 0)
        {
            present?.Remove();
            return;
        }
        if (present is null)
        {
            string[] before = { "rPr", "alias", "tag", "lock" };
            OpenXmlElement? after = properties.ChildElements.LastOrDefault(e =>
                Array.IndexOf(before, e.LocalName) is int i && i >= 0 && i <= rank);
            present = NewElement(localName);
            if (after is null)
                properties.PrependChild(present);
            else
                properties.InsertAfter(present, after);
        }
        SetAttribute(present, "val", value);
    }
}
