// Table, Row and Cell: a table holds rows, a row holds cells, a cell holds
// paragraphs and nested tables.  Their text follows the word processor's
// convention: each cell ends with the cell mark, and so does each row.
using System.Text;

namespace Morvax.Velto.Tables;

public sealed class Table : CompositeNode
{
    private TableAlignment alignment = TableAlignment.Left;

    public Table(DocumentBase doc) : base(doc)
    {
    }

    public override NodeType NodeType => NodeType.Table;

    public RowCollection Rows => new(this);

    public Row? FirstRow => (Row?)GetChild(NodeType.Row, 0, false);

    public Row? LastRow => (Row?)GetChild(NodeType.Row, -1, false);

    public TableAlignment Alignment
    {
        get => alignment;
        set => alignment = EnumCheck.Defined(value);
    }

    // The table must have a row, the rows a cell, the cells a paragraph:
    // that is the least a table can be saved as.
    public void EnsureMinimum()
    {
        if (FirstRow is null)
            AppendChild(new Row(Document));
        foreach (Node row in Matching(NodeType.Row, false))
            ((Row)row).EnsureMinimum();
    }

    internal override bool CanHold(Node child) => child is Row or KeptBlock;

    internal override Node CopyNode(DocumentBase owner) => new Table(owner) { alignment = alignment };
}

public sealed class Row : CompositeNode
{
    public Row(DocumentBase doc) : base(doc)
    {
    }

    public override NodeType NodeType => NodeType.Row;

    public CellCollection Cells => new(this);

    public RowFormat RowFormat { get; } = new();

    public Cell? FirstCell => (Cell?)GetChild(NodeType.Cell, 0, false);

    public Cell? LastCell => (Cell?)GetChild(NodeType.Cell, -1, false);

    public Table? ParentTable => parent as Table;

    public bool IsFirstRow => parent is not null && ReferenceEquals(parent.FirstChild, this);

    public bool IsLastRow => parent is not null && ReferenceEquals(parent.LastChild, this);

    public void EnsureMinimum()
    {
        if (FirstCell is null)
            AppendChild(new Cell(Document));
        foreach (Node cell in Matching(NodeType.Cell, false))
            ((Cell)cell).EnsureMinimum();
    }

    internal override bool CanHold(Node child) => child is Cell or KeptBlock;

    internal override void AppendText(StringBuilder text)
    {
        base.AppendText(text);
        text.Append(ControlChar.CellChar);
    }

    internal override Node CopyNode(DocumentBase owner)
    {
        var copy = new Row(owner);
        copy.RowFormat.CopyFrom(RowFormat);
        return copy;
    }
}

public sealed class Cell : CompositeNode
{
    public Cell(DocumentBase doc) : base(doc)
    {
    }

    public override NodeType NodeType => NodeType.Cell;

    public Paragraph? FirstParagraph => (Paragraph?)GetChild(NodeType.Paragraph, 0, false);

    public Paragraph? LastParagraph => (Paragraph?)GetChild(NodeType.Paragraph, -1, false);

    public Row? ParentRow => parent as Row;

    public CellFormat CellFormat { get; } = new();

    public bool IsFirstCell => parent is not null && ReferenceEquals(parent.FirstChild, this);

    public bool IsLastCell => parent is not null && ReferenceEquals(parent.LastChild, this);

    // A cell must end with a paragraph: its mark is the cell mark.
    public void EnsureMinimum()
    {
        if (LastChild is not Paragraph)
            AppendChild(new Paragraph(Document));
    }

    internal override bool CanHold(Node child) => child is Paragraph or Table or KeptBlock;

    // The last paragraph's mark is the cell mark, not a paragraph break.
    internal override void AppendText(StringBuilder text)
    {
        base.AppendText(text);
        if (LastChild is Paragraph && text.Length > 0 && text[^1] == ControlChar.ParagraphBreakChar)
            text[^1] = ControlChar.CellChar;
        else
            text.Append(ControlChar.CellChar);
    }

    internal override Node CopyNode(DocumentBase owner)
    {
        var copy = new Cell(owner);
        copy.CellFormat.CopyFrom(CellFormat);
        return copy;
    }
}
