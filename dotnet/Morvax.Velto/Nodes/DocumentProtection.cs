// Document protection: which edits a protected document still allows, and the
// salted, iterated password hash that guards it.  The .docx settings part
// stores both in its documentProtection element (Formats/DocxSettings).
using System;
using System.Security.Cryptography;
using System.Text;

namespace Morvax.Velto;

// One protection as a document holds it.  Immutable, so a cloned document can
// share it.  Raw is the element a loaded package had, written back unchanged
// while nobody protects or unprotects the document, so that a hash this
// library cannot verify is still not lost.
internal sealed record ProtectionState(
    ProtectionType Type,
    string? AlgorithmName,
    string? HashValue,
    string? SaltValue,
    int SpinCount,
    object? Raw)
{
    // The algorithm new protections use; enough iterations to make guessing
    // slow, few enough that protecting stays well under a second.
    internal const string Algorithm = "SHA-512";
    internal const int Iterations = 100_000;

    internal bool HasPassword => !string.IsNullOrEmpty(HashValue);

    internal static ProtectionState Create(ProtectionType type, string? password)
    {
        if (string.IsNullOrEmpty(password))
            return new ProtectionState(type, null, null, null, 0, null);
        byte[] salt = RandomNumberGenerator.GetBytes(16);
        byte[] hash = Hash(Algorithm, salt, password, Iterations)!;
        return new ProtectionState(type, Algorithm, Convert.ToBase64String(hash), Convert.ToBase64String(salt), Iterations, null);
    }

    // True when the password is the one the hash was made from; false too
    // when the stored hash uses an algorithm this library does not know.
    internal bool Matches(string password)
    {
        if (!HasPassword)
            return true;
        byte[] salt, expected;
        try
        {
            salt = Convert.FromBase64String(SaltValue ?? string.Empty);
            expected = Convert.FromBase64String(HashValue!);
        }
        catch (FormatException)
        {
            return false;
        }
        byte[]? actual = Hash(AlgorithmName, salt, password, SpinCount);
        return actual is not null && CryptographicOperations.FixedTimeEquals(actual, expected);
    }

    // hash = H(salt + password as UTF-16LE), then spinCount times
    // hash = H(hash + iteration number as 32-bit little-endian).
    private static byte[]? Hash(string? algorithmName, byte[] salt, string password, int spinCount)
    {
        using HashAlgorithm? algorithm = algorithmName?.ToUpperInvariant() switch
        {
            "SHA-512" => SHA512.Create(),
            "SHA-384" => SHA384.Create(),
            "SHA-256" => SHA256.Create(),
            "SHA-1" => SHA1.Create(),
            _ => null,
        };
        if (algorithm is null || spinCount < 0 || spinCount > 10_000_000)
            return null;
        byte[] first = new byte[salt.Length + password.Length * 2];
        salt.CopyTo(first, 0);
        Encoding.Unicode.GetBytes(password, 0, password.Length, first, salt.Length);
        byte[] hash = algorithm.ComputeHash(first);
        byte[] round = new byte[hash.Length + 4];
        for (int i = 0; i < spinCount; i++)
        {
            hash.CopyTo(round, 0);
            BitConverter.TryWriteBytes(round.AsSpan(hash.Length), i);
            hash = algorithm.ComputeHash(round);
        }
        return hash;
    }
}

public sealed partial class Document
{
    internal ProtectionState? Protection { get; set; }

    /// <summary>Which edits the document allows; <see cref="F:Morvax.Velto.ProtectionType.NoProtection"/> when it is not protected.</summary>
    public ProtectionType ProtectionType => Protection?.Type ?? ProtectionType.NoProtection;

    // Protecting without a password replaces any earlier protection and its
    // password: the caller asked for an unguarded protection.
    /// <summary>Protects the document against all edits but those <paramref name="type"/> allows, without a password.</summary>
    public void Protect(ProtectionType type) => Protect(type, null);

    /// <summary>Protects the document against all edits but those <paramref name="type"/> allows; the password (none when null or empty) is stored only as a salted hash.</summary>
    public void Protect(ProtectionType type, string? password)
    {
        if (!Enum.IsDefined(type))
            throw new ArgumentOutOfRangeException(nameof(type), type, "Not a protection type.");
        Protection = type == ProtectionType.NoProtection ? null : ProtectionState.Create(type, password);
    }

    /// <summary>Removes the protection, whatever its password.</summary>
    public void Unprotect() => Protection = null;

    /// <summary>Removes the protection when <paramref name="password"/> is its password (or it has none); returns whether it did.</summary>
    public bool Unprotect(string password)
    {
        ArgumentNullException.ThrowIfNull(password);
        if (Protection is { } protection && !protection.Matches(password))
            return false;
        Protection = null;
        return true;
    }
}
