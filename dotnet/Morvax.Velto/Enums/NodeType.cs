// NodeType: the kind of a node in the document tree.  The numbers are the
// ones the document-format vocabulary uses, so they stay stable when more
// node kinds are added.
namespace Morvax.Velto;

public enum NodeType
{
    Any = 0,
    Document = 1,
    Section = 2,
    Body = 3,
    HeaderFooter = 4,
    Table = 5,
    Row = 6,
    Cell = 7,
    Paragraph = 8,
    BuildingBlock = 9,
    GlossaryDocument = 10,
    StructuredDocumentTag = 11,
    GroupShape = 17,
    Shape = 18,
    Comment = 19,
    Footnote = 20,
    Run = 21,
    FieldStart = 22,
    FieldSeparator = 23,
    FieldEnd = 24,
    FormField = 25,
    SpecialChar = 26,
    SmartTag = 27,
}
