// Morvax.Velto.Shaping: text shaping for complex scripts.
using System;

namespace Morvax.Velto.Shaping;

// Keeps one text shaper per font, so shaping the same font twice reuses it.
public sealed class BasicTextShaperCache : ITextShaperFactory, IDisposable
{
    public BasicTextShaperCache()
    {
    }

    // Holds no shapers yet, so there is nothing to release.
    public void Dispose()
    {
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
