// Morvax.Velto.Drawing.Charts: charts: axes, series, data points, labels and
// legends.  A chart read from a document shows its chart part, which is saved
// back as it was read; so its series and values refuse changes.
using System;
using System.Collections.Generic;

namespace Morvax.Velto.Drawing.Charts;

// The guard of the members that would change a chart read from a document.
internal static class ReadChart
{
    internal static T Check<T>(bool isRead, string member, T value) => Formats.ReadOnlyContent.Check(isRead, member, "a chart", value);
}

public sealed class AxisBound
{
    public AxisBound()
    {
    }
}

public sealed class AxisDisplayUnit
{
    private AxisBuiltInUnit unit = AxisBuiltInUnit.None;

    public AxisDisplayUnit()
    {
    }

    public AxisBuiltInUnit Unit
    {
        get => unit;
        set => unit = EnumCheck.Defined(value);
    }
}

public sealed class AxisScaling
{
    private AxisScaleType type = AxisScaleType.Linear;

    public AxisScaling()
    {
    }

    public AxisScaleType Type
    {
        get => type;
        set => type = EnumCheck.Defined(value);
    }
}

public sealed class AxisTickLabels
{
    internal AxisTickLabels()
    {
    }
}

// The bubble sizes of a bubble chart series. Charts are kept as markup only, so a collection starts empty.
public sealed class BubbleSizeCollection : System.Collections.Generic.IEnumerable<double>
{
    private readonly System.Collections.Generic.List<double> items = new();

    internal BubbleSizeCollection()
    {
    }

    public int Count => items.Count;

    public double this[int index]
    {
        get => items[index];
        set => items[index] = value;
    }

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    public System.Collections.Generic.IEnumerator<double> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class Chart
{
    internal Chart()
    {
    }

    public ChartType Type { get; internal set; } = ChartType.Column;

    public bool SourceFullName { get; internal set; }

    /// <summary>The chart's series, in the order its plot area lists them.</summary>
    public ChartSeriesCollection Series { get; } = new();
}

public sealed class ChartAxis
{
    private AxisCategoryType categoryType = AxisCategoryType.Automatic;
    private AxisCrosses crosses = AxisCrosses.Automatic;
    private AxisTickMark majorTickMark = AxisTickMark.Outside;
    private AxisTickMark minorTickMark = AxisTickMark.None;
    private AxisTickLabelPosition tickLabelPosition = AxisTickLabelPosition.NextToAxis;

    internal ChartAxis()
    {
    }

    public ChartAxisType Type { get; internal set; } = ChartAxisType.Category;

    public AxisCategoryType CategoryType
    {
        get => categoryType;
        set => categoryType = EnumCheck.Defined(value);
    }

    public AxisCrosses Crosses
    {
        get => crosses;
        set => crosses = EnumCheck.Defined(value);
    }

    public AxisTickMark MajorTickMark
    {
        get => majorTickMark;
        set => majorTickMark = EnumCheck.Defined(value);
    }

    public AxisTickMark MinorTickMark
    {
        get => minorTickMark;
        set => minorTickMark = EnumCheck.Defined(value);
    }

    public AxisTickLabelPosition TickLabelPosition
    {
        get => tickLabelPosition;
        set => tickLabelPosition = EnumCheck.Defined(value);
    }

    public bool Hidden { get; set; }

    public bool ReverseOrder { get; set; }
}

// The axes of a chart. Charts are kept as markup only, so a collection starts empty.
public sealed class ChartAxisCollection : System.Collections.Generic.IEnumerable<ChartAxis>
{
    private readonly System.Collections.Generic.List<ChartAxis> items = new();

    internal ChartAxisCollection()
    {
    }

    public int Count => items.Count;

    public ChartAxis this[int index] => items[index];

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    public System.Collections.Generic.IEnumerator<ChartAxis> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class ChartAxisTitle
{
    private string text = string.Empty;

    internal ChartAxisTitle()
    {
    }

    public string Text
    {
        get => text;
        set => text = value ?? throw new ArgumentNullException(nameof(value));
    }

    public bool Show { get; set; }

    public bool Overlay { get; set; }
}

public sealed class ChartDataLabel
{
    private ChartDataLabelPosition position = ChartDataLabelPosition.Right;

    internal ChartDataLabel()
    {
    }

    public bool ShowValue { get; set; }

    public bool ShowCategoryName { get; set; }

    public bool ShowSeriesName { get; set; }

    public bool ShowPercentage { get; set; }

