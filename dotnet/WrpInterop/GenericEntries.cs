// GenericEntries.cs: the guarded bodies that only the typed interop classes of
// Morvax.WrpGen.Generic need (the rest they share with the untyped classes through
// ContainerEntries).  Each catches every exception and reports it through ErrorBridge.
using System;
using System.Collections.Generic;

namespace Morvax.WrpGen.Interop
{
    internal static class GenericEntries
    {
        internal static void EnsureCapacity<T>(uint handle, int count)
        {
            try
            {
                var list = HandleTable.Get<List<T>>(handle);
                if (count > 0) list.EnsureCapacity(list.Count + count);
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
            }
        }
    }
}
