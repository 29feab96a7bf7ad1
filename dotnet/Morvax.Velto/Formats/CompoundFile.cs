// CompoundFile: reads the streams of a compound file (the structured storage
// that holds a macro project), read-only and bounded: every sector chain is
// checked against the file's size and for loops, and a malformed file is an
// InvalidDataException, never a hang or an out-of-range read.
using System;
using System.Buffers.Binary;
using System.Collections.Generic;
using System.IO;
using System.Text;

namespace Morvax.Velto.Formats;

internal sealed class CompoundFile
{
    private const uint EndOfChain = 0xFFFFFFFE;
    private const uint NoStream = 0xFFFFFFFF;
    private const int DirectoryEntrySize = 128;
    private const int HeaderSize = 512;
    private static readonly byte[] Signature = { 0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1 };

    private readonly byte[] data;
    private readonly int sectorSize;
    private readonly int miniSectorSize;
    private readonly uint miniStreamCutoff;
    private readonly uint[] fat;
    private readonly uint[] miniFat;
    private readonly List<Entry> entries;
    private readonly byte[] miniStream;

    private sealed record Entry(string Name, byte Type, uint Left, uint Right, uint Child, uint Start, long Size);

    private CompoundFile(byte[] data)
    {
        this.data = data;
        if (data.Length < HeaderSize || !data.AsSpan(0, 8).SequenceEqual(Signature))
            throw Malformed("it does not start with the compound file signature");
        int sectorShift = U16(0x1E), miniShift = U16(0x20);
        if (sectorShift is not (9 or 12) || miniShift != 6)
            throw Malformed("its sector sizes are not the standard ones");
        sectorSize = 1 << sectorShift;
        miniSectorSize = 1 << miniShift;
        miniStreamCutoff = U32(0x38);
        fat = ReadFat();
        entries = ReadDirectory();
        Entry root = entries.Count > 0 && entries[0].Type == 5 ? entries[0] : throw Malformed("it has no root entry");
        miniStream = root.Start == EndOfChain ? Array.Empty<byte>() : ReadChain(root.Start, root.Size, fat, sectorSize, SectorData);
        uint miniFatStart = U32(0x3C);
        byte[] miniFatBytes = miniFatStart == EndOfChain ? Array.Empty<byte>()
            : ReadChain(miniFatStart, (long)U32(0x40) * sectorSize, fat, sectorSize, SectorData);
        miniFat = ToUInts(miniFatBytes);
    }

    /// <summary>Reads the compound file's header, allocation tables and directory.</summary>
    internal static CompoundFile Open(byte[] data) => new(data);

    /// <summary>The bytes of the stream at the path of storage names ending in the stream's name (names compared ignoring case), or null.</summary>
    internal byte[]? Stream(params string[] path)
    {
        uint current = 0;
        foreach (string name in path)
        {
            uint found = Find(entries[(int)current].Child, name);
            if (found == NoStream)
                return null;
            current = found;
        }
        Entry entry = entries[(int)current];
        if (entry.Type != 2)
            return null;
        if (entry.Size == 0)
            return Array.Empty<byte>();
        return entry.Size < miniStreamCutoff
            ? ReadChain(entry.Start, entry.Size, miniFat, miniSectorSize, MiniSectorData)
            : ReadChain(entry.Start, entry.Size, fat, sectorSize, SectorData);
    }

    // The children of a storage are a tree of siblings; the walk is bounded by
    // the number of entries so that a cycle ends it.
    private uint Find(uint node, string name)
    {
        var pending = new Stack<uint>();
        pending.Push(node);
        for (int visited = 0; pending.Count > 0 && visited <= entries.Count; visited++)
        {
            uint at = pending.Pop();
            if (at == NoStream)
                continue;
            if (at >= entries.Count)
                throw Malformed("a directory entry points outside the directory");
            Entry entry = entries[(int)at];
            if (string.Equals(entry.Name, name, StringComparison.OrdinalIgnoreCase))
                return at;
            pending.Push(entry.Left);
            pending.Push(entry.Right);
        }
        return NoStream;
    }

