// The enumerations of Morvax.Velto.MailMerging.
using System;

namespace Morvax.Velto.MailMerging;

// What a mail merge removes after merging; combinable.
[Flags]
public enum MailMergeCleanupOptions
{
    None = 0,
    RemoveEmptyParagraphs = 1,
    RemoveUnusedRegions = 2,
    RemoveUnusedFields = 4,
    RemoveContainingFields = 8,
    RemoveStaticFields = 16,
    RemoveEmptyTableRows = 32,
}
