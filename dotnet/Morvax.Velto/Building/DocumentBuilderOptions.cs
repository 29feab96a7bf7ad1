// DocumentBuilderOptions: settings a DocumentBuilder is created with.
namespace Morvax.Velto;

/// <summary>Options for a document builder.</summary>
public sealed class DocumentBuilderOptions
{
    // Whether table formatting set through the builder follows the table the
    // cursor is in; it matters once the builder writes tables.
    public bool ContextTableFormatting { get; set; }
}
