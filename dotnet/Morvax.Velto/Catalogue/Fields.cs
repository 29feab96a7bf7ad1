// Morvax.Velto.Fields: the field classes, one per field code, and what fields
// are built and updated with.

using System.Linq;

namespace Morvax.Velto.Fields;

public sealed class BarcodeParameters
{
    public BarcodeParameters()
    {
    }

    public string? BarcodeType { get; set; }

    public string? BarcodeValue { get; set; }

    public string? SymbolHeight { get; set; }

    public bool DisplayText { get; set; }

    public bool AddStartStopChar { get; set; }

    public bool FixCheckDigit { get; set; }
}

public sealed class ComparisonEvaluationResult
{
    public ComparisonEvaluationResult()
    {
    }
}

public sealed class ComparisonExpression
{
    internal ComparisonExpression()
    {
    }

    public string LeftExpression { get; internal set; } = string.Empty;

    public string ComparisonOperator { get; internal set; } = string.Empty;

    public string RightExpression { get; internal set; } = string.Empty;
}

// The items of a drop-down form field, in display order.
public sealed class DropDownItemCollection : System.Collections.Generic.IEnumerable<string>
{
    private readonly System.Collections.Generic.List<string> items = new();

    internal DropDownItemCollection()
    {
    }

    public int Count => items.Count;

    public string this[int index]
    {
        get => items[index];
        set => items[index] = value ?? throw new System.ArgumentNullException(nameof(value));
    }

    public void Add(string item) => items.Add(item ?? throw new System.ArgumentNullException(nameof(item)));

    public bool Remove(string item) => items.Remove(item);

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Clear() => items.Clear();

    public void Insert(int index, string value) => items.Insert(index, value ?? throw new System.ArgumentNullException(nameof(value)));

    public bool Contains(string value) => items.Contains(value);

    public int IndexOf(string value) => items.IndexOf(value);

    public System.Collections.Generic.IEnumerator<string> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

// The ADDIN field.
public sealed class FieldAddIn : Field
{
    public FieldAddIn()
    {
        Type = FieldType.FieldAddin;
    }
}

// The ADDRESSBLOCK field.
public sealed class FieldAddressBlock : Field
{
    public FieldAddressBlock()
    {
        Type = FieldType.FieldAddressBlock;
    }
}

// The ADVANCE field.
public sealed class FieldAdvance : Field
{
    public FieldAdvance()
    {
        Type = FieldType.FieldAdvance;
    }
}

public sealed class FieldArgumentBuilder
{
    public FieldArgumentBuilder()
    {
    }
}

// The ASK field.
public sealed class FieldAsk : Field
{
    public FieldAsk()
    {
        Type = FieldType.FieldAsk;
    }
}

// The AUTHOR field.
public sealed class FieldAuthor : Field
{
    public FieldAuthor()
    {
        Type = FieldType.FieldAuthor;
    }
}

// The AUTONUM field.
public sealed class FieldAutoNum : Field
{
    public FieldAutoNum()
    {
        Type = FieldType.FieldAutoNum;
    }
}

// The AUTONUMLGL field.
public sealed class FieldAutoNumLgl : Field
{
    public FieldAutoNumLgl()
    {
        Type = FieldType.FieldAutoNumLegal;
    }
}

// The AUTONUMOUT field.
public sealed class FieldAutoNumOut : Field
{
    public FieldAutoNumOut()
    {
        Type = FieldType.FieldAutoNumOutline;
    }
}

// The AUTOTEXT field.
public sealed class FieldAutoText : Field
{
    public FieldAutoText()
    {
        Type = FieldType.FieldAutoText;
    }
}

// The AUTOTEXTLIST field.
public sealed class FieldAutoTextList : Field
{
    public FieldAutoTextList()
    {
        Type = FieldType.FieldAutoTextList;
    }
}

// The BARCODE field.
public sealed class FieldBarcode : Field
{
    public FieldBarcode()
    {
        Type = FieldType.FieldBarcode;
    }
}

// The BIBLIOGRAPHY field.
public sealed class FieldBibliography : Field
{
    public FieldBibliography()
    {
        Type = FieldType.FieldBibliography;
    }
}

// The BIDIOUTLINE field.
public sealed class FieldBidiOutline : Field
{
    public FieldBidiOutline()
    {
        Type = FieldType.FieldBidiOutline;
    }
}

public sealed class FieldBuilder
{
    public FieldBuilder()
    {
    }
}

// The CITATION field.
public sealed class FieldCitation : Field
{
    public FieldCitation()
    {
        Type = FieldType.FieldCitation;
    }
}

// The fields below a node, found afresh in the node tree on every use: one per
// field start, in document order.
public sealed class FieldCollection : System.Collections.Generic.IEnumerable<Field>
{
    private readonly NodeView<Field> view;
    private readonly System.Action<Field> remove;

