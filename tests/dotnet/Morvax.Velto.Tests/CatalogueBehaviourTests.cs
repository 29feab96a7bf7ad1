// The catalogue types that carry logic: the new node kinds and where they
// may go, the options of formats without a writer, checked option values,
// PreferredWidth, FileFormatUtil, NodeImporter, PlainTextDocument and the
// warning collection, the reporting engine's restricted types, the text shaper cache.
using System;
using System.IO;
using Morvax.Velto.Drawing;
using Morvax.Velto.Markup;
using Morvax.Velto.Saving;
using Morvax.Velto.Tables;
using Xunit;

namespace Morvax.Velto.Tests;

public class CatalogueBehaviourTests
{
    [Fact]
    public void TablesHoldRowsRowsHoldCellsCellsHoldParagraphsAndTables()
    {
        var doc = new Document();
        var table = new Table(doc);
        Assert.Throws<ArgumentException>(() => table.AppendChild(new Cell(doc)));
        var row = (Row)table.AppendChild(new Row(doc));
        Assert.Throws<ArgumentException>(() => row.AppendChild(new Paragraph(doc)));
        var cell = (Cell)row.AppendChild(new Cell(doc));
        cell.AppendChild(new Paragraph(doc));
        cell.AppendChild(new Table(doc));
        Assert.Throws<ArgumentException>(() => cell.AppendChild(new Run(doc, "x")));
        Assert.Same(table, row.ParentTable);
        Assert.Same(row, cell.ParentRow);
        Assert.Same(cell, table.Rows[0].Cells[0]);
        // Bodies hold tables; rows and cells go only where they belong.
        doc.FirstSection!.Body!.AppendChild(table);
        Assert.Throws<ArgumentException>(() => doc.FirstSection!.Body!.AppendChild(new Row(doc)));
    }

    [Fact]
    public void CellTextEndsWithTheCellMarkInsteadOfTheParagraphMark()
    {
        var doc = new Document();
        var table = new Table(doc);
        table.EnsureMinimum();
        Row row = table.FirstRow!;
        row.FirstCell!.FirstParagraph!.AppendChild(new Run(doc, "a"));
        var second = (Cell)row.AppendChild(new Cell(doc));
        second.EnsureMinimum();
        second.FirstParagraph!.AppendChild(new Run(doc, "b"));
        Assert.Equal("a\u0007b\u0007\u0007", table.GetText());
        // Only the last paragraph's mark becomes the cell mark.
        second.AppendChild(new Paragraph(doc));
        Assert.Equal("b\r\u0007", second.GetText());
        // A cell whose last child is a nested table still ends with its mark.
        var outer = new Cell(doc);
        outer.AppendChild(new Table(doc));
        Assert.Equal("\u0007", outer.GetText());
    }

    [Fact]
    public void CloningATableCopiesItsWholeSubtree()
    {
        var doc = new Document();
        var table = new Table(doc) { Alignment = TableAlignment.Center };
        table.EnsureMinimum();
        table.FirstRow!.FirstCell!.FirstParagraph!.AppendChild(new Run(doc, "x"));
        var copy = (Table)table.Clone(true);
        Assert.NotSame(table.FirstRow, copy.FirstRow);
        Assert.Equal(table.GetText(), copy.GetText());
        Assert.Equal(TableAlignment.Center, copy.Alignment);
        Assert.Null(((Table)table.Clone(false)).FirstRow);
    }

    [Fact]
    public void ShapesCheckTheirKindAndSize()
    {
        var doc = new Document();
        Assert.Throws<ArgumentOutOfRangeException>(() => new Shape(doc, ShapeType.Group));
        Assert.Throws<ArgumentOutOfRangeException>(() => new Shape(doc, ShapeType.MinValue));
        Assert.Throws<ArgumentOutOfRangeException>(() => new Shape(doc, (ShapeType)100000));
        var shape = new Shape(doc, ShapeType.TextBox) { Width = 100 };
        Assert.Throws<ArgumentOutOfRangeException>(() => shape.Width = double.NaN);
        Assert.Throws<ArgumentOutOfRangeException>(() => shape.Height = -1);
        Assert.Equal(100, shape.Width);
        var group = new GroupShape(doc);
        group.AppendChild(shape);
        Assert.Throws<ArgumentException>(() => group.AppendChild(new Paragraph(doc)));
        var copy = (GroupShape)group.Clone(true);
        Assert.Equal(100, ((Shape)copy.FirstChild!).Width);
        Assert.True(copy.IsGroup);
    }

