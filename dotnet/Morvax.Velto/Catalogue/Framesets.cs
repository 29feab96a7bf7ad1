// Morvax.Velto.Framesets: the frames of a frames page.

namespace Morvax.Velto.Framesets;

public sealed class Frameset
{
    internal Frameset()
    {
    }

    public string? FrameDefaultUrl { get; internal set; }

    public bool IsFrameLinkToFile { get; internal set; }
}

// The child frames of a frames page; this library reads no frames pages, so there are none.
public sealed class FramesetCollection : System.Collections.Generic.IEnumerable<Frameset>
{
    private readonly System.Collections.Generic.List<Frameset> items = new();

    internal FramesetCollection()
    {
    }

    public int Count => items.Count;

    public Frameset this[int index] => items[index];

    public System.Collections.Generic.IEnumerator<Frameset> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}
