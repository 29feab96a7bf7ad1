// The main part's tokenizer against the framework's XML reader (DTDs
// prohibited, comments and processing instructions skipped, as the loader
// read the part before): the same elements, names, namespaces, attribute
// values and text, token by token, and the same documents refused, for
// hand-made parts that probe where a tokenizer goes wrong and for many
// parts made by damaging a sound one.  Malformed parts reach the user as the
// loader's corrupt-file error, not a crash or a hang.
using System;
using System.Collections.Generic;
using System.IO;
using System.Linq;
using System.Text;
using System.Xml;
using Morvax.Velto.Formats;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class XmlTokenizerTests
{
    private static readonly XmlReaderSettings FrameworkSettings = new()
    {
        DtdProcessing = DtdProcessing.Prohibit,
        XmlResolver = null,
        IgnoreComments = true,
        IgnoreProcessingInstructions = true,
    };

    // One token as both readers describe it; runs of text (text, CDATA,
    // white space) count as one token of their joined value.
    private sealed record Token(string Kind, int Depth, string Name, string Uri, string Detail);

    private static List<Token> Framework(byte[] utf8)
    {
        int bom = utf8.AsSpan().StartsWith(new byte[] { 0xEF, 0xBB, 0xBF }) ? 3 : 0;
        var text = new StreamReader(new MemoryStream(utf8, bom, utf8.Length - bom), new UTF8Encoding(false), false);
        using XmlReader reader = XmlReader.Create(text, FrameworkSettings);
        var tokens = new List<Token>();
        while (reader.Read())
        {
            switch (reader.NodeType)
            {
                case XmlNodeType.Element:
                    var attributes = new List<string>();
                    var scope = ((IXmlNamespaceResolver)reader).GetNamespacesInScope(XmlNamespaceScope.ExcludeXml);
                    bool empty = reader.IsEmptyElement;
                    while (reader.MoveToNextAttribute())
                        attributes.Add($"{{{reader.NamespaceURI}}}{reader.LocalName}={reader.Value}");
                    reader.MoveToElement();
                    tokens.Add(new Token(empty ? "empty" : "start", reader.Depth, reader.Name, reader.NamespaceURI,
                        Describe(attributes, scope)));
                    break;
                case XmlNodeType.EndElement:
                    tokens.Add(new Token("end", reader.Depth, reader.Name, reader.NamespaceURI, ""));
                    break;
                // White space around the root is passed over.
                case XmlNodeType.Text or XmlNodeType.CDATA or XmlNodeType.Whitespace or XmlNodeType.SignificantWhitespace
                    when reader.Depth > 0:
                    AddText(tokens, reader.Depth, reader.Value);
                    break;
            }
        }
        return tokens;
    }

    private static List<Token> Ours(byte[] utf8)
    {
        int bom = utf8.AsSpan().StartsWith(new byte[] { 0xEF, 0xBB, 0xBF }) ? 3 : 0;
        var reader = new XmlTokenizer(utf8, bom);
        var tokens = new List<Token>();
        while (reader.Read())
        {
            switch (reader.Kind)
            {
                case XmlToken.Element:
                    // Each attribute the framework's reader lists is asked
                    // for by name, and the counts must agree.
                    tokens.Add(new Token(reader.IsEmptyElement ? "empty" : "start", reader.Depth, reader.Name,
                        reader.NamespaceUri, Describe(AttributesOf(reader), reader.NamespacesInScope())));
                    break;
                case XmlToken.EndElement:
                    tokens.Add(new Token("end", reader.Depth, reader.Name, reader.NamespaceUri, ""));
                    break;
                case XmlToken.Text:
                    AddText(tokens, reader.Depth, reader.Value);
                    break;
            }
        }
        return tokens;
    }

    // The tokenizer's attributes in the form the framework's are listed in,
    // found through GetAttribute by the names its own tag shows.
    private static List<string> AttributesOf(XmlTokenizer reader)
    {
        var tag = XElement(reader);
        var listed = new List<string>();
        foreach ((string prefix, string local) in tag)
        {
            string uri = prefix == "xmlns" || (prefix.Length == 0 && local == "xmlns") ? XmlTokenizer.XmlnsNamespace
                : prefix == "xml" ? XmlTokenizer.XmlNamespace
                : prefix.Length == 0 ? "" : reader.NamespacesInScope()[prefix];
            listed.Add($"{{{uri}}}{local}={reader.GetAttribute(local, uri)}");
        }
        Assert.Equal(reader.AttributeCount, listed.Count);
        return listed;
    }

    // The attribute names of the start tag the tokenizer is on, from its bytes.
    private static List<(string Prefix, string Local)> XElement(XmlTokenizer reader)
    {
        string tag = Encoding.UTF8.GetString(current!, reader.TokenStart, reader.TokenEnd - reader.TokenStart);
        var names = new List<(string, string)>();
        var pattern = new System.Text.RegularExpressions.Regex(@"\s([^\s=/>]+)\s*=\s*(""[^""]*""|'[^']*')");
        foreach (System.Text.RegularExpressions.Match match in pattern.Matches(tag))
        {
            string qualified = match.Groups[1].Value;
            int colon = qualified.IndexOf(':');
            names.Add(colon < 0 ? ("", qualified) : (qualified[..colon], qualified[(colon + 1)..]));
        }
        return names;
    }

    [ThreadStatic] private static byte[]? current;

    // The xml prefix, which the framework's reader lists only where it is
    // declared, is left out (the loader leaves it out too).
    private static string Describe(List<string> attributes, IDictionary<string, string> scope) =>
        string.Join(" ", attributes.OrderBy(a => a, StringComparer.Ordinal)) + " | "
        + string.Join(" ", scope.Where(p => p.Key != "xml").OrderBy(p => p.Key, StringComparer.Ordinal).Select(p => $"{p.Key}={p.Value}"));

    private static void AddText(List<Token> tokens, int depth, string value)
    {
        if (tokens.Count > 0 && tokens[^1] is { Kind: "text" } last)
            tokens[^1] = last with { Detail = last.Detail + value };
        else
            tokens.Add(new Token("text", depth, "", "", value));
    }

    // Both read the part alike, or both refuse it.
    private static void AssertReadAlike(byte[] utf8)
    {
        current = utf8;
        List<Token>? expected = null, actual = null;
        Exception? theirs = null, ours = null;
        try { expected = Framework(utf8); } catch (XmlException e) { theirs = e; }
        try { actual = Ours(utf8); } catch (XmlException e) { ours = e; }
        string shown = Encoding.UTF8.GetString(utf8);
        Assert.True((theirs is null) == (ours is null),
            $"framework: {theirs?.Message ?? "read"}; tokenizer: {ours?.Message ?? "read"}; part: {shown}");
        if (expected is not null)
            Assert.Equal(expected, actual!);
    }

    private static byte[] Part(string xml) => Encoding.UTF8.GetBytes(xml);

    private const string W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

    public static IEnumerable<object[]> WellFormed() => new[]
    {
        // References of every kind, in text and in values of both quotes.
        $"<w:document xmlns:w='{W}'><w:t a=\"&lt;&#65;&#x42;&amp;'\" b='\"&quot;&apos;'>&lt;x&gt; &amp; &#x1F600; &#233;</w:t></w:document>",
        // CDATA beside text, holding what would be markup elsewhere.
        $"<w:document xmlns:w=\"{W}\"><w:t>a<![CDATA[<b>&amp;]]]]>z<![CDATA[]]></w:t></w:document>",
        // A prefix redeclared inside, the default namespace set and unset,
        // an attribute prefix bound only on its own element.
        $"<w:document xmlns:w=\"{W}\"><w:body xmlns:w=\"urn:inner\"><w:p xmlns=\"urn:default\"><r q:x=\"1\" xmlns:q=\"urn:q\"/>"
        + "<s xmlns=\"\"/></w:p></w:body><w:after/></w:document>",
        // One prefix bound three levels deep, each level's siblings after
        // it back in the outer binding.
        $"<w:document xmlns:w=\"{W}\"><w:a xmlns:w=\"urn:1\"><w:b xmlns:w=\"urn:2\"><w:c xmlns:w=\"urn:3\" w:v=\"3\"/><w:c w:v=\"2\"/></w:b>"
        + "<w:b w:v=\"1\"/></w:a><w:a w:v=\"0\"/></w:document>",
        // A root in a default namespace; an unprefixed attribute has none.
        $"<document xmlns=\"{W}\" val=\"1\"><body><p/></body></document>",
        // White space kept in text, line breaks of every kind normalised,
        // in text and (as spaces) in values; a character reference keeps
        // its CR.
        $"<w:document xmlns:w=\"{W}\">\r\n <w:t xml:space=\"preserve\">  a\r\nb\rc\n\td&#13;&#10; </w:t>\r"
        + "<w:x v=\"a\r\nb\tc\rd&#9;&#13;\"/>\n</w:document>",
        // A declaration, comments and processing instructions around and
        // inside, an empty root-level comment, a BOM.
        $"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<!---->\n<?pi data?>"
        + $"<w:document xmlns:w=\"{W}\">x<!-- a - b -->y<?x?>z</w:document>\n<!-- end -->\n",
        // Wide characters in names, text and values; values and text
        // around the lengths they are shared to, ending in wide characters.
        $"<w:document xmlns:w=\"{W}\" xmlns:ü=\"urn:ü\"><ü:élément ü:ä=\"{new string('a', 30)}é\">日本語\U0001F600</ü:élément>"
        + $"<w:t>{new string('b', 31)}é</w:t><w:t>{new string('c', 32)}</w:t><w:t> </w:t><w:t> </w:t>"
        + "<w:t>aé</w:t><w:t>abé</w:t><w:t>abcé</w:t><w:t>\U0001F600</w:t><w:t>a\U0001F600</w:t></w:document>",
        // Spaces around '=' and before the end of tags.
        $"<w:document  xmlns:w = \"{W}\" ><w:p w:a = 'x' ></w:p ><w:q\n/></w:document\n>",
        // Deep and empty-bodied.
        $"<w:document xmlns:w=\"{W}\">" + string.Concat(Enumerable.Repeat("<w:x>", 40)) + string.Concat(Enumerable.Repeat("</w:x>", 40))
        + "</w:document>",
        // The xml prefix used without being declared, and declared as itself.
        $"<w:document xmlns:w=\"{W}\" xml:lang=\"en\" xmlns:xml=\"http://www.w3.org/XML/1998/namespace\"><w:t xml:space=\"default\"/></w:document>",
    }.Select(x => new object[] { x });

    [Theory]
    [MemberData(nameof(WellFormed))]
    public void ReadsAsTheFrameworkReaderDoes(string xml)
    {
        AssertReadAlike(Part(xml));
        Assert.NotEmpty(Ours(Part(xml)));
    }

    public static IEnumerable<object[]> Malformed() => new[]
    {
        $"<w:document xmlns:w=\"{W}\"><w:p></w:q></w:document>",
        $"<w:document xmlns:w=\"{W}\"><w:p></w:pp></w:document>",
        $"<w:document xmlns:w=\"{W}\"><w:p>",
        $"<w:document xmlns:w=\"{W}\"><x:p/></w:document>",
        $"<w:document xmlns:w=\"{W}\"><w:p w:a=\"1\" w:a=\"2\"/></w:document>",
        $"<w:document xmlns:w=\"{W}\" xmlns:v=\"{W}\"><w:p w:a=\"1\" v:a=\"2\"/></w:document>",
        $"<w:document xmlns:w=\"{W}\"><w:p w:a=\"1\"w:b=\"2\"/></w:document>",
        $"<w:document xmlns:w=\"{W}\"><w:p w:a=1/></w:document>",
        $"<w:document xmlns:w=\"{W}\"><w:p w:a=\"<\"/></w:document>",
        $"<w:document xmlns:w=\"{W}\"><w:t>&undefined;</w:t></w:document>",
        $"<w:document xmlns:w=\"{W}\"><w:t>&amp</w:t></w:document>",
        $"<w:document xmlns:w=\"{W}\"><w:t>&#0;</w:t></w:document>",
        $"<w:document xmlns:w=\"{W}\"><w:t>&#xD800;</w:t></w:document>",
        $"<w:document xmlns:w=\"{W}\"><w:t>&#x110000;</w:t></w:document>",
        $"<w:document xmlns:w=\"{W}\"><w:t>a]]>b</w:t></w:document>",
        $"<w:document xmlns:w=\"{W}\"><w:t>\u0001</w:t></w:document>",
        $"<w:document xmlns:w=\"{W}\"><w:t>\uFFFE</w:t></w:document>",
        $"<w:document xmlns:w=\"{W}\"><!-- a -- b --></w:document>",
        $"<w:document xmlns:w=\"{W}\"><![CDATA[open</w:document>",
        $"<!DOCTYPE d [<!ENTITY e \"x\">]><w:document xmlns:w=\"{W}\">&e;</w:document>",
        $"<!DOCTYPE d SYSTEM \"file:///etc/passwd\"><w:document xmlns:w=\"{W}\"/>",
        $"<w:document xmlns:w=\"{W}\"/><w:document xmlns:w=\"{W}\"/>",
        $"text<w:document xmlns:w=\"{W}\"/>",
        $" <?xml version=\"1.0\"?><w:document xmlns:w=\"{W}\"/>",
        $"<?xml encoding=\"UTF-8\"?><w:document xmlns:w=\"{W}\"/>",
        $"<w:document xmlns:w=\"{W}\"><?xml version=\"1.0\"?></w:document>",
        $"<w:document xmlns:w=\"{W}\"><w:1p/></w:document>",
        $"<w:document xmlns:w=\"{W}\"><w:p:q/></w:document>",
        $"<w:document xmlns:w=\"{W}\"><:p/></w:document>",
        $"<w:document xmlns:w=\"{W}\">< w:p/></w:document>",
        $"<w:document xmlns:w=\"{W}\" xmlns:p=\"\"/>",
        $"<w:document xmlns:w=\"{W}\" xmlns:xmlns=\"urn:x\"/>",
        $"<w:document xmlns:w=\"{W}\" xmlns:xml=\"urn:x\"/>",
        $"<w:document xmlns:w=\"{W}\"><w:t xml:space=\"keep\"/></w:document>",
        $"<w:document xmlns:w=\"{W}\"></w:document>trailing",
        "",
        "   ",
    }.Select(x => new object[] { x });

    // Each is refused by both readers; and as a main part it is the loader's
    // corrupt-file error.
    [Theory]
    [MemberData(nameof(Malformed))]
    public void RefusesWhatTheFrameworkReaderRefuses(string xml)
    {
        byte[] part = Part(xml);
        AssertReadAlike(part);
        Assert.Throws<XmlException>(() => Ours(part));
        Assert.Throws<FileCorruptedException>(() => new Document(new MemoryStream(WordPackage(xml))));
    }

    // Every token's bytes are its markup: a start tag from '<' to '>', an
    // end tag likewise, text as it stands.
    [Fact]
    public void TokensKnowWhereTheirBytesLie()
    {
        string xml = $"<?xml version=\"1.0\"?>\n<w:document xmlns:w=\"{W}\"><w:p a='>'>é&amp;<w:r/><![CDATA[c]]></w:p>\r\n</w:document>";
        byte[] part = Part(xml);
        var reader = new XmlTokenizer(part, 0);
        var seen = new List<string>();
        while (reader.Read())
            seen.Add(Encoding.UTF8.GetString(part, reader.TokenStart, reader.TokenEnd - reader.TokenStart));
        Assert.Equal(new[]
        {
            $"<w:document xmlns:w=\"{W}\">", "<w:p a='>'>", "é&amp;", "<w:r/>", "<![CDATA[c]]>", "</w:p>", "\r\n", "</w:document>",
        }, seen);
    }

    // Parts made by damaging sound ones at random places: inserting,
    // deleting or replacing bytes with ones that matter to XML.  Both
    // readers must agree on each.
    public static IEnumerable<object[]> SoundParts() => new[]
    {
        $"<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document xmlns:w=\"{W}\" xmlns:q='urn:q'>"
        + "<w:body><w:p w:rsidR=\"00A1\"><w:pPr><w:pStyle w:val=\"Title\"/></w:pPr><w:r q:k='v'>"
        + "<w:t xml:space=\"preserve\"> a &amp; b&#233; ü</w:t></w:r><!-- c --><w:r><w:t><![CDATA[x<y]]></w:t></w:r></w:p>"
        + "<w:p xmlns:w=\"urn:other\"><w:x/></w:p></w:body></w:document>",
        $"<?xml version='1.0' standalone='yes'?>\r\n<!--a--><?p q?><d xmlns=\"{W}\" xmlns:é=\"urn:é\" a=\"&#x41;&lt;\">"
        + "<é:x·y é:z='1'>t&#10;u\r\nv</é:x·y><e xmlns=\"\" xml:space='default'>&apos;&quot;<?pi?>x</e></d>\n",
    }.Select(x => new object[] { x });

    [Theory]
    [MemberData(nameof(SoundParts))]
    public void DamagedPartsReadAsTheFrameworkReaderReadsThem(string xml)
    {
        byte[] sound = Part(xml);
        byte[] pieces = "<>/='\"&;:#xX![]-? \t\r\nw0é·×"u8.ToArray();
        var random = new Random(1234);
        for (int i = 0; i < 5000; i++)
        {
            var damaged = new List<byte>(sound);
            for (int edits = random.Next(1, 4); edits > 0; edits--)
            {
                int at = random.Next(damaged.Count);
                byte piece = pieces[random.Next(pieces.Length)];
                switch (random.Next(3))
                {
                    case 0: damaged.Insert(at, piece); break;
                    case 1: damaged.RemoveAt(at); break;
                    default: damaged[at] = piece; break;
                }
            }
            byte[] part = damaged.ToArray();
            // Only valid UTF-8 reaches the tokenizer (the loader re-encodes).
            if (System.Text.Unicode.Utf8.IsValid(part))
                AssertReadAlike(part);
        }
    }
}
