// Morvax.Velto.Vba: the macro project of a document.  A project read from a
// document describes the macros kept with it; it refuses changes, because the
// macros are saved back as they were read.
using System;
using System.Collections.Generic;

namespace Morvax.Velto.Vba;

public sealed class VbaExecutableAttribute
{
    public VbaExecutableAttribute()
    {
    }
}

public sealed class VbaModule
{
    private VbaModuleType type = VbaModuleType.ProceduralModule;
    private string? name;
    private string? sourceCode;
    private readonly bool isRead;

    public VbaModule()
    {
    }

    internal VbaModule(string name, string sourceCode, VbaModuleType type)
    {
        this.name = name;
        this.sourceCode = sourceCode;
        this.type = type;
        isRead = true;
    }

    public string? Name
    {
        get => name;
        set => name = Changeable(nameof(Name), value);
    }

    /// <summary>The module's source text, attribute lines included.</summary>
    public string? SourceCode
    {
        get => sourceCode;
        set => sourceCode = Changeable(nameof(SourceCode), value);
    }

    public VbaModuleType Type
    {
        get => type;
        set => type = Changeable(nameof(Type), EnumCheck.Defined(value));
    }

    private T Changeable<T>(string member, T value) => isRead ? throw VbaProject.ReadOnly("VbaModule." + member) : value;
}

// The modules of a VBA project.
public sealed class VbaModuleCollection : IEnumerable<VbaModule>
{
    private readonly List<VbaModule> items = new();

    internal VbaModuleCollection()
    {
    }

    internal bool IsRead { get; set; }

    public int Count => items.Count;

    public VbaModule this[int index] => items[index];

    public void Add(VbaModule item)
    {
        ArgumentNullException.ThrowIfNull(item);
        if (IsRead)
            throw VbaProject.ReadOnly("VbaModuleCollection.Add");
        items.Add(item);
    }

    public bool Remove(VbaModule item) => IsRead ? throw VbaProject.ReadOnly("VbaModuleCollection.Remove") : items.Remove(item);

    internal void AddRead(VbaModule item) => items.Add(item);

    /// <summary>The module of that name (case-insensitive), or null.</summary>
    public VbaModule? this[string name] =>
        items.Find(m => string.Equals(m.Name, name, StringComparison.OrdinalIgnoreCase));

    public IEnumerator<VbaModule> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class VbaProject
{
    private string name = "Project";
    private int codePage = 1252;
    private bool isRead;

    public VbaProject()
    {
    }

    public string Name
    {
        get => name;
        set
        {
            ArgumentNullException.ThrowIfNull(value);
            name = isRead ? throw ReadOnly("VbaProject.Name") : value;
        }
    }

    public int CodePage
    {
        get => codePage;
        set => codePage = isRead ? throw ReadOnly("VbaProject.CodePage") : value;
    }

    public bool IsSigned { get; internal set; }

    public bool IsProtected { get; internal set; }

    /// <summary>The project's modules: its code, in the order the project lists them.</summary>
    public VbaModuleCollection Modules { get; } = new();

    /// <summary>The type libraries and projects the project refers to.</summary>
    public VbaReferenceCollection References { get; } = new();

    internal void SetName(string value) => name = value;

    internal void SetCodePage(int value) => codePage = value;

    // From now on the project is a description of the macros kept with a document.
    internal void MarkRead()
    {
        isRead = true;
        Modules.IsRead = true;
        References.IsRead = true;
    }

    internal static NotSupportedException ReadOnly(string member) => Formats.ReadOnlyContent.Refused(member, "a macro project");
}

public sealed class VbaReference
{
    internal VbaReference()
    {
    }

    internal VbaReference(VbaReferenceType type, string libId)
    {
        Type = type;
        LibId = libId;
    }

    /// <summary>The reference's identifier, as the project stores it.</summary>
    public string LibId { get; internal set; } = string.Empty;

    public VbaReferenceType Type { get; internal set; } = VbaReferenceType.Registered;
}

// The references of a VBA project.
public sealed class VbaReferenceCollection : IEnumerable<VbaReference>
{
    private readonly List<VbaReference> items = new();

    internal VbaReferenceCollection()
    {
    }

    internal bool IsRead { get; set; }

    public int Count => items.Count;

    public VbaReference this[int index] => items[index];

    public bool Remove(VbaReference item) => IsRead ? throw VbaProject.ReadOnly("VbaReferenceCollection.Remove") : items.Remove(item);

    public void RemoveAt(int index)
    {
        if (IsRead)
            throw VbaProject.ReadOnly("VbaReferenceCollection.RemoveAt");
        items.RemoveAt(index);
    }

    internal void AddRead(VbaReference item) => items.Add(item);

    public IEnumerator<VbaReference> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}
