// DocxReader: reads a WordprocessingML package into a document: paragraphs
// with their formatting, runs with their character formatting, section
// breaks, the settings this library keeps, the recorded word count and a
// macro project.  The main part is read as a stream without recursion, so
// neither its size nor its nesting depth can exhaust the stack.  Content the
// tree has no node for yet is flattened (paragraphs of tables and content
// controls become body paragraphs) or skipped (drawings, deleted text, field
// codes).  Anything unreadable about the package is a FileCorruptedException.
using System;
using System.Collections.Generic;
using System.Globalization;
using System.IO;
using System.IO.Compression;
using System.Linq;
using System.Text;
using System.Xml;
using System.Xml.Linq;

namespace Morvax.Velto.Formats;

internal static class DocxReader
{
    private const string MainPartFallback = "word/document.xml";

    private static readonly HashSet<string> Counts = new(StringComparer.Ordinal)
    {
        "Words", "Characters", "CharactersWithSpaces", "Paragraphs", "Lines",
    };

    // Returns the format that the main part's content type declares.
    public static LoadFormat Read(Document doc, byte[] data)
    {
        try
        {
            using var zip = new ZipArchive(new MemoryStream(data, writable: false), ZipArchiveMode.Read);
            var package = new OpcPackage(zip);
            List<OpcPackage.Relationship> packageRels = package.RelationshipsOf(null);
            string mainPart = package.Find(packageRels, WordMl.OfficeDocumentRel)
                ?? (package.Contains(MainPartFallback)
                    ? MainPartFallback
                    : throw new InvalidDataException("The package has no main document part."));
            string? contentType = package.ContentTypeOf(mainPart);
            LoadFormat format = WordMl.MainParts.FirstOrDefault(part => part.ContentType == contentType).Load;

            List<OpcPackage.Relationship> rels = package.RelationshipsOf(mainPart);
            StyleSheet styles = package.Find(rels, WordMl.StylesRel) is { } stylesPart
                ? StyleSheet.Read(package.Open(stylesPart))
                : new StyleSheet();
            if (package.Find(rels, WordMl.SettingsRel) is { } settingsPart)
                ReadSettings(doc, package.Open(settingsPart));
            if (package.Find(packageRels, WordMl.ExtendedPropertiesRel) is { } propertiesPart)
                doc.Statistics = ReadStatistics(package.Open(propertiesPart));
            if (package.Find(rels, WordMl.VbaProjectRel) is { } vbaPart)
                doc.VbaProject = package.ReadAllBytes(vbaPart);
            new BodyReader(doc, styles).Read(package.Open(mainPart));
            return format == LoadFormat.Auto ? LoadFormat.Docx : format;
        }
        catch (Exception e) when (e is InvalidDataException or XmlException or IOException)
        {
            throw new FileCorruptedException(e);
        }
    }

    private static void ReadSettings(Document doc, Stream part)
    {
        using XmlReader r = XmlReader.Create(part, XmlSafety.ReaderSettings);
        while (r.Read())
        {
            if (r.NodeType != XmlNodeType.Element || r.Depth != 1 || r.NamespaceURI != WordMl.W)
                continue;
            switch (r.LocalName)
            {
                case "removePersonalInformation":
                    doc.RemovePersonalInformation = OnOff(r.GetAttribute("val", WordMl.W));
                    break;
                case "hideSpellingErrors":
                    doc.ShowSpellingErrors = !OnOff(r.GetAttribute("val", WordMl.W));
                    break;
                case "hideGrammaticalErrors":
                    doc.ShowGrammaticalErrors = !OnOff(r.GetAttribute("val", WordMl.W));
                    break;
                case "proofState":
                    doc.SpellingChecked = r.GetAttribute("spelling", WordMl.W) == "clean";
                    doc.GrammarChecked = r.GetAttribute("grammar", WordMl.W) == "clean";
                    break;
                case "linkStyles":
                    doc.AutomaticallyUpdateStyles = OnOff(r.GetAttribute("val", WordMl.W));
                    break;
                case "trackRevisions":
                    doc.TrackRevisions = OnOff(r.GetAttribute("val", WordMl.W));
                    break;
                case "defaultTabStop":
                    if (Points(r.GetAttribute("val", WordMl.W)) is { } tab && tab > 0 && tab <= ParagraphFormat.MaxIndent)
                        doc.DefaultTabStop = tab;
                    break;
                case "doNotShadeFormData":
                    doc.ShadeFormData = !OnOff(r.GetAttribute("val", WordMl.W));
                    break;
                case "noPunctuationKerning":
                    doc.PunctuationKerning = !OnOff(r.GetAttribute("val", WordMl.W));
                    break;
            }
        }
    }

