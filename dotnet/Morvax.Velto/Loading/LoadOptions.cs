// LoadOptions: how a document is loaded.
using System;

namespace Morvax.Velto.Loading;

/// <summary>The options of a load: the expected format, a password and the base address of linked resources.</summary>
public class LoadOptions
{
    private LoadFormat loadFormat = LoadFormat.Auto;

    /// <summary>Told of what is lost or changed while the document is loaded; the loaded document keeps it as its own warning callback.</summary>
    public IWarningCallback? WarningCallback { get; set; }

    public LoadOptions()
    {
    }

    public LoadOptions(string? password)
    {
        Password = password;
    }

    public LoadOptions(LoadFormat loadFormat, string? password, string? baseUri)
    {
        LoadFormat = loadFormat;
        Password = password;
        BaseUri = baseUri;
    }

    // Auto: decided by the file extension, or for a stream by its content.
    // Any other value forces that format.
    /// <summary>The expected format; <see cref="F:Morvax.Velto.LoadFormat.Auto"/> detects it from the content.</summary>
    public LoadFormat LoadFormat
    {
        get => loadFormat;
        set
        {
            if (!Enum.IsDefined(value))
                throw new ArgumentOutOfRangeException(nameof(value), value, "Not a LoadFormat value.");
            loadFormat = value;
        }
    }

    // For encrypted documents; ignored for documents that are not encrypted.
    /// <summary>The password of an encrypted document, or <see langword="null"/>.</summary>
    public string? Password { get; set; }

    // Where relative references inside a document are resolved from; the
    // formats loaded so far (.docx and text) carry no external references.
    /// <summary>The address that relative links in the document are resolved against.</summary>
    public string? BaseUri { get; set; }
}
