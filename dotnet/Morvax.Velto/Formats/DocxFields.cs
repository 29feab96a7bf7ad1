// DocxFields: replacing the fields of a document by their last results, as
// the word processor's "unlink field" does.  A loaded field is kept markup:
// a simple field element around its result runs, or a complex field spread
// over runs holding its begin, separate and end characters with the code
// between begin and separate and the result between separate and end.
// Complex fields may span paragraphs and nest, so one walk in document order
// carries the open fields from paragraph to paragraph.
using System.Collections.Generic;
using System.Linq;
using DocumentFormat.OpenXml;
using Morvax.Velto.Fields;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static class DocxFields
{
    internal static void Unlink(Document doc)
    {
        // One entry per open field: true once its separator was passed.
        var open = new Stack<bool>();
        foreach (Node paragraph in doc.Matching(NodeType.Paragraph, true).ToList())
            UnlinkIn((Paragraph)paragraph, open);
    }

    // Content stays only where every open field is showing its result.
    private static bool Shown(Stack<bool> open) => open.All(inResult => inResult);

    private static void UnlinkIn(Paragraph paragraph, Stack<bool> open)
    {
        for (Node? node = paragraph.FirstChild; node is not null;)
        {
            Node? next = node.NextSibling;
            switch (node)
            {
                case FieldStart:
                    open.Push(false);
                    node.Remove();
                    break;
                case FieldSeparator when open.Count > 0:
                    open.Pop();
                    open.Push(true);
                    node.Remove();
                    break;
                case FieldEnd when open.Count > 0:
                    open.Pop();
                    node.Remove();
                    break;
                case KeptInline { Element: W.SimpleField simple } when Shown(open):
                    Replace(node, simple.ChildElements.Where(e => e is not W.SimpleFieldRuby).Select(e => e.CloneNode(true)));
                    break;
                case KeptInline { Element: W.Run run } when run.Elements<W.FieldChar>().Any() || !Shown(open):
                    Replace(node, RunWithoutField(run, open));
                    break;
                default:
                    if (!Shown(open))
                        node.Remove();
                    break;
            }
            node = next;
        }
    }

    // The run's result content, without its field characters and codes;
    // nothing when no content is left beside the run properties.
    private static IEnumerable<OpenXmlElement> RunWithoutField(W.Run run, Stack<bool> open)
    {
        var kept = new W.Run();
        if (run.RunProperties is { } rPr)
            kept.AppendChild(rPr.CloneNode(true));
        bool content = false;
        foreach (OpenXmlElement child in run.ChildElements)
        {
            if (child is W.RunProperties)
                continue;
            if (child is W.FieldChar fieldChar)
            {
                string? kind = fieldChar.FieldCharType?.InnerText;
                if (kind == "begin")
                    open.Push(false);
                else if (kind == "separate" && open.Count > 0)
                {
                    open.Pop();
                    open.Push(true);
                }
                else if (kind == "end" && open.Count > 0)
                    open.Pop();
                continue;
            }
            if (child is W.FieldCode or W.DeletedFieldCode || !Shown(open))
                continue;
            kept.AppendChild(child.CloneNode(true));
            content = true;
        }
        return content ? new[] { kept } : System.Array.Empty<OpenXmlElement>();
    }

    private static void Replace(Node node, IEnumerable<OpenXmlElement> elements)
    {
        Node before = node;
        foreach (OpenXmlElement element in elements)
        {
            var replacement = new KeptInline(node.Document, element, DocxReader.TextOf(element, false));
            node.ParentNode!.InsertAfter(replacement, before);
            before = replacement;
        }
        node.Remove();
    }
}
