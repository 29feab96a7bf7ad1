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
    private const string WordNamespace = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

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

    // The values as read (or, for a document made here, the defaults both
    // sides assume when the elements are absent).
    internal sealed record Snapshot(
        FootnotePosition FootnotePosition, NumberStyle FootnoteStyle, int FootnoteStart, FootnoteNumberingRule FootnoteRestart,
        EndnotePosition EndnotePosition, NumberStyle EndnoteStyle, int EndnoteStart, FootnoteNumberingRule EndnoteRestart)
    {
        public static Snapshot Of(FootnoteOptions f, EndnoteOptions e) => new(
            f.Position, f.NumberStyle, f.StartNumber, f.RestartRule, e.Position, e.NumberStyle, e.StartNumber, e.RestartRule);
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
        FootnoteOptions f = doc.FootnoteOptions;
        if (settings.GetFirstChild<W.FootnoteDocumentWideProperties>() is { } footnotes)
        {
            f.Position = Lookup(FootnotePositions, Val<W.FootnotePosition>(footnotes), f.Position);
            f.NumberStyle = StyleOf(Val<W.NumberingFormat>(footnotes), f.NumberStyle);
            f.StartNumber = StartOf(Val<W.NumberingStart>(footnotes), f.StartNumber);
            f.RestartRule = Lookup(Restarts, Val<W.NumberingRestart>(footnotes), f.RestartRule);
        }
        EndnoteOptions e = doc.EndnoteOptions;
        if (settings.GetFirstChild<W.EndnoteDocumentWideProperties>() is { } endnotes)
        {
            e.Position = Lookup(EndnotePositions, Val<W.EndnotePosition>(endnotes), e.Position);
            e.NumberStyle = StyleOf(Val<W.NumberingFormat>(endnotes), e.NumberStyle);
            e.StartNumber = StartOf(Val<W.NumberingStart>(endnotes), e.StartNumber);
            e.RestartRule = Lookup(Restarts, Val<W.NumberingRestart>(endnotes), e.RestartRule);
        }
        doc.NotesAsRead = Snapshot.Of(f, e);
    }

    public static void Write(Document doc, W.Settings settings)
    {
        Snapshot read = doc.NotesAsRead;
        Snapshot now = Snapshot.Of(doc.FootnoteOptions, doc.EndnoteOptions);
        if (now == read)
            return;
        if (now with { EndnotePosition = read.EndnotePosition, EndnoteStyle = read.EndnoteStyle,
                       EndnoteStart = read.EndnoteStart, EndnoteRestart = read.EndnoteRestart } != read)
        {
            var footnotes = settings.GetFirstChild<W.FootnoteDocumentWideProperties>()
                ?? DocxWriter.AddInOrder(settings, new W.FootnoteDocumentWideProperties());
            if (now.FootnotePosition != read.FootnotePosition)
                Set<W.FootnotePosition>(footnotes, Name(FootnotePositions, now.FootnotePosition));
            WriteNumbering(footnotes, "FootnoteOptions", (read.FootnoteStyle, read.FootnoteStart, read.FootnoteRestart),
                (now.FootnoteStyle, now.FootnoteStart, now.FootnoteRestart));
        }
        if (now with { FootnotePosition = read.FootnotePosition, FootnoteStyle = read.FootnoteStyle,
                       FootnoteStart = read.FootnoteStart, FootnoteRestart = read.FootnoteRestart } != read)
        {
            var endnotes = settings.GetFirstChild<W.EndnoteDocumentWideProperties>()
                ?? DocxWriter.AddInOrder(settings, new W.EndnoteDocumentWideProperties());
            if (now.EndnotePosition != read.EndnotePosition)
                Set<W.EndnotePosition>(endnotes, Name(EndnotePositions, now.EndnotePosition));
            WriteNumbering(endnotes, "EndnoteOptions", (read.EndnoteStyle, read.EndnoteStart, read.EndnoteRestart),
                (now.EndnoteStyle, now.EndnoteStart, now.EndnoteRestart));
        }
    }

    private static void WriteNumbering(OpenXmlCompositeElement properties, string owner,
        (NumberStyle Style, int Start, FootnoteNumberingRule Restart) read, (NumberStyle Style, int Start, FootnoteNumberingRule Restart) now)
    {
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
        parent.GetFirstChild<T>()?.GetAttributes().FirstOrDefault(a => a.LocalName == "val" && a.NamespaceUri == WordNamespace).Value;

    private static void Set<T>(OpenXmlCompositeElement parent, string value) where T : OpenXmlElement, new()
    {
        T element = parent.GetFirstChild<T>() ?? DocxWriter.AddInOrder(parent, new T());
        element.SetAttribute(new OpenXmlAttribute("w", "val", WordNamespace, value));
    }
}
