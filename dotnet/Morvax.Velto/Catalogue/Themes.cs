// Morvax.Velto.Themes: the document theme's colours and fonts.
using System;

namespace Morvax.Velto.Themes;

public sealed class Theme
{
    internal Theme()
    {
    }

    public string? Name { get; internal set; }

    /// <summary>The fonts of headings; saving writes them to the theme part when they changed.</summary>
    public ThemeFonts MajorFonts { get; } = new();

    /// <summary>The fonts of body text; saving writes them to the theme part when they changed.</summary>
    public ThemeFonts MinorFonts { get; } = new();
}

public sealed class ThemeColors
{
    internal ThemeColors()
    {
    }
}

public sealed class ThemeFonts
{
    private string latin = "Calibri";
    private string eastAsian = string.Empty;
    private string complexScript = string.Empty;

    internal ThemeFonts()
    {
    }

    public string Latin
    {
        get => latin;
        set => latin = value ?? throw new ArgumentNullException(nameof(value));
    }

    public string EastAsian
    {
        get => eastAsian;
        set => eastAsian = value ?? throw new ArgumentNullException(nameof(value));
    }

    public string ComplexScript
    {
        get => complexScript;
        set => complexScript = value ?? throw new ArgumentNullException(nameof(value));
    }
}
