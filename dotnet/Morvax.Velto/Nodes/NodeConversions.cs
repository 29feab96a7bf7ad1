// The typed views of a node: one As<Class>() per public node class.  A
// caller that holds a node through its base type (a child from GetChild, a
// ParentNode) reaches the members of the real class through these; a node of
// another class gives null rather than an exception, so the result can be
// tested like a cast with `as`.
namespace Morvax.Velto;

public abstract partial class Node
{
    /// <summary>This node as an <see cref="T:Morvax.Velto.AbsolutePositionTab"/>, or <see langword="null"/> when it is of another class.</summary>
    public AbsolutePositionTab? AsAbsolutePositionTab() => this as AbsolutePositionTab;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Body"/>, or <see langword="null"/> when it is of another class.</summary>
    public Body? AsBody() => this as Body;

    /// <summary>This node as a <see cref="T:Morvax.Velto.BookmarkEnd"/>, or <see langword="null"/> when it is of another class.</summary>
    public BookmarkEnd? AsBookmarkEnd() => this as BookmarkEnd;

    /// <summary>This node as a <see cref="T:Morvax.Velto.BookmarkStart"/>, or <see langword="null"/> when it is of another class.</summary>
    public BookmarkStart? AsBookmarkStart() => this as BookmarkStart;

    /// <summary>This node as a <see cref="T:Morvax.Velto.BuildingBlocks.BuildingBlock"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.BuildingBlocks.BuildingBlock? AsBuildingBlock() => this as Morvax.Velto.BuildingBlocks.BuildingBlock;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Tables.Cell"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.Tables.Cell? AsCell() => this as Morvax.Velto.Tables.Cell;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Comment"/>, or <see langword="null"/> when it is of another class.</summary>
    public Comment? AsComment() => this as Comment;

    /// <summary>This node as a <see cref="T:Morvax.Velto.CommentRangeEnd"/>, or <see langword="null"/> when it is of another class.</summary>
    public CommentRangeEnd? AsCommentRangeEnd() => this as CommentRangeEnd;

    /// <summary>This node as a <see cref="T:Morvax.Velto.CommentRangeStart"/>, or <see langword="null"/> when it is of another class.</summary>
    public CommentRangeStart? AsCommentRangeStart() => this as CommentRangeStart;

    /// <summary>This node as a <see cref="T:Morvax.Velto.CompositeNode"/>, or <see langword="null"/> when it is of another class.</summary>
    public CompositeNode? AsCompositeNode() => this as CompositeNode;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Document"/>, or <see langword="null"/> when it is of another class.</summary>
    public Document? AsDocument() => this as Document;

    /// <summary>This node as a <see cref="T:Morvax.Velto.DocumentBase"/>, or <see langword="null"/> when it is of another class.</summary>
    public DocumentBase? AsDocumentBase() => this as DocumentBase;

    /// <summary>This node as an <see cref="T:Morvax.Velto.EditableRangeEnd"/>, or <see langword="null"/> when it is of another class.</summary>
    public EditableRangeEnd? AsEditableRangeEnd() => this as EditableRangeEnd;

    /// <summary>This node as an <see cref="T:Morvax.Velto.EditableRangeStart"/>, or <see langword="null"/> when it is of another class.</summary>
    public EditableRangeStart? AsEditableRangeStart() => this as EditableRangeStart;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Fields.FieldChar"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.Fields.FieldChar? AsFieldChar() => this as Morvax.Velto.Fields.FieldChar;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Fields.FieldEnd"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.Fields.FieldEnd? AsFieldEnd() => this as Morvax.Velto.Fields.FieldEnd;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Fields.FieldSeparator"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.Fields.FieldSeparator? AsFieldSeparator() => this as Morvax.Velto.Fields.FieldSeparator;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Fields.FieldStart"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.Fields.FieldStart? AsFieldStart() => this as Morvax.Velto.Fields.FieldStart;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Notes.Footnote"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.Notes.Footnote? AsFootnote() => this as Morvax.Velto.Notes.Footnote;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Notes.FootnoteSeparator"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.Notes.FootnoteSeparator? AsFootnoteSeparator() => this as Morvax.Velto.Notes.FootnoteSeparator;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Fields.FormField"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.Fields.FormField? AsFormField() => this as Morvax.Velto.Fields.FormField;

