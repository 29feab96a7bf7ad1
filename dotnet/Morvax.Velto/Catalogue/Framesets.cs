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

public sealed class FramesetCollection
{
    internal FramesetCollection()
    {
    }
}
