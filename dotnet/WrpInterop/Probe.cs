// Probe.cs: a plain object with a chosen hash and text, made by Diagnostics
// so tests and benchmarks can check what the object entry points return.
using System;

namespace Morvax.WrpGen.Interop
{
    internal sealed class Probe
    {
        private readonly int _hash;
        private readonly string? _text;

        internal Probe(int hash, string? text)
        {
            _hash = hash;
            _text = text;
        }

        public override int GetHashCode() => _hash;

        // May be null on purpose: callers must cope with a ToString that gives null.
        public override string? ToString() => _text;

        public override bool Equals(object? obj) =>
            obj is Probe other && other._hash == _hash && string.Equals(other._text, _text, StringComparison.Ordinal);
    }
}
