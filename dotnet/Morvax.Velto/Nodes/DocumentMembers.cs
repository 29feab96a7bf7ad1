// Document's whole-document operations beyond loading and saving: appending
// another document, visiting the tree, the document-wide option objects, and
// the members that need a page layout or renderer, which this library does
// not have and which therefore refuse with NotSupportedException instead of
// pretending to succeed.
using System;
using System.Collections.Generic;
using Morvax.Velto.Comparing;
using Morvax.Velto.Fonts;
using Morvax.Velto.Formats;
using Morvax.Velto.Rendering;
using Morvax.Velto.Settings;
using Morvax.Velto.Themes;

namespace Morvax.Velto;

public sealed partial class Document
{
    private RevisionsView revisionsView = RevisionsView.Final;
    private JustificationMode justificationMode = JustificationMode.Expand;

    /// <summary>How the document is shown: view type, zoom and display flags.</summary>
    public ViewOptions ViewOptions { get; } = new();

    /// <summary>The write-protection (read-only recommendation) settings.</summary>
    public WriteProtection WriteProtection { get; } = new();

    /// <summary>The compatibility options of the document.</summary>
    public CompatibilityOptions CompatibilityOptions { get; } = new();

    /// <summary>The automatic hyphenation options of the document.</summary>
    public HyphenationOptions HyphenationOptions { get; } = new();

    /// <summary>The document's theme: its name and its heading and body fonts, as the theme part has them.</summary>
    public Theme Theme { get; } = new();

    // The theme's fonts as read, which saving compares with Theme.
    internal string[] ThemeAsRead { get; set; } = Formats.DocxTheme.Snapshot(new Theme());

    /// <summary>The document variables.</summary>
    public VariableCollection Variables { get; } = new();

    /// <summary>The font settings the document uses; <see langword="null"/> means the default instance.</summary>
    public FontSettings? FontSettings { get; set; }

    /// <summary>Whether revisions are shown as the final or the original text.</summary>
    public RevisionsView RevisionsView
    {
        get => revisionsView;
        set => revisionsView = EnumCheck.Defined(value);
    }

    /// <summary>How character spacing is adjusted for justified East Asian text.</summary>
    public JustificationMode JustificationMode
    {
        get => justificationMode;
        set => justificationMode = EnumCheck.Defined(value);
    }

    /// <summary>How the document would be laid out into pages: hidden text, paragraph marks, comments.</summary>
    public Layout.LayoutOptions LayoutOptions { get; } = new();

    /// <summary>How fields are updated: the culture, the default author and number formats.</summary>
    public Fields.FieldOptions FieldOptions { get; } = new();

    // Read from the loaded package (the namespace of its main part and the
    // compatibility mode in its settings); a document made here is written
    // without a compatibility mode, which readers take as the first edition.
    /// <summary>The edition of the Office Open XML standard the document's markup follows.</summary>
    public Saving.OoxmlCompliance Compliance { get; internal set; } = Saving.OoxmlCompliance.Ecma376_2006;

    /// <summary>How footnotes are placed and numbered throughout the document.</summary>
    public Notes.FootnoteOptions FootnoteOptions { get; } = new();

    /// <summary>How endnotes are placed and numbered throughout the document.</summary>
    public Notes.EndnoteOptions EndnoteOptions { get; } = new();

    // The note numbering as read, which saving compares with the options.
    internal DocxNoteSettings.Snapshot NotesAsRead { get; set; } = DocxNoteSettings.Snapshot.Of(new(), new());

    /// <summary>The mail merge engine's options for this document.</summary>
    public MailMerging.MailMerge MailMerge => mailMerge ??= new(this);

    private MailMerging.MailMerge? mailMerge;

