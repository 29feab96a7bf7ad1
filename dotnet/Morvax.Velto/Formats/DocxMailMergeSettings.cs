// DocxMailMergeSettings: the mail-merge settings of the settings part (its
// mailMerge element) read into Document.MailMergeSettings and written back
// only when they changed. Each setting is one row: the element, its value as
// the markup spells it (null when absent or at its default), and how that
// value is set on the model. Children the model does not name (the Office
// data source object, header sources) are kept as they were.
using System;
using System.Collections.Generic;
using System.Linq;
using DocumentFormat.OpenXml;
using DocumentFormat.OpenXml.Packaging;
using Morvax.Velto.Settings;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static class DocxMailMergeSettings
{
    private const string DataSourceRelationship = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/mailMergeSource";

    private sealed record Row(Func<OpenXmlElement> Create, Func<MailMergeSettings, string?> Get, Action<MailMergeSettings, string> Set);

    private static readonly (MailMergeMainDocumentType Value, string Markup)[] DocumentTypes =
    {
        (MailMergeMainDocumentType.Catalog, "catalog"), (MailMergeMainDocumentType.Envelopes, "envelopes"),
        (MailMergeMainDocumentType.MailingLabels, "mailingLabels"), (MailMergeMainDocumentType.FormLetters, "formLetters"),
        (MailMergeMainDocumentType.Email, "email"), (MailMergeMainDocumentType.Fax, "fax"),
    };

    private static readonly (MailMergeDataType Value, string Markup)[] DataTypes =
    {
        (MailMergeDataType.TextFile, "textFile"), (MailMergeDataType.Database, "database"),
        (MailMergeDataType.Spreadsheet, "spreadsheet"), (MailMergeDataType.Query, "query"),
        (MailMergeDataType.Odbc, "odbc"), (MailMergeDataType.Native, "native"),
    };

    private static readonly (MailMergeDestination Value, string Markup)[] Destinations =
    {
        (MailMergeDestination.Printer, "printer"), (MailMergeDestination.Email, "email"), (MailMergeDestination.Fax, "fax"),
    };

    private static Row Choice<T>((T Value, string Markup)[] names, T none, Func<OpenXmlElement> create,
                                 Func<MailMergeSettings, T> get, Action<MailMergeSettings, T> set) where T : struct, Enum =>
        new(create,
            s => EqualityComparer<T>.Default.Equals(get(s), none) ? null : names.First(n => EqualityComparer<T>.Default.Equals(n.Value, get(s))).Markup,
            (s, markup) => set(s, Array.Exists(names, n => n.Markup == markup) ? Array.Find(names, n => n.Markup == markup).Value : none));

    private static Row Flag(Func<OpenXmlElement> create, Func<MailMergeSettings, bool> get, Action<MailMergeSettings, bool> set) =>
        new(create, s => get(s) ? string.Empty : null, (s, markup) => set(s, markup is "" or "true" or "1" or "on"));

    private static Row Text(Func<OpenXmlElement> create, Func<MailMergeSettings, string?> get, Action<MailMergeSettings, string> set) =>
        new(create, s => string.IsNullOrEmpty(get(s)) ? null : get(s), set);

    private static readonly Row[] Rows =
    {
        Choice(DocumentTypes, MailMergeMainDocumentType.NotAMergeDocument, () => new W.MainDocumentType(),
               s => s.MainDocumentType, (s, v) => s.MainDocumentType = v),
        Flag(() => new W.LinkToQuery(), s => s.LinkToQuery, (s, v) => s.LinkToQuery = v),
        Choice(DataTypes, MailMergeDataType.None, () => new W.DataType(), s => s.DataType, (s, v) => s.DataType = v),
        Text(() => new W.ConnectString(), s => s.ConnectString, (s, v) => s.ConnectString = v),
        Text(() => new W.Query(), s => s.Query, (s, v) => s.Query = v),
        Flag(() => new W.DoNotSuppressBlankLines(), s => s.DoNotSupressBlankLines, (s, v) => s.DoNotSupressBlankLines = v),
        Choice(Destinations, MailMergeDestination.NewDocument, () => new W.Destination(), s => s.Destination, (s, v) => s.Destination = v),
        Text(() => new W.AddressFieldName(), s => s.AddressFieldName, (s, v) => s.AddressFieldName = v),
        Text(() => new W.MailSubject(), s => s.MailSubject, (s, v) => s.MailSubject = v),
        Flag(() => new W.MailAsAttachment(), s => s.MailAsAttachment, (s, v) => s.MailAsAttachment = v),
        Flag(() => new W.ViewMergedData(), s => s.ViewMergedData, (s, v) => s.ViewMergedData = v),
        new(() => new W.ActiveRecord(), s => s.ActiveRecord == 0 ? null : s.ActiveRecord.ToString(System.Globalization.CultureInfo.InvariantCulture),
            (s, v) => s.ActiveRecord = int.TryParse(v, System.Globalization.NumberStyles.Integer, System.Globalization.CultureInfo.InvariantCulture, out int n) ? n : 0),
        new(() => new W.CheckErrors(), s => s.CheckErrors == MailMergeCheckErrors.PauseOnError ? null : ((int)s.CheckErrors).ToString(System.Globalization.CultureInfo.InvariantCulture),
            (s, v) => s.CheckErrors = v switch { "1" => MailMergeCheckErrors.Simulate, "3" => MailMergeCheckErrors.CollectErrors, _ => MailMergeCheckErrors.PauseOnError }),
    };

    private static readonly string[] Names = Rows.Select(r => r.Create().LocalName).ToArray();

    public static MailMergeSettings Read(DocumentSettingsPart? part)
    {
        var settings = new MailMergeSettings();
        if (part?.Settings?.GetFirstChild<W.MailMerge>() is not { } merge)
            return settings;
        for (int i = 0; i < Rows.Length; i++)
            if (merge.ChildElements.FirstOrDefault(c => c.LocalName == Names[i] && c.NamespaceUri == WordMl.W) is { } element)
                Rows[i].Set(settings, WordMl.Val(element) ?? string.Empty);
        if (merge.GetFirstChild<W.DataSourceReference>()?.Id?.Value is { } id)
            settings.DataSource = part.ExternalRelationships.FirstOrDefault(r => r.Id == id)?.Uri.OriginalString;
        return settings;
    }

    // The settings as the markup would spell them, to see whether they changed.
    public static string?[] Snapshot(MailMergeSettings settings) =>
        Rows.Select(r => r.Get(settings)).Append(settings.DataSource).ToArray();

    public static MailMergeSettings Copy(MailMergeSettings settings)
    {
        var copy = new MailMergeSettings { DataSource = settings.DataSource };
        foreach (Row row in Rows)
            if (row.Get(settings) is { } value)
                row.Set(copy, value);
        return copy;
    }

    public static void Write(Document doc, DocumentSettingsPart part)
    {
        MailMergeSettings wanted = doc.MailMergeSettings;
        if (Snapshot(wanted).SequenceEqual(doc.MailMergeAsRead))
            return;
        W.Settings settings = part.Settings ??= new W.Settings();
        W.MailMerge? merge = settings.GetFirstChild<W.MailMerge>();
        if (merge?.GetFirstChild<W.DataSourceReference>() is { } oldSource)
        {
            if (oldSource.Id?.Value is { } oldId && part.ExternalRelationships.Any(r => r.Id == oldId))
                part.DeleteExternalRelationship(oldId);
            oldSource.Remove();
        }
        // Without a main document type the document is no merge document at all.
        if (wanted.MainDocumentType == MailMergeMainDocumentType.NotAMergeDocument)
        {
            merge?.Remove();
            return;
        }
        merge ??= DocxWriter.AddInOrder(settings, new W.MailMerge());
        for (int i = 0; i < Rows.Length; i++)
        {
            foreach (OpenXmlElement old in merge.ChildElements.Where(c => c.LocalName == Names[i] && c.NamespaceUri == WordMl.W).ToList())
                old.Remove();
            if (Rows[i].Get(wanted) is not { } value)
                continue;
            OpenXmlElement element = Rows[i].Create();
            if (value.Length > 0)
                element.SetAttribute(new OpenXmlAttribute("w", "val", WordMl.W, value));
            DocxWriter.AddInOrder(merge, element);
        }
        if (!string.IsNullOrEmpty(wanted.DataSource))
        {
            ExternalRelationship relationship = part.AddExternalRelationship(DataSourceRelationship, new Uri(wanted.DataSource, UriKind.RelativeOrAbsolute));
            DocxWriter.AddInOrder(merge, new W.DataSourceReference { Id = relationship.Id });
        }
    }
}
