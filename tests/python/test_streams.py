"""The stream bridge: real documents saved to and loaded from Python file objects, .NET
streams used as Python file objects (_StreamWrapper), Python streams that fail, lie or
close half-way, the _ShlBufferView lent during a callback, the stream callbacks on their
own (through _converter_probe), and ownership of every reference and handle."""
import gc
import io
import os
import re
import sys

import pytest

from conftest import TEST_SUPPORT, run_python

if str(TEST_SUPPORT) not in sys.path:
    sys.path.insert(0, str(TEST_SUPPORT))

import _converter_probe as native  # noqa: E402

PATTERN = bytes(range(256)) * 40  # 10,240 bytes


@pytest.fixture()
def probe(mv):
    return mv.testing.StreamProbe()


@pytest.fixture(scope="module")
def document(mv):
    doc = mv.Document()
    builder = mv.DocumentBuilder(doc)
    for i in range(40):
        builder.writeln(f"Paragraph {i}: streams carry documents both ways.")
    return doc


def docx_bytes(mv, doc):
    out = io.BytesIO()
    doc.save(out, mv.SaveFormat.DOCX)
    return out.getvalue()


class Unseekable(io.RawIOBase):
    """A raw stream over bytes that refuses to seek and hands out at most 1000 bytes a time."""

    def __init__(self, data=b""):
        self.data, self.at, self.written = data, 0, bytearray()
        self.writes = 0

    def readable(self):
        return True

    def writable(self):
        return True

    def readinto(self, b):
        view = memoryview(b)
        chunk = self.data[self.at:self.at + min(len(view), 1000)]
        view[:len(chunk)] = chunk
        self.at += len(chunk)
        return len(chunk)

    def write(self, b):
        self.writes += 1
        taken = bytes(memoryview(b)[:1000])  # a raw stream may take part of what it is given
        self.written += taken
        return len(taken)


class Counting(io.BytesIO):
    def __init__(self, *args):
        super().__init__(*args)
        self.calls = {"write": 0, "readinto": 0}

    def write(self, b):
        self.calls["write"] += 1
        return super().write(b)

    def readinto(self, b):
        self.calls["readinto"] += 1
        return super().readinto(b)


# --- the adapter types -------------------------------------------------------------------------


def test_the_interop_module_lists_eleven_types(mv):
    interop = mv._wrpgen._interop
    names = sorted(n for n in vars(interop) if n.startswith("_") and not n.startswith("__"))
    assert names == sorted(["_IDisposableWrapper", "_IterWrapper", "_IterableWrapper", "_IColWrapper",
                            "_IListWrapper", "_RoColBaseWrapper", "_ColBaseWrapper", "_ArrayWrapper",
                            "_ArrListWrapper", "_ShlBufferView", "_StreamWrapper"])
    stream, view = interop._StreamWrapper, interop._ShlBufferView
    assert stream.__dict__["_implicit_interfaces"] == {interop._IDisposableWrapper}
    assert stream.__dict__["_additional_interfaces"] == {interop._IDisposableWrapper}
    for attribute in ("_implicit_interfaces", "_additional_interfaces", "_morvax_clr_host", "_morvax_clr_castable_obj"):
        assert attribute not in view.__dict__
    with pytest.raises(TypeError, match="^type has no available constructor$"):
        stream()
    with pytest.raises(TypeError):
        view()
    with pytest.raises(TypeError):
        type("Sub", (stream,), {})


# --- real documents through Python streams ------------------------------------------------------


