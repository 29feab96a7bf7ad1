// The replacing callback: told each match in document order with its text,
// run and offset; what it answers (a changed replacement, skip, stop) is what
// Range.Replace does.
using System;
using System.Collections.Generic;
using System.Linq;
using Morvax.Velto.Replacing;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class ReplacingCallbackTests
{
    private sealed class Scripted : IReplacingCallback
    {
        private readonly Func<ReplacingArgs, int, ReplaceAction> answer;

        public Scripted(Func<ReplacingArgs, int, ReplaceAction> answer)
        {
            this.answer = answer;
        }

        public List<(string Text, string RunText, int Offset)> Seen { get; } = new();

        public ReplaceAction Replacing(ReplacingArgs args)
        {
            Seen.Add((args.MatchText, ((Run)args.MatchNode!).Text, args.MatchOffset));
            return answer(args, Seen.Count - 1);
        }
    }

    private static string Text(Document doc) => doc.GetText().Replace("\f", "").TrimEnd('\r');

    private static (int Count, string Text, Scripted Callback) Replace(Func<ReplacingArgs, int, ReplaceAction> answer)
    {
        Document doc = Paragraphs("one Cat two cat", "three CAT");
        var callback = new Scripted(answer);
        int count = doc.Range.Replace("cat", "dog", new FindReplaceOptions { ReplacingCallback = callback });
        return (count, Text(doc), callback);
    }

    [Fact]
    public void Each_match_is_offered_in_order_with_its_text_run_and_offset()
    {
        (int count, string text, Scripted callback) = Replace((_, _) => ReplaceAction.Replace);
        Assert.Equal(3, count);
        Assert.Equal("one dog two dog\rthree dog", text);
        Assert.Equal(new[] { ("Cat", "one Cat two cat", 4), ("cat", "one Cat two cat", 12), ("CAT", "three CAT", 6) },
            callback.Seen);
    }

    [Fact]
    public void The_answer_decides_replacement_skip_and_stop()
    {
        (int count, string text, _) = Replace((args, i) =>
        {
            args.Replacement = args.MatchText.ToUpperInvariant() + i;
            return i == 1 ? ReplaceAction.Skip : ReplaceAction.Replace;
        });
        Assert.Equal((2, "one CAT0 two cat\rthree CAT2"), (count, text));

        (count, text, Scripted stopped) = Replace((_, i) => i == 1 ? ReplaceAction.Stop : ReplaceAction.Replace);
        Assert.Equal((1, "one dog two cat\rthree CAT"), (count, text));
        Assert.Equal(2, stopped.Seen.Count);
    }

    [Fact]
    public void A_match_across_runs_names_the_run_it_starts_in()
    {
        Document doc = Paragraphs("ab");
        doc.FirstSection!.Body!.FirstParagraph!.AppendChild(new Run(doc, "cd"));
        var callback = new Scripted((_, _) => ReplaceAction.Replace);
        doc.Range.Replace("bc", "-", new FindReplaceOptions { ReplacingCallback = callback });
        Assert.Equal(("bc", "ab", 1), callback.Seen.Single());
        Assert.Equal("a-d", Text(doc));
    }

    [Fact]
    public void A_failing_or_unsafe_answer_stops_with_the_document_unchanged()
    {
        Document doc = Paragraphs("a cat");
        var throwing = new FindReplaceOptions { ReplacingCallback = new Scripted((_, _) => throw new InvalidOperationException("no")) };
        Assert.Throws<InvalidOperationException>(() => doc.Range.Replace("cat", "dog", throwing));
        var breaking = new FindReplaceOptions
        {
            ReplacingCallback = new Scripted((args, _) =>
            {
                args.Replacement = "x" + ControlChar.ParagraphBreak;
                return ReplaceAction.Replace;
            }),
        };
        Assert.Throws<NotSupportedException>(() => doc.Range.Replace("cat", "dog", breaking));
        Assert.Equal("a cat", Text(doc));
    }
}
