// The enumerations of Morvax.Velto.Vba.

namespace Morvax.Velto.Vba;

public enum VbaModuleType
{
    DocumentModule = 0,
    ProceduralModule = 1,
    ClassModule = 2,
    DesignerModule = 3,
}

public enum VbaReferenceType
{
    Registered = 0,
    Project = 1,
    Original = 2,
    Control = 3,
}
