// DocumentBuilder: writes content at a cursor.  The cursor is a paragraph
// plus the inline node before which text goes (null: the end of the
// paragraph).  Because the caller may change the tree behind the builder's
// back, every operation first re-checks the cursor and falls back to the end
// of the document when its paragraph is no longer part of it.
using System;
using System.Collections.Generic;
using Morvax.Velto.Fields;
using Morvax.Velto.Notes;
using Morvax.Velto.Tables;

namespace Morvax.Velto;

/// <summary>Writes content into a document at a cursor: text, paragraphs and breaks, with the current formatting.</summary>
public sealed class DocumentBuilder
{
    private Document document;
    private Paragraph paragraph;
    private Node? cursor;

    /// <summary>Creates a builder over a new blank document.</summary>
    public DocumentBuilder() : this(new Document(), null)
    {
    }

    public DocumentBuilder(DocumentBuilderOptions? options) : this(new Document(), options)
    {
    }

    /// <summary>Creates a builder whose cursor is at the start of the document.</summary>
    public DocumentBuilder(Document doc) : this(doc, null)
    {
    }

    // Null options mean the defaults.
    public DocumentBuilder(Document doc, DocumentBuilderOptions? options)
    {
        ArgumentNullException.ThrowIfNull(doc);
        Options = options ?? new DocumentBuilderOptions();
        document = doc;
        paragraph = StartOf(doc);
        cursor = paragraph.FirstChild;
    }

    /// <summary>The document the builder writes into.</summary>
    public Document Document
    {
        get => document;
        set
        {
            ArgumentNullException.ThrowIfNull(value);
            document = value;
            MoveToDocumentStart();
        }
    }

    // The builder's own formatting, copied onto every run it writes; moving
    // the cursor does not change it.
    /// <summary>The character formatting of the text written next.</summary>
    public Font Font { get; } = new();

    // The formatting of the paragraph at the cursor.
    /// <summary>The formatting of the current paragraph.</summary>
    public ParagraphFormat ParagraphFormat => CurrentParagraph.ParagraphFormat;

    /// <summary>The paragraph the cursor is in.</summary>
    public Paragraph CurrentParagraph
    {
        get
        {
            CheckCursor();
            return paragraph;
        }
    }

    public Node? CurrentNode
    {
        get
        {
            CheckCursor();
            return cursor;
        }
    }

    public bool IsAtStartOfParagraph => ReferenceEquals(CurrentNode, paragraph.FirstChild);

    public bool IsAtEndOfParagraph => CurrentNode is null;

    // CR, LF and CR LF end the paragraph, as typing Enter does; every other
    // character (line, page and column breaks included) goes into the run.
    /// <summary>Writes the text at the cursor with the current font.</summary>
    public void Write(string text)
    {
        ArgumentNullException.ThrowIfNull(text);
        CheckCursor();
        int start = 0;
        for (int i = 0; i < text.Length; i++)
        {
            char c = text[i];
            if (c != '\r' && c != '\n')
                continue;
            WriteRun(text[start..i]);
            InsertParagraph();
            if (c == '\r' && i + 1 < text.Length && text[i + 1] == '\n')
                i++;
            start = i + 1;
        }
        WriteRun(text[start..]);
    }

    /// <summary>Writes the text, then ends the paragraph.</summary>
    public void Writeln(string text)
    {
        Write(text);
        InsertParagraph();
    }

    /// <summary>Ends the current paragraph.</summary>
    public void Writeln() => InsertParagraph();

    // Ends the paragraph at the cursor.  The content before the cursor moves
    // into a new paragraph (with the same formatting) inserted before the
    // current one, which is returned; the cursor stays where it was.
    /// <summary>Ends the current paragraph and starts a new one with the same formatting; returns the paragraph that was ended.</summary>
    public Paragraph InsertParagraph()
    {
        CheckCursor();
        var ended = new Paragraph(document);
        ended.ParagraphFormat.CopyFrom(paragraph.ParagraphFormat);
        paragraph.ParentNode!.InsertBefore(ended, paragraph);
        while (paragraph.FirstChild is { } child && !ReferenceEquals(child, cursor))
            ended.AppendChild(child);
        return ended;
    }

