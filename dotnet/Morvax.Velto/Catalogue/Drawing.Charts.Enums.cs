// The enumerations of Morvax.Velto.Drawing.Charts.

namespace Morvax.Velto.Drawing.Charts;

public enum AxisBuiltInUnit
{
    None = 0,
    Custom = 1,
    Billions = 2,
    HundredMillions = 3,
    Hundreds = 4,
    HundredThousands = 5,
    Millions = 6,
    TenMillions = 7,
    TenThousands = 8,
    Thousands = 9,
    Trillions = 10,
    Percentage = 11,
}

public enum AxisCategoryType
{
    Automatic = 0,
    Category = 1,
    Time = 2,
}

public enum AxisCrosses
{
    Automatic = 0,
    Maximum = 1,
    Minimum = 2,
    Custom = 3,
}

public enum AxisGroup
{
    Primary = 0,
    Secondary = 1,
}

public enum AxisScaleType
{
    Linear = 0,
    Logarithmic = 1,
}

public enum AxisTickLabelPosition
{
    High = 0,
    Low = 1,
    NextToAxis = 2,
    None = 3,
    Default = NextToAxis,
}

public enum AxisTickMark
{
    Cross = 0,
    Inside = 1,
    Outside = 2,
    None = 3,
}

public enum AxisTimeUnit
{
    Automatic = 0,
    Days = 1,
    Months = 2,
    Years = 3,
}

public enum ChartAxisType
{
    Category = 0,
    Series = 1,
    Value = 2,
}

public enum ChartDataLabelLocationMode
{
    Offset = 0,
    Absolute = 1,
}

public enum ChartDataLabelPosition
{
    Center = 0,
    InsideBase = 1,
    InsideEnd = 2,
    OutsideEnd = 3,
    Above = 4,
    Below = 5,
    BestFit = 6,
    Left = 7,
    Right = 8,
}

public enum ChartSeriesType
{
    Area = 0,
    AreaStacked = 1,
    AreaPercentStacked = 2,
    Area_3D = 3,
    Area_3DStacked = 4,
    Area_3DPercentStacked = 5,
    Bar = 6,
    BarStacked = 7,
    BarPercentStacked = 8,
    Bar_3D = 9,
    Bar_3DStacked = 10,
    Bar_3DPercentStacked = 11,
    Bubble = 12,
    Bubble_3D = 13,
    Column = 14,
    ColumnStacked = 15,
    ColumnPercentStacked = 16,
    Column_3D = 17,
    Column_3DStacked = 18,
    Column_3DPercentStacked = 19,
    Column_3DClustered = 20,
    Doughnut = 21,
    Line = 22,
    LineStacked = 23,
    LinePercentStacked = 24,
    Line_3D = 25,
    Pie = 26,
    Pie_3D = 27,
    PieOfBar = 28,
    PieOfPie = 29,
    Radar = 30,
    Scatter = 31,
    Stock = 32,
    Surface = 33,
    Surface_3D = 34,
    Treemap = 35,
    Sunburst = 36,
    Histogram = 37,
    Pareto = 38,
    BoxAndWhisker = 39,
    Waterfall = 40,
    Funnel = 41,
}

public enum ChartShapeType
{
    Default = 0,
    Box = 1,
    Pyramid = 2,
    PyramidToMax = 3,
    Cone = 4,
    ConeToMax = 5,
    Cylinder = 6,
}

public enum ChartStyle
{
    Default = 0,
    Style1 = 1,
    Style2 = 2,
    Style3 = 3,
    Style4 = 4,
    Style5 = 5,
    Style6 = 6,
    Style7 = 7,
    Style8 = 8,
    Style9 = 9,
    Style10 = 10,
    Style11 = 11,
    Style12 = 12,
    Style13 = 13,
    Style14 = 14,
    Style15 = 15,
    Style16 = 16,
    Style17 = 17,
    Style18 = 18,
    Style19 = 19,
    Style20 = 20,
    Style21 = 21,
    Style22 = 22,
    Style23 = 23,
    Style24 = 24,
    Style25 = 25,
    Style26 = 26,
    Style27 = 27,
    Style28 = 28,
    Style29 = 29,
    Style30 = 30,
    Style31 = 31,
    Style32 = 32,
    Style33 = 33,
    Style34 = 34,
    Style35 = 35,
    Style36 = 36,
    Style37 = 37,
    Style38 = 38,
    Style39 = 39,
    Style40 = 40,
    Style41 = 41,
    Style42 = 42,
    Style43 = 43,
    Style44 = 44,
    Style45 = 45,
    Style46 = 46,
    Style47 = 47,
    Style48 = 48,
}

public enum ChartType
{
    Area = 0,
    AreaStacked = 1,
    AreaPercentStacked = 2,
    Area_3D = 3,
    Area_3DStacked = 4,
    Area_3DPercentStacked = 5,
    Bar = 6,
    BarStacked = 7,
    BarPercentStacked = 8,
    Bar_3D = 9,
    Bar_3DStacked = 10,
    Bar_3DPercentStacked = 11,
    Bubble = 12,
    Bubble_3D = 13,
    Column = 14,
    ColumnStacked = 15,
    ColumnPercentStacked = 16,
    Column_3D = 17,
    Column_3DStacked = 18,
    Column_3DPercentStacked = 19,
    Column_3DClustered = 20,
    Doughnut = 21,
    Line = 22,
    LineStacked = 23,
    LinePercentStacked = 24,
    Line_3D = 25,
    Pie = 26,
    Pie_3D = 27,
    PieOfBar = 28,
    PieOfPie = 29,
    Radar = 30,
    Scatter = 31,
    Stock = 32,
    Surface = 33,
    Surface_3D = 34,
    Treemap = 35,
    Sunburst = 36,
    Histogram = 37,
    Pareto = 38,
    BoxAndWhisker = 39,
    Waterfall = 40,
    Funnel = 41,
    RegionMap = 42,
}

public enum ChartXValueType
{
    String = 0,
    Double = 1,
    DateTime = 2,
    Time = 3,
    Multilevel = 4,
}

public enum ChartYValueType
{
    Double = 0,
    Time = 1,
}

public enum LegendPosition
{
    None = 0,
    Bottom = 1,
    Left = 2,
    Right = 3,
    Top = 4,
    TopRight = 5,
}

public enum MarkerSymbol
{
    Default = 0,
    Circle = 1,
    Dash = 2,
    Diamond = 3,
    Dot = 4,
    None = 5,
    Picture = 6,
    Plus = 7,
    Square = 8,
    Star = 9,
    Triangle = 10,
    X = 11,
}
