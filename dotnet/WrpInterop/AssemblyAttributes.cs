// AssemblyAttributes.cs: assembly-wide settings of the interop assembly.
using System.Runtime.CompilerServices;

// Every native signature is blittable by design; turning runtime marshalling
// off makes the compiler reject any that is not, instead of the runtime
// quietly inserting a marshalling stub.
[assembly: DisableRuntimeMarshalling]
