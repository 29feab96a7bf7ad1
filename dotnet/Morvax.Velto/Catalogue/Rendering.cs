// Morvax.Velto.Rendering: rendering pages, shapes and equations to images.

namespace Morvax.Velto.Rendering;

public abstract class NodeRendererBase
{
    private protected NodeRendererBase()
    {
    }
}

public sealed class OfficeMathRenderer : NodeRendererBase
{
    public OfficeMathRenderer()
    {
    }
}

public sealed class PageInfo
{
    internal PageInfo()
    {
    }

    public double WidthInPoints { get; internal set; }

    public double HeightInPoints { get; internal set; }

    public bool Landscape { get; internal set; }

    public int PaperTray { get; internal set; }

    public PaperSize PaperSize { get; internal set; } = PaperSize.A4;
}

public sealed class ShapeRenderer : NodeRendererBase
{
    public ShapeRenderer()
    {
    }
}

public sealed class ThumbnailGeneratingOptions
{
    public ThumbnailGeneratingOptions()
    {
    }

    public bool GenerateFromFirstPage { get; set; } = true;
}
