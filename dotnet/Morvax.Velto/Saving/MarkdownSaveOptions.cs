// MarkdownSaveOptions: saving as Markdown (CommonMark, with ~~ for
// strike-through).
namespace Morvax.Velto.Saving;

/// <summary>Options for saving as Markdown.</summary>
public sealed class MarkdownSaveOptions : TxtSaveOptionsBase
{
    public MarkdownSaveOptions() : base(SaveFormat.Markdown)
    {
    }

    private protected override bool Accepts(SaveFormat format) => format == SaveFormat.Markdown;
}
