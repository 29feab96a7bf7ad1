// DocxContentControls: a content control's properties (w:sdtPr) read into a
// StructuredDocumentTag node and written back.  The properties element is
// kept as read; only the tag, title and locks the node holds are set in it,
// and only when they changed, so that everything else (data binding,
// placeholder, appearance, future children) stays as it was.
using System;
using System.Linq;
using DocumentFormat.OpenXml;
using Morvax.Velto.Markup;
using static Morvax.Velto.Formats.WordMl;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

// The content control as read: its element, the values the node started
// with, and the nodes read from its content.
internal sealed record ContentControlOrigin(object Element, string Tag, string Title, bool LockContents,
    bool LockContentControl, string ListItems, Node[] Children);

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
        return control;
    }

    /// <summary>The origin of a control read from that element, once its content has been read into it.</summary>
    public static ContentControlOrigin Origin(StructuredDocumentTag control, OpenXmlElement sdt)
    {
        var children = new Node[control.Count];
        int i = 0;
        for (Node? child = control.FirstChild; child is not null; child = child.NextSibling)
            children[i++] = child;
        return new ContentControlOrigin(sdt, control.Tag, control.Title, control.LockContents, control.LockContentControl,
            ListItemsOf(control), children);
    }

    /// <summary>True when the control's own values are those it was read with (its content aside).</summary>
    public static bool PropertiesUnchanged(StructuredDocumentTag control, ContentControlOrigin origin) =>
        origin.Tag == control.Tag && origin.Title == control.Title && origin.LockContents == control.LockContents
        && origin.LockContentControl == control.LockContentControl && origin.ListItems == ListItemsOf(control);

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
        if (origin is not null && origin.ListItems != ListItemsOf(control)
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
