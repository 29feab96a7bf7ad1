// StaticCallbacks.cs: the .NET view of the static callback record, the nine
// pointers to groups of native functions through which .NET reads and builds
// Python values.  The layout mirrors velto/interop/static_callbacks.h member
// for member; a member the native side has not filled yet is null, and using
// it (or using the record before it is registered) throws
// InvalidOperationException naming what is missing, instead of jumping to
// address 0.
using System;
using System.Runtime.CompilerServices;
using System.Runtime.InteropServices;

namespace Morvax.WrpGen.Interop
{
    internal static unsafe class StaticCallbacks
    {
        [StructLayout(LayoutKind.Sequential)]
        private struct Record
        {
            public ReaderGroup* Readers;
            public BuilderGroup* Builders;
            public BufferGroup* Buffers;
            public delegate* unmanaged<uint, uint, IntPtr*, int> TryMakeWrapper;
            public delegate* unmanaged<IntPtr, IntPtr*, PyVariant*, int> NextItem;
            public ContainerGroup* Containers;
            public ListGroup* List;
            public SequenceGroup* Sequence;
            public StreamGroup* Stream;
        }

        // Group A.
        [StructLayout(LayoutKind.Sequential)]
        private struct ReaderGroup
        {
            public delegate* unmanaged<IntPtr, UnicodeView*, int> UnicodeView;
            public delegate* unmanaged<IntPtr, int> Truth;
            public delegate* unmanaged<IntPtr, long*, int> Integer;
            public delegate* unmanaged<IntPtr, double*, int> Double;
            public delegate* unmanaged<IntPtr, HostDecimal*, int> Decimal;
            public delegate* unmanaged<IntPtr, HostDecimal*, int> DecimalTuple;
            public delegate* unmanaged<IntPtr, HostDateTimeResult*, int> DateTime;
            public delegate* unmanaged<IntPtr, ulong*, int> Date;
            public delegate* unmanaged<IntPtr, HostDateTimeResult*, int> Time;
            public delegate* unmanaged<IntPtr, long*, int> TimeDelta;
            public delegate* unmanaged<IntPtr, byte*, int> Uuid;
        }

        // Group B.  Every builder returns a new reference, or null with a Python error pending.
        [StructLayout(LayoutKind.Sequential)]
        private struct BuilderGroup
        {
            public delegate* unmanaged<uint, uint, IntPtr> MakeWrapper;
            public delegate* unmanaged<byte, IntPtr> FromBool;
            public delegate* unmanaged<int, IntPtr> FromInt32;
            public delegate* unmanaged<uint, IntPtr> FromUInt32;
            public delegate* unmanaged<long, IntPtr> FromInt64;
            public delegate* unmanaged<ulong, IntPtr> FromUInt64;
            public delegate* unmanaged<double, IntPtr> FromDouble;
            public delegate* unmanaged<HostDecimal*, IntPtr> Decimal;
            public delegate* unmanaged<HostDateTimeResult*, IntPtr> DateTime;
            public delegate* unmanaged<HostDateTimeResult*, IntPtr> DateTimeOffset;
            public delegate* unmanaged<long, IntPtr> TimeDelta;
            public delegate* unmanaged<long, char*, int, IntPtr> TimeZone;
            public delegate* unmanaged<byte*, IntPtr> Uuid;
            public delegate* unmanaged<ushort, IntPtr> FromChar;
        }

        [StructLayout(LayoutKind.Sequential)]
        private struct BufferGroup
        {
            public delegate* unmanaged<int> RecordSize;
            public delegate* unmanaged<void*, int> Zero;
            public delegate* unmanaged<IntPtr, void*, ByteSpan*, int> Acquire;
            public delegate* unmanaged<void*, void> Release;
        }

