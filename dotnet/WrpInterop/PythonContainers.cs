// PythonContainers.cs: a container argument handed to .NET where a typed array is
// expected.  Kind 0 carries the handle of a .NET array (0 for None); kinds 2 (a
// Python list) and 3 (another sized sequence) carry the borrowed Python object,
// whose items are read at once, during the call: through the typed generic callbacks
// where the element has one, otherwise classified and converted here.
using System;
using System.Globalization;

namespace Morvax.WrpGen.Interop
{
    internal static unsafe class PythonContainers
    {
        /// <summary>The array an argument record stands for (null for None).</summary>
        public static T[]? ReadArray<T>(void* slot)
        {
            var argument = *(EnumerableArgument*)slot;
            switch (argument.Kind)
            {
                case 0:
                    return argument.Value == 0 ? null : HandleTable.Get<T[]>((uint)argument.Value);
                case 2:
                case 3:
                    if (GenericCallbacks.TryRead<T>(argument.Kind, argument.Value, out var typed))
                    {
                        return typed;
                    }
                    var items = PythonIterables.Items(argument.Value);
                    var array = new T[items.Count];
                    for (int i = 0; i < array.Length; i++)
                    {
                        array[i] = Element<T>(items[i], i);
                    }
                    return array;
                default:
                    throw new ArgumentException($"unknown container kind {argument.Kind}", nameof(slot));
            }
        }

        /// <summary>One item as the element type: itself when it is one, numbers and enumerations converted.</summary>
        private static T Element<T>(object? item, int position)
        {
            if (item is T value)
            {
                return value;
            }
            if (item == null && default(T) == null)
            {
                return default!;
            }
            var target = Nullable.GetUnderlyingType(typeof(T)) ?? typeof(T);
            if (item is IConvertible && !(item is string) && (target.IsPrimitive || target.IsEnum))
            {
                try
                {
                    return target.IsEnum
                        ? (T)Enum.ToObject(target, Convert.ToInt64(item, CultureInfo.InvariantCulture))
                        : (T)Convert.ChangeType(item, target, CultureInfo.InvariantCulture);
                }
                catch (OverflowException)
                {
                }
            }
            throw new ArgumentException(
                $"item {position} of the sequence is {(item == null ? "None" : item.GetType().Name)}, not {typeof(T).Name}");
        }
    }
}
