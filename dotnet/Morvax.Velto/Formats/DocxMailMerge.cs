// DocxMailMerge: the simple mail merge, which replaces each merge field of a
// document whose name is given by its value's text as a plain run.  Only a
// field that is outermost and lies within one paragraph is replaced; a merge
// field that would have to be merged anywhere else (nested in another field,
// spanning paragraphs, an image field) or with a format this engine does not
// apply raises NotSupportedException rather than leaving a document half
// merged.
using System;
using System.Collections.Generic;
using System.Globalization;
using System.Linq;
using Morvax.Velto.Fields;

namespace Morvax.Velto.Formats;

internal sealed class DocxMailMerge
{
    private const string Member = "MailMerge.Execute";
    private readonly Dictionary<string, object?> values;

    private DocxMailMerge(Dictionary<string, object?> values)
    {
        this.values = values;
    }

    internal static void Execute(Document doc, string[] fieldNames, object?[] fieldValues)
    {
        ArgumentNullException.ThrowIfNull(fieldNames);
        ArgumentNullException.ThrowIfNull(fieldValues);
        if (fieldNames.Length != fieldValues.Length)
            throw new ArgumentException(
                $"{Member} needs one value per field name: {fieldNames.Length} names and {fieldValues.Length} values were given.",
                nameof(fieldValues));
        // The first of two equal names wins, as a lookup in the given order would.
        var values = new Dictionary<string, object?>(StringComparer.OrdinalIgnoreCase);
        for (int i = 0; i < fieldNames.Length; i++)
            values.TryAdd(fieldNames[i] ?? throw new ArgumentException($"{Member}: field name {i} is null.", nameof(fieldNames)),
                fieldValues[i]);
        var merge = new DocxMailMerge(values);
        foreach (Field field in FieldScanner.In(doc))
        {
            if (field.Type != FieldType.FieldMergeField || !field.Start.IsInDocument())
                continue;
            string code = field.GetFieldCode(false);
            if (merge.MergedText(code) is not { } text)
                continue;
            if (field.Depth > 0)
                throw Nested(code);
            if (!ReferenceEquals(field.Start.ParentNode, field.End.ParentNode))
                throw new NotSupportedException($"{Member} cannot merge the field '{code.Trim()}': it spans paragraphs.");
            var merged = new Run(doc, text);
            merged.Font.CopyFrom(field.Start.Font);
            field.Start.ParentNode!.InsertBefore(merged, field.Start);
            field.Remove();
        }
    }

    private static NotSupportedException Nested(string? code) => new(
        $"{Member} cannot merge the field '{code?.Trim()}': it is nested in another field.");

    // The text a merge field is replaced by, or null when the code is not a
    // merge field or names no given field.
    private string? MergedText(string code)
    {
        List<string> tokens = FieldCodes.Words(code);
        if (tokens.Count < 2 || !tokens[0].Equals("MERGEFIELD", StringComparison.OrdinalIgnoreCase))
            return null;
        string name = tokens[1];
        const string imagePrefix = "Image:";
        if (name.StartsWith(imagePrefix, StringComparison.OrdinalIgnoreCase) && values.ContainsKey(name[imagePrefix.Length..]))
            throw new NotSupportedException($"{Member} cannot merge the image field '{name}': image merging is not supported.");
        if (!values.TryGetValue(name, out object? value))
            return null;
        string text = TextOf(value, name);
        string before = string.Empty, after = string.Empty;
        for (int i = 2; i < tokens.Count; i++)
        {
            string argument = i + 1 < tokens.Count ? tokens[i + 1] : string.Empty;
            switch (tokens[i].ToLowerInvariant())
            {
                case "\\b":
                    before = argument;
                    i++;
                    break;
                case "\\f":
                    after = argument;
                    i++;
                    break;
                case "\\*":
                    text = Formatted(text, argument, code);
                    i++;
                    break;
                default:
                    throw new NotSupportedException(
                        $"{Member} cannot merge the field '{code.Trim()}': the switch {tokens[i]} is not supported.");
            }
        }
        return text.Length == 0 ? text : before + text + after;
    }

    private static string Formatted(string text, string format, string code) => format.ToLowerInvariant() switch
    {
        "mergeformat" or "charformat" => text,
        "upper" => text.ToUpperInvariant(),
        "lower" => text.ToLowerInvariant(),
        "firstcap" => text.Length == 0 ? text : char.ToUpperInvariant(text[0]) + text[1..],
        "caps" => CultureInfo.InvariantCulture.TextInfo.ToTitleCase(text),
        _ => throw new NotSupportedException(
            $"{Member} cannot merge the field '{code.Trim()}': the format \\* {format} is not supported."),
    };

    private static string TextOf(object? value, string name) => value switch
    {
        null or DBNull => string.Empty,
        string text => text,
        byte[] or System.IO.Stream => throw new NotSupportedException(
            $"{Member} cannot merge the field '{name}': image merging is not supported."),
        IFormattable formattable => formattable.ToString(null, CultureInfo.InvariantCulture),
        _ => value.ToString() ?? string.Empty,
    };
}
