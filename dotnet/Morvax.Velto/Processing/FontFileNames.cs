// The names of the fonts in a font file, read from each font's naming table: TrueType and
// OpenType files hold one font, collections (.ttc, .otc) several. A file that cannot be
// read as a font gives none; the library never fails over a broken font file.
using System;
using System.Collections.Generic;
using System.IO;
using System.Linq;
using System.Text;

namespace Morvax.Velto.Fonts;

internal static class FontFileNames
{
    private static readonly string[] Extensions = { ".ttf", ".otf", ".ttc", ".otc" };

    /// <summary>The font files of a folder (and its subfolders), sorted by path; none for a missing folder.</summary>
    public static IEnumerable<string> In(string folder, bool subfolders)
    {
        if (!Directory.Exists(folder)) return Array.Empty<string>();
        var option = subfolders ? SearchOption.AllDirectories : SearchOption.TopDirectoryOnly;
        try
        {
            return Directory.EnumerateFiles(folder, "*", option)
                .Where(f => Extensions.Contains(Path.GetExtension(f), StringComparer.OrdinalIgnoreCase))
                .OrderBy(f => f, StringComparer.Ordinal).ToList();
        }
        catch (Exception e) when (e is IOException or UnauthorizedAccessException)
        {
            return Array.Empty<string>();
        }
    }

    /// <summary>(family name, full name) of each font in the file.</summary>
    public static IEnumerable<(string Family, string Full)> Read(string path)
    {
        byte[] data;
        try
        {
            data = File.ReadAllBytes(path);
        }
        catch (Exception e) when (e is IOException or UnauthorizedAccessException)
        {
            yield break;
        }
        foreach (int offset in FontOffsets(data))
        {
            if (Names(data, offset) is { } names) yield return names;
        }
    }

    // A collection lists its fonts' offsets after its header; a single font starts at 0.
    private static IEnumerable<int> FontOffsets(byte[] data)
    {
        if (data.Length >= 12 && Encoding.ASCII.GetString(data, 0, 4) == "ttcf")
        {
            long count = U32(data, 8);
            for (long i = 0; i < count && 12 + 4 * i + 4 <= data.Length; i++) yield return (int)System.Math.Min(U32(data, (int)(12 + 4 * i)), int.MaxValue);
        }
        else
        {
            yield return 0;
        }
    }

    // The naming table's family (name 1) and full name (name 4), Windows Unicode records
    // preferred (US English first), then Macintosh ones (read as Latin-1, which agrees with
    // Mac Roman on ASCII names); null without a family name.
    private static (string, string)? Names(byte[] data, int font)
    {
        if (font < 0 || font + 12 > data.Length) return null;
        int tables = U16(data, font + 4);
        for (int t = 0; t < tables; t++)
        {
            int record = font + 12 + 16 * t;
            if (record + 16 > data.Length) return null;
            if (Encoding.ASCII.GetString(data, record, 4) != "name") continue;
            long start = U32(data, record + 8);
            if (start + 6 > data.Length) return null;
            int table = (int)start;
            int count = U16(data, table + 2);
            int strings = table + U16(data, table + 4);
            string? Find(int nameId)
            {
                string? best = null;
                int bestRank = int.MaxValue;
                for (int i = 0; i < count; i++)
                {
                    int r = table + 6 + 12 * i;
                    if (r + 12 > data.Length) break;
                    int platform = U16(data, r), encoding = U16(data, r + 2), language = U16(data, r + 4);
                    if (U16(data, r + 6) != nameId) continue;
                    int length = U16(data, r + 8), at = strings + U16(data, r + 10);
                    if (at + length > data.Length) continue;
                    int rank = platform == 3 && (encoding == 1 || encoding == 10) ? (language == 0x409 ? 0 : 1)
                        : platform == 0 ? 2 : platform == 1 && encoding == 0 ? 3 : int.MaxValue;
                    if (rank >= bestRank) continue;
                    best = rank <= 2 ? Encoding.BigEndianUnicode.GetString(data, at, length) : Encoding.Latin1.GetString(data, at, length);
                    bestRank = rank;
                }
                return best;
            }
            string? family = Find(1);
            return family is null ? null : (family, Find(4) ?? family);
        }
        return null;
    }

    private static int U16(byte[] data, int at) => at + 2 <= data.Length ? (data[at] << 8) | data[at + 1] : 0;

    private static long U32(byte[] data, int at) => at + 4 <= data.Length ? ((long)U16(data, at) << 16) | (uint)U16(data, at + 2) : 0;
}
