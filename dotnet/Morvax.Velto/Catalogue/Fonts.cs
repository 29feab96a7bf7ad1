// Morvax.Velto.Fonts: font sources, font information and font substitution.

using System;
using System.Linq;

namespace Morvax.Velto.Fonts;

public sealed class DefaultFontSubstitutionRule : FontSubstitutionRule
{
    internal DefaultFontSubstitutionRule()
    {
    }
}

public sealed class FileFontSource : FontSourceBase
{
    public FileFontSource()
    {
    }

    /// <summary>A source of the one font file (TrueType, OpenType or a collection of them).</summary>
    public FileFontSource(string filePath)
    {
        FilePath = filePath ?? throw new ArgumentNullException(nameof(filePath));
    }

    public string? FilePath { get; }

    internal override System.Collections.Generic.IEnumerable<string> FontFiles() =>
        FilePath is not null && System.IO.File.Exists(FilePath) ? new[] { FilePath } : Array.Empty<string>();
}

public sealed class FolderFontSource : FontSourceBase
{
    public FolderFontSource()
    {
    }

    /// <summary>A source of the font files in a folder, and in its subfolders when scanSubfolders is true.</summary>
    public FolderFontSource(string folderPath, bool scanSubfolders)
    {
        FolderPath = folderPath ?? throw new ArgumentNullException(nameof(folderPath));
        ScanSubfolders = scanSubfolders;
    }

    public string? FolderPath { get; }

    public bool ScanSubfolders { get; }

    internal override System.Collections.Generic.IEnumerable<string> FontFiles() =>
        FolderPath is null ? Array.Empty<string>() : FontFileNames.In(FolderPath, ScanSubfolders);
}

public sealed class FontConfigSubstitutionRule : FontSubstitutionRule
{
    internal FontConfigSubstitutionRule()
    {
    }
}

public sealed class FontEmbeddingLicensingRights
{
    internal FontEmbeddingLicensingRights()
    {
    }

    public FontEmbeddingUsagePermissions EmbeddingUsagePermissions { get; internal set; }

    public bool BitmapEmbeddingOnly { get; internal set; }

    public bool NoSubsetting { get; internal set; }
}

public sealed class FontFallbackSettings
{
    internal FontFallbackSettings()
    {
    }
}

public sealed class FontInfo
{
    internal FontInfo()
    {
    }

    public string Name { get; internal set; } = string.Empty;

    public bool IsTrueType { get; internal set; }

    public FontFamily Family { get; internal set; } = FontFamily.Auto;

    public FontPitch Pitch { get; internal set; } = FontPitch.Default;

    /// <summary>Another name the font is known by, or null.</summary>
    public string? AltName { get; internal set; }

    /// <summary>The character set the font is meant for, as its code (0 is the ANSI set, 2 the symbol set).</summary>
    public int Charset { get; internal set; }
}

// The fonts a document names in its font table.
public sealed class FontInfoCollection : System.Collections.Generic.IEnumerable<FontInfo>
{
    private readonly System.Collections.Generic.List<FontInfo> items = new();

    internal FontInfoCollection()
    {
    }

    public int Count => items.Count;

    public FontInfo this[int index] => items[index];

    /// <summary>The font of that name (case-insensitive), or null.</summary>
    public FontInfo? this[string name] =>
        items.Find(f => string.Equals(f.Name, name, System.StringComparison.OrdinalIgnoreCase));

    public bool Contains(string fontName) => this[fontName] is not null;

    internal void Add(FontInfo font) => items.Add(font);

    internal void Clear() => items.Clear();

    internal void CopyFrom(FontInfoCollection other)
    {
        items.Clear();
        items.AddRange(other.items);
    }

    public System.Collections.Generic.IEnumerator<FontInfo> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class FontInfoSubstitutionRule : FontSubstitutionRule
{
    internal FontInfoSubstitutionRule()
    {
    }
}

public sealed class FontNameSubstitutionRule : FontSubstitutionRule
{
    internal FontNameSubstitutionRule()
    {
    }
}

// Where fonts come from and how missing fonts are substituted.
public sealed class FontSettings
{
    public FontSettings()
    {
    }

    public static FontSettings DefaultInstance { get; } = new();
}

// A place fonts are found: a file, a folder, memory, a stream or the system's
// fonts.
public abstract class FontSourceBase
{
    private protected FontSourceBase()
    {
    }

    public int Priority { get; internal set; }

    /// <summary>The fonts this source offers, one per font in its files (a collection file gives several), by file name order.</summary>
    public System.Collections.Generic.IList<PhysicalFontInfo> GetAvailableFonts()
    {
        var fonts = new System.Collections.Generic.List<PhysicalFontInfo>();
        foreach (string path in FontFiles())
            foreach (var (family, full) in FontFileNames.Read(path))
                fonts.Add(new PhysicalFontInfo { FontFamilyName = family, FullFontName = full, FilePath = path });
        return fonts;
    }

    // The font files of the source; none for sources that hold fonts in memory.
    internal virtual System.Collections.Generic.IEnumerable<string> FontFiles() => Array.Empty<string>();
}

// One rule for choosing a replacement when a document's font is missing.
public abstract class FontSubstitutionRule
{
    private protected FontSubstitutionRule()
    {
    }

    public bool Enabled { get; set; } = true;
}

public sealed class FontSubstitutionSettings
{
    internal FontSubstitutionSettings()
    {
    }
}

public sealed class MemoryFontSource : FontSourceBase
{
    public MemoryFontSource()
    {
    }
}

public sealed class PhysicalFontInfo
{
    internal PhysicalFontInfo()
    {
    }

    public string FontFamilyName { get; internal set; } = string.Empty;

    public string FullFontName { get; internal set; } = string.Empty;

    public string? FilePath { get; internal set; }
}

public abstract class StreamFontSource : FontSourceBase
{
    protected StreamFontSource()
    {
    }
}

public sealed class SystemFontSource : FontSourceBase
{
    public SystemFontSource()
    {
    }

    internal override System.Collections.Generic.IEnumerable<string> FontFiles() =>
        GetSystemFontFolders().SelectMany(folder => FontFileNames.In(folder, true));

    // The folders this platform installs fonts into, for all users and for
    // the current one; only those that exist are listed.
    /// <summary>The folders on this system that hold installed fonts.</summary>
    public static string[] GetSystemFontFolders()
    {
        string home = Environment.GetFolderPath(Environment.SpecialFolder.UserProfile);
        string[] candidates = OperatingSystem.IsWindows()
            ? new[] { Environment.GetFolderPath(Environment.SpecialFolder.Fonts),
                      System.IO.Path.Combine(Environment.GetFolderPath(Environment.SpecialFolder.LocalApplicationData), "Microsoft", "Windows", "Fonts") }
            : OperatingSystem.IsMacOS()
                ? new[] { "/System/Library/Fonts", "/Library/Fonts", System.IO.Path.Combine(home, "Library", "Fonts") }
                : new[] { "/usr/share/fonts", "/usr/local/share/fonts", System.IO.Path.Combine(home, ".fonts"),
                          System.IO.Path.Combine(Environment.GetEnvironmentVariable("XDG_DATA_HOME") is { Length: > 0 } data
                              ? data : System.IO.Path.Combine(home, ".local", "share"), "fonts") };
        return candidates.Where(folder => folder.Length > 0 && System.IO.Directory.Exists(folder)).Distinct().ToArray();
    }
}

public sealed class TableSubstitutionRule : FontSubstitutionRule
{
    internal TableSubstitutionRule()
    {
    }
}
