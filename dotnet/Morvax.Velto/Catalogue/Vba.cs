// Morvax.Velto.Vba: the macro project of a document.
using System;

namespace Morvax.Velto.Vba;

public sealed class VbaExecutableAttribute
{
    public VbaExecutableAttribute()
    {
    }
}

public sealed class VbaModule
{
    private VbaModuleType type = VbaModuleType.ProceduralModule;

    public VbaModule()
    {
    }

    public string? Name { get; set; }

    public string? SourceCode { get; set; }

    public VbaModuleType Type
    {
        get => type;
        set => type = EnumCheck.Defined(value);
    }
}

public sealed class VbaModuleCollection
{
    internal VbaModuleCollection()
    {
    }
}

public sealed class VbaProject
{
    private string name = "Project";

    public VbaProject()
    {
    }

    public string Name
    {
        get => name;
        set => name = value ?? throw new ArgumentNullException(nameof(value));
    }

    public int CodePage { get; set; } = 1252;

    public bool IsSigned { get; internal set; }

    public bool IsProtected { get; internal set; }
}

public sealed class VbaReference
{
    internal VbaReference()
    {
    }

    public string LibId { get; internal set; } = string.Empty;

    public VbaReferenceType Type { get; internal set; } = VbaReferenceType.Registered;
}

public sealed class VbaReferenceCollection
{
    internal VbaReferenceCollection()
    {
    }
}
