// PlainTextWriter: saves the visible text, one paragraph after another, each
// followed by the paragraph break of the options; line breaks become the
// same break.  Page breaks stay form feeds.  Hidden text, and marks that
// have no meaning in plain text (cell and field marks, optional hyphens),
// are left out.  UTF-8 without a byte order mark.
using System.Text;
using Morvax.Velto.Saving;

namespace Morvax.Velto.Formats;

internal static class PlainTextWriter
{
    public static byte[] Write(Document doc, TxtSaveOptions options)
    {
        var text = new StringBuilder();
        foreach (Node node in doc.MatchingInMainText(NodeType.Paragraph))
        {
            foreach (Run run in Fields.FieldScanner.ShownRuns((Paragraph)node))
            {
                if (run.FormattingView.Hidden)
                    continue;
                foreach (char c in run.Text)
                {
                    switch (c)
                    {
                        case ControlChar.LineBreakChar:
                            text.Append(options.ParagraphBreak);
                            break;
                        case ControlChar.NonBreakingHyphenChar:
                            text.Append('-');
                            break;
                        case ControlChar.PageBreakChar or ControlChar.TabChar or '\r' or '\n':
                            text.Append(c);
                            break;
                        case < ' ':
                            break;
                        default:
                            text.Append(c);
                            break;
                    }
                }
            }
            text.Append(options.ParagraphBreak);
        }
        return new UTF8Encoding(false).GetBytes(text.ToString());
    }
}
