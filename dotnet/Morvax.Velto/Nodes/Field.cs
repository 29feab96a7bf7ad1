// Field: one field of a document seen as a whole: its start mark, the code
// after it, the separator mark, the result and the end mark.  The marks are
// nodes of the tree (FieldChars.cs); a Field is a view over them, found by
// pairing the marks in document order (FieldScanner), so it is never stale
// about where its marks are.  A field may span paragraphs and may hold
// other fields in its code or result.
using System;
using System.Collections.Generic;
using System.Globalization;
using System.Linq;
using System.Reflection;
using System.Text;

namespace Morvax.Velto.Fields;

/// <summary>A field of the document: a field code with its result, between a field start and a field end.</summary>
public class Field
{
    internal FieldStart? start;
    internal FieldSeparator? separator;
    internal FieldEnd? end;

    internal Field()
    {
    }

    // How many fields hold this one in their code or result.
    internal int Depth { get; set; }

    public FieldType Type { get; internal set; } = FieldType.FieldNone;

    public bool IsLocked { get; set; }

    public bool IsDirty { get; set; }

    /// <summary>The node where the field starts.</summary>
    public FieldStart Start => start ?? throw NotInDocument();

    /// <summary>The node between the field code and the result, or <see langword="null"/> for a field without a result.</summary>
    public FieldSeparator? Separator => start is null ? throw NotInDocument() : separator;

    /// <summary>The node where the field ends.</summary>
    public FieldEnd End => end ?? throw NotInDocument();

    /// <summary>The field code, with the codes of the fields nested in it.</summary>
    public string GetFieldCode() => GetFieldCode(true);

    /// <summary>The field code; the text of nested fields is part of it only when <paramref name="includeChildFieldCodes"/> is set.</summary>
    public string GetFieldCode(bool includeChildFieldCodes)
    {
        var code = new StringBuilder();
        int depth = 0;
        foreach (Node node in Between(Start, (Node?)separator ?? End))
        {
            switch (node)
            {
                case FieldStart:
                    depth++;
                    if (includeChildFieldCodes)
                        code.Append(ControlChar.FieldStartChar);
                    break;
                case FieldSeparator:
                    if (includeChildFieldCodes)
                        code.Append(ControlChar.FieldSeparatorChar);
                    break;
                case FieldEnd:
                    depth--;
                    if (includeChildFieldCodes)
                        code.Append(ControlChar.FieldEndChar);
                    break;
                case Run run when depth == 0 || includeChildFieldCodes:
                    code.Append(run.Text);
                    break;
            }
        }
        return code.ToString();
    }

    // The text between the separator and the end, as the document shows it
    // (paragraph breaks included); empty for a field without a result.
    /// <summary>The field's result text; setting it replaces the result with one run of the text.</summary>
    public string Result
    {
        get
        {
            if (Separator is not { } from)
                return string.Empty;
            var text = new StringBuilder();
            foreach (Node node in Between(from, End))
            {
                if (node is Paragraph)
                    text.Append(ControlChar.ParagraphBreakChar);
                else if (!node.IsComposite || node is InlineStory)
                    node.AppendText(text);
            }
            return text.ToString();
        }
        set
        {
            ArgumentNullException.ThrowIfNull(value);
            SetResult(value);
        }
    }

    /// <summary>The result without the marks of nested fields and their codes.</summary>
    public string DisplayResult => FieldScanner.Shown(Result);

    /// <summary>Takes the whole field out of the document; returns the node that followed it, or <see langword="null"/>.</summary>
    public Node? Remove()
    {
        FieldEnd last = End;
        Node? following = last.NextSibling;
        RemoveRange(Start, last);
        start = null;
        separator = null;
        end = null;
        return following;
    }

    /// <summary>Replaces the field with its result; returns <see langword="true"/> when the field was replaced.</summary>
    public bool Unlink()
    {
        FieldStart first = Start;
        FieldEnd last = End;
        if (separator is null)
        {
            Remove();
            return true;
        }
        RemoveRange(first, separator);
        last.Remove();
        start = null;
        separator = null;
        end = null;
        return true;
    }

    /// <summary>Recomputes the result where this library can (dates, document properties, page counts, merge fields); other fields raise <see cref="NotSupportedException"/>.</summary>
    public void Update()
    {
        if (IsLocked)
            return;
        string result = FieldResults.Compute((Document)Start.Document, Type, GetFieldCode(false))
            ?? throw new NotSupportedException($"Field.Update cannot update a {FieldCodes.KeywordOf(Type)} field.");
        SetResult(result);
        IsDirty = false;
    }