    private uint[] ReadFat()
    {
        uint fatSectors = U32(0x2C);
        var sectors = new List<uint>();
        for (int i = 0; i < 109 && sectors.Count < fatSectors; i++)
            sectors.Add(U32(0x4C + 4 * i));
        // Further table sectors are listed in a chain of DIFAT sectors, each ending with the next one's number.
        uint difat = U32(0x44);
        for (int hops = 0; sectors.Count < fatSectors && difat != EndOfChain && difat != NoStream; hops++)
        {
            if (hops > data.Length / sectorSize)
                throw Malformed("its sector table list loops");
            ReadOnlySpan<byte> sector = SectorData(difat);
            for (int i = 0; i < sectorSize / 4 - 1 && sectors.Count < fatSectors; i++)
                sectors.Add(BinaryPrimitives.ReadUInt32LittleEndian(sector[(4 * i)..]));
            difat = BinaryPrimitives.ReadUInt32LittleEndian(sector[(sectorSize - 4)..]);
        }
        if (sectors.Count < fatSectors)
            throw Malformed("its sector table is incomplete");
        var table = new uint[sectors.Count * (sectorSize / 4)];
        for (int s = 0; s < sectors.Count; s++)
        {
            ReadOnlySpan<byte> sector = SectorData(sectors[s]);
            for (int i = 0; i < sectorSize / 4; i++)
                table[s * (sectorSize / 4) + i] = BinaryPrimitives.ReadUInt32LittleEndian(sector[(4 * i)..]);
        }
        return table;
    }

    private List<Entry> ReadDirectory()
    {
        byte[] directory = ReadChain(U32(0x30), long.MaxValue, fat, sectorSize, SectorData);
        var list = new List<Entry>();
        for (int at = 0; at + DirectoryEntrySize <= directory.Length; at += DirectoryEntrySize)
        {
            ReadOnlySpan<byte> e = directory.AsSpan(at, DirectoryEntrySize);
            int nameBytes = System.Math.Clamp((int)BinaryPrimitives.ReadUInt16LittleEndian(e[0x40..]), 2, 64);
            string name = Encoding.Unicode.GetString(e[..(nameBytes - 2)]);
            long size = BinaryPrimitives.ReadInt64LittleEndian(e[0x78..]);
            if (sectorSize == 512)
                size &= 0xFFFFFFFF;  // version 3 files may leave junk in the high half
            list.Add(new Entry(name, e[0x42], BinaryPrimitives.ReadUInt32LittleEndian(e[0x44..]),
                BinaryPrimitives.ReadUInt32LittleEndian(e[0x48..]), BinaryPrimitives.ReadUInt32LittleEndian(e[0x4C..]),
                BinaryPrimitives.ReadUInt32LittleEndian(e[0x74..]), size));
        }
        return list;
    }

    private delegate ReadOnlySpan<byte> SectorReader(uint sector);

    // Follows a chain through the table, at most as many links as the table
    // has entries, and stops at the size asked for (or the chain's end when
    // the size is unbounded).
    private byte[] ReadChain(uint start, long size, uint[] table, int unit, SectorReader read)
    {
        if (size < 0 || size != long.MaxValue && size > data.Length * 64L)
            throw Malformed("a stream is larger than the file can hold");
        var output = new MemoryStream();
        uint sector = start;
        for (int links = 0; sector != EndOfChain && output.Length < size; links++)
        {
            if (sector >= table.Length || links > table.Length)
                throw Malformed(links > table.Length ? "a sector chain loops" : "a sector chain leaves the file");
            output.Write(read(sector));
            sector = table[sector];
        }
        if (size != long.MaxValue && output.Length < size)
            throw Malformed("a stream is shorter than its directory entry says");
        if (size != long.MaxValue)
            output.SetLength(size);
        return output.ToArray();
    }

    private ReadOnlySpan<byte> SectorData(uint sector)
    {
        long offset = (sector + 1L) * sectorSize;
        if (offset + sectorSize > data.Length)
        {
            // The last sector of a file may be cut short.
            if (offset >= data.Length)
                throw Malformed("a sector lies beyond the end of the file");
            var padded = new byte[sectorSize];
            data.AsSpan((int)offset).CopyTo(padded);
            return padded;
        }
        return data.AsSpan((int)offset, sectorSize);
    }

    private ReadOnlySpan<byte> MiniSectorData(uint sector)
    {
        long offset = (long)sector * miniSectorSize;
        if (offset + miniSectorSize > miniStream.Length)
            throw Malformed("a small stream's sector lies beyond the small-stream area");
        return miniStream.AsSpan((int)offset, miniSectorSize);
    }

    private static uint[] ToUInts(byte[] bytes)
    {
        var values = new uint[bytes.Length / 4];
        for (int i = 0; i < values.Length; i++)
            values[i] = BinaryPrimitives.ReadUInt32LittleEndian(bytes.AsSpan(4 * i));
        return values;
    }

    private int U16(int offset) => BinaryPrimitives.ReadUInt16LittleEndian(data.AsSpan(offset));

    private uint U32(int offset) => BinaryPrimitives.ReadUInt32LittleEndian(data.AsSpan(offset));

    private static InvalidDataException Malformed(string why) =>
        new($"The macro project is not a readable compound file: {why}.");
}