    public ChartDataLabelPosition Position
    {
        get => position;
        set => position = EnumCheck.Defined(value);
    }
}

// The data labels of a chart series, one per point. Charts are kept as markup only, so a collection starts empty.
public sealed class ChartDataLabelCollection : System.Collections.Generic.IEnumerable<ChartDataLabel>
{
    private readonly System.Collections.Generic.List<ChartDataLabel> items = new();

    internal ChartDataLabelCollection()
    {
    }

    public int Count => items.Count;

    public ChartDataLabel this[int index] => items[index];

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    public System.Collections.Generic.IEnumerator<ChartDataLabel> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class ChartDataPoint : IChartDataPoint
{
    internal ChartDataPoint()
    {
    }

    public int Explosion { get; set; }

    public bool InvertIfNegative { get; set; }

    public bool Bubble3D { get; set; }
}

// The data points of a chart series. Charts are kept as markup only, so a collection starts empty.
public sealed class ChartDataPointCollection : System.Collections.Generic.IEnumerable<ChartDataPoint>
{
    private readonly System.Collections.Generic.List<ChartDataPoint> items = new();

    internal ChartDataPointCollection()
    {
    }

    public int Count => items.Count;

    public ChartDataPoint this[int index] => items[index];

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    public System.Collections.Generic.IEnumerator<ChartDataPoint> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class ChartDataTable
{
    internal ChartDataTable()
    {
    }
}

public sealed class ChartFormat
{
    internal ChartFormat()
    {
    }
}

public sealed class ChartLegend
{
    private LegendPosition position = LegendPosition.Right;

    internal ChartLegend()
    {
    }

    public LegendPosition Position
    {
        get => position;
        set => position = EnumCheck.Defined(value);
    }

    public bool Overlay { get; set; }
}

public sealed class ChartLegendEntry
{
    internal ChartLegendEntry()
    {
    }
}

// The entries of a chart legend. Charts are kept as markup only, so a collection starts empty.
public sealed class ChartLegendEntryCollection : System.Collections.Generic.IEnumerable<ChartLegendEntry>
{
    private readonly System.Collections.Generic.List<ChartLegendEntry> items = new();

    internal ChartLegendEntryCollection()
    {
    }

    public int Count => items.Count;

    public ChartLegendEntry this[int index] => items[index];

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    public System.Collections.Generic.IEnumerator<ChartLegendEntry> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class ChartMarker
{
    private MarkerSymbol symbol = MarkerSymbol.Default;

    internal ChartMarker()
    {
    }

    public MarkerSymbol Symbol
    {
        get => symbol;
        set => symbol = EnumCheck.Defined(value);
    }

    public int Size { get; set; } = 7;
}

public sealed class ChartMultilevelValue
{
    public ChartMultilevelValue()
    {
    }
}

public sealed class ChartNumberFormat
{
    private string formatCode = "General";

    internal ChartNumberFormat()
    {
    }

    public string FormatCode
    {
        get => formatCode;
        set => formatCode = value ?? throw new ArgumentNullException(nameof(value));
    }

    public bool IsLinkedToSource { get; set; }
}

public sealed class ChartSeries : IChartDataPoint
{
    private string name = string.Empty;
    private int explosion;
    private bool invertIfNegative, bubble3D, smooth;

    internal ChartSeries()
    {
    }

    internal bool IsRead { get; set; }

    public string Name
    {
        get => name;
        set => name = ReadChart.Check(IsRead, "ChartSeries.Name", value ?? throw new ArgumentNullException(nameof(value)));
    }

    public int Explosion
    {
        get => explosion;
        set => explosion = ReadChart.Check(IsRead, "ChartSeries.Explosion", value);
    }

    public bool InvertIfNegative
    {
        get => invertIfNegative;
        set => invertIfNegative = ReadChart.Check(IsRead, "ChartSeries.InvertIfNegative", value);
    }

    public bool Bubble3D
    {
        get => bubble3D;
        set => bubble3D = ReadChart.Check(IsRead, "ChartSeries.Bubble3D", value);
    }

    public bool Smooth
    {
        get => smooth;
        set => smooth = ReadChart.Check(IsRead, "ChartSeries.Smooth", value);
    }

    public ChartSeriesType SeriesType { get; internal set; } = ChartSeriesType.Column;

    /// <summary>The series' categories or X values, as the chart part caches them.</summary>
    public ChartXValueCollection XValues { get; } = new();

    /// <summary>The series' values, as the chart part caches them.</summary>
    public ChartYValueCollection YValues { get; } = new();

