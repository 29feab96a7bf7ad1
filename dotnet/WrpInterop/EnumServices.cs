// EnumServices.cs: the casting services of the generated enumeration classes. Values
// cross as 32-bit integers; a boxed enumeration of another type does not cast.
using System;

namespace Morvax.WrpGen.Interop
{
    internal static unsafe class EnumServices
    {
        /// <summary>1 and the value when the handle's object is a T, 0 when it is not (or null).</summary>
        public static int Cast<T>(uint handle, int* outValue) where T : struct, Enum
        {
            if (HandleTable.Get(handle) is T value)
            {
                *outValue = Convert.ToInt32(value);
                return 1;
            }
            return 0;
        }

        /// <summary>The handle's object as a T's integer value, or InvalidCastException.</summary>
        public static int Reinterpret<T>(uint handle) where T : struct, Enum
        {
            object? o = HandleTable.Get(handle);
            return o switch
            {
                T value => Convert.ToInt32(value),
                Enum other => Convert.ToInt32(other),
                IConvertible number => number.ToInt32(null),
                null => throw new ArgumentNullException(nameof(handle), $"handle 0 is null, not a {typeof(T).FullName}"),
                _ => throw new InvalidCastException($"a {o.GetType().FullName} cannot be read as {typeof(T).FullName}"),
            };
        }
    }
}