    // fieldOf: the field a start mark begins (null when the mark begins none); remove: takes a
    // field's marks, code and result out of the tree. Both are the field model's own.
    internal FieldCollection(Node root, System.Func<FieldStart, Field?> fieldOf, System.Action<Field> remove)
    {
        view = new NodeView<Field>(root, NodeType.FieldStart, node => fieldOf((FieldStart)node));
        this.remove = remove;
    }

    public int Count => view.Count;

    public Field this[int index] => view[index];

    /// <summary>Removes the field's marks, code and result.</summary>
    public void Remove(Field field)
    {
        System.ArgumentNullException.ThrowIfNull(field);
        remove(field);
    }

    public void RemoveAt(int index) => remove(this[index]);

    public void Clear()
    {
        foreach (Field field in System.Linq.Enumerable.ToList(view.Items()))
            remove(field);
    }

    public System.Collections.Generic.IEnumerator<Field> GetEnumerator() => view.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public sealed class FieldComments : Field
{
    public FieldComments()
    {
        Type = FieldType.FieldComments;
    }
}

// The COMPARE field.
public sealed class FieldCompare : Field
{
    public FieldCompare()
    {
        Type = FieldType.FieldCompare;
    }
}

// The CREATEDATE field.
public sealed class FieldCreateDate : Field
{
    public FieldCreateDate()
    {
        Type = FieldType.FieldCreateDate;
    }
}

// The DATA field.
public sealed class FieldData : Field
{
    public FieldData()
    {
        Type = FieldType.FieldData;
    }
}

// The DATABASE field.
public sealed class FieldDatabase : Field
{
    public FieldDatabase()
    {
        Type = FieldType.FieldDatabase;
    }
}

public sealed class FieldDatabaseDataRow
{
    internal FieldDatabaseDataRow()
    {
    }
}

public sealed class FieldDatabaseDataTable
{
    internal FieldDatabaseDataTable()
    {
    }
}

// The DATE field.
public sealed class FieldDate : Field
{
    public FieldDate()
    {
        Type = FieldType.FieldDate;
    }
}

// The DDE field.
public sealed class FieldDde : Field
{
    public FieldDde()
    {
        Type = FieldType.FieldDDE;
    }
}

// The DDEAUTO field.
public sealed class FieldDdeAuto : Field
{
    public FieldDdeAuto()
    {
        Type = FieldType.FieldDDEAuto;
    }
}

// The DISPLAYBARCODE field.
public sealed class FieldDisplayBarcode : Field
{
    public FieldDisplayBarcode()
    {
        Type = FieldType.FieldDisplayBarcode;
    }
}

// The DOCPROPERTY field.
public sealed class FieldDocProperty : Field
{
    public FieldDocProperty()
    {
        Type = FieldType.FieldDocProperty;
    }
}

// The DOCVARIABLE field.
public sealed class FieldDocVariable : Field
{
    public FieldDocVariable()
    {
        Type = FieldType.FieldDocVariable;
    }
}

// The EDITTIME field.
public sealed class FieldEditTime : Field
{
    public FieldEditTime()
    {
        Type = FieldType.FieldEditTime;
    }
}

// The EMBED field.
public sealed class FieldEmbed : Field
{
    public FieldEmbed()
    {
        Type = FieldType.FieldEmbed;
    }
}

// The EQ field.
public sealed class FieldEQ : Field
{
    public FieldEQ()
    {
        Type = FieldType.FieldEquation;
    }
}

// The FILENAME field.
public sealed class FieldFileName : Field
{
    public FieldFileName()
    {
        Type = FieldType.FieldFileName;
    }
}

// The FILESIZE field.
public sealed class FieldFileSize : Field
{
    public FieldFileSize()
    {
        Type = FieldType.FieldFileSize;
    }
}

// The FILLIN field.
public sealed class FieldFillIn : Field
{
    public FieldFillIn()
    {
        Type = FieldType.FieldFillIn;
    }
}

// The FOOTNOTEREF field.
public sealed class FieldFootnoteRef : Field
{
    public FieldFootnoteRef()
    {
        Type = FieldType.FieldFootnoteRef;
    }
}

public sealed class FieldFormat
{
    internal FieldFormat()
    {
    }
}

// The FORMCHECKBOX field.
public sealed class FieldFormCheckBox : Field
{
    public FieldFormCheckBox()
    {
        Type = FieldType.FieldFormCheckBox;
    }
}

// The FORMDROPDOWN field.
public sealed class FieldFormDropDown : Field
{
    public FieldFormDropDown()
    {
        Type = FieldType.FieldFormDropDown;
    }
}

// The FORMTEXT field.
public sealed class FieldFormText : Field
{
    public FieldFormText()
    {
        Type = FieldType.FieldFormTextInput;
    }
}

// The = (formula) field.
public sealed class FieldFormula : Field
{
    public FieldFormula()
    {
        Type = FieldType.FieldFormula;
    }
}

// The GLOSSARY field.
public sealed class FieldGlossary : Field
{
    public FieldGlossary()
    {
        Type = FieldType.FieldGlossary;
    }
}

// The GOTOBUTTON field.
public sealed class FieldGoToButton : Field
{
    public FieldGoToButton()
    {
        Type = FieldType.FieldGoToButton;
    }
}

// The GREETINGLINE field.
public sealed class FieldGreetingLine : Field
{
    public FieldGreetingLine()
    {
        Type = FieldType.FieldGreetingLine;
    }
}

// The HYPERLINK field.
public sealed class FieldHyperlink : Field
{
    public FieldHyperlink()
    {
        Type = FieldType.FieldHyperlink;
    }

