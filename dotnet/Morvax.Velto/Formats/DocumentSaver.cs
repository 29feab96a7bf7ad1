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

    private static byte[] Render(Document doc, SaveOptions options)
    {
        WarnOfLosses(doc, options);
        return RenderFormat(doc, options);
    }

    // The plain formats cannot keep markup the model has no node for, nor a table's grid:
    // the callback hears of each before the bytes are made.
    private static void WarnOfLosses(Document doc, SaveOptions options)
    {
        if (doc.WarningCallback is null) return;
        (WarningSource source, string writer) = options switch
        {
            TxtSaveOptions => (WarningSource.Text, "text"),
            MarkdownSaveOptions => (WarningSource.Markdown, "Markdown"),
            _ => (WarningSource.Unknown, ""),
        };
        if (source == WarningSource.Unknown) return;
        int kept = KeptMarkup.Count(doc);
        if (kept > 0)
            doc.Warn(WarningType.DataLoss, source,
                $"The {writer} writer cannot keep {kept} element(s) of markup that the document model has no node for; only their text is written.");
        if (source == WarningSource.Text && KeptMarkup.CountOf<Morvax.Velto.Tables.Table>(doc) > 0)
            doc.Warn(WarningType.MajorFormattingLoss, source,
                "The text writer cannot keep the grid of tables; their cells are written as lines of text.");
    }

    private static byte[] RenderFormat(Document doc, SaveOptions options) => options switch
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
