// DocxSettings: the document settings this library models, read from and
// written to the settings part.  Writing touches only the settings whose
// value differs from what the part says, so every other setting (and the
// order the schema fixes) stays as the package had it.
using System;
using System.Linq;
using DocumentFormat.OpenXml;
using Morvax.Velto.Saving;
using W = DocumentFormat.OpenXml.Wordprocessing;

namespace Morvax.Velto.Formats;

internal static class DocxSettings
{
    // A flag is on when its element is present with a true value or none.
    private static readonly (string Name, Func<OpenXmlElement> Create, Func<Document, bool> Get, Action<Document, bool> Set)[]
        Flags =
        {
            ("removePersonalInformation", () => new W.RemovePersonalInformation(),
                d => d.RemovePersonalInformation, (d, on) => d.RemovePersonalInformation = on),
            ("hideSpellingErrors", () => new W.HideSpellingErrors(),
                d => !d.ShowSpellingErrors, (d, on) => d.ShowSpellingErrors = !on),
            ("hideGrammaticalErrors", () => new W.HideGrammaticalErrors(),
                d => !d.ShowGrammaticalErrors, (d, on) => d.ShowGrammaticalErrors = !on),
            ("linkStyles", () => new W.LinkStyles(),
                d => d.AutomaticallyUpdateStyles, (d, on) => d.AutomaticallyUpdateStyles = on),
            ("trackRevisions", () => new W.TrackRevisions(),
                d => d.TrackRevisions, (d, on) => d.TrackRevisions = on),
            ("doNotShadeFormData", () => new W.DoNotShadeFormData(),
                d => !d.ShadeFormData, (d, on) => d.ShadeFormData = !on),
            ("noPunctuationKerning", () => new W.NoPunctuationKerning(),
                d => !d.PunctuationKerning, (d, on) => d.PunctuationKerning = !on),
        };

    // The word processor's default tab stop when the part names none.
    private const double DefaultTabStop = 36.0;

    public static void Read(Document doc, W.Settings settings)
    {
        foreach ((string name, _, _, Action<Document, bool> set) in Flags)
            set(doc, IsOn(Find(settings, name)));
        (doc.SpellingChecked, doc.GrammarChecked) = ProofState(settings);
        if (TabStop(settings) is { } tab)
            doc.DefaultTabStop = tab;
        doc.Protection = ReadProtection(settings.GetFirstChild<W.DocumentProtection>());
        DocxNoteSettings.Read(doc, settings);
        DocxViewSettings.Read(doc, settings);
        DocxVariables.Read(doc, settings);
    }

    public static void Write(Document doc, W.Settings settings)
    {
        foreach ((string name, Func<OpenXmlElement> create, Func<Document, bool> get, _) in Flags)
        {
            OpenXmlElement? element = Find(settings, name);
            bool wanted = get(doc);
            if (IsOn(element) == wanted)
                continue;
            element?.Remove();
            if (wanted)
                DocxWriter.AddInOrder(settings, create());
        }

        if (ProofState(settings) != (doc.SpellingChecked, doc.GrammarChecked))
        {
            W.ProofState proof = settings.GetFirstChild<W.ProofState>() ?? DocxWriter.AddInOrder(settings, new W.ProofState());
            proof.Spelling = doc.SpellingChecked ? W.ProofingStateValues.Clean : W.ProofingStateValues.Dirty;
            proof.Grammar = doc.GrammarChecked ? W.ProofingStateValues.Clean : W.ProofingStateValues.Dirty;
        }

        if (TabStop(settings) is not { } tab || System.Math.Abs(tab - doc.DefaultTabStop) > 1e-9)
        {
            W.DefaultTabStop stop = settings.GetFirstChild<W.DefaultTabStop>() ?? DocxWriter.AddInOrder(settings, new W.DefaultTabStop());
            // At least one twip: zero would read back as "not set".
            stop.Val = (short)System.Math.Clamp(System.Math.Round(doc.DefaultTabStop * WordMl.TwipsPerPoint), 1, short.MaxValue);
        }

        WriteProtection(doc, settings);
        DocxNoteSettings.Write(doc, settings);
        DocxViewSettings.Write(doc, settings);
        DocxVariables.Write(doc, settings);
        if (doc.RemoveSchemaReferences)
            foreach (W.AttachedSchema schema in settings.Elements<W.AttachedSchema>().ToList())
                schema.Remove();
    }

