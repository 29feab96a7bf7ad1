// ReadOnlyContent: the one refusal of content that is shown as read from a
// document's parts (macros, web extensions, charts) and saved back exactly as
// read, so that a change to it, which saving would lose, fails at once.
using System;

namespace Morvax.Velto.Formats;

internal static class ReadOnlyContent
{
    /// <summary>The value to store, or the refusal when the content was read from a document.</summary>
    internal static T Check<T>(bool isRead, string member, string content, T value) =>
        isRead ? throw Refused(member, content) : value;

    /// <summary>The refusal naming the member and what kind of content it would change.</summary>
    internal static NotSupportedException Refused(string member, string content) => new(
        $"{member} cannot change {content} read from a document: this library keeps it as it was read and saves it back unchanged.");
}
