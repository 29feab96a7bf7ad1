// DocxWriter: writes a document as a WordprocessingML package: content
// types, package and document relationships, the main document part, a
// styles part (document defaults plus every paragraph style in use), a
// settings part and the extended properties with the word count.  Elements
// are written in the order the schema fixes, since word processors reject
// parts whose children are out of order.
using System;
using System.Collections.Generic;
using System.Globalization;
using System.IO;
using System.IO.Compression;
using System.Linq;
using System.Text;
using System.Xml;
using Morvax.Velto.Saving;
using CompressionLevel = System.IO.Compression.CompressionLevel;

namespace Morvax.Velto.Formats;

internal static class DocxWriter
{
    private const string MainPart = "word/document.xml";

    public static byte[] Write(Document doc, OoxmlSaveOptions options)
    {
        if (!string.IsNullOrEmpty(options.Password))
            throw new NotSupportedException("Saving password-encrypted OOXML documents is not supported.");
        SaveFormat format = options.SaveFormat;
        // Macros go only into the macro-enabled formats, as in the word processor.
        byte[]? vba = format is SaveFormat.Docm or SaveFormat.Dotm ? doc.VbaProject : null;
        var styles = new StyleIds(doc);
        var settings = new XmlWriterSettings
        {
            Encoding = new UTF8Encoding(false),
            Indent = options.PrettyFormat,
            // Keeps CR and LF inside run text intact through a round trip.
            NewLineHandling = NewLineHandling.Entitize,
        };

        using var buffer = new MemoryStream();
        using (var zip = new ZipArchive(buffer, ZipArchiveMode.Create, leaveOpen: true))
        {
            void Part(string name, Action<XmlWriter> write)
            {
                using Stream stream = zip.CreateEntry(name, CompressionLevel.Optimal).Open();
                using var writer = XmlWriter.Create(stream, settings);
                writer.WriteStartDocument(true);
                write(writer);
                writer.WriteEndDocument();
            }

            Part("[Content_Types].xml", w => WriteContentTypes(w, format, vba is not null));
            Part("_rels/.rels", w => WriteRelationships(w,
                ("rId1", WordMl.OfficeDocumentRel, MainPart), ("rId2", WordMl.ExtendedPropertiesRel, "docProps/app.xml")));
            var documentRels = new List<(string, string, string)>
            {
                ("rId1", WordMl.StylesRel, "styles.xml"), ("rId2", WordMl.SettingsRel, "settings.xml"),
            };
            if (vba is not null)
                documentRels.Add(("rId3", WordMl.VbaProjectRel, "vbaProject.bin"));
            Part("word/_rels/document.xml.rels", w => WriteRelationships(w, documentRels.ToArray()));
            Part(MainPart, w => WriteDocument(w, doc, styles));
            Part("word/styles.xml", w => WriteStyles(w, styles));
            Part("word/settings.xml", w => WriteSettings(w, doc));
            Part("docProps/app.xml", w => WriteExtendedProperties(w, doc.Statistics));
            if (vba is not null)
            {
                using Stream stream = zip.CreateEntry("word/vbaProject.bin", CompressionLevel.Optimal).Open();
                stream.Write(vba);
            }
        }
        return buffer.ToArray();
    }

    private static void WriteContentTypes(XmlWriter w, SaveFormat format, bool hasVba)
    {
        w.WriteStartElement("Types", WordMl.ContentTypesNs);
        Default(w, "rels", WordMl.RelationshipsType);
        Default(w, "xml", "application/xml");
        if (hasVba)
            Default(w, "bin", WordMl.VbaProjectType);
        Override(w, "/" + MainPart, WordMl.MainParts.First(part => part.Save == format).ContentType);
        Override(w, "/word/styles.xml", WordMl.StylesType);
        Override(w, "/word/settings.xml", WordMl.SettingsType);
        Override(w, "/docProps/app.xml", WordMl.ExtendedPropertiesType);
        w.WriteEndElement();

        static void Default(XmlWriter w, string extension, string type)
        {
            w.WriteStartElement("Default", WordMl.ContentTypesNs);
            w.WriteAttributeString("Extension", extension);
            w.WriteAttributeString("ContentType", type);
            w.WriteEndElement();
        }

        static void Override(XmlWriter w, string part, string type)
        {
            w.WriteStartElement("Override", WordMl.ContentTypesNs);
            w.WriteAttributeString("PartName", part);
            w.WriteAttributeString("ContentType", type);
            w.WriteEndElement();
        }
    }

