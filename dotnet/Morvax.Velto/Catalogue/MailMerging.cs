// Morvax.Velto.MailMerging: mail merge: the engine, data sources and
// callbacks.
using System;

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

public sealed class MailMergeRegionInfo
{
    internal MailMergeRegionInfo()
    {
    }

    public string? Name { get; internal set; }

    public int Level { get; internal set; }
}

public sealed class MappedDataFieldCollection
{
    internal MappedDataFieldCollection()
    {
    }
}

public sealed class MustacheTag
{
    internal MustacheTag()
    {
    }

    public string Text { get; internal set; } = string.Empty;

    public int ReferenceOffset { get; internal set; }
}
