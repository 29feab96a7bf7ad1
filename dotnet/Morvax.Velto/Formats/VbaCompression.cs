// VbaCompression: undoes the run-length compression a macro project uses for
// its directory and module source (a signature byte, then chunks of up to 4096
// bytes, each literal bytes or copies of earlier bytes of the same chunk).
// Bounded: a copy may only reach back into what its chunk has produced, and
// a malformed container is an InvalidDataException.
using System;
using System.Buffers.Binary;
using System.IO;
using System.Numerics;

namespace Morvax.Velto.Formats;

internal static class VbaCompression
{
    private const int ChunkSize = 4096;

    /// <summary>The decompressed bytes of a compressed container.</summary>
    internal static byte[] Decompress(ReadOnlySpan<byte> container)
    {
        if (container.Length == 0 || container[0] != 0x01)
            throw Malformed("it does not start with the signature byte");
        var output = new MemoryStream(container.Length * 2);
        int at = 1;
        while (at < container.Length)
        {
            if (at + 2 > container.Length)
                throw Malformed("a chunk header is cut short");
            ushort header = BinaryPrimitives.ReadUInt16LittleEndian(container[at..]);
            int chunkEnd = System.Math.Min(at + (header & 0x0FFF) + 3, container.Length);
            if ((header >> 12 & 0b111) != 0b011)
                throw Malformed("a chunk header has the wrong signature");
            at += 2;
            if ((header & 0x8000) == 0)
            {
                // A chunk stored as it is: 4096 bytes, fewer only at the end.
                int raw = System.Math.Min(ChunkSize, container.Length - at);
                output.Write(container.Slice(at, raw));
                at += raw;
                continue;
            }
            long chunkStart = output.Length;
            while (at < chunkEnd)
            {
                byte flags = container[at++];
                for (int bit = 0; bit < 8 && at < chunkEnd; bit++)
                {
                    if ((flags >> bit & 1) == 0)
                    {
                        output.WriteByte(container[at++]);
                        continue;
                    }
                    if (at + 2 > chunkEnd)
                        throw Malformed("a copy token is cut short");
                    ushort token = BinaryPrimitives.ReadUInt16LittleEndian(container[at..]);
                    at += 2;
                    int produced = (int)(output.Length - chunkStart);
                    // The more the chunk has produced, the more bits the offset takes.
                    int bitCount = System.Math.Max(BitOperations.Log2((uint)System.Math.Max(produced - 1, 1)) + 1, 4);
                    int lengthMask = 0xFFFF >> bitCount;
                    int length = (token & lengthMask) + 3;
                    int offset = (token >> (16 - bitCount)) + 1;
                    if (offset > produced || produced + length > ChunkSize)
                        throw Malformed("a copy token reaches outside its chunk");
                    byte[] buffer = output.GetBuffer();
                    long from = output.Length - offset;
                    for (int i = 0; i < length; i++)
                    {
                        output.WriteByte(buffer[from + i]);
                        buffer = output.GetBuffer();  // writing may have grown it
                    }
                }
            }
            at = chunkEnd;
        }
        return output.ToArray();
    }

    private static InvalidDataException Malformed(string why) =>
        new($"The macro project's compressed data cannot be read: {why}.");
}
