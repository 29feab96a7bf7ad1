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

// The list definitions of a document. Numbering definitions stay in the document's markup and are not
// read into lists by this library, so a collection starts empty.
public sealed class ListCollection : System.Collections.Generic.IEnumerable<List>
{
    private readonly System.Collections.Generic.List<List> items = new();

    internal ListCollection()
    {
    }

    public int Count => items.Count;

    public List this[int index] => items[index];

    /// <summary>The list with that identifier, or null.</summary>
    public List? GetListByListId(int listId) => items.Find(l => l.ListId == listId);

    public System.Collections.Generic.IEnumerator<List> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

// Whether a paragraph is a list item, at which level, and how that level
// is numbered.
public sealed class ListFormat
{
    internal const int MaxLevel = 8;

    private int listLevelNumber;

    internal ListFormat()
    {
    }

    public bool IsListItem { get; internal set; }

    // 0 to 8; a list item's label and indent follow its level.
    public int ListLevelNumber
    {
        get => listLevelNumber;
        set => listLevelNumber = value is >= 0 and <= MaxLevel
            ? value
            : throw new ArgumentOutOfRangeException(nameof(value), value, $"A list level is between 0 and {MaxLevel}.");
    }

    // The numbering of the item's level; null for a paragraph that is no list item.
    public ListLevel? ListLevel => Levels is { } levels && listLevelNumber < levels.Length ? levels[listLevelNumber] : null;

    // The list's levels as the document's numbering defines them.
    internal ListLevel[]? Levels { get; set; }

    internal void CopyFrom(ListFormat other)
    {
        (IsListItem, listLevelNumber, Levels) = (other.IsListItem, other.listLevelNumber, other.Levels);
    }
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

// The nine levels of a list.
public sealed class ListLevelCollection : System.Collections.Generic.IEnumerable<ListLevel>
{
    private readonly System.Collections.Generic.List<ListLevel> items = new();

    internal ListLevelCollection()
    {
    }

    public int Count => items.Count;

    public ListLevel this[int index]
    {
        get => items[index];
        set => items[index] = value ?? throw new System.ArgumentNullException(nameof(value));
    }

    public System.Collections.Generic.IEnumerator<ListLevel> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}
