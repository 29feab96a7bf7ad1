// Morvax.Velto.MailMerging: mail merge: the engine, data sources and
// callbacks.
using System;
using Morvax.Velto.Fields;

namespace Morvax.Velto.MailMerging;

public sealed class FieldMergingArgs : FieldMergingArgsBase
{
    internal FieldMergingArgs()
    {
    }

    public string? Text { get; set; }
}

public abstract class FieldMergingArgsBase
{
    private protected FieldMergingArgsBase()
    {
    }

    public string DocumentFieldName { get; internal set; } = string.Empty;

    public string FieldName { get; internal set; } = string.Empty;

    public string TableName { get; internal set; } = string.Empty;

    public int RecordIndex { get; internal set; }
}

public interface IFieldMergingCallback
{
    void FieldMerging(FieldMergingArgs args);

    void ImageFieldMerging(ImageFieldMergingArgs args);
}

public sealed class ImageFieldMergingArgs : FieldMergingArgsBase
{
    internal ImageFieldMergingArgs()
    {
    }

    public string? ImageFileName { get; set; }
}

public interface IMailMergeCallback
{
    void TagsReplaced();
}

public interface IMailMergeDataSource
{
    string TableName { get; }

    bool MoveNext();
}

public interface IMailMergeDataSourceRoot
{
}

public sealed class MailMerge
{
    private string regionStartTag = "TableStart";
    private string regionEndTag = "TableEnd";
    private readonly Document document;

    internal MailMerge(Document document)
    {
        this.document = document;
    }

    /// <summary>Replaces every merge field whose name is one of <paramref name="fieldNames"/> (compared without case) by the text of the value at the same index, as a plain run; other merge fields stay. Region, image and nested merge fields and the date and number format switches are not supported.</summary>
    public void Execute(string[] fieldNames, object?[] fieldValues) =>
        Formats.DocxMailMerge.Execute(document, fieldNames, fieldValues);

    /// <summary>The document's regions as a tree: the root stands for the whole document and holds the outermost regions.</summary>
    public MailMergeRegionInfo GetRegionsHierarchy() => MailMergeRegions.Hierarchy(document, regionStartTag, regionEndTag);

    /// <summary>Every region of that name (compared without case), at any depth, in document order.</summary>
    public System.Collections.Generic.IList<MailMergeRegionInfo> GetRegionsByName(string regionName)
    {
        ArgumentNullException.ThrowIfNull(regionName);
        var found = new System.Collections.Generic.List<MailMergeRegionInfo>();
        MailMergeRegions.Collect(GetRegionsHierarchy(), regionName, found);
        return found;
    }

    public bool TrimWhitespaces { get; set; } = true;

    public bool UseNonMergeFields { get; set; }

    public bool PreserveUnusedTags { get; set; }

    public bool MergeDuplicateRegions { get; set; }

    public bool MergeWholeDocument { get; set; }

    public bool UseWholeParagraphAsRegion { get; set; } = true;

    public string RegionStartTag
    {
        get => regionStartTag;
        set => regionStartTag = value ?? throw new ArgumentNullException(nameof(value));
    }

    public string RegionEndTag
    {
        get => regionEndTag;
        set => regionEndTag = value ?? throw new ArgumentNullException(nameof(value));
    }

    public bool RestartListsAtEachSection { get; set; } = true;

    public bool RetainFirstSectionStart { get; set; } = true;
}

// One mail-merge region: the merge fields between a region start field
// ("MERGEFIELD TableStart:Name") and its end field, and the regions nested in it.
// The document's whole body is the root region, without a name, at level 0.
public sealed class MailMergeRegionInfo
{
    internal MailMergeRegionInfo()
    {
    }

    public string? Name { get; internal set; }

    public int Level { get; internal set; }

    public MailMergeRegionInfo? ParentRegion { get; internal set; }

    /// <summary>The regions directly inside this one, in document order.</summary>
    public System.Collections.Generic.IList<MailMergeRegionInfo> Regions { get; } = new System.Collections.Generic.List<MailMergeRegionInfo>();

    /// <summary>The fields directly inside this region (not those of nested regions, nor its start and end fields), in document order.</summary>
    public System.Collections.Generic.IList<Field> Fields { get; } = new System.Collections.Generic.List<Field>();

    /// <summary>
    /// The mustache tags ("{{name}}") in the region's own text (not in nested regions, nor inside
    /// fields), in document order.
    /// </summary>
    public System.Collections.Generic.IList<MustacheTag> MustacheTags { get; } = new System.Collections.Generic.List<MustacheTag>();

    public FieldMergeField? StartField { get; internal set; }

    /// <summary>The field that closes the region; null for the root and for a region left open.</summary>
    public FieldMergeField? EndField { get; internal set; }
}

public sealed class MappedDataFieldCollection
{
    internal MappedDataFieldCollection()
    {
    }
}

// One "{{...}}" tag of a document's text.
public sealed class MustacheTag
{
    internal MustacheTag()
    {
    }

    /// <summary>The tag's text between its braces, as it stands ("{{ Name }}" gives " Name ").</summary>
    public string Text { get; internal set; } = string.Empty;

    /// <summary>Where the tag's opening braces stand in the run that holds them (its reference run).</summary>
    public int ReferenceOffset { get; internal set; }
}