        [StructLayout(LayoutKind.Sequential)]
        private struct ContainerGroup
        {
            public IntPtr ListSize32;
            public delegate* unmanaged<IntPtr, long> ListSize64;
            public delegate* unmanaged<IntPtr, int, int> Pop;
            public delegate* unmanaged<IntPtr, int> Clear;
            public IntPtr SequenceSize32;
            public delegate* unmanaged<IntPtr, long> SequenceSize64;
            public delegate* unmanaged<IntPtr, IntPtr> Iterator;
            public delegate* unmanaged<IntPtr, int> ObjectSize;
            public delegate* unmanaged<int, IntPtr*, IntPtr*> NewList;
            public delegate* unmanaged<int, int, IntPtr*, IntPtr*> NewListWithHint;
            public delegate* unmanaged<IntPtr, IntPtr*, int*, char**, int> Utf16Text;
        }

        // The list group: a Python list's items and methods (the first argument, borrowed;
        // a value passed is a new reference the callback takes over, IntPtr.Zero for None),
        // and the wrapping of .NET containers as adapters.
        [StructLayout(LayoutKind.Sequential)]
        internal struct ListGroup
        {
            public delegate* unmanaged<IntPtr, int, PyVariant*, int> GetItem;
            public delegate* unmanaged<IntPtr, int, IntPtr, int> SetItem;
            public delegate* unmanaged<IntPtr, IntPtr, int> Append;
            public delegate* unmanaged<IntPtr, int, IntPtr, int> Insert;
            public delegate* unmanaged<IntPtr, IntPtr, int> Remove;
            public delegate* unmanaged<IntPtr, IntPtr, int> Contains;
            public delegate* unmanaged<IntPtr, IntPtr, int> IndexOf;
            public delegate* unmanaged<IntPtr*, int, IntPtr, IntPtr*> StoreItem;
            public delegate* unmanaged<uint, IntPtr> WrapIList;
            public delegate* unmanaged<uint, IntPtr> WrapArrayList;
            public delegate* unmanaged<uint, IntPtr> WrapArray;
        }

        // The sequence group: another sized sequence's items, read only.
        [StructLayout(LayoutKind.Sequential)]
        internal struct SequenceGroup
        {
            public delegate* unmanaged<IntPtr, int, IntPtr*, PyVariant*, int> GetItem;
            public delegate* unmanaged<IntPtr, IntPtr, int> Contains;
            public delegate* unmanaged<IntPtr, IntPtr, int> IndexOf;
        }

        // The stream group, in its fixed order: the thirteen operations on a
        // Python file object (the first argument, borrowed).
        [StructLayout(LayoutKind.Sequential)]
        private struct StreamGroup
        {
            public delegate* unmanaged<nint, byte*, int, int> Write;
            public delegate* unmanaged<nint, byte, int> WriteByte;
            public delegate* unmanaged<nint, byte*, int, int> ReadInto;
            public delegate* unmanaged<nint, int> ReadByte;
            public delegate* unmanaged<nint, long, int, long> Seek;
            public delegate* unmanaged<nint, long, int> SetLength;
            public delegate* unmanaged<nint, int> Flush;
            public delegate* unmanaged<nint, void> Close;
            public delegate* unmanaged<nint, int> CanRead;
            public delegate* unmanaged<nint, int> CanWrite;
            public delegate* unmanaged<nint, int> CanSeek;
            public delegate* unmanaged<nint, long> Tell;
            public delegate* unmanaged<nint, long> Length;
        }

        // --- group A: readers -------------------------------------------------

        /// <summary>A0: (str or None, out view) → 1, or 0 with a Python error pending.</summary>
        internal static delegate* unmanaged<IntPtr, UnicodeView*, int> ReadUnicodeView =>
            Readers->UnicodeView != null ? Readers->UnicodeView : throw Missing("A0 (str view reader)");

        /// <summary>A1: truth value; a Python error counts as true and stays pending.</summary>
        internal static delegate* unmanaged<IntPtr, int> ReadTruth =>
            Readers->Truth != null ? Readers->Truth : throw Missing("A1 (truth reader)");

        /// <summary>A2: (int, out value) → width code 1 int, 2 long, 3 ulong; 0 with an error.</summary>
        internal static delegate* unmanaged<IntPtr, long*, int> ReadInteger =>
            Readers->Integer != null ? Readers->Integer : throw Missing("A2 (integer reader)");

