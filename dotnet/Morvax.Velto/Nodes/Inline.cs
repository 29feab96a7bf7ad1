// Inline: a node that lives inside a paragraph and carries character
// formatting.
namespace Morvax.Velto;

public abstract class Inline : Node
{
    private protected Inline(DocumentBase doc) : base(doc)
    {
    }

    public Font Font { get; } = new();
}
