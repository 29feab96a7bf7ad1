// The element-id table: what a table line gives, the lines it refuses, and the element types
// of the surface's containers that it must name (a missing one stops the build).
using Morvax.Generator;
using Morvax.Velto.Fixtures;
using Xunit;

namespace Morvax.Generator.Tests;

public sealed class ElementIdsTests : IDisposable
{
    private readonly string _path = Path.GetTempFileName();

    public void Dispose() => File.Delete(_path);

    private ElementIds Load(params string[] lines)
    {
        File.WriteAllLines(_path, lines);
        return new ElementIds(_path, typeof(Shape).Assembly);
    }

    [Fact]
    public void LinesGiveElementsFamiliesAndTheirClasses()
    {
        var ids = Load("# comment", "", "A4A29720 System.Int32 array list iterator", "9B47B7C5 Morvax.Velto.Fixtures.Shape[] array iterator",
                       "25A54C32 Morvax.Velto.Fixtures.Colour array-arg", "6EAC2EC5 Morvax.Velto.Fixtures.Shape array-arg enumerable-arg iterator");
        Assert.Equal(new[] { "A4A29720", "9B47B7C5", "25A54C32", "6EAC2EC5" }, ids.Elements.Select(e => e.Id));
        Assert.Equal(new[] { ElementFamily.Int32, ElementFamily.Array, ElementFamily.Enum, ElementFamily.Class },
                     ids.Elements.Select(e => e.Family));
        Assert.Equal(new[] { 1, 2, 3, 4 }, ids.Elements.Select(e => e.Number));
        Assert.Equal("global::Morvax.Velto.Fixtures.Shape[]", ids.Elements[1].CSharpName);
        // Classes per element: full classes, argument-only ones, and an enumerable for every iterator.
        string Classes(ElementModel e) => string.Join(",", GenericEmitter.ClassesOf(e).Select(c => c.Kind.Name + (c.ArgumentOnly ? "?" : "")));
        Assert.Equal("SiApiArray,SiApiList,SiApiEnumerable,SiApiEnumerator", Classes(ids.Elements[0]));
        Assert.Equal("SiApiArray?", Classes(ids.Elements[2]));
        Assert.Equal("SiApiArray?,SiApiEnumerable,SiApiEnumerator", Classes(ids.Elements[3]));
        var cpp = GenericEmitter.EmitCpp(ids.Elements);
        Assert.Contains("{GenericKind::Array, 0, \"morvax.velto._wrpgen._generic._ArrayWrapper_A4A29720\"}", cpp);
        Assert.Contains("{GenericClass::Array, 2, \"Morvax.WrpGen.Generic.SiApiArray_25A54C32\", {\"btp_IsAssignable\"}}", cpp);
        Assert.Contains("public static int btp_IsAssignable(uint handle) => ContainerEntries.IsAssignable<global::Morvax.Velto.Fixtures.Shape[][]>(handle);",
                        GenericEmitter.EmitCSharp(ids.Elements));
    }

    [Theory]
    [InlineData("a4a29720 System.Int32 array")]     // identifiers are upper case
    [InlineData("A4A2972 System.Int32 array")]      // eight digits
    [InlineData("A4A29720 System.Int32")]           // at least one instantiation
    [InlineData("A4A29720 System.Int32 arrays")]    // a known instantiation
    [InlineData("A4A29720 No.Such.Type array")]     // a type that exists
    public void BadLinesAreRefused(string line) => Assert.Throws<FormatException>(() => Load(line));

    [Fact]
    public void IdentifiersAndElementsAreGivenOnce()
    {
        Assert.Throws<FormatException>(() => Load("A4A29720 System.Int32 array", "A4A29720 System.String array"));
        Assert.Throws<FormatException>(() => Load("A4A29720 System.Int32 array", "CBE911FC System.Int32 iterator"));
    }

    [Fact]
    public void ContainersOfTheSurfaceNeedTheirElement()
    {
        var ids = Load("A4A29720 System.Int32 array");
        Assert.Same(ids.Elements[0], ids.Require(typeof(int)));
        Assert.Null(ids.Require(typeof(Shape[])));
        Assert.Null(ids.Require(typeof(string)));
        Assert.Equal(new[] { "Morvax.Velto.Fixtures.Shape[]", "System.String" }, ids.Missing);
        Assert.Equal(typeof(Shape), ElementIds.ElementOf(typeof(IList<Shape>)));
        Assert.Equal(typeof(int), ElementIds.ElementOf(typeof(int[])));
        Assert.Null(ElementIds.ElementOf(typeof(byte[])));  // bytes cross as bytes
        Assert.Null(ElementIds.ElementOf(typeof(Dictionary<string, int>)));
    }
}
