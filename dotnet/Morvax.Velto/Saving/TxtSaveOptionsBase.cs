// TxtSaveOptionsBase: what the plain-text-like formats share.
namespace Morvax.Velto.Saving;

public abstract class TxtSaveOptionsBase : SaveOptions
{
    private protected TxtSaveOptionsBase(SaveFormat saveFormat) : base(saveFormat)
    {
    }
}
