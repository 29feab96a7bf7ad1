// The main part read with a streaming XML reader rather than the SDK's
// element tree, which costs many times more time and memory on a large
// document.  Paragraphs of plain runs (text, tabs, breaks), tables, rows and
// cells become nodes straight from the reader, each keeping its markup as
// RawMarkup (a slice of the part's text).  A paragraph holding anything else
// (fields, links, bookmarks, notes, drawings, revisions...) and whatever else
// the body, a table, a row or a cell holds is made into its SDK element from
// its markup and read by the SDK-based code, so every feature reads as it
// does from the SDK's tree.  A part whose root is not a transitional document
// (strict markup) is left to the SDK whole.
using System;
using System.IO;
using System.Text;
using System.Xml;
using DocumentFormat.OpenXml;
using DocumentFormat.OpenXml.Packaging;
using Morvax.Velto.Tables;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static partial class DocxReader
{
    // No DTD, no resolver: an entity bomb or an external entity fails as
    // malformed XML before anything is expanded or fetched.
    private static readonly XmlReaderSettings StreamSettings = new()
    {
        DtdProcessing = DtdProcessing.Prohibit,
        XmlResolver = null,
        IgnoreComments = true,
        IgnoreProcessingInstructions = true,
        MaxCharactersInDocument = PackageLimits.MaxPartBytes,
    };

    private const string XmlnsNamespace = "http://www.w3.org/2000/xmlns/";

    // The text of a part, decoded as its byte order mark says (UTF-8 without
    // one).  PackageLimits has bounded how far the part inflates.
    private static string PartText(OpenXmlPart part)
    {
        using Stream stream = part.GetStream(FileMode.Open, FileAccess.Read);
        return TextOf(stream);
    }

    // Decoded in one piece: a reader's buffers would hold the text twice.
    private static string TextOf(byte[] part)
    {
        ReadOnlySpan<byte> bytes = part;
        if (bytes.StartsWith(Utf8Bom))
            return Encoding.UTF8.GetString(bytes[Utf8Bom.Length..]);
        return bytes.StartsWith(Utf16LeBom) || bytes.StartsWith(Utf16BeBom)
            ? TextOf(new MemoryStream(part, writable: false))
            : Encoding.UTF8.GetString(bytes);
    }

    private static ReadOnlySpan<byte> Utf8Bom => new byte[] { 0xEF, 0xBB, 0xBF };
    private static ReadOnlySpan<byte> Utf16LeBom => new byte[] { 0xFF, 0xFE };
    private static ReadOnlySpan<byte> Utf16BeBom => new byte[] { 0xFE, 0xFF };

    private static string TextOf(Stream part)
    {
        using var reader = new StreamReader(part, new UTF8Encoding(false), detectEncodingFromByteOrderMarks: true);
        return reader.ReadToEnd();
    }

    private sealed partial class BodyReader
    {
        private XmlReader reader = null!;
        private IXmlLineInfo lineInfo = null!;
        private string partText = string.Empty;
        // Where each line of the part's text starts: the reader reports
        // positions as lines and columns.
        private int[] lineStarts = Array.Empty<int>();
        private NamespaceScope scope = null!;
        private Func<string, string?> attribute = null!;

        // Reads the body from the main part's text.  Returns the part's
        // root as an SDK element holding all but the body's content (what
        // the writer needs of it), or null, with nothing read, when the part
        // is not a transitional document.
        public W.Document? ReadStream(string text, byte[]? bytes)
        {
            partText = text;
            Part = text;
            lineStarts = LineStarts(text);
            using XmlReader xml = XmlReader.Create(new StringReader(text), StreamSettings);
            reader = xml;
            lineInfo = (IXmlLineInfo)xml;
            attribute = name => reader.GetAttribute(name, WordMl.W);
            xml.MoveToContent();
            if (xml.NodeType != XmlNodeType.Element || xml.LocalName != "document" || xml.NamespaceURI != WordMl.W)
                return null;
            scope = ScopeHere();
            int rootStart = ElementStart();
            int rootTagEnd = TagEnd(rootStart);
            var root = new StringBuilder();
            root.Append(text, rootStart, rootTagEnd - rootStart);
            StartSection();
            bool closed = false;
            if (!xml.IsEmptyElement)
            {
                string rootName = xml.Name;
                int depth = xml.Depth;
                while (NextChild(depth))
                {
                    if (IsW("body"))
                    {
                        // The body's start tag, closed at once: its content
                        // is the tree's.
                        int bodyStart = ElementStart();
                        int bodyTagEnd = TagEnd(bodyStart);
                        bool empty = xml.IsEmptyElement;
                        root.Append(text, bodyStart, bodyTagEnd - bodyStart - (empty ? 0 : 1)).Append(empty ? "" : "/>");
                        if (!empty)
                            closed = ReadBodyStream();
                    }
                    else
                    {
                        (int start, int end) = SkipElement();
                        root.Append(text, start, end - start);
                    }
                }
                root.Append("</").Append(rootName).Append('>');
            }
            Finish(closed);
            MoveSlicesTo(bytes);
            return new W.Document(root.ToString());
        }

        // The body's children; true when the last of them ended a section.
        private bool ReadBodyStream()
        {
            NamespaceScope outer = scope;
            if (DeclaresNamespaces())
                scope = ScopeHere();
            bool closed = false;
            int depth = reader.Depth;
            while (NextChild(depth))
            {
                closed = false;
                if (IsW("p"))
                {
                    body.AppendChild(StreamParagraph(MarkupParent.Body, out W.SectionProperties? ends));
                    if (ends is not null)
                    {
                        EndSection(ends);
                        closed = true;
                    }
                }
                else if (IsW("tbl"))
                    body.AppendChild(StreamTable(MarkupParent.Body));
                else if (IsW("sectPr"))
                {
                    EndSection((W.SectionProperties)Materialise(SkipElement(), MarkupParent.Body));
                    closed = true;
                }
                else
                    body.AppendChild(KeptHere(MarkupParent.Body));
            }
            scope = outer;
            return closed;
        }

        // A paragraph of plain runs straight from the reader; any other
        // paragraph through its SDK element.  ends: the section properties
        // the paragraph ends a section with (only ever on the second path).
        private Paragraph StreamParagraph(MarkupParent parent, out W.SectionProperties? ends)
        {
            ends = null;
            int start = ElementStart();
            int depth = reader.Depth;
            NamespaceScope outer = scope;
            if (DeclaresNamespaces())
                scope = ScopeHere();
            var paragraph = new Paragraph(doc);
            var reading = new ParagraphReading(paragraph);
            bool plain = true;
            if (!reader.IsEmptyElement)
            {
                bool first = true;
                while (plain && NextChild(depth))
                {
                    if (first && IsW("pPr"))
                        plain = StreamParagraphProperties(reading);
                    else
                    {
                        Font font = reading.Begin(this);
                        plain = IsW("r") && StreamRun(paragraph, font);
                    }
                    first = false;
                }
            }
            if (plain)
            {
                reading.Begin(this);
                int end = reader.IsEmptyElement ? TagEnd(start) : EndTagEnd();
                scope = outer;
                ReadListFormat(paragraph.ListFormat, reading.StyleId, reading.NumId, reading.Level);
                var snapshot = new ParagraphFormat();
                snapshot.CopyFrom(paragraph.ParagraphFormat);
                paragraph.Origin = new ParagraphOrigin(Slice(start, end, parent), snapshot,
                    paragraph.ListFormat.ListLevelNumber, paragraph.ListFormat.List, ChildrenOf(paragraph));
                return paragraph;
            }
            // What was read of it is dropped; nothing else saw it.
            SkipTo(depth);
            scope = outer;
            var p = (W.Paragraph)Materialise((start, EndTagEnd()), parent);
            ends = p.ParagraphProperties?.SectionProperties;
            return ReadParagraph(p);
        }

        // A paragraph's style, numbering and formatting as its properties
        // are read.  The formatting starts from the style, which is the
        // properties' first child when given.
        private sealed class ParagraphReading
        {
            private readonly Paragraph paragraph;
            private Font? styleFont;

            public ParagraphReading(Paragraph paragraph) => this.paragraph = paragraph;

            public ParagraphFormat Format => paragraph.ParagraphFormat;

            public string? StyleId, NumId, Level;

            public Font Begin(BodyReader reader)
            {
                if (styleFont is not null)
                    return styleFont;
                (Font font, ParagraphFormat format) = reader.styles.Paragraph(StyleId);
                paragraph.ParagraphFormat.CopyFrom(format);
                if (StyleId is not null)
                    ApplyParagraphProperty(paragraph.ParagraphFormat, "pStyle", _ => StyleId, reader.styles.Names);
                return styleFont = font;
            }
        }

        // False when the properties hold what this reader leaves to the SDK:
        // section properties, a style that is not the first child.
        private bool StreamParagraphProperties(ParagraphReading reading)
        {
            if (reader.IsEmptyElement)
                return true;
            int depth = reader.Depth;
            bool first = true;
            while (NextChild(depth))
            {
                if (reader.NamespaceURI == WordMl.W)
                {
                    switch (reader.LocalName)
                    {
                        case "pStyle" when first:
                            reading.StyleId = attribute("val");
                            break;
                        case "pStyle" or "sectPr":
                            return false;
                        case "numPr":
                            reading.Begin(this);
                            ReadNumbering(reading);
                            break;
                        case "pBdr":
                            reading.Begin(this);
                            BorderCollection borders = reading.Format.Borders;
                            ReadSettings(side => DocxBorders.ReadSide(borders, side, attribute));
                            break;
                        default:
                            reading.Begin(this);
                            ApplyParagraphProperty(reading.Format, reader.LocalName, attribute, styles.Names);
                            break;
                    }
                }
                Consume();
                first = false;
            }
            return true;
        }

        // The first numbering id and level the numbering properties give.
        private void ReadNumbering(ParagraphReading reading)
        {
            if (reader.IsEmptyElement)
                return;
            int depth = reader.Depth;
            while (NextChild(depth))
            {
                if (IsW("numId"))
                    reading.NumId ??= attribute("val");
                else if (IsW("ilvl"))
                    reading.Level ??= attribute("val");
                Consume();
            }
        }

        // A run of text, tabs and breaks; false when it holds anything else.
        private bool StreamRun(Paragraph paragraph, Font paragraphFont)
        {
            int start = ElementStart();
            // The paragraph's (shared) formatting until properties change it.
            Font font = paragraphFont;
            text.Clear();
            piece = null;
            if (!reader.IsEmptyElement)
            {
                int depth = reader.Depth;
                bool first = true;
                while (NextChild(depth))
                {
                    if (reader.NamespaceURI != WordMl.W)
                        return false;
                    switch (reader.LocalName)
                    {
                        case "rPr" when first:
                            font = new Font();
                            font.CopyFrom(paragraphFont);
                            if (!StreamRunProperties(font))
                                return false;
                            font = fonts.Shared(font);
                            break;
                        case "t":
                            AppendText();
                            break;
                        case "tab":
                            AppendChar(ControlChar.TabChar);
                            break;
                        case "br":
                            AppendChar(BreakChar(attribute("type")));
                            break;
                        case "cr":
                            AppendChar(ControlChar.LineBreakChar);
                            break;
                        case "noBreakHyphen":
                            AppendChar(ControlChar.NonBreakingHyphenChar);
                            break;
                        case "softHyphen":
                            AppendChar(ControlChar.OptionalHyphenChar);
                            break;
                        case "lastRenderedPageBreak":
                            break;
                        default:
                            return false;
                    }
                    Consume();
                    first = false;
                }
            }
            int end = reader.IsEmptyElement ? TagEnd(start) : EndTagEnd();
            var run = new Run(doc, piece ?? text.ToString());
            run.ShareFormatting(font);
            run.Origin = new RunOrigin(Slice(start, end, MarkupParent.Paragraph), font,
                run.Text);
            paragraph.AppendChild(run);
            return true;
        }

        private readonly FormattingSet fonts = new();

        // The formats the runs read so far have, so that runs formatted alike
        // share one snapshot (which nothing changes).  A document with more
        // distinct formats than the set holds gets copies for the rest.
        private sealed class FormattingSet
        {
            private const int MaxShared = 64;
            private readonly System.Collections.Generic.List<Font> known = new();

            public Font Shared(Font font)
            {
                foreach (Font other in known)
                {
                    if (other.HasSameFormatting(font))
                        return other;
                }
                if (known.Count < MaxShared)
                    known.Add(font);
                return font;
            }
        }

        // False when the character style is not the first child.
        private bool StreamRunProperties(Font font)
        {
            if (reader.IsEmptyElement)
                return true;
            int depth = reader.Depth;
            bool first = true;
            while (NextChild(depth))
            {
                if (reader.NamespaceURI == WordMl.W)
                {
                    if (reader.LocalName == "rStyle")
                    {
                        if (!first)
                            return false;
                        if (attribute("val") is { } characterStyle)
                            styles.ApplyCharacterStyle(font, characterStyle);
                    }
                    else
                        ApplyRunProperty(font, reader.LocalName, attribute);
                }
                Consume();
                first = false;
            }
            return true;
        }

        // A run's text while it is one piece as the reader gave it (most runs
        // hold one w:t): kept as that string rather than copied through the
        // builder, which takes over once a second piece comes.
        private string? piece;

        private void AppendPiece(string value)
        {
            if (piece is null && text.Length == 0)
            {
                piece = value;
                return;
            }
            AppendChar(null);
            text.Append(value);
        }

        // Moves the piece into the builder, then appends the character.
        private void AppendChar(char? c)
        {
            if (piece is not null)
            {
                text.Append(piece);
                piece = null;
            }
            if (c is { } character)
                text.Append(character);
        }

        // The text of a w:t; the reader is left on its end.
        private void AppendText()
        {
            if (reader.IsEmptyElement)
                return;
            int depth = reader.Depth;
            while (Read() && !(reader.NodeType == XmlNodeType.EndElement && reader.Depth == depth))
            {
                if (reader.NodeType is XmlNodeType.Text or XmlNodeType.CDATA or XmlNodeType.Whitespace
                    or XmlNodeType.SignificantWhitespace)
                    AppendPiece(reader.Value);
            }
        }

        // A table, its rows and cells as the SDK-based reader reads them;
        // each origin holds the element's start tag with its properties (all
        // the writer takes from it), and children the tree has no node for
        // are kept.
        private Table StreamTable(MarkupParent parent)
        {
            var table = new Table(doc);
            StreamContainer(parent, MarkupParent.Table, table, TableProperties, () => IsW("tr") ? StreamRow() : null,
                setting =>
                {
                    if (setting == "jc" && WordMl.ValueOf(WordMl.TableAlignments, attribute("val")) is { } alignment)
                        table.Alignment = alignment;
                }, out RawMarkup head, out RawMarkup whole);
            table.Origin = new TableOrigin(head, table.Alignment, whole, ChildrenOf(table));
            return table;
        }

        private Row StreamRow()
        {
            var row = new Row(doc);
            StreamContainer(MarkupParent.Table, MarkupParent.Row, row, RowProperties, () => IsW("tc") ? StreamCell() : null,
                setting => DocxTableFormats.ReadRowSetting(row.RowFormat, setting, attribute), out RawMarkup head, out _);
            var snapshot = new RowFormat();
            snapshot.CopyFrom(row.RowFormat);
            row.Origin = new RowOrigin(head, snapshot, ChildrenOf(row));
            return row;
        }

        private Cell StreamCell()
        {
            var cell = new Cell(doc);
            StreamContainer(MarkupParent.Row, MarkupParent.Cell, cell, CellProperties,
                () => IsW("p") ? StreamParagraph(MarkupParent.Cell, out _) : IsW("tbl") ? StreamTable(MarkupParent.Cell) : null,
                setting =>
                {
                    if (setting == "tcBorders")
                        ReadSettings(side => DocxBorders.ReadSide(cell.CellFormat.Borders, side, attribute));
                    else
                        DocxTableFormats.ReadCellSetting(cell.CellFormat, setting, attribute);
                }, out RawMarkup head, out _);
            var snapshot = new CellFormat();
            snapshot.CopyFrom(cell.CellFormat);
            cell.Origin = new CellOrigin(head, snapshot, ChildrenOf(cell));
            return cell;
        }

        // Each child of a properties element in the main namespace, by local
        // name, while the reader is on it.
        private void ReadSettings(Action<string> read)
        {
            if (reader.IsEmptyElement)
                return;
            int depth = reader.Depth;
            while (NextChild(depth))
            {
                if (reader.NamespaceURI == WordMl.W)
                    read(reader.LocalName);
                Consume();
            }
        }

        // Markup the tree has no node for, where the reader is.  Marks that
        // hold no text (bookmarks, ranges, proofing marks) stay as markup
        // until asked for; anything else becomes its SDK element now, for
        // its text.
        private KeptBlock KeptHere(MarkupParent parent)
        {
            bool textless = reader.IsEmptyElement && reader.NamespaceURI == WordMl.W && IsTextlessMark(reader.LocalName);
            (int start, int end) = SkipElement();
            RawMarkup markup = Slice(start, end, parent);
            return textless ? new KeptBlock(doc, markup, string.Empty) : Kept(markup.Element);
        }

        private static bool IsTextlessMark(string name) =>
            name is "bookmarkStart" or "bookmarkEnd" or "proofErr" or "permStart" or "permEnd"
            || name.EndsWith("RangeStart", StringComparison.Ordinal) || name.EndsWith("RangeEnd", StringComparison.Ordinal);

        // Reads a table, row or cell: each child the reader models (child
        // returns its node) is appended; the first of each property element
        // named goes into head, the element's start tag with those
        // properties, and readSetting reads each setting of the first of the
        // last named; other children are kept.  whole: all of its markup.
        // The property elements of each, the one whose settings the tree
        // models last.
        private static readonly string[] TableProperties = { "tblGrid", "tblPr" };
        private static readonly string[] RowProperties = { "tblPrEx", "trPr" };
        private static readonly string[] CellProperties = { "tcPr" };

        private void StreamContainer(MarkupParent parent, MarkupParent kind, CompositeNode container, string[] propertyNames,
            Func<Node?> child, Action<string> readSetting, out RawMarkup head, out RawMarkup whole)
        {
            NamespaceScope outer = scope;
            int start = ElementStart();
            int tagEnd = TagEnd(start);
            var markup = new StringBuilder();
            markup.Append(partText, start, tagEnd - start);
            bool empty = reader.IsEmptyElement;
            if (!empty)
            {
                string name = reader.Name;
                if (DeclaresNamespaces())
                    scope = ScopeHere();
                int depth = reader.Depth;
                var taken = new bool[propertyNames.Length];
                while (NextChild(depth))
                {
                    int index = reader.NamespaceURI == WordMl.W ? Array.IndexOf(propertyNames, reader.LocalName) : -1;
                    if (index >= 0)
                    {
                        int childStart = ElementStart();
                        bool hasContent = !reader.IsEmptyElement;
                        bool first = !taken[index];
                        taken[index] = true;
                        if (first && index == propertyNames.Length - 1)
                            ReadSettings(readSetting);
                        Consume();
                        if (!first)
                            continue;
                        int childEnd = hasContent ? EndTagEnd() : TagEnd(childStart);
                        markup.Append(partText, childStart, childEnd - childStart);
                    }
                    else if (child() is { } node)
                        container.AppendChild(node);
                    else
                        container.AppendChild(KeptHere(kind));
                }
                markup.Append("</").Append(name).Append('>');
            }
            scope = outer;
            int end = empty ? tagEnd : EndTagEnd();
            whole = Slice(start, end, parent);
            head = new RawMarkup(markup.ToString(), 0, markup.Length, scope, parent);
        }

        private OpenXmlElement Materialise((int Start, int End) slice, MarkupParent parent) =>
            Slice(slice.Start, slice.End, parent).Element;

        // Every slice of the part's text, so that they can move to its bytes.
        private readonly System.Collections.Generic.List<RawMarkup> slices = new();

        private RawMarkup Slice(int start, int end, MarkupParent parent)
        {
            var slice = new RawMarkup(partText, start, end - start, scope, parent);
            slices.Add(slice);
            return slice;
        }

        // What the slices are cut from once read: the part's UTF-8 bytes when
        // the text is exactly their decoding (then the text can go), else
        // the text.
        public object Part { get; private set; } = string.Empty;

        private void MoveSlicesTo(byte[]? part)
        {
            Part = partText;
            int offset = part is not null && part.AsSpan().StartsWith(Utf8Bom) ? Utf8Bom.Length : 0;
            if (part is null || !System.Text.Unicode.Utf8.IsValid(part.AsSpan(offset))
                || Encoding.UTF8.GetByteCount(partText) != part.Length - offset)
                return;
            // The byte offset of every CheckpointChars-th char, from which any
            // char offset converts by counting the few chars after it.
            var checkpoints = new int[partText.Length / CheckpointChars + 1];
            int bytes = offset;
            for (int i = 0; i < checkpoints.Length; i++)
            {
                checkpoints[i] = bytes;
                int from = i * CheckpointChars;
                bytes += Encoding.UTF8.GetByteCount(partText.AsSpan(from, System.Math.Min(CheckpointChars, partText.Length - from)));
            }
            int ByteOffset(int chars)
            {
                int at = chars / CheckpointChars;
                return checkpoints[at] + Encoding.UTF8.GetByteCount(partText.AsSpan(at * CheckpointChars, chars - at * CheckpointChars));
            }
            foreach (RawMarkup slice in slices)
                slice.MoveToBytes(part, ByteOffset(slice.Start), ByteOffset(slice.End));
            slices.Clear();
            Part = part;
        }

        private const int CheckpointChars = 256;

        private bool IsW(string localName) => reader.LocalName == localName && reader.NamespaceURI == WordMl.W;

        // Moves to the next child element of the element at depth, over
        // text and whitespace between elements; false at the element's end.
        private bool NextChild(int depth)
        {
            while (Read())
            {
                if (reader.NodeType == XmlNodeType.Element && reader.Depth == depth + 1)
                    return true;
                if (reader.NodeType == XmlNodeType.EndElement && reader.Depth == depth)
                    return false;
            }
            return false;
        }

        // Every read goes through here: the nesting is bounded as
        // PackageLimits bounds other parts' (the SDK, given markup from here,
        // builds its elements recursively).
        private bool Read()
        {
            if (!reader.Read())
                return false;
            if (reader.Depth > PackageLimits.MaxXmlDepth)
                throw new InvalidDataException($"The main part nests deeper than {PackageLimits.MaxXmlDepth} levels.");
            return true;
        }

        // Leaves the reader on the end of the element it is on (on the
        // element itself when empty).
        private void Consume()
        {
            if (reader.NodeType == XmlNodeType.Element && !reader.IsEmptyElement)
                SkipTo(reader.Depth);
        }

        // Reads on to the end of the element at depth that the reader is in.
        private void SkipTo(int depth)
        {
            while (!(reader.NodeType == XmlNodeType.EndElement && reader.Depth == depth) && Read())
            {
            }
        }

        // The element the reader is on, as offsets into the part's text; the
        // reader is left on its end.
        private (int Start, int End) SkipElement()
        {
            int start = ElementStart();
            if (reader.IsEmptyElement)
                return (start, TagEnd(start));
            Consume();
            return (start, EndTagEnd());
        }

        // The reader's position as an offset into the text (the first
        // character of a name).
        private int Offset() => lineStarts[lineInfo.LineNumber - 1] + lineInfo.LinePosition - 1;

        // Where the start tag the reader is on begins ('<').
        private int ElementStart() => Offset() - 1;

        // Just past the end tag the reader is on.
        private int EndTagEnd() => partText.IndexOf('>', Offset()) + 1;

        // Just past the start tag that begins at start: its first '>' outside
        // an attribute value.
        private int TagEnd(int start)
        {
            char quote = '\0';
            for (int i = start; i < partText.Length; i++)
            {
                char c = partText[i];
                if (quote != '\0')
                {
                    if (c == quote)
                        quote = '\0';
                }
                else if (c is '"' or '\'')
                    quote = c;
                else if (c == '>')
                    return i + 1;
            }
            throw new XmlException("A start tag does not end.");
        }

        // Line breaks as XML counts them: CR LF, CR or LF.
        private static int[] LineStarts(string text)
        {
            var starts = new System.Collections.Generic.List<int> { 0 };
            for (int i = 0; i < text.Length; i++)
            {
                char c = text[i];
                if (c == '\r' && i + 1 < text.Length && text[i + 1] == '\n')
                    i++;
                if (c is '\r' or '\n')
                    starts.Add(i + 1);
            }
            return starts.ToArray();
        }

        private bool DeclaresNamespaces()
        {
            if (!reader.HasAttributes)
                return false;
            bool declares = false;
            while (!declares && reader.MoveToNextAttribute())
                declares = reader.NamespaceURI == XmlnsNamespace;
            reader.MoveToElement();
            return declares;
        }

        private NamespaceScope ScopeHere() =>
            new(((IXmlNamespaceResolver)reader).GetNamespacesInScope(XmlNamespaceScope.ExcludeXml));
    }
}
