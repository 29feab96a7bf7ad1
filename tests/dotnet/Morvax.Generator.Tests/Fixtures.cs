// A small library surface for the generator to read: overloads that a Python checker cannot
// tell apart, a parameter named by a Python keyword, a member hiding its base's, read-only
// and writable properties, a static, and both kinds of enumeration, with summaries.
using System;

namespace Morvax.Velto.Fixtures;

/// <summary>A shape drawn with a <see cref="T:Morvax.Velto.Fixtures.Colour"/>.</summary>
public class Shape
{
    /// <summary>Creates a shape.</summary>
    public Shape() { }

    /// <summary>Draws at <paramref name="xPosition"/>; <see langword="null"/> is never drawn.</summary>
    public void Draw(int xPosition) { }
    public void Draw(long xPosition) { }
    /// <summary>Draws between whole points.</summary>
    public void Draw(double xPosition) { }
    public void Draw(string from) { }
    public void Draw(Shape? other, Colour colour) { }

    /// <summary>
    /// The size,
    ///   in points.
    /// <para>Zero hides the shape; see <see cref="M:Morvax.Velto.Fixtures.Shape.Draw(System.Int32)"/>.</para>
    /// </summary>
    public int Size { get; set; }
    public string Name { get; } = "";
    public static int Count => 0;
}

public sealed class Circle : Shape
{
    public new int Draw(int xPosition) => xPosition;
    public DateTime Drawn { get; set; }
}

/// <summary>The colours.</summary>
public enum Colour { Red, Green, Blue = 4 }

[Flags]
public enum Sides { None = 0, Left = 1, Right = 2 }

/// <summary>Told when a shape is drawn.</summary>
public interface IDrawingWatcher
{
    void Drawn(Shape shape);
}

public sealed class DrawingLog : IDrawingWatcher
{
    public void Drawn(Shape shape) { }
}

public sealed class Canvas
{
    public IDrawingWatcher? Watcher { get; set; }
}

/// <summary>A collection: an integer indexer that can be set, keyed indexers and its pairs.</summary>
public sealed class Palette : System.Collections.Generic.IEnumerable<System.Collections.Generic.KeyValuePair<string, Colour>>
{
    private readonly System.Collections.Generic.List<System.Collections.Generic.KeyValuePair<string, Colour>> items = new();
    public int Count => items.Count;
    public void Clear() => items.Clear();
    public Colour this[int index] { get => items[index].Value; set => items[index] = new(items[index].Key, value); }
    public string? this[string name] => null;
    public Shape this[Sides side] => new();
    public System.Collections.Generic.IEnumerator<System.Collections.Generic.KeyValuePair<string, Colour>> GetEnumerator() => items.GetEnumerator();
    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

/// <summary>A read-only collection of shapes, without iteration of its own.</summary>
public sealed class Gallery
{
    public Shape this[int index] => new();
}
