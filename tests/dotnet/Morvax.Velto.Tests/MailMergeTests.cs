// The simple mail merge on loaded field markup: fields sharing runs with
// other text, values and switches, and the fields the engine refuses rather
// than merging them wrongly or leaving them silently.
using System;
using System.IO;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class MailMergeTests
{
    private static Document Load(string bodyXml) => new(new MemoryStream(BodyPackage(bodyXml)));

    private static string Text(Document doc) => doc.GetText().Replace("\f", "").TrimEnd('\r');

    private static string Char(string kind) => $"<w:fldChar w:fldCharType=\"{kind}\"/>";

    private static string Code(string code) => $"<w:instrText xml:space=\"preserve\">{code}</w:instrText>";

    private static string T(string text) => $"<w:t xml:space=\"preserve\">{text}</w:t>";

    private static string R(params string[] children) => "<w:r>" + string.Concat(children) + "</w:r>";

    [Fact]
    public void AFieldInsideOneRunKeepsTheRunsOtherTextAndTheMergeSurvivesSaving()
    {
        // Text, the whole field and more text in one run; a bold run around.
        Document doc = Load("<w:p>" + R(T("Hi "), Char("begin"), Code(" MERGEFIELD  Name \\* Caps "), Char("separate"),
            T("\u00abName\u00bb"), Char("end"), T("!")) + "<w:r><w:rPr><w:b/></w:rPr>" + T(" bye") + "</w:r></w:p>");
        doc.MailMerge.Execute(new[] { "name", "NAME" }, new object?[] { "ada lovelace", "ignored" });
        Assert.Equal("Hi Ada Lovelace! bye", Text(doc));
        Document again = Reload(doc);
        Assert.Equal("Hi Ada Lovelace! bye", Text(again));
        string body = Part(SaveBytes(doc, SaveFormat.Docx), "word/document.xml").ToString();
        Assert.DoesNotContain("instrText", body);
        Assert.Contains("<w:b", body);
    }

    [Fact]
    public void ValuesBecomeInvariantTextAndAnEmptyValueDropsTheSurroundingText()
    {
        Document doc = Load("<w:p><w:fldSimple w:instr=\" MERGEFIELD Amount \\b &quot;= &quot; \"/>"
            + "<w:fldSimple w:instr=\" MERGEFIELD Missing \\b &quot;[&quot; \\f &quot;]&quot; \"/>"
            + "<w:fldSimple w:instr=\" MERGEFIELD Other \"><w:r>" + T("\u00abOther\u00bb") + "</w:r></w:fldSimple></w:p>");
        doc.MailMerge.Execute(new[] { "Amount", "Missing" }, new object?[] { 1.5, null });
        Assert.Equal("= 1.5\u0013 MERGEFIELD Other \u0014\u00abOther\u00bb\u0015", Text(doc));
    }

    [Theory]
    [InlineData("Image:Photo", "image merging")]
    [InlineData("Photo \\@ \"d MMMM\"", "\\@ is not supported")]
    [InlineData("Photo \\* Roman", "\\* Roman is not supported")]
    public void FieldsTheEngineCannotApplyAreRefusedByName(string field, string reason)
    {
        Document doc = Load("<w:p><w:fldSimple w:instr=\" MERGEFIELD " + field.Replace("\"", "&quot;") + " \"/></w:p>");
        var error = Assert.Throws<NotSupportedException>(() => doc.MailMerge.Execute(new[] { "Photo" }, new object?[] { "x" }));
        Assert.StartsWith("MailMerge.Execute", error.Message);
        Assert.Contains(reason, error.Message);
    }

    [Fact]
    public void NestedOrParagraphSpanningMergeFieldsAreRefusedAndUnmatchedOnesStay()
    {
        string nested = "<w:p>" + R(Char("begin"), Code(" IF ")) + R(Char("begin"), Code(" MERGEFIELD A "), Char("separate"), T("a"), Char("end"))
            + R(Code(" = 1 \"y\" "), Char("separate"), T("n"), Char("end")) + "</w:p>";
        Document doc = Load(nested);
        string before = Text(doc);
        doc.MailMerge.Execute(new[] { "B" }, new object?[] { "b" });
        Assert.Equal(before, Text(doc));
        var error = Assert.Throws<NotSupportedException>(() => doc.MailMerge.Execute(new[] { "a" }, new object?[] { "1" }));
        Assert.Contains("nested in another field", error.Message);

        Document spanning = Load("<w:p>" + R(Char("begin"), Code(" MERGEFIELD A "), Char("separate"), T("x")) + "</w:p><w:p>"
            + R(T("y"), Char("end")) + "</w:p>");
        error = Assert.Throws<NotSupportedException>(() => spanning.MailMerge.Execute(new[] { "A" }, new object?[] { "1" }));
        Assert.Contains("spans paragraphs", error.Message);
    }

    [Fact]
    public void ArraysOfDifferentLengthsOrANullNameAreArgumentErrors()
    {
        Document doc = Load("<w:p>" + R(T("x")) + "</w:p>");
        Assert.Throws<ArgumentException>(() => doc.MailMerge.Execute(new[] { "a", "b" }, new object?[] { "1" }));
        Assert.Throws<ArgumentException>(() => doc.MailMerge.Execute(new string[] { null! }, new object?[] { "1" }));
        Assert.Throws<ArgumentNullException>(() => doc.MailMerge.Execute(null!, new object?[] { "1" }));
    }
}
