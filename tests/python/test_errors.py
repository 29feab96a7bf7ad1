"""Errors in both directions: .NET exceptions become RuntimeError; bad arguments TypeError."""
import datetime
import decimal

import pytest

from conftest import diagnostics_count, run_python


def test_dotnet_exception_becomes_proxy_error(mv):
    probe = mv.testing.ValueProbe()
    with pytest.raises(RuntimeError) as caught:
        probe.fail("it broke: \u00e9\U0001F600")
    assert str(caught.value) == "Proxy error(System.InvalidOperationException): it broke: \u00e9\U0001F600"
    # The probe still works after the failure.
    assert probe.echo("ok") == "ok"


def test_missing_file_is_a_runtime_error(mv, tmp_path):
    with pytest.raises(RuntimeError, match=r"^Proxy error\(System\.IO\.FileNotFoundException\): "):
        mv.Document(str(tmp_path / "no-such-file.docx"))


def test_corrupt_and_unknown_files(mv, tmp_path):
    corrupt = tmp_path / "corrupt.docx"
    corrupt.write_bytes(b"PK\x03\x04 certainly not a zip")
    with pytest.raises(RuntimeError, match=r"Proxy error\(Morvax\.Velto\.FileCorruptedException\)"):
        mv.Document(str(corrupt))
    unknown = tmp_path / "file.xyz"
    unknown.write_text("?")
    with pytest.raises(RuntimeError, match=r"Proxy error\(Morvax\.Velto\.UnsupportedFileFormatException\)"):
        mv.Document(str(unknown))


def test_constructor_overloads_report_every_reason(mv):
    with pytest.raises(TypeError) as caught:
        mv.Document(12345)
    reasons = caught.value.args[0]
    assert isinstance(reasons, list) and len(reasons) >= 3
    assert reasons[0] == "function takes at most 0 arguments (1 given)"
    assert reasons[1] == "can't build String from 'int'"
    with pytest.raises(TypeError) as caught:
        mv.Document(1, 2, 3)
    assert all("takes at most" in reason for reason in caught.value.args[0])


def test_single_overload_errors_pass_through(mv):
    doc = mv.Document()
    with pytest.raises(TypeError, match="can't build Document value from 'str'"):
        mv.DocumentBuilder("not a document")
    with pytest.raises(TypeError, match=r"can't build DocumentBase value from 'int'"):
        mv.Paragraph(5)
    mv.Paragraph(doc)


def test_no_constructor_and_no_subclassing(mv):
    for cls in (mv.Node, mv.CompositeNode, mv.Font, mv.saving.SaveOutputParameters):
        with pytest.raises(TypeError, match="type has no available constructor"):
            cls()
    with pytest.raises(TypeError):
        class MyDocument(mv.Document):
            pass


def test_deleting_a_property_is_refused_before_conversion(mv):
    doc = mv.Document()
    with pytest.raises(TypeError, match="cannot delete attribute 'default_tab_stop'"):
        del doc.default_tab_stop
    with pytest.raises(AttributeError):
        doc.first_section = None  # read-only


def test_calls_on_an_unbound_wrapper_fail_cleanly(mv):
    probe = mv.testing.ValueProbe.__new__(mv.testing.ValueProbe)
    with pytest.raises(RuntimeError, match="Proxy error"):
        probe.echo("x")
    with pytest.raises(TypeError):
        mv.Document.__init__(mv.Document(), 1, 2, 3)


def test_unused_handle_class_fails_only_itself(built):
    # A build of the interop assembly whose Inline class lacks an entry point.
    from conftest import BUILD
    variant = BUILD / "test-assemblies" / "omit-inline"
    code = """
import morvax.velto as mv
doc = mv.Document()
b = mv.DocumentBuilder(doc)
b.write("still works")
print("TEXT", repr(doc.get_text()))
for attempt in (lambda: mv.Run(doc), lambda: mv.Inline.__new__(mv.Inline)):
    try:
        attempt()
    except TypeError as e:
        _show_chain(e)
"""
    result = run_python(code, env={"NETCORE_WRAPPER_ASSEMBLY_DIR_morvax": str(variant)})
    assert "TEXT 'still works" in result.stdout, result.stdout + result.stderr
    chains = [line for line in result.stdout.splitlines() if line.startswith("CHAIN")]
    missing = ("TypeError: While initializing the host for the 'WrpNs_Morvax.WrpNs_Velto.WrpCs_Inline_")
    # Run: the referenced failure, chained to Inline's own message; then Inline itself.
    assert chains[0] == "CHAIN TypeError: one or more refereced type is not initialized"
    assert chains[1].startswith("CHAIN " + missing) and "Method 'get_Font' not found" in chains[1]
    assert chains[2] == chains[1]


