// The enumerations of Morvax.Velto.DigitalSignatures.

namespace Morvax.Velto.DigitalSignatures;

public enum DigitalSignatureType
{
    Unknown = 0,
    CryptoApi = 1,
    XmlDsig = 2,
}

public enum XmlDsigLevel
{
    XmlDSig = 0,
    XAdEsEpes = 1,
}
