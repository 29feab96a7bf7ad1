// PythonStreams.cs: Python file objects handed to .NET where a Stream is
// expected, and Stream results handed back.  A Python object crosses as a
// borrowed pointer that is valid only while the call that passed it runs, so
// each one is adopted by the call scope the generated entry point opens: it
// gets a PythonStream (one stream callback per operation) behind a
// BufferedStream (so that many small reads and writes become few Python
// calls), and when the call ends the scope flushes what is buffered (a save
// that cannot be flushed fails) and retires the stream, which refuses every
// later use instead of calling Python through a stale pointer.
using System;
using System.Collections.Generic;
using System.IO;
using System.Runtime.InteropServices;

namespace Morvax.WrpGen.Interop
{
    /// <summary>A stream argument: kind 0 a handle (0 for null), kind 2 a borrowed Python file object.</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct StreamArgument
    {
        public int Kind;
        public nint Value;
    }

    /// <summary>A stream result: kind 0 a new handle and its runtime type's key, kind 2 the Python object that was passed in.</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct StreamResult
    {
        public int Kind;
        public nint Value;
        public uint TypeKey;
    }

    internal static unsafe class PythonStreams
    {
        // Small reads and writes gather here; larger ones go straight to Python.
        internal const int BufferSize = 64 * 1024;

        [ThreadStatic]
        private static CallScope? t_current;

        /// <summary>Opens the scope of one call that takes stream arguments.</summary>
        public static CallScope Open()
        {
            var scope = new CallScope(t_current);
            t_current = scope;
            return scope;
        }

        /// <summary>The .NET stream of an argument record.</summary>
        public static Stream? Read(void* slot)
        {
            if (slot == null)
            {
                throw new ArgumentException("no stream was passed", nameof(slot));
            }
            var argument = *(StreamArgument*)slot;
            return argument.Kind switch
            {
                0 => HandleTable.Get<Stream>((uint)argument.Value),
                2 => (t_current ?? throw new InvalidOperationException("a Python stream was passed outside a call scope"))
                    .Adopt(argument.Value),
                _ => throw new ArgumentException($"unknown stream kind {argument.Kind}", nameof(slot)),
            };
        }

        /// <summary>Stores a stream result: the Python object itself when it is one this call was given.</summary>
        public static void Write(void* result, Stream? stream)
        {
            var record = (StreamResult*)result;
            *record = default;
            if (stream is null)
            {
                return;
            }
            nint python = t_current?.PythonObjectOf(stream) ?? 0;
            if (python != 0)
            {
                record->Kind = 2;
                record->Value = python;
                return;
            }
            record->TypeKey = Marshalling.TypeKeyOf(stream.GetType());
            record->Value = (nint)HandleTable.Add(stream);
        }

        /// <summary>The Python streams of one call, from the arguments being read to the result being stored.</summary>
        internal sealed class CallScope : IDisposable
        {
            private readonly CallScope? _outer;
            private readonly List<(PythonStream Raw, BufferedStream Buffered)> _streams = new();

            internal CallScope(CallScope? outer) => _outer = outer;

            public Stream Adopt(nint python)
            {
                var raw = new PythonStream(python);
                _streams.Add((raw, null!));
                // BufferedStream asks whether the stream is readable or writable at once:
                // a closed Python stream is refused here.
                var buffered = new BufferedStream(raw, BufferSize);
                _streams[^1] = (raw, buffered);
                return buffered;
            }

            public nint PythonObjectOf(Stream stream)
            {
                foreach (var (raw, buffered) in _streams)
                {
                    if (ReferenceEquals(stream, buffered) || ReferenceEquals(stream, raw))
                    {
                        return raw.PythonObject;
                    }
                }
                return 0;
            }

            /// <summary>
            /// After the call succeeded: writes out what is buffered and gives back
            /// what was read ahead of the library (on a seekable stream); a failure
            /// here fails the call.
            /// </summary>
            public void Complete()
            {
                foreach (var (raw, buffered) in _streams)
                {
                    if (buffered != null && raw.Usable)
                    {
                        buffered.Flush();
                    }
                }
            }

            /// <summary>Retires the streams (without calling Python: the call may have failed).</summary>
            public void Dispose()
            {
                foreach (var (raw, _) in _streams)
                {
                    raw.End();
                }
                t_current = _outer;
            }
        }
    }

    /// <summary>
    /// A .NET stream over a Python file object, one stream callback per
    /// operation.  Negative answers become the matching .NET exceptions: an
    /// error (the Python exception's text) an IOException, an unsupported
    /// operation a NotSupportedException, a closed stream an
    /// ObjectDisposedException.  Answers that cannot be true (more bytes read
    /// or written than asked for, no progress on a write) are IOExceptions
    /// too, never a silent short read or write.
    /// </summary>
    internal sealed unsafe class PythonStream : Stream
    {
        // The most one callback lends: the native side stages each call's bytes.
        internal const int MaxCallbackBytes = 1 << 20;

        private readonly nint _python;
        private readonly int _thread;
        private bool _ended;
        private bool _disposed;
        // Set when a callback failed without leaving text: an interrupt may be
        // pending, and Python must not be called again.
        private bool _faulted;
        private int _canRead = -1, _canWrite = -1, _canSeek = -1;

        public PythonStream(nint python)
        {
            _python = python;
            _thread = Environment.CurrentManagedThreadId;
        }

        public nint PythonObject => _python;

        /// <summary>Whether the stream may still call Python.</summary>
        public bool Usable => !_ended && !_disposed && !_faulted;

        /// <summary>The call that lent the object has ended.</summary>
        public void End() => _ended = true;

