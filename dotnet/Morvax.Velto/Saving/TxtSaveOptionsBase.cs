// TxtSaveOptionsBase: what the plain-text-like formats share.
namespace Morvax.Velto.Saving;

/// <summary>The options shared by the plain-text formats.</summary>
public abstract class TxtSaveOptionsBase : SaveOptions
{
    private protected TxtSaveOptionsBase(SaveFormat saveFormat) : base(saveFormat)
    {
    }
}