    // The address (a URL or file), the place in the target (a bookmark), the
    // tip shown over the link and the frame it opens in: each read from the
    // code; setting one writes the code anew.
    public string? Address
    {
        get => FieldCodes.Argument(GetFieldCode(false));
        set => SetLink(value, SubAddress, ScreenTip, Target);
    }

    public string? SubAddress
    {
        get => FieldCodes.Switch(GetFieldCode(false), "\\l");
        set => SetLink(Address, value, ScreenTip, Target);
    }

    public string? ScreenTip
    {
        get => FieldCodes.Switch(GetFieldCode(false), "\\o");
        set => SetLink(Address, SubAddress, value, Target);
    }

    public string? Target
    {
        get => FieldCodes.Switch(GetFieldCode(false), "\\t");
        set => SetLink(Address, SubAddress, ScreenTip, value);
    }

    private void SetLink(string? address, string? subAddress, string? screenTip, string? target)
    {
        var code = new System.Text.StringBuilder("HYPERLINK");
        if (!string.IsNullOrEmpty(address))
            code.Append(' ').Append(FieldCodes.Quoted(address));
        foreach ((string? value, string name) in new[] { (subAddress, "l"), (screenTip, "o"), (target, "t") })
        {
            if (!string.IsNullOrEmpty(value))
                code.Append(" \\").Append(name).Append(' ').Append(FieldCodes.Quoted(value));
        }
        SetFieldCode(code.ToString());
    }
}

// The IF field.
public sealed class FieldIf : Field
{
    public FieldIf()
    {
        Type = FieldType.FieldIf;
    }
}

// The IMPORT field.
public sealed class FieldImport : Field
{
    public FieldImport()
    {
        Type = FieldType.FieldImport;
    }
}

// The INCLUDE field.
public sealed class FieldInclude : Field
{
    public FieldInclude()
    {
        Type = FieldType.FieldInclude;
    }
}

// The INCLUDEPICTURE field.
public sealed class FieldIncludePicture : Field
{
    public FieldIncludePicture()
    {
        Type = FieldType.FieldIncludePicture;
    }
}

// The INCLUDETEXT field.
public sealed class FieldIncludeText : Field
{
    public FieldIncludeText()
    {
        Type = FieldType.FieldIncludeText;
    }
}

// The INDEX field.
public sealed class FieldIndex : Field
{
    public FieldIndex()
    {
        Type = FieldType.FieldIndex;
    }
}

// The INFO field.
public sealed class FieldInfo : Field
{
    public FieldInfo()
    {
        Type = FieldType.FieldInfo;
    }
}

// The KEYWORDS field.
public sealed class FieldKeywords : Field
{
    public FieldKeywords()
    {
        Type = FieldType.FieldKeyword;
    }
}

// The LASTSAVEDBY field.
public sealed class FieldLastSavedBy : Field
{
    public FieldLastSavedBy()
    {
        Type = FieldType.FieldLastSavedBy;
    }
}

// The LINK field.
public sealed class FieldLink : Field
{
    public FieldLink()
    {
        Type = FieldType.FieldLink;
    }
}

// The LISTNUM field.
public sealed class FieldListNum : Field
{
    public FieldListNum()
    {
        Type = FieldType.FieldListNum;
    }
}

// The MACROBUTTON field.
public sealed class FieldMacroButton : Field
{
    public FieldMacroButton()
    {
        Type = FieldType.FieldMacroButton;
    }
}

// The MERGEBARCODE field.
public sealed class FieldMergeBarcode : Field
{
    public FieldMergeBarcode()
    {
        Type = FieldType.FieldMergeBarcode;
    }
}

// The MERGEFIELD field.
public sealed class FieldMergeField : Field
{
    public FieldMergeField()
    {
        Type = FieldType.FieldMergeField;
    }