        /// <summary>A3: (float, out value) → 1, or 0 with a Python error pending.</summary>
        internal static delegate* unmanaged<IntPtr, double*, int> ReadDouble =>
            Readers->Double != null ? Readers->Double : throw Missing("A3 (double reader)");

        /// <summary>A4: (decimal.Decimal or DecimalTuple, out decimal) → 1, or 0 with an error.</summary>
        internal static delegate* unmanaged<IntPtr, HostDecimal*, int> ReadDecimal =>
            Readers->Decimal != null ? Readers->Decimal : throw Missing("A4 (Decimal reader)");

        /// <summary>A5: (object with sign, digits, exponent, out decimal) → 1, or 0 with an error.</summary>
        internal static delegate* unmanaged<IntPtr, HostDecimal*, int> ReadDecimalTuple =>
            Readers->DecimalTuple != null ? Readers->DecimalTuple : throw Missing("A5 (decimal-tuple reader)");

        /// <summary>
        /// A6: (datetime, out local ticks and offset) → 1 naive, 2 aware, 0
        /// with an error.  The ticks are never shifted to UTC.
        /// </summary>
        internal static delegate* unmanaged<IntPtr, HostDateTimeResult*, int> ReadDateTime =>
            Readers->DateTime != null ? Readers->DateTime : throw Missing("A6 (datetime reader)");

        /// <summary>A7: (date, out ticks of its midnight, kind 0) → 1, or 0 with an error.</summary>
        internal static delegate* unmanaged<IntPtr, ulong*, int> ReadDate =>
            Readers->Date != null ? Readers->Date : throw Missing("A7 (date reader)");

        /// <summary>A8: (time, out time of day on 0001-01-01 and offset) → 1 naive, 2 aware, 0 with an error.</summary>
        internal static delegate* unmanaged<IntPtr, HostDateTimeResult*, int> ReadTime =>
            Readers->Time != null ? Readers->Time : throw Missing("A8 (time reader)");

        /// <summary>A9: (timedelta, out ticks) → 1, or 0 with an error.</summary>
        internal static delegate* unmanaged<IntPtr, long*, int> ReadTimeDelta =>
            Readers->TimeDelta != null ? Readers->TimeDelta : throw Missing("A9 (timedelta reader)");

        /// <summary>A10: (UUID, out its 16 bytes_le) → 1, or 0 with an error.</summary>
        internal static delegate* unmanaged<IntPtr, byte*, int> ReadUuid =>
            Readers->Uuid != null ? Readers->Uuid : throw Missing("A10 (UUID reader)");

        // --- group B: builders ------------------------------------------------

        /// <summary>B0: a wrapper for (handle, type key); on failure the native side frees the handle.</summary>
        internal static delegate* unmanaged<uint, uint, IntPtr> MakeWrapper =>
            Builders->MakeWrapper != null ? Builders->MakeWrapper : throw Missing("B0 (MakeWrapper)");

        internal static delegate* unmanaged<byte, IntPtr> FromBool =>
            Builders->FromBool != null ? Builders->FromBool : throw Missing("B1 (bool builder)");

        internal static delegate* unmanaged<int, IntPtr> FromInt32 =>
            Builders->FromInt32 != null ? Builders->FromInt32 : throw Missing("B2 (int builder)");

        internal static delegate* unmanaged<uint, IntPtr> FromUInt32 =>
            Builders->FromUInt32 != null ? Builders->FromUInt32 : throw Missing("B3 (uint builder)");

        internal static delegate* unmanaged<long, IntPtr> FromInt64 =>
            Builders->FromInt64 != null ? Builders->FromInt64 : throw Missing("B4 (long builder)");

        internal static delegate* unmanaged<ulong, IntPtr> FromUInt64 =>
            Builders->FromUInt64 != null ? Builders->FromUInt64 : throw Missing("B5 (ulong builder)");

