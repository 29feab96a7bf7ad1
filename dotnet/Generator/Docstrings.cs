// The documentation string of every generated definition: the Python signatures first (one
// line per overload, in dispatch order), then the library's own summary where it has one.
namespace Morvax.Generator;

public static class Docstrings
{
    private static string Join(IEnumerable<string> head, IEnumerable<string?> summaries)
    {
        var lines = string.Join("\n", head);
        var text = string.Join("\n\n", summaries.Where(s => !string.IsNullOrEmpty(s)).Distinct(StringComparer.Ordinal));
        return text.Length == 0 ? lines : lines.Length == 0 ? text : lines + "\n\n" + text;
    }

    public static string Method(MethodModel method, string name) =>
        Join(method.Overloads.Select(o => (o.Kind == OverloadKind.Static && method.IsMixed ? "static " : "") +
                                          PythonTypes.Signature(name, o, PythonTypes.Simple)),
             method.Overloads.Select(o => o.Summary));

    public static string Class(ClassModel model) =>
        Join(model.Constructors != null
                 ? model.Constructors.Overloads.Select(o => PythonTypes.Signature(model.SimpleName, o, PythonTypes.Simple))
                 : new[] { model.IsStaticClass ? $"{model.SimpleName}: static members only" : $"{model.SimpleName}: made by the library, no public constructor" },
             new[] { model.Summary });

    public static string Property(PropertyModel property) =>
        Join(new[] { $"{property.PythonName}: {PythonTypes.Annotation(property.Type, false, PythonTypes.Simple)}" +
                     (property.IsReadOnly ? " (read-only)" : "") },
             new[] { property.Summary });

    public static string StaticSetter(PropertyModel property) =>
        Join(new[] { $"{property.SetterName}(value: {PythonTypes.Annotation(property.Type, true, PythonTypes.Simple)}) -> None" },
             new[] { $"Sets the static property {property.PythonName}." });

    public static string Enumeration(EnumModel model) =>
        Join(new[] { $"{model.SimpleName}: {(model.IsFlags ? "IntFlag" : "IntEnum")} of " +
                     string.Join(", ", model.Members.Select(m => $"{m.Name} = {m.Value}")) },
             new[] { model.Summary });
}