    /// <summary>This node as a <see cref="T:Morvax.Velto.BuildingBlocks.GlossaryDocument"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.BuildingBlocks.GlossaryDocument? AsGlossaryDocument() => this as Morvax.Velto.BuildingBlocks.GlossaryDocument;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Drawing.GroupShape"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.Drawing.GroupShape? AsGroupShape() => this as Morvax.Velto.Drawing.GroupShape;

    /// <summary>This node as a <see cref="T:Morvax.Velto.HeaderFooter"/>, or <see langword="null"/> when it is of another class.</summary>
    public HeaderFooter? AsHeaderFooter() => this as HeaderFooter;

    /// <summary>This node as an <see cref="T:Morvax.Velto.Inline"/>, or <see langword="null"/> when it is of another class.</summary>
    public Inline? AsInline() => this as Inline;

    /// <summary>This node as an <see cref="T:Morvax.Velto.InlineStory"/>, or <see langword="null"/> when it is of another class.</summary>
    public InlineStory? AsInlineStory() => this as InlineStory;

    /// <summary>This node as an <see cref="T:Morvax.Velto.Math.OfficeMath"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.Math.OfficeMath? AsOfficeMath() => this as Morvax.Velto.Math.OfficeMath;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Paragraph"/>, or <see langword="null"/> when it is of another class.</summary>
    public Paragraph? AsParagraph() => this as Paragraph;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Tables.Row"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.Tables.Row? AsRow() => this as Morvax.Velto.Tables.Row;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Run"/>, or <see langword="null"/> when it is of another class.</summary>
    public Run? AsRun() => this as Run;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Section"/>, or <see langword="null"/> when it is of another class.</summary>
    public Section? AsSection() => this as Section;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Drawing.Shape"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.Drawing.Shape? AsShape() => this as Morvax.Velto.Drawing.Shape;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Drawing.ShapeBase"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.Drawing.ShapeBase? AsShapeBase() => this as Morvax.Velto.Drawing.ShapeBase;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Markup.SmartTag"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.Markup.SmartTag? AsSmartTag() => this as Morvax.Velto.Markup.SmartTag;

    /// <summary>This node as a <see cref="T:Morvax.Velto.SpecialChar"/>, or <see langword="null"/> when it is of another class.</summary>
    public SpecialChar? AsSpecialChar() => this as SpecialChar;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Story"/>, or <see langword="null"/> when it is of another class.</summary>
    public Story? AsStory() => this as Story;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Markup.StructuredDocumentTag"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.Markup.StructuredDocumentTag? AsStructuredDocumentTag() => this as Morvax.Velto.Markup.StructuredDocumentTag;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Markup.StructuredDocumentTagRangeEnd"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.Markup.StructuredDocumentTagRangeEnd? AsStructuredDocumentTagRangeEnd() => this as Morvax.Velto.Markup.StructuredDocumentTagRangeEnd;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Markup.StructuredDocumentTagRangeStart"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.Markup.StructuredDocumentTagRangeStart? AsStructuredDocumentTagRangeStart() => this as Morvax.Velto.Markup.StructuredDocumentTagRangeStart;

    /// <summary>This node as a <see cref="T:Morvax.Velto.SubDocument"/>, or <see langword="null"/> when it is of another class.</summary>
    public SubDocument? AsSubDocument() => this as SubDocument;

    /// <summary>This node as a <see cref="T:Morvax.Velto.Tables.Table"/>, or <see langword="null"/> when it is of another class.</summary>
    public Morvax.Velto.Tables.Table? AsTable() => this as Morvax.Velto.Tables.Table;
}
