"""Calls every public member of twenty core classes with hostile values.

Run as a script in its own process (a crash or a hang must not take the test runner with
it). Each member is called with no argument, with each hostile value alone, and with pairs
and triples of them; each property is read, then written with each value and read back. A call may
succeed or raise a Python error of an accepted kind; anything else is printed as
"UNEXPECTED <class>.<member>: <error>" and the script exits 1. A member that runs longer
than the budget dumps the stacks and ends the process (faulthandler), which the caller
sees as a failure too.
"""
import datetime
import decimal
import faulthandler
import math
import sys

import morvax.velto as mv

MEMBER_BUDGET_SECONDS = 20
ACCEPTED = (TypeError, ValueError, OverflowError, IndexError, AttributeError)


def core_objects():
    """Twenty core classes, each with a factory for a fresh, populated instance."""
    def document():
        doc = mv.Document()
        builder = mv.DocumentBuilder(doc)
        builder.writeln("first paragraph")
        builder.font.bold = True
        builder.write("second")
        return doc

    def builder():
        return mv.DocumentBuilder(document())

    def paragraph():
        return document().first_section.body.first_paragraph

    return {
        "Document": document,
        "DocumentBuilder": builder,
        "Font": lambda: builder().font,
        "ParagraphFormat": lambda: builder().paragraph_format,
        "Section": lambda: document().first_section,
        "SectionCollection": lambda: document().sections,
        "Body": lambda: document().first_section.body,
        "Paragraph": paragraph,
        "ParagraphCollection": lambda: document().first_section.body.paragraphs,
        "RunCollection": lambda: paragraph().runs,
        "Run": lambda: paragraph().first_child,
        "NodeCollection": lambda: document().get_child_nodes(mv.NodeType.PARAGRAPH, True),
        "BuiltInDocumentProperties": lambda: document().built_in_document_properties,
        "CustomDocumentProperties": lambda: document().custom_document_properties,
        "DocumentProperty": lambda: document().custom_document_properties.add("name", 1),
        "LoadOptions": mv.loading.LoadOptions,
        "OoxmlSaveOptions": mv.saving.OoxmlSaveOptions,
        "HtmlSaveOptions": mv.saving.HtmlSaveOptions,
        "TxtSaveOptions": mv.saving.TxtSaveOptions,
        "ValueProbe": mv.testing.ValueProbe,
    }


def hostile_values():
    other_document = mv.Document()
    return [
        None, 0, -1, 2**31, -2**31 - 1, 2**63, -2**64, 10**100, math.nan, math.inf, -0.0, 1e308,
        "", "\x00", "a\x00b", "\ud800", "lone \udce9 escape", "x" * (1 << 20), b"", b"\x00\xff" * 64,
        bytearray(b"abc"), memoryview(b"abcdef")[::2], memoryview(b"abc"), [], [1, "2", None], (),
        {"k": "v"}, {1, 2}, object(), decimal.Decimal("NaN"), decimal.Decimal("-1e100"),
        datetime.datetime.max, datetime.timedelta.min, other_document, other_document.first_section,
        mv.BreakType.PAGE_BREAK, mv.SaveFormat.DOCX, mv.NodeType, True,
    ]


def accepted(error):
    if isinstance(error, ACCEPTED):
        return True
    return isinstance(error, RuntimeError) and str(error).startswith("Proxy error(")


def members(instance):
    for name in dir(type(instance)):
        if name.startswith("_"):
            continue
        yield name


def main():
    faulthandler.enable()
    values = hostile_values()
    failures = 0
    calls = 0
    for class_name, make in core_objects().items():
        instance = make()
        for name in members(instance):
            faulthandler.dump_traceback_later(MEMBER_BUDGET_SECONDS, exit=True)
            attribute = getattr(type(instance), name)
            is_property = hasattr(attribute, "__set__") or isinstance(attribute, property)
            attempts = []
            if is_property:
                attempts.append(lambda: getattr(instance, name))
                # Read back after each write: what was accepted must come back out.
                attempts += [lambda v=v: (setattr(instance, name, v), getattr(instance, name)) for v in values]
            else:
                attempts.append(lambda: getattr(instance, name)())
                attempts += [lambda v=v: getattr(instance, name)(v) for v in values]
                attempts += [lambda v=v, w=w: getattr(instance, name)(v, w) for v, w in zip(values, values[1:])]
                attempts += [lambda v=v: getattr(instance, name)(v, v, v) for v in values[::3]]
            for attempt in attempts:
                calls += 1
                try:
                    attempt()
                except Exception as error:  # KeyboardInterrupt and kin stop the run on purpose
                    if not accepted(error):
                        failures += 1
                        print(f"UNEXPECTED {class_name}.{name}: {type(error).__name__}: {str(error)[:200]}")
            # A member may have changed the object past use: the next one starts afresh.
            instance = make()
    faulthandler.cancel_dump_traceback_later()
    print(f"CALLS {calls} UNEXPECTED {failures}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
