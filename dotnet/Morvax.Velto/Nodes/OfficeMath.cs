// OfficeMath: an equation, or one part of one (a fraction, its numerator, a
// radical ...), as a node; the parts nest, and the innermost hold runs.
// Only the readers make them.
namespace Morvax.Velto.Math;

public sealed class OfficeMath : CompositeNode
{
    private OfficeMathDisplayType displayType = OfficeMathDisplayType.Inline;
    private OfficeMathJustification justification = OfficeMathJustification.Default;

    internal OfficeMath(DocumentBase doc, MathObjectType mathObjectType) : base(doc)
    {
        MathObjectType = mathObjectType;
    }

    public override NodeType NodeType => NodeType.OfficeMath;

    public MathObjectType MathObjectType { get; }

    // Meaningful on the outermost equation only.
    public OfficeMathDisplayType DisplayType
    {
        get => displayType;
        set => displayType = EnumCheck.Defined(value);
    }

    public OfficeMathJustification Justification
    {
        get => justification;
        set => justification = EnumCheck.Defined(value);
    }

    internal override bool CanHold(Node child) => child is Inline or OfficeMath;

    internal override Node CopyNode(DocumentBase owner) =>
        new OfficeMath(owner, MathObjectType) { displayType = displayType, justification = justification };
}
