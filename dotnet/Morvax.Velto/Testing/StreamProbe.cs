// StreamProbe: a test fixture for the Python bindings, not part of the document API.
// It hands out .NET streams (seekable, not seekable, recording the size of every read
// asked of them) and uses the streams it is given the way library code does, so the
// binding tests can check both directions of the stream bridge against real behaviour.
using System;
using System.Collections.Generic;
using System.IO;

namespace Morvax.Velto.Testing;

public sealed class StreamProbe
{
    private RecordingStream? _last;
    private Stream? _kept;

    public StreamProbe()
    {
    }

    /// <summary>A readable, writable, seekable stream holding a copy of the bytes, at position 0.</summary>
    public Stream OpenStream(byte[] data) => _last = new RecordingStream(data, seekable: true);

    /// <summary>As <see cref="OpenStream"/>, but the stream cannot seek.</summary>
    public Stream OpenNonSeekable(byte[] data) => _last = new RecordingStream(data, seekable: false);

    /// <summary>A stream of the given number of bytes (a repeating pattern), for benchmarks.</summary>
    public Stream OpenPattern(int length)
    {
        byte[] data = new byte[length];
        for (int i = 0; i < length; i++)
        {
            data[i] = (byte)(i % 251);
        }
        return new MemoryStream(data, 0, length, writable: false, publiclyVisible: true);
    }

    /// <summary>The sizes of the reads asked of the stream opened last, joined by commas.</summary>
    public string ReadSizes => _last is null ? "" : string.Join(",", _last.ReadSizes);

    /// <summary>The bytes of the stream opened last.</summary>
    public byte[] Contents => _last?.ToArray() ?? Array.Empty<byte>();

    /// <summary>Whether the stream opened last was disposed.</summary>
    public bool LastDisposed => _last?.Disposed ?? false;

    /// <summary>Reads the stream from its position to the end, in reads of the given size.</summary>
    public byte[] ReadAll(Stream stream, int chunk)
    {
        var output = new MemoryStream();
        byte[] buffer = new byte[chunk];
        int read;
        while ((read = stream.Read(buffer, 0, chunk)) > 0)
        {
            output.Write(buffer, 0, read);
        }
        return output.ToArray();
    }

    /// <summary>Reads one byte at a time until the end; returns how many there were.</summary>
    public int CountBytes(Stream stream)
    {
        int count = 0;
        while (stream.ReadByte() >= 0)
        {
            count++;
        }
        return count;
    }

    /// <summary>Writes the bytes in pieces of the given size (one byte at a time for 1).</summary>
    public void WriteInPieces(Stream stream, byte[] data, int piece)
    {
        for (int offset = 0; offset < data.Length; offset += piece)
        {
            if (piece == 1)
            {
                stream.WriteByte(data[offset]);
            }
            else
            {
                stream.Write(data, offset, System.Math.Min(piece, data.Length - offset));
            }
        }
    }

    /// <summary>"read,write,seek" as the stream answers them (1 or 0 each).</summary>
    public string Capabilities(Stream stream) =>
        $"{(stream.CanRead ? 1 : 0)},{(stream.CanWrite ? 1 : 0)},{(stream.CanSeek ? 1 : 0)}";

    public long LengthOf(Stream stream) => stream.Length;

    public long PositionOf(Stream stream) => stream.Position;

    public long SeekTo(Stream stream, long offset, int origin) => stream.Seek(offset, (SeekOrigin)origin);

    public void SetLengthOf(Stream stream, long length) => stream.SetLength(length);

    public void FlushStream(Stream stream) => stream.Flush();

    public void DisposeStream(Stream stream) => stream.Dispose();

    /// <summary>The stream it was given.</summary>
    public Stream Echo(Stream stream) => stream;

    /// <summary>Keeps the stream for a later call, as library code must not.</summary>
    public void Keep(Stream stream) => _kept = stream;

    /// <summary>Reads one byte of the kept stream.</summary>
    public int ReadKept() => (_kept ?? throw new InvalidOperationException("no stream is kept")).ReadByte();

    // A memory stream that notes every read asked of it and whether it was disposed. (A
    // span read of a derived memory stream arrives here as an array read.)
    private sealed class RecordingStream : MemoryStream
    {
        private readonly bool _seekable;

        public RecordingStream(byte[] data, bool seekable)
        {
            Write(data, 0, data.Length);
            base.Position = 0;
            _seekable = seekable;
        }

        public List<int> ReadSizes { get; } = new();

        public bool Disposed { get; private set; }

        public override bool CanSeek => _seekable && base.CanSeek;

        public override int Read(byte[] buffer, int offset, int count)
        {
            ReadSizes.Add(count);
            return base.Read(buffer, offset, count);
        }

        public override long Seek(long offset, SeekOrigin loc) =>
            _seekable ? base.Seek(offset, loc) : throw new NotSupportedException("the stream does not seek");

        public override long Position
        {
            get => base.Position;
            set
            {
                if (!_seekable && value != base.Position)
                {
                    throw new NotSupportedException("the stream does not seek");
                }
                base.Position = value;
            }
        }

        protected override void Dispose(bool disposing)
        {
            Disposed = true;
            base.Dispose(disposing);
        }
    }
}
