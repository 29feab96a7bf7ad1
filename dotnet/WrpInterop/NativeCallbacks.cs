// NativeCallbacks.cs: the native functions the extension module registers with
// the .NET side, and the helpers that build native strings through them.
using System;
using System.Runtime.CompilerServices;
using System.Runtime.InteropServices;

namespace Morvax.WrpGen.Interop
{
    internal static unsafe class NativeCallbacks
    {
        // void(PyObject* first, PyObject* second); takes ownership of both.
        internal static delegate* unmanaged<IntPtr, IntPtr, void> Exception;
        // int(PyObject** outText, UnicodeView* outView): 0 when a pending Python
        // error was fetched, cleared and turned into text, -1 otherwise.
        internal static delegate* unmanaged<IntPtr*, UnicodeView*, int> CatchAndClearError;
        // Each builder returns a new object owned by whoever receives it, or null.
        internal static delegate* unmanaged<char*, int, IntPtr> U16StrBuilder;
        internal static delegate* unmanaged<char*, int, IntPtr> PyStrBuilder;
        internal static delegate* unmanaged<char*, int, IntPtr> PyUnraisableStrBuilder;
        internal static delegate* unmanaged<byte*, int, IntPtr> PyBytesBuilder;
        // PyObject*(PyObject* first, PyObject* second): a 2-tuple taking both
        // references (null for None); null with an error when it failed.
        internal static delegate* unmanaged<IntPtr, IntPtr, IntPtr> PyPairBuilder;

        // The reference operations on Python objects that .NET holds
        // (velto/interop/object_references.h); null until registered.
        [StructLayout(LayoutKind.Sequential)]
        internal struct ObjectReferences
        {
            public delegate* unmanaged<IntPtr> NewNone;
            public delegate* unmanaged<IntPtr, void> AddReference;
            public delegate* unmanaged<IntPtr, void> DropReference;
        }

        internal static IntPtr PyObjApiTable = IntPtr.Zero;

        // Native tables whose layout later code defines; only the pointers are
        // kept.  (Initialised explicitly: a build that omits a setter would
        // otherwise warn that its field is never assigned.)
        internal static IntPtr PyStaticRecord = IntPtr.Zero;
        internal static IntPtr PyGenericTable = IntPtr.Zero;

        /// <summary>
        /// Drops .NET's reference to a Python object; false when no table is
        /// registered, and the caller must keep the object.  Only inside a call
        /// from Python, which holds the interpreter lock.
        /// </summary>
        internal static bool DropReference(IntPtr pythonObject)
        {
            var table = (ObjectReferences*)PyObjApiTable;
            if (table == null || table->DropReference == null)
            {
                return false;
            }
            table->DropReference(pythonObject);
            return true;
        }

        /// <summary>A new reference to None, for places that need a reference where .NET holds null.</summary>
        internal static IntPtr NewNone()
        {
            var table = (ObjectReferences*)PyObjApiTable;
            if (table == null || table->NewNone == null)
            {
                throw new InvalidOperationException("no reference table is registered to make None");
            }
            return table->NewNone();
        }

        /// <summary>A Python str (new reference) for text, or null if the builder failed.</summary>
        internal static IntPtr PyStr(string text) => Build(PyStrBuilder, text, "Python string builder");

        /// <summary>A native UTF-16 string owned by the receiver, or null if the builder failed.</summary>
        internal static IntPtr U16Str(string text) => Build(U16StrBuilder, text, "UTF-16 string builder");

        /// <summary>A Python str meant for the unraisable-error hook.</summary>
        internal static IntPtr PyUnraisableStr(string text) =>
            Build(PyUnraisableStrBuilder, text, "unraisable string builder");

        /// <summary>A Python bytearray (new reference) holding data, or null if the builder failed.</summary>
        internal static IntPtr PyBytes(ReadOnlySpan<byte> data)
        {
            var builder = PyBytesBuilder;
            if (builder == null)
            {
                throw NotRegistered("bytes builder");
            }
            fixed (byte* p = data)
            {
                return builder(p, data.Length);
            }
        }

        private static IntPtr Build(delegate* unmanaged<char*, int, IntPtr> builder, string text, string what)
        {
            if (builder == null)
            {
                throw NotRegistered(what);
            }
            fixed (char* p = text)
            {
                return builder(p, text.Length);
            }
        }

        [MethodImpl(MethodImplOptions.NoInlining)]
        private static InvalidOperationException NotRegistered(string what) =>
            new InvalidOperationException($"the {what} callback is not registered with the .NET side");
    }
}
