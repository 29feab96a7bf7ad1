// SaveOptions: how a document is saved.  Each subclass serves one family of
// formats and refuses a SaveFormat outside it.
using System;
using Morvax.Velto.Formats;

namespace Morvax.Velto.Saving;

/// <summary>The options of a save: the format and what the chosen format lets one adjust.</summary>
public abstract class SaveOptions
{
    private SaveFormat saveFormat;
    private string defaultTemplate = string.Empty;

    private protected SaveOptions(SaveFormat saveFormat)
    {
        this.saveFormat = CheckFormat(saveFormat);
    }

    /// <summary>The format the document is saved in.</summary>
    public SaveFormat SaveFormat
    {
        get => saveFormat;
        set => saveFormat = CheckFormat(value);
    }

    // Options for a format this library can write; NotSupportedException
    // names a format it cannot.
    /// <summary>The save options class that fits the format, with defaults.</summary>
    public static SaveOptions CreateSaveOptions(SaveFormat saveFormat) => saveFormat switch
    {
        SaveFormat.Docx or SaveFormat.Docm or SaveFormat.Dotx or SaveFormat.Dotm or SaveFormat.FlatOpc
            or SaveFormat.FlatOpcMacroEnabled or SaveFormat.FlatOpcTemplate or SaveFormat.FlatOpcTemplateMacroEnabled =>
            new OoxmlSaveOptions(saveFormat),
        SaveFormat.Text => new TxtSaveOptions(),
        SaveFormat.Html => new HtmlSaveOptions(),
        SaveFormat.Markdown => new MarkdownSaveOptions(),
        SaveFormat.Unknown => throw new ArgumentException("SaveFormat.Unknown does not name a format.", nameof(saveFormat)),
        _ when !Enum.IsDefined(saveFormat) =>
            throw new ArgumentOutOfRangeException(nameof(saveFormat), saveFormat, "Not a SaveFormat value."),
        _ => throw new NotSupportedException($"Saving in the {saveFormat} format is not supported."),
    };

    // By the file name's extension.
    /// <summary>The save options class that fits the file name's extension, with defaults.</summary>
    public static SaveOptions CreateSaveOptions(string fileName) =>
        CreateSaveOptions(FormatTable.SaveFormatOf(fileName));

    // Indented markup, for people reading the saved file.
    public bool PrettyFormat { get; set; }

    // The template to take styles from when the document names none and
    // styles are updated automatically; no writer reads templates yet.
    public string DefaultTemplate
    {
        get => defaultTemplate;
        set => defaultTemplate = value ?? throw new ArgumentNullException(nameof(value));
    }

    private protected abstract bool Accepts(SaveFormat format);

    private SaveFormat CheckFormat(SaveFormat format) => Accepts(format)
        ? format
        : throw new ArgumentException($"{GetType().Name} cannot save in the {format} format.", nameof(SaveFormat));
}
