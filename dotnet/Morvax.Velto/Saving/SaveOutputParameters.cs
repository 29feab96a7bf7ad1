// SaveOutputParameters: what a save produced.
namespace Morvax.Velto.Saving;

public sealed class SaveOutputParameters
{
    internal SaveOutputParameters(string contentType)
    {
        ContentType = contentType;
    }

    // The MIME type of the saved document.
    public string ContentType { get; }
}
