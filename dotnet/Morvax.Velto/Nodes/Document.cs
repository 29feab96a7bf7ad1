// Document: the root of a document tree, with the document-wide settings and
// the entry points for loading and saving.
using System;
using System.IO;
using Morvax.Velto.Formats;
using Morvax.Velto.Loading;
using Morvax.Velto.Saving;

namespace Morvax.Velto;

/// <summary>A word-processing document: the root of the node tree, with the document-wide settings, loading and saving.</summary>
public sealed partial class Document : DocumentBase
{
    private double defaultTabStop = 36.0;
    private string attachedTemplate = string.Empty;

    // A blank document: one section whose body holds one empty paragraph.
    /// <summary>Creates a blank document: one section whose body holds one empty paragraph.</summary>
    public Document()
    {
        EnsureMinimum();
    }

    /// <summary>Opens the document in the file, detecting its format from the content.</summary>
    public Document(string fileName) : this(fileName, null)
    {
    }

    // Null options mean the defaults.
    /// <summary>Opens the document in the file with the given load options (<see langword="null"/> for the defaults).</summary>
    public Document(string fileName, LoadOptions? loadOptions)
    {
        DocumentLoader.LoadFile(this, fileName, loadOptions);
    }

    /// <summary>Reads a document from the stream, detecting its format from the content.</summary>
    public Document(Stream stream) : this(stream, null)
    {
    }

    /// <summary>Reads a document from the stream with the given load options (<see langword="null"/> for the defaults).</summary>
    public Document(Stream stream, LoadOptions? loadOptions)
    {
        DocumentLoader.LoadStream(this, stream, loadOptions);
    }

    // For CopyNode: a document without sections.
    private Document(bool withoutSections)
    {
    }

    public override NodeType NodeType => NodeType.Document;

    /// <summary>The sections of the document, in order.</summary>
    public SectionCollection Sections => new(this);

    /// <summary>The first section, or <see langword="null"/> when the document has none.</summary>
    public Section? FirstSection => (Section?)FirstChild;

    /// <summary>The last section, or <see langword="null"/> when the document has none.</summary>
    public Section? LastSection => (Section?)LastChild;

    /// <summary>Whether the document holds tracked insertions or deletions.</summary>
    public bool HasRevisions => DocxRevisions.Count(this) > 0;

    /// <summary>The tracked insertions and deletions of the document.</summary>
    public RevisionCollection Revisions => new(this);

    // True when the document was loaded with a macro project that is kept for
    // saving back into a macro-enabled format.
    public bool HasMacros => MacroProject is not null;

    /// <summary>The file the document was loaded from, or <see langword="null"/> for a new or stream-loaded document.</summary>
    public string? OriginalFileName { get; internal set; }

    /// <summary>The format the document was loaded from.</summary>
    public LoadFormat OriginalLoadFormat { get; internal set; } = LoadFormat.Unknown;

    /// <summary>An estimate of the number of pages the document fills.</summary>
    public int PageCount => PageEstimator.Estimate(this).Pages;

    public string AttachedTemplate
    {
        get => attachedTemplate;
        set => attachedTemplate = value ?? throw new ArgumentNullException(nameof(value));
    }

    public bool AutomaticallyUpdateStyles { get; set; }

    public bool ShadeFormData { get; set; } = true;

    public bool TrackRevisions { get; set; }

    public bool ShowGrammaticalErrors { get; set; } = true;

    public bool ShowSpellingErrors { get; set; } = true;

    public bool SpellingChecked { get; set; }

    public bool GrammarChecked { get; set; }

    public bool PunctuationKerning { get; set; } = true;

    // In points; the .docx settings part stores it in whole twips.
    /// <summary>The interval between default tab stops, in points.</summary>
    public double DefaultTabStop
    {
        get => defaultTabStop;
        set
        {
            if (!double.IsFinite(value) || value <= 0 || value > ParagraphFormat.MaxIndent)
                throw new ArgumentOutOfRangeException(nameof(value), value,
                    $"The default tab stop must be greater than 0 and at most {ParagraphFormat.MaxIndent} points.");
            defaultTabStop = value;
        }
    }

