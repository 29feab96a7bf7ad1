// FileFormatUtil: how formats, file extensions and the two format
// enumerations relate.
using System;
using Morvax.Velto.Formats;

namespace Morvax.Velto;

public static class FileFormatUtil
{
    // With or without the leading dot, in any case; Unknown for an extension
    // that names no format.
    public static SaveFormat ExtensionToSaveFormat(string extension)
    {
        ArgumentNullException.ThrowIfNull(extension);
        if (extension.Length == 0)
            return SaveFormat.Unknown;
        return FormatTable.TryGetSaveFormat(extension[0] == '.' ? extension : "." + extension, out SaveFormat format)
            ? format
            : SaveFormat.Unknown;
    }

    // The usual extension, with its dot.
    public static string SaveFormatToExtension(SaveFormat saveFormat) => saveFormat switch
    {
        SaveFormat.Doc => ".doc",
        SaveFormat.Dot => ".dot",
        SaveFormat.Docx => ".docx",
        SaveFormat.Docm => ".docm",
        SaveFormat.Dotx => ".dotx",
        SaveFormat.Dotm => ".dotm",
        SaveFormat.FlatOpc or SaveFormat.FlatOpcMacroEnabled or SaveFormat.FlatOpcTemplate
            or SaveFormat.FlatOpcTemplateMacroEnabled => ".xml",
        SaveFormat.Rtf => ".rtf",
        SaveFormat.WordML => ".xml",
        SaveFormat.Pdf => ".pdf",
        SaveFormat.Xps or SaveFormat.OpenXps => ".xps",
        SaveFormat.XamlFixed or SaveFormat.XamlFlow => ".xaml",
        SaveFormat.XamlFlowPack => ".zip",
        SaveFormat.Svg => ".svg",
        SaveFormat.HtmlFixed or SaveFormat.Html => ".html",
        SaveFormat.Ps => ".ps",
        SaveFormat.Pcl => ".pcl",
        SaveFormat.Mhtml => ".mht",
        SaveFormat.Epub => ".epub",
        SaveFormat.Azw3 => ".azw3",
        SaveFormat.Mobi => ".mobi",
        SaveFormat.Odt => ".odt",
        SaveFormat.Ott => ".ott",
        SaveFormat.Text => ".txt",
        SaveFormat.Markdown => ".md",
        SaveFormat.Xlsx => ".xlsx",
        SaveFormat.Tiff => ".tiff",
        SaveFormat.Png => ".png",
        SaveFormat.Bmp => ".bmp",
        SaveFormat.Emf => ".emf",
        SaveFormat.Jpeg => ".jpeg",
        SaveFormat.Gif => ".gif",
        SaveFormat.Eps => ".eps",
        SaveFormat.Unknown => throw new ArgumentException("SaveFormat.Unknown does not name a format.", nameof(saveFormat)),
        _ => throw new ArgumentOutOfRangeException(nameof(saveFormat), saveFormat, "Not a SaveFormat value."),
    };

    // The formats that can be both loaded and saved share their names.
    public static LoadFormat SaveFormatToLoadFormat(SaveFormat saveFormat)
    {
        EnumCheck.Defined(saveFormat);
        if (saveFormat != SaveFormat.Unknown
            && Enum.TryParse(saveFormat.ToString(), out LoadFormat loadFormat) && Enum.IsDefined(loadFormat))
            return loadFormat;
        throw new ArgumentException($"No load format corresponds to {saveFormat}.", nameof(saveFormat));
    }

    public static SaveFormat LoadFormatToSaveFormat(LoadFormat loadFormat)
    {
        EnumCheck.Defined(loadFormat);
        if (loadFormat is not (LoadFormat.Auto or LoadFormat.Unknown)
            && Enum.TryParse(loadFormat.ToString(), out SaveFormat saveFormat) && Enum.IsDefined(saveFormat))
            return saveFormat;
        throw new ArgumentException($"No save format corresponds to {loadFormat}.", nameof(loadFormat));
    }
}