    private static DocumentStatistics ReadStatistics(Stream part)
    {
        var values = new Dictionary<string, int>();
        using XmlReader r = XmlReader.Create(part, XmlSafety.ReaderSettings);
        r.MoveToContent();
        while (!r.EOF)
        {
            if (r.NodeType == XmlNodeType.Element && r.Depth == 1)
            {
                // Other properties (heading pairs, say) have child elements.
                string name = r.LocalName;
                if (r.NamespaceURI == WordMl.ExtendedPropertiesNs && Counts.Contains(name))
                {
                    if (int.TryParse(r.ReadElementContentAsString(), NumberStyles.None, CultureInfo.InvariantCulture,
                            out int value))
                        values[name] = value;
                }
                else
                    r.Skip();
                continue;
            }
            r.Read();
        }
        int Get(string name) => values.GetValueOrDefault(name);
        return new DocumentStatistics(Get("Words"), Get("Characters"), Get("CharactersWithSpaces"),
            Get("Paragraphs"), Get("Lines"));
    }

    internal static void ApplyRunProperties(Font font, XElement rPr)
    {
        foreach (XElement e in rPr.Elements())
        {
            if (e.Name.NamespaceName != WordMl.W)
                continue;
            switch (e.Name.LocalName)
            {
                case "rFonts":
                    string? name = Attribute(e, "ascii") ?? Attribute(e, "hAnsi");
                    if (!string.IsNullOrEmpty(name))
                        font.Name = name;
                    break;
                case "b":
                    font.Bold = OnOff(Val(e));
                    break;
                case "i":
                    font.Italic = OnOff(Val(e));
                    break;
                case "caps":
                    font.AllCaps = OnOff(Val(e));
                    break;
                case "strike":
                    font.StrikeThrough = OnOff(Val(e));
                    break;
                case "vanish":
                    font.Hidden = OnOff(Val(e));
                    break;
                case "sz":
                    if (int.TryParse(Val(e), NumberStyles.None, CultureInfo.InvariantCulture, out int halfPoints)
                        && halfPoints / 2.0 is >= Font.MinSize and <= Font.MaxSize)
                        font.Size = halfPoints / 2.0;
                    break;
                case "u":
                    font.Underline = WordMl.ValueOf(WordMl.Underlines, Val(e)) ?? Underline.Single;
                    break;
                case "vertAlign":
                    font.Superscript = Val(e) == "superscript";
                    font.Subscript = Val(e) == "subscript";
                    break;
            }
        }
    }

    private static SectionStart StartOf(XElement sectPr) =>
        WordMl.ValueOf(WordMl.SectionStarts, Val(sectPr.Element(XName.Get("type", WordMl.W)))) ?? SectionStart.NewPage;

    private static string? Attribute(XElement e, string name) => e.Attribute(XName.Get(name, WordMl.W))?.Value;

    private static string? Val(XElement? e) => e is null ? null : Attribute(e, "val");

    // An on/off property is on when present without a value.
    private static bool OnOff(string? value) => value is null or "1" or "true" or "on";

    private static double? Points(string? twips) =>
        int.TryParse(twips, NumberStyles.AllowLeadingSign, CultureInfo.InvariantCulture, out int value)
            ? value / WordMl.TwipsPerPoint
            : null;

    // Paragraph style names by id, the default paragraph style and the
    // document's default character formatting.
    private sealed class StyleSheet
    {
        private readonly Dictionary<string, string> names = new(StringComparer.Ordinal);

        public Font DefaultFont { get; } = new();

        public string DefaultStyleName { get; private set; } = ParagraphFormat.DefaultStyleName;

        public string NameOf(string id) => names.TryGetValue(id, out string? name) ? name : id;

