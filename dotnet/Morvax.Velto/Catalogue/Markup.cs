// Morvax.Velto.Markup: custom XML parts, content controls and smart tags.
using System;

namespace Morvax.Velto.Markup;

public sealed class CustomPart
{
    private string name = string.Empty;
    private string relationshipType = string.Empty;
    private string contentType = string.Empty;

    public CustomPart()
    {
    }

    public string Name
    {
        get => name;
        set => name = value ?? throw new ArgumentNullException(nameof(value));
    }

    public string RelationshipType
    {
        get => relationshipType;
        set => relationshipType = value ?? throw new ArgumentNullException(nameof(value));
    }

    public bool IsExternal { get; set; }

    public string ContentType
    {
        get => contentType;
        set => contentType = value ?? throw new ArgumentNullException(nameof(value));
    }

    public byte[] Data { get; set; } = Array.Empty<byte>();
}

public sealed class CustomPartCollection
{
    public CustomPartCollection()
    {
    }
}

public sealed class CustomXmlPart
{
    private string id = string.Empty;

    public CustomXmlPart()
    {
    }

    public string Id
    {
        get => id;
        set => id = value ?? throw new ArgumentNullException(nameof(value));
    }

    public byte[] Data { get; set; } = Array.Empty<byte>();
}

public sealed class CustomXmlPartCollection
{
    public CustomXmlPartCollection()
    {
    }
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
