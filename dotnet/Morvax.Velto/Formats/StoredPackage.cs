// StoredPackage: an OPC package over the bytes of a zip held in memory, for
// the SDK (and the package-part code) to read and change when a document is
// saved, and written out again as a zip in which every entry nobody wrote
// keeps its stored, compressed bytes: the parts the save does not touch (the
// images, the theme, whatever the library does not read) are neither
// inflated nor compressed again, and the content types and relationships
// stay byte for byte as read unless a part is added, removed or retyped.
// Parts are inflated only when opened; a part opened for writing holds its
// new bytes in memory until ToBytes.
using System;
using System.Collections.Generic;
using System.IO;
using System.IO.Compression;
using System.IO.Packaging;
using System.Linq;
using System.Text;
using System.Xml;
using System.Xml.Linq;

namespace Morvax.Velto.Formats;

internal sealed class StoredPackage : Package
{
    private const string ContentTypesEntry = "[Content_Types].xml";
    private static readonly XNamespace TypesNamespace = "http://schemas.openxmlformats.org/package/2006/content-types";

    private readonly byte[] source;
    private readonly ZipArchive reading;
    // By part name (the URI's unescaped text), case-insensitive as OPC names are.
    private readonly Dictionary<string, StoredPart> parts = new(StringComparer.OrdinalIgnoreCase);
    // Parts of the source that were deleted (or deleted and made again).
    private readonly HashSet<string> deletedEntries = new(StringComparer.OrdinalIgnoreCase);
    private readonly XDocument contentTypes;
    private readonly Dictionary<string, string> defaults = new(StringComparer.OrdinalIgnoreCase);
    private bool typesChanged;
    // Closing flushes; the bytes stay readable after it.
    private bool closed;

    // The level a part written fresh is compressed at, by part name; the
    // others get the default.
    private readonly Dictionary<string, CompressionLevel> levels = new(StringComparer.OrdinalIgnoreCase);

    public StoredPackage(byte[] zip) : base(FileAccess.ReadWrite)
    {
        source = zip;
        try
        {
            reading = new ZipArchive(new MemoryStream(zip, writable: false), ZipArchiveMode.Read);
            ZipArchiveEntry types = reading.GetEntry(ContentTypesEntry)
                ?? throw new InvalidDataException("The package has no content types.");
            using (Stream stream = types.Open())
                contentTypes = XDocument.Load(XmlReader.Create(stream, SafeXml));
            var overrides = new Dictionary<string, string>(StringComparer.OrdinalIgnoreCase);
            foreach (XElement entry in contentTypes.Root?.Elements() ?? Enumerable.Empty<XElement>())
            {
                string? type = (string?)entry.Attribute("ContentType");
                if (type is null)
                    continue;
                if (entry.Name == TypesNamespace + "Default" && (string?)entry.Attribute("Extension") is { } extension)
                    defaults.TryAdd(extension, type);
                else if (entry.Name == TypesNamespace + "Override" && (string?)entry.Attribute("PartName") is { } name)
                    overrides.TryAdd(Uri.UnescapeDataString(name), type);
            }
            foreach (ZipArchiveEntry entry in reading.Entries)
            {
                // Folders, the content types and names that are no part
                // name stay in the zip as they are, unseen by the package.
                if (entry.FullName.EndsWith('/') || entry.FullName == ContentTypesEntry || PartUriOf(entry.FullName) is not { } uri)
                    continue;
                string name = NameOf(uri);
                string? type = overrides.TryGetValue(name, out string? given) ? given : DefaultTypeOf(name);
                if (type is not null)
                    parts.TryAdd(name, new StoredPart(this, uri, type, entry));
            }
            // The base class learns of the parts only through this; the SDK
            // finds none before it.
            GetParts();
        }
        catch (Exception e) when (e is XmlException or InvalidDataException or IOException)
        {
            throw new FileCorruptedException(e);
        }
    }

