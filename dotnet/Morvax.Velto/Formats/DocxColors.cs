// DocxColors: colours in WordprocessingML and DrawingML. A run's text colour
// (w:color, six hex digits or "auto", which is the empty colour) and highlight
// (w:highlight, one of sixteen named colours or "none"), and the stops of a
// shape's gradient fill (a:gradFill/a:gsLst).
using System;
using System.Drawing;
using System.Globalization;
using System.Linq;
using DocumentFormat.OpenXml;
using DocumentFormat.OpenXml.Packaging;
using Morvax.Velto.Drawing;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static class DocxColors
{
    private const string DrawingNs = "http://schemas.openxmlformats.org/drawingml/2006/main";
    // DrawingML gives positions and alpha in thousandths of a percent.
    private const double FullScale = 100000;

    // The highlight colours a run can have, with the colours they show.
    private static readonly (string Name, int Rgb)[] Highlights =
    {
        ("black", 0x000000), ("blue", 0x0000FF), ("cyan", 0x00FFFF), ("green", 0x00FF00),
        ("magenta", 0xFF00FF), ("red", 0xFF0000), ("yellow", 0xFFFF00), ("white", 0xFFFFFF),
        ("darkBlue", 0x000080), ("darkCyan", 0x008080), ("darkGreen", 0x008000), ("darkMagenta", 0x800080),
        ("darkRed", 0x800000), ("darkYellow", 0x808000), ("darkGray", 0x808080), ("lightGray", 0xC0C0C0),
    };

    /// <summary>A run's text colour ("color") or highlight ("highlight") from the property's value.</summary>
    internal static void ReadRunProperty(Font font, string property, string? value)
    {
        if (property == "color")
            font.Color = Parse(value);
        else
            font.HighlightColor = Highlights.FirstOrDefault(h => h.Name == value) is { Name: not null } named
                ? Opaque(named.Rgb) : Color.Empty;
    }

    /// <summary>The run's text colour: six hex digits, "auto" for the empty colour (alpha has no place here).</summary>
    internal static W.Color TextColor(Color color) => new() { Val = Hex(color) };

    /// <summary>The run's highlight: the named highlight colour nearest to the colour, "none" for the empty one.</summary>
    internal static W.Highlight Highlight(Color color)
    {
        string name = color.IsEmpty ? "none" : Highlights.MinBy(h => Distance(h.Rgb, color)).Name;
        return new W.Highlight { Val = new W.HighlightColorValues(name) };
    }

    /// <summary>"auto" or six hex digits; anything else is no colour.</summary>
    internal static Color Parse(string? value) =>
        value is { Length: 6 } && int.TryParse(value, NumberStyles.AllowHexSpecifier, CultureInfo.InvariantCulture, out int rgb)
            ? Opaque(rgb)
            : Color.Empty;

    internal static string Hex(Color color) =>
        color.IsEmpty ? "auto" : (color.ToArgb() & 0xFFFFFF).ToString("X6", CultureInfo.InvariantCulture);

    /// <summary>
    /// The gradient of the drawing's shape fill (the a:gradFill of its shape properties, not of
    /// a line), or null when the shape has none. Theme colours come from the theme of the package
    /// that storyPart belongs to.
    /// </summary>
    internal static GradientStopCollection? ReadGradient(OpenXmlElement drawing, OpenXmlPart? storyPart)
    {
        OpenXmlElement? fill = drawing.Descendants().Where(e => e.LocalName == "spPr")
            .Select(p => p.ChildElements.FirstOrDefault(c => c.LocalName == "gradFill" && c.NamespaceUri == DrawingNs))
            .FirstOrDefault(f => f is not null);
        OpenXmlElement? list = fill?.ChildElements.FirstOrDefault(e => e.LocalName == "gsLst");
        if (list is null)
            return null;
        var stops = list.ChildElements.Where(e => e.LocalName == "gs").Select(stop => ReadStop(stop, storyPart)).ToList();
        return new GradientStopCollection(isRead: true, stops);
    }

    // The stop's transparency is what its colour's alpha leaves; a colour that cannot be resolved is empty.
    private static GradientStop ReadStop(OpenXmlElement stop, OpenXmlPart? storyPart)
    {
        double position = Fraction(WordMl.PlainAttribute(stop, "pos"), 0);
        (Color color, double opacity) = stop.FirstChild is { } colorElement
            ? DocxDrawingColors.Resolve(colorElement, storyPart) : (Color.Empty, 1);
        return new GradientStop(color, position, color.IsEmpty ? 0 : 1 - opacity);
    }

    // A DrawingML percentage as a fraction within 0..1; the fallback when absent or unreadable.
    private static double Fraction(string? value, double fallback) =>
        int.TryParse(value, NumberStyles.AllowLeadingSign, CultureInfo.InvariantCulture, out int scaled)
            ? System.Math.Clamp(scaled / FullScale, 0, 1)
            : fallback;

    private static Color Opaque(int rgb) => Color.FromArgb(unchecked((int)0xFF000000) | rgb);

    private static int Distance(int rgb, Color color)
    {
        int dr = ((rgb >> 16) & 0xFF) - color.R, dg = ((rgb >> 8) & 0xFF) - color.G, db = (rgb & 0xFF) - color.B;
        return dr * dr + dg * dg + db * db;
    }
}