    private static void WriteRelationships(XmlWriter w, params (string Id, string Type, string Target)[] relationships)
    {
        w.WriteStartElement("Relationships", WordMl.RelationshipsNs);
        foreach ((string id, string type, string target) in relationships)
        {
            w.WriteStartElement("Relationship", WordMl.RelationshipsNs);
            w.WriteAttributeString("Id", id);
            w.WriteAttributeString("Type", type);
            w.WriteAttributeString("Target", target);
            w.WriteEndElement();
        }
        w.WriteEndElement();
    }

    private static void WriteDocument(XmlWriter w, Document doc, StyleIds styles)
    {
        w.WriteStartElement("w", "document", WordMl.W);
        w.WriteAttributeString("xmlns", "r", null, WordMl.R);
        w.WriteStartElement("w", "body", WordMl.W);
        Section[] sections = doc.Sections.ToArray();
        for (int i = 0; i < sections.Length; i++)
        {
            bool last = i == sections.Length - 1;
            Paragraph[] paragraphs = sections[i].Matching(NodeType.Paragraph, true).Cast<Paragraph>().ToArray();
            // A section other than the last ends in its last paragraph's
            // properties, so an empty one still needs a paragraph.
            if (paragraphs.Length == 0 && !last)
                WriteParagraph(w, new Paragraph(doc), styles, sections[i]);
            for (int j = 0; j < paragraphs.Length; j++)
                WriteParagraph(w, paragraphs[j], styles, !last && j == paragraphs.Length - 1 ? sections[i] : null);
            if (last)
                WriteSectionProperties(w, sections[i]);
        }
        w.WriteEndElement();
        w.WriteEndElement();
    }

    private static void WriteParagraph(XmlWriter w, Paragraph paragraph, StyleIds styles, Section? endsSection)
    {
        w.WriteStartElement("w", "p", WordMl.W);
        ParagraphFormat format = paragraph.ParagraphFormat;
        bool hasProperties = endsSection is not null || format.StyleName != ParagraphFormat.DefaultStyleName
            || format.KeepWithNext || format.KeepTogether || format.SpaceBefore != 0 || format.SpaceAfter != 0
            || format.LeftIndent != 0 || format.RightIndent != 0 || format.FirstLineIndent != 0
            || format.Alignment != ParagraphAlignment.Left;
        if (hasProperties)
        {
            w.WriteStartElement("w", "pPr", WordMl.W);
            if (format.StyleName != ParagraphFormat.DefaultStyleName)
                Value(w, "pStyle", styles.IdOf(format.StyleName));
            if (format.KeepWithNext)
                Flag(w, "keepNext");
            if (format.KeepTogether)
                Flag(w, "keepLines");
            if (format.SpaceBefore != 0 || format.SpaceAfter != 0)
            {
                w.WriteStartElement("w", "spacing", WordMl.W);
                w.WriteAttributeString("w", "before", WordMl.W, Twips(format.SpaceBefore));
                w.WriteAttributeString("w", "after", WordMl.W, Twips(format.SpaceAfter));
                w.WriteEndElement();
            }
            if (format.LeftIndent != 0 || format.RightIndent != 0 || format.FirstLineIndent != 0)
            {
                w.WriteStartElement("w", "ind", WordMl.W);
                w.WriteAttributeString("w", "left", WordMl.W, Twips(format.LeftIndent));
                w.WriteAttributeString("w", "right", WordMl.W, Twips(format.RightIndent));
                if (format.FirstLineIndent > 0)
                    w.WriteAttributeString("w", "firstLine", WordMl.W, Twips(format.FirstLineIndent));
                else if (format.FirstLineIndent < 0)
                    w.WriteAttributeString("w", "hanging", WordMl.W, Twips(-format.FirstLineIndent));
                w.WriteEndElement();
            }
            if (format.Alignment != ParagraphAlignment.Left)
                Value(w, "jc", WordMl.NameOf(WordMl.Alignments, format.Alignment));
            if (endsSection is not null)
                WriteSectionProperties(w, endsSection);
            w.WriteEndElement();
        }
        foreach (Node node in paragraph.Matching(NodeType.Run, false))
            WriteRun(w, (Run)node);
        w.WriteEndElement();
    }

