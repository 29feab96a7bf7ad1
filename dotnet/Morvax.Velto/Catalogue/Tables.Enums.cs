// The enumerations of Morvax.Velto.Tables.
using System;

namespace Morvax.Velto.Tables;

public enum AutoFitBehavior
{
    AutoFitToContents = 0,
    AutoFitToWindow = 1,
    FixedColumnWidths = 2,
}

public enum CellMerge
{
    None = 0,
    First = 1,
    Previous = 2,
}

public enum CellVerticalAlignment
{
    Top = 0,
    Center = 1,
    Bottom = 2,
}

public enum PreferredWidthType
{
    Auto = 1,
    Percent = 2,
    Points = 3,
}

public enum TableAlignment
{
    Left = 0,
    Center = 1,
    Right = 2,
}

// Which parts of a table its conditional styles apply to; Default and
// Default2003 are the combinations the word processors start new tables with.
[Flags]
public enum TableStyleOptions
{
    None = 0,
    FirstRow = 32,
    LastRow = 64,
    FirstColumn = 128,
    LastColumn = 256,
    RowBands = 512,
    ColumnBands = 1024,
    Default2003 = 1536,
    Default = 672,
}

public enum TextWrapping
{
    None = 0,
    Around = 1,
    Default = None,
}
