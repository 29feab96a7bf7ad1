// DocxProperties: the built-in document properties (the package's core
// properties and the extended properties part) and the custom properties
// part, read into the document's property collections and written back.
// Writing changes only what differs from what was read, so a property the
// caller did not touch keeps its exact form in the package.
using System;
using System.Collections.Generic;
using System.Globalization;
using System.Linq;
using System.Xml;
using DocumentFormat.OpenXml;
using DocumentFormat.OpenXml.Packaging;
using Morvax.Velto.Properties;
using Ap = DocumentFormat.OpenXml.ExtendedProperties;
using Cp = DocumentFormat.OpenXml.CustomProperties;
using Vt = DocumentFormat.OpenXml.VariantTypes;

namespace Morvax.Velto.Formats;

// The SDK marks its core-properties interface as subject to change; it is
// the one way to the core properties that does not need System.IO.Packaging.
#pragma warning disable OOXML0001

internal static class DocxProperties
{
    private const string CustomFormatId = "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}";

    // The core properties, by the model's name.
    private static readonly (string Name, Func<BuiltInDocumentProperties, object?> Get,
        Action<BuiltInDocumentProperties, object?> Set, Func<IPackageProperties, object?> Read,
        Action<IPackageProperties, object?> Write)[] Core =
    {
        ("Title", p => p.Title, (p, v) => p.Title = (string?)v, c => c.Title, (c, v) => c.Title = (string?)v),
        ("Subject", p => p.Subject, (p, v) => p.Subject = (string?)v, c => c.Subject, (c, v) => c.Subject = (string?)v),
        ("Author", p => p.Author, (p, v) => p.Author = (string?)v, c => c.Creator, (c, v) => c.Creator = (string?)v),
        ("Keywords", p => p.Keywords, (p, v) => p.Keywords = (string?)v, c => c.Keywords, (c, v) => c.Keywords = (string?)v),
        ("Comments", p => p.Comments, (p, v) => p.Comments = (string?)v, c => c.Description,
            (c, v) => c.Description = (string?)v),
        ("Category", p => p.Category, (p, v) => p.Category = (string?)v, c => c.Category, (c, v) => c.Category = (string?)v),
        ("LastSavedBy", p => p.LastSavedBy, (p, v) => p.LastSavedBy = (string?)v, c => c.LastModifiedBy,
            (c, v) => c.LastModifiedBy = (string?)v),
        ("RevisionNumber", p => p.RevisionNumber, (p, v) => p.RevisionNumber = (int)v!,
            c => int.TryParse(c.Revision, NumberStyles.None, CultureInfo.InvariantCulture, out int n) ? n : 0,
            (c, v) => c.Revision = ((int)v!).ToString(CultureInfo.InvariantCulture)),
        ("CreatedTime", p => p.CreatedTime, (p, v) => p.CreatedTime = (DateTime)v!, c => c.Created ?? default(DateTime),
            (c, v) => c.Created = (DateTime)v!),
        ("LastSavedTime", p => p.LastSavedTime, (p, v) => p.LastSavedTime = (DateTime)v!,
            c => c.Modified ?? default(DateTime), (c, v) => c.Modified = (DateTime)v!),
        ("LastPrinted", p => p.LastPrinted, (p, v) => p.LastPrinted = (DateTime)v!,
            c => c.LastPrinted ?? default(DateTime), (c, v) => c.LastPrinted = (DateTime)v!),
    };

    // Reads the built-in properties into the document and returns them as
    // read, for the writer to compare against.
    public static Dictionary<string, object?> ReadBuiltIn(Document doc, WordprocessingDocument package)
    {
        BuiltInDocumentProperties properties = doc.BuiltInDocumentProperties;
        var read = new Dictionary<string, object?>();
        // Core properties the packaging layer cannot parse (a malformed date,
        // say) are left out rather than failing the whole document.
        try
        {
            IPackageProperties core = package.PackageProperties;
            foreach ((string name, _, var set, var get, _) in Core)
            {
                if (get(core) is { } value && !IsEmpty(value))
                    set(properties, value);
            }
        }
        catch (Exception e) when (e is XmlException or FormatException or InvalidOperationException)
        {
        }
        foreach ((string name, var get, _, _, _) in Core)
            read[name] = get(properties);

        if (package.ExtendedFilePropertiesPart?.Properties is { } extended)
        {
            properties.Company = extended.Company?.Text;
            properties.Manager = extended.Manager?.Text;
            int Count(OpenXmlLeafTextElement? e) =>
                int.TryParse(e?.Text, NumberStyles.None, CultureInfo.InvariantCulture, out int n) ? n : 0;
            doc.Statistics = new DocumentStatistics(Count(extended.Words), Count(extended.Characters),
                Count(extended.CharactersWithSpaces), Count(extended.Paragraphs), Count(extended.Lines));
            properties.Pages = Count(extended.Pages);
            properties.Words = doc.Statistics.Words;
            properties.Characters = doc.Statistics.Characters;
        }
        read["Company"] = properties.Company;
        read["Manager"] = properties.Manager;
        return read;
    }

