// DocxDrawingColors: a DrawingML colour element resolved to the colour it
// shows.  DrawingML names a colour in six ways (hex RGB, linear RGB
// percentages, HSL, a system colour, one of the preset names, or a slot of
// the document's theme) and then adjusts it with modifier children (alpha,
// luminance, tint, shade, ...), applied in the order they are written.  A
// colour that cannot be resolved (a placeholder, a theme slot of a document
// without a theme) is the empty colour.
using System;
using System.Collections.Generic;
using System.Drawing;
using System.Globalization;
using System.Linq;
using System.Runtime.CompilerServices;
using DocumentFormat.OpenXml;
using DocumentFormat.OpenXml.Packaging;

namespace Morvax.Velto.Formats;

internal static class DocxDrawingColors
{
    // DrawingML gives percentages in thousandths of a percent and angles in
    // 60,000ths of a degree.
    private const double FullScale = 100000;
    private const double DegreeScale = 60000;

    // A document's theme colours, by slot ("dk1", "accent1", ...), read once per package.
    private static readonly ConditionalWeakTable<OpenXmlPackage, Dictionary<string, Color>> Themes = new();

    // The names a colour may use for a theme slot, mapped to the slot the
    // document's colour-scheme mapping gives when it has none of its own.
    private static readonly Dictionary<string, string> DefaultSlots = new()
    {
        ["tx1"] = "dk1", ["bg1"] = "lt1", ["tx2"] = "dk2", ["bg2"] = "lt2",
    };

    // The settings' colour-scheme mapping spells slots out in full.
    private static readonly Dictionary<string, string> MappedSlotNames = new()
    {
        ["dark1"] = "dk1", ["light1"] = "lt1", ["dark2"] = "dk2", ["light2"] = "lt2",
        ["accent1"] = "accent1", ["accent2"] = "accent2", ["accent3"] = "accent3", ["accent4"] = "accent4",
        ["accent5"] = "accent5", ["accent6"] = "accent6", ["hyperlink"] = "hlink", ["followedHyperlink"] = "folHlink",
    };

    // A colour being worked on: non-linear sRGB channels and alpha, each 0..1.
    private record struct Working(double R, double G, double B, double A);

    // One row per modifier element: how it changes the colour, given its value as a fraction (or degrees).
    private static readonly Dictionary<string, Func<Working, double, Working>> Modifiers = new()
    {
        ["alpha"] = (c, v) => c with { A = Unit(v) },
        ["alphaMod"] = (c, v) => c with { A = Unit(c.A * v) },
        ["alphaOff"] = (c, v) => c with { A = Unit(c.A + v) },
        ["hue"] = (c, v) => Hsl(c, (h, s, l) => (v, s, l)),
        ["hueMod"] = (c, v) => Hsl(c, (h, s, l) => (h * v, s, l)),
        ["hueOff"] = (c, v) => Hsl(c, (h, s, l) => (h + v, s, l)),
        ["sat"] = (c, v) => Hsl(c, (h, s, l) => (h, v, l)),
        ["satMod"] = (c, v) => Hsl(c, (h, s, l) => (h, s * v, l)),
        ["satOff"] = (c, v) => Hsl(c, (h, s, l) => (h, s + v, l)),
        ["lum"] = (c, v) => Hsl(c, (h, s, l) => (h, s, v)),
        ["lumMod"] = (c, v) => Hsl(c, (h, s, l) => (h, s, l * v)),
        ["lumOff"] = (c, v) => Hsl(c, (h, s, l) => (h, s, l + v)),
        ["comp"] = (c, _) => Hsl(c, (h, s, l) => (h + 180, s, l)),
        ["inv"] = (c, _) => c with { R = 1 - c.R, G = 1 - c.G, B = 1 - c.B },
        ["gray"] = (c, _) => Gray(c),
        // Tint and shade, and the channel modifiers, work on linear light.
        ["tint"] = (c, v) => Linear(c, x => x * v + (1 - v)),
        ["shade"] = (c, v) => Linear(c, x => x * v),
        ["gamma"] = (c, _) => c with { R = Decode(c.R), G = Decode(c.G), B = Decode(c.B) },
        ["invGamma"] = (c, _) => c with { R = Encode(c.R), G = Encode(c.G), B = Encode(c.B) },
        ["red"] = (c, v) => c with { R = Encode(Unit(v)) },
        ["redMod"] = (c, v) => c with { R = Encode(Unit(Decode(c.R) * v)) },
        ["redOff"] = (c, v) => c with { R = Encode(Unit(Decode(c.R) + v)) },
        ["green"] = (c, v) => c with { G = Encode(Unit(v)) },
        ["greenMod"] = (c, v) => c with { G = Encode(Unit(Decode(c.G) * v)) },
        ["greenOff"] = (c, v) => c with { G = Encode(Unit(Decode(c.G) + v)) },
        ["blue"] = (c, v) => c with { B = Encode(Unit(v)) },
        ["blueMod"] = (c, v) => c with { B = Encode(Unit(Decode(c.B) * v)) },
        ["blueOff"] = (c, v) => c with { B = Encode(Unit(Decode(c.B) + v)) },
    };

