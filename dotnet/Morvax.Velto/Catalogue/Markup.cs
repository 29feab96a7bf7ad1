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

    /// <summary>The part at <paramref name="index"/>.</summary>
    public CustomXmlPart this[int index]
    {
        get => parts[index];
        set => parts[index] = value ?? throw new ArgumentNullException(nameof(value));
    }

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

// The attributes of a custom XML element, by name.
public sealed class CustomXmlPropertyCollection : System.Collections.Generic.IEnumerable<CustomXmlProperty>
{
    private readonly System.Collections.Generic.List<CustomXmlProperty> items = new();

    internal CustomXmlPropertyCollection()
    {
    }

    public int Count => items.Count;

    public CustomXmlProperty this[int index] => items[index];

    public void Add(CustomXmlProperty item) => items.Add(item ?? throw new System.ArgumentNullException(nameof(item)));

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    /// <summary>The property of that name, or null.</summary>
    public CustomXmlProperty? this[string name] => items.Find(p => p.Name == name);

    public bool Contains(string name) => IndexOfKey(name) >= 0;

    public int IndexOfKey(string name) => items.FindIndex(p => p.Name == name);

    public void Remove(string name) => items.RemoveAll(p => p.Name == name);

    public System.Collections.Generic.IEnumerator<CustomXmlProperty> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

// The XML schemas (by namespace URI) a custom XML part is associated with.
public sealed class CustomXmlSchemaCollection : System.Collections.Generic.IEnumerable<string>
{
    private readonly System.Collections.Generic.List<string> items = new();

    internal CustomXmlSchemaCollection()
    {
    }

    public int Count => items.Count;

    public string this[int index]
    {
        get => items[index];
        set => items[index] = value ?? throw new System.ArgumentNullException(nameof(value));
    }

    public void Add(string item) => items.Add(item ?? throw new System.ArgumentNullException(nameof(item)));

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    public void Remove(string name) => items.Remove(name);

    public bool Contains(string value) => items.Contains(value);

    public int IndexOf(string value) => items.IndexOf(value);

    public System.Collections.Generic.IEnumerator<string> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
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

// The items of a combo box or drop-down list content control.
public sealed class SdtListItemCollection : System.Collections.Generic.IEnumerable<SdtListItem>
{
    private readonly System.Collections.Generic.List<SdtListItem> items = new();

    internal SdtListItemCollection()
    {
    }

    public int Count => items.Count;

    public SdtListItem this[int index] => items[index];

    public void Add(SdtListItem item) => items.Add(item ?? throw new System.ArgumentNullException(nameof(item)));

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    public System.Collections.Generic.IEnumerator<SdtListItem> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

// The structured document tags below a node (block, inline and ranged ones),
// found afresh in the node tree on every use.
public sealed class StructuredDocumentTagCollection : System.Collections.Generic.IEnumerable<IStructuredDocumentTag>
{
    private readonly NodeView<IStructuredDocumentTag> view;

    internal StructuredDocumentTagCollection(Node root)
    {
        view = new NodeView<IStructuredDocumentTag>(root, NodeType.Any, node => node as IStructuredDocumentTag);
    }

    public int Count => view.Count;

    public IStructuredDocumentTag this[int index] => view[index];

    /// <summary>The tag with that identifier, or null.</summary>
    public IStructuredDocumentTag? GetById(int id) => System.Linq.Enumerable.FirstOrDefault(view.Items(), t => t.Id == id);

    /// <summary>The first tag with that title, or null.</summary>
    public IStructuredDocumentTag? GetByTitle(string title) =>
        System.Linq.Enumerable.FirstOrDefault(view.Items(), t => t.Title == title);

    /// <summary>The first tag with that tag text, or null.</summary>
    public IStructuredDocumentTag? GetByTag(string tag) => System.Linq.Enumerable.FirstOrDefault(view.Items(), t => t.Tag == tag);

    /// <summary>Removes the tag with that identifier and its content.</summary>
    public void Remove(int id) => RemoveTag(GetById(id) ?? throw new ArgumentException($"There is no tag with identifier {id}.", nameof(id)));

    public void RemoveAt(int index) => RemoveTag(this[index]);

    public System.Collections.Generic.IEnumerator<IStructuredDocumentTag> GetEnumerator() => view.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();

    private static void RemoveTag(IStructuredDocumentTag tag) => ((Node)tag).Remove();
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
