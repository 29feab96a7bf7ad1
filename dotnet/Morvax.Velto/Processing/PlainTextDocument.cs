// PlainTextDocument: the text of a document file, as saving it in the text
// format would write it, for callers that want the words and nothing else.
using System.Text;
using Morvax.Velto.Formats;
using Morvax.Velto.Loading;
using Morvax.Velto.Saving;

namespace Morvax.Velto;

public sealed class PlainTextDocument
{
    public PlainTextDocument(string fileName) : this(fileName, null)
    {
    }

    // Null options mean the defaults.
    public PlainTextDocument(string fileName, LoadOptions? loadOptions)
    {
        var doc = new Document(fileName, loadOptions);
        Text = Encoding.UTF8.GetString(PlainTextWriter.Write(doc, new TxtSaveOptions()));
    }

    public string Text { get; }
}
