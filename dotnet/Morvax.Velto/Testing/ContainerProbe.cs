// ContainerProbe: a test fixture for the Python bindings, not part of the document API.
// It hands out and takes every non-generic container kind (lists, array lists, arrays,
// collections, collection bases, enumerables, enumerators, disposables) and reports what
// .NET sees of them, so the binding tests can check each adapter against real behaviour.
using System;
using System.Collections;
using System.Linq;
using Morvax.Velto.Shaping;

namespace Morvax.Velto.Testing;

public sealed class ContainerProbe
{
    private readonly ArrayList _arrayList = new() { 1, 2, 3 };
    private readonly ProbeCollection _collection = new();
    private readonly Counter _disposable = new();

    public ContainerProbe()
    {
    }

    /// <summary>The same .NET array list on every read: changes made through one wrapper show through the next.</summary>
    public ArrayList ArrayList => _arrayList;

    public IList List => _arrayList;

    public ICollection Collection => _arrayList;

    public IEnumerable Enumerable => _arrayList;

    public IEnumerator Enumerator => _arrayList.GetEnumerator();

    public int[] Array { get; } = { 5, 6, 7 };

    public CollectionBase CollectionBase => _collection;

    public ReadOnlyCollectionBase ReadOnlyCollectionBase => new ProbeReadOnlyCollection(_arrayList);

    public IDisposable Disposable => _disposable;

    /// <summary>How many times Dispose ran on the disposable.</summary>
    public int DisposeCount => _disposable.Count;

    /// <summary>An enumerable whose GetEnumerator gives null, as a broken collection may.</summary>
    public IEnumerable NullEnumerable => new NoEnumerator();

    /// <summary>An enumerable of n fresh probes (a bound class), for iteration benchmarks.</summary>
    public IEnumerable Objects(int n) => System.Linq.Enumerable.Range(0, n).Select(_ => new ValueProbe()).ToList();

    /// <summary>A list of the integers 0 to n - 1.</summary>
    public ArrayList Numbers(int n) => new(System.Linq.Enumerable.Range(0, n).ToList());

    /// <summary>The sum of the items, each read as a number.</summary>
    public long SumAll(IEnumerable items) => items.Cast<object>().Sum(item => Convert.ToInt64(item));

    /// <summary>The items' texts joined by commas; null items as "null".</summary>
    public string Join(IEnumerable? items) =>
        items is null ? "no items" : string.Join(",", items.Cast<object?>().Select(item => item?.ToString() ?? "null"));

    public int CountOf(IList list) => list.Count;

    public int Drain(IEnumerator items)
    {
        int count = 0;
        while (items.MoveNext())
        {
            count++;
        }
        return count;
    }

    public string Describe(ICollection items) => $"{items.Count}:{Join(items)}";

    /// <summary>A new text shaper whose disposals count in ShapersDisposed.</summary>
    public ITextShaper NewShaper() => new CountingShaper(this);

    /// <summary>How many times Dispose ran on the shapers this probe made.</summary>
    public int ShapersDisposed { get; private set; }

    /// <summary>Puts count new counting shapers into the cache, one per font.</summary>
    public void FillShaperCache(BasicTextShaperCache cache, int count)
    {
        for (int i = 0; i < count; i++) cache.GetShaper($"font-{i}", NewShaper);
    }

    /// <summary>How many shapers the cache holds.</summary>
    public int CachedShapers(BasicTextShaperCache cache) => cache.CachedShaperCount;

    /// <summary>How many times Dispose ran on the cache.</summary>
    public int CacheDisposeCount(BasicTextShaperCache cache) => cache.DisposeCount;

    private sealed class CountingShaper(ContainerProbe owner) : ITextShaper
    {
        public void Dispose() => owner.ShapersDisposed++;
    }

    private sealed class Counter : IDisposable
    {
        public int Count { get; private set; }

        public void Dispose() => Count++;
    }

    private sealed class ProbeCollection : CollectionBase
    {
    }

    private sealed class ProbeReadOnlyCollection : ReadOnlyCollectionBase
    {
        public ProbeReadOnlyCollection(IEnumerable items)
        {
            foreach (object? item in items)
            {
                InnerList.Add(item);
            }
        }
    }

    private sealed class NoEnumerator : IEnumerable
    {
        public IEnumerator GetEnumerator() => null!;
    }
}
