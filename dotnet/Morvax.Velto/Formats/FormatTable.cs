// FormatTable: which format a file name stands for, and the MIME type of
// each format this library writes.
using System;
using System.Collections.Generic;
using System.IO;

namespace Morvax.Velto.Formats;

internal static class FormatTable
{
    private static readonly Dictionary<string, SaveFormat> SaveExtensions = new(StringComparer.OrdinalIgnoreCase)
    {
        [".doc"] = SaveFormat.Doc, [".dot"] = SaveFormat.Dot,
        [".docx"] = SaveFormat.Docx, [".docm"] = SaveFormat.Docm,
        [".dotx"] = SaveFormat.Dotx, [".dotm"] = SaveFormat.Dotm,
        [".rtf"] = SaveFormat.Rtf, [".xml"] = SaveFormat.WordML,
        [".pdf"] = SaveFormat.Pdf, [".xps"] = SaveFormat.Xps, [".svg"] = SaveFormat.Svg,
        [".ps"] = SaveFormat.Ps, [".pcl"] = SaveFormat.Pcl,
        [".html"] = SaveFormat.Html, [".htm"] = SaveFormat.Html,
        [".mht"] = SaveFormat.Mhtml, [".mhtml"] = SaveFormat.Mhtml, [".epub"] = SaveFormat.Epub,
        [".odt"] = SaveFormat.Odt, [".ott"] = SaveFormat.Ott,
        [".txt"] = SaveFormat.Text, [".md"] = SaveFormat.Markdown, [".markdown"] = SaveFormat.Markdown,
        [".xlsx"] = SaveFormat.Xlsx,
        [".tif"] = SaveFormat.Tiff, [".tiff"] = SaveFormat.Tiff, [".png"] = SaveFormat.Png,
        [".bmp"] = SaveFormat.Bmp, [".emf"] = SaveFormat.Emf, [".jpg"] = SaveFormat.Jpeg,
        [".jpeg"] = SaveFormat.Jpeg, [".gif"] = SaveFormat.Gif, [".eps"] = SaveFormat.Eps,
    };

    private static readonly Dictionary<string, LoadFormat> LoadExtensions = new(StringComparer.OrdinalIgnoreCase)
    {
        [".doc"] = LoadFormat.Doc, [".dot"] = LoadFormat.Dot,
        [".docx"] = LoadFormat.Docx, [".docm"] = LoadFormat.Docm,
        [".dotx"] = LoadFormat.Dotx, [".dotm"] = LoadFormat.Dotm,
        [".rtf"] = LoadFormat.Rtf, [".xml"] = LoadFormat.WordML,
        [".html"] = LoadFormat.Html, [".htm"] = LoadFormat.Html,
        [".mht"] = LoadFormat.Mhtml, [".mhtml"] = LoadFormat.Mhtml, [".epub"] = LoadFormat.Epub,
        [".odt"] = LoadFormat.Odt, [".ott"] = LoadFormat.Ott,
        [".txt"] = LoadFormat.Text, [".chm"] = LoadFormat.Chm, [".pdf"] = LoadFormat.Pdf,
        [".md"] = LoadFormat.Markdown, [".markdown"] = LoadFormat.Markdown,
    };

    public static SaveFormat SaveFormatOf(string fileName) =>
        SaveExtensions.TryGetValue(ExtensionOf(fileName), out SaveFormat format) ? format : throw Unsupported(fileName);

    // An extension with its dot.
    public static bool TryGetSaveFormat(string extension, out SaveFormat format) =>
        SaveExtensions.TryGetValue(extension, out format);

    public static LoadFormat LoadFormatOf(string fileName) =>
        LoadExtensions.TryGetValue(ExtensionOf(fileName), out LoadFormat format) ? format : throw Unsupported(fileName);

    public static bool IsOoxml(LoadFormat format) =>
        format is LoadFormat.Docx or LoadFormat.Docm or LoadFormat.Dotx or LoadFormat.Dotm;

    public static bool IsFlatOpc(LoadFormat format) =>
        format is LoadFormat.FlatOpc or LoadFormat.FlatOpcMacroEnabled or LoadFormat.FlatOpcTemplate
            or LoadFormat.FlatOpcTemplateMacroEnabled;

    // The package format a flat OPC format holds, and back.
    public static readonly (SaveFormat Flat, SaveFormat Package, LoadFormat FlatLoad, LoadFormat PackageLoad)[] FlatOpcFormats =
    {
        (SaveFormat.FlatOpc, SaveFormat.Docx, LoadFormat.FlatOpc, LoadFormat.Docx),
        (SaveFormat.FlatOpcMacroEnabled, SaveFormat.Docm, LoadFormat.FlatOpcMacroEnabled, LoadFormat.Docm),
        (SaveFormat.FlatOpcTemplate, SaveFormat.Dotx, LoadFormat.FlatOpcTemplate, LoadFormat.Dotx),
        (SaveFormat.FlatOpcTemplateMacroEnabled, SaveFormat.Dotm, LoadFormat.FlatOpcTemplateMacroEnabled, LoadFormat.Dotm),
    };

    // The MIME type of a whole saved file.
    public static string ContentTypeOf(SaveFormat format) => format switch
    {
        SaveFormat.Docx => "application/vnd.openxmlformats-officedocument.wordprocessingml.document",
        SaveFormat.Docm => "application/vnd.ms-word.document.macroEnabled.12",
        SaveFormat.Dotx => "application/vnd.openxmlformats-officedocument.wordprocessingml.template",
        SaveFormat.Dotm => "application/vnd.ms-word.template.macroEnabled.12",
        SaveFormat.FlatOpc or SaveFormat.FlatOpcMacroEnabled or SaveFormat.FlatOpcTemplate
            or SaveFormat.FlatOpcTemplateMacroEnabled => "application/xml",
        SaveFormat.Text => "text/plain",
        SaveFormat.Markdown => "text/markdown",
        SaveFormat.Html => "text/html",
        _ => throw new NotSupportedException($"Saving in the {format} format is not supported."),
    };

    private static string ExtensionOf(string fileName)
    {
        ArgumentException.ThrowIfNullOrEmpty(fileName);
        return Path.GetExtension(fileName);
    }

    private static UnsupportedFileFormatException Unsupported(string fileName)
    {
        string extension = Path.GetExtension(fileName);
        return new UnsupportedFileFormatException(extension.Length == 0
            ? $"Unsupported file format: '{Path.GetFileName(fileName)}' has no extension."
            : $"Unsupported file format: {extension}");
    }
}
