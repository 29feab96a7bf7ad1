// ContainerOps.cs: what the container entry points (SiApiContainers.cs) do to a
// .NET collection.  The entry points only unpack handles and records and catch
// exceptions; the list algorithms live here once, over IList, so that lists,
// array lists, arrays and collection bases behave alike.  Indices arrive
// already made non-negative by the native side, except where noted.
using System;
using System.Collections;
using System.Collections.Generic;
using System.Linq;

namespace Morvax.WrpGen.Interop
{
    internal static unsafe class ContainerOps
    {
        internal const int Ok = 0;
        internal const int Empty = 1;
        internal const int Handled = 1;
        internal const int OutOfRange = 2;

        /// <summary>How many Python lists Items and EnumeratedItems began (a count for tests).</summary>
        internal static int PythonListsMade;

        [System.Runtime.CompilerServices.MethodImpl(System.Runtime.CompilerServices.MethodImplOptions.AggressiveInlining)]
        internal static T Of<T>(uint handle) where T : class => Marshalling.Target<T>(handle);

        internal static object? Value(PyVariant* variant) => Marshalling.ReadVariant(variant);

        /// <summary>A new Python object for an item; Zero for null, Zero with an error when a builder failed.</summary>
        internal static IntPtr Item(object? item)
        {
            IntPtr built = Marshalling.PyObject(item);
            if (built == IntPtr.Zero && item is not null)
            {
                throw new PythonErrorPending("building a collection item failed");
            }
            return built;
        }

        /// <summary>
        /// A new Python list of count items of the list, from start on by step (indices already
        /// adjusted to the list by the native side), made in one call through the new-list and
        /// store-item callbacks; each item as SqGetItemNoCheck builds it. On a failure the
        /// partly filled list (its unfilled places empty) is released and the error stands.
        /// </summary>
        internal static IntPtr Items(IList list, int start, int count, int step)
        {
            PythonListsMade++;
            IntPtr made;
            IntPtr* places = StaticCallbacks.NewList(Math.Max(count, 0), &made);
            return Fill(made, places, list, start, count, step);
        }

        /// <summary>
        /// All items of a collection without indexing, as its enumeration yields them, in a new
        /// Python list of its count: Ok and the list; Empty when it gave no enumerator;
        /// OutOfRange when the enumeration yielded more or fewer items than the count.
        /// </summary>
        internal static int EnumeratedItems(ICollection collection, IntPtr* outList)
        {
            *outList = IntPtr.Zero;
            int count = collection.Count;
            IEnumerator? enumerator = collection.GetEnumerator();
            if (enumerator is null)
            {
                return Empty;
            }
            IntPtr made;
            PythonListsMade++;
            IntPtr* places = StaticCallbacks.NewListWithHint(count, count, &made);
            if (made == IntPtr.Zero)
            {
                throw new PythonErrorPending("making a Python list failed");
            }
            int filled = 0;
            try
            {
                var store = StaticCallbacks.StoreItem;
                while (enumerator.MoveNext())
                {
                    if (filled == count)
                    {
                        filled++;  // one more than the count: a mismatch
                        break;
                    }
                    store(places, filled, ItemOrNone(enumerator.Current));
                    filled++;
                }
            }
            catch
            {
                Release(made);
                throw;
            }
            finally
            {
                (enumerator as IDisposable)?.Dispose();
            }
            if (filled != count)
            {
                Release(made);
                return OutOfRange;
            }
            *outList = made;
            return Ok;
        }

        private static IntPtr Fill(IntPtr made, IntPtr* places, IList list, int start, int count, int step)
        {
            if (made == IntPtr.Zero)
            {
                throw new PythonErrorPending("making a Python list failed");
            }
            try
            {
                var store = StaticCallbacks.StoreItem;
                for (int k = 0; k < count; k++)
                {
                    store(places, k, ItemOrNone(list[start + k * step]));
                }
            }
            catch
            {
                Release(made);
                throw;
            }
            return made;
        }

        // A list's place needs a reference even for null: Python's None.
        private static IntPtr ItemOrNone(object? item)
        {
            IntPtr built = Item(item);
            return built != IntPtr.Zero ? built : NativeCallbacks.NewNone();
        }

        private static void Release(IntPtr made)
        {
            if (made != IntPtr.Zero)
            {
                NativeCallbacks.DropReference(made);
            }
        }

        internal static int GetItem(IList list, int index, IntPtr* outItem)
        {
            if (index < 0 || index >= list.Count)
            {
                return OutOfRange;
            }
            *outItem = Item(list[index]);
            return Ok;
        }

