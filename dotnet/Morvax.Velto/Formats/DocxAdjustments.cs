// DocxAdjustments: the adjustment values of a drawing's preset geometry
// (a:prstGeom/a:avLst/a:gd, each named and given as "val N").  Guides given
// by another formula are not values and are passed over.
using System.Collections.Generic;
using System.Globalization;
using System.Linq;
using DocumentFormat.OpenXml;
using Morvax.Velto.Drawing;

namespace Morvax.Velto.Formats;

internal static class DocxAdjustments
{
    private const string DrawingNs = "http://schemas.openxmlformats.org/drawingml/2006/main";

    /// <summary>The adjustments of the drawing's first preset geometry (none without one).</summary>
    internal static AdjustmentCollection Read(OpenXmlElement drawing)
    {
        var found = new List<Adjustment>();
        OpenXmlElement? geometry = drawing.Descendants().FirstOrDefault(e => e.LocalName == "prstGeom" && e.NamespaceUri == DrawingNs);
        OpenXmlElement? list = geometry?.ChildElements.FirstOrDefault(e => e.LocalName == "avLst");
        foreach (OpenXmlElement guide in list?.ChildElements.Where(e => e.LocalName == "gd") ?? Enumerable.Empty<OpenXmlElement>())
        {
            string? name = WordMl.PlainAttribute(guide, "name"), formula = WordMl.PlainAttribute(guide, "fmla");
            string[] parts = formula?.Split(' ', System.StringSplitOptions.RemoveEmptyEntries) ?? System.Array.Empty<string>();
            if (name is not null && parts is ["val", var number]
                && int.TryParse(number, NumberStyles.AllowLeadingSign, CultureInfo.InvariantCulture, out int value))
                found.Add(new Adjustment(name, value));
        }
        return new AdjustmentCollection(found);
    }
}
