// BuildVersionInfo: the product name and version of this library.
namespace Morvax.Velto;

public static class BuildVersionInfo
{
    public static string Product => "Morvax.Velto for .NET";

    public static string Version => "25.8.0.0";
}
