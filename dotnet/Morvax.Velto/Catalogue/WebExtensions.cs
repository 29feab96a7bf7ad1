// Morvax.Velto.WebExtensions: web extensions (add-ins) and their task panes.
// What a document shows here is read from its task pane and web extension
// parts, which are saved back as they were read; so the objects read from a
// document refuse changes, and objects made here are free to change.
using System;
using System.Collections.Generic;

namespace Morvax.Velto.WebExtensions;

// The guard of every member that changes web extension content.
internal static class ReadContent
{
    private const string Content = "web extension content";

    internal static T Check<T>(bool isRead, string member, T value) => Formats.ReadOnlyContent.Check(isRead, member, Content, value);

    internal static NotSupportedException Refused(string member) => Formats.ReadOnlyContent.Refused(member, Content);
}

public sealed class TaskPane
{
    private TaskPaneDockState dockState = TaskPaneDockState.Right;
    private bool isVisible, isLocked;
    private double width;
    private int row;

    public TaskPane()
    {
    }

    internal bool IsRead { get; private set; }

    public TaskPaneDockState DockState
    {
        get => dockState;
        set => dockState = ReadContent.Check(IsRead, "TaskPane.DockState", EnumCheck.Defined(value));
    }

    public bool IsVisible
    {
        get => isVisible;
        set => isVisible = ReadContent.Check(IsRead, "TaskPane.IsVisible", value);
    }

    public bool IsLocked
    {
        get => isLocked;
        set => isLocked = ReadContent.Check(IsRead, "TaskPane.IsLocked", value);
    }

    /// <summary>The pane's width, in points.</summary>
    public double Width
    {
        get => width;
        set => width = ReadContent.Check(IsRead, "TaskPane.Width", value);
    }

    public int Row
    {
        get => row;
        set => row = ReadContent.Check(IsRead, "TaskPane.Row", value);
    }

    /// <summary>The web extension the pane shows.</summary>
    public WebExtension WebExtension { get; } = new();

    internal void MarkRead()
    {
        IsRead = true;
        WebExtension.MarkRead();
    }
}

// The web extension task panes of a document.
public sealed class TaskPaneCollection : IEnumerable<TaskPane>
{
    private readonly ContentList<TaskPane> items = new("TaskPaneCollection");

    internal TaskPaneCollection()
    {
    }

    public int Count => items.Count;

    public TaskPane this[int index]
    {
        get => items[index];
        set => items[index] = value;
    }

    public void Add(TaskPane item) => items.Add(item);

    public bool Remove(TaskPane item) => items.Remove(item);

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    internal void AddRead(TaskPane item) => items.AddRead(item);

    internal void MarkRead() => items.MarkRead(_ => { });

    public IEnumerator<TaskPane> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class WebExtension
{
    private bool isFrozen;

    internal WebExtension()
    {
    }

    internal bool IsRead { get; private set; }

    public string? Id { get; internal set; }

    public bool IsFrozen
    {
        get => isFrozen;
        set => isFrozen = ReadContent.Check(IsRead, "WebExtension.IsFrozen", value);
    }

    /// <summary>Where the extension comes from: its identifier, version and store.</summary>
    public WebExtensionReference Reference { get; } = new();

    /// <summary>Other places the extension may be found.</summary>
    public WebExtensionReferenceCollection AlternateReferences { get; } = new();

    /// <summary>The name and value settings the extension keeps in the document.</summary>
    public WebExtensionPropertyCollection Properties { get; } = new();

    /// <summary>The parts of the document the extension is bound to.</summary>
    public WebExtensionBindingCollection Bindings { get; } = new();

    internal void MarkRead()
    {
        IsRead = true;
        Reference.IsRead = true;
        AlternateReferences.MarkRead();
        Properties.MarkRead();
        Bindings.MarkRead();
    }
}

public sealed class WebExtensionBinding
{
    private WebExtensionBindingType bindingType = WebExtensionBindingType.Text;
    private string? id, appRef;

    public WebExtensionBinding()
    {
    }

    internal bool IsRead { get; set; }

    public string? Id
    {
        get => id;
        set => id = ReadContent.Check(IsRead, "WebExtensionBinding.Id", value);
    }

    public string? AppRef
    {
        get => appRef;
        set => appRef = ReadContent.Check(IsRead, "WebExtensionBinding.AppRef", value);
    }

    public WebExtensionBindingType BindingType
    {
        get => bindingType;
        set => bindingType = ReadContent.Check(IsRead, "WebExtensionBinding.BindingType", EnumCheck.Defined(value));
    }
}

// The bindings of a web extension.
public sealed class WebExtensionBindingCollection : IEnumerable<WebExtensionBinding>
{
    private readonly ContentList<WebExtensionBinding> items = new("WebExtensionBindingCollection");