    /// <summary>Inserts a break of the given kind: a paragraph, line, page or section break.</summary>
    public void InsertBreak(BreakType breakType)
    {
        switch (breakType)
        {
            case BreakType.ParagraphBreak:
                InsertParagraph();
                break;
            case BreakType.LineBreak:
                Write(ControlChar.LineBreak);
                break;
            case BreakType.PageBreak:
                Write(ControlChar.PageBreak);
                break;
            case BreakType.ColumnBreak:
                Write(ControlChar.ColumnBreak);
                break;
            case BreakType.SectionBreakContinuous:
                InsertSectionBreak(SectionStart.Continuous);
                break;
            case BreakType.SectionBreakNewColumn:
                InsertSectionBreak(SectionStart.NewColumn);
                break;
            case BreakType.SectionBreakNewPage:
                InsertSectionBreak(SectionStart.NewPage);
                break;
            case BreakType.SectionBreakEvenPage:
                InsertSectionBreak(SectionStart.EvenPage);
                break;
            case BreakType.SectionBreakOddPage:
                InsertSectionBreak(SectionStart.OddPage);
                break;
            default:
                throw new ArgumentOutOfRangeException(nameof(breakType), breakType, "Not a BreakType value.");
        }
    }

    /// <summary>Moves the cursor to the node: before an inline node, or to the start of a paragraph.</summary>
    public void MoveTo(Node node)
    {
        ArgumentNullException.ThrowIfNull(node);
        if (!ReferenceEquals(node.Document, document) || !node.IsInDocument())
            throw new ArgumentException("DocumentBuilder.MoveTo: the node is not in the builder's document.", nameof(node));
        (paragraph, cursor) = node switch
        {
            Paragraph at => (at, at.FirstChild),
            { ParentNode: Paragraph at } => (at, node),
            _ => throw new ArgumentException(
                $"DocumentBuilder.MoveTo: the cursor can only be put in a paragraph, not at a {node.NodeType} node.", nameof(node)),
        };
    }

    /// <summary>Moves the cursor to the start of the document.</summary>
    public void MoveToDocumentStart()
    {
        paragraph = StartOf(document);
        cursor = paragraph.FirstChild;
    }

    /// <summary>Moves the cursor to the end of the document.</summary>
    public void MoveToDocumentEnd()
    {
        if (document.LastSection is null)
            document.EnsureMinimum();
        Section last = document.LastSection!;
        last.EnsureMinimum();
        paragraph = last.Body!.LastParagraph!;
        cursor = null;
    }

    internal DocumentBuilderOptions Options { get; }

    // The tables being built, innermost last: each with its open row and
    // the paragraph the cursor returns to when the table ends.
    private readonly Stack<(Table Table, Row? Row, Paragraph After)> tables = new();

    /// <summary>The formatting given to each cell <see cref="InsertCell"/> makes.</summary>
    public CellFormat CellFormat { get; } = new();

    /// <summary>The formatting given to each row <see cref="EndRow"/> ends.</summary>
    public RowFormat RowFormat { get; } = new();

    // The table goes before the paragraph at the cursor; content before the
    // cursor stays in a paragraph of its own above the table.
    /// <summary>Starts a table at the cursor; cells follow with <see cref="InsertCell"/>.</summary>
    public Table StartTable()
    {
        CheckCursor();
        if (!IsAtStartOfParagraph)
            InsertParagraph();
        var table = new Table(document);
        paragraph.ParentNode!.InsertBefore(table, paragraph);
        tables.Push((table, null, paragraph));
        return table;
    }

    /// <summary>Adds a cell to the current row (starting a row when none is open) and moves the cursor into it.</summary>
    public Cell InsertCell()
    {
        (Table table, Row? row, Paragraph after) = OpenTable(nameof(InsertCell));
        if (row is null)
        {
            row = (Row)table.AppendChild(new Row(document));
            tables.Pop();
            tables.Push((table, row, after));
        }
        var cell = (Cell)row.AppendChild(new Cell(document));
        cell.CellFormat.CopyFrom(CellFormat);
        paragraph = (Paragraph)cell.AppendChild(new Paragraph(document));
        cursor = null;
        return cell;
    }

    /// <summary>Ends the current row of the table being built, giving it <see cref="RowFormat"/>.</summary>
    public Row EndRow()
    {
        (Table table, Row? row, Paragraph after) = OpenTable(nameof(EndRow));
        if (row is null)
            throw new InvalidOperationException("DocumentBuilder.EndRow: no row is open; insert a cell first.");
        row.RowFormat.CopyFrom(RowFormat);
        tables.Pop();
        tables.Push((table, null, after));
        return row;
    }

