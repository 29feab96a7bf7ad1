// The glossary document: the second document tree a document can carry,
// holding its building blocks (cover pages, AutoText entries, content-control
// placeholders ...).  Each building block holds sections like a document.
using System;

namespace Morvax.Velto.BuildingBlocks;

public sealed class GlossaryDocument : DocumentBase
{
    internal GlossaryDocument()
    {
    }

    public override NodeType NodeType => NodeType.GlossaryDocument;

    public BuildingBlockCollection BuildingBlocks => new(this);

    public BuildingBlock? FirstBuildingBlock => (BuildingBlock?)GetChild(NodeType.BuildingBlock, 0, false);

    public BuildingBlock? LastBuildingBlock => (BuildingBlock?)GetChild(NodeType.BuildingBlock, -1, false);

    internal override bool CanHold(Node child) => child is BuildingBlock;

    internal override Node CopyNode(DocumentBase owner) => new GlossaryDocument();
}

public sealed class BuildingBlock : CompositeNode
{
    private string name = string.Empty;
    private string description = string.Empty;
    private BuildingBlockBehavior behavior = BuildingBlockBehavior.Default;
    private BuildingBlockGallery gallery = BuildingBlockGallery.Default;
    private BuildingBlockType type = BuildingBlockType.Default;

    public BuildingBlock(GlossaryDocument glossaryDoc) : base(glossaryDoc)
    {
    }

    public override NodeType NodeType => NodeType.BuildingBlock;

    public string Name
    {
        get => name;
        set => name = value ?? throw new ArgumentNullException(nameof(value));
    }

    public string Description
    {
        get => description;
        set => description = value ?? throw new ArgumentNullException(nameof(value));
    }

    public BuildingBlockBehavior Behavior
    {
        get => behavior;
        set => behavior = EnumCheck.Defined(value);
    }

    public BuildingBlockGallery Gallery
    {
        get => gallery;
        set => gallery = EnumCheck.Defined(value);
    }

    public BuildingBlockType Type
    {
        get => type;
        set => type = EnumCheck.Defined(value);
    }

    public Section? FirstSection => (Section?)GetChild(NodeType.Section, 0, false);

    public Section? LastSection => (Section?)GetChild(NodeType.Section, -1, false);

    internal override bool CanHold(Node child) => child is Section;

    internal override Node CopyNode(DocumentBase owner)
    {
        if (owner is not GlossaryDocument glossary)
            throw new ArgumentException("A building block can only belong to a glossary document.", nameof(owner));
        return new BuildingBlock(glossary)
        {
            name = name, description = description, behavior = behavior, gallery = gallery, type = type,
        };
    }
}

public sealed class BuildingBlockCollection : NodeCollection
{
    internal BuildingBlockCollection(GlossaryDocument container) : base(container, NodeType.BuildingBlock, false)
    {
    }

    public new BuildingBlock this[int index] => (BuildingBlock)base[index];
}
