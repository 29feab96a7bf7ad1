// The docstrings and stubs written for the fixture library (Fixtures.cs): what a Python
// user reads in help() and what a type checker sees must agree with how calls dispatch.
using System.Xml.Linq;
using Morvax.Generator;
using Morvax.Velto.Fixtures;
using Xunit;

namespace Morvax.Generator.Tests;

public sealed class DocumentationTests : IDisposable
{
    private readonly FixtureModel _model = new();
    private IReadOnlyList<ClassModel> _classes => _model.Classes;
    private IReadOnlyList<EnumModel> _enums => _model.Enums;

    public void Dispose() => _model.Dispose();

    private ClassModel Class(string name) => _classes.Single(c => c.SimpleName == name);

    private string Stub() => StubEmitter.Emit(_classes, _enums)["morvax/velto/fixtures.pyi"];

    [Fact]
    public void MethodDocstringListsEveryOverloadInDispatchOrderThenTheSummaries()
    {
        var draw = Class("Shape").Methods.Single(m => m.PythonName == "draw");
        Assert.Equal(
            "draw(x_position: int) -> None\n" +
            "draw(x_position: int) -> None\n" +
            "draw(x_position: float) -> None\n" +
            "draw(from: str) -> None\n" +
            "draw(other: Shape | None, colour: Colour) -> None\n\n" +
            "Draws at x_position; None is never drawn.\n\n" +
            "Draws between whole points.",
            Docstrings.Method(draw, "draw"));
    }

    [Fact]
    public void ClassPropertyAndEnumerationDocstrings()
    {
        var shape = Class("Shape");
        Assert.Equal("Shape()\n\nA shape drawn with a Colour.", Docstrings.Class(shape));
        Assert.Equal("size: int\n\nThe size, in points.\n\nZero hides the shape; see draw.",
                     Docstrings.Property(shape.Properties.Single(p => p.PythonName == "size")));
        Assert.Equal("name: str (read-only)", Docstrings.Property(shape.Properties.Single(p => p.PythonName == "name")));
        Assert.Equal("drawn: datetime.datetime", Docstrings.Property(Class("Circle").Properties.Single()));
        Assert.Equal("Colour: IntEnum of RED = 0, GREEN = 1, BLUE = 4\n\nThe colours.",
                     Docstrings.Enumeration(_enums.Single(e => e.SimpleName == "Colour")));
    }

    [Fact]
    public void StubTypesEachReachableOverloadOnce()
    {
        var stub = Stub();
        // Int64 after Int32 takes the same Python ints and is never reached; float is.
        Assert.Contains(
            "    @overload\n    def draw(self, x_position: int) -> None: ...\n" +
            "    @overload\n    def draw(self, x_position: float) -> None: ...\n" +
            "    @overload\n    def draw(self, from_: str, /) -> None: ...\n" +
            "    @overload\n    def draw(self, other: Shape | None, colour: Colour) -> None: ...\n", stub);
    }

    [Fact]
    public void StubPropertiesStaticsBasesAndEnumerations()
    {
        var stub = Stub();
        Assert.Contains("    @property\n    def name(self) -> str: ...\n    count: ClassVar[int]\n", stub);  // no setter
        Assert.Contains("    @size.setter\n    def size(self, value: int) -> None: ...\n", stub);
        // Only a class nothing derives from is final; a hiding member keeps its own signature.
        Assert.Contains("class Shape:\n", stub);
        Assert.DoesNotContain("@final\nclass Shape", stub);
        Assert.Contains("@final\nclass Circle(Shape):\n", stub);
        Assert.Contains("    def draw(self, x_position: int) -> int: ...  # type: ignore[override]\n", stub);
        Assert.Contains("import datetime\n", stub);
        Assert.Contains("class Colour(enum.IntEnum):\n    RED = 0\n    GREEN = 1\n    BLUE = 4\n", stub);
        Assert.Contains("class Sides(enum.IntFlag):\n", stub);
    }

    [Fact]
    public void AllowlistNamesExactlyWhatTheCheckCannotSee()
    {
        var lines = StubEmitter.Emit(_classes, _enums)[StubEmitter.AllowlistFile].Split('\n');
        var entries = lines.Where(l => l.Length > 0 && !l.StartsWith('#')).ToList();
        Assert.Contains(@"morvax\.velto\.fixtures\.Shape", entries);      // derived from in the stubs
        Assert.DoesNotContain(@"morvax\.velto\.fixtures\.Circle", entries);
        Assert.Contains(@"morvax\.velto\.fixtures\.Shape\.__init__", entries);  // takes no arguments
        Assert.Contains(@"morvax\.velto\.fixtures\.Colour\.get_type", entries);
        // Every entry carries its reason on the line before.
        for (int i = 0; i < lines.Length; i++)
            if (lines[i].Length > 0 && !lines[i].StartsWith('#')) Assert.StartsWith("# ", lines[i - 1]);
    }

    [Theory]
    [InlineData("<summary>Use <see cref=\"M:A.B.Document.Save(System.String)\"/> or <see cref=\"P:A.B.Font.Bold\"/>.</summary>", "Use save or bold.")]
    [InlineData("<summary>Opens <see cref=\"M:A.B.Document.#ctor(System.String)\"/> with <see cref=\"F:A.B.SaveFormat.FlatOpc\"/>.</summary>", "Opens Document with FLAT_OPC.")]
    [InlineData("<summary><see langword=\"true\"/> when <paramref name=\"isDeep\"/>, <c>code</c></summary>", "True when is_deep, code")]
    [InlineData("<summary>  one\n   two  <para>three</para></summary>", "one two\n\nthree")]
    public void SummariesReadInPythonTerms(string xml, string expected) =>
        Assert.Equal(expected, LibraryDocs.PlainText(XElement.Parse(xml)));

    [Fact]
    public void LiteralsKeepAnyTextIntact()
    {
        Assert.Equal("\"a\\\"b\\\\c\\nd\\te\"", CppEmitter.Literal("a\"b\\c\nd\te"));
        // Octal escapes always take three digits, so a following digit cannot join them.
        Assert.Equal("\"\\0012\"", CppEmitter.Literal("\u00012"));
        Assert.Equal("\"é\"", CppEmitter.Literal("é\r"));
    }
}