// Finds the regions of a document from its merge fields: a start field opens a region
// inside the one open at that point, an end field of the same name closes it. An end
// field that closes nothing open is an ordinary field of the region it stands in.
internal static class MailMergeRegions
{
    public static MailMergeRegionInfo Hierarchy(Document document, string startTag, string endTag)
    {
        var root = new MailMergeRegionInfo();
        MailMergeRegionInfo current = root;
        foreach (Field field in FieldScanner.In(document))
        {
            if (!field.Start.IsInDocument()) continue;
            if (field is FieldMergeField merge && TagName(merge.FieldName, startTag) is { } opened)
            {
                var region = new MailMergeRegionInfo { Name = opened, Level = current.Level + 1, ParentRegion = current, StartField = merge };
                current.Regions.Add(region);
                current = region;
            }
            else if (field is FieldMergeField end && current != root
                     && string.Equals(TagName(end.FieldName, endTag), current.Name, StringComparison.OrdinalIgnoreCase))
            {
                current.EndField = end;
                current = current.ParentRegion!;
            }
            else
            {
                current.Fields.Add(field);
            }
        }
        CollectMustacheTags(document, root);
        return root;
    }

    // Walks the document's nodes in order, following the regions as their start and end fields
    // open and close them, and gives each region the "{{...}}" tags of the text it holds
    // directly. The text is read run by run outside fields and joined per paragraph, so a tag
    // split over runs is still one tag; it belongs to the region open where it begins.
    private static void CollectMustacheTags(Document document, MailMergeRegionInfo root)
    {
        var opens = new System.Collections.Generic.Dictionary<Node, MailMergeRegionInfo>();
        var closes = new System.Collections.Generic.Dictionary<Node, MailMergeRegionInfo>();
        MapRegionFields(root, opens, closes);
        MailMergeRegionInfo current = root;
        var text = new System.Text.StringBuilder();
        var pieces = new System.Collections.Generic.List<(int At, MailMergeRegionInfo Region)>();
        int fieldDepth = 0;
        foreach (Node node in document.GetChildNodes(NodeType.Any, true))
        {
            switch (node)
            {
                case Paragraph:
                    ReadTags(text, pieces);
                    break;
                case FieldStart:
                    // A region's start field opens it from its start; its end field closes it at once.
                    if (opens.TryGetValue(node, out var opened)) current = opened;
                    if (closes.TryGetValue(node, out var closed)) current = closed.ParentRegion ?? root;
                    fieldDepth++;
                    break;
                case FieldEnd:
                    if (fieldDepth > 0) fieldDepth--;
                    break;
                case Run run when fieldDepth == 0 && run.Text.Length > 0:
                    pieces.Add((text.Length, current));
                    text.Append(run.Text);
                    break;
            }
        }
        ReadTags(text, pieces);
    }

    private static void MapRegionFields(MailMergeRegionInfo region, System.Collections.Generic.Dictionary<Node, MailMergeRegionInfo> opens,
                                        System.Collections.Generic.Dictionary<Node, MailMergeRegionInfo> closes)
    {
        foreach (MailMergeRegionInfo inner in region.Regions)
        {
            if (inner.StartField?.Start is { } start) opens[start] = inner;
            if (inner.EndField?.Start is { } end) closes[end] = inner;
            MapRegionFields(inner, opens, closes);
        }
    }

    // The tags of one paragraph's text, each given to the region of the run where it begins;
    // empties the text and its pieces for the next paragraph.
    private static void ReadTags(System.Text.StringBuilder text, System.Collections.Generic.List<(int At, MailMergeRegionInfo Region)> pieces)
    {
        string all = text.ToString();
        int piece = 0;
        for (int open = all.IndexOf("{{", StringComparison.Ordinal); open >= 0; open = all.IndexOf("{{", open + 2, StringComparison.Ordinal))
        {
            int close = all.IndexOf("}}", open + 2, StringComparison.Ordinal);
            if (close < 0) break;
            // A tag holds no braces of its own: "{{a {{b}}" is the tag "b".
            int inner = all.LastIndexOf("{{", close, close - open + 1, StringComparison.Ordinal);
            open = inner;
            while (piece + 1 < pieces.Count && pieces[piece + 1].At <= open) piece++;
            var (at, region) = pieces[piece];
            string tagText = all.Substring(open + 2, close - open - 2);
            if (tagText.Contains('{') || tagText.Contains('}'))
            {
                continue;
            }
            region.MustacheTags.Add(new MustacheTag { Text = tagText, ReferenceOffset = open - at });
            open = close;
        }
        text.Clear();
        pieces.Clear();
    }

    public static void Collect(MailMergeRegionInfo region, string name, System.Collections.Generic.List<MailMergeRegionInfo> found)
    {
        foreach (MailMergeRegionInfo inner in region.Regions)
        {
            if (string.Equals(inner.Name, name, StringComparison.OrdinalIgnoreCase)) found.Add(inner);
            Collect(inner, name, found);
        }
    }

    // "TableStart:Orders" gives "Orders" for the tag "TableStart"; other names give null.
    private static string? TagName(string? fieldName, string tag) =>
        fieldName is not null && fieldName.Length > tag.Length + 1 && fieldName[tag.Length] == ':'
        && fieldName.StartsWith(tag, StringComparison.OrdinalIgnoreCase)
            ? fieldName[(tag.Length + 1)..] : null;
}