        public static StyleSheet Read(Stream part)
        {
            var sheet = new StyleSheet();
            using XmlReader r = XmlReader.Create(part, XmlSafety.ReaderSettings);
            r.MoveToContent();
            while (!r.EOF)
            {
                if (r.NodeType == XmlNodeType.Element && r.Depth == 1 && r.NamespaceURI == WordMl.W
                    && r.LocalName is "docDefaults" or "style")
                {
                    sheet.Add((XElement)XNode.ReadFrom(r));
                    continue;
                }
                r.Read();
            }
            return sheet;
        }

        private void Add(XElement e)
        {
            if (e.Name.LocalName == "docDefaults")
            {
                XElement? rPr = e.Element(XName.Get("rPrDefault", WordMl.W))?.Element(XName.Get("rPr", WordMl.W));
                if (rPr is not null)
                    ApplyRunProperties(DefaultFont, rPr);
                return;
            }
            string? id = Attribute(e, "styleId");
            if (Attribute(e, "type") != "paragraph" || string.IsNullOrEmpty(id))
                return;
            string name = Val(e.Element(XName.Get("name", WordMl.W))) is { Length: > 0 } given ? Canonical(given) : id;
            names[id] = name;
            if (OnOffAttribute(Attribute(e, "default")))
                DefaultStyleName = name;
        }

        private static bool OnOffAttribute(string? value) => value is "1" or "true" or "on";

        // Word stores the built-in names in lower case ("heading 1").
        private static string Canonical(string name) => name switch
        {
            "normal" => "Normal",
            _ when name.StartsWith("heading ", StringComparison.Ordinal) => "H" + name[1..],
            _ => name,
        };
    }

    // The state of the walk through the main part: the section, paragraph
    // and run being filled.  Elements are matched by depth, so a run or
    // paragraph properties element nested somewhere unexpected is not
    // mistaken for the current one's.
    private sealed class BodyReader
    {
        private readonly Document doc;
        private readonly StyleSheet styles;
        private readonly StringBuilder text = new();
        private Section section = null!;
        private Body body = null!;
        private Paragraph? paragraph;
        private int paragraphDepth;
        private SectionStart? paragraphEndsSection;
        private Run? run;
        private int runDepth;

        public BodyReader(Document doc, StyleSheet styles)
        {
            this.doc = doc;
            this.styles = styles;
            StartSection();
        }

        public void Read(Stream part)
        {
            using XmlReader r = XmlReader.Create(part, XmlSafety.ReaderSettings);
            r.MoveToContent();
            if (r.LocalName != "document" || r.NamespaceURI != WordMl.W)
                throw new InvalidDataException("The main part is not a WordprocessingML document.");
            if (!r.ReadToDescendant("body", WordMl.W) || r.IsEmptyElement)
                return;
            int bodyDepth = r.Depth;
            r.Read();
            while (!r.EOF && !(r.NodeType == XmlNodeType.EndElement && r.Depth == bodyDepth))
            {
                if (r.NodeType == XmlNodeType.Element && Element(r))
                    continue;
                if (r.NodeType == XmlNodeType.EndElement)
                    End(r);
                r.Read();
            }
        }

