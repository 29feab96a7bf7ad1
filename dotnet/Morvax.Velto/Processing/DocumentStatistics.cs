// DocumentStatistics: the word count of a document, as the word processor
// counts it: words are runs of non-blank characters, paragraphs count only
// when they hold visible text, and control characters count as nothing.
using System.Text;

namespace Morvax.Velto;

internal sealed record DocumentStatistics(int Words, int Characters, int CharactersWithSpaces, int Paragraphs, int Lines)
{
    public static readonly DocumentStatistics Empty = new(0, 0, 0, 0, 0);

    public static DocumentStatistics Count(Document doc, int lines)
    {
        int words = 0, characters = 0, withSpaces = 0, paragraphs = 0;
        foreach (Node node in doc.MatchingInMainText(NodeType.Paragraph))
        {
            var text = new StringBuilder();
            foreach (Run run in ((Paragraph)node).ShownRuns())
                text.Append(run.Text);
            bool inWord = false, visible = false;
            foreach (char c in text.ToString())
            {
                if (char.IsControl(c) && c != '\t')
                {
                    inWord = false;
                    continue;
                }
                withSpaces++;
                if (char.IsWhiteSpace(c))
                {
                    inWord = false;
                    continue;
                }
                characters++;
                visible = true;
                if (!inWord)
                    words++;
                inWord = true;
            }
            if (visible)
                paragraphs++;
        }
        return new DocumentStatistics(words, characters, withSpaces, paragraphs, lines);
    }
}
