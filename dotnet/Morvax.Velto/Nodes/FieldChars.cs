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

// A legacy form field: what the field start's form data says (name, kind,
// check box state, text input default and length, drop-down entries and
// choice), kept beside the start mark it belongs to.  The text the field
// shows is its field's result.
public sealed class FormField : SpecialChar
{
    // The binary format's form-field placeholder character.
    private const char Placeholder = '\u0001';
    private string name = string.Empty;
    private string textInputDefault = string.Empty;
    private int maxLength;
    private int dropDownSelectedIndex;
    private string entryMacro = string.Empty;
    private string exitMacro = string.Empty;
    private string helpText = string.Empty;
    private string statusText = string.Empty;

    internal FormField(DocumentBase doc) : base(doc, Placeholder)
    {
    }

    public override NodeType NodeType => NodeType.FormField;

    public string Name
    {
        get => name;
        set => name = value ?? throw new ArgumentNullException(nameof(value));
    }

    /// <summary>Which kind of form field this is: <c>FieldFormTextInput</c>, <c>FieldFormCheckBox</c> or <c>FieldFormDropDown</c>.</summary>
    public FieldType Type { get; internal set; } = FieldType.FieldFormTextInput;

    public TextFormFieldType TextInputType { get; internal set; } = TextFormFieldType.Regular;

    /// <summary>Whether the check box is ticked.</summary>
    public bool Checked { get; set; }

    /// <summary>Whether the check box is ticked when the form is reset.</summary>
    public bool Default { get; set; }

    /// <summary>The text a text input shows when the form is reset.</summary>
    public string TextInputDefault
    {
        get => textInputDefault;
        set => textInputDefault = value ?? throw new ArgumentNullException(nameof(value));
    }

    /// <summary>The most characters a text input takes; 0 for no limit.</summary>
    public int MaxLength
    {
        get => maxLength;
        set => maxLength = value >= 0 ? value : throw new ArgumentOutOfRangeException(nameof(value), "MaxLength cannot be negative.");
    }

    public DropDownItemCollection DropDownItems { get; } = new();

    /// <summary>Whether the user can change the field's value.</summary>
    public bool Enabled { get; set; } = true;

    /// <summary>Whether leaving the field updates the document's fields (calculated forms).</summary>
    public bool CalculateOnExit { get; set; }

    /// <summary>The macro run on entering the field; empty for none.</summary>
    public string EntryMacro
    {
        get => entryMacro;
        set => entryMacro = value ?? throw new ArgumentNullException(nameof(value));
    }

    /// <summary>The macro run on leaving the field; empty for none.</summary>
    public string ExitMacro
    {
        get => exitMacro;
        set => exitMacro = value ?? throw new ArgumentNullException(nameof(value));
    }

    /// <summary>The help shown for the field (F1): the text itself, or the name of an AutoText entry when OwnHelp is false.</summary>
    public string HelpText
    {
        get => helpText;
        set => helpText = Info(value, MaxHelpText);
    }

    /// <summary>Whether HelpText is the help itself rather than an AutoText entry's name.</summary>
    public bool OwnHelp { get; set; }

    /// <summary>The text shown in the status bar in the field: the text itself, or an AutoText entry's name when OwnStatus is false.</summary>
    public string StatusText
    {
        get => statusText;
        set => statusText = Info(value, MaxStatusText);
    }

    /// <summary>Whether StatusText is the text itself rather than an AutoText entry's name.</summary>
    public bool OwnStatus { get; set; }

    // The word processor's limits for the two texts.
    private const int MaxHelpText = 255, MaxStatusText = 138;

    private static string Info(string value, int limit)
    {
        ArgumentNullException.ThrowIfNull(value);
        return value.Length <= limit ? value
            : throw new ArgumentOutOfRangeException(nameof(value), $"The text is {value.Length} characters long; at most {limit} are kept.");
    }

    // The help and status texts as read, whatever their length.
    internal void ReadInfo(string help, bool ownHelp, string status, bool ownStatus) =>
        (helpText, OwnHelp, statusText, OwnStatus) = (help, ownHelp, status, ownStatus);

    /// <summary>The chosen drop-down entry's index; choosing an entry shows it as the field's result.</summary>
    public int DropDownSelectedIndex
    {
        get => dropDownSelectedIndex;
        set
        {
            if (value < 0 || (value >= DropDownItems.Count && value != 0))
                throw new ArgumentOutOfRangeException(nameof(value), $"The drop-down has {DropDownItems.Count} entries.");
            dropDownSelectedIndex = value;
            if (value < DropDownItems.Count && FieldStart?.GetField() is { Separator: not null } shown)
                shown.Result = DropDownItems[value];
        }
    }

    // The choice as read, before the field around it is complete.
    internal void ReadSelectedIndex(int index) => dropDownSelectedIndex = index;

    /// <summary>The text the field shows (its field's result); a drop-down shows its chosen entry.</summary>
    public string Result
    {
        get => FieldStart?.GetField()?.Result ?? string.Empty;
        set
        {
            ArgumentNullException.ThrowIfNull(value);
            Field shown = FieldStart?.GetField()
                ?? throw new InvalidOperationException("The form field has no field to show its result in.");
            shown.Result = value;
        }
    }

    // The start mark this form field belongs to: the field start just
    // before it.
    internal FieldStart? FieldStart => PreviousSibling as FieldStart;

    // The form data as read (null for one made here), which the writer
    // changes only where the values differ from what was read.
    internal object? ReadData { get; set; }
    internal FormFieldValues? ReadValues { get; set; }

    internal FormFieldValues Values => new(name, Checked, Default, textInputDefault, maxLength,
        string.Join("\u0000", DropDownItems), dropDownSelectedIndex,
        new FormFieldBehaviour(Enabled, CalculateOnExit, entryMacro, exitMacro, helpText, OwnHelp, statusText, OwnStatus));

    // The placeholder is the binary format's; the text of a document read
    // here shows the field's result only.
    internal override void AppendText(System.Text.StringBuilder text)
    {
    }

    internal override Node CopyNode(DocumentBase owner)
    {
        var copy = new FormField(owner)
        {
            name = name, TextInputType = TextInputType, Type = Type, Checked = Checked, Default = Default,
            textInputDefault = textInputDefault, maxLength = maxLength, dropDownSelectedIndex = dropDownSelectedIndex,
            ReadData = ReadData, ReadValues = ReadValues, Enabled = Enabled, CalculateOnExit = CalculateOnExit,
            entryMacro = entryMacro, exitMacro = exitMacro, helpText = helpText, OwnHelp = OwnHelp, statusText = statusText,
            OwnStatus = OwnStatus,
        };
        foreach (string item in DropDownItems)
            copy.DropDownItems.Add(item);
        return CopyFormatting(copy);
    }
}

// The values of a form field that the writer compares with those read.
internal readonly record struct FormFieldValues(string Name, bool Checked, bool Default, string TextInputDefault,
    int MaxLength, string DropDownItems, int DropDownSelectedIndex, FormFieldBehaviour Behaviour);

// What every kind of form field has besides its value: whether it can be
// changed, what runs on entering and leaving it, and its help texts.
internal readonly record struct FormFieldBehaviour(bool Enabled, bool CalculateOnExit, string EntryMacro, string ExitMacro,
    string HelpText, bool OwnHelp, string StatusText, bool OwnStatus);
