// DocxFontTable: the fonts a package's font table names, read into the
// document's font infos. The table is only read: the package keeps its part,
// so saving writes it back as it was.
using System.Globalization;
using Morvax.Velto.Fonts;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static class DocxFontTable
{
    private static readonly (FontFamily Value, string Name)[] Families =
    {
        (FontFamily.Auto, "auto"), (FontFamily.Roman, "roman"), (FontFamily.Swiss, "swiss"),
        (FontFamily.Modern, "modern"), (FontFamily.Script, "script"), (FontFamily.Decorative, "decorative"),
    };

    private static readonly (FontPitch Value, string Name)[] Pitches =
    {
        (FontPitch.Default, "default"), (FontPitch.Fixed, "fixed"), (FontPitch.Variable, "variable"),
    };

    public static void Read(Document doc, W.Fonts? table)
    {
        doc.FontInfos.Clear();
        if (table is null)
            return;
        foreach (W.Font font in table.Elements<W.Font>())
        {
            // A font is found by its name, so a nameless entry cannot be used and a repeated name adds nothing.
            string? name = font.Name?.Value;
            if (string.IsNullOrEmpty(name) || doc.FontInfos.Contains(name))
                continue;
            doc.FontInfos.Add(new FontInfo
            {
                Name = name,
                AltName = WordMl.Val(font.AltName) is { Length: > 0 } alt ? alt : null,
                Charset = int.TryParse(WordMl.Val(font.FontCharSet), NumberStyles.AllowHexSpecifier,
                    CultureInfo.InvariantCulture, out int charset) && charset <= byte.MaxValue ? charset : 0,
                Family = WordMl.ValueOf(Families, WordMl.Val(font.FontFamily)) ?? FontFamily.Auto,
                Pitch = WordMl.ValueOf(Pitches, WordMl.Val(font.Pitch)) ?? FontPitch.Default,
                IsTrueType = font.NotTrueType is not { } notTrueType || WordMl.Val(notTrueType) is "0" or "false" or "off",
            });
        }
    }
}
