// Web extension task panes read from a package made by hand: each pane with
// its web extension's reference, alternate references, properties and
// bindings; saved back with the package unchanged; changes refused.
using System;
using System.IO;
using System.Linq;
using Morvax.Velto.WebExtensions;
using Xunit;
using static Morvax.Velto.Tests.Support;

namespace Morvax.Velto.Tests;

public class WebExtensionTests
{
    internal const string TaskPanes =
        "<wetp:taskpanes xmlns:wetp=\"http://schemas.microsoft.com/office/webextensions/taskpanes/2010/11\" "
        + "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        + "<wetp:taskpane dockstate=\"left\" visibility=\"1\" width=\"350\" row=\"4\" locked=\"1\"><wetp:webextensionref r:id=\"rId1\"/></wetp:taskpane>"
        + "<wetp:taskpane dockstate=\"right\" visibility=\"0\" width=\"200\" row=\"1\"><wetp:webextensionref r:id=\"rIdMissing\"/></wetp:taskpane>"
        + "</wetp:taskpanes>";

    internal const string Extension =
        "<we:webextension xmlns:we=\"http://schemas.microsoft.com/office/webextensions/webextension/2010/11\" "
        + "id=\"{52811C31-4593-43B8-A697-EB873422D156}\" frozen=\"1\">"
        + "<we:reference id=\"wa104380862\" version=\"1.5.0.0\" store=\"en-US\" storeType=\"OMEX\"/>"
        + "<we:alternateReferences><we:reference id=\"wa2\" version=\"1.0\" store=\"\\\\share\" storeType=\"FileSystem\"/></we:alternateReferences>"
        + "<we:properties><we:property name=\"theme\" value=\"&quot;dark&quot;\"/><we:property name=\"size\" value=\"3\"/></we:properties>"
        + "<we:bindings><we:binding id=\"b1\" type=\"matrix\" appref=\"{0}\"/></we:bindings>"
        + "</we:webextension>";

    internal static byte[] WithTaskPanes() => Package(
        ("[Content_Types].xml", "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
            + "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
            + "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
            + $"<Override PartName=\"/word/document.xml\" ContentType=\"{MainType}\"/>"
            + "<Override PartName=\"/word/webextensions/taskpanes.xml\" ContentType=\"application/vnd.ms-office.webextensiontaskpanes+xml\"/>"
            + "<Override PartName=\"/word/webextensions/webextension1.xml\" ContentType=\"application/vnd.ms-office.webextension+xml\"/></Types>"),
        ("_rels/.rels", $"<Relationships xmlns=\"{RelationshipsNs}\">"
            + $"<Relationship Id=\"rId1\" Type=\"{OfficeRel}/officeDocument\" Target=\"word/document.xml\"/>"
            + "<Relationship Id=\"rId2\" Type=\"http://schemas.microsoft.com/office/2011/relationships/webextensiontaskpanes\" Target=\"word/webextensions/taskpanes.xml\"/>"
            + "</Relationships>"),
        ("word/document.xml", $"<w:document xmlns:w=\"{W}\"><w:body><w:p><w:r><w:t>Panes</w:t></w:r></w:p></w:body></w:document>"),
        ("word/webextensions/taskpanes.xml", TaskPanes),
        ("word/webextensions/_rels/taskpanes.xml.rels", $"<Relationships xmlns=\"{RelationshipsNs}\">"
            + "<Relationship Id=\"rId1\" Type=\"http://schemas.microsoft.com/office/2011/relationships/webextension\" Target=\"webextension1.xml\"/></Relationships>"),
        ("word/webextensions/webextension1.xml", Extension));

    private static void AssertAsRead(TaskPaneCollection panes)
    {
        Assert.Equal(2, panes.Count);
        TaskPane pane = panes[0];
        Assert.Equal((TaskPaneDockState.Left, true, true, 350.0, 4), (pane.DockState, pane.IsVisible, pane.IsLocked, pane.Width, pane.Row));
        WebExtension extension = pane.WebExtension;
        Assert.Equal(("{52811C31-4593-43B8-A697-EB873422D156}", true), (extension.Id, extension.IsFrozen));
        Assert.Equal(("wa104380862", "1.5.0.0", "en-US", WebExtensionStoreType.OMEX),
            (extension.Reference.Id, extension.Reference.Version, extension.Reference.Store, extension.Reference.StoreType));
        WebExtensionReference alternate = Assert.Single(extension.AlternateReferences);
        Assert.Equal(("wa2", WebExtensionStoreType.FileSystem), (alternate.Id, alternate.StoreType));
        Assert.Equal(new[] { ("theme", "\"dark\""), ("size", "3") }, extension.Properties.Select(p => (p.Name!, p.Value!)));
        WebExtensionBinding binding = Assert.Single(extension.Bindings);
        Assert.Equal(("b1", "{0}", WebExtensionBindingType.Matrix), (binding.Id, binding.AppRef, binding.BindingType));
        // A pane whose extension part is missing is shown without one's content.
        Assert.Equal((TaskPaneDockState.Right, 200.0), (panes[1].DockState, panes[1].Width));
        Assert.Null(panes[1].WebExtension.Id);
    }

    [Fact]
    public void Task_panes_and_their_extensions_are_read_and_saved_unchanged()
    {
        var doc = new Document(new MemoryStream(WithTaskPanes()));
        AssertAsRead(doc.WebExtensionTaskPanes);
        byte[] saved = SaveBytes(doc, SaveFormat.Docx);
        Assert.Equal("webextension", Part(saved, "word/webextensions/webextension1.xml").Root!.Name.LocalName);
        AssertAsRead(new Document(new MemoryStream(saved)).WebExtensionTaskPanes);
        AssertAsRead(doc.Clone().WebExtensionTaskPanes);
    }

    [Fact]
    public void Read_content_refuses_changes_and_new_content_is_free()
    {
        TaskPaneCollection panes = new Document(new MemoryStream(WithTaskPanes())).WebExtensionTaskPanes;
        WebExtension extension = panes[0].WebExtension;
        var refusals = new Action[]
        {
            () => panes.Add(new TaskPane()), () => panes.Clear(), () => panes[0] = new TaskPane(),
            () => panes[0].Width = 10, () => extension.IsFrozen = false, () => extension.Reference.Version = "2",
            () => extension.Properties.RemoveAt(0), () => extension.Properties[0].Value = "x",
            () => extension.Bindings[0].BindingType = WebExtensionBindingType.Text, () => extension.AlternateReferences.Clear(),
            // A new document has no task panes and does not write any.
            () => new Document().WebExtensionTaskPanes.Add(new TaskPane()),
        };
        foreach (Action refused in refusals)
            Assert.Contains("cannot change web extension content read from a document", Assert.Throws<NotSupportedException>(refused).Message);
        AssertAsRead(panes);
        var mine = new TaskPane { Width = 10, DockState = TaskPaneDockState.Left };
        mine.WebExtension.Properties.Add(new WebExtensionProperty { Name = "a", Value = "b" });
        Assert.Equal((10.0, "b"), (mine.Width, mine.WebExtension.Properties[0].Value));
    }
}