        internal static delegate* unmanaged<double, IntPtr> FromDouble =>
            Builders->FromDouble != null ? Builders->FromDouble : throw Missing("B6 (float builder)");

        /// <summary>B7: a decimal.Decimal.</summary>
        internal static delegate* unmanaged<HostDecimal*, IntPtr> FromDecimal =>
            Builders->Decimal != null ? Builders->Decimal : throw Missing("B7 (Decimal builder)");

        /// <summary>B8: a datetime, naive for kind 0, in UTC for kind 1, at the given offset for local.</summary>
        internal static delegate* unmanaged<HostDateTimeResult*, IntPtr> FromDateTime =>
            Builders->DateTime != null ? Builders->DateTime : throw Missing("B8 (datetime builder)");

        /// <summary>B9: an aware datetime of the local clock time and offset.</summary>
        internal static delegate* unmanaged<HostDateTimeResult*, IntPtr> FromDateTimeOffset =>
            Builders->DateTimeOffset != null ? Builders->DateTimeOffset : throw Missing("B9 (DateTimeOffset builder)");

        /// <summary>B10: a timedelta of the ticks (the last tick digit is dropped).</summary>
        internal static delegate* unmanaged<long, IntPtr> FromTimeSpan =>
            Builders->TimeDelta != null ? Builders->TimeDelta : throw Missing("B10 (timedelta builder)");

        /// <summary>B11: (offset ticks, UTF-16 name, count or -1 for none) → a datetime.timezone.</summary>
        internal static delegate* unmanaged<long, char*, int, IntPtr> FromTimeZone =>
            Builders->TimeZone != null ? Builders->TimeZone : throw Missing("B11 (timezone builder)");

        /// <summary>B12: a uuid.UUID of 16 bytes in Guid (bytes_le) order.</summary>
        internal static delegate* unmanaged<byte*, IntPtr> FromGuid =>
            Builders->Uuid != null ? Builders->Uuid : throw Missing("B12 (UUID builder)");

        /// <summary>B13: a one-character str; a lone surrogate fails with a Python error.</summary>
        internal static delegate* unmanaged<ushort, IntPtr> FromChar =>
            Builders->FromChar != null ? Builders->FromChar : throw Missing("B13 (char builder)");

        // --- buffer group -----------------------------------------------------

        internal static delegate* unmanaged<int> BufferRecordSize =>
            Buffers->RecordSize != null ? Buffers->RecordSize : throw Missing("buffer record size");

        internal static delegate* unmanaged<void*, int> ZeroBufferRecord =>
            Buffers->Zero != null ? Buffers->Zero : throw Missing("buffer record zero-initialiser");

        /// <summary>
        /// (object, record, out span) → 1, or 0 with a Python error pending.
        /// Whenever span.Held is 1 afterwards, success or not, the record must
        /// be given to ReleaseBufferRecord.
        /// </summary>
        internal static delegate* unmanaged<IntPtr, void*, ByteSpan*, int> AcquireBuffer =>
            Buffers->Acquire != null ? Buffers->Acquire : throw Missing("buffer acquire");

        internal static delegate* unmanaged<void*, void> ReleaseBufferRecord =>
            Buffers->Release != null ? Buffers->Release : throw Missing("buffer release");

        // --- single functions and the container group -------------------------

        /// <summary>(handle, type key, out object) → 1 made, 0 no type (handle freed), -1 error.</summary>
        internal static delegate* unmanaged<uint, uint, IntPtr*, int> TryMakeWrapper =>
            Table->TryMakeWrapper != null ? Table->TryMakeWrapper : throw Missing("TryMakeWrapper");

        /// <summary>
        /// (str, out holder, out count, out units) → 1, or 0 with an error.
        /// The holder is a new reference that keeps the units alive.
        /// </summary>
        internal static delegate* unmanaged<IntPtr, IntPtr*, int*, char**, int> Utf16Text =>
            Containers->Utf16Text != null ? Containers->Utf16Text : throw Missing("container 11 (UTF-16 text of a str)");

