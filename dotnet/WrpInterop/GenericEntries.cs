// GenericEntries.cs: the bodies that only the typed interop classes of Morvax.WrpGen.Generic
// need (the rest they share with the untyped classes through ContainerEntries).  Each catches
// every exception and reports it through ErrorBridge, or, where its entry point catches
// around it, leaves that to the entry point.
using System;
using System.Collections.Generic;
using System.Runtime.CompilerServices;

namespace Morvax.WrpGen.Interop
{
    internal static unsafe class GenericEntries
    {
        // The item bodies of the typed classes over class elements. Each is compiled into its
        // class's entry point, which catches around it, with T the element's own class,
        // sealedElement whether that class is sealed (and no array type) and declared whether T
        // is a class rather than an interface (the items of an interface element keep their own
        // classes, as a result declared as an interface does). When declared, an item of T is
        // handed over with type key 0: the native side wraps it as T's Python class, whatever
        // its own class, so its run-time type is not looked at. An array whose own type is T[]
        // holds nothing but T objects and nulls, so its items need no test at all (a walk over
        // many objects then touches none of them). Any other item (an element that is an
        // interface, or a container seen through another element type) takes its run-time key.

        /// <summary>
        /// Item i of an array (or list) for native code that wraps it itself: a new handle, and
        /// the key of its run-time type unless it is a T (handle 0 for null). 0; 2 for an index
        /// out of range.
        /// </summary>
        [MethodImpl(MethodImplOptions.AggressiveInlining)]
        internal static int ItemRefAt<T>(uint handle, int index, ItemRef* outItem, bool sealedElement, bool declared) where T : class
        {
            object? target = HandleTable.Get(handle);
            if (sealedElement ? target is not null && target.GetType() == typeof(T[]) : target is T[])
            {
                T[] items = Unsafe.As<T[]>(target);
                if ((uint)index >= (uint)items.Length) return 2;
                HandOver<T>(items[index], outItem, declared, true);
                return 0;
            }
            return OtherItemRefAt<T>(target, index, outItem, declared);
        }

        // ItemRefAt of arrays of other element types (a reinterpreted handle) and of lists.
        private static int OtherItemRefAt<T>(object? target, int index, ItemRef* outItem, bool declared) where T : class
        {
            if (target is object[] items)  // any array of a reference type
            {
                if ((uint)index >= (uint)items.Length) return 2;
                HandOver<T>(items[index], outItem, declared, false);
                return 0;
            }
            var list = (System.Collections.IList)target!;
            if ((uint)index >= (uint)list.Count) return 2;
            HandOver<T>(list[index], outItem, declared, false);
            return 0;
        }

        /// <summary>The next item of an enumerator, handed over as ItemRefAt does: 0; 1 at the end.</summary>
        [MethodImpl(MethodImplOptions.AggressiveInlining)]
        internal static int StepRef<T>(uint handle, ItemRef* outItem, bool sealedElement, bool declared) where T : class
        {
            System.Collections.IEnumerator? issued = HandleTable.EnumeratorAt(handle);
            if (issued is ArrayCursor cursor)
            {
                // The cursor reads the array without interface calls.
                if (!cursor.TryNext(out object? next)) return 1;
                HandOver<T>(next, outItem, declared, sealedElement ? cursor.Items.GetType() == typeof(T[]) : cursor.Items is T[]);
                return 0;
            }
            if (issued is Morvax.Velto.NodeWalker nodes)
            {
                // The library's node walk, stepped directly: no interface calls per step. Its
                // items are nodes, so an enumerator of nodes hands them over without a look at
                // them (the walk may read them from its kept record without touching them).
                Morvax.Velto.Node? node = nodes.Next();
                if (node is null) return 1;
                HandOver<T>(node, outItem, declared, typeof(T) == typeof(Morvax.Velto.Node));
                return 0;
            }
            return StepOther<T>(issued ?? (System.Collections.IEnumerator)HandleTable.Get(handle)!, outItem, declared);
        }

        // StepRef of any other enumerator (and of an enumerator handle a member returned, which
        // GetEnumerator did not issue), through its interface, kept out of the entry points.
        private static int StepOther<T>(System.Collections.IEnumerator enumerator, ItemRef* outItem, bool declared) where T : class
        {
            if (!enumerator.MoveNext()) return 1;
            HandOver<T>(enumerator.Current, outItem, declared, false);
            return 0;
        }

        // Hands an item over: when declared, one known to be a T (isT) or found to be one takes
        // key 0; any other the key of its own class (the class asked for last answers without a
        // lookup).
        [MethodImpl(MethodImplOptions.AggressiveInlining)]
        private static void HandOver<T>(object? item, ItemRef* outItem, bool declared, bool isT) where T : class
        {
            outItem->Kind = 0;
            if (item is null)
            {
                outItem->TypeKey = 0;
                outItem->Handle = 0;
                return;
            }
            outItem->TypeKey = declared && (isT || item is T) ? 0 : Marshalling.TypeKeyOf(item.GetType());
            outItem->Handle = HandleTable.Add(item);
        }

        internal static void EnsureCapacity<T>(uint handle, int count)
        {
            try
            {
                var list = HandleTable.Get<List<T>>(handle);
                if (count > 0) list.EnsureCapacity(list.Count + count);
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
            }
        }
    }
}
