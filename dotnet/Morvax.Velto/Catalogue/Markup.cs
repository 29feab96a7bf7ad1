// Morvax.Velto.Markup: custom XML parts, content controls and smart tags.
using System;

namespace Morvax.Velto.Markup;

// A part related to the package itself that the model does not otherwise
// read (a ribbon customization, an add-in's payload): its part name (for an
// external one, the target it points at), how the package relates to it, its
// content type and its bytes.
public sealed class CustomPart
{
    private string name = string.Empty;
    private string relationshipType = string.Empty;
    private string contentType = string.Empty;
    private byte[] data = Array.Empty<byte>();

    public CustomPart()
    {
    }

    /// <summary>The part's name in the package (such as "/payload/data.xml"), or the target of an external part.</summary>
    public string Name
    {
        get => name;
        set => name = value ?? throw new ArgumentNullException(nameof(value));
    }

    /// <summary>The type of the package's relationship to the part.</summary>
    public string RelationshipType
    {
        get => relationshipType;
        set => relationshipType = value ?? throw new ArgumentNullException(nameof(value));
    }

    /// <summary>Whether the relationship points outside the package (such a part has no content type or data).</summary>
    public bool IsExternal { get; set; }

    /// <summary>The part's content type.</summary>
    public string ContentType
    {
        get => contentType;
        set => contentType = value ?? throw new ArgumentNullException(nameof(value));
    }

    /// <summary>The part's bytes.</summary>
    public byte[] Data
    {
        get => data;
        set => data = value ?? throw new ArgumentNullException(nameof(value));
    }

    /// <summary>A copy of this part with its own copy of the data.</summary>
    public CustomPart Clone() => new()
    {
        name = name, relationshipType = relationshipType, contentType = contentType, IsExternal = IsExternal,
        data = (byte[])data.Clone(),
    };

    // Whether both describe the same part with the same content.
    internal bool SameAs(CustomPart other) =>
        name == other.name && relationshipType == other.relationshipType && IsExternal == other.IsExternal
        && (IsExternal || (contentType == other.contentType && data.AsSpan().SequenceEqual(other.data)));
}

// The package-level custom parts of a document, in package order; saving
// makes the package's parts of this kind exactly these.
public sealed class CustomPartCollection : System.Collections.Generic.IEnumerable<CustomPart>
{
    private readonly System.Collections.Generic.List<CustomPart> parts = new();

    public CustomPartCollection()
    {
    }

    /// <summary>The number of parts.</summary>
    public int Count => parts.Count;

    /// <summary>The part at <paramref name="index"/>.</summary>
    public CustomPart this[int index]
    {
        get => parts[Checked(index)];
        set => parts[Checked(index)] = value ?? throw new ArgumentNullException(nameof(value));
    }

    /// <summary>Adds <paramref name="part"/> at the end.</summary>
    public void Add(CustomPart part) => parts.Add(part ?? throw new ArgumentNullException(nameof(part)));

    /// <summary>Removes the part at <paramref name="index"/>.</summary>
    public void RemoveAt(int index) => parts.RemoveAt(Checked(index));

    /// <summary>Removes every part.</summary>
    public void Clear() => parts.Clear();

    /// <summary>A copy of the collection and of every part in it.</summary>
    public CustomPartCollection Clone()
    {
        var copy = new CustomPartCollection();
        foreach (CustomPart part in parts)
            copy.parts.Add(part.Clone());
        return copy;
    }

    /// <summary>The parts, in package order.</summary>
    public CustomPart[] ToArray() => parts.ToArray();

    public System.Collections.Generic.IEnumerator<CustomPart> GetEnumerator() => parts.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();

    private int Checked(int index) => (uint)index < (uint)parts.Count ? index
        : throw new ArgumentOutOfRangeException(nameof(index), index, $"The collection holds {parts.Count} parts.");
}

// One custom XML data store item of a package: its identifier (which
// content controls bind to) and its XML, kept as the bytes the part holds.
public sealed class CustomXmlPart
{
    private string id = string.Empty;
    private byte[] data = Array.Empty<byte>();

    public CustomXmlPart()
    {
    }

    /// <summary>The data store item's identifier, usually a GUID in braces.</summary>
    public string Id
    {
        get => id;
        set => id = value ?? throw new ArgumentNullException(nameof(value));
    }

    /// <summary>The part's XML as bytes; saving refuses bytes that are not well-formed XML.</summary>
    public byte[] Data
    {
        get => data;
        set => data = value ?? throw new ArgumentNullException(nameof(value));
    }

