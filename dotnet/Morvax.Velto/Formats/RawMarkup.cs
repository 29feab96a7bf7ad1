// RawMarkup: an element of the main part kept as the markup it was read as (a
// slice of the part's UTF-8 bytes, or of a text made here) instead of as an
// SDK element, so that holding a loaded document costs little and writing an
// unchanged element back copies its markup, every attribute, namespace and
// unknown child included.  The SDK element is made from the markup only when
// code asks for it (a changed paragraph, markup the tree keeps whole), inside
// a parent of the element's own kind that declares the namespaces in scope
// where it stood; from then on that element is what is written, so a change
// made through it counts.
using System;
using System.Collections.Generic;
using System.Text;
using System.Xml;
using DocumentFormat.OpenXml;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal sealed class RawMarkup : IDeferredMarkup
{
    // The text sliced, or the part's UTF-8 bytes: start and length count
    // chars or bytes accordingly.
    private readonly string? text;
    private readonly byte[]? bytes;
    private readonly int start;
    private readonly int length;
    private readonly NamespaceScope scope;
    private readonly MarkupParent parent;
    private OpenXmlElement? element;

    // parent: the kind of element that holds this one (a body, a paragraph,
    // a row...), so that the element gets the class it has in that place.
    public RawMarkup(string text, int start, int length, NamespaceScope scope, MarkupParent parent)
    {
        this.text = text;
        this.start = start;
        this.length = length;
        this.scope = scope;
        this.parent = parent;
    }

    // A slice of a part's UTF-8 bytes.
    public RawMarkup(byte[] part, int start, int length, NamespaceScope scope, MarkupParent parent)
    {
        bytes = part;
        this.start = start;
        this.length = length;
        this.scope = scope;
        this.parent = parent;
    }

    // The same slice for another node, with that node's own element when
    // one was made from this markup (null: none made yet).
    public RawMarkup CopyWith(OpenXmlElement? made)
    {
        RawMarkup copy = text is not null ? new(text, start, length, scope, parent) : new(bytes!, start, length, scope, parent);
        copy.element = made;
        return copy;
    }

    public string Text => text?.Substring(start, length) ?? Encoding.UTF8.GetString(bytes!, start, length);

    // Where the slice starts and ends in the part (or text) it is cut from.
    public int Start => start;

    public int End => start + length;

    // True when the markup is a slice of that part (its text or its bytes):
    // only there do the namespace declarations it relies on stand around it.
    public bool IsPartOf(object? part) => part is not null && (ReferenceEquals(text, part) || ReferenceEquals(bytes, part));

    // True when the part this markup is cut from holds only white space
    // from one offset to the other (offsets in the slice's own units).
    public bool IsSpaceBetween(int from, int to)
    {
        if (from > to)
            return false;
        return text is not null ? text.AsSpan(from, to - from).IndexOfAnyExcept(" \t\r\n") < 0
            : bytes!.AsSpan(from, to - from).IndexOfAnyExcept(XmlSpaceBytes) < 0;
    }

    private static ReadOnlySpan<byte> XmlSpaceBytes => " \t\r\n"u8;

    public OpenXmlElement Element => element ??= Materialise();

    object IDeferredMarkup.Element => Element;

    // True when the markup names no relationship (no prefix bound to the
    // relationships namespace, no declaration of it), so it fits any part.
    public bool NamesNoRelationship
    {
        get
        {
            if (text is not null)
            {
                ReadOnlySpan<char> markup = text.AsSpan(start, length);
                if (markup.IndexOf(WordMl.R.AsSpan()) >= 0)
                    return false;
                foreach (string prefix in scope.RelationshipPrefixes)
                {
                    if (markup.IndexOf(prefix.AsSpan()) >= 0)
                        return false;
                }
                return true;
            }
            ReadOnlySpan<byte> utf8 = bytes.AsSpan(start, length);
            if (utf8.IndexOf(RelationshipsUtf8) >= 0)
                return false;
            foreach (byte[] prefix in scope.RelationshipPrefixesUtf8)
            {
                if (utf8.IndexOf(prefix) >= 0)
                    return false;
            }
            return true;
        }
    }

    private static readonly byte[] RelationshipsUtf8 = Encoding.UTF8.GetBytes(WordMl.R);

    // The element, parsed afresh without keeping it: looking into markup
    // leaves it to be written as read.
    public OpenXmlElement Parse() => element is null ? Materialise() : element;

    // Cheap tests of the markup's text before parsing it: false when the
    // text surely lacks the word, or an element of that local name (markup
    // cut from text rather than bytes is not tested for elements).
    public bool MayHold(string word) => text is not null
        ? text.AsSpan(start, length).IndexOf(word.AsSpan(), StringComparison.Ordinal) >= 0
        : bytes.AsSpan(start, length).IndexOf(Ascii(word, stackalloc byte[MaxTestedName])) >= 0;

    public bool MayHoldTag(string localName)
    {
        if (bytes is null)
            return true;
        return TagNameEnd(bytes.AsSpan(start, length), Ascii(localName, stackalloc byte[MaxTestedName]), 0) >= 0;
    }

    /// <summary>
    /// Where the first tag name at or after <paramref name="from"/> of the local name (with any
    /// prefix) ends in the markup's bytes, or -1: a cheap test, which does not tell start tags
    /// from end tags nor markup from text that looks like it.
    /// </summary>
    public static int TagNameEnd(ReadOnlySpan<byte> markup, ReadOnlySpan<byte> localName, int from)
    {
        for (int at = from + markup[from..].IndexOf(localName); at >= from;)
        {
            int end = at + localName.Length;
            if (at > 0 && markup[at - 1] is (byte)':' or (byte)'<' && end < markup.Length
                && markup[end] is (byte)' ' or (byte)'/' or (byte)'>' or (byte)'\t' or (byte)'\r' or (byte)'\n')
                return end;
            int next = markup[end..].IndexOf(localName);
            at = next < 0 ? -1 : end + next;
        }
        return -1;
    }

    // The words and names tested are the format's own short ones: their bytes
    // go on the stack rather than into an array per test (the revision
    // listing tests every node's markup).
    private const int MaxTestedName = 32;

    private static ReadOnlySpan<byte> Ascii(string word, Span<byte> buffer) =>
        word.Length <= buffer.Length ? buffer[..Encoding.ASCII.GetBytes(word, buffer)] : Encoding.ASCII.GetBytes(word);

    private OpenXmlElement Materialise()
    {
        string decoded = this.text ?? Text;
        (string text, int start, int length) = this.text is null ? (decoded, 0, decoded.Length) : (decoded, this.start, this.length);
        string prefix = scope.FreePrefix();
        (string wrapperName, Func<string, OpenXmlCompositeElement> make) = Parents[(int)parent];
        var wrapper = new StringBuilder(length + 256);
        wrapper.Append('<').Append(prefix).Append(':').Append(wrapperName).Append(" xmlns:").Append(prefix).Append("=\"")
            .Append(WordMl.W).Append('"');
        scope.AppendDeclarationsUsedBy(wrapper, text, start, length);
        wrapper.Append('>')
            .Append(text, start, length)
            .Append("</").Append(prefix).Append(':').Append(wrapperName).Append('>');
        OpenXmlCompositeElement holder = make(wrapper.ToString());
        OpenXmlElement made = holder.FirstChild
            ?? throw new InvalidOperationException("Kept markup holds no element.");
        made.Remove();
        return made;
    }

    // Each parent kind's local name and SDK class (which checks the name).
    private static readonly (string Name, Func<string, OpenXmlCompositeElement> Make)[] Parents =
    {
        ("body", xml => new W.Body(xml)),
        ("p", xml => new W.Paragraph(xml)),
        ("tbl", xml => new W.Table(xml)),
        ("tr", xml => new W.TableRow(xml)),
        ("tc", xml => new W.TableCell(xml)),
    };

    // The SDK element an origin or kept node stands for, made on demand.
    public static OpenXmlElement? ElementOf(object? origin) =>
        origin is IDeferredMarkup deferred ? deferred.Element as OpenXmlElement : origin as OpenXmlElement;

    // Writes the markup as read, or the SDK element once one was made.
    public static void Write(XmlWriter writer, object markup)
    {
        if (markup is RawMarkup { element: null } raw)
            raw.WriteRaw(writer);
        else
            ElementOf(markup)!.WriteTo(writer);
    }

    // As Write, but markup cut from a part's bytes goes straight into the
    // stream the writer writes UTF-8 to (utf8Target), as those bytes: the
    // writer closes the start tag it has open and hands over what it holds
    // first.  The bytes are valid UTF-8 of characters the reader accepted,
    // what the writer would have made of them.
    public static void Write(XmlWriter writer, object markup, System.IO.Stream? utf8Target)
    {
        if (utf8Target is not null && markup is RawMarkup { element: null, bytes: { } part } raw)
        {
            writer.WriteRaw(string.Empty);
            writer.Flush();
            utf8Target.Write(part, raw.start, raw.length);
            return;
        }
        Write(writer, markup);
    }

    // Through one buffer rather than a string per slice (a long paragraph
    // written where its bytes cannot go straight into the part).
    private void WriteRaw(XmlWriter writer)
    {
        char[] buffer = System.Buffers.ArrayPool<char>.Shared.Rent(System.Math.Min(length, ChunkLength));
        try
        {
            if (text is null)
            {
                WriteRawBytes(writer, buffer);
                return;
            }
            for (int done = 0; done < length; )
            {
                int count = System.Math.Min(buffer.Length, length - done);
                // A chunk does not end between the halves of a surrogate pair.
                if (done + count < length && char.IsHighSurrogate(text[start + done + count - 1]))
                    count--;
                text.CopyTo(start + done, buffer, 0, count);
                writer.WriteRaw(buffer, 0, count);
                done += count;
            }
        }
        finally
        {
            System.Buffers.ArrayPool<char>.Shared.Return(buffer);
        }
    }

    // A UTF-8 chunk decodes to at most as many chars as it has bytes; it
    // ends before a continuation byte, so no character is cut.
    private void WriteRawBytes(XmlWriter writer, char[] buffer)
    {
        for (int done = 0; done < length; )
        {
            int count = System.Math.Min(buffer.Length, length - done);
            while (done + count < length && count > 1 && (bytes![start + done + count] & 0xC0) == 0x80)
                count--;
            int chars = Encoding.UTF8.GetChars(bytes.AsSpan(start + done, count), buffer);
            writer.WriteRaw(buffer, 0, chars);
            done += count;
        }
    }

    private const int ChunkLength = 1 << 16;

    // True when the markup was never turned into an SDK element, so what it
    // holds is what the reader saw of it.
    public static bool IsUntouched(object? markup) => markup is RawMarkup { element: null };
}

