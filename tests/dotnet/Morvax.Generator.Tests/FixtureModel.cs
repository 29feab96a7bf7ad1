// The generator's model of the fixture library (Fixtures.cs), as the build makes it for the
// real library: its documentation read, identifiers given in a throw-away table.
using Morvax.Generator;
using Morvax.Velto.Fixtures;

namespace Morvax.Generator.Tests;

public sealed class FixtureModel : IDisposable
{
    private readonly string _ids = Path.GetTempFileName();

    public FixtureModel()
    {
        var assembly = typeof(Shape).Assembly;
        var builder = new ModelBuilder(LibraryDocs.Load(Path.ChangeExtension(assembly.Location, ".xml")));
        Classes = builder.Build(assembly, new ClassIds(_ids, assignMissing: true));
        Enums = builder.Enums;
    }

    public IReadOnlyList<ClassModel> Classes { get; }
    public IReadOnlyList<EnumModel> Enums { get; }

    public void Dispose() => File.Delete(_ids);
}