    [Fact]
    public void ContentControlsHoldWhatTheirLevelAllows()
    {
        var doc = new Document();
        Assert.Throws<ArgumentOutOfRangeException>(() => new StructuredDocumentTag(doc, SdtType.RichText, MarkupLevel.Unknown));
        Assert.Throws<ArgumentOutOfRangeException>(() => new StructuredDocumentTag(doc, (SdtType)999, MarkupLevel.Block));
        var inline = new StructuredDocumentTag(doc, SdtType.PlainText, MarkupLevel.Inline);
        inline.AppendChild(new Run(doc, "x"));
        Assert.Throws<ArgumentException>(() => inline.AppendChild(new Paragraph(doc)));
        var block = new StructuredDocumentTag(doc, SdtType.RichText, MarkupLevel.Block);
        block.AppendChild(new Paragraph(doc));
        Assert.Throws<ArgumentException>(() => block.AppendChild(new Run(doc, "x")));
        var row = new StructuredDocumentTag(doc, SdtType.RepeatingSectionItem, MarkupLevel.Row);
        row.AppendChild(new Cell(doc));
        Assert.Throws<ArgumentNullException>(() => block.Tag = null!);
        // Identifiers stay unique, copies included.
        var copy = (StructuredDocumentTag)block.Clone(true);
        Assert.NotEqual(block.Id, copy.Id);
        Assert.NotEqual(block.Id, inline.Id);
        Assert.True(block.Id > 0);
        IStructuredDocumentTag ranged = new StructuredDocumentTagRangeStart(doc, SdtType.RichText);
        Assert.Equal(MarkupLevel.Block, ranged.Level);
    }

    [Fact]
    public void StoriesAndMarkersCheckTheirArguments()
    {
        var doc = new Document();
        Assert.Throws<ArgumentOutOfRangeException>(() => new HeaderFooter(doc, (HeaderFooterType)42));
        Assert.True(new HeaderFooter(doc, HeaderFooterType.HeaderFirst).IsHeader);
        Assert.False(new HeaderFooter(doc, HeaderFooterType.FooterPrimary).IsHeader);
        Assert.Throws<ArgumentNullException>(() => new BookmarkStart(doc, null!));
        Assert.Throws<ArgumentNullException>(() => new Comment(null!));
        var comment = new Comment(doc) { Author = "A. Author", Id = 3 };
        ((Paragraph)comment.AppendChild(new Paragraph(doc))).AppendChild(new Run(doc, "note"));
        Assert.Equal("note\r", comment.GetText());
        Assert.Single(comment.Paragraphs);
        var copy = (Comment)comment.Clone(true);
        Assert.Equal(("A. Author", 3, "note\r"), (copy.Author, copy.Id, copy.GetText()));
        // Markers have no text and go into paragraphs, not between them.
        Assert.Equal("", new BookmarkStart(doc, "b").GetText());
        doc.FirstSection!.Body!.FirstParagraph!.AppendChild(new BookmarkStart(doc, "b"));
        doc.FirstSection!.Body!.FirstParagraph!.AppendChild(new CommentRangeStart(doc, 1));
        Assert.Throws<ArgumentException>(() => doc.FirstSection!.Body!.AppendChild(new CommentRangeEnd(doc, 1)));
    }

    [Fact]
    public void OptionsOfFormatsWithoutAWriterRefuseToSaveAndLeaveNoFile()
    {
        using var scratch = new ScratchFolder();
        var doc = Support.Paragraphs("text");
        string file = scratch.File("out.pdf");
        var error = Assert.Throws<NotSupportedException>(() => doc.Save(file, new PdfSaveOptions()));
        Assert.Contains("Pdf", error.Message);
        Assert.False(File.Exists(file));
        Assert.Throws<NotSupportedException>(() => doc.Save(new MemoryStream(), new ImageSaveOptions(SaveFormat.Png)));
    }

    [Fact]
    public void OptionsAcceptOnlyTheirOwnFormats()
    {
        Assert.Throws<ArgumentException>(() => new ImageSaveOptions(SaveFormat.Docx));
        Assert.Throws<ArgumentException>(() => new PdfSaveOptions { SaveFormat = SaveFormat.Xps });
        var xps = new XpsSaveOptions { SaveFormat = SaveFormat.OpenXps };
        Assert.Equal(SaveFormat.OpenXps, xps.SaveFormat);
        Assert.Equal(SaveFormat.Odt, new OdtSaveOptions().SaveFormat);
        Assert.Equal(SaveFormat.Ott, new OdtSaveOptions(SaveFormat.Ott).SaveFormat);
        Assert.Equal(SaveFormat.Doc, new DocSaveOptions().SaveFormat);
    }

