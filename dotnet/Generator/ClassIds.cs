// The fixed eight-digit identifiers of the interop classes, kept in a checked-in table:
// they name the classes of the interop assembly and must never change once given.
using System.Globalization;

namespace Morvax.Generator;

public sealed class ClassIds
{
    private readonly string _path;
    private readonly SortedDictionary<string, string> _ids = new(StringComparer.Ordinal);
    private readonly bool _assignMissing;
    public List<string> Assigned { get; } = new();
    public List<string> Missing { get; } = new();

    public ClassIds(string path, bool assignMissing)
    {
        _path = path;
        _assignMissing = assignMissing;
        foreach (var raw in File.ReadAllLines(path))
        {
            var line = raw.Trim();
            if (line.Length == 0 || line.StartsWith('#')) continue;
            var fields = line.Split((char[]?)null, StringSplitOptions.RemoveEmptyEntries);
            if (fields.Length != 2 || fields[1].Length != 8 || !uint.TryParse(fields[1], NumberStyles.HexNumber, null, out _))
                throw new FormatException($"{path}: bad line '{raw}' (expected '<.NET full name> <8 hex digits>')");
            if (!_ids.TryAdd(fields[0], fields[1].ToUpperInvariant()))
                throw new FormatException($"{path}: {fields[0]} is listed twice");
        }
    }

    public string IdOf(string fullName)
    {
        if (_ids.TryGetValue(fullName, out var id)) return id;
        if (!_assignMissing)
        {
            Missing.Add(fullName);
            return "00000000";
        }
        // A new class gets an identifier once; from then on the table is its source.
        uint hash = 0x811C9DC5;
        var taken = new HashSet<string>(_ids.Values, StringComparer.Ordinal);
        string candidate;
        int salt = 0;
        do
        {
            foreach (char c in fullName + (salt++ == 0 ? "" : "#" + salt)) { hash ^= c; hash *= 16777619; }
            candidate = hash.ToString("X8", CultureInfo.InvariantCulture);
        } while (!taken.Add(candidate));
        _ids[fullName] = candidate;
        Assigned.Add(fullName);
        return candidate;
    }

    public void SaveIfChanged()
    {
        if (Assigned.Count == 0) return;
        var lines = new List<string>
        {
            "# Fixed identifiers of the interop classes: <.NET full name> <8 hex digits>.",
            "# Never change an identifier once given; new classes get one with `make assign-ids`.",
        };
        lines.AddRange(_ids.Select(kv => $"{kv.Key} {kv.Value}"));
        File.WriteAllLines(_path, lines);
    }
}
