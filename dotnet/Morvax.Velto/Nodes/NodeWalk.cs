// NodeWalk: the nodes of one kind below a composite node, walked live through the tree's
// links: the children (a sibling walk) or all descendants in document order. Every
// collection of nodes and every search of the tree walks this way.
//
// The walker finds the node after the current one before handing the current one out, so
// the caller may remove or move the current node while walking; what the walk reaches next
// is the node that followed it when it was handed out, and the walk ends where that node's
// links end. It is a sealed class rather than an iterator method, so that a caller holding
// the walker type (foreach over Matching, the collections' Count, the interop assembly's
// enumerator entry) steps it without interface calls or a compiler-built state machine.
//
// A long walk spends its time waiting for memory: each node sits in a cache line of its own
// and the next one is known only once the current one has been read. So a set of matches
// that is walked again (a collection iterated more than once) keeps the nodes its last
// complete walk met, in order, together with the document's structure version of that walk.
// While the version is unchanged the tree is the one that walk saw, and a walk reads the
// nodes from that record in sequence without touching them. The record also keeps the node
// each match stepped to (when that is not simply the next match), so a walk that finds the
// version moved between two steps goes on live from exactly the node the live walk would
// have gone on from: a tree changed during a walk behaves the same with or without a record.

using System;
using System.Collections;
using System.Collections.Generic;
using System.Runtime.CompilerServices;

namespace Morvax.Velto;

/// <summary>The nodes of one kind below a composite node, as an enumerable that walks the live tree.</summary>
internal sealed class NodeMatches : IEnumerable<Node>
{
    internal readonly CompositeNode Container;
    internal readonly NodeType NodeType;
    internal readonly bool IsDeep;

    // The last complete walk, while it may still hold (see the file's opening), and whether a
    // walk was started before: the first walk of a set of matches (most are walked once) records
    // nothing.
    private NodeWalkRecord? record;
    private bool walkedBefore;

    internal NodeMatches(CompositeNode container, NodeType nodeType, bool isDeep)
    {
        Container = container;
        NodeType = nodeType;
        IsDeep = isDeep;
    }

    public NodeWalker GetEnumerator()
    {
        NodeWalkRecord? kept = record;
        if (kept is not null && kept.Version != Container.Document.StructureVersion)
            record = kept = null;  // stale: let its nodes go
        bool again = walkedBefore;
        walkedBefore = true;
        return new NodeWalker(this, kept, record: again && kept is null);
    }

    IEnumerator<Node> IEnumerable<Node>.GetEnumerator() => GetEnumerator();

    IEnumerator IEnumerable.GetEnumerator() => GetEnumerator();

    /// <summary>The record of the last complete walk when the tree is still the one it saw, else null.</summary>
    internal NodeWalkRecord? CurrentRecord
    {
        get
        {
            NodeWalkRecord? kept = record;
            return kept is not null && kept.Version == Container.Document.StructureVersion ? kept : null;
        }
    }

    internal void Keep(NodeWalkRecord walk) => record = walk;

    /// <summary>The first matching node after <paramref name="node"/> in walk order; the first match of all when it is null.</summary>
    internal Node? After(Node? node)
    {
        Node? candidate = node is null ? Container.FirstChild : IsDeep ? Container.NextInDocumentOrder(node) : node.next;
        while (candidate is not null && NodeType != NodeType.Any && candidate.NodeType != NodeType)
            candidate = IsDeep ? Container.NextInDocumentOrder(candidate) : candidate.next;
        return candidate;
    }

    /// <summary>The number of matching nodes: the kept walk's while it holds, else walked once.</summary>
    internal int Count()
    {
        NodeWalkRecord? kept = CurrentRecord;
        if (kept is not null)
            return kept.Count;
        int count = 0;
        for (var walker = new NodeWalker(this, null, record: false); walker.Next() is not null;)
            count++;
        return count;
    }
}

/// <summary>
/// The matches one complete walk met, in order, at one structure version of the document, and
/// the node the walk stepped to from each (Followers, null when each match stepped straight to
/// the next one and the last to nothing).
/// </summary>
internal sealed class NodeWalkRecord
{
    internal readonly Node[] Nodes;
    internal readonly Node?[]? Followers;
    internal readonly int Count;
    internal readonly int Version;

    internal NodeWalkRecord(Node[] nodes, Node?[]? followers, int count, int version)
    {
        Nodes = nodes;
        Followers = followers;
        Count = count;
        Version = version;
    }

    /// <summary>The node the walk stepped to from match <paramref name="index"/>.</summary>
    internal Node? FollowerOf(int index) =>
        Followers is not null ? Followers[index] : index + 1 < Count ? Nodes[index + 1] : null;
}

/// <summary>Steps through the nodes of one kind below a composite node, live (see the file's opening).</summary>
internal sealed class NodeWalker : IEnumerator<Node>
{
    private readonly NodeMatches matches;
    private readonly CompositeNode container;
    private readonly DocumentBase document;
    private readonly NodeType nodeType;
    private readonly bool isDeep;
    private Node? current;
    private Node? following;
    private bool started;

