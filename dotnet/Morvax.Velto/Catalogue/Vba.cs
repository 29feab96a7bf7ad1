// Morvax.Velto.Vba: the macro project of a document.
using System;

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

    public VbaModule()
    {
    }

    public string? Name { get; set; }

    public string? SourceCode { get; set; }

    public VbaModuleType Type
    {
        get => type;
        set => type = EnumCheck.Defined(value);
    }
}

// The modules of a VBA project.
public sealed class VbaModuleCollection : System.Collections.Generic.IEnumerable<VbaModule>
{
    private readonly System.Collections.Generic.List<VbaModule> items = new();

    internal VbaModuleCollection()
    {
    }

    public int Count => items.Count;

    public VbaModule this[int index] => items[index];

    public void Add(VbaModule item) => items.Add(item ?? throw new System.ArgumentNullException(nameof(item)));

    public bool Remove(VbaModule item) => items.Remove(item);

    /// <summary>The module of that name (case-insensitive), or null.</summary>
    public VbaModule? this[string name] =>
        items.Find(m => string.Equals(m.Name, name, System.StringComparison.OrdinalIgnoreCase));

    public System.Collections.Generic.IEnumerator<VbaModule> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class VbaProject
{
    private string name = "Project";

    public VbaProject()
    {
    }

    public string Name
    {
        get => name;
        set => name = value ?? throw new ArgumentNullException(nameof(value));
    }

    public int CodePage { get; set; } = 1252;

    public bool IsSigned { get; internal set; }

    public bool IsProtected { get; internal set; }
}

public sealed class VbaReference
{
    internal VbaReference()
    {
    }

    public string LibId { get; internal set; } = string.Empty;

    public VbaReferenceType Type { get; internal set; } = VbaReferenceType.Registered;
}

// The references of a VBA project.
public sealed class VbaReferenceCollection : System.Collections.Generic.IEnumerable<VbaReference>
{
    private readonly System.Collections.Generic.List<VbaReference> items = new();

    internal VbaReferenceCollection()
    {
    }

    public int Count => items.Count;

    public VbaReference this[int index] => items[index];

    public bool Remove(VbaReference item) => items.Remove(item);

    public void RemoveAt(int index) => items.RemoveAt(index);

    public System.Collections.Generic.IEnumerator<VbaReference> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}
