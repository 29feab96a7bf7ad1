// SectionStart: where a section begins relative to the one before it.  The
// builder sets it through InsertBreak and the .docx reader and writer carry
// it.
namespace Morvax.Velto;

public enum SectionStart
{
    Continuous = 0,
    NewColumn = 1,
    NewPage = 2,
    EvenPage = 3,
    OddPage = 4,
}
