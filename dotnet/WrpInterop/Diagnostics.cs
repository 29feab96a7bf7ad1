// Diagnostics.cs: entry points for tests and benchmarks only, not part of the
// product surface: they let native test code make objects with known
// behaviour, provoke a .NET exception, time the cheapest round trips, and use
// the handle table from threads of .NET's own.
using System;
using System.Runtime.InteropServices;
using System.Threading;

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

        /// <summary>
        /// Starts threads of .NET's own that issue, read and free handles through the table's
        /// any-thread path, as .NET code outside a call from Python would, while Python goes
        /// on using the table, until StopHandleChurn; each checks, round after round, that
        /// every handle it holds reaches its own object.  0, or -1 when churn threads still run.
        /// </summary>
        [UnmanagedCallersOnly]
        public static int StartHandleChurn(int threads)
        {
            if (Volatile.Read(ref s_churnRunning) != 0)
            {
                return -1;
            }
            s_churnFailures = 0;
            s_churnRounds = 0;
            s_churnStop = false;
            s_churnRunning = threads;
            for (int t = 0; t < threads; t++)
            {
                new Thread(Churn) { IsBackground = true }.Start();
            }
            return 0;
        }

        /// <summary>Asks the churn threads to stop after their round; the rounds they finished so far.</summary>
        [UnmanagedCallersOnly]
        public static int StopHandleChurn()
        {
            Volatile.Write(ref s_churnStop, true);
            return Volatile.Read(ref s_churnRounds);
        }

        /// <summary>-1 while churn threads run; then how many wrong reads or failures they met.</summary>
        [UnmanagedCallersOnly]
        public static int HandleChurnResult() =>
            Volatile.Read(ref s_churnRunning) != 0 ? -1 : Volatile.Read(ref s_churnFailures);

        private static int s_churnRunning;
        private static int s_churnFailures;
        private static int s_churnRounds;
        private static bool s_churnStop;

        private static void Churn()
        {
            var held = new (uint Handle, object Value)[16];
            try
            {
                while (!Volatile.Read(ref s_churnStop))
                {
                    for (int k = 0; k < held.Length; k++)
                    {
                        object value = new Probe(k, null);
                        held[k] = (HandleTable.AddFromAnyThread(value), value);
                    }
                    // Read without the lock, as any thread may, while Python adds and frees.
                    foreach (var (handle, value) in held)
                    {
                        if (!ReferenceEquals(HandleTable.Get(handle), value))
                        {
                            Interlocked.Increment(ref s_churnFailures);
                        }
                    }
                    foreach (var (handle, _) in held)
                    {
                        HandleTable.FreeFromAnyThread(handle);
                    }
                    Interlocked.Increment(ref s_churnRounds);
                }
            }
            catch (Exception)
            {
                Interlocked.Increment(ref s_churnFailures);
            }
            finally
            {
                Interlocked.Decrement(ref s_churnRunning);
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