        // True when the element was consumed and the reader already stands
        // on the node after it.
        private bool Element(XmlReader r)
        {
            // Alternate content repeats what follows it in another form.
            if (r.NamespaceURI == WordMl.MarkupCompatibilityNs)
            {
                r.Skip();
                return true;
            }
            if (r.NamespaceURI != WordMl.W)
                return false;
            switch (r.LocalName)
            {
                case "p" when paragraph is null:
                    paragraph = new Paragraph(doc);
                    paragraph.ParagraphFormat.StyleName = styles.DefaultStyleName;
                    paragraphDepth = r.Depth;
                    paragraphEndsSection = null;
                    if (r.IsEmptyElement)
                        EndParagraph();
                    return false;
                case "pPr" when paragraph is not null && r.Depth == paragraphDepth + 1:
                    ApplyParagraphProperties((XElement)XNode.ReadFrom(r));
                    return true;
                case "r" when paragraph is not null && run is null:
                    run = new Run(doc);
                    run.Font.CopyFrom(styles.DefaultFont);
                    runDepth = r.Depth;
                    if (r.IsEmptyElement)
                        EndRun();
                    return false;
                case "rPr" when run is not null && r.Depth == runDepth + 1:
                    ApplyRunProperties(run.Font, (XElement)XNode.ReadFrom(r));
                    return true;
                case "t" when run is not null:
                    text.Append(r.ReadElementContentAsString());
                    return true;
                case "tab" when run is not null:
                    return Append(r, ControlChar.TabChar);
                case "br" when run is not null:
                    return Append(r, r.GetAttribute("type", WordMl.W) switch
                    {
                        "page" => ControlChar.PageBreakChar,
                        "column" => ControlChar.ColumnBreakChar,
                        _ => ControlChar.LineBreakChar,
                    });
                case "cr" when run is not null:
                    return Append(r, ControlChar.LineBreakChar);
                case "noBreakHyphen" when run is not null:
                    return Append(r, ControlChar.NonBreakingHyphenChar);
                case "softHyphen" when run is not null:
                    return Append(r, ControlChar.OptionalHyphenChar);
                case "sectPr" when paragraph is null:
                    section.Start = StartOf((XElement)XNode.ReadFrom(r));
                    return true;
                case "del" or "moveFrom" or "delText" or "instrText" or "delInstrText" or "drawing" or "pict"
                    or "object" or "txbxContent" or "fldData":
                    r.Skip();
                    return true;
                default:
                    return false;
            }
        }

        private void End(XmlReader r)
        {
            if (run is not null && r.Depth == runDepth)
                EndRun();
            else if (paragraph is not null && run is null && r.Depth == paragraphDepth)
                EndParagraph();
        }

        private bool Append(XmlReader r, char c)
        {
            text.Append(c);
            r.Skip();
            return true;
        }

        private void EndRun()
        {
            if (text.Length > 0)
            {
                run!.Text = text.ToString();
                paragraph!.AppendChild(run);
            }
            text.Clear();
            run = null;
        }

        private void EndParagraph()
        {
            body.AppendChild(paragraph!);
            paragraph = null;
            if (paragraphEndsSection is { } start)
            {
                section.Start = start;
                StartSection();
            }
        }

        private void StartSection()
        {
            section = (Section)doc.AppendChild(new Section(doc));
            body = (Body)section.AppendChild(new Body(doc));
        }

        private void ApplyParagraphProperties(XElement pPr)
        {
            ParagraphFormat format = paragraph!.ParagraphFormat;
            foreach (XElement e in pPr.Elements())
            {
                if (e.Name.NamespaceName != WordMl.W)
                    continue;
                switch (e.Name.LocalName)
                {
                    case "pStyle":
                        if (Val(e) is { Length: > 0 } id)
                            format.StyleName = styles.NameOf(id);
                        break;
                    case "keepNext":
                        format.KeepWithNext = OnOff(Val(e));
                        break;
                    case "keepLines":
                        format.KeepTogether = OnOff(Val(e));
                        break;
                    case "spacing":
                        if (Points(Attribute(e, "before")) is { } before && ParagraphFormat.IsSpacing(before))
                            format.SpaceBefore = before;
                        if (Points(Attribute(e, "after")) is { } after && ParagraphFormat.IsSpacing(after))
                            format.SpaceAfter = after;
                        break;
                    case "ind":
                        if (Points(Attribute(e, "left") ?? Attribute(e, "start")) is { } left && ParagraphFormat.IsIndent(left))
                            format.LeftIndent = left;
                        if (Points(Attribute(e, "right") ?? Attribute(e, "end")) is { } right && ParagraphFormat.IsIndent(right))
                            format.RightIndent = right;
                        if (Points(Attribute(e, "firstLine")) is { } first && ParagraphFormat.IsIndent(first))
                            format.FirstLineIndent = first;
                        if (Points(Attribute(e, "hanging")) is { } hanging && ParagraphFormat.IsIndent(-hanging))
                            format.FirstLineIndent = -hanging;
                        break;
                    case "jc":
                        if (WordMl.ValueOf(WordMl.Alignments, Val(e)) is { } alignment)
                            format.Alignment = alignment;
                        break;
                    case "sectPr":
                        paragraphEndsSection = StartOf(e);
                        break;
                }
            }
        }
    }
}