    // The macros are kept as the binary project they were read as and saved
    // back unchanged; the project shown is read from those bytes once and
    // describes them without allowing changes.
    /// <summary>The document's macro project; <see langword="null"/> when it has no macros. Setting <see langword="null"/> removes them.</summary>
    public Vba.VbaProject? VbaProject
    {
        get
        {
            if (MacroProject is not { } bin)
                return null;
            if (!ReferenceEquals(readMacros.Bin, bin))
                readMacros = (bin, Formats.DocxVbaProject.Read(bin));
            return readMacros.Project;
        }
        set
        {
            if (value is not null)
                throw new NotSupportedException("Document.VbaProject cannot be set to a project: this library does not write macro projects; set it to null to remove the macros.");
            RemoveMacros();
        }
    }

    private (byte[]? Bin, Vba.VbaProject? Project) readMacros;

    // Building blocks are kept as the package part they were read from,
    // which this library does not parse into a glossary document.
    /// <summary>The document's building blocks; <see langword="null"/> when it has none. Setting <see langword="null"/> removes them.</summary>
    public BuildingBlocks.GlossaryDocument? GlossaryDocument
    {
        get => HasGlossaryPart && !DropGlossary ? throw new NotSupportedException(
            "Document.GlossaryDocument cannot show this document's building blocks: the glossary part they are kept in is not parsed by this library.") : null;
        set
        {
            if (value is not null)
                throw new NotSupportedException("Document.GlossaryDocument cannot be set to a glossary: this library does not write building blocks; set it to null to remove the document's.");
            DropGlossary = true;
        }
    }

    // Saved versions are a binary-format feature that no format this library
    // reads keeps, so a document never has any.
    /// <summary>The number of saved versions the document holds.</summary>
    public int VersionsCount => 0;

    /// <summary>Appends the sections of <paramref name="srcDoc"/> (copies of them) to the end of this document.</summary>
    public void AppendDocument(Document srcDoc, ImportFormatMode importFormatMode) =>
        AppendDocument(srcDoc, importFormatMode, new ImportFormatOptions());

    // The copies belong to this document and share nothing with the source;
    // the paragraph styles they name come along as the mode asks
    // (StyleImport).
    /// <summary>Appends copies of the sections of <paramref name="srcDoc"/> to the end of this document, importing styles by <paramref name="importFormatMode"/>.</summary>
    public void AppendDocument(Document srcDoc, ImportFormatMode importFormatMode, ImportFormatOptions importFormatOptions)
    {
        ArgumentNullException.ThrowIfNull(srcDoc);
        ArgumentNullException.ThrowIfNull(importFormatOptions);
        EnumCheck.Defined(importFormatMode);
        // Taken first, so that appending a document to itself copies it once.
        var sections = new List<Node>(srcDoc.Matching(NodeType.Section, false));
        var styles = new Formats.StyleImport(srcDoc, this, importFormatMode);
        foreach (Node section in sections)
        {
            Node copy = section.CloneInto(this, true);
            Formats.PictureImport.Carry(section, copy);
            styles.Carry(copy);
            CommentCopies.Renumber(copy);
            AppendChild(copy);
        }
    }

    /// <summary>Walks the document with <paramref name="visitor"/>; returns <see langword="false"/> when the visitor stopped the walk.</summary>
    public bool Accept(DocumentVisitor visitor)
    {
        ArgumentNullException.ThrowIfNull(visitor);
        return DocumentWalk.Walk(this, visitor) != VisitorAction.Stop;
    }

    /// <summary>Calls the visitor's document-start method only.</summary>
    public VisitorAction AcceptStart(DocumentVisitor visitor)
    {
        ArgumentNullException.ThrowIfNull(visitor);
        return visitor.VisitDocumentStart(this);
    }

    /// <summary>Calls the visitor's document-end method only.</summary>
    public VisitorAction AcceptEnd(DocumentVisitor visitor)
    {
        ArgumentNullException.ThrowIfNull(visitor);
        return visitor.VisitDocumentEnd(this);
    }

    // Tracking records text: runs added, removed or given new text (see
    // RevisionTracking).  The date is the time of each edit unless one is given.
    /// <summary>Starts recording edits to the document's text as tracked revisions by the author.</summary>
    public void StartTrackRevisions(string author) => StartTracking(author, null);

