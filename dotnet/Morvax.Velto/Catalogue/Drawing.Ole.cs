// Morvax.Velto.Drawing.Ole: embedded OLE objects and the Forms 2.0 ActiveX
// controls.

namespace Morvax.Velto.Drawing.Ole;

public sealed class CheckBoxControl : MorphDataControl
{
    internal CheckBoxControl()
    {
    }
}

public sealed class CommandButtonControl : Forms2OleControl
{
    internal CommandButtonControl()
    {
    }
}

public abstract class Forms2OleControl : OleControl
{
    private protected Forms2OleControl()
    {
    }

    public string Caption { get; internal set; } = string.Empty;

    public string Value { get; internal set; } = string.Empty;

    public bool Enabled { get; internal set; } = true;

    public Forms2OleControlType Type { get; internal set; } = Forms2OleControlType.Form;
}

// The child controls of a Forms 2.0 frame; this library keeps OLE controls as markup only, so there are none.
public sealed class Forms2OleControlCollection : System.Collections.Generic.IEnumerable<Forms2OleControl>
{
    private readonly System.Collections.Generic.List<Forms2OleControl> items = new();

    internal Forms2OleControlCollection()
    {
    }

    public int Count => items.Count;

    public Forms2OleControl this[int index] => items[index];

    public System.Collections.Generic.IEnumerator<Forms2OleControl> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public abstract class MorphDataControl : Forms2OleControl
{
    private protected MorphDataControl()
    {
    }
}

public abstract class OleControl
{
    private protected OleControl()
    {
    }

    public string Name { get; internal set; } = string.Empty;
}

public sealed class OptionButtonControl : MorphDataControl
{
    internal OptionButtonControl()
    {
    }
}

public sealed class TextBoxControl : MorphDataControl
{
    internal TextBoxControl()
    {
    }
}
