// ProtectionType: which edits a protected document still allows.
namespace Morvax.Velto;

public enum ProtectionType
{
    NoProtection = -1,
    AllowOnlyRevisions = 0,
    AllowOnlyComments = 1,
    AllowOnlyFormFields = 2,
    ReadOnly = 3,
}