    internal WebExtensionBindingCollection()
    {
    }

    public int Count => items.Count;

    public WebExtensionBinding this[int index]
    {
        get => items[index];
        set => items[index] = value;
    }

    public void Add(WebExtensionBinding item) => items.Add(item);

    public bool Remove(WebExtensionBinding item) => items.Remove(item);

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    internal void AddRead(WebExtensionBinding item) => items.AddRead(item);

    internal void MarkRead() => items.MarkRead(item => item.IsRead = true);

    public IEnumerator<WebExtensionBinding> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class WebExtensionProperty
{
    private string? name, value;

    public WebExtensionProperty()
    {
    }

    internal bool IsRead { get; set; }

    public string? Name
    {
        get => name;
        set => name = ReadContent.Check(IsRead, "WebExtensionProperty.Name", value);
    }

    public string? Value
    {
        get => value;
        set => this.value = ReadContent.Check(IsRead, "WebExtensionProperty.Value", value);
    }
}

// The properties of a web extension.
public sealed class WebExtensionPropertyCollection : IEnumerable<WebExtensionProperty>
{
    private readonly ContentList<WebExtensionProperty> items = new("WebExtensionPropertyCollection");

    internal WebExtensionPropertyCollection()
    {
    }

    public int Count => items.Count;

    public WebExtensionProperty this[int index]
    {
        get => items[index];
        set => items[index] = value;
    }

    public void Add(WebExtensionProperty item) => items.Add(item);

    public bool Remove(WebExtensionProperty item) => items.Remove(item);

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    internal void AddRead(WebExtensionProperty item) => items.AddRead(item);

    internal void MarkRead() => items.MarkRead(item => item.IsRead = true);

    public IEnumerator<WebExtensionProperty> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class WebExtensionReference
{
    private WebExtensionStoreType storeType = WebExtensionStoreType.OMEX;
    private string? id, version, store;

    public WebExtensionReference()
    {
    }

    internal bool IsRead { get; set; }

    public string? Id
    {
        get => id;
        set => id = ReadContent.Check(IsRead, "WebExtensionReference.Id", value);
    }

    public string? Version
    {
        get => version;
        set => version = ReadContent.Check(IsRead, "WebExtensionReference.Version", value);
    }

    public string? Store
    {
        get => store;
        set => store = ReadContent.Check(IsRead, "WebExtensionReference.Store", value);
    }

    public WebExtensionStoreType StoreType
    {
        get => storeType;
        set => storeType = ReadContent.Check(IsRead, "WebExtensionReference.StoreType", EnumCheck.Defined(value));
    }
}

// The alternate references of a web extension.
public sealed class WebExtensionReferenceCollection : IEnumerable<WebExtensionReference>
{
    private readonly ContentList<WebExtensionReference> items = new("WebExtensionReferenceCollection");

    internal WebExtensionReferenceCollection()
    {
    }

    public int Count => items.Count;

    public WebExtensionReference this[int index]
    {
        get => items[index];
        set => items[index] = value;
    }

    public void Add(WebExtensionReference item) => items.Add(item);

    public bool Remove(WebExtensionReference item) => items.Remove(item);

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    internal void AddRead(WebExtensionReference item) => items.AddRead(item);

    internal void MarkRead() => items.MarkRead(item => item.IsRead = true);

    public IEnumerator<WebExtensionReference> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

// The list behind each collection above: changes go through the guard, items
// from a document are added past it.
internal sealed class ContentList<T> : IEnumerable<T> where T : class
{
    private readonly List<T> items = new();
    private readonly string owner;

    internal ContentList(string owner)
    {
        this.owner = owner;
    }

    internal bool IsRead { get; set; }

    internal int Count => items.Count;

    internal T this[int index]
    {
        get => items[index];
        set
        {
            ArgumentNullException.ThrowIfNull(value);
            Guard("Item");
            items[index] = value;
        }
    }

    internal void Add(T item)
    {
        ArgumentNullException.ThrowIfNull(item);
        Guard("Add");
        items.Add(item);
    }

    internal bool Remove(T item)
    {
        Guard("Remove");
        return items.Remove(item);
    }

    internal void RemoveAt(int index)
    {
        Guard("RemoveAt");
        items.RemoveAt(index);
    }

    internal void Clear()
    {
        Guard("Clear");
        items.Clear();
    }

    internal void AddRead(T item) => items.Add(item);

    // The list and each item it holds refuse changes from now on.
    internal void MarkRead(Action<T> markItem)
    {
        IsRead = true;
        foreach (T item in items)
            markItem(item);
    }

    private void Guard(string member)
    {
        if (IsRead)
            throw ReadContent.Refused(owner + "." + member);
    }

    public IEnumerator<T> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}
