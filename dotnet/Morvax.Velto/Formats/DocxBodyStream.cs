// The main part read with a streaming tokenizer over its UTF-8 bytes
// (XmlTokenizer) rather than the SDK's element tree, which costs many times
// more time and memory on a large document.  Paragraphs of plain runs (text, tabs, breaks), tables, rows and
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
using DocumentFormat.OpenXml;
using DocumentFormat.OpenXml.Packaging;
using Morvax.Velto.Tables;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static partial class DocxReader
{
    // A part's bytes as the streaming reader takes them: UTF-8, as nearly
    // every part is, kept as they are; a part in UTF-16 (by its byte order
    // mark) or with bytes that are not UTF-8 is decoded as before (invalid
    // bytes becoming U+FFFD) and encoded again, so that markup is always
    // cut from valid UTF-8.  PackageLimits has bounded how far the part
    // inflates.
    private static byte[] Utf8Of(byte[] part)
    {
        ReadOnlySpan<byte> bytes = part;
        bool utf16 = bytes.StartsWith(Utf16LeBom) || bytes.StartsWith(Utf16BeBom);
        if (!utf16 && System.Text.Unicode.Utf8.IsValid(bytes))
            return part;
        string text = utf16 ? TextOf(new MemoryStream(part, writable: false))
            : Encoding.UTF8.GetString(bytes.StartsWith(Utf8Bom) ? bytes[Utf8Bom.Length..] : bytes);
        return Encoding.UTF8.GetBytes(text);
    }

    private static byte[] PartBytes(OpenXmlPart part)
    {
        using Stream stream = part.GetStream(FileMode.Open, FileAccess.Read);
        return PackageLimits.ReadBounded(stream);
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
        // No DTD is read, so no entity is expanded or fetched: a part that
        // has one fails as malformed XML.
        private XmlTokenizer reader = null!;
        // The part's UTF-8 bytes, which the reader reads and markup is cut
        // from.
        private byte[] part = Array.Empty<byte>();
        private NamespaceScope scope = null!;
        private Func<string, string?> attribute = null!;

        // Reads the body from the main part's bytes.  Returns the part's
        // root as an SDK element holding all but the body's content (what
        // the writer needs of it), or null, with nothing read, when the part
        // is not a transitional document.
        public W.Document? ReadStream(byte[] bytes)
        {
            part = Utf8Of(bytes);
            Part = part;
            int bom = part.AsSpan().StartsWith(Utf8Bom) ? Utf8Bom.Length : 0;
            // UTF-8 whatever the declaration says, as the part's own bytes are.
            var xml = new XmlTokenizer(part, bom);
            reader = xml;
            attribute = name => reader.GetAttribute(name, WordMl.W);
            xml.MoveToContent();
            if (xml.Kind != XmlToken.Element || xml.LocalName != "document" || xml.NamespaceUri != WordMl.W)
                return null;
            scope = ScopeHere();
            int rootStart = ElementStart();
            int rootTagEnd = TagEnd();
            var root = new StringBuilder();
            AppendMarkup(root, rootStart, rootTagEnd);
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
                        int bodyTagEnd = TagEnd();
                        bool empty = xml.IsEmptyElement;
                        AppendMarkup(root, bodyStart, bodyTagEnd - (empty ? 0 : 1)).Append(empty ? "" : "/>");
                        if (!empty)
                        {
                            closed = ReadBodyStream();
                            // On the body's end tag.
                            BodyContent = Slice(bodyTagEnd, reader.TokenStart, MarkupParent.Body);
                        }
                    }
                    else
                    {
                        (int start, int end) = SkipElement();
                        AppendMarkup(root, start, end);
                    }
                }
                root.Append("</").Append(rootName).Append('>');
            }
            // Past the root only comments, processing instructions and white
            // space may stand: anything else makes the part malformed.
            while (xml.Read())
            {
            }
            Finish(closed);
            return new W.Document(root.ToString());
        }

        // The body's children; true when the last of them ended a section.
        private bool ReadBodyStream()
        {
            NamespaceScope outer = scope;
            if (reader.DeclaresNamespaces)
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
                    (int start, int end) = SkipElement();
                    LastSectionMarkup = Slice(start, end, MarkupParent.Body);
                    EndSection((W.SectionProperties)LastSectionMarkup.Element);
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
            if (reader.DeclaresNamespaces)
                scope = ScopeHere();
            var paragraph = new Paragraph(doc);
            ParagraphReading reading = paragraphReading.Start(paragraph);
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
                int end = TagEnd();
                scope = outer;
                ReadListFormat(paragraph.ListFormat, reading.StyleId, reading.NumId, reading.Level);
                ParagraphFormat snapshot = paragraphFormats.Snapshot(paragraph.ParagraphFormat);
                paragraph.Origin = new ParagraphOrigin(Slice(start, end, parent), snapshot,
                    paragraph.ListFormat.ListLevelNumber, paragraph.ListFormat.List, ChildrenOf(paragraph));
                return paragraph;
            }
            // What was read of it is dropped; nothing else saw it.
            SkipTo(depth);
            scope = outer;
            var p = (W.Paragraph)Materialise((start, TagEnd()), parent);
            ends = p.ParagraphProperties?.SectionProperties;
            return ReadParagraph(p);
        }

        // A paragraph's style, numbering and formatting as its properties
        // are read.  The formatting starts from the style, which is the
        // properties' first child when given.  One paragraph is read at a
        // time, so one of these serves them all.
        private sealed class ParagraphReading
        {
            private Paragraph paragraph = null!;
            private Font? styleFont;

            public ParagraphReading Start(Paragraph read)
            {
                paragraph = read;
                styleFont = null;
                StyleId = NumId = Level = null;
                return this;
            }

            public ParagraphFormat Format => paragraph.ParagraphFormat;

            public string? StyleId, NumId, Level;

            public Font Begin(BodyReader reader)
            {
                if (styleFont is not null)
                    return styleFont;
                (Font font, ParagraphFormat format) = reader.styles.Paragraph(StyleId);
                paragraph.ParagraphFormat.CopyFrom(format);
                // As the style property reads it.
                if (StyleId is { Length: > 0 } id)
                    paragraph.ParagraphFormat.StyleName = reader.styles.Names.NameOf(id);
                return styleFont = font;
            }
        }

        private readonly ParagraphReading paragraphReading = new();

        // The snapshots of paragraph formats read so far, so that paragraphs
        // formatted alike share one (which nothing changes), as runs do.
        private readonly FormattingSet<ParagraphFormat> paragraphFormats = new((a, b) => a.HasSameFormatting(b),
            format =>
            {
                var snapshot = new ParagraphFormat();
                snapshot.CopyFrom(format);
                return snapshot;
            });

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
                if (reader.NamespaceUri == WordMl.W)
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
                    if (reader.NamespaceUri != WordMl.W)
                        return false;
                    switch (reader.LocalName)
                    {
                        case "rPr" when first:
                            font = new Font();
                            font.CopyFrom(paragraphFont);
                            if (!StreamRunProperties(font))
                                return false;
                            font = fonts.Snapshot(font);
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
            int end = TagEnd();
            var run = new Run(doc, piece ?? text.ToString());
            run.ShareFormatting(font);
            run.Origin = new RunOrigin(part, start, end - start, scope, font, run.Text);
            paragraph.AppendChild(run);
            return true;
        }

        private readonly FormattingSet<Font> fonts = new((a, b) => a.HasSameFormatting(b), font => font);

        // The formats read so far, so that nodes formatted alike share one
        // snapshot (which nothing changes).  A document with more distinct
        // formats than the set holds gets copies for the rest.
        private sealed class FormattingSet<T> where T : class
        {
            private const int MaxShared = 64;
            private readonly System.Collections.Generic.List<T> known = new();
            private readonly Func<T, T, bool> same;
            private readonly Func<T, T> copy;

            // copy: the snapshot of a format no snapshot is like yet.
            public FormattingSet(Func<T, T, bool> same, Func<T, T> copy)
            {
                this.same = same;
                this.copy = copy;
            }

            public T Snapshot(T format)
            {
                foreach (T other in known)
                {
                    if (same(other, format))
                        return other;
                }
                T made = copy(format);
                if (known.Count < MaxShared)
                    known.Add(made);
                return made;
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
                if (reader.NamespaceUri == WordMl.W)
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
            while (Read() && !(reader.Kind == XmlToken.EndElement && reader.Depth == depth))
            {
                if (reader.Kind == XmlToken.Text)
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
                if (reader.NamespaceUri == WordMl.W)
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
            bool textless = reader.IsEmptyElement && reader.NamespaceUri == WordMl.W && IsTextlessMark(reader.LocalName);
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
            int tagEnd = TagEnd();
            var markup = new StringBuilder();
            AppendMarkup(markup, start, tagEnd);
            bool empty = reader.IsEmptyElement;
            if (!empty)
            {
                string name = reader.Name;
                if (reader.DeclaresNamespaces)
                    scope = ScopeHere();
                int depth = reader.Depth;
                var taken = new bool[propertyNames.Length];
                while (NextChild(depth))
                {
                    int index = reader.NamespaceUri == WordMl.W ? Array.IndexOf(propertyNames, reader.LocalName) : -1;
                    if (index >= 0)
                    {
                        int childStart = ElementStart();
                        bool first = !taken[index];
                        taken[index] = true;
                        if (first && index == propertyNames.Length - 1)
                            ReadSettings(readSetting);
                        Consume();
                        if (!first)
                            continue;
                        int childEnd = TagEnd();
                        AppendMarkup(markup, childStart, childEnd);
                    }
                    else if (child() is { } node)
                        container.AppendChild(node);
                    else
                        container.AppendChild(KeptHere(kind));
                }
                markup.Append("</").Append(name).Append('>');
            }
            scope = outer;
            int end = empty ? tagEnd : TagEnd();
            whole = Slice(start, end, parent);
            head = new RawMarkup(markup.ToString(), 0, markup.Length, scope, parent);
        }

        // The body's content (all between its start and end tags) and the
        // last section properties among its children, as read: a body that
        // saving finds unchanged is this markup.
        public RawMarkup? BodyContent { get; private set; }

        public RawMarkup? LastSectionMarkup { get; private set; }

        private OpenXmlElement Materialise((int Start, int End) slice, MarkupParent parent) =>
            Slice(slice.Start, slice.End, parent).Element;

        private RawMarkup Slice(int start, int end, MarkupParent parent) => new(part, start, end - start, scope, parent);

        // What the slices are cut from: the part's UTF-8 bytes.
        public object Part { get; private set; } = string.Empty;

        // Appends the markup between two offsets of the part, decoded.
        private StringBuilder AppendMarkup(StringBuilder target, int start, int end)
        {
            ReadOnlySpan<byte> markup = part.AsSpan(start, end - start);
            if (decodeBuffer.Length < markup.Length)
                decodeBuffer = new char[System.Math.Max(markup.Length, decodeBuffer.Length * 2)];
            int chars = Encoding.UTF8.GetChars(markup, decodeBuffer);
            return target.Append(decodeBuffer, 0, chars);
        }

        private char[] decodeBuffer = new char[1024];

        private bool IsW(string localName) => reader.LocalName == localName && reader.NamespaceUri == WordMl.W;

        // Moves to the next child element of the element at depth, over
        // text and whitespace between elements; false at the element's end.
        private bool NextChild(int depth)
        {
            while (Read())
            {
                if (reader.Kind == XmlToken.Element && reader.Depth == depth + 1)
                    return true;
                if (reader.Kind == XmlToken.EndElement && reader.Depth == depth)
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
            if (reader.Kind == XmlToken.Element && !reader.IsEmptyElement)
                SkipTo(reader.Depth);
        }

        // Reads on to the end of the element at depth that the reader is in.
        private void SkipTo(int depth)
        {
            while (!(reader.Kind == XmlToken.EndElement && reader.Depth == depth) && Read())
            {
            }
        }

        // The element the reader is on, as offsets into the part's text; the
        // reader is left on its end.
        private (int Start, int End) SkipElement()
        {
            int start = ElementStart();
            Consume();
            return (start, TagEnd());
        }

        // Where the token the reader is on begins ('<').
        private int ElementStart() => reader.TokenStart;

        // Just past the tag the reader is on (a start tag, an empty element's
        // tag, or an end tag).
        private int TagEnd() => reader.TokenEnd;

        private NamespaceScope ScopeHere() => new(reader.NamespacesInScope());
    }
}
