// Writes the type stubs (.pyi) of the module tree from the same model as the binding tables:
// one file per module, an @overload per .NET overload, read-only properties without a
// setter, enumerations as IntEnum/IntFlag classes with their members.
using System.Text;
using System.Text.RegularExpressions;

namespace Morvax.Generator;

public static class StubEmitter
{
    private const string Banner = "# Written by Morvax.Generator from the public surface of Morvax.Velto; do not edit.";

    // Support modules the extension adds itself, below the top level; they carry no
    // generated classes.
    private static readonly string[] SupportModules =
        { "morvax.velto._wrpgen", "morvax.velto._wrpgen._interop", "morvax.velto._wrpgen._generic" };

    // What the extension module defines by hand beside the generated classes.
    private const string TopLevelExtras = """
        @final
        @type_check_only
        class _ModuleVersionType:
            @property
            def major(self) -> int: ...
            @property
            def minor(self) -> int: ...
            @property
            def patch(self) -> int: ...
            @property
            def sub(self) -> int: ...
            @property
            def view(self) -> str: ...
            def __lt__(self, other: _ModuleVersionType) -> bool: ...
            def __le__(self, other: _ModuleVersionType) -> bool: ...
            def __gt__(self, other: _ModuleVersionType) -> bool: ...
            def __ge__(self, other: _ModuleVersionType) -> bool: ...

        VERSION: _ModuleVersionType
        _BACKWARD_COMPATIBILITY_THRESHOLD: _ModuleVersionType

        def get_pyinstaller_hook_dirs() -> list[str]: ...

        """;

    // The service methods every class carries (api/generated_support.h); the casting
    // services are private and left out.
    private const string ClassServices = "    def get_type(self) -> object: ...\n";

    // Built-in names an annotation may use; a member of the same name in a class body would
    // hide them there, so they are spelled through builtins where that happens.
    private static readonly HashSet<string> BuiltinNames = new(StringComparer.Ordinal)
        { "str", "int", "float", "bool", "bytes", "bytearray", "memoryview", "object", "list", "property", "staticmethod" };

    /// <summary>Where the allowlist of the stub check is written, beside the package.</summary>
    public const string AllowlistFile = "stubtest-allowlist.txt";

    /// <summary>The stub files, by path below the package root ("morvax/velto/saving.pyi"), and the allowlist.</summary>
    public static Dictionary<string, string> Emit(IReadOnlyList<ClassModel> classes, IReadOnlyList<EnumModel> enums)
    {
        var modules = CppEmitter.Modules(classes).Select(m => m.Module).Concat(SupportModules).ToList();
        var enumsByModule = enums.GroupBy(e => e.Module).ToDictionary(g => g.Key, g => g.ToList());
        var classesByModule = classes.GroupBy(c => c.Module).ToDictionary(g => g.Key, g => g.ToList());
        var derived = BaseClasses(classes);
        var allowlist = new Allowlist();
        foreach (var module in SupportModules)
            allowlist.Add(module, "an attribute of its parent only, never in sys.modules: it cannot be imported by name");
        var files = new Dictionary<string, string>(StringComparer.Ordinal);
        foreach (var module in modules)
        {
            bool isPackage = modules.Any(m => CppEmitter.Parent(m) == module);
            string path = module.Replace('.', '/') + (isPackage ? "/__init__.pyi" : ".pyi");
            files[path] = EmitModule(module, modules,
                classesByModule.GetValueOrDefault(module) ?? new(), enumsByModule.GetValueOrDefault(module) ?? new(), derived, allowlist);
        }
        files[AllowlistFile] = allowlist.ToString();
        return files;
    }

