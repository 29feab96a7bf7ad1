// Morvax.Velto.Shaping: text shaping for complex scripts.
using System;
using System.Collections.Generic;
using System.Linq;

namespace Morvax.Velto.Shaping;

// Keeps one text shaper per font, so shaping the same font twice reuses it. Disposing the
// cache disposes the shapers it holds and empties it.
public sealed class BasicTextShaperCache : ITextShaperFactory, IDisposable
{
    private readonly Dictionary<string, ITextShaper> _shapers = new(StringComparer.Ordinal);

    public BasicTextShaperCache()
    {
    }

    internal int CachedShaperCount => _shapers.Count;

    // How often Dispose ran, read by the test fixtures.
    internal int DisposeCount { get; private set; }

    // The shaper kept for the font, made by create on the first request.
    internal ITextShaper GetShaper(string fontKey, Func<ITextShaper> create)
    {
        ArgumentNullException.ThrowIfNull(fontKey);
        ArgumentNullException.ThrowIfNull(create);
        if (!_shapers.TryGetValue(fontKey, out ITextShaper? shaper))
        {
            shaper = create();
            _shapers.Add(fontKey, shaper);
        }
        return shaper;
    }

    public void Dispose()
    {
        DisposeCount++;
        ITextShaper[] held = _shapers.Values.ToArray();
        _shapers.Clear();
        foreach (ITextShaper shaper in held) shaper.Dispose();
    }
}

public sealed class Cluster
{
    internal Cluster()
    {
    }

    public int CharacterIndex { get; internal set; }

    public int CharacterCount { get; internal set; }

    public int GlyphCount { get; internal set; }

    /// <summary>The characters of <paramref name="text"/> (the text that was shaped) that this cluster covers.</summary>
    public string GetString(string text) => GetString(text, CharacterIndex, CharacterCount);

    /// <summary>The characters of <paramref name="text"/> that the given clusters cover, in their order.</summary>
    public static string GetString(Cluster[] clusters, string text)
    {
        ArgumentNullException.ThrowIfNull(clusters);
        var joined = new System.Text.StringBuilder();
        foreach (Cluster cluster in clusters)
            joined.Append((cluster ?? throw new ArgumentException("A cluster is null.", nameof(clusters))).GetString(text));
        return joined.ToString();
    }

    // The explicit form of a cluster's span, for callers that hold the
    // character index and count rather than the cluster.
    /// <summary>The <paramref name="characterCount"/> characters of <paramref name="text"/> from <paramref name="characterIndex"/> on.</summary>
    public static string GetString(string text, int characterIndex, int characterCount)
    {
        ArgumentNullException.ThrowIfNull(text);
        if (characterIndex < 0 || characterCount < 0 || characterIndex > text.Length - characterCount)
            throw new ArgumentOutOfRangeException(nameof(characterIndex),
                $"The cluster's characters {characterIndex}..{characterIndex + characterCount} lie outside the text of {text.Length} characters.");
        return text.Substring(characterIndex, characterCount);
    }
}

public sealed class Glyph
{
    internal Glyph()
    {
    }

    public int GlyphId { get; internal set; }

    public int Cluster { get; internal set; }

    public double AdvanceX { get; internal set; }

    public double AdvanceY { get; internal set; }

    public GlyphFlags Flags { get; internal set; } = GlyphFlags.None;
}

public interface ITextShaper : IDisposable
{
}

public interface ITextShaperFactory
{
}

public sealed class VariationAxisCoordinate
{
    public VariationAxisCoordinate()
    {
    }

    public VariationAxis Axis { get; set; } = VariationAxis.Weight;

    public double Value { get; set; }
}
