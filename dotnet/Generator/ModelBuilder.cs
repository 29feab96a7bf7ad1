// Reads the library's public surface into the binding model.
using System.Reflection;

namespace Morvax.Generator;

public sealed class ModelBuilder
{
    private const BindingFlags Declared = BindingFlags.Public | BindingFlags.DeclaredOnly;
    private static readonly HashSet<string> ObjectMembers = new(StringComparer.Ordinal)
        { "ToString", "Equals", "GetHashCode", "GetType" };

    private readonly Dictionary<Type, ClassModel> _classes = new();
    private readonly Dictionary<Type, EnumModel> _enums = new();
    private readonly LibraryDocs _docs;
    public Tally Tally { get; } = new();

    public ModelBuilder(LibraryDocs? docs = null) => _docs = docs ?? LibraryDocs.Empty;

    /// <summary>The element-id table that every typed container of the surface must find its element in (null: not checked).</summary>
    public ElementIds? Elements { get; init; }
    public IReadOnlyList<EnumModel> Enums => _enums.Values.OrderBy(e => e.FullName, StringComparer.Ordinal).ToList();

    public IReadOnlyList<ClassModel> Build(Assembly library, ClassIds ids)
    {
        var types = library.GetExportedTypes()
            .Where(InLibrary)
            .Where(t => (t.IsClass || t.IsInterface) && !t.IsNested && !t.IsGenericType && !typeof(Delegate).IsAssignableFrom(t))
            .OrderBy(t => t.FullName, StringComparer.Ordinal)
            .ToList();
        foreach (var type in types)
            _classes[type] = new ClassModel { NetType = type, Id = ids.IdOf(type.FullName!), Summary = _docs.Of(type) };
        foreach (var type in library.GetExportedTypes().Where(t => t.IsEnum && !t.IsNested && InLibrary(t)))
            _enums[type] = ReadEnum(type, ids);
        foreach (var model in _classes.Values)
            model.Interfaces.AddRange(model.NetType.GetInterfaces().Where(_classes.ContainsKey).Select(i => _classes[i])
                .OrderBy(i => i.FullName, StringComparer.Ordinal));
        foreach (var model in _classes.Values.OrderBy(m => m.FullName, StringComparer.Ordinal))
            foreach (var implemented in model.Interfaces)
                implemented.Implementers.Add(model);
        foreach (var model in _classes.Values)
            model.Base = model.NetType.BaseType is { } b && _classes.TryGetValue(b, out var baseModel) ? baseModel : null;
        foreach (var model in _classes.Values.OrderBy(m => m.FullName, StringComparer.Ordinal))
            Fill(model);
        return _classes.Values.OrderBy(m => m.FullName, StringComparer.Ordinal).ToList();
    }

    private static bool InLibrary(Type t) =>
        t.Namespace != null && (t.Namespace == "Morvax.Velto" || t.Namespace.StartsWith("Morvax.Velto.", StringComparison.Ordinal));

    private EnumModel ReadEnum(Type type, ClassIds ids)
    {
        var members = type.GetFields(BindingFlags.Public | BindingFlags.Static)
            .OrderBy(f => f.MetadataToken)
            .Select(f => (NameRules.EnumMember(f.Name), unchecked((int)Convert.ToInt64(f.GetRawConstantValue()))))
            .ToList();
        Tally.Emit(type.IsDefined(typeof(FlagsAttribute), false) ? "IntFlag enumeration" : "IntEnum enumeration");
        return new EnumModel
        {
            NetType = type, Id = ids.IdOf(type.FullName!), Members = members,
            IsFlags = type.IsDefined(typeof(FlagsAttribute), false), Summary = _docs.Of(type),
        };
    }

