// NativeTypes.cs: the structs that cross the native boundary by pointer.
// Their layout is part of the C ABI shared with the extension module.
using System.Runtime.InteropServices;

namespace Morvax.WrpGen.Interop
{
    /// <summary>
    /// A borrowed view of a Python str's storage: Kind is bytes per character
    /// (1 Latin-1, 2 UCS-2, 4 UCS-4), Length counts characters, -1 means no string.
    /// </summary>
    [StructLayout(LayoutKind.Sequential)]
    public unsafe struct UnicodeView
    {
        public int Length;
        public int Kind;
        public void* Data;
    }

    /// <summary>
    /// An operand as the host passes it: a handle of the handle table, plus the
    /// host's kind tag for it.  The kind steers dispatch on the native side;
    /// the object itself is found by the handle alone.
    /// </summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct KindHandle
    {
        public int Kind;
        public uint Handle;
    }
}
