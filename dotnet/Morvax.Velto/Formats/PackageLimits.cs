// PackageLimits: the bounds a package must keep before any of it is parsed,
// so that hostile input fails fast as a FileCorruptedException instead of
// exhausting memory, time or the stack: how much is read from a file or
// stream, how many parts a package has and how far each inflates, and how
// deeply any XML part nests (the SDK builds its element tree recursively, so
// unbounded nesting would overflow the stack; the check here walks each part
// once with a streaming reader, in linear time).
using System;
using System.IO;
using System.IO.Compression;
using System.Xml;

namespace Morvax.Velto.Formats;

internal static class PackageLimits
{
    internal const long MaxInputBytes = 512L * 1024 * 1024;
    internal const long MaxPartBytes = 256L * 1024 * 1024;
    internal const long MaxTotalBytes = 1024L * 1024 * 1024;
    internal const int MaxParts = 10_000;
    internal const int MaxXmlDepth = 512;

    private static readonly XmlReaderSettings ScanSettings = new()
    {
        DtdProcessing = DtdProcessing.Prohibit,
        XmlResolver = null,
        IgnoreComments = true,
        IgnoreProcessingInstructions = true,
        IgnoreWhitespace = true,
        CloseInput = true,
        MaxCharactersInDocument = MaxPartBytes,
    };

    // Reads a whole input, failing once it passes the cap: a device that
    // never ends (or a file that grows while read) cannot fill memory.
    public static byte[] ReadBounded(Stream input)
    {
        // A file (or any stream that knows its length) is read into one
        // array of that length; more than it said goes on below.
        if (input.CanSeek && input.Length - input.Position is var known and > 0 and <= MaxInputBytes)
        {
            byte[] whole = new byte[known];
            int filled = 0, got;
            while (filled < whole.Length && (got = input.Read(whole, filled, whole.Length - filled)) > 0)
                filled += got;
            if (filled < whole.Length)
                return whole[..filled];
            int more = input.ReadByte();
            if (more < 0)
                return whole;
            if (whole.Length + 1L > MaxInputBytes)
                throw InputTooLarge();
            var grown = new MemoryStream();
            grown.Write(whole);
            grown.WriteByte((byte)more);
            return ReadRest(input, grown);
        }
        return ReadRest(input, new MemoryStream());
    }

    private static byte[] ReadRest(Stream input, MemoryStream buffer)
    {
        byte[] chunk = new byte[81920];
        int read;
        while ((read = input.Read(chunk, 0, chunk.Length)) > 0)
        {
            if (buffer.Length + read > MaxInputBytes)
                throw InputTooLarge();
            buffer.Write(chunk, 0, read);
        }
        return buffer.ToArray();
    }

    private static FileCorruptedException InputTooLarge() =>
        new(new InvalidDataException($"The input is larger than {MaxInputBytes / (1024 * 1024)} MB."));

    // Checks a zip package: part count, inflated sizes (as declared and as
    // actually inflated) and the nesting depth of every part that holds XML.
    // The main part (the package's office document) is returned inflated,
    // with its name, instead of scanned: its reader bounds its depth as it
    // reads, so the largest part is inflated once and parsed once.
    public static (string Name, byte[] Content)? CheckPackage(byte[] data)
    {
        try
        {
            using var zip = new ZipArchive(new MemoryStream(data, writable: false), ZipArchiveMode.Read);
            if (zip.Entries.Count > MaxParts)
                throw new InvalidDataException($"The package has more than {MaxParts} parts.");
            string? mainName = MainPartName(zip);
            (string, byte[])? main = null;
            long total = 0;
            foreach (ZipArchiveEntry entry in zip.Entries)
            {
                if (entry.Length > MaxPartBytes)
                    throw new InvalidDataException($"The part {entry.FullName} is too large.");
                total += entry.Length;
                if (total > MaxTotalBytes)
                    throw new InvalidDataException("The package inflates to more than the limit.");
                using var stream = new CappedStream(entry.Open(), MaxPartBytes);
                if (main is null && string.Equals(entry.FullName, mainName, StringComparison.OrdinalIgnoreCase))
                {
                    main = (entry.FullName, Inflate(stream, entry.Length));
                }
                else
                    CheckXmlDepth(stream, entry.FullName);
            }
            return main;
        }
        catch (Exception e) when (e is InvalidDataException or IOException or NotSupportedException)
        {
            throw new FileCorruptedException(e);
        }
    }