    private static string EmitModule(string module, List<string> modules, List<ClassModel> classes, List<EnumModel> enums,
                                     HashSet<ClassModel> derived, Allowlist allowlist)
    {
        var body = new StringBuilder();
        var imports = new SortedSet<string>(StringComparer.Ordinal);
        var referenced = new SortedSet<string>(StringComparer.Ordinal);

        string NameOf(string owner, string simpleName)
        {
            if (owner == module) return simpleName;
            referenced.Add(owner);
            return owner + "." + simpleName;
        }

        foreach (var model in enums.OrderBy(e => e.SimpleName, StringComparer.Ordinal))
        {
            EmitEnum(body, model);
            allowlist.Add(model.PythonName + ".get_type", "an enumeration's services are method objects of the extension, which it does not take for functions");
        }
        foreach (var model in OrderedForBases(classes))
            EmitClass(body, model, NameOf, imports, derived.Contains(model), allowlist);
        if (module == "morvax.velto") body.Insert(0, TopLevelExtras);

        var text = new StringBuilder();
        text.AppendLine(Banner);
        string all = body.ToString();
        if (enums.Count > 0) imports.Add("import enum");
        if (module == "morvax.velto") imports.Add("from typing import type_check_only");
        if (all.Contains("@final", StringComparison.Ordinal) || module == "morvax.velto") imports.Add("from typing import final");
        if (all.Contains("@overload", StringComparison.Ordinal)) imports.Add("from typing import overload");
        if (all.Contains("ClassVar[", StringComparison.Ordinal)) imports.Add("from typing import ClassVar");
        if (all.Contains("-> Self:", StringComparison.Ordinal)) imports.Add("from typing import Self");
        if (all.Contains("builtins.", StringComparison.Ordinal)) imports.Add("import builtins");
        foreach (var line in imports) text.AppendLine(line);
        foreach (var other in referenced) text.AppendLine($"import {other}");
        // Child modules are attributes of their parent.
        foreach (var child in modules.Where(m => CppEmitter.Parent(m) == module))
        {
            string name = child[(module.Length + 1)..];
            text.AppendLine($"from {module} import {name} as {name}");
        }
        text.AppendLine();
        text.Append(all);
        return text.ToString();
    }

    // A base class must come before the classes that derive from it in the same module.
    private static IEnumerable<ClassModel> OrderedForBases(List<ClassModel> classes)
    {
        var done = new HashSet<ClassModel>();
        var ordered = new List<ClassModel>();
        void Visit(ClassModel c)
        {
            if (!done.Add(c)) return;
            if (c.Base != null && classes.Contains(c.Base)) Visit(c.Base);
            ordered.Add(c);
        }
        foreach (var c in classes.OrderBy(c => c.SimpleName, StringComparer.Ordinal)) Visit(c);
        return ordered;
    }

    private static void EmitEnum(StringBuilder body, EnumModel model)
    {
        body.AppendLine($"class {model.SimpleName}(enum.{(model.IsFlags ? "IntFlag" : "IntEnum")}):");
        if (model.Members.Count == 0) body.AppendLine("    pass");
        // A later member with a value already taken is an alias of the first.
        foreach (var (name, value) in model.Members) body.AppendLine($"    {name} = {value}");
        body.Append(ClassServices);
        body.AppendLine();
    }

    /// <summary>The classes others derive from: the only ones not marked final.</summary>
    public static HashSet<ClassModel> BaseClasses(IReadOnlyList<ClassModel> classes) =>
        classes.Where(c => c.Base != null).Select(c => c.Base!).ToHashSet();

    /// <summary>
    /// The allowlist of the stub check, for what it cannot see, one commented entry per
    /// object path: written while the stubs are, so it names exactly what they declare.
    /// </summary>
    private sealed class Allowlist
    {
        private readonly StringBuilder _text = new(Banner + "\n");
        public void Add(string objectPath, string why) => _text.Append($"# {why}\n{Regex.Escape(objectPath)}\n");
        public override string ToString() => _text.ToString();
    }

