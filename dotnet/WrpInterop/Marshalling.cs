// Marshalling.cs: how the generated interop code turns the native argument
// slots (str views, byte spans, variants, dates, decimals, GUIDs) into .NET
// values, turns .NET results into Python objects, and finds the receiver of
// an instance call.
// Python values are read and built through the static callback record; a
// Python error raised inside one of those callbacks is taken out of the
// interpreter and rethrown here as a .NET exception, so the entry point
// reports it like any other.
using System;
using System.Collections.Concurrent;
using System.Collections.Generic;
using System.Runtime.CompilerServices;
using System.Runtime.InteropServices;
using System.Threading;

namespace Morvax.WrpGen.Interop
{
    /// <summary>
    /// The three fields after the native buffer record of a byte-array
    /// argument: Held is 1 while the buffer must be released, Length -1 means
    /// no array.
    /// </summary>
    [StructLayout(LayoutKind.Sequential)]
    internal unsafe struct ByteSpan
    {
        public uint Held;
        public int Length;
        public void* Data;
    }

    /// <summary>
    /// An argument of type System.Object as the native side classified it:
    /// for kinds 1 and 2 Value is a handle, otherwise a borrowed PyObject*.
    /// </summary>
    [StructLayout(LayoutKind.Sequential)]
    internal struct PyVariant
    {
        public int Kind;
        public nint Value;
    }

    /// <summary>
    /// A DateTime or DateTimeOffset on the wire: ticks in bits 0-61 and the
    /// kind (0 unspecified, 1 UTC, 2 local) in bits 62-63, then the offset in
    /// ticks, which counts for a local DateTime and for a DateTimeOffset
    /// (whose ticks are its local clock time, kind 0).  A DateTime argument
    /// slot holds TicksAndKind alone.
    /// </summary>
    [StructLayout(LayoutKind.Sequential)]
    internal struct HostDateTimeResult
    {
        public ulong TicksAndKind;
        public long OffsetTicks;
    }

    /// <summary>A decimal in decimal.GetBits order: mantissa low, middle, high, then flags.</summary>
    [StructLayout(LayoutKind.Sequential)]
    internal struct HostDecimal
    {
        public uint Low;
        public uint Middle;
        public uint High;
        public uint Flags;
    }

    internal static unsafe class Marshalling
    {
        private const ulong TicksMask = (1UL << 62) - 1;
        private const int GuidSize = 16;

        // The record size is sizeof(Py_buffer), well under this; a larger
        // answer means a broken table, not a bigger stack frame.
        private const int MaxBufferRecordSize = 1024;

        private static readonly ConcurrentDictionary<Type, uint> s_typeKeys = new();
        private static int s_keyCount;
        private static TypeAndKey? s_lastTypeKey;
        private static TypeAndKey? s_lastWrapped;   // the run-time type PyObject last wrapped

        // Type keys of the objects wrapped by their family rather than by their own class:
        // any stream becomes a _StreamWrapper and any Type the reflection module's Type.
        // Counted keys start at 1 and never reach these (velto/interop/host_object.cpp).
        internal const uint StreamFamilyKey = 0xFFFF_FFFF;
        internal const uint TypeFamilyKey = 0xFFFF_FFFE;

        // --- arguments --------------------------------------------------------

        /// <summary>The str a UnicodeView slot describes; length -1 gives null.</summary>
        public static string? ReadString(void* slot)
        {
            if (slot == null)
            {
                throw new ArgumentException("no str view was passed", nameof(slot));
            }
            return DecodeView(*(UnicodeView*)slot);
        }

        /// <summary>A copy of the bytes a byte-span slot describes; length -1 gives null.</summary>
        public static byte[]? ReadBytes(void* slot)
        {
            if (slot == null)
            {
                throw new ArgumentException("no byte span was passed", nameof(slot));
            }
            ByteSpan* span = (ByteSpan*)slot;
            if (span->Length == -1)
            {
                return null;
            }
            if (span->Length < -1 || (span->Data == null && span->Length > 0))
            {
                throw new ArgumentException($"unreadable byte span: length {span->Length}", nameof(slot));
            }
            return new ReadOnlySpan<byte>(span->Data, span->Length).ToArray();
        }

        /// <summary>The DateTime a HostDateTime slot holds.</summary>
        // Inlined into the generated entry points: a date crosses with no call of its own.
        [MethodImpl(MethodImplOptions.AggressiveInlining)]
        public static DateTime ReadDateTime(void* slot)
        {
            if (slot == null)
            {
                ThrowNoDateTime();
            }
            return DateTimeFromWire(*(ulong*)slot);
        }

