// The enumerations of Morvax.Velto.Markup.

namespace Morvax.Velto.Markup;

public enum MarkupLevel
{
    Unknown = 0,
    Inline = 1,
    Block = 2,
    Row = 3,
    Cell = 4,
}

public enum SdtAppearance
{
    Default = 0,
    BoundingBox = 1,
    Tags = 2,
    Hidden = 3,
}

public enum SdtCalendarType
{
    Default = 0,
    Gregorian = 1,
    GregorianArabic = 2,
    GregorianMeFrench = 3,
    GregorianUs = 4,
    GregorianXlitEnglish = 5,
    GregorianXlitFrench = 6,
    Hebrew = 7,
    Hijri = 8,
    Japan = 9,
    Korea = 10,
    None = 11,
    Saka = 12,
    Taiwan = 13,
    Thai = 14,
}

public enum SdtDateStorageFormat
{
    Date = 0,
    DateTime = 1,
    Default = 2,
    Text = 3,
}

public enum SdtType
{
    None = 0,
    Bibliography = 1,
    Citation = 2,
    Equation = 3,
    DropDownList = 4,
    ComboBox = 5,
    Date = 6,
    BuildingBlockGallery = 7,
    DocPartObj = 8,
    Group = 9,
    Picture = 10,
    RichText = 11,
    PlainText = 12,
    Checkbox = 13,
    RepeatingSection = 14,
    RepeatingSectionItem = 15,
    EntityPicker = 16,
}
