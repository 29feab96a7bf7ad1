// The shape of the public surface, read by reflection the way the binding
// generator reads it: which types each namespace holds, which enumerations
// are flags, the values that the Python side depends on, and the member
// names it derives.  A slip here breaks the extension module at import time
// (a duplicate enum name, a missing type) rather than in any one call.
using System;
using System.Collections.Generic;
using System.Linq;
using System.Reflection;
using Xunit;

namespace Morvax.Velto.Tests;

public class CatalogueShapeTests
{
    private static readonly Assembly Library = typeof(Document).Assembly;

    // Everything the binding exposes; the Testing namespace only serves the
    // binding's own tests.
    private static readonly Type[] Bound = Library.GetExportedTypes()
        .Where(t => t.Namespace != "Morvax.Velto.Testing").ToArray();

    private static readonly Type[] Enums = Bound.Where(t => t.IsEnum).ToArray();

    public static TheoryData<string, int, int> Namespaces() => new()
    {
        { "Morvax.Velto", 91, 52 }, { "Morvax.Velto.AI", 7, 3 }, { "Morvax.Velto.Bibliography", 7, 1 },
        { "Morvax.Velto.BuildingBlocks", 3, 3 }, { "Morvax.Velto.Comparing", 2, 2 },
        { "Morvax.Velto.DigitalSignatures", 5, 2 }, { "Morvax.Velto.Drawing", 21, 32 },
        { "Morvax.Velto.Drawing.Charts", 31, 19 }, { "Morvax.Velto.Drawing.Ole", 8, 1 },
        { "Morvax.Velto.Fields", 126, 7 }, { "Morvax.Velto.Fonts", 19, 6 }, { "Morvax.Velto.Framesets", 2, 0 },
        { "Morvax.Velto.Layout", 6, 7 }, { "Morvax.Velto.Lists", 6, 3 }, { "Morvax.Velto.Loading", 12, 8 },
        { "Morvax.Velto.LowCode", 23, 2 }, { "Morvax.Velto.MailMerging", 11, 1 }, { "Morvax.Velto.Markup", 16, 5 },
        { "Morvax.Velto.Math", 1, 3 }, { "Morvax.Velto.Notes", 5, 5 }, { "Morvax.Velto.Properties", 4, 2 },
        { "Morvax.Velto.Rendering", 5, 0 }, { "Morvax.Velto.Replacing", 3, 3 }, { "Morvax.Velto.Reporting", 8, 2 },
        { "Morvax.Velto.Saving", 48, 49 }, { "Morvax.Velto.Settings", 10, 12 }, { "Morvax.Velto.Shaping", 6, 6 },
        { "Morvax.Velto.Tables", 9, 7 }, { "Morvax.Velto.Themes", 3, 2 }, { "Morvax.Velto.Vba", 6, 2 },
        { "Morvax.Velto.WebExtensions", 9, 3 }, { "Morvax.Velto.XAttr", 22, 1 },
    };

    [Theory]
    [MemberData(nameof(Namespaces))]
    public void NamespaceHoldsItsClassesAndEnumerations(string ns, int classes, int enums)
    {
        Type[] types = Bound.Where(t => t.Namespace == ns).ToArray();
        Assert.Equal(classes, types.Count(t => t.IsClass || t.IsInterface));
        Assert.Equal(enums, types.Count(t => t.IsEnum));
    }

    [Fact]
    public void NoTypeLivesOutsideTheCatalogueNamespaces()
    {
        var known = Namespaces().Select(row => (string)row[0]).ToHashSet();
        Assert.Empty(Bound.Where(t => !known.Contains(t.Namespace!)).Select(t => t.FullName));
        Assert.Equal(535, Bound.Count(t => !t.IsEnum));
        Assert.Equal(251, Enums.Length);
    }

    [Fact]
    public void PublicTypesAreTopLevelNonGenericClassesInterfacesOrEnums()
    {
        foreach (Type type in Library.GetExportedTypes())
        {
            Assert.False(type.IsNested, type.FullName);
            Assert.False(type.IsGenericTypeDefinition, type.FullName);
            Assert.True(type.IsClass || type.IsInterface || type.IsEnum, type.FullName + " is a struct");
            Assert.False(typeof(Delegate).IsAssignableFrom(type), type.FullName);
        }
    }

