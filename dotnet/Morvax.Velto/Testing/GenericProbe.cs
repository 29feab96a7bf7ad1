// GenericProbe: a test fixture for the Python bindings, not part of the document API.
// It hands out and takes typed arrays of every element family (integers, floats, booleans,
// dates, strings, any values, types, streams, classes and arrays of arrays), and typed lists
// and enumerators, so the binding tests can check each typed adapter and each container
// argument against what .NET sees.
using System;
using System.IO;
using System.Linq;
using Morvax.Velto.Shaping;

namespace Morvax.Velto.Testing;

public sealed class GenericProbe
{
    public GenericProbe()
    {
    }

    public int[] Numbers(int count) => Enumerable.Range(0, count).ToArray();

    /// <summary>The sum of the values; -1 for null.</summary>
    public long Sum(int[] values) => values?.Sum(v => (long)v) ?? -1;

    public double Total(double[] values) => values?.Sum() ?? -1;

    public int CountTrue(bool[] flags) => flags?.Count(f => f) ?? -1;

    public int LatestYear(DateTime[] dates) => dates == null || dates.Length == 0 ? -1 : dates.Max().Year;

    public string[] Words() => new[] { "alpha", null!, "gamma" };

    /// <summary>The parts joined with "|" (None as "&lt;none&gt;"); "&lt;null&gt;" for a null array.</summary>
    public string Join(string[] parts) => parts == null ? "<null>" : string.Join("|", parts.Select(p => p ?? "<none>"));

    public object[] Mixed() => new object[] { 1, "two", 3.5, null! };

    /// <summary>The .NET type name of each item ("null" for null).</summary>
    public string Describe(object[] items) => items == null ? "<null>" : string.Join(",", items.Select(i => i?.GetType().Name ?? "null"));

    public Type[] Types() => new[] { typeof(int), typeof(string) };

    /// <summary>The types' names joined with "|"; "&lt;null&gt;" for a null array.</summary>
    public string TypeNames(Type[] types) => types == null ? "<null>" : string.Join("|", types.Select(t => t?.Name ?? "<none>"));

    public Stream[] Streams() => new Stream[] { new MemoryStream(new byte[] { 1, 2, 3 }), new MemoryStream() };

    public Cluster[] Clusters(int count) =>
        Enumerable.Range(0, count).Select(i => new Cluster { CharacterIndex = i, CharacterCount = 1, GlyphCount = 1 }).ToArray();

    public Cluster[][] NestedClusters() => new[] { Clusters(2), Clusters(1) };

    /// <summary>count unattached paragraphs of one document, for reading benchmarks.</summary>
    public Paragraph[] ManyParagraphs(int count)
    {
        var doc = new Document();
        var paragraphs = new Paragraph[count];
        for (int i = 0; i < count; i++) paragraphs[i] = new Paragraph(doc);
        return paragraphs;
    }

    public int CountParagraphs(Paragraph[] paragraphs) => paragraphs?.Length ?? -1;

    /// <summary>A list of the integers 0 to count - 1, which the probe keeps: <see cref="Capacity"/> reports on it.</summary>
    public System.Collections.Generic.List<int> NumberList(int count)
    {
        kept = Enumerable.Range(0, count).ToList();
        kept.TrimExcess();
        return kept;
    }

    /// <summary>The capacity of the list NumberList last gave out.</summary>
    public int Capacity => kept?.Capacity ?? -1;

    /// <summary>The sum of the list's values; -1 for null.</summary>
    public long SumList(System.Collections.Generic.List<int> values) => values?.Sum(v => (long)v) ?? -1;

    /// <summary>The total length of the streams ("-1" for null); each is left as it was.</summary>
    public long TotalLength(System.Collections.Generic.List<Stream> streams) => streams?.Sum(s => s.Length) ?? -1;

    /// <summary>An enumerator of the integers 0 to count - 1.</summary>
    public System.Collections.Generic.IEnumerator<int> Counter(int count) => Enumerable.Range(0, count).GetEnumerator();

    /// <summary>How many items the enumerator gives before it ends.</summary>
    public int Drain(System.Collections.Generic.IEnumerator<int> items)
    {
        int n = 0;
        while (items.MoveNext()) n++;
        return n;
    }

    /// <summary>
    /// Edits the numbers as a member filling its caller's list does: removes the first 99,
    /// multiplies the first number by 10, inserts 1 after it and appends -1; gives
    /// "&lt;index of -1&gt;:&lt;count&gt;".
    /// </summary>
    public string Edit(System.Collections.Generic.IList<int> numbers)
    {
        numbers.Remove(99);
        numbers[0] = numbers[0] * 10;
        numbers.Insert(1, 1);
        numbers.Add(-1);
        return $"{numbers.IndexOf(-1)}:{numbers.Count}";
    }

    /// <summary>Appends 0 to count - 1 to the numbers; gives their new count.</summary>
    public int Fill(System.Collections.Generic.IList<int> numbers, int count)
    {
        for (int i = 0; i < count; i++) numbers.Add(i);
        return numbers.Count;
    }

    /// <summary>Empties the numbers.</summary>
    public void Empty(System.Collections.Generic.IList<int> numbers) => numbers.Clear();

    /// <summary>Removes the item at the index.</summary>
    public void RemoveAt(System.Collections.Generic.IList<int> numbers, int index) => numbers.RemoveAt(index);

    /// <summary>"&lt;contains&gt;:&lt;index&gt;:&lt;sum&gt;:&lt;read-only&gt;" of the value in the numbers, read without changing them.</summary>
    public string Inspect(System.Collections.Generic.IList<int> numbers, int value) =>
        $"{numbers.Contains(value)}:{numbers.IndexOf(value)}:{numbers.Sum()}:{numbers.IsReadOnly}";

    /// <summary>Keeps the list past the call; <see cref="KeptCount"/> then reads it.</summary>
    public void Keep(System.Collections.Generic.IList<int> numbers) => held = numbers;

    public int KeptCount => held?.Count ?? -1;

    /// <summary>The field codes of the fields, joined with "|".</summary>
    public string FieldCodes(System.Collections.Generic.IList<Fields.Field> fields) =>
        string.Join("|", fields.Select(f => f.GetFieldCode()));

    private System.Collections.Generic.List<int>? kept;
    private System.Collections.Generic.IList<int>? held;
}
