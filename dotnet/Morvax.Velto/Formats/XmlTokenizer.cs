// XmlTokenizer: a pull reader over an XML part's UTF-8 bytes, for the main
// part's body, which is most of a document's markup.  It reads what the
// framework's reader reads with DTDs prohibited and comments and processing
// instructions skipped (elements, attributes, text, CDATA, entity and
// character references, namespaces resolved to URIs) and refuses what that
// reader refuses, with an XmlException, but it works on the bytes where they
// lie: every token's byte offsets are known (markup is cut from the part by
// them), names and namespace URIs come from a table of strings made once,
// and text is decoded only when asked for.  The bytes must be valid UTF-8
// (the caller has re-encoded anything else).
using System;
using System.Buffers;
using System.Collections.Generic;
using System.Linq;
using System.Text;
using System.Xml;

namespace Morvax.Velto.Formats;

internal enum XmlToken : byte
{
    None,
    Element,
    EndElement,
    Text,
}

internal sealed class XmlTokenizer
{
    public const string XmlNamespace = "http://www.w3.org/XML/1998/namespace";
    public const string XmlnsNamespace = "http://www.w3.org/2000/xmlns/";

    private readonly byte[] data;
    private int position;
    private bool rootSeen, rootClosed;

    public XmlTokenizer(byte[] utf8, int start)
    {
        data = utf8;
        position = start;
        ReadDeclaration();
        scopes.Push("xml", XmlNamespace);
        scopes.Push("xmlns", XmlnsNamespace);
    }

    public XmlToken Kind { get; private set; }

    // As the framework's reader counts: the root element is at depth 0, its
    // content (and its end tag's children's) one deeper.
    public int Depth { get; private set; }

    public bool IsEmptyElement { get; private set; }

    // The token's bytes: from its '<' (or its text's first byte) to just
    // past its '>' (or its text's end).
    public int TokenStart { get; private set; }

    public int TokenEnd { get; private set; }

    // An element's or end tag's names.
    public string Name => name.Qualified;

    public string LocalName => name.Local;

    public string NamespaceUri { get; private set; } = string.Empty;

    // The current element declares namespaces of its own.
    public bool DeclaresNamespaces { get; private set; }

    // --- Reading -------------------------------------------------------

    // Moves to the next token; false at the end of the part.  Past the
    // root element only comments, processing instructions and white space
    // may follow.
    public bool Read()
    {
        if (Kind == XmlToken.Element ? IsEmptyElement : Kind == XmlToken.EndElement)
            CloseElement();
        while (true)
        {
            if (position >= data.Length)
            {
                if (open.Count > 0)
                    throw Error(position, $"Unexpected end of file: the element '{open.Top.QName.Qualified}' is not closed.");
                if (!rootSeen)
                    throw Error(position, "Root element is missing.");
                Kind = XmlToken.None;
                return false;
            }
            if (data[position] != '<')
            {
                if (ReadText())
                    return true;
                continue;
            }
            if (position + 1 >= data.Length)
                throw Error(position, "Unexpected end of file.");
            switch (data[position + 1])
            {
                case (byte)'/':
                    ReadEndTag();
                    return true;
                case (byte)'?':
                    SkipProcessingInstruction();
                    continue;
                case (byte)'!':
                    if (ReadMarkupDeclaration())
                        return true;
                    continue;
                default:
                    ReadStartTag();
                    return true;
            }
        }
    }

    // Moves to the root element, over the prolog.
    public void MoveToContent()
    {
        while (Read() && Kind != XmlToken.Element)
        {
        }
    }

    private void CloseElement()
    {
        OpenElement closed = open.Pop();
        if (closed.ScopeMark != scopes.Count)
            scopes.PopTo(closed.ScopeMark);
        if (open.Count == 0)
            rootClosed = true;
    }

    // --- Elements ------------------------------------------------------

