// DocxMailMerge: the simple mail merge, which replaces each merge field of a
// loaded document whose name is given by its value's text as a plain run.
// Fields are kept markup (see DocxFields): a simple field element, or a
// complex field spread over runs holding its begin, separate and end
// characters with the code between begin and separate.  Only a field that
// is outermost and lies within one paragraph is replaced; a merge field that
// would have to be merged anywhere else (nested in another field, spanning
// paragraphs, an image field) or with a format this engine does not apply
// raises NotSupportedException rather than leaving a document half merged.
using System;
using System.Collections.Generic;
using System.Globalization;
using System.Linq;
using System.Text;
using DocumentFormat.OpenXml;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal sealed class DocxMailMerge
{
    private const string Member = "MailMerge.Execute";
    private readonly Document doc;
    private readonly Dictionary<string, object?> values;

    // The open complex fields, outermost first: the code read so far, whether
    // the separator was passed, and where the field began.
    private readonly List<OpenField> open = new();

    private sealed class OpenField
    {
        public readonly StringBuilder Code = new();
        public bool InResult;
        public Paragraph? Paragraph;
        public Node? BeginNode;
        public int BeginIndex;
    }

    private DocxMailMerge(Document doc, Dictionary<string, object?> values)
    {
        this.doc = doc;
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
        var merge = new DocxMailMerge(doc, values);
        foreach (Node paragraph in doc.Matching(NodeType.Paragraph, true).ToList())
            merge.MergeIn((Paragraph)paragraph);
    }

    private void MergeIn(Paragraph paragraph)
    {
        for (Node? node = paragraph.FirstChild; node is not null;)
        {
            Node? next = node.NextSibling;
            switch (node)
            {
                case KeptInline { Element: W.SimpleField simple }:
                    if (MergedText(simple.Instruction?.Value ?? string.Empty) is { } text)
                    {
                        if (open.Count > 0)
                            throw Nested(simple.Instruction?.Value);
                        node.ParentNode!.InsertAfter(new Run(doc, text), node);
                        node.Remove();
                    }
                    break;
                case KeptInline { Element: W.Run run } when run.Elements<W.FieldChar>().Any() || open.Count > 0:
                    next = ReadFieldRun(paragraph, node, run) ?? next;
                    break;
            }
            node = next;
        }
    }

    // Follows the field characters and codes of one run; when it ends an
    // outermost merge field that is merged, the field is replaced and the
    // node after the replacement is returned.
    private Node? ReadFieldRun(Paragraph paragraph, Node node, W.Run run)
    {
        List<OpenXmlElement> children = run.ChildElements.ToList();
        for (int i = 0; i < children.Count; i++)
        {
            switch (children[i])
            {
                case W.FieldChar fieldChar:
                    string? kind = fieldChar.FieldCharType?.InnerText;
                    if (kind == "begin")
                        open.Add(new OpenField { Paragraph = paragraph, BeginNode = node, BeginIndex = i });
                    else if (kind == "separate" && open.Count > 0)
                        open[^1].InResult = true;
                    else if (kind == "end" && open.Count > 0)
                    {
                        OpenField field = open[^1];
                        open.RemoveAt(open.Count - 1);
                        string code = field.Code.ToString();
                        if (MergedText(code) is not { } text)
                            break;
                        if (open.Count > 0)
                            throw Nested(code);
                        if (field.Paragraph != paragraph)
                            throw new NotSupportedException(
                                $"{Member} cannot merge the field '{code.Trim()}': it spans paragraphs.");
                        return Replace(field, node, i, text);
                    }
                    break;
                case W.FieldCode fieldCode when open.Count > 0 && !open[^1].InResult:
                    open[^1].Code.Append(fieldCode.Text);
                    break;
            }
        }
        return null;
    }

    // Replaces the field from its begin character to the end character at
    // endIndex of endNode's run by a run of the text, keeping whatever else
    // the first and last runs hold; returns the node after the replacement.
    private Node? Replace(OpenField field, Node endNode, int endIndex, string text)
    {
        Node beginNode = field.BeginNode!;
        CompositeNode parent = beginNode.ParentNode!;
        Node? after = endNode.NextSibling;
        Node anchor = beginNode;
        if (Part(beginNode, 0, field.BeginIndex) is { } before)
        {
            parent.InsertBefore(before, beginNode);
        }
        var merged = new Run(doc, text);
        parent.InsertBefore(merged, beginNode);
        Node last = merged;
        if (Part(endNode, endIndex + 1, int.MaxValue) is { } rest)
        {
            parent.InsertAfter(rest, merged);
            last = rest;
        }
        for (Node? node = anchor; node is not null && node != after;)
        {
            Node? next = node.NextSibling;
            node.Remove();
            node = next;
        }
        return last.NextSibling;
    }

    // The run's children in [from, to) as a kept run with the run's
    // properties; null when they hold nothing.
    private KeptInline? Part(Node node, int from, int to)
    {
        var run = (W.Run)((KeptInline)node).Element;
        var part = new W.Run();
        if (run.RunProperties is { } rPr)
            part.AppendChild(rPr.CloneNode(true));
        bool content = false;
        List<OpenXmlElement> children = run.ChildElements.ToList();
        for (int i = from; i < System.Math.Min(to, children.Count); i++)
        {
            if (children[i] is W.RunProperties)
                continue;
            part.AppendChild(children[i].CloneNode(true));
            content = true;
        }
        return content ? new KeptInline(doc, part, DocxReader.TextOf(part, false)) : null;
    }

    private static NotSupportedException Nested(string? code) => new(
        $"{Member} cannot merge the field '{code?.Trim()}': it is nested in another field.");

    // The text a merge field is replaced by, or null when the code is not a
    // merge field or names no given field.
    private string? MergedText(string code)
    {
        List<string> tokens = Tokens(code);
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

    // A field code's words: quoted words lose their quotes, a backslash
    // switch is its own word.
    private static List<string> Tokens(string code)
    {
        var tokens = new List<string>();
        int i = 0;
        while (i < code.Length)
        {
            if (char.IsWhiteSpace(code[i]))
            {
                i++;
                continue;
            }
            var token = new StringBuilder();
            if (code[i] == '"')
            {
                for (i++; i < code.Length && code[i] != '"'; i++)
                    token.Append(code[i]);
                i++;
            }
            else
            {
                for (; i < code.Length && !char.IsWhiteSpace(code[i]); i++)
                    token.Append(code[i]);
            }
            tokens.Add(token.ToString());
        }
        return tokens;
    }
}