    internal void MarkRead()
    {
        IsRead = true;
        XValues.IsRead = true;
        YValues.IsRead = true;
    }
}

// The series of a chart.
public sealed class ChartSeriesCollection : System.Collections.Generic.IEnumerable<ChartSeries>
{
    private readonly System.Collections.Generic.List<ChartSeries> items = new();

    internal ChartSeriesCollection()
    {
    }

    internal bool IsRead { get; set; }

    public int Count => items.Count;

    public ChartSeries this[int index] => items[index];

    public void RemoveAt(int index) => ReadChart.Check(IsRead, "ChartSeriesCollection.RemoveAt", items).RemoveAt(index);

    public void Clear() => ReadChart.Check(IsRead, "ChartSeriesCollection.Clear", items).Clear();

    internal void AddRead(ChartSeries series) => items.Add(series);

    public System.Collections.Generic.IEnumerator<ChartSeries> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class ChartSeriesGroup
{
    internal ChartSeriesGroup()
    {
    }
}

// The series groups of a chart. Charts are kept as markup only, so a collection starts empty.
public sealed class ChartSeriesGroupCollection : System.Collections.Generic.IEnumerable<ChartSeriesGroup>
{
    private readonly System.Collections.Generic.List<ChartSeriesGroup> items = new();

    internal ChartSeriesGroupCollection()
    {
    }

    public int Count => items.Count;

    public ChartSeriesGroup this[int index] => items[index];

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    public System.Collections.Generic.IEnumerator<ChartSeriesGroup> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class ChartTitle
{
    private string text = string.Empty;

    internal ChartTitle()
    {
    }

    public string Text
    {
        get => text;
        set => text = value ?? throw new ArgumentNullException(nameof(value));
    }

    public bool Show { get; set; } = true;

    public bool Overlay { get; set; }
}

public sealed class ChartXValue
{
    internal ChartXValue()
    {
    }

    internal ChartXValue(string text)
    {
        ValueType = ChartXValueType.String;
        StringValue = text;
    }

    internal ChartXValue(double value)
    {
        ValueType = ChartXValueType.Double;
        DoubleValue = value;
    }

    public ChartXValueType ValueType { get; internal set; }

    /// <summary>The category text (for a value of type String).</summary>
    public string? StringValue { get; internal set; }

    /// <summary>The number (for a value of type Double).</summary>
    public double DoubleValue { get; internal set; }
}

// The X values of a chart series.
public sealed class ChartXValueCollection : System.Collections.Generic.IEnumerable<ChartXValue>
{
    private readonly System.Collections.Generic.List<ChartXValue> items = new();

    internal ChartXValueCollection()
    {
    }

    internal bool IsRead { get; set; }

    public int Count => items.Count;

    public ChartXValue this[int index]
    {
        get => items[index];
        set => ReadChart.Check(IsRead, "ChartXValueCollection.Item", items)[index] = value ?? throw new System.ArgumentNullException(nameof(value));
    }

    public void RemoveAt(int index) => ReadChart.Check(IsRead, "ChartXValueCollection.RemoveAt", items).RemoveAt(index);

    public void Clear() => ReadChart.Check(IsRead, "ChartXValueCollection.Clear", items).Clear();

    internal void AddRead(ChartXValue value) => items.Add(value);

    public System.Collections.Generic.IEnumerator<ChartXValue> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class ChartYValue
{
    internal ChartYValue()
    {
    }

    internal ChartYValue(double value)
    {
        DoubleValue = value;
    }

    public ChartYValueType ValueType { get; internal set; } = ChartYValueType.Double;

    public double DoubleValue { get; internal set; }
}

// The Y values of a chart series.
public sealed class ChartYValueCollection : System.Collections.Generic.IEnumerable<ChartYValue>
{
    private readonly System.Collections.Generic.List<ChartYValue> items = new();

    internal ChartYValueCollection()
    {
    }

    internal bool IsRead { get; set; }

    public int Count => items.Count;

    public ChartYValue this[int index]
    {
        get => items[index];
        set => ReadChart.Check(IsRead, "ChartYValueCollection.Item", items)[index] = value ?? throw new System.ArgumentNullException(nameof(value));
    }

    public void RemoveAt(int index) => ReadChart.Check(IsRead, "ChartYValueCollection.RemoveAt", items).RemoveAt(index);

    public void Clear() => ReadChart.Check(IsRead, "ChartYValueCollection.Clear", items).Clear();

    internal void AddRead(ChartYValue value) => items.Add(value);

    public System.Collections.Generic.IEnumerator<ChartYValue> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public interface IChartDataPoint
{
    int Explosion { get; set; }

    bool InvertIfNegative { get; set; }

    bool Bubble3D { get; set; }
}
