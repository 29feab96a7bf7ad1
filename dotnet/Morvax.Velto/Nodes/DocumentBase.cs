// DocumentBase: what every kind of document (the main document now, glossary
// documents later) shares: it is the root of a tree and the owner of its
// nodes.
namespace Morvax.Velto;

/// <summary>The common base of documents: the owner of every node created for it.</summary>
public abstract class DocumentBase : CompositeNode
{
    private protected DocumentBase() : base(null)
    {
    }

    /// <summary>The styles defined in this document.</summary>
    public StyleCollection Styles { get; } = StyleCollection.Blank();
}
