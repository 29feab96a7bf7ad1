// DocxTableFormats: the row and cell formatting the tree models, read from
// and written to a row's and a cell's properties.  Writing starts from the
// properties as read and changes only the settings that differ from what was
// read (from the defaults for a row or cell made here).
using System;
using System.Linq;
using DocumentFormat.OpenXml;
using Morvax.Velto.Tables;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static class DocxTableFormats
{
    public static void Read(RowFormat format, W.TableRowProperties? trPr)
    {
        foreach (OpenXmlElement setting in trPr?.ChildElements ?? Enumerable.Empty<OpenXmlElement>())
        {
            if (setting.NamespaceUri == WordMl.W)
                ReadRowSetting(format, setting.LocalName, name => WordMl.Attribute(setting, name));
        }
    }

    // One row setting by its local name; attribute gives the value of one of
    // its attributes in the main namespace (the SDK's tree and the streaming
    // reader both read through here).
    public static void ReadRowSetting(RowFormat format, string setting, Func<string, string?> attribute)
    {
        switch (setting)
        {
            case "cantSplit":
                format.AllowBreakAcrossPages = !DocxReader.OnOff(attribute("val"));
                break;
            case "tblHeader":
                format.HeadingFormat = DocxReader.OnOff(attribute("val"));
                break;
            case "trHeight":
                format.Height = DocxReader.Points(attribute("val")) ?? 0;
                format.HeightRule = WordMl.ValueOf(WordMl.HeightRules, attribute("hRule")) ?? HeightRule.AtLeast;
                break;
        }
    }

    public static void Read(CellFormat format, W.TableCellProperties? tcPr)
    {
        foreach (OpenXmlElement setting in tcPr?.ChildElements ?? Enumerable.Empty<OpenXmlElement>())
        {
            if (setting.NamespaceUri != WordMl.W)
                continue;
            if (setting.LocalName == "tcBorders")
                DocxBorders.Read(format.Borders, setting);
            else
                ReadCellSetting(format, setting.LocalName, name => WordMl.Attribute(setting, name));
        }
    }

    public static void ReadCellSetting(CellFormat format, string setting, Func<string, string?> attribute)
    {
        switch (setting)
        {
            case "vAlign":
                format.VerticalAlignment = WordMl.ValueOf(WordMl.CellAlignments, attribute("val")) ?? CellVerticalAlignment.Top;
                break;
            case "vMerge":
                format.VerticalMerge = attribute("val") == "restart" ? CellMerge.First : CellMerge.Previous;
                break;
            case "hMerge":
                format.HorizontalMerge = attribute("val") == "restart" ? CellMerge.First : CellMerge.Previous;
                break;
            case "noWrap":
                format.WrapText = !DocxReader.OnOff(attribute("val"));
                break;
            case "tcFitText":
                format.FitText = DocxReader.OnOff(attribute("val"));
                break;
            case "hideMark":
                format.HideMark = DocxReader.OnOff(attribute("val"));
                break;
            case "shd":
                DocxBorders.ReadShading(format.Shading, attribute);
                break;
        }
    }

    // The row properties to write: as read while the format is unchanged.
    public static W.TableRowProperties? Properties(RowFormat format, RowFormat? before, W.TableRowProperties? read)
    {
        before ??= new RowFormat();
        if (format.SameAs(before))
            return read;
        var trPr = (W.TableRowProperties?)read?.CloneNode(true) ?? new W.TableRowProperties();
        if (format.AllowBreakAcrossPages != before.AllowBreakAcrossPages)
            Replace(trPr, format.AllowBreakAcrossPages ? null : new W.CantSplit(), typeof(W.CantSplit));
        if (format.HeadingFormat != before.HeadingFormat)
            Replace(trPr, format.HeadingFormat ? new W.TableHeader() : null, typeof(W.TableHeader));
        if (format.Height != before.Height || format.HeightRule != before.HeightRule)
            Replace(trPr, format.HeightRule == HeightRule.Auto && format.Height == 0 ? null : new W.TableRowHeight
            {
                Val = (uint)System.Math.Round(format.Height * WordMl.TwipsPerPoint),
                HeightType = format.HeightRule switch
                {
                    HeightRule.Exactly => W.HeightRuleValues.Exact,
                    HeightRule.Auto => W.HeightRuleValues.Auto,
                    _ => W.HeightRuleValues.AtLeast,
                },
            }, typeof(W.TableRowHeight));
        return trPr.HasChildren ? trPr : null;
    }

    public static W.TableCellProperties? Properties(CellFormat format, CellFormat? before, W.TableCellProperties? read)
    {
        before ??= new CellFormat();
        if (format.SameAs(before))
            return read;
        var tcPr = (W.TableCellProperties?)read?.CloneNode(true) ?? new W.TableCellProperties();
        if (format.VerticalAlignment != before.VerticalAlignment)
            Replace(tcPr, Val(new W.TableCellVerticalAlignment(), WordMl.NameOf(WordMl.CellAlignments, format.VerticalAlignment)));
        if (format.VerticalMerge != before.VerticalMerge)
            Replace(tcPr, Merge(new W.VerticalMerge(), format.VerticalMerge), typeof(W.VerticalMerge));
        if (format.HorizontalMerge != before.HorizontalMerge)
            Replace(tcPr, Merge(new W.HorizontalMerge(), format.HorizontalMerge), typeof(W.HorizontalMerge));
        if (format.WrapText != before.WrapText)
            Replace(tcPr, format.WrapText ? null : new W.NoWrap(), typeof(W.NoWrap));
        if (format.FitText != before.FitText)
            Replace(tcPr, format.FitText ? new W.TableCellFitText() : null, typeof(W.TableCellFitText));
        if (format.HideMark != before.HideMark)
            Replace(tcPr, format.HideMark ? new W.HideMark() : null, typeof(W.HideMark));
        if (format.BorderValues != before.BorderValues)
            Replace(tcPr, DocxBorders.Borders(tcPr.TableCellBorders, format.Borders, cell: true), typeof(W.TableCellBorders));
        if (format.ShadingValues != before.ShadingValues)
            Replace(tcPr, DocxBorders.Shading(format.Shading), typeof(W.Shading));
        return tcPr.HasChildren ? tcPr : null;
    }

    private static OpenXmlElement? Merge(OpenXmlElement element, CellMerge merge) => merge switch
    {
        CellMerge.First => Val(element, "restart"),
        CellMerge.Previous => element,
        _ => null,
    };

    private static T Val<T>(T element, string value) where T : OpenXmlElement
    {
        element.SetAttribute(new OpenXmlAttribute("w", "val", WordMl.W, value));
        return element;
    }

    // Takes out the settings of the kind (that of the replacement when it is
    // given) and adds the replacement where the schema puts it.
    // Row settings may come in any order, so a row's are appended.
    private static void Replace(OpenXmlCompositeElement properties, OpenXmlElement? replacement, Type? kind = null)
    {
        kind ??= replacement?.GetType() ?? throw new ArgumentNullException(nameof(replacement));
        foreach (OpenXmlElement old in properties.ChildElements.ToArray())
        {
            if (old.GetType() == kind)
                old.Remove();
        }
        if (replacement is null)
            return;
        if (properties is W.TableRowProperties)
            properties.AppendChild(replacement);
        else
            DocxWriter.AddInOrder(properties, replacement);
    }
}
