// TabStop: one tab stop of a paragraph: where it is, how text aligns on it,
// and what fills the space before it.
namespace Morvax.Velto;

public sealed class TabStop
{
    private TabAlignment alignment;
    private TabLeader leader;

    public TabStop(double position) : this(position, TabAlignment.Left, TabLeader.None)
    {
    }

    public TabStop(double position, TabAlignment alignment, TabLeader leader)
    {
        Position = ParagraphFormat.IsIndent(position)
            ? position
            : throw new System.ArgumentOutOfRangeException(nameof(position), position,
                $"A tab stop must be between {-ParagraphFormat.MaxIndent} and {ParagraphFormat.MaxIndent} points.");
        this.alignment = EnumCheck.Defined(alignment);
        this.leader = EnumCheck.Defined(leader);
    }

    // In points from the paragraph's leading edge.
    public double Position { get; }

    public TabAlignment Alignment
    {
        get => alignment;
        set => alignment = EnumCheck.Defined(value);
    }

    public TabLeader Leader
    {
        get => leader;
        set => leader = EnumCheck.Defined(value);
    }

    // Clear stops remove an inherited stop at the same position.
    public bool IsClear => alignment == TabAlignment.Clear;
}
