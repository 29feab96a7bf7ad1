// The enumerations of Morvax.Velto.Properties.
using System;

namespace Morvax.Velto.Properties;

[Flags]
public enum DocumentSecurity
{
    None = 0,
    PasswordProtected = 1,
    ReadOnlyRecommended = 2,
    ReadOnlyEnforced = 4,
    ReadOnlyExceptAnnotations = 8,
}

public enum PropertyType
{
    Boolean = 0,
    DateTime = 1,
    Double = 2,
    Number = 3,
    String = 4,
    StringArray = 5,
    ObjectArray = 6,
    ByteArray = 7,
    Other = 8,
}
