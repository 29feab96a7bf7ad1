// PythonLists.cs: a Python list or sequence handed to .NET where a list interface
// (IList<T>) is expected is seen as a live view of it, for the length of the call: .NET
// reads its items by index (through the typed generic callbacks where T has one, otherwise
// classified), and what .NET changes in a list (items set, added, inserted, removed,
// cleared) happens to the Python list itself. A sequence that is not a list is a read-only
// view. The Python object is borrowed from the call, so every view made during a call is
// detached when the call ends; a view kept past it refuses use with ObjectDisposedException.
using System;
using System.Collections;
using System.Collections.Generic;

namespace Morvax.WrpGen.Interop
{
    internal static unsafe class PythonLists
    {
        [ThreadStatic] private static List<IDetachable>? s_open;

        internal interface IDetachable
        {
            void Detach();
        }

        /// <summary>The views made from here on are detached when the scope is disposed.</summary>
        public static Scope Open() => new Scope(s_open?.Count ?? 0);

        internal static void Track(IDetachable view) => (s_open ??= new List<IDetachable>()).Add(view);

        public readonly struct Scope : IDisposable
        {
            private readonly int _mark;

            public Scope(int mark) => _mark = mark;

            public void Dispose()
            {
                var open = s_open;
                if (open == null) return;
                for (int i = open.Count - 1; i >= _mark; i--)
                {
                    open[i].Detach();
                    open.RemoveAt(i);
                }
            }
        }

        /// <summary>A new reference to the Python form of a .NET value (IntPtr.Zero for null: None).</summary>
        internal static IntPtr ToPython(object? value)
        {
            IntPtr reference = Marshalling.PyObject(value);
            if (reference == IntPtr.Zero && value != null)
                throw new PythonErrorPending("converting a value for a Python list failed");
            return reference;
        }
    }

    /// <summary>The live view of a Python list (or a read-only one of a sequence) as an IList&lt;T&gt;.</summary>
    internal sealed unsafe class PythonList<T> : IList<T>, PythonLists.IDetachable
    {
        private IntPtr _container;
        private readonly bool _isList;

        /// <summary>A view lent for the call: detached when the call's scope ends.</summary>
        public PythonList(IntPtr container, bool isList) : this(container, isList, track: true)
        {
        }

        private PythonList(IntPtr container, bool isList, bool track)
        {
            _container = container;
            _isList = isList;
            if (track) PythonLists.Track(this);
        }

        /// <summary>The items of a Python list or sequence, read at once by index.</summary>
        public static T[] ReadAll(IntPtr container, bool isList)
        {
            var view = new PythonList<T>(container, isList, track: false);
            var items = new List<T>(view.Count);
            items.AddRange(view);
            return items.ToArray();
        }

        public void Detach() => _container = IntPtr.Zero;

        private IntPtr Container =>
            _container != IntPtr.Zero ? _container
                : throw new ObjectDisposedException("PythonList", "a Python list is lent only for the call that passed it");

        private IntPtr List =>
            _isList ? Container : throw new NotSupportedException("a Python sequence that is not a list is read-only here");

        public int Count
        {
            get
            {
                long size = StaticCallbacks.Size64(Container, _isList);
                if (size < 0) throw new PythonErrorPending("reading the size of a Python container failed");
                return (int)Math.Min(size, int.MaxValue);
            }
        }

        public bool IsReadOnly => !_isList;

        public T this[int index]
        {
            get => TryGet(index, out T item) ? item : throw new ArgumentOutOfRangeException(nameof(index));
            set => Check(StaticCallbacks.Lists->SetItem(List, index, PythonLists.ToPython(value)), index, "setting an item of");
        }

        private bool TryGet(int index, out T item)
        {
            IntPtr container = Container;
            if (GenericCallbacks.Has<T>()) return GenericCallbacks.TryReadItem(_isList, container, index, out item);
            PyVariant variant = default;
            IntPtr held = IntPtr.Zero;
            int status = _isList
                ? StaticCallbacks.Lists->GetItem(container, index, &variant)
                : StaticCallbacks.Sequences->GetItem(container, index, &held, &variant);
            try
            {
                item = default!;
                if (status == -2) return false;
                if (status != 0) throw new PythonErrorPending($"reading item {index} of a Python container failed");
                item = PythonContainers.Element<T>(Marshalling.ReadVariant(&variant), index);
                return true;
            }
            finally
            {
                if (held != IntPtr.Zero) NativeCallbacks.DropReference(held);
            }
        }

        public void Add(T item)
        {
            if (StaticCallbacks.Lists->Append(List, PythonLists.ToPython(item)) < 0)
                throw new PythonErrorPending("appending to a Python list failed");
        }

        public void Insert(int index, T item) =>
            Check(StaticCallbacks.Lists->Insert(List, index, PythonLists.ToPython(item)), index, "inserting into");

        public void RemoveAt(int index) => Check(StaticCallbacks.Pop(List, index), index, "removing from");

        public bool Remove(T item)
        {
            IntPtr list = List;
            int index = IndexOf(item);
            if (index < 0) return false;
            Check(StaticCallbacks.Pop(list, index), index, "removing from");
            return true;
        }

        public void Clear()
        {
            if (StaticCallbacks.Clear(List) < 0) throw new PythonErrorPending("clearing a Python list failed");
        }

        public bool Contains(T item)
        {
            IntPtr container = Container;
            int found = _isList
                ? StaticCallbacks.Lists->Contains(container, PythonLists.ToPython(item))
                : StaticCallbacks.Sequences->Contains(container, PythonLists.ToPython(item));
            if (found < 0) throw new PythonErrorPending("searching a Python container failed");
            return found == 1;
        }

        public int IndexOf(T item)
        {
            IntPtr container = Container;
            int index = _isList
                ? StaticCallbacks.Lists->IndexOf(container, PythonLists.ToPython(item))
                : StaticCallbacks.Sequences->IndexOf(container, PythonLists.ToPython(item));
            if (index < -1) throw new PythonErrorPending("searching a Python container failed");
            return index;
        }

        public void CopyTo(T[] array, int arrayIndex)
        {
            foreach (T item in this) array[arrayIndex++] = item;
        }

        // By index, re-reading the size, so that a list that changes while walked ends the walk.
        public IEnumerator<T> GetEnumerator()
        {
            for (int i = 0; TryGet(i, out T item); i++) yield return item;
        }

        IEnumerator IEnumerable.GetEnumerator() => GetEnumerator();

        // 0 is done; -2 an index out of range; anything else a pending Python error.
        private static void Check(int status, int index, string what)
        {
            if (status == -2) throw new ArgumentOutOfRangeException(nameof(index), $"{what} a Python list at {index}");
            if (status != 0) throw new PythonErrorPending($"{what} a Python list failed");
        }
    }
}