    // The name of the data field this field is merged with; setting it keeps
    // the code's switches.
    public string? FieldName
    {
        get => FieldCodes.Argument(GetFieldCode(false));
        set
        {
            System.ArgumentException.ThrowIfNullOrEmpty(value);
            System.Collections.Generic.List<string> words = FieldCodes.Words(GetFieldCode(false));
            int switches = words.Count > 1 ? words.FindIndex(1, w => w.StartsWith('\\')) : -1;
            string rest = switches < 0 ? string.Empty
                : " " + string.Join(' ', words.Skip(switches).Select(w => w.StartsWith('\\') ? w : FieldCodes.Quoted(w)));
            SetFieldCode("MERGEFIELD " + FieldCodes.Quoted(value) + rest);
        }
    }
}

// The MERGEREC field.
public sealed class FieldMergeRec : Field
{
    public FieldMergeRec()
    {
        Type = FieldType.FieldMergeRec;
    }
}

// The MERGESEQ field.
public sealed class FieldMergeSeq : Field
{
    public FieldMergeSeq()
    {
        Type = FieldType.FieldMergeSeq;
    }
}

// The NEXT field.
public sealed class FieldNext : Field
{
    public FieldNext()
    {
        Type = FieldType.FieldNext;
    }
}

// The NEXTIF field.
public sealed class FieldNextIf : Field
{
    public FieldNextIf()
    {
        Type = FieldType.FieldNextIf;
    }
}

// The NOTEREF field.
public sealed class FieldNoteRef : Field
{
    public FieldNoteRef()
    {
        Type = FieldType.FieldNoteRef;
    }
}

// The NUMCHARS field.
public sealed class FieldNumChars : Field
{
    public FieldNumChars()
    {
        Type = FieldType.FieldNumChars;
    }
}

// The NUMPAGES field.
public sealed class FieldNumPages : Field
{
    public FieldNumPages()
    {
        Type = FieldType.FieldNumPages;
    }
}

// The NUMWORDS field.
public sealed class FieldNumWords : Field
{
    public FieldNumWords()
    {
        Type = FieldType.FieldNumWords;
    }
}

// The OCX field.
public sealed class FieldOcx : Field
{
    public FieldOcx()
    {
        Type = FieldType.FieldOcx;
    }
}

public sealed class FieldOptions
{
    private FieldUpdateCultureSource fieldUpdateCultureSource = FieldUpdateCultureSource.CurrentThread;

    internal FieldOptions()
    {
    }

    public FieldUpdateCultureSource FieldUpdateCultureSource
    {
        get => fieldUpdateCultureSource;
        set => fieldUpdateCultureSource = EnumCheck.Defined(value);
    }

    public bool IsBidiTextSupportedOnUpdate { get; set; }

    public bool UseInvariantCultureNumberFormat { get; set; }

    public string? DefaultDocumentAuthor { get; set; }

    public bool LegacyNumberFormat { get; set; }

    public string? FileName { get; set; }

