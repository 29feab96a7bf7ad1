// DocxNoteSettings: the document-wide footnote and endnote numbering of the
// settings part (w:footnotePr, w:endnotePr): where notes go, their number
// format, first number and restart rule.  Reading fills the document's
// FootnoteOptions and EndnoteOptions and keeps what was read; writing
// changes only the values that differ from it, so the references to the
// separator notes in the same elements, and formats this library has no
// name for, stay as they were.
using System;
using System.Linq;
using DocumentFormat.OpenXml;
using Morvax.Velto.Notes;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static class DocxNoteSettings
{

    // The number formats with a NumberStyle of the same meaning.
    private static readonly (string Format, NumberStyle Style)[] Formats =
    {
        ("decimal", NumberStyle.Arabic), ("upperRoman", NumberStyle.UppercaseRoman), ("lowerRoman", NumberStyle.LowercaseRoman),
        ("upperLetter", NumberStyle.UppercaseLetter), ("lowerLetter", NumberStyle.LowercaseLetter), ("ordinal", NumberStyle.Ordinal),
        ("cardinalText", NumberStyle.Number), ("ordinalText", NumberStyle.OrdinalText), ("hex", NumberStyle.Hex),
        ("chicago", NumberStyle.ChicagoManual), ("decimalZero", NumberStyle.LeadingZero), ("bullet", NumberStyle.Bullet),
        ("decimalEnclosedCircle", NumberStyle.NumberInCircle), ("numberInDash", NumberStyle.NumberInDash),
        ("russianLower", NumberStyle.LowercaseRussian), ("russianUpper", NumberStyle.UppercaseRussian),
        ("hebrew1", NumberStyle.Hebrew1), ("hebrew2", NumberStyle.Hebrew2), ("arabicAlpha", NumberStyle.Arabic1),
        ("arabicAbjad", NumberStyle.Arabic2), ("thaiLetters", NumberStyle.ThaiLetter), ("thaiNumbers", NumberStyle.ThaiArabic),
        ("thaiCounting", NumberStyle.ThaiCardinalText), ("vietnameseCounting", NumberStyle.VietCardinalText),
        ("hindiVowels", NumberStyle.HindiLetter1), ("hindiConsonants", NumberStyle.HindiLetter2),
        ("hindiNumbers", NumberStyle.HindiArabic), ("hindiCounting", NumberStyle.HindiCardinalText),
        ("ganada", NumberStyle.Ganada), ("chosung", NumberStyle.Chosung), ("aiueo", NumberStyle.Aiueo),
        ("iroha", NumberStyle.Iroha), ("none", NumberStyle.None),
    };

    private static readonly (string Value, FootnoteNumberingRule Rule)[] Restarts =
        { ("continuous", FootnoteNumberingRule.Continuous), ("eachSect", FootnoteNumberingRule.RestartSection), ("eachPage", FootnoteNumberingRule.RestartPage) };

    private static readonly (string Value, FootnotePosition Position)[] FootnotePositions =
        { ("pageBottom", FootnotePosition.BottomOfPage), ("beneathText", FootnotePosition.BeneathText) };

    private static readonly (string Value, EndnotePosition Position)[] EndnotePositions =
        { ("sectEnd", EndnotePosition.EndOfSection), ("docEnd", EndnotePosition.EndOfDocument) };

    // One kind of note's numbering, its position by its markup name.
    internal sealed record Numbering(string Position, NumberStyle Style, int Start, FootnoteNumberingRule Restart);

    // The values as read (or, for a document made here, the defaults both
    // sides assume when the elements are absent).
    internal sealed record Snapshot(Numbering Footnotes, Numbering Endnotes)
    {
        public static Snapshot Of(FootnoteOptions f, EndnoteOptions e) => new(
            new Numbering(Name(FootnotePositions, f.Position), f.NumberStyle, f.StartNumber, f.RestartRule),
            new Numbering(Name(EndnotePositions, e.Position), e.NumberStyle, e.StartNumber, e.RestartRule));
    }

    // A copy of a document numbers its notes as the original does.
    public static void Copy(Document from, Document to)
    {
        to.FootnoteOptions.Position = from.FootnoteOptions.Position;
        to.FootnoteOptions.NumberStyle = from.FootnoteOptions.NumberStyle;
        to.FootnoteOptions.StartNumber = from.FootnoteOptions.StartNumber;
        to.FootnoteOptions.RestartRule = from.FootnoteOptions.RestartRule;
        to.EndnoteOptions.Position = from.EndnoteOptions.Position;
        to.EndnoteOptions.NumberStyle = from.EndnoteOptions.NumberStyle;
        to.EndnoteOptions.StartNumber = from.EndnoteOptions.StartNumber;
        to.EndnoteOptions.RestartRule = from.EndnoteOptions.RestartRule;
        to.NotesAsRead = from.NotesAsRead;
    }

    public static void Read(Document doc, W.Settings settings)
    {
        Numbering footnotes = ReadNumbering<W.FootnotePosition>(settings.GetFirstChild<W.FootnoteDocumentWideProperties>(), doc.NotesAsRead.Footnotes);
        Numbering endnotes = ReadNumbering<W.EndnotePosition>(settings.GetFirstChild<W.EndnoteDocumentWideProperties>(), doc.NotesAsRead.Endnotes);
        FootnoteOptions f = doc.FootnoteOptions;
        (f.Position, f.NumberStyle, f.StartNumber, f.RestartRule) =
            (Lookup(FootnotePositions, footnotes.Position, f.Position), footnotes.Style, footnotes.Start, footnotes.Restart);
        EndnoteOptions e = doc.EndnoteOptions;
        (e.Position, e.NumberStyle, e.StartNumber, e.RestartRule) =
            (Lookup(EndnotePositions, endnotes.Position, e.Position), endnotes.Style, endnotes.Start, endnotes.Restart);
        doc.NotesAsRead = Snapshot.Of(f, e);
    }

    private static Numbering ReadNumbering<TPosition>(OpenXmlElement? properties, Numbering defaults) where TPosition : OpenXmlElement =>
        properties is null ? defaults : new(
            Val<TPosition>(properties) ?? defaults.Position,
            StyleOf(Val<W.NumberingFormat>(properties), defaults.Style),
            StartOf(Val<W.NumberingStart>(properties), defaults.Start),
            Lookup(Restarts, Val<W.NumberingRestart>(properties), defaults.Restart));

    public static void Write(Document doc, W.Settings settings)
    {
        Snapshot read = doc.NotesAsRead;
        Snapshot now = Snapshot.Of(doc.FootnoteOptions, doc.EndnoteOptions);
        WriteChanges<W.FootnoteDocumentWideProperties, W.FootnotePosition>(settings, "FootnoteOptions", read.Footnotes, now.Footnotes);
        WriteChanges<W.EndnoteDocumentWideProperties, W.EndnotePosition>(settings, "EndnoteOptions", read.Endnotes, now.Endnotes);
    }

    private static void WriteChanges<TProperties, TPosition>(W.Settings settings, string owner, Numbering read, Numbering now)
        where TProperties : OpenXmlCompositeElement, new()
        where TPosition : OpenXmlElement, new()
    {
        if (now == read)
            return;
        var properties = settings.GetFirstChild<TProperties>() ?? DocxWriter.AddInOrder(settings, new TProperties());
        if (now.Position != read.Position)
            Set<TPosition>(properties, now.Position);
        if (now.Style != read.Style)
        {
            string format = Formats.FirstOrDefault(f => f.Style == now.Style).Format
                ?? throw new NotSupportedException($"{owner}.NumberStyle {now.Style} has no WordprocessingML number format this library writes.");
            Set<W.NumberingFormat>(properties, format);
        }
        if (now.Start != read.Start)
        {
            if (now.Start is < 0 or > ushort.MaxValue)
                throw new ArgumentOutOfRangeException(owner + ".StartNumber", now.Start, "A first note number is from 0 to 65535.");
            Set<W.NumberingStart>(properties, now.Start.ToString(System.Globalization.CultureInfo.InvariantCulture));
        }
        if (now.Restart != read.Restart)
            Set<W.NumberingRestart>(properties, Name(Restarts, now.Restart));
    }

    // A value with no name here (a format or position this library has no
    // member for) keeps the option's default, and the element is left as read.
    private static T Lookup<T>((string Value, T Member)[] table, string? value, T otherwise) where T : struct, Enum =>
        value is null ? otherwise : table.FirstOrDefault(e => e.Value == value) is { Value: not null } hit ? hit.Member : otherwise;

    private static NumberStyle StyleOf(string? format, NumberStyle otherwise) =>
        format is null ? otherwise : Formats.FirstOrDefault(f => f.Format == format) is { Format: not null } hit ? hit.Style : NumberStyle.Custom;

    private static int StartOf(string? value, int otherwise) =>
        int.TryParse(value, System.Globalization.NumberStyles.None, System.Globalization.CultureInfo.InvariantCulture, out int start) ? start : otherwise;

    private static string Name<T>((string Value, T Member)[] table, T member) where T : struct, Enum =>
        table.First(e => e.Member.Equals(member)).Value;

    private static string? Val<T>(OpenXmlElement parent) where T : OpenXmlElement =>
        WordMl.Val(parent.GetFirstChild<T>());

    private static void Set<T>(OpenXmlCompositeElement parent, string value) where T : OpenXmlElement, new()
    {
        T element = parent.GetFirstChild<T>() ?? DocxWriter.AddInOrder(parent, new T());
        element.SetAttribute(new OpenXmlAttribute("w", "val", WordMl.W, value));
    }
}
