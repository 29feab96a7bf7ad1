// GenericEntries.cs: the guarded bodies that only the typed interop classes of
// Morvax.WrpGen.Generic need (the rest they share with the untyped classes through
// ContainerEntries).  Each catches every exception and reports it through ErrorBridge.
using System;
using System.Collections.Generic;

namespace Morvax.WrpGen.Interop
{
    internal static unsafe class GenericEntries
    {
        // Not generic over the element: the typed classes of every class element share these
        // bodies, and code shared over reference types would look its types up on each call.

        /// <summary>
        /// Item i of an array for native code that wraps it itself: a new handle and the key of its
        /// run-time type (handle 0 for null). 0; 2 for an index out of range; -1 after an error.
        /// </summary>
        internal static int GetItemRef(uint handle, int index, ItemRef* outItem)
        {
            try
            {
                object? target = HandleTable.Get(handle);
                if (target is object[] items)  // any array of a reference type
                {
                    if ((uint)index >= (uint)items.Length) return 2;
                    Hand(items[index], outItem);
                    return 0;
                }
                var list = (System.Collections.IList)target!;
                if ((uint)index >= (uint)list.Count) return 2;
                Hand(list[index], outItem);
                return 0;
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
                return -1;
            }
        }

        /// <summary>The next item of an enumerator, handed over as GetItemRef does: 0; 1 at the end; -1 after an error.</summary>
        internal static int MoveNextRef(uint handle, ItemRef* outItem)
        {
            try
            {
                System.Collections.IEnumerator? issued = HandleTable.EnumeratorAt(handle);
                object? target = issued ?? HandleTable.Get(handle);
                if (target is ArrayCursor cursor)
                {
                    // The cursor reads the array without interface calls, and where the element
                    // type is sealed its key serves every item without asking the item's type.
                    if (!cursor.TryNext(out object? next)) return 1;
                    if (cursor.ExactItemKey != 0 && next is not null)
                    {
                        outItem->Kind = 0;
                        outItem->TypeKey = cursor.ExactItemKey;
                        outItem->Handle = HandleTable.Add(next);
                    }
                    else
                    {
                        Hand(next, outItem);
                    }
                    return 0;
                }
                if (target is Morvax.Velto.NodeWalker nodes)
                {
                    // The library's live node walk, stepped directly: no interface calls per step.
                    Morvax.Velto.Node? node = nodes.Next();
                    if (node is null) return 1;
                    outItem->Kind = 0;
                    outItem->TypeKey = Marshalling.TypeKeyOf(node.GetType());
                    outItem->Handle = HandleTable.Add(node);
                    return 0;
                }
                var enumerator = issued ?? (System.Collections.IEnumerator)target!;
                if (!enumerator.MoveNext()) return 1;
                Hand(enumerator.Current, outItem);
                return 0;
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
                return -1;
            }
        }

        private static void Hand(object? item, ItemRef* outItem)
        {
            outItem->Kind = 0;
            outItem->TypeKey = item is null ? 0 : Marshalling.TypeKeyOf(item.GetType());
            outItem->Handle = item is null ? 0 : HandleTable.Add(item);
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
