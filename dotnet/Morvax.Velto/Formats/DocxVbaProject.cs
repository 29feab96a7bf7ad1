// DocxVbaProject: what a document's macro project (the vbaProject.bin part,
// kept as its bytes and written back unchanged) holds: its name, code page,
// references and modules with their source, read from the compound file's
// VBA/dir stream, the module streams and the PROJECT stream.  Read only: the
// project made here refuses changes, which could not be saved.
using System;
using System.Buffers.Binary;
using System.Collections.Generic;
using System.IO;
using System.Linq;
using System.Text;
using Morvax.Velto.Vba;

namespace Morvax.Velto.Formats;

internal static class DocxVbaProject
{
    // Record identifiers of the dir stream.
    private const ushort CodePageRecord = 0x0003, NameRecord = 0x0004, VersionRecord = 0x0009;
    private const ushort ReferenceRegistered = 0x000D, ReferenceProject = 0x000E;
    private const ushort ReferenceOriginal = 0x0033, ReferenceControl = 0x002F, ReferenceControlExtended = 0x0030;
    private const ushort ModuleName = 0x0019, ModuleNameUnicode = 0x0047, ModuleStreamName = 0x001A;
    private const ushort ModuleOffset = 0x0031, ModuleProcedural = 0x0021, ModuleOther = 0x0022;
    private const ushort ModuleEnd = 0x002B, DirEnd = 0x0010;

    private sealed class ModuleEntry
    {
        public string Name = string.Empty;
        public string? UnicodeName;
        public string? StreamName;
        public uint Offset;
        public bool Procedural = true;
    }

    /// <summary>The project described by the bytes of a vbaProject.bin part.</summary>
    internal static VbaProject Read(byte[] bin)
    {
        CompoundFile file = CompoundFile.Open(bin);
        byte[] dir = VbaCompression.Decompress(file.Stream("VBA", "dir")
            ?? throw new InvalidDataException("The macro project has no VBA/dir stream."));
        var project = new VbaProject();
        Encoding encoding = Encoding.Latin1;
        var modules = new List<ModuleEntry>();
        ModuleEntry? module = null;
        bool originalPending = false;
        int at = 0;
        while (at + 6 <= dir.Length)
        {
            ushort id = BinaryPrimitives.ReadUInt16LittleEndian(dir.AsSpan(at));
            int size = (int)System.Math.Min(BinaryPrimitives.ReadUInt32LittleEndian(dir.AsSpan(at + 2)), int.MaxValue);
            // The version record's size field is fixed at 4 while 6 bytes follow it.
            if (id == VersionRecord)
                size = 6;
            if (size > dir.Length - at - 6)
                throw new InvalidDataException("The macro project's directory is cut short.");
            ReadOnlySpan<byte> body = dir.AsSpan(at + 6, size);
            at += 6 + size;
            switch (id)
            {
                case CodePageRecord when size >= 2:
                    project.SetCodePage(BinaryPrimitives.ReadUInt16LittleEndian(body));
                    encoding = EncodingOf(project.CodePage);
                    break;
                case NameRecord:
                    project.SetName(encoding.GetString(body));
                    break;
                case ReferenceRegistered:
                    project.References.AddRead(new VbaReference(VbaReferenceType.Registered, LibId(body, encoding)));
                    break;
                case ReferenceProject:
                    project.References.AddRead(new VbaReference(VbaReferenceType.Project, LibId(body, encoding)));
                    break;
                case ReferenceOriginal:
                    project.References.AddRead(new VbaReference(VbaReferenceType.Original, encoding.GetString(body)));
                    originalPending = true;
                    break;
                case ReferenceControl:
                    // A control reference that follows an original one completes it.
                    if (!originalPending)
                        project.References.AddRead(new VbaReference(VbaReferenceType.Control, LibId(body, encoding)));
                    originalPending = false;
                    break;
                case ReferenceControlExtended:
                    break;
                case ModuleName:
                    module = new ModuleEntry { Name = encoding.GetString(body) };
                    modules.Add(module);
                    break;
                case ModuleNameUnicode when module is not null:
                    module.UnicodeName = Encoding.Unicode.GetString(body);
                    break;
                case ModuleStreamName when module is not null:
                    module.StreamName = encoding.GetString(body);
                    break;
                case ModuleOffset when module is not null && size >= 4:
                    module.Offset = BinaryPrimitives.ReadUInt32LittleEndian(body);
                    break;
                case ModuleProcedural when module is not null:
                    module.Procedural = true;
                    break;
                case ModuleOther when module is not null:
                    module.Procedural = false;
                    break;
                case ModuleEnd:
                    module = null;
                    break;
                case DirEnd:
                    at = dir.Length;
                    break;
            }
        }
        Dictionary<string, VbaModuleType> kinds = ModuleKinds(file.Stream("PROJECT"), encoding);
        foreach (ModuleEntry entry in modules)
        {
            string name = entry.UnicodeName ?? entry.Name;
            byte[] stream = file.Stream("VBA", entry.StreamName ?? entry.Name)
                ?? throw new InvalidDataException($"The macro project has no stream for its module '{name}'.");
            if (entry.Offset > stream.Length)
                throw new InvalidDataException($"The source of the macro module '{name}' starts beyond its stream.");
            string source = encoding.GetString(VbaCompression.Decompress(stream.AsSpan((int)entry.Offset)));
            VbaModuleType type = entry.Procedural ? VbaModuleType.ProceduralModule
                : kinds.TryGetValue(name, out VbaModuleType kind) ? kind : VbaModuleType.ClassModule;
            project.Modules.AddRead(new VbaModule(name, source, type));
        }
        project.MarkRead();
        return project;
    }

    // A reference's record starts with its identifier's length and text.
    private static string LibId(ReadOnlySpan<byte> body, Encoding encoding)
    {
        if (body.Length < 4)
            return string.Empty;
        uint length = BinaryPrimitives.ReadUInt32LittleEndian(body);
        return length > body.Length - 4 ? string.Empty : encoding.GetString(body.Slice(4, (int)length));
    }

    // The PROJECT stream says which of the non-procedural modules are the
    // document's own, classes or designers (forms).
    private static Dictionary<string, VbaModuleType> ModuleKinds(byte[]? projectStream, Encoding encoding)
    {
        var kinds = new Dictionary<string, VbaModuleType>(StringComparer.OrdinalIgnoreCase);
        if (projectStream is null)
            return kinds;
        foreach (string line in encoding.GetString(projectStream).Split('\n').Select(l => l.TrimEnd('\r')))
        {
            int equals = line.IndexOf('=');
            if (equals <= 0)
                continue;
            string key = line[..equals], value = line[(equals + 1)..];
            VbaModuleType? kind = key switch
            {
                "Document" => VbaModuleType.DocumentModule,
                "Class" => VbaModuleType.ClassModule,
                "BaseClass" => VbaModuleType.DesignerModule,
                _ => null,
            };
            if (kind is { } found)
                kinds[value.Split('/')[0]] = found;
        }
        return kinds;
    }

    private static Encoding EncodingOf(int codePage)
    {
        try
        {
            return CodePagesEncodingProvider.Instance.GetEncoding(codePage) ?? Encoding.GetEncoding(codePage);
        }
        catch (Exception e) when (e is ArgumentException or NotSupportedException)
        {
            return Encoding.Latin1;
        }
    }
}