def test_documents_round_trip_through_every_kind_of_python_stream(mv, document, tmp_path):
    import morvax.pycore
    expected = document.get_text()
    data = docx_bytes(mv, document)
    path = tmp_path / "doc.docx"
    path.write_bytes(data)
    assert mv.Document(str(path)).get_text() == expected

    sources = {
        "BytesIO": io.BytesIO(data),
        "BufferedReader": open(path, "rb"),
        "FileIO": io.FileIO(path, "rb"),
        "unseekable raw": Unseekable(data),
        "BytesAsStream": morvax.pycore.BytesAsStream(data),
    }
    for name, source in sources.items():
        assert mv.Document(source).get_text() == expected, name
        if hasattr(source, "close"):
            source.close()
    assert mv.Document(io.BytesIO(data), mv.loading.LoadOptions()).get_text() == expected

    with open(tmp_path / "out.docx", "wb") as file:
        document.save(file, mv.SaveFormat.DOCX)
    assert mv.Document(str(tmp_path / "out.docx")).get_text() == expected
    raw = Unseekable()
    document.save(raw, mv.saving.OoxmlSaveOptions(mv.SaveFormat.DOCX))
    assert mv.Document(io.BytesIO(bytes(raw.written))).get_text() == expected
    pycore = morvax.pycore.BytesAsStream()
    document.save(pycore, mv.SaveFormat.DOCX)
    assert mv.Document(io.BytesIO(pycore.getvalue())).get_text() == expected
    text = io.BytesIO()
    document.save(text, mv.saving.TxtSaveOptions())
    assert text.getvalue().decode("utf-8-sig").startswith("Paragraph 0")


def test_documents_cross_a_pipe(mv, document):
    # Neither end of a pipe seeks; the document is small enough for the pipe's buffer.
    read_end, write_end = os.pipe()
    with open(write_end, "wb") as writer:
        assert not writer.seekable()
        document.save(writer, mv.SaveFormat.DOCX)
    with open(read_end, "rb") as reader:
        assert mv.Document(reader).get_text() == document.get_text()


def test_saving_writes_at_the_position_and_loading_reads_from_it(mv, document):
    out = io.BytesIO()
    out.write(b"HEAD")
    document.save(out, mv.SaveFormat.DOCX)
    data = out.getvalue()
    assert data[:4] == b"HEAD" and out.tell() == len(data)
    source = io.BytesIO(data)
    source.seek(4)
    assert mv.Document(source).get_text() == document.get_text()


def test_small_reads_and_writes_are_buffered(probe):
    out = Counting()
    probe.write_in_pieces(out, PATTERN, 1)
    assert out.getvalue() == PATTERN and out.calls["write"] == 1
    probe.write_in_pieces(out, PATTERN, 100)
    assert out.calls["write"] == 2
    source = Counting(PATTERN * 10)
    assert probe.count_bytes(source) == len(PATTERN) * 10
    assert source.calls["readinto"] <= 3
    # What was read ahead of the .NET reader is given back: the position is where it stopped.
    source = Counting(PATTERN)
    assert probe.read_all(source, 7) == PATTERN
    source.seek(0)
    assert bytes(probe.read_all(Unseekable(PATTERN), 10)) == PATTERN


def test_capabilities_positions_and_lengths_of_python_streams(probe):
    assert probe.capabilities(io.BytesIO()) == "1,1,1"
    assert probe.capabilities(Unseekable()) == "1,1,0"
    assert probe.capabilities(open(os.devnull, "rb")) == "1,0,1"
    source = io.BytesIO(PATTERN)
    source.seek(5)
    assert probe.length_of(source) == len(PATTERN) and source.tell() == 5
    assert probe.seek_to(source, -10, 2) == len(PATTERN) - 10
    target = io.BytesIO(PATTERN)
    probe.set_length_of(target, 3)
    assert target.getvalue() == PATTERN[:3]
    with pytest.raises(RuntimeError, match=r"NotSupportedException.*not seekable"):
        probe.length_of(Unseekable())
    with pytest.raises(RuntimeError, match="ObjectDisposedException"):
        closed = io.BytesIO()
        closed.close()
        probe.length_of(closed)


def test_the_stream_argument_builder(mv, probe, document):
    source = io.BytesIO(b"abc")
    assert probe.echo(source) is source  # the Python object itself comes back
    assert probe.echo(None) is None
    for refused, name in [(b"abc", "bytes"), ("text", "str"), (io.StringIO("x"), "_io.StringIO"), (3, "int"),
                          (document, "morvax.velto.Document")]:
        with pytest.raises(TypeError, match=rf"^can't build Stream from '{re.escape(name)}'$"):
            probe.echo(refused)
    with open(os.devnull, "r") as text_file:
        with pytest.raises(TypeError, match=r"can't build Stream from '_io.TextIOWrapper'"):
            probe.echo(text_file)
    wrapper = probe.open_stream(b"xyz")
    again = probe.echo(wrapper)
    assert type(again) is mv._wrpgen._interop._StreamWrapper and again == wrapper
    adapter = mv._wrpgen._interop._StreamWrapper
    assert adapter._is_assignable(wrapper) and not adapter._is_assignable(document)
    assert adapter._cast_as(wrapper) == wrapper and adapter._cast_as(document) is None


