// StyleImport: the paragraph styles that nodes copied into another document
// name.  A paragraph names its style by name, and the target writes the
// styles it holds, so a style only the source defines would otherwise come
// out as an empty style of that name.  As the import mode asks: with
// UseDestinationStyles a style the target has by that name is used and a
// missing one is copied in; with the other modes the source's definition is
// copied in, and where the target has a different style of that name the
// copy comes in renamed ("Name_0") and the copied paragraphs name it.  A
// copied style brings the styles it is based on, followed by and linked to,
// by the same rules.  Its definition goes into the target's style edits
// with an identifier free in the target, and a Style for it into the
// target's styles.
using System;
using System.Collections.Generic;
using System.Globalization;
using System.IO;
using System.Linq;
using DocumentFormat.OpenXml;
using DocumentFormat.OpenXml.Packaging;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal sealed class StyleImport
{
    private readonly Document source;
    private readonly Document target;
    private readonly bool useDestination;
    // The name each source style has in the target, once decided.
    private readonly Dictionary<string, string> names = new(StringComparer.OrdinalIgnoreCase);
    private Dictionary<string, W.Style>? sourceByName, targetByName;
    private Dictionary<string, string>? sourceNamesById;

    public StyleImport(Document source, Document target, ImportFormatMode mode)
    {
        this.source = source;
        this.target = target;
        useDestination = mode == ImportFormatMode.UseDestinationStyles;
    }

    /// <summary>Gives the target the styles the copy's paragraphs name, and the paragraphs the names those styles have there.</summary>
    public void Carry(Node copy)
    {
        if (ReferenceEquals(source, target))
            return;
        IEnumerable<Node> paragraphs = copy is Paragraph ? new[] { copy }
            : copy is CompositeNode composite ? composite.GetChildNodes(NodeType.Paragraph, true).Cast<Node>()
            : Enumerable.Empty<Node>();
        foreach (Paragraph paragraph in paragraphs.Cast<Paragraph>())
        {
            string name = paragraph.ParagraphFormat.StyleName;
            string used = NameFor(name);
            if (used != name)
                paragraph.ParagraphFormat.StyleName = used;
        }
        // Markup kept whole (a note's reference mark, a field's runs) names
        // styles by the source's identifiers: it gets its own copy naming
        // the target's.
        var kept = new List<Node>();
        if (copy is KeptInline or KeptBlock)
            kept.Add(copy);
        if (copy is CompositeNode parent)
            kept.AddRange(parent.Matching(NodeType.System, true).Where(n => n is KeptInline or KeptBlock));
        foreach (Node node in kept)
        {
            object markup = node is KeptInline inline ? inline.Markup : ((KeptBlock)node).Markup;
            if (RawMarkup.ElementOf(markup) is not { } element || StyleReferences(element).Count == 0)
                continue;
            OpenXmlElement own = element.CloneNode(true);
            foreach (OpenXmlElement reference in StyleReferences(own))
            {
                string? id = WordMl.Val(reference);
                if (id is not null && SourceNamesById().TryGetValue(id, out string? sourceName)
                    && TargetStyles().TryGetValue(NameFor(sourceName), out W.Style? there) && there.StyleId?.Value is { } thereId)
                    reference.SetAttribute(new OpenXmlAttribute("w", "val", WordMl.W, thereId));
                else
                    reference.Remove();  // a style neither document defines
            }
            if (node is KeptInline k)
                k.Markup = own;
            else
                ((KeptBlock)node).Markup = own;
        }
    }

    private static List<OpenXmlElement> StyleReferences(OpenXmlElement element) => element.Descendants()
        .Where(e => e.NamespaceUri == WordMl.W && e.LocalName is "pStyle" or "rStyle" or "tblStyle").ToList();

    private string NameFor(string name)
    {
        if (names.TryGetValue(name, out string? known))
            return known;
        names[name] = name;  // what a style naming itself in a loop gets
        SourceStyles().TryGetValue(name, out W.Style? definition);
        // The default style stays the target's; a style the source does not
        // define (a name set in code) is left for the writer to make.
        if (definition is null || definition.Default?.Value == true && definition.Type?.InnerText == "paragraph")
            return name;
        TargetStyles().TryGetValue(name, out W.Style? own);
        string used = name;
        if (own is not null)
        {
            // The target's own name, which may differ in case.
            if (useDestination || Same(own, definition))
                return names[name] = NameOf(own);
            for (int n = 0; TargetStyles().ContainsKey(used = name + "_" + n.ToString(CultureInfo.InvariantCulture)); n++)
            {
            }
        }
        names[name] = used;
        Bring(definition, used);
        return used;
    }

    // Copies a definition in under the name, with a free identifier and its
    // references to other styles following the names those get here.
    private void Bring(W.Style definition, string name)
    {
        var style = (W.Style)definition.CloneNode(true);
        string stem = style.StyleId?.Value is { Length: > 0 } sourceId && name == NameOf(definition) ? sourceId
            : new string(name.Where(char.IsAsciiLetterOrDigit).ToArray()) is { Length: > 0 } letters ? letters : "Style";
        var taken = new HashSet<string>(TargetStyles().Values.Select(s => s.StyleId?.Value).OfType<string>(),
            StringComparer.OrdinalIgnoreCase);
        string id = stem;
        for (int n = 1; !taken.Add(id); n++)
            id = stem + n.ToString(CultureInfo.InvariantCulture);
        style.StyleId = id;
        if (name != NameOf(definition))
            style.StyleName = new W.StyleName { Val = name };
        style.Default = null;
        // Lists are not copied: a list reference would name one of the target's.
        style.StyleParagraphProperties?.NumberingProperties?.Remove();
        TargetStyles()[name] = style;
        foreach (OpenXmlElement link in new OpenXmlElement?[] { style.BasedOn, style.NextParagraphStyle, style.LinkedStyle }.OfType<OpenXmlElement>())
        {
            if (WordMl.Val(link) is { } linked && SourceNamesById().TryGetValue(linked, out string? linkedName)
                && NameFor(linkedName) is var used && TargetStyles().TryGetValue(used, out W.Style? there)
                && there.StyleId?.Value is { } thereId)
                link.SetAttribute(new OpenXmlAttribute("w", "val", WordMl.W, thereId));
            else
                link.Remove();
        }
        target.StyleEdits.Import(name, style.OuterXml);
        if (style.Type?.InnerText is "paragraph" or "character" && source.Styles.Get(NameOf(definition)) is { } model)
        {
            Style copy = model.CopyForDocument();
            copy.Name = name;
            copy.StyleId = id;
            copy.BaseStyleName = style.BasedOn?.Val?.Value is { } basedOn
                ? TargetStyles().Values.FirstOrDefault(s => s.StyleId?.Value == basedOn) is { } b ? NameOf(b) : string.Empty
                : string.Empty;
            target.Styles.RemoveWhere(s => s.Name == name);
            target.Styles.Add(copy);
        }
    }

    // The name the tree knows the style by (built-in names as the word
    // processor shows them: "Heading 1" for "heading 1").
    private static string NameOf(W.Style style) =>
        style.StyleName?.Val?.Value is { Length: > 0 } || style.StyleId?.Value is { Length: > 0 }
            ? DocxReader.StyleSheet.NameOf(style) : string.Empty;

    // Two definitions are the same when they say the same apart from their identifier.
    private static bool Same(W.Style a, W.Style b)
    {
        var left = (W.Style)a.CloneNode(true);
        var right = (W.Style)b.CloneNode(true);
        left.StyleId = right.StyleId = null;
        return left.OuterXml == right.OuterXml;
    }

    private Dictionary<string, W.Style> SourceStyles()
    {
        if (sourceByName is null)
        {
            sourceByName = Definitions(source);
            sourceNamesById = new Dictionary<string, string>(StringComparer.OrdinalIgnoreCase);
            foreach ((string name, W.Style style) in sourceByName)
            {
                if (style.StyleId?.Value is { } id)
                    sourceNamesById.TryAdd(id, name);
            }
        }
        return sourceByName;
    }

    private Dictionary<string, string> SourceNamesById()
    {
        SourceStyles();
        return sourceNamesById!;
    }

    private Dictionary<string, W.Style> TargetStyles() => targetByName ??= Definitions(target);

    // The styles a document would save, by name: its package's, with those
    // copied or imported since it was loaded.  A document made here has its
    // blank package's default paragraph style.
    private static Dictionary<string, W.Style> Definitions(Document doc)
    {
        var byName = new Dictionary<string, W.Style>(StringComparer.OrdinalIgnoreCase);
        if (doc.PackageSource is { } package)
        {
            using var read = WordprocessingDocument.Open(new MemoryStream(package.Package, writable: false), false, DocxReader.OpenSettings);
            foreach (W.Style style in read.MainDocumentPart?.StyleDefinitionsPart?.Styles?.Elements<W.Style>() ?? Enumerable.Empty<W.Style>())
                byName.TryAdd(NameOf(style), (W.Style)style.CloneNode(true));
        }
        else
            byName[ParagraphFormat.DefaultStyleName] = new W.Style(new W.StyleName { Val = ParagraphFormat.DefaultStyleName })
                { Type = W.StyleValues.Paragraph, StyleId = ParagraphFormat.DefaultStyleName, Default = true };
        foreach (string xml in doc.StyleEdits.Definitions())
        {
            var style = new W.Style(xml);
            byName[NameOf(style)] = style;
        }
        return byName;
    }
}
