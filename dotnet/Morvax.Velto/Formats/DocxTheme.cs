// DocxTheme: the theme part's name and font scheme (the Latin, East Asian
// and complex-script typefaces of headings and body text) read into
// Document.Theme, and the typefaces written back only when they changed.
// The colour scheme is not modelled and stays as the part has it.
using System;
using System.Linq;
using DocumentFormat.OpenXml.Packaging;
using Morvax.Velto.Themes;
using A = DocumentFormat.OpenXml.Drawing;

namespace Morvax.Velto.Formats;

internal static class DocxTheme
{
    public static string[] Snapshot(Theme theme) =>
        new[] { theme.MajorFonts, theme.MinorFonts }.SelectMany(f => new[] { f.Latin, f.EastAsian, f.ComplexScript }).ToArray();

    public static void Read(Document doc, MainDocumentPart main)
    {
        if (main.ThemePart?.Theme is not { } theme)
            return;
        doc.Theme.Name = theme.Name?.Value;
        if (theme.ThemeElements?.FontScheme is { } scheme)
        {
            ReadFonts(doc.Theme.MajorFonts, scheme.MajorFont);
            ReadFonts(doc.Theme.MinorFonts, scheme.MinorFont);
        }
        doc.ThemeAsRead = Snapshot(doc.Theme);
    }

    public static void Copy(Document from, Document to)
    {
        to.Theme.Name = from.Theme.Name;
        CopyFonts(from.Theme.MajorFonts, to.Theme.MajorFonts);
        CopyFonts(from.Theme.MinorFonts, to.Theme.MinorFonts);
        to.ThemeAsRead = from.ThemeAsRead;
    }

    public static void Write(Document doc, MainDocumentPart main)
    {
        if (Snapshot(doc.Theme).SequenceEqual(doc.ThemeAsRead))
            return;
        A.FontScheme scheme = main.ThemePart?.Theme?.ThemeElements?.FontScheme
            ?? throw new NotSupportedException("Document.Theme's fonts cannot be saved: the document has no theme part with a font scheme, and this library does not make one.");
        WriteFonts(doc.Theme.MajorFonts, scheme.MajorFont ??= new A.MajorFont());
        WriteFonts(doc.Theme.MinorFonts, scheme.MinorFont ??= new A.MinorFont());
    }

    private static void ReadFonts(ThemeFonts fonts, DocumentFormat.OpenXml.OpenXmlCompositeElement? collection)
    {
        fonts.Latin = collection?.GetFirstChild<A.LatinFont>()?.Typeface?.Value ?? string.Empty;
        fonts.EastAsian = collection?.GetFirstChild<A.EastAsianFont>()?.Typeface?.Value ?? string.Empty;
        fonts.ComplexScript = collection?.GetFirstChild<A.ComplexScriptFont>()?.Typeface?.Value ?? string.Empty;
    }

    // The three script fonts are required children of the collection, so a
    // missing one is added where the schema puts it.
    private static void WriteFonts(ThemeFonts fonts, DocumentFormat.OpenXml.OpenXmlCompositeElement collection)
    {
        (collection.GetFirstChild<A.LatinFont>() ?? DocxWriter.AddInOrder(collection, new A.LatinFont())).Typeface = fonts.Latin;
        (collection.GetFirstChild<A.EastAsianFont>() ?? DocxWriter.AddInOrder(collection, new A.EastAsianFont())).Typeface = fonts.EastAsian;
        (collection.GetFirstChild<A.ComplexScriptFont>() ?? DocxWriter.AddInOrder(collection, new A.ComplexScriptFont())).Typeface = fonts.ComplexScript;
    }

    private static void CopyFonts(ThemeFonts from, ThemeFonts to)
    {
        to.Latin = from.Latin;
        to.EastAsian = from.EastAsian;
        to.ComplexScript = from.ComplexScript;
    }
}
