// BreakType: what DocumentBuilder.InsertBreak inserts.
namespace Morvax.Velto;

public enum BreakType
{
    ParagraphBreak = 0,
    PageBreak = 1,
    ColumnBreak = 2,
    SectionBreakContinuous = 3,
    SectionBreakNewColumn = 4,
    SectionBreakNewPage = 5,
    SectionBreakEvenPage = 6,
    SectionBreakOddPage = 7,
    LineBreak = 8,
}