    internal bool TryUpdate()
    {
        if (IsLocked || FieldResults.Compute((Document)Start.Document, Type, GetFieldCode(false)) is not { } result)
            return false;
        SetResult(result);
        return true;
    }

    // Replaces the code with one run of the text, formatted as the code's
    // first run was.
    private protected void SetFieldCode(string code)
    {
        Node last = (Node?)Separator ?? End;
        if (!ReferenceEquals(Start.ParentNode, last.ParentNode))
            throw new NotSupportedException("Field code cannot be set on a field whose code spans paragraphs.");
        if (Between(Start, last).Any(node => node is FieldChar))
            throw new NotSupportedException("Field code cannot be set on a field whose code holds other fields.");
        Font? font = null;
        while (Start.NextSibling is { } node && !ReferenceEquals(node, last))
        {
            font ??= (node as Run)?.Font;
            node.Remove();
        }
        var run = new Run(Start.Document, code);
        run.Font.CopyFrom(font ?? Start.Font);
        Start.ParentNode!.InsertAfter(run, Start);
    }

    private static InvalidOperationException NotInDocument() =>
        new("The field is not in a document: it was removed, unlinked or never inserted.");

    private void SetResult(string text)
    {
        FieldEnd last = End;
        Font? font = null;
        if (separator is null)
        {
            separator = new FieldSeparator(last.Document, Type);
            separator.Font.CopyFrom(last.Font);
            last.ParentNode!.InsertBefore(separator, last);
        }
        else
        {
            if (!ReferenceEquals(separator.ParentNode, last.ParentNode))
                throw new NotSupportedException("Field.Result cannot be set on a field whose result spans paragraphs.");
            for (Node? node = separator.NextSibling; node is not null && !ReferenceEquals(node, last);)
            {
                Node? following = node.NextSibling;
                if (font is null && node is Run run)
                    font = run.Font;
                node.Remove();
                node = following;
            }
        }
        if (text.Length == 0)
            return;
        var result = new Run(last.Document, text);
        result.Font.CopyFrom(font ?? last.Font);
        last.ParentNode!.InsertBefore(result, last);
    }

    // The nodes strictly between two nodes in document order.
    internal static IEnumerable<Node> Between(Node from, Node to)
    {
        for (Node? node = NextInTree(from); node is not null && !ReferenceEquals(node, to); node = NextInTree(node))
            yield return node;
    }

    internal static Node? NextInTree(Node node)
    {
        if (node is CompositeNode { FirstChild: { } child })
            return child;
        for (Node? current = node; current is not null; current = current.ParentNode)
        {
            if (current.NextSibling is { } next)
                return next;
        }
        return null;
    }

    // Removes first, last and what lies between them.  A range within one
    // paragraph loses its nodes; a range over sibling paragraphs also joins
    // the last paragraph's remaining content to the first paragraph.
    private static void RemoveRange(Node first, Node last)
    {
        CompositeNode? firstParent = first.ParentNode;
        CompositeNode? lastParent = last.ParentNode;
        if (ReferenceEquals(firstParent, lastParent))
        {
            for (Node? node = first; node is not null;)
            {
                Node? following = node.NextSibling;
                node.Remove();
                if (ReferenceEquals(node, last))
                    break;
                node = following;
            }
            return;
        }
        if (firstParent is not Paragraph opening || lastParent is not Paragraph closing
            || !ReferenceEquals(opening.ParentNode, closing.ParentNode))
            throw new NotSupportedException("Field.Remove cannot remove a field whose marks are in different cells or stories.");
        while (first.NextSibling is { } tail)
            tail.Remove();
        first.Remove();
        while (opening.NextSibling is { } between && !ReferenceEquals(between, closing))
            between.Remove();
        for (Node? node = closing.FirstChild; node is not null;)
        {
            Node? following = node.NextSibling;
            node.Remove();
            if (ReferenceEquals(node, last))
                break;
            node = following;
        }
        while (closing.FirstChild is { } rest)
            opening.AppendChild(rest);
        closing.Remove();
    }
}

// Pairs the field marks of a tree into fields: a start opens a field, the
// first separator after it (outside nested fields) divides code from result,
// the matching end closes it.  Marks without a partner make no field.
internal static class FieldScanner
{
    public static List<Field> In(Node root)
    {
        var fields = new List<Field>();
        var open = new Stack<Field>();
        IEnumerable<Node> nodes = root is CompositeNode composite ? composite.Matching(NodeType.Any, true) : new[] { root };
        foreach (Node node in nodes)
        {
            switch (node)
            {
                case FieldStart start:
                    Field field = FieldTypes.Create(start.FieldType);
                    field.start = start;
                    field.Depth = open.Count;
                    fields.Add(field);
                    open.Push(field);
                    break;
                case FieldSeparator separator when open.Count > 0 && open.Peek().separator is null:
                    open.Peek().separator = separator;
                    break;
                case FieldEnd end when open.Count > 0:
                    open.Pop().end = end;
                    break;
            }
        }
        fields.RemoveAll(f => f.end is null);
        return fields;
    }

