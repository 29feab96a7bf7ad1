// PlainTextReader: loads text as one paragraph per line.  The encoding comes
// from a byte order mark (UTF-8, UTF-16 or UTF-32), else UTF-8; bytes that
// are not valid UTF-8 become U+FFFD.  CR LF, CR and LF all end a line, and
// the break after the last line does not start another paragraph.
using System.IO;
using System.Text;

namespace Morvax.Velto.Formats;

internal static class PlainTextReader
{
    public static void Read(Document doc, byte[] data)
    {
        string text;
        using (var reader = new StreamReader(new MemoryStream(data), new UTF8Encoding(false), true))
            text = reader.ReadToEnd();

        var section = (Section)doc.AppendChild(new Section(doc));
        var body = (Body)section.AppendChild(new Body(doc));
        int start = 0;
        for (int i = 0; i <= text.Length; i++)
        {
            bool end = i == text.Length;
            if (!end && text[i] != '\r' && text[i] != '\n')
                continue;
            if (end && start == text.Length && start > 0)
                break;
            var paragraph = (Paragraph)body.AppendChild(new Paragraph(doc));
            if (i > start)
                paragraph.AppendChild(new Run(doc, text[start..i]));
            if (!end && text[i] == '\r' && i + 1 < text.Length && text[i + 1] == '\n')
                i++;
            start = i + 1;
        }
    }
}
