// The marker nodes: zero-width nodes that mark where a bookmark, comment
// range or editable range starts and ends, and where a subdocument is linked
// in.  They carry no text; what they mark lies between a start and the end
// with the same name or identifier.
using System;
using System.Text;

namespace Morvax.Velto;

public sealed class BookmarkStart : Node
{
    private string name;

    public BookmarkStart(DocumentBase doc, string name) : base(doc)
    {
        this.name = name ?? throw new ArgumentNullException(nameof(name));
    }

    public override NodeType NodeType => NodeType.BookmarkStart;

    public string Name
    {
        get => name;
        set => name = value ?? throw new ArgumentNullException(nameof(value));
    }

    internal override void AppendText(StringBuilder text)
    {
    }

    internal override Node CopyNode(DocumentBase owner) => new BookmarkStart(owner, name);
}

public sealed class BookmarkEnd : Node
{
    private string name;

    public BookmarkEnd(DocumentBase doc, string name) : base(doc)
    {
        this.name = name ?? throw new ArgumentNullException(nameof(name));
    }

    public override NodeType NodeType => NodeType.BookmarkEnd;

    public string Name
    {
        get => name;
        set => name = value ?? throw new ArgumentNullException(nameof(value));
    }

    internal override void AppendText(StringBuilder text)
    {
    }

    internal override Node CopyNode(DocumentBase owner) => new BookmarkEnd(owner, name);
}

public sealed class CommentRangeStart : Node
{
    public CommentRangeStart(DocumentBase doc, int id) : base(doc)
    {
        Id = id;
    }

    public override NodeType NodeType => NodeType.CommentRangeStart;

    // The Id of the comment whose range this starts.
    public int Id { get; set; }

    internal override void AppendText(StringBuilder text)
    {
    }

    internal override Node CopyNode(DocumentBase owner) => new CommentRangeStart(owner, Id);
}

public sealed class CommentRangeEnd : Node
{
    public CommentRangeEnd(DocumentBase doc, int id) : base(doc)
    {
        Id = id;
    }

    public override NodeType NodeType => NodeType.CommentRangeEnd;

    public int Id { get; set; }

    internal override void AppendText(StringBuilder text)
    {
    }

    internal override Node CopyNode(DocumentBase owner) => new CommentRangeEnd(owner, Id);
}

// Editable ranges only come from loaded protected documents, so only the
// library makes these.
public sealed class EditableRangeStart : Node
{
    internal EditableRangeStart(DocumentBase doc, int id) : base(doc)
    {
        Id = id;
    }

    public override NodeType NodeType => NodeType.EditableRangeStart;

    public int Id { get; }

    internal override void AppendText(StringBuilder text)
    {
    }

    internal override Node CopyNode(DocumentBase owner) => new EditableRangeStart(owner, Id);
}

public sealed class EditableRangeEnd : Node
{
    internal EditableRangeEnd(DocumentBase doc, int id) : base(doc)
    {
        Id = id;
    }

    public override NodeType NodeType => NodeType.EditableRangeEnd;

    public int Id { get; }

    internal override void AppendText(StringBuilder text)
    {
    }

    internal override Node CopyNode(DocumentBase owner) => new EditableRangeEnd(owner, Id);
}

// A link to another document that a master document includes.
public sealed class SubDocument : Node
{
    internal SubDocument(DocumentBase doc) : base(doc)
    {
    }

    public override NodeType NodeType => NodeType.SubDocument;

    internal override void AppendText(StringBuilder text)
    {
    }

    internal override Node CopyNode(DocumentBase owner) => new SubDocument(owner);
}