        private static void ThrowNoDateTime() => throw new ArgumentException("no DateTime was passed", "slot");

        /// <summary>The TimeSpan of a slot of signed 64-bit ticks.</summary>
        public static TimeSpan ReadTimeSpan(void* slot)
        {
            if (slot == null)
            {
                throw new ArgumentException("no TimeSpan was passed", nameof(slot));
            }
            return new TimeSpan(*(long*)slot);
        }

        /// <summary>The decimal a HostDecimal slot holds; flags that no decimal has are refused.</summary>
        public static decimal ReadDecimal(void* slot)
        {
            if (slot == null)
            {
                throw new ArgumentException("no decimal was passed", nameof(slot));
            }
            HostDecimal* bits = (HostDecimal*)slot;
            ReadOnlySpan<int> parts = stackalloc int[] { (int)bits->Low, (int)bits->Middle, (int)bits->High, (int)bits->Flags };
            return new decimal(parts);
        }

        /// <summary>The Guid of a slot of 16 bytes in memory order (uuid.UUID.bytes_le).</summary>
        public static Guid ReadGuid(void* slot)
        {
            if (slot == null)
            {
                throw new ArgumentException("no Guid was passed", nameof(slot));
            }
            return new Guid(new ReadOnlySpan<byte>(slot, GuidSize));
        }

        // Ticks and kind as they cross: kind 3 has no DateTimeKind, and ticks
        // past DateTime.MaxValue are refused by the constructor.
        // The kind bits are DateTimeKind's own values (Unspecified 0, Utc 1, Local 2).
        [MethodImpl(MethodImplOptions.AggressiveInlining)]
        private static DateTime DateTimeFromWire(ulong ticksAndKind)
        {
            ulong kind = ticksAndKind >> 62;
            if (kind > (ulong)DateTimeKind.Local)
            {
                ThrowUnreadableKind(kind);
            }
            return new DateTime((long)(ticksAndKind & TicksMask), (DateTimeKind)kind);
        }

        private static void ThrowUnreadableKind(ulong kind) =>
            throw new ArgumentException($"unreadable DateTime: kind {kind}");

        /// <summary>The .NET value of a variant slot.</summary>
        public static object? ReadVariant(void* slot)
        {
            if (slot == null)
            {
                throw new ArgumentException("no variant was passed", nameof(slot));
            }
            PyVariant variant = *(PyVariant*)slot;
            IntPtr value = variant.Value;
            switch (variant.Kind)
            {
                case 0:
                    return null;
                case 1:
                case 2:
                    return HandleTable.Get((uint)variant.Value);
                case 3:
                    return ReadPythonString(value);
                case 4:
                    return ReadPythonBuffer(value);
                case 5:
                    // The object is exactly a bool, whose truth test cannot fail.
                    return StaticCallbacks.ReadTruth(value) != 0;
                case 6:
                    return ReadPythonInteger(value);
                case 7:
                    {
                        double real;
                        if (StaticCallbacks.ReadDouble(value, &real) == 0)
                        {
                            throw PythonFailure("float");
                        }
                        return real;
                    }
                case 8:
                    return ReadPythonDecimal(StaticCallbacks.ReadDecimal, value, "Decimal");
                case 9:
                    return ReadPythonDecimal(StaticCallbacks.ReadDecimalTuple, value, "DecimalTuple");
                case 10:
                    return ReadPythonDateTime(value);
                case 11:
                    {
                        ulong ticksAndKind;
                        if (StaticCallbacks.ReadDate(value, &ticksAndKind) == 0)
                        {
                            throw PythonFailure("date");
                        }
                        return DateTimeFromWire(ticksAndKind);
                    }
                case 12:
                    return ReadPythonTime(value);
                case 13:
                    {
                        long ticks;
                        if (StaticCallbacks.ReadTimeDelta(value, &ticks) == 0)
                        {
                            throw PythonFailure("timedelta");
                        }
                        return new TimeSpan(ticks);
                    }
                case 14:
                    {
                        byte* bytes = stackalloc byte[GuidSize];
                        if (StaticCallbacks.ReadUuid(value, bytes) == 0)
                        {
                            throw PythonFailure("UUID");
                        }
                        return ReadGuid(bytes);
                    }
                default:
                    throw new NotSupportedException($"values of kind {variant.Kind} are not supported yet");
            }
        }