# --- Python streams that fail, lie or close ------------------------------------------------------


class Failing(io.BytesIO):
    """A BytesIO that raises from one method, or answers it with a given value."""

    def __init__(self, data=b"", method=None, answer=None):
        super().__init__(data)
        self.method, self.answer = method, answer

    def _maybe(self, name, call, *args):
        if self.method == name:
            if isinstance(self.answer, BaseException):
                raise self.answer
            return self.answer
        return call(*args)

    def write(self, b):
        return self._maybe("write", super().write, b)

    def readinto(self, b):
        return self._maybe("readinto", super().readinto, b)

    def seek(self, *args):
        return self._maybe("seek", super().seek, *args)

    def tell(self):
        return self._maybe("tell", super().tell)

    def flush(self):
        return self._maybe("flush", super().flush)

    def truncate(self, *args):
        return self._maybe("truncate", super().truncate, *args)

    def readable(self):
        return self._maybe("readable", super().readable)

    def writable(self):
        return self._maybe("writable", super().writable)

    def seekable(self):
        return self._maybe("seekable", super().seekable)


@pytest.mark.parametrize("method, answer, message", [
    ("write", OSError("disk full"), "write.*OSError: disk full"),
    ("write", "ten", "write.*integer argument expected, got 'str'"),
    ("write", 10**9, "write.*reported 1000000000 bytes written"),
    ("write", 0, "write.*took none"),
    ("flush", ValueError("flush broke"), "flush.*ValueError: flush broke"),
    ("writable", ValueError("who knows"), "writable.*ValueError: who knows"),
    ("writable", 1, "writable.*can't build bool from 'int'"),
    ("writable", False, "The stream is not writable"),
])
def test_a_failing_stream_fails_the_save_with_its_reason(mv, document, method, answer, message):
    target = Failing(method=method, answer=answer)
    with pytest.raises(RuntimeError, match="(?s)" + message):
        document.save(target, mv.SaveFormat.DOCX)
    assert mv.Document(io.BytesIO(docx_bytes(mv, document))).get_text() == document.get_text()  # all still works


@pytest.mark.parametrize("method, answer, message", [
    ("readinto", OSError("bad sector"), "readinto.*OSError: bad sector"),
    ("readinto", "many", "readinto.*integer argument expected, got 'str'"),
    ("readinto", 10**7, "readinto.*reported 10000000 bytes read"),
    ("readable", ValueError("unsure"), "readable.*ValueError: unsure"),
])
def test_a_failing_stream_fails_the_load_with_its_reason(mv, document, method, answer, message):
    with pytest.raises(RuntimeError, match="(?s)" + message):
        mv.Document(Failing(docx_bytes(mv, document), method, answer))


def test_failing_positions_and_lengths(probe):
    for method, message in [("seek", "seek.*KeyError"), ("tell", "tell.*KeyError"), ("truncate", "truncate.*KeyError")]:
        stream = Failing(PATTERN, method, KeyError("nope"))
        with pytest.raises(RuntimeError, match="(?s)" + message):
            if method == "truncate":
                probe.set_length_of(stream, 2)
            elif method == "tell":
                probe.position_of(stream)
            else:
                probe.seek_to(stream, 1, 0)


def test_an_interrupt_in_a_callback_passes_through_unchanged(mv, document):
    with pytest.raises(KeyboardInterrupt):
        document.save(Failing(method="write", answer=KeyboardInterrupt()), mv.SaveFormat.DOCX)
    with pytest.raises(KeyboardInterrupt):
        mv.Document(Failing(docx_bytes(mv, document), "readinto", KeyboardInterrupt()))
    assert docx_bytes(mv, document)