        /// <summary>(object) → a new reference to its iterator, or null with a Python error pending.</summary>
        internal static delegate* unmanaged<IntPtr, IntPtr> GetIterator =>
            Containers->Iterator != null ? Containers->Iterator : throw Missing("container 6 (get iterator)");

        /// <summary>
        /// (iterator, out item, out variant) → 0 with a new reference to the item and
        /// its variant, 1 at the end, 2 with a Python error pending.
        /// </summary>
        internal static delegate* unmanaged<IntPtr, IntPtr*, PyVariant*, int> NextItem =>
            Table->NextItem != null ? Table->NextItem : throw Missing("NextItem");

        // --- stream group --------------------------------------------------------
        // Each leaves a Python error pending where it answers -1 (the read of one
        // byte: -2); see PythonStream for what the answers mean.

        /// <summary>(stream, bytes, count) → bytes taken, 0 for None, -1 with an error.</summary>
        internal static delegate* unmanaged<nint, byte*, int, int> StreamWrite =>
            Streams->Write != null ? Streams->Write : throw Missing("stream 1 (write)");

        internal static delegate* unmanaged<nint, byte, int> StreamWriteByte =>
            Streams->WriteByte != null ? Streams->WriteByte : throw Missing("stream 2 (write one byte)");

        /// <summary>(stream, buffer, count) → bytes read, 0 for None or the end, -1 with an error.</summary>
        internal static delegate* unmanaged<nint, byte*, int, int> StreamReadInto =>
            Streams->ReadInto != null ? Streams->ReadInto : throw Missing("stream 3 (readinto)");

        /// <summary>(stream) → the byte, -1 at the end, -2 with an error.</summary>
        internal static delegate* unmanaged<nint, int> StreamReadByte =>
            Streams->ReadByte != null ? Streams->ReadByte : throw Missing("stream 4 (read one byte)");

        internal static delegate* unmanaged<nint, long, int, long> StreamSeek =>
            Streams->Seek != null ? Streams->Seek : throw Missing("stream 5 (seek)");

        internal static delegate* unmanaged<nint, long, int> StreamSetLength =>
            Streams->SetLength != null ? Streams->SetLength : throw Missing("stream 6 (truncate)");

        internal static delegate* unmanaged<nint, int> StreamFlush =>
            Streams->Flush != null ? Streams->Flush : throw Missing("stream 7 (flush)");

        /// <summary>Closes the Python stream; a failure is reported as unraisable, never pending.</summary>
        internal static delegate* unmanaged<nint, void> StreamClose =>
            Streams->Close != null ? Streams->Close : throw Missing("stream 8 (close)");

        /// <summary>(stream) → 1, 0 (also when closed), -1 with an error.</summary>
        internal static delegate* unmanaged<nint, int> StreamCanRead =>
            Streams->CanRead != null ? Streams->CanRead : throw Missing("stream 9 (readable)");

        internal static delegate* unmanaged<nint, int> StreamCanWrite =>
            Streams->CanWrite != null ? Streams->CanWrite : throw Missing("stream 10 (writable)");

        internal static delegate* unmanaged<nint, int> StreamCanSeek =>
            Streams->CanSeek != null ? Streams->CanSeek : throw Missing("stream 11 (seekable)");

        internal static delegate* unmanaged<nint, long> StreamTell =>
            Streams->Tell != null ? Streams->Tell : throw Missing("stream 12 (tell)");

        /// <summary>(stream) → the length, -1 with an error, -2 not seekable, -3 closed.</summary>
        internal static delegate* unmanaged<nint, long> StreamLength =>
            Streams->Length != null ? Streams->Length : throw Missing("stream 13 (length)");

        // --- the record and its groups ----------------------------------------

        // Read on every use: the record is registered once at start-up, and
        // reading the pointer is cheaper than any caching would be.
        private static Record* Table
        {
            get
            {
                IntPtr record = NativeCallbacks.PyStaticRecord;
                return record != IntPtr.Zero
                    ? (Record*)record
                    : throw new InvalidOperationException("the static callback record is not registered with the .NET side");
            }
        }

