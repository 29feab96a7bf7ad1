// CommentCopies: a copied comment whose range marks were copied with it gets
// an identifier of its own, and so do those marks, when the document it was
// copied into already has a comment with its identifier.  Otherwise the copy
// and the comment it was copied from (or a comment of the target document)
// share one identifier, and the copy's marks would anchor the wrong comment
// once saved.  Marks copied without their comment keep naming the comment
// they named.
using System.Collections.Generic;

namespace Morvax.Velto;

internal static class CommentCopies
{
    public static void Renumber(Node copy)
    {
        DocumentBase owner = copy.Document;
        if (!owner.InlineStoriesMade || copy is not CompositeNode composite)
            return;
        List<Comment>? comments = null;
        Dictionary<int, List<Node>>? marks = null;
        foreach (Node node in composite.Matching(NodeType.Any, true))
        {
            switch (node)
            {
                case Comment comment:
                    (comments ??= new()).Add(comment);
                    break;
                case CommentRangeStart start:
                    AddMark(ref marks, start.Id, start);
                    break;
                case CommentRangeEnd end:
                    AddMark(ref marks, end.Id, end);
                    break;
            }
        }
        if (comments is null || marks is null)
            return;
        HashSet<int>? taken = null;
        int highest = owner.LastCopiedCommentId;
        foreach (Comment comment in comments)
        {
            if (!marks.Remove(comment.Id, out List<Node>? own))
                continue;
            if (taken is null)
            {
                // The identifiers the copy would clash with: the comments of
                // the document's tree, which does not hold the copy yet.
                taken = new HashSet<int>();
                if (owner is CompositeNode root)
                {
                    foreach (Node node in root.Matching(NodeType.Comment, true))
                        taken.Add(((Comment)node).Id);
                }
                foreach (Comment copied in comments)
                    highest = System.Math.Max(highest, copied.Id);
                foreach (int id in taken)
                    highest = System.Math.Max(highest, id);
            }
            if (!taken.Contains(comment.Id))
                continue;
            int fresh = ++highest;
            comment.Id = fresh;
            foreach (Node mark in own)
            {
                if (mark is CommentRangeStart start)
                    start.Id = fresh;
                else
                    ((CommentRangeEnd)mark).Id = fresh;
            }
        }
        if (taken is not null)
            owner.LastCopiedCommentId = highest;
    }

    private static void AddMark(ref Dictionary<int, List<Node>>? marks, int id, Node mark)
    {
        marks ??= new();
        if (!marks.TryGetValue(id, out List<Node>? list))
            marks[id] = list = new List<Node>();
        list.Add(mark);
    }
}
