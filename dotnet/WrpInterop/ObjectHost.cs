// ObjectHost.cs: entry points for the members every .NET object has (text,
// hash, equality, type, disposal), used by the wrapper objects of the
// extension module.  The *OfObj entry points serve reference types and the
// *OfStc ones boxed structs; both go through System.Object, so each pair
// shares one body.  Failures are reported through ErrorBridge and answered
// with a neutral value.
using System;
using System.Runtime.InteropServices;

namespace Morvax.WrpGen.Interop
{
    public static unsafe class ObjectHost
    {
        [UnmanagedCallersOnly]
        public static int ToStringOfObj(uint handle, IntPtr* outStr) => ToPyStr(handle, outStr);

        [UnmanagedCallersOnly]
        public static int ToStringOfStc(uint handle, IntPtr* outStr) => ToPyStr(handle, outStr);

        [UnmanagedCallersOnly]
        public static int GetHashOfObj(uint handle) => HashOf(handle);

        [UnmanagedCallersOnly]
        public static int GetHashOfStc(uint handle) => HashOf(handle);

        [UnmanagedCallersOnly]
        public static byte IsEqualsOfObj(uint handle, KindHandle* other) => EqualsOf(handle, other);

        [UnmanagedCallersOnly]
        public static byte IsEqualsOfStc(uint handle, KindHandle* other) => EqualsOf(handle, other);

        /// <summary>1 when the object at handle is an instance of the System.Type at typeHandle.</summary>
        [UnmanagedCallersOnly]
        public static byte IsTypeOf(uint handle, uint typeHandle)
        {
            try
            {
                object? candidate = HandleTable.Get(typeHandle);
                if (candidate is not Type type)
                {
                    throw new ArgumentException(
                        candidate is null
                            ? "the type handle is 0"
                            : $"handle 0x{typeHandle:X8} holds a {candidate.GetType().FullName}, not a System.Type",
                        nameof(typeHandle));
                }
                return type.IsInstanceOfType(HandleTable.Get(handle)) ? (byte)1 : (byte)0;
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
                return 0;
            }
        }

        [UnmanagedCallersOnly]
        public static IntPtr GetTypeName(uint handle)
        {
            try
            {
                return ExchangeHost.TypeNameOf(handle);
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
                return IntPtr.Zero;
            }
        }

        [UnmanagedCallersOnly]
        public static int GetObjType(uint handle, uint* outTypeHandle) => TypeOf(handle, outTypeHandle);

        [UnmanagedCallersOnly]
        public static int GetStcType(uint handle, uint* outTypeHandle) => TypeOf(handle, outTypeHandle);

        /// <summary>Disposes the object at handle if it is IDisposable; the handle stays live.</summary>
        [UnmanagedCallersOnly]
        public static void Dispose(uint handle)
        {
            try
            {
                if (HandleTable.Get(handle) is IDisposable disposable)
                {
                    disposable.Dispose();
                }
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
            }
        }

        // 1 with *outStr a new Python str; 0 when ToString gave null, the
        // builder gave nothing (its Python error stays pending) or it failed.
        private static int ToPyStr(uint handle, IntPtr* outStr)
        {
            try
            {
                if (outStr == null)
                {
                    throw new ArgumentNullException(nameof(outStr));
                }
                *outStr = IntPtr.Zero;
                string? text = HandleTable.GetTarget(handle).ToString();
                if (text is null)
                {
                    return 0;
                }
                IntPtr str = NativeCallbacks.PyStr(text);
                if (str == IntPtr.Zero)
                {
                    return 0;
                }
                *outStr = str;
                return 1;
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
                return 0;
            }
        }

        private static int HashOf(uint handle)
        {
            try
            {
                return HandleTable.GetTarget(handle).GetHashCode();
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
                return 0;
            }
        }

        // Object.Equals semantics: handle 0 on either side is null, and two
        // nulls are equal.
        private static byte EqualsOf(uint handle, KindHandle* other)
        {
            try
            {
                if (other == null)
                {
                    throw new ArgumentNullException(nameof(other));
                }
                object? self = HandleTable.Get(handle);
                object? that = HandleTable.Get(other->Handle);
                return Equals(self, that) ? (byte)1 : (byte)0;
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
                return 0;
            }
        }

        private static int TypeOf(uint handle, uint* outTypeHandle)
        {
            try
            {
                if (outTypeHandle == null)
                {
                    throw new ArgumentNullException(nameof(outTypeHandle));
                }
                *outTypeHandle = 0;
                *outTypeHandle = HandleTable.Add(HandleTable.GetTarget(handle).GetType());
                return 1;
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
                return 0;
            }
        }
    }
}
