// The enumerations of Morvax.Velto.Drawing.Ole.

namespace Morvax.Velto.Drawing.Ole;

public enum Forms2OleControlType
{
    OptionButton = 1,
    Label = 2,
    Textbox = 3,
    CheckBox = 4,
    ToggleButton = 5,
    SpinButton = 6,
    ComboBox = 7,
    Frame = 8,
    MultiPage = 9,
    TabStrip = 10,
    CommandButton = 11,
    Image = 12,
    ScrollBar = 13,
    Form = 14,
    ListBox = 15,
}