    /// <summary>Starts recording edits to the document's text as tracked revisions by the author, dated as given.</summary>
    public void StartTrackRevisions(string author, DateTime dateTime) => StartTracking(author, dateTime);

    /// <summary>Stops recording edits as revisions; the revisions recorded stay until accepted or rejected.</summary>
    public void StopTrackRevisions() => Tracking = null;

    private void StartTracking(string author, DateTime? dateTime)
    {
        ArgumentNullException.ThrowIfNull(author);
        Tracking = new RevisionTracking(author, dateTime);
    }

    /// <summary>Replaces every field by its last result, as plain text and runs.</summary>
    // Outer fields first: unlinking one drops the fields in its code with it,
    // and leaves those in its result to be unlinked in turn.
    public void UnlinkFields()
    {
        foreach (Fields.Field field in Fields.FieldScanner.In(this))
        {
            if (field.Start.IsInDocument())
                field.Unlink();
        }
    }

    // A field's type is read from its code whenever it is asked for, so the
    // two can never disagree and there is nothing to normalise.
    /// <summary>Makes every field's type agree with its code (which this library always keeps in step).</summary>
    public void NormalizeFieldTypes()
    {
    }

    /// <summary>Removes the references to external XML schemas, which saving then leaves out.</summary>
    public void RemoveExternalSchemaReferences() => RemoveSchemaReferences = true;

    // Set by RemoveExternalSchemaReferences; the settings writer drops the
    // attached schemas while it is set.
    internal bool RemoveSchemaReferences { get; private set; }

    /// <summary>Removes the unused styles and lists that the default cleanup options select.</summary>
    public void Cleanup() => Cleanup(new CleanupOptions());

    // What is unused is decided on the document as it would be saved now, so
    // that every part (headers, notes, comments, the numbering definitions)
    // counts, including markup the tree keeps without modelling it.
    /// <summary>Removes the styles and lists nothing in the document uses, as <paramref name="options"/> selects.</summary>
    public void Cleanup(CleanupOptions options)
    {
        ArgumentNullException.ThrowIfNull(options);
        if (options.DuplicateStyle)
            throw new NotSupportedException("Document.Cleanup with CleanupOptions.DuplicateStyle is not supported: this library does not compare the formatting of styles.");
        if (!options.UnusedStyles && !options.UnusedBuiltinStyles && !options.UnusedLists)
            return;
        byte[] written = DocxWriter.Write(this, new Saving.OoxmlSaveOptions());
        var dropped = new HashSet<string>(
            StyleEdits.DropUnused(written, options.UnusedStyles, options.UnusedBuiltinStyles, options.UnusedLists),
            StringComparer.OrdinalIgnoreCase);
        Styles.RemoveWhere(style => dropped.Contains(style.Name));
        Lists.RemoveWhere(list => StyleEdits.DropsList(list.ListId));
    }

    /// <summary>Copies every style of the document at <paramref name="template"/> into this one, replacing styles of the same name.</summary>
    public void CopyStylesFromTemplate(string template)
    {
        ArgumentNullException.ThrowIfNull(template);
        CopyStylesFromTemplate(new Document(template));
    }

    // The template's styles as it would be saved now; a style of the same
    // name here is replaced, keeping its identifier, so paragraphs that use
    // it take on the template's formatting.
    /// <summary>Copies every style of <paramref name="template"/> into this document, replacing styles of the same name.</summary>
    public void CopyStylesFromTemplate(Document template)
    {
        ArgumentNullException.ThrowIfNull(template);
        if (ReferenceEquals(template, this))
            return;  // every style is already its own
        StyleEdits.CopyFrom(DocxWriter.Write(template, new Saving.OoxmlSaveOptions()));
        for (int i = 0; i < template.Styles.Count; i++)
        {
            Style style = template.Styles[i];
            Styles.RemoveWhere(own => string.Equals(own.Name, style.Name, StringComparison.OrdinalIgnoreCase));
            Styles.Add(style);
        }
    }

