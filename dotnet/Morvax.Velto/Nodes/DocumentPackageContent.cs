// Document's view of package content outside the story tree: custom XML
// parts and the package's own custom parts (read, edited and written back), the watermark its headers carry,
// the signatures the package holds, and frames and task panes, which the
// model does not represent and so refuses to describe when a file has them.
using System;
using Morvax.Velto.DigitalSignatures;
using Morvax.Velto.Framesets;
using Morvax.Velto.Markup;
using Morvax.Velto.WebExtensions;

namespace Morvax.Velto;

public sealed partial class Document
{
    private CustomXmlPartCollection customXmlParts = new();

    /// <summary>The package's custom XML parts; saving writes exactly these.</summary>
    public CustomXmlPartCollection CustomXmlParts
    {
        get => customXmlParts;
        set => customXmlParts = value ?? throw new ArgumentNullException(nameof(value));
    }

    private CustomPartCollection packageCustomParts = new();

    /// <summary>The parts related to the package itself that the document does not otherwise read (not its properties, thumbnail or signatures); saving writes exactly these.</summary>
    public CustomPartCollection PackageCustomParts
    {
        get => packageCustomParts;
        set => packageCustomParts = value ?? throw new ArgumentNullException(nameof(value));
    }

    private Settings.MailMergeSettings mailMergeSettings = new();

    /// <summary>The mail-merge settings the document keeps (its data source, query and merge type); saving writes them when they changed.</summary>
    public Settings.MailMergeSettings MailMergeSettings
    {
        get => mailMergeSettings;
        set => mailMergeSettings = value ?? throw new ArgumentNullException(nameof(value));
    }

    // The settings as read, which saving compares with MailMergeSettings.
    internal string?[] MailMergeAsRead { get; set; } = Formats.DocxMailMergeSettings.Snapshot(new Settings.MailMergeSettings());

    /// <summary>The bibliography style of the document's sources (kept in a custom XML part); saving writes a changed style there.</summary>
    public Bibliography.Bibliography Bibliography { get; private set; } = new();

    // The style as read, which saving compares with Bibliography's: a style
    // the model leaves alone is not imposed on the parts.
    internal string? BibliographyStyleAsRead { get; private set; }

    internal void ReadBibliography(string? style, string? asRead)
    {
        Bibliography = new Bibliography.Bibliography { BibliographyStyle = style };
        BibliographyStyleAsRead = asRead;
    }

    /// <summary>The kind of watermark the document's headers carry (None when they carry none).</summary>
    public Watermark Watermark { get; private set; } = new();

    internal void ReadWatermark(WatermarkType type) => Watermark = new Watermark { Type = type };

    // Filled by the reader; a document made here has no signatures.
    internal DigitalSignatureCollection SignaturesAsRead { get; set; } = new();

    /// <summary>The digital signatures the loaded package carries (not verified).</summary>
    public DigitalSignatureCollection DigitalSignatures => SignaturesAsRead;

    // Filled by the reader; shared by copies, as nothing in it changes.
    internal Frameset? FramesetAsRead { get; set; }

    // Filled by the reader; a document made here has none, and refuses new ones.
    internal TaskPaneCollection TaskPanesAsRead { get; set; } = Formats.DocxWebExtensions.Read(null);

    /// <summary>The document's frames page, as its web settings describe it; <see langword="null"/> when it is not one.</summary>
    public Frameset? Frameset => FramesetAsRead;

    /// <summary>The document's web extension task panes, as read from its package (kept and saved unchanged).</summary>
    public TaskPaneCollection WebExtensionTaskPanes => TaskPanesAsRead;
}