        private static string? ReadPythonString(IntPtr text)
        {
            UnicodeView view;
            if (StaticCallbacks.ReadUnicodeView(text, &view) == 0)
            {
                throw PythonFailure("str");
            }
            return DecodeView(view);
        }

        private static object ReadPythonInteger(IntPtr integer)
        {
            long bits;
            switch (StaticCallbacks.ReadInteger(integer, &bits))
            {
                case 1:
                    return (int)bits;
                case 2:
                    return bits;
                case 3:
                    return unchecked((ulong)bits);
                default:
                    throw PythonFailure("int");
            }
        }

        private static decimal ReadPythonDecimal(delegate* unmanaged<IntPtr, HostDecimal*, int> reader, IntPtr number, string what)
        {
            HostDecimal bits;
            if (reader(number, &bits) == 0)
            {
                throw PythonFailure(what);
            }
            return ReadDecimal(&bits);
        }

        // A naive datetime is a DateTime; an aware one keeps its offset as a
        // DateTimeOffset, which refuses an offset that is not whole minutes
        // within ±14 hours.
        private static object ReadPythonDateTime(IntPtr value)
        {
            HostDateTimeResult wire;
            switch (StaticCallbacks.ReadDateTime(value, &wire))
            {
                case 1:
                    return DateTimeFromWire(wire.TicksAndKind);
                case 2:
                    return new DateTimeOffset(DateTimeFromWire(wire.TicksAndKind), new TimeSpan(wire.OffsetTicks));
                default:
                    throw PythonFailure("datetime");
            }
        }

        // A naive time is that time on 0001-01-01.  An aware one becomes the
        // same moment in UTC, wrapped around within that day, as a time passed
        // for a DateTime parameter does: a DateTimeOffset could not hold
        // 0001-01-01 at an offset east of UTC.
        private static DateTime ReadPythonTime(IntPtr value)
        {
            HostDateTimeResult wire;
            switch (StaticCallbacks.ReadTime(value, &wire))
            {
                case 1:
                    return DateTimeFromWire(wire.TicksAndKind);
                case 2:
                    {
                        long timeOfDay = (long)(wire.TicksAndKind & TicksMask);
                        long utc = (timeOfDay - wire.OffsetTicks % TimeSpan.TicksPerDay) % TimeSpan.TicksPerDay;
                        return new DateTime(utc < 0 ? utc + TimeSpan.TicksPerDay : utc, DateTimeKind.Utc);
                    }
                default:
                    throw PythonFailure("time");
            }
        }

        // Borrows the object's bytes into a native record of the size the
        // native side asks for, copies them, and releases the record whenever
        // it was acquired, whether or not the copy was made.
        private static byte[] ReadPythonBuffer(IntPtr exporter)
        {
            var acquire = StaticCallbacks.AcquireBuffer;
            var release = StaticCallbacks.ReleaseBufferRecord;
            int size = StaticCallbacks.BufferRecordSize();
            if (size <= 0 || size > MaxBufferRecordSize)
            {
                throw new InvalidOperationException($"the native buffer record size {size} is not plausible");
            }
            long* record = stackalloc long[(size + sizeof(long) - 1) / sizeof(long)];
            StaticCallbacks.ZeroBufferRecord(record);
            ByteSpan span = default;
            try
            {
                if (acquire(exporter, record, &span) == 0)
                {
                    throw PythonFailure("bytes-like object");
                }
                if (span.Length < 0 || (span.Data == null && span.Length > 0))
                {
                    throw new InvalidOperationException($"the native buffer gave an unreadable span: length {span.Length}");
                }
                return new ReadOnlySpan<byte>(span.Data, span.Length).ToArray();
            }
            finally
            {
                if (span.Held != 0)
                {
                    release(record);
                }
            }
        }

        /// <summary>
        /// Decodes a Python str's storage.  UCS-4 characters above U+FFFF
        /// become surrogate pairs; lone surrogates, legal in a Python str,
        /// stay lone UTF-16 units.
        /// </summary>
        private static string? DecodeView(in UnicodeView view)
        {
            if (view.Length == -1)
            {
                return null;
            }
            if (view.Length < -1)
            {
                throw new ArgumentException($"unreadable str view: length {view.Length}");
            }
            if (view.Length == 0)
            {
                return string.Empty;
            }
            if (view.Data == null)
            {
                throw new ArgumentException($"unreadable str view: length {view.Length} without storage");
            }
            switch (view.Kind)
            {
                case 1:
                    return System.Text.Encoding.Latin1.GetString((byte*)view.Data, view.Length);
                case 2:
                    return new string((char*)view.Data, 0, view.Length);
                case 4:
                    return DecodeUcs4((uint*)view.Data, view.Length);
                default:
                    throw new ArgumentException($"unreadable str view: kind {view.Kind}");
            }
        }

