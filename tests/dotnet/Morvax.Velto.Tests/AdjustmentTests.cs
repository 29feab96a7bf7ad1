// The adjustments of a drawing's preset geometry, read from its markup and
// kept through saving; guides that are not plain values are passed over.
using System.IO;
using System.Linq;
using Morvax.Velto.Drawing;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class AdjustmentTests
{
    internal static string RoundedRectangle(string guides) =>
        "<w:r><w:drawing><wp:inline xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\">"
        + "<wp:extent cx=\"914400\" cy=\"457200\"/><wp:docPr id=\"2\" name=\"Shape 2\"/>"
        + "<a:graphic xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">"
        + "<a:graphicData uri=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\">"
        + "<wps:wsp xmlns:wps=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\"><wps:spPr>"
        + $"<a:prstGeom prst=\"roundRect\"><a:avLst>{guides}</a:avLst></a:prstGeom></wps:spPr><wps:bodyPr/></wps:wsp>"
        + "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r>";

    private static Shape Read(byte[] package) => (Shape)new Document(new MemoryStream(package)).GetChildNodes(NodeType.Shape, true)[0];

    [Fact]
    public void Value_guides_are_read_in_order_and_kept()
    {
        byte[] package = BodyPackage("<w:p>" + RoundedRectangle(
            "<a:gd name=\"adj1\" fmla=\"val 16667\"/><a:gd name=\"adj2\" fmla=\"val -500\"/><a:gd name=\"w\" fmla=\"*/ 1 2 3\"/>") + "</w:p>");
        Shape shape = Read(package);
        AdjustmentCollection adjustments = shape.Adjustments;
        Assert.Equal(2, adjustments.Count);
        Assert.Equal(new[] { ("adj1", 16667), ("adj2", -500) }, Enumerable.Range(0, 2).Select(i => (adjustments[i].Name, adjustments[i].Value)));
        Assert.False(shape.HasChart);
        Shape again = Read(SaveBytes(shape.Document as Document ?? throw new System.InvalidOperationException(), SaveFormat.Docx));
        Assert.Equal(("adj2", -500), (again.Adjustments[1].Name, again.Adjustments[1].Value));
        Assert.Equal(0, Read(BodyPackage("<w:p>" + RoundedRectangle("") + "</w:p>")).Adjustments.Count);
    }
}
