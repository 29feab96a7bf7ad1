// Shapes: ShapeBase is what drawing objects share; a Shape is one drawing
// object (which may hold text, as a text box does), a GroupShape holds other
// shapes.
using System;

namespace Morvax.Velto.Drawing;

public abstract class ShapeBase : CompositeNode
{
    private double width;
    private double height;
    private WrapType wrapType = WrapType.Inline;

    private protected ShapeBase(DocumentBase doc) : base(doc)
    {
    }

    public bool IsGroup => this is GroupShape;

    // In points.
    public double Width
    {
        get => width;
        set => width = CheckSize(value);
    }

    public double Height
    {
        get => height;
        set => height = CheckSize(value);
    }

    public WrapType WrapType
    {
        get => wrapType;
        set => wrapType = EnumCheck.Defined(value);
    }

    public bool IsInline => wrapType == WrapType.Inline;

    private protected T CopyGeometry<T>(T copy) where T : ShapeBase
    {
        copy.width = width;
        copy.height = height;
        copy.wrapType = wrapType;
        return copy;
    }

    // The word processor's largest page dimension bounds a shape as well.
    private static double CheckSize(double value) => value >= 0 && value <= ParagraphFormat.MaxIndent
        ? value
        : throw new ArgumentOutOfRangeException(nameof(value), value,
            $"A shape's size must be between 0 and {ParagraphFormat.MaxIndent} points.");
}

public sealed class Shape : ShapeBase
{
    public Shape(DocumentBase doc, ShapeType shapeType) : base(doc)
    {
        // Group shapes are their own node kind; MinValue only bounds the range.
        if (shapeType is ShapeType.Group or ShapeType.MinValue || !Enum.IsDefined(shapeType))
            throw new ArgumentOutOfRangeException(nameof(shapeType), shapeType, "Not a ShapeType a shape can have.");
        ShapeType = shapeType;
    }

    public override NodeType NodeType => NodeType.Shape;

    public ShapeType ShapeType { get; }

    /// <summary>The chart the shape shows, read from its chart part; <see langword="null"/> for any other shape.</summary>
    public Charts.Chart? Chart { get; internal set; }

    public bool HasChart => Chart is not null;

    /// <summary>Whether the shape shows a picture stored in the document (an image part its drawing names).</summary>
    public bool HasImage { get; internal set; }

    /// <summary>The adjustment values of the shape's preset geometry, as read from its markup.</summary>
    public AdjustmentCollection Adjustments { get; internal set; } = new(new());

    /// <summary>How the shape is filled; a gradient fill's stops as read from its markup.</summary>
    public Fill Fill { get; internal set; } = new();

    public Paragraph? FirstParagraph => (Paragraph?)GetChild(NodeType.Paragraph, 0, false);

    public Paragraph? LastParagraph => (Paragraph?)GetChild(NodeType.Paragraph, -1, false);

    // The paragraphs of the shape's text.
    internal override bool CanHold(Node child) => child is Paragraph;

    // A read chart, read adjustments and read gradient stops change nothing, so copies share them.
    internal override Node CopyNode(DocumentBase owner) => CopyGeometry(new Shape(owner, ShapeType)
        { Chart = Chart, Adjustments = Adjustments, Fill = Fill.Copy(), HasImage = HasImage });
}

public sealed class GroupShape : ShapeBase
{
    public GroupShape(DocumentBase doc) : base(doc)
    {
    }

    public override NodeType NodeType => NodeType.GroupShape;

    internal override bool CanHold(Node child) => child is ShapeBase;

    internal override Node CopyNode(DocumentBase owner) => CopyGeometry(new GroupShape(owner));
}
