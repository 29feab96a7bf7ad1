// The enumerations of Morvax.Velto.WebExtensions.

namespace Morvax.Velto.WebExtensions;

public enum TaskPaneDockState
{
    Right = 0,
    Left = 1,
}

public enum WebExtensionBindingType
{
    Matrix = 0,
    Table = 1,
    Text = 2,
}

public enum WebExtensionStoreType
{
    OMEX = 0,
    SPCatalog = 1,
    SPApp = 2,
    Exchange = 3,
    FileSystem = 4,
    Registry = 5,
    ExCatalog = 6,
}
