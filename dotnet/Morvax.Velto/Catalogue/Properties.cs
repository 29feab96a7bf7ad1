// Morvax.Velto.Properties: built-in and custom document properties.

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
}

public sealed class CustomDocumentProperties : DocumentPropertyCollection
{
    internal CustomDocumentProperties()
    {
    }
}

public sealed class DocumentProperty
{
    internal DocumentProperty()
    {
    }

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
}
