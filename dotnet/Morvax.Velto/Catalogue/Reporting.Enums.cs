// The enumerations of Morvax.Velto.Reporting.
using System;

namespace Morvax.Velto.Reporting;

public enum JsonSimpleValueParseMode
{
    Loose = 0,
    Strict = 1,
}

[Flags]
public enum ReportBuildOptions
{
    None = 0,
    AllowMissingMembers = 1,
    RemoveEmptyParagraphs = 2,
    InlineErrorMessages = 4,
    UseLegacyHeaderFooterVisiting = 8,
    RespectJpegExifOrientation = 16,
    UpdateFieldsSyntaxAware = 32,
}