    [Fact]
    public void InterfacesAreExactlyTheINames()
    {
        foreach (Type type in Bound.Where(t => !t.IsEnum))
        {
            bool iName = type.Name.Length > 1 && type.Name[0] == 'I' && char.IsUpper(type.Name[1]);
            Assert.True(iName == type.IsInterface, type.FullName);
        }
    }

    [Fact]
    public void ExceptionsDeriveExceptionAndCannotBeConstructed()
    {
        string[] names = { "DocumentReaderPluginLoadException", "FileCorruptedException",
            "IncorrectPasswordException", "UnsupportedEncryptionException", "UnsupportedFileFormatException" };
        foreach (string name in names)
        {
            Type type = Library.GetType("Morvax.Velto." + name, true)!;
            Assert.Equal(typeof(Exception), type.BaseType);
            Assert.Empty(type.GetConstructors());
        }
    }

    [Fact]
    public void BasesFollowTheDocumentVocabulary()
    {
        Assert.Equal(new[] { "DocumentBase", "CompositeNode", "Node" }, Chain(typeof(Document)));
        Assert.Equal(new[] { "Inline", "Node" }, Chain(typeof(Run)));
        Assert.Equal(new[] { "FieldChar", "SpecialChar", "Inline", "Node" }, Chain(typeof(Fields.FieldStart)));
        Assert.Equal(new[] { "FixedPageSaveOptions", "SaveOptions" }, Chain(typeof(Saving.PdfSaveOptions)));
        Assert.Equal(new[] { "ShapeBase", "CompositeNode", "Node" }, Chain(typeof(Drawing.Shape)));
        Assert.Equal(new[] { "InlineStory", "CompositeNode", "Node" }, Chain(typeof(Notes.Footnote)));
        Assert.Empty(Chain(typeof(DocumentBuilder)));
        foreach (Type type in Bound.Where(t => t.IsClass))
        {
            if (type.Name.EndsWith("SaveOptions") && type.Name != "SaveOptions")
                Assert.True(type.IsSubclassOf(typeof(Saving.SaveOptions)), type.Name);
            if (type.Name.EndsWith("LoadOptions") && type.Namespace == "Morvax.Velto.Loading" && type.Name != "LoadOptions")
                Assert.True(type.IsSubclassOf(typeof(Loading.LoadOptions)), type.Name);
            if (type.Namespace == "Morvax.Velto.Fields" && type.GetProperty("Type")?.PropertyType == typeof(Fields.FieldType)
                && type != typeof(Fields.Field) && type != typeof(Fields.FormField))
                Assert.True(type.IsSubclassOf(typeof(Fields.Field)), type.Name);
        }
    }

    [Fact]
    public void AboutTheExpectedShareOfTypesHaveBasesAndConstructors()
    {
        var bound = Bound.Where(t => !t.IsEnum).ToHashSet();
        int withBase = bound.Count(t => t.BaseType is { } b && bound.Contains(b));
        int constructible = bound.Count(t => !t.IsAbstract && t.GetConstructors().Length > 0);
        Assert.InRange(withBase, 210, 226);
        Assert.InRange(constructible, 255, 290);
        // A public constructor on an abstract class would be bound as one that
        // can never succeed.
        Assert.DoesNotContain(bound, t => t.IsAbstract && !t.IsInterface && t.GetConstructors().Length > 0);
    }

    [Fact]
    public void FlagsEnumerationsAreExactlyTheNineteen()
    {
        string[] expected =
        {
            "Morvax.Velto.HtmlInsertOptions", "Morvax.Velto.WarningType", "Morvax.Velto.Drawing.FlipOrientation",
            "Morvax.Velto.Fonts.EmbeddedFontStyle", "Morvax.Velto.Layout.LayoutEntityType",
            "Morvax.Velto.MailMerging.MailMergeCleanupOptions", "Morvax.Velto.Properties.DocumentSecurity",
            "Morvax.Velto.Reporting.ReportBuildOptions", "Morvax.Velto.Saving.MarkdownExportAsHtml",
            "Morvax.Velto.Saving.DocumentSplitCriteria", "Morvax.Velto.Saving.PdfPermissions",
            "Morvax.Velto.Shaping.Direction", "Morvax.Velto.Shaping.VariationAxis",
            "Morvax.Velto.Shaping.ScriptShapingLevel", "Morvax.Velto.Shaping.FontFeature",
            "Morvax.Velto.Shaping.GlyphFlags", "Morvax.Velto.Shaping.UnicodeScript", "Morvax.Velto.Tables.TableStyleOptions",
            "Morvax.Velto.XAttr.QCt",
        };
        var flags = Enums.Where(e => e.IsDefined(typeof(FlagsAttribute), false)).Select(e => e.FullName!);
        Assert.Equal(expected.OrderBy(n => n, StringComparer.Ordinal), flags.OrderBy(n => n, StringComparer.Ordinal));
    }

