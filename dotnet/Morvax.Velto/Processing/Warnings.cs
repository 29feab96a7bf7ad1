// WarningInfo and WarningInfoCollection: what went wrong, or was changed,
// while a document was loaded or saved.  A WarningInfoCollection is the
// ready-made warning callback that keeps every warning it is given.
using System;
using System.Collections;
using System.Collections.Generic;

namespace Morvax.Velto;

public sealed class WarningInfo
{
    internal WarningInfo(WarningType warningType, WarningSource source, string description)
    {
        WarningType = warningType;
        Source = source;
        Description = description;
    }

    public WarningType WarningType { get; }

    public WarningSource Source { get; }

    public string Description { get; }
}

public sealed class WarningInfoCollection : IWarningCallback, IEnumerable<WarningInfo>
{
    private readonly List<WarningInfo> warnings = new();

    public WarningInfoCollection()
    {
    }

    public int Count => warnings.Count;

    public WarningInfo this[int index] => index >= 0 && index < warnings.Count
        ? warnings[index]
        : throw new ArgumentOutOfRangeException(nameof(index), index, "The index is outside the collection.");

    public void Warning(WarningInfo info)
    {
        ArgumentNullException.ThrowIfNull(info);
        warnings.Add(info);
    }

    public void Clear() => warnings.Clear();

    public IEnumerator<WarningInfo> GetEnumerator() => warnings.GetEnumerator();

    IEnumerator IEnumerable.GetEnumerator() => GetEnumerator();
}
