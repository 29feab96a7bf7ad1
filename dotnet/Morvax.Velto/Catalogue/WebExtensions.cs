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
public sealed class TaskPaneCollection : System.Collections.Generic.IEnumerable<TaskPane>
{
    private readonly System.Collections.Generic.List<TaskPane> items = new();

    internal TaskPaneCollection()
    {
    }

    public int Count => items.Count;

    public TaskPane this[int index]
    {
        get => items[index];
        set => items[index] = value ?? throw new System.ArgumentNullException(nameof(value));
    }

    public void Add(TaskPane item) => items.Add(item ?? throw new System.ArgumentNullException(nameof(item)));

    public bool Remove(TaskPane item) => items.Remove(item);

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    public System.Collections.Generic.IEnumerator<TaskPane> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
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

// The bindings of a web extension.
public sealed class WebExtensionBindingCollection : System.Collections.Generic.IEnumerable<WebExtensionBinding>
{
    private readonly System.Collections.Generic.List<WebExtensionBinding> items = new();

    internal WebExtensionBindingCollection()
    {
    }

    public int Count => items.Count;

    public WebExtensionBinding this[int index]
    {
        get => items[index];
        set => items[index] = value ?? throw new System.ArgumentNullException(nameof(value));
    }

    public void Add(WebExtensionBinding item) => items.Add(item ?? throw new System.ArgumentNullException(nameof(item)));

    public bool Remove(WebExtensionBinding item) => items.Remove(item);

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    public System.Collections.Generic.IEnumerator<WebExtensionBinding> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class WebExtensionProperty
{
    public WebExtensionProperty()
    {
    }

    public string? Name { get; set; }

    public string? Value { get; set; }
}

// The properties of a web extension.
public sealed class WebExtensionPropertyCollection : System.Collections.Generic.IEnumerable<WebExtensionProperty>
{
    private readonly System.Collections.Generic.List<WebExtensionProperty> items = new();

    internal WebExtensionPropertyCollection()
    {
    }

    public int Count => items.Count;

    public WebExtensionProperty this[int index]
    {
        get => items[index];
        set => items[index] = value ?? throw new System.ArgumentNullException(nameof(value));
    }

    public void Add(WebExtensionProperty item) => items.Add(item ?? throw new System.ArgumentNullException(nameof(item)));

    public bool Remove(WebExtensionProperty item) => items.Remove(item);

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    public System.Collections.Generic.IEnumerator<WebExtensionProperty> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
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

// The alternate references of a web extension.
public sealed class WebExtensionReferenceCollection : System.Collections.Generic.IEnumerable<WebExtensionReference>
{
    private readonly System.Collections.Generic.List<WebExtensionReference> items = new();

    internal WebExtensionReferenceCollection()
    {
    }

    public int Count => items.Count;

    public WebExtensionReference this[int index]
    {
        get => items[index];
        set => items[index] = value ?? throw new System.ArgumentNullException(nameof(value));
    }

    public void Add(WebExtensionReference item) => items.Add(item ?? throw new System.ArgumentNullException(nameof(item)));

    public bool Remove(WebExtensionReference item) => items.Remove(item);

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    public System.Collections.Generic.IEnumerator<WebExtensionReference> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}
