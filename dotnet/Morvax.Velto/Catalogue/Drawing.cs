// Morvax.Velto.Drawing: the formatting of shapes and images (fill, stroke,
// effects, text boxes).
using System;

namespace Morvax.Velto.Drawing;

public sealed class Adjustment
{
    internal Adjustment()
    {
    }
}

public sealed class AdjustmentCollection
{
    internal AdjustmentCollection()
    {
    }
}

public sealed class Fill
{
    internal Fill()
    {
    }

    public FillType FillType { get; internal set; } = FillType.Solid;

    public bool Visible { get; set; } = true;
}

public sealed class GlowFormat
{
    internal GlowFormat()
    {
    }
}

public sealed class GradientStop
{
    internal GradientStop()
    {
    }
}

public sealed class GradientStopCollection
{
    internal GradientStopCollection()
    {
    }
}

public sealed class HorizontalRuleFormat
{
    private HorizontalRuleAlignment alignment = HorizontalRuleAlignment.Center;

    internal HorizontalRuleFormat()
    {
    }

    public HorizontalRuleAlignment Alignment
    {
        get => alignment;
        set => alignment = EnumCheck.Defined(value);
    }

    public bool NoShade { get; set; }
}

public sealed class ImageData
{
    internal ImageData()
    {
    }

    public ImageType ImageType { get; internal set; } = ImageType.NoImage;

    public bool GrayScale { get; set; }

    public bool BiLevel { get; set; }
}

public sealed class ImageSize
{
    public ImageSize()
    {
    }
}

public sealed class OleFormat
{
    internal OleFormat()
    {
    }

    public string ProgId { get; internal set; } = string.Empty;

    public bool IsLink { get; internal set; }
}

public sealed class OlePackage
{
    internal OlePackage()
    {
    }
}

public sealed class ReflectionFormat
{
    internal ReflectionFormat()
    {
    }
}

public sealed class ShadowFormat
{
    private ShadowType type = ShadowType.Shadow1;

    internal ShadowFormat()
    {
    }

    public ShadowType Type
    {
        get => type;
        set => type = EnumCheck.Defined(value);
    }

    public bool Visible { get; set; }
}

public sealed class SignatureLine
{
    internal SignatureLine()
    {
    }

    public string? Signer { get; set; }

    public string? SignerTitle { get; set; }

    public string? Email { get; set; }

    public bool ShowDate { get; set; } = true;
}

public sealed class SoftEdgeFormat
{
    internal SoftEdgeFormat()
    {
    }
}

public sealed class Stroke
{
    private DashStyle dashStyle = DashStyle.Solid;
    private JoinStyle joinStyle = JoinStyle.Round;
    private EndCap endCap = EndCap.Flat;
    private ShapeLineStyle lineStyle = ShapeLineStyle.Single;

    internal Stroke()
    {
    }

    public bool On { get; set; } = true;

    public DashStyle DashStyle
    {
        get => dashStyle;
        set => dashStyle = EnumCheck.Defined(value);
    }

    public JoinStyle JoinStyle
    {
        get => joinStyle;
        set => joinStyle = EnumCheck.Defined(value);
    }

    public EndCap EndCap
    {
        get => endCap;
        set => endCap = EnumCheck.Defined(value);
    }

    public ShapeLineStyle LineStyle
    {
        get => lineStyle;
        set => lineStyle = EnumCheck.Defined(value);
    }
}

public sealed class TextBox
{
    private LayoutFlow layoutFlow = LayoutFlow.Horizontal;
    private TextBoxWrapMode textBoxWrapMode = TextBoxWrapMode.Square;
    private TextBoxAnchor verticalAnchor = TextBoxAnchor.Top;

    internal TextBox()
    {
    }

    public LayoutFlow LayoutFlow
    {
        get => layoutFlow;
        set => layoutFlow = EnumCheck.Defined(value);
    }

    public TextBoxWrapMode TextBoxWrapMode
    {
        get => textBoxWrapMode;
        set => textBoxWrapMode = EnumCheck.Defined(value);
    }

    public TextBoxAnchor VerticalAnchor
    {
        get => verticalAnchor;
        set => verticalAnchor = EnumCheck.Defined(value);
    }

    public bool FitShapeToText { get; set; }
}

public sealed class TextPath
{
    private string text = string.Empty;
    private TextPathAlignment textPathAlignment = TextPathAlignment.Center;

    internal TextPath()
    {
    }

    public string Text
    {
        get => text;
        set => text = value ?? throw new ArgumentNullException(nameof(value));
    }

    public bool Bold { get; set; }

    public bool Italic { get; set; }

    public TextPathAlignment TextPathAlignment
    {
        get => textPathAlignment;
        set => textPathAlignment = EnumCheck.Defined(value);
    }
}
