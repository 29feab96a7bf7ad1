// ParagraphAlignment: horizontal alignment of the lines of a paragraph.
namespace Morvax.Velto;

public enum ParagraphAlignment
{
    Left = 0,
    Center = 1,
    Right = 2,
    Justify = 3,
    Distributed = 4,
    ArabicMediumKashida = 5,
    ArabicHighKashida = 7,
    ArabicLowKashida = 8,
    ThaiDistributed = 9,
}