    public bool IsCustomPromptRespondentEnabled { get; set; }
}

// The PAGE field.
public sealed class FieldPage : Field
{
    public FieldPage()
    {
        Type = FieldType.FieldPage;
    }
}

// The PAGEREF field.
public sealed class FieldPageRef : Field
{
    public FieldPageRef()
    {
        Type = FieldType.FieldPageRef;
    }
}

// The PRINT field.
public sealed class FieldPrint : Field
{
    public FieldPrint()
    {
        Type = FieldType.FieldPrint;
    }
}

// The PRINTDATE field.
public sealed class FieldPrintDate : Field
{
    public FieldPrintDate()
    {
        Type = FieldType.FieldPrintDate;
    }
}

// The PRIVATE field.
public sealed class FieldPrivate : Field
{
    public FieldPrivate()
    {
        Type = FieldType.FieldPrivate;
    }
}

// The QUOTE field.
public sealed class FieldQuote : Field
{
    public FieldQuote()
    {
        Type = FieldType.FieldQuote;
    }
}

// The RD field.
public sealed class FieldRD : Field
{
    public FieldRD()
    {
        Type = FieldType.FieldRefDoc;
    }
}

// The REF field.
public sealed class FieldRef : Field
{
    public FieldRef()
    {
        Type = FieldType.FieldRef;
    }
}

// The REVNUM field.
public sealed class FieldRevNum : Field
{
    public FieldRevNum()
    {
        Type = FieldType.FieldRevisionNum;
    }
}

// The SAVEDATE field.
public sealed class FieldSaveDate : Field
{
    public FieldSaveDate()
    {
        Type = FieldType.FieldSaveDate;
    }
}

// The SECTION field.
public sealed class FieldSection : Field
{
    public FieldSection()
    {
        Type = FieldType.FieldSection;
    }
}

// The SECTIONPAGES field.
public sealed class FieldSectionPages : Field
{
    public FieldSectionPages()
    {
        Type = FieldType.FieldSectionPages;
    }
}

// The SEQ field.
public sealed class FieldSeq : Field
{
    public FieldSeq()
    {
        Type = FieldType.FieldSequence;
    }
}

// The SET field.
public sealed class FieldSet : Field
{
    public FieldSet()
    {
        Type = FieldType.FieldSet;
    }
}

// The SHAPE field.
public sealed class FieldShape : Field
{
    public FieldShape()
    {
        Type = FieldType.FieldShape;
    }
}

// The SKIPIF field.
public sealed class FieldSkipIf : Field
{
    public FieldSkipIf()
    {
        Type = FieldType.FieldSkipIf;
    }
}

// The STYLEREF field.
public sealed class FieldStyleRef : Field
{
    public FieldStyleRef()
    {
        Type = FieldType.FieldStyleRef;
    }
}

// The SUBJECT field.
public sealed class FieldSubject : Field
{
    public FieldSubject()
    {
        Type = FieldType.FieldSubject;
    }
}

// The SYMBOL field.
public sealed class FieldSymbol : Field
{
    public FieldSymbol()
    {
        Type = FieldType.FieldSymbol;
    }
}

// The TA field.
public sealed class FieldTA : Field
{
    public FieldTA()
    {
        Type = FieldType.FieldTOAEntry;
    }
}

// The TC field.
public sealed class FieldTC : Field
{
    public FieldTC()
    {
        Type = FieldType.FieldTOCEntry;
    }
}

// The TEMPLATE field.
public sealed class FieldTemplate : Field
{
    public FieldTemplate()
    {
        Type = FieldType.FieldTemplate;
    }
}

// The TIME field.
public sealed class FieldTime : Field
{
    public FieldTime()
    {
        Type = FieldType.FieldTime;
    }
}

// The TITLE field.
public sealed class FieldTitle : Field
{
    public FieldTitle()
    {
        Type = FieldType.FieldTitle;
    }
}

// The TOA field.
public sealed class FieldToa : Field
{
    public FieldToa()
    {
        Type = FieldType.FieldTOA;
    }
}

// The TOC field.
public sealed class FieldToc : Field
{
    public FieldToc()
    {
        Type = FieldType.FieldTOC;
    }
}

// A field whose code this library does not recognise.
public sealed class FieldUnknown : Field
{
    public FieldUnknown()
    {
        Type = FieldType.FieldUnknown;
    }
}

public sealed class FieldUpdatingProgressArgs
{
    internal FieldUpdatingProgressArgs()
    {
    }
}

// The USERADDRESS field.
public sealed class FieldUserAddress : Field
{
    public FieldUserAddress()
    {
        Type = FieldType.FieldUserAddress;
    }
}

// The USERINITIALS field.
public sealed class FieldUserInitials : Field
{
    public FieldUserInitials()
    {
        Type = FieldType.FieldUserInitials;
    }
}

// The USERNAME field.
public sealed class FieldUserName : Field
{
    public FieldUserName()
    {
        Type = FieldType.FieldUserName;
    }
}

// The XE field.
public sealed class FieldXE : Field
{
    public FieldXE()
    {
        Type = FieldType.FieldIndexEntry;
    }
}

// The form fields below a node, found afresh in the node tree on every use.
public sealed class FormFieldCollection : System.Collections.Generic.IEnumerable<FormField>
{
    private readonly NodeView<FormField> view;

