// ParagraphCollection: the paragraphs of a story, typed.
using System.Linq;

namespace Morvax.Velto;

/// <summary>The paragraphs of a story.</summary>
public sealed class ParagraphCollection : NodeCollection
{
    internal ParagraphCollection(CompositeNode container) : base(container, NodeType.Paragraph, false)
    {
    }

    public new Paragraph this[int index] => (Paragraph)base[index];

    public new Paragraph[] ToArray() => base.ToArray().Cast<Paragraph>().ToArray();
}
