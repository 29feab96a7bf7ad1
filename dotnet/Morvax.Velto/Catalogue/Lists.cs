// Morvax.Velto.Lists: list definitions, list levels and list formatting.
using System;
using System.Linq;

namespace Morvax.Velto.Lists;

public sealed class List
{
    internal List(int listId, ListLevelCollection levels)
    {
        ListId = listId;
        ListLevels = levels;
    }

    public int ListId { get; internal set; }

    public bool IsMultiLevel { get; internal set; }

    public bool IsListStyleDefinition { get; internal set; }

    /// <summary>The nine levels of the list: how each is numbered and indented.</summary>
    public ListLevelCollection ListLevels { get; }

    // Where the list came from in a loaded package: the definition its levels
    // were read from, and the levels as read, which saving compares with
    // ListLevels so that an unchanged definition is written back as it was.
    // Null for a list made here.
    internal ListOrigin? Origin { get; set; }

    internal List CopyAs(int listId)
    {
        var levels = new ListLevelCollection();
        foreach (ListLevel level in ListLevels)
            levels.Add(level.Copy());
        return new List(listId, levels) { IsMultiLevel = IsMultiLevel, IsListStyleDefinition = IsListStyleDefinition };
    }
}

// The numbering definition a loaded list shares with the lists made from the
// same definition, and its levels as read.
internal sealed record ListOrigin(int DefinitionId, ListLevel.Values[] AsRead);

// The lists of a document: those its numbering defines and those added here.
public sealed class ListCollection : System.Collections.Generic.IEnumerable<List>
{
    private readonly System.Collections.Generic.List<List> items = new();
    // Lists of other documents whose paragraphs were copied into this one, and
    // the list of this document that each became.
    private readonly System.Collections.Generic.Dictionary<List, List> adopted =
        new(System.Collections.Generic.ReferenceEqualityComparer.Instance);

    internal ListCollection()
    {
    }

    public int Count => items.Count;

    public List this[int index] => items[index];

    /// <summary>The list with that identifier, or null.</summary>
    public List? GetListByListId(int listId) => items.Find(l => l.ListId == listId);

    /// <summary>Makes a new list numbered or bulleted after the template and adds it to the document.</summary>
    public List Add(ListTemplate listTemplate)
    {
        var list = new List(NextId(), ListTemplates.Levels(EnumCheck.Defined(listTemplate)))
        {
            IsMultiLevel = ListTemplates.IsOutline(listTemplate),
        };
        items.Add(list);
        return list;
    }

    internal void Add(List list) => items.Add(list);

    // The highest identifier the document's numbering uses, counting
    // instances that are no lists (their definition is missing), which a new
    // list must not reuse.
    private int highestTaken;

    internal void Reserve(int listId) => highestTaken = System.Math.Max(highestTaken, listId);

    internal void Clear()
    {
        items.Clear();
        adopted.Clear();
        highestTaken = 0;
    }

    internal void RemoveWhere(Predicate<List> unused) => items.RemoveAll(unused);

    internal bool Holds(List list) => items.Exists(l => ReferenceEquals(l, list));

    // The list of this document that stands for the given one: itself when it
    // is this document's, otherwise a copy made on first use (paragraphs
    // copied in from another document keep their numbering).
    internal List Adopt(List list)
    {
        if (Holds(list))
            return list;
        if (!adopted.TryGetValue(list, out List? own))
        {
            own = list.CopyAs(NextId());
            items.Add(own);
            adopted.Add(list, own);
        }
        return own;
    }

    // A copy of another collection's lists, identifiers and origins kept, for
    // a copy of the whole document.
    internal void CopyFrom(ListCollection other)
    {
        Clear();
        highestTaken = other.highestTaken;
        var copies = new System.Collections.Generic.Dictionary<ListLevelCollection, ListLevelCollection>(
            System.Collections.Generic.ReferenceEqualityComparer.Instance);
        foreach (List list in other.items)
        {
            // Lists that share a definition keep sharing it in the copy.
            List copy = copies.TryGetValue(list.ListLevels, out ListLevelCollection? shared)
                ? new List(list.ListId, shared) { IsMultiLevel = list.IsMultiLevel, IsListStyleDefinition = list.IsListStyleDefinition }
                : list.CopyAs(list.ListId);
            copies.TryAdd(list.ListLevels, copy.ListLevels);
            copy.Origin = list.Origin;
            items.Add(copy);
            adopted.Add(list, copy);
        }
    }

