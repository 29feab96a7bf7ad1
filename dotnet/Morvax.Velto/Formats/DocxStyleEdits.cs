// DocxStyleEdits: the changes whole-document operations make to the styles
// and numbering parts, which the tree does not model: style definitions
// copied in from a template (Document.CopyStylesFromTemplate) and unused
// styles and lists taken out (Document.Cleanup).  They are recorded on the
// document and applied to the package each time it is written, before the
// body, so that paragraphs naming a copied style find its identifier.
using System;
using System.Collections.Generic;
using System.IO;
using System.Linq;
using DocumentFormat.OpenXml;
using DocumentFormat.OpenXml.Packaging;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal sealed class DocxStyleEdits
{
    // Template style definitions by name, the last copy of a name winning.
    private readonly Dictionary<string, string> copied = new(StringComparer.OrdinalIgnoreCase);
    // Styles copied in with nodes from other documents, by their name here
    // (StyleImport), each with an identifier free in this document.
    private readonly Dictionary<string, string> imported = new(StringComparer.OrdinalIgnoreCase);
    private readonly HashSet<string> droppedStyleIds = new(StringComparer.OrdinalIgnoreCase);
    private readonly HashSet<string> droppedNumIds = new(StringComparer.Ordinal);
    private readonly HashSet<string> droppedAbstractNumIds = new(StringComparer.Ordinal);

    public bool Dropped(string styleId) => droppedStyleIds.Contains(styleId);

    public DocxStyleEdits Copy()
    {
        var copy = new DocxStyleEdits();
        foreach (var (name, xml) in copied)
            copy.copied[name] = xml;
        foreach (var (name, xml) in imported)
            copy.imported[name] = xml;
        copy.droppedStyleIds.UnionWith(droppedStyleIds);
        copy.droppedNumIds.UnionWith(droppedNumIds);
        copy.droppedAbstractNumIds.UnionWith(droppedAbstractNumIds);
        return copy;
    }

    // Takes every style of the template's package; returns their names.
    public IReadOnlyList<string> CopyFrom(byte[] templatePackage)
    {
        using var package = WordprocessingDocument.Open(new MemoryStream(templatePackage, writable: false), false, DocxReader.OpenSettings);
        var names = new List<string>();
        foreach (W.Style style in package.MainDocumentPart?.StyleDefinitionsPart?.Styles?.Elements<W.Style>() ?? Enumerable.Empty<W.Style>())
        {
            if (style.StyleName?.Val?.Value is not { Length: > 0 } name || style.StyleId?.Value is not { Length: > 0 })
                continue;
            copied[name] = style.OuterXml;
            names.Add(name);
        }
        return names;
    }

    public void Import(string name, string xml) => imported[name] = xml;

    // The definitions of the styles copied or imported, which the package
    // does not hold until it is written.
    public IEnumerable<string> Definitions() => imported.Values.Concat(copied.Values);

    public bool DropsList(int numId) => droppedNumIds.Contains(Text(numId));

    public void Drop(IEnumerable<string> styleIds, IEnumerable<string> numIds, IEnumerable<string> abstractNumIds)
    {
        droppedStyleIds.UnionWith(styleIds);
        droppedNumIds.UnionWith(numIds);
        droppedAbstractNumIds.UnionWith(abstractNumIds);
    }

    // Applies the edits to a package being written; returns the name and
    // identifier of each copied style.
    public IEnumerable<(string Name, string Id)> Apply(MainDocumentPart main)
    {
        // Drops first: a style copied in after a cleanup is not taken out again.
        if (droppedStyleIds.Count > 0 && main.StyleDefinitionsPart?.Styles is { } written)
        {
            foreach (W.Style style in written.Elements<W.Style>().ToList())
            {
                if (style.StyleId?.Value is { } id && droppedStyleIds.Contains(id))
                    style.Remove();
            }
        }
        if ((droppedNumIds.Count > 0 || droppedAbstractNumIds.Count > 0) && main.NumberingDefinitionsPart?.Numbering is { } numbering)
        {
            foreach (W.NumberingInstance num in numbering.Elements<W.NumberingInstance>().ToList())
            {
                if (num.NumberID?.Value is { } id && droppedNumIds.Contains(Text(id)))
                    num.Remove();
            }
            foreach (W.AbstractNum list in numbering.Elements<W.AbstractNum>().ToList())
            {
                if (list.AbstractNumberId?.Value is { } id && droppedAbstractNumIds.Contains(Text(id)))
                    list.Remove();
            }
        }
        var result = new List<(string, string)>();
        if (imported.Count == 0 && copied.Count == 0)
            return result;
        W.Styles styles = (main.StyleDefinitionsPart ?? main.AddNewPart<StyleDefinitionsPart>()).Styles ??= new W.Styles();
        if (imported.Count > 0)
        {
            var present = new HashSet<string>(styles.Elements<W.Style>().Where(e => e.StyleId?.Value is { Length: > 0 })
                .Select(DocxReader.StyleSheet.NameOf), StringComparer.OrdinalIgnoreCase);
            foreach ((string name, string xml) in imported)
            {
                if (!present.Add(name))
                    continue;
                var style = new W.Style(xml);
                styles.AppendChild(style);
                result.Add((name, style.StyleId!.Value!));
            }
        }
        if (copied.Count > 0)
            result.AddRange(MergeCopies(styles));
        return result;
    }

    // A copied style replaces the document's style of the same name and
    // keeps that style's identifier (which the document's paragraphs use);
    // one the document lacks keeps its own identifier unless the document
    // uses it for another style.  References between copied styles follow
    // the identifiers they end up with.  Lists are not copied, so a copied
    // style's list reference is left out rather than pointing at a list of
    // the document's that happens to share its number.
    private List<(string, string)> MergeCopies(W.Styles styles)
    {
        var byName = new Dictionary<string, W.Style>(StringComparer.OrdinalIgnoreCase);
        var takenIds = new HashSet<string>(StringComparer.OrdinalIgnoreCase);
        foreach (W.Style style in styles.Elements<W.Style>())
        {
            if (style.StyleName?.Val?.Value is { } name)
                byName.TryAdd(name, style);
            if (style.StyleId?.Value is { } id)
                takenIds.Add(id);
        }
        var incoming = copied.Values.Select(xml => new W.Style(xml)).ToList();
        var idMap = new Dictionary<string, string>(StringComparer.OrdinalIgnoreCase);
        foreach (W.Style style in incoming)
        {
            string templateId = style.StyleId!.Value!;
            if (byName.TryGetValue(style.StyleName!.Val!.Value!, out W.Style? existing) && existing.StyleId?.Value is { } kept)
            {
                idMap[templateId] = kept;
                continue;
            }
            string id = templateId;
            for (int n = 1; !takenIds.Add(id); n++)
                id = templateId + n.ToString(System.Globalization.CultureInfo.InvariantCulture);
            idMap[templateId] = id;
        }

        var result = new List<(string, string)>();
        foreach (W.Style style in incoming)
        {
            string name = style.StyleName!.Val!.Value!;
            style.StyleId = idMap[style.StyleId!.Value!];
            foreach (OpenXmlElement link in Links(style))
            {
                if (WordMl.Val(link) is { } target && idMap.TryGetValue(target, out string? mapped))
                    link.SetAttribute(new OpenXmlAttribute("w", "val", WordMl.W, mapped));
                else if (WordMl.Val(link) is not { } other || !takenIds.Contains(other))
                    link.Remove();
            }
            style.StyleParagraphProperties?.NumberingProperties?.Remove();
            if (byName.TryGetValue(name, out W.Style? existing))
            {
                // Which style is the default one stays the document's choice.
                style.Default = existing.Default?.Value == true ? true : null;
                existing.InsertAfterSelf(style);
                existing.Remove();
            }
            else
            {
                style.Default = null;
                styles.AppendChild(style);
            }
            result.Add((name, style.StyleId!.Value!));
        }
        return result;
    }

    // Records as dropped what the written package does not use: styles no
    // part refers to (directly, or through the based-on, next and linked
    // styles of a used one; default styles always count as used), custom
    // ones and, when asked, built-in ones; then lists that no part and no
    // remaining style refers to, and list definitions no remaining list
    // uses.  Returns the names of the dropped styles.
    public IReadOnlyList<string> DropUnused(byte[] written, bool customStyles, bool builtInStyles, bool lists)
    {
        using var package = WordprocessingDocument.Open(new MemoryStream(written, writable: false), false, DocxReader.OpenSettings);
        MainDocumentPart main = package.MainDocumentPart!;
        var styles = main.StyleDefinitionsPart?.Styles?.Elements<W.Style>().ToList() ?? new List<W.Style>();
        var contentParts = new List<OpenXmlPart> { main };
        contentParts.AddRange(main.Parts.Select(p => p.OpenXmlPart)
            .Where(p => p is HeaderPart or FooterPart or FootnotesPart or EndnotesPart or WordprocessingCommentsPart));
        var roots = contentParts.Select(p => p.RootElement).OfType<OpenXmlElement>().ToList();
        if (main.NumberingDefinitionsPart?.Numbering is { } numberingRoot)
            roots.Add(numberingRoot);

        var used = new HashSet<string>(StringComparer.OrdinalIgnoreCase);
        foreach (OpenXmlElement root in roots)
        {
            foreach (OpenXmlElement e in root.Descendants())
            {
                if (e is W.ParagraphStyleId or W.RunStyle or W.TableStyle or W.StyleLink or W.NumberingStyleLink
                    && WordMl.Val(e) is { } id)
                    used.Add(id);
            }
        }
        var byId = styles.Where(s => s.StyleId?.Value is not null)
            .GroupBy(s => s.StyleId!.Value!, StringComparer.OrdinalIgnoreCase)
            .ToDictionary(g => g.Key, g => g.First(), StringComparer.OrdinalIgnoreCase);
        foreach (W.Style style in styles.Where(s => s.Default?.Value == true && s.StyleId?.Value is not null))
            used.Add(style.StyleId!.Value!);
        var pending = new Stack<string>(used);
        while (pending.Count > 0)
        {
            if (!byId.TryGetValue(pending.Pop(), out W.Style? style))
                continue;
            foreach (OpenXmlElement link in Links(style))
            {
                if (WordMl.Val(link) is { } target && used.Add(target))
                    pending.Push(target);
            }
        }

        var dropped = styles.Where(s => s.StyleId?.Value is { } id && !used.Contains(id)
                                        && (s.CustomStyle?.Value == true ? customStyles : builtInStyles)).ToList();
        var droppedNames = dropped.Select(s => s.StyleName?.Val?.Value).OfType<string>().ToList();
        var droppedNums = new List<string>();
        var droppedLists = new List<string>();
        if (lists && main.NumberingDefinitionsPart?.Numbering is { } numbering)
        {
            var listUsers = roots.Where(r => r is not W.Numbering).SelectMany(r => r.Descendants<W.NumberingId>())
                .Concat(styles.Except(dropped).SelectMany(s => s.Descendants<W.NumberingId>()));
            var usedNums = listUsers.Select(n => n.Val?.Value).OfType<int>().ToHashSet();
            var usedLists = new HashSet<int>();
            foreach (W.NumberingInstance num in numbering.Elements<W.NumberingInstance>())
            {
                if (num.NumberID?.Value is not { } numId)
                    continue;
                if (usedNums.Contains(numId) && num.AbstractNumId?.Val?.Value is { } listId)
                    usedLists.Add(listId);
                else if (!usedNums.Contains(numId))
                    droppedNums.Add(Text(numId));
            }
            // A definition that defines or follows a numbering style stays with that style.
            droppedLists.AddRange(numbering.Elements<W.AbstractNum>()
                .Where(a => a.AbstractNumberId?.Value is { } id && !usedLists.Contains(id)
                            && a.StyleLink is null && a.NumberingStyleLink is null)
                .Select(a => Text(a.AbstractNumberId!.Value)));
        }
        Drop(dropped.Select(s => s.StyleId!.Value!), droppedNums, droppedLists);
        foreach (string name in droppedNames)
        {
            copied.Remove(name);  // else the next save would bring it back
            imported.Remove(name);
        }
        return droppedNames;
    }


    // The styles a style names: the one it is based on, the one after it, its linked style.
    private static IEnumerable<OpenXmlElement> Links(W.Style style) =>
        new OpenXmlElement?[] { style.BasedOn, style.NextParagraphStyle, style.LinkedStyle }.OfType<OpenXmlElement>();

    private static string Text(int value) => value.ToString(System.Globalization.CultureInfo.InvariantCulture);
}
