// DocxReader: reads a WordprocessingML package (.docx, .docm, .dotx, .dotm)
// into a document through the Open XML SDK, the main part's body with a
// streaming reader (DocxBodyStream.cs) that hands what it does not model to
// the SDK-based code here as SDK elements.  Paragraphs, runs, tables, rows,
// cells and sections become nodes; what the tree has no node for becomes a
// KeptBlock or KeptInline that holds the element in its place.  Every node
// remembers the element it came from (Node.Origin), and the document keeps
// the package (DocxSource), so that DocxWriter can write back everything
// unchanged that the caller did not change.  The package passes
// PackageLimits first; anything unreadable is a FileCorruptedException.
using System;
using System.Collections.Generic;
using System.Globalization;
using System.IO;
using System.Linq;
using System.Text;
using DocumentFormat.OpenXml;
using DocumentFormat.OpenXml.Packaging;
using Morvax.Velto.Fields;
using Morvax.Velto.Tables;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static partial class DocxReader
{
    internal static OpenSettings OpenSettings => new()
    {
        MaxCharactersInPart = PackageLimits.MaxPartBytes,
        MarkupCompatibilityProcessSettings =
            new MarkupCompatibilityProcessSettings(MarkupCompatibilityProcessMode.NoProcess, FileFormatVersions.Office2007),
    };

    // Returns the format the package declares itself to be.
    public static LoadFormat Read(Document doc, byte[] data)
    {
        (string Name, byte[] Content)? mainPart = PackageLimits.CheckPackage(data);
        try
        {
            using var stream = new MemoryStream(data, writable: false);
            using WordprocessingDocument package = WordprocessingDocument.Open(stream, false, OpenSettings);
            return Import(doc, package, data, mainPart);
        }
        catch (Exception e) when (e is not (FileCorruptedException or UnsupportedFileFormatException
                                      or OutOfMemoryException or OperationCanceledException))
        {
            throw new FileCorruptedException(e);
        }
    }

    internal static LoadFormat FormatOf(WordprocessingDocumentType type) => type switch
    {
        WordprocessingDocumentType.MacroEnabledDocument => LoadFormat.Docm,
        WordprocessingDocumentType.Template => LoadFormat.Dotx,
        WordprocessingDocumentType.MacroEnabledTemplate => LoadFormat.Dotm,
        _ => LoadFormat.Docx,
    };

    // mainPart: the main part as CheckPackage inflated it, without checking
    // its depth.
    private static LoadFormat Import(Document doc, WordprocessingDocument package, byte[] data,
        (string Name, byte[] Content)? mainPart)
    {
        MainDocumentPart main = package.MainDocumentPart
            ?? throw new InvalidDataException("The package has no main document part.");
        var sheet = new StyleSheet(main.StyleDefinitionsPart?.Styles);
        sheet.Fill(doc.Styles);
        if (main.DocumentSettingsPart?.Settings is { } settings)
            DocxSettings.Read(doc, settings);
        doc.HasGlossaryPart = main.GlossaryDocumentPart is not null;
        DocxPackageContent.Read(doc, package, main);
        doc.PackageCustomParts = DocxPackageParts.Read(data);
        if (main.VbaProjectPart is { } vba)
        {
            using Stream vbaStream = vba.GetStream(FileMode.Open, FileAccess.Read);
            doc.MacroProject = PackageLimits.ReadBounded(vbaStream);
        }
        var source = new DocxSource(data, sheet.Names, sheet.DefaultFont)
        {
            Sheet = sheet,
            BuiltInProperties = DocxProperties.ReadBuiltIn(doc, package),
            CustomProperties = DocxProperties.ReadCustom(doc, package),
        };
        DocxNumbering.Read(doc, main.NumberingDefinitionsPart?.Numbering);
        DocxFontTable.Read(doc, main.FontTablePart?.Fonts);
        var body = new BodyReader(doc, sheet, main, source);
        byte[]? mainBytes = mainPart is { } read
            && string.Equals("/" + read.Name, Uri.UnescapeDataString(main.Uri.OriginalString), StringComparison.OrdinalIgnoreCase)
            ? read.Content : null;
        W.Document root = body.ReadStream(mainBytes ?? PartBytes(main)) ?? ReadTree(main, body, mainBytes);
        source.MainPart = body.Part;
        source.BodyContent = body.BodyContent;
        source.LastSectionMarkup = body.LastSectionMarkup;
        source.MainRoot = root;
        doc.Compliance = DocxSettings.ComplianceOf(root, main.DocumentSettingsPart?.Settings);
        doc.EnsureMinimum();
        // Every paragraph read has an origin: one without is the paragraph a
        // section's body was completed with.
        for (Node? section = doc.FirstChild; section is not null; section = section.NextSibling)
        {
            if (section is Section { Body.LastChild: Paragraph { Origin: null } filler })
                source.Fillers.Add(filler);
        }
        doc.PackageSource = source;
        return FormatOf(package.DocumentType);
    }

    // A main part the streaming reader leaves alone, through the SDK's tree.
    private static W.Document ReadTree(MainDocumentPart main, BodyReader body, byte[]? notScanned)
    {
        if (notScanned is not null)
            PackageLimits.CheckXmlDepth(notScanned, main.Uri.OriginalString);
        W.Document root = main.Document ?? throw new InvalidDataException("The main part is empty.");
        body.Read(root.Body);
        return root;
    }

    // The styles part: style names and ids, and the formatting of each
    // style resolved through the styles it is based on, from the document
    // defaults up.  Base chains are followed at most MaxChain steps, so a
    // cycle cannot recurse for ever.
    internal sealed class StyleSheet
    {
        private const int MaxChain = 32;

        private readonly Dictionary<string, W.Style> byId = new(StringComparer.Ordinal);
        private readonly Dictionary<string, (Font Font, ParagraphFormat Format)> resolved = new(StringComparer.Ordinal);
        private readonly (Font Font, ParagraphFormat Format) defaults;

        public StyleSheet(W.Styles? part)
        {
            Font font = new();
            if (part?.DocDefaults?.RunPropertiesDefault?.RunPropertiesBaseStyle is { } runDefaults)
                ApplyRunProperties(font, runDefaults);
            var format = new ParagraphFormat();
            if (part?.DocDefaults?.ParagraphPropertiesDefault?.ParagraphPropertiesBaseStyle is { } paragraphDefaults)
                ApplyParagraphProperties(format, paragraphDefaults, Names);
            defaults = (font, format);
            foreach (W.Style style in part?.Elements<W.Style>() ?? Enumerable.Empty<W.Style>())
            {
                if (style.StyleId?.Value is not { Length: > 0 } id || !byId.TryAdd(id, style))
                    continue;
                if (style.Type?.InnerText == "paragraph")
                {
                    Names.Add(id, NameOf(style), OnOff(style.Default?.InnerText) && style.Default is not null);
                }
            }
            format.StyleName = Names.DefaultStyleName;
        }

        public StyleNames Names { get; } = new();

        public Font DefaultFont => defaults.Font;

        internal static string NameOf(W.Style style) =>
            style.StyleName?.Val?.Value is { Length: > 0 } given ? Canonical(given) : style.StyleId!.Value!;

        // The formatting a paragraph of that style starts with (null: the
        // default paragraph style).
        public (Font Font, ParagraphFormat Format) Paragraph(string? id) =>
            Resolve(id ?? Names.DefaultStyleId, 0);

        // The list a paragraph of that style belongs to, as (numbering id,
        // level), from the nearest style in its chain that says.
        public (int? NumId, int? Level) ListOf(string? id)
        {
            int? numId = null, level = null;
            id ??= Names.DefaultStyleId;
            for (int depth = 0; id is not null && depth < MaxChain && byId.TryGetValue(id, out W.Style? style); depth++)
            {
                if (style.StyleParagraphProperties?.NumberingProperties is { } numPr)
                {
                    numId ??= Number(numPr.NumberingId?.Val?.InnerText);
                    level ??= Number(numPr.NumberingLevelReference?.Val?.InnerText);
                }
                id = style.BasedOn?.Val?.Value is { } basedOn && basedOn != id ? basedOn : null;
            }
            return (numId, level);
        }

        // Applies a character style, with the styles it is based on.
        public void ApplyCharacterStyle(Font font, string id, int depth = 0)
        {
            if (depth >= MaxChain || !byId.TryGetValue(id, out W.Style? style))
                return;
            if (style.BasedOn?.Val?.Value is { } basedOn && basedOn != id)
                ApplyCharacterStyle(font, basedOn, depth + 1);
            if (style.StyleRunProperties is { } rPr)
                ApplyRunProperties(font, rPr);
        }

        private (Font Font, ParagraphFormat Format) Resolve(string? id, int depth)
        {
            if (id is null || !byId.TryGetValue(id, out W.Style? style) || depth >= MaxChain)
                return defaults;
            if (resolved.TryGetValue(id, out var done))
                return done;
            var (baseFont, baseFormat) = style.BasedOn?.Val?.Value is { } basedOn && basedOn != id
                ? Resolve(basedOn, depth + 1)
                : defaults;
            var font = new Font();
            font.CopyFrom(baseFont);
            var format = new ParagraphFormat();
            format.CopyFrom(baseFormat);
            if (style.StyleRunProperties is { } rPr)
                ApplyRunProperties(font, rPr);
            if (style.StyleParagraphProperties is { } pPr)
                ApplyParagraphProperties(format, pPr, Names);
            if (style.Type?.InnerText == "paragraph")
                format.StyleName = NameOf(style);
            return resolved[id] = (font, format);
        }

        // The document's styles as the API shows them.
        public void Fill(StyleCollection collection)
        {
            collection.Clear();
            foreach ((string id, W.Style style) in byId)
            {
                string name = NameOf(style);
                var entry = new Style
                {
                    Name = name,
                    Type = style.Type?.InnerText switch
                    {
                        "character" => StyleType.Character,
                        "table" => StyleType.Table,
                        "numbering" => StyleType.List,
                        _ => StyleType.Paragraph,
                    },
                    BuiltIn = style.CustomStyle?.InnerText is not ("1" or "true" or "on"),
                    StyleIdentifier = name == ParagraphFormat.DefaultStyleName ? StyleIdentifier.Normal
                        : Enum.TryParse(name.Replace(" ", ""), out StyleIdentifier known) && Enum.IsDefined(known)
                            && !int.TryParse(name, out _) ? known
                        : StyleIdentifier.User,
                    BaseStyleName = style.BasedOn?.Val?.Value is { } basedOn && byId.TryGetValue(basedOn, out W.Style? b)
                        ? NameOf(b)
                        : string.Empty,
                };
                if (entry.Type == StyleType.Character)
                {
                    entry.Font.CopyFrom(defaults.Font);
                    ApplyCharacterStyle(entry.Font, id);
                }
                else
                {
                    var (font, format) = Resolve(id, 0);
                    entry.Font.CopyFrom(font);
                    entry.ParagraphFormat.CopyFrom(format);
                }
                entry.StyleId = id;
                entry.KeepAsRead();
                collection.Add(entry);
            }
        }
    }

    // Word stores the built-in names in lower case ("heading 1").
    private static string Canonical(string name) => name switch
    {
        "normal" => "Normal",
        _ when name.StartsWith("heading ", StringComparison.Ordinal) => "H" + name[1..],
        _ => name,
    };

    // Character formatting from a run properties element (or the document
    // defaults, which have the same children).
    internal static void ApplyRunProperties(Font font, OpenXmlElement rPr)
    {
        foreach (OpenXmlElement e in rPr.ChildElements)
        {
            if (e.NamespaceUri == WordMl.W)
                ApplyRunProperty(font, e.LocalName, name => WordMl.Attribute(e, name));
        }
    }

    // One run property by its local name; attribute gives the value of one
    // of its attributes in the main namespace.  The SDK's tree and the
    // streaming reader both read properties through here.
    internal static void ApplyRunProperty(Font font, string property, Func<string, string?> attribute)
    {
        switch (property)
        {
            case "rFonts":
                string? name = attribute("ascii") ?? attribute("hAnsi");
                if (!string.IsNullOrEmpty(name))
                    font.Name = name;
                break;
            case "b":
                font.Bold = OnOff(attribute("val"));
                break;
            case "i":
                font.Italic = OnOff(attribute("val"));
                break;
            case "caps":
                font.AllCaps = OnOff(attribute("val"));
                break;
            case "strike":
                font.StrikeThrough = OnOff(attribute("val"));
                break;
            case "vanish":
                font.Hidden = OnOff(attribute("val"));
                break;
            case "sz":
                if (int.TryParse(attribute("val"), NumberStyles.None, CultureInfo.InvariantCulture, out int halfPoints)
                    && halfPoints / 2.0 is >= Font.MinSize and <= Font.MaxSize)
                    font.Size = halfPoints / 2.0;
                break;
            case "u":
                font.Underline = WordMl.ValueOf(WordMl.Underlines, attribute("val")) ?? Underline.Single;
                break;
            case "color" or "highlight":
                DocxColors.ReadRunProperty(font, property, attribute("val"));
                break;
            case "bdr":
                DocxBorders.ReadBorder(font.Border, attribute);
                break;
            case "shd":
                DocxBorders.ReadShading(font.Shading, attribute);
                break;
            case "vertAlign":
                string? position = attribute("val");
                font.Superscript = position == "superscript";
                font.Subscript = position == "subscript";
                break;
        }
    }

    internal static void ApplyParagraphProperties(ParagraphFormat format, OpenXmlElement pPr, StyleNames styles)
    {
        foreach (OpenXmlElement e in pPr.ChildElements)
        {
            if (e.NamespaceUri != WordMl.W)
                continue;
            if (e.LocalName == "pBdr")
                DocxBorders.Read(format.Borders, e);
            else
                ApplyParagraphProperty(format, e.LocalName, name => WordMl.Attribute(e, name), styles);
        }
    }

    // One paragraph property by its local name, as ApplyRunProperty.
    internal static void ApplyParagraphProperty(ParagraphFormat format, string property, Func<string, string?> attribute,
        StyleNames styles)
    {
        switch (property)
        {
            case "pStyle":
                if (attribute("val") is { Length: > 0 } id)
                    format.StyleName = styles.NameOf(id);
                break;
            case "keepNext":
                format.KeepWithNext = OnOff(attribute("val"));
                break;
            case "keepLines":
                format.KeepTogether = OnOff(attribute("val"));
                break;
            case "spacing":
                if (Points(attribute("before")) is { } before && ParagraphFormat.IsSpacing(before))
                    format.SpaceBefore = before;
                if (Points(attribute("after")) is { } after && ParagraphFormat.IsSpacing(after))
                    format.SpaceAfter = after;
                break;
            case "ind":
                if (Points(attribute("left") ?? attribute("start")) is { } left && ParagraphFormat.IsIndent(left))
                    format.LeftIndent = left;
                if (Points(attribute("right") ?? attribute("end")) is { } right && ParagraphFormat.IsIndent(right))
                    format.RightIndent = right;
                if (Points(attribute("firstLine")) is { } first && ParagraphFormat.IsIndent(first))
                    format.FirstLineIndent = first;
                if (Points(attribute("hanging")) is { } hanging && ParagraphFormat.IsIndent(-hanging))
                    format.FirstLineIndent = -hanging;
                break;
            case "jc":
                if (WordMl.ValueOf(WordMl.Alignments, attribute("val")) is { } alignment)
                    format.Alignment = alignment;
                break;
            case "shd":
                DocxBorders.ReadShading(format.Shading, attribute);
                break;
        }
    }

    // Page size and margins in twips; values out of range are left at
    // their defaults.
    internal static void ReadPageSetup(PageSetup setup, W.SectionProperties sectPr)
    {
        static void Set(Action<double> set, string? twips)
        {
            if (Points(twips) is { } points && points >= -PageSetup.MaxLength && points <= PageSetup.MaxLength)
            {
                try
                {
                    set(points);
                }
                catch (ArgumentOutOfRangeException)
                {
                }
            }
        }
        if (sectPr.GetFirstChild<W.PageSize>() is { } size)
        {
            // The orientation first: turning the page swaps the sizes.
            if (size.Orient?.InnerText == "landscape")
                setup.Orientation = Orientation.Landscape;
            Set(v => setup.PageWidth = v, size.Width?.InnerText);
            Set(v => setup.PageHeight = v, size.Height?.InnerText);
        }
        if (sectPr.GetFirstChild<W.PageMargin>() is { } margin)
        {
            Set(v => setup.TopMargin = v, margin.Top?.InnerText);
            Set(v => setup.BottomMargin = v, margin.Bottom?.InnerText);
            Set(v => setup.LeftMargin = v, margin.Left?.InnerText);
            Set(v => setup.RightMargin = v, margin.Right?.InnerText);
            Set(v => setup.HeaderDistance = v, margin.Header?.InnerText);
            Set(v => setup.FooterDistance = v, margin.Footer?.InnerText);
        }
    }

    // A non-negative decimal number, or null.
    internal static int? Number(string? text) =>
        int.TryParse(text, NumberStyles.None, CultureInfo.InvariantCulture, out int n) ? n : null;

    internal static SectionStart StartOf(W.SectionProperties sectPr) =>
        WordMl.ValueOf(WordMl.SectionStarts, WordMl.Val(sectPr.GetFirstChild<W.SectionType>())) ?? SectionStart.NewPage;


    // An on/off property is on when present without a value.
    internal static bool OnOff(string? value) => value is null or "1" or "true" or "on";

    internal static double? Points(string? twips) =>
        int.TryParse(twips, NumberStyles.AllowLeadingSign, CultureInfo.InvariantCulture, out int value)
            ? value / WordMl.TwipsPerPoint
            : null;

    // The text of markup as the word processor shows it in the flow: text,
    // tabs and breaks; deleted text, field codes and what drawings, text
    // boxes and alternate content hold are not part of it.  Paragraphs inside
    // end with a paragraph mark when asked.  Nesting is bounded by
    // PackageLimits, so the recursion is too.
    internal static string TextOf(OpenXmlElement element, bool paragraphMarks)
    {
        var text = new StringBuilder();
        AppendShownText(element, text, paragraphMarks);
        return text.ToString();
    }

    private static void AppendShownText(OpenXmlElement element, StringBuilder text, bool paragraphMarks)
    {
        switch (element)
        {
            case W.Text t:
                text.Append(t.Text);
                return;
            case W.DeletedRun or W.MoveFromRun or W.DeletedText or W.FieldCode or W.DeletedFieldCode
                or W.RunProperties or W.ParagraphProperties or W.Drawing or W.Picture or W.EmbeddedObject
                or AlternateContent:
                return;
            case W.TabChar or W.PositionalTab:
                text.Append(ControlChar.TabChar);
                return;
            case W.Break br:
                text.Append(BreakChar(br));
                return;
            case W.CarriageReturn:
                text.Append(ControlChar.LineBreakChar);
                return;
            case W.NoBreakHyphen:
                text.Append(ControlChar.NonBreakingHyphenChar);
                return;
            case W.SoftHyphen:
                text.Append(ControlChar.OptionalHyphenChar);
                return;
        }
        foreach (OpenXmlElement child in element.ChildElements)
            AppendShownText(child, text, paragraphMarks);
        if (paragraphMarks && element is W.Paragraph)
            text.Append(ControlChar.ParagraphBreakChar);
    }

    private static char BreakChar(W.Break br) => BreakChar(br.Type?.InnerText);

    private static char BreakChar(string? type) => type switch
    {
        "page" => ControlChar.PageBreakChar,
        "column" => ControlChar.ColumnBreakChar,
        _ => ControlChar.LineBreakChar,
    };

    // Builds the tree of one body: sections end at the paragraphs whose
    // properties hold section properties, and at the body's own.
    private sealed partial class BodyReader
    {
        private readonly Document doc;
        private readonly StyleSheet styles;
        private readonly MainDocumentPart main;
        private readonly Dictionary<int, Lists.List> lists = new();
        // Bookmark names by the identifier that pairs a start with its end.
        private readonly Dictionary<string, string> bookmarkNames = new(StringComparer.Ordinal);
        private readonly StringBuilder text = new();
        private readonly DocxSource source;
        // The complex fields open where reading is: each start with its code
        // so far, and whether its separator was passed.
        private readonly Stack<(FieldStart Start, StringBuilder Code)> openFields = new();
        // Notes and comments by identifier, from their parts, read on first use.
        private Dictionary<string, OpenXmlElement>? footnotes, endnotes, comments;
        private Section section = null!;
        private Body body = null!;

        public BodyReader(Document doc, StyleSheet styles, MainDocumentPart main, DocxSource source)
        {
            this.doc = doc;
            this.styles = styles;
            this.main = main;
            this.source = source;
            foreach (Lists.List list in doc.Lists)
                lists.TryAdd(list.ListId, list);
        }

        public void Read(W.Body? source)
        {
            StartSection();
            if (source is null)
                return;
            bool closed = false;
            foreach (OpenXmlElement child in source.ChildElements)
            {
                closed = false;
                switch (child)
                {
                    case W.Paragraph p:
                        body.AppendChild(ReadParagraph(p));
                        if (p.ParagraphProperties?.SectionProperties is { } ends)
                        {
                            EndSection(ends);
                            closed = true;
                        }
                        break;
                    case W.Table t:
                        body.AppendChild(ReadTable(t));
                        break;
                    case W.SectionProperties last:
                        EndSection(last);
                        closed = true;
                        break;
                    default:
                        body.AppendChild(Kept(child));
                        break;
                }
            }
            Finish(closed);
        }

        // closed: the last section ended with the body's last element.
        private void Finish(bool closed)
        {
            // The last section ended with the last paragraph: the empty one
            // opened after it is not the document's.
            if (closed && !ReferenceEquals(section, doc.FirstSection))
                section.Remove();
            // The writer rewrites these parts whole, so it needs each of them
            // even when nothing in the body referred to it.
            footnotes ??= Index(main.FootnotesPart?.Footnotes, r => this.source.FootnotesRoot = r);
            endnotes ??= Index(main.EndnotesPart?.Endnotes, r => this.source.EndnotesRoot = r);
            comments ??= Index(main.WordprocessingCommentsPart?.Comments, r => this.source.CommentsRoot = r);
        }

        private void StartSection()
        {
            section = (Section)doc.AppendChild(new Section(doc));
            body = (Body)section.AppendChild(new Body(doc));
        }

        private void EndSection(W.SectionProperties sectPr)
        {
            section.Start = StartOf(sectPr);
            ReadPageSetup(section.PageSetup, sectPr);
            var snapshot = new PageSetup();
            snapshot.CopyFrom(section.PageSetup);
            section.Origin = new SectionOrigin(sectPr, section.Start, snapshot, ReadHeadersFooters(sectPr));
            StartSection();
        }

        // The headers and footers the section names, each from its part; a
        // reference to a part that is missing or of another kind is kept in
        // the section's properties but gives no node.
        private string[] ReadHeadersFooters(W.SectionProperties sectPr)
        {
            var ids = new List<string>();
            foreach (OpenXmlElement reference in sectPr.ChildElements)
            {
                (string? id, string? kind, bool header) = reference switch
                {
                    W.HeaderReference h => (h.Id?.Value, h.Type?.InnerText, true),
                    W.FooterReference f => (f.Id?.Value, f.Type?.InnerText, false),
                    _ => (null, null, false),
                };
                if (id is null || !main.TryGetPartById(id, out OpenXmlPart? part))
                    continue;
                OpenXmlElement? root = part switch
                {
                    HeaderPart h when header => h.Header,
                    FooterPart f when !header => f.Footer,
                    _ => null,
                };
                if (root is null)
                    continue;
                var story = new HeaderFooter(doc, DocxSource.HeaderFooterTypeOf(kind, header));
                ReadBlocks(root, story);
                story.Origin = new StoryOrigin(root, id);
                section.AppendChild(story);
                ids.Add(id);
            }
            return ids.ToArray();
        }

        private void ReadBlocks(OpenXmlElement container, CompositeNode story)
        {
            foreach (OpenXmlElement child in container.ChildElements)
            {
                story.AppendChild(child switch
                {
                    W.Paragraph p => ReadParagraph(p),
                    W.Table t => ReadTable(t),
                    _ => Kept(child),
                });
            }
        }

        // A paragraph's own numbering properties win over its style's; the
        // numbering id 0 takes a paragraph out of a list.
        private void ReadListFormat(Lists.ListFormat list, string? styleId, W.NumberingProperties? numPr) =>
            ReadListFormat(list, styleId, numPr?.NumberingId?.Val?.InnerText, numPr?.NumberingLevelReference?.Val?.InnerText);

        // The same from the numbering id and level as written (null: not given).
        private void ReadListFormat(Lists.ListFormat list, string? styleId, string? numIdText, string? levelText)
        {
            (int? numId, int? level) = styles.ListOf(styleId);
            numId = Number(numIdText) ?? numId;
            level = Number(levelText) ?? level;
            if (numId is not { } id || id == 0 || !lists.TryGetValue(id, out Lists.List? numbered))
                return;
            list.List = numbered;
            list.ListLevelNumber = System.Math.Min(level ?? 0, Lists.ListFormat.MaxLevel);
        }

        private KeptBlock Kept(OpenXmlElement element) => new(doc, element, TextOf(element, true));

        private Paragraph ReadParagraph(W.Paragraph p)
        {
            var paragraph = new Paragraph(doc);
            ParagraphFormat format = paragraph.ParagraphFormat;
            // The paragraph starts from its style, with what the style
            // inherits; its own properties come on top.
            string? styleId = p.ParagraphProperties?.ParagraphStyleId?.Val?.Value;
            (Font styleFont, ParagraphFormat styleFormat) = styles.Paragraph(styleId);
            format.CopyFrom(styleFormat);
            ReadListFormat(paragraph.ListFormat, styleId, p.ParagraphProperties?.NumberingProperties);
            foreach (OpenXmlElement child in p.ChildElements)
            {
                if (child is W.ParagraphProperties pPr)
                    ApplyParagraphProperties(format, pPr, styles.Names);
                else
                    ReadInline(child, paragraph, styleFont);
            }
            var snapshot = new ParagraphFormat();
            snapshot.CopyFrom(format);
            paragraph.Origin = new ParagraphOrigin(p, snapshot, paragraph.ListFormat.ListLevelNumber, paragraph.ListFormat.List,
                ChildrenOf(paragraph));
            return paragraph;
        }

        private static Node[] ChildrenOf(CompositeNode parent)
        {
            var children = new Node[parent.Count];
            int i = 0;
            for (Node? child = parent.FirstChild; child is not null; child = child.NextSibling)
                children[i++] = child;
            return children;
        }

        // One child of a paragraph (or of a link or simple field inside it)
        // as the nodes it stands for.
        private void ReadInline(OpenXmlElement child, CompositeNode paragraph, Font paragraphFont)
        {
            switch (child)
            {
                case W.Run r when IsSplit(r):
                    ReadSplitRun(r, paragraph, paragraphFont);
                    break;
                case W.Run r:
                    paragraph.AppendChild(ReadRun(r, paragraphFont));
                    break;
                case W.BookmarkStart start when start.Name?.Value is { Length: > 0 } name && start.Id?.Value is { } id:
                    bookmarkNames[id] = name;
                    paragraph.AppendChild(new BookmarkStart(doc, name) { Origin = new BookmarkOrigin(start, name) });
                    break;
                case W.BookmarkEnd end when end.Id?.Value is { } id && bookmarkNames.TryGetValue(id, out string? name):
                    paragraph.AppendChild(new BookmarkEnd(doc, name) { Origin = new BookmarkOrigin(end, name) });
                    break;
                case W.CommentRangeStart start when Number(start.Id?.Value) is { } id:
                    paragraph.AppendChild(new CommentRangeStart(doc, id) { Origin = new RangeOrigin(start, id) });
                    break;
                case W.CommentRangeEnd end when Number(end.Id?.Value) is { } id:
                    paragraph.AppendChild(new CommentRangeEnd(doc, id) { Origin = new RangeOrigin(end, id) });
                    break;
                // A content control holds its content as nodes; one with
                // field marks stays markup, as a field may run into or out
                // of it.
                case W.SdtRun sdt when sdt.SdtContentRun is { } content && !content.Descendants<W.FieldChar>().Any():
                    var control = DocxContentControls.Read(doc, sdt, Markup.MarkupLevel.Inline);
                    paragraph.AppendChild(control);
                    foreach (OpenXmlElement inner in content.ChildElements)
                        ReadInline(inner, control, paragraphFont);
                    control.Origin = DocxContentControls.Origin(control, sdt);
                    break;
                case W.SimpleField simple:
                    ReadWholeField(simple, simple.Instruction?.Value ?? string.Empty, simple.ChildElements
                        .Where(e => e is not W.SimpleFieldRuby), paragraph, paragraphFont);
                    break;
                case W.Hyperlink link:
                    ReadWholeField(link, LinkCode(link), link.ChildElements, paragraph, paragraphFont);
                    break;
                default:
                    paragraph.AppendChild(new KeptInline(doc, child, TextOf(child, false)));
                    break;
            }
        }

        // A simple field or a hyperlink: the same marks and code as a complex
        // field, around the result read from the element's children.  Each
        // made node carries the element it would be written as unchanged.
        private void ReadWholeField(OpenXmlElement whole, string code, IEnumerable<OpenXmlElement> result, CompositeNode paragraph,
            Font font)
        {
            FieldType type = FieldCodes.TypeOf(code);
            var start = (FieldStart)paragraph.AppendChild(FieldMark(new FieldStart(doc, type), "begin", null, font));
            paragraph.AppendChild(CodeRun(code, null, font));
            paragraph.AppendChild(FieldMark(new FieldSeparator(doc, type), "separate", null, font));
            foreach (OpenXmlElement child in result)
                ReadInline(child, paragraph, font);
            Node end = paragraph.AppendChild(FieldMark(new FieldEnd(doc, type), "end", null, font));
            var nodes = new List<Node>();
            for (Node? node = start; node is not null; node = ReferenceEquals(node, end) ? null : node.NextSibling)
                nodes.Add(node);
            start.Origin = new WholeFieldOrigin(((PlainOrigin)start.Origin!).Element, whole, nodes.ToArray());
        }

        // The code of a link: its address (from a relationship of the part
        // the link is in: a header's links are its own), the place in the
        // document, its tip and the frame it opens in.  A link read on its
        // own from the main part's text belongs to no part's tree.
        private string LinkCode(W.Hyperlink link)
        {
            var code = new StringBuilder("HYPERLINK");
            if (link.Id?.Value is { } id)
            {
                OpenXmlPart owner = link.Ancestors<OpenXmlPartRootElement>().FirstOrDefault()?.OpenXmlPart ?? main;
                HyperlinkRelationship? target = owner.HyperlinkRelationships.FirstOrDefault(r => r.Id == id);
                code.Append(" \"").Append(target?.Uri.OriginalString ?? string.Empty).Append('"');
            }
            foreach ((string? value, string name) in new[] { (link.Anchor?.Value, "l"), (link.Tooltip?.Value, "o"),
                         (link.TargetFrame?.Value, "t") })
            {
                if (value is not null)
                    code.Append(" \\").Append(name).Append(" \"").Append(value).Append('"');
            }
            return code.ToString();
        }

        // A run holding field marks or codes, or a reference to a note or a
        // comment, is read as several nodes.
        private static bool IsSplit(W.Run r)
        {
            for (OpenXmlElement? child = r.FirstChild; child is not null; child = child.NextSibling())
            {
                if (child is W.FieldChar or W.FieldCode or W.FootnoteReference or W.EndnoteReference or W.CommentReference)
                    return true;
            }
            return false;
        }

        // Each piece of the run becomes its node: text, a field mark, code,
        // a note or comment, or markup kept as a run of its own.  A piece
        // remembers a run of just that piece (the run itself when it is the
        // only piece), which is how it is written back unchanged.
        private void ReadSplitRun(W.Run r, CompositeNode paragraph, Font paragraphFont)
        {
            W.RunProperties? rPr = r.RunProperties;
            var font = new Font();
            ApplyRunFont(font, rPr, paragraphFont);
            bool single = r.ChildElements.Count(e => e is not W.RunProperties) == 1;
            var pending = new List<OpenXmlElement>();

            W.Run Piece(IEnumerable<OpenXmlElement> children)
            {
                if (single)
                    return r;
                var piece = new W.Run();
                if (rPr is not null)
                    piece.AppendChild(rPr.CloneNode(true));
                foreach (OpenXmlElement child in children)
                    piece.AppendChild(child.CloneNode(true));
                return piece;
            }

            void Flush()
            {
                if (pending.Count == 0)
                    return;
                W.Run piece = Piece(pending);
                string text = TextOf(piece, false);
                var run = new Run(doc, text);
                run.Font.CopyFrom(font);
                var snapshot = new Font();
                snapshot.CopyFrom(font);
                run.Origin = new RunOrigin(piece, snapshot, text);
                paragraph.AppendChild(run);
                pending.Clear();
            }

            foreach (OpenXmlElement child in r.ChildElements)
            {
                switch (child)
                {
                    case W.RunProperties:
                        break;
                    case W.Text or W.TabChar or W.Break or W.CarriageReturn or W.NoBreakHyphen or W.SoftHyphen
                        or W.LastRenderedPageBreak:
                        pending.Add(child);
                        break;
                    case W.FieldChar mark:
                        Flush();
                        ReadFieldMark(mark.FieldCharType?.InnerText, Piece(new[] { child }), paragraph, font);
                        break;
                    case W.FieldCode code when openFields.Count > 0:
                        Flush();
                        openFields.Peek().Code.Append(code.Text);
                        paragraph.AppendChild(CodeRun(code.Text, Piece(new[] { child }), font));
                        break;
                    case W.FootnoteReference or W.EndnoteReference or W.CommentReference:
                        Flush();
                        W.Run piece = Piece(new[] { child });
                        paragraph.AppendChild(ReadStoryNode(child, piece)
                            ?? new KeptInline(doc, piece, TextOf(piece, false)));
                        break;
                    default:
                        Flush();
                        W.Run kept = Piece(new[] { child });
                        paragraph.AppendChild(new KeptInline(doc, kept, TextOf(kept, false)));
                        break;
                }
            }
            Flush();
        }

        private void ReadFieldMark(string? kind, W.Run piece, CompositeNode paragraph, Font font)
        {
            switch (kind)
            {
                case "begin":
                    var start = new FieldStart(doc, FieldType.FieldNone);
                    openFields.Push((start, new StringBuilder()));
                    paragraph.AppendChild(FieldMark(start, kind, piece, font));
                    // A legacy form field's data lives in its start mark.
                    if (DocxFormFields.Read(doc, piece) is { } formField)
                        paragraph.AppendChild(formField);
                    break;
                case "separate" when openFields.Count > 0:
                    paragraph.AppendChild(FieldMark(new FieldSeparator(doc, TypeOfOpenField()), kind, piece, font));
                    break;
                case "end" when openFields.Count > 0:
                    FieldType type = TypeOfOpenField();
                    openFields.Pop();
                    paragraph.AppendChild(FieldMark(new FieldEnd(doc, type), kind, piece, font));
                    break;
                default:
                    // A mark without its start is not a field: kept as it is.
                    paragraph.AppendChild(new KeptInline(doc, piece, string.Empty));
                    break;
            }
        }

        // The type the open field's code names; settled on its start too.
        private FieldType TypeOfOpenField()
        {
            (FieldStart start, StringBuilder code) = openFields.Peek();
            start.FieldType = FieldCodes.TypeOf(code.ToString());
            return start.FieldType;
        }

        private FieldChar FieldMark(FieldChar mark, string kind, W.Run? piece, Font font)
        {
            mark.Font.CopyFrom(font);
            piece ??= new W.Run(new W.FieldChar { FieldCharType = kind switch
            {
                "begin" => W.FieldCharValues.Begin,
                "separate" => W.FieldCharValues.Separate,
                _ => W.FieldCharValues.End,
            } });
            mark.Origin = new PlainOrigin(piece);
            return mark;
        }

        private Run CodeRun(string code, W.Run? piece, Font font)
        {
            piece ??= new W.Run(new W.FieldCode(code) { Space = SpaceProcessingModeValues.Preserve });
            var run = new Run(doc, code);
            run.Font.CopyFrom(font);
            var snapshot = new Font();
            snapshot.CopyFrom(font);
            run.Origin = new RunOrigin(piece, snapshot, code);
            return run;
        }

        // A footnote, endnote or comment from its part, with its content;
        // null when the part lacks it.
        private Node? ReadStoryNode(OpenXmlElement reference, W.Run piece)
        {
            (string? id, Dictionary<string, OpenXmlElement> stories) = reference switch
            {
                W.FootnoteReference f => (f.Id?.InnerText,
                    footnotes ??= Index(main.FootnotesPart?.Footnotes, r => source.FootnotesRoot = r)),
                W.EndnoteReference e => (e.Id?.InnerText,
                    endnotes ??= Index(main.EndnotesPart?.Endnotes, r => source.EndnotesRoot = r)),
                _ => (((W.CommentReference)reference).Id?.Value,
                    comments ??= Index(main.WordprocessingCommentsPart?.Comments, r => source.CommentsRoot = r)),
            };
            if (id is null || !stories.TryGetValue(id, out OpenXmlElement? element) || !source.StoriesRead.Add(element))
                return null;
            InlineStory story;
            StoryNodeOrigin origin;
            if (element is W.Comment c)
            {
                var comment = new Comment(doc)
                {
                    Id = Number(id) ?? 0,
                    Author = c.Author?.Value ?? string.Empty,
                    Initial = c.Initials?.Value ?? string.Empty,
                    DateTime = DateOf(c.Date?.InnerText),
                };
                story = comment;
                ReadBlocks(element, story);
                origin = new StoryNodeOrigin(piece, element, id, ChildrenOf(story),
                    comment.Author, comment.Initial, comment.DateTime);
            }
            else
            {
                story = new Notes.Footnote(doc, element is W.Endnote ? Notes.FootnoteType.Endnote : Notes.FootnoteType.Footnote);
                ReadBlocks(element, story);
                origin = new StoryNodeOrigin(piece, element, id, ChildrenOf(story));
            }
            story.Origin = origin;
            return story;
        }

        // Word processors write local time with a "Z": the time is kept as
        // written, without a zone.  A date that is not one (some producers
        // write "0-00-00T00:00:00Z") is no date.
        private static DateTime DateOf(string? text) =>
            DateTime.TryParse(text, CultureInfo.InvariantCulture, DateTimeStyles.RoundtripKind, out DateTime date)
                ? DateTime.SpecifyKind(date, DateTimeKind.Unspecified)
                : default;

        // The notes or comments of a part by identifier; the part's root is
        // handed to the source, which writes back what never became a node.
        private static Dictionary<string, OpenXmlElement> Index(OpenXmlElement? root, Action<OpenXmlElement> keep)
        {
            var byId = new Dictionary<string, OpenXmlElement>(StringComparer.Ordinal);
            if (root is null)
                return byId;
            keep(root);
            foreach (OpenXmlElement child in root.ChildElements)
            {
                string? id = WordMl.Attribute(child, "id");
                if (id is not null)
                    byId.TryAdd(id, child);
            }
            return byId;
        }

        // A run of text, tabs and breaks becomes a Run; one holding a single
        // picture becomes a Shape; one holding anything else (a field
        // character, a note reference) is kept whole.
        private Node ReadRun(W.Run r, Font paragraphFont)
        {
            if (DocxShapes.Read(doc, r, main) is { } shape)
                return shape;
            W.RunProperties? rPr = null;
            text.Clear();
            foreach (OpenXmlElement child in r.ChildElements)
            {
                switch (child)
                {
                    case W.RunProperties properties:
                        rPr = properties;
                        break;
                    case W.Text t:
                        text.Append(t.Text);
                        break;
                    case W.TabChar:
                        text.Append(ControlChar.TabChar);
                        break;
                    case W.Break br:
                        text.Append(BreakChar(br));
                        break;
                    case W.CarriageReturn:
                        text.Append(ControlChar.LineBreakChar);
                        break;
                    case W.NoBreakHyphen:
                        text.Append(ControlChar.NonBreakingHyphenChar);
                        break;
                    case W.SoftHyphen:
                        text.Append(ControlChar.OptionalHyphenChar);
                        break;
                    case W.LastRenderedPageBreak:
                        break;
                    default:
                        return new KeptInline(doc, r, TextOf(r, false));
                }
            }
            var run = new Run(doc, text.ToString());
            ApplyRunFont(run.Font, rPr, paragraphFont);
            var snapshot = new Font();
            snapshot.CopyFrom(run.Font);
            run.Origin = new RunOrigin(r, snapshot, run.Text);
            return run;
        }

        // A run's formatting: the paragraph's, its character style's, its own.
        private void ApplyRunFont(Font font, W.RunProperties? rPr, Font paragraphFont)
        {
            font.CopyFrom(paragraphFont);
            if (rPr?.RunStyle?.Val?.Value is { } characterStyle)
                styles.ApplyCharacterStyle(font, characterStyle);
            if (rPr is not null)
                ApplyRunProperties(font, rPr);
        }

        private Table ReadTable(W.Table t)
        {
            var table = new Table(doc);
            if (WordMl.ValueOf(WordMl.TableAlignments, WordMl.Val(t.GetFirstChild<W.TableProperties>()
                    ?.GetFirstChild<W.TableJustification>())) is { } alignment)
                table.Alignment = alignment;
            foreach (OpenXmlElement child in t.ChildElements)
            {
                switch (child)
                {
                    case W.TableProperties or W.TableGrid:
                        break;
                    case W.TableRow tr:
                        table.AppendChild(ReadRow(tr));
                        break;
                    default:
                        table.AppendChild(Kept(child));
                        break;
                }
            }
            table.Origin = new TableOrigin(t, table.Alignment);
            return table;
        }

        private Row ReadRow(W.TableRow tr)
        {
            var row = new Row(doc);
            foreach (OpenXmlElement child in tr.ChildElements)
            {
                switch (child)
                {
                    case W.TableRowProperties or W.TablePropertyExceptions:
                        break;
                    case W.TableCell tc:
                        row.AppendChild(ReadCell(tc));
                        break;
                    default:
                        row.AppendChild(Kept(child));
                        break;
                }
            }
            DocxTableFormats.Read(row.RowFormat, tr.TableRowProperties);
            var snapshot = new RowFormat();
            snapshot.CopyFrom(row.RowFormat);
            row.Origin = new RowOrigin(tr, snapshot);
            return row;
        }

        private Cell ReadCell(W.TableCell tc)
        {
            var cell = new Cell(doc);
            foreach (OpenXmlElement child in tc.ChildElements)
            {
                switch (child)
                {
                    case W.TableCellProperties:
                        break;
                    case W.Paragraph p:
                        cell.AppendChild(ReadParagraph(p));
                        break;
                    case W.Table t:
                        cell.AppendChild(ReadTable(t));
                        break;
                    default:
                        cell.AppendChild(Kept(child));
                        break;
                }
            }
            DocxTableFormats.Read(cell.CellFormat, tc.TableCellProperties);
            var snapshot = new CellFormat();
            snapshot.CopyFrom(cell.CellFormat);
            cell.Origin = new CellOrigin(tc, snapshot);
            return cell;
        }
    }
}