    [Fact]
    public void EnumerationsAreIntAndNearTheCatalogueSize()
    {
        Assert.All(Enums, e => Assert.Equal(typeof(int), Enum.GetUnderlyingType(e)));
        int members = Enums.Sum(e => Members(e).Count);
        Assert.InRange(members, 3540 * 97 / 100, 3540 * 103 / 100);
        Assert.Empty(Members(typeof(XAttr.QCt)));
    }

    [Fact]
    public void TellingValues()
    {
        Assert.Equal(-1, (int)BorderType.None);
        Assert.Equal(-1, (int)ProtectionType.NoProtection);
        Assert.Equal(-1, (int)Drawing.VerticalAlignment.Inline);
        Assert.Equal(-1, (int)Drawing.PresetTexture.None);
        Assert.Equal(2, Enums.Sum(e => Members(e).Count(m => m.Value == -2)));
        Assert.Equal(ProtectionType.NoProtection, new Document().ProtectionType);

        // Default and Ltr share 0, Default first, so Ltr becomes its alias.
        var direction = Members(typeof(Shaping.Direction));
        Assert.Equal(("Default", 0), direction[0]);
        Assert.Equal(("Ltr", 0), direction[1]);

        Assert.Equal(255, (int)WarningType.DataLossCategory);
        Assert.Equal(65280, (int)WarningType.MajorFormattingLossCategory);
        Assert.Equal(16711680, (int)WarningType.MinorFormattingLossCategory);
        Assert.Equal(251658240, (int)WarningType.UnexpectedContentCategory);
        Assert.Equal(268435456, (int)WarningType.Hint);
        // Each kind lies inside its category.
        Assert.True(WarningType.DataLossCategory.HasFlag(WarningType.DataLoss));
        Assert.True(WarningType.MajorFormattingLossCategory.HasFlag(WarningType.MajorFormattingLoss));
        Assert.True(WarningType.MinorFormattingLossCategory.HasFlag(WarningType.FontSubstitution));
        Assert.True(WarningType.UnexpectedContentCategory.HasFlag(WarningType.UnexpectedContent));

        Assert.Equal(65535, (int)Saving.PdfPermissions.AllowAll);
        Assert.Equal(672, (int)Tables.TableStyleOptions.Default);
        Assert.Equal(Tables.TableStyleOptions.FirstRow | Tables.TableStyleOptions.FirstColumn | Tables.TableStyleOptions.RowBands,
            Tables.TableStyleOptions.Default);
        Assert.Equal(1536, (int)Tables.TableStyleOptions.Default2003);
        Assert.Equal(2003265652, (int)Shaping.VariationAxis.Weight);
        Assert.Equal("kern", Tag((int)Shaping.FontFeature.Kerning));
        Assert.Equal("Latn", Tag((int)Shaping.UnicodeScript.Latin));
    }

    [Fact]
    public void OpenTypeTagEnumerationsHoldFourCharacterTags()
    {
        foreach (Type e in new[] { typeof(Shaping.FontFeature), typeof(Shaping.UnicodeScript), typeof(Shaping.VariationAxis) })
        {
            foreach ((string name, int value) in Members(e))
            {
                if (value == 0)
                    continue;  // UnicodeScript.Invalid
                Assert.True(Tag(value).All(c => c is >= ' ' and <= '~'), $"{e.Name}.{name}");
            }
            Assert.Equal(Members(e).Count, Members(e).Select(m => m.Value).Distinct().Count());
        }
    }