    /// <summary>A copy of this part with its own copy of the data.</summary>
    public CustomXmlPart Clone() => new() { id = id, data = (byte[])data.Clone() };
}

// The custom XML parts of a document, in package order; saving writes
// exactly these (an identifier and its data) to the package.
public sealed class CustomXmlPartCollection : System.Collections.Generic.IEnumerable<CustomXmlPart>
{
    private readonly System.Collections.Generic.List<CustomXmlPart> parts = new();

    public CustomXmlPartCollection()
    {
    }

    /// <summary>The number of parts.</summary>
    public int Count => parts.Count;

    /// <summary>Adds <paramref name="part"/> at the end.</summary>
    public void Add(CustomXmlPart part) => parts.Add(part ?? throw new ArgumentNullException(nameof(part)));

    /// <summary>Adds a part with identifier <paramref name="id"/> holding <paramref name="xml"/> (stored as UTF-8) and returns it.</summary>
    public CustomXmlPart Add(string id, string xml)
    {
        ArgumentNullException.ThrowIfNull(id);
        ArgumentNullException.ThrowIfNull(xml);
        var part = new CustomXmlPart { Id = id, Data = System.Text.Encoding.UTF8.GetBytes(xml) };
        parts.Add(part);
        return part;
    }

    /// <summary>The part with identifier <paramref name="id"/> (compared without case), or <see langword="null"/>.</summary>
    public CustomXmlPart? GetById(string id)
    {
        ArgumentNullException.ThrowIfNull(id);
        return parts.Find(part => string.Equals(part.Id, id, StringComparison.OrdinalIgnoreCase));
    }

    /// <summary>Removes the part at <paramref name="index"/>.</summary>
    public void RemoveAt(int index)
    {
        if ((uint)index >= (uint)parts.Count)
            throw new ArgumentOutOfRangeException(nameof(index), index, $"The collection holds {parts.Count} parts.");
        parts.RemoveAt(index);
    }

    /// <summary>Removes every part.</summary>
    public void Clear() => parts.Clear();

    /// <summary>A copy of the collection and of every part in it.</summary>
    public CustomXmlPartCollection Clone()
    {
        var copy = new CustomXmlPartCollection();
        foreach (CustomXmlPart part in parts)
            copy.parts.Add(part.Clone());
        return copy;
    }

    /// <summary>The parts, in package order.</summary>
    public CustomXmlPart[] ToArray() => parts.ToArray();

    public System.Collections.Generic.IEnumerator<CustomXmlPart> GetEnumerator() => parts.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class CustomXmlProperty
{
    private string name = string.Empty;
    private string uri = string.Empty;
    private string value = string.Empty;

    public CustomXmlProperty()
    {
    }

    public string Name
    {
        get => name;
        set => name = value ?? throw new ArgumentNullException(nameof(value));
    }

    public string Uri
    {
        get => uri;
        set => uri = value ?? throw new ArgumentNullException(nameof(value));
    }

    public string Value
    {
        get => value;
        set => this.value = value ?? throw new ArgumentNullException(nameof(value));
    }
}

public sealed class CustomXmlPropertyCollection
{
    internal CustomXmlPropertyCollection()
    {
    }
}

public sealed class CustomXmlSchemaCollection
{
    internal CustomXmlSchemaCollection()
    {
    }
}

public interface IStructuredDocumentTag
{
    int Id { get; }

    string Tag { get; set; }

    string Title { get; set; }

    SdtType SdtType { get; }

    MarkupLevel Level { get; }
}

public sealed class SdtListItem
{
    private string displayText = string.Empty;
    private string value = string.Empty;

    public SdtListItem()
    {
    }

    public string DisplayText
    {
        get => displayText;
        set => displayText = value ?? throw new ArgumentNullException(nameof(value));
    }

    public string Value
    {
        get => value;
        set => this.value = value ?? throw new ArgumentNullException(nameof(value));
    }
}

public sealed class SdtListItemCollection
{
    internal SdtListItemCollection()
    {
    }
}

public sealed class StructuredDocumentTagCollection
{
    internal StructuredDocumentTagCollection()
    {
    }
}

public sealed class XmlMapping
{
    internal XmlMapping()
    {
    }

    public string XPath { get; internal set; } = string.Empty;

    public string PrefixMappings { get; internal set; } = string.Empty;

    public bool IsMapped { get; internal set; }
}
