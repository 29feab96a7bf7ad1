// ControlChar: the control characters that stand for structure inside
// document text (paragraph and section ends, breaks, field marks).
namespace Morvax.Velto;

public static class ControlChar
{
    public const char CellChar = '\u0007';
    public const char TabChar = '\t';
    public const char LineFeedChar = '\n';
    public const char LineBreakChar = '\u000b';
    public const char PageBreakChar = '\f';
    public const char SectionBreakChar = '\f';
    public const char ParagraphBreakChar = '\r';
    public const char ColumnBreakChar = '\u000e';
    public const char FieldStartChar = '\u0013';
    public const char FieldSeparatorChar = '\u0014';
    public const char FieldEndChar = '\u0015';
    public const char NonBreakingHyphenChar = '\u001e';
    public const char OptionalHyphenChar = '\u001f';
    public const char SpaceChar = ' ';
    public const char NonBreakingSpaceChar = '\u00a0';
    public const char DefaultTextInputChar = '\u2002';

    public const string Cell = "\u0007";
    public const string Tab = "\t";
    public const string Lf = "\n";
    public const string LineFeed = "\n";
    public const string LineBreak = "\u000b";
    public const string PageBreak = "\f";
    public const string SectionBreak = "\f";
    public const string Cr = "\r";
    public const string ParagraphBreak = "\r";
    public const string ColumnBreak = "\u000e";
    public const string CrLf = "\r\n";
    public const string NonBreakingSpace = "\u00a0";
}