def test_failing_calls_leave_no_python_text_held_by_dotnet(mv):
    # Each of these fails while .NET reads a Python value; whatever the text of that
    # failure went through, nothing of it may stay behind.
    held = diagnostics_count("HeldPythonTextCount")
    probe = mv.testing.ValueProbe()
    prop = mv.Document().custom_document_properties.add("x", 1)
    start = held()
    for _ in range(500):
        with pytest.raises(OverflowError):
            probe.describe(10**100)
        with pytest.raises(OverflowError):
            prop.value = decimal.Decimal("NaN")
    assert held() == start
    assert prop.value == 1


# Values .NET reads itself (object-typed parameters) fail as the same typed parameter would.
WRONG_VALUES = [
    (2**64, "int_64_value"), (-2**64, "int_64_value"), (10**100, "int_64_value"),
    (decimal.Decimal("NaN"), "amount"), (decimal.Decimal("1e100"), "amount"),
    (datetime.timedelta.max, "span"), (memoryview(b"abcdef")[::2], "bytes"),
]


@pytest.mark.parametrize("value, typed", WRONG_VALUES, ids=lambda v: repr(v)[:20])
def test_conversion_errors_of_untyped_parameters_reach_python_as_themselves(mv, value, typed):
    probe = mv.testing.ValueProbe()
    with pytest.raises(Exception) as typed_error:
        setattr(probe, typed, value)
    assert type(typed_error.value) in (OverflowError, ValueError)
    with pytest.raises(type(typed_error.value)):
        probe.describe(value)
    with pytest.raises(type(typed_error.value)):
        probe.value = value
    assert probe.describe(5) == "System.Int32: 5"


class Interrupted(BaseException):
    """Stands for KeyboardInterrupt and its kin: a BaseException that is no Exception."""


class InterruptingZone(datetime.tzinfo):
    def __init__(self, error):
        self.error = error

    def utcoffset(self, moment):
        raise self.error


@pytest.mark.parametrize("error", [KeyboardInterrupt(), Interrupted("stop")], ids=["KeyboardInterrupt", "BaseException"])
def test_interrupts_in_python_code_called_back_pass_through_unchanged(mv, error, capfd):
    probe = mv.testing.ValueProbe()
    moment = datetime.datetime(2020, 1, 2, tzinfo=InterruptingZone(error))
    for call in (lambda: probe.describe(moment), lambda: setattr(probe, "value", moment),
                 lambda: setattr(probe, "when", moment)):
        with pytest.raises(type(error)) as caught:
            call()
        assert caught.value is error
    assert probe.describe(datetime.datetime(2020, 1, 2)).startswith("System.DateTime")
    assert "Exception ignored" not in capfd.readouterr().err


def test_interrupts_while_the_error_bridge_formats_pass_through(built):
    import _converter_probe as bridge

    class Unformattable(Exception):
        @property
        def __notes__(self):  # read by the traceback module while it formats
            raise KeyboardInterrupt

    with pytest.raises(KeyboardInterrupt):
        bridge.take_error(Unformattable("bad"))
    with pytest.raises(KeyboardInterrupt):
        bridge.take_error(KeyboardInterrupt())    # not .NET's to take
    status, text = bridge.take_error(ValueError("bad"))
    assert status == 0 and text.endswith("ValueError: bad\n")
    with pytest.raises(Interrupted):
        bridge.report_over(Interrupted())          # a .NET failure does not replace it
    with pytest.raises(RuntimeError, match=r"^Proxy error\(System.InvalidOperationException\): failed$"):
        bridge.report_over(ValueError("replaced"))


def test_an_interrupt_while_datetime_is_first_imported_leaves_dates_working(built):
    result = run_python('''
import sys
import morvax.velto as mv
assert "datetime" not in sys.modules

class InterruptFirstImport:
    armed = True
    def find_spec(self, name, path=None, target=None):
        if self.armed and name == "datetime":
            InterruptFirstImport.armed = False
            raise KeyboardInterrupt
sys.meta_path.insert(0, InterruptFirstImport())
probe = mv.testing.ValueProbe()
try:
    probe.describe(object())
except BaseException as error:
    print("FIRST", type(error).__name__)
import datetime
print("THEN", probe.describe(datetime.datetime(2020, 1, 2, 3, 4, 5)))
print("SPAN", probe.describe(datetime.timedelta(1)))
''')
    assert "FIRST KeyboardInterrupt" in result.stdout, result.stdout + result.stderr
    assert "THEN System.DateTime" in result.stdout and "SPAN System.TimeSpan" in result.stdout