def test_a_stream_closed_half_way_fails_the_call(mv, document):
    class ClosesItself(io.BytesIO):
        def write(self, b):
            written = super().write(memoryview(b)[:10])
            self.close()
            return written

    target = ClosesItself()
    with pytest.raises(RuntimeError, match="closed"):
        document.save(target, mv.SaveFormat.DOCX)
    closed = io.BytesIO()
    closed.close()
    with pytest.raises(RuntimeError, match="ObjectDisposedException"):
        document.save(closed, mv.SaveFormat.DOCX)


def test_a_python_stream_is_usable_only_during_its_call(probe):
    probe.keep(io.BytesIO(b"kept"))
    with pytest.raises(RuntimeError, match="does not support reading"):
        probe.read_kept()


def test_net_code_disposing_a_python_stream_closes_it(probe):
    stream = io.BytesIO(b"abc")
    probe.dispose_stream(stream)
    assert stream.closed


# --- the buffer view ------------------------------------------------------------------------------


def test_a_buffer_view_is_refused_after_its_callback(mv, document, probe):
    class Keeper(io.RawIOBase):
        def writable(self):
            return True

        def write(self, b):
            self.view, self.memory = b, memoryview(b)
            assert type(b).__name__ == "_ShlBufferView" and self.memory.readonly
            return len(self.memory)

    keeper = Keeper()
    probe.write_in_pieces(keeper, PATTERN, len(PATTERN))
    # The view itself no longer lends its bytes; a memoryview taken during the call keeps
    # its own copy, never .NET memory.
    with pytest.raises(BufferError, match="lent only during the call"):
        memoryview(keeper.view)
    with pytest.raises(BufferError):
        bytes(keeper.view)
    assert keeper.memory.tobytes() == PATTERN
    del keeper.memory
    with pytest.raises(BufferError):
        memoryview(keeper.view)


# --- the stream callbacks on their own ----------------------------------------------------------


def test_callbacks_answer_and_leave_errors_as_their_contract_says():
    stream = io.BytesIO(b"hello")
    assert native.stream_call("can_read", stream) == (1, None)
    assert native.stream_call("can_seek", Unseekable()) == (0, None)
    assert native.stream_call("length", stream) == (5, None)
    assert native.stream_call("length", Unseekable()) == (-2, None)
    assert native.stream_call("seek", stream, 1, 0) == (1, None)
    assert native.stream_call("read_byte", stream) == (ord("e"), None)
    assert native.stream_call("readinto", stream, 10) == (3, None, b"llo")
    assert native.stream_call("read_byte", stream) == (-1, None)
    assert native.stream_call("write", stream, b"!!") == (2, None)
    assert native.stream_call("write_byte", stream, 63) == (1, None)
    assert native.stream_call("tell", stream) == (8, None) and stream.getvalue() == b"hello!!?"
    assert native.stream_call("set_length", stream, 2) == (0, None)
    assert stream.getvalue() == b"he" and stream.tell() == 2
    assert native.stream_call("flush", stream) == (0, None)
    stream.close()
    assert native.stream_call("length", stream) == (-3, None)
    assert native.stream_call("can_write", stream) == (0, None)

    class NoneReader(io.RawIOBase):
        def readinto(self, b):
            return None

    result, error = native.stream_call("read_byte", NoneReader())
    assert result == -2 and isinstance(error, OSError) and str(error) == "no bytes are available for reading"

    class OddClosed(io.BytesIO):
        closed = 1

    result, error = native.stream_call("can_read", OddClosed())
    assert result == -1 and str(error) == "An error occurred while checking if the stream is closed"
    assert str(error.__cause__) == "can't build bool from 'int'"
    result, error = native.stream_call("length", Failing(b"x", "seekable", "yes"))
    assert result == -1 and str(error) == "While calculating the length of the stream, an error occurred."
    assert str(error.__cause__) == "can't build bool from 'str'"
    result, error = native.stream_call("length", Failing(b"x", "seek", OSError("no")))
    assert result == -1 and isinstance(error.__cause__, OSError)


def test_the_close_callback_keeps_a_pending_error_and_reports_its_own(monkeypatch):
    reported = []
    monkeypatch.setattr(sys, "unraisablehook", lambda info: reported.append(info.exc_value))

    class BadClose(io.BytesIO):
        def close(self):
            raise OSError("cannot close")

    assert native.stream_call("close", BadClose()) == (0, None)
    assert [str(e) for e in reported] == ["cannot close"]