    /// <summary>Ends the table being built and moves the cursor to the paragraph after it.</summary>
    public Table EndTable()
    {
        (Table table, Row? row, Paragraph after) = OpenTable(nameof(EndTable));
        if (row is not null)
            throw new InvalidOperationException("DocumentBuilder.EndTable: a row is still open; end it with EndRow first.");
        tables.Pop();
        table.EnsureMinimum();
        paragraph = after.IsInDocument() ? after : paragraph;
        cursor = paragraph.FirstChild;
        return table;
    }

    private (Table Table, Row? Row, Paragraph After) OpenTable(string member)
    {
        while (tables.Count > 0 && !tables.Peek().Table.IsInDocument())
            tables.Pop();
        if (tables.Count == 0)
            throw new InvalidOperationException($"DocumentBuilder.{member}: no table is being built; call StartTable first.");
        return tables.Peek();
    }

    /// <summary>Marks the start of a bookmark at the cursor.</summary>
    public BookmarkStart StartBookmark(string bookmarkName)
    {
        CheckName(bookmarkName, nameof(bookmarkName));
        return (BookmarkStart)InsertNode(new BookmarkStart(document, bookmarkName));
    }

    /// <summary>Marks the end of a bookmark at the cursor.</summary>
    public BookmarkEnd EndBookmark(string bookmarkName)
    {
        CheckName(bookmarkName, nameof(bookmarkName));
        return (BookmarkEnd)InsertNode(new BookmarkEnd(document, bookmarkName));
    }

    private static void CheckName(string name, string parameter)
    {
        ArgumentNullException.ThrowIfNull(name, parameter);
        if (name.Length == 0)
            throw new ArgumentException("A bookmark needs a name.", parameter);
    }

    /// <summary>Moves the cursor just after the start of the bookmark; returns <see langword="false"/> when the document has no such bookmark.</summary>
    public bool MoveToBookmark(string bookmarkName) => MoveToBookmark(bookmarkName, true, true);

    /// <summary>Moves the cursor before or after the start or the end of the bookmark; returns <see langword="false"/> when there is no such bookmark.</summary>
    public bool MoveToBookmark(string bookmarkName, bool isStart, bool isAfter)
    {
        ArgumentNullException.ThrowIfNull(bookmarkName);
        NodeType kind = isStart ? NodeType.BookmarkStart : NodeType.BookmarkEnd;
        foreach (Node node in document.Matching(kind, true))
        {
            string name = node is BookmarkStart start ? start.Name : ((BookmarkEnd)node).Name;
            if (!name.Equals(bookmarkName, StringComparison.OrdinalIgnoreCase) || node.ParentNode is not Paragraph at)
                continue;
            paragraph = at;
            cursor = isAfter ? node.NextSibling : node;
            return true;
        }
        return false;
    }

    // A header or footer the section lacks is made, with a paragraph.
    /// <summary>Moves the cursor to the start of the current section's header or footer of the given kind, creating it when missing.</summary>
    public void MoveToHeaderFooter(HeaderFooterType headerFooterType)
    {
        EnumCheck.Defined(headerFooterType);
        Section section = CurrentParagraph.ParentSection ?? FindSection();
        HeaderFooter? story = null;
        foreach (Node node in section.Matching(NodeType.HeaderFooter, false))
        {
            if (((HeaderFooter)node).HeaderFooterType == headerFooterType)
                story = (HeaderFooter)node;
        }
        story ??= (HeaderFooter)section.AppendChild(new HeaderFooter(document, headerFooterType));
        paragraph = story.FirstParagraph ?? (Paragraph)story.AppendChild(new Paragraph(document));
        cursor = paragraph.FirstChild;
    }

    // The section holding the cursor when it is in a table, header or note.
    private Section FindSection()
    {
        for (Node? node = paragraph; node is not null; node = node.ParentNode)
        {
            if (node is Section section)
                return section;
        }
        MoveToDocumentEnd();
        return paragraph.ParentSection!;
    }

    /// <summary>Inserts the node at the cursor: an inline node, or a comment or footnote; returns it.</summary>
    public Node InsertNode(Node node)
    {
        ArgumentNullException.ThrowIfNull(node);
        CheckCursor();
        paragraph.InsertBefore(node, cursor);
        return node;
    }

    /// <summary>Inserts a field with the code, its result computed where this library can.</summary>
    public Field InsertField(string fieldCode) => InsertField(fieldCode, null);

