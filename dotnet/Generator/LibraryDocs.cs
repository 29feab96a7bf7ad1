// The library's XML documentation file, read into one plain-text summary per member and
// put in Python terms (snake-case parameter names, None/True/False), so the docstrings and
// stubs can quote the library's own words.
using System.Reflection;
using System.Text;
using System.Text.RegularExpressions;
using System.Xml.Linq;

namespace Morvax.Generator;

public sealed class LibraryDocs
{
    private readonly Dictionary<string, string> _summaries = new(StringComparer.Ordinal);

    /// <summary>No documentation: every look-up answers null.</summary>
    public static LibraryDocs Empty { get; } = new();

    private LibraryDocs() { }

    public static LibraryDocs Load(string path)
    {
        var docs = new LibraryDocs();
        foreach (var member in XDocument.Load(path).Descendants("member"))
        {
            var id = member.Attribute("name")?.Value;
            var summary = member.Element("summary");
            if (id == null || summary == null) continue;
            var text = PlainText(summary);
            if (text.Length > 0) docs._summaries[id] = text;
        }
        return docs;
    }

    public int Count => _summaries.Count;

    public string? Of(Type type) => Find("T:" + TypeId(type));
    public string? Of(MethodBase method) => Find(MethodId(method));
    public string? Of(PropertyInfo property) => Find("P:" + TypeId(property.DeclaringType!) + "." + property.Name);
    public string? Of(FieldInfo field) => Find("F:" + TypeId(field.DeclaringType!) + "." + field.Name);
    public string? Of(MemberInfo member) => member switch
    {
        PropertyInfo p => Of(p),
        FieldInfo f => Of(f),
        MethodBase m => Of(m),
        _ => null,
    };

    private string? Find(string id) => _summaries.TryGetValue(id, out var text) ? text : null;

    // The compiler's documentation identifiers: nested types joined with '.', constructors as
    // #ctor, parameter types by full name (the bound members take no generic parameters).
    private static string TypeId(Type type) => type.FullName!.Replace('+', '.');

    public static string MethodId(MethodBase method)
    {
        var parameters = method.GetParameters();
        string name = method is ConstructorInfo ? "#ctor" : method.Name;
        string list = parameters.Length == 0 ? "" :
            "(" + string.Join(",", parameters.Select(p => TypeId(p.ParameterType))) + ")";
        return "M:" + TypeId(method.DeclaringType!) + "." + name + list;
    }

    /// <summary>The text of a summary: references by their Python name, paragraphs kept, other white space folded.</summary>
    public static string PlainText(XElement summary)
    {
        var text = new StringBuilder();
        void Walk(XNode node)
        {
            switch (node)
            {
                case XText t: text.Append(t.Value); break;
                case XElement e when e.Name == "see" || e.Name == "seealso":
                    text.Append(e.Attribute("langword")?.Value switch
                    {
                        "null" => "None",
                        "true" => "True",
                        "false" => "False",
                        { } word => word,
                        null => ReferenceName(e.Attribute("cref")?.Value ?? e.Value),
                    });
                    break;
                case XElement e when e.Name == "paramref" || e.Name == "typeparamref":
                    text.Append(NameRules.Snake(e.Attribute("name")?.Value ?? ""));
                    break;
                case XElement e when e.Name == "para":
                    text.Append("\n\n");
                    foreach (var child in e.Nodes()) Walk(child);
                    text.Append("\n\n");
                    break;
                case XElement e:
                    foreach (var child in e.Nodes()) Walk(child);
                    break;
            }
        }
        foreach (var node in summary.Nodes()) Walk(node);
        var paragraphs = Regex.Split(text.ToString(), @"\n\s*\n")
            .Select(p => Regex.Replace(p, @"\s+", " ").Trim())
            .Where(p => p.Length > 0);
        return string.Join("\n\n", paragraphs);
    }

    // "T:Morvax.Velto.Saving.SaveOptions" -> "SaveOptions"; "M:Morvax.Velto.Document.Save(System.String)" -> "save".
    private static string ReferenceName(string cref)
    {
        bool hasKind = cref.Length > 2 && cref[1] == ':';
        string path = hasKind ? cref[2..] : cref;
        int paren = path.IndexOf('(');
        if (paren >= 0) path = path[..paren];
        var parts = path.Split('.');
        if (parts[^1] == "#ctor" && parts.Length > 1) return parts[^2];
        return (hasKind ? cref[0] : 'T') switch
        {
            'M' or 'P' => NameRules.Snake(parts[^1]),
            'F' => NameRules.EnumMember(parts[^1]),
            _ => parts[^1],
        };
    }
}
