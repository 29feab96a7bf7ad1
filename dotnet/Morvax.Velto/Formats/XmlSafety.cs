// XmlSafety: the one set of XML reader settings every part is parsed with:
// no DTDs (so no entity expansion) and no external resolution.
using System.Xml;

namespace Morvax.Velto.Formats;

internal static class XmlSafety
{
    public static readonly XmlReaderSettings ReaderSettings = new()
    {
        DtdProcessing = DtdProcessing.Prohibit,
        XmlResolver = null,
        IgnoreComments = true,
        IgnoreProcessingInstructions = true,
        CloseInput = true,
    };
}
