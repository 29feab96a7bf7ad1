// The value-kind table is what both languages are built from: the C++ enumeration must
// follow the C# one exactly (the C++ row table is checked against it when compiled), and
// the generated C# must read and store each kind as the class or enumeration it names.
using Morvax.Generator;
using Morvax.Velto.Fixtures;
using Xunit;

namespace Morvax.Generator.Tests;

public sealed class ValueKindsTests : IDisposable
{
    private readonly FixtureModel _model = new();
    private IReadOnlyList<ClassModel> _classes => _model.Classes;
    private IReadOnlyList<EnumModel> _enums => _model.Enums;

    public void Dispose() => _model.Dispose();

    [Fact]
    public void CppEnumerationListsEveryKindInDeclarationOrderWithItsCount()
    {
        var header = CppEmitter.Emit(_classes, _enums)["generated_value_kinds.h"];
        var listed = header.Split('\n').Select(l => l.Trim()).Where(l => l.Length > 0 && l.EndsWith(',') && !l.Contains(' '))
            .Select(l => l.TrimEnd(',')).ToList();
        Assert.Equal(Enum.GetNames<ValueKind>(), listed);
        Assert.Contains($"kValueKindCount = {Enum.GetValues<ValueKind>().Length};", header);
    }

    [Fact]
    public void PlainTypesClassifyByTheTableAndOthersAreLeftToTheModel()
    {
        Assert.Equal(ValueKind.Int16, ValueKinds.Classify(typeof(short)));
        Assert.Equal(ValueKind.ByteArray, ValueKinds.Classify(typeof(byte[])));
        Assert.Equal(ValueKind.DateTimeOffset, ValueKinds.Classify(typeof(DateTimeOffset)));
        // Classes, enumerations and file names are decided by the model, never by type alone.
        Assert.Null(ValueKinds.Classify(typeof(Shape)));
        Assert.Null(ValueKinds.Classify(typeof(Colour)));
        Assert.Null(ValueKinds.Classify(typeof(void)));
    }

    [Fact]
    public void ReadAndStoreNameTheSlotTheTypeAndTheExpression()
    {
        var shape = _classes.Single(c => c.SimpleName == "Shape");
        var classType = new ValueType_(ValueKind.Class, shape, shape.NetType);
        Assert.Equal($"(HandleTable.Get(*(uint*)args[3]) as global::{shape.FullName} ?? HandleTable.Get<global::{shape.FullName}>(*(uint*)args[3]))",
                     ValueKinds.Read(classType, 3));
        Assert.Equal("*(uint*)result = HandleTable.Add(x.Make(@i));",
                     ValueKinds.Store(classType, "x.Make(@i)"));  // the expression is not rewritten
        var text = new ValueType_(ValueKind.FileName, null, typeof(string));
        Assert.Equal("Marshalling.ReadString(args[12])", ValueKinds.Read(text, 12));
        // No emitted member takes a DateTimeOffset: asking for one is a generator fault.
        var offset = new ValueType_(ValueKind.DateTimeOffset, null, typeof(DateTimeOffset));
        Assert.Throws<InvalidOperationException>(() => ValueKinds.Read(offset, 0));
    }

    [Fact]
    public void StreamArgumentsLiveInOneCallScopeThatCompletesAfterTheCall()
    {
        var stream = new ValueType_(ValueKind.Stream, null, typeof(System.IO.Stream));
        var number = new ValueType_(ValueKind.Int32, null, typeof(int));
        Assert.Equal("body();", ValueKinds.Scoped(new[] { number }, "body();"));
        // One scope however many streams the member takes.
        Assert.Equal("using (var streams = PythonStreams.Open()) { body(); streams.Complete(); }",
                     ValueKinds.Scoped(new[] { stream, number, stream }, "body();"));
        Assert.Equal(ValueKind.Stream, ValueKinds.Classify(typeof(System.IO.Stream)));
        Assert.Null(ValueKinds.Classify(typeof(System.IO.MemoryStream)));
    }

    [Fact]
    public void LibraryInterfacesCrossAsInterfaceValuesNamingTheirImplementers()
    {
        var canvas = _classes.Single(c => c.SimpleName == "Canvas");
        var watcher = canvas.Properties.Single(p => p.PythonName == "watcher").Type;
        Assert.Equal(ValueKind.Interface, watcher.Kind);
        Assert.Equal("IDrawingWatcher | DrawingLog | None", PythonTypes.Annotation(watcher, true, PythonTypes.Simple));
        Assert.Equal("IDrawingWatcher | DrawingLog | None", PythonTypes.Annotation(watcher, false, PythonTypes.Simple));
        Assert.Equal("(HandleTable.Get(((KindHandle*)args[0])->Handle) as global::Morvax.Velto.Fixtures.IDrawingWatcher" +
                     " ?? HandleTable.Get<global::Morvax.Velto.Fixtures.IDrawingWatcher>(((KindHandle*)args[0])->Handle))",
                     ValueKinds.Read(watcher, 0));
        // The implementing class carries the interface in its sets; the C++ record names it.
        var log = _classes.Single(c => c.SimpleName == "DrawingLog");
        Assert.Equal(new[] { watcher.Class }, log.Interfaces);
        var tables = string.Concat(CppEmitter.Emit(_classes, _enums).Values);
        Assert.Contains("kInterfaces_Morvax_Velto_Fixtures_DrawingLog[] = {&kMorvax_Velto_Fixtures_IDrawingWatcher, nullptr}", tables);
        Assert.Contains("{ValueKind::Interface, &kMorvax_Velto_Fixtures_IDrawingWatcher, nullptr}", tables);
    }
}