    // The edit kinds of a protection, as the settings part names them.
    private static readonly (ProtectionType Type, string Name)[] ProtectionNames =
    {
        (ProtectionType.ReadOnly, "readOnly"),
        (ProtectionType.AllowOnlyComments, "comments"),
        (ProtectionType.AllowOnlyRevisions, "trackedChanges"),
        (ProtectionType.AllowOnlyFormFields, "forms"),
    };

    // A protection counts only when enforced; an element that merely records
    // a past protection (enforcement off) is kept as the part had it.
    private static ProtectionState? ReadProtection(W.DocumentProtection? element)
    {
        if (element is null || !Enforced(element))
            return null;
        string? edit = element.Edit?.InnerText;
        int index = Array.FindIndex(ProtectionNames, p => p.Name == edit);
        if (index < 0)
            return null;
        int spin = int.TryParse(element.SpinCount?.InnerText, out int n) ? n : 0;
        return new ProtectionState(ProtectionNames[index].Type, element.AlgorithmName?.Value,
            element.HashValue?.Value, element.SaltValue?.Value, spin, element.CloneNode(true));
    }

    // Unlike most flags, an absent enforcement attribute means off.
    private static bool Enforced(W.DocumentProtection element) =>
        element.Enforcement?.InnerText is { } value && DocxReader.OnOff(value);

    private static void WriteProtection(Document doc, W.Settings settings)
    {
        W.DocumentProtection? existing = settings.GetFirstChild<W.DocumentProtection>();
        ProtectionState? protection = doc.Protection;
        if (protection is null)
        {
            // Unprotected: an enforced element would protect the file again.
            if (existing is not null && Enforced(existing))
                existing.Remove();
            return;
        }
        existing?.Remove();
        if (protection.Raw is W.DocumentProtection raw)
        {
            DocxWriter.AddInOrder(settings, (W.DocumentProtection)raw.CloneNode(true));
            return;
        }
        var element = new W.DocumentProtection();
        element.SetAttribute(new OpenXmlAttribute("w", "edit", WordMl.W,
            Array.Find(ProtectionNames, p => p.Type == protection.Type).Name));
        element.SetAttribute(new OpenXmlAttribute("w", "enforcement", WordMl.W, "1"));
        if (protection.HasPassword)
        {
            element.AlgorithmName = protection.AlgorithmName;
            element.HashValue = protection.HashValue;
            element.SaltValue = protection.SaltValue;
            element.SpinCount = protection.SpinCount;
        }
        DocxWriter.AddInOrder(settings, element);
    }

    private const string StrictMainNamespace = "http://purl.oclc.org/ooxml/wordprocessingml/main";

    // Strict markup has its own namespaces; transitional markup of the second
    // edition on says so by a compatibility mode of 14 or more.
    public static OoxmlCompliance ComplianceOf(W.Document root, W.Settings? settings)
    {
        if (root.NamespaceUri == StrictMainNamespace)
            return OoxmlCompliance.Iso29500_2008_Strict;
        string? mode = settings?.GetFirstChild<W.Compatibility>()?.Elements<W.CompatibilitySetting>()
            .FirstOrDefault(s => s.Name?.Value == W.CompatSettingNameValues.CompatibilityMode)?.Val?.Value;
        return int.TryParse(mode, out int version) && version >= 14
            ? OoxmlCompliance.Iso29500_2008_Transitional
            : OoxmlCompliance.Ecma376_2006;
    }

    private static OpenXmlElement? Find(W.Settings settings, string name) =>
        settings.ChildElements.FirstOrDefault(e => e.LocalName == name && e.NamespaceUri == WordMl.W);

    private static bool IsOn(OpenXmlElement? element) =>
        element is not null && DocxReader.OnOff(WordMl.Val(element));

    private static (bool Spelling, bool Grammar) ProofState(W.Settings settings)
    {
        W.ProofState? proof = settings.GetFirstChild<W.ProofState>();
        return (proof?.Spelling?.InnerText == "clean", proof?.Grammar?.InnerText == "clean");
    }

    private static double? TabStop(W.Settings settings) =>
        DocxReader.Points(settings.GetFirstChild<W.DefaultTabStop>()?.Val?.InnerText) is { } tab
        && tab > 0 && tab <= ParagraphFormat.MaxIndent
            ? tab
            : null;
}
