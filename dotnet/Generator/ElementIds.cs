// The element types of the typed containers with their fixed eight-digit identifiers, kept
// in the checked-in table element-ids.txt: the identifier names every typed adapter and
// typed interop class over the element, so it must never change once given. A container
// type of the library's surface whose element has no identifier stops the build.
using System.Globalization;
using System.Reflection;

namespace Morvax.Generator;

/// <summary>How an element crosses: which converter writes it and which builder reads it.</summary>
public enum ElementFamily { Class, Enum, Int32, Double, Bool, DateTime, String, Object, Type, Stream, Array }

/// <summary>The typed containers over one element type.</summary>
[Flags]
public enum Instantiations
{
    None = 0,
    Array = 1, ArrayArgument = 2, ListInterface = 4, List = 8, ListArgument = 16, Iterable = 32,
    EnumerableArgument = 64, Iterator = 128,
}

public sealed record ElementModel(string Id, string Name, Type NetType, ElementFamily Family, Instantiations Uses)
{
    /// <summary>1 + its position in the table (the generated element table has the same order).</summary>
    public int Number { get; init; }

    /// <summary>The element's C# type name.</summary>
    public string CSharpName => NetType.IsArray ? $"global::{NetType.GetElementType()!.FullName}[]" : $"global::{NetType.FullName}";
    public bool Has(Instantiations use) => (Uses & use) != 0;
}

public sealed class ElementIds
{
    private static readonly Dictionary<string, Instantiations> Words = new(StringComparer.Ordinal)
    {
        ["array"] = Instantiations.Array, ["array-arg"] = Instantiations.ArrayArgument,
        ["list-interface"] = Instantiations.ListInterface, ["list"] = Instantiations.List,
        ["list-arg"] = Instantiations.ListArgument, ["iterable"] = Instantiations.Iterable,
        ["enumerable-arg"] = Instantiations.EnumerableArgument, ["iterator"] = Instantiations.Iterator,
    };

    private readonly Dictionary<Type, ElementModel> _byType = new();
    public List<ElementModel> Elements { get; } = new();
    public SortedSet<string> Missing { get; } = new(StringComparer.Ordinal);

    public ElementIds(string path, Assembly library)
    {
        var ids = new HashSet<string>(StringComparer.Ordinal);
        foreach (var raw in File.ReadAllLines(path))
        {
            var line = raw.Trim();
            if (line.Length == 0 || line.StartsWith('#')) continue;
            var fields = line.Split((char[]?)null, StringSplitOptions.RemoveEmptyEntries);
            if (fields.Length < 3 || fields[0].Length != 8 || !uint.TryParse(fields[0], NumberStyles.HexNumber, null, out _)
                || fields[0] != fields[0].ToUpperInvariant())
                throw new FormatException($"{path}: bad line '{raw}' (expected '<8 upper-case hex digits> <element> <instantiations>')");
            if (!ids.Add(fields[0])) throw new FormatException($"{path}: identifier {fields[0]} is given twice");
            var type = Resolve(fields[1], library) ?? throw new FormatException($"{path}: no type {fields[1]}");
            var uses = Instantiations.None;
            foreach (var word in fields.Skip(2))
                uses |= Words.TryGetValue(word, out var use) ? use : throw new FormatException($"{path}: unknown instantiation '{word}'");
            var element = new ElementModel(fields[0], fields[1], type, FamilyOf(type), uses) { Number = Elements.Count + 1 };
            if (!_byType.TryAdd(type, element)) throw new FormatException($"{path}: {fields[1]} is listed twice");
            Elements.Add(element);
        }
    }

    private static Type? Resolve(string name, Assembly library)
    {
        if (name.EndsWith("[]", StringComparison.Ordinal)) return Resolve(name[..^2], library)?.MakeArrayType();
        return library.GetType(name) ?? typeof(object).Assembly.GetType(name) ?? Type.GetType(name);
    }

    private static ElementFamily FamilyOf(Type type) =>
        type == typeof(int) ? ElementFamily.Int32
        : type == typeof(double) ? ElementFamily.Double
        : type == typeof(bool) ? ElementFamily.Bool
        : type == typeof(DateTime) ? ElementFamily.DateTime
        : type == typeof(string) ? ElementFamily.String
        : type == typeof(object) ? ElementFamily.Object
        : type == typeof(Type) ? ElementFamily.Type
        : type == typeof(Stream) ? ElementFamily.Stream
        : type.IsArray ? ElementFamily.Array
        : type.IsEnum ? ElementFamily.Enum
        : ElementFamily.Class;

    /// <summary>The element's record, or null; nothing is noted.</summary>
    public ElementModel? Find(Type element) => _byType.GetValueOrDefault(element);

    /// <summary>The element's record; a type without one is noted as missing (the build then stops).</summary>
    public ElementModel? Require(Type element)
    {
        if (_byType.TryGetValue(element, out var model)) return model;
        Missing.Add(element.IsArray ? element.GetElementType()!.FullName + "[]" : element.FullName ?? element.Name);
        return null;
    }

    /// <summary>The element type of a typed container of the surface (arrays but byte[], and the generic collection interfaces).</summary>
    public static Type? ElementOf(Type container)
    {
        if (container.IsArray) return container == typeof(byte[]) ? null : container.GetElementType();
        if (!container.IsGenericType) return null;
        var definition = container.GetGenericTypeDefinition();
        return definition == typeof(IEnumerable<>) || definition == typeof(IEnumerator<>) || definition == typeof(IList<>)
               || definition == typeof(ICollection<>) || definition == typeof(List<>) || definition == typeof(IReadOnlyList<>)
               || definition == typeof(IReadOnlyCollection<>)
            ? container.GetGenericArguments()[0] : null;
    }
}
