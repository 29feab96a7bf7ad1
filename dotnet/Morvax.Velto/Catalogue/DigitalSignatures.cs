// Morvax.Velto.DigitalSignatures: signing documents and the signatures they
// carry.

namespace Morvax.Velto.DigitalSignatures;

public sealed class CertificateHolder
{
    internal CertificateHolder()
    {
    }
}

public sealed class DigitalSignature
{
    internal DigitalSignature()
    {
    }

    public DigitalSignatureType SignatureType { get; internal set; } = DigitalSignatureType.Unknown;

    public bool IsValid { get; internal set; }

    public string Comments { get; internal set; } = string.Empty;
}

public sealed class DigitalSignatureCollection
{
    public DigitalSignatureCollection()
    {
    }
}

// Signs documents and reads their signatures.
public static class DigitalSignatureUtil
{
}

public sealed class SignOptions
{
    private XmlDsigLevel xmlDsigLevel = XmlDsigLevel.XmlDSig;

    public SignOptions()
    {
    }

    public string? Comments { get; set; }

    public string? DecryptionPassword { get; set; }

    public XmlDsigLevel XmlDsigLevel
    {
        get => xmlDsigLevel;
        set => xmlDsigLevel = EnumCheck.Defined(value);
    }
}
