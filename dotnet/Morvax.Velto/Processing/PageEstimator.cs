// PageEstimator: a quick estimate of how a document breaks into lines and
// pages, without real text layout: a US Letter page with one-inch margins,
// an average character half as wide as the font size, lines 1.2 times the
// font size apart.  Page breaks and sections that start on a new page begin
// a new page.  Good enough for PageCount and the line count; not a layout.
using System;
using System.Text;

namespace Morvax.Velto;

internal static class PageEstimator
{
    private const double TextWidth = 468.0;
    private const double TextHeight = 648.0;

    public static (int Pages, int Lines) Estimate(Document doc)
    {
        int pages = 1, lines = 0;
        double y = 0;
        bool firstSection = true;
        foreach (Node sectionNode in doc.Matching(NodeType.Section, false))
        {
            var section = (Section)sectionNode;
            if (!firstSection && section.Start is not (SectionStart.Continuous or SectionStart.NewColumn))
            {
                pages++;
                y = 0;
            }
            firstSection = false;
            foreach (Node node in section.MatchingInMainText(NodeType.Paragraph))
            {
                var paragraph = (Paragraph)node;
                double size = Font.DefaultSize;
                foreach (Node run in paragraph.Matching(NodeType.Run, false))
                    size = System.Math.Max(size, ((Run)run).Font.Size);
                double lineHeight = size * 1.2;
                int perLine = System.Math.Max(1, (int)(TextWidth / (size * 0.5)));
                y += paragraph.OwnedFormat.SpaceBefore;
                int visible = 0;
                void EndLines()
                {
                    for (int n = System.Math.Max(1, (visible + perLine - 1) / perLine); n > 0; n--)
                    {
                        if (y > 0 && y + lineHeight > TextHeight)
                        {
                            pages++;
                            y = 0;
                        }
                        y += lineHeight;
                        lines++;
                    }
                    visible = 0;
                }
                foreach (char c in RunText(paragraph))
                {
                    if (c == ControlChar.LineBreakChar)
                        EndLines();
                    else if (c == ControlChar.PageBreakChar)
                    {
                        EndLines();
                        pages++;
                        y = 0;
                    }
                    else if (!char.IsControl(c))
                        visible++;
                }
                EndLines();
                y += paragraph.OwnedFormat.SpaceAfter;
            }
        }
        return (pages, lines);
    }

    private static string RunText(Paragraph paragraph)
    {
        var text = new StringBuilder();
        foreach (Run run in Fields.FieldScanner.ShownRuns(paragraph))
            text.Append(run.Text);
        return text.ToString();
    }
}
