// DrawingIds: the identifiers drawings carry (wp:docPr/@id), which must be
// unique across a package's stories.  The highest one in use is found from
// the parts' bytes, without parsing them into trees: each start tag named
// docPr (with any prefix) is read up to its end for its id attribute.
using System;
using System.Collections.Generic;
using System.Globalization;
using System.IO;
using System.Text;
using DocumentFormat.OpenXml.Packaging;

namespace Morvax.Velto.Formats;

internal static class DrawingIds
{
    private static readonly byte[] Name = Encoding.ASCII.GetBytes("docPr");

    public static long HighestIn(IEnumerable<OpenXmlPart> parts)
    {
        long highest = 0;
        foreach (OpenXmlPart part in parts)
        {
            byte[] bytes;
            using (Stream stream = part.GetStream(FileMode.Open, FileAccess.Read))
                bytes = PackageLimits.ReadBounded(stream);
            highest = System.Math.Max(highest, HighestIn(bytes));
        }
        return highest;
    }

    // The highest id of the docPr start tags in the markup; 0 when none.
    public static long HighestIn(ReadOnlySpan<byte> markup)
    {
        long highest = 0;
        for (int end = RawMarkup.TagNameEnd(markup, Name, 0); end >= 0; end = RawMarkup.TagNameEnd(markup, Name, end))
        {
            int close = markup[end..].IndexOf((byte)'>');
            ReadOnlySpan<byte> tag = close < 0 ? markup[end..] : markup.Slice(end, close);
            if (IdOf(tag) is long id)
                highest = System.Math.Max(highest, id);
        }
        return highest;
    }

    // The value of the attribute named id among a start tag's attributes.
    private static long? IdOf(ReadOnlySpan<byte> attributes)
    {
        int i = 0;
        while (i < attributes.Length)
        {
            while (i < attributes.Length && IsSpace(attributes[i]))
                i++;
            int nameStart = i;
            while (i < attributes.Length && attributes[i] != (byte)'=' && !IsSpace(attributes[i]))
                i++;
            ReadOnlySpan<byte> name = attributes[nameStart..i];
            while (i < attributes.Length && (IsSpace(attributes[i]) || attributes[i] == (byte)'='))
                i++;
            if (i >= attributes.Length || attributes[i] is not ((byte)'"' or (byte)'\''))
                return null;
            byte quote = attributes[i++];
            int valueStart = i;
            int length = attributes[i..].IndexOf(quote);
            if (length < 0)
                return null;
            i += length + 1;
            if (name.SequenceEqual("id"u8))
                return long.TryParse(Encoding.ASCII.GetString(attributes.Slice(valueStart, length)), NumberStyles.None,
                    CultureInfo.InvariantCulture, out long id) ? id : null;
        }
        return null;
    }

    private static bool IsSpace(byte b) => b is (byte)' ' or (byte)'\t' or (byte)'\r' or (byte)'\n';
}
