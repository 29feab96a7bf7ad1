// TxtSaveOptions: saving as plain text (UTF-8 without a byte order mark).
using System;

namespace Morvax.Velto.Saving;

/// <summary>Options for saving as plain text.</summary>
public sealed class TxtSaveOptions : TxtSaveOptionsBase
{
    private string paragraphBreak = ControlChar.CrLf;

    public TxtSaveOptions() : base(SaveFormat.Text)
    {
    }

    // Written after every paragraph (and for every line break).
    /// <summary>The text written at the end of each paragraph.</summary>
    public string ParagraphBreak
    {
        get => paragraphBreak;
        set => paragraphBreak = value ?? throw new ArgumentNullException(nameof(value));
    }

    private protected override bool Accepts(SaveFormat format) => format == SaveFormat.Text;
}
