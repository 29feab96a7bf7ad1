// NodeImporter: copies nodes from one document into another, where they can
// then be inserted.  The paragraph styles the nodes name come along as the
// mode asks (StyleImport); lists are not copied, and direct formatting comes
// as it is.
using System;

namespace Morvax.Velto;

public sealed class NodeImporter
{
    private readonly Document source;
    private readonly Document destination;
    private Formats.StyleImport? styles;

    public NodeImporter(Document srcDoc, Document dstDoc, ImportFormatMode importFormatMode)
        : this(srcDoc, dstDoc, importFormatMode, new ImportFormatOptions())
    {
    }

    public NodeImporter(Document srcDoc, Document dstDoc, ImportFormatMode importFormatMode,
        ImportFormatOptions importFormatOptions)
    {
        source = srcDoc ?? throw new ArgumentNullException(nameof(srcDoc));
        destination = dstDoc ?? throw new ArgumentNullException(nameof(dstDoc));
        ImportFormatMode = EnumCheck.Defined(importFormatMode);
        ImportFormatOptions = importFormatOptions ?? throw new ArgumentNullException(nameof(importFormatOptions));
    }

    public ImportFormatMode ImportFormatMode { get; }

    public ImportFormatOptions ImportFormatOptions { get; }

    // The copy belongs to the destination document and has no parent yet.
    public Node ImportNode(Node srcNode, bool isImportChildren)
    {
        ArgumentNullException.ThrowIfNull(srcNode);
        if (!ReferenceEquals(srcNode.Document, source))
            throw new ArgumentException("The node does not belong to the source document.", nameof(srcNode));
        if (srcNode is DocumentBase)
            throw new ArgumentException("A whole document cannot be imported as a node.", nameof(srcNode));
        Node copy = srcNode.CloneInto(destination, isImportChildren);
        Formats.PictureImport.Carry(srcNode, copy);
        (styles ??= new Formats.StyleImport(source, destination, ImportFormatMode)).Carry(copy);
        CommentCopies.Renumber(copy);
        return copy;
    }
}
