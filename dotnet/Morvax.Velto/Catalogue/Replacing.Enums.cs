// The enumerations of Morvax.Velto.Replacing.

namespace Morvax.Velto.Replacing;

public enum FindReplaceDirection
{
    Forward = 0,
    Backward = 1,
}

public enum ReplaceAction
{
    Replace = 0,
    Skip = 1,
    Stop = 2,
}

public enum ReplacementFormat
{
    Text = 0,
    Markdown = 1,
    Html = 2,
}