        internal static int SetItem(IList list, int index, PyVariant* value)
        {
            object? item = Value(value);
            if (index < 0 || index >= list.Count)
            {
                return OutOfRange;
            }
            list[index] = item;
            return Ok;
        }

        /// <summary>Python's insert: a negative index counts from the end, and any index is clamped to the list.</summary>
        internal static void Insert(IList list, int index, PyVariant* value)
        {
            object? item = Value(value);
            int count = list.Count;
            if (index < 0)
            {
                index += count;
            }
            list.Insert(Math.Clamp(index, 0, count), item);
        }

        internal static void EnsureCapacity(ArrayList list, int count)
        {
            if (count > 0 && list.Count + count > list.Capacity)
            {
                list.Capacity = list.Count + count;
            }
        }

        /// <summary>A plain collection base holding the items, for a Python list offered where one is expected.</summary>
        internal static CollectionBase NewCollectionBase(IEnumerable<object?> items)
        {
            var collection = new PlainCollection();
            foreach (object? item in items)
            {
                ((IList)collection).Add(item);
            }
            return collection;
        }

        internal static ReadOnlyCollectionBase NewReadOnlyCollectionBase(IEnumerable<object?> items) =>
            new PlainReadOnlyCollection(items);

        private sealed class PlainCollection : CollectionBase
        {
        }

        private sealed class PlainReadOnlyCollection : ReadOnlyCollectionBase
        {
            internal PlainReadOnlyCollection(IEnumerable<object?> items)
            {
                foreach (object? item in items)
                {
                    InnerList.Add(item);
                }
            }
        }

        internal static int RemoveAt(IList list, int index)
        {
            if (index < 0 || index >= list.Count)
            {
                return OutOfRange;
            }
            list.RemoveAt(index);
            return Ok;
        }

        /// <summary>1 when an equal item was found and removed.</summary>
        internal static int Remove(IList list, PyVariant* value)
        {
            int at = list.IndexOf(Value(value));
            if (at < 0)
            {
                return 0;
            }
            list.RemoveAt(at);
            return 1;
        }

        /// <summary>Python's pop: no argument takes the last item; a negative index counts from the end.</summary>
        internal static int Pop(IList list, int argumentCount, int index, IntPtr* outItem)
        {
            int count = list.Count;
            if (count == 0)
            {
                return Empty;
            }
            if (argumentCount == 0)
            {
                index = count - 1;
            }
            else if (index < 0)
            {
                index += count;
            }
            if (index < 0 || index >= count)
            {
                return OutOfRange;
            }
            // Built before removal: a failed build leaves the list as it was.
            *outItem = Item(list[index]);
            list.RemoveAt(index);
            return Ok;
        }

        internal static int Contains(IEnumerable items, PyVariant* value)
        {
            object? wanted = Value(value);
            foreach (object? item in items)
            {
                if (Equals(item, wanted))
                {
                    return 1;
                }
            }
            return 0;
        }

        internal static int CountOf(IEnumerable items, PyVariant* value)
        {
            object? wanted = Value(value);
            int count = 0;
            foreach (object? item in items)
            {
                if (Equals(item, wanted))
                {
                    count++;
                }
            }
            return count;
        }

        /// <summary>Python's list.index(value, start, stop): the slice bounds as Python clamps them.</summary>
        internal static int IndexBy(IList list, int hasStart, int start, int hasStop, int stop, PyVariant* value)
        {
            object? wanted = Value(value);
            int count = list.Count;
            int from = hasStart != 0 ? Clamp(start, count) : 0;
            int to = hasStop != 0 ? Clamp(stop, count) : count;
            for (int i = from; i < to && i < list.Count; i++)
            {
                if (Equals(list[i], wanted))
                {
                    return i;
                }
            }
            return -1;
        }

        private static int Clamp(int index, int count)
        {
            if (index < 0)
            {
                index += count;
            }
            return Math.Clamp(index, 0, count);
        }

        /// <summary>The items of another .NET operand, copied first so that the operand may be the list itself.</summary>
        internal static List<object?>? ItemsOf(KindHandle* operand)
        {
            return HandleTable.Get(operand->Handle) is IEnumerable source ? source.Cast<object?>().ToList() : null;
        }

        /// <summary>x += other for a .NET operand: 1 when its items were added.</summary>
        internal static int InplaceConcat(IList list, KindHandle* operand)
        {
            List<object?>? items = ItemsOf(operand);
            if (items is null)
            {
                return 0;
            }
            if (list is ArrayList arrayList)
            {
                arrayList.Capacity = Math.Max(arrayList.Capacity, arrayList.Count + items.Count);
            }
            foreach (object? item in items)
            {
                list.Add(item);
            }
            return Handled;
        }

