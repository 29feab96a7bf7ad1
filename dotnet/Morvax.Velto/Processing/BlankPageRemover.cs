// BlankPageRemover: removes what makes a page without visible content:
// sections that show nothing and have a page to themselves, and page breaks
// that begin or end a page that would show nothing.  A page begins at the
// start of the document, at a page break or at a section that starts on a
// new page.
using System.Collections.Generic;
using System.Linq;

namespace Morvax.Velto;

internal static class BlankPageRemover
{
    public static void Remove(Document doc)
    {
        RemoveBlankSections(doc);
        RemoveBlankPageBreaks(doc);
    }

    // Sections are taken in pages: one that starts a new page together with
    // the continuous ones after it.  A page whose sections all show nothing
    // goes, unless every page is blank: then the first stays.
    private static void RemoveBlankSections(Document doc)
    {
        var pages = new List<List<Section>>();
        foreach (Section section in doc.Sections)
        {
            if (pages.Count == 0 || StartsPage(section))
                pages.Add(new List<Section>());
            pages[^1].Add(section);
        }
        List<List<Section>> blank = pages.Where(page => !page.Any(HasVisibleText)).ToList();
        if (blank.Count == pages.Count)
            blank.RemoveAt(0);
        foreach (List<Section> page in blank)
            page.ForEach(section => section.Remove());
    }

    private static void RemoveBlankPageBreaks(Document doc)
    {
        var breaks = new List<(Run Run, int Index)>();
        // The page break that began the current page, if one did, and
        // whether the page has shown anything yet.
        (Run Run, int Index)? opener = null;
        bool blank = true;
        bool firstSection = true;
        foreach (Section section in doc.Sections)
        {
            if (!firstSection && StartsPage(section))
            {
                if (blank && opener is { } pending)
                    breaks.Add(pending);
                opener = null;
                blank = true;
            }
            firstSection = false;
            foreach (Node node in section.MatchingInMainText(NodeType.Run))
            {
                var run = (Run)node;
                for (int i = 0; i < run.Text.Length; i++)
                {
                    char c = run.Text[i];
                    if (c == ControlChar.PageBreakChar)
                    {
                        if (!blank)
                            opener = (run, i);
                        else if (opener is { } previous)
                        {
                            // The page between the two breaks is blank: drop
                            // the first break, this one now ends the page before.
                            breaks.Add(previous);
                            opener = (run, i);
                        }
                        else
                            breaks.Add((run, i));
                        blank = true;
                    }
                    else if (!run.Font.Hidden && !char.IsWhiteSpace(c) && !char.IsControl(c))
                        blank = false;
                }
            }
        }
        if (blank && opener is { } last)
            breaks.Add(last);

        // Later indexes first, so the earlier ones stay valid.
        breaks.Sort((a, b) => b.Index.CompareTo(a.Index));
        foreach ((Run run, int index) in breaks)
        {
            run.Text = run.Text.Remove(index, 1);
            if (run.Text.Length == 0)
                run.Remove();
        }
    }

    private static bool StartsPage(Section section) =>
        section.Start is not (SectionStart.Continuous or SectionStart.NewColumn);

    private static bool HasVisibleText(Section section)
    {
        foreach (Node node in section.MatchingInMainText(NodeType.Run))
        {
            var run = (Run)node;
            if (run.Font.Hidden)
                continue;
            foreach (char c in run.Text)
            {
                if (!char.IsWhiteSpace(c) && !char.IsControl(c))
                    return true;
            }
        }
        return false;
    }
}