    // An entry's bytes, inflated as far as the cap allows.
    public static byte[] Inflate(ZipArchiveEntry entry)
    {
        try
        {
            using var stream = new CappedStream(entry.Open(), MaxPartBytes);
            return Inflate(stream, entry.Length);
        }
        catch (Exception e) when (e is InvalidDataException or IOException)
        {
            throw new FileCorruptedException(e);
        }
    }

    // A part's bytes in one array of the size the archive declares, when
    // it tells the truth; a declared size is believed only up to 16 MB
    // before anything is read (the cap bounds what is read either way).
    private static byte[] Inflate(Stream part, long declared)
    {
        byte[] content = new byte[System.Math.Min(declared, 16 << 20)];
        int filled = 0, read;
        while (filled < content.Length && (read = part.Read(content, filled, content.Length - filled)) > 0)
            filled += read;
        int next = filled < content.Length ? -1 : part.ReadByte();
        if (filled == content.Length && next < 0)
            return content;
        var whole = new MemoryStream();
        whole.Write(content, 0, filled);
        if (next >= 0)
        {
            whole.WriteByte((byte)next);
            part.CopyTo(whole);
        }
        return whole.ToArray();
    }

    // The entry the package's office-document relationship names; null when
    // the relationships cannot tell (then every part is scanned).
    private static string? MainPartName(ZipArchive zip)
    {
        if (zip.GetEntry("_rels/.rels") is not { } rels || rels.Length > MaxPartBytes)
            return null;
        try
        {
            using XmlReader reader = XmlReader.Create(new CappedStream(rels.Open(), MaxPartBytes), ScanSettings);
            while (reader.Read())
            {
                if (reader.NodeType == XmlNodeType.Element && reader.Depth <= 1 && reader.LocalName == "Relationship"
                    && reader.GetAttribute("Type")?.EndsWith("/officeDocument", StringComparison.Ordinal) == true
                    && reader.GetAttribute("TargetMode") is null or "Internal")
                    return reader.GetAttribute("Target") is { } target ? Uri.UnescapeDataString(target).TrimStart('/') : null;
            }
        }
        catch (XmlException)
        {
        }
        return null;
    }

    // Checks the nesting depth of a part read apart from CheckPackage.
    public static void CheckXmlDepth(byte[] part, string name)
    {
        try
        {
            using var stream = new CappedStream(new MemoryStream(part, writable: false), MaxPartBytes);
            CheckXmlDepth(stream, name);
        }
        catch (Exception e) when (e is InvalidDataException or IOException)
        {
            throw new FileCorruptedException(e);
        }
    }

    // Parts that are not XML (images, macro projects) are passed over after
    // their first bytes.  A part that is XML but malformed is left to the
    // SDK, which reports it when (and only when) the part is needed.
    private static void CheckXmlDepth(CappedStream part, string name)
    {
        int first;
        do
            first = part.Peek();
        while (first is ' ' or '\t' or '\r' or '\n' && part.Skip());
        // '<', or the first byte of a UTF-8 or UTF-16 byte order mark.
        if (first is not ('<' or 0xEF or 0xFF or 0xFE))
            return;
        try
        {
            using XmlReader reader = XmlReader.Create(part, ScanSettings);
            while (reader.Read())
            {
                if (reader.Depth > MaxXmlDepth)
                    throw new InvalidDataException($"The part {name} nests deeper than {MaxXmlDepth} levels.");
            }
        }
        catch (XmlException)
        {
        }
    }

    // Fails a read that goes past the cap, whatever size the archive claims;
    // one byte can be looked at before it is read.
    private sealed class CappedStream : Stream
    {
        private readonly Stream inner;
        private long remaining;
        private int peeked = -1;

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

        // The next byte without consuming it; -1 at the end.
        public int Peek()
        {
            if (peeked < 0)
            {
                byte[] one = new byte[1];
                peeked = Read(one, 0, 1) == 1 ? one[0] : -1;
            }
            return peeked;
        }

        // Consumes the peeked byte; false at the end.
        public bool Skip()
        {
            bool had = peeked >= 0;
            peeked = -1;
            return had;
        }

        public override int Read(byte[] buffer, int offset, int count)
        {
            if (count > 0 && peeked >= 0)
            {
                buffer[offset] = (byte)peeked;
                peeked = -1;
                return 1;
            }
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
