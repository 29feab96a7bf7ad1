// DocxBibliography: the bibliography style of the document's sources, kept
// by Word in the custom XML part whose root is the bibliography Sources
// element. Read into Document.Bibliography; a changed style is written into
// that part of Document.CustomXmlParts (or a new one) before they are saved;
// a style left as read is not imposed on parts edited through the collection.
using System;
using System.IO;
using System.Linq;
using System.Xml;
using System.Xml.Linq;
using Morvax.Velto.Markup;

namespace Morvax.Velto.Formats;

internal static class DocxBibliography
{
    private static readonly XNamespace Bib = "http://schemas.openxmlformats.org/officeDocument/2006/bibliography";

    public static string? StyleOf(CustomXmlPartCollection parts) =>
        parts.Select(RootOf).FirstOrDefault(root => root is not null)?.Attribute("SelectedStyle")?.Value;

    public static void Write(Document doc)
    {
        string? wanted = doc.Bibliography.BibliographyStyle;
        if (wanted == doc.BibliographyStyleAsRead || wanted == StyleOf(doc.CustomXmlParts))
            return;
        CustomXmlPart? part = doc.CustomXmlParts.FirstOrDefault(p => RootOf(p) is not null);
        XElement root = part is null ? new XElement(Bib + "Sources", new XAttribute(XNamespace.Xmlns + "b", Bib.NamespaceName),
                                                     new XAttribute("xmlns", Bib.NamespaceName))
                                     : RootOf(part)!;
        root.SetAttributeValue("SelectedStyle", wanted);
        var buffer = new MemoryStream();
        using (XmlWriter writer = XmlWriter.Create(buffer, new XmlWriterSettings { Encoding = new System.Text.UTF8Encoding(false) }))
            new XDocument(new XDeclaration("1.0", "utf-8", "yes"), root).Save(writer);
        if (part is null)
            doc.CustomXmlParts.Add(part = new CustomXmlPart { Id = "{" + Guid.NewGuid().ToString().ToUpperInvariant() + "}" });
        part.Data = buffer.ToArray();
    }

    // The Sources root of a part, or null when the part holds something else
    // (or XML that does not parse, which saving reports on its own).
    private static XElement? RootOf(CustomXmlPart part)
    {
        try
        {
            using var reader = XmlReader.Create(new MemoryStream(part.Data, writable: false),
                                                new XmlReaderSettings { DtdProcessing = DtdProcessing.Prohibit });
            XElement root = XElement.Load(reader);
            return root.Name == Bib + "Sources" ? root : null;
        }
        catch (XmlException)
        {
            return null;
        }
    }
}
