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

    // The attributes of an element and of those below it that name a
    // relationship of the part the markup lies in, with the element of each.
    public static IEnumerable<(OpenXmlElement Element, OpenXmlAttribute Attribute)> RelationshipAttributes(OpenXmlElement root)
    {
        foreach (OpenXmlElement element in root.Descendants().Prepend(root))
        {
            foreach (OpenXmlAttribute attribute in element.GetAttributes())
            {
                if (attribute.NamespaceUri == R)
                    yield return (element, attribute);
            }
        }
    }

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

    // Line styles of borders.  A hairline has no name of its own in the
    // format: it is written as a single line.
    public static readonly (LineStyle Value, string Name)[] LineStyles =
    {
        (LineStyle.None, "none"), (LineStyle.None, "nil"), (LineStyle.Single, "single"), (LineStyle.Hairline, "single"),
        (LineStyle.Thick, "thick"), (LineStyle.Double, "double"), (LineStyle.Dot, "dotted"),
        (LineStyle.DashLargeGap, "dashed"), (LineStyle.DotDash, "dotDash"), (LineStyle.DotDotDash, "dotDotDash"),
        (LineStyle.Triple, "triple"), (LineStyle.ThinThickSmallGap, "thinThickSmallGap"),
        (LineStyle.ThickThinSmallGap, "thickThinSmallGap"), (LineStyle.ThinThickThinSmallGap, "thinThickThinSmallGap"),
        (LineStyle.ThinThickMediumGap, "thinThickMediumGap"), (LineStyle.ThickThinMediumGap, "thickThinMediumGap"),
        (LineStyle.ThinThickThinMediumGap, "thinThickThinMediumGap"), (LineStyle.ThinThickLargeGap, "thinThickLargeGap"),
        (LineStyle.ThickThinLargeGap, "thickThinLargeGap"), (LineStyle.ThinThickThinLargeGap, "thinThickThinLargeGap"),
        (LineStyle.Wave, "wave"), (LineStyle.DoubleWave, "doubleWave"), (LineStyle.DashSmallGap, "dashSmallGap"),
        (LineStyle.DashDotStroker, "dashDotStroked"), (LineStyle.Emboss_3D, "threeDEmboss"),
        (LineStyle.Engrave_3D, "threeDEngrave"), (LineStyle.Outset, "outset"), (LineStyle.Inset, "inset"),
    };

    // Shading textures.  The format has no names for the odd half
    // percentages: those are written as the nearest percentage it has.
    public static readonly (TextureIndex Value, string Name)[] Textures =
    {
        (TextureIndex.TextureNone, "clear"), (TextureIndex.TextureSolid, "solid"), (TextureIndex.TextureNil, "nil"),
        (TextureIndex.Texture_5_Percent, "pct5"), (TextureIndex.Texture_10_Percent, "pct10"),
        (TextureIndex.Texture_12Pt5_Percent, "pct12"), (TextureIndex.Texture_15_Percent, "pct15"),
        (TextureIndex.Texture_20_Percent, "pct20"), (TextureIndex.Texture_25_Percent, "pct25"),
        (TextureIndex.Texture_30_Percent, "pct30"), (TextureIndex.Texture_35_Percent, "pct35"),
        (TextureIndex.Texture_37Pt5_Percent, "pct37"), (TextureIndex.Texture_40_Percent, "pct40"),
        (TextureIndex.Texture_45_Percent, "pct45"), (TextureIndex.Texture_50_Percent, "pct50"),
        (TextureIndex.Texture_55_Percent, "pct55"), (TextureIndex.Texture_60_Percent, "pct60"),
        (TextureIndex.Texture_62Pt5_Percent, "pct62"), (TextureIndex.Texture_65_Percent, "pct65"),
        (TextureIndex.Texture_70_Percent, "pct70"), (TextureIndex.Texture_75_Percent, "pct75"),
        (TextureIndex.Texture_80_Percent, "pct80"), (TextureIndex.Texture_85_Percent, "pct85"),
        (TextureIndex.Texture_87Pt5_Percent, "pct87"), (TextureIndex.Texture_90_Percent, "pct90"),
        (TextureIndex.Texture_95_Percent, "pct95"),
        (TextureIndex.TextureDarkHorizontal, "horzStripe"), (TextureIndex.TextureDarkVertical, "vertStripe"),
        (TextureIndex.TextureDarkDiagonalDown, "diagStripe"), (TextureIndex.TextureDarkDiagonalUp, "reverseDiagStripe"),
        (TextureIndex.TextureDarkCross, "horzCross"), (TextureIndex.TextureDarkDiagonalCross, "diagCross"),
        (TextureIndex.TextureHorizontal, "thinHorzStripe"), (TextureIndex.TextureVertical, "thinVertStripe"),
        (TextureIndex.TextureDiagonalDown, "thinDiagStripe"), (TextureIndex.TextureDiagonalUp, "thinReverseDiagStripe"),
        (TextureIndex.TextureCross, "thinHorzCross"), (TextureIndex.TextureDiagonalCross, "thinDiagCross"),
        (TextureIndex.Texture_2Pt5_Percent, "pct5"), (TextureIndex.Texture_7Pt5_Percent, "pct10"),
        (TextureIndex.Texture_17Pt5_Percent, "pct20"), (TextureIndex.Texture_22Pt5_Percent, "pct25"),
        (TextureIndex.Texture_27Pt5_Percent, "pct30"), (TextureIndex.Texture_32Pt5_Percent, "pct35"),
        (TextureIndex.Texture_42Pt5_Percent, "pct45"), (TextureIndex.Texture_47Pt5_Percent, "pct50"),
        (TextureIndex.Texture_52Pt5_Percent, "pct55"), (TextureIndex.Texture_57Pt5_Percent, "pct60"),
        (TextureIndex.Texture_67Pt5_Percent, "pct70"), (TextureIndex.Texture_72Pt5_Percent, "pct75"),
        (TextureIndex.Texture_77Pt5_Percent, "pct80"), (TextureIndex.Texture_82Pt5_Percent, "pct85"),
        (TextureIndex.Texture_92Pt5_Percent, "pct95"), (TextureIndex.Texture_97Pt5_Percent, "solid"),
    };

    public static string NameOf<T>(IEnumerable<(T Value, string Name)> table, T value) where T : struct, Enum =>
        table.First(entry => EqualityComparer<T>.Default.Equals(entry.Value, value)).Name;

    // Read per property of every paragraph and run: an indexed loop over the
    // array, which the ahead-of-time image holds whole, where enumerating it
    // as an IEnumerable of tuples needed an enumerator jitted at run time.
    public static T? ValueOf<T>((T Value, string Name)[] table, string? name) where T : struct, Enum
    {
        for (int i = 0; i < table.Length; i++)
        {
            if (table[i].Name == name)
                return table[i].Value;
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
