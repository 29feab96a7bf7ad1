// DrawingValues.cs: the System.Drawing values (Color, Point, PointF, Size,
// SizeF, Rectangle, RectangleF) in the native layouts that morvax.pydrawing
// defines (morvax/pydrawing.h): the fields packed in order, 32-bit integers or
// floats; a colour is its ARGB value and whether it is the empty colour, which
// differs from transparent black.
using System.Drawing;
using System.Runtime.InteropServices;

namespace Morvax.WrpGen.Interop
{
    [StructLayout(LayoutKind.Sequential)]
    internal struct NativeColor
    {
        public int Argb;
        public int IsEmpty;
    }

    internal static unsafe class DrawingValues
    {
        public static Color ReadColor(void* slot)
        {
            NativeColor* color = (NativeColor*)Checked(slot);
            return color->IsEmpty != 0 ? Color.Empty : Color.FromArgb(color->Argb);
        }

        public static Point ReadPoint(void* slot) => new(((int*)Checked(slot))[0], ((int*)slot)[1]);

        public static PointF ReadPointF(void* slot) => new(((float*)Checked(slot))[0], ((float*)slot)[1]);

        public static Size ReadSize(void* slot) => new(((int*)Checked(slot))[0], ((int*)slot)[1]);

        public static SizeF ReadSizeF(void* slot) => new(((float*)Checked(slot))[0], ((float*)slot)[1]);

        public static Rectangle ReadRectangle(void* slot)
        {
            int* f = (int*)Checked(slot);
            return new Rectangle(f[0], f[1], f[2], f[3]);
        }

        public static RectangleF ReadRectangleF(void* slot)
        {
            float* f = (float*)Checked(slot);
            return new RectangleF(f[0], f[1], f[2], f[3]);
        }

        public static void Write(void* result, Color value) =>
            *(NativeColor*)result = new NativeColor { Argb = value.IsEmpty ? 0 : value.ToArgb(), IsEmpty = value.IsEmpty ? 1 : 0 };

        public static void Write(void* result, Point value) => Write((int*)result, value.X, value.Y);

        public static void Write(void* result, Size value) => Write((int*)result, value.Width, value.Height);

        public static void Write(void* result, Rectangle value) =>
            Write((int*)result, value.X, value.Y, value.Width, value.Height);

        public static void Write(void* result, PointF value) => Write((float*)result, value.X, value.Y);

        public static void Write(void* result, SizeF value) => Write((float*)result, value.Width, value.Height);

        public static void Write(void* result, RectangleF value) =>
            Write((float*)result, value.X, value.Y, value.Width, value.Height);

        private static void Write<T>(T* fields, params System.ReadOnlySpan<T> values) where T : unmanaged
        {
            for (int i = 0; i < values.Length; i++)
                fields[i] = values[i];
        }

        private static void* Checked(void* slot) =>
            slot != null ? slot : throw new System.ArgumentException("no drawing value was passed", nameof(slot));
    }
}
