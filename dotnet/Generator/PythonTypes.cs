// How each value kind looks to a Python user: the annotation of an argument and of a result,
// for the docstrings and the stubs alike. The annotations live in the kind's row of the
// value-kind table (ValueKinds.cs).
namespace Morvax.Generator;

public static class PythonTypes
{
    /// <summary>The standard module an annotation of this kind needs imported, if any.</summary>
    public static string? ImportOf(ValueType_ type) => ValueKinds.Of(type.Kind).Import;

    /// <summary>
    /// The annotation of a value; nameOf gives how a class or enumeration is spelled where the
    /// annotation is used (its simple name in a docstring, a qualified name in a stub).
    /// </summary>
    public static string Annotation(ValueType_ type, bool asArgument, Func<string, string, string> nameOf)
    {
        var row = ValueKinds.Of(type.Kind);
        string template = asArgument ? row.Argument : row.Result;
        string name = type.Kind switch
        {
            ValueKind.Class => nameOf(type.Class!.Module, type.Class!.SimpleName),
            // An argument takes the interface's own wrapper and those of the classes implementing
            // it; a result is one of them, as the class of the object stands for the interface.
            ValueKind.Interface => string.Join(" | ", type.Class!.Implementers.Prepend(type.Class!)
                .Select(c => nameOf(c.Module, c.SimpleName))),
            ValueKind.Enum => nameOf(type.Enum!.Module, type.Enum!.SimpleName),
            _ => "",
        };
        return string.Format(template, name);
    }

    /// <summary>
    /// Whether every Python value an argument of kind b takes is also taken by an argument
    /// of kind a, as a type checker sees it (a bool is an int, an int is a float, an IntEnum member is an int).
    /// </summary>
    public static bool Accepts(ValueType_ a, ValueType_ b)
    {
        if (a.Kind == ValueKind.Object) return true;
        if (a.Kind == ValueKind.Class)
        {
            if (b.Kind != ValueKind.Class) return false;
            for (var c = b.Class; c != null; c = c.Base)
                if (c == a.Class) return true;
            return false;
        }
        if (a.Kind == ValueKind.Interface) return b.Kind == ValueKind.Interface && a.Class == b.Class;
        if (a.Kind == ValueKind.Enum) return b.Kind == ValueKind.Enum && a.Enum == b.Enum;
        if (a.Kind == ValueKind.FileName) return b.Kind is ValueKind.FileName or ValueKind.String;
        string Plain(ValueType_ t) => t.Kind == ValueKind.Enum ? "int" : ValueKinds.Of(t.Kind).Argument;
        string wide = Plain(a), narrow = Plain(b);
        return wide == narrow || (wide == "float" && narrow is "int" or "bool") || (wide == "int" && narrow == "bool");
    }

    /// <summary>Simple names, as a user reads them in help().</summary>
    public static string Simple(string module, string simpleName) => simpleName;

    /// <summary>"save(file_name: str, save_format: SaveFormat) -> SaveOutputParameters"; constructors show no result.</summary>
    public static string Signature(string name, OverloadModel overload, Func<string, string, string> nameOf)
    {
        var parameters = string.Join(", ", overload.Parameters.Select(p => $"{p.PythonName}: {Annotation(p.Type, true, nameOf)}"));
        return overload.Kind == OverloadKind.Constructor
            ? $"{name}({parameters})"
            : $"{name}({parameters}) -> {Annotation(overload.Result, false, nameOf)}";
    }
}
