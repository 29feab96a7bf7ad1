// Morvax.Velto.Bibliography: the bibliography sources of a document and their
// contributors.

namespace Morvax.Velto.Bibliography;

public sealed class Bibliography
{
    internal Bibliography()
    {
    }

    public string? BibliographyStyle { get; set; }
}

// Someone who contributed to a bibliography source: a person, a list of
// people, or a corporate author.
public abstract class Contributor
{
    private protected Contributor()
    {
    }
}

public sealed class ContributorCollection
{
    public ContributorCollection()
    {
    }
}

public sealed class Corporate : Contributor
{
    public Corporate()
    {
    }

    public string? Name { get; set; }
}

public sealed class Person : Contributor
{
    public Person()
    {
    }

    public string? Last { get; set; }

    public string? First { get; set; }

    public string? Middle { get; set; }
}

public sealed class PersonCollection : Contributor
{
    public PersonCollection()
    {
    }
}

public sealed class Source
{
    private SourceType sourceType = SourceType.Book;

    internal Source()
    {
    }

    public string Tag { get; internal set; } = string.Empty;

    public string? Title { get; set; }

    public SourceType SourceType
    {
        get => sourceType;
        set => sourceType = EnumCheck.Defined(value);
    }
}
