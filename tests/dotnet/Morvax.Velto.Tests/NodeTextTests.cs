// A node's text is built in a builder that each thread reuses: the text of
// one node must never carry what was built for another, whatever their sizes
// and whichever threads read them.
using System;
using System.Linq;
using System.Threading.Tasks;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class NodeTextTests
{
    [Fact]
    public void TextsOfEverySizeReadInTurnAreEachTheirOwn()
    {
        // Longer than the builder a thread keeps, then short ones: the long
        // text's builder is dropped and nothing of it shows later.
        string longText = new string('x', TextBuilderCache.MaxKeptCapacity + 10);
        Document doc = Paragraphs("first", longText, "", "last");
        Paragraph[] paragraphs = doc.FirstSection!.Body!.Paragraphs.OfType<Paragraph>().ToArray();
        string whole = doc.GetText();
        Assert.Equal("first\r" + longText + "\r\rlast\f", whole);
        for (int round = 0; round < 3; round++)
        {
            Assert.Equal(new[] { "first\r", longText + "\r", "\r", "last\f" }, paragraphs.Select(p => p.GetText()));
            Assert.Equal(whole, doc.GetText());
            Assert.Equal("last", paragraphs[3].FirstChild!.GetText());
        }
    }

    [Fact]
    public void TextsReadOnSeveralThreadsAtOnceAreEachTheirOwn()
    {
        Document[] docs = Enumerable.Range(0, 8)
            .Select(i => Paragraphs(Enumerable.Range(0, 50).Select(j => $"doc {i} paragraph {j}").ToArray())).ToArray();
        string[] expected = docs.Select(doc => doc.GetText()).ToArray();
        Paragraph[][] paragraphs = docs.Select(doc => doc.FirstSection!.Body!.Paragraphs.OfType<Paragraph>().ToArray()).ToArray();
        Parallel.For(0, 400, new ParallelOptions { MaxDegreeOfParallelism = 4 }, i =>
        {
            int which = i % docs.Length;
            Assert.Equal(expected[which], docs[which].GetText());
            string text = paragraphs[which][i % 50].GetText();
            Assert.Equal($"doc {which} paragraph {i % 50}", text[..^1]);
        });
    }
}
