// DocxNumbering: the lists of the numbering part. Each numbering instance
// (w:num) becomes a List; its levels come from the abstract definition it
// names, and instances naming the same definition share its levels, as they
// do in the markup. Saving touches the part only when a list was added or a
// level changed: a changed level gets only its changed values rewritten, so
// whatever else the definition holds stays as read, and an added list gets a
// definition and an instance of its own.
using System.Collections.Generic;
using System.Globalization;
using System.Linq;
using DocumentFormat.OpenXml;
using DocumentFormat.OpenXml.Packaging;
using Morvax.Velto.Lists;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static class DocxNumbering
{
    private static readonly (NumberStyle Value, string Name)[] NumberFormats =
    {
        (NumberStyle.Arabic, "decimal"), (NumberStyle.Bullet, "bullet"), (NumberStyle.LowercaseLetter, "lowerLetter"),
        (NumberStyle.UppercaseLetter, "upperLetter"), (NumberStyle.LowercaseRoman, "lowerRoman"),
        (NumberStyle.UppercaseRoman, "upperRoman"), (NumberStyle.Ordinal, "ordinal"), (NumberStyle.Number, "cardinalText"),
        (NumberStyle.OrdinalText, "ordinalText"), (NumberStyle.Hex, "hex"), (NumberStyle.ChicagoManual, "chicago"),
        (NumberStyle.LeadingZero, "decimalZero"), (NumberStyle.DecimalFullWidth, "decimalFullWidth"),
        (NumberStyle.NumberInCircle, "decimalEnclosedCircle"), (NumberStyle.NumberInDash, "numberInDash"),
        (NumberStyle.LowercaseRussian, "russianLower"), (NumberStyle.UppercaseRussian, "russianUpper"),
        (NumberStyle.None, "none"),
    };

    private static readonly (ListLevelAlignment Value, string Name)[] Alignments =
    {
        (ListLevelAlignment.Left, "left"), (ListLevelAlignment.Center, "center"), (ListLevelAlignment.Right, "right"),
        (ListLevelAlignment.Left, "start"), (ListLevelAlignment.Right, "end"),
    };

    private static readonly (ListTrailingCharacter Value, string Name)[] Suffixes =
    {
        (ListTrailingCharacter.Tab, "tab"), (ListTrailingCharacter.Space, "space"), (ListTrailingCharacter.Nothing, "nothing"),
    };

    private const string MultiLevel = "multilevel";

    public static void Read(Document doc, W.Numbering? numbering)
    {
        doc.Lists.Clear();
        if (numbering is null)
            return;
        var definitions = new Dictionary<int, (W.AbstractNum Element, ListLevelCollection Levels)>();
        foreach (W.AbstractNum definition in numbering.Elements<W.AbstractNum>())
        {
            if (Number(definition.AbstractNumberId?.InnerText) is { } id && !definitions.ContainsKey(id))
                definitions.Add(id, (definition, ReadLevels(definition)));
        }
        var seen = new HashSet<int>();
        foreach (W.NumberingInstance instance in numbering.Elements<W.NumberingInstance>())
        {
            if (Number(instance.NumberID?.InnerText) is { } taken)
                doc.Lists.Reserve(taken);
            if (Number(instance.NumberID?.InnerText) is not { } listId || !seen.Add(listId)
                || Number(instance.AbstractNumId?.Val?.InnerText) is not { } definitionId
                || !definitions.TryGetValue(definitionId, out var definition))
                continue;
            doc.Lists.Add(new List(listId, definition.Levels)
            {
                IsMultiLevel = WordMl.Val(definition.Element.MultiLevelType) == MultiLevel,
                IsListStyleDefinition = definition.Element.StyleLink is not null,
                Origin = new ListOrigin(definitionId, definition.Levels.Select(l => l.Snapshot()).ToArray()),
            });
        }
    }

    private static ListLevelCollection ReadLevels(W.AbstractNum definition)
    {
        var levels = new ListLevel[ListFormat.MaxLevel + 1];
        for (int i = 0; i < levels.Length; i++)
            levels[i] = new ListLevel();
        foreach (W.Level element in definition.Elements<W.Level>())
        {
            if (Number(element.LevelIndex?.InnerText) is not { } index || index < 0 || index >= levels.Length)
                continue;
            ListLevel level = levels[index];
            level.NumberStyle = WordMl.ValueOf(NumberFormats, WordMl.Val(element.NumberingFormat)) ?? NumberStyle.Arabic;
            level.NumberFormat = WordMl.Val(element.LevelText) ?? string.Empty;
            level.StartAt = Number(WordMl.Val(element.StartNumberingValue)) ?? level.StartAt;
            level.Alignment = WordMl.ValueOf(Alignments, WordMl.Val(element.LevelJustification)) ?? level.Alignment;
            level.TrailingCharacter = WordMl.ValueOf(Suffixes, WordMl.Val(element.LevelSuffix)) ?? level.TrailingCharacter;
            level.IsLegal = element.IsLegalNumberingStyle is { } legal && WordMl.Val(legal) is null or "1" or "true" or "on";
            if (element.PreviousParagraphProperties?.Indentation is { } indent)
            {
                double text = Points(indent.Left?.Value ?? indent.Start?.Value);
                double number = indent.Hanging?.Value is { } hanging ? text - Points(hanging) : text + Points(indent.FirstLine?.Value);
                // Indents no word processor writes are left at the margin.
                if (ListLevel.IsPosition(text) && ListLevel.IsPosition(number))
                    (level.TextPosition, level.NumberPosition) = (text, number);
            }
        }
        var collection = new ListLevelCollection();
        foreach (ListLevel level in levels)
            collection.Add(level);
        return collection;
    }

    public static void Write(Document doc, MainDocumentPart main)
    {
        bool Changed(List list) => list.Origin is not { } origin
            || !origin.AsRead.SequenceEqual(list.ListLevels.Select(l => l.Snapshot()));
        if (!doc.Lists.Any(Changed))
            return;
        NumberingDefinitionsPart part = main.NumberingDefinitionsPart ?? main.AddNewPart<NumberingDefinitionsPart>();
        W.Numbering numbering = part.Numbering ??= new W.Numbering();
        var definitions = numbering.Elements<W.AbstractNum>()
            .Where(a => Number(a.AbstractNumberId?.InnerText) is not null)
            .GroupBy(a => Number(a.AbstractNumberId!.InnerText)!.Value).ToDictionary(g => g.Key, g => g.First());
        // Lists that share a definition change it once.
        var written = new HashSet<ListLevelCollection>(ReferenceEqualityComparer.Instance);
        int nextDefinition = definitions.Count == 0 ? 0 : definitions.Keys.Max() + 1;
        foreach (List list in doc.Lists.Where(Changed))
        {
            if (list.Origin is { } origin)
            {
                // A definition that a cleanup took out of the package has nothing left to change.
                if (written.Add(list.ListLevels) && definitions.TryGetValue(origin.DefinitionId, out W.AbstractNum? read))
                    Rewrite(read, origin.AsRead, list.ListLevels);
                continue;
            }
            var definition = new W.AbstractNum(
                list.ListLevels.Select((level, index) => (OpenXmlElement)Rewrite(new W.Level { LevelIndex = index }, null, level))
                    .Prepend(DocxWriter.Val(new W.MultiLevelType(), list.IsMultiLevel ? MultiLevel : "hybridMultilevel")))
            {
                AbstractNumberId = nextDefinition,
            };
            OpenXmlElement? lastDefinition = numbering.Elements<W.AbstractNum>().LastOrDefault()
                ?? (OpenXmlElement?)numbering.Elements<W.NumberingPictureBullet>().LastOrDefault();
            if (lastDefinition is null)
                numbering.PrependChild(definition);
            else
                lastDefinition.InsertAfterSelf(definition);
            var instance = new W.NumberingInstance(new W.AbstractNumId { Val = nextDefinition }) { NumberID = list.ListId };
            if (numbering.Elements<W.NumberingInstance>().LastOrDefault() is { } lastInstance)
                lastInstance.InsertAfterSelf(instance);
            else
                definition.InsertAfterSelf(instance);
            nextDefinition++;
        }
        // The lists keep their origins: each save starts again from the package as read.
        part.Numbering.Save();
    }

    private static void Rewrite(W.AbstractNum definition, ListLevel.Values[] asRead, ListLevelCollection levels)
    {
        for (int i = 0; i < levels.Count && i < asRead.Length; i++)
        {
            if (asRead[i] == levels[i].Snapshot())
                continue;
            W.Level? element = definition.Elements<W.Level>().FirstOrDefault(l => Number(l.LevelIndex?.InnerText) == i);
            if (element is null)
                DocxWriter.AddInOrder(definition, Rewrite(new W.Level { LevelIndex = i }, null, levels[i]));
            else
                Rewrite(element, asRead[i], levels[i]);
        }
    }

    // Writes into a level's element the values that differ from those read
    // (all of them for a new element).
    private static W.Level Rewrite(W.Level element, ListLevel.Values? before, ListLevel level)
    {
        ListLevel.Values now = level.Snapshot();
        bool New<T>(System.Func<ListLevel.Values, T> get) =>
            before is not { } was || !EqualityComparer<T>.Default.Equals(get(was), get(now));
        if (New(v => v.StartAt))
            element.StartNumberingValue = DocxWriter.Val(new W.StartNumberingValue(), Text(now.StartAt));
        if (New(v => v.Style))
            element.NumberingFormat = DocxWriter.Val(new W.NumberingFormat(), NameOr(NumberFormats, now.Style, "decimal"));
        if (New(v => v.IsLegal))
            element.IsLegalNumberingStyle = now.IsLegal ? new W.IsLegalNumberingStyle() : null;
        if (New(v => v.Trailing))
            element.LevelSuffix = now.Trailing == ListTrailingCharacter.Tab ? null
                : DocxWriter.Val(new W.LevelSuffix(), WordMl.NameOf(Suffixes, now.Trailing));
        if (New(v => v.Format))
            element.LevelText = DocxWriter.Val(new W.LevelText(), now.Format);
        if (New(v => v.Alignment))
            element.LevelJustification = DocxWriter.Val(new W.LevelJustification(), WordMl.NameOf(Alignments, now.Alignment));
        if (New(v => v.NumberPosition) || New(v => v.TextPosition))
        {
            W.PreviousParagraphProperties pPr = element.PreviousParagraphProperties ??= new W.PreviousParagraphProperties();
            var indent = pPr.Indentation ??= new W.Indentation();
            (indent.Start, indent.FirstLine) = (null, null);
            indent.Left = DocxWriter.Twips(now.TextPosition);
            double hanging = now.TextPosition - now.NumberPosition;
            if (hanging >= 0)
                (indent.Hanging, indent.FirstLine) = (DocxWriter.Twips(hanging), null);
            else
                (indent.Hanging, indent.FirstLine) = (null, DocxWriter.Twips(-hanging));
        }
        return element;
    }

    private static int? Number(string? text) =>
        int.TryParse(text, NumberStyles.AllowLeadingSign, CultureInfo.InvariantCulture, out int n) ? n : null;

    private static double Points(string? twips) =>
        double.TryParse(twips, System.Globalization.NumberStyles.Float, CultureInfo.InvariantCulture, out double t) ? t / WordMl.TwipsPerPoint : 0;


    private static string Text(int value) => value.ToString(CultureInfo.InvariantCulture);

    private static string NameOr<T>(IEnumerable<(T Value, string Name)> table, T value, string fallback) where T : struct, System.Enum =>
        table.Where(e => EqualityComparer<T>.Default.Equals(e.Value, value)).Select(e => e.Name).FirstOrDefault() ?? fallback;
}
