// Morvax.Velto.Properties: built-in and custom document properties.

using System;
using System.Collections.Generic;
using System.Globalization;

namespace Morvax.Velto.Properties;

public sealed class BuiltInDocumentProperties : DocumentPropertyCollection
{
    internal BuiltInDocumentProperties()
    {
    }

    // Each named property as a DocumentProperty that reads and writes it.
    private protected override IReadOnlyList<DocumentProperty> Current() => new[]
    {
        Named("Title", PropertyType.String, () => Title, v => Title = (string?)v),
        Named("Subject", PropertyType.String, () => Subject, v => Subject = (string?)v),
        Named("Author", PropertyType.String, () => Author, v => Author = (string?)v),
        Named("Keywords", PropertyType.String, () => Keywords, v => Keywords = (string?)v),
        Named("Comments", PropertyType.String, () => Comments, v => Comments = (string?)v),
        Named("Category", PropertyType.String, () => Category, v => Category = (string?)v),
        Named("Company", PropertyType.String, () => Company, v => Company = (string?)v),
        Named("Manager", PropertyType.String, () => Manager, v => Manager = (string?)v),
        Named("LastSavedBy", PropertyType.String, () => LastSavedBy, v => LastSavedBy = (string?)v),
        Named("RevisionNumber", PropertyType.Number, () => RevisionNumber, v => RevisionNumber = Convert.ToInt32(v, CultureInfo.InvariantCulture)),
        Named("Pages", PropertyType.Number, () => Pages, v => Pages = Convert.ToInt32(v, CultureInfo.InvariantCulture)),
        Named("Words", PropertyType.Number, () => Words, v => Words = Convert.ToInt32(v, CultureInfo.InvariantCulture)),
        Named("Characters", PropertyType.Number, () => Characters, v => Characters = Convert.ToInt32(v, CultureInfo.InvariantCulture)),
        Named("CreatedTime", PropertyType.DateTime, () => CreatedTime, v => CreatedTime = Convert.ToDateTime(v, CultureInfo.InvariantCulture)),
        Named("LastSavedTime", PropertyType.DateTime, () => LastSavedTime, v => LastSavedTime = Convert.ToDateTime(v, CultureInfo.InvariantCulture)),
        Named("LastPrinted", PropertyType.DateTime, () => LastPrinted, v => LastPrinted = Convert.ToDateTime(v, CultureInfo.InvariantCulture)),
    };

    private static DocumentProperty Named(string name, PropertyType type, Func<object?> read, Action<object?> write) =>
        new() { Name = name, Type = type, Read = read, Write = write };

    /// <summary>Not supported: the built-in properties are fixed; clear a value by setting it instead.</summary>
    public override void Clear() =>
        throw new NotSupportedException("BuiltInDocumentProperties.Clear is not supported: built-in properties cannot be removed.");

    public string? Author { get; set; }

    public string? Title { get; set; }

    public string? Subject { get; set; }

    public string? Keywords { get; set; }

    public string? Comments { get; set; }

    public string? Company { get; set; }

    public string? Manager { get; set; }

    public string? Category { get; set; }

    public string? LastSavedBy { get; set; }

    public int RevisionNumber { get; set; }

    public int Pages { get; set; }

    public int Words { get; set; }

    public int Characters { get; set; }

    public DocumentSecurity Security { get; set; } = DocumentSecurity.None;

    /// <summary>When the document was created: the moment the Document object was made, in UTC.</summary>
    public DateTime CreatedTime { get; set; } = DateTime.UtcNow;

    public DateTime LastSavedTime { get; set; }

    public DateTime LastPrinted { get; set; }
}

public sealed class CustomDocumentProperties : DocumentPropertyCollection
{
    internal CustomDocumentProperties()
    {
    }

    public DocumentProperty Add(string name, string value) => Store(name, value, PropertyType.String);

    public DocumentProperty Add(string name, int value) => Store(name, value, PropertyType.Number);

    public DocumentProperty Add(string name, DateTime value) => Store(name, value, PropertyType.DateTime);

    public DocumentProperty Add(string name, bool value) => Store(name, value, PropertyType.Boolean);

    public DocumentProperty Add(string name, double value) => Store(name, value, PropertyType.Double);

    private DocumentProperty Store(string name, object value, PropertyType type)
    {
        if (string.IsNullOrEmpty(name)) throw new ArgumentException("A custom property needs a name.", nameof(name));
        var property = new DocumentProperty { Name = name, Type = type, Value = value };
        Items.RemoveAll(p => string.Equals(p.Name, name, StringComparison.OrdinalIgnoreCase));
        Items.Add(property);
        return property;
    }
}

public sealed class DocumentProperty
{
    internal DocumentProperty()
    {
    }

    private object? value;

    /// <summary>The value: a string, int, double, bool or DateTime, by the property's type.</summary>
    public object? Value
    {
        get => Read is not null ? Read() : value;
        set
        {
            if (Write is not null)
                Write(value);
            else
                this.value = value;
        }
    }

    // A built-in property reads and writes the named property of its collection.
    internal Func<object?>? Read { get; init; }

    internal Action<object?>? Write { get; init; }

    public override string ToString() => Convert.ToString(Value, CultureInfo.InvariantCulture) ?? string.Empty;

    public DateTime ToDateTime() => Value is DateTime time ? time : throw new InvalidCastException($"The property '{Name}' is not a date.");

    public int ToInt() => Convert.ToInt32(Value, CultureInfo.InvariantCulture);

    public double ToDouble() => Convert.ToDouble(Value, CultureInfo.InvariantCulture);

    public bool ToBool() => Convert.ToBoolean(Value, CultureInfo.InvariantCulture);

    public string Name { get; internal set; } = string.Empty;

    public PropertyType Type { get; internal set; } = PropertyType.String;

    public string? LinkSource { get; internal set; }

    public bool IsLinkToContent { get; internal set; }
}

public abstract class DocumentPropertyCollection : IEnumerable<DocumentProperty>
{
    private protected DocumentPropertyCollection()
    {
    }

    private protected List<DocumentProperty> Items { get; } = new();

    internal IReadOnlyList<DocumentProperty> All => Items;

    public int Count => Current().Count;

    public DocumentProperty this[int index] => Current()[index];

    /// <summary>The property of that name (case-insensitive), or null.</summary>
    public DocumentProperty? this[string name] => Get(name);

    /// <summary>The property of that name (case-insensitive), or null.</summary>
    public DocumentProperty? Get(string name)
    {
        foreach (DocumentProperty property in Current())
        {
            if (string.Equals(property.Name, name, StringComparison.OrdinalIgnoreCase))
                return property;
        }
        return null;
    }

    public bool Contains(string name) => Get(name) != null;

    public void Remove(string name) =>
        Items.RemoveAll(p => string.Equals(p.Name, name, StringComparison.OrdinalIgnoreCase));

    public void RemoveAt(int index) => Items.RemoveAt(index);

    public virtual void Clear() => Items.Clear();

    public IEnumerator<DocumentProperty> GetEnumerator() => Current().GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();

    // What the collection holds now: its stored items (custom), or a view of named properties (built-in).
    private protected virtual IReadOnlyList<DocumentProperty> Current() => Items;
}