    /// <summary>Not supported: table styles are not resolved by this library.</summary>
    public void ExpandTableStylesToDirectFormatting() =>
        throw new NotSupportedException("Document.ExpandTableStylesToDirectFormatting is not supported: table styles are not resolved by this library.");

    private static NotSupportedException NeedsLayout(string member) =>
        new($"Document.{member} needs a page layout, which this library does not compute.");

    private static NotSupportedException NeedsRenderer(string member) =>
        new($"Document.{member} needs a page renderer, which this library does not have.");

    /// <summary>Not supported: a thumbnail needs a page renderer.</summary>
    public void UpdateThumbnail() => throw NeedsRenderer(nameof(UpdateThumbnail));

    /// <summary>Not supported: a thumbnail needs a page renderer.</summary>
    public void UpdateThumbnail(ThumbnailGeneratingOptions options) => throw NeedsRenderer(nameof(UpdateThumbnail));

    /// <summary>Not supported: pages need a page layout.</summary>
    public Document ExtractPages(int index, int count) => throw NeedsLayout(nameof(ExtractPages));

    /// <summary>Not supported: pages need a page layout.</summary>
    public Document ExtractPages(PageExtractOptions options) => throw NeedsLayout(nameof(ExtractPages));

    /// <summary>Not supported: page sizes and orientation come from a page layout.</summary>
    public PageInfo GetPageInfo(int pageIndex) => throw NeedsLayout(nameof(GetPageInfo));

    /// <summary>Not supported: column widths come from a table layout.</summary>
    public void UpdateTableLayout() => throw NeedsLayout(nameof(UpdateTableLayout));

    /// <summary>Not supported: list labels are computed by a layout pass.</summary>
    public void UpdateListLabels() => throw NeedsLayout(nameof(UpdateListLabels));

    /// <summary>Not supported: reference marks are computed by a layout pass.</summary>
    public void UpdateActualReferenceMarks() => throw NeedsLayout(nameof(UpdateActualReferenceMarks));

    /// <summary>Not supported: comparing documents is not implemented.</summary>
    public void Compare(Document document, string author, DateTime dateTime) =>
        throw new NotSupportedException("Document.Compare is not implemented: this library has no document comparison.");

    /// <summary>Not supported: comparing documents is not implemented.</summary>
    public void Compare(Document document, string author, DateTime dateTime, CompareOptions options) =>
        throw new NotSupportedException("Document.Compare is not implemented: this library has no document comparison.");
}

// The depth-first walk behind Document.Accept: start and end callbacks for
// the node kinds the visitor knows, plain descent through the others.
internal static class DocumentWalk
{
    internal static VisitorAction Walk(Node node, DocumentVisitor visitor)
    {
        if (node is Run run)
            return visitor.VisitRun(run);
        VisitorAction start = node switch
        {
            Document d => visitor.VisitDocumentStart(d),
            Section s => visitor.VisitSectionStart(s),
            Body b => visitor.VisitBodyStart(b),
            Paragraph p => visitor.VisitParagraphStart(p),
            _ => VisitorAction.Continue,
        };
        if (start == VisitorAction.Stop)
            return start;
        if (start == VisitorAction.Continue && node is CompositeNode composite)
        {
            for (Node? child = composite.FirstChild; child is not null;)
            {
                // Taken before the visit, so a visitor may remove the child.
                Node? next = child.NextSibling;
                if (Walk(child, visitor) == VisitorAction.Stop)
                    return VisitorAction.Stop;
                child = next;
            }
        }
        VisitorAction end = node switch
        {
            Document d => visitor.VisitDocumentEnd(d),
            Section s => visitor.VisitSectionEnd(s),
            Body b => visitor.VisitBodyEnd(b),
            Paragraph p => visitor.VisitParagraphEnd(p),
            _ => VisitorAction.Continue,
        };
        return end == VisitorAction.Stop ? end : VisitorAction.Continue;
    }
}
