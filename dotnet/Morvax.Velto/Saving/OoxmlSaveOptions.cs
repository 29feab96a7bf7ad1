// OoxmlSaveOptions: saving as a WordprocessingML package (.docx and its
// macro-enabled and template variants), or as the same package in one XML
// file (flat OPC).
namespace Morvax.Velto.Saving;

/// <summary>Options for saving in the Office Open XML formats (.docx and its relatives).</summary>
public sealed class OoxmlSaveOptions : SaveOptions
{
    public OoxmlSaveOptions() : this(SaveFormat.Docx)
    {
    }

    public OoxmlSaveOptions(SaveFormat saveFormat) : base(saveFormat)
    {
    }

    // Encryption is not implemented: saving with a non-empty password fails
    // with NotSupportedException rather than writing an unprotected file.
    public string? Password { get; set; }

    private protected override bool Accepts(SaveFormat format) =>
        format is SaveFormat.Docx or SaveFormat.Docm or SaveFormat.Dotx or SaveFormat.Dotm
            or SaveFormat.FlatOpc or SaveFormat.FlatOpcMacroEnabled or SaveFormat.FlatOpcTemplate
            or SaveFormat.FlatOpcTemplateMacroEnabled;
}