    internal FormFieldCollection(Node root)
    {
        view = new NodeView<FormField>(root, NodeType.FormField, node => (FormField)node);
    }

    public int Count => view.Count;

    public FormField this[int index] => view[index];

    /// <summary>The form field of that name, or null.</summary>
    public FormField? this[string name] => System.Linq.Enumerable.FirstOrDefault(view.Items(), f => f.Name == name);

    public void Remove(string formField) =>
        (this[formField] ?? throw new System.ArgumentException($"There is no form field named '{formField}'.", nameof(formField))).Remove();

    public void Clear()
    {
        foreach (FormField field in System.Linq.Enumerable.ToList(view.Items()))
            field.Remove();
    }

    public System.Collections.Generic.IEnumerator<FormField> GetEnumerator() => view.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

// The general formatting switches of a field, in the order the code gives them.
public sealed class GeneralFormatCollection : System.Collections.Generic.IEnumerable<GeneralFormat>
{
    private readonly System.Collections.Generic.List<GeneralFormat> items = new();

    internal GeneralFormatCollection()
    {
    }

    public int Count => items.Count;

    public GeneralFormat this[int index] => items[index];

    public void RemoveAt(int index) => items.RemoveAt(index);

    public void Add(GeneralFormat item) => items.Add(EnumCheck.Defined(item));

    public void Remove(GeneralFormat item) => items.Remove(item);

    public System.Collections.Generic.IEnumerator<GeneralFormat> GetEnumerator() => items.GetEnumerator();

    System.Collections.IEnumerator System.Collections.IEnumerable.GetEnumerator() => GetEnumerator();
}

public interface IBarcodeGenerator
{
}

public interface IBibliographyStylesProvider
{
}

public interface IComparisonExpressionEvaluator
{
    ComparisonEvaluationResult Evaluate(Field field, ComparisonExpression expression);
}

public interface IFieldDatabaseProvider
{
    FieldDatabaseDataTable GetQueryResult(string fileName, string connection, string query, FieldDatabase field);
}

public interface IFieldResultFormatter
{
    string? FormatNumeric(double value, string format);

    string? Format(string value, GeneralFormat format);

    string? Format(double value, GeneralFormat format);
}

public interface IFieldUpdateCultureProvider
{
}

public interface IFieldUpdatingCallback
{
    void FieldUpdating(Field field);

    void FieldUpdated(Field field);
}

public interface IFieldUpdatingProgressCallback
{
    void Notify(FieldUpdatingProgressArgs args);
}

public interface IFieldUserPromptRespondent
{
    string Respond(string promptText, string defaultResponse);
}

public sealed class MergeFieldImageDimension
{
    private MergeFieldImageDimensionUnit unit = MergeFieldImageDimensionUnit.Point;

    public MergeFieldImageDimension()
    {
    }

    public double Value { get; set; } = -1;

    public MergeFieldImageDimensionUnit Unit
    {
        get => unit;
        set => unit = EnumCheck.Defined(value);
    }
}

// The categories of a table of authorities.
public sealed class ToaCategories
{
    // Word's sixteen categories: seven named, the rest known by their number.
    private readonly string[] names =
    {
        "Cases", "Statutes", "Other Authorities", "Rules", "Treatises", "Regulations", "Constitutional Provisions",
        "8", "9", "10", "11", "12", "13", "14", "15", "16",
    };

    public ToaCategories()
    {
    }

    /// <summary>The name of the category at the index (0 is category 1).</summary>
    public string this[int index]
    {
        get => names[index];
        set => names[index] = value ?? throw new System.ArgumentNullException(nameof(value));
    }

    public static ToaCategories DefaultCategories { get; } = new();
}

// The user's name, initials and address, for the USERNAME, USERINITIALS and
// USERADDRESS fields.
public sealed class UserInformation
{
    public UserInformation()
    {
    }

    public string? Name { get; set; }

    public string? Initials { get; set; }

    public string? Address { get; set; }

    public static UserInformation DefaultUser { get; } = new();
}