    public static Field? FieldOf(FieldChar mark)
    {
        Node root = mark;
        while (root.ParentNode is { } parent)
            root = parent;
        return In(root).FirstOrDefault(f =>
            ReferenceEquals(f.start, mark) || ReferenceEquals(f.separator, mark) || ReferenceEquals(f.end, mark));
    }

    // The runs of a paragraph that show: those outside any field code and
    // not deleted under revision tracking.  A field's code is the text from
    // its start to its separator (or to its end when it has none); the result
    // shows.  The walk starts afresh in each paragraph, so a code that spans
    // paragraphs shows in the second.
    public static IEnumerable<Run> ShownRuns(Paragraph paragraph)
    {
        var nesting = new FieldNesting();
        for (Node? node = paragraph.FirstChild; node is not null; node = node.NextSibling)
        {
            if (!nesting.Step(node) && node is Run run && !nesting.InCode && !run.IsDeleteRevision)
                yield return run;
        }
    }

    // Text with its field marks and field codes taken out, leaving results.
    public static string Shown(string text)
    {
        var shown = new StringBuilder(text.Length);
        var nesting = new FieldNesting();
        foreach (char c in text)
        {
            if (!nesting.Step(c) && !nesting.InCode)
                shown.Append(c);
        }
        return shown.ToString();
    }
}

// Where a walk through a paragraph's children (or a text's characters) is
// among fields: a start opens a field in its code, a separator turns the
// innermost open field to its result, an end closes it.
internal sealed class FieldNesting
{
    // One entry per open field: true while in its code.
    private readonly Stack<bool> open = new();

    public bool InField => open.Count > 0;

    // Inside the code of some open field, however deep.
    public bool InCode => open.Contains(true);

    // Inside the code of the innermost open field.
    public bool InInnermostCode => open.Count > 0 && open.Peek();

    // True when the node was a field mark that moved the walk.
    public bool Step(Node node) => Step(node switch
    {
        FieldStart => ControlChar.FieldStartChar,
        FieldSeparator => ControlChar.FieldSeparatorChar,
        FieldEnd => ControlChar.FieldEndChar,
        _ => '\0',
    });

    public bool Step(char mark)
    {
        switch (mark)
        {
            case ControlChar.FieldStartChar:
                open.Push(true);
                return true;
            case ControlChar.FieldSeparatorChar when open.Count > 0:
                open.Pop();
                open.Push(false);
                return true;
            case ControlChar.FieldEndChar when open.Count > 0:
                open.Pop();
                return true;
            default:
                return false;
        }
    }
}

// The Field class for each field type: the catalogue's Field subclasses,
// each of which names its type in its constructor, found once.
internal static class FieldTypes
{
    private static readonly Lazy<Dictionary<FieldType, Func<Field>>> Makers = new(() =>
    {
        var makers = new Dictionary<FieldType, Func<Field>>();
        foreach (Type type in typeof(Field).Assembly.GetTypes())
        {
            if (!type.IsSubclassOf(typeof(Field)) || type.GetConstructor(Type.EmptyTypes) is not { } constructor)
                continue;
            var sample = (Field)constructor.Invoke(null);
            makers.TryAdd(sample.Type, () => (Field)constructor.Invoke(null));
        }
        return makers;
    });

    public static Field Create(FieldType type)
    {
        Field field = Makers.Value.TryGetValue(type, out Func<Field>? make) ? make() : new FieldUnknown();
        field.Type = type;
        return field;
    }
}

// Field codes: the keyword that starts a code names the field's type.
internal static class FieldCodes
{
    // Keywords that are not the type's name without its "Field" prefix.
    private static readonly (string Keyword, FieldType Type)[] Irregular =
    {
        ("XE", FieldType.FieldIndexEntry), ("TC", FieldType.FieldTOCEntry), ("SEQ", FieldType.FieldSequence),
        ("KEYWORDS", FieldType.FieldKeyword), ("REVNUM", FieldType.FieldRevisionNum), ("=", FieldType.FieldFormula),
        ("EQ", FieldType.FieldEquation), ("AUTONUMOUT", FieldType.FieldAutoNumOutline),
        ("AUTONUMLGL", FieldType.FieldAutoNumLegal), ("FORMTEXT", FieldType.FieldFormTextInput),
        ("TA", FieldType.FieldTOAEntry), ("RD", FieldType.FieldRefDoc), ("HTMLACTIVEX", FieldType.FieldHtmlActiveX),
    };