        private static ReaderGroup* Readers =>
            Table->Readers != null ? Table->Readers : throw Missing("group A (readers)");

        private static BuilderGroup* Builders =>
            Table->Builders != null ? Table->Builders : throw Missing("group B (builders)");

        private static BufferGroup* Buffers =>
            Table->Buffers != null ? Table->Buffers : throw Missing("buffer group");

        private static StreamGroup* Streams =>
            Table->Stream != null ? Table->Stream : throw Missing("stream group");

        /// <summary>The size of a Python list, or -1 with the Python error pending.</summary>
        internal static delegate* unmanaged<IntPtr, int> ListSize =>
            Containers->ListSize32 != IntPtr.Zero ? (delegate* unmanaged<IntPtr, int>)Containers->ListSize32 : throw Missing("container 1 (list size)");

        /// <summary>The size of a Python sequence, or -1 with the Python error pending.</summary>
        internal static delegate* unmanaged<IntPtr, int> SequenceSize =>
            Containers->SequenceSize32 != IntPtr.Zero ? (delegate* unmanaged<IntPtr, int>)Containers->SequenceSize32 : throw Missing("container 5 (sequence size)");

        /// <summary>(container, index) → 0; -2 on IndexError; -1 with the Python error pending.</summary>
        internal static delegate* unmanaged<IntPtr, int, int> Pop =>
            Containers->Pop != null ? Containers->Pop : throw Missing("container 3 (pop)");

        /// <summary>(container) → 0, or -1 with the Python error pending.</summary>
        internal static delegate* unmanaged<IntPtr, int> Clear =>
            Containers->Clear != null ? Containers->Clear : throw Missing("container 4 (clear)");

        /// <summary>The size of a Python list or sequence as a 64-bit count, -1 with the Python error pending.</summary>
        internal static long Size64(IntPtr container, bool list) =>
            list ? (Containers->ListSize64 != null ? Containers->ListSize64 : throw Missing("container 2 (list size)"))(container)
                 : (Containers->SequenceSize64 != null ? Containers->SequenceSize64 : throw Missing("container 6 (sequence size)"))(container);

        /// <summary>(count, out list) → the new list's item array, to be filled with StoreItem; null with the Python error pending.</summary>
        internal static delegate* unmanaged<int, IntPtr*, IntPtr*> NewList =>
            Containers->NewList != null ? Containers->NewList : throw Missing("container 9 (new list)");

        /// <summary>(count, hint, out list) → as NewList; the native side does not read the hint.</summary>
        internal static delegate* unmanaged<int, int, IntPtr*, IntPtr*> NewListWithHint =>
            Containers->NewListWithHint != null ? Containers->NewListWithHint : throw Missing("container 10 (new list)");

        /// <summary>(item array, position, new reference) → the array: stores the reference, which the list then owns.</summary>
        internal static delegate* unmanaged<IntPtr*, int, IntPtr, IntPtr*> StoreItem =>
            Lists->StoreItem != null ? Lists->StoreItem : throw Missing("list 8 (store item)");

        /// <summary>
        /// The len() of a Python object whose type has a length: -1 for a type without one (nothing
        /// raised), -2 when len() raised (the error pending).
        /// </summary>
        internal static delegate* unmanaged<IntPtr, int> ObjectSize =>
            Containers->ObjectSize != null ? Containers->ObjectSize : throw Missing("container 8 (object size)");

        internal static ListGroup* Lists => Table->List != null ? Table->List : throw Missing("list group");

        internal static SequenceGroup* Sequences => Table->Sequence != null ? Table->Sequence : throw Missing("sequence group");

        private static ContainerGroup* Containers =>
            Table->Containers != null ? Table->Containers : throw Missing("container group");

        [MethodImpl(MethodImplOptions.NoInlining)]
        private static InvalidOperationException Missing(string what) =>
            new InvalidOperationException($"the static callback {what} is not registered with the .NET side");
    }
}