    private static void WriteRun(XmlWriter w, Run run)
    {
        w.WriteStartElement("w", "r", WordMl.W);
        WriteRunProperties(w, run.Font);
        var text = new StringBuilder();
        foreach (Rune rune in run.Text.EnumerateRunes())
        {
            string? element = rune.Value switch
            {
                '\t' => "tab",
                ControlChar.LineBreakChar or ControlChar.PageBreakChar or ControlChar.ColumnBreakChar => "br",
                ControlChar.NonBreakingHyphenChar => "noBreakHyphen",
                ControlChar.OptionalHyphenChar => "softHyphen",
                _ => null,
            };
            if (element is null)
            {
                // Characters XML cannot carry (the other control characters,
                // among them the cell and field marks) are dropped, as word
                // processors do; the rune walk has already turned unpaired
                // surrogates into U+FFFD.
                if (!rune.IsBmp || XmlConvert.IsXmlChar((char)rune.Value))
                    text.Append(rune.ToString());
                continue;
            }
            FlushText(w, text);
            w.WriteStartElement("w", element, WordMl.W);
            if (rune.Value == ControlChar.PageBreakChar)
                w.WriteAttributeString("w", "type", WordMl.W, "page");
            else if (rune.Value == ControlChar.ColumnBreakChar)
                w.WriteAttributeString("w", "type", WordMl.W, "column");
            w.WriteEndElement();
        }
        FlushText(w, text);
        w.WriteEndElement();
    }

    private static void FlushText(XmlWriter w, StringBuilder text)
    {
        if (text.Length == 0)
            return;
        w.WriteStartElement("w", "t", WordMl.W);
        w.WriteAttributeString("xml", "space", WordMl.Xml, "preserve");
        w.WriteString(text.ToString());
        w.WriteEndElement();
        text.Clear();
    }

    // Only what differs from the document defaults of the styles part.
    private static void WriteRunProperties(XmlWriter w, Font font)
    {
        var reference = new Font();
        if (font.HasSameFormatting(reference))
            return;
        w.WriteStartElement("w", "rPr", WordMl.W);
        if (font.Name != Font.DefaultName)
            WriteFonts(w, font.Name);
        if (font.Bold)
            Flag(w, "b");
        if (font.Italic)
            Flag(w, "i");
        if (font.AllCaps)
            Flag(w, "caps");
        if (font.StrikeThrough)
            Flag(w, "strike");
        if (font.Hidden)
            Flag(w, "vanish");
        if (font.Size != Font.DefaultSize)
            WriteSize(w, font.Size);
        if (font.Underline != Underline.None)
            Value(w, "u", WordMl.NameOf(WordMl.Underlines, font.Underline));
        if (font.Superscript || font.Subscript)
            Value(w, "vertAlign", font.Superscript ? "superscript" : "subscript");
        w.WriteEndElement();
    }

    private static void WriteFonts(XmlWriter w, string name)
    {
        w.WriteStartElement("w", "rFonts", WordMl.W);
        foreach (string slot in new[] { "ascii", "eastAsia", "hAnsi", "cs" })
            w.WriteAttributeString("w", slot, WordMl.W, name);
        w.WriteEndElement();
    }

    private static void WriteSize(XmlWriter w, double points)
    {
        string halfPoints = System.Math.Round(points * 2, MidpointRounding.AwayFromZero).ToString(CultureInfo.InvariantCulture);
        Value(w, "sz", halfPoints);
        Value(w, "szCs", halfPoints);
    }

    // US Letter with one-inch margins, in twips.
    private static void WriteSectionProperties(XmlWriter w, Section section)
    {
        w.WriteStartElement("w", "sectPr", WordMl.W);
        if (section.Start != SectionStart.NewPage)
            Value(w, "type", WordMl.NameOf(WordMl.SectionStarts, section.Start));
        w.WriteStartElement("w", "pgSz", WordMl.W);
        w.WriteAttributeString("w", "w", WordMl.W, "12240");
        w.WriteAttributeString("w", "h", WordMl.W, "15840");
        w.WriteEndElement();
        w.WriteStartElement("w", "pgMar", WordMl.W);
        foreach ((string side, string twips) in new[]
                 {
                     ("top", "1440"), ("right", "1440"), ("bottom", "1440"), ("left", "1440"),
                     ("header", "720"), ("footer", "720"), ("gutter", "0"),
                 })
            w.WriteAttributeString("w", side, WordMl.W, twips);
        w.WriteEndElement();
        w.WriteEndElement();
    }

    private static void WriteStyles(XmlWriter w, StyleIds styles)
    {
        w.WriteStartElement("w", "styles", WordMl.W);
        w.WriteStartElement("w", "docDefaults", WordMl.W);
        w.WriteStartElement("w", "rPrDefault", WordMl.W);
        w.WriteStartElement("w", "rPr", WordMl.W);
        WriteFonts(w, Font.DefaultName);
        WriteSize(w, Font.DefaultSize);
        w.WriteEndElement();
        w.WriteEndElement();
        w.WriteStartElement("w", "pPrDefault", WordMl.W);
        w.WriteEndElement();
        w.WriteEndElement();
        foreach ((string name, string id) in styles.All)
        {
            w.WriteStartElement("w", "style", WordMl.W);
            w.WriteAttributeString("w", "type", WordMl.W, "paragraph");
            if (name == ParagraphFormat.DefaultStyleName)
                w.WriteAttributeString("w", "default", WordMl.W, "1");
            w.WriteAttributeString("w", "styleId", WordMl.W, id);
            Value(w, "name", name);
            if (name != ParagraphFormat.DefaultStyleName)
                Value(w, "basedOn", StyleIds.NormalId);
            w.WriteEndElement();
        }
        w.WriteEndElement();
    }

