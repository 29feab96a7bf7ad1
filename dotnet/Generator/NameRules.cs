// The naming rules that turn .NET names into Python names and interop entry names.
using System.Text;

namespace Morvax.Generator;

public static class NameRules
{
    // Names that do not follow the general rule.
    private static readonly Dictionary<string, string> Exceptions = new(StringComparer.Ordinal)
    {
        ["HRef"] = "href",
        ["XPath"] = "xpath",
    };

    /// <summary>
    /// Cuts a name into parts: at each lower-to-upper change, before the last capital of a
    /// capital run that is followed by a lower-case letter, and around digit runs; a digit
    /// run directly followed by a single capital that ends a part keeps that capital.
    /// </summary>
    public static List<string> Parts(string name)
    {
        var parts = new List<string>();
        var current = new StringBuilder();
        void Cut()
        {
            if (current.Length > 0) parts.Add(current.ToString());
            current.Clear();
        }
        for (int i = 0; i < name.Length; i++)
        {
            char c = name[i];
            if (c == '_') { Cut(); continue; }
            if (current.Length > 0)
            {
                char previous = name[i - 1];
                bool next_is_lower = i + 1 < name.Length && char.IsLower(name[i + 1]);
                bool cut =
                    (char.IsDigit(c) != char.IsDigit(previous)) ||
                    (char.IsUpper(c) && char.IsLower(previous)) ||
                    (char.IsUpper(c) && char.IsUpper(previous) && next_is_lower);
                if (cut) Cut();
            }
            current.Append(c);
        }
        Cut();

        // "3" + "D" -> "3D" where the capital stands alone as a part.
        var merged = new List<string>();
        foreach (var part in parts)
        {
            if (merged.Count > 0 && part.Length == 1 && char.IsUpper(part[0]) && char.IsDigit(merged[^1][^1]))
                merged[^1] += part;
            else
                merged.Add(part);
        }
        return merged;
    }

    /// <summary>Method, property, parameter and keyword names: update_word_count.</summary>
    public static string Snake(string name) =>
        Exceptions.TryGetValue(name, out var fixedName)
            ? fixedName
            : string.Join("_", Parts(name)).ToLowerInvariant();

    /// <summary>
    /// Enumeration members: cut at '_', at each lower-to-upper change and before the last
    /// capital of a capital run followed by a lower-case letter; digits stay with what precedes
    /// them (ACCENT1, DEFAULT2003), so a library name sets digits apart with '_' (AREA_3D).
    /// </summary>
    public static string EnumMember(string name)
    {
        var parts = new List<string>();
        var current = new StringBuilder();
        for (int i = 0; i < name.Length; i++)
        {
            char c = name[i];
            if (c == '_')
            {
                if (current.Length > 0) parts.Add(current.ToString());
                current.Clear();
                continue;
            }
            if (current.Length > 0 && char.IsUpper(c))
            {
                char previous = name[i - 1];
                bool nextIsLower = i + 1 < name.Length && char.IsLower(name[i + 1]);
                if (char.IsLower(previous) || (char.IsUpper(previous) && nextIsLower))
                {
                    parts.Add(current.ToString());
                    current.Clear();
                }
            }
            current.Append(c);
        }
        if (current.Length > 0) parts.Add(current.ToString());
        return string.Join("_", parts).ToUpperInvariant();
    }

    /// <summary>
    /// Whether a string parameter or property of this Python name holds a file-system path:
    /// file_name, path, folder, directory, or a name ending in one of them (image_file_name,
    /// resources_folder). An alias or a URI is no path (resources_folder_alias).
    /// </summary>
    public static bool IsFileName(string pythonName) =>
        PathWords.Any(word => pythonName == word || pythonName.EndsWith("_" + word, StringComparison.Ordinal));

    private static readonly string[] PathWords = { "file_name", "path", "folder", "directory" };

    /// <summary>Constants and static read-only fields: CELL_CHAR.</summary>
    public static string UpperSnake(string name) => Snake(name).ToUpperInvariant();

    /// <summary>The Python module of a .NET namespace below Morvax.Velto.</summary>
    public static string ModuleOf(string netNamespace) =>
        netNamespace == "Morvax.Velto" ? "morvax.velto" : "morvax.velto." + netNamespace["Morvax.Velto.".Length..].ToLowerInvariant();

    /// <summary>"WrpNs_" before each namespace part, then "WrpCs_", 8 characters of the name, "_", the id.</summary>
    public static string InteropClassName(string netNamespace, string simpleName, string id) =>
        string.Join(".", netNamespace.Split('.').Select(p => "WrpNs_" + p)) + ".WrpCs_" +
        (simpleName.Length > 8 ? simpleName[..8] : simpleName) + "_" + id;
}
