"""BytesAsStream: the binary file protocol over an in-memory buffer."""
import io
import os
import sys

import pytest

import sibling_support  # noqa: F401
from morvax.pycore import BytesAsStream

CLOSED = "I/O operation on closed file."


def test_initial_bytes_are_copied():
    source = bytearray(b"abc")
    stream = BytesAsStream(source)
    source[0] = ord("z")
    assert stream.getvalue() == b"abc" and stream.tell() == 0 and len(stream) == 3
    assert BytesAsStream().getvalue() == b""
    assert BytesAsStream(initial=memoryview(b"xyz")[1:]).getvalue() == b"yz"
    with pytest.raises(TypeError):
        BytesAsStream("text")


def test_read_sizes():
    stream = BytesAsStream(b"0123456789")
    assert stream.read(0) == b""
    assert stream.read(3) == b"012"
    assert stream.read(None) == b"3456789"
    assert stream.read() == b"" and stream.read(5) == b""
    stream.seek(8)
    assert stream.read(-1) == b"89"
    with pytest.raises(TypeError):
        stream.read(1.0)


def test_seek_past_end_then_write_zero_fills():
    stream = BytesAsStream(b"ab")
    assert stream.seek(5) == 5
    assert stream.read() == b""      # reading past the end gives nothing and moves nothing
    assert stream.tell() == 5 and len(stream) == 2
    assert stream.write(b"") == 0 and len(stream) == 2  # an empty write does not extend
    assert stream.write(b"XY") == 2
    assert stream.getvalue() == b"ab\0\0\0XY" and stream.tell() == 7


def test_write_overwrites_then_extends():
    stream = BytesAsStream(b"abcdef")
    stream.seek(4)
    stream.write(memoryview(b"WXYZ"))
    assert stream.getvalue() == b"abcdWXYZ"
    with pytest.raises(TypeError):
        stream.write("str")
    assert stream.getvalue() == b"abcdWXYZ"


def test_seek_whence():
    stream = BytesAsStream(b"0123456789")
    assert stream.seek(-3, io.SEEK_END) == 7
    assert stream.seek(2, io.SEEK_CUR) == 9
    assert stream.seek(-9, 1) == 0


@pytest.mark.parametrize("args, error", [
    ((-1,), ValueError),
    ((-11, io.SEEK_END), ValueError),   # before the start: refused, not clamped
    ((-6, io.SEEK_CUR), ValueError),
    ((0, 3), ValueError),
    ((1.5,), TypeError),
    ((2**63,), OverflowError),
])
def test_bad_seek_leaves_the_position(args, error):
    stream = BytesAsStream(b"0123456789")
    stream.seek(5)
    with pytest.raises(error):
        stream.seek(*args)
    assert stream.tell() == 5


def test_truncate():
    stream = BytesAsStream(b"0123456789")
    stream.seek(4)
    assert stream.truncate() == 4 and stream.getvalue() == b"0123"
    assert stream.truncate(2) == 2 and stream.tell() == 4   # the position stays
    stream.write(b"!")
    assert stream.getvalue() == b"01\0\0!"
    assert stream.truncate(7) == 7 and stream.getvalue() == b"01\0\0!\0\0"
    with pytest.raises(ValueError):
        stream.truncate(-1)
    assert len(stream) == 7


def test_readinto():
    stream = BytesAsStream(b"abcdef")
    target = bytearray(4)
    assert stream.readinto(target) == 4 and target == b"abcd"
    view = memoryview(target)[1:3]
    assert stream.readinto(view) == 2 and target == b"aefd"
    assert stream.readinto(target) == 0 and stream.tell() == 6
    stream.seek(0)
    with pytest.raises(TypeError):
        stream.readinto(b"read-only")
    assert stream.tell() == 0


def test_size_overflow_is_refused_before_allocating():
    stream = BytesAsStream(b"keep")
    stream.seek(sys.maxsize - 1)
    with pytest.raises(OverflowError):
        stream.write(b"xy")
    with pytest.raises(OverflowError):
        stream.seek(2, io.SEEK_CUR)
    assert stream.tell() == sys.maxsize - 1 and stream.getvalue() == b"keep"


@pytest.mark.skipif("asan" in os.environ.get("LD_PRELOAD", ""),
                    reason="AddressSanitizer aborts on a failed allocation instead of throwing")
def test_growth_failure_leaves_the_stream_usable():
    stream = BytesAsStream(b"keep")
    stream.seek(2**62)
    with pytest.raises(MemoryError):
        stream.write(b"x")
    stream.seek(0)
    assert stream.read() == b"keep"


def test_closed_stream_refuses_everything():
    stream = BytesAsStream(b"abc")
    stream.close()
    stream.close()  # closing twice is fine
    assert stream.closed
    calls = [stream.read, stream.tell, stream.flush, stream.getvalue, stream.readable,
             stream.writable, stream.seekable, stream.truncate, stream.readline,
             lambda: stream.write(b"x"), lambda: stream.seek(0),
             lambda: stream.readinto(bytearray(1)), lambda: len(stream),
             lambda: iter(stream), stream.__enter__]
    for call in calls:
        with pytest.raises(ValueError, match=CLOSED):
            call()


def test_context_manager_and_lines():
    with BytesAsStream(b"one\ntwo\nthree") as stream:
        assert stream.readable() and stream.writable() and stream.seekable()
        assert stream.readline() == b"one\n"
        assert stream.readline(2) == b"tw"
        assert list(stream) == [b"o\n", b"three"]
    assert stream.closed


def test_works_under_io_text_wrapper():
    stream = BytesAsStream()
    assert isinstance(stream, io.BufferedIOBase)
    text = io.TextIOWrapper(stream, encoding="utf-8", newline="")
    text.write("héllo\nwörld")
    text.flush()
    assert stream.getvalue() == "héllo\nwörld".encode()
    text.seek(0)
    assert text.readlines() == ["héllo\n", "wörld"]
    text.close()
    assert stream.closed


def test_reinit_restarts():
    stream = BytesAsStream(b"abc")
    stream.seek(2)
    stream.__init__(b"xy")
    assert stream.tell() == 0 and stream.getvalue() == b"xy"
