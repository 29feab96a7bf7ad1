// DocxPackageContent: the package content Document shows outside its story
// tree. Custom XML parts are read into the document's collection and, on
// save, the package's parts are made to match it (a part whose identifier
// and data are unchanged is kept as it was, with its schema references);
// the watermark, signatures, frames and task panes are only read.
using System;
using System.Collections.Generic;
using System.IO;
using System.Linq;
using System.Xml;
using DocumentFormat.OpenXml.CustomXmlDataProperties;
using DocumentFormat.OpenXml.Packaging;
using Morvax.Velto.DigitalSignatures;

namespace Morvax.Velto.Formats;

internal static class DocxPackageContent
{
    // The shape identifiers Word gives the header shape of a watermark.
    private const string TextWatermarkId = "PowerPlusWaterMarkObject";
    private const string ImageWatermarkId = "WordPictureWatermark";

    public static void Read(Document doc, WordprocessingDocument package, MainDocumentPart main)
    {
        doc.CustomXmlParts = new Markup.CustomXmlPartCollection();
        foreach (CustomXmlPart part in main.CustomXmlParts)
            doc.CustomXmlParts.Add(new Markup.CustomXmlPart { Id = IdOf(part) ?? string.Empty, Data = DataOf(part) });
        doc.ReadWatermark(WatermarkOf(main));
        string? style = DocxBibliography.StyleOf(doc.CustomXmlParts);
        doc.ReadBibliography(style, style);
        DocxTheme.Read(doc, main);
        doc.MailMergeSettings = DocxMailMergeSettings.Read(main.DocumentSettingsPart);
        doc.MailMergeAsRead = DocxMailMergeSettings.Snapshot(doc.MailMergeSettings);
        doc.SignaturesAsRead = SignaturesOf(package);
        doc.FramesetAsRead = DocxFramesets.Read(main.WebSettingsPart);
        doc.TaskPanesAsRead = DocxWebExtensions.Read(package.WebExTaskpanesPart);
    }

    public static void Write(Document doc, MainDocumentPart main)
    {
        DocxTheme.Write(doc, main);
        if (main.DocumentSettingsPart is { } settingsPart)
            DocxMailMergeSettings.Write(doc, settingsPart);
        DocxBibliography.Write(doc);
        List<Markup.CustomXmlPart> wanted = doc.CustomXmlParts.ToList();
        foreach (Markup.CustomXmlPart part in wanted)
            CheckWellFormed(part);
        foreach (CustomXmlPart existing in main.CustomXmlParts.ToList())
        {
            string? id = IdOf(existing);
            byte[] data = DataOf(existing);
            int same = wanted.FindIndex(p => string.Equals(p.Id, id ?? string.Empty, StringComparison.OrdinalIgnoreCase)
                                             && p.Data.AsSpan().SequenceEqual(data));
            if (same >= 0)
                wanted.RemoveAt(same);
            else
                main.DeletePart(existing);
        }
        foreach (Markup.CustomXmlPart part in wanted)
        {
            CustomXmlPart added = main.AddCustomXmlPart(CustomXmlPartType.CustomXml);
            added.FeedData(new MemoryStream(part.Data, writable: false));
            CustomXmlPropertiesPart properties = added.AddNewPart<CustomXmlPropertiesPart>();
            properties.DataStoreItem = new DataStoreItem(new SchemaReferences()) { ItemId = part.Id };
        }
    }

    private static string? IdOf(CustomXmlPart part) => part.CustomXmlPropertiesPart?.DataStoreItem?.ItemId?.Value;

    private static byte[] DataOf(OpenXmlPart part)
    {
        using Stream stream = part.GetStream(FileMode.Open, FileAccess.Read);
        return PackageLimits.ReadBounded(stream);
    }

    // Word refuses a package whose custom XML is not well-formed, so such
    // data is refused here, before anything is written.
    private static void CheckWellFormed(Markup.CustomXmlPart part)
    {
        try
        {
            using var reader = XmlReader.Create(new MemoryStream(part.Data, writable: false),
                                                new XmlReaderSettings { DtdProcessing = DtdProcessing.Prohibit });
            while (reader.Read())
            {
            }
        }
        catch (XmlException e)
        {
            throw new InvalidOperationException($"The custom XML part '{part.Id}' does not hold well-formed XML: {e.Message}", e);
        }
    }

    private static WatermarkType WatermarkOf(MainDocumentPart main)
    {
        foreach (HeaderPart header in main.HeaderParts)
        {
            string xml = header.Header?.OuterXml ?? string.Empty;
            if (xml.Contains(TextWatermarkId, StringComparison.Ordinal))
                return WatermarkType.Text;
            if (xml.Contains(ImageWatermarkId, StringComparison.Ordinal))
                return WatermarkType.Image;
        }
        return WatermarkType.None;
    }

    private static DigitalSignatureCollection SignaturesOf(WordprocessingDocument package)
    {
        var signatures = new DigitalSignatureCollection();
        if (package.DigitalSignatureOriginPart is not { } origin)
            return signatures;
        foreach (XmlSignaturePart part in origin.XmlSignatureParts)
        {
            var xml = new XmlDocument { XmlResolver = null };
            using (Stream stream = part.GetStream(FileMode.Open, FileAccess.Read))
                xml.Load(XmlReader.Create(stream, new XmlReaderSettings { DtdProcessing = DtdProcessing.Prohibit }));
            XmlNode? comments = xml.GetElementsByTagName("SignatureComments", "http://schemas.microsoft.com/office/2006/digsig")
                .Cast<XmlNode>().FirstOrDefault();
            signatures.Items.Add(new DigitalSignature
            {
                SignatureType = DigitalSignatureType.XmlDsig,
                Comments = comments?.InnerText ?? string.Empty,
            });
        }
        return signatures;
    }
}