    private void ReadStartTag()
    {
        int start = position;
        if (rootClosed)
            throw Error(start, "There are multiple root elements.");
        int at = start + 1;
        QName element = ScanName(ref at);
        attributeCount = 0;
        int scopeMark = scopes.Count;
        bool empty = false;
        while (true)
        {
            int spaceFrom = at;
            at = SkipSpace(at);
            if (at >= data.Length)
                throw Error(at, "Unexpected end of file in a start tag.");
            byte next = data[at];
            if (next == '>')
            {
                at++;
                break;
            }
            if (next == '/')
            {
                if (at + 1 >= data.Length || data[at + 1] != '>')
                    throw Error(at, "'/' in a start tag is not followed by '>'.");
                at += 2;
                empty = true;
                break;
            }
            if (at == spaceFrom)
                throw Error(at, "An attribute must be separated from what precedes it by white space.");
            ReadAttribute(ref at);
        }
        rootSeen = true;
        Depth = open.Count;
        DeclaresNamespaces = scopes.Count != scopeMark;
        NamespaceUri = Resolve(element, start);
        ResolveAttributes();
        open.Push(new OpenElement(element, scopeMark));
        name = element;
        Kind = XmlToken.Element;
        IsEmptyElement = empty;
        TokenStart = start;
        TokenEnd = at;
        position = at;
    }

    private void ReadEndTag()
    {
        int start = position;
        if (open.Count == 0)
            throw Error(start, "An end tag has no start tag.");
        OpenElement element = open.Top;
        int at = start + 2;
        int nameLength = element.QName.Bytes.Length;
        if (at + nameLength > data.Length || !data.AsSpan(at, nameLength).SequenceEqual(element.QName.Bytes)
            || at + nameLength < data.Length && IsNameByte(data[at + nameLength]))
            throw Error(start, $"The end tag does not match the start tag '{element.QName.Qualified}'.");
        at = SkipSpace(at + nameLength);
        if (at >= data.Length || data[at] != '>')
            throw Error(at, "An end tag does not end with '>'.");
        Depth = open.Count - 1;
        name = element.QName;
        NamespaceUri = Resolve(element.QName, start);
        Kind = XmlToken.EndElement;
        IsEmptyElement = false;
        TokenStart = start;
        TokenEnd = at + 1;
        position = at + 1;
    }

    // --- Names ---------------------------------------------------------

