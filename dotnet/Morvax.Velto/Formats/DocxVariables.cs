// DocxVariables: the document variables (names with string values) of the
// settings part. Writing leaves the part's list as it is when it already holds
// exactly the document's variables, so an unchanged document keeps its order.
using System.Collections.Generic;
using System.Linq;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static class DocxVariables
{
    public static void Read(Document doc, W.Settings settings)
    {
        doc.Variables.Clear();
        foreach ((string name, string value) in InPart(settings))
        {
            if (name.Length > 0)
                doc.Variables.Add(name, value);
        }
    }

    public static void Write(Document doc, W.Settings settings)
    {
        var wanted = doc.Variables.Select(v => (v.Key, v.Value)).ToList();
        if (InPart(settings).OrderBy(v => v.Name, System.StringComparer.OrdinalIgnoreCase)
            .SequenceEqual(wanted.OrderBy(v => v.Key, System.StringComparer.OrdinalIgnoreCase)))
            return;
        settings.GetFirstChild<W.DocumentVariables>()?.Remove();
        if (wanted.Count == 0)
            return;
        var variables = new W.DocumentVariables(
            wanted.Select(v => new W.DocumentVariable { Name = v.Key, Val = v.Value }));
        DocxWriter.AddInOrder(settings, variables);
    }

    private static IEnumerable<(string Name, string Value)> InPart(W.Settings settings) =>
        settings.GetFirstChild<W.DocumentVariables>()?.Elements<W.DocumentVariable>()
            .Select(v => (v.Name?.Value ?? string.Empty, v.Val?.Value ?? string.Empty))
        ?? Enumerable.Empty<(string, string)>();
}
