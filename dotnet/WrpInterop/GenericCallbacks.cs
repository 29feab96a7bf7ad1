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
        // (streams need the call's stream scope; Type handles are not owned here).
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
            return -1;
        }

        private static int SequenceEntryOf(int listEntry) => listEntry <= 18 ? listEntry + 21 : listEntry + 20;

        /// <summary>
        /// The items of a Python list (kind 2) or sequence (kind 3) as a T[], read through the
        /// typed callbacks; false when T has none or no block is registered.
        /// </summary>
        public static bool TryRead<T>(int kind, IntPtr container, out T[] items)
        {
            items = Array.Empty<T>();
            var block = (IntPtr*)NativeCallbacks.PyGenericTable;
            int entry = ListEntryOf(typeof(T));
            if (block == null || entry < 0) return false;
            bool list = kind == 2;
            int size = list ? StaticCallbacks.ListSize(container) : StaticCallbacks.SequenceSize(container);
            if (size < 0) throw new PythonErrorPending("reading the size of a Python container failed");
            var listGet = (delegate* unmanaged<IntPtr, int, void*, int>)block[entry];
            var sequenceGet = (delegate* unmanaged<IntPtr, int, IntPtr*, void*, int>)block[SequenceEntryOf(entry)];
            byte* slot = stackalloc byte[SlotSize];
            items = new T[size];
            for (int i = 0; i < size; i++)
            {
                IntPtr held = IntPtr.Zero;
                int status = list ? listGet(container, i, slot) : sequenceGet(container, i, &held, slot);
                try
                {
                    if (status == -2) throw new ArgumentException($"the Python container changed size while it was read (item {i})");
                    if (status != 0) throw new PythonErrorPending($"converting item {i} of a Python container failed");
                    items[i] = Read<T>(slot);
                }
                finally
                {
                    if (held != IntPtr.Zero) NativeCallbacks.DropReference(held);
                }
            }
            return true;
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
