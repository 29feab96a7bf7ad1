// The enumerations of Morvax.Velto.Comparing.

namespace Morvax.Velto.Comparing;

public enum ComparisonTargetType
{
    Current = 0,
    New = 1,
}

public enum Granularity
{
    CharLevel = 0,
    WordLevel = 1,
}
