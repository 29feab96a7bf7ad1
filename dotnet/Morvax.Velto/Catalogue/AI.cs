// Morvax.Velto.AI: the language-model services and their options.

namespace Morvax.Velto.AI;

// The base of the language-model services that summarise, translate and check
// documents.
public abstract class AiModel
{
    private protected AiModel()
    {
    }
}

public sealed class AnthropicAiModel : AiModel, IAiModelText
{
    public AnthropicAiModel()
    {
    }
}

public sealed class CheckGrammarOptions
{
    public CheckGrammarOptions()
    {
    }

    public bool MakeRevisions { get; set; }

    public bool ImproveStylistics { get; set; }

    public bool PreserveUnchangedText { get; set; }
}

public sealed class GoogleAiModel : AiModel, IAiModelText
{
    public GoogleAiModel()
    {
    }
}

public interface IAiModelText
{
}

public sealed class OpenAiModel : AiModel, IAiModelText
{
    public OpenAiModel()
    {
    }
}

public sealed class SummarizeOptions
{
    private SummaryLength summaryLength = SummaryLength.Medium;

    public SummarizeOptions()
    {
    }

    public SummaryLength SummaryLength
    {
        get => summaryLength;
        set => summaryLength = EnumCheck.Defined(value);
    }
}