    // A result computed here where the library knows how (dates, document
    // properties, page counts, merge fields); a page number is "1",
    // which word processors recompute on display.  A table of contents
    // needs page layout, which this library does not do.
    /// <summary>Inserts a field with the code and result text (computed where this library can when <paramref name="fieldValue"/> is <see langword="null"/>).</summary>
    public Field InsertField(string fieldCode, string? fieldValue)
    {
        ArgumentNullException.ThrowIfNull(fieldCode);
        FieldType type = FieldCodes.TypeOf(fieldCode);
        if (type is FieldType.FieldNone)
            throw new ArgumentException("A field needs a code.", nameof(fieldCode));
        if (type is FieldType.FieldTOC)
            throw new NotSupportedException("DocumentBuilder.InsertField cannot insert a TOC field: a table of contents needs page layout.");
        string result = fieldValue ?? (type == FieldType.FieldPage ? "1" : FieldResults.Compute(document, type, fieldCode))
            ?? string.Empty;
        return InsertFieldNodes(type, fieldCode.Trim(), result);
    }

    /// <summary>Inserts a link to the address (or to the bookmark of that name), shown as the text.</summary>
    public Field InsertHyperlink(string displayText, string urlOrBookmark, bool isBookmark)
    {
        ArgumentNullException.ThrowIfNull(displayText);
        ArgumentNullException.ThrowIfNull(urlOrBookmark);
        string target = urlOrBookmark.Replace("\"", "\\\"", StringComparison.Ordinal);
        string code = isBookmark ? $"HYPERLINK \\l \"{target}\"" : $"HYPERLINK \"{target}\"";
        return InsertFieldNodes(FieldType.FieldHyperlink, code, displayText);
    }

    private Field InsertFieldNodes(FieldType type, string code, string result)
    {
        CheckCursor();
        Field field = FieldTypes.Create(type);
        field.start = (FieldStart)InsertMark(new FieldStart(document, type));
        InsertNode(NewRun(code));
        field.separator = (FieldSeparator)InsertMark(new FieldSeparator(document, type));
        if (result.Length > 0)
            InsertNode(NewRun(result));
        field.end = (FieldEnd)InsertMark(new FieldEnd(document, type));
        return field;
    }

    private Node InsertMark(FieldChar mark)
    {
        mark.Font.CopyFrom(Font);
        return InsertNode(mark);
    }

    private Run NewRun(string text)
    {
        var run = new Run(document, text);
        run.Font.CopyFrom(Font);
        return run;
    }

    /// <summary>Inserts a footnote or endnote at the cursor holding one paragraph of the text.</summary>
    public Footnote InsertFootnote(FootnoteType footnoteType, string footnoteText)
    {
        ArgumentNullException.ThrowIfNull(footnoteText);
        var note = new Footnote(document, footnoteType);
        var text = (Paragraph)note.AppendChild(new Paragraph(document));
        if (footnoteText.Length > 0)
            text.AppendChild(new Run(document, footnoteText));
        return (Footnote)InsertNode(note);
    }

    // The first paragraph of the main text, creating the minimum document
    // when there is none.
    private static Paragraph StartOf(Document doc)
    {
        foreach (Node node in doc.MatchingInMainText(NodeType.Paragraph))
            return (Paragraph)node;
        doc.EnsureMinimum();
        return doc.FirstSection!.Body!.FirstParagraph!;
    }

    private void CheckCursor()
    {
        if (!ReferenceEquals(paragraph.Document, document) || !paragraph.IsInDocument())
            MoveToDocumentEnd();
        else if (cursor is not null && !ReferenceEquals(cursor.ParentNode, paragraph))
            cursor = null;
    }

    private void WriteRun(string text)
    {
        if (text.Length == 0)
            return;
        var run = new Run(document, text);
        run.Font.CopyFrom(Font);
        paragraph.InsertBefore(run, cursor);
    }

    // Splits the section at the cursor: the paragraph at the cursor and all
    // that follows it move into a new section, which starts as asked.
    private void InsertSectionBreak(SectionStart start)
    {
        InsertParagraph();
        Section current = paragraph.ParentSection!;
        var next = new Section(document) { Start = start };
        document.InsertAfter(next, current);
        var body = (Body)next.AppendChild(new Body(document));
        for (Node? node = paragraph; node is not null;)
        {
            Node? following = node.NextSibling;
            body.AppendChild(node);
            node = following;
        }
    }
}
