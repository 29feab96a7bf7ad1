// The field marks: a field is its start mark, its code, a separator mark, its
// result and its end mark, all inside paragraphs.  FormField is the start
// mark's companion for the legacy form fields (text input, check box, drop
// down).
using System;

namespace Morvax.Velto.Fields;

public abstract class FieldChar : SpecialChar
{
    private protected FieldChar(DocumentBase doc, char character, FieldType fieldType) : base(doc, character)
    {
        FieldType = fieldType;
    }

    // Known once the field's code has been read, for a field loaded from a
    // file.
    public FieldType FieldType { get; internal set; }

    /// <summary>The field this mark belongs to, or <see langword="null"/> when the mark has no partner in the tree.</summary>
    public Field? GetField() => FieldScanner.FieldOf(this);
}

public sealed class FieldStart : FieldChar
{
    internal FieldStart(DocumentBase doc, FieldType fieldType) : base(doc, ControlChar.FieldStartChar, fieldType)
    {
    }

    public override NodeType NodeType => NodeType.FieldStart;

    internal override Node CopyNode(DocumentBase owner) => CopyFormatting(new FieldStart(owner, FieldType));
}

public sealed class FieldSeparator : FieldChar
{
    internal FieldSeparator(DocumentBase doc, FieldType fieldType) : base(doc, ControlChar.FieldSeparatorChar, fieldType)
    {
    }

    public override NodeType NodeType => NodeType.FieldSeparator;

    internal override Node CopyNode(DocumentBase owner) => CopyFormatting(new FieldSeparator(owner, FieldType));
}

public sealed class FieldEnd : FieldChar
{
    internal FieldEnd(DocumentBase doc, FieldType fieldType) : base(doc, ControlChar.FieldEndChar, fieldType)
    {
    }

    public override NodeType NodeType => NodeType.FieldEnd;

    internal override Node CopyNode(DocumentBase owner) => CopyFormatting(new FieldEnd(owner, FieldType));
}

public sealed class FormField : SpecialChar
{
    // The binary format's form-field placeholder character.
    private const char Placeholder = '\u0001';
    private string name = string.Empty;

    internal FormField(DocumentBase doc) : base(doc, Placeholder)
    {
    }

    public override NodeType NodeType => NodeType.FormField;

    public string Name
    {
        get => name;
        set => name = value ?? throw new ArgumentNullException(nameof(value));
    }

    public TextFormFieldType TextInputType { get; internal set; } = TextFormFieldType.Regular;

    internal override Node CopyNode(DocumentBase owner)
    {
        var copy = new FormField(owner) { name = name, TextInputType = TextInputType };
        return CopyFormatting(copy);
    }
}
