// Morvax.Generator: reads the public surface of Morvax.Velto.dll and writes the generated
// interop classes (C#) and the binding tables (C++).
//
//   Morvax.Generator --library <Morvax.Velto.dll> --ids <class-ids.txt> [--element-ids <element-ids.txt>] [--docs <Morvax.Velto.xml>]
//                    --cs-out <file.cs> --cpp-out <dir> [--stubs-out <dir>] [--assign-ids]
//                    [--omit <Class.Full.Name.entry>]...
// The docstrings quote the library's XML documentation file; --stubs-out writes the .pyi
// stubs of the module tree below <dir> (morvax/velto/...). --element-ids adds the typed
// containers: their interop classes to the C# and generic_catalogue.cpp to the C++.
using System.Reflection;

namespace Morvax.Generator;

public static class Program
{
    public static int Main(string[] args)
    {
        string? library = null, ids = null, elementIds = null, csOut = null, cppOut = null, docsPath = null, stubsOut = null;
        bool assignIds = false;
        var omitted = new HashSet<string>(StringComparer.Ordinal);
        for (int i = 0; i < args.Length; i++)
        {
            string Next() => i + 1 < args.Length ? args[++i] : throw new ArgumentException($"{args[i]} needs a value");
            switch (args[i])
            {
                case "--library": library = Next(); break;
                case "--ids": ids = Next(); break;
                case "--element-ids": elementIds = Next(); break;
                case "--cs-out": csOut = Next(); break;
                case "--cpp-out": cppOut = Next(); break;
                case "--docs": docsPath = Next(); break;
                case "--stubs-out": stubsOut = Next(); break;
                case "--assign-ids": assignIds = true; break;
                case "--omit": omitted.Add(Next()); break;
                default: Console.Error.WriteLine($"unknown argument '{args[i]}'"); return 2;
            }
        }
        if (library == null || ids == null || (!assignIds && (csOut == null || cppOut == null)))
        {
            Console.Error.WriteLine("usage: Morvax.Generator --library <dll> --ids <file> [--docs <xml>] --cs-out <file> --cpp-out <dir> [--stubs-out <dir>] [--assign-ids] [--omit <entry>]");
            return 2;
        }

        var classIds = new ClassIds(ids, assignIds);
        var docs = docsPath != null ? LibraryDocs.Load(docsPath) : LibraryDocs.Empty;
        var assembly = Assembly.LoadFrom(Path.GetFullPath(library));
        var elements = elementIds != null ? new ElementIds(elementIds, assembly) : null;
        var builder = new ModelBuilder(docs) { Elements = elements };
        var classes = builder.Build(assembly, classIds);
        if (assignIds)
        {
            classIds.SaveIfChanged();
            Console.WriteLine($"assigned identifiers to {classIds.Assigned.Count} new classes: {string.Join(", ", classIds.Assigned)}");
            return 0;
        }
        if (classIds.Missing.Count > 0)
        {
            Console.Error.WriteLine($"{ids}: no identifier for {string.Join(", ", classIds.Missing)}; run `make assign-ids` and commit the table");
            return 1;
        }
        if (elements != null && elements.Missing.Count > 0)
        {
            Console.Error.WriteLine($"{elementIds}: no identifier for the container element types {string.Join(", ", elements.Missing)}; " +
                                    "give each a new fixed identifier in the table and commit it");
            return 1;
        }

        WriteIfChanged(csOut!, CSharpEmitter.Emit(classes, builder.Enums, omitted) +
                               (elements != null ? GenericEmitter.EmitCSharp(elements.Elements) : ""));
        Directory.CreateDirectory(cppOut!);
        var cppFiles = CppEmitter.Emit(classes, builder.Enums);
        if (elements != null) cppFiles["generic_catalogue.cpp"] = GenericEmitter.EmitCpp(elements.Elements);
        foreach (var (name, text) in cppFiles)
            WriteIfChanged(Path.Combine(cppOut!, name), text);
        if (stubsOut != null)
        {
            var stubs = StubEmitter.Emit(classes, builder.Enums);
            foreach (var (name, text) in stubs)
            {
                var path = Path.Combine(stubsOut, name);
                Directory.CreateDirectory(Path.GetDirectoryName(path)!);
                WriteIfChanged(path, text);
            }
        }

        Console.WriteLine($"Morvax.Generator: {classes.Count} classes, {builder.Enums.Count} enumerations " +
                          $"({builder.Enums.Sum(e => e.Members.Count)} members), {classes.Sum(c => c.Entries.Count)} class entry points" +
                          (omitted.Count > 0 ? $" ({omitted.Count} left out on request)" : "") +
                          $", {docs.Count} documentation summaries read");
        Console.WriteLine("  emitted: " + string.Join(", ", builder.Tally.Emitted.Select(kv => $"{kv.Value} {kv.Key}")));
        Console.WriteLine("  left for later: " + (builder.Tally.Deferred.Count == 0 ? "nothing" :
                          string.Join(", ", builder.Tally.Deferred.Select(kv => $"{kv.Value} {kv.Key}"))));
        return 0;
    }

    // Unchanged outputs keep their time stamps, so an unrelated change rebuilds nothing.
    private static void WriteIfChanged(string path, string text)
    {
        if (File.Exists(path) && File.ReadAllText(path) == text) return;
        File.WriteAllText(path, text);
    }
}
