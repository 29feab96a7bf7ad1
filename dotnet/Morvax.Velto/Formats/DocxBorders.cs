// DocxBorders: borders and shading in WordprocessingML, for paragraphs
// (w:pBdr, w:shd), runs (w:bdr, w:shd) and cells (w:tcBorders, w:shd).
// Reading goes through a per-element attribute reader, so the SDK's tree and
// the streaming reader share it.  Writing starts from the element as read
// and replaces only the sides whose look changed, so attributes the tree does
// not model (theme colours, art borders, frames) stay on the sides the caller
// left alone.
using System;
using System.Collections.Generic;
using System.Globalization;
using System.Linq;
using DocumentFormat.OpenXml;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static class DocxBorders
{
    // Widths are in eighths of a point, distances in points.
    private const double EighthsPerPoint = 8;

    // The sides of a collection, in BorderCollection's order, with the element each is written as in a paragraph's
    // and in a cell's borders; the other names read as the same side.  A paragraph has no inside vertical line.
    private static readonly (string Paragraph, string Cell, string[] Also)[] Sides =
    {
        ("left", "left", new[] { "start" }), ("right", "right", new[] { "end" }), ("top", "top", Array.Empty<string>()),
        ("bottom", "bottom", Array.Empty<string>()), ("between", "insideH", Array.Empty<string>()),
        ("", "insideV", Array.Empty<string>()),
    };

    /// <summary>The side of a border collection that a child of w:pBdr or w:tcBorders sets, or -1.</summary>
    private static int SideOf(string localName) =>
        Array.FindIndex(Sides, side => side.Paragraph == localName || side.Cell == localName || side.Also.Contains(localName));

    /// <summary>One child of a borders element, by local name; attribute reads that child's attributes.</summary>
    public static void ReadSide(BorderCollection borders, string localName, Func<string, string?> attribute)
    {
        if (SideOf(localName) is var side and >= 0)
            ReadBorder(borders[side], attribute);
    }

    /// <summary>Every side a borders element (w:pBdr, w:tcBorders) of the SDK's tree sets.</summary>
    public static void Read(BorderCollection borders, OpenXmlElement element)
    {
        foreach (OpenXmlElement side in element.ChildElements)
        {
            if (side.NamespaceUri == WordMl.W)
                ReadSide(borders, side.LocalName, name => WordMl.Attribute(side, name));
        }
    }

    /// <summary>A border element's look: style, width, distance, shadow and colour.</summary>
    public static void ReadBorder(Border border, Func<string, string?> attribute)
    {
        // An art border or an unknown style reads as no line; the element stays as read until changed.
        border.LineStyle = WordMl.ValueOf(WordMl.LineStyles, attribute("val")) ?? LineStyle.None;
        if (DocxReader.Number(attribute("sz")) is { } eighths)
            border.LineWidth = System.Math.Clamp(eighths / EighthsPerPoint, Velto.Border.MinLineWidth, Velto.Border.MaxLineWidth);
        if (DocxReader.Number(attribute("space")) is { } space)
            border.DistanceFromText = System.Math.Clamp(space, 0, Velto.Border.MaxDistance);
        border.Shadow = attribute("shadow") is { } shadow && DocxReader.OnOff(shadow);
        border.Color = DocxColors.Parse(attribute("color"));
    }

    /// <summary>A w:shd element's texture and colours.</summary>
    public static void ReadShading(Shading shading, Func<string, string?> attribute)
    {
        shading.Texture = WordMl.ValueOf(WordMl.Textures, attribute("val")) ?? TextureIndex.TextureNone;
        shading.ForegroundPatternColor = DocxColors.Parse(attribute("color"));
        shading.BackgroundPatternColor = DocxColors.Parse(attribute("fill"));
    }

    /// <summary>
    /// The borders element to write for a paragraph (cell false) or cell: the one read, with each side whose look
    /// differs from what it reads as written anew; null when no side is left.
    /// </summary>
    public static T? Borders<T>(T? read, BorderCollection borders, bool cell) where T : OpenXmlCompositeElement, new()
    {
        var element = (T?)read?.CloneNode(true) ?? new T();
        for (int i = 0; i < Sides.Length; i++)
        {
            string name = cell ? Sides[i].Cell : Sides[i].Paragraph;
            if (name.Length == 0)
                continue;
            OpenXmlElement[] present = element.ChildElements
                .Where(e => e.NamespaceUri == WordMl.W && SideOf(e.LocalName) == i).ToArray();
            var asRead = new Border();
            if (present.FirstOrDefault() is { } first)
                ReadBorder(asRead, attribute => WordMl.Attribute(first, attribute));
            if (asRead.Values == borders[i].Values)
                continue;
            foreach (OpenXmlElement old in present)
                old.Remove();
            DocxWriter.AddInOrder(element, BorderElement(SideElement(name), borders[i]));
        }
        return element.HasChildren ? element : null;
    }

    /// <summary>A border element of the kind given, with the border's look.</summary>
    public static T BorderElement<T>(T element, Border border) where T : OpenXmlElement
    {
        Set(element, "val", WordMl.NameOf(WordMl.LineStyles, border.LineStyle));
        Set(element, "sz", System.Math.Round(border.LineWidth * EighthsPerPoint).ToString(CultureInfo.InvariantCulture));
        Set(element, "space", System.Math.Round(border.DistanceFromText).ToString(CultureInfo.InvariantCulture));
        Set(element, "color", DocxColors.Hex(border.Color));
        if (border.Shadow)
            Set(element, "shadow", "1");
        return element;
    }

    /// <summary>The w:shd element for the shading.</summary>
    public static W.Shading Shading(Shading shading)
    {
        var element = new W.Shading();
        Set(element, "val", WordMl.NameOf(WordMl.Textures, shading.Texture));
        Set(element, "color", DocxColors.Hex(shading.ForegroundPatternColor));
        Set(element, "fill", DocxColors.Hex(shading.BackgroundPatternColor));
        return element;
    }

    // The SDK's typed element for a side, so that it goes where the schema puts it.
    private static OpenXmlElement SideElement(string name) => name switch
    {
        "left" => new W.LeftBorder(),
        "right" => new W.RightBorder(),
        "top" => new W.TopBorder(),
        "bottom" => new W.BottomBorder(),
        "between" => new W.BetweenBorder(),
        "insideH" => new W.InsideHorizontalBorder(),
        _ => new W.InsideVerticalBorder(),
    };

    private static void Set(OpenXmlElement element, string name, string value) =>
        element.SetAttribute(new OpenXmlAttribute("w", name, WordMl.W, value));
}