    public bool IncludeTextboxesFootnotesEndnotesInStat { get; set; }

    public bool RemovePersonalInformation { get; set; }

    /// <summary>The standard document properties: title, author, dates and statistics.</summary>
    public Properties.BuiltInDocumentProperties BuiltInDocumentProperties { get; } = new();

    /// <summary>The user-defined document properties.</summary>
    public Properties.CustomDocumentProperties CustomDocumentProperties { get; } = new();

    // The package a loaded .docx came from: what saving starts from, so that
    // every part and element the tree does not model is written back.
    internal Formats.DocxSource? PackageSource { get; set; }

    // Styles copied in and styles and lists taken out, applied on saving.
    internal Formats.DocxStyleEdits StyleEdits { get; private set; } = new();

    // The raw macro project part of a loaded macro-enabled package.
    // The macros as the binary project they were read as.
    internal byte[]? MacroProject { get; set; }

    // Whether the package read holds building blocks, and whether they are
    // to be left out when saving.
    internal bool HasGlossaryPart { get; set; }

    internal bool DropGlossary { get; set; }

    // What UpdateWordCount last counted (or the loaded package recorded).
    internal DocumentStatistics Statistics { get; set; } = DocumentStatistics.Empty;

    /// <summary>Makes a deep copy of the document.</summary>
    public Document Clone() => (Document)Clone(true);

    /// <summary>Saves the document to the file, in the format its extension names.</summary>
    public SaveOutputParameters Save(string fileName) => DocumentSaver.SaveToFile(this, fileName, null);

    // SaveFormat.Unknown means: choose by the file name's extension.
    /// <summary>Saves the document to the file in the given format (<see cref="F:Morvax.Velto.SaveFormat.Unknown"/> chooses by the extension).</summary>
    public SaveOutputParameters Save(string fileName, SaveFormat saveFormat) =>
        DocumentSaver.SaveToFile(this, fileName,
            saveFormat == SaveFormat.Unknown ? null : SaveOptions.CreateSaveOptions(saveFormat));

    // Null options mean: choose by the file name's extension, with defaults.
    /// <summary>Saves the document to the file with the given save options (<see langword="null"/>: by the extension, with defaults).</summary>
    public SaveOutputParameters Save(string fileName, SaveOptions? saveOptions) =>
        DocumentSaver.SaveToFile(this, fileName, saveOptions);

    /// <summary>Writes the document to the stream in the given format.</summary>
    public SaveOutputParameters Save(Stream stream, SaveFormat saveFormat) =>
        DocumentSaver.SaveToStream(this, stream, SaveOptions.CreateSaveOptions(saveFormat));

    /// <summary>Writes the document to the stream with the given save options.</summary>
    public SaveOutputParameters Save(Stream stream, SaveOptions saveOptions) =>
        DocumentSaver.SaveToStream(this, stream, saveOptions ?? throw new ArgumentNullException(nameof(saveOptions)));

    /// <summary>Recounts the words, characters and paragraphs of the document, which a .docx save records.</summary>
    public void UpdateWordCount() => UpdateWordCount(false);

    // Counting lines needs the page estimate, so it is done only on request;
    // otherwise the previous line count is kept.
    /// <summary>Recounts the words, characters and paragraphs; lines too when <paramref name="updateLinesCount"/> is <see langword="true"/>.</summary>
    public void UpdateWordCount(bool updateLinesCount)
    {
        int lines = updateLinesCount ? PageEstimator.Estimate(this).Lines : Statistics.Lines;
        Statistics = DocumentStatistics.Count(this, lines);
    }

    // Every section gets a body that ends with a paragraph, and an empty
    // document gets one such section.
    /// <summary>Makes sure the document has a section whose body ends with a paragraph.</summary>
    public void EnsureMinimum()
    {
        if (!HasChildNodes)
            AppendChild(new Section(this));
        foreach (Node section in Matching(NodeType.Section, false))
            ((Section)section).EnsureMinimum();
    }

    /// <summary>Accepts every tracked insertion and deletion: inserted text stays, deleted text goes.</summary>
    public void AcceptAllRevisions() => DocxRevisions.Resolve(this, true);

