// DocxWriter's part for style formatting: a style's font and paragraph
// formatting changed through Document.Styles are written into the style's
// own run and paragraph properties in the styles part, through the same
// entries that write a run's and a paragraph's, and only where they differ
// from what was read.  The values are the style's resolved ones, so writing
// one sets it on the style itself instead of inheriting it.
using System.Linq;
using DocumentFormat.OpenXml;
using DocumentFormat.OpenXml.Packaging;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static partial class DocxWriter
{
    private static void WriteStyleFormatting(Document doc, MainDocumentPart main)
    {
        W.Style[]? elements = null;
        foreach (Style style in doc.Styles)
        {
            if (style.StyleId is null || style.FontAsRead is not { } fontBefore || style.FormatAsRead is not { } formatBefore)
                continue;
            var runProperties = new W.RunProperties();
            foreach ((var get, var set) in FontEntries)
            {
                if (!Equals(get(fontBefore), get(style.Font)))
                    set(runProperties, style.Font);
            }
            var paragraphProperties = new W.ParagraphProperties();
            if (style.Type is StyleType.Paragraph or StyleType.Table)
            {
                // A style names no paragraph style of its own: its name stays out of the comparison.
                var format = new ParagraphFormat();
                format.CopyFrom(style.ParagraphFormat);
                format.StyleName = formatBefore.StyleName;
                foreach ((var get, var set) in ParagraphEntries)
                {
                    if (!Equals(get(formatBefore), get(format)))
                        set(paragraphProperties, format, null!);
                }
            }
            if (!runProperties.HasChildren && !paragraphProperties.HasChildren)
                continue;
            elements ??= main.StyleDefinitionsPart?.Styles?.Elements<W.Style>().ToArray() ?? System.Array.Empty<W.Style>();
            // A style taken out by a cleanup is no longer in the package.
            if (elements.FirstOrDefault(e => e.StyleId?.Value == style.StyleId) is not { } element)
                continue;
            if (paragraphProperties.HasChildren)
                MoveSettings(paragraphProperties, element.StyleParagraphProperties ??= new W.StyleParagraphProperties());
            if (runProperties.HasChildren)
                MoveSettings(runProperties, element.StyleRunProperties ??= new W.StyleRunProperties());
        }
    }

    // Each setting written into the scratch properties replaces the style's setting of the same name.
    private static void MoveSettings(OpenXmlCompositeElement from, OpenXmlCompositeElement to)
    {
        foreach (OpenXmlElement setting in from.ChildElements.ToList())
        {
            foreach (OpenXmlElement old in to.ChildElements.Where(e => e.LocalName == setting.LocalName && e.NamespaceUri == setting.NamespaceUri).ToList())
                old.Remove();
            setting.Remove();
            AddInOrder(to, setting);
        }
    }
}