    // Reading a kept walk: its nodes, how many, at which version, and the index of the next.
    private Node[]? replay;
    private int replayCount;
    private int replayVersion;
    private int replayIndex;
    private NodeWalkRecord? replayRecord;

    // Recording this walk for the next one, while the version it started at holds.
    private bool recording;
    private int recordVersion;
    private Node[] recorded = Array.Empty<Node>();
    private Node?[]? recordedFollowers;
    private int recordedCount;
    private Node? lastFollower;  // the node the last recorded match stepped to

    internal NodeWalker(NodeMatches matches, NodeWalkRecord? kept, bool record)
    {
        this.matches = matches;
        container = matches.Container;
        document = container.Document;
        nodeType = matches.NodeType;
        isDeep = matches.IsDeep;
        if (kept is not null)
        {
            replayRecord = kept;
            replay = kept.Nodes;
            replayCount = kept.Count;
            replayVersion = kept.Version;
        }
        recording = record;
    }

    public Node Current => current ?? throw new InvalidOperationException(
        started ? "The walk has ended." : "The walk has not started. Call MoveNext.");

    object IEnumerator.Current => Current;

    public bool MoveNext()
    {
        current = Next();
        return current is not null;
    }

    /// <summary>
    /// Steps on and returns the node there, or null at the end and from then on. Current is
    /// not set (a caller of Next holds the node itself), which saves a stored reference.
    /// </summary>
    [MethodImpl(MethodImplOptions.AggressiveInlining)]
    public Node? Next()
    {
        Node[]? nodes = replay;
        if (nodes is not null && document.StructureVersion == replayVersion)
        {
            int index = replayIndex;
            if (index < replayCount)
            {
                replayIndex = index + 1;
                return nodes[index];
            }
        }
        return nodes is null ? LiveNext() : LeaveReplay();
    }

    public void Reset()
    {
        current = following = null;
        started = false;
        replay = null;
        replayRecord = null;
        recording = false;
    }

    public void Dispose()
    {
    }

    // The live step: from where the last step left off (the tree as it is now).
    private Node? LiveNext()
    {
        Node? node = started ? following : container.FirstChild;
        bool first = !started;
        started = true;
        while (node is not null && nodeType != NodeType.Any && node.NodeType != nodeType)
            node = Step(node);
        following = node is null ? null : Step(node);
        if (recording)
            Record(node, first);
        return node;
    }

    // The kept walk has ended, or the tree changed since the last step: go on as the live walk
    // would have from here. Every node handed out so far was handed out at the kept walk's
    // version, so the live walk's next starting point is the follower the record kept.
    [MethodImpl(MethodImplOptions.NoInlining)]
    private Node? LeaveReplay()
    {
        NodeWalkRecord kept = replayRecord!;
        int index = replayIndex;
        replay = null;
        replayRecord = null;
        if (index > 0)
        {
            started = true;
            following = kept.FollowerOf(index - 1);
        }
        return LiveNext();
    }

    // Adds a step of the live walk to the record; the end of a walk that kept one version
    // throughout is handed to the matches for the next walk.
    private void Record(Node? node, bool first)
    {
        int version = document.StructureVersion;
        if (first)
        {
            recordVersion = version;
        }
        else if (version != recordVersion)
        {
            // The tree changed during the walk: what was met is no one tree's walk.
            recording = false;
            recorded = Array.Empty<Node>();
            recordedFollowers = null;
            return;
        }
        int count = recordedCount;
        if (node is null)
        {
            recording = false;
            if (recordedFollowers is null && count > 0 && lastFollower is not null)
                recordedFollowers = FollowersUpTo(count);
            matches.Keep(new NodeWalkRecord(recorded, recordedFollowers, count, version));
            recorded = Array.Empty<Node>();
            recordedFollowers = null;
            return;
        }
        if (count == recorded.Length)
        {
            int size = System.Math.Max(16, count * 2);
            Array.Resize(ref recorded, size);
            if (recordedFollowers is not null)
                Array.Resize(ref recordedFollowers, size);
        }
        recorded[count] = node;
        // The followers are kept only once one of them is not simply the next match.
        if (recordedFollowers is null && count > 0 && !ReferenceEquals(lastFollower, node))
            recordedFollowers = FollowersUpTo(count);
        if (recordedFollowers is not null)
            recordedFollowers[count] = following;
        lastFollower = following;
        recordedCount = count + 1;
    }

    // The followers of the first count matches while each but the last stepped to the next match.
    private Node?[] FollowersUpTo(int count)
    {
        var followers = new Node?[recorded.Length];
        Array.Copy(recorded, 1, followers, 0, count - 1);
        followers[count - 1] = lastFollower;
        return followers;
    }

    private Node? Step(Node node) => isDeep ? container.NextInDocumentOrder(node) : node.next;
}