        private static string DecodeUcs4(uint* data, int length)
        {
            int units = 0;
            for (int i = 0; i < length; i++)
            {
                uint cp = data[i];
                if (cp > 0x10FFFF)
                {
                    throw new ArgumentException($"unreadable str view: code point 0x{cp:X} at {i}");
                }
                units += cp > 0xFFFF ? 2 : 1;
            }
            return string.Create(units, (IntPtr)data, static (chars, state) =>
            {
                uint* source = (uint*)state;
                int at = 0;
                for (int i = 0; at < chars.Length; i++)
                {
                    uint cp = source[i];
                    if (cp > 0xFFFF)
                    {
                        cp -= 0x10000;
                        chars[at++] = (char)(0xD800 + (cp >> 10));
                        chars[at++] = (char)(0xDC00 + (cp & 0x3FF));
                    }
                    else
                    {
                        chars[at++] = (char)cp;
                    }
                }
            });
        }

        // A reader failed with a Python error pending: that error, left in
        // place, is what the caller gets (an OverflowError for an int out of
        // range, a KeyboardInterrupt raised in a tzinfo), as for typed
        // parameters, whose converters run before .NET is entered.
        private static PythonErrorPending PythonFailure(string what) =>
            new PythonErrorPending($"reading a Python {what} failed");

        // --- results ----------------------------------------------------------

        /// <summary>A new Python str; null gives IntPtr.Zero, which the native side reads as None.</summary>
        public static IntPtr PyString(string? s) => s is null ? IntPtr.Zero : NativeCallbacks.PyStr(s);

        /// <summary>A new Python bytearray; null gives IntPtr.Zero (None).</summary>
        public static IntPtr PyBytes(byte[]? b) => b is null ? IntPtr.Zero : NativeCallbacks.PyBytes(b);

        /// <summary>
        /// Fills a HostDateTimeResult; a local DateTime carries the offset of
        /// the local time zone at that moment.
        /// </summary>
        // Inlined into the generated entry points; the kind bits are DateTimeKind's own values.
        [MethodImpl(MethodImplOptions.AggressiveInlining)]
        public static void WriteDateTime(void* result, DateTime value)
        {
            DateTimeKind kind = value.Kind;
            HostDateTimeResult* wire = (HostDateTimeResult*)result;
            wire->TicksAndKind = (ulong)value.Ticks | (ulong)kind << 62;
            wire->OffsetTicks = kind == DateTimeKind.Local ? LocalOffsetTicks(value) : 0;
        }

        private static long LocalOffsetTicks(DateTime value) => TimeZoneInfo.Local.GetUtcOffset(value).Ticks;

        /// <summary>Fills a HostDateTimeResult with the clock time (kind 0) and the offset.</summary>
        public static void WriteDateTimeOffset(void* result, DateTimeOffset value)
        {
            HostDateTimeResult* wire = (HostDateTimeResult*)result;
            wire->TicksAndKind = (ulong)value.Ticks;
            wire->OffsetTicks = value.Offset.Ticks;
        }

        public static void WriteTimeSpan(void* result, TimeSpan value) => *(long*)result = value.Ticks;

        public static void WriteDecimal(void* result, decimal value)
        {
            Span<int> parts = stackalloc int[4];
            decimal.GetBits(value, parts);
            HostDecimal* bits = (HostDecimal*)result;
            bits->Low = (uint)parts[0];
            bits->Middle = (uint)parts[1];
            bits->High = (uint)parts[2];
            bits->Flags = (uint)parts[3];
        }

        /// <summary>Writes the 16 bytes of a Guid in memory order (uuid.UUID.bytes_le).</summary>
        public static void WriteGuid(void* result, Guid value)
        {
            if (!value.TryWriteBytes(new Span<byte>(result, GuidSize)))
            {
                throw new InvalidOperationException("a Guid did not fit its 16 bytes");
            }
        }

        /// <summary>
        /// A new datetime.timezone of the offset, with the name when there is
        /// one; IntPtr.Zero with a Python error pending when it was refused
        /// (an offset of a day or more).
        /// </summary>
        public static IntPtr PyTimeZone(TimeSpan offset, string? name)
        {
            var build = StaticCallbacks.FromTimeZone;
            fixed (char* text = name)
            {
                return build(offset.Ticks, text, name?.Length ?? -1);
            }
        }

