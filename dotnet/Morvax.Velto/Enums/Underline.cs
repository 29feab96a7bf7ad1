// Underline: the underline style of a run of text; the numbers follow the
// word-processor's own underline codes.
namespace Morvax.Velto;

public enum Underline
{
    None = 0,
    Single = 1,
    Words = 2,
    Double = 3,
    Dotted = 4,
    Thick = 6,
    Dash = 7,
    DotDash = 9,
    DotDotDash = 10,
    Wavy = 11,
    DottedHeavy = 20,
    DashHeavy = 23,
    DotDashHeavy = 25,
    DotDotDashHeavy = 26,
    WavyHeavy = 27,
    DashLong = 39,
    WavyDouble = 43,
    DashLongHeavy = 55,
}