def test_views_lent_by_callbacks_expire_with_the_call():
    # The probe lends heap memory that it frees when the callback returns: a view that kept
    # pointing at it would be a use after free, which AddressSanitizer reports.
    kept = []

    class Keeping(io.RawIOBase):
        def write(self, b):
            kept.append(b)
            return len(memoryview(b))

        def readinto(self, b):
            kept.append(b)
            memoryview(b)[:3] = b"abc"
            return 3

    assert native.stream_call("write", Keeping(), PATTERN) == (len(PATTERN), None)
    assert native.stream_call("readinto", Keeping(), 8) == (3, None, b"abc")
    for view in kept:
        with pytest.raises(BufferError):
            bytes(view)


# --- .NET streams as Python file objects -------------------------------------------------------------


def test_read_to_the_end_grows_the_buffer_in_the_documented_steps(probe):
    data = PATTERN[:10000]
    stream = probe.open_stream(data)
    assert stream.read() == data
    # 1024, then 5120, 9216 and 27648 bytes: each read asks for the free part.
    assert probe.read_sizes == "1024,4096,4096,18432,17648"
    for read in (lambda s: s.read(-1), lambda s: s.read(None), lambda s: s.readall()):
        assert read(probe.open_stream(data)) == data


def test_reads_of_a_size_and_readinto(probe):
    stream = probe.open_stream(b"abcdef")
    assert stream.read(0) == b"" and probe.read_sizes == "0"
    assert stream.read(4) == b"abcd" and stream.read(10) == b"ef" and stream.read(1) == b""
    stream.seek(0)
    target = bytearray(4)
    assert stream.readinto(target) == 4 and target == b"abcd"
    with pytest.raises(TypeError, match=r"^readinto argument must be read-write bytes-like object, not 'bytes'$"):
        stream.readinto(b"xx")
    with pytest.raises(TypeError, match=r"^argument should be integer or None, not 'str'$"):
        stream.read("3")
    with pytest.raises(TypeError, match=r"^read\(\) takes at most 1 argument \(2 given\)$"):
        stream.read(1, 2)


def test_lines_seek_back_and_iteration_ends_on_an_empty_line(probe):
    stream = probe.open_stream(b"ab\ncd")
    assert stream.readline() == b"ab\n" and stream.tell() == 3
    assert stream.readline() == b"cd" and stream.readline() == b""
    stream = probe.open_stream(b"abcd")
    assert stream.readline(2) == b"ab" and probe.read_sizes == "2" and stream.tell() == 2
    assert list(probe.open_stream(b"one\ntwo\n\nfour")) == [b"one\n", b"two\n", b"\n", b"four"]
    assert probe.open_stream(b"a\nb\nc\n").readlines() == [b"a\n", b"b\n", b"c\n"]
    assert probe.open_stream(b"a\nbb\nc\n").readlines(3) == [b"a\n", b"bb\n"]
    long_line = b"x" * 5000 + b"\nrest"
    stream = probe.open_stream(long_line)
    assert stream.readline() == long_line[:5001] and stream.read() == b"rest"


def test_seek_write_truncate_and_their_messages(probe):
    stream = probe.open_stream(b"0123456789")
    with pytest.raises(ValueError, match=r"^negative seek value -1$"):
        stream.seek(-1)
    with pytest.raises(ValueError, match=r"^invalid whence \(3, should be 0, 1 or 2\)$"):
        stream.seek(0, 3)
    with pytest.raises(TypeError, match=r"^integer argument expected, got 'str'$"):
        stream.seek("1")
    assert stream.seek(-1, 2) == 9 and stream.read() == b"9"
    assert stream.seek(2) == 2 and stream.seek(3, 1) == 5
    assert stream.write(b"AB") == 2 and stream.write(bytearray(b"C")) == 1 and stream.write(memoryview(b"D")) == 1
    with pytest.raises(TypeError, match=r"^write argument must be bytes-like object, not 'str'$"):
        stream.write("text")
    with pytest.raises(TypeError, match=r"^write argument must be bytes-like object, not 'None'$"):
        stream.write(None)
    with pytest.raises(TypeError, match=r"^write argument must be contiguous buffer, not 'memoryview'$"):
        stream.write(memoryview(b"abcdef")[::2])
    with pytest.raises(TypeError):
        stream.writelines([b"E", "F", b"G"])
    assert probe.contents == b"01234ABCDE"  # lines before the failure stay written
    assert stream.truncate(4) == 4 and stream.seek(2) == 2 and stream.truncate() == 2
    assert probe.contents == b"01"
    with pytest.raises(TypeError, match=r"^truncate\(\) takes at most 1 argument \(2 given\)$"):
        stream.truncate(1, 2)
    assert stream.readable() and stream.writable() and stream.seekable() and not stream.isatty()
    stream.flush()