    [Fact]
    public void EnumerationPropertiesRefuseValuesNoMemberHas()
    {
        var pdf = new PdfSaveOptions();
        var error = Assert.Throws<ArgumentOutOfRangeException>(() => pdf.Compliance = (PdfCompliance)999);
        Assert.Contains("PdfCompliance", error.Message);
        Assert.Equal(PdfCompliance.Pdf17, pdf.Compliance);
        pdf.Compliance = PdfCompliance.Pdf20;
        Assert.Equal(PdfCompliance.Pdf20, pdf.Compliance);
        // Flags properties take combinations.
        var encryption = new PdfEncryptionDetails { Permissions = PdfPermissions.Printing | PdfPermissions.ContentCopy };
        Assert.Equal(20, (int)encryption.Permissions);
        Assert.Throws<ArgumentOutOfRangeException>(() => new TabStop(10, (TabAlignment)5, TabLeader.Dots));
        Assert.Throws<ArgumentNullException>(() => new Drawing.Charts.ChartTitle().Text = null!);
    }

    [Fact]
    public void PreferredWidthChecksItsRange()
    {
        Assert.Same(PreferredWidth.Auto, PreferredWidth.Auto);
        Assert.Equal(PreferredWidthType.Auto, PreferredWidth.Auto.Type);
        Assert.Equal(PreferredWidth.FromPercent(50), PreferredWidth.FromPercent(50));
        Assert.NotEqual(PreferredWidth.FromPercent(50), PreferredWidth.FromPoints(50));
        Assert.Equal("50%", PreferredWidth.FromPercent(50).ToString());
        Assert.Throws<ArgumentOutOfRangeException>(() => PreferredWidth.FromPercent(100.5));
        Assert.Throws<ArgumentOutOfRangeException>(() => PreferredWidth.FromPercent(double.NaN));
        Assert.Throws<ArgumentOutOfRangeException>(() => PreferredWidth.FromPoints(-0.5));
        Assert.Throws<ArgumentOutOfRangeException>(() => PreferredWidth.FromPoints(double.PositiveInfinity));
    }

    [Fact]
    public void FileFormatUtilMapsExtensionsAndFormats()
    {
        Assert.Equal(SaveFormat.Docx, FileFormatUtil.ExtensionToSaveFormat(".DOCX"));
        Assert.Equal(SaveFormat.Docx, FileFormatUtil.ExtensionToSaveFormat("docx"));
        Assert.Equal(SaveFormat.Unknown, FileFormatUtil.ExtensionToSaveFormat(".nope"));
        Assert.Equal(SaveFormat.Unknown, FileFormatUtil.ExtensionToSaveFormat(""));
        Assert.Throws<ArgumentNullException>(() => FileFormatUtil.ExtensionToSaveFormat(null!));
        foreach (SaveFormat format in Enum.GetValues<SaveFormat>())
        {
            if (format == SaveFormat.Unknown)
                continue;
            string extension = FileFormatUtil.SaveFormatToExtension(format);
            Assert.StartsWith(".", extension);
        }
        Assert.Throws<ArgumentException>(() => FileFormatUtil.SaveFormatToExtension(SaveFormat.Unknown));
        Assert.Throws<ArgumentOutOfRangeException>(() => FileFormatUtil.SaveFormatToExtension((SaveFormat)999));

        // Text is numbered differently in the two enumerations.
        Assert.Equal(LoadFormat.Text, FileFormatUtil.SaveFormatToLoadFormat(SaveFormat.Text));
        Assert.Equal(SaveFormat.Text, FileFormatUtil.LoadFormatToSaveFormat(LoadFormat.Text));
        Assert.Equal(LoadFormat.Docm, FileFormatUtil.SaveFormatToLoadFormat(SaveFormat.Docm));
        Assert.Throws<ArgumentException>(() => FileFormatUtil.SaveFormatToLoadFormat(SaveFormat.Png));
        Assert.Throws<ArgumentException>(() => FileFormatUtil.SaveFormatToLoadFormat(SaveFormat.Unknown));
        Assert.Throws<ArgumentException>(() => FileFormatUtil.LoadFormatToSaveFormat(LoadFormat.Auto));
        // An out-of-range number must not be parsed back as itself.
        Assert.Throws<ArgumentOutOfRangeException>(() => FileFormatUtil.SaveFormatToLoadFormat((SaveFormat)64));
    }

