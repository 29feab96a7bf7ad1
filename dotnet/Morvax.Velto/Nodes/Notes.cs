// Footnotes and endnotes (one node kind, told apart by FootnoteType), and the
// separator stories printed between the main text and the notes.
using System;

namespace Morvax.Velto.Notes;

public sealed class Footnote : InlineStory
{
    private string referenceMark = string.Empty;

    public Footnote(DocumentBase doc, FootnoteType footnoteType) : base(doc)
    {
        FootnoteType = EnumCheck.Defined(footnoteType);
    }

    public override NodeType NodeType => NodeType.Footnote;

    public FootnoteType FootnoteType { get; }

    // Whether the reference mark is numbered automatically rather than being
    // the custom ReferenceMark text.
    public bool IsAuto { get; set; } = true;

    public string ReferenceMark
    {
        get => referenceMark;
        set => referenceMark = value ?? throw new ArgumentNullException(nameof(value));
    }

    private protected override InlineStory CopyStory(DocumentBase owner) =>
        new Footnote(owner, FootnoteType) { IsAuto = IsAuto, referenceMark = referenceMark };
}

public sealed class FootnoteSeparator : Story
{
    internal FootnoteSeparator(DocumentBase doc, FootnoteSeparatorType separatorType) : base(doc)
    {
        SeparatorType = separatorType;
    }

    public override NodeType NodeType => NodeType.FootnoteSeparator;

    public FootnoteSeparatorType SeparatorType { get; }

    internal override Node CopyNode(DocumentBase owner) => new FootnoteSeparator(owner, SeparatorType);
}
