// EnumCheck: refuses enumeration values that no member has.  A cast from an
// integer (or a binding that passes raw integers) can produce one, and an
// options object holding it would only fail much later, far from the cause.
using System;

namespace Morvax.Velto;

internal static class EnumCheck
{
    public static T Defined<T>(T value) where T : struct, Enum => Enum.IsDefined(value)
        ? value
        : throw new ArgumentOutOfRangeException(nameof(value), value, $"Not a {typeof(T).Name} value.");
}