    [Fact]
    public void NodeImporterCopiesNodesIntoTheDestination()
    {
        Document source = Support.Paragraphs("one", "two");
        var destination = new Document();
        var importer = new NodeImporter(source, destination, ImportFormatMode.KeepSourceFormatting);
        Paragraph original = source.FirstSection!.Body!.FirstParagraph!;
        original.Runs[0].Font.Bold = true;

        var imported = (Paragraph)importer.ImportNode(original, true);
        Assert.Same(destination, imported.Document);
        Assert.Null(imported.ParentNode);
        Assert.True(imported.Runs[0].Font.Bold);
        destination.FirstSection!.Body!.AppendChild(imported);
        Assert.Equal("one", imported.Runs[0].Text);
        Assert.Equal("one\rtwo\f", source.GetText());
        Assert.Empty(((Paragraph)importer.ImportNode(original, false)).Runs);

        Assert.Throws<ArgumentException>(() => importer.ImportNode(destination.FirstSection.Body.FirstParagraph!, true));
        Assert.Throws<ArgumentException>(() => importer.ImportNode(source, true));
        Assert.Throws<ArgumentNullException>(() => importer.ImportNode(null!, true));
        Assert.Throws<ArgumentOutOfRangeException>(() => new NodeImporter(source, destination, (ImportFormatMode)7));
    }

    [Fact]
    public void PlainTextDocumentReadsWhatTheTextWriterWrites()
    {
        using var scratch = new ScratchFolder();
        Document doc = Support.Paragraphs("first", "second");
        string file = scratch.File("in.docx");
        doc.Save(file);
        Assert.Equal(Support.SaveText(doc, SaveFormat.Text), new PlainTextDocument(file).Text);
        Assert.Throws<FileNotFoundException>(() => new PlainTextDocument(scratch.File("missing.docx")));
    }

    [Fact]
    public void WarningInfoCollectionKeepsWarningsInOrder()
    {
        var warnings = new WarningInfoCollection();
        IWarningCallback callback = warnings;
        callback.Warning(new WarningInfo(WarningType.FontSubstitution, WarningSource.Font, "a"));
        callback.Warning(new WarningInfo(WarningType.Hint, WarningSource.Layout, "b"));
        Assert.Equal(2, warnings.Count);
        Assert.Equal("b", warnings[1].Description);
        Assert.Throws<ArgumentOutOfRangeException>(() => warnings[2]);
        Assert.Throws<ArgumentOutOfRangeException>(() => warnings[-1]);
        Assert.Throws<ArgumentNullException>(() => warnings.Warning(null!));
        warnings.Clear();
        Assert.Equal(0, warnings.Count);
    }

    [Fact]
    public void RestrictedTypesAreCopiedInAndOutAndRefuseNull()
    {
        try
        {
            Assert.Empty(Reporting.ReportingEngine.GetRestrictedTypes());
            var types = new[] { typeof(Environment), typeof(File) };
            Reporting.ReportingEngine.SetRestrictedTypes(types);
            types[0] = typeof(string);
            var got = Reporting.ReportingEngine.GetRestrictedTypes();
            Assert.Equal(new[] { typeof(Environment), typeof(File) }, got);
            got[1] = typeof(string);
            Assert.Equal(typeof(File), Reporting.ReportingEngine.GetRestrictedTypes()[1]);
            Assert.Throws<ArgumentException>(() => Reporting.ReportingEngine.SetRestrictedTypes(typeof(File), null!));
            Assert.Throws<ArgumentNullException>(() => Reporting.ReportingEngine.SetRestrictedTypes(null!));
            Assert.Equal(2, Reporting.ReportingEngine.GetRestrictedTypes().Length);  // a refused call changes nothing
        }
        finally
        {
            Reporting.ReportingEngine.SetRestrictedTypes();
        }
    }

    [Fact]
    public void ShaperCacheKeepsOneShaperPerFontAndReleasesThemOnDispose()
    {
        var cache = new Shaping.BasicTextShaperCache();
        var made = new System.Collections.Generic.List<CountingShaper>();
        Shaping.ITextShaper Make()
        {
            var shaper = new CountingShaper();
            made.Add(shaper);
            return shaper;
        }
        Assert.Same(cache.GetShaper("a", Make), cache.GetShaper("a", Make));
        cache.GetShaper("b", Make);
        Assert.Equal(2, cache.CachedShaperCount);
        cache.Dispose();
        Assert.Equal(0, cache.CachedShaperCount);
        Assert.All(made, shaper => Assert.Equal(1, shaper.Disposals));
        cache.Dispose();
        Assert.Equal(2, cache.DisposeCount);
        Assert.All(made, shaper => Assert.Equal(1, shaper.Disposals));
    }

    private sealed class CountingShaper : Shaping.ITextShaper
    {
        public int Disposals { get; private set; }

        public void Dispose() => Disposals++;
    }
}
