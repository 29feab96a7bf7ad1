// FlatOpc: a WordprocessingML package written as one XML document (flat
// OPC).  Reading turns it into the package and reads that; writing writes
// the package and turns it into XML, so both go through the same .docx
// reader and writer and keep what they keep.
using System;
using System.IO;
using System.Linq;
using System.Text;
using System.Xml;
using System.Xml.Linq;
using DocumentFormat.OpenXml.Packaging;
using Morvax.Velto.Saving;

namespace Morvax.Velto.Formats;

internal static class FlatOpc
{
    private const string PackageNs = "http://schemas.microsoft.com/office/2006/xmlPackage";

    private static readonly XmlReaderSettings SafeSettings = new()
    {
        DtdProcessing = DtdProcessing.Prohibit,
        XmlResolver = null,
        MaxCharactersInDocument = PackageLimits.MaxInputBytes,
    };

    // True when the data is XML whose start names the flat package namespace.
    public static bool Is(ReadOnlySpan<byte> data)
    {
        ReadOnlySpan<byte> start = data[..System.Math.Min(data.Length, 4096)];
        if (start.StartsWith("\uFEFF"u8))
            start = start[3..];
        start = start.TrimStart(" \t\r\n"u8);
        return start.StartsWith("<"u8) && start.IndexOf(Encoding.UTF8.GetBytes(PackageNs)) >= 0;
    }

    public static LoadFormat Read(Document doc, byte[] data)
    {
        byte[] package;
        try
        {
            XDocument flat;
            using (XmlReader reader = XmlReader.Create(new MemoryStream(data, writable: false), SafeSettings))
                flat = XDocument.Load(reader);
            var stream = new MemoryStream();
            using (WordprocessingDocument.FromFlatOpcDocument(flat, stream, true))
            {
            }
            package = stream.ToArray();
        }
        catch (Exception e) when (e is not (OutOfMemoryException or OperationCanceledException))
        {
            throw new FileCorruptedException(e);
        }
        LoadFormat read = DocxReader.Read(doc, package);
        return FormatTable.FlatOpcFormats.First(f => f.PackageLoad == read).FlatLoad;
    }

    public static byte[] Write(Document doc, OoxmlSaveOptions options)
    {
        SaveFormat packageFormat = FormatTable.FlatOpcFormats.First(f => f.Flat == options.SaveFormat).Package;
        byte[] package = DocxWriter.Write(doc,
            new OoxmlSaveOptions(packageFormat) { Password = options.Password, PrettyFormat = options.PrettyFormat });
        using WordprocessingDocument written = WordprocessingDocument.Open(new MemoryStream(package, writable: false), false);
        return new UTF8Encoding(false).GetBytes(written.ToFlatOpcString());
    }
}
