// TxtLoadOptions: loading plain text.
namespace Morvax.Velto.Loading;

/// <summary>Options for loading plain text.</summary>
public sealed class TxtLoadOptions : LoadOptions
{
    // Whether "1 item"-style lines (a number and whitespace, no dot) count
    // as list items when numbering is detected; lists are not built yet, so
    // every line loads as a plain paragraph.
    public bool DetectNumberingWithWhitespaces { get; set; } = true;
}
