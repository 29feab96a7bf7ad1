// HandleTable.cs: the table that lets native code refer to .NET objects by a
// 32-bit handle.  Handle 0 is null.  A handle is a slot number (low 24 bits,
// counted from 1 so no live handle is 0) and the slot's generation (high 8
// bits), which changes each time the slot is freed: a stale or doubled handle
// is caught instead of reaching whatever object took the slot next.  Freed
// slots queue up first-in first-out, so one slot is reused only after all the
// others, which keeps the 8-bit generation from coming round soon.
using System;
using System.Runtime.CompilerServices;
using System.Runtime.InteropServices;
using System.Threading;

namespace Morvax.WrpGen.Interop
{
    /// <summary>Released handles waiting to be freed: the count, then the handles (native layout).</summary>
    [StructLayout(LayoutKind.Sequential)]
    internal unsafe struct ReleaseQueue
    {
        public const int Capacity = 64;
        public int Count;
        public fixed uint Handles[Capacity];
    }

    internal static unsafe class HandleTable
    {
        private const int IndexBits = 24;
        private const uint IndexMask = (1u << IndexBits) - 1;
        // Slot numbers run 1..IndexMask, so index IndexMask - 1 is the last slot.
        private const int MaxSlots = (int)IndexMask;
        private const int InitialCapacity = 256;
        private const int NoSlot = -1;

        private struct Slot
        {
            public object? Value;
            public int NextFree;
            public byte Generation;
            public bool InUse;
        }

        // Writers (Add, Free, Reserve) hold the writer flag, so that no two
        // threads ever change the free list or grow the array together.  It is
        // a flag taken with one compare-and-swap rather than a monitor: every
        // entry point is called by the extension module with the interpreter
        // lock held, so writers never meet in practice and the flag only has
        // to be cheap and correct; a .NET thread that does write at the same
        // time (nothing in this assembly does) waits its turn spinning.
        // Readers (Get) take nothing: even a .NET thread reading while another
        // writes cannot corrupt anything or see a half-built table: the array
        // only grows, a grown array is published whole (Volatile.Write after
        // the copy), and each field a reader looks at is read once, atomically.
        // The worst a racing reader of a handle that is being freed at that
        // moment can get is the object, null or the "freed" error, as if the
        // read had come just before or just after the free.
        private static int s_writer;            // 1 while a writer holds the table
        private static Slot[] s_slots = new Slot[InitialCapacity];
        private static int s_used;              // slots ever handed out (high-water mark)
        private static int s_freeHead = NoSlot; // oldest freed slot
        private static int s_freeTail = NoSlot; // newest freed slot
        private static int s_live;

        /// <summary>Handles currently issued and not yet freed or queued for freeing.</summary>
        public static int LiveCount
        {
            get
            {
                EnterWriter();
                try
                {
                    return s_live - (s_releaseQueue != null ? Volatile.Read(ref s_releaseQueue->Count) : 0);
                }
                finally
                {
                    ExitWriter();
                }
            }
        }

        // Handles the native side has let go of, freed together when the queue is
        // full (FreeQueued): one call from native code per ReleaseQueue.Capacity
        // wrappers instead of one per wrapper.  Only native code holding the
        // interpreter lock appends to it and asks for it to be emptied, so the
        // two never overlap; LiveCount only reads its count.
        private static ReleaseQueue* s_releaseQueue;

        /// <summary>The queue the native side appends released handles to, made on first use.</summary>
        internal static ReleaseQueue* Queue
        {
            get
            {
                EnterWriter();
                try
                {
                    if (s_releaseQueue == null)
                    {
                        s_releaseQueue = (ReleaseQueue*)NativeMemory.AllocZeroed((nuint)sizeof(ReleaseQueue));
                    }
                    return s_releaseQueue;
                }
                finally
                {
                    ExitWriter();
                }
            }
        }

        /// <summary>
        /// Frees every queued handle and empties the queue; a handle that
        /// cannot be freed does not stop the others.  The first failure is
        /// thrown once all are done.
        /// </summary>
        internal static void FreeQueued()
        {
            ReleaseQueue* queue = s_releaseQueue;
            if (queue == null)
            {
                return;
            }
            int count = Math.Min(queue->Count, ReleaseQueue.Capacity);
            Exception? first = null;
            EnterWriter();
            try
            {
                for (int i = 0; i < count; i++)
                {
                    try
                    {
                        FreeLocked(queue->Handles[i]);
                    }
                    catch (Exception e)
                    {
                        first ??= e;
                    }
                }
                Volatile.Write(ref queue->Count, 0);
            }
            finally
            {
                ExitWriter();
            }
            if (first is not null)
            {
                throw first;
            }
        }

        /// <summary>Issues a new handle for o (every call a new one); null gives 0.</summary>
        public static uint Add(object? o)
        {
            if (o is null)
            {
                return 0;
            }
            EnterWriter();
            try
            {
                int index;
                if (s_freeHead != NoSlot)
                {
                    index = s_freeHead;
                    s_freeHead = s_slots[index].NextFree;
                    if (s_freeHead == NoSlot)
                    {
                        s_freeTail = NoSlot;
                    }
                }
                else
                {
                    index = NewSlot();
                }
                ref Slot slot = ref s_slots[index];
                slot.Value = o;
                slot.InUse = true;
                slot.NextFree = NoSlot;
                s_live++;
                return Compose(index, slot.Generation);
            }
            finally
            {
                ExitWriter();
            }
        }

