// ParagraphFormat: the formatting of a paragraph.  Lengths are in points.
using System;

namespace Morvax.Velto;

/// <summary>Paragraph formatting: alignment, indents, spacing, pagination and style.</summary>
public sealed class ParagraphFormat
{
    internal const string DefaultStyleName = "Normal";
    // The word processor's limit for indents and spacing: 22 inches.
    internal const double MaxIndent = 1584.0;

    private ParagraphAlignment alignment = ParagraphAlignment.Left;
    private double leftIndent;
    private double rightIndent;
    private double firstLineIndent;
    private double spaceBefore;
    private double spaceAfter;
    private string styleName = DefaultStyleName;
    // Made when first asked for: most paragraphs have neither.
    private BorderCollection? borders;
    private Shading? shading;

    internal ParagraphFormat()
    {
    }

    /// <summary>How the lines of the paragraph are aligned.</summary>
    public ParagraphAlignment Alignment
    {
        get => alignment;
        set
        {
            if (!Enum.IsDefined(value))
                throw new ArgumentOutOfRangeException(nameof(value), value, "Not a ParagraphAlignment value.");
            alignment = value;
        }
    }

    /// <summary>The left indent, in points.</summary>
    public double LeftIndent
    {
        get => leftIndent;
        set => leftIndent = CheckIndent(value);
    }

    /// <summary>The right indent, in points.</summary>
    public double RightIndent
    {
        get => rightIndent;
        set => rightIndent = CheckIndent(value);
    }

    // Negative for a hanging indent.
    /// <summary>The indent of the first line relative to the left indent, in points (negative for a hanging indent).</summary>
    public double FirstLineIndent
    {
        get => firstLineIndent;
        set => firstLineIndent = CheckIndent(value);
    }

    /// <summary>The space above the paragraph, in points.</summary>
    public double SpaceBefore
    {
        get => spaceBefore;
        set => spaceBefore = CheckSpacing(value);
    }

    /// <summary>The space below the paragraph, in points.</summary>
    public double SpaceAfter
    {
        get => spaceAfter;
        set => spaceAfter = CheckSpacing(value);
    }

    public bool KeepTogether { get; set; }

    public bool KeepWithNext { get; set; }

    /// <summary>The name of the paragraph style.</summary>
    public string StyleName
    {
        get => styleName;
        set
        {
            ArgumentException.ThrowIfNullOrEmpty(value);
            styleName = value;
        }
    }

    /// <summary>The lines around the paragraph and between it and like-bordered neighbours (horizontal).</summary>
    public BorderCollection Borders => borders ??= new BorderCollection();

    /// <summary>The paragraph's background.</summary>
    public Shading Shading => shading ??= new Shading();

    internal BorderSetValues BorderValues =>
        borders?.Values ?? BorderCollection.NoneValues;

    internal ShadingValues ShadingValues => shading?.Values ?? Shading.NoneValues;

    /// <summary>Resets every paragraph attribute to its default.</summary>
    public void ClearFormatting() => CopyFrom(new ParagraphFormat());

    internal static bool IsIndent(double value) => value >= -MaxIndent && value <= MaxIndent;

    internal static bool IsSpacing(double value) => value >= 0 && value <= MaxIndent;

    internal void CopyFrom(ParagraphFormat other)
    {
        alignment = other.alignment;
        leftIndent = other.leftIndent;
        rightIndent = other.rightIndent;
        firstLineIndent = other.firstLineIndent;
        spaceBefore = other.spaceBefore;
        spaceAfter = other.spaceAfter;
        KeepTogether = other.KeepTogether;
        KeepWithNext = other.KeepWithNext;
        styleName = other.styleName;
        if (other.borders is not null || borders is not null)
            Borders.CopyFrom(other.Borders);
        if (other.shading is not null || shading is not null)
            Shading.CopyFrom(other.Shading);
    }

    // True when both have the same value for every attribute.
    internal bool HasSameFormatting(ParagraphFormat other) =>
        alignment == other.alignment && leftIndent == other.leftIndent && rightIndent == other.rightIndent
        && firstLineIndent == other.firstLineIndent && spaceBefore == other.spaceBefore && spaceAfter == other.spaceAfter
        && KeepTogether == other.KeepTogether && KeepWithNext == other.KeepWithNext && styleName == other.styleName
        && BorderValues == other.BorderValues && ShadingValues == other.ShadingValues;

    // The comparisons are written so that NaN fails them.
    private static double CheckIndent(double value) => IsIndent(value)
        ? value
        : throw new ArgumentOutOfRangeException(nameof(value), value,
            $"An indent must be between {-MaxIndent} and {MaxIndent} points.");

    private static double CheckSpacing(double value) => IsSpacing(value)
        ? value
        : throw new ArgumentOutOfRangeException(nameof(value), value,
            $"Spacing must be between 0 and {MaxIndent} points.");
}
