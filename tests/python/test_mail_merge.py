"""The simple mail merge: merge fields of a real .docx (simple and complex markup) replaced by
values through Document.mail_merge and through lowcode.MailMerger, whose execute is one name
with static overloads (through the class) and an instance overload (through an instance)."""
import re

import docx
import pytest
from docx.oxml import parse_xml
from docx.oxml.ns import nsdecls, qn


def complex_field(code, result):
    """The runs of a complex field as a word processor writes them: begin, code, separate, result, end."""
    runs = [f'<w:r {nsdecls("w")}><w:fldChar w:fldCharType="begin"/></w:r>',
            f'<w:r {nsdecls("w")}><w:instrText xml:space="preserve"> {code} </w:instrText></w:r>',
            f'<w:r {nsdecls("w")}><w:fldChar w:fldCharType="separate"/></w:r>',
            f'<w:r {nsdecls("w")}><w:t>{result}</w:t></w:r>',
            f'<w:r {nsdecls("w")}><w:fldChar w:fldCharType="end"/></w:r>']
    return [parse_xml(run) for run in runs]


def simple_field(code, result):
    return parse_xml(f'<w:fldSimple {nsdecls("w")} w:instr=" {code} "><w:r><w:t>{result}</w:t></w:r></w:fldSimple>')


def letter(path):
    """Dear <First> <<Last>>, merged with the city (upper case) and an unknown field."""
    document = docx.Document()
    p = document.add_paragraph("Dear ")
    p._p.append(simple_field("MERGEFIELD First \\* MERGEFORMAT", "\u00abFirst\u00bb"))
    p.add_run(" ")
    for run in complex_field('MERGEFIELD "Last Name"', "\u00abLast Name\u00bb"):
        p._p.append(run)
    p.add_run(",")
    q = document.add_paragraph("City: ")
    for run in complex_field("MERGEFIELD City \\* Upper \\b [ \\f ]", "\u00abCity\u00bb"):
        q._p.append(run)
    q._p.append(simple_field("MERGEFIELD Unknown", "\u00abUnknown\u00bb"))
    document.save(path)
    return path


def texts(path):
    """Each paragraph's shown text, fields' results included (python-docx skips simple fields)."""
    return ["".join(t.text or "" for t in p._p.iter(qn("w:t"))) for p in docx.Document(path).paragraphs]


NAMES = ["first", "LAST NAME", "City"]
VALUES = ["Ada", "Lovelace", "London"]
MERGED = ["Dear Ada Lovelace,", "City: [LONDON]\u00abUnknown\u00bb"]


def test_the_document_engine_merges_simple_and_complex_fields_and_keeps_the_rest(mv, tmp_path):
    doc = mv.Document(str(letter(tmp_path / "letter.docx")))
    doc.mail_merge.execute(NAMES, VALUES)
    doc.save(str(tmp_path / "out.docx"))
    assert texts(tmp_path / "out.docx") == MERGED
    # The unmatched field is still a field: a second merge fills it.
    again = mv.Document(str(tmp_path / "out.docx"))
    again.mail_merge.execute(["unknown"], [42])
    again.save(str(tmp_path / "again.docx"))
    assert texts(tmp_path / "again.docx") == [MERGED[0], "City: [LONDON]42"]


def test_bad_arguments_and_unsupported_fields_raise_and_leave_the_document(mv, tmp_path):
    doc = mv.Document(str(letter(tmp_path / "letter.docx")))
    with pytest.raises(RuntimeError, match=r"System\.ArgumentException.*2 names and 1 values"):
        doc.mail_merge.execute(["First", "City"], ["Ada"])
    with pytest.raises(TypeError):
        doc.mail_merge.execute(5, ["Ada"])
    document = docx.Document()
    p = document.add_paragraph()
    for run in complex_field("MERGEFIELD Total \\# 0.00", "x"):
        p._p.append(run)
    document.save(tmp_path / "number.docx")
    numbers = mv.Document(str(tmp_path / "number.docx"))
    with pytest.raises(RuntimeError, match=r"NotSupportedException.*MailMerge\.Execute.*\\# is not supported"):
        numbers.mail_merge.execute(["Total"], [3])
    # A refused merge does not disturb the first document.
    doc.mail_merge.execute(NAMES, VALUES)
    doc.save(str(tmp_path / "out.docx"))
    assert texts(tmp_path / "out.docx") == MERGED


def test_execute_is_static_through_the_class_and_bound_through_an_instance(mv, tmp_path):
    merger_type = mv.lowcode.MailMerger
    descriptor = merger_type.__dict__["execute"]
    assert type(descriptor) is mv._MixMethodDescrType
    assert repr(merger_type.execute) == "<extension method execute of morvax.velto.lowcode.MailMerger objects>"
    source = str(letter(tmp_path / "letter.docx"))

    merger_type.execute(source, str(tmp_path / "static.docx"), NAMES, VALUES)
    assert texts(tmp_path / "static.docx") == MERGED
    merger_type.execute(source, str(tmp_path / "format.bin"), mv.SaveFormat.DOCX, NAMES, VALUES)
    assert texts(tmp_path / "format.bin") == MERGED

    merger = merger_type.create(mv.lowcode.MailMergerContext())
    bound = merger.execute
    assert re.fullmatch(r"<extension method execute of morvax\.velto\.lowcode\.MailMerger object at 0x[0-9a-fA-F]+>",
                        repr(bound))
    assert bound is not merger.execute and bound == merger.execute
    with pytest.raises(RuntimeError, match="needs an input file: call LoadFrom first"):
        bound(NAMES, VALUES)
    assert merger.load_from(source).save_to(str(tmp_path / "instance.docx")) is not None
    merger.execute(NAMES, VALUES)
    assert texts(tmp_path / "instance.docx") == MERGED