        public override bool CanRead => Usable && Capability(ref _canRead, StaticCallbacks.StreamCanRead, "readable");
        public override bool CanWrite => Usable && Capability(ref _canWrite, StaticCallbacks.StreamCanWrite, "writable");
        public override bool CanSeek => Usable && Capability(ref _canSeek, StaticCallbacks.StreamCanSeek, "seekable");

        public override long Length
        {
            get
            {
                Check();
                long length = StaticCallbacks.StreamLength(_python);
                return length switch
                {
                    >= 0 => length,
                    -2 => throw new NotSupportedException("the Python stream is not seekable, so it has no length"),
                    -3 => throw new ObjectDisposedException(null, "the Python stream is closed"),
                    _ => throw Failure("seek", length),
                };
            }
        }

        public override long Position
        {
            get
            {
                Check();
                long position = StaticCallbacks.StreamTell(_python);
                return position >= 0 ? position : throw Failure("tell", position);
            }
            set => Seek(value, SeekOrigin.Begin);
        }

        public override int Read(byte[] buffer, int offset, int count)
        {
            ValidateBufferArguments(buffer, offset, count);
            return Read(buffer.AsSpan(offset, count));
        }

        public override int Read(Span<byte> buffer)
        {
            Check();
            if (buffer.IsEmpty)
            {
                return 0;
            }
            int asked = Math.Min(buffer.Length, MaxCallbackBytes);
            int read;
            fixed (byte* p = buffer)
            {
                read = StaticCallbacks.StreamReadInto(_python, p, asked);
            }
            if (read < 0)
            {
                throw Failure("readinto", read);
            }
            if (read > asked)
            {
                throw new IOException($"readinto() of the Python stream reported {read} bytes read into a buffer of {asked}");
            }
            return read;
        }

        public override int ReadByte()
        {
            Check();
            int value = StaticCallbacks.StreamReadByte(_python);
            return value switch
            {
                >= 0 and <= 255 => value,
                -1 => -1,
                _ => throw Failure("readinto", -1),
            };
        }

        public override void Write(byte[] buffer, int offset, int count)
        {
            ValidateBufferArguments(buffer, offset, count);
            Write(new ReadOnlySpan<byte>(buffer, offset, count));
        }

        // A raw Python stream may take part of what it is given: the rest is
        // offered again until every byte is taken.
        public override void Write(ReadOnlySpan<byte> buffer)
        {
            Check();
            fixed (byte* start = buffer)
            {
                byte* p = start;
                int left = buffer.Length;
                while (left > 0)
                {
                    int offered = Math.Min(left, MaxCallbackBytes);
                    int taken = StaticCallbacks.StreamWrite(_python, p, offered);
                    if (taken < 0)
                    {
                        throw Failure("write", taken);
                    }
                    if (taken == 0)
                    {
                        throw new IOException($"write() of the Python stream took none of {offered} bytes");
                    }
                    if (taken > offered)
                    {
                        throw new IOException($"write() of the Python stream reported {taken} bytes written of {offered}");
                    }
                    p += taken;
                    left -= taken;
                }
            }
        }

        public override void WriteByte(byte value)
        {
            Check();
            int taken = StaticCallbacks.StreamWriteByte(_python, value);
            if (taken < 0)
            {
                throw Failure("write", taken);
            }
            if (taken != 1)
            {
                throw new IOException($"write() of the Python stream reported {taken} bytes written of 1");
            }
        }

        public override long Seek(long offset, SeekOrigin origin)
        {
            Check();
            long position = StaticCallbacks.StreamSeek(_python, offset, (int)origin);
            return position >= 0 ? position : throw Failure("seek", position);
        }

        public override void SetLength(long value)
        {
            Check();
            if (StaticCallbacks.StreamSetLength(_python, value) < 0)
            {
                throw Failure("truncate", -1);
            }
        }

        public override void Flush()
        {
            Check();
            if (StaticCallbacks.StreamFlush(_python) < 0)
            {
                throw Failure("flush", -1);
            }
        }

        // .NET code that disposes a stream it was given closes it; after a
        // failure or after the call, Python is left alone.
        protected override void Dispose(bool disposing)
        {
            if (disposing && Usable && Environment.CurrentManagedThreadId == _thread)
            {
                _disposed = true;
                StaticCallbacks.StreamClose(_python);
            }
            _disposed = true;
            base.Dispose(disposing);
        }

        private void Check()
        {
            if (_ended)
            {
                throw new ObjectDisposedException(null, "a Python stream can be used only during the call it was passed to");
            }
            if (_disposed)
            {
                throw new ObjectDisposedException(null, "the Python stream is closed");
            }
            if (_faulted)
            {
                throw new IOException("the Python stream failed earlier in this call");
            }
            if (Environment.CurrentManagedThreadId != _thread)
            {
                throw new InvalidOperationException("a Python stream can be used only on the thread that passed it");
            }
        }

        // The Python answer is asked once: it changes only when the stream is
        // closed, and then the next operation says so itself.
        private bool Capability(ref int cached, delegate* unmanaged<nint, int> callback, string method)
        {
            if (cached < 0)
            {
                Check();
                int answer = callback(_python);
                if (answer < 0)
                {
                    throw Failure(method, answer);
                }
                cached = answer;
            }
            return cached != 0;
        }

        private Exception Failure(string method, long code)
        {
            string? text = ErrorBridge.TakePythonError();
            if (text is null)
            {
                _faulted = true;
                return new IOException($"{method}() of the Python stream failed (code {code})");
            }
            return new IOException($"{method}() of the Python stream failed: {text}");
        }
    }
}
