// PythonIterables.cs: a Python iterable handed to .NET where an enumerable is
// expected.  Its items are read at once, while the call that passed it still
// holds the object, through the get-iterator and next-item callbacks; every
// reference those callbacks hand over is dropped here as soon as its value is
// read, whether or not reading succeeds.
using System;
using System.Collections;
using System.Collections.Generic;

namespace Morvax.WrpGen.Interop
{
    /// <summary>An enumerable argument: kind 0 or 1 a handle, kind 2 a borrowed Python object.</summary>
    [System.Runtime.InteropServices.StructLayout(System.Runtime.InteropServices.LayoutKind.Sequential)]
    public struct EnumerableArgument
    {
        public int Kind;
        public nint Value;
    }

    internal static unsafe class PythonIterables
    {
        /// <summary>The .NET enumerable of an argument record (null for handle 0).</summary>
        public static IEnumerable? Read(void* slot)
        {
            if (slot == null)
            {
                throw new ArgumentException("no enumerable was passed", nameof(slot));
            }
            var argument = *(EnumerableArgument*)slot;
            return argument.Kind switch
            {
                0 or 1 => HandleTable.Get<IEnumerable>((uint)argument.Value),
                2 => Items(argument.Value),
                _ => throw new ArgumentException($"unknown enumerable kind {argument.Kind}", nameof(slot)),
            };
        }

        // A length is only a promise: room made ahead for at most this many items.
        private const int MostItemsMadeRoomFor = 1 << 16;

        /// <summary>The items of a Python iterable as .NET values, in iteration order.</summary>
        public static List<object?> Items(IntPtr iterable)
        {
            // A sized object (a list, tuple, range, dict, ...) says how many items to make room
            // for; the callback answers -1 for one without a length, raising nothing, and -2
            // when its len() raised, an error that stands.
            int size = StaticCallbacks.ObjectSize(iterable);
            if (size == -2)
            {
                throw new PythonErrorPending("len() of a Python iterable failed");
            }
            var next = StaticCallbacks.NextItem;
            IntPtr iterator = StaticCallbacks.GetIterator(iterable);
            if (iterator == IntPtr.Zero)
            {
                throw new PythonErrorPending("the object gave no iterator");
            }
            var items = new List<object?>(Math.Clamp(size, 0, MostItemsMadeRoomFor));
            try
            {
                while (true)
                {
                    IntPtr item = IntPtr.Zero;
                    PyVariant variant = default;
                    int status = next(iterator, &item, &variant);
                    if (status == 1)
                    {
                        return items;
                    }
                    if (status != 0)
                    {
                        throw new PythonErrorPending("advancing a Python iterator failed");
                    }
                    try
                    {
                        items.Add(Marshalling.ReadVariant(&variant));
                    }
                    finally
                    {
                        Drop(item);
                    }
                }
            }
            finally
            {
                Drop(iterator);
            }
        }

        private static void Drop(IntPtr reference)
        {
            if (reference != IntPtr.Zero && !NativeCallbacks.DropReference(reference))
            {
                throw new InvalidOperationException("no reference table is registered to release a Python object");
            }
        }

        /// <summary>
        /// The UTF-16 text of a Python str, read through the container group's text
        /// callback; the holder it hands over is released here.
        /// </summary>
        public static string Utf16Text(IntPtr text)
        {
            IntPtr holder = IntPtr.Zero;
            int count;
            char* units;
            if (StaticCallbacks.Utf16Text(text, &holder, &count, &units) == 0)
            {
                throw new PythonErrorPending("reading a Python str as UTF-16 failed");
            }
            try
            {
                return new string(units, 0, count);
            }
            finally
            {
                Drop(holder);
            }
        }
    }
}
