// Morvax.Velto.Drawing: the formatting of shapes and images (fill, stroke,
// effects, text boxes).
using System;

namespace Morvax.Velto.Drawing;

// One adjustment of a preset shape's geometry (how round a rounded rectangle's
// corners are, for example), as the shape's markup gives it.
public sealed class Adjustment
{
    internal Adjustment(string name, int value)
    {
        Name = name;
        Value = value;
    }

    /// <summary>The adjustment's name in the preset geometry ("adj", "adj1", ...).</summary>
    public string Name { get; }

    /// <summary>The adjustment's value, in the geometry's units (thousandths of a percent for most).</summary>
    public int Value { get; }
}

// The adjustment values of a shape's preset geometry, as read; the shape's
// markup is saved back as it was read, so they are not changed here.
public sealed class AdjustmentCollection
{
    private readonly System.Collections.Generic.List<Adjustment> items;

    internal AdjustmentCollection(System.Collections.Generic.List<Adjustment> items)
    {
        this.items = items;
    }

    public int Count => items.Count;

    public Adjustment this[int index] => items[index];
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

// The stops of a gradient fill, in order.
public sealed class GradientStopCollection : System.Collections.Generic.IEnumerable<GradientStop>
{
    private readonly System.Collections.Generic.List<GradientStop> items = new();

    internal GradientStopCollection()
    {
    }

    public int Count => items.Count;

    public GradientStop this[int index]
    {
        get => items[index];
        set => items[index] = value ?? throw new System.ArgumentNullException(nameof(value));
    }

    public void Add(GradientStop item) => items.Add(item ?? throw new System.ArgumentNullException(nameof(item)));

    public bool Remove(GradientStop item) => items.Remove(item);

    public void RemoveAt(int index) => items.RemoveAt(index);

    public GradientStop Insert(int index, GradientStop gradientStop)
    {
        items.Insert(index, gradientStop ?? throw new System.ArgumentNullException(nameof(gradientStop)));
        return gradientStop;
    }

    public System.Collections.Generic.IEnumerator<GradientStop> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
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
