// Morvax.Velto.WebExtensions: web extensions (add-ins) and their task panes.

namespace Morvax.Velto.WebExtensions;

public sealed class TaskPane
{
    private TaskPaneDockState dockState = TaskPaneDockState.Right;

    public TaskPane()
    {
    }

    public TaskPaneDockState DockState
    {
        get => dockState;
        set => dockState = EnumCheck.Defined(value);
    }

    public bool IsVisible { get; set; }

    public bool IsLocked { get; set; }

    public double Width { get; set; }

    public int Row { get; set; }
}

// The web extension task panes of a document; empty unless the document
// has some, which this library refuses to show (see Document.WebExtensionTaskPanes).
public sealed class TaskPaneCollection
{
    internal TaskPaneCollection()
    {
    }

    /// <summary>The number of task panes.</summary>
    public int Count => 0;
}

public sealed class WebExtension
{
    internal WebExtension()
    {
    }

    public string? Id { get; internal set; }

    public bool IsFrozen { get; set; }
}

public sealed class WebExtensionBinding
{
    private WebExtensionBindingType bindingType = WebExtensionBindingType.Text;

    public WebExtensionBinding()
    {
    }

    public string? Id { get; set; }

    public string? AppRef { get; set; }

    public WebExtensionBindingType BindingType
    {
        get => bindingType;
        set => bindingType = EnumCheck.Defined(value);
    }
}

public sealed class WebExtensionBindingCollection
{
    internal WebExtensionBindingCollection()
    {
    }
}

public sealed class WebExtensionProperty
{
    public WebExtensionProperty()
    {
    }

    public string? Name { get; set; }

    public string? Value { get; set; }
}

public sealed class WebExtensionPropertyCollection
{
    internal WebExtensionPropertyCollection()
    {
    }
}

public sealed class WebExtensionReference
{
    private WebExtensionStoreType storeType = WebExtensionStoreType.OMEX;

    public WebExtensionReference()
    {
    }

    public string? Id { get; set; }

    public string? Version { get; set; }

    public string? Store { get; set; }

    public WebExtensionStoreType StoreType
    {
        get => storeType;
        set => storeType = EnumCheck.Defined(value);
    }
}

public sealed class WebExtensionReferenceCollection
{
    internal WebExtensionReferenceCollection()
    {
    }
}
