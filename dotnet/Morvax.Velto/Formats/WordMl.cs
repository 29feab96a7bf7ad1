// WordMl: the WordprocessingML names and value tables that the .docx reader
// and writer share so that they stay each other's
// inverse.
using System;
using System.Collections.Generic;
using System.Linq;
using DocumentFormat.OpenXml;
using Morvax.Velto.Tables;

namespace Morvax.Velto.Formats;

internal static class WordMl
{
    public const string W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
    public const string R = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    public const string MarkupCompatibility = "http://schemas.openxmlformats.org/markup-compatibility/2006";
    public const string ExtendedPropertiesNs = "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties";

    // Twips (1/20 point) measure indents, spacing and tab stops; half-points
    // measure font sizes.
    public const double TwipsPerPoint = 20.0;

    public static readonly (Underline Value, string Name)[] Underlines =
    {
        (Underline.None, "none"), (Underline.Single, "single"), (Underline.Words, "words"),
        (Underline.Double, "double"), (Underline.Dotted, "dotted"), (Underline.Thick, "thick"),
        (Underline.Dash, "dash"), (Underline.DotDash, "dotDash"), (Underline.DotDotDash, "dotDotDash"),
        (Underline.Wavy, "wave"), (Underline.DottedHeavy, "dottedHeavy"), (Underline.DashHeavy, "dashedHeavy"),
        (Underline.DotDashHeavy, "dashDotHeavy"), (Underline.DotDotDashHeavy, "dashDotDotHeavy"),
        (Underline.WavyHeavy, "wavyHeavy"), (Underline.DashLong, "dashLong"),
        (Underline.WavyDouble, "wavyDouble"), (Underline.DashLongHeavy, "dashLongHeavy"),
    };

    // The first name of a value is the one written; the others are read too.
    public static readonly (ParagraphAlignment Value, string Name)[] Alignments =
    {
        (ParagraphAlignment.Left, "left"), (ParagraphAlignment.Left, "start"),
        (ParagraphAlignment.Center, "center"),
        (ParagraphAlignment.Right, "right"), (ParagraphAlignment.Right, "end"),
        (ParagraphAlignment.Justify, "both"), (ParagraphAlignment.Distributed, "distribute"),
        (ParagraphAlignment.ArabicMediumKashida, "mediumKashida"),
        (ParagraphAlignment.ArabicHighKashida, "highKashida"),
        (ParagraphAlignment.ArabicLowKashida, "lowKashida"),
        (ParagraphAlignment.ThaiDistributed, "thaiDistribute"),
    };

    public static readonly (TableAlignment Value, string Name)[] TableAlignments =
    {
        (TableAlignment.Left, "left"), (TableAlignment.Left, "start"), (TableAlignment.Center, "center"),
        (TableAlignment.Right, "right"), (TableAlignment.Right, "end"),
    };

    public static readonly (SectionStart Value, string Name)[] SectionStarts =
    {
        (SectionStart.Continuous, "continuous"), (SectionStart.NewColumn, "nextColumn"),
        (SectionStart.NewPage, "nextPage"), (SectionStart.EvenPage, "evenPage"), (SectionStart.OddPage, "oddPage"),
    };

    public static readonly (Tables.CellVerticalAlignment Value, string Name)[] CellAlignments =
    {
        (Tables.CellVerticalAlignment.Top, "top"), (Tables.CellVerticalAlignment.Center, "center"),
        (Tables.CellVerticalAlignment.Bottom, "bottom"),
    };

    public static readonly (HeightRule Value, string Name)[] HeightRules =
    {
        (HeightRule.AtLeast, "atLeast"), (HeightRule.Exactly, "exact"), (HeightRule.Auto, "auto"),
    };

    public static string NameOf<T>(IEnumerable<(T Value, string Name)> table, T value) where T : struct, Enum =>
        table.First(entry => EqualityComparer<T>.Default.Equals(entry.Value, value)).Name;

    public static T? ValueOf<T>(IEnumerable<(T Value, string Name)> table, string? name) where T : struct, Enum
    {
        foreach ((T value, string entryName) in table)
        {
            if (entryName == name)
                return value;
        }
        return null;
    }

    // Elements found and made by their WordprocessingML names, for markup
    // kept as read where only a few values are read or set.
    public static OpenXmlElement? Child(OpenXmlElement? parent, string localName) =>
        parent?.ChildElements.FirstOrDefault(e => e.LocalName == localName && e.NamespaceUri == W);

    // The value of an attribute in the main namespace. Values are read as
    // their text, so a value the schema does not allow is ignored rather than
    // thrown at. A plain loop: the reader asks this for every property it reads.
    public static string? Attribute(OpenXmlElement element, string localName)
    {
        foreach (OpenXmlAttribute attribute in element.GetAttributes())
        {
            if (attribute.LocalName == localName && attribute.NamespaceUri == W)
                return attribute.Value;
        }
        return null;
    }

    public static string? Val(OpenXmlElement? element) => element is null ? null : Attribute(element, "val");

    // The value of an attribute in no namespace, as DrawingML writes them.
    public static string? PlainAttribute(OpenXmlElement element, string localName) =>
        element.GetAttributes().FirstOrDefault(a => a.LocalName == localName && a.NamespaceUri.Length == 0).Value;

    public static OpenXmlElement SetAttribute(OpenXmlElement element, string localName, string value)
    {
        element.SetAttribute(new OpenXmlAttribute("w", localName, W, value));
        return element;
    }

    public static OpenXmlElement NewElement(string localName) => new OpenXmlUnknownElement("w", localName, W);
}
