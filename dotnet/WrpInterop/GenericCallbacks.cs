// GenericCallbacks.cs: the generic callback block the native side registers (42 typed
// callbacks), used to read the items of a Python list or sequence handed over for a typed
// array: each item is converted by its element's converter on the native side and arrives
// in the element's .NET form, without the PyVariant classification of the untyped path.
// Entry order: 0 next item (Person); 1-18 list get item of the twenty elements below less
// string and Type; 19 next item (string); 20 list get item (string); 21 list get item (Type);
// 22-41 sequence get item of the same twenty elements, in the order of 1-18, 20, 21.
using System;
using System.Collections.Generic;

namespace Morvax.WrpGen.Interop
{
    internal static unsafe class GenericCallbacks
    {
        private const int EntryCount = 42;
        private const int SlotSize = 128;  // room for the largest converted form (PyVariant, UnicodeView, DateTime)

        // The class and enumeration elements of list entries 1-12, by full name.
        private static readonly string[] NamedElements =
        {
            "Morvax.Velto.Bibliography.Person", "Morvax.Velto.Document", "Morvax.Velto.Drawing.Charts.ChartMultilevelValue",
            "Morvax.Velto.Drawing.ShapeBase", "Morvax.Velto.Fonts.FontSourceBase", "Morvax.Velto.Loading.EditingLanguage",
            "Morvax.Velto.Loading.LoadOptions", "Morvax.Velto.Saving.PageRange", "Morvax.Velto.Shaping.Cluster",
            "Morvax.Velto.Shaping.FontFeature", "Morvax.Velto.Shaping.Glyph", "Morvax.Velto.Shaping.VariationAxisCoordinate",
        };

        // The list entry of an element, or -1 where this side reads the items the untyped way
        // (streams need the call's stream scope). A Type item arrives as its Python object's own
        // handle, read while the container (or, for a sequence, the held item) keeps it alive.
        private static int ListEntryOf(Type element)
        {
            int named = Array.IndexOf(NamedElements, element.FullName);
            if (named >= 0) return 1 + named;
            if (element == typeof(bool)) return 13;
            if (element == typeof(DateTime)) return 14;
            if (element == typeof(double)) return 15;
            if (element == typeof(int)) return 16;
            if (element == typeof(object)) return 18;
            if (element == typeof(string)) return 20;
            if (element == typeof(Type)) return 21;
            return -1;
        }

        // The list entry of T, found once per element type.
        private static class EntryOf<T>
        {
            public static readonly int List = ListEntryOf(typeof(T));
        }

        private static int SequenceEntryOf(int listEntry) => listEntry <= 18 ? listEntry + 21 : listEntry + 20;

        /// <summary>
        /// The items of a Python list (kind 2) or sequence (kind 3) as a T[], read through the
        /// typed callbacks; false when T has none or no block is registered.
        /// </summary>
        public static bool TryRead<T>(int kind, IntPtr container, out T[] items)
        {
            items = Array.Empty<T>();
            if (!Has<T>()) return false;
            bool list = kind == 2;
            int size = list ? StaticCallbacks.ListSize(container) : StaticCallbacks.SequenceSize(container);
            if (size < 0) throw new PythonErrorPending("reading the size of a Python container failed");
            items = new T[size];
            byte* slot = stackalloc byte[SlotSize];  // once for all items: the loop is the hot path
            for (int i = 0; i < size; i++)
            {
                if (!ReadItem(list, container, i, slot, out items[i]))
                    throw new ArgumentException($"the Python container changed size while it was read (item {i})");
            }
            return true;
        }

        /// <summary>Whether items of T are read through the typed callbacks.</summary>
        public static bool Has<T>() => NativeCallbacks.PyGenericTable != IntPtr.Zero && EntryOf<T>.List >= 0;

        /// <summary>
        /// Item i of a Python list or sequence through T's typed callback (Has&lt;T&gt; must hold):
        /// false when i is out of range; the element converter's error is thrown as pending.
        /// </summary>
        public static bool TryReadItem<T>(bool list, IntPtr container, int index, out T item)
        {
            byte* slot = stackalloc byte[SlotSize];
            return ReadItem(list, container, index, slot, out item);
        }

        private static bool ReadItem<T>(bool list, IntPtr container, int index, byte* slot, out T item)
        {
            var block = (IntPtr*)NativeCallbacks.PyGenericTable;
            int entry = EntryOf<T>.List;
            IntPtr held = IntPtr.Zero;
            int status = list
                ? ((delegate* unmanaged<IntPtr, int, void*, int>)block[entry])(container, index, slot)
                : ((delegate* unmanaged<IntPtr, int, IntPtr*, void*, int>)block[SequenceEntryOf(entry)])(container, index, &held, slot);
            try
            {
                item = default!;
                if (status == -2) return false;
                if (status != 0) throw new PythonErrorPending($"converting item {index} of a Python container failed");
                item = Read<T>(slot);
                return true;
            }
            finally
            {
                if (held != IntPtr.Zero) NativeCallbacks.DropReference(held);
            }
        }

        private static T Read<T>(void* slot)
        {
            if (typeof(T) == typeof(int)) return (T)(object)*(int*)slot;
            if (typeof(T) == typeof(double)) return (T)(object)*(double*)slot;
            if (typeof(T) == typeof(bool)) return (T)(object)(*(byte*)slot != 0);
            if (typeof(T) == typeof(DateTime)) return (T)(object)Marshalling.ReadDateTime(slot);
            if (typeof(T) == typeof(string)) return (T)(object)Marshalling.ReadString(slot)!;
            if (typeof(T) == typeof(object)) return (T)Marshalling.ReadVariant(slot)!;
            if (typeof(T).IsEnum) return (T)Enum.ToObject(typeof(T), *(int*)slot);
            return HandleTable.Get<T>(*(uint*)slot);
        }
    }
}
