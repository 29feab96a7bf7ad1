// Morvax.Velto.Lists: list definitions, list levels and list formatting.
using System;

namespace Morvax.Velto.Lists;

public sealed class List
{
    internal List()
    {
    }

    public int ListId { get; internal set; }

    public bool IsMultiLevel { get; internal set; }

    public bool IsListStyleDefinition { get; internal set; }
}

public sealed class ListCollection
{
    internal ListCollection()
    {
    }
}

public sealed class ListFormat
{
    internal ListFormat()
    {
    }

    public bool IsListItem { get; internal set; }

    public int ListLevelNumber { get; internal set; }
}

public sealed class ListLabel
{
    internal ListLabel()
    {
    }

    public string LabelString { get; internal set; } = string.Empty;

    public int LabelValue { get; internal set; }
}

public sealed class ListLevel
{
    private NumberStyle numberStyle = NumberStyle.Arabic;
    private string numberFormat = string.Empty;
    private ListLevelAlignment alignment = ListLevelAlignment.Left;
    private ListTrailingCharacter trailingCharacter = ListTrailingCharacter.Tab;

    internal ListLevel()
    {
    }

    public NumberStyle NumberStyle
    {
        get => numberStyle;
        set => numberStyle = EnumCheck.Defined(value);
    }

    public string NumberFormat
    {
        get => numberFormat;
        set => numberFormat = value ?? throw new ArgumentNullException(nameof(value));
    }

    public ListLevelAlignment Alignment
    {
        get => alignment;
        set => alignment = EnumCheck.Defined(value);
    }

    public ListTrailingCharacter TrailingCharacter
    {
        get => trailingCharacter;
        set => trailingCharacter = EnumCheck.Defined(value);
    }

    public int StartAt { get; set; } = 1;

    public bool IsLegal { get; set; }
}

public sealed class ListLevelCollection
{
    internal ListLevelCollection()
    {
    }
}