    private void Fill(ClassModel model)
    {
        var type = model.NetType;
        // Constructors.
        var ctors = type.IsAbstract || type.IsInterface ? Array.Empty<ConstructorInfo>() : type.GetConstructors(BindingFlags.Public | BindingFlags.Instance);
        if (ctors.Length > 0)
        {
            var group = new MethodModel { NetName = type.Name, PythonName = "__init__" };
            int number = 0;
            foreach (var ctor in ctors.OrderBy(c => c.MetadataToken))
                AddOverload(model, group, ctor, OverloadKind.Constructor, $"ctor_{number++:000}_{type.Name}");
            model.Constructors = group.Overloads.Count > 0 ? group : null;
            if (model.Constructors == null) Tally.Defer("class whose every constructor waits for a later value kind");
        }

        // Methods, grouped by name in order of first declaration.
        // A keyed indexer's getter is a method among them: a key is never a subscript.
        var methods = type.GetMethods(Declared | BindingFlags.Instance | BindingFlags.Static)
            .Where(m => (!m.IsSpecialName || KeyedIndexerName(m) != null) && !ObjectMembers.Contains(m.Name))
            .Where(m => m.Name != "GetEnumerator" || IsTypedEnumeratorMethod(m))
            .Where(m => m.GetBaseDefinition() == m)  // overrides are reached through the base
            .OrderBy(m => m.MetadataToken);
        foreach (var byName in methods.GroupBy(m => KeyedIndexerName(m) ?? m.Name))
        {
            var group = new MethodModel { NetName = byName.Key, PythonName = NameRules.Snake(byName.Key) };
            int number = 0;
            foreach (var method in byName)
            {
                string entry = $"call_{number++:000}_{byName.Key}";
                if (method.IsGenericMethodDefinition) { Tally.Defer("generic method"); continue; }
                AddOverload(model, group, method, method.IsStatic ? OverloadKind.Static : OverloadKind.Instance, entry);
            }
            if (group.Overloads.Count > 0) model.Methods.Add(group);
        }

        // Instance properties.
        foreach (var property in type.GetProperties(Declared | BindingFlags.Instance).OrderBy(p => p.MetadataToken))
        {
            var getter = property.GetGetMethod();
            if (getter == null || getter.GetBaseDefinition() != getter) continue;
            if (property.GetIndexParameters().Length > 0) continue;  // indexers: below, and keyed ones with the methods
            var kind = Classify(property.PropertyType, out var reason);
            if (kind == null) { Tally.Defer(reason!); continue; }
            var setter = property.GetSetMethod();
            var model_ = new PropertyModel
            {
                NetName = property.Name, PythonName = NameRules.Snake(property.Name),
                Type = Named(kind, NameRules.Snake(property.Name)),
                Getter = model.AddEntry("get_" + property.Name),
                Setter = setter != null ? model.AddEntry("set_" + property.Name) : null,
                Summary = _docs.Of(property),
            };
            model.Properties.Add(model_);
            Tally.Emit(setter != null ? "property (read-write)" : "property (read-only)");
        }
        // Entries must come in slot order: constructors and methods were added first.
        // Static properties, constants and static read-only fields.
        var statics = type.GetProperties(Declared | BindingFlags.Static).Cast<MemberInfo>()
            .Concat(type.GetFields(Declared | BindingFlags.Static).Where(f => f.IsLiteral || f.IsInitOnly))
            .OrderBy(m => m.MetadataToken);
        foreach (var member in statics)
        {
            bool isField = member is FieldInfo;
            var netType = member is PropertyInfo p ? p.PropertyType : ((FieldInfo)member).FieldType;
            var kind = Classify(netType, out var reason);
            if (kind == null) { Tally.Defer(reason!); continue; }
            bool writable = member is PropertyInfo sp && sp.GetSetMethod() != null;
            string pythonName = isField ? NameRules.UpperSnake(member.Name) : NameRules.Snake(member.Name);
            model.Statics.Add(new PropertyModel
            {
                NetName = member.Name, PythonName = pythonName, Type = isField ? kind : Named(kind, pythonName),
                IsStatic = true, IsField = isField,
                Getter = model.AddEntry("getsa_" + member.Name),
                Setter = writable ? model.AddEntry("setsa_" + member.Name) : null,
                SetterName = writable ? "set_" + pythonName : null,
                Summary = _docs.Of(member),
            });
            Tally.Emit(isField ? "constant" : "static property");
        }

        AddSequence(model);

        if (model.IsStaticClass)
        {
            model.TypeOf = model.AddEntry("btp_TypeOf");
        }
        else
        {
            model.TypeOf = model.AddEntry("btp_TypeOf");
            foreach (var service in new[] { "btp_CastTo", "btp_ReInterpretObj", "btp_CastAs", "btp_IsAssignable" })
                model.AddEntry(service);
        }
    }