    // A member's stub signature in a comparable form: its kind, then every overload's
    // parameter and result annotations.
    private static string ShapeOf(MethodModel method) =>
        string.Join(";", method.Overloads.Select(o => $"{o.Kind}({string.Join(",", o.Parameters.Select(p => p.PythonName + ":" +
            PythonTypes.Annotation(p.Type, true, QualifiedKey)))})->{PythonTypes.Annotation(o.Result, false, QualifiedKey)}"));

    private static string ShapeOf(PropertyModel property) =>
        $"property:{property.IsStatic}:{property.IsReadOnly}:{PythonTypes.Annotation(property.Type, false, QualifiedKey)}";

    private static string QualifiedKey(string module, string simpleName) => module + "." + simpleName;

    private static void EmitClass(StringBuilder body, ClassModel model, Func<string, string, string> nameOf, SortedSet<string> imports,
                                  bool isBase, Allowlist allowlist)
    {
        if (isBase) allowlist.Add(model.PythonName, "final at run time, but the stubs derive the library's subclasses from it");
        // Names a base class already defines: a .NET member that hides one need not keep its
        // signature, which a Python checker would otherwise report in the stub itself.
        // A member that repeats the base's signature exactly hides nothing a checker sees.
        var inherited = new Dictionary<string, string>(StringComparer.Ordinal);
        for (var b = model.Base; b != null; b = b.Base)
        {
            foreach (var m in b.Methods) inherited.TryAdd(m.PythonName, ShapeOf(m));
            foreach (var p in b.Properties.Concat(b.Statics)) inherited.TryAdd(p.PythonName, ShapeOf(p));
        }
        var own = model.Methods.ToDictionary(m => m.PythonName, ShapeOf, StringComparer.Ordinal);
        foreach (var p in model.Properties.Concat(model.Statics)) own.TryAdd(p.PythonName, ShapeOf(p));
        string Hides(string name) =>
            inherited.TryGetValue(name, out var shape) && !(own.TryGetValue(name, out var mine) && mine == shape)
                ? "  # type: ignore[override]" : "";

        var memberNames = new HashSet<string>(StringComparer.Ordinal);
        foreach (var m in model.Methods) memberNames.Add(m.PythonName);
        foreach (var p in model.Properties.Concat(model.Statics)) memberNames.Add(p.PythonName);
        foreach (var p in model.Statics.Where(s => s.SetterName != null)) memberNames.Add(p.SetterName!);
        memberNames.Add("get_type");

        // Annotations as a stub spells them: standard modules by alias, hidden built-ins through builtins.
        string Annotate(ValueType_ type, bool asArgument)
        {
            foreach (var standard in PythonTypes.ImportOf(type)?.Split(' ') ?? Array.Empty<string>())
            {
                if (memberNames.Contains(standard))
                    throw new InvalidOperationException($"{model.FullName}: a member named '{standard}' hides the module its annotations need");
                imports.Add($"import {standard}");
            }
            return Protect(PythonTypes.Annotation(type, asArgument, nameOf), memberNames);
        }
        string Decorator(string name) => memberNames.Contains(name) ? "builtins." + name : name;

        // A parameter named by a Python keyword can only be passed by position: it gets a
        // trailing underscore and the parameters up to it become positional-only.
        string Parameters(OverloadModel o, string? self)
        {
            var list = new List<string>();
            if (self != null) list.Add(self);
            int lastKeyword = -1;
            foreach (var p in o.Parameters)
            {
                bool keyword = PythonKeywords.Contains(p.PythonName);
                list.Add($"{p.PythonName}{(keyword ? "_" : "")}: {Annotate(p.Type, true)}");
                if (keyword) lastKeyword = list.Count;
            }
            if (lastKeyword > 0) list.Insert(lastKeyword, "/");
            return string.Join(", ", list);
        }

        // An overload whose every argument an earlier one already accepts is never reached
        // (Int32 and Int64 both take an int; a float parameter takes an int too): the first in
        // dispatch order answers, so only that one is typed.
        IEnumerable<OverloadModel> Distinct(IEnumerable<OverloadModel> overloads)
        {
            var kept = new List<OverloadModel>();
            foreach (var o in overloads)
            {
                bool shadowed = kept.Any(k => k.Parameters.Count == o.Parameters.Count &&
                    k.Parameters.Zip(o.Parameters).All(pair => PythonTypes.Accepts(pair.First.Type, pair.Second.Type)));
                if (!shadowed) kept.Add(o);
            }
            return kept;
        }

        string baseName = model.Base != null ? nameOf(model.Base.Module, model.Base.SimpleName) : "";
        if (!isBase) body.AppendLine("@final");
        body.AppendLine($"class {model.SimpleName}{(baseName.Length > 0 ? "(" + baseName + ")" : "")}:");
        if (model.Constructors == null)
        {
            // A class whose base has no public constructor either inherits the base's
            // refusing __init__ at run time, as the stub inherits object's: nothing to allow.
            if (model.Base == null || model.Base.Constructors != null)
                allowlist.Add(model.PythonName + ".__init__", "no public constructor: __init__ refuses every call, the stub keeps object's so a checker reports one");
        }
        else
        {
            var overloads = Distinct(model.Constructors.Overloads).ToList();
            bool overloaded = overloads.Count > 1;
            if (!overloaded && overloads[0].Parameters.Count == 0)
                allowlist.Add(model.PythonName + ".__init__", "__init__ takes any arguments at run time and refuses all but none");
            foreach (var o in overloads)
            {
                if (overloaded) body.AppendLine("    @overload");
                body.AppendLine($"    def __init__({Parameters(o, "self")}) -> None: ...");
            }
        }
        foreach (var method in model.Methods)
        {
            if (PythonKeywords.Contains(method.PythonName)) continue;  // reachable through getattr only
            // A name with static and instance overloads is typed by its instance overloads:
            // an overload set cannot mix the two.
            var overloads = Distinct(method.Overloads.Where(o => !method.IsMixed || o.Kind == OverloadKind.Instance)).ToList();
            if (method.IsMixed)
                allowlist.Add(model.PythonName + "." + method.PythonName,
                              "a name with static and instance overloads is a mixed descriptor of the extension, which it does not take for a function");
            bool overloaded = overloads.Count > 1;
            bool first = true;
            foreach (var o in overloads)
            {
                if (overloaded) body.AppendLine("    @overload" + (first ? Hides(method.PythonName) : ""));
                bool isStatic = o.Kind == OverloadKind.Static;
                if (isStatic) body.AppendLine($"    @{Decorator("staticmethod")}");
                body.AppendLine($"    def {method.PythonName}({Parameters(o, isStatic ? null : "self")}) -> {Annotate(o.Result, false)}: ...{(overloaded ? "" : Hides(method.PythonName))}");
                first = false;
            }
        }
        foreach (var p in model.Properties)
        {
            if (PythonKeywords.Contains(p.PythonName)) continue;
            body.AppendLine($"    @{Decorator("property")}");
            body.AppendLine($"    def {p.PythonName}(self) -> {Annotate(p.Type, false)}: ...{Hides(p.PythonName)}");
            if (!p.IsReadOnly)
            {
                body.AppendLine($"    @{p.PythonName}.setter");
                body.AppendLine($"    def {p.PythonName}(self, value: {Annotate(p.Type, false)}) -> None: ...");
            }
        }
        foreach (var p in model.Statics)
        {
            body.AppendLine($"    {p.PythonName}: ClassVar[{Annotate(p.Type, false)}]{Hides(p.PythonName)}");
            if (p.SetterName != null)
            {
                body.AppendLine($"    @{Decorator("staticmethod")}");
                body.AppendLine($"    def {p.SetterName}(value: {Annotate(p.Type, true)}) -> None: ...");
            }
        }
        // A collection: an integer subscript gives (and, settable, takes) the indexer's element;
        // iteration gives the enumerable's element (untyped: any value). The slots take their
        // arguments by position only.
        if (model.Indexer is { } indexer)
        {
            body.AppendLine($"    def __getitem__(self, index: int, /) -> {Annotate(indexer.Element, false)}: ...");
            if (indexer.Setter != null)
                body.AppendLine($"    def __setitem__(self, index: int, value: {Annotate(indexer.Element, true)}, /) -> None: ...");
        }
        if (model.Iteration != IterationKind.None)
        {
            imports.Add("import collections.abc");
            string item = model.IterationType is { } itemType ? Annotate(itemType, false) : "object";
            body.AppendLine($"    def __iter__(self) -> collections.abc.Iterator[{item}]: ...");
        }
        if (model.IsDisposable)
        {
            // The instance itself comes back from enter.
            body.AppendLine("    def __enter__(self) -> Self: ...");
            body.AppendLine("    def __exit__(self, *args: object) -> None: ...");
        }
        body.Append(ClassServices);
        body.AppendLine();
    }

    private static readonly HashSet<string> PythonKeywords = new(StringComparer.Ordinal)
    {
        "False", "None", "True", "and", "as", "assert", "async", "await", "break", "class", "continue", "def", "del",
        "elif", "else", "except", "finally", "for", "from", "global", "if", "import", "in", "is", "lambda", "nonlocal",
        "not", "or", "pass", "raise", "return", "try", "while", "with", "yield",
    };

    private static string Protect(string annotation, HashSet<string> memberNames) =>
        Regex.Replace(annotation, @"(?<![\w.])[a-z]\w*(?![\w])", m =>
            BuiltinNames.Contains(m.Value) && memberNames.Contains(m.Value) ? "builtins." + m.Value
            : m.Value);
}
