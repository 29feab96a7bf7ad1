// Morvax.Velto.DigitalSignatures: signing documents and the signatures they
// carry.

namespace Morvax.Velto.DigitalSignatures;

public sealed class CertificateHolder
{
    internal CertificateHolder()
    {
    }
}

// A signature the package carries, as found in its signature parts. This
// library does not verify signatures, so it never says one is valid.
public sealed class DigitalSignature
{
    internal DigitalSignature()
    {
    }

    public DigitalSignatureType SignatureType { get; internal set; } = DigitalSignatureType.Unknown;

    /// <summary>Not supported: this library does not verify signatures.</summary>
    public bool IsValid => throw new System.NotSupportedException(
        "DigitalSignature.IsValid is not supported: this library does not verify signatures (their certificates and digests are not checked).");

    public string Comments { get; internal set; } = string.Empty;
}

// The signatures a loaded package carries, in package order.
public sealed class DigitalSignatureCollection : System.Collections.Generic.IEnumerable<DigitalSignature>
{
    internal readonly System.Collections.Generic.List<DigitalSignature> Items = new();

    public DigitalSignatureCollection()
    {
    }

    /// <summary>The number of signatures.</summary>
    public int Count => Items.Count;

    public DigitalSignature this[int index] => Items[index];

    /// <summary>The signatures, in package order.</summary>
    public DigitalSignature[] ToArray() => Items.ToArray();

    public System.Collections.Generic.IEnumerator<DigitalSignature> GetEnumerator() => Items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
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
