// WordMl: the WordprocessingML and packaging names, and the value tables
// that the .docx reader and writer share so that they stay each other's
// inverse.
using System;
using System.Collections.Generic;
using System.Linq;

namespace Morvax.Velto.Formats;

internal static class WordMl
{
    public const string W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
    public const string R = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    public const string Xml = "http://www.w3.org/XML/1998/namespace";
    public const string ContentTypesNs = "http://schemas.openxmlformats.org/package/2006/content-types";
    public const string RelationshipsNs = "http://schemas.openxmlformats.org/package/2006/relationships";
    public const string ExtendedPropertiesNs = "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties";
    public const string MarkupCompatibilityNs = "http://schemas.openxmlformats.org/markup-compatibility/2006";

    // Relationship types end the same way in the transitional and the strict
    // vocabulary, so the reader matches on the last segment.
    public const string OfficeDocumentRel = R + "/officeDocument";
    public const string StylesRel = R + "/styles";
    public const string SettingsRel = R + "/settings";
    public const string ExtendedPropertiesRel = R + "/extended-properties";
    public const string VbaProjectRel = "http://schemas.microsoft.com/office/2006/relationships/vbaProject";

    public const string RelationshipsType = "application/vnd.openxmlformats-package.relationships+xml";
    public const string StylesType = "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml";
    public const string SettingsType = "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml";
    public const string ExtendedPropertiesType = "application/vnd.openxmlformats-officedocument.extended-properties+xml";
    public const string VbaProjectType = "application/vnd.ms-office.vbaProject";

    // Twips (1/20 point) measure indents, spacing and tab stops; half-points
    // measure font sizes.
    public const double TwipsPerPoint = 20.0;

    public static readonly (LoadFormat Load, SaveFormat Save, string ContentType)[] MainParts =
    {
        (LoadFormat.Docx, SaveFormat.Docx, "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"),
        (LoadFormat.Docm, SaveFormat.Docm, "application/vnd.ms-word.document.macroEnabled.main+xml"),
        (LoadFormat.Dotx, SaveFormat.Dotx, "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml"),
        (LoadFormat.Dotm, SaveFormat.Dotm, "application/vnd.ms-word.template.macroEnabledTemplate.main+xml"),
    };

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

    public static readonly (SectionStart Value, string Name)[] SectionStarts =
    {
        (SectionStart.Continuous, "continuous"), (SectionStart.NewColumn, "nextColumn"),
        (SectionStart.NewPage, "nextPage"), (SectionStart.EvenPage, "evenPage"), (SectionStart.OddPage, "oddPage"),
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
}