        /// <summary>
        /// A new Python object for a .NET value: primitives, strings, byte
        /// arrays, dates, times, decimals and GUIDs become Python values,
        /// key/value pairs tuples of two, anything else a wrapper of a new handle.
        /// IntPtr.Zero with a Python error pending when a builder failed;
        /// IntPtr.Zero alone for null (None).
        /// </summary>
        public static IntPtr PyObject(object? o)
        {
            // Items of one collection mostly share their type: another object of
            // the type wrapped last goes straight to the wrapper.
            TypeAndKey? lastWrapped = s_lastWrapped;
            if (lastWrapped is not null && o is not null && ReferenceEquals(o.GetType(), lastWrapped.Type))
            {
                return PyWrapper(o, lastWrapped.Key);
            }
            switch (o)
            {
                case null:
                    return IntPtr.Zero;
                case bool b:
                    return StaticCallbacks.FromBool(b ? (byte)1 : (byte)0);
                case int i:
                    return StaticCallbacks.FromInt32(i);
                case short s:
                    return StaticCallbacks.FromInt32(s);
                case sbyte sb:
                    return StaticCallbacks.FromInt32(sb);
                case byte by:
                    return StaticCallbacks.FromUInt32(by);
                case ushort us:
                    return StaticCallbacks.FromUInt32(us);
                case uint u:
                    return StaticCallbacks.FromUInt32(u);
                case long l:
                    return StaticCallbacks.FromInt64(l);
                case ulong ul:
                    return StaticCallbacks.FromUInt64(ul);
                case float f:
                    return StaticCallbacks.FromDouble(f);
                case double d:
                    return StaticCallbacks.FromDouble(d);
                case char c:
                    return StaticCallbacks.FromChar(c);
                case string text:
                    return PyString(text);
                case byte[] bytes:
                    return PyBytes(bytes);
                case DateTime dateTime:
                    {
                        HostDateTimeResult wire;
                        WriteDateTime(&wire, dateTime);
                        return StaticCallbacks.FromDateTime(&wire);
                    }
                case DateTimeOffset dateTimeOffset:
                    {
                        HostDateTimeResult wire;
                        WriteDateTimeOffset(&wire, dateTimeOffset);
                        return StaticCallbacks.FromDateTimeOffset(&wire);
                    }
                case TimeSpan timeSpan:
                    return StaticCallbacks.FromTimeSpan(timeSpan.Ticks);
                case decimal number:
                    {
                        HostDecimal bits;
                        WriteDecimal(&bits, number);
                        return StaticCallbacks.FromDecimal(&bits);
                    }
                case Guid guid:
                    {
                        byte* bytes = stackalloc byte[GuidSize];
                        WriteGuid(bytes, guid);
                        return StaticCallbacks.FromGuid(bytes);
                    }
                case System.IO.Stream:
                    return PyWrapper(o, StreamFamilyKey);
                case Type:
                    return PyWrapper(o, TypeFamilyKey);
                default:
                    {
                        Type type = o.GetType();
                        if (type.IsGenericType && NativeCallbacks.PyPairBuilder != null
                            && type.GetGenericTypeDefinition() == typeof(KeyValuePair<,>))
                        {
                            return PyPair(type, o);
                        }
                        if (o is System.Collections.IList && (o is Array || type.Assembly == typeof(object).Assembly))
                        {
                            return PyContainer(o, type);
                        }
                        uint key = TypeKeyOf(type);
                        s_lastWrapped = new TypeAndKey(type, key);
                        return PyWrapper(o, key);
                    }
            }
        }

        // A key/value pair (an item of a keyed collection) as the tuple (key, value).
        private static IntPtr PyPair(Type type, object pair)
        {
            object? key = type.GetProperty("Key")!.GetValue(pair);
            object? value = type.GetProperty("Value")!.GetValue(pair);
            IntPtr first = PyObject(key);
            if (first == IntPtr.Zero && key is not null)
            {
                return IntPtr.Zero;
            }
            IntPtr second = PyObject(value);
            if (second == IntPtr.Zero && value is not null)
            {
                if (first != IntPtr.Zero)
                {
                    NativeCallbacks.DropReference(first);
                }
                return IntPtr.Zero;
            }
            return NativeCallbacks.PyPairBuilder(first, second);
        }

