// The binding model: what the generator emits for each class of the library, read from
// its public surface by reflection.
using System.Reflection;

namespace Morvax.Generator;

// ValueKind and what each kind means: ValueKinds.cs.
public sealed record ValueType_(ValueKind Kind, ClassModel? Class, Type NetType, EnumModel? Enum = null, ElementModel? Element = null);

public sealed record ParameterModel(string NetName, string PythonName, ValueType_ Type);

/// <summary>One entry point of an interop class, in slot order.</summary>
public sealed record EntryModel(string Name, int Slot);

public enum OverloadKind { Constructor, Instance, Static }

public sealed class OverloadModel
{
    public required OverloadKind Kind { get; init; }
    public required MethodBase Member { get; init; }
    public required EntryModel Entry { get; init; }
    public required IReadOnlyList<ParameterModel> Parameters { get; init; }
    public required ValueType_ Result { get; init; }
    /// <summary>The library's documentation summary of this overload, if it has one.</summary>
    public string? Summary { get; init; }
    /// <summary>A keyed indexer's getter (this[string], this[BorderType]): called by subscript in C#.</summary>
    public bool IsKeyedIndexer => Member.IsSpecialName && Member.Name == "get_Item";
}

public sealed class MethodModel
{
    public required string NetName { get; init; }
    public required string PythonName { get; init; }
    public List<OverloadModel> Overloads { get; } = new();
    public bool IsStatic => Overloads.All(o => o.Kind == OverloadKind.Static);
    public bool IsMixed => Overloads.Any(o => o.Kind == OverloadKind.Static) && Overloads.Any(o => o.Kind == OverloadKind.Instance);
}

public sealed class PropertyModel
{
    public required string NetName { get; init; }
    public required string PythonName { get; init; }
    public required ValueType_ Type { get; init; }
    public required EntryModel Getter { get; init; }
    public EntryModel? Setter { get; init; }
    public bool IsStatic { get; init; }
    public bool IsField { get; init; }
    /// <summary>The static setter method's Python name ("set_callback").</summary>
    public string? SetterName { get; init; }
    public string? Summary { get; init; }
    public bool IsReadOnly => Setter == null;
}

/// <summary>An integer indexer this[int]: the element it gives and its sequence entry points.</summary>
public sealed record IndexerModel(ValueType_ Element, EntryModel Getter, EntryModel? Setter);

/// <summary>
/// How a class is iterated: through the typed enumerable of its IEnumerable&lt;T&gt; element, through
/// the non-generic enumerable (pairs of a keyed collection, or no generic interface), or not at all.
/// </summary>
public enum IterationKind { None, Typed, Untyped }

public sealed class ClassModel
{
    public required Type NetType { get; init; }
    public required string Id { get; init; }
    public string Namespace => NetType.Namespace!;
    public string SimpleName => NetType.Name;
    public string FullName => NetType.FullName!;
    public string Module => NameRules.ModuleOf(Namespace);
    public string PythonName => Module + "." + SimpleName;
    public string InteropName => NameRules.InteropClassName(Namespace, SimpleName, Id);
    public string CppName => FullName.Replace('.', '_');
    public ClassModel? Base { get; set; }
    /// <summary>The library's interfaces the class implements, by full name: its instances stand for them.</summary>
    public List<ClassModel> Interfaces { get; } = new();
    /// <summary>For an interface: the classes that implement it, by full name.</summary>
    public List<ClassModel> Implementers { get; } = new();
    /// <summary>Whether the .NET type is disposable: its Python class is then a context manager.</summary>
    public bool IsDisposable => typeof(IDisposable).IsAssignableFrom(NetType);
    public bool IsStaticClass => NetType.IsAbstract && NetType.IsSealed && !NetType.IsInterface;
    public MethodModel? Constructors { get; set; }
    public List<MethodModel> Methods { get; } = new();
    public List<PropertyModel> Properties { get; } = new();
    public List<PropertyModel> Statics { get; } = new();
    public List<EntryModel> Entries { get; } = new();
    public EntryModel? TypeOf { get; set; }
    public string? Summary { get; set; }
    /// <summary>The class's own integer indexer, if it declares one.</summary>
    public IndexerModel? Indexer { get; set; }
    public IterationKind Iteration { get; set; }
    /// <summary>For typed iteration: the enumerable's element, whose enumerator type walks it.</summary>
    public ElementModel? IterationElement { get; set; }
    /// <summary>For typed iteration: the element as a value, for the annotations.</summary>
    public ValueType_? IterationType { get; set; }

    public EntryModel AddEntry(string name)
    {
        var entry = new EntryModel(name, Entries.Count);
        Entries.Add(entry);
        return entry;
    }
}

/// <summary>A .NET enumeration, bound as an IntEnum or IntFlag class.</summary>
public sealed class EnumModel
{
    /// <summary>The entry points of every enumeration's interop class, in slot order.</summary>
    public static readonly string[] Entries =
        { "btp_TypeOf", "btp_CastTo", "btp_ReInterpretObj", "btp_AsUniEnum", "btp_CastAs", "btp_IsAssignable", "btp_GetType" };

    public required Type NetType { get; init; }
    public required string Id { get; init; }
    public required bool IsFlags { get; init; }
    public required IReadOnlyList<(string Name, int Value)> Members { get; init; }
    public string? Summary { get; init; }
    public string Namespace => NetType.Namespace!;
    public string SimpleName => NetType.Name;
    public string FullName => NetType.FullName!;
    public string Module => NameRules.ModuleOf(Namespace);
    public string PythonName => Module + "." + SimpleName;
    public string InteropName => NameRules.InteropClassName(Namespace, SimpleName, Id);
    public string CppName => FullName.Replace('.', '_');
}

/// <summary>What was left out and why, for the build-time summary.</summary>
public sealed class Tally
{
    public SortedDictionary<string, int> Emitted { get; } = new(StringComparer.Ordinal);
    public SortedDictionary<string, int> Deferred { get; } = new(StringComparer.Ordinal);
    public void Emit(string kind) => Emitted[kind] = Emitted.GetValueOrDefault(kind) + 1;
    public void Defer(string reason) => Deferred[reason] = Deferred.GetValueOrDefault(reason) + 1;
}
