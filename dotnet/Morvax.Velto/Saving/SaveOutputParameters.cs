// SaveOutputParameters: what a save produced.
namespace Morvax.Velto.Saving;

/// <summary>What a save reports back.</summary>
public sealed class SaveOutputParameters
{
    internal SaveOutputParameters(string contentType)
    {
        ContentType = contentType;
    }

    // The MIME type of the saved document.
    /// <summary>The media type of the saved document, such as "text/html".</summary>
    public string ContentType { get; }
}