def test_closing_and_with(probe):
    stream = probe.open_stream(b"abc")
    with pytest.raises(ValueError, match="^fileno method is not supported$"):
        stream.fileno()
    assert stream.close() is None and stream.closed
    for call in (stream.read, stream.readline, stream.tell, stream.flush, stream.readable, stream.isatty,
                 lambda: stream.write(b"x"), lambda: stream.seek(0), lambda: stream.readinto(bytearray(1)),
                 lambda: iter(stream)):
        with pytest.raises(ValueError, match=r"^I/O operation on closed stream$"):
            call()
    with pytest.raises(ValueError, match=r"^negative seek value -5$"):
        stream.seek(-5)  # arguments are checked first
    assert stream.close() is None
    with pytest.raises(ValueError, match="^fileno method is not supported$"):
        stream.fileno()
    with probe.open_stream(b"x\ny") as stream:
        assert [line for line in stream] == [b"x\n", b"y"]
    assert stream.closed and probe.last_disposed
    with pytest.raises(KeyError):
        with probe.open_stream(b"") as stream:
            raise KeyError("inside")
    assert stream.closed


def test_lines_need_a_seekable_stream(probe):
    stream = probe.open_non_seekable(b"a\nb")
    message = r"^the operation supported only for seekable inner streams. the inner stream is not seekable$"
    for call in (stream.readline, stream.readlines, lambda: iter(stream)):
        with pytest.raises(TypeError, match=message):
            call()
    assert stream.read() == b"a\nb"


# --- ownership ------------------------------------------------------------------------------------------


def test_references_and_handles_are_unchanged_after_many_saves_and_loads(mv, document, probe, handles):
    data = docx_bytes(mv, document)
    text_doc = mv.Document()
    mv.DocumentBuilder(text_doc).writeln("short")
    options = mv.saving.TxtSaveOptions()
    target, source = io.BytesIO(), io.BytesIO(data)
    watched = [target, source, options, data, text_doc]
    for _ in range(50):  # warm up caches
        text_doc.save(target, options)
        mv.Document(io.BytesIO(data))
    gc.collect()
    before_counts = [sys.getrefcount(o) for o in watched]
    before = handles.live()
    for i in range(10_000):
        target.seek(0)
        text_doc.save(target, options)
        target.seek(0)
        mv.Document(target)
        if i % 20 == 0:
            source.seek(0)
            mv.Document(source)
            try:
                text_doc.save(Failing(method="write", answer=OSError("full")), options)
            except RuntimeError:
                pass
        stream = probe.open_stream(b"a\nb")
        stream.readline()
        probe.echo(source)
    del stream
    gc.collect()
    assert [sys.getrefcount(o) for o in watched] == before_counts
    assert handles.live() == before


def test_a_document_round_trip_through_streams_in_a_fresh_process(tmp_path):
    # Start-up state: the first thing a process does is load from a stream.
    path = tmp_path / "fresh.docx"
    result = run_python(f"""
import io, morvax.velto as mv
doc = mv.Document()
mv.DocumentBuilder(doc).writeln("fresh")
out = io.BytesIO()
doc.save(out, mv.SaveFormat.DOCX)
open({str(path)!r}, "wb").write(out.getvalue())
print(repr(mv.Document(open({str(path)!r}, "rb")).get_text()))
""", timeout=120)
    assert "'fresh\\r\\x0c'" in result.stdout, result.stdout + result.stderr