    public static void WriteBuiltIn(Document doc, WordprocessingDocument package, Dictionary<string, object?> read)
    {
        BuiltInDocumentProperties properties = doc.BuiltInDocumentProperties;
        IPackageProperties? core = null;
        foreach ((string name, var get, _, _, var write) in Core)
        {
            object? value = get(properties);
            if (read.TryGetValue(name, out object? before) ? Equals(before, value) : IsEmpty(value))
                continue;
            core ??= package.PackageProperties;
            write(core, value);
        }

        Ap.Properties extended = ExtendedPart(package);
        DocumentStatistics counts = doc.Statistics;
        Set(extended, extended.Company, properties.Company, read, "Company", () => new Ap.Company());
        Set(extended, extended.Manager, properties.Manager, read, "Manager", () => new Ap.Manager());
        SetCount(extended, extended.Words, counts.Words, () => new Ap.Words());
        SetCount(extended, extended.Characters, counts.Characters, () => new Ap.Characters());
        SetCount(extended, extended.Lines, counts.Lines, () => new Ap.Lines());
        SetCount(extended, extended.Paragraphs, counts.Paragraphs, () => new Ap.Paragraphs());
        SetCount(extended, extended.CharactersWithSpaces, counts.CharactersWithSpaces, () => new Ap.CharactersWithSpaces());
    }

    private static Ap.Properties ExtendedPart(WordprocessingDocument package)
    {
        ExtendedFilePropertiesPart part = package.ExtendedFilePropertiesPart ?? package.AddExtendedFilePropertiesPart();
        if (part.Properties is null)
            part.Properties = new Ap.Properties(new Ap.Application(BuildVersionInfo.Product));
        return part.Properties;
    }

    private static void Set<T>(Ap.Properties parent, T? element, string? value, Dictionary<string, object?> read,
        string name, Func<T> create) where T : OpenXmlLeafTextElement
    {
        if (read.TryGetValue(name, out object? before) ? Equals(before, value) : value is null)
            return;
        if (value is null)
        {
            element?.Remove();
            return;
        }
        element ??= DocxWriter.AddInOrder(parent, create());
        element.Text = value;
    }

    private static void SetCount<T>(Ap.Properties parent, T? element, int value, Func<T> create)
        where T : OpenXmlLeafTextElement
    {
        string text = value.ToString(CultureInfo.InvariantCulture);
        if (element?.Text == text)
            return;
        (element ?? DocxWriter.AddInOrder(parent, create())).Text = text;
    }

    private static bool IsEmpty(object? value) => value is null or 0 or "" || value is DateTime { Ticks: 0 };

    public static List<(string Name, object? Value)> ReadCustom(Document doc, WordprocessingDocument package)
    {
        CustomDocumentProperties properties = doc.CustomDocumentProperties;
        if (package.CustomFilePropertiesPart?.Properties is { } part)
        {
            foreach (Cp.CustomDocumentProperty property in part.Elements<Cp.CustomDocumentProperty>())
            {
                if (property.Name?.Value is not { Length: > 0 } name)
                    continue;
                switch (property.FirstChild)
                {
                    case Vt.VTInt32 or Vt.VTInteger or Vt.VTShort or Vt.VTByte or Vt.VTUnsignedInt32 or Vt.VTUnsignedShort
                        when int.TryParse(property.FirstChild.InnerText, NumberStyles.AllowLeadingSign,
                            CultureInfo.InvariantCulture, out int number):
                        properties.Add(name, number);
                        break;
                    case Vt.VTDouble or Vt.VTFloat or Vt.VTDecimal or Vt.VTInt64
                        when double.TryParse(property.FirstChild.InnerText, NumberStyles.Float,
                            CultureInfo.InvariantCulture, out double real):
                        properties.Add(name, real);
                        break;
                    case Vt.VTBool:
                        properties.Add(name, DocxReader.OnOff(property.FirstChild.InnerText) && property.FirstChild.InnerText != "");
                        break;
                    case Vt.VTFileTime or Vt.VTDate
                        when DateTime.TryParse(property.FirstChild.InnerText, CultureInfo.InvariantCulture,
                            DateTimeStyles.AdjustToUniversal | DateTimeStyles.AssumeUniversal, out DateTime time):
                        properties.Add(name, time);
                        break;
                    case { } other:
                        properties.Add(name, other.InnerText);
                        break;
                }
            }
        }
        return Snapshot(properties);
    }

    private static List<(string Name, object? Value)> Snapshot(CustomDocumentProperties properties)
    {
        var snapshot = new List<(string, object?)>();
        foreach (DocumentProperty property in properties.All)
            snapshot.Add((property.Name, property.Value));
        return snapshot;
    }

    // The part is rewritten only when the collection differs from what was
    // read, so property kinds this library does not model survive otherwise.
    public static void WriteCustom(Document doc, WordprocessingDocument package, List<(string Name, object? Value)> read)
    {
        List<(string Name, object? Value)> now = Snapshot(doc.CustomDocumentProperties);
        if (now.SequenceEqual(read))
            return;
        if (now.Count == 0)
        {
            if (package.CustomFilePropertiesPart is { } unused)
                package.DeletePart(unused);
            return;
        }
        var part = new Cp.Properties();
        int id = 2;
        foreach ((string name, object? value) in now)
        {
            OpenXmlElement? variant = value switch
            {
                int number => new Vt.VTInt32(number.ToString(CultureInfo.InvariantCulture)),
                double real => new Vt.VTDouble(real.ToString("R", CultureInfo.InvariantCulture)),
                bool flag => new Vt.VTBool(flag ? "true" : "false"),
                DateTime time => new Vt.VTFileTime(time.ToUniversalTime()
                    .ToString("yyyy-MM-dd'T'HH:mm:ss'Z'", CultureInfo.InvariantCulture)),
                null => null,
                _ => new Vt.VTLPWSTR(Convert.ToString(value, CultureInfo.InvariantCulture) ?? string.Empty),
            };
            if (variant is null)
                continue;
            part.AppendChild(new Cp.CustomDocumentProperty(variant)
            {
                FormatId = CustomFormatId, PropertyId = id++, Name = name,
            });
        }
        (package.CustomFilePropertiesPart ?? package.AddCustomFilePropertiesPart()).Properties = part;
    }
}