        /// <summary>x *= count: the items repeated; zero or less empties the list.</summary>
        internal static void InplaceRepeat(IList list, int count)
        {
            if (count <= 0)
            {
                list.Clear();
                return;
            }
            var items = list.Cast<object?>().ToList();
            for (int round = 1; round < count; round++)
            {
                foreach (object? item in items)
                {
                    list.Add(item);
                }
            }
        }

        /// <summary>x[start::step] = operand for a .NET operand of exactly length items: 1 when set.</summary>
        internal static int SetItems(IList list, KindHandle* operand, int start, int length, int step)
        {
            List<object?>? items = ItemsOf(operand);
            if (items is null || items.Count != length)
            {
                return 0;
            }
            for (int k = 0; k < length; k++)
            {
                list[start + k * step] = items[k];
            }
            return Handled;
        }

        /// <summary>del x[slice]: the native side walks downwards (step is negative), so earlier indices stay valid.</summary>
        internal static void RemoveItems(IList list, int start, int length, int step)
        {
            if (step >= 0)
            {
                throw new ArgumentOutOfRangeException(nameof(step), step, "items are removed from the last one down");
            }
            for (int k = 0; k < length; k++)
            {
                list.RemoveAt(start + k * step);
            }
        }

        internal static void Reverse(IList list)
        {
            for (int low = 0, high = list.Count - 1; low < high; low++, high--)
            {
                (list[low], list[high]) = (list[high], list[low]);
            }
        }

        /// <summary>A stable sort by the default comparer; reversed as Python reverses (equal items keep their order).</summary>
        internal static void Sort(IList list, int reverse)
        {
            var items = list.Cast<object?>().ToList();
            var sorted = reverse != 0
                ? items.OrderByDescending(x => x, Comparer<object?>.Default).ToList()
                : items.OrderBy(x => x, Comparer<object?>.Default).ToList();
            for (int i = 0; i < sorted.Count; i++)
            {
                list[i] = sorted[i];
            }
        }

        /// <summary>The handle and type key of a new enumerator; handle 0 when the collection gave none.</summary>
        internal static int GetEnumerator(IEnumerable enumerable, EnumeratorRef* outRef)
        {
            // Arrays of reference types are walked by the cursor the entry points read directly.
            IEnumerator? enumerator = enumerable is object?[] items ? new ArrayCursor(items) : enumerable.GetEnumerator();
            outRef->TypeKey = enumerator is null ? 0 : Marshalling.TypeKeyOf(enumerator.GetType());
            outRef->Handle = HandleTable.AddEnumerator(enumerator);
            return 0;
        }

        /// <summary>0 with a new reference to the current item, 1 at the end.</summary>
        internal static int MoveNext(IEnumerator enumerator, IntPtr* outItem)
        {
            if (!enumerator.MoveNext())
            {
                return 1;
            }
            *outItem = Item(enumerator.Current);
            return 0;
        }

        /// <summary>
        /// MoveNext for native code that wraps .NET objects itself: an item of the type
        /// wrapped last comes back as a new handle and its type key (Kind 0), saving the
        /// call back into native code; any other item as the Python object Item builds
        /// (Kind 2, a new reference, null for None).
        /// </summary>
        internal static int MoveNext(IEnumerator enumerator, ItemRef* outItem)
        {
            object? item;
            if (enumerator is ArrayCursor cursor)
            {
                if (!cursor.TryNext(out item))
                {
                    return 1;
                }
            }
            else
            {
                if (!enumerator.MoveNext())
                {
                    return 1;
                }
                item = enumerator.Current;
            }
            uint typeKey = Marshalling.WrappedLastKey(item);
            if (typeKey != 0)
            {
                outItem->Handle = HandleTable.Add(item);
                outItem->TypeKey = typeKey;
                outItem->Kind = 0;
                return 0;
            }
            outItem->Object = Item(item);
            outItem->Kind = 2;
            return 0;
        }
    }

    /// <summary>One item of an enumeration as MoveNext hands it to native code (see ContainerOps.MoveNext).</summary>
    [System.Runtime.InteropServices.StructLayout(System.Runtime.InteropServices.LayoutKind.Sequential)]
    public struct ItemRef
    {
        public int Kind;       // 0: Handle and TypeKey; 2: Object
        public uint Handle;
        public uint TypeKey;
        public IntPtr Object;
    }

    /// <summary>Where GetEnumerator writes the enumerator: its handle, then its runtime type's key.</summary>
    [System.Runtime.InteropServices.StructLayout(System.Runtime.InteropServices.LayoutKind.Sequential)]
    public struct EnumeratorRef
    {
        public uint Handle;
        public uint TypeKey;
    }
}
