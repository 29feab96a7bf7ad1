// OpcPackage: read access to the parts of a zip package: part lookup by
// name (case-insensitive, as the packaging rules say), relationships, and
// declared content types.  Each part is read with a size cap, so a small
// archive that inflates to gigabytes is refused instead of exhausting memory.
using System;
using System.Collections.Generic;
using System.IO;
using System.IO.Compression;
using System.Xml;

namespace Morvax.Velto.Formats;

internal sealed class OpcPackage
{
    internal const long MaxPartBytes = 256L * 1024 * 1024;

    private readonly Dictionary<string, ZipArchiveEntry> parts = new(StringComparer.OrdinalIgnoreCase);

    public OpcPackage(ZipArchive zip)
    {
        foreach (ZipArchiveEntry entry in zip.Entries)
            parts.TryAdd(entry.FullName.TrimStart('/'), entry);
    }

    public readonly record struct Relationship(string Type, string Target, bool External);

    public bool Contains(string partName) => parts.ContainsKey(partName);

    public Stream Open(string partName)
    {
        ZipArchiveEntry entry = parts[partName];
        if (entry.Length > MaxPartBytes)
            throw new InvalidDataException($"The part {partName} is too large.");
        return new CappedStream(entry.Open(), MaxPartBytes);
    }

    public byte[] ReadAllBytes(string partName)
    {
        using Stream stream = Open(partName);
        var buffer = new MemoryStream();
        stream.CopyTo(buffer);
        return buffer.ToArray();
    }

    // The relationships of a part (null: of the package itself), with
    // internal targets resolved to part names.
    public List<Relationship> RelationshipsOf(string? sourcePart)
    {
        string folder = sourcePart is null ? string.Empty : FolderOf(sourcePart);
        string relsPart = sourcePart is null ? "_rels/.rels" : $"{folder}_rels/{sourcePart[folder.Length..]}.rels";
        var result = new List<Relationship>();
        if (!Contains(relsPart))
            return result;
        using XmlReader reader = XmlReader.Create(Open(relsPart), XmlSafety.ReaderSettings);
        while (reader.ReadToFollowing("Relationship", WordMl.RelationshipsNs))
        {
            string? type = reader.GetAttribute("Type");
            string? target = reader.GetAttribute("Target");
            if (type is null || target is null)
                continue;
            bool external = reader.GetAttribute("TargetMode") == "External";
            result.Add(new Relationship(type, external ? target : Resolve(folder, target), external));
        }
        return result;
    }

    // The part that the first relationship of the given type points to,
    // when that part exists.
    public string? Find(List<Relationship> relationships, string type)
    {
        string suffix = type[type.LastIndexOf('/')..];
        foreach (Relationship relationship in relationships)
        {
            if (!relationship.External && relationship.Type.EndsWith(suffix, StringComparison.Ordinal)
                && Contains(relationship.Target))
                return relationship.Target;
        }
        return null;
    }

    public string? ContentTypeOf(string partName)
    {
        if (!Contains("[Content_Types].xml"))
            return null;
        using XmlReader reader = XmlReader.Create(Open("[Content_Types].xml"), XmlSafety.ReaderSettings);
        while (reader.ReadToFollowing("Override", WordMl.ContentTypesNs))
        {
            if (string.Equals(reader.GetAttribute("PartName")?.TrimStart('/'), partName, StringComparison.OrdinalIgnoreCase))
                return reader.GetAttribute("ContentType");
        }
        return null;
    }

    private static string FolderOf(string partName) => partName[..(partName.LastIndexOf('/') + 1)];

    // Targets are relative URIs: percent-escaped, relative to the source
    // part's folder unless they start with '/'.
    private static string Resolve(string folder, string target)
    {
        target = Uri.UnescapeDataString(target);
        var segments = new List<string>();
        if (!target.StartsWith('/'))
            segments.AddRange(folder.Split('/', StringSplitOptions.RemoveEmptyEntries));
        foreach (string segment in target.Split('/', StringSplitOptions.RemoveEmptyEntries))
        {
            if (segment == "..")
            {
                if (segments.Count > 0)
                    segments.RemoveAt(segments.Count - 1);
            }
            else if (segment != ".")
                segments.Add(segment);
        }
        return string.Join('/', segments);
    }

    // Fails a read that goes past the cap, whatever size the archive claims.
    private sealed class CappedStream : Stream
    {
        private readonly Stream inner;
        private long remaining;

        public CappedStream(Stream inner, long cap)
        {
            this.inner = inner;
            remaining = cap;
        }

        public override bool CanRead => true;
        public override bool CanSeek => false;
        public override bool CanWrite => false;
        public override long Length => throw new NotSupportedException();

        public override long Position
        {
            get => throw new NotSupportedException();
            set => throw new NotSupportedException();
        }

        public override int Read(byte[] buffer, int offset, int count)
        {
            int read = inner.Read(buffer, offset, count);
            remaining -= read;
            if (remaining < 0)
                throw new InvalidDataException("A part of the package is too large.");
            return read;
        }

        public override void Flush()
        {
        }

        public override long Seek(long offset, SeekOrigin origin) => throw new NotSupportedException();
        public override void SetLength(long value) => throw new NotSupportedException();
        public override void Write(byte[] buffer, int offset, int count) => throw new NotSupportedException();

        protected override void Dispose(bool disposing)
        {
            if (disposing)
                inner.Dispose();
            base.Dispose(disposing);
        }
    }
}
