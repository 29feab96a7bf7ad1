// One StringBuilder per thread for building a node's text: reading the text
// of every paragraph of a large document would otherwise allocate a builder
// and its grown chunks per paragraph, and the collections that garbage
// causes cost more than building the text itself.
using System;
using System.Text;

namespace Morvax.Velto;

internal static class TextBuilderCache
{
    // A builder grown beyond this (the text of a whole long document) is
    // not kept, so that it does not hold its memory for the thread's life.
    internal const int MaxKeptCapacity = 64 * 1024;

    [ThreadStatic]
    private static StringBuilder? cached;

    // An empty builder; the thread's cached one unless it is in use (a text
    // being built while another is), then a new one.
    public static StringBuilder Take()
    {
        StringBuilder? builder = cached;
        if (builder is null)
            return new StringBuilder(256);
        cached = null;
        return builder;
    }

    // The builder's text; the builder goes back to the cache, emptied.
    public static string Release(StringBuilder builder)
    {
        string text = builder.ToString();
        if (builder.Capacity <= MaxKeptCapacity)
        {
            builder.Clear();
            cached = builder;
        }
        return text;
    }
}