    /// <summary>
    /// The Python name of a keyed indexer's getter: "GetByName" for a string key, "GetBy" and
    /// the enumeration's name for an enumeration key (this[BorderType] is GetByBorderType);
    /// null for any other method.
    /// </summary>
    public static string? KeyedIndexerName(MethodInfo method)
    {
        if (!method.IsSpecialName || method.Name != "get_Item") return null;
        var parameters = method.GetParameters();
        if (parameters.Length != 1) return null;
        var key = parameters[0].ParameterType;
        return key == typeof(string) ? "GetByName" : key.IsEnum ? "GetBy" + key.Name : null;
    }

    // The integer indexer (the sequence entry points, after the properties and statics and
    // before the casting services) and how the class is iterated.
    private void AddSequence(ClassModel model)
    {
        var type = model.NetType;
        if (model.IsStaticClass || type.IsInterface) return;
        var indexer = type.GetProperties(Declared | BindingFlags.Instance)
            .FirstOrDefault(p => p.GetIndexParameters() is { Length: 1 } keys && keys[0].ParameterType == typeof(int)
                                 && p.GetGetMethod() is { } g && g.GetBaseDefinition() == g);
        if (indexer != null)
        {
            var element = Classify(indexer.PropertyType, out var reason);
            if (element == null) Tally.Defer(reason!);
            else
            {
                var getter = model.AddEntry("btp_SqGetItem");
                var setter = indexer.GetSetMethod() != null ? model.AddEntry("btp_SqSetItem") : null;
                model.Indexer = new IndexerModel(element, getter, setter);
                Tally.Emit(setter != null ? "indexer (settable)" : "indexer");
            }
        }

        var generic = type.GetInterfaces()
            .FirstOrDefault(i => i.IsGenericType && i.GetGenericTypeDefinition() == typeof(IEnumerable<>));
        if (generic != null)
        {
            var elementType = generic.GetGenericArguments()[0];
            // A keyed collection walks its pairs, which cross as untyped values.
            bool pairs = elementType.IsGenericType && elementType.GetGenericTypeDefinition() == typeof(KeyValuePair<,>);
            var element = pairs ? null : Elements?.Require(elementType);
            if (element != null && element.Has(Instantiations.Iterator))
            {
                model.Iteration = IterationKind.Typed;
                model.IterationElement = element;
                model.IterationType = Classify(elementType, out _);
                return;
            }
        }
        if (typeof(System.Collections.IEnumerable).IsAssignableFrom(type)) model.Iteration = IterationKind.Untyped;
    }

