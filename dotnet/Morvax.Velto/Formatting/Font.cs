// Font: the character formatting of a run, or the formatting that a
// DocumentBuilder gives to the runs it writes.
using System;

namespace Morvax.Velto;

/// <summary>Character formatting: typeface, size, weight, slant, underline and effects.</summary>
public sealed class Font
{
    internal const double DefaultSize = 11.0;
    internal const string DefaultName = "Calibri";
    // The word processor's own limits for a font size, in points.
    internal const double MinSize = 1.0;
    internal const double MaxSize = 1638.0;

    private double size = DefaultSize;
    private string name = DefaultName;
    private Underline underline = Underline.None;
    private bool subscript;
    private bool superscript;

    internal Font()
    {
    }

    /// <summary>Whether the text is bold.</summary>
    public bool Bold { get; set; }

    /// <summary>Whether the text is italic.</summary>
    public bool Italic { get; set; }

    /// <summary>The kind of underline, <see cref="F:Morvax.Velto.Underline.None"/> for none.</summary>
    public Underline Underline
    {
        get => underline;
        set
        {
            if (!Enum.IsDefined(value))
                throw new ArgumentOutOfRangeException(nameof(value), value, "Not an Underline value.");
            underline = value;
        }
    }

    /// <summary>The size of the font, in points.</summary>
    public double Size
    {
        get => size;
        set
        {
            if (!(value >= MinSize && value <= MaxSize))
                throw new ArgumentOutOfRangeException(nameof(value), value,
                    $"The font size must be between {MinSize} and {MaxSize} points.");
            size = value;
        }
    }

    /// <summary>The name of the typeface.</summary>
    public string Name
    {
        get => name;
        set
        {
            ArgumentException.ThrowIfNullOrEmpty(value);
            name = value;
        }
    }

    public bool StrikeThrough { get; set; }

    // Subscript and superscript exclude each other: setting one clears the other.
    public bool Subscript
    {
        get => subscript;
        set
        {
            subscript = value;
            if (value)
                superscript = false;
        }
    }

    public bool Superscript
    {
        get => superscript;
        set
        {
            superscript = value;
            if (value)
                subscript = false;
        }
    }

    public bool AllCaps { get; set; }

    public bool Hidden { get; set; }

    /// <summary>The colour of the text; the empty colour for the automatic one (black on light backgrounds).</summary>
    public System.Drawing.Color Color { get; set; }

    /// <summary>
    /// The highlight behind the text; the empty colour for none. A document holds one of sixteen
    /// highlight colours: saving writes the one nearest to this colour.
    /// </summary>
    public System.Drawing.Color HighlightColor { get; set; }

    /// <summary>The line around the text.</summary>
    public Border Border => border ??= new Border();

    /// <summary>The text's background.</summary>
    public Shading Shading => shading ??= new Shading();

    internal BorderValues BorderValues => border?.Values ?? Velto.Border.NoneValues;

    internal ShadingValues ShadingValues => shading?.Values ?? Shading.NoneValues;

    // Made when first asked for: most runs have neither.
    private Border? border;
    private Shading? shading;

    /// <summary>Resets every character attribute to its default.</summary>
    public void ClearFormatting() => CopyFrom(new Font());

    internal void CopyFrom(Font other)
    {
        Bold = other.Bold;
        Italic = other.Italic;
        underline = other.underline;
        size = other.size;
        name = other.name;
        StrikeThrough = other.StrikeThrough;
        subscript = other.subscript;
        superscript = other.superscript;
        AllCaps = other.AllCaps;
        Hidden = other.Hidden;
        Color = other.Color;
        HighlightColor = other.HighlightColor;
        if (other.border is not null)
            Border.CopyFrom(other.border);
        else
            border?.ClearFormatting();
        if (other.shading is not null || shading is not null)
            Shading.CopyFrom(other.Shading);
    }

    internal bool HasSameFormatting(Font other) =>
        Bold == other.Bold && Italic == other.Italic && underline == other.underline && size == other.size
        && name == other.name && StrikeThrough == other.StrikeThrough && subscript == other.subscript
        && superscript == other.superscript && AllCaps == other.AllCaps && Hidden == other.Hidden
        && Color == other.Color && HighlightColor == other.HighlightColor
        && BorderValues == other.BorderValues && ShadingValues == other.ShadingValues;
}
