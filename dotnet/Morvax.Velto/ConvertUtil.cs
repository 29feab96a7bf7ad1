// ConvertUtil: conversions between the units documents are measured in.
// A point is 1/72 inch; pixels assume 96 dpi unless a resolution is given.
using System;

namespace Morvax.Velto;

public static class ConvertUtil
{
    private const double DefaultDpi = 96.0;

    public static double PointToPixel(double points) => PointToPixel(points, DefaultDpi);

    public static double PointToPixel(double points, double resolution) => points / 72.0 * CheckDpi(resolution, nameof(resolution));

    public static double PixelToPoint(double pixels) => PixelToPoint(pixels, DefaultDpi);

    public static double PixelToPoint(double pixels, double resolution) => pixels * 72.0 / CheckDpi(resolution, nameof(resolution));

    // Whole pixels, rounded half away from zero.
    public static int PixelToNewDpi(double pixels, double oldDpi, double newDpi)
    {
        double scaled = System.Math.Round(pixels * CheckDpi(newDpi, nameof(newDpi)) / CheckDpi(oldDpi, nameof(oldDpi)), MidpointRounding.AwayFromZero);
        if (!(scaled >= int.MinValue && scaled <= int.MaxValue))
            throw new ArgumentOutOfRangeException(nameof(pixels), pixels, "The result does not fit a pixel count.");
        return (int)scaled;
    }

    public static double InchToPoint(double inches) => inches * 72.0;

    public static double PointToInch(double points) => points / 72.0;

    public static double MillimeterToPoint(double millimeters) => millimeters / 25.4 * 72.0;

    // Written so that NaN fails too.
    private static double CheckDpi(double dpi, string parameter) => dpi > 0 && double.IsFinite(dpi)
        ? dpi
        : throw new ArgumentOutOfRangeException(parameter, dpi, "A resolution must be a positive number of dots per inch.");
}
