// The value kinds: how one value crosses between Python and .NET. Each kind is one row here,
// and every other part of the generator reads it from this table: the .NET type that is
// classified as the kind, how the generated C# reads an argument and stores a result, the
// Python annotation in docstrings and stubs, and the C++ enumeration the runtime dispatches
// on (emitted as generated_value_kinds.h; the C++ kind table is checked against it when it compiles).
// A new kind is one row here and one row in the C++ kind table (velto/api/value_kinds.cpp).
namespace Morvax.Generator;

/// <summary>
/// How a value crosses the boundary. FileName is a string that names a file or folder
/// (NameRules.IsFileName): it also takes os.PathLike (bytes alone are no name).
/// </summary>
public enum ValueKind { Void, String, Bool, Int16, Int32, Int64, Byte, Double, Single, Char, ByteArray, Object, Class, Enum, DateTime, DateTimeOffset, TimeSpan, Decimal, Guid, FileName,
    Enumerable, Enumerator, List, Collection, ArrayList, CollectionBase, ReadOnlyCollectionBase, Array,
    GenericList, GenericIList, GenericEnumerator, Disposable, Stream,
    Interface,
    Color, Point, PointF, Size, SizeF, Rectangle, RectangleF }

public static class ValueKinds
{
    /// <summary>
    /// One kind. NetType: the .NET type classified as this kind (null: found another way).
    /// Read: C# reading argument slot @i; Store: C# storing expression @e in the result slot;
    /// @T is the class or enumeration's full name. Argument/Result: the Python annotations,
    /// "{0}" standing for the class or enumeration name; Import: the modules they need (separated
    /// by blanks). Scope: C# around the body of an entry point taking the kind (@body), for
    /// arguments that live only as long as the call.
    /// </summary>
    public sealed record Row(ValueKind Kind, Type? NetType, string? Read, string? Store,
                             string Argument, string Result, string? Import = null, string? Scope = null);