        /// <summary>
        /// The type key of o when PyObject would wrap it as the type it wrapped last
        /// (no handle issued), else 0.
        /// </summary>
        internal static uint WrappedLastKey(object? o)
        {
            TypeAndKey? lastWrapped = s_lastWrapped;
            return lastWrapped is not null && o is not null && ReferenceEquals(o.GetType(), lastWrapped.Type)
                ? lastWrapped.Key
                : 0;
        }

        // A list or array of the runtime's own: its typed adapter where Python has one for
        // the run-time type, otherwise the untyped adapter of its kind (list group 9-11).
        private static IntPtr PyContainer(object o, Type type)
        {
            var lists = StaticCallbacks.Lists;
            IntPtr wrapper;
            int found = StaticCallbacks.TryMakeWrapper(HandleTable.Add(o), TypeKeyOf(type), &wrapper);
            if (found != 0)
            {
                return found > 0 ? wrapper : IntPtr.Zero;
            }
            var wrap = o is Array ? lists->WrapArray : o is System.Collections.ArrayList ? lists->WrapArrayList : lists->WrapIList;
            return wrap(HandleTable.Add(o));
        }

        /// <summary>A wrapper of a new handle for o, of the Python class registered for its run-time type.</summary>
        private static IntPtr PyWrapper(object o, uint typeKey)
        {
            // Fetched before the handle is issued, so a missing builder cannot
            // leave an orphaned handle behind.
            var makeWrapper = StaticCallbacks.MakeWrapper;
            return makeWrapper(HandleTable.Add(o), typeKey);
        }

        /// <summary>
        /// The stable 32-bit key of a runtime type, counted from 1; the native
        /// side uses it only as a cache key for the Python type it maps to.
        /// The last type asked for is answered without the dictionary: items
        /// of one collection mostly share their type.
        /// </summary>
        [MethodImpl(MethodImplOptions.AggressiveInlining)]
        internal static uint TypeKeyOf(Type type)
        {
            TypeAndKey? last = s_lastTypeKey;
            return last is not null && ReferenceEquals(last.Type, type) ? last.Key : CountedTypeKeyOf(type);
        }

        // TypeKeyOf past the type asked for last: kept out of line, so that the usual answer inlines.
        [MethodImpl(MethodImplOptions.NoInlining)]
        private static uint CountedTypeKeyOf(Type type)
        {
            uint key = s_typeKeys.GetOrAdd(type, static _ => unchecked((uint)Interlocked.Increment(ref s_keyCount)));
            s_lastTypeKey = new TypeAndKey(type, key);
            return key;
        }

        // Published as one reference, so a reader on any thread sees a matching pair.
        private sealed record TypeAndKey(Type Type, uint Key);

        // --- receivers and casts ----------------------------------------------

        /// <summary>The target of an instance call.</summary>
        // Inlined into each (non-generic) entry point, where the type test is a
        // plain compare; in shared generic code it would need a run-time lookup.
        [MethodImpl(MethodImplOptions.AggressiveInlining)]
        public static T Target<T>(uint self) where T : class =>
            HandleTable.Get(self) is T typed ? typed : WrongTarget<T>(self);

        // Why the handle is no T: unbound, or an object of another type.
        [MethodImpl(MethodImplOptions.NoInlining)]
        private static T WrongTarget<T>(uint self) where T : class
        {
            if (self == 0)
            {
                throw new NullReferenceException("the wrapper is not bound to a .NET object");
            }
            object? target = HandleTable.Get(self);
            throw new InvalidCastException(
                $"handle 0x{self:X8} holds a {target?.GetType().FullName ?? "null"}, not a {typeof(T).FullName}");
        }

        /// <summary>
        /// 1 with a new handle of the same object when it is a T, or with 0 for
        /// the null handle; 0 when it is not a T.
        /// </summary>
        public static int CastTo<T>(uint handle, uint* outHandle)
        {
            if (handle == 0)
            {
                *outHandle = 0;
                return 1;
            }
            object? o = HandleTable.Get(handle);
            if (o is T)
            {
                *outHandle = HandleTable.Add(o);
                return 1;
            }
            return 0;
        }

        /// <summary>The object at handle as a T (null stays null for reference types).</summary>
        public static T Reinterpret<T>(uint handle)
        {
            object? o = HandleTable.Get(handle);
            if (o is T typed)
            {
                return typed;
            }
            if (o is null && default(T) is null)
            {
                return default!;
            }
            throw new InvalidCastException(
                $"cannot reinterpret {(o is null ? "null" : "a " + o.GetType().FullName)} as {typeof(T).FullName}");
        }
    }
}
