// DocxWebExtensions: the web extension task panes of a package (the task
// panes part and the web extension part each pane refers to), read into the
// document's TaskPaneCollection.  The parts themselves are kept and saved
// unchanged, so what is read here is marked read and refuses changes.
using System;
using System.Globalization;
using DocumentFormat.OpenXml;
using DocumentFormat.OpenXml.Packaging;
using Morvax.Velto.WebExtensions;
using We = DocumentFormat.OpenXml.Office2013.WebExtension;
using Wetp = DocumentFormat.OpenXml.Office2013.WebExtentionPane;

namespace Morvax.Velto.Formats;

internal static class DocxWebExtensions
{
    /// <summary>The task panes of the part (none without one), each with its web extension, marked read.</summary>
    internal static TaskPaneCollection Read(WebExTaskpanesPart? part)
    {
        var panes = new TaskPaneCollection();
        foreach (Wetp.WebExtensionTaskpane element in part?.Taskpanes?.Elements<Wetp.WebExtensionTaskpane>() ?? Array.Empty<Wetp.WebExtensionTaskpane>())
        {
            var pane = new TaskPane
            {
                DockState = string.Equals(element.DockState?.Value, "left", StringComparison.OrdinalIgnoreCase)
                    ? TaskPaneDockState.Left : TaskPaneDockState.Right,
                IsVisible = element.Visibility?.Value ?? false,
                IsLocked = element.Locked?.Value ?? false,
                Width = element.Width?.Value ?? 0,
                Row = (int)System.Math.Min(element.Row?.Value ?? 0, int.MaxValue),
            };
            if (element.WebExtensionPartReference?.Id?.Value is { } id
                && part!.TryGetPartById(id, out OpenXmlPart? target) && target is WebExtensionPart extensionPart
                && extensionPart.WebExtension is { } extension)
                Fill(pane.WebExtension, extension);
            pane.MarkRead();
            panes.AddRead(pane);
        }
        panes.MarkRead();
        return panes;
    }

    private static void Fill(WebExtension target, We.WebExtension source)
    {
        target.Id = source.Id?.Value;
        target.IsFrozen = source.Frozen?.Value ?? false;
        if (source.WebExtensionStoreReference is { } reference)
            Fill(target.Reference, reference.Id, reference.Version, reference.Store, reference.StoreType);
        foreach (We.WebExtensionStoreReference alternate in
                 source.WebExtensionReferenceList?.Elements<We.WebExtensionStoreReference>() ?? Array.Empty<We.WebExtensionStoreReference>())
        {
            var read = new WebExtensionReference();
            Fill(read, alternate.Id, alternate.Version, alternate.Store, alternate.StoreType);
            target.AlternateReferences.AddRead(read);
        }
        foreach (We.WebExtensionProperty property in
                 source.WebExtensionPropertyBag?.Elements<We.WebExtensionProperty>() ?? Array.Empty<We.WebExtensionProperty>())
            target.Properties.AddRead(new WebExtensionProperty { Name = property.Name?.Value, Value = property.Value?.Value });
        foreach (We.WebExtensionBinding binding in
                 source.WebExtensionBindingList?.Elements<We.WebExtensionBinding>() ?? Array.Empty<We.WebExtensionBinding>())
        {
            target.Bindings.AddRead(new WebExtensionBinding
            {
                Id = binding.Id?.Value,
                AppRef = binding.AppReference?.Value,
                BindingType = Enum.TryParse(binding.Type?.Value, true, out WebExtensionBindingType type) ? type : WebExtensionBindingType.Text,
            });
        }
    }

    private static void Fill(WebExtensionReference target, StringValue? id, StringValue? version, StringValue? store, StringValue? storeType)
    {
        target.Id = id?.Value;
        target.Version = version?.Value;
        target.Store = store?.Value;
        target.StoreType = Enum.TryParse(storeType?.Value, true, out WebExtensionStoreType type) && Enum.IsDefined(type)
            ? type : WebExtensionStoreType.OMEX;
    }
}
