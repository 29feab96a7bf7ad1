// The naming rules on the names they must get right, including the fixed exceptions.
using Morvax.Generator;
using Xunit;

namespace Morvax.Generator.Tests;

public class NameRulesTests
{
    [Theory]
    [InlineData("UpdateWordCount", "update_word_count")]
    [InlineData("IncludeTextboxesFootnotesEndnotesInStat", "include_textboxes_footnotes_endnotes_in_stat")]
    [InlineData("UICompat97To2003", "ui_compat_97_to_2003")]
    [InlineData("Zip64Mode", "zip_64_mode")]
    [InlineData("InsertForms2OleControl", "insert_forms_2_ole_control")]
    [InlineData("Dml3DEffectsRenderingMode", "dml_3d_effects_rendering_mode")]
    [InlineData("Bubble3D", "bubble_3d")]
    [InlineData("HRef", "href")]
    [InlineData("XPath", "xpath")]
    [InlineData("IgnoreTextboxes", "ignore_textboxes")]
    [InlineData("IgnoreTextBoxes", "ignore_text_boxes")]
    [InlineData("fileName", "file_name")]
    [InlineData("Int16Value", "int_16_value")]
    [InlineData("PDF", "pdf")]
    [InlineData("HTMLExport", "html_export")]
    [InlineData("Ole2", "ole_2")]
    [InlineData("X", "x")]
    public void SnakeCase(string name, string expected) => Assert.Equal(expected, NameRules.Snake(name));

    [Theory]
    [InlineData("CellChar", "CELL_CHAR")]
    [InlineData("CrLf", "CR_LF")]
    [InlineData("NonBreakingSpace", "NON_BREAKING_SPACE")]
    [InlineData("Auto", "AUTO")]
    public void UpperSnakeCase(string name, string expected) => Assert.Equal(expected, NameRules.UpperSnake(name));

    [Theory]
    [InlineData("Morvax.Velto", "Document", "44597C31", "WrpNs_Morvax.WrpNs_Velto.WrpCs_Document_44597C31")]
    [InlineData("Morvax.Velto.Drawing", "WrapSide", "1A1EC76D", "WrpNs_Morvax.WrpNs_Velto.WrpNs_Drawing.WrpCs_WrapSide_1A1EC76D")]
    [InlineData("Morvax.Velto.Saving", "PdfSaveOptions", "00000001", "WrpNs_Morvax.WrpNs_Velto.WrpNs_Saving.WrpCs_PdfSaveO_00000001")]
    public void InteropClassNames(string ns, string name, string id, string expected) =>
        Assert.Equal(expected, NameRules.InteropClassName(ns, name, id));

    [Theory]
    [InlineData("Morvax.Velto", "morvax.velto")]
    [InlineData("Morvax.Velto.Drawing.Charts", "morvax.velto.drawing.charts")]
    [InlineData("Morvax.Velto.LowCode", "morvax.velto.lowcode")]
    public void Modules(string ns, string expected) => Assert.Equal(expected, NameRules.ModuleOf(ns));

    [Theory]
    [InlineData("file_name", true)]
    [InlineData("image_file_name", true)]
    [InlineData("resources_folder", true)]
    [InlineData("path", true)]
    [InlineData("file_path", true)]
    [InlineData("resources_folder_alias", false)]
    [InlineData("xpath", false)]
    [InlineData("text_path_alignment", false)]
    [InlineData("resource_file_uri", false)]
    public void FileNames(string pythonName, bool expected) => Assert.Equal(expected, NameRules.IsFileName(pythonName));
}

public class ClassIdsTests
{
    [Fact]
    public void KnownIdentifiersStayAndNewOnesAreAssignedOnceAndUnique()
    {
        string path = Path.GetTempFileName();
        try
        {
            File.WriteAllLines(path, new[] { "# ids", "Morvax.Velto.Document 44597C31" });
            var ids = new ClassIds(path, assignMissing: true);
            Assert.Equal("44597C31", ids.IdOf("Morvax.Velto.Document"));
            string first = ids.IdOf("Morvax.Velto.Run");
            Assert.Matches("^[0-9A-F]{8}$", first);
            ids.SaveIfChanged();
            var again = new ClassIds(path, assignMissing: false);
            Assert.Equal(first, again.IdOf("Morvax.Velto.Run"));
            Assert.Empty(again.Missing);
            again.IdOf("Morvax.Velto.Unknown");
            Assert.Equal(new[] { "Morvax.Velto.Unknown" }, again.Missing);
        }
        finally
        {
            File.Delete(path);
        }
    }

    [Fact]
    public void MalformedTablesAreRefused()
    {
        string path = Path.GetTempFileName();
        try
        {
            File.WriteAllLines(path, new[] { "Morvax.Velto.Document 4459" });
            Assert.Throws<FormatException>(() => new ClassIds(path, assignMissing: false));
            File.WriteAllLines(path, new[] { "A 00000001", "A 00000002" });
            Assert.Throws<FormatException>(() => new ClassIds(path, assignMissing: false));
        }
        finally
        {
            File.Delete(path);
        }
    }
}

public class EnumMemberNameTests
{
    [Theory]
    [InlineData("ParagraphBreak", "PARAGRAPH_BREAK")]
    [InlineData("SectionBreakNewPage", "SECTION_BREAK_NEW_PAGE")]
    [InlineData("NoProtection", "NO_PROTECTION")]
    [InlineData("Accent1", "ACCENT1")]
    [InlineData("Percent10", "PERCENT10")]
    [InlineData("Default2003", "DEFAULT2003")]
    [InlineData("Pdf20", "PDF20")]
    [InlineData("Area_3D", "AREA_3D")]
    [InlineData("Bar_3DPercentStacked", "BAR_3D_PERCENT_STACKED")]
    [InlineData("Texture_10_Percent", "TEXTURE_10_PERCENT")]
    [InlineData("Texture_12Pt5_Percent", "TEXTURE_12PT5_PERCENT")]
    [InlineData("Format_16Bpp_Argb_1555", "FORMAT_16BPP_ARGB_1555")]
    [InlineData("Iso29500_2008_Strict", "ISO29500_2008_STRICT")]
    [InlineData("DOCX", "DOCX")]
    [InlineData("HtmlFixed", "HTML_FIXED")]
    public void EnumMembers(string name, string expected) => Assert.Equal(expected, NameRules.EnumMember(name));
}
