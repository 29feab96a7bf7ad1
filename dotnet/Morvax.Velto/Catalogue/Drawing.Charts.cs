// Morvax.Velto.Drawing.Charts: charts: axes, series, data points, labels and
// legends.
using System;

namespace Morvax.Velto.Drawing.Charts;

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

public sealed class BubbleSizeCollection
{
    internal BubbleSizeCollection()
    {
    }
}

public sealed class Chart
{
    internal Chart()
    {
    }

    public ChartType Type { get; internal set; } = ChartType.Column;

    public bool SourceFullName { get; internal set; }
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

public sealed class ChartAxisCollection
{
    internal ChartAxisCollection()
    {
    }
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

public sealed class ChartDataLabelCollection
{
    internal ChartDataLabelCollection()
    {
    }
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

public sealed class ChartDataPointCollection
{
    internal ChartDataPointCollection()
    {
    }
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

public sealed class ChartLegendEntryCollection
{
    internal ChartLegendEntryCollection()
    {
    }
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

    internal ChartSeries()
    {
    }

    public string Name
    {
        get => name;
        set => name = value ?? throw new ArgumentNullException(nameof(value));
    }

    public int Explosion { get; set; }

    public bool InvertIfNegative { get; set; }

    public bool Bubble3D { get; set; }

    public bool Smooth { get; set; }

    public ChartSeriesType SeriesType { get; internal set; } = ChartSeriesType.Column;
}

public sealed class ChartSeriesCollection
{
    internal ChartSeriesCollection()
    {
    }
}

public sealed class ChartSeriesGroup
{
    internal ChartSeriesGroup()
    {
    }
}

public sealed class ChartSeriesGroupCollection
{
    internal ChartSeriesGroupCollection()
    {
    }
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
}

public sealed class ChartXValueCollection
{
    internal ChartXValueCollection()
    {
    }
}

public sealed class ChartYValue
{
    internal ChartYValue()
    {
    }
}

public sealed class ChartYValueCollection
{
    internal ChartYValueCollection()
    {
    }
}

public interface IChartDataPoint
{
    int Explosion { get; set; }

    bool InvertIfNegative { get; set; }

    bool Bubble3D { get; set; }
}
