// DocumentLoader: fills a new Document from a file or a stream.  The format
// comes from the load options, else from the file extension, else (for a
// stream) from the first bytes of the content.  What is read is bounded
// (PackageLimits), so a file that never ends cannot fill memory.
using System;
using System.IO;
using Morvax.Velto.Loading;

namespace Morvax.Velto.Formats;

internal static class DocumentLoader
{
    public static void LoadFile(Document doc, string fileName, LoadOptions? options)
    {
        ArgumentException.ThrowIfNullOrEmpty(fileName);
        if (!File.Exists(fileName))
            throw new FileNotFoundException($"Could not find file '{fileName}'.", fileName);
        LoadFormat format = options?.LoadFormat ?? LoadFormat.Auto;
        if (format == LoadFormat.Auto)
            format = FormatTable.LoadFormatOf(fileName);
        byte[] data;
        using (var file = new FileStream(fileName, FileMode.Open, FileAccess.Read, FileShare.Read))
            data = PackageLimits.ReadBounded(file);
        doc.WarningCallback = options?.WarningCallback;
        Load(doc, data, format);
        doc.OriginalFileName = Path.GetFullPath(fileName);
    }

    // Reads from the stream's position to its end and leaves it open.
    public static void LoadStream(Document doc, Stream stream, LoadOptions? options)
    {
        ArgumentNullException.ThrowIfNull(stream);
        if (!stream.CanRead)
            throw new ArgumentException("The stream is not readable.", nameof(stream));
        byte[] data = PackageLimits.ReadBounded(stream);
        LoadFormat format = options?.LoadFormat ?? LoadFormat.Auto;
        if (format == LoadFormat.Auto)
            format = Sniff(data);
        doc.WarningCallback = options?.WarningCallback;
        Load(doc, data, format);
    }

    private static void Load(Document doc, byte[] data, LoadFormat format)
    {
        if (FormatTable.IsOoxml(format))
            format = DocxReader.Read(doc, data);
        // A .xml file may hold a whole package as flat OPC.
        else if (FormatTable.IsFlatOpc(format) || (format == LoadFormat.WordML && FlatOpc.Is(data)))
            format = FlatOpc.Read(doc, data);
        else if (format == LoadFormat.Text)
            PlainTextReader.Read(doc, data);
        else
            throw new UnsupportedFileFormatException($"Loading documents in the {format} format is not supported.");
        doc.OriginalLoadFormat = format;
        doc.EnsureMinimum();
        // Counted only for a caller who listens: the count walks the tree.
        int kept = doc.WarningCallback is null ? 0 : KeptMarkup.Count(doc);
        if (kept > 0)
            doc.Warn(WarningType.UnexpectedContent, WarningSource.Docx,
                $"{kept} element(s) of markup that the document model has no node for were kept as they were read.");
    }

    private static LoadFormat Sniff(ReadOnlySpan<byte> data)
    {
        if (data.StartsWith("PK\u0003\u0004"u8) || data.StartsWith("PK\u0005\u0006"u8))
            return LoadFormat.Docx;
        // An OLE compound file: a binary document, or an encrypted package.
        if (data.StartsWith(new byte[] { 0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1 }))
            throw new UnsupportedFileFormatException(
                "Loading binary (Doc) or encrypted documents is not supported.");
        if (FlatOpc.Is(data))
            return LoadFormat.FlatOpc;
        if (data.StartsWith("{\\rtf"u8))
            return LoadFormat.Rtf;
        if (data.StartsWith("%PDF"u8))
            return LoadFormat.Pdf;
        bool unicode = data.StartsWith(new byte[] { 0xFF, 0xFE }) || data.StartsWith(new byte[] { 0xFE, 0xFF })
            || data.StartsWith(new byte[] { 0x00, 0x00, 0xFE, 0xFF });
        // Text without a UTF-16/32 byte order mark holds no NUL bytes; data
        // that does is some binary format.
        if (!unicode && data[..System.Math.Min(data.Length, 8192)].Contains((byte)0))
            throw new UnsupportedFileFormatException("The stream does not hold a document in a supported format.");
        return LoadFormat.Text;
    }
}
