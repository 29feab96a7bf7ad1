// Morvax.Velto.Bibliography: the bibliography sources of a document and their
// contributors.

using System;

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

// One person; a contributor made of people is a PersonCollection.
public sealed class Person
{
    public Person()
    {
    }

    public string? Last { get; set; }

    public string? First { get; set; }

    public string? Middle { get; set; }
}

// The people of a contributor (authors, editors), in order.
public sealed class PersonCollection : Contributor, System.Collections.Generic.IEnumerable<Person>
{
    private readonly System.Collections.Generic.List<Person> people = new();

    public PersonCollection()
    {
    }

    public int Count => people.Count;

    public Person this[int index]
    {
        get => people[index];
        set => people[index] = value ?? throw new ArgumentNullException(nameof(value));
    }

    public void Add(Person person) => people.Add(person ?? throw new ArgumentNullException(nameof(person)));

    public bool Remove(Person person) => people.Remove(person);

    public void RemoveAt(int index) => people.RemoveAt(index);

    public void Clear() => people.Clear();

    public bool Contains(Person person) => people.Contains(person);

    public System.Collections.Generic.IEnumerator<Person> GetEnumerator() => people.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class Source
{
    private SourceType sourceType = SourceType.Book;

    /// <summary>A new source known by tag (the name citations use) of the given kind.</summary>
    public Source(string tag, SourceType sourceType)
    {
        Tag = tag ?? throw new ArgumentNullException(nameof(tag));
        SourceType = sourceType;
    }

    public string Tag { get; }

    public string? Title { get; set; }

    public SourceType SourceType
    {
        get => sourceType;
        set => sourceType = EnumCheck.Defined(value);
    }
}