    private static readonly Lazy<Dictionary<string, FieldType>> ByKeyword = new(() =>
    {
        var types = new Dictionary<string, FieldType>(StringComparer.OrdinalIgnoreCase);
        foreach ((string keyword, FieldType type) in Irregular)
            types[keyword] = type;
        foreach (FieldType type in Enum.GetValues<FieldType>())
        {
            string name = type.ToString();
            if (type is not (FieldType.FieldNone or FieldType.FieldCannotParse or FieldType.FieldUnknown)
                && name.StartsWith("Field", StringComparison.Ordinal) && !types.ContainsValue(type))
                types.TryAdd(name["Field".Length..].ToUpperInvariant(), type);
        }
        return types;
    });

    public static FieldType TypeOf(string code)
    {
        string keyword = FirstWord(code);
        if (keyword.Length == 0)
            return FieldType.FieldNone;
        if (keyword.StartsWith('='))
            return FieldType.FieldFormula;
        return ByKeyword.Value.TryGetValue(keyword, out FieldType type) ? type : FieldType.FieldUnknown;
    }

    public static string KeywordOf(FieldType type) =>
        ByKeyword.Value.FirstOrDefault(entry => entry.Value == type).Key ?? type.ToString();

    public static string FirstWord(string code) => Words(code).FirstOrDefault() ?? string.Empty;

    // A code's words: quoted words lose their quotes, a backslash switch is
    // a word of its own.
    public static List<string> Words(string code)
    {
        var words = new List<string>();
        int i = 0;
        while (i < code.Length)
        {
            if (char.IsWhiteSpace(code[i]))
            {
                i++;
                continue;
            }
            var word = new StringBuilder();
            if (code[i] == '"')
            {
                // Inside quotes a backslash escapes a quote.
                for (i++; i < code.Length && code[i] != '"'; i++)
                {
                    if (code[i] == '\\' && i + 1 < code.Length && code[i + 1] == '"')
                        i++;
                    word.Append(code[i]);
                }
                i++;
            }
            else
            {
                for (; i < code.Length && !char.IsWhiteSpace(code[i]); i++)
                    word.Append(code[i]);
            }
            words.Add(word.ToString());
        }
        return words;
    }

    // A word as a code writes it: in quotes, its own quotes escaped.
    public static string Quoted(string word) =>
        "\"" + word.Replace("\"", "\\\"", StringComparison.Ordinal) + "\"";

    // The argument after a switch (\l "anchor"), or null.
    public static string? Switch(string code, string name)
    {
        List<string> words = Words(code);
        int at = words.FindIndex(w => w.Equals(name, StringComparison.OrdinalIgnoreCase));
        return at >= 0 && at + 1 < words.Count ? words[at + 1] : null;
    }

    // The first argument that is not a switch or a switch's argument.
    public static string? Argument(string code)
    {
        List<string> words = Words(code);
        return words.Count > 1 && !words[1].StartsWith('\\') ? words[1] : null;
    }
}

// The results this library can compute without laying out pages.
internal static class FieldResults
{
    public static string? Compute(Document doc, FieldType type, string code)
    {
        Properties.BuiltInDocumentProperties properties = doc.BuiltInDocumentProperties;
        return type switch
        {
            FieldType.FieldDate or FieldType.FieldTime => Date(DateTime.Now, code, type == FieldType.FieldDate ? "M/d/yyyy" : "h:mm tt"),
            FieldType.FieldAuthor => properties.Author ?? string.Empty,
            FieldType.FieldTitle => properties.Title ?? string.Empty,
            FieldType.FieldSubject => properties.Subject ?? string.Empty,
            FieldType.FieldKeyword => properties.Keywords ?? string.Empty,
            FieldType.FieldComments => properties.Comments ?? string.Empty,
            FieldType.FieldNumPages => doc.PageCount.ToString(CultureInfo.InvariantCulture),
            FieldType.FieldMergeField => FieldCodes.Argument(code) is { } name ? $"«{name}»" : null,
            _ => null,
        };
    }

    // A date in the picture of the \@ switch (the common picture letters
    // are .NET's own), else in the default one.
    private static string Date(DateTime when, string code, string picture)
    {
        string format = FieldCodes.Switch(code, "\\@") ?? picture;
        format = format.Replace("am/pm", "tt", StringComparison.OrdinalIgnoreCase);
        try
        {
            return when.ToString(format, CultureInfo.InvariantCulture);
        }
        catch (FormatException)
        {
            return when.ToString(picture, CultureInfo.InvariantCulture);
        }
    }
}