    private int NextId()
    {
        int highest = System.Math.Max(highestTaken, items.Count == 0 ? 0 : items.Max(l => l.ListId));
        return highest < int.MaxValue ? highest + 1
            : throw new InvalidOperationException("The document's lists use the highest list identifier; no new list can be numbered.");
    }

    public System.Collections.Generic.IEnumerator<List> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

// Whether a paragraph is a list item, at which level, and how that level
// is numbered.
public sealed class ListFormat
{
    internal const int MaxLevel = 8;

    private int listLevelNumber;
    // The document whose lists the paragraph may be an item of.
    private readonly DocumentBase? owner;

    internal ListFormat(DocumentBase? owner)
    {
        this.owner = owner;
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
    public ListLevel? ListLevel => List is { } list && listLevelNumber < list.ListLevels.Count ? list.ListLevels[listLevelNumber] : null;

    /// <summary>The list the paragraph is an item of, or null; setting null takes the paragraph out of its list.</summary>
    public List? List
    {
        get => IsListItem ? list : null;
        set
        {
            if (value is not null && owner is not null && !owner.Lists.Holds(value))
                throw new ArgumentException("The list belongs to another document; add a list to this document's lists first.", nameof(value));
            list = value;
            IsListItem = value is not null;
        }
    }

    private List? list;

    internal void CopyFrom(ListFormat other, ListCollection? lists = null)
    {
        (IsListItem, listLevelNumber, list) = (other.IsListItem, other.listLevelNumber, other.list);
        if (lists is not null && list is not null)
            list = lists.Adopt(list);
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
        set
        {
            ArgumentNullException.ThrowIfNull(value);
            // Refused here rather than when saving, where the markup could not hold it.
            try
            {
                System.Xml.XmlConvert.VerifyXmlChars(value);
            }
            catch (System.Xml.XmlException)
            {
                throw new ArgumentException("A number format cannot hold control characters other than tab, line feed and carriage return, nor a lone surrogate.", nameof(value));
            }
            numberFormat = value;
        }
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

    // The widest indent the numbering markup can hold, either way of the margin.
    internal const double MaxPosition = 1584;

    private double numberPosition, textPosition;

    /// <summary>Where the number or bullet starts, in points from the margin.</summary>
    public double NumberPosition
    {
        get => numberPosition;
        set => numberPosition = Position(value);
    }

    /// <summary>Where the item's text (and its wrapped lines) starts, in points from the margin.</summary>
    public double TextPosition
    {
        get => textPosition;
        set => textPosition = Position(value);
    }

    internal static bool IsPosition(double points) => points is >= -MaxPosition and <= MaxPosition;

    private static double Position(double points) => IsPosition(points)
        ? points
        : throw new ArgumentOutOfRangeException(nameof(points), points, $"A list position is between {-MaxPosition} and {MaxPosition} points.");

    // Everything saving writes of a level, to tell a changed level from one as read.
    internal readonly record struct Values(NumberStyle Style, string Format, ListLevelAlignment Alignment,
        ListTrailingCharacter Trailing, int StartAt, bool IsLegal, double NumberPosition, double TextPosition);

    internal Values Snapshot() =>
        new(numberStyle, numberFormat, alignment, trailingCharacter, StartAt, IsLegal, NumberPosition, TextPosition);

    internal ListLevel Copy() => new()
    {
        numberStyle = numberStyle, numberFormat = numberFormat, alignment = alignment, trailingCharacter = trailingCharacter,
        StartAt = StartAt, IsLegal = IsLegal, NumberPosition = NumberPosition, TextPosition = TextPosition,
    };
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

    internal void Add(ListLevel level) => items.Add(level);

    public System.Collections.Generic.IEnumerator<ListLevel> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}
