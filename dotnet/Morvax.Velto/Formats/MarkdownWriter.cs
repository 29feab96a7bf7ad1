// MarkdownWriter: saves the visible text as Markdown.  Paragraphs are
// separated by blank lines and empty paragraphs are left out (Markdown has
// no empty paragraph); "Heading 1" to "Heading 6" become ATX headings.
// Neighbouring runs with the same emphasis are written as one span, and the
// spaces at a span's edges are moved outside its markers, since "** x**"
// would not be read as emphasis.  Text that Markdown would take as markup is
// escaped.
using System;
using System.Collections.Generic;
using System.Linq;
using System.Text;

namespace Morvax.Velto.Formats;

internal static class MarkdownWriter
{
    // ASCII punctuation that can start or end markup anywhere in a line.
    private const string Escaped = "\\`*_[]<>|~&";

    private static readonly char[] Blanks = { ' ', '\t', '\u00a0' };

    public static byte[] Write(Document doc)
    {
        var blocks = new List<string>();
        foreach (Node node in doc.MatchingInMainText(NodeType.Paragraph))
        {
            var paragraph = (Paragraph)node;
            string content = Content(paragraph);
            if (content.Trim().Length == 0)
                continue;
            blocks.Add(HeadingPrefix(paragraph.OwnedFormat.StyleName) + content);
        }
        string markdown = blocks.Count == 0 ? string.Empty : string.Join("\n\n", blocks) + "\n";
        return new UTF8Encoding(false).GetBytes(markdown);
    }

    private static string HeadingPrefix(string styleName) =>
        styleName.Length == 9 && styleName.StartsWith("Heading ", StringComparison.Ordinal) && styleName[8] is >= '1' and <= '6'
            ? new string('#', styleName[8] - '0') + " "
            : string.Empty;

    private static string Content(Paragraph paragraph)
    {
        var output = new StringBuilder();
        var span = new StringBuilder();
        string spanMarker = string.Empty;
        bool lineStart = true;
        foreach (Run run in Fields.FieldScanner.ShownRuns(paragraph).Where(run => !run.Font.Hidden))
        {
            string marker = MarkerOf(run.Font);
            string[] lines = run.Text.Split(ControlChar.LineBreakChar);
            for (int i = 0; i < lines.Length; i++)
            {
                // A line break closes the open span: emphasis markers at the
                // start of a line would not close it.  A backslash before the
                // newline makes the break a hard one.
                if (i > 0)
                {
                    Flush(output, span, spanMarker);
                    output.Append("\\\n");
                    lineStart = true;
                }
                if (marker != spanMarker)
                {
                    Flush(output, span, spanMarker);
                    spanMarker = marker;
                }
                AppendEscaped(span, lines[i], ref lineStart);
            }
        }
        Flush(output, span, spanMarker);
        // A hard break cannot end a block: it would show as a backslash.
        string content = output.ToString();
        while (content.EndsWith("\\\n", StringComparison.Ordinal))
            content = content[..^2];
        return content;
    }

    private static string MarkerOf(Font font) =>
        (font.StrikeThrough ? "~~" : string.Empty) + (font.Bold ? "**" : string.Empty) + (font.Italic ? "*" : string.Empty);

    private static void Flush(StringBuilder output, StringBuilder span, string marker)
    {
        string text = span.ToString();
        span.Clear();
        string core = text.Trim(Blanks);
        if (marker.Length == 0 || core.Length == 0)
        {
            output.Append(text);
            return;
        }
        int lead = text.Length - text.TrimStart(Blanks).Length;
        output.Append(text, 0, lead)
            .Append(marker).Append(core).Append(new string(marker.Reverse().ToArray()))
            .Append(text, lead + core.Length, text.Length - lead - core.Length);
    }

    private static void AppendEscaped(StringBuilder span, string text, ref bool lineStart)
    {
        for (int i = 0; i < text.Length; i++)
        {
            char c = text[i];
            if (lineStart && c is '#' or '+' or '-' or '=')
                span.Append('\\');
            switch (c)
            {
                case ControlChar.NonBreakingHyphenChar:
                    span.Append('-');
                    break;
                case '\t':
                    span.Append(c);
                    break;
                case < ' ':
                    continue;
                default:
                    if (Escaped.Contains(c))
                        span.Append('\\');
                    span.Append(c);
                    break;
            }
            // "1." or "1)" at the start of a line would start a list.
            if (lineStart && char.IsAsciiDigit(c))
            {
                int j = i;
                while (j + 1 < text.Length && char.IsAsciiDigit(text[j + 1]))
                    span.Append(text[++j]);
                if (j + 1 < text.Length && text[j + 1] is '.' or ')')
                    span.Append('\\').Append(text[++j]);
                i = j;
            }
            // Up to three leading spaces still let a line start markup.
            if (c != ' ')
                lineStart = false;
        }
    }
}