    // Name bytes: ASCII letters, digits, '.', '-', '_', ':' and every byte of
    // a character beyond ASCII (checked apart, rarely met).
    private static readonly SearchValues<byte> NameBytes = SearchValues.Create(
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-_:"u8.ToArray().Concat(Range(0x80, 0x100)).ToArray());

    private static IEnumerable<byte> Range(int from, int to)
    {
        for (int b = from; b < to; b++)
            yield return (byte)b;
    }

    private static bool IsNameByte(byte b) => NameBytes.Contains(b);

    private QName ScanName(ref int at)
    {
        int start = at;
        int length = data.AsSpan(start).IndexOfAnyExcept(NameBytes);
        if (length < 0)
            length = data.Length - start;
        if (length == 0)
            throw Error(start, start < data.Length ? $"'{Describe(start)}' cannot start a name." : "Unexpected end of file.");
        at = start + length;
        return NameOf(data.AsSpan(start, length), start);
    }

    // A string made once for the bytes it was read from, found again by
    // them: names, and short values.
    private class Interned
    {
        public readonly byte[] Bytes;
        public readonly int Hash;
        public readonly string Text;
        public Interned? Next;

        public Interned(ReadOnlySpan<byte> bytes, int hash)
        {
            Bytes = bytes.ToArray();
            Hash = hash;
            Text = Encoding.UTF8.GetString(bytes);
        }
    }

    // A name's parts, checked as the framework's reader checks names in a
    // namespace-aware document.
    private sealed class QName : Interned
    {
        public readonly string Prefix, Local;
        // xmlns or xmlns:prefix: a namespace declaration.
        public readonly bool Declares;
        // The URI the prefix resolved to, while the scopes are unchanged.
        public string? Uri;
        public int UriVersion = -1;

        public QName(ReadOnlySpan<byte> bytes, int hash, XmlTokenizer reader, int offset) : base(bytes, hash)
        {
            int colon = Text.IndexOf(':');
            (Prefix, Local) = colon < 0 ? (string.Empty, Text) : (Text[..colon], Text[(colon + 1)..]);
            if (colon == 0 || Local.Contains(':') || Prefix.Length > 0 && !IsNcName(Prefix) || !IsNcName(Local))
                throw reader.Error(offset, $"'{Text}' is not a valid name.");
            Declares = Prefix == "xmlns" || Text == "xmlns";
        }

        public string Qualified => Text;

        private static bool IsNcName(string part)
        {
            if (part.Length == 0 || !IsStart(part, 0))
                return false;
            for (int i = 0; i < part.Length; i++)
            {
                if (char.IsSurrogatePair(part, i))
                {
                    i++;
                    continue;
                }
                if (!XmlConvert.IsNCNameChar(part[i]))
                    return false;
            }
            return true;
        }

        // Characters beyond the BMP are name characters (XML 1.0 fifth
        // edition), up to U+EFFFF.
        private static bool IsStart(string part, int i) => char.IsSurrogatePair(part, i)
            ? char.ConvertToUtf32(part[i], part[i + 1]) < 0xF0000
            : XmlConvert.IsStartNCNameChar(part[i]);
    }

    private sealed class InternTable
    {
        private Interned?[] buckets = new Interned?[64];

        public int Count { get; private set; }

        public Interned? Find(ReadOnlySpan<byte> bytes, int hash)
        {
            for (Interned? entry = buckets[hash & (buckets.Length - 1)]; entry is not null; entry = entry.Next)
            {
                if (entry.Hash == hash && bytes.SequenceEqual(entry.Bytes))
                    return entry;
            }
            return null;
        }

        public void Add(Interned made)
        {
            if (++Count > buckets.Length)
                Grow();
            ref Interned? slot = ref buckets[made.Hash & (buckets.Length - 1)];
            made.Next = slot;
            slot = made;
        }

        private void Grow()
        {
            Interned?[] old = buckets;
            buckets = new Interned?[old.Length * 2];
            foreach (Interned? head in old)
            {
                for (Interned? entry = head; entry is not null;)
                {
                    Interned? next = entry.Next;
                    ref Interned? bucket = ref buckets[entry.Hash & (buckets.Length - 1)];
                    entry.Next = bucket;
                    bucket = entry;
                    entry = next;
                }
            }
        }
    }

    private QName NameOf(ReadOnlySpan<byte> bytes, int offset)
    {
        int hash = HashOf(bytes);
        if (names.Find(bytes, hash) is QName known)
            return known;
        var made = new QName(bytes, hash, this, offset);
        names.Add(made);
        return made;
    }

    // Values are shared up to a count, so that a part of many distinct
    // values cannot grow the table without end.  Attribute values (style
    // names, switches, measures) repeat up to a length; text repeats only
    // when very short (a space between runs), longer text rarely does.
    private const int MaxSharedValues = 4096, MaxSharedValueBytes = 32, MaxSharedTextBytes = 4;

    private string ValueOf(ReadOnlySpan<byte> bytes, bool attribute)
    {
        if (bytes.Length > (attribute ? MaxSharedValueBytes : MaxSharedTextBytes))
            return Encoding.UTF8.GetString(bytes);
        int hash = HashOf(bytes);
        if (values.Find(bytes, hash) is { } known)
            return known.Text;
        if (values.Count >= MaxSharedValues)
            return Encoding.UTF8.GetString(bytes);
        var made = new Interned(bytes, hash);
        values.Add(made);
        return made.Text;
    }

    private static int HashOf(ReadOnlySpan<byte> bytes)
    {
        uint hash = 2166136261;
        foreach (byte b in bytes)
            hash = (hash ^ b) * 16777619;
        return (int)(hash ^ (hash >> 15));
    }

    private readonly InternTable names = new();
    private readonly InternTable values = new();
    private QName name = null!;

    // --- Attributes ----------------------------------------------------

    private struct Attribute
    {
        public QName QName;
        public string Uri;
        public int ValueStart, ValueEnd;
        // The value holds a reference or a character that normalising
        // changes (tab, line break), so it is not its bytes decoded.
        public bool Escaped;
    }

    private Attribute[] attributes = new Attribute[8];
    private int attributeCount;

    private void ReadAttribute(ref int at)
    {
        int nameAt = at;
        QName attributeName = ScanName(ref at);
        at = SkipSpace(at);
        if (at >= data.Length || data[at] != '=')
            throw Error(at, $"The attribute '{attributeName.Qualified}' has no value.");
        at = SkipSpace(at + 1);
        if (at >= data.Length || data[at] is not ((byte)'"' or (byte)'\''))
            throw Error(at, $"The value of the attribute '{attributeName.Qualified}' is not quoted.");
        byte quote = data[at];
        int valueStart = at + 1;
        int close = data.AsSpan(valueStart).IndexOf(quote);
        if (close < 0)
            throw Error(valueStart, "Unexpected end of file in an attribute value.");
        int valueEnd = valueStart + close;
        bool escaped = CheckContent(valueStart, valueEnd, attribute: true);
        at = valueEnd + 1;
        if (attributeCount == attributes.Length)
            Array.Resize(ref attributes, attributes.Length * 2);
        attributes[attributeCount++] = new Attribute
        {
            QName = attributeName, Uri = string.Empty, ValueStart = valueStart, ValueEnd = valueEnd, Escaped = escaped,
        };
        if (attributeName.Declares)
            Declare(attributeName, Decode(valueStart, valueEnd, escaped, attribute: true), nameAt);
    }

    private void Declare(QName declaration, string uri, int offset)
    {
        string prefix = declaration.Prefix.Length == 0 ? string.Empty : declaration.Local;
        if (prefix == "xmlns")
            throw Error(offset, "The prefix 'xmlns' cannot be declared.");
        if (prefix == "xml" ? uri != XmlNamespace : uri == XmlNamespace)
            throw Error(offset, "The prefix 'xml' is bound to the namespace 'http://www.w3.org/XML/1998/namespace' and no other.");
        if (uri == XmlnsNamespace)
            throw Error(offset, $"The namespace '{XmlnsNamespace}' cannot be declared.");
        if (prefix.Length > 0 && uri.Length == 0)
            throw Error(offset, $"The prefix '{prefix}' cannot be bound to the empty namespace.");
        scopes.Push(prefix, uri);
    }

    // Each attribute's namespace, once the element's declarations are in
    // scope; two attributes of one name and namespace are refused, as is
    // xml:space with a value other than its two.
    private void ResolveAttributes()
    {
        for (int i = 0; i < attributeCount; i++)
        {
            ref Attribute attribute = ref attributes[i];
            QName n = attribute.QName;
            attribute.Uri = n.Declares ? XmlnsNamespace
                : n.Prefix.Length == 0 ? string.Empty : Resolve(n, attribute.ValueStart);
            if (n.Local == "space" && attribute.Uri == XmlNamespace
                && GetValue(i).Trim(' ', '\t', '\r', '\n') is not ("default" or "preserve"))
                throw Error(attribute.ValueStart, "xml:space takes the value 'default' or 'preserve'.");
        }
        if (attributeCount > 1)
            CheckUnique();
    }

    private void CheckUnique()
    {
        if (attributeCount <= 16)
        {
            for (int i = 1; i < attributeCount; i++)
            {
                for (int j = 0; j < i; j++)
                {
                    if (SameName(attributes[i], attributes[j]))
                        throw Duplicate(attributes[i]);
                }
            }
            return;
        }
        var seen = new HashSet<(string, string)>();
        for (int i = 0; i < attributeCount; i++)
        {
            if (!seen.Add((attributes[i].Uri, attributes[i].QName.Local)))
                throw Duplicate(attributes[i]);
        }
    }

    private static bool SameName(in Attribute a, in Attribute b) =>
        ReferenceEquals(a.QName, b.QName) || a.QName.Local == b.QName.Local && a.Uri == b.Uri;

    private XmlException Duplicate(in Attribute attribute) =>
        Error(attribute.ValueStart, $"'{attribute.QName.Qualified}' is a duplicate attribute name.");

    // The value of the current element's attribute of that local name and
    // namespace, or null.
    public string? GetAttribute(string localName, string namespaceUri)
    {
        for (int i = 0; i < attributeCount; i++)
        {
            ref Attribute attribute = ref attributes[i];
            if (attribute.QName.Local == localName && attribute.Uri == namespaceUri)
                return GetValue(i);
        }
        return null;
    }

    // The current element's attributes, namespace declarations included.
    public int AttributeCount => Kind == XmlToken.Element ? attributeCount : 0;

    private string GetValue(int index)
    {
        ref Attribute attribute = ref attributes[index];
        return Decode(attribute.ValueStart, attribute.ValueEnd, attribute.Escaped, attribute: true);
    }

    // --- Namespaces ----------------------------------------------------

    // The prefixes in scope, innermost binding first found last; a version
    // that changes with every push and pop lets a name keep its URI.
    private sealed class ScopeStack
    {
        // Each binding with the index of the binding of the same prefix it
        // hides (-1 for none), and each prefix's innermost binding, so that
        // a lookup does not walk the stack (a part may declare thousands).
        private (string Prefix, string Uri, int Hidden)[] bindings = new (string, string, int)[32];
        private readonly Dictionary<string, int> innermost = new(StringComparer.Ordinal);
        public int Count;
        public int Version;

        public void Push(string prefix, string uri)
        {
            if (Count == bindings.Length)
                Array.Resize(ref bindings, bindings.Length * 2);
            bindings[Count] = (prefix, uri, innermost.TryGetValue(prefix, out int hidden) ? hidden : -1);
            innermost[prefix] = Count++;
            Version++;
        }

        public void PopTo(int count)
        {
            while (Count > count)
            {
                (string prefix, _, int hidden) = bindings[--Count];
                if (hidden < 0)
                    innermost.Remove(prefix);
                else
                    innermost[prefix] = hidden;
            }
            Version++;
        }

        public string? Lookup(string prefix) => innermost.TryGetValue(prefix, out int at) ? bindings[at].Uri : null;

        // Each prefix's innermost binding; an undeclared default namespace
        // is left out, as is the xml prefix.
        public Dictionary<string, string> InScope()
        {
            var scope = new Dictionary<string, string>(StringComparer.Ordinal);
            for (int i = 0; i < Count; i++)
                scope[bindings[i].Prefix] = bindings[i].Uri;
            scope.Remove("xml");
            scope.Remove("xmlns");
            if (scope.TryGetValue(string.Empty, out string? defaultUri) && defaultUri.Length == 0)
                scope.Remove(string.Empty);
            return scope;
        }
    }

    private readonly ScopeStack scopes = new();

    public Dictionary<string, string> NamespacesInScope() => scopes.InScope();

    // The URI a name's prefix is bound to here (an element without a prefix
    // is in the default namespace).
    private string Resolve(QName n, int offset)
    {
        if (n.UriVersion == scopes.Version)
            return n.Uri!;
        string uri = scopes.Lookup(n.Prefix)
            ?? (n.Prefix.Length == 0 ? string.Empty : throw Error(offset, $"'{n.Prefix}' is an undeclared prefix."));
        n.Uri = uri;
        n.UriVersion = scopes.Version;
        return uri;
    }

    // --- Open elements -------------------------------------------------

    // ScopeMark: the scope stack's count before the element's declarations.
    private readonly record struct OpenElement(QName QName, int ScopeMark);

    private sealed class ElementStack
    {
        private OpenElement[] items = new OpenElement[64];
        public int Count;

        public void Push(in OpenElement element)
        {
            if (Count == items.Length)
                Array.Resize(ref items, items.Length * 2);
            items[Count++] = element;
        }

        public OpenElement Pop() => items[--Count];

        public ref readonly OpenElement Top => ref items[Count - 1];
    }

    private readonly ElementStack open = new();

    // --- Text ----------------------------------------------------------

    private int textStart, textEnd;
    private bool textEscaped, textIsCData;

    // The current text's value: references replaced, line breaks
    // normalised.  Short values are shared.
    public string Value => textIsCData ? DecodeCData(textStart, textEnd) : Decode(textStart, textEnd, textEscaped, attribute: false);

    // Text up to the next '<'.  Outside the root element only white space
    // may stand (and is passed over: false).
    private bool ReadText()
    {
        int start = position;
        int end = data.AsSpan(start).IndexOf((byte)'<');
        if (end < 0)
            end = data.Length;
        else
            end += start;
        bool escaped = CheckContent(start, end, attribute: false);
        position = end;
        if (open.Count == 0)
        {
            if (data.AsSpan(start, end - start).IndexOfAnyExcept(XmlSpace) >= 0)
                throw Error(start, rootSeen ? "Text follows the root element." : "Text precedes the root element.");
            return false;
        }
        SetText(start, end, escaped, cdata: false);
        return true;
    }

    private void SetText(int start, int end, bool escaped, bool cdata)
    {
        Kind = XmlToken.Text;
        Depth = open.Count;
        IsEmptyElement = false;
        textStart = start;
        textEnd = end;
        textEscaped = escaped;
        textIsCData = cdata;
        TokenStart = start;
        TokenEnd = cdata ? end + 3 : end;
    }

    private static ReadOnlySpan<byte> XmlSpace => " \t\r\n"u8;

    // Bytes that content must be looked at for: markup and references,
    // control characters, and 0xEF, the lead byte of U+FFFE and U+FFFF
    // (not XML characters).
    private static readonly SearchValues<byte> ContentSpecial = SearchValues.Create(
        Range(0, 0x20).Concat(new byte[] { (byte)'<', (byte)'&', (byte)']', 0xEF }).ToArray());

    // Checks text or an attribute value between two offsets; true when
    // decoding it is more than decoding its bytes (a reference, a line break
    // or, in a value, a tab).
    private bool CheckContent(int start, int end, bool attribute)
    {
        bool escaped = false;
        ReadOnlySpan<byte> span = data.AsSpan(start, end - start);
        for (int at = span.IndexOfAny(ContentSpecial); at >= 0;)
        {
            byte b = span[at];
            int next = at + 1;
            switch (b)
            {
                case (byte)'<':
                    throw Error(start + at, "'<' cannot stand in an attribute value.");
                case (byte)'&':
                    next = CheckReference(start + at, end) - start;
                    escaped = true;
                    break;
                case (byte)']':
                    if (!attribute && span[at..].StartsWith("]]>"u8))
                        throw Error(start + at, "']]>' cannot stand in text.");
                    break;
                case 0xEF:
                    if (at + 2 < span.Length && span[at + 1] == 0xBF && span[at + 2] is 0xBE or 0xBF)
                        throw Error(start + at, "The character U+FFFE or U+FFFF is not allowed in XML.");
                    break;
                case (byte)'\r':
                    escaped = true;
                    break;
                case (byte)'\t' or (byte)'\n':
                    escaped |= attribute;
                    break;
                default:
                    throw Error(start + at, $"The character U+{b:X4} is not allowed in XML.");
            }
            int rest = span[next..].IndexOfAny(ContentSpecial);
            at = rest < 0 ? -1 : next + rest;
        }
        return escaped;
    }

    // Checks the reference starting at '&'; returns the offset past its ';'.
    private int CheckReference(int at, int end)
    {
        int semicolon = data.AsSpan(at, end - at).IndexOf((byte)';');
        if (semicolon < 0)
            throw Error(at, "A reference does not end with ';'.");
        ReadOnlySpan<byte> body = data.AsSpan(at + 1, semicolon - 1);
        if (Reference(body) is null)
            throw Error(at, body.Length > 0 && body[0] == '#'
                ? $"'&{Encoding.UTF8.GetString(body)};' is not a reference to a character allowed in XML."
                : $"Reference to undeclared entity '{Encoding.UTF8.GetString(body)}'.");
        return at + semicolon + 1;
    }

    // What a reference's name (between '&' and ';') stands for, or null
    // when it is not one of the five entities or a character allowed in XML.
    private static string? Reference(ReadOnlySpan<byte> body)
    {
        if (body.Length == 0)
            return null;
        if (body[0] != '#')
        {
            return body.SequenceEqual("lt"u8) ? "<" : body.SequenceEqual("gt"u8) ? ">" : body.SequenceEqual("amp"u8) ? "&"
                : body.SequenceEqual("apos"u8) ? "'" : body.SequenceEqual("quot"u8) ? "\"" : null;
        }
        bool hex = body.Length > 1 && body[1] == 'x';
        ReadOnlySpan<byte> digits = body[(hex ? 2 : 1)..];
        if (digits.Length == 0)
            return null;
        int code = 0;
        foreach (byte d in digits)
        {
            int digit = d is >= (byte)'0' and <= (byte)'9' ? d - '0'
                : hex && d is >= (byte)'a' and <= (byte)'f' ? d - 'a' + 10
                : hex && d is >= (byte)'A' and <= (byte)'F' ? d - 'A' + 10 : -1;
            if (digit < 0)
                return null;
            code = code * (hex ? 16 : 10) + digit;
            if (code > 0x10FFFF)
                return null;
        }
        bool allowed = code is 0x9 or 0xA or 0xD or >= 0x20 and <= 0xD7FF or >= 0xE000 and <= 0xFFFD or >= 0x10000;
        return allowed ? char.ConvertFromUtf32(code) : null;
    }

    // Text or a value between two offsets, checked already.
    private string Decode(int start, int end, bool escaped, bool attribute)
    {
        ReadOnlySpan<byte> span = data.AsSpan(start, end - start);
        if (!escaped)
            return ValueOf(span, attribute);
        StringBuilder text = decoded.Clear();
        while (span.Length > 0)
        {
            int special = span.IndexOfAny(attribute ? AttributeEscapes : TextEscapes);
            ReadOnlySpan<byte> plain = special < 0 ? span : span[..special];
            AppendUtf8(text, plain);
            if (special < 0)
                break;
            span = span[special..];
            switch (span[0])
            {
                case (byte)'&':
                    int semicolon = span.IndexOf((byte)';');
                    text.Append(Reference(span[1..semicolon]));
                    span = span[(semicolon + 1)..];
                    break;
                case (byte)'\r':
                    // CR LF and a lone CR are one line break.
                    text.Append(attribute ? ' ' : '\n');
                    span = span.Length > 1 && span[1] == '\n' ? span[2..] : span[1..];
                    break;
                default:
                    text.Append(' ');
                    span = span[1..];
                    break;
            }
        }
        return text.ToString();
    }

    private static readonly SearchValues<byte> TextEscapes = SearchValues.Create("&\r"u8);
    private static readonly SearchValues<byte> AttributeEscapes = SearchValues.Create("&\r\n\t"u8);

    private string DecodeCData(int start, int end)
    {
        ReadOnlySpan<byte> span = data.AsSpan(start, end - start);
        if (span.IndexOf((byte)'\r') < 0)
            return Encoding.UTF8.GetString(span);
        return Encoding.UTF8.GetString(span).Replace("\r\n", "\n").Replace('\r', '\n');
    }

    private readonly StringBuilder decoded = new();
    private char[] decodeBuffer = new char[256];

    private void AppendUtf8(StringBuilder text, ReadOnlySpan<byte> utf8)
    {
        if (decodeBuffer.Length < utf8.Length)
            decodeBuffer = new char[System.Math.Max(utf8.Length, decodeBuffer.Length * 2)];
        int chars = Encoding.UTF8.GetChars(utf8, decodeBuffer);
        text.Append(decodeBuffer, 0, chars);
    }

    // --- Comments, CDATA, processing instructions ----------------------

    // A comment is passed over (false); a CDATA section is text (true).
    private bool ReadMarkupDeclaration()
    {
        int start = position;
        ReadOnlySpan<byte> rest = data.AsSpan(start);
        if (rest.StartsWith("<!--"u8))
        {
            int close = rest[4..].IndexOf("--"u8);
            if (close < 0)
                throw Error(start, "Unexpected end of file in a comment.");
            int end = start + 4 + close;
            if (end + 2 >= data.Length || data[end + 2] != '>')
                throw Error(end, "'--' cannot stand in a comment.");
            CheckCharacters(start + 4, end);
            position = end + 3;
            return false;
        }
        if (rest.StartsWith("<![CDATA["u8))
        {
            if (open.Count == 0)
                throw Error(start, "A CDATA section cannot stand outside the root element.");
            int close = rest[9..].IndexOf("]]>"u8);
            if (close < 0)
                throw Error(start, "Unexpected end of file in a CDATA section.");
            int end = start + 9 + close;
            CheckCharacters(start + 9, end);
            position = end + 3;
            SetText(start + 9, end, escaped: false, cdata: true);
            TokenStart = start;
            return true;
        }
        if (rest.StartsWith("<!DOCTYPE"u8))
            throw Error(start, "For security reasons DTD is prohibited in this XML document.");
        throw Error(start, "'<!' does not begin a comment or a CDATA section.");
    }

    private void SkipProcessingInstruction()
    {
        int start = position;
        int at = start + 2;
        QName target = ScanName(ref at);
        if (target.Qualified.Equals("xml", StringComparison.OrdinalIgnoreCase))
            throw Error(start, $"'{target.Qualified}' is a reserved name and cannot name a processing instruction.");
        if (target.Qualified.Contains(':'))
            throw Error(start, "The name of a processing instruction cannot hold ':'.");
        int close = data.AsSpan(at).IndexOf("?>"u8);
        if (close < 0)
            throw Error(start, "Unexpected end of file in a processing instruction.");
        if (close > 0 && !XmlSpace.Contains(data[at]))
            throw Error(at, "The name of a processing instruction is not followed by white space.");
        CheckCharacters(at, at + close);
        position = at + close + 2;
    }

    // Characters outside markup that is passed over: only XML characters.
    private void CheckCharacters(int start, int end)
    {
        ReadOnlySpan<byte> span = data.AsSpan(start, end - start);
        for (int at = span.IndexOfAny(CharacterSpecial); at >= 0;)
        {
            byte b = span[at];
            if (b == 0xEF)
            {
                if (at + 2 < span.Length && span[at + 1] == 0xBF && span[at + 2] is 0xBE or 0xBF)
                    throw Error(start + at, "The character U+FFFE or U+FFFF is not allowed in XML.");
            }
            else if (b is not ((byte)'\t' or (byte)'\r' or (byte)'\n'))
                throw Error(start + at, $"The character U+{b:X4} is not allowed in XML.");
            int rest = span[(at + 1)..].IndexOfAny(CharacterSpecial);
            at = rest < 0 ? -1 : at + 1 + rest;
        }
    }

    private static readonly SearchValues<byte> CharacterSpecial = SearchValues.Create(Range(0, 0x20).Append((byte)0xEF).ToArray());

    // The XML declaration, if the part starts with one: version first,
    // then encoding and standalone, each at most once and in that order.
    private void ReadDeclaration()
    {
        ReadOnlySpan<byte> rest = data.AsSpan(position);
        if (!rest.StartsWith("<?xml"u8) || rest.Length < 6 || !XmlSpace.Contains(rest[5]))
            return;
        int close = rest.IndexOf("?>"u8);
        if (close < 0)
            throw Error(position, "Unexpected end of file in the XML declaration.");
        string declaration = Encoding.UTF8.GetString(rest[5..close]);
        string[] order = { "version", "encoding", "standalone" };
        int next = 0;
        int at = 0;
        while (true)
        {
            int from = at;
            while (at < declaration.Length && declaration[at] is ' ' or '\t' or '\r' or '\n')
                at++;
            if (at == declaration.Length)
                break;
            if (at == from)
                throw Error(position, "The XML declaration is malformed.");
            int equals = declaration.IndexOf('=', at);
            string key = equals < 0 ? string.Empty : declaration[at..equals].TrimEnd();
            int index = Array.IndexOf(order, key, next);
            if (index < 0 || (next == 0 && index != 0))
                throw Error(position, $"The XML declaration is malformed near '{declaration[at..]}'.");
            at = equals + 1;
            while (at < declaration.Length && declaration[at] is ' ' or '\t' or '\r' or '\n')
                at++;
            if (at >= declaration.Length || declaration[at] is not ('"' or '\''))
                throw Error(position, "A value in the XML declaration is not quoted.");
            int end = declaration.IndexOf(declaration[at], at + 1);
            if (end < 0)
                throw Error(position, "A value in the XML declaration is not closed.");
            string value = declaration[(at + 1)..end];
            bool valid = value.IndexOfAny(DeclarationExcluded) < 0 && index switch
            {
                // As the framework's reader takes it: "1.0" and whatever follows.
                0 => value.StartsWith("1.0", StringComparison.Ordinal),
                // Any name: the bytes are UTF-8 whatever it says.
                1 => true,
                _ => value is "yes" or "no",
            };
            if (!valid)
                throw Error(position, $"'{value}' is not a valid value in the XML declaration.");
            next = index + 1;
            at = end + 1;
        }
        if (next == 0)
            throw Error(position, "The XML declaration has no version.");
        position += close + 2;
    }

    private static readonly char[] DeclarationExcluded =
        "<>&\"'\t\r\n".Concat(Enumerable.Range(0, 0x20).Select(c => (char)c)).ToArray();

    // --- Helpers -------------------------------------------------------

    private int SkipSpace(int at)
    {
        while (at < data.Length && data[at] is (byte)' ' or (byte)'\t' or (byte)'\r' or (byte)'\n')
            at++;
        return at;
    }

    private string Describe(int at) => Encoding.UTF8.GetString(data, at, System.Math.Min(data.Length - at, char.IsAscii((char)data[at]) ? 1 : 4));

    // The error at a byte offset, with its line and column (in chars) as
    // the framework's reader reports them.
    private XmlException Error(int offset, string message)
    {
        offset = System.Math.Min(offset, data.Length);
        int line = 1, lineStart = 0;
        ReadOnlySpan<byte> before = data.AsSpan(0, offset);
        for (int at = before.IndexOfAny((byte)'\r', (byte)'\n'); at >= 0;)
        {
            if (before[at] == '\r' && at + 1 < before.Length && before[at + 1] == '\n')
                at++;
            line++;
            lineStart = at + 1;
            int next = before[lineStart..].IndexOfAny((byte)'\r', (byte)'\n');
            at = next < 0 ? -1 : lineStart + next;
        }
        int column = Encoding.UTF8.GetCharCount(data.AsSpan(lineStart, offset - lineStart)) + 1;
        return new XmlException(message, null, line, column);
    }
}
