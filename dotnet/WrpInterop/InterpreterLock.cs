// InterpreterLock.cs: the Python interpreter lock as .NET code on a thread of its own
// takes it, through two functions the native side registers.  Entry points never need
// this (native code calls them with the lock held); it is for the rare .NET code that
// runs outside such a call and must change state that only lock holders change (the
// handle table's any-thread path).
using System;
using System.Runtime.InteropServices;

namespace Morvax.WrpGen.Interop
{
    internal static unsafe class InterpreterLock
    {
        // The native pair (velto/interop/interpreter_lock.h): take returns a token for
        // give-back, or -1 when the interpreter is shutting down and gives no lock.
        [StructLayout(LayoutKind.Sequential)]
        internal struct Functions
        {
            public delegate* unmanaged<int> Take;
            public delegate* unmanaged<int, void> GiveBack;
        }

        private static Functions s_functions;

        internal static void Register(Functions* functions) => s_functions = *functions;

        /// <summary>Holds the interpreter lock until disposed; throws when it cannot be had.</summary>
        internal static Held Take()
        {
            Functions functions = s_functions;
            if (functions.Take == null || functions.GiveBack == null)
            {
                throw new InvalidOperationException("no Python interpreter has registered its lock with this runtime");
            }
            int token = functions.Take();
            if (token < 0)
            {
                throw new InvalidOperationException("the Python interpreter is shutting down");
            }
            return new Held(functions.GiveBack, token);
        }

        internal readonly struct Held : IDisposable
        {
            private readonly delegate* unmanaged<int, void> _giveBack;
            private readonly int _token;

            internal Held(delegate* unmanaged<int, void> giveBack, int token)
            {
                _giveBack = giveBack;
                _token = token;
            }

            public void Dispose() => _giveBack(_token);
        }
    }
}