    /// <summary>
    /// The colour a DrawingML colour element shows, its modifiers applied; theme slots are looked up in the
    /// theme of the package that storyPart belongs to, with its opacity unrounded (0..1). The empty
    /// colour when it cannot be resolved.
    /// </summary>
    internal static (Color Color, double Opacity) Resolve(OpenXmlElement element, OpenXmlPart? storyPart)
    {
        Color? baseColor = BaseColor(element, storyPart);
        if (baseColor is not { } color)
            return (Color.Empty, 0);
        var working = new Working(color.R / 255.0, color.G / 255.0, color.B / 255.0, color.A / 255.0);
        foreach (OpenXmlElement modifier in element.ChildElements)
        {
            if (Modifiers.TryGetValue(modifier.LocalName, out var apply))
                working = apply(working, ValueOf(modifier));
        }
        return (Color.FromArgb(Byte(working.A), Byte(working.R), Byte(working.G), Byte(working.B)), working.A);
    }

    private static Color? BaseColor(OpenXmlElement element, OpenXmlPart? storyPart)
    {
        string? Attribute(string name) => WordMl.PlainAttribute(element, name);
        switch (element.LocalName)
        {
            case "srgbClr":
                return Hex(Attribute("val"));
            case "sysClr":
                return Hex(Attribute("lastClr")) ?? Known(Attribute("val"), system: true);
            case "prstClr":
                return Known(PresetName(Attribute("val")), system: false);
            case "scrgbClr":
                return Color.FromArgb(Byte(Encode(Unit(Percent(Attribute("r"))))),
                    Byte(Encode(Unit(Percent(Attribute("g"))))), Byte(Encode(Unit(Percent(Attribute("b"))))));
            case "hslClr":
                Working hsl = FromHsl(Percent(Attribute("hue")) * FullScale / DegreeScale,
                    Unit(Percent(Attribute("sat"))), Unit(Percent(Attribute("lum"))), 1);
                return Color.FromArgb(Byte(hsl.R), Byte(hsl.G), Byte(hsl.B));
            case "schemeClr":
                return storyPart is null || Attribute("val") is not { } slot ? null : ThemeColor(storyPart, slot);
            default:
                return null;
        }
    }

    private static Color? ThemeColor(OpenXmlPart storyPart, string slot)
    {
        Dictionary<string, Color> theme = Themes.GetValue(storyPart.OpenXmlPackage, ReadTheme);
        return theme.TryGetValue(slot, out Color color) ? color : null;
    }

    // The theme's colour scheme, with the names that map onto its slots
    // (tx1, bg1, ...) added as the settings' mapping says.
    private static Dictionary<string, Color> ReadTheme(OpenXmlPackage package)
    {
        var colors = new Dictionary<string, Color>();
        MainDocumentPart? main = (package as WordprocessingDocument)?.MainDocumentPart;
        OpenXmlElement? scheme = main?.ThemePart?.RootElement?.Descendants()
            .FirstOrDefault(e => e.LocalName == "clrScheme");
        if (scheme is null)
            return colors;
        foreach (OpenXmlElement slot in scheme.ChildElements)
        {
            // A slot holds one colour, without theme references of its own.
            if (slot.FirstChild is { } value && Resolve(value, storyPart: null).Color is { IsEmpty: false } color)
                colors[slot.LocalName] = color;
        }
        OpenXmlElement? mapping = main!.DocumentSettingsPart?.RootElement?.ChildElements
            .FirstOrDefault(e => e.LocalName == "clrSchemeMapping");
        foreach ((string name, string defaultSlot) in DefaultSlots)
        {
            string? mapped = mapping is null ? null : WordMl.Attribute(mapping, MappingAttribute(name));
            string target = mapped is not null && MappedSlotNames.TryGetValue(mapped, out string? slot) ? slot : defaultSlot;
            if (colors.TryGetValue(target, out Color color))
                colors[name] = color;
        }
        return colors;
    }

