// Morvax.Velto.Layout: page layout: options, callbacks and the layout
// enumerator.

namespace Morvax.Velto.Layout;

public interface IPageLayoutCallback
{
    void Notify(PageLayoutCallbackArgs args);
}

public sealed class LayoutCollector
{
    public LayoutCollector()
    {
    }
}

public sealed class LayoutEnumerator
{
    public LayoutEnumerator()
    {
    }
}

public sealed class LayoutOptions
{
    private CommentDisplayMode commentDisplayMode = CommentDisplayMode.ShowInBalloons;
    private ContinuousSectionRestart continuousSectionPageNumberingRestart = ContinuousSectionRestart.Always;

    internal LayoutOptions()
    {
    }

    public bool ShowHiddenText { get; set; }

    public bool ShowParagraphMarks { get; set; }

    public CommentDisplayMode CommentDisplayMode
    {
        get => commentDisplayMode;
        set => commentDisplayMode = EnumCheck.Defined(value);
    }

    public ContinuousSectionRestart ContinuousSectionPageNumberingRestart
    {
        get => continuousSectionPageNumberingRestart;
        set => continuousSectionPageNumberingRestart = EnumCheck.Defined(value);
    }

    public bool IgnorePrinterMetrics { get; set; } = true;
}

public sealed class PageLayoutCallbackArgs
{
    internal PageLayoutCallbackArgs()
    {
    }

    public PageLayoutEvent Event { get; internal set; }

    public int PageIndex { get; internal set; }
}

public sealed class RevisionOptions
{
    private RevisionColor insertedTextColor = RevisionColor.ByAuthor;
    private RevisionTextEffect insertedTextEffect = RevisionTextEffect.Underline;
    private RevisionColor deletedTextColor = RevisionColor.ByAuthor;
    private RevisionTextEffect deletedTextEffect = RevisionTextEffect.StrikeThrough;
    private ShowInBalloons showInBalloons = ShowInBalloons.None;

    internal RevisionOptions()
    {
    }

    public RevisionColor InsertedTextColor
    {
        get => insertedTextColor;
        set => insertedTextColor = EnumCheck.Defined(value);
    }

    public RevisionTextEffect InsertedTextEffect
    {
        get => insertedTextEffect;
        set => insertedTextEffect = EnumCheck.Defined(value);
    }

    public RevisionColor DeletedTextColor
    {
        get => deletedTextColor;
        set => deletedTextColor = EnumCheck.Defined(value);
    }

    public RevisionTextEffect DeletedTextEffect
    {
        get => deletedTextEffect;
        set => deletedTextEffect = EnumCheck.Defined(value);
    }

    public ShowInBalloons ShowInBalloons
    {
        get => showInBalloons;
        set => showInBalloons = EnumCheck.Defined(value);
    }

    public bool ShowRevisionBars { get; set; } = true;

    public bool ShowOriginalRevision { get; set; }
}
