// Diagnostics.cs: entry points for tests and benchmarks only, not part of the
// product surface: they let native test code make objects with known
// behaviour, provoke a .NET exception, and time the cheapest round trips.
using System;
using System.Runtime.InteropServices;

namespace Morvax.WrpGen.Interop
{
    public static unsafe class Diagnostics
    {
        [UnmanagedCallersOnly]
        public static int LiveHandleCount() => HandleTable.LiveCount;

        /// <summary>
        /// A handle of a Probe whose GetHashCode is hash and whose ToString is
        /// the given UTF-16 text; a null text pointer with length 0 makes
        /// ToString return null.
        /// </summary>
        [UnmanagedCallersOnly]
        public static uint NewProbe(int hash, IntPtr text16, int textLength)
        {
            try
            {
                return HandleTable.Add(new Probe(hash, ReadText(text16, textLength)));
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
                return 0;
            }
        }

        /// <summary>Throws an InvalidOperationException with the given message and reports it.</summary>
        [UnmanagedCallersOnly]
        public static void Throw(IntPtr text16, int textLength)
        {
            try
            {
                throw new InvalidOperationException(ReadText(text16, textLength));
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
            }
        }

        /// <summary>Returns x: the cheapest native-to-.NET round trip.</summary>
        [UnmanagedCallersOnly]
        public static int Echo(int x) => x;

        /// <summary>Does nothing; has the native shape of ExchangeHost.FreeInstance.</summary>
        [UnmanagedCallersOnly]
        public static void Nop(uint handle)
        {
        }

        /// <summary>
        /// Takes the pending Python error through ErrorBridge.TakePythonError
        /// and returns its text as a native UTF-16 string, or null when there
        /// was none.
        /// </summary>
        [UnmanagedCallersOnly]
        public static IntPtr TakePythonError()
        {
            try
            {
                string? text = ErrorBridge.TakePythonError();
                return text is null ? IntPtr.Zero : NativeCallbacks.U16Str(text);
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
                return IntPtr.Zero;
            }
        }

        /// <summary>Python lists that .NET made and filled itself (slices, copies), since start.</summary>
        [UnmanagedCallersOnly]
        public static int PythonListsMadeCount() => ContainerOps.PythonListsMade;

        /// <summary>Python text objects the .NET side received and still holds.</summary>
        [UnmanagedCallersOnly]
        public static int HeldPythonTextCount() => ErrorBridge.HeldPythonTextCount;

        private static string? ReadText(IntPtr text16, int length)
        {
            if (length < 0)
            {
                throw new ArgumentOutOfRangeException(nameof(length), length, "text length must not be negative");
            }
            if (text16 == IntPtr.Zero)
            {
                if (length != 0)
                {
                    throw new ArgumentNullException(nameof(text16), "null text with a non-zero length");
                }
                return null;
            }
            return new string((char*)text16, 0, length);
        }
    }
}
