// SiApiStream.cs: the interop class behind the _StreamWrapper adapter of
// morvax.velto._wrpgen._interop, through which Python uses a .NET Stream as a
// file object.  The native side binds the entry points by name in the order of
// velto/interop/containers/interop_classes.cpp.  Every entry point catches
// what the stream throws and reports it through ErrorBridge, answering with a
// neutral value; the native side looks for the pending Python error after
// each call.  Positions, offsets and lengths are signed 64-bit; booleans come
// back in the low byte.
using System;
using System.IO;
using System.Runtime.InteropServices;

namespace Morvax.WrpGen.Interop
{
    public static unsafe class SiApiStream
    {
        private static Stream Of(uint handle) => ContainerOps.Of<Stream>(handle);

        [UnmanagedCallersOnly]
        public static int CanRead(uint handle) => Guard(handle, static s => s.CanRead ? 1 : 0, 0);

        [UnmanagedCallersOnly]
        public static int CanSeek(uint handle) => Guard(handle, static s => s.CanSeek ? 1 : 0, 0);

        [UnmanagedCallersOnly]
        public static int CanWrite(uint handle) => Guard(handle, static s => s.CanWrite ? 1 : 0, 0);

        [UnmanagedCallersOnly]
        public static long Length(uint handle) => Guard(handle, static s => s.Length, -1L);

        [UnmanagedCallersOnly]
        public static long Position(uint handle) => Guard(handle, static s => s.Position, -1L);

        [UnmanagedCallersOnly]
        public static void Close(uint handle) => Guard(handle, static s => { s.Close(); return 0; }, 0);

        [UnmanagedCallersOnly]
        public static void Flush(uint handle) => Guard(handle, static s => { s.Flush(); return 0; }, 0);

        [UnmanagedCallersOnly]
        public static int Read(uint handle, byte* buffer, int count)
        {
            try
            {
                if (count < 0)
                {
                    throw new ArgumentOutOfRangeException(nameof(count), count, "a negative byte count");
                }
                return Of(handle).Read(new Span<byte>(buffer, count));
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
                return 0;
            }
        }

        [UnmanagedCallersOnly]
        public static long Seek(uint handle, long offset, int origin)
        {
            try
            {
                if (origin is < 0 or > 2)
                {
                    throw new ArgumentOutOfRangeException(nameof(origin), origin, "the origin must be 0, 1 or 2");
                }
                return Of(handle).Seek(offset, (SeekOrigin)origin);
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
                return -1;
            }
        }

        // With the flag set the stream ends at its current position.
        [UnmanagedCallersOnly]
        public static long SetLength(uint handle, int useCurrentPosition, long size)
        {
            try
            {
                Stream stream = Of(handle);
                long length = useCurrentPosition != 0 ? stream.Position : size;
                stream.SetLength(length);
                return length;
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
                return -1;
            }
        }

        [UnmanagedCallersOnly]
        public static void Write(uint handle, byte* buffer, int count)
        {
            try
            {
                if (count < 0)
                {
                    throw new ArgumentOutOfRangeException(nameof(count), count, "a negative byte count");
                }
                Of(handle).Write(new ReadOnlySpan<byte>(buffer, count));
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
            }
        }

        [UnmanagedCallersOnly]
        public static int btp_IsAssignable(uint handle) => ContainerEntries.IsAssignable<Stream>(handle);

        [UnmanagedCallersOnly]
        public static int btp_TypeOf(uint* outHandle) => ContainerEntries.TypeOf<Stream>(outHandle);

        [UnmanagedCallersOnly]
        public static int btp_CastTo(KindHandle* pair, uint* outHandle) => ContainerEntries.CastTo<Stream>(pair, outHandle);

        [UnmanagedCallersOnly]
        public static int btp_ReInterpretObj(uint handle, uint* outHandle) => ContainerEntries.ReInterpretObj<Stream>(handle, outHandle);

        [UnmanagedCallersOnly]
        public static int btp_CastAs(uint handle, uint* outHandle) => ContainerEntries.CastAs<Stream>(handle, outHandle);

        private static T Guard<T>(uint handle, Func<Stream, T> operation, T failure)
        {
            try
            {
                return operation(Of(handle));
            }
            catch (Exception e)
            {
                ErrorBridge.Report(e);
                return failure;
            }
        }
    }
}
