// PreferredWidth: the width a table or cell asks for, in points or as a
// percentage of the available width, or Auto.  Immutable, so the shared Auto
// value can be handed out freely.
using System;
using System.Globalization;

namespace Morvax.Velto.Tables;

public sealed class PreferredWidth
{
    public static readonly PreferredWidth Auto = new(PreferredWidthType.Auto, 0);

    private PreferredWidth(PreferredWidthType type, double value)
    {
        Type = type;
        Value = value;
    }

    public PreferredWidthType Type { get; }

    // Points or percent, as Type says; 0 for Auto.
    public double Value { get; }

    // 0 to 100 percent.
    public static PreferredWidth FromPercent(double percent) => percent >= 0 && percent <= 100
        ? new PreferredWidth(PreferredWidthType.Percent, percent)
        : throw new ArgumentOutOfRangeException(nameof(percent), percent, "A percentage must be between 0 and 100.");

    // 0 to 22 inches, the largest width the word processor stores.
    public static PreferredWidth FromPoints(double points) => points >= 0 && points <= ParagraphFormat.MaxIndent
        ? new PreferredWidth(PreferredWidthType.Points, points)
        : throw new ArgumentOutOfRangeException(nameof(points), points,
            $"A width must be between 0 and {ParagraphFormat.MaxIndent} points.");

    public override bool Equals(object? obj) => obj is PreferredWidth other && other.Type == Type && other.Value.Equals(Value);

    public override int GetHashCode() => HashCode.Combine(Type, Value);

    public override string ToString() => Type switch
    {
        PreferredWidthType.Auto => "Auto",
        PreferredWidthType.Percent => Value.ToString(CultureInfo.InvariantCulture) + "%",
        _ => Value.ToString(CultureInfo.InvariantCulture) + " pt",
    };
}