internal enum MarkupParent
{
    Body,
    Paragraph,
    Table,
    Row,
    Cell,
}

// The namespace declarations in scope at a place in a part, as attribute
// text (' xmlns:w="..."'), shared by every element read there.
internal sealed class NamespaceScope
{
    private readonly List<(string Prefix, string Declaration)> declarations = new();
    private readonly HashSet<string> prefixes = new(StringComparer.Ordinal);

    public NamespaceScope(IDictionary<string, string> inScope)
    {
        foreach ((string prefix, string uri) in inScope)
        {
            if (prefix == "xml")
                continue;
            prefixes.Add(prefix);
            declarations.Add((prefix, (prefix.Length == 0 ? " xmlns" : " xmlns:" + prefix) + "=\"" + Escape(uri) + "\""));
            if (uri == WordMl.R)
            {
                RelationshipPrefixes.Add(prefix + ":");
                RelationshipPrefixesUtf8.Add(Encoding.UTF8.GetBytes(prefix + ":"));
            }
        }
    }

    // The prefixes (with their colon) bound to the relationships namespace:
    // markup naming none of them names no relationship.
    public List<string> RelationshipPrefixes { get; } = new();

    public List<byte[]> RelationshipPrefixesUtf8 { get; } = new();

    // Declares only the prefixes the markup names (the parser's cost grows
    // with every declaration); the default namespace is always declared.
    public void AppendDeclarationsUsedBy(StringBuilder target, string text, int start, int length)
    {
        ReadOnlySpan<char> markup = text.AsSpan(start, length);
        // Markup-compatibility attributes name prefixes in their values.
        bool all = false;
        foreach (string name in PrefixListingNames)
            all |= markup.IndexOf(name.AsSpan()) >= 0;
        foreach ((string prefix, string declaration) in declarations)
        {
            if (all || prefix.Length == 0 || Names(markup, prefix))
                target.Append(declaration);
        }
    }

    private static readonly string[] PrefixListingNames =
        { WordMl.MarkupCompatibility, "Ignorable", "ProcessContent", "MustUnderstand", "Preserve", "Requires", "AlternateContent" };

    private static bool Names(ReadOnlySpan<char> markup, string prefix)
    {
        for (int at = markup.IndexOf(prefix.AsSpan()); at >= 0; )
        {
            int end = at + prefix.Length;
            bool starts = at == 0 || !XmlConvert.IsNCNameChar(markup[at - 1]);
            if (starts && end < markup.Length && markup[end] == ':')
                return true;
            int next = markup[end..].IndexOf(prefix.AsSpan());
            at = next < 0 ? -1 : end + next;
        }
        return false;
    }

    // A prefix the scope does not bind, for the wrapper around markup.
    public string FreePrefix()
    {
        string prefix = "mvw";
        for (int n = 0; prefixes.Contains(prefix); n++)
            prefix = "mvw" + n.ToString(System.Globalization.CultureInfo.InvariantCulture);
        return prefix;
    }

    private static string Escape(string value) =>
        value.Replace("&", "&amp;").Replace("\"", "&quot;").Replace("<", "&lt;");
}
