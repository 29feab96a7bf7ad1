// LoadFormat: the formats a document can come from.  Auto lets the loader
// decide from the file extension or, for a stream, from the content;
// Unknown is what a document that was never loaded reports.
namespace Morvax.Velto;

public enum LoadFormat
{
    Auto = 0,
    Doc = 10,
    Dot = 11,
    DocPreWord60 = 12,
    Docx = 20,
    Docm = 21,
    Dotx = 22,
    Dotm = 23,
    FlatOpc = 24,
    FlatOpcMacroEnabled = 25,
    FlatOpcTemplate = 26,
    FlatOpcTemplateMacroEnabled = 27,
    Rtf = 30,
    WordML = 31,
    Html = 50,
    Mhtml = 51,
    Epub = 52,
    Odt = 60,
    Ott = 61,
    Text = 62,
    Chm = 63,
    Pdf = 64,
    Markdown = 65,
    Unknown = 255,
}
