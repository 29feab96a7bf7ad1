// DocumentBuilder: writes content at a cursor.  The cursor is a paragraph
// plus the inline node before which text goes (null: the end of the
// paragraph).  Because the caller may change the tree behind the builder's
// back, every operation first re-checks the cursor and falls back to the end
// of the document when its paragraph is no longer part of it.
using System;

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
