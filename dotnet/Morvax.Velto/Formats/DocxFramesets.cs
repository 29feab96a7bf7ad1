// DocxFramesets: the frames page a document's web settings describe (a
// w:frameset of frames and nested framesets), read into Frameset objects.
// Each frame's page is the target of the relationship its w:sourceFileName
// names.  Nesting deeper than a word processor makes is not followed; the web
// settings part is kept and saved unchanged either way.
using System.Linq;
using DocumentFormat.OpenXml;
using DocumentFormat.OpenXml.Packaging;
using Morvax.Velto.Framesets;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static class DocxFramesets
{
    private const int DeepestNesting = 32;

    /// <summary>The root frameset of the web settings, or null when the document is no frames page.</summary>
    internal static Frameset? Read(WebSettingsPart? part)
    {
        W.Frameset? root = part?.WebSettings?.GetFirstChild<W.Frameset>();
        return root is null ? null : Read(part!, root, 0);
    }

    private static Frameset Read(WebSettingsPart part, OpenXmlElement element, int depth)
    {
        var frameset = new Frameset();
        if (element is W.Frame frame)
        {
            frameset.FrameDefaultUrl = TargetOf(part, frame.SourceFileReference?.Id?.Value);
            frameset.IsFrameLinkToFile = frame.LinkedToFile is { } linked && linked.Val?.Value != W.OnOffOnlyValues.Off;
            return frameset;
        }
        if (depth < DeepestNesting)
        {
            foreach (OpenXmlElement child in element.ChildElements.Where(c => c is W.Frame or W.Frameset))
                frameset.ChildFramesets.AddRead(Read(part, child, depth + 1));
        }
        return frameset;
    }

    private static string? TargetOf(WebSettingsPart part, string? id)
    {
        if (id is null)
            return null;
        ReferenceRelationship? relationship = part.ExternalRelationships.FirstOrDefault(r => r.Id == id)
            ?? (ReferenceRelationship?)part.HyperlinkRelationships.FirstOrDefault(r => r.Id == id);
        return relationship?.Uri.OriginalString;
    }
}
