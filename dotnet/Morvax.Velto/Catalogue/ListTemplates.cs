// ListTemplates: the nine levels a new list starts with, for each of the
// templates ListCollection.Add offers. A level's format is the text of its
// label with %1 to %9 standing for the numbers of levels 1 to 9, as the
// numbering markup writes it; each level is indented half an inch further
// than the one above it, with a hanging label a quarter inch wide.
using System.Linq;

namespace Morvax.Velto.Lists;

internal static class ListTemplates
{
    private const double IndentStep = 36, LabelWidth = 18;

    private static readonly string[] MixedBullets = { "\u2022", "\u25E6", "\u25AA" };

    // The numbering of plain, outline and heading lists: styles and label
    // patterns repeat downwards when fewer than nine are given; {0} is the
    // level's own placeholder and {1} the placeholders of it and every level above.
    private static readonly NumberStyle[] ArabicLetterRoman =
        { NumberStyle.Arabic, NumberStyle.LowercaseLetter, NumberStyle.LowercaseRoman };

    private static readonly (ListTemplate Template, NumberStyle[] Styles, string[] Labels)[] Numbered =
    {
        (ListTemplate.NumberDefault, ArabicLetterRoman, new[] { "{0}." }),
        (ListTemplate.NumberArabicDot, ArabicLetterRoman, new[] { "{0}." }),
        (ListTemplate.NumberArabicParenthesis, ArabicLetterRoman, new[] { "{0})" }),
        (ListTemplate.NumberUppercaseRomanDot, new[] { NumberStyle.UppercaseRoman, NumberStyle.UppercaseLetter, NumberStyle.Arabic }, new[] { "{0}." }),
        (ListTemplate.NumberUppercaseLetterDot, new[] { NumberStyle.UppercaseLetter, NumberStyle.Arabic, NumberStyle.LowercaseLetter }, new[] { "{0}." }),
        (ListTemplate.NumberLowercaseLetterParenthesis, new[] { NumberStyle.LowercaseLetter, NumberStyle.LowercaseRoman, NumberStyle.Arabic }, new[] { "{0})" }),
        (ListTemplate.NumberLowercaseLetterDot, new[] { NumberStyle.LowercaseLetter, NumberStyle.LowercaseRoman, NumberStyle.Arabic }, new[] { "{0}." }),
        (ListTemplate.NumberLowercaseRomanDot, new[] { NumberStyle.LowercaseRoman, NumberStyle.Arabic, NumberStyle.LowercaseLetter }, new[] { "{0}." }),
        (ListTemplate.OutlineNumbers, ArabicLetterRoman, new[] { "{0})", "{0})", "{0})", "({0})", "({0})", "({0})", "{0}.", "{0}.", "{0}." }),
        (ListTemplate.OutlineLegal, new[] { NumberStyle.Arabic }, new[] { "{1}." }),
        (ListTemplate.OutlineHeadingsArticleSection, new[] { NumberStyle.UppercaseRoman, NumberStyle.Arabic, NumberStyle.LowercaseLetter, NumberStyle.LowercaseRoman },
            new[] { "Article {0}.", "Section {1}", "({0})", "({0})", "{0})", "{0})", "{0}.", "{0}.", "{0}." }),
        (ListTemplate.OutlineHeadingsLegal, new[] { NumberStyle.Arabic }, new[] { "{1}" }),
        (ListTemplate.OutlineHeadingsNumbers, new[] { NumberStyle.UppercaseRoman, NumberStyle.UppercaseLetter, NumberStyle.Arabic,
                NumberStyle.LowercaseLetter, NumberStyle.Arabic, NumberStyle.LowercaseLetter, NumberStyle.LowercaseRoman,
                NumberStyle.LowercaseLetter, NumberStyle.LowercaseRoman },
            new[] { "{0}.", "{0}.", "{0}.", "{0})", "({0})", "({0})", "({0})", "({0})", "({0})" }),
        (ListTemplate.OutlineHeadingsChapter, new[] { NumberStyle.Arabic }, new[] { "Chapter {0}", "{1}" }),
    };

    private static readonly (ListTemplate Template, string[] Bullets)[] Bulleted =
    {
        (ListTemplate.BulletDefault, MixedBullets),
        (ListTemplate.BulletDisk, new[] { "\u2022" }),
        (ListTemplate.BulletCircle, new[] { "\u25E6" }),
        (ListTemplate.BulletSquare, new[] { "\u25AA" }),
        (ListTemplate.BulletDiamonds, new[] { "\u25C6" }),
        (ListTemplate.BulletArrowHead, new[] { "\u27A2" }),
        (ListTemplate.BulletTick, new[] { "\u2713" }),
        (ListTemplate.OutlineBullets, MixedBullets),
    };

    public static bool IsOutline(ListTemplate template) => template >= ListTemplate.OutlineNumbers;

    public static ListLevelCollection Levels(ListTemplate template)
    {
        var levels = new ListLevelCollection();
        for (int i = 0; i <= ListFormat.MaxLevel; i++)
        {
            var level = new ListLevel { TextPosition = IndentStep * (i + 1), NumberPosition = IndentStep * (i + 1) - LabelWidth };
            if (Bulleted.FirstOrDefault(b => b.Template == template).Bullets is { } bullets)
            {
                level.NumberStyle = NumberStyle.Bullet;
                level.NumberFormat = bullets[i % bullets.Length];
            }
            else
            {
                var (_, styles, labels) = Numbered.First(n => n.Template == template);
                level.NumberStyle = styles[i % styles.Length];
                string own = Placeholder(i), upToHere = string.Concat(Enumerable.Range(0, i + 1).Select(k => Placeholder(k) + "."));
                level.NumberFormat = string.Format(System.Globalization.CultureInfo.InvariantCulture,
                    labels[System.Math.Min(i, labels.Length - 1)], own, upToHere.TrimEnd('.'));
                level.IsLegal = template is ListTemplate.OutlineLegal or ListTemplate.OutlineHeadingsLegal;
            }
            levels.Add(level);
        }
        return levels;
    }

    private static string Placeholder(int level) => "%" + (level + 1).ToString(System.Globalization.CultureInfo.InvariantCulture);
}
