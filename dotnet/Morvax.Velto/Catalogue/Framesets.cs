// Morvax.Velto.Framesets: the frames of a frames page, as its web settings
// describe them.  Read only: the web settings are saved back as they were read.

namespace Morvax.Velto.Framesets;

public sealed class Frameset
{
    internal Frameset()
    {
    }

    /// <summary>The address of the page the frame shows; <see langword="null"/> for a frameset that holds frames.</summary>
    public string? FrameDefaultUrl { get; internal set; }

    /// <summary>Whether the frame's page is linked rather than embedded.</summary>
    public bool IsFrameLinkToFile { get; internal set; }

    /// <summary>The frames and framesets inside this one, in order.</summary>
    public FramesetCollection ChildFramesets { get; } = new();
}

// The child frames of a frameset, in order.
public sealed class FramesetCollection : System.Collections.Generic.IEnumerable<Frameset>
{
    private readonly System.Collections.Generic.List<Frameset> items = new();

    internal FramesetCollection()
    {
    }

    public int Count => items.Count;

    public Frameset this[int index] => items[index];

    internal void AddRead(Frameset item) => items.Add(item);

    public System.Collections.Generic.IEnumerator<Frameset> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}