    // Methods are added in declaration order, but their entries must precede the
    // property entries: AddOverload is only called before any property is added.
    private void AddOverload(ClassModel model, MethodModel group, MethodBase member, OverloadKind kind, string entryName)
    {
        var parameters = new List<ParameterModel>();
        foreach (var parameter in member.GetParameters())
        {
            if (parameter.ParameterType.IsByRef || parameter.IsOut) { Tally.Defer("by-reference parameter"); return; }
            var type = Classify(parameter.ParameterType, out var reason);
            if (type == null) { Tally.Defer(reason!); return; }
            if (type.Kind == ValueKind.DateTimeOffset) { Tally.Defer("DateTimeOffset argument"); return; }
            if (type.Kind == ValueKind.Array && type.Element == null) { Tally.Defer("array argument without an element identifier"); return; }
            string pythonName = NameRules.Snake(parameter.Name!);
            parameters.Add(new ParameterModel(parameter.Name!, pythonName, Named(type, pythonName)));
        }
        var resultType = member is MethodInfo mi ? mi.ReturnType : typeof(void);
        string? resultReason = null;
        var result = resultType == typeof(void) ? new ValueType_(ValueKind.Void, null, typeof(void)) : Classify(resultType, out resultReason);
        if (result == null) { Tally.Defer(resultReason!); return; }
        group.Overloads.Add(new OverloadModel
        {
            Kind = kind, Member = member, Entry = model.AddEntry(entryName), Parameters = parameters, Result = result,
            Summary = _docs.Of(member),
        });
        Tally.Emit(kind switch
        {
            OverloadKind.Constructor => "constructor",
            OverloadKind.Static => "static method overload",
            _ => "method overload",
        });
    }

    // A string whose name says it holds a path crosses as a file name.
    private static ValueType_ Named(ValueType_ type, string pythonName) =>
        type.Kind == ValueKind.String && NameRules.IsFileName(pythonName) ? type with { Kind = ValueKind.FileName } : type;

    // The iteration slot walks an enumerable; GetEnumerator is a method of its own only where it
    // gives an enumerator of an element with a typed iterator (get_enumerator() then returns
    // that typed iterator). Enumerators of other items (key/value pairs, untyped) stay unbound.
    private bool IsTypedEnumeratorMethod(MethodInfo method)
    {
        Type result = method.ReturnType;
        return method.GetParameters().Length == 0 && result.IsGenericType
               && result.GetGenericTypeDefinition() == typeof(IEnumerator<>)
               && Elements?.Find(result.GetGenericArguments()[0]) is { } element && element.Has(Instantiations.Iterator);
    }

    // The generic collections that cross typed: a list of an element with a typed list, or
    // an enumerator of an element with a typed iterator. Other generic containers are deferred.
    private static ValueKind? GenericKindOf(Type type, ElementModel? element)
    {
        if (element == null || !type.IsGenericType) return null;
        var definition = type.GetGenericTypeDefinition();
        const Instantiations lists = Instantiations.List | Instantiations.ListInterface | Instantiations.ListArgument;
        if (definition == typeof(List<>) && element.Has(lists)) return ValueKind.GenericList;
        if (definition == typeof(IList<>) && element.Has(lists)) return ValueKind.GenericIList;
        if (definition == typeof(IEnumerator<>) && element.Has(Instantiations.Iterator)) return ValueKind.GenericEnumerator;
        return null;
    }

    private ValueType_? Classify(Type type, out string? deferredBecause)
    {
        deferredBecause = null;
        var element = ElementIds.ElementOf(type) is { } elementType ? Elements?.Require(elementType) : null;
        ValueKind? kind = ValueKinds.Classify(type);
        if (kind != null) return new ValueType_(kind.Value, null, type);
        if (_classes.TryGetValue(type, out var model))
            return new ValueType_(type.IsInterface ? ValueKind.Interface : ValueKind.Class, model, type);
        if (_enums.TryGetValue(type, out var enumeration)) return new ValueType_(ValueKind.Enum, null, type, enumeration);
        if (type.IsArray) return new ValueType_(ValueKind.Array, null, type, null, element);
        if (GenericKindOf(type, element) is { } generic) return new ValueType_(generic, null, type, null, element);
        deferredBecause = type.IsEnum ? "enumeration outside the library"
            : type.IsInterface && !type.IsGenericType ? "interface value"
            : typeof(System.IO.Stream).IsAssignableFrom(type) ? "stream of a derived type"
            : type.IsArray || type.IsGenericType ? "list, array or generic container"
            : type.IsValueType ? "other value type"
            : "class outside the library";
        return null;
    }
}
