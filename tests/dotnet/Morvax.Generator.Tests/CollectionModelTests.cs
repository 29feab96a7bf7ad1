// Collections in the model: the integer indexer becomes the sequence entries after the
// properties and before the casting services (the setter's only where it is settable),
// keyed indexers become get_by_* methods among the others, GetEnumerator is no method,
// and how a class is iterated follows the enumerable it implements.
using Morvax.Generator;
using Xunit;

namespace Morvax.Generator.Tests;

public sealed class CollectionModelTests : IDisposable
{
    private readonly FixtureModel _model = new();

    public void Dispose() => _model.Dispose();

    private ClassModel Class(string name) => _model.Classes.Single(c => c.SimpleName == name);

    [Fact]
    public void TheIntegerIndexerTakesTheSequenceEntriesBeforeTheServices()
    {
        var palette = Class("Palette");
        Assert.Equal(new[] { "ctor_000_Palette", "call_000_Clear", "call_000_GetByName", "call_000_GetBySides", "get_Count", "btp_SqGetItem",
                             "btp_SqSetItem", "btp_TypeOf", "btp_CastTo", "btp_ReInterpretObj", "btp_CastAs", "btp_IsAssignable" },
                     palette.Entries.Select(e => e.Name));
        Assert.Equal(ValueKind.Enum, palette.Indexer!.Element.Kind);
        Assert.Equal(new[] { "clear", "get_by_name", "get_by_sides" }, palette.Methods.Select(m => m.PythonName));
        Assert.DoesNotContain(palette.Methods, m => m.NetName == "GetEnumerator");
        Assert.Equal(IterationKind.Untyped, palette.Iteration);  // pairs cross as untyped values

        var row = Class("Gallery");
        Assert.Null(row.Indexer!.Setter);
        Assert.Equal(IterationKind.None, row.Iteration);
        Assert.Null(Class("Shape").Indexer);
    }

    [Fact]
    public void EmittedCodeCallsTheIndexersAndReportsTheStatus()
    {
        var cs = CSharpEmitter.Emit(_model.Classes, _model.Enums, new HashSet<string>());
        Assert.Contains("public static int btp_SqGetItem(uint self, int index, void* result)", cs);
        Assert.Contains("public static int btp_SqSetItem(uint self, int index, void** args)", cs);
        Assert.Contains("catch (ArgumentOutOfRangeException) { return 2; }", cs);
        Assert.Contains("[Marshalling.ReadString(args[0])]", cs);  // the keyed getter is a subscript in C#
        var cpp = string.Concat(CppEmitter.Emit(_model.Classes, _model.Enums).Values);
        Assert.Contains("PySequenceMethods kSequence_Morvax_Velto_Fixtures_Palette = MORVAX_SETTABLE_COLLECTION(", cpp);
        Assert.Contains("PySequenceMethods kSequence_Morvax_Velto_Fixtures_Gallery = MORVAX_COLLECTION(", cpp);
        Assert.Contains("&kSequence_Morvax_Velto_Fixtures_Palette, MORVAX_UNTYPED_ITERATION}", cpp);
        var stubs = string.Concat(StubEmitter.Emit(_model.Classes, _model.Enums).Values);
        Assert.Contains("    def __getitem__(self, index: int, /) -> Colour: ...\n    def __setitem__(self, index: int, value: Colour, /) -> None: ...\n", stubs);
        Assert.Contains("    def __iter__(self) -> collections.abc.Iterator[object]: ...\n", stubs);
    }
}
