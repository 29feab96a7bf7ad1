// HtmlWriter: saves the document as a small HTML page that is also
// well-formed XML: every element closed, void elements self-closed, text
// escaped and characters outside ASCII written as UTF-8.  Each paragraph is
// a <p> (an <h1>..<h6> for "Heading 1".."Heading 6") with its alignment,
// indents and spacing as inline style; each run nests b, i, u, s, sup and
// sub as its formatting asks, and a span for the font when it is not the
// default one.  An empty paragraph holds a no-break space so that it keeps
// its height, as it does in the word processor.
using System;
using System.Globalization;
using System.Linq;
using System.Net;
using System.Text;
using Morvax.Velto.Saving;

namespace Morvax.Velto.Formats;

internal static class HtmlWriter
{
    public static byte[] Write(Document doc, HtmlSaveOptions options)
    {
        string newline = options.PrettyFormat ? "\n" : string.Empty;
        var html = new StringBuilder();
        html.Append("<!DOCTYPE html>").Append(newline)
            .Append("<html>").Append(newline)
            .Append("<head>").Append(newline)
            .Append("<meta charset=\"utf-8\" />").Append(newline)
            .Append("<meta name=\"generator\" content=\"").Append(BuildVersionInfo.Product).Append("\" />").Append(newline)
            .Append("<title></title>").Append(newline)
            .Append("</head>").Append(newline)
            .Append("<body>").Append(newline);
        foreach (Node node in doc.MatchingInMainText(NodeType.Paragraph))
            WriteParagraph(html, (Paragraph)node, newline);
        html.Append("</body>").Append(newline).Append("</html>").Append(newline);
        return new UTF8Encoding(false).GetBytes(html.ToString());
    }

    private static void WriteParagraph(StringBuilder html, Paragraph paragraph, string newline)
    {
        ParagraphFormat format = paragraph.OwnedFormat;
        string style = format.StyleName;
        string tag = style.Length == 9 && style.StartsWith("Heading ", StringComparison.Ordinal) && style[8] is >= '1' and <= '6'
            ? "h" + style[8]
            : "p";
        html.Append('<').Append(tag);
        string css = ParagraphCss(format);
        if (css.Length > 0)
            html.Append(" style=\"").Append(Attribute(css)).Append('"');
        html.Append('>');
        int length = html.Length;
        foreach (Run run in Fields.FieldScanner.ShownRuns(paragraph))
            WriteRun(html, run);
        if (html.Length == length)
            html.Append("&#xa0;");
        html.Append("</").Append(tag).Append('>').Append(newline);
    }

    private static string ParagraphCss(ParagraphFormat format)
    {
        var css = new StringBuilder();
        string? align = format.Alignment switch
        {
            ParagraphAlignment.Left => null,
            ParagraphAlignment.Center => "center",
            ParagraphAlignment.Right => "right",
            _ => "justify",
        };
        if (align is not null)
            css.Append("text-align:").Append(align).Append(';');
        Length(css, "margin-left", format.LeftIndent);
        Length(css, "margin-right", format.RightIndent);
        Length(css, "text-indent", format.FirstLineIndent);
        Length(css, "margin-top", format.SpaceBefore);
        Length(css, "margin-bottom", format.SpaceAfter);
        return css.ToString();
    }

    private static void Length(StringBuilder css, string property, double points)
    {
        if (points != 0)
            css.Append(property).Append(':').Append(points.ToString("0.##", CultureInfo.InvariantCulture)).Append("pt;");
    }

    private static void WriteRun(StringBuilder html, Run run)
    {
        Font font = run.Font;
        var css = new StringBuilder();
        if (font.Name != Font.DefaultName)
            css.Append("font-family:'").Append(font.Name.Replace("\\", "\\\\").Replace("'", "\\'")).Append("';");
        if (font.Size != Font.DefaultSize)
            css.Append("font-size:").Append(font.Size.ToString("0.##", CultureInfo.InvariantCulture)).Append("pt;");
        if (font.AllCaps)
            css.Append("text-transform:uppercase;");
        if (font.Hidden)
            css.Append("display:none;");
        string[] tags = new[]
        {
            css.Length > 0 ? "span" : null, font.Bold ? "b" : null, font.Italic ? "i" : null,
            font.Underline != Underline.None ? "u" : null, font.StrikeThrough ? "s" : null,
            font.Superscript ? "sup" : null, font.Subscript ? "sub" : null,
        }.OfType<string>().ToArray();
        foreach (string tag in tags)
        {
            html.Append('<').Append(tag);
            if (tag == "span")
                html.Append(" style=\"").Append(Attribute(css.ToString())).Append('"');
            html.Append('>');
        }
        AppendText(html, run.Text);
        foreach (string tag in tags.Reverse())
            html.Append("</").Append(tag).Append('>');
    }

    private static void AppendText(StringBuilder html, string text)
    {
        foreach (char c in text)
        {
            switch (c)
            {
                case '&':
                    html.Append("&amp;");
                    break;
                case '<':
                    html.Append("&lt;");
                    break;
                case '>':
                    html.Append("&gt;");
                    break;
                case ControlChar.LineBreakChar:
                    html.Append("<br />");
                    break;
                case ControlChar.NonBreakingSpaceChar:
                    html.Append("&#xa0;");
                    break;
                case ControlChar.NonBreakingHyphenChar:
                    html.Append("&#x2011;");
                    break;
                case '\t':
                    html.Append(c);
                    break;
                // Control characters (page breaks and the cell and field
                // marks among them) are not allowed in HTML text.
                case < ' ':
                    break;
                default:
                    html.Append(c);
                    break;
            }
        }
    }

    private static string Attribute(string value) => WebUtility.HtmlEncode(value);
}
