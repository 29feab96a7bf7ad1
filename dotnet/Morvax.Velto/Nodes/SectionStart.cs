// SectionStart: how a section begins relative to the one before it.  Kept
// internal until the page-setup surface that exposes it exists; the builder
// sets it through InsertBreak and the .docx reader and writer carry it.
namespace Morvax.Velto;

internal enum SectionStart
{
    Continuous = 0,
    NewColumn = 1,
    NewPage = 2,
    EvenPage = 3,
    OddPage = 4,
}