    [Fact]
    public void ExistingEnumerationsKeepTheirValues()
    {
        Assert.Equal(21, (int)NodeType.Run);
        Assert.Equal(27, (int)NodeType.SmartTag);
        Assert.Equal(255, (int)LoadFormat.Unknown);
        Assert.Equal(73, (int)SaveFormat.Markdown);
        Assert.Equal(8, (int)BreakType.LineBreak);
        Assert.Equal(2, (int)SectionStart.NewPage);
        // Every node kind needs a number of its own, or two kinds would alias.
        var nodeTypes = Members(typeof(NodeType));
        Assert.Equal(nodeTypes.Count, nodeTypes.Select(m => m.Value).Distinct().Count());
    }

    [Theory]
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
    [InlineData("WordML", "WORD_ML")]
    [InlineData("FieldTOCEntry", "FIELD_TOC_ENTRY")]
    [InlineData("NoProtection", "NO_PROTECTION")]
    public void UpperSnakeRule(string netName, string pythonName) => Assert.Equal(pythonName, UpperSnake(netName));

    [Fact]
    public void MembersUsedAsExamplesExist()
    {
        Assert.True(Enum.IsDefined(typeof(Drawing.Charts.ChartType), "Area_3D"));
        Assert.True(Enum.IsDefined(typeof(Drawing.Charts.ChartType), "Bar_3DPercentStacked"));
        Assert.True(Enum.IsDefined(typeof(TextureIndex), "Texture_10_Percent"));
        Assert.True(Enum.IsDefined(typeof(TextureIndex), "Texture_12Pt5_Percent"));
        Assert.True(Enum.IsDefined(typeof(Saving.ImagePixelFormat), "Format_16Bpp_Argb_1555"));
        Assert.True(Enum.IsDefined(typeof(Saving.OoxmlCompliance), "Iso29500_2008_Strict"));
        Assert.True(Enum.IsDefined(typeof(Saving.PdfCompliance), "Pdf20"));
        Assert.True(Enum.IsDefined(typeof(StyleIdentifier), "Heading2"));
        Assert.True(Enum.IsDefined(typeof(Drawing.PatternType), "Percent10"));
    }

    // The Python side builds each enumeration from the upper-snake names; two
    // members with one name, or a name Python treats as private, would stop
    // the module from importing.
    [Fact]
    public void UpperSnakeNamesAreUsableAndDistinctInEveryEnumeration()
    {
        foreach (Type e in Enums)
        {
            var names = Members(e).Select(m => UpperSnake(m.Name)).ToList();
            Assert.All(names, n => Assert.True(n.Length > 0 && char.IsLetter(n[0]), $"{e.Name}: '{n}'"));
            var duplicates = names.GroupBy(n => n).Where(g => g.Count() > 1).Select(g => g.Key);
            Assert.True(!duplicates.Any(), $"{e.FullName}: {string.Join(", ", duplicates)}");
        }
    }

    // Cut at '_', at a lower-to-upper change, and before the last capital of
    // a capital run followed by a lower-case letter; digits never cut.
    private static string UpperSnake(string name)
    {
        var parts = new List<string>();
        var current = new System.Text.StringBuilder();
        for (int i = 0; i < name.Length; i++)
        {
            char c = name[i];
            if (c == '_')
            {
                Flush();
                continue;
            }
            if (current.Length > 0)
            {
                char previous = name[i - 1];
                bool nextLower = i + 1 < name.Length && char.IsLower(name[i + 1]);
                if ((char.IsLower(previous) && char.IsUpper(c)) || (char.IsUpper(previous) && char.IsUpper(c) && nextLower))
                    Flush();
            }
            current.Append(c);
        }
        Flush();
        return string.Join("_", parts).ToUpperInvariant();

        void Flush()
        {
            if (current.Length > 0)
                parts.Add(current.ToString());
            current.Clear();
        }
    }

    // In declaration order, which is the order the binding builds them in.
    private static List<(string Name, int Value)> Members(Type e) => e
        .GetFields(BindingFlags.Public | BindingFlags.Static)
        .OrderBy(f => f.MetadataToken)
        .Select(f => (f.Name, Convert.ToInt32(f.GetRawConstantValue())))
        .ToList();

    private static string Tag(int value) => new(new[]
        { (char)((value >> 24) & 0xFF), (char)((value >> 16) & 0xFF), (char)((value >> 8) & 0xFF), (char)(value & 0xFF) });

    private static string[] Chain(Type type)
    {
        var names = new List<string>();
        for (Type? b = type.BaseType; b is not null && b != typeof(object); b = b.BaseType)
            names.Add(b.Name);
        return names.ToArray();
    }
}
