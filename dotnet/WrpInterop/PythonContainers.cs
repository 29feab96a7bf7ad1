// PythonContainers.cs: a container argument handed to .NET where a typed array or list is
// expected.  Kind 0 carries the handle of a .NET array (0 for None); kinds 2 (a
// Python list) and 3 (another sized sequence) carry the borrowed Python object,
// whose items are read at once, by index, during the call: through the typed generic
// callbacks where the element has one, otherwise classified and converted here. A list
// interface instead sees the Python object itself, through a view (PythonLists.cs).
using System;
using System.Globalization;

namespace Morvax.WrpGen.Interop
{
    internal static unsafe class PythonContainers
    {
        /// <summary>The array an argument record stands for (null for None).</summary>
        public static T[]? ReadArray<T>(void* slot) => Read<T, T[]>(slot, items => items);

        /// <summary>The list an argument record stands for: the .NET list itself, or a new one holding a Python container's items.</summary>
        public static System.Collections.Generic.List<T>? ReadList<T>(void* slot) =>
            Read<T, System.Collections.Generic.List<T>>(slot, items => new System.Collections.Generic.List<T>(items));

        /// <summary>As ReadList, for a parameter typed as the list interface.</summary>
        /// <summary>
        /// The list interface an argument record stands for: the .NET list itself, or a live view of
        /// a Python list (read-only for another sequence) lent for the call (PythonLists.cs).
        /// </summary>
        public static System.Collections.Generic.IList<T>? ReadIList<T>(void* slot)
        {
            var argument = *(EnumerableArgument*)slot;
            return argument.Kind is 2 or 3
                ? new PythonList<T>(argument.Value, argument.Kind == 2)
                : Read<T, System.Collections.Generic.IList<T>>(slot, items => items);
        }

        // Kind 0 is the .NET container a wrapper holds; kinds 2 and 3 are read item by item
        // into an array, which fromItems turns into the parameter's container.
        private static TContainer? Read<T, TContainer>(void* slot, Func<T[], TContainer> fromItems) where TContainer : class
        {
            var argument = *(EnumerableArgument*)slot;
            switch (argument.Kind)
            {
                case 0:
                    return argument.Value == 0 ? null : HandleTable.Get<TContainer>((uint)argument.Value);
                case 2:
                case 3:
                    return fromItems(ReadItems<T>(argument.Kind, argument.Value));
                default:
                    throw new ArgumentException($"unknown container kind {argument.Kind}", nameof(slot));
            }
        }

        private static T[] ReadItems<T>(int kind, IntPtr container) =>
            GenericCallbacks.TryRead<T>(kind, container, out var typed) ? typed : PythonList<T>.ReadAll(container, kind == 2);

        /// <summary>One item as the element type: itself when it is one, numbers and enumerations converted.</summary>
        internal static T Element<T>(object? item, int position)
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