    private static readonly XmlReaderSettings SafeXml = new()
    {
        DtdProcessing = DtdProcessing.Prohibit,
        XmlResolver = null,
        MaxCharactersInDocument = PackageLimits.MaxPartBytes,
    };

    // Compresses a part written fresh at this level (the largest parts are
    // worth compressing fast).
    public void CompressAt(Uri partUri, CompressionLevel level) => levels[NameOf(partUri)] = level;

    // Replaces a part's bytes outright (the segment is kept, not copied).
    public void SetContent(Uri partUri, ArraySegment<byte> content) =>
        (parts.TryGetValue(NameOf(partUri), out StoredPart? part)
            ? part : throw new InvalidOperationException($"The package has no part {partUri}.")).Written = content;

    // True while a part is the source's entry, unwritten.
    public bool IsAsRead(Uri partUri) =>
        parts.TryGetValue(NameOf(partUri), out StoredPart? part) && part.Entry is not null && part.Written is null;

    // Drops whatever was written to a part of the source, which then keeps
    // its entry as stored.
    public void KeepAsRead(Uri partUri)
    {
        if (parts.TryGetValue(NameOf(partUri), out StoredPart? part) && part.Entry is not null)
            part.Written = null;
    }

    // The package as a zip: the source's entries in their order, those
    // written or deleted replaced or left out, new parts last.
    public byte[] ToBytes()
    {
        if (!closed)
            Flush();
        var output = new MemoryStream(source.Length + 4096);
        output.Write(source);
        using (var zip = new ZipArchive(output, ZipArchiveMode.Update, leaveOpen: true))
        {
            var byName = new Dictionary<string, ZipArchiveEntry>(StringComparer.OrdinalIgnoreCase);
            foreach (ZipArchiveEntry entry in zip.Entries)
                byName.TryAdd(entry.FullName, entry);
            foreach (string deleted in deletedEntries)
            {
                if (byName.Remove(deleted, out ZipArchiveEntry? entry))
                    entry.Delete();
            }
            foreach (StoredPart part in parts.Values)
            {
                if (part.Written is not { } content)
                    continue;
                string entryName = part.Entry?.FullName ?? EntryNameOf(part.Uri);
                if (part.Entry is not null && byName.Remove(part.Entry.FullName, out ZipArchiveEntry? old))
                    old.Delete();
                Store(zip, entryName, content,
                    levels.TryGetValue(NameOf(part.Uri), out CompressionLevel level) ? level : CompressionLevel.Optimal);
            }
            if (typesChanged)
            {
                if (byName.Remove(ContentTypesEntry, out ZipArchiveEntry? old))
                    old.Delete();
                Store(zip, ContentTypesEntry, ContentTypesXml(), CompressionLevel.Optimal);
            }
        }
        return output.ToArray();
    }

    private static void Store(ZipArchive zip, string name, ArraySegment<byte> content, CompressionLevel level)
    {
        using Stream target = zip.CreateEntry(name, level).Open();
        target.Write(content);
    }

    // The content types as read, with the overrides of parts deleted taken
    // out and those of parts added (whose type their extension's default
    // does not give) put in.
    private byte[] ContentTypesXml()
    {
        var document = new XDocument(contentTypes);
        XElement root = document.Root!;
        foreach (XElement entry in root.Elements(TypesNamespace + "Override").ToList())
        {
            string name = Uri.UnescapeDataString((string?)entry.Attribute("PartName") ?? "");
            if (!parts.TryGetValue(name, out StoredPart? part) || part.Entry is null)
                entry.Remove();
        }
        foreach (StoredPart part in parts.Values)
        {
            if (part.Entry is null && DefaultTypeOf(NameOf(part.Uri)) != part.ContentType)
                root.Add(new XElement(TypesNamespace + "Override", new XAttribute("PartName", part.Uri.OriginalString),
                    new XAttribute("ContentType", part.ContentType)));
        }
        var bytes = new MemoryStream();
        using (var writer = XmlWriter.Create(bytes, new XmlWriterSettings { Encoding = new UTF8Encoding(false) }))
            document.Save(writer);
        return bytes.ToArray();
    }

