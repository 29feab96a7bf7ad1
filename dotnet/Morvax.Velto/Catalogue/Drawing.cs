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

    /// <summary>The stops of a gradient fill, in order, as read from the shape (none for any other fill).</summary>
    public GradientStopCollection GradientStops { get; internal set; } = new(isRead: true);

    internal Fill Copy() => new() { FillType = FillType, Visible = Visible, GradientStops = GradientStops };
}

public sealed class GlowFormat
{
    internal GlowFormat()
    {
    }
}

// One stop of a gradient: its colour, where it stands along the gradient and how
// transparent it is. A stop read from a shape keeps the shape's markup as read, so
// it refuses changes.
public sealed class GradientStop
{
    private const string Content = "a gradient stop";
    private System.Drawing.Color color;
    private double position;
    private double transparency;

    /// <summary>A stop of the colour at the position, from 0 (the start of the gradient) to 1 (its end).</summary>
    public GradientStop(System.Drawing.Color color, double position)
    {
        this.color = color;
        this.position = CheckFraction(position, nameof(position));
        transparency = 1 - color.A / 255.0;
    }

    internal GradientStop(System.Drawing.Color color, double position, double transparency) : this(color, position)
    {
        this.transparency = CheckFraction(transparency, nameof(transparency));
        IsRead = true;
    }

    internal bool IsRead { get; }

    /// <summary>The stop's colour.</summary>
    public System.Drawing.Color Color
    {
        get => color;
        set => color = Formats.ReadOnlyContent.Check(IsRead, "GradientStop.Color", Content, value);
    }

    /// <summary>Where the stop stands, from 0 (the start of the gradient) to 1 (its end).</summary>
    public double Position
    {
        get => position;
        set => position = Formats.ReadOnlyContent.Check(IsRead, "GradientStop.Position", Content, CheckFraction(value, nameof(value)));
    }

    /// <summary>How transparent the stop is, from 0 (opaque) to 1 (clear).</summary>
    public double Transparency
    {
        get => transparency;
        set => transparency = Formats.ReadOnlyContent.Check(IsRead, "GradientStop.Transparency", Content, CheckFraction(value, nameof(value)));
    }

    private static double CheckFraction(double value, string name) => value is >= 0 and <= 1
        ? value
        : throw new System.ArgumentOutOfRangeException(name, value, "The value must be between 0 and 1.");
}

// The stops of a gradient fill, in order. The stops of a shape's fill are its
// markup as read, which is saved unchanged, so they refuse changes.
public sealed class GradientStopCollection : System.Collections.Generic.IEnumerable<GradientStop>
{
    private const string Content = "a gradient";
    private readonly System.Collections.Generic.List<GradientStop> items = new();
    private readonly bool isRead;

    internal GradientStopCollection(bool isRead, System.Collections.Generic.IEnumerable<GradientStop>? stops = null)
    {
        this.isRead = isRead;
        if (stops is not null)
            items.AddRange(stops);
    }

    public int Count => items.Count;

    public GradientStop this[int index]
    {
        get => items[index];
        set => items[Checked(index)] = Changed("GradientStopCollection[index]", value ?? throw new System.ArgumentNullException(nameof(value)));
    }

    public void Add(GradientStop item) =>
        items.Add(Changed("GradientStopCollection.Add", item ?? throw new System.ArgumentNullException(nameof(item))));

    public bool Remove(GradientStop item) => items.Remove(Changed("GradientStopCollection.Remove", item));

    public void RemoveAt(int index) => items.RemoveAt(Changed("GradientStopCollection.RemoveAt", Checked(index)));

    public GradientStop Insert(int index, GradientStop gradientStop)
    {
        Changed("GradientStopCollection.Insert", gradientStop ?? throw new System.ArgumentNullException(nameof(gradientStop)));
        items.Insert(index, gradientStop);
        return gradientStop;
    }

    private int Checked(int index) => index >= 0 && index < items.Count
        ? index
        : throw new System.ArgumentOutOfRangeException(nameof(index), index, $"The gradient has {items.Count} stops.");

    private T Changed<T>(string member, T value) => Formats.ReadOnlyContent.Check(isRead, member, Content, value);

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
