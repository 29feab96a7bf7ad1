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

    /// <summary>The value: a string, int, double, bool or DateTime, by the property's type.</summary>
    public object? Value { get; set; }

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

public abstract class DocumentPropertyCollection
{
    private protected DocumentPropertyCollection()
    {
    }

    private protected List<DocumentProperty> Items { get; } = new();

    internal IReadOnlyList<DocumentProperty> All => Items;

    public int Count => Items.Count;

    /// <summary>The property of that name (case-insensitive), or null.</summary>
    public DocumentProperty? Get(string name) =>
        Items.Find(p => string.Equals(p.Name, name, StringComparison.OrdinalIgnoreCase));

    public bool Contains(string name) => Get(name) != null;

    public void Remove(string name) =>
        Items.RemoveAll(p => string.Equals(p.Name, name, StringComparison.OrdinalIgnoreCase));

    public void Clear() => Items.Clear();
}
