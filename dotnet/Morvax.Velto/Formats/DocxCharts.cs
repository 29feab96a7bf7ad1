// DocxCharts: the chart a drawing shows (a c:chart reference to a chart part
// of the part the drawing is in), read into a Chart: its kind and its series
// with their names, categories and values as the part caches them.  The part
// is kept and saved unchanged, so the chart made here refuses changes.
using System;
using System.Collections.Generic;
using System.Globalization;
using System.Linq;
using DocumentFormat.OpenXml;
using DocumentFormat.OpenXml.Packaging;
using Morvax.Velto.Drawing.Charts;

namespace Morvax.Velto.Formats;

internal static class DocxCharts
{
    private const string ChartNs = "http://schemas.openxmlformats.org/drawingml/2006/chart";
    private const string RelationshipNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

    // The plot area's chart elements and the kind each names; bar charts say
    // in c:barDir whether they are columns, and grouping adds Stacked or
    // PercentStacked where the kind has such a form.
    private static readonly Dictionary<string, string> Kinds = new()
    {
        ["barChart"] = "Bar", ["bar3DChart"] = "Bar_3D", ["lineChart"] = "Line", ["line3DChart"] = "Line_3D",
        ["pieChart"] = "Pie", ["pie3DChart"] = "Pie_3D", ["doughnutChart"] = "Doughnut", ["ofPieChart"] = "PieOfPie",
        ["areaChart"] = "Area", ["area3DChart"] = "Area_3D", ["scatterChart"] = "Scatter", ["bubbleChart"] = "Bubble",
        ["radarChart"] = "Radar", ["stockChart"] = "Stock", ["surfaceChart"] = "Surface", ["surface3DChart"] = "Surface_3D",
    };

    /// <summary>
    /// The chart the drawing shows, or null when it shows none (or its part cannot be found).
    /// The chart part is looked up from the part whose tree holds the drawing; a drawing read
    /// on its own from the part's text belongs to no tree, and then storyPart is that part.
    /// </summary>
    internal static Chart? Read(OpenXmlElement drawing, OpenXmlPart? storyPart)
    {
        OpenXmlElement? reference = drawing.Descendants().FirstOrDefault(e => e.LocalName == "chart" && e.NamespaceUri == ChartNs);
        string? id = reference?.GetAttributes().FirstOrDefault(a => a.LocalName == "id" && a.NamespaceUri == RelationshipNs).Value;
        OpenXmlPart? owner = drawing.Ancestors<OpenXmlPartRootElement>().FirstOrDefault()?.OpenXmlPart ?? storyPart;
        if (id is null || owner is null || !owner.TryGetPartById(id, out OpenXmlPart? part) || part is not ChartPart chartPart)
            return null;
        OpenXmlElement? plotArea = chartPart.ChartSpace?.Descendants().FirstOrDefault(e => e.LocalName == "plotArea" && e.NamespaceUri == ChartNs);
        var chart = new Chart();
        bool first = true;
        foreach (OpenXmlElement group in plotArea?.ChildElements.Where(e => Kinds.ContainsKey(e.LocalName)) ?? Enumerable.Empty<OpenXmlElement>())
        {
            string kind = KindOf(group);
            if (first)
                chart.Type = Enum.TryParse(kind, out ChartType type) ? type : chart.Type;
            first = false;
            foreach (OpenXmlElement ser in Children(group, "ser"))
                chart.Series.AddRead(SeriesOf(ser, kind));
        }
        chart.Series.IsRead = true;
        return chart;
    }

    private static string KindOf(OpenXmlElement group)
    {
        string kind = Kinds[group.LocalName];
        if (Value(Children(group, "barDir").FirstOrDefault()) == "col")
            kind = kind.Replace("Bar", "Column", StringComparison.Ordinal);
        string? grouping = Value(Children(group, "grouping").FirstOrDefault());
        string suffix = grouping switch { "stacked" => "Stacked", "percentStacked" => "PercentStacked", _ => "" };
        return suffix.Length > 0 && Enum.IsDefined(typeof(ChartType), kind + suffix) ? kind + suffix : kind;
    }

    private static ChartSeries SeriesOf(OpenXmlElement ser, string kind)
    {
        var series = new ChartSeries
        {
            Name = Children(ser, "tx").SelectMany(t => t.Descendants()).FirstOrDefault(e => e.LocalName == "v")?.InnerText ?? string.Empty,
            Smooth = Value(Children(ser, "smooth").FirstOrDefault()) is "1" or "true",
            InvertIfNegative = Value(Children(ser, "invertIfNegative").FirstOrDefault()) is "1" or "true",
            Explosion = int.TryParse(Value(Children(ser, "explosion").FirstOrDefault()), NumberStyles.Integer, CultureInfo.InvariantCulture, out int explosion) ? explosion : 0,
        };
        if (Enum.TryParse(kind, out ChartSeriesType type))
            series.SeriesType = type;
        OpenXmlElement? categories = Children(ser, "cat").Concat(Children(ser, "xVal")).FirstOrDefault();
        bool numeric = categories?.Descendants().Any(e => e.LocalName is "numRef" or "numLit") ?? false;
        foreach (string text in Points(categories))
            series.XValues.AddRead(numeric && TryNumber(text, out double number) ? new ChartXValue(number) : new ChartXValue(text));
        foreach (string text in Points(Children(ser, "val").Concat(Children(ser, "yVal")).FirstOrDefault()))
            series.YValues.AddRead(new ChartYValue(TryNumber(text, out double number) ? number : double.NaN));
        series.MarkRead();
        return series;
    }

    // The cached points of a data reference, in the order of their indexes.
    private static IEnumerable<string> Points(OpenXmlElement? data) =>
        data?.Descendants().Where(e => e.LocalName == "pt" && e.NamespaceUri == ChartNs)
            .Select(pt => (Index: long.TryParse(pt.GetAttributes().FirstOrDefault(a => a.LocalName == "idx").Value, out long i) ? i : long.MaxValue,
                Text: pt.ChildElements.FirstOrDefault(c => c.LocalName == "v")?.InnerText ?? string.Empty))
            .OrderBy(p => p.Index).Select(p => p.Text)
        ?? Enumerable.Empty<string>();

    private static IEnumerable<OpenXmlElement> Children(OpenXmlElement parent, string localName) =>
        parent.ChildElements.Where(e => e.LocalName == localName && e.NamespaceUri == ChartNs);

    private static string? Value(OpenXmlElement? element) =>
        element?.GetAttributes().FirstOrDefault(a => a.LocalName == "val").Value ?? (element is null ? null : "1");

    private static bool TryNumber(string text, out double number) =>
        double.TryParse(text, NumberStyles.Float, CultureInfo.InvariantCulture, out number);
}