    public static readonly IReadOnlyList<Row> Rows = new Row[]
    {
        new(ValueKind.Void, null, null, null, "None", "None"),
        new(ValueKind.String, typeof(string), "Marshalling.ReadString(args[@i])", "*(IntPtr*)result = Marshalling.PyString(@e);", "str", "str"),
        new(ValueKind.Bool, typeof(bool), "(*(byte*)args[@i] != 0)", "*(byte*)result = (@e) ? (byte)1 : (byte)0;", "bool", "bool"),
        new(ValueKind.Int16, typeof(short), "*(short*)args[@i]", "*(short*)result = @e;", "int", "int"),
        new(ValueKind.Int32, typeof(int), "*(int*)args[@i]", "*(int*)result = @e;", "int", "int"),
        new(ValueKind.Int64, typeof(long), "*(long*)args[@i]", "*(long*)result = @e;", "int", "int"),
        new(ValueKind.Byte, typeof(byte), "*(byte*)args[@i]", "*(byte*)result = @e;", "int", "int"),
        new(ValueKind.Double, typeof(double), "*(double*)args[@i]", "*(double*)result = @e;", "float", "float"),
        new(ValueKind.Single, typeof(float), "*(float*)args[@i]", "*(float*)result = @e;", "float", "float"),
        new(ValueKind.Char, typeof(char), "(char)*(ushort*)args[@i]", "*(ushort*)result = @e;", "str", "str"),
        // Any object offering the buffer protocol is read as the byte array.
        new(ValueKind.ByteArray, typeof(byte[]), "Marshalling.ReadBytes(args[@i])", "*(IntPtr*)result = Marshalling.PyBytes(@e);",
            "bytes | bytearray | memoryview", "bytes"),
        new(ValueKind.Object, typeof(object), "Marshalling.ReadVariant(args[@i])", "*(IntPtr*)result = Marshalling.PyObject(@e);", "object", "object"),
        // None passes a null reference. An object of the type is taken by a cast the JIT knows
        // the type of; anything else (null, or the wrong type with its message) by Get<T>.
        new(ValueKind.Class, null, "(HandleTable.Get(*(uint*)args[@i]) as global::@T ?? HandleTable.Get<global::@T>(*(uint*)args[@i]))",
            "*(uint*)result = HandleTable.Add(@e);", "{0} | None", "{0}"),
        new(ValueKind.Enum, null, "(global::@T)(*(int*)args[@i])", "*(int*)result = (int)(@e);", "{0}", "{0}"),
        new(ValueKind.DateTime, typeof(DateTime), "Marshalling.ReadDateTime(args[@i])", "Marshalling.WriteDateTime(result, @e);",
            "datetime.datetime", "datetime.datetime", "datetime"),
        // Results only: no member taking one is emitted yet.
        new(ValueKind.DateTimeOffset, typeof(DateTimeOffset), null, "Marshalling.WriteDateTimeOffset(result, @e);",
            "datetime.datetime", "datetime.datetime", "datetime"),
        new(ValueKind.TimeSpan, typeof(TimeSpan), "Marshalling.ReadTimeSpan(args[@i])", "Marshalling.WriteTimeSpan(result, @e);",
            "datetime.timedelta", "datetime.timedelta", "datetime"),
        new(ValueKind.Decimal, typeof(decimal), "Marshalling.ReadDecimal(args[@i])", "Marshalling.WriteDecimal(result, @e);",
            "decimal.Decimal", "decimal.Decimal", "decimal"),
        new(ValueKind.Guid, typeof(Guid), "Marshalling.ReadGuid(args[@i])", "Marshalling.WriteGuid(result, @e);", "uuid.UUID", "uuid.UUID", "uuid"),
        // A file or folder name (a string by its parameter's name): what os.fspath accepts; a result is the name as text.
        new(ValueKind.FileName, null, "Marshalling.ReadString(args[@i])", "*(IntPtr*)result = Marshalling.PyString(@e);",
            "str | os.PathLike[str] | os.PathLike[bytes]", "str", "os"),
        // Non-generic containers come back as the adapter types of _wrpgen._interop and are
        // annotated with the Python protocol each offers. An enumerable argument also takes
        // any Python iterable, whose items .NET reads during the call.
        new(ValueKind.Enumerable, typeof(System.Collections.IEnumerable), "PythonIterables.Read(args[@i])", Handle,
            "collections.abc.Iterable[object] | None", "collections.abc.Iterable[object]", "collections.abc"),
        Container(ValueKind.Enumerator, typeof(System.Collections.IEnumerator), "collections.abc.Iterator[object]"),
        Container(ValueKind.List, typeof(System.Collections.IList), "collections.abc.MutableSequence[object]"),
        Container(ValueKind.Collection, typeof(System.Collections.ICollection), "collections.abc.Collection[object]"),
        Container(ValueKind.ArrayList, typeof(System.Collections.ArrayList), "collections.abc.MutableSequence[object]"),
        Container(ValueKind.CollectionBase, typeof(System.Collections.CollectionBase), "collections.abc.MutableSequence[object]"),
        Container(ValueKind.ReadOnlyCollectionBase, typeof(System.Collections.ReadOnlyCollectionBase), "collections.abc.Collection[object]"),
        // Any array but byte[] (classified by IsArray). A result comes back as its element's typed
        // adapter; an argument takes a .NET array of the element, a Python list or a sized sequence
        // (@E: the element's C# type).
        new(ValueKind.Array, null, "PythonContainers.ReadArray<@E>(args[@i])", Handle,
            "collections.abc.Sequence[object] | None", "collections.abc.MutableSequence[object]", "collections.abc"),
        // The generic collections over a listed element (@E): a result comes back as the element's
        // typed list or enumerator adapter; a list argument takes what an array argument takes
        // (the list builder; a List<T> copies a Python container's items), an enumerator argument
        // the .NET enumerator a wrapper holds.
        new(ValueKind.GenericList, null, "PythonContainers.ReadList<@E>(args[@i])", Handle,
            "collections.abc.Sequence[object] | None", "collections.abc.MutableSequence[object]", "collections.abc"),
        // A Python list or sequence given for a list interface is lent to .NET as a view for the call.
        new(ValueKind.GenericIList, null, "PythonContainers.ReadIList<@E>(args[@i])", Handle,
            "collections.abc.Sequence[object] | None", "collections.abc.MutableSequence[object]", "collections.abc",
            "using (PythonLists.Open()) { @body }"),
        new(ValueKind.GenericEnumerator, null, "HandleTable.Get<global::System.Collections.Generic.IEnumerator<@E>>(*(uint*)args[@i])", Handle,
            "collections.abc.Iterator[object] | None", "collections.abc.Iterator[object]", "collections.abc"),
        new(ValueKind.Disposable, typeof(IDisposable), "HandleTable.Get<global::System.IDisposable>(*(uint*)args[@i])", Handle,
            "contextlib.AbstractContextManager[object] | None", "contextlib.AbstractContextManager[object]", "contextlib"),
        // A .NET stream, or a Python binary file object that .NET reads and writes through the
        // stream callbacks during the call (the scope flushes it when the call succeeds and
        // retires it either way). A stream result is a file object over the .NET stream, or
        // the Python object itself when it is one the call was given.
        new(ValueKind.Stream, typeof(System.IO.Stream), "PythonStreams.Read(args[@i])", "PythonStreams.Write(result, @e);",
            "io.RawIOBase | io.BufferedIOBase | typing.BinaryIO | None", "typing.BinaryIO", "io typing",
            "using (var streams = PythonStreams.Open()) { @body streams.Complete(); }"),
        // One of the library's interfaces (found as a class of the model that is an interface):
        // an argument is the pair of kind and handle of a wrapper whose object implements it
        // (None: null); a result is the handle with the type key of the object's run-time class,
        // so that Python can give it that class where the class says it stands for the interface.
        new(ValueKind.Interface, null,
            "(HandleTable.Get(((KindHandle*)args[@i])->Handle) as global::@T ?? HandleTable.Get<global::@T>(((KindHandle*)args[@i])->Handle))",
            "{ object value = @e; *(uint*)result = HandleTable.Add(value); ((uint*)result)[1] = value is null ? 0u : Marshalling.TypeKeyOf(value.GetType()); }",
            "{0} | None", "{0} | None"),
        // The drawing values, in the native layouts of morvax.pydrawing (DrawingValues.cs);
        // an argument also takes what pydrawing's converter takes, a result is pydrawing's type.
        Drawing(ValueKind.Color, typeof(System.Drawing.Color), "int"),
        Drawing(ValueKind.Point, typeof(System.Drawing.Point), "tuple[int, int]"),
        Drawing(ValueKind.PointF, typeof(System.Drawing.PointF), "morvax.pydrawing.Point | tuple[float, float]"),
        Drawing(ValueKind.Size, typeof(System.Drawing.Size), "tuple[int, int]"),
        Drawing(ValueKind.SizeF, typeof(System.Drawing.SizeF), "morvax.pydrawing.Size | tuple[float, float]"),
        Drawing(ValueKind.Rectangle, typeof(System.Drawing.Rectangle), "tuple[int, int, int, int]"),
        Drawing(ValueKind.RectangleF, typeof(System.Drawing.RectangleF),
            "morvax.pydrawing.Rectangle | tuple[float, float, float, float]"),
    };

