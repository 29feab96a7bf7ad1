// HandleTable.cs: the table that lets native code refer to .NET objects by a
// 32-bit handle.  Handle 0 is null.  A handle is a slot number (low 24 bits,
// counted from 1 so no live handle is 0) and the slot's generation (high 8
// bits), which changes each time the slot is freed: a stale or doubled handle
// is caught instead of reaching whatever object took the slot next.  Freed
// slots are taken again newest first: the slots of a walk's items stay in the
// cache, and the generation change still refuses every handle of the slot's
// earlier occupants (until it comes round after 256 frees of that one slot).
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

    // Who may change the table.
    //
    // Add, Free, FreeQueued, Reserve, Queue and LiveCount take no lock: their callers hold
    // the Python interpreter lock, and that lock alone keeps two writers apart.  Every
    // caller in this assembly runs inside an entry point, which native code calls with the
    // interpreter lock held and which returns with it still held (no call into .NET lets it
    // go); callbacks into Python that .NET makes in the middle of an entry point may let
    // another Python thread run, but never in the middle of a table operation, which calls
    // nothing outside the table.  Taking and giving back the interpreter lock orders
    // memory, so each writer sees the last one's changes complete.
    //
    // .NET code running on a thread of its own (one that native code did not call in
    // with the lock) must not use those: it calls AddFromAnyThread and FreeFromAnyThread,
    // which take the interpreter lock through the native side first.  A thread that an
    // entry point waits for must not use them either: it would wait for the lock that the
    // entry point's caller holds.
    //
    // Get takes nothing on any thread: even a reader racing a writer cannot see a
    // half-built table: the array only grows, a grown array is published whole
    // (Volatile.Write after the copy), and each field a reader looks at is read once,
    // atomically.  The worst a racing reader of a handle that is being freed at that
    // moment can get is the object, null or the "freed" error, as if the read had come
    // just before or just after the free.
    internal static unsafe class HandleTable
    {
        private const int IndexBits = 24;
        private const uint IndexMask = (1u << IndexBits) - 1;
        // Slot numbers run 1..IndexMask, so index IndexMask - 1 is the last slot.
        private const int MaxSlots = (int)IndexMask;
        private const int InitialCapacity = 256;
        private const int NoSlot = -1;

        // What a live slot is known to hold beyond object: set when the handle is issued,
        // so that a hot entry point can use the object without a type test per call.
        private const byte PlainObject = 0;
        private const byte IssuedEnumerator = 1;  // an IEnumerator handed out by AddEnumerator

        private struct Slot
        {
            public object? Value;    // null exactly when the slot is free
            public int NextFree;     // the next free slot while this one is free
            public byte Generation;
            public byte Kind;
        }

        private static Slot[] s_slots = new Slot[InitialCapacity];
        private static int s_used;              // slots ever handed out (high-water mark)
        private static int s_freeHead = NoSlot; // the most recently freed slot
        private static int s_live;

        /// <summary>Handles currently issued and not yet freed or queued for freeing.</summary>
        public static int LiveCount =>
            s_live - (s_releaseQueue != null ? s_releaseQueue->Count : 0);

        // Handles the native side has let go of, freed together when the queue is
        // full (FreeQueued): one call from native code per ReleaseQueue.Capacity
        // wrappers instead of one per wrapper.  Only native code holding the
        // interpreter lock appends to it and asks for it to be emptied.
        private static ReleaseQueue* s_releaseQueue;

        /// <summary>The queue the native side appends released handles to, made on first use.</summary>
        internal static ReleaseQueue* Queue
        {
            get
            {
                if (s_releaseQueue == null)
                {
                    s_releaseQueue = (ReleaseQueue*)NativeMemory.AllocZeroed((nuint)sizeof(ReleaseQueue));
                }
                return s_releaseQueue;
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
            Slot[] slots = s_slots;
            int freeHead = s_freeHead;
            int freed = 0;
            uint refused = 0;
            for (int i = 0; i < count; i++)
            {
                uint h = queue->Handles[i];
                if (IsLive(slots, h))
                {
                    freeHead = Release(slots, h, freeHead);
                    freed++;
                }
                else if (refused == 0)
                {
                    refused = h;
                }
            }
            s_freeHead = freeHead;
            s_live -= freed;
            queue->Count = 0;
            if (refused != 0)
            {
                Resolve(slots, refused);  // throws why it is no live handle
            }
        }

        /// <summary>Issues a new handle for o (every call a new one); null gives 0.</summary>
        public static uint Add(object? o) => o is null ? 0 : Issue(o, PlainObject);

        /// <summary>Issues a handle for an enumerator that EnumeratorAt can give back without a type test.</summary>
        internal static uint AddEnumerator(System.Collections.IEnumerator? enumerator) =>
            enumerator is null ? 0 : Issue(enumerator, IssuedEnumerator);

        [MethodImpl(MethodImplOptions.AggressiveInlining)]
        private static uint Issue(object o, byte kind)
        {
            Slot[] slots = s_slots;
            // The handle native code let go of last, still waiting in the release queue, gives
            // its slot straight to the new object: freeing and taking a slot in one step, where
            // the queue's drain would free it and the free list hand it back. A walk's items
            // come and go one by one, so this is the usual case.  A queued handle that is not
            // live stays in the queue for the drain to report.
            ReleaseQueue* queue = s_releaseQueue;
            if (queue != null)
            {
                int last = queue->Count - 1;
                if ((uint)last < ReleaseQueue.Capacity)
                {
                    uint released = queue->Handles[last];
                    if (IsLive(slots, released))
                    {
                        queue->Count = last;
                        return Reissue(slots, released, o, kind);
                    }
                }
            }
            int index = s_freeHead;
            if (index != NoSlot)
            {
                s_freeHead = slots[index].NextFree;
            }
            else
            {
                index = NewSlot();
                slots = s_slots;
            }
            ref Slot slot = ref slots[index];
            slot.Value = o;
            slot.Kind = kind;
            s_live++;
            return Compose(index, slot.Generation);
        }

        // Frees the live slot of released and issues it at once for o: the generation changes as
        // a free changes it, and the live count stays (one handle gone, one issued).
        [MethodImpl(MethodImplOptions.AggressiveInlining)]
        private static uint Reissue(Slot[] slots, uint released, object o, byte kind)
        {
            int index = (int)(released & IndexMask) - 1;
            ref Slot slot = ref slots[index];
            byte generation = (byte)(slot.Generation + 1);
            slot.Generation = generation;
            slot.Value = o;
            slot.Kind = kind;
            return Compose(index, generation);
        }

        // A slot past the high-water mark, growing the array when it is full.
        [MethodImpl(MethodImplOptions.NoInlining)]
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
                object? value = slot.Value;
                if (value is not null && slot.Generation == (byte)(h >> IndexBits))
                {
                    return value;
                }
            }
            return GetChecked(slots, h);
        }

        /// <summary>
        /// The enumerator behind h when AddEnumerator issued it, else null (h may then be
        /// any handle, or none: the caller's own checked path says which).
        /// </summary>
        [MethodImpl(MethodImplOptions.AggressiveInlining)]
        internal static System.Collections.IEnumerator? EnumeratorAt(uint h)
        {
            Slot[] slots = Volatile.Read(ref s_slots);
            int index = (int)(h & IndexMask) - 1;
            if ((uint)index < (uint)slots.Length)
            {
                ref Slot slot = ref slots[index];
                object? value = slot.Value;
                if (slot.Kind == IssuedEnumerator && value is not null && slot.Generation == (byte)(h >> IndexBits))
                {
                    // AddEnumerator took it as an IEnumerator: no need to test it again.
                    return Unsafe.As<System.Collections.IEnumerator>(value);
                }
            }
            return null;
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
        // Handle 0 comes from a wrapper made without __init__; its hash, type and
        // copy fail as its member calls do.
        internal static object GetTarget(uint h) =>
            Get(h) ?? throw new NullReferenceException("the wrapper is not bound to a .NET object");

        /// <summary>Frees h; 0 is a no-op, an unknown or already freed handle throws.</summary>
        public static void Free(uint h)
        {
            if (h == 0)
            {
                return;
            }
            Slot[] slots = s_slots;
            if (!IsLive(slots, h))
            {
                Resolve(slots, h);  // throws why it is no live handle
            }
            s_freeHead = Release(slots, h, s_freeHead);
            s_live--;
        }

        // Whether h names a live slot of slots: the one test Get makes.
        [MethodImpl(MethodImplOptions.AggressiveInlining)]
        private static bool IsLive(Slot[] slots, uint h)
        {
            int index = (int)(h & IndexMask) - 1;
            return (uint)index < (uint)slots.Length
                && slots[index].Value is not null
                && slots[index].Generation == (byte)(h >> IndexBits);
        }

        // Empties the live slot of h and puts it on top of the free list whose top was
        // freeHead; the new top.  The generation changes before the slot can be taken again.
        [MethodImpl(MethodImplOptions.AggressiveInlining)]
        private static int Release(Slot[] slots, uint h, int freeHead)
        {
            int index = (int)(h & IndexMask) - 1;
            ref Slot slot = ref slots[index];
            slot.Value = null;
            slot.Generation++;
            slot.NextFree = freeHead;
            return index;
        }

        /// <summary>Add for .NET code on a thread that does not hold the interpreter lock (see above).</summary>
        internal static uint AddFromAnyThread(object? o)
        {
            if (o is null)
            {
                return 0;
            }
            using var held = InterpreterLock.Take();
            return Add(o);
        }

        /// <summary>Free for .NET code on a thread that does not hold the interpreter lock (see above).</summary>
        internal static void FreeFromAnyThread(uint h)
        {
            if (h == 0)
            {
                return;
            }
            using var held = InterpreterLock.Take();
            Free(h);
        }

        /// <summary>Grows the table to hold at least capacity slots without further resizing.</summary>
        internal static void Reserve(int capacity)
        {
            capacity = Math.Min(capacity, MaxSlots);
            if (capacity > s_slots.Length)
            {
                Grow(capacity);
            }
        }

        private static uint Compose(int index, byte generation) =>
            ((uint)generation << IndexBits) | (uint)(index + 1);

        // The new array is filled before readers can see it.
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
            if (slot.Value is null || slot.Generation != generation)
            {
                throw new InvalidOperationException($"handle 0x{h:X8} was already freed");
            }
            return index;
        }
    }
}
