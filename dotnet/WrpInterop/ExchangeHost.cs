// ExchangeHost.cs: entry points for setting up the exchange between the
// extension module and .NET: callback registration, start-up, and the
// lifetime of handles.  Every entry point that can fail catches everything
// and reports it: an exception escaping an [UnmanagedCallersOnly] method
// would end the process.  The setters only store a pointer and cannot fail.
using System;
using System.Runtime.CompilerServices;
using System.Runtime.InteropServices;
using System.Threading;

namespace Morvax.WrpGen.Interop
{
    public static unsafe class ExchangeHost
    {
        private static int s_servicesStarted;

        /// <summary>Full name of the runtime type of the object at handle, as a native UTF-16 string.</summary>
        [UnmanagedCallersOnly]
        public static IntPtr GetTypeName(uint handle)
        {
            try
            {
                return TypeNameOf(handle);
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
                return IntPtr.Zero;
            }
        }

        [UnmanagedCallersOnly]
        public static void SetExceptionCallback(IntPtr cb) =>
            NativeCallbacks.Exception = (delegate* unmanaged<IntPtr, IntPtr, void>)cb;

        [UnmanagedCallersOnly]
        public static void SetCatchAndClearErrorCallback(IntPtr cb) =>
            NativeCallbacks.CatchAndClearError = (delegate* unmanaged<IntPtr*, UnicodeView*, int>)cb;

        [UnmanagedCallersOnly]
        public static void SetU16StrBuilderCallback(IntPtr cb) =>
            NativeCallbacks.U16StrBuilder = (delegate* unmanaged<char*, int, IntPtr>)cb;

        [UnmanagedCallersOnly]
        public static void SetPyStrBuilderCallback(IntPtr cb) =>
            NativeCallbacks.PyStrBuilder = (delegate* unmanaged<char*, int, IntPtr>)cb;

        [UnmanagedCallersOnly]
        public static void SetPyUnraisableStrBuilderCallback(IntPtr cb) =>
            NativeCallbacks.PyUnraisableStrBuilder = (delegate* unmanaged<char*, int, IntPtr>)cb;

        [UnmanagedCallersOnly]
        public static void SetPyBytesBuilderCallback(IntPtr cb) =>
            NativeCallbacks.PyBytesBuilder = (delegate* unmanaged<byte*, int, IntPtr>)cb;

        [UnmanagedCallersOnly]
        public static void SetPyObjApiCallbacks(IntPtr table) => NativeCallbacks.PyObjApiTable = table;

        // Registered by name beside the entry points above, by hosts that build pairs.
        [UnmanagedCallersOnly]
        public static void SetPyPairBuilderCallback(IntPtr cb) =>
            NativeCallbacks.PyPairBuilder = (delegate* unmanaged<IntPtr, IntPtr, IntPtr>)cb;

        // Registered by name: the pair through which .NET code on a thread of its own
        // takes the interpreter lock (InterpreterLock.cs); copied, so the table may go.
        [UnmanagedCallersOnly]
        public static void SetInterpreterLockCallbacks(IntPtr table) =>
            InterpreterLock.Register((InterpreterLock.Functions*)table);

        [UnmanagedCallersOnly]
        public static void SetPyStaticCallbacks(IntPtr record) => NativeCallbacks.PyStaticRecord = record;

#if !OMIT_SetPyGenericCallbacks
        [UnmanagedCallersOnly]
        public static void SetPyGenericCallbacks(IntPtr table) => NativeCallbacks.PyGenericTable = table;
#endif

        /// <summary>
        /// Frees the argument buffers of the last call.  No call marshals
        /// arguments into .NET-owned buffers yet, so there is nothing to free;
        /// the host calls it all the same so the contract is in place.
        /// </summary>
        [UnmanagedCallersOnly]
        public static void FreePendingArgs()
        {
        }

        /// <summary>Releases a handle; 0 is a no-op.</summary>
        [UnmanagedCallersOnly]
        public static void FreeInstance(uint handle)
        {
            try
            {
                HandleTable.Free(handle);
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
            }
        }

        /// <summary>
        /// The queue of released handles (HandleTable.ReleaseQueue): the
        /// native side appends a handle it lets go of, and calls
        /// FreeQueuedInstances when the queue is full.
        /// </summary>
        [UnmanagedCallersOnly]
        public static IntPtr ReleaseQueue()
        {
            try
            {
                return (IntPtr)HandleTable.Queue;
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
                return IntPtr.Zero;
            }
        }

        /// <summary>Frees every handle in the release queue and empties it.</summary>
        [UnmanagedCallersOnly]
        public static void FreeQueuedInstances()
        {
            try
            {
                HandleTable.FreeQueued();
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
            }
        }

        /// <summary>One-time set-up of the .NET side; later calls do nothing.</summary>
        [UnmanagedCallersOnly]
        public static void InitServices()
        {
            try
            {
                if (Interlocked.Exchange(ref s_servicesStarted, 1) != 0)
                {
                    return;
                }
                // Size the table for a typical session up front and run its
                // static set-up now rather than inside the first real call.
                HandleTable.Reserve(4096);
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
            }
        }

        /// <summary>
        /// A new handle to a boxed copy of the value at handle, so the copy can
        /// change without touching the original.  A reference type has no value
        /// to copy: the new handle refers to the same object.
        /// </summary>
        [UnmanagedCallersOnly]
        public static uint BoxStcTarget(uint handle)
        {
            try
            {
                object target = HandleTable.GetTarget(handle);
                // GetObjectValue clones a boxed struct (primitives, being
                // immutable, may share the box) and returns anything else as is.
                object copy = RuntimeHelpers.GetObjectValue(target)!;
                return HandleTable.Add(copy);
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
                return 0;
            }
        }

        internal static IntPtr TypeNameOf(uint handle)
        {
            Type type = HandleTable.GetTarget(handle).GetType();
            return NativeCallbacks.U16Str(type.FullName ?? type.Name);
        }
    }
}
