// Morvax.Velto.Settings: document settings: compatibility, view, hyphenation,
// mail-merge settings.

namespace Morvax.Velto.Settings;

public sealed class CompatibilityOptions
{
    internal CompatibilityOptions()
    {
    }

    public bool GrowAutofit { get; set; } = true;

    public bool DoNotBreakWrappedTables { get; set; }

    public bool UseWord2010TableStyleRules { get; set; }

    public bool UlTrailSpace { get; set; }

    public bool NoExtraLineSpacing { get; set; }

    public bool DoNotExpandShiftReturn { get; set; }

    public MsWordVersion MsWordVersion { get; internal set; } = MsWordVersion.Word2019;
}

public sealed class HyphenationOptions
{
    internal HyphenationOptions()
    {
    }

    public bool AutoHyphenation { get; set; }

    public int ConsecutiveHyphenLimit { get; set; }

    public double HyphenationZone { get; set; } = 18;

    public bool HyphenateCaps { get; set; } = true;
}

public sealed class MailMergeSettings
{
    private MailMergeCheckErrors checkErrors = MailMergeCheckErrors.PauseOnError;
    private MailMergeDataType dataType = MailMergeDataType.Default;
    private MailMergeDestination destination = MailMergeDestination.Default;
    private MailMergeMainDocumentType mainDocumentType = MailMergeMainDocumentType.Default;

    public MailMergeSettings()
    {
    }

    public string? DataSource { get; set; }

    public string? Query { get; set; }

    public string? ConnectString { get; set; }

    public bool LinkToQuery { get; set; }

    public bool ViewMergedData { get; set; }

    public bool DoNotSupressBlankLines { get; set; }

    public bool MailAsAttachment { get; set; }

    public string? AddressFieldName { get; set; }

    public string? MailSubject { get; set; }

    public int ActiveRecord { get; set; }

    public MailMergeCheckErrors CheckErrors
    {
        get => checkErrors;
        set => checkErrors = EnumCheck.Defined(value);
    }

    public MailMergeDataType DataType
    {
        get => dataType;
        set => dataType = EnumCheck.Defined(value);
    }

    public MailMergeDestination Destination
    {
        get => destination;
        set => destination = EnumCheck.Defined(value);
    }

    public MailMergeMainDocumentType MainDocumentType
    {
        get => mainDocumentType;
        set => mainDocumentType = EnumCheck.Defined(value);
    }
}

public sealed class Odso
{
    private OdsoDataSourceType dataSourceType = OdsoDataSourceType.Default;

    public Odso()
    {
    }

    public string? DataSource { get; set; }

    public string? TableName { get; set; }

    public string? UdlConnectString { get; set; }

    public string? ColumnDelimiter { get; set; }

    public bool FirstRowContainsColumnNames { get; set; }

    public OdsoDataSourceType DataSourceType
    {
        get => dataSourceType;
        set => dataSourceType = EnumCheck.Defined(value);
    }
}

public sealed class OdsoFieldMapData
{
    private OdsoFieldMappingType type = OdsoFieldMappingType.Default;

    public OdsoFieldMapData()
    {
    }

    public string? Name { get; set; }

    public string? MappedName { get; set; }

    public int Column { get; set; }

    public OdsoFieldMappingType Type
    {
        get => type;
        set => type = EnumCheck.Defined(value);
    }
}

// How the fields of a mail-merge data source map onto the merge fields.
public sealed class OdsoFieldMapDataCollection : System.Collections.Generic.IEnumerable<OdsoFieldMapData>
{
    private readonly System.Collections.Generic.List<OdsoFieldMapData> items = new();

    public OdsoFieldMapDataCollection()
    {
    }

    public int Count => items.Count;

    public OdsoFieldMapData this[int index]
    {
        get => items[index];
        set => items[index] = value ?? throw new System.ArgumentNullException(nameof(value));
    }

    public void Add(OdsoFieldMapData item) => items.Add(item ?? throw new System.ArgumentNullException(nameof(item)));

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    public System.Collections.Generic.IEnumerator<OdsoFieldMapData> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class OdsoRecipientData
{
    public OdsoRecipientData()
    {
    }

    public bool Active { get; set; } = true;

    public int Column { get; set; }

    public byte[]? UniqueTag { get; set; }
}

// The recipients of a mail merge that were included or left out.
public sealed class OdsoRecipientDataCollection : System.Collections.Generic.IEnumerable<OdsoRecipientData>
{
    private readonly System.Collections.Generic.List<OdsoRecipientData> items = new();

    public OdsoRecipientDataCollection()
    {
    }

    public int Count => items.Count;

    public OdsoRecipientData this[int index]
    {
        get => items[index];
        set => items[index] = value ?? throw new System.ArgumentNullException(nameof(value));
    }

    public void Add(OdsoRecipientData item) => items.Add(item ?? throw new System.ArgumentNullException(nameof(item)));

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    public System.Collections.Generic.IEnumerator<OdsoRecipientData> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class ViewOptions
{
    private ViewType viewType = ViewType.PageLayout;
    private ZoomType zoomType = ZoomType.Custom;

    internal ViewOptions()
    {
    }

    public ViewType ViewType
    {
        get => viewType;
        set => viewType = EnumCheck.Defined(value);
    }

    public int ZoomPercent { get; set; } = 100;

    public ZoomType ZoomType
    {
        get => zoomType;
        set => zoomType = EnumCheck.Defined(value);
    }

    public bool DisplayBackgroundShape { get; set; }

    public bool DoNotDisplayPageBoundaries { get; set; }

    public bool FormsDesign { get; set; }
}

public sealed class WriteProtection
{
    internal WriteProtection()
    {
    }

    public bool ReadOnlyRecommended { get; set; }

    public bool IsWriteProtected { get; internal set; }

    public string? SetPassword { get; internal set; }
}
