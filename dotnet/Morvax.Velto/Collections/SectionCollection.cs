// SectionCollection: the sections of a document, typed.
using System.Linq;

namespace Morvax.Velto;

/// <summary>The sections of a document.</summary>
public sealed class SectionCollection : NodeCollection
{
    internal SectionCollection(Document container) : base(container, NodeType.Section, false)
    {
    }

    public new Section this[int index] => (Section)base[index];

    public new Section[] ToArray() => base.ToArray().Cast<Section>().ToArray();
}
