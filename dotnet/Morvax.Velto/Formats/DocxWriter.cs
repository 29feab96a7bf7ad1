// DocxWriter: writes a document as a WordprocessingML package through the
// Open XML SDK.  A document read from a package is written over a copy of
// that package: every part the tree does not model is carried over as it
// was, and the main part's body is rebuilt from the tree, where each node
// read from the package starts from its own element (Node.Origin) and only
// what differs from the node's snapshot is changed; an unchanged paragraph
// or table read as markup (RawMarkup) is written as that markup.  A document made here
// starts from a small blank package.  The SDK places every element it adds
// where the schema orders it.
using System;
using System.Collections.Generic;
using System.Globalization;
using System.IO;
using System.IO.Compression;
using System.Linq;
using System.Text;
using System.Xml;
using DocumentFormat.OpenXml;
using DocumentFormat.OpenXml.Packaging;
using Morvax.Velto.Saving;
using Morvax.Velto.Tables;
using Ap = DocumentFormat.OpenXml.ExtendedProperties;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static partial class DocxWriter
{
    private const string NormalId = "Normal";

    public static byte[] Write(Document doc, OoxmlSaveOptions options)
    {
        if (!string.IsNullOrEmpty(options.Password))
            throw new NotSupportedException("Saving password-encrypted OOXML documents is not supported.");
        DocxSource? source = doc.PackageSource;
        byte[] start;
        if (source is null)
        {
            var blank = new MemoryStream();
            WriteBlankPackage(blank, TypeOf(options.SaveFormat));
            start = blank.ToArray();
        }
        else
            start = source.Package;
        using var stored = new StoredPackage(start);
        Uri mainUri;
        ArraySegment<byte> mainXml;
        bool mainAsRead;
        BodyWriter body;
        using (WordprocessingDocument package = WordprocessingDocument.Open(stored, DocxReader.OpenSettings))
        {
            SetDocumentType(package, doc, options.SaveFormat);
            MainDocumentPart main = package.MainDocumentPart!;
            if (doc.DropGlossary && main.GlossaryDocumentPart is { } glossary)
                main.DeletePart(glossary);
            var styles = new StyleWriter(main, source?.Styles ?? BlankStyles(), doc.StyleEdits.Dropped);
            foreach (var (name, id) in doc.StyleEdits.Apply(main))
                styles.Register(name, id);
            WriteStyleFormatting(doc, main);
            DocxNumbering.Write(doc, main);
            body = new BodyWriter(doc, source, styles, main);
            mainUri = main.Uri;
            // A main part as read keeps its stored bytes: nothing to write or
            // compress again.
            mainAsRead = !options.PrettyFormat && stored.IsAsRead(mainUri) && body.BodyAsRead();
            mainXml = mainAsRead ? ArraySegment<byte>.Empty : MainPartXml(body, options.PrettyFormat);
            // Unloads the SDK's tree of the main part, if it read one, so
            // that closing does not write it.
            main.GetStream(FileMode.Create, FileAccess.Write).Dispose();
            body.WriteHeadersFooters(Settings(options.PrettyFormat));
            body.WriteNotesAndComments(Settings(options.PrettyFormat));
            if (body.Dropped > 0)
                doc.Warn(WarningType.DataLoss, WarningSource.Docx,
                    $"The .docx writer left out {body.Dropped} drawing(s) or element(s) that name parts this document's package does not have "
                    + "(markup copied from another document whose relationships could not be brought along), "
                    + "or that have no markup to write (a shape made in code).");
            DocxSettings.Write(doc, SettingsOf(main));
            DocxPackageContent.Write(doc, main);
            DocxProperties.WriteBuiltIn(doc, package, source?.BuiltInProperties ?? new Dictionary<string, object?>());
            DocxProperties.WriteCustom(doc, package, source?.CustomProperties ?? new List<(string, object?)>());
        }
        // Set once the SDK has saved the parts it holds, which would
        // otherwise write a main part it had read over this one.
        body.AddCarried(stored);
        if (mainAsRead)
            stored.KeepAsRead(mainUri);
        else
        {
            stored.SetContent(mainUri, mainXml);
            stored.CompressAt(mainUri, System.IO.Compression.CompressionLevel.Fastest);
        }
        DocxPackageParts.Write(doc, stored);
        return stored.ToBytes();
    }

    // Adds a child where the schema puts it among its siblings; a parent of
    // unexpected shape gets it last.
    internal static T AddInOrder<T>(OpenXmlCompositeElement parent, T child) where T : OpenXmlElement
    {
        if (!parent.AddChild(child, throwOnError: false))
            parent.AppendChild(child);
        return child;
    }

    private static WordprocessingDocumentType TypeOf(SaveFormat format) => format switch
    {
        SaveFormat.Docm => WordprocessingDocumentType.MacroEnabledDocument,
        SaveFormat.Dotx => WordprocessingDocumentType.Template,
        SaveFormat.Dotm => WordprocessingDocumentType.MacroEnabledTemplate,
        _ => WordprocessingDocumentType.Document,
    };

    // Macros go only into the macro-enabled formats, as in the word processor.
    private static void SetDocumentType(WordprocessingDocument package, Document doc, SaveFormat format)
    {
        MainDocumentPart main = package.MainDocumentPart ?? throw new InvalidOperationException("No main part.");
        WordprocessingDocumentType wanted = TypeOf(format);
        bool macros = format is SaveFormat.Docm or SaveFormat.Dotm && doc.MacroProject is not null;
        if (!macros && main.VbaProjectPart is { } dropped)
            main.DeletePart(dropped);
        if (package.DocumentType != wanted)
            package.ChangeDocumentType(wanted);
        if (macros)
        {
            VbaProjectPart part = package.MainDocumentPart!.VbaProjectPart
                ?? package.MainDocumentPart.AddNewPart<VbaProjectPart>();
            part.FeedData(new MemoryStream(doc.MacroProject!, writable: false));
        }
    }

    // The main part is written here rather than by the SDK so that carriage
    // returns inside text survive (as character references) and the caller
    // can ask for indented XML.
    private static XmlWriterSettings Settings(bool pretty) => new()
    {
        Encoding = new UTF8Encoding(false),
        Indent = pretty,
        NewLineHandling = NewLineHandling.Entitize,
    };

    // The main part, written here rather than by the SDK; it is compressed
    // at the fastest level (most of a saved package is the main part, and
    // word processors read any deflate level).
    private static ArraySegment<byte> MainPartXml(BodyWriter body, bool pretty)
    {
        // Sized for the part as read, which it mostly copies.
        var xml = new MemoryStream(body.ExpectedLength);
        using (var writer = XmlWriter.Create(xml, Settings(pretty)))
        {
            writer.WriteStartDocument(true);
            body.Write(writer, xml);
        }
        return new ArraySegment<byte>(xml.GetBuffer(), 0, (int)xml.Length);
    }

    private static W.Settings SettingsOf(MainDocumentPart main)
    {
        DocumentSettingsPart part = main.DocumentSettingsPart ?? main.AddNewPart<DocumentSettingsPart>();
        return part.Settings ??= new W.Settings();
    }

    // The package a new document starts from: a main part, the document
    // defaults (Calibri 11) with the Normal style, settings and the
    // application's name.
    private static void WriteBlankPackage(Stream stream, WordprocessingDocumentType type)
    {
        using WordprocessingDocument package = WordprocessingDocument.Create(stream, type);
        MainDocumentPart main = package.AddMainDocumentPart();
        main.Document = new W.Document(new W.Body());
        var defaults = new W.RunPropertiesBaseStyle(
            new W.RunFonts { Ascii = Font.DefaultName, HighAnsi = Font.DefaultName, EastAsia = Font.DefaultName,
                ComplexScript = Font.DefaultName },
            new W.FontSize { Val = HalfPoints(Font.DefaultSize) },
            new W.FontSizeComplexScript { Val = HalfPoints(Font.DefaultSize) });
        main.AddNewPart<StyleDefinitionsPart>().Styles = new W.Styles(
            new W.DocDefaults(new W.RunPropertiesDefault(defaults), new W.ParagraphPropertiesDefault()),
            new W.Style(new W.StyleName { Val = ParagraphFormat.DefaultStyleName }, new W.PrimaryStyle())
            {
                Type = W.StyleValues.Paragraph, StyleId = NormalId, Default = true,
            });
        main.AddNewPart<DocumentSettingsPart>().Settings = new W.Settings();
        // An empty core properties part where word processors keep it; the
        // properties themselves are written like those of a loaded package.
        using (var core = new StreamWriter(package.AddCoreFilePropertiesPart().GetStream(FileMode.Create), new UTF8Encoding(false)))
            core.Write("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><cp:coreProperties "
                + "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
                + "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
                + "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"/>");
        package.AddExtendedFilePropertiesPart().Properties = new Ap.Properties(new Ap.Application(BuildVersionInfo.Product));
    }

    private static StyleNames BlankStyles()
    {
        var names = new StyleNames();
        names.Add(NormalId, ParagraphFormat.DefaultStyleName, true);
        return names;
    }

    private static string HalfPoints(double points) =>
        System.Math.Round(points * 2, MidpointRounding.AwayFromZero).ToString(CultureInfo.InvariantCulture);

    internal static string Twips(double points) =>
        System.Math.Round(points * WordMl.TwipsPerPoint, MidpointRounding.AwayFromZero).ToString(CultureInfo.InvariantCulture);

    // An element with its w:val attribute set.
    internal static T Val<T>(T element, string value) where T : OpenXmlElement
    {
        element.SetAttribute(new OpenXmlAttribute("w", "val", WordMl.W, value));
        return element;
    }

    private static T Flag<T>(T element, bool on) where T : OpenXmlElement, new() => on ? element : Val(element, "0");

    // The paragraph formatting the writer knows, each with how to write it;
    // only the entries whose value changed are written.
    private static readonly (Func<ParagraphFormat, object> Get, Action<W.ParagraphProperties, ParagraphFormat, StyleWriter> Set)[]
        ParagraphEntries =
        {
            (f => f.StyleName, (p, f, s) => p.ParagraphStyleId = s.IdFor(f.StyleName) is { } id
                ? Val(new W.ParagraphStyleId(), id) : null),
            (f => f.KeepWithNext, (p, f, _) => p.KeepNext = Flag(new W.KeepNext(), f.KeepWithNext)),
            (f => f.KeepTogether, (p, f, _) => p.KeepLines = Flag(new W.KeepLines(), f.KeepTogether)),
            (f => f.SpaceBefore, (p, f, _) => (p.SpacingBetweenLines ??= new W.SpacingBetweenLines()).Before = Twips(f.SpaceBefore)),
            (f => f.SpaceAfter, (p, f, _) => (p.SpacingBetweenLines ??= new W.SpacingBetweenLines()).After = Twips(f.SpaceAfter)),
            (f => f.LeftIndent, (p, f, _) =>
            {
                W.Indentation ind = p.Indentation ??= new W.Indentation();
                (ind.Left, ind.Start) = (Twips(f.LeftIndent), null);
            }),
            (f => f.RightIndent, (p, f, _) =>
            {
                W.Indentation ind = p.Indentation ??= new W.Indentation();
                (ind.Right, ind.End) = (Twips(f.RightIndent), null);
            }),
            (f => f.FirstLineIndent, (p, f, _) =>
            {
                W.Indentation ind = p.Indentation ??= new W.Indentation();
                (ind.FirstLine, ind.Hanging) = f.FirstLineIndent < 0
                    ? ((StringValue?)null, (StringValue?)Twips(-f.FirstLineIndent))
                    : (Twips(f.FirstLineIndent), null);
            }),
            (f => f.Alignment, (p, f, _) => p.Justification =
                Val(new W.Justification(), WordMl.NameOf(WordMl.Alignments, f.Alignment))),
            (f => f.BorderValues, (p, f, _) => p.ParagraphBorders = DocxBorders.Borders(p.ParagraphBorders, f.Borders, cell: false)),
            (f => f.ShadingValues, (p, f, _) => p.Shading = DocxBorders.Shading(f.Shading)),
        };

    private static readonly (Func<Font, object> Get, Action<W.RunProperties, Font> Set)[] FontEntries =
    {
        (f => f.Name, (r, f) => r.RunFonts = new W.RunFonts
            { Ascii = f.Name, HighAnsi = f.Name, EastAsia = f.Name, ComplexScript = f.Name }),
        (f => f.Bold, (r, f) => r.Bold = Flag(new W.Bold(), f.Bold)),
        (f => f.Italic, (r, f) => r.Italic = Flag(new W.Italic(), f.Italic)),
        (f => f.AllCaps, (r, f) => r.Caps = Flag(new W.Caps(), f.AllCaps)),
        (f => f.StrikeThrough, (r, f) => r.Strike = Flag(new W.Strike(), f.StrikeThrough)),
        (f => f.Hidden, (r, f) => r.Vanish = Flag(new W.Vanish(), f.Hidden)),
        (f => f.Color, (r, f) => r.Color = DocxColors.TextColor(f.Color)),
        (f => f.HighlightColor, (r, f) => r.Highlight = DocxColors.Highlight(f.HighlightColor)),
        (f => f.BorderValues, (r, f) => r.Border = DocxBorders.BorderElement(new W.Border(), f.Border)),
        (f => f.ShadingValues, (r, f) => r.Shading = DocxBorders.Shading(f.Shading)),
        (f => f.Size, (r, f) =>
        {
            r.FontSize = Val(new W.FontSize(), HalfPoints(f.Size));
            r.FontSizeComplexScript = Val(new W.FontSizeComplexScript(), HalfPoints(f.Size));
        }),
        (f => f.Underline, (r, f) => r.Underline = Val(new W.Underline(), WordMl.NameOf(WordMl.Underlines, f.Underline))),
        (f => (f.Superscript, f.Subscript), (r, f) => r.VerticalTextAlignment = Val(new W.VerticalTextAlignment(),
            f.Superscript ? "superscript" : f.Subscript ? "subscript" : "baseline")),
    };

    // Paragraph style ids for the names in use; a name the package has no
    // style for gets a new paragraph style based on the default one, with an
    // id made of the name's letters and digits, unique.
    private sealed class StyleWriter
    {
        private readonly MainDocumentPart main;
        private readonly StyleNames names;
        private readonly Func<string, bool> dropped;  // taken out by a cleanup: no longer in the package
        private readonly Dictionary<string, string> added = new(StringComparer.Ordinal);
        private readonly HashSet<string> taken = new(StringComparer.OrdinalIgnoreCase);

        public StyleWriter(MainDocumentPart main, StyleNames names, Func<string, bool> dropped)
        {
            this.main = main;
            this.names = names;
            this.dropped = dropped;
        }

        // A style the package holds that the names read with it do not know
        // (one copied in from a template).
        public void Register(string name, string id)
        {
            added[name] = id;
            taken.Add(id);
        }

        // Null for the default paragraph style, which needs no reference.
        public string? IdFor(string name)
        {
            if (name == names.DefaultStyleName)
                return null;
            if (names.IdOf(name) is { } id && !dropped(id))
                return id == names.DefaultStyleId ? null : id;
            if (added.TryGetValue(name, out string? made))
                return made;
            W.Styles styles = StylesPart();
            if (taken.Count == 0)
            {
                foreach (W.Style existingStyle in styles.Elements<W.Style>())
                {
                    if (existingStyle.StyleId?.Value is { } existing)
                        taken.Add(existing);
                }
            }
            string stem = new(name.Where(char.IsAsciiLetterOrDigit).ToArray());
            if (stem.Length == 0)
                stem = "Style";
            string newId = stem;
            for (int n = 1; !taken.Add(newId); n++)
                newId = stem + n.ToString(CultureInfo.InvariantCulture);
            var style = new W.Style(new W.StyleName { Val = name }) { Type = W.StyleValues.Paragraph, StyleId = newId };
            if (names.DefaultStyleId is { } basedOn)
                style.AppendChild(new W.BasedOn { Val = basedOn });
            styles.AppendChild(style);
            added.Add(name, newId);
            return newId;
        }

        private W.Styles StylesPart()
        {
            StyleDefinitionsPart part = main.StyleDefinitionsPart ?? main.AddNewPart<StyleDefinitionsPart>();
            return part.Styles ??= new W.Styles();
        }
    }

    // Writes the main part from the tree, straight to XML: an element read
    // from the package whose node did not change is written as it was read,
    // without copying it; a changed one is rebuilt from its original, and a
    // new one from the tree alone.
    private sealed class BodyWriter
    {
        private readonly DocxSource? source;
        private readonly StyleWriter styles;
        private readonly Font defaultFont;
        private readonly System.Collections.Generic.Dictionary<Node, FormatRecord>? formatRecords;
        private readonly ParagraphFormat defaultFormat = new();
        private readonly Section[] sections;
        // The paragraph that ends each section but the last, and its section.
        private readonly Dictionary<Paragraph, Section> sectionEnds = new(ReferenceEqualityComparer.Instance);
        private readonly MainDocumentPart main;
        // The part being written and its relationships.
        private OpenXmlPart? writtenPart;
        private HashSet<string> relationshipIds = new();
        // What pictures brought from another package need of it, by part
        // written: the relationships to add once the SDK has saved the parts
        // (with the ids the written markup already uses), and the image each
        // id names, so that pictures with the same bytes share one.
        private readonly Dictionary<Uri, List<(string Id, CarriedRelationship Carried)>> carried = new();

        private void SetPart(OpenXmlPart written)
        {
            writtenPart = written;
            relationshipIds = RelationshipIdsOf(written);
            if (carried.TryGetValue(written.Uri, out var added))
            {
                foreach ((string id, _) in added)
                    relationshipIds.Add(id);
            }
        }

        // A shape's picture run; one brought from another package names
        // relationships added to the part being written.
        private OpenXmlElement? PictureElement(Drawing.ShapeBase shape)
        {
            OpenXmlElement? run = DocxShapes.Write(shape);
            if (run is not null && shape.Origin is ShapeOrigin { IsCopy: true })
                Renumber(run);
            if (run is null || shape.Origin is not ShapeOrigin { Carried: { } brought } origin || writtenPart is null
                || origin.CarriedFrom == writtenPart.Uri)
                return run;
            var ids = new Dictionary<CarriedRelationship, string>(ReferenceEqualityComparer.Instance);
            // Listed first: the element's attributes change as they are renamed.
            foreach ((OpenXmlElement element, OpenXmlAttribute attribute) in WordMl.RelationshipAttributes(run).ToList())
            {
                foreach (CarriedRelationship relationship in brought)
                {
                    if (relationship.Id == attribute.Value)
                    {
                        if (!ids.TryGetValue(relationship, out string? id))
                            ids[relationship] = id = Add(relationship);
                        element.SetAttribute(new OpenXmlAttribute(attribute.Prefix, attribute.LocalName, attribute.NamespaceUri, id));
                        break;
                    }
                }
            }
            return run;
        }

        // A new relationship of the part being written; an image with the
        // same bytes as one already added shares its relationship, while a
        // chart or a link gets its own for each drawing.
        private string Add(CarriedRelationship relationship)
        {
            if (!carried.TryGetValue(writtenPart!.Uri, out var added))
                carried[writtenPart.Uri] = added = new();
            if (relationship.IsImage)
            {
                foreach ((string known, CarriedRelationship other) in added)
                {
                    if (other.IsImage && (ReferenceEquals(other.Part, relationship.Part)
                            || other.Part!.Bytes.AsSpan().SequenceEqual(relationship.Part!.Bytes)))
                        return known;
                }
            }
            string id;
            for (int n = added.Count + 1; !relationshipIds.Add(id = "rId" + n.ToString(CultureInfo.InvariantCulture)); n++)
            {
            }
            added.Add((id, relationship));
            return id;
        }

        // Drawing identifiers must be unique across the package's stories: a
        // copied picture's drawings get identifiers above every one the
        // stories held as read.
        private long nextDrawingId;

        private void Renumber(OpenXmlElement run)
        {
            foreach (OpenXmlElement element in run.Descendants())
            {
                // The strict form's namespace ends alike.
                if (element.LocalName != "docPr" || !element.NamespaceUri.EndsWith("/wordprocessingDrawing", StringComparison.Ordinal))
                    continue;
                if (nextDrawingId == 0)
                    nextDrawingId = DrawingIds.HighestIn(StoryParts()) + 1;
                element.SetAttribute(new OpenXmlAttribute("", "id", "", (nextDrawingId++).ToString(CultureInfo.InvariantCulture)));
            }
        }

        // The parts whose markup holds drawings, as the package holds them.
        private IEnumerable<OpenXmlPart> StoryParts()
        {
            yield return main;
            foreach (HeaderPart header in main.HeaderParts)
                yield return header;
            foreach (FooterPart footer in main.FooterParts)
                yield return footer;
            if (main.FootnotesPart is { } footnotes)
                yield return footnotes;
            if (main.EndnotesPart is { } endnotes)
                yield return endnotes;
            if (main.WordprocessingCommentsPart is { } comments)
                yield return comments;
        }

        /// <summary>Adds to the saved package the parts and relationships pictures brought from other packages name.</summary>
        public void AddCarried(System.IO.Packaging.Package package)
        {
            if (carried.Count > 0)
                CarriedParts.Add(package, carried);
        }

        private static HashSet<string> RelationshipIdsOf(OpenXmlPart part)
        {
            var ids = new HashSet<string>(StringComparer.Ordinal);
            foreach (IdPartPair pair in part.Parts)
                ids.Add(pair.RelationshipId);
            foreach (HyperlinkRelationship link in part.HyperlinkRelationships)
                ids.Add(link.Id);
            foreach (ExternalRelationship external in part.ExternalRelationships)
                ids.Add(external.Id);
            return ids;
        }

        // Kept markup that names a relationship the part being written does
        // not have (markup moved here from another document: a picture, a
        // link) would make the package unreadable, so it is left out.
        private bool Resolves(object kept) =>
            WordMl.RelationshipAttributes((OpenXmlElement)kept).All(named => relationshipIds.Contains(named.Attribute.Value ?? ""));

        private void WriteKept(XmlWriter w, object kept)
        {
            // Markup read from this document's main part is written as read;
            // markup brought in from another document is written from its
            // element, which declares the namespaces it needs.
            if (kept is RawMarkup raw && RawMarkup.IsUntouched(raw) && raw.IsPartOf(source?.MainPart) && raw.NamesNoRelationship)
                RawMarkup.Write(w, raw, rawTarget);
            else if (RawMarkup.ElementOf(kept) is { } element)
            {
                if (Resolves(element))
                    element.WriteTo(w);
                else
                    Dropped++;
            }
        }

        // Drawings and kept markup left out because this package lacks a
        // part they name, or because they have no markup to write.
        public int Dropped { get; private set; }

        // Each header and footer with its part and the relationship naming it;
        // those made since loading get a new part.
        private readonly Dictionary<HeaderFooter, (OpenXmlPart Part, string Id)> stories = new(ReferenceEqualityComparer.Instance);

        // The identifier each footnote, endnote and comment is written with,
        // and the notes and comments in document order.
        private readonly Dictionary<InlineStory, string> storyIds = new(ReferenceEqualityComparer.Instance);
        private readonly List<InlineStory> footnoteNodes = new();
        private readonly List<InlineStory> endnoteNodes = new();
        private readonly List<InlineStory> commentNodes = new();

        // The stream the main part's writer writes to while it writes, into
        // which markup as read is copied as bytes.
        private System.IO.Stream? rawTarget;

        // About how long the main part will be: as long as it was when read.
        public int ExpectedLength => (int)System.Math.Min(source?.MainLength ?? 0, int.MaxValue / 4) + 4096;

        public BodyWriter(Document doc, DocxSource? source, StyleWriter styles, MainDocumentPart main)
        {
            this.main = main;
            this.source = source;
            this.styles = styles;
            defaultFont = source?.DefaultFont ?? new Font();
            formatRecords = doc.FormatRecords;
            // Most documents have no notes or comments; walking every node to
            // find none costs a large document several milliseconds.
            if (doc.InlineStoriesMade)
            {
                foreach (Node node in doc.Matching(NodeType.Any, true))
                {
                    if (node is Notes.Footnote note)
                        (note.FootnoteType == Notes.FootnoteType.Endnote ? endnoteNodes : footnoteNodes).Add(note);
                    else if (node is Comment comment)
                        commentNodes.Add(comment);
                }
            }
            // A comment keeps its identifier, which its range marks name, unless
            // an earlier comment has it (a new comment made with the default).
            int highestComment = commentNodes.Select(c => ((Comment)c).Id).DefaultIfEmpty(0).Max();
            var commentIds = new HashSet<int>();
            foreach (Comment comment in commentNodes)
                storyIds[comment] = Id(commentIds.Add(comment.Id) ? comment.Id : ++highestComment);
            NumberNotes(footnoteNodes, source?.FootnotesRoot);
            NumberNotes(endnoteNodes, source?.EndnotesRoot);
            sections = doc.Sections.ToArray();
            // A part goes to the first story read from it; a copy of that
            // story elsewhere gets a part of its own.
            var partsTaken = new HashSet<string>(StringComparer.Ordinal);
            foreach (Section section in sections)
            {
                foreach (Node node in section.Matching(NodeType.HeaderFooter, false))
                {
                    var story = (HeaderFooter)node;
                    if (story.Origin is StoryOrigin origin && partsTaken.Add(origin.RelationshipId)
                        && main.TryGetPartById(origin.RelationshipId, out OpenXmlPart? read))
                        stories[story] = (read, origin.RelationshipId);
                    else
                    {
                        OpenXmlPart made = story.IsHeader ? main.AddNewPart<HeaderPart>() : main.AddNewPart<FooterPart>();
                        stories[story] = (made, main.GetIdOfPart(made));
                    }
                }
            }
        }

        // A note read from the package keeps its identifier unless an earlier
        // note took it; other notes get new ones above every identifier the
        // part holds.
        private void NumberNotes(List<InlineStory> notes, object? readRoot)
        {
            long highest = 0;
            foreach (OpenXmlElement child in (readRoot as OpenXmlElement)?.ChildElements ?? Enumerable.Empty<OpenXmlElement>())
            {
                if (long.TryParse(WordMl.Attribute(child, "id"), NumberStyles.Integer, CultureInfo.InvariantCulture, out long id))
                    highest = System.Math.Max(highest, id);
            }
            var taken = new HashSet<string>(StringComparer.Ordinal);
            foreach (InlineStory note in notes)
            {
                string id = note.Origin is StoryNodeOrigin origin && taken.Add(origin.Id)
                    ? origin.Id
                    : (++highest).ToString(CultureInfo.InvariantCulture);
                taken.Add(id);
                storyIds[note] = id;
            }
        }

        // The footnotes, endnotes and comments parts, from the tree: what the
        // part held that never became a node (separators, notes referred to
        // from kept markup) is written back first, as read; then each node.
        public void WriteNotesAndComments(XmlWriterSettings settings)
        {
            WriteStories(settings, footnoteNodes, source?.FootnotesRoot, main.FootnotesPart,
                () => main.AddNewPart<FootnotesPart>(), () => new W.Footnotes());
            WriteStories(settings, endnoteNodes, source?.EndnotesRoot, main.EndnotesPart,
                () => main.AddNewPart<EndnotesPart>(), () => new W.Endnotes());
            WriteStories(settings, commentNodes, source?.CommentsRoot, main.WordprocessingCommentsPart,
                () => main.AddNewPart<WordprocessingCommentsPart>(), () => new W.Comments());
        }

        private void WriteStories(XmlWriterSettings settings, List<InlineStory> nodes, object? read, OpenXmlPart? part,
            Func<OpenXmlPart> addPart, Func<OpenXmlElement> newRoot)
        {
            var readRoot = read as OpenXmlElement;
            if (nodes.Count == 0 && (readRoot is null || part is null))
                return;
            part ??= addPart();
            SetPart(part);
            using Stream stream = part.GetStream(FileMode.Create, FileAccess.Write);
            using var w = XmlWriter.Create(stream, settings);
            w.WriteStartDocument(true);
            OpenXmlElement root = readRoot ?? newRoot();
            WriteStart(w, root);
            fieldNesting = new Fields.FieldNesting();
            if (readRoot is null && root is not W.Comments)
                WriteSeparators(w, root is W.Endnotes);
            // What the part held stays in its order: what never became a node,
            // and the notes whose nodes are unchanged, each as its own element
            // (a copy's stands where the original's was); the rest follow.
            var unchanged = new Dictionary<object, InlineStory>(ReferenceEqualityComparer.Instance);
            foreach (InlineStory story in nodes)
            {
                if (story.Origin is StoryNodeOrigin origin && IsUnchanged(story, origin))
                    unchanged.TryAdd(origin.Place, story);
            }
            foreach (OpenXmlElement child in readRoot?.ChildElements ?? Enumerable.Empty<OpenXmlElement>())
            {
                if (source?.StoriesRead.Contains(child) != true)
                    child.WriteTo(w);
                else if (unchanged.TryGetValue(child, out InlineStory? kept))
                    ((OpenXmlElement)((StoryNodeOrigin)kept.Origin!).Story).WriteTo(w);
            }
            foreach (InlineStory story in nodes)
            {
                if (!(story.Origin is StoryNodeOrigin origin && unchanged.TryGetValue(origin.Place, out InlineStory? kept)
                      && ReferenceEquals(kept, story)))
                    WriteStory(w, story);
            }
            w.WriteEndElement();
        }

        // The separator and continuation separator a new notes part starts with.
        private static void WriteSeparators(XmlWriter w, bool endnotes)
        {
            foreach ((int id, OpenXmlElement mark, string type) in new (int, OpenXmlElement, string)[]
                     { (-1, new W.SeparatorMark(), "separator"), (0, new W.ContinuationSeparatorMark(), "continuationSeparator") })
            {
                OpenXmlElement note = endnotes ? new W.Endnote() : new W.Footnote();
                note.SetAttribute(new OpenXmlAttribute("w", "type", WordMl.W, type));
                note.SetAttribute(new OpenXmlAttribute("w", "id", WordMl.W, Id(id)));
                note.AppendChild(new W.Paragraph(new W.Run(mark)));
                note.WriteTo(w);
            }
        }

        private void WriteStory(XmlWriter w, InlineStory story)
        {
            string id = storyIds[story];
            var origin = story.Origin as StoryNodeOrigin;
            OpenXmlElement element = origin?.Story is OpenXmlElement from ? from.CloneNode(false)
                : story is Comment ? new W.Comment()
                : ((Notes.Footnote)story).FootnoteType == Notes.FootnoteType.Endnote ? new W.Endnote() : new W.Footnote();
            element.SetAttribute(new OpenXmlAttribute("w", "id", WordMl.W, id));
            if (story is Comment comment)
            {
                element.SetAttribute(new OpenXmlAttribute("w", "author", WordMl.W, comment.Author));
                if (comment.Initial.Length > 0)
                    element.SetAttribute(new OpenXmlAttribute("w", "initials", WordMl.W, comment.Initial));
                if (comment.DateTime != default)
                    element.SetAttribute(new OpenXmlAttribute("w", "date", WordMl.W,
                        comment.DateTime.ToString("yyyy-MM-ddTHH:mm:ssZ", CultureInfo.InvariantCulture)));
            }
            WriteStart(w, element);
            fieldNesting = new Fields.FieldNesting();
            bool first = true;
            for (Node? node = story.FirstChild; node is not null; node = node.NextSibling)
            {
                // A new note's first paragraph shows the note's number, unless
                // it holds its mark already (a note copied from another document).
                if (first && origin is null && node is Paragraph paragraph && story is Notes.Footnote note && !HoldsNoteMark(paragraph))
                {
                    W.Paragraph p = ParagraphElement(paragraph);
                    p.InsertAt(NoteMark(note), p.ParagraphProperties is null ? 0 : 1);
                    p.WriteTo(w);
                }
                else
                    WriteBlock(w, node);
                first = false;
            }
            if (story.FirstChild is null)
                new W.Paragraph(story is Notes.Footnote empty && origin is null ? NoteMark(empty) : new W.Run()).WriteTo(w);
            w.WriteEndElement();
        }

        private static bool HoldsNoteMark(Paragraph paragraph)
        {
            for (Node? node = paragraph.FirstChild; node is not null; node = node.NextSibling)
            {
                if (node is KeptInline kept && RawMarkup.ElementOf(kept.Markup) is { } element
                    && element.Descendants().Prepend(element).Any(e => e is W.FootnoteReferenceMark or W.EndnoteReferenceMark))
                    return true;
            }
            return false;
        }

        private static W.Run NoteMark(Notes.Footnote note) => new(
            new W.RunProperties(Val(new W.VerticalTextAlignment(), "superscript")),
            note.FootnoteType == Notes.FootnoteType.Endnote ? new W.EndnoteReferenceMark() : new W.FootnoteReferenceMark());

        private bool IsUnchanged(InlineStory story, StoryNodeOrigin origin)
        {
            if (origin.Id != storyIds[story])
                return false;
            if (story is Comment comment && (comment.Author != origin.Author || comment.Initial != origin.Initial
                                             || comment.DateTime != origin.DateTime))
                return false;
            Node? node = story.FirstChild;
            foreach (Node read in origin.Children)
            {
                if (!ReferenceEquals(node, read) || node is Table
                    || node is Paragraph paragraph && !IsUnchanged(paragraph, null))
                    return false;
                node = node.NextSibling;
            }
            return node is null;
        }

        // Every header and footer into its part, from its tree like the body.
        public void WriteHeadersFooters(XmlWriterSettings settings)
        {
            foreach ((HeaderFooter story, (OpenXmlPart part, _)) in stories)
            {
                SetPart(part);
                using Stream stream = part.GetStream(FileMode.Create, FileAccess.Write);
                using var w = XmlWriter.Create(stream, settings);
                w.WriteStartDocument(true);
                var root = (story.Origin as StoryOrigin)?.Root as OpenXmlElement
                    ?? (story.IsHeader ? new W.Header() : new W.Footer());
                WriteStart(w, root);
            fieldNesting = new Fields.FieldNesting();
                Node? last = null;
                for (Node? node = story.FirstChild; node is not null; node = node.NextSibling)
                {
                    WriteBlock(w, node);
                    last = node;
                }
                // A header or footer holds at least one paragraph and ends with one.
                if (last is not Paragraph)
                    new W.Paragraph().WriteTo(w);
                w.WriteEndElement();
            }
        }

        private List<(HeaderFooter Story, string Id)> StoriesOf(Section section) =>
            section.Matching(NodeType.HeaderFooter, false).Select(n => ((HeaderFooter)n, stories[(HeaderFooter)n].Id)).ToList();

        // True when the section's properties need writing anew: a new start,
        // page or set of headers and footers.
        private bool SectionChanged(Section section) =>
            section.Origin is not SectionOrigin origin || section.Start != origin.Start
            || !SamePage(section.PageSetup, origin.PageSetup)
            || !StoriesOf(section).Select(s => s.Id).ToHashSet().SetEquals(origin.StoryIds);

        public void Write(XmlWriter w, System.IO.Stream target)
        {
            rawTarget = target;
            try
            {
                Write(w);
            }
            finally
            {
                rawTarget = null;
            }
        }

        private void Write(XmlWriter w)
        {
            SetPart(main);
            var read = source?.MainRoot as W.Document;
            WriteStart(w, read ?? new W.Document());
            W.Body? readBody = null;
            foreach (OpenXmlElement child in read?.ChildElements ?? Enumerable.Empty<OpenXmlElement>())
            {
                if (child is W.Body body)
                    readBody = body;
                else
                    child.WriteTo(w);
            }
            WriteStart(w, readBody ?? new W.Body());
            for (int i = 0; i < sections.Length; i++)
            {
                bool last = i == sections.Length - 1;
                List<Node> blocks = BlocksOf(sections[i]);
                Paragraph? end = !last && blocks.Count > 0 ? blocks[^1] as Paragraph : null;
                if (end is not null)
                    sectionEnds[end] = sections[i];
                foreach (Node block in blocks)
                    WriteBlock(w, block);
                // A section other than the last ends in its last paragraph's
                // properties, so it needs a paragraph.
                if (!last && end is null)
                    new W.Paragraph(new W.ParagraphProperties(SectionProperties(sections[i]))).WriteTo(w);
                if (last)
                    SectionProperties(sections[i]).WriteTo(w);
            }
            w.WriteEndElement();
            w.WriteEndElement();
        }

        // True when the body would be written as it was read: one section,
        // as read, whose blocks are each written as the markup they were
        // read as, in their order, with nothing but white space between
        // them; the main part then need not be written at all.
        public bool BodyAsRead()
        {
            if (source is not { BodyContent: { } content, LastSectionMarkup: { } last } || !content.IsPartOf(source.MainPart)
                || sections.Length != 1 || SectionChanged(sections[0])
                || !ReferenceEquals(((SectionOrigin)sections[0].Origin!).Element, last.Element))
                return false;
            int at = content.Start;
            foreach (Node block in BlocksOf(sections[0]))
            {
                if (MarkupAsRead(block) is not { } markup || !content.IsSpaceBetween(at, markup.Start))
                    return false;
                at = markup.End;
            }
            return content.IsSpaceBetween(at, last.Start) && content.IsSpaceBetween(last.End, content.End);
        }

        // The markup a body block is written as when that is the markup it
        // was read as (see WriteParagraph, WriteTable, WriteKept).
        private RawMarkup? MarkupAsRead(Node block)
        {
            RawMarkup? markup = block switch
            {
                Paragraph paragraph when IsUnchanged(paragraph, null) => ((ParagraphOrigin)paragraph.Origin!).Element as RawMarkup,
                Table { Origin: TableOrigin { Whole: { } whole } } table when IsUnchanged(table) => whole,
                KeptBlock { Markup: RawMarkup kept } when kept.NamesNoRelationship => kept,
                _ => null,
            };
            return RawMarkup.IsUntouched(markup) && markup!.IsPartOf(source?.MainPart) ? markup : null;
        }

        // The blocks of a section's body that are written: a paragraph the
        // loader only added to complete the tree is not, while still empty.
        private List<Node> BlocksOf(Section section)
        {
            var blocks = new List<Node>();
            for (Node? node = section.Body?.FirstChild; node is not null; node = node.NextSibling)
            {
                if (node is Paragraph { HasChildNodes: false } && source?.Fillers.Contains(node) == true)
                    continue;
                if (node is Paragraph or Table or KeptBlock)
                    blocks.Add(node);
            }
            return blocks;
        }

        // An element's start tag with its attributes and the namespaces it
        // declares.
        private static void WriteStart(XmlWriter w, OpenXmlElement element)
        {
            w.WriteStartElement(element.Prefix, element.LocalName, element.NamespaceUri);
            foreach (KeyValuePair<string, string> ns in element.NamespaceDeclarations)
                w.WriteAttributeString("xmlns", ns.Key, null, ns.Value);
            foreach (OpenXmlAttribute attribute in element.GetAttributes())
                w.WriteAttributeString(attribute.Prefix, attribute.LocalName, attribute.NamespaceUri, attribute.Value);
        }

        private void WriteBlock(XmlWriter w, Node node)
        {
            switch (node)
            {
                case Paragraph paragraph:
                    WriteParagraph(w, paragraph);
                    break;
                case Table table:
                    WriteTable(w, table);
                    break;
                case KeptBlock kept:
                    WriteKept(w, kept.Markup);
                    break;
            }
        }

        private void WriteParagraph(XmlWriter w, Paragraph paragraph)
        {
            sectionEnds.TryGetValue(paragraph, out Section? ends);
            if (IsUnchanged(paragraph, ends))
            {
                for (Node? node = paragraph.FirstChild; node is not null; node = node.NextSibling)
                    fieldNesting.Step(node);
                RawMarkup.Write(w, ((ParagraphOrigin)paragraph.Origin!).Element, rawTarget);
                return;
            }
            W.Paragraph element = ParagraphElement(paragraph);
            if (ends is not null)
                (element.ParagraphProperties ??= new W.ParagraphProperties()).SectionProperties = SectionProperties(ends);
            element.WriteTo(w);
        }

        // True when the paragraph's element can be written as it was read:
        // the same formatting, the same children unchanged and in the same
        // order, and the same section ending in it.
        private bool IsUnchanged(Paragraph paragraph, Section? ends)
        {
            if (paragraph.Origin is not ParagraphOrigin origin || !SameFormat(origin.Format, paragraph.OwnedFormat)
                || FormatChangeOf(paragraph) is not null
                || origin.ListLevel != paragraph.ListFormat.ListLevelNumber
                || !ReferenceEquals(origin.List, paragraph.ListFormat.List))
                return false;
            // The streaming reader keeps as markup only paragraphs that end no section.
            W.SectionProperties? readSection = RawMarkup.IsUntouched(origin.Element) ? null
                : (RawMarkup.ElementOf(origin.Element) as W.Paragraph)?.ParagraphProperties?.SectionProperties;
            if (ends is null ? readSection is not null
                : ends.Origin is not SectionOrigin section || !ReferenceEquals(section.Element, readSection)
                    || SectionChanged(ends))
                return false;
            return ChildrenUnchanged(paragraph, origin.Children);
        }

        // True when the node holds just the children it was read with, each
        // as read.
        private bool ChildrenUnchanged(CompositeNode parent, Node[] read)
        {
            Node? node = parent.FirstChild;
            foreach (Node child in read)
            {
                if (!ReferenceEquals(node, child) || !IsUnchanged(node))
                    return false;
                node = node.NextSibling;
            }
            return node is null;
        }

        // True when an inline node is as it was read, so that the element it
        // was read as can be written for it.
        private bool IsUnchanged(Node node) => node switch
        {
            // A run still sharing the formatting it was read with has it unchanged.
            Run { Origin: RunOrigin run, Revision: null } r => run.Text == r.Text
                && (ReferenceEquals(r.FormattingView, run.Font) || r.FormattingView.HasSameFormatting(run.Font))
                && FormatChangeOf(r) is null,
            KeptInline => true,
            Fields.FieldChar { Origin: PlainOrigin or WholeFieldOrigin } => true,
            Fields.FormField field => DocxFormFields.IsUnchanged(field),
            Markup.StructuredDocumentTag { Origin: ContentControlOrigin origin } control =>
                DocxContentControls.PropertiesUnchanged(control, origin) && ChildrenUnchanged(control, origin.Children),
            BookmarkStart { Origin: BookmarkOrigin b } start => b.Name == start.Name,
            BookmarkEnd { Origin: BookmarkOrigin b } end => b.Name == end.Name,
            CommentRangeStart { Origin: RangeOrigin r } start => r.Id == start.Id,
            CommentRangeEnd { Origin: RangeOrigin r } end => r.Id == end.Id,
            InlineStory { Origin: StoryNodeOrigin s } story => s.Id == storyIds[story],
            Drawing.ShapeBase { Origin: ShapeOrigin s } shape => !s.IsCopy && s.Width == shape.Width && s.Height == shape.Height,
            _ => false,
        };

        private static bool SameFormat(ParagraphFormat a, ParagraphFormat b) => ReferenceEquals(a, b) || a.HasSameFormatting(b);

        private W.Paragraph ParagraphElement(Paragraph paragraph)
        {
            var origin = paragraph.Origin as ParagraphOrigin;
            var from = RawMarkup.ElementOf(origin?.Element) as W.Paragraph;
            var element = from is null ? new W.Paragraph() : (W.Paragraph)from.CloneNode(false);
            var pPr = (W.ParagraphProperties?)from?.ParagraphProperties?.CloneNode(true);
            ParagraphFormat before = origin?.Format ?? defaultFormat;
            foreach ((Func<ParagraphFormat, object> get, var set) in ParagraphEntries)
            {
                if (!Equals(get(before), get(paragraph.OwnedFormat)))
                    set(pPr ??= new W.ParagraphProperties(), paragraph.OwnedFormat, styles);
            }
            // A list item moved to another level or list, or a paragraph
            // taken out of its list (numbering id 0 overrides a style's list).
            Lists.List? list = paragraph.ListFormat.List;
            bool otherList = !ReferenceEquals(list, origin?.List);
            if ((list is not null && paragraph.ListFormat.ListLevelNumber != (origin?.ListLevel ?? 0)) || otherList)
            {
                W.NumberingProperties numPr = (pPr ??= new W.ParagraphProperties()).NumberingProperties ??= new W.NumberingProperties();
                numPr.NumberingLevelReference = list is null ? null : Val(new W.NumberingLevelReference(),
                    paragraph.ListFormat.ListLevelNumber.ToString(CultureInfo.InvariantCulture));
                if (otherList)
                    numPr.NumberingId = Val(new W.NumberingId(), (list?.ListId ?? 0).ToString(CultureInfo.InvariantCulture));
            }
            if (FormatChangeOf(paragraph) is ParagraphFormatRecord formatChange)
                (pPr ??= new W.ParagraphProperties()).ParagraphPropertiesChange = FormatChangeElement(formatChange, origin, from);
            if (pPr is not null)
            {
                // Sections are written from the tree.
                pPr.SectionProperties = null;
                if (pPr.HasChildren || pPr.HasAttributes)
                    element.AppendChild(pPr);
            }
            AppendInlines(paragraph, element);
            return element;
        }

        // The elements of a paragraph's (or an inline content control's)
        // children, appended to the element that holds them.
        private void AppendInlines(CompositeNode parent, OpenXmlElement element)
        {
            for (Node? node = parent.FirstChild; node is not null; node = node.NextSibling)
            {
                // A link or simple field whose nodes are all as read is written
                // as the element it was read from.
                if (node is Fields.FieldStart { Origin: WholeFieldOrigin whole } && WholeUnchanged(node, whole) is { } last)
                {
                    element.AppendChild(((OpenXmlElement)whole.Whole).CloneNode(true));
                    node = last;
                    continue;
                }
                switch (node)
                {
                    case Run run:
                        element.AppendChild(run.Revision is null ? RunElement(run, fieldNesting.InInnermostCode)
                            : (OpenXmlElement)TrackedRunElement(run, run.Revision, fieldNesting.InInnermostCode));
                        break;
                    case Fields.FieldChar mark:
                        fieldNesting.Step(mark);
                        element.AppendChild(FieldMarkElement(mark));
                        break;
                    case InlineStory story:
                        element.AppendChild(ReferenceElement(story));
                        break;
                    case CommentRangeStart start:
                        element.AppendChild(start.Origin is RangeOrigin { Element: OpenXmlElement opening } && IsUnchanged(start)
                            ? opening.CloneNode(true) : new W.CommentRangeStart { Id = Id(start.Id) });
                        break;
                    case CommentRangeEnd end:
                        element.AppendChild(end.Origin is RangeOrigin { Element: OpenXmlElement closing } && IsUnchanged(end)
                            ? closing.CloneNode(true) : new W.CommentRangeEnd { Id = Id(end.Id) });
                        break;
                    case KeptInline kept:
                        if (Resolves(kept.Element))
                            element.AppendChild(((OpenXmlElement)kept.Element).CloneNode(true));
                        else
                            Dropped++;
                        break;
                    case BookmarkStart start:
                        element.AppendChild(BookmarkElement(start, start.Name, true));
                        break;
                    case BookmarkEnd end:
                        element.AppendChild(BookmarkElement(end, end.Name, false));
                        break;
                    // Shapes made here have no drawing to write yet.
                    case Drawing.ShapeBase shape:
                        if (PictureElement(shape) is { } picture && Resolves(picture))
                            element.AppendChild(picture);
                        else
                            Dropped++;
                        break;
                    case Markup.StructuredDocumentTag { Level: Markup.MarkupLevel.Inline } control:
                        element.AppendChild(ContentControlElement(control));
                        break;
                }
            }
        }

        // An inline content control: as read when nothing in it changed,
        // else its properties as read (changed values set) around its
        // content written from the nodes.
        private OpenXmlElement ContentControlElement(Markup.StructuredDocumentTag control)
        {
            if (control.Origin is ContentControlOrigin { Element: OpenXmlElement read } && IsUnchanged(control) && Resolves(read))
                return read.CloneNode(true);
            OpenXmlElement sdt = DocxContentControls.Shell(control, out OpenXmlElement content);
            AppendInlines(control, content);
            return sdt;
        }

        // A bookmark's start or end: as read while its name stands, else with
        // an identifier of its own that pairs the start with the next end of
        // the same name (copies of one bookmark are pairs of their own).
        private OpenXmlElement BookmarkElement(Node node, string name, bool start)
        {
            if (node.Origin is BookmarkOrigin origin && origin.Name == name)
                return ((OpenXmlElement)origin.Element).CloneNode(true);
            if (start || !openBookmarks.Remove(name, out string? id))
            {
                id = (NewBookmarkIds + bookmarksMade++).ToString(CultureInfo.InvariantCulture);
                if (start)
                    openBookmarks[name] = id;
            }
            var element = start ? (OpenXmlElement)new W.BookmarkStart { Name = name, Id = id } : new W.BookmarkEnd { Id = id };
            if (node.Origin is BookmarkOrigin { Element: OpenXmlElement read })
            {
                foreach (OpenXmlAttribute attribute in read.GetAttributes())
                {
                    if (attribute.LocalName is not ("id" or "name"))
                        element.SetAttribute(attribute);
                }
            }
            return element;
        }

        // Identifiers of bookmarks named or renamed here start far above
        // those word processors give.
        private const int NewBookmarkIds = 1_000_000;
        private readonly Dictionary<string, string> openBookmarks = new(StringComparer.Ordinal);
        private int bookmarksMade;

        private static string Id(int id) => id.ToString(CultureInfo.InvariantCulture);

        // Where the writing is among fields, carried from paragraph to
        // paragraph of a story: a field's code may go on in the next one.
        private Fields.FieldNesting fieldNesting = new();

        // The last node of the whole field when its nodes follow each other
        // unchanged from the start on, and its element fits this part.
        private Node? WholeUnchanged(Node start, WholeFieldOrigin whole)
        {
            Node? node = start, last = null;
            foreach (Node read in whole.Nodes)
            {
                if (!ReferenceEquals(node, read) || !IsUnchanged(node))
                    return null;
                last = node;
                node = node.NextSibling;
            }
            return Resolves(whole.Whole) ? last : null;
        }

        // A field mark as the run that holds it, formatted as the mark is.
        private W.Run FieldMarkElement(Fields.FieldChar mark)
        {
            object? read = mark.Origin switch
            {
                PlainOrigin plain => plain.Element,
                WholeFieldOrigin whole => whole.Element,
                _ => null,
            };
            // A form field's data is written in its start mark.
            if (mark is Fields.FieldStart { NextSibling: Fields.FormField formField } && !DocxFormFields.IsUnchanged(formField))
                return DocxFormFields.WithData(read is W.Run from ? (W.Run)from.CloneNode(true) : NewStartRun(mark), formField);
            if (read is W.Run run)
                return (W.Run)run.CloneNode(true);
            return NewStartRun(mark);
        }

        private W.Run NewStartRun(Fields.FieldChar mark)
        {
            W.Run element = NewRun(mark.Font);
            element.AppendChild(new W.FieldChar
            {
                FieldCharType = mark switch
                {
                    Fields.FieldStart => W.FieldCharValues.Begin,
                    Fields.FieldSeparator => W.FieldCharValues.Separate,
                    _ => W.FieldCharValues.End,
                },
            });
            return element;
        }

        // A run whose properties are the font's differences from the
        // document's default formatting.
        private W.Run NewRun(Font font)
        {
            var element = new W.Run();
            var rPr = new W.RunProperties();
            foreach ((Func<Font, object> get, var set) in FontEntries)
            {
                if (!Equals(get(defaultFont), get(font)))
                    set(rPr, font);
            }
            if (rPr.HasChildren)
                element.AppendChild(rPr);
            return element;
        }

        // The run that refers to a footnote, endnote or comment: as read
        // while its identifier stands, else a new superscript reference.
        private W.Run ReferenceElement(InlineStory story)
        {
            string id = storyIds[story];
            if (story.Origin is StoryNodeOrigin { Element: W.Run read })
            {
                var element = (W.Run)read.CloneNode(true);
                foreach (OpenXmlElement reference in element.ChildElements)
                {
                    switch (reference)
                    {
                        case W.FootnoteReference f:
                            f.Id = long.Parse(id, CultureInfo.InvariantCulture);
                            break;
                        case W.EndnoteReference e:
                            e.Id = long.Parse(id, CultureInfo.InvariantCulture);
                            break;
                        case W.CommentReference c:
                            c.Id = id;
                            break;
                    }
                }
                return element;
            }
            var run = new W.Run();
            if (story is Notes.Footnote)
                run.AppendChild(new W.RunProperties(Val(new W.VerticalTextAlignment(), "superscript")));
            run.AppendChild(story switch
            {
                Notes.Footnote { FootnoteType: Notes.FootnoteType.Endnote } =>
                    new W.EndnoteReference { Id = long.Parse(id, CultureInfo.InvariantCulture) },
                Notes.Footnote => new W.FootnoteReference { Id = long.Parse(id, CultureInfo.InvariantCulture) },
                _ => (OpenXmlElement)new W.CommentReference { Id = id },
            });
            return run;
        }

        // Text inside a field's code is the code's own kind of text.
        private W.Run RunElement(Run run, bool code)
        {
            var origin = run.Origin as RunOrigin;
            var from = RawMarkup.ElementOf(origin?.Element) as W.Run;
            Font before = origin?.Font ?? defaultFont;
            bool sameText = origin is not null && origin.Text == run.Text;
            Font font = run.FormattingView;
            bool sameFont = font.HasSameFormatting(before);
            var formatChange = FormatChangeOf(run) as RunFormatRecord;
            if (from is not null && sameText && sameFont && formatChange is null)
                return (W.Run)from.CloneNode(true);
            var element = from is null ? new W.Run() : (W.Run)from.CloneNode(false);
            var rPr = (W.RunProperties?)from?.RunProperties?.CloneNode(true);
            if (!sameFont)
            {
                rPr ??= new W.RunProperties();
                foreach ((Func<Font, object> get, var set) in FontEntries)
                {
                    if (!Equals(get(before), get(font)))
                        set(rPr, font);
                }
            }
            if (formatChange is not null)
                (rPr ??= new W.RunProperties()).RunPropertiesChange = FormatChangeElement(formatChange, origin, from);
            if (rPr is not null && (rPr.HasChildren || rPr.HasAttributes))
                element.AppendChild(rPr);
            if (sameText)
            {
                foreach (OpenXmlElement child in from!.ChildElements)
                {
                    if (child is not W.RunProperties)
                        element.AppendChild(child.CloneNode(true));
                }
            }
            else if (code)
                element.AppendChild(new W.FieldCode(Strip(run.Text)) { Space = SpaceProcessingModeValues.Preserve });
            else
                AppendText(element, run.Text);
            return element;
        }

        // The record of a format change made while tracking that the node holds, if any.
        private FormatRecord? FormatChangeOf(Node node) =>
            formatRecords?.GetValueOrDefault(node) is { } record && record.Changes(node) ? record : null;

        // The properties a paragraph had before a change made while tracking:
        // as read when it was still formatted as read (the mark's run
        // properties, section and records are no paragraph settings), else its
        // formatting apart from the default.
        private W.ParagraphPropertiesChange FormatChangeElement(ParagraphFormatRecord record, ParagraphOrigin? origin, W.Paragraph? from)
        {
            var previous = new W.ParagraphPropertiesExtended();
            if (origin is not null && from?.ParagraphProperties is { } read && record.Before.HasSameFormatting(origin.Format))
            {
                foreach (OpenXmlElement setting in read.ChildElements.Where(e =>
                    e is not (W.ParagraphMarkRunProperties or W.SectionProperties or W.ParagraphPropertiesChange)))
                    previous.AppendChild(setting.CloneNode(true));
            }
            else
            {
                var settings = new W.ParagraphProperties();
                foreach ((Func<ParagraphFormat, object> get, var set) in ParagraphEntries)
                {
                    if (!Equals(get(defaultFormat), get(record.Before)))
                        set(settings, record.Before, styles);
                }
                foreach (OpenXmlElement setting in settings.ChildElements)
                    previous.AppendChild(setting.CloneNode(true));
            }
            return new W.ParagraphPropertiesChange(previous) { Author = record.Author, Date = record.Date, Id = NextRevisionId() };
        }

        // The properties a run had before a change made while tracking: as
        // read when it was still formatted as read, else its formatting apart
        // from the document's default.
        private W.RunPropertiesChange FormatChangeElement(RunFormatRecord record, RunOrigin? origin, W.Run? from)
        {
            var previous = new W.PreviousRunProperties();
            if (origin is not null && from?.RunProperties is { } read && record.Before.HasSameFormatting(origin.Font))
            {
                foreach (OpenXmlElement setting in read.ChildElements.Where(e => e is not W.RunPropertiesChange))
                    previous.AppendChild(setting.CloneNode(true));
            }
            else
            {
                var settings = new W.RunProperties();
                foreach ((Func<Font, object> get, var set) in FontEntries)
                {
                    if (!Equals(get(defaultFont), get(record.Before)))
                        set(settings, record.Before);
                }
                foreach (OpenXmlElement setting in settings.ChildElements)
                    previous.AppendChild(setting.CloneNode(true));
            }
            return new W.RunPropertiesChange(previous) { Author = record.Author, Date = record.Date, Id = NextRevisionId() };
        }

        // What XML can carry of a text.
        private static string Strip(string text) =>
            string.Concat(text.EnumerateRunes().Where(r => !r.IsBmp || XmlConvert.IsXmlChar((char)r.Value)));

        // A run with a recorded revision inside the w:ins or w:del that marks
        // it; deleted text and field code are written as w:delText and
        // w:delInstrText, as the format requires.
        private W.RunTrackChangeType TrackedRunElement(Run run, RunRevision revision, bool code)
        {
            W.Run element = RunElement(run, code);
            W.RunTrackChangeType mark;
            if (revision.Type == RevisionType.Deletion)
            {
                foreach (W.Text text in element.Elements<W.Text>().ToList())
                    text.InsertBeforeSelf(new W.DeletedText(text.Text) { Space = text.Space }).Parent!.RemoveChild(text);
                foreach (W.FieldCode text in element.Elements<W.FieldCode>().ToList())
                    text.InsertBeforeSelf(new W.DeletedFieldCode(text.Text) { Space = text.Space }).Parent!.RemoveChild(text);
                mark = new W.DeletedRun();
            }
            else
                mark = new W.InsertedRun();
            mark.Author = revision.Author;
            mark.Date = revision.Date;
            mark.Id = NextRevisionId();
            mark.AppendChild(element);
            return mark;
        }

        // Identifiers of revisions recorded here start far above those word
        // processors give, as new bookmarks' do.
        private const int NewRevisionIds = 1_000_000;
        private int revisionIds;

        private string NextRevisionId() => (NewRevisionIds + revisionIds++).ToString(CultureInfo.InvariantCulture);

        private void WriteTable(XmlWriter w, Table table)
        {
            var origin = table.Origin as TableOrigin;
            if (origin is { Whole: { } whole } && IsUnchanged(table))
            {
                StepThrough(table);
                RawMarkup.Write(w, whole, rawTarget);
                return;
            }
            var from = RawMarkup.ElementOf(origin?.Element) as W.Table;
            WriteStart(w, from ?? new W.Table());
            var readProperties = from?.GetFirstChild<W.TableProperties>();
            if (readProperties is not null && table.Alignment == origin!.Alignment)
                readProperties.WriteTo(w);
            else
            {
                W.TableProperties tblPr = (W.TableProperties?)readProperties?.CloneNode(true) ?? NewTableProperties();
                if (table.Alignment != (origin?.Alignment ?? TableAlignment.Left))
                    tblPr.TableJustification = Val(new W.TableJustification(),
                        WordMl.NameOf(WordMl.TableAlignments, table.Alignment));
                tblPr.WriteTo(w);
            }
            int columns = table.Matching(NodeType.Row, false).Select(r => ((Row)r).Cells.Count).DefaultIfEmpty(1).Max();
            (from?.GetFirstChild<W.TableGrid>() ?? NewGrid(columns)).WriteTo(w);
            for (Node? node = table.FirstChild; node is not null; node = node.NextSibling)
            {
                if (node is Row row)
                    WriteRow(w, row, columns);
                else if (node is KeptBlock kept)
                    WriteKept(w, kept.Markup);
            }
            w.WriteEndElement();
        }

        // True when a table read as a stream is as read throughout: its
        // alignment, rows, cells, their formats and every block in them.
        private bool IsUnchanged(Table table) =>
            table.Origin is TableOrigin { Children: { } read } origin && table.Alignment == origin.Alignment
            && SameChildren(table, read, node => node switch
            {
                Row { Origin: RowOrigin { Children: { } cells } rowOrigin } row => row.RowFormat.SameAs(rowOrigin.Format)
                    && SameChildren(row, cells, child => child switch
                    {
                        Cell { Origin: CellOrigin { Children: { } blocks } cellOrigin } cell =>
                            cell.CellFormat.SameAs(cellOrigin.Format) && SameChildren(cell, blocks, IsUnchangedBlock),
                        KeptBlock => true,
                        _ => false,
                    }),
                KeptBlock => true,
                _ => false,
            });

        private bool IsUnchangedBlock(Node node) => node switch
        {
            Paragraph paragraph => IsUnchanged(paragraph, null),
            Table table => IsUnchanged(table),
            KeptBlock => true,
            _ => false,
        };

        // True when the children are the nodes read, in order, each passing unchanged.
        private static bool SameChildren(CompositeNode parent, Node[] read, Func<Node, bool> unchanged)
        {
            Node? node = parent.FirstChild;
            foreach (Node expected in read)
            {
                if (!ReferenceEquals(node, expected) || !unchanged(node))
                    return false;
                node = node.NextSibling;
            }
            return node is null;
        }

        // Carries the field state through the paragraphs of markup written whole.
        private void StepThrough(CompositeNode container)
        {
            for (Node? node = container.FirstChild; node is not null; node = node.NextSibling)
            {
                if (node is Paragraph paragraph)
                {
                    for (Node? inline = paragraph.FirstChild; inline is not null; inline = inline.NextSibling)
                        fieldNesting.Step(inline);
                }
                else if (node is CompositeNode inner)
                    StepThrough(inner);
            }
        }

        private void WriteRow(XmlWriter w, Row row, int columns)
        {
            var origin = row.Origin as RowOrigin;
            var from = RawMarkup.ElementOf(origin?.Element) as W.TableRow;
            WriteStart(w, from ?? new W.TableRow());
            from?.TablePropertyExceptions?.WriteTo(w);
            DocxTableFormats.Properties(row.RowFormat, origin?.Format, from?.TableRowProperties)?.WriteTo(w);
            bool hasCell = false;
            for (Node? node = row.FirstChild; node is not null; node = node.NextSibling)
            {
                if (node is Cell cell)
                {
                    WriteCell(w, cell, columns);
                    hasCell = true;
                }
                else if (node is KeptBlock kept)
                    WriteKept(w, kept.Markup);
            }
            // A row needs a cell.
            if (!hasCell)
                new W.TableCell(new W.Paragraph()).WriteTo(w);
            w.WriteEndElement();
        }

        private void WriteCell(XmlWriter w, Cell cell, int columns)
        {
            var origin = cell.Origin as CellOrigin;
            var from = RawMarkup.ElementOf(origin?.Element) as W.TableCell;
            WriteStart(w, from ?? new W.TableCell());
            // A cell read without properties stays without them.
            W.TableCellProperties? read = from is null
                ? new W.TableCellProperties(new W.TableCellWidth
                {
                    Width = (FullWidthTwips / columns).ToString(CultureInfo.InvariantCulture),
                    Type = W.TableWidthUnitValues.Dxa,
                })
                : from.TableCellProperties;
            DocxTableFormats.Properties(cell.CellFormat, origin?.Format, read)?.WriteTo(w);
            Node? lastWritten = null;
            for (Node? node = cell.FirstChild; node is not null; node = node.NextSibling)
            {
                if (node is Paragraph or Table or KeptBlock)
                {
                    WriteBlock(w, node);
                    lastWritten = node;
                }
            }
            // A cell ends with a paragraph: its mark is the cell's end.
            if (lastWritten is not Paragraph)
                new W.Paragraph().WriteTo(w);
            w.WriteEndElement();
        }

        // The text area of a US Letter page with one-inch margins.
        private const int FullWidthTwips = 9360;

        private static W.TableProperties NewTableProperties()
        {
            W.TableBorders borders = new(
                new W.TopBorder(), new W.LeftBorder(), new W.BottomBorder(), new W.RightBorder(),
                new W.InsideHorizontalBorder(), new W.InsideVerticalBorder());
            foreach (OpenXmlElement border in borders.ChildElements)
            {
                border.SetAttribute(new OpenXmlAttribute("w", "val", WordMl.W, "single"));
                border.SetAttribute(new OpenXmlAttribute("w", "sz", WordMl.W, "4"));
                border.SetAttribute(new OpenXmlAttribute("w", "space", WordMl.W, "0"));
                border.SetAttribute(new OpenXmlAttribute("w", "color", WordMl.W, "auto"));
            }
            return new W.TableProperties(
                new W.TableWidth { Width = "0", Type = W.TableWidthUnitValues.Auto }, borders);
        }

        private static W.TableGrid NewGrid(int columns)
        {
            var grid = new W.TableGrid();
            for (int i = 0; i < columns; i++)
                grid.AppendChild(new W.GridColumn { Width = (FullWidthTwips / columns).ToString(CultureInfo.InvariantCulture) });
            return grid;
        }

        // The section's own properties with its start updated; US Letter
        // with one-inch margins for a section made here.
        // The section's own properties with what changed updated; a section
        // made here gets its page size and margins written out.
        private W.SectionProperties SectionProperties(Section section)
        {
            var origin = section.Origin as SectionOrigin;
            var sectPr = origin?.Element is W.SectionProperties from
                ? (W.SectionProperties)from.CloneNode(true)
                : new W.SectionProperties();
            // References to headers and footers that were read but are gone
            // from the section go; those the section has and the properties
            // do not name are added.
            List<(HeaderFooter Story, string Id)> present = StoriesOf(section);
            foreach (OpenXmlElement reference in sectPr.ChildElements.ToArray())
            {
                string? id = (reference as W.HeaderReference)?.Id?.Value ?? (reference as W.FooterReference)?.Id?.Value;
                if (id is not null && origin?.StoryIds.Contains(id) == true && !present.Any(s => s.Id == id))
                    reference.Remove();
            }
            foreach ((HeaderFooter story, string id) in present)
            {
                if (origin?.StoryIds.Contains(id) == true)
                    continue;
                OpenXmlElement reference = story.IsHeader ? new W.HeaderReference { Id = id } : new W.FooterReference { Id = id };
                reference.SetAttribute(new OpenXmlAttribute("w", "type", WordMl.W, DocxSource.KindOf(story.HeaderFooterType)));
                // References come first, any number of them (the SDK's own
                // placement would replace one already there).
                sectPr.InsertAt(reference, sectPr.ChildElements.TakeWhile(e => e is W.HeaderReference or W.FooterReference).Count());
            }
            if (origin is null ? section.Start != SectionStart.NewPage : section.Start != origin.Start)
            {
                sectPr.RemoveAllChildren<W.SectionType>();
                AddInOrder(sectPr, Val(new W.SectionType(), WordMl.NameOf(WordMl.SectionStarts, section.Start)));
            }
            foreach ((Func<PageSetup, object> get, bool size, string name, Func<PageSetup, string> value) in PageEntries)
            {
                if (origin is not null && Equals(get(origin.PageSetup), get(section.PageSetup)))
                    continue;
                OpenXmlElement element = size
                    ? sectPr.GetFirstChild<W.PageSize>() ?? AddInOrder(sectPr, new W.PageSize())
                    : sectPr.GetFirstChild<W.PageMargin>() ?? AddInOrder(sectPr, new W.PageMargin { Gutter = 0 });
                element.SetAttribute(new OpenXmlAttribute("w", name, WordMl.W, value(section.PageSetup)));
            }
            return sectPr;
        }

        internal static bool SamePage(PageSetup a, PageSetup b) => PageEntries.All(e => Equals(e.Get(a), e.Get(b)));

        // Each page setting with the attribute of pgSz (size true) or pgMar
        // that holds it.
        private static readonly (Func<PageSetup, object> Get, bool Size, string Name, Func<PageSetup, string> Value)[]
            PageEntries =
            {
                (p => p.PageWidth, true, "w", p => Twips(p.PageWidth)),
                (p => p.PageHeight, true, "h", p => Twips(p.PageHeight)),
                (p => p.Orientation, true, "orient", p => p.Orientation == Orientation.Landscape ? "landscape" : "portrait"),
                (p => p.TopMargin, false, "top", p => Twips(p.TopMargin)),
                (p => p.RightMargin, false, "right", p => Twips(p.RightMargin)),
                (p => p.BottomMargin, false, "bottom", p => Twips(p.BottomMargin)),
                (p => p.LeftMargin, false, "left", p => Twips(p.LeftMargin)),
                (p => p.HeaderDistance, false, "header", p => Twips(p.HeaderDistance)),
                (p => p.FooterDistance, false, "footer", p => Twips(p.FooterDistance)),
            };

        // Run text as the elements the format has for it: tabs, breaks and
        // hyphens are elements of their own.
        private static void AppendText(W.Run run, string text)
        {
            var chunk = new StringBuilder();
            foreach (Rune rune in text.EnumerateRunes())
            {
                OpenXmlElement? element = rune.Value switch
                {
                    '\t' => new W.TabChar(),
                    ControlChar.LineBreakChar => new W.Break(),
                    ControlChar.PageBreakChar => new W.Break { Type = W.BreakValues.Page },
                    ControlChar.ColumnBreakChar => new W.Break { Type = W.BreakValues.Column },
                    ControlChar.NonBreakingHyphenChar => new W.NoBreakHyphen(),
                    ControlChar.OptionalHyphenChar => new W.SoftHyphen(),
                    _ => null,
                };
                if (element is null)
                {
                    // Characters XML cannot carry (the other control
                    // characters, among them the cell and field marks) are
                    // dropped, as word processors do; the rune walk has
                    // already turned unpaired surrogates into U+FFFD.
                    if (!rune.IsBmp || XmlConvert.IsXmlChar((char)rune.Value))
                        chunk.Append(rune.ToString());
                    continue;
                }
                Flush(run, chunk);
                run.AppendChild(element);
            }
            Flush(run, chunk);
        }

        private static void Flush(W.Run run, StringBuilder chunk)
        {
            if (chunk.Length == 0)
                return;
            run.AppendChild(new W.Text(chunk.ToString()) { Space = SpaceProcessingModeValues.Preserve });
            chunk.Clear();
        }
    }
}