    private string? DefaultTypeOf(string name)
    {
        int dot = name.LastIndexOf('.');
        return dot >= 0 && dot > name.LastIndexOf('/') && defaults.TryGetValue(name[(dot + 1)..], out string? type) ? type : null;
    }

    private static string NameOf(Uri partUri) => Uri.UnescapeDataString(partUri.OriginalString);

    private static string EntryNameOf(Uri partUri) => NameOf(partUri).TrimStart('/');

    private static Uri? PartUriOf(string entryName)
    {
        try
        {
            return PackUriHelper.CreatePartUri(new Uri(entryName, UriKind.Relative));
        }
        catch (ArgumentException)
        {
            return null;
        }
    }

    protected override PackagePart CreatePartCore(Uri partUri, string contentType, CompressionOption compressionOption)
    {
        var part = new StoredPart(this, partUri, contentType, null) { Written = ArraySegment<byte>.Empty };
        parts[NameOf(partUri)] = part;
        typesChanged = true;
        return part;
    }

    protected override void DeletePartCore(Uri partUri)
    {
        if (parts.Remove(NameOf(partUri), out StoredPart? part))
        {
            if (part.Entry is not null)
                deletedEntries.Add(part.Entry.FullName);
            typesChanged = true;
        }
    }

    protected override void FlushCore()
    {
    }

    protected override PackagePart? GetPartCore(Uri partUri) =>
        parts.TryGetValue(NameOf(partUri), out StoredPart? part) ? part : null;

    protected override PackagePart[] GetPartsCore() => parts.Values.ToArray<PackagePart>();

    protected override void Dispose(bool disposing)
    {
        base.Dispose(disposing);
        closed = true;
    }

    // A part: its source entry (none for a part made here) and, once
    // written, its new bytes.
    private sealed class StoredPart : PackagePart
    {
        public StoredPart(StoredPackage package, Uri uri, string contentType, ZipArchiveEntry? entry)
            : base(package, uri, contentType, CompressionOption.Normal) => Entry = entry;

        public ZipArchiveEntry? Entry { get; }

        public ArraySegment<byte>? Written { get; set; }

        protected override Stream GetStreamCore(FileMode mode, FileAccess access)
        {
            ArraySegment<byte> current = mode is FileMode.Create or FileMode.Truncate || (Written is null && Entry is null)
                ? ArraySegment<byte>.Empty : Written ?? PackageLimits.Inflate(Entry!);
            if (access == FileAccess.Read)
                return new MemoryStream(current.Array ?? Array.Empty<byte>(), current.Offset, current.Count, writable: false);
            var stream = new PartStream(this);
            stream.Write(current);
            stream.Position = mode == FileMode.Append ? stream.Length : 0;
            stream.Changed = mode is FileMode.Create or FileMode.Truncate;
            return stream;
        }
    }

    // A part opened for writing: its bytes become the part's when it is
    // closed, if anything was written to it.
    private sealed class PartStream : MemoryStream
    {
        private readonly StoredPart part;

        public PartStream(StoredPart part) => this.part = part;

        public bool Changed { get; set; }

        public override void Write(byte[] buffer, int offset, int count)
        {
            Changed = true;
            base.Write(buffer, offset, count);
        }

        public override void Write(ReadOnlySpan<byte> buffer)
        {
            Changed = true;
            base.Write(buffer);
        }

        public override void WriteByte(byte value)
        {
            Changed = true;
            base.WriteByte(value);
        }

        public override void SetLength(long value)
        {
            Changed |= value != Length;
            base.SetLength(value);
        }

        protected override void Dispose(bool disposing)
        {
            // Closing twice hands the bytes over once.
            if (disposing && Changed)
            {
                part.Written = new ArraySegment<byte>(GetBuffer(), 0, (int)Length);
                Changed = false;
            }
            base.Dispose(disposing);
        }
    }
}
