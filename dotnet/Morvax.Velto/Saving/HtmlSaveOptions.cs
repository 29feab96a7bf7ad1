// HtmlSaveOptions: saving as an HTML page.
namespace Morvax.Velto.Saving;

/// <summary>Options for saving as HTML.</summary>
public sealed class HtmlSaveOptions : SaveOptions
{
    public HtmlSaveOptions() : this(SaveFormat.Html)
    {
    }

    public HtmlSaveOptions(SaveFormat saveFormat) : base(saveFormat)
    {
    }

    private protected override bool Accepts(SaveFormat format) => format == SaveFormat.Html;
}
