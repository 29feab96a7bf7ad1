// RunCollection: the runs of a paragraph, typed.
using System.Linq;

namespace Morvax.Velto;

public sealed class RunCollection : NodeCollection
{
    internal RunCollection(Paragraph container) : base(container, NodeType.Run, false)
    {
    }

    public new Run this[int index] => (Run)base[index];

    public new Run[] ToArray() => base.ToArray().Cast<Run>().ToArray();
}