        // A slot past the high-water mark, growing the array when it is full.
        // Caller holds the writer flag.
        private static int NewSlot()
        {
            if (s_used == MaxSlots)
            {
                throw new InvalidOperationException(
                    $"the handle table is full ({MaxSlots} live .NET objects)");
            }
            if (s_used == s_slots.Length)
            {
                Grow(Math.Min(s_slots.Length * 2, MaxSlots));
            }
            return s_used++;
        }

        /// <summary>The object behind h; 0 gives null, an unknown or freed handle throws.</summary>
        [MethodImpl(MethodImplOptions.AggressiveInlining)]
        public static object? Get(uint h)
        {
            Slot[] slots = Volatile.Read(ref s_slots);
            int index = (int)(h & IndexMask) - 1;
            // Slots past the high-water mark are never in use, so one test of the
            // array's bounds and the slot's state accepts exactly the live handles.
            if ((uint)index < (uint)slots.Length)
            {
                ref Slot slot = ref slots[index];
                if (slot.InUse && slot.Generation == (byte)(h >> IndexBits))
                {
                    return slot.Value;
                }
            }
            return GetChecked(slots, h);
        }

        // Handle 0, or the precise error for a handle that is not live.
        [MethodImpl(MethodImplOptions.NoInlining)]
        private static object? GetChecked(Slot[] slots, uint h) => h == 0 ? null : slots[Resolve(slots, h)].Value;

        /// <summary>
        /// The object behind h as a T.  Handle 0 gives null where T admits it
        /// and throws where T is a non-nullable value type; an object of
        /// another type throws InvalidCastException.
        /// </summary>
        public static T Get<T>(uint h)
        {
            object? o = Get(h);
            if (o is T t)
            {
                return t;
            }
            if (o is null)
            {
                if (default(T) is null)
                {
                    return default!;
                }
                throw new ArgumentNullException(nameof(h), $"handle 0 is null, not a {typeof(T).FullName}");
            }
            throw new InvalidCastException(
                $"handle 0x{h:X8} holds a {o.GetType().FullName}, not a {typeof(T).FullName}");
        }

        /// <summary>The object behind h, which must not be 0: the target of an instance call.</summary>
        internal static object GetTarget(uint h) =>
            Get(h) ?? throw new ArgumentNullException(nameof(h), "handle 0 is null and has no members");

        /// <summary>Frees h; 0 is a no-op, an unknown or already freed handle throws.</summary>
        public static void Free(uint h)
        {
            if (h == 0)
            {
                return;
            }
            EnterWriter();
            try
            {
                FreeLocked(h);
            }
            finally
            {
                ExitWriter();
            }
        }

        // Free of a non-zero handle; the caller holds the writer flag.
        private static void FreeLocked(uint h)
        {
            Slot[] slots = s_slots;
            int index = (int)(h & IndexMask) - 1;
            // A live handle passes the same one test as in Get; anything else gets Resolve's precise error.
            if ((uint)index >= (uint)slots.Length || !slots[index].InUse || slots[index].Generation != (byte)(h >> IndexBits))
            {
                index = Resolve(slots, h);
            }
            ref Slot slot = ref slots[index];
            slot.Value = null;
            slot.InUse = false;
            slot.Generation++;
            slot.NextFree = NoSlot;
            if (s_freeTail == NoSlot)
            {
                s_freeHead = index;
            }
            else
            {
                slots[s_freeTail].NextFree = index;
            }
            s_freeTail = index;
            s_live--;
        }

        /// <summary>Grows the table to hold at least capacity slots without further resizing.</summary>
        internal static void Reserve(int capacity)
        {
            EnterWriter();
            try
            {
                capacity = Math.Min(capacity, MaxSlots);
                if (capacity > s_slots.Length)
                {
                    Grow(capacity);
                }
            }
            finally
            {
                ExitWriter();
            }
        }

        private static uint Compose(int index, byte generation) =>
            ((uint)generation << IndexBits) | (uint)(index + 1);

        [MethodImpl(MethodImplOptions.AggressiveInlining)]
        private static void EnterWriter()
        {
            if (Interlocked.CompareExchange(ref s_writer, 1, 0) != 0)
            {
                WaitForWriter();
            }
        }

        [MethodImpl(MethodImplOptions.NoInlining)]
        private static void WaitForWriter()
        {
            var spin = new SpinWait();
            while (Interlocked.CompareExchange(ref s_writer, 1, 0) != 0)
            {
                spin.SpinOnce();
            }
        }

        private static void ExitWriter() => Volatile.Write(ref s_writer, 0);

        // Caller holds the writer flag.  The new array is filled before readers can see it.
        private static void Grow(int capacity)
        {
            var grown = new Slot[capacity];
            Array.Copy(s_slots, grown, s_used);
            Volatile.Write(ref s_slots, grown);
        }

        // The slot index of a live handle in slots (the array as the caller read it).
        private static int Resolve(Slot[] slots, uint h)
        {
            int index = (int)(h & IndexMask) - 1;
            byte generation = (byte)(h >> IndexBits);
            if (index < 0 || index >= Volatile.Read(ref s_used) || index >= slots.Length)
            {
                throw new ArgumentException($"handle 0x{h:X8} was never issued", nameof(h));
            }
            ref Slot slot = ref slots[index];
            if (!slot.InUse || slot.Generation != generation)
            {
                throw new InvalidOperationException($"handle 0x{h:X8} was already freed");
            }
            return index;
        }
    }
}
