// DocumentSaver: turns a document into the bytes of a format and puts them
// in a file or a stream.  The whole output is built in memory first, so a
// save that fails (an unsupported option, say) leaves no half-written file.
using System;
using System.IO;
using System.Linq;
using Morvax.Velto.Saving;

namespace Morvax.Velto.Formats;

internal static class DocumentSaver
{
    // Null options: chosen by the file name's extension, with defaults.
    public static SaveOutputParameters SaveToFile(Document doc, string fileName, SaveOptions? options)
    {
        ArgumentException.ThrowIfNullOrEmpty(fileName);
        options ??= SaveOptions.CreateSaveOptions(fileName);
        byte[] bytes = Render(doc, options);
        File.WriteAllBytes(fileName, bytes);
        return new SaveOutputParameters(FormatTable.ContentTypeOf(options.SaveFormat));
    }

    // Writes at the stream's position and leaves the stream open.
    public static SaveOutputParameters SaveToStream(Document doc, Stream stream, SaveOptions options)
    {
        ArgumentNullException.ThrowIfNull(stream);
        if (!stream.CanWrite)
            throw new ArgumentException("The stream is not writable.", nameof(stream));
        byte[] bytes = Render(doc, options);
        stream.Write(bytes, 0, bytes.Length);
        return new SaveOutputParameters(FormatTable.ContentTypeOf(options.SaveFormat));
    }

    private static byte[] Render(Document doc, SaveOptions options) => options switch
    {
        OoxmlSaveOptions ooxml => FormatTable.FlatOpcFormats.Any(f => f.Flat == ooxml.SaveFormat)
            ? FlatOpc.Write(doc, ooxml)
            : DocxWriter.Write(doc, ooxml),
        TxtSaveOptions text => PlainTextWriter.Write(doc, text),
        MarkdownSaveOptions => MarkdownWriter.Write(doc),
        HtmlSaveOptions html => HtmlWriter.Write(doc, html),
        _ => throw new NotSupportedException($"Saving in the {options.SaveFormat} format is not supported."),
    };
}
