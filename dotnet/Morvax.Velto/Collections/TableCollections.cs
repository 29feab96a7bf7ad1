// Typed views of the tables, rows and cells under a node.
namespace Morvax.Velto.Tables;

public sealed class TableCollection : NodeCollection
{
    internal TableCollection(CompositeNode container) : base(container, NodeType.Table, false)
    {
    }

    public new Table this[int index] => (Table)base[index];
}

public sealed class RowCollection : NodeCollection
{
    internal RowCollection(Table container) : base(container, NodeType.Row, false)
    {
    }

    public new Row this[int index] => (Row)base[index];
}

public sealed class CellCollection : NodeCollection
{
    internal CellCollection(Row container) : base(container, NodeType.Cell, false)
    {
    }

    public new Cell this[int index] => (Cell)base[index];
}