    // The settings' mapping names tx1 "t1" and tx2 "t2".
    private static string MappingAttribute(string name) => name.StartsWith("tx", StringComparison.Ordinal) ? "t" + name[2..] : name;

    // DrawingML's preset names abbreviate Dark, Light and Medium and also spell grey with an e.
    private static string? PresetName(string? name)
    {
        if (string.IsNullOrEmpty(name))
            return null;
        foreach ((string prefix, string full) in new[] { ("dk", "Dark"), ("lt", "Light"), ("med", "Medium") })
        {
            if (name.StartsWith(prefix, StringComparison.Ordinal) && name.Length > prefix.Length && char.IsUpper(name[prefix.Length]))
            {
                name = full + name[prefix.Length..];
                break;
            }
        }
        return name.Replace("Grey", "Gray", StringComparison.Ordinal).Replace("grey", "gray", StringComparison.Ordinal);
    }

    private static Color? Known(string? name, bool system)
    {
        if (string.IsNullOrEmpty(name))
            return null;
        Color color = Color.FromName(char.ToUpperInvariant(name[0]) + name[1..]);
        return color.IsKnownColor && color.IsSystemColor == system ? Color.FromArgb(color.ToArgb()) : null;
    }

    private static Color? Hex(string? value) => DocxColors.Parse(value) is { IsEmpty: false } color ? color : null;

    // A modifier's value: angles in degrees, everything else as a fraction.
    private static double ValueOf(OpenXmlElement modifier)
    {
        double value = Percent(WordMl.PlainAttribute(modifier, "val"));
        return modifier.LocalName is "hue" or "hueOff" ? value * FullScale / DegreeScale : value;
    }

    private static double Percent(string? value) =>
        int.TryParse(value, NumberStyles.AllowLeadingSign, CultureInfo.InvariantCulture, out int scaled) ? scaled / FullScale : 0;

    private static double Unit(double value) => System.Math.Clamp(value, 0, 1);

    private static int Byte(double unit) => (int)System.Math.Round(Unit(unit) * 255);

    // sRGB's transfer function, each way.
    private static double Decode(double x) => x <= 0.04045 ? x / 12.92 : System.Math.Pow((x + 0.055) / 1.055, 2.4);

    private static double Encode(double x) => x <= 0.0031308 ? x * 12.92 : 1.055 * System.Math.Pow(x, 1 / 2.4) - 0.055;

    private static Working Linear(Working c, Func<double, double> change) =>
        c with { R = Encode(Unit(change(Decode(c.R)))), G = Encode(Unit(change(Decode(c.G)))), B = Encode(Unit(change(Decode(c.B)))) };

    private static Working Gray(Working c)
    {
        double luma = 0.2126 * Decode(c.R) + 0.7152 * Decode(c.G) + 0.0722 * Decode(c.B);
        double gray = Encode(luma);
        return c with { R = gray, G = gray, B = gray };
    }

    // Hue in degrees, saturation and luminance as fractions.
    private static Working Hsl(Working c, Func<double, double, double, (double H, double S, double L)> change)
    {
        double max = System.Math.Max(c.R, System.Math.Max(c.G, c.B)), min = System.Math.Min(c.R, System.Math.Min(c.G, c.B));
        double l = (max + min) / 2, delta = max - min;
        double s = delta == 0 ? 0 : delta / (1 - System.Math.Abs(2 * l - 1));
        double h = delta == 0 ? 0
            : max == c.R ? 60 * (((c.G - c.B) / delta % 6 + 6) % 6)
            : max == c.G ? 60 * ((c.B - c.R) / delta + 2)
            : 60 * ((c.R - c.G) / delta + 4);
        (double nh, double ns, double nl) = change(h, s, l);
        return FromHsl(nh, Unit(ns), Unit(nl), c.A);
    }

    private static Working FromHsl(double hue, double s, double l, double alpha)
    {
        double h = ((hue % 360) + 360) % 360 / 60;
        double chroma = (1 - System.Math.Abs(2 * l - 1)) * s, x = chroma * (1 - System.Math.Abs(h % 2 - 1)), m = l - chroma / 2;
        (double r, double g, double b) = (int)h switch
        {
            0 => (chroma, x, 0.0), 1 => (x, chroma, 0.0), 2 => (0.0, chroma, x),
            3 => (0.0, x, chroma), 4 => (x, 0.0, chroma), _ => (chroma, 0.0, x),
        };
        return new Working(r + m, g + m, b + m, alpha);
    }
}
