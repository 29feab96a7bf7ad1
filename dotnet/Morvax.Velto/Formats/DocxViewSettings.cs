// DocxViewSettings: how the document is shown (view, zoom, display flags)
// and the compatibility flags this library models, read from the settings
// part and written back one setting at a time where the model's value
// differs from what the part says, so unknown values and other settings
// stay as the package had them.
using System;
using System.Linq;
using DocumentFormat.OpenXml;
using Morvax.Velto.Settings;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static class DocxViewSettings
{

    private sealed record Flag<T>(Func<OpenXmlElement> Create, Func<T, bool> Get, Action<T, bool> Set);

    private static readonly Flag<ViewOptions>[] ViewFlags =
    {
        new(() => new W.DisplayBackgroundShape(), v => v.DisplayBackgroundShape, (v, on) => v.DisplayBackgroundShape = on),
        new(() => new W.DoNotDisplayPageBoundaries(), v => v.DoNotDisplayPageBoundaries, (v, on) => v.DoNotDisplayPageBoundaries = on),
        new(() => new W.FormsDesign(), v => v.FormsDesign, (v, on) => v.FormsDesign = on),
    };

    private static readonly Flag<CompatibilityOptions>[] CompatFlags =
    {
        new(() => new W.GrowAutofit(), c => c.GrowAutofit, (c, on) => c.GrowAutofit = on),
        new(() => new W.DoNotBreakWrappedTables(), c => c.DoNotBreakWrappedTables, (c, on) => c.DoNotBreakWrappedTables = on),
        new(() => new W.UnderlineTrailingSpaces(), c => c.UlTrailSpace, (c, on) => c.UlTrailSpace = on),
        new(() => new W.NoExtraLineSpacing(), c => c.NoExtraLineSpacing, (c, on) => c.NoExtraLineSpacing = on),
        new(() => new W.DoNotExpandShiftReturn(), c => c.DoNotExpandShiftReturn, (c, on) => c.DoNotExpandShiftReturn = on),
    };

    // A part without a view element is shown in print layout.
    private static readonly (ViewType Type, string Markup)[] Views =
    {
        (ViewType.None, "none"), (ViewType.PageLayout, "print"), (ViewType.Outline, "outline"),
        (ViewType.Outline, "masterPages"), (ViewType.Normal, "normal"), (ViewType.Web, "web"),
    };

    private static readonly (ZoomType Type, string Markup)[] Zooms =
    {
        (ZoomType.None, "none"), (ZoomType.FullPage, "fullPage"), (ZoomType.PageWidth, "bestFit"), (ZoomType.TextFit, "textFit"),
    };

    public static void Read(Document doc, W.Settings settings)
    {
        ViewOptions view = doc.ViewOptions;
        view.ViewType = ViewOf(settings);
        (view.ZoomPercent, view.ZoomType) = ZoomOf(settings);
        foreach (Flag<ViewOptions> flag in ViewFlags)
            flag.Set(view, IsOn(Find(settings, flag)));
        W.Compatibility? compat = settings.GetFirstChild<W.Compatibility>();
        foreach (Flag<CompatibilityOptions> flag in CompatFlags)
            flag.Set(doc.CompatibilityOptions, IsOn(compat is null ? null : Find(compat, flag)));
    }

    public static void Write(Document doc, W.Settings settings)
    {
        ViewOptions view = doc.ViewOptions;
        if (ViewOf(settings) != view.ViewType)
        {
            if (view.ViewType == ViewType.Reading)
                throw new NotSupportedException("ViewOptions.ViewType cannot be saved as Reading: the settings part has no markup for the reading view.");
            settings.GetFirstChild<W.View>()?.Remove();
            var element = new W.View();
            element.SetAttribute(new OpenXmlAttribute("w", "val", WordMl.W, Views.First(v => v.Type == view.ViewType).Markup));
            DocxWriter.AddInOrder(settings, element);
        }
        if (ZoomOf(settings) != (view.ZoomPercent, view.ZoomType))
        {
            if (view.ZoomPercent is < 10 or > 500)
                throw new ArgumentOutOfRangeException(nameof(ViewOptions.ZoomPercent), view.ZoomPercent,
                                                      "ViewOptions.ZoomPercent must lie between 10 and 500 to be saved.");
            settings.GetFirstChild<W.Zoom>()?.Remove();
            var zoom = new W.Zoom();
            zoom.SetAttribute(new OpenXmlAttribute("w", "percent", WordMl.W, view.ZoomPercent.ToString(System.Globalization.CultureInfo.InvariantCulture)));
            if (view.ZoomType != ZoomType.Custom)
                zoom.SetAttribute(new OpenXmlAttribute("w", "val", WordMl.W, Zooms.First(z => z.Type == view.ZoomType).Markup));
            DocxWriter.AddInOrder(settings, zoom);
        }
        foreach (Flag<ViewOptions> flag in ViewFlags)
            WriteFlag(settings, flag.Create, flag.Get(view));
        W.Compatibility? compat = settings.GetFirstChild<W.Compatibility>();
        foreach (Flag<CompatibilityOptions> flag in CompatFlags)
        {
            bool wanted = flag.Get(doc.CompatibilityOptions);
            if (IsOn(compat is null ? null : Find(compat, flag)) == wanted)
                continue;
            compat ??= DocxWriter.AddInOrder(settings, new W.Compatibility());
            WriteFlag(compat, flag.Create, wanted);
        }
    }

    // A clone starts from its original's options, not from the defaults.
    public static void Copy(Document from, Document to)
    {
        to.ViewOptions.ViewType = from.ViewOptions.ViewType;
        to.ViewOptions.ZoomPercent = from.ViewOptions.ZoomPercent;
        to.ViewOptions.ZoomType = from.ViewOptions.ZoomType;
        foreach (Flag<ViewOptions> flag in ViewFlags)
            flag.Set(to.ViewOptions, flag.Get(from.ViewOptions));
        foreach (Flag<CompatibilityOptions> flag in CompatFlags)
            flag.Set(to.CompatibilityOptions, flag.Get(from.CompatibilityOptions));
    }

    private static void WriteFlag(OpenXmlCompositeElement parent, Func<OpenXmlElement> create, bool wanted)
    {
        string name = create().LocalName;
        OpenXmlElement? element = parent.ChildElements.FirstOrDefault(c => c.LocalName == name && c.NamespaceUri == WordMl.W);
        if (IsOn(element) == wanted)
            return;
        element?.Remove();
        if (wanted)
            DocxWriter.AddInOrder(parent, create());
    }

    private static ViewType ViewOf(W.Settings settings) =>
        WordMl.Val(settings.GetFirstChild<W.View>()) is { } markup && Views.Any(v => v.Markup == markup)
            ? Views.First(v => v.Markup == markup).Type
            : ViewType.PageLayout;

    // The percentage may carry a percent sign; a zoom without one is 100%.
    private static (int Percent, ZoomType Type) ZoomOf(W.Settings settings)
    {
        W.Zoom? zoom = settings.GetFirstChild<W.Zoom>();
        string? percent = zoom?.GetAttributes().FirstOrDefault(a => a.LocalName == "percent").Value?.TrimEnd('%');
        int value = int.TryParse(percent, System.Globalization.NumberStyles.Integer, System.Globalization.CultureInfo.InvariantCulture, out int p) ? p : 100;
        string? type = WordMl.Val(zoom);
        return (value, Zooms.Any(z => z.Markup == type) ? Zooms.First(z => z.Markup == type).Type : ZoomType.Custom);
    }

    private static OpenXmlElement? Find<T>(OpenXmlCompositeElement parent, Flag<T> flag)
    {
        string name = flag.Create().LocalName;
        return parent.ChildElements.FirstOrDefault(c => c.LocalName == name && c.NamespaceUri == WordMl.W);
    }

    private static bool IsOn(OpenXmlElement? element) =>
        element is not null && DocxReader.OnOff(WordMl.Val(element));
}
