// CollectionProbe: a test fixture for the Python bindings, not part of the document API.
// It hands out the collections that live in the node tree (bookmarks, form fields,
// structured document tags, comments) over any node, and a node list, until the
// document's ranges offer them.
using Morvax.Velto.Fields;
using Morvax.Velto.Markup;

namespace Morvax.Velto.Testing;

public static class CollectionProbe
{
    public static BookmarkCollection Bookmarks(Node root) => new(root);

    public static FormFieldCollection FormFields(Node root) => new(root);

    public static StructuredDocumentTagCollection StructuredDocumentTags(Node root) => new(root);

    public static CommentCollection Comments(CompositeNode root) => new(root);

    public static NodeList Children(CompositeNode root) => new(root.Matching(NodeType.Any, false));
}
