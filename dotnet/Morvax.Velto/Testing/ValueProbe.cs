// ValueProbe: a test fixture for the Python bindings, not part of the
// document API.  It round-trips values of every primitive kind through real
// .NET members (properties, overloads, statics, a constant), returns the
// awkward strings the string bridge must carry intact, and fails on request,
// so the binding tests can check each conversion path end to end.
using System;
using System.Globalization;

namespace Morvax.Velto.Testing;

public sealed class ValueProbe
{
    public const int Answer = 42;

    public ValueProbe()
    {
    }

    public static int Counter { get; set; }

    public string? Text { get; set; }

    public bool Flag { get; set; }

    public short Int16Value { get; set; }

    public int Int32Value { get; set; }

    public long Int64Value { get; set; }

    public byte ByteValue { get; set; }

    public double DoubleValue { get; set; }

    public float SingleValue { get; set; }

    public char CharValue { get; set; }

    public byte[]? Bytes { get; set; }

    public object? Value { get; set; }

    // The drawing values, one of each type (the library's own members use only colours).
    public System.Drawing.Color ColorValue { get; set; }

    public System.Drawing.Point PointValue { get; set; }

    public System.Drawing.PointF PointFValue { get; set; }

    public System.Drawing.Size SizeValue { get; set; }

    public System.Drawing.SizeF SizeFValue { get; set; }

    public System.Drawing.Rectangle RectangleValue { get; set; }

    public System.Drawing.RectangleF RectangleFValue { get; set; }

    // A colour as an argument and a result of a method: the colour with the alpha given.
    public System.Drawing.Color WithAlpha(System.Drawing.Color color, int alpha) => System.Drawing.Color.FromArgb(alpha, color);

    // Exactly 20 characters, for benchmarks of string results.
    public string Name20 => "abcdefghijklmnopqrst";

    // A character outside the Basic Multilingual Plane: a surrogate pair.
    public string NonBmp => "a\U0001F600b";

    public string WithNul => "a\0b";

    public string LoneSurrogate => "a\uD800b";

    public string LeadingBom => "\uFEFFx";

    public static string? StaticEcho(string? s) => s;

    // A setting of the garbage collector as the runtime took it (null when
    // unknown), so tests can see what the host configured.
    public static string? GcSetting(string name) =>
        GC.GetConfigurationVariables().TryGetValue(name, out object? value) ? Convert.ToString(value, CultureInfo.InvariantCulture) : null;

    public string? Echo(string? s) => s;

    public int Echo(int value) => value;

    public double Echo(double value) => value;

    public string Concat(string? a, string? b) => a + b;

    public int Length(string? s) => s?.Length ?? -1;

    // "System.Int32: 5"; culture-independent, so "System.Double: 1.5" everywhere.
    public string Describe(object? value) =>
        value is null ? "null" : $"{value.GetType().FullName}: {Convert.ToString(value, CultureInfo.InvariantCulture)}";

    public void Fail(string message) => throw new InvalidOperationException(message);

    public int Zero() => 0;

    public Node MakeParagraphAsNode(Document doc) => new Paragraph(doc);

    public ValueProbe Self() => this;

    public ValueProbe? Nothing() => null;

    // Enumerations, dates, times, decimals and GUIDs.
    public SaveFormat Format { get; set; } = SaveFormat.Docx;

    /// <summary>A value no member of the enumeration has, as .NET may hand one back.</summary>
    public BreakType UndefinedBreak => (BreakType)12345;

    public DateTime When { get; set; }

    public DateTimeOffset Moment => new DateTimeOffset(2024, 1, 1, 12, 0, 0, TimeSpan.FromHours(2));

    public TimeSpan Span { get; set; }

    public decimal Amount { get; set; }

    public Guid Id { get; set; }

    public string DescribeWhen() => When.ToString("yyyy-MM-dd HH:mm:ss.fffffff", CultureInfo.InvariantCulture) + " " + When.Kind;
}
