// DocumentBase: what every kind of document (the main document now, glossary
// documents later) shares: it is the root of a tree and the owner of its
// nodes.
using System.Collections.Generic;

namespace Morvax.Velto;

/// <summary>The common base of documents: the owner of every node created for it.</summary>
public abstract class DocumentBase : CompositeNode
{
    private protected DocumentBase() : base(null)
    {
    }

    /// <summary>The styles defined in this document.</summary>
    public StyleCollection Styles { get; } = StyleCollection.Blank();

    /// <summary>The lists (numbering definitions) of this document.</summary>
    public Lists.ListCollection Lists { get; } = new();

    /// <summary>The fonts this document names in its font table.</summary>
    public Fonts.FontInfoCollection FontInfos { get; } = new();

    /// <summary>Told of what is lost or changed while the document is loaded or saved; <see langword="null"/> tells no one.</summary>
    public IWarningCallback? WarningCallback { get; set; }

    /// <summary>Told before and after each node is inserted into or removed from the document; <see langword="null"/> tells no one.</summary>
    public INodeChangingCallback? NodeChangingCallback { get; set; }

    // Changes whenever a node is linked into or unlinked from any tree of this document, so
    // that a position remembered in a walk can tell it still holds.
    internal int StructureVersion;

    // Whether a comment or note was ever made for this document: until one
    // is, a save need not walk every node to find them.
    internal bool InlineStoriesMade;

    // The highest comment identifier given to a copied comment, so that two
    // copies made before either is inserted do not get the same one.
    internal int LastCopiedCommentId;

    // Set while edits are recorded as tracked revisions.
    internal RevisionTracking? Tracking { get; set; }

    // The formatting runs and paragraphs had when their Font or
    // ParagraphFormat was first handed out while tracking (see
    // RevisionTracking.FormattingTaken); null until then.
    internal Dictionary<Node, FormatRecord>? FormatRecords;

    // Hands a warning to the callback, if there is one.
    internal void Warn(WarningType type, WarningSource source, string description) =>
        WarningCallback?.Warning(new WarningInfo(type, source, description));
}