    public void RemoveMacros() => MacroProject = null;

    // Fields whose result needs page layout or outside data keep the result
    // they have.
    /// <summary>Recomputes the results of the fields this library can update: dates, document properties, page counts and merge fields.</summary>
    public void UpdateFields() => Range.UpdateFields();

    /// <summary>Joins neighbouring runs of equal formatting in every paragraph; returns how many joins were made.</summary>
    public int JoinRunsWithSameFormatting()
    {
        int joined = 0;
        foreach (Node node in Matching(NodeType.Paragraph, true))
        {
            Node? current = ((Paragraph)node).FirstChild;
            while (current is not null)
            {
                if (current is Run run && run.NextSibling is Run following && run.FormattingView.HasSameFormatting(following.FormattingView)
                    && Equals(run.Revision, following.Revision))
                {
                    run.Absorb(following);
                    joined++;
                    continue;
                }
                current = current.NextSibling;
            }
        }
        return joined;
    }

    // The page estimate is computed on demand from the tree, so there is no
    // stored layout to rebuild.
    public void UpdatePageLayout()
    {
    }

    /// <summary>Removes the pages that hold no content.</summary>
    public void RemoveBlankPages() => BlankPageRemover.Remove(this);

    internal override bool CanHold(Node child) => child is Section;

    // A deep copy saves as the original would: its nodes get their own copies of the
    // originals' origins and records, and it knows which of its paragraphs the loader
    // completed sections with, so that, while still empty, they stay out of its saved file.
    internal override Node CloneInto(DocumentBase owner, bool deep)
    {
        var copy = (Document)base.CloneInto(owner, deep);
        if (deep)
            Formats.OriginCopier.CarryDocument(this, copy);
        return copy;
    }

    internal override Node CopyNode(DocumentBase owner)
    {
        var copy = new Document(true)
        {
            defaultTabStop = defaultTabStop,
            attachedTemplate = attachedTemplate,
            AutomaticallyUpdateStyles = AutomaticallyUpdateStyles,
            ShadeFormData = ShadeFormData,
            TrackRevisions = TrackRevisions,
            ShowGrammaticalErrors = ShowGrammaticalErrors,
            ShowSpellingErrors = ShowSpellingErrors,
            SpellingChecked = SpellingChecked,
            GrammarChecked = GrammarChecked,
            PunctuationKerning = PunctuationKerning,
            IncludeTextboxesFootnotesEndnotesInStat = IncludeTextboxesFootnotesEndnotesInStat,
            RemovePersonalInformation = RemovePersonalInformation,
            MacroProject = MacroProject,
            HasGlossaryPart = HasGlossaryPart,
            DropGlossary = DropGlossary,
            PackageSource = PackageSource?.ForCopy(),
            Statistics = Statistics,
            Protection = Protection,
            RemoveSchemaReferences = RemoveSchemaReferences,
            OriginalFileName = OriginalFileName,
            OriginalLoadFormat = OriginalLoadFormat,
            Compliance = Compliance,
        };
        copy.Styles.CopyFrom(Styles);
        copy.Lists.CopyFrom(Lists);
        copy.FontInfos.CopyFrom(FontInfos);
        copy.StyleEdits = StyleEdits.Copy();
        Formats.DocxNoteSettings.Copy(this, copy);
        copy.customXmlParts = customXmlParts.Clone();
        copy.packageCustomParts = packageCustomParts.Clone();
        copy.Watermark = Watermark;
        copy.ReadBibliography(Bibliography.BibliographyStyle, BibliographyStyleAsRead);
        Formats.DocxViewSettings.Copy(this, copy);
        Formats.DocxTheme.Copy(this, copy);
        copy.mailMergeSettings = Formats.DocxMailMergeSettings.Copy(mailMergeSettings);
        copy.MailMergeAsRead = MailMergeAsRead;
        copy.SignaturesAsRead = SignaturesAsRead;
        copy.FramesetAsRead = FramesetAsRead;
        copy.TaskPanesAsRead = TaskPanesAsRead;
        return copy;
    }
}
