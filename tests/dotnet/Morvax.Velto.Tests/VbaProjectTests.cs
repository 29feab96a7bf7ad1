// The macro project read from vbaProject.bin: a compound file written here
// (with a small-stream area, as word processors write it) around a VBA
// directory and module sources compressed here; the project's name, modules
// and references come out, the bytes are saved back unchanged, changes are
// refused, and malformed projects are clear errors.
using System;
using System.Buffers.Binary;
using System.Collections.Generic;
using System.IO;
using System.Linq;
using System.Text;
using Morvax.Velto.Formats;
using Morvax.Velto.Vba;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class VbaProjectTests
{
    internal const string MacroSource = "Attribute VB_Name = \"Tools\"\r\nSub Hello()\r\n    MsgBox \"Hello\"\r\n    MsgBox \"Hello\"\r\nEnd Sub\r\n";
    internal const string DocumentSource = "Attribute VB_Name = \"ThisDocument\"\r\n";

    // The run-length compression of macro projects: copies of earlier bytes of
    // the chunk where three or more repeat, literals otherwise.
    internal static byte[] Compress(byte[] input)
    {
        var output = new List<byte> { 0x01 };
        for (int chunkStart = 0; chunkStart < input.Length; chunkStart += 4096)
        {
            int end = System.Math.Min(chunkStart + 4096, input.Length), pos = chunkStart;
            var chunk = new List<byte>();
            while (pos < end)
            {
                int flagAt = chunk.Count;
                chunk.Add(0);
                for (int bit = 0; bit < 8 && pos < end; bit++)
                {
                    int produced = pos - chunkStart;
                    int bitCount = System.Math.Max(produced <= 1 ? 0 : (int)System.Math.Ceiling(System.Math.Log2(produced)), 4);
                    int maxLength = (0xFFFF >> bitCount) + 3, bestLength = 0, bestOffset = 0;
                    for (int offset = 1; offset <= System.Math.Min(produced, 1 << (16 - bitCount)); offset++)
                    {
                        int length = 0;
                        while (pos + length < end && length < maxLength && input[pos + length] == input[pos - offset + length])
                            length++;
                        if (length > bestLength)
                            (bestLength, bestOffset) = (length, offset);
                    }
                    if (bestLength >= 3)
                    {
                        int token = ((bestOffset - 1) << (16 - bitCount)) | (bestLength - 3);
                        chunk.Add((byte)token);
                        chunk.Add((byte)(token >> 8));
                        chunk[flagAt] |= (byte)(1 << bit);
                        pos += bestLength;
                    }
                    else
                        chunk.Add(input[pos++]);
                }
            }
            int header = 0xB000 | (chunk.Count + 2 - 3);
            output.Add((byte)header);
            output.Add((byte)(header >> 8));
            output.AddRange(chunk);
        }
        return output.ToArray();
    }

    private static void Record(List<byte> dir, ushort id, byte[] data)
    {
        dir.AddRange(BitConverter.GetBytes(id));
        dir.AddRange(BitConverter.GetBytes(data.Length));
        dir.AddRange(data);
    }

    private static byte[] Sized(string text) =>
        BitConverter.GetBytes(text.Length).Concat(Encoding.ASCII.GetBytes(text)).ToArray();

    // The VBA/dir stream of a project with one registered reference, one
    // project reference, the document's module and a procedural one.
    internal static byte[] Directory(string projectName, uint moduleOffset)
    {
        var dir = new List<byte>();
        Record(dir, 0x0001, BitConverter.GetBytes(1));
        Record(dir, 0x0002, BitConverter.GetBytes(0x409));
        Record(dir, 0x0014, BitConverter.GetBytes(0x409));
        Record(dir, 0x0003, BitConverter.GetBytes((ushort)1252));
        Record(dir, 0x0004, Encoding.ASCII.GetBytes(projectName));
        Record(dir, 0x0005, Array.Empty<byte>());
        Record(dir, 0x0040, Array.Empty<byte>());
        dir.AddRange(new byte[] { 0x09, 0x00, 4, 0, 0, 0, 1, 0, 0, 0, 2, 0 });  // the version record's fixed form
        Record(dir, 0x0016, Encoding.ASCII.GetBytes("stdole"));
        Record(dir, 0x003E, Encoding.Unicode.GetBytes("stdole"));
        Record(dir, 0x000D, Sized("*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#stdole2.tlb#OLE Automation")
            .Concat(new byte[6]).ToArray());
        Record(dir, 0x000E, Sized("*\\CC:\\Shared.dotm").Concat(Sized("")).Concat(new byte[6]).ToArray());
        Record(dir, 0x000F, BitConverter.GetBytes((ushort)2));
        Record(dir, 0x0013, BitConverter.GetBytes((ushort)0xFFFF));
        foreach ((string name, bool procedural) in new[] { ("ThisDocument", false), ("Tools", true) })
        {
            Record(dir, 0x0019, Encoding.ASCII.GetBytes(name));
            Record(dir, 0x0047, Encoding.Unicode.GetBytes(name));
            Record(dir, 0x001A, Encoding.ASCII.GetBytes(name));
            Record(dir, 0x0032, Encoding.Unicode.GetBytes(name));
            Record(dir, 0x0031, BitConverter.GetBytes(moduleOffset));
            Record(dir, procedural ? (ushort)0x0021 : (ushort)0x0022, Array.Empty<byte>());
            Record(dir, 0x002B, Array.Empty<byte>());
        }
        Record(dir, 0x0010, Array.Empty<byte>());
        return dir.ToArray();
    }

    // A version 3 compound file: 512-byte sectors, streams under 4096 bytes in
    // the small-stream area, each storage's children chained as right siblings.
    internal static byte[] CompoundFile(params (string Storage, string Name, byte[] Data)[] streams)
    {
        const uint End = 0xFFFFFFFE, Free = 0xFFFFFFFF, FatSector = 0xFFFFFFFD;
        var entries = new List<(string Name, byte Type, uint Child, uint Right, uint Start, int Size)> { ("Root Entry", 5, Free, Free, End, 0) };
        var mini = new List<byte>();
        var miniFat = new List<uint>();
        var big = new List<(int Entry, byte[] Data)>();
        var storages = new Dictionary<string, int>();
        foreach ((string storage, string name, byte[] data) in streams)
        {
            int parent = 0;
            if (storage.Length > 0 && !storages.TryGetValue(storage, out parent))
            {
                parent = storages[storage] = entries.Count;
                entries.Add((storage, 1, Free, Free, 0, 0));
                Link(entries, 0, parent);
            }
            int index = entries.Count;
            uint start = End;
            if (data.Length < 4096 && data.Length > 0)
            {
                start = (uint)(mini.Count / 64);
                int sectors = (data.Length + 63) / 64;
                for (int i = 0; i < sectors; i++)
                    miniFat.Add(i == sectors - 1 ? End : start + (uint)i + 1);
                mini.AddRange(data);
                mini.AddRange(new byte[sectors * 64 - data.Length]);
            }
            else if (data.Length > 0)
                big.Add((index, data));
            entries.Add((name, 2, Free, Free, start, data.Length));
            Link(entries, parent, index);
        }
        int dirSectors = (entries.Count * 128 + 511) / 512, miniFatSectors = (miniFat.Count * 4 + 511) / 512;
        int miniSectors = (mini.Count + 511) / 512, bigSectors = big.Sum(b => (b.Data.Length + 511) / 512);
        int contentSectors = dirSectors + miniFatSectors + miniSectors + bigSectors;
        int fatSectors = (contentSectors + 127) / 128;
        while ((contentSectors + fatSectors + 127) / 128 > fatSectors)
            fatSectors++;
        var fat = new List<uint>();
        for (int i = 0; i < fatSectors; i++)
            fat.Add(FatSector);
        uint Chain(int count)
        {
            uint first = (uint)fat.Count;
            for (int i = 0; i < count; i++)
                fat.Add(i == count - 1 ? End : (uint)fat.Count + 1);
            return count == 0 ? End : first;
        }
        uint dirStart = Chain(dirSectors), miniFatStart = Chain(miniFatSectors), miniStart = Chain(miniSectors);
        entries[0] = entries[0] with { Start = miniStart, Size = mini.Count };
        foreach ((int entry, byte[] data) in big)
            entries[entry] = entries[entry] with { Start = Chain((data.Length + 511) / 512) };
        while (fat.Count % 128 != 0)
            fat.Add(Free);

        var file = new byte[512 * (1 + fat.Count / 128 + contentSectors)];
        new byte[] { 0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1 }.CopyTo(file, 0);
        void U16(int at, int v) => BinaryPrimitives.WriteUInt16LittleEndian(file.AsSpan(at), (ushort)v);
        void U32(int at, uint v) => BinaryPrimitives.WriteUInt32LittleEndian(file.AsSpan(at), v);
        U16(0x18, 0x3E); U16(0x1A, 3); U16(0x1C, 0xFFFE); U16(0x1E, 9); U16(0x20, 6);
        U32(0x2C, (uint)fatSectors); U32(0x30, dirStart); U32(0x38, 4096);
        U32(0x3C, miniFatSectors == 0 ? End : miniFatStart); U32(0x40, (uint)miniFatSectors);
        U32(0x44, End);
        for (int i = 0; i < 109; i++)
            U32(0x4C + 4 * i, i < fatSectors ? (uint)i : Free);
        int Offset(uint sector) => (int)(sector + 1) * 512;
        for (int i = 0; i < fat.Count; i++)
            U32(512 + 4 * i, fat[i]);
        for (int e = 0; e < entries.Count; e++)
        {
            int at = Offset(dirStart) + 128 * e;
            byte[] name = Encoding.Unicode.GetBytes(entries[e].Name);
            name.CopyTo(file, at);
            U16(at + 0x40, name.Length + 2);
            file[at + 0x42] = entries[e].Type;
            file[at + 0x43] = 1;
            U32(at + 0x44, Free); U32(at + 0x48, entries[e].Right); U32(at + 0x4C, entries[e].Child);
            U32(at + 0x74, entries[e].Start); U32(at + 0x78, (uint)entries[e].Size);
        }
        for (int e = entries.Count; e < dirSectors * 4; e++)
        {
            int at = Offset(dirStart) + 128 * e;
            U32(at + 0x44, Free); U32(at + 0x48, Free); U32(at + 0x4C, Free);
        }
        for (int i = 0; i < miniFat.Count; i++)
            U32(Offset(miniFatStart) + 4 * i, miniFat[i]);
        for (int i = miniFat.Count; i < miniFatSectors * 128; i++)
            U32(Offset(miniFatStart) + 4 * i, Free);
        mini.ToArray().CopyTo(file, Offset(miniStart));
        foreach ((int entry, byte[] data) in big)
            data.CopyTo(file, Offset(entries[entry].Start));
        return file;
    }

    private static void Link(List<(string Name, byte Type, uint Child, uint Right, uint Start, int Size)> entries, int parent, int child)
    {
        if (entries[parent].Child == 0xFFFFFFFF)
        {
            entries[parent] = entries[parent] with { Child = (uint)child };
            return;
        }
        int last = (int)entries[parent].Child;
        while (entries[last].Right != 0xFFFFFFFF)
            last = (int)entries[last].Right;
        entries[last] = entries[last] with { Right = (uint)child };
    }

    // A macro project whose module streams start with a few bytes of compiled
    // code before the compressed source, as real ones do; the module source
    // is made long enough to need a second chunk and a regular-sector stream.
    internal static byte[] Project(string toolsSource = MacroSource)
    {
        byte[] Module(string source) => new byte[] { 1, 2, 3, 4 }.Concat(Compress(Encoding.ASCII.GetBytes(source))).ToArray();
        string project = "ID=\"{00000000-0000-0000-0000-000000000000}\"\r\nDocument=ThisDocument/&H00000000\r\nModule=Tools\r\nName=\"Macros\"\r\n";
        return CompoundFile(
            ("", "PROJECT", Encoding.ASCII.GetBytes(project)),
            ("VBA", "dir", Compress(Directory("Macros", 4))),
            ("VBA", "_VBA_PROJECT", new byte[] { 0xCC, 0x61, 0xFF, 0xFF, 0x00, 0x00, 0x00 }),
            ("VBA", "ThisDocument", Module(DocumentSource)),
            ("VBA", "Tools", Module(toolsSource)));
    }

    internal static byte[] MacroPackage(byte[] bin) => WordPackage(
        $"<w:document xmlns:w=\"{W}\"><w:body><w:p><w:r><w:t>Macros</w:t></w:r></w:p></w:body></w:document>",
        ("vbaProject.bin", "application/vnd.ms-office.vbaProject", "http://schemas.microsoft.com/office/2006/relationships/vbaProject", "")) is var package
        ? Replace(package, "word/vbaProject.bin", bin) : throw new InvalidOperationException();

    private static byte[] Replace(byte[] package, string name, byte[] content)
    {
        var buffer = new MemoryStream();
        buffer.Write(package);
        using (var zip = new System.IO.Compression.ZipArchive(buffer, System.IO.Compression.ZipArchiveMode.Update, true))
        {
            zip.GetEntry(name)!.Delete();
            using Stream stream = zip.CreateEntry(name).Open();
            stream.Write(content);
        }
        return buffer.ToArray();
    }

    [Fact]
    public void Compression_round_trips_with_copies_across_chunks()
    {
        byte[] text = Encoding.ASCII.GetBytes(string.Concat(Enumerable.Repeat("abcabcabcd-", 900)) + "end");
        byte[] compressed = Compress(text);
        Assert.True(compressed.Length < text.Length / 4);
        Assert.Equal(text, VbaCompression.Decompress(compressed));
        Assert.Equal(Array.Empty<byte>(), VbaCompression.Decompress(new byte[] { 1 }));
    }

    [Fact]
    public void The_project_names_its_modules_and_references()
    {
        string longSource = MacroSource + string.Concat(Enumerable.Range(0, 400).Select(i => $"' line {i}\r\n"));
        var doc = new Document(new MemoryStream(MacroPackage(Project(longSource))));
        VbaProject project = doc.VbaProject!;
        Assert.Same(project, doc.VbaProject);
        Assert.Equal(("Macros", 1252), (project.Name, project.CodePage));
        Assert.Equal(new[] { ("ThisDocument", VbaModuleType.DocumentModule, DocumentSource), ("Tools", VbaModuleType.ProceduralModule, longSource) },
            project.Modules.Select(m => (m.Name!, m.Type, m.SourceCode!)));
        Assert.Same(project.Modules[1], project.Modules["tools"]);
        Assert.Null(project.Modules["missing"]);
        Assert.Equal(new[] { VbaReferenceType.Registered, VbaReferenceType.Project }, project.References.Select(r => r.Type));
        Assert.StartsWith("*\\G{00020430", project.References[0].LibId);
        Assert.Equal("*\\CC:\\Shared.dotm", project.References[1].LibId);
    }

    [Fact]
    public void The_read_project_refuses_changes_and_is_saved_back_unchanged()
    {
        byte[] bin = Project();
        var doc = new Document(new MemoryStream(MacroPackage(bin)));
        VbaProject project = doc.VbaProject!;
        var refusals = new Action[]
        {
            () => project.Name = "Other",
            () => project.Modules.Add(new VbaModule()),
            () => project.Modules[0].SourceCode = "",
            () => project.References.RemoveAt(0),
        };
        foreach (Action refused in refusals)
            Assert.Contains("cannot change a macro project read from a document", Assert.Throws<NotSupportedException>(refused).Message);
        Assert.Equal(2, project.Modules.Count);

        var saved = new MemoryStream();
        doc.Save(saved, SaveFormat.Docm);
        using var zip = new System.IO.Compression.ZipArchive(new MemoryStream(saved.ToArray()));
        var kept = new MemoryStream();
        zip.GetEntry("word/vbaProject.bin")!.Open().CopyTo(kept);
        Assert.Equal(bin, kept.ToArray());
        doc.RemoveMacros();
        Assert.Null(doc.VbaProject);
        // A project made by hand is free to change.
        var own = new VbaProject { Name = "Mine" };
        own.Modules.Add(new VbaModule { Name = "A", SourceCode = "Sub A()\r\nEnd Sub" });
        Assert.Equal("A", Assert.Single(own.Modules).Name);
    }

    public static IEnumerable<object[]> Malformed()
    {
        byte[] good = Project();
        yield return new object[] { new byte[] { 1, 2, 3 } };
        yield return new object[] { good[..600] };
        byte[] loopingFat = (byte[])good.Clone();
        BinaryPrimitives.WriteUInt32LittleEndian(loopingFat.AsSpan(512 + 4 * 1), 1);  // directory chain points at itself
        yield return new object[] { loopingFat };
        byte[] wrongSectors = (byte[])good.Clone();
        wrongSectors[0x1E] = 30;
        yield return new object[] { wrongSectors };
        yield return new object[] { CompoundFile(("VBA", "dir", new byte[] { 1, 0xFF, 0xBF, 0x01, 0x80, 0x00 })) };
        yield return new object[] { CompoundFile(("VBA", "dir", Compress(Directory("P", 4)))) };  // modules without streams
        yield return new object[] { CompoundFile(("VBA", "dir", Compress(new byte[] { 0x04, 0, 0xFF, 0xFF, 0, 0 }))) };
    }

    [Theory]
    [MemberData(nameof(Malformed))]
    public void A_malformed_project_is_a_clear_error_and_the_document_still_works(byte[] bin)
    {
        var doc = new Document(new MemoryStream(MacroPackage(bin)));
        Assert.True(doc.HasMacros);
        Assert.Throws<InvalidDataException>(() => doc.VbaProject);
        Assert.Equal("Macros", doc.GetText().Trim());
        doc.Save(new MemoryStream(), SaveFormat.Docm);
    }
}
