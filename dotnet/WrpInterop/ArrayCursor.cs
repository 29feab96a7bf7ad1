// ArrayCursor.cs: the enumerator handed out for arrays of reference-type elements.  An array
// cannot change length and its own enumerator reads the element only when asked, so walking
// it by index is observably the same walk; what the cursor saves is the interface calls of
// .NET's enumerator on every step (the entry points see this sealed class and read the array
// directly).
using System;
using System.Collections;
using System.Runtime.CompilerServices;

namespace Morvax.WrpGen.Interop
{
    internal sealed class ArrayCursor : IEnumerator, IDisposable
    {
        private readonly object?[] _items;
        private int _index = -1;

        internal ArrayCursor(object?[] items)
        {
            _items = items;
        }

        /// <summary>The array walked.</summary>
        internal object?[] Items => _items;

        /// <summary>Steps on and reads the item there: false at the end (and from then on).</summary>
        [MethodImpl(MethodImplOptions.AggressiveInlining)]
        internal bool TryNext(out object? item)
        {
            int next = _index + 1;
            if (next >= _items.Length)
            {
                _index = _items.Length;
                item = null;
                return false;
            }
            _index = next;
            item = _items[next];
            return true;
        }

        public bool MoveNext() => TryNext(out _);

        public object? Current =>
            (uint)_index < (uint)_items.Length
                ? _items[_index]
                : throw new InvalidOperationException(_index < 0 ? "Enumeration has not started. Call MoveNext." : "Enumeration already finished.");

        public void Reset() => _index = -1;

        public void Dispose()
        {
        }
    }
}
