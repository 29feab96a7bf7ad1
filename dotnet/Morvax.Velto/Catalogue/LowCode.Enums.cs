// The enumerations of Morvax.Velto.LowCode.

namespace Morvax.Velto.LowCode;

public enum MergeFormatMode
{
    MergeFormatting = 0,
    KeepSourceFormatting = 1,
    KeepSourceLayout = 2,
}

public enum SplitCriteria
{
    Page = 0,
    Section = 1,
    Style = 2,
}
