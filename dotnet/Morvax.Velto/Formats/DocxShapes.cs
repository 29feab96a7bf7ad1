// DocxShapes: pictures (DrawingML drawings) as Shape nodes.  A run that holds
// one drawing and nothing else but its properties becomes an image shape with
// the drawing's size and wrapping (the chart it shows, its geometry's
// adjustments, its gradient fill's stops, whether it shows an image part); the run
// itself is kept as its origin, and writing changes only the size when the
// caller changed it.
using System;
using System.Globalization;
using System.Linq;
using DocumentFormat.OpenXml;
using DocumentFormat.OpenXml.Packaging;
using Morvax.Velto.Drawing;
using Dw = DocumentFormat.OpenXml.Drawing.Wordprocessing;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static class DocxShapes
{
    // DrawingML measures in English metric units.
    private const double EmuPerPoint = 12700;

    private static readonly (string Element, WrapType Wrap)[] Wraps =
    {
        ("wrapNone", WrapType.None), ("wrapSquare", WrapType.Square), ("wrapTight", WrapType.Tight),
        ("wrapThrough", WrapType.Through), ("wrapTopAndBottom", WrapType.TopBottom),
    };

    public static Shape? Read(Document doc, W.Run run, OpenXmlPart? storyPart)
    {
        OpenXmlElement[] content = run.ChildElements.Where(e => e is not W.RunProperties).ToArray();
        if (content is not [W.Drawing drawing])
            return null;
        OpenXmlElement? placement = (OpenXmlElement?)drawing.Inline ?? drawing.GetFirstChild<Dw.Anchor>();
        if (placement?.GetFirstChild<Dw.Extent>() is not { } extent)
            return null;
        var shape = new Shape(doc, ShapeType.Image)
        {
            Width = Size(extent.Cx?.InnerText),
            Height = Size(extent.Cy?.InnerText),
        };
        if (placement is Dw.Anchor)
            shape.WrapType = Wraps.FirstOrDefault(w => placement.ChildElements.Any(c => c.LocalName == w.Element)).Wrap
                is var wrap && wrap != WrapType.Inline ? wrap : WrapType.None;
        shape.Origin = new ShapeOrigin(run, shape.Width, shape.Height);
        shape.HasImage = drawing.Descendants().Any(e => e.LocalName == "blip"
            && e.GetAttributes().Any(a => a.NamespaceUri == WordMl.R && a.LocalName == "embed"));
        shape.Chart = DocxCharts.Read(drawing, storyPart);
        shape.Adjustments = DocxAdjustments.Read(drawing);
        if (DocxColors.ReadGradient(drawing, storyPart) is { } stops)
            shape.Fill = new Fill { FillType = FillType.Gradient, GradientStops = stops };
        return shape;
    }

    // The picture's run, resized when the shape was.
    public static OpenXmlElement? Write(ShapeBase shape)
    {
        if (shape.Origin is not ShapeOrigin origin)
            return null;
        var run = (W.Run)((OpenXmlElement)origin.Element).CloneNode(true);
        if (shape.Width == origin.Width && shape.Height == origin.Height)
            return run;
        string cx = Emu(shape.Width), cy = Emu(shape.Height);
        // The placement's extent and the picture's own transform carry the size.
        foreach (OpenXmlElement extent in run.Descendants().Where(e => e.LocalName == "extent" || (e.LocalName == "ext"
                     && e.Parent?.LocalName == "xfrm")))
        {
            extent.SetAttribute(new OpenXmlAttribute("", "cx", "", cx));
            extent.SetAttribute(new OpenXmlAttribute("", "cy", "", cy));
        }
        return run;
    }

    private static double Size(string? emu) =>
        long.TryParse(emu, NumberStyles.None, CultureInfo.InvariantCulture, out long value)
            ? System.Math.Clamp(value / EmuPerPoint, 0, ParagraphFormat.MaxIndent)
            : 0;

    private static string Emu(double points) =>
        ((long)System.Math.Round(points * EmuPerPoint)).ToString(CultureInfo.InvariantCulture);
}
