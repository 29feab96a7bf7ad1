// The enumerations of Morvax.Velto.Fonts.
using System;

namespace Morvax.Velto.Fonts;

public enum EmbeddedFontFormat
{
    EmbeddedOpenType = 0,
    OpenType = 1,
}

[Flags]
public enum EmbeddedFontStyle
{
    Regular = 0,
    Bold = 1,
    Italic = 2,
    BoldItalic = 3,
}

public enum FontEmbeddingUsagePermissions
{
    Installable = 0,
    RestrictedLicense = 1,
    PrintAndPreview = 2,
    Editable = 3,
}

public enum FontFamily
{
    Auto = 0,
    Roman = 1,
    Swiss = 2,
    Modern = 3,
    Script = 4,
    Decorative = 5,
}

public enum FontPitch
{
    Default = 0,
    Fixed = 1,
    Variable = 2,
}

public enum FontSourceType
{
    FontFile = 0,
    FontsFolder = 1,
    MemoryFont = 2,
    SystemFonts = 3,
    FontStream = 4,
}