    private static void WriteSettings(XmlWriter w, Document doc)
    {
        w.WriteStartElement("w", "settings", WordMl.W);
        if (doc.RemovePersonalInformation)
            Flag(w, "removePersonalInformation");
        if (!doc.ShowSpellingErrors)
            Flag(w, "hideSpellingErrors");
        if (!doc.ShowGrammaticalErrors)
            Flag(w, "hideGrammaticalErrors");
        if (doc.SpellingChecked || doc.GrammarChecked)
        {
            w.WriteStartElement("w", "proofState", WordMl.W);
            if (doc.SpellingChecked)
                w.WriteAttributeString("w", "spelling", WordMl.W, "clean");
            if (doc.GrammarChecked)
                w.WriteAttributeString("w", "grammar", WordMl.W, "clean");
            w.WriteEndElement();
        }
        if (doc.AutomaticallyUpdateStyles)
            Flag(w, "linkStyles");
        if (doc.TrackRevisions)
            Flag(w, "trackRevisions");
        // At least one twip: zero would read back as "not set".
        Value(w, "defaultTabStop", System.Math.Max(1, System.Math.Round(doc.DefaultTabStop * WordMl.TwipsPerPoint))
            .ToString(CultureInfo.InvariantCulture));
        if (!doc.ShadeFormData)
            Flag(w, "doNotShadeFormData");
        if (!doc.PunctuationKerning)
            Flag(w, "noPunctuationKerning");
        w.WriteEndElement();
    }

    private static void WriteExtendedProperties(XmlWriter w, DocumentStatistics statistics)
    {
        w.WriteStartElement("Properties", WordMl.ExtendedPropertiesNs);
        foreach ((string name, int value) in new[]
                 {
                     ("Words", statistics.Words), ("Characters", statistics.Characters), ("Lines", statistics.Lines),
                     ("Paragraphs", statistics.Paragraphs), ("CharactersWithSpaces", statistics.CharactersWithSpaces),
                 })
            w.WriteElementString(name, WordMl.ExtendedPropertiesNs, value.ToString(CultureInfo.InvariantCulture));
        w.WriteElementString("Application", WordMl.ExtendedPropertiesNs, BuildVersionInfo.Product);
        w.WriteEndElement();
    }

    private static void Flag(XmlWriter w, string name)
    {
        w.WriteStartElement("w", name, WordMl.W);
        w.WriteEndElement();
    }

    private static void Value(XmlWriter w, string name, string value)
    {
        w.WriteStartElement("w", name, WordMl.W);
        w.WriteAttributeString("w", "val", WordMl.W, value);
        w.WriteEndElement();
    }

    private static string Twips(double points) =>
        System.Math.Round(points * WordMl.TwipsPerPoint, MidpointRounding.AwayFromZero).ToString(CultureInfo.InvariantCulture);

    // Style ids for the paragraph style names in use: the name without
    // characters an id cannot hold, made unique.  Normal is always present,
    // as the default paragraph style.
    private sealed class StyleIds
    {
        public const string NormalId = "Normal";

        private readonly Dictionary<string, string> ids = new(StringComparer.Ordinal);
        private readonly HashSet<string> taken = new(StringComparer.OrdinalIgnoreCase);

        public StyleIds(Document doc)
        {
            Add(ParagraphFormat.DefaultStyleName);
            foreach (Node node in doc.Matching(NodeType.Paragraph, true))
                Add(((Paragraph)node).ParagraphFormat.StyleName);
        }

        public IEnumerable<KeyValuePair<string, string>> All => ids;

        public string IdOf(string name) => ids[name];

        private void Add(string name)
        {
            if (ids.ContainsKey(name))
                return;
            string stem = new(name.Where(char.IsAsciiLetterOrDigit).ToArray());
            if (stem.Length == 0)
                stem = "Style";
            string id = stem;
            for (int n = 1; !taken.Add(id); n++)
                id = stem + n.ToString(CultureInfo.InvariantCulture);
            ids.Add(name, id);
        }
    }
}