    // A drawing value read from and written to its native layout; also: what else an argument takes.
    private static Row Drawing(ValueKind kind, Type type, string also) =>
        new(kind, type, $"DrawingValues.Read{type.Name}(args[@i])", "DrawingValues.Write(result, @e);",
            $"morvax.pydrawing.{type.Name} | {also}", $"morvax.pydrawing.{type.Name}", "morvax.pydrawing");

    private const string Handle = "*(uint*)result = HandleTable.Add(@e);";

    // A container passed as the .NET object a wrapper holds, and returned as a new handle.
    private static Row Container(ValueKind kind, Type type, string annotation) =>
        new(kind, type, $"HandleTable.Get<global::{type.FullName}>(*(uint*)args[@i])", Handle, annotation + " | None", annotation,
            "collections.abc");

    // Rows are indexed by kind: the table must hold every kind once, in declaration order.
    static ValueKinds()
    {
        var kinds = Enum.GetValues<ValueKind>();
        if (kinds.Length != Rows.Count || kinds.Where((k, i) => Rows[i].Kind != k).Any())
            throw new InvalidOperationException("the value-kind table must list every ValueKind once, in declaration order");
    }

    public static Row Of(ValueKind kind) => Rows[(int)kind];

    /// <summary>The kind whose .NET type this is, if it is one of the plain kinds.</summary>
    public static ValueKind? Classify(Type type) => Rows.FirstOrDefault(r => r.NetType == type)?.Kind;

    private static string NameOf(ValueType_ type) => type.Class?.FullName ?? type.Enum?.FullName ?? "";

    /// <summary>C# reading argument slot i as the parameter's .NET type.</summary>
    public static string Read(ValueType_ type, int i) =>
        (Of(type.Kind).Read ?? throw new InvalidOperationException($"no argument form for {type.Kind}"))
            .Replace("@i", i.ToString()).Replace("@T", NameOf(type)).Replace("@E", type.Element?.CSharpName ?? "object");

    /// <summary>The body of an entry point inside the scopes its parameters' kinds need.</summary>
    public static string Scoped(IEnumerable<ValueType_> parameters, string body) =>
        parameters.Select(p => Of(p.Kind).Scope).Where(s => s != null).Distinct()
            .Aggregate(body, (inner, scope) => scope!.Replace("@body", inner));

    /// <summary>C# evaluating an expression and storing it in the result slot.</summary>
    public static string Store(ValueType_ type, string expression) =>
        (Of(type.Kind).Store ?? throw new InvalidOperationException($"no result form for {type.Kind}"))
            .Replace("@T", NameOf(type)).Replace("@e", expression);

    /// <summary>generated_value_kinds.h: the C++ enumeration, in the same order, with its count.</summary>
    public static string CppHeader()
    {
        var text = new System.Text.StringBuilder();
        text.AppendLine("// Generated by Morvax.Generator from its value-kind table: do not edit.");
        text.AppendLine("#pragma once");
        text.AppendLine();
        text.AppendLine("#include <cstdint>");
        text.AppendLine();
        text.AppendLine("namespace morvax::api {");
        text.AppendLine();
        text.AppendLine("enum class ValueKind : uint8_t {");
        foreach (var row in Rows) text.AppendLine($"  {row.Kind},");
        text.AppendLine("};");
        text.AppendLine($"inline constexpr int kValueKindCount = {Rows.Count};");
        text.AppendLine();
        text.AppendLine("}  // namespace morvax::api");
        return text.ToString();
    }
}
