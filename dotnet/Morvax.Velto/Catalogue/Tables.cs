// Morvax.Velto.Tables: table, row and cell formatting.

namespace Morvax.Velto.Tables;

public sealed class CellFormat
{
    private CellMerge horizontalMerge = CellMerge.None;
    private CellMerge verticalMerge = CellMerge.None;
    private CellVerticalAlignment verticalAlignment = CellVerticalAlignment.Top;
    private TextOrientation orientation = TextOrientation.Horizontal;

    internal CellFormat()
    {
    }

    public CellMerge HorizontalMerge
    {
        get => horizontalMerge;
        set => horizontalMerge = EnumCheck.Defined(value);
    }

    public CellMerge VerticalMerge
    {
        get => verticalMerge;
        set => verticalMerge = EnumCheck.Defined(value);
    }

    public CellVerticalAlignment VerticalAlignment
    {
        get => verticalAlignment;
        set => verticalAlignment = EnumCheck.Defined(value);
    }

    public bool WrapText { get; set; } = true;

    public bool FitText { get; set; }

    public TextOrientation Orientation
    {
        get => orientation;
        set => orientation = EnumCheck.Defined(value);
    }

    public bool HideMark { get; set; }

    /// <summary>The cell's lines; horizontal and vertical are those inside a merged cell's area.</summary>
    public BorderCollection Borders => borders ??= new BorderCollection();

    /// <summary>The cell's background.</summary>
    public Velto.Shading Shading => shading ??= new Velto.Shading();

    // Made when first asked for: most cells have neither.
    private BorderCollection? borders;
    private Velto.Shading? shading;

    internal BorderSetValues BorderValues =>
        borders?.Values ?? BorderCollection.NoneValues;

    internal ShadingValues ShadingValues => shading?.Values ?? Velto.Shading.NoneValues;

    internal void CopyFrom(CellFormat other)
    {
        if (other.borders is not null || borders is not null)
            Borders.CopyFrom(other.Borders);
        if (other.shading is not null || shading is not null)
            Shading.CopyFrom(other.Shading);
        (horizontalMerge, verticalMerge, verticalAlignment, orientation) =
            (other.horizontalMerge, other.verticalMerge, other.verticalAlignment, other.orientation);
        (WrapText, FitText, HideMark) = (other.WrapText, other.FitText, other.HideMark);
    }

    internal bool SameAs(CellFormat other) =>
        (horizontalMerge, verticalMerge, verticalAlignment, orientation, WrapText, FitText, HideMark)
        == (other.horizontalMerge, other.verticalMerge, other.verticalAlignment, other.orientation, other.WrapText,
            other.FitText, other.HideMark)
        && BorderValues == other.BorderValues && ShadingValues == other.ShadingValues;
}

public sealed class RowFormat
{
    private HeightRule heightRule = HeightRule.Auto;

    internal RowFormat()
    {
    }

    public bool AllowBreakAcrossPages { get; set; } = true;

    public bool HeadingFormat { get; set; }

    public HeightRule HeightRule
    {
        get => heightRule;
        set => heightRule = EnumCheck.Defined(value);
    }

    public double Height { get; set; }

    internal void CopyFrom(RowFormat other) =>
        (AllowBreakAcrossPages, HeadingFormat, heightRule, Height) =
        (other.AllowBreakAcrossPages, other.HeadingFormat, other.heightRule, other.Height);

    internal bool SameAs(RowFormat other) =>
        (AllowBreakAcrossPages, HeadingFormat, heightRule, Height)
        == (other.AllowBreakAcrossPages, other.HeadingFormat, other.heightRule, other.Height);
}
