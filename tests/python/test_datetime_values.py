"""Date, time, decimal and GUID values between Python and .NET, driven through the test-only
_converter_probe module: the argument converters (probe.convert), the readers A4-A10 and
builders B7-B12 of the static callback record (probe.read, probe.build), the result builders
of the generated code (probe.result) and the pure tick arithmetic.

Native values appear as plain ints: a DateTime as (ticks, kind[, offset]), a decimal as
(low, middle, high, flags), a GUID as its 16 bytes.
"""
import datetime as dt
import decimal
import subprocess
import sys
import types
import uuid

import pytest

from conftest import TEST_SUPPORT
try:
    import _converter_probe as probe
except ImportError as error:  # a build problem, not a reason to skip
    pytest.fail(f"_converter_probe is not built under {TEST_SUPPORT}: {error}", pytrace=False)

D = decimal.Decimal
UTC, NAIVE, LOCAL = 1, 0, 2
TICKS_PER_DAY = 864_000_000_000
MAX_TICKS = 3_155_378_975_999_999_999
INT64_MAX, INT64_MIN = 2**63 - 1, -2**63
SCALE = 1 << 16
NEGATIVE = 1 << 31


def ticks_of(value):
    """Reference ticks of a naive datetime, computed by Python's own calendar."""
    return (value - dt.datetime(1, 1, 1)) // dt.timedelta(microseconds=1) * 10


def zone(**offset):
    return dt.timezone(dt.timedelta(**offset))


def mantissa(fields):
    low, middle, high, _ = fields
    return high << 64 | middle << 32 | low


def decimal_fields(value, scale=0, negative=False):
    return (value & 0xFFFFFFFF, value >> 32 & 0xFFFFFFFF, value >> 64, scale * SCALE | (NEGATIVE if negative else 0))


class MyDateTime(dt.datetime):
    pass


class MyDelta(dt.timedelta):
    pass


class MyDecimal(decimal.Decimal):
    pass


class MyUuid(uuid.UUID):
    pass


class OffsetOverride(dt.datetime):
    """An aware datetime whose utcoffset() answers whatever the test sets."""
    answer = None

    def utcoffset(self):
        return self.answer


class NoOffset(dt.tzinfo):
    def utcoffset(self, value):
        return None


class FailingOffset(dt.tzinfo):
    def utcoffset(self, value):
        raise RuntimeError("offset unavailable")


# --- ticks from calendar parts and back ---------------------------------------------------

@pytest.mark.parametrize("parts", [
    (1, 1, 1), (1, 12, 31), (4, 2, 29), (100, 3, 1), (400, 12, 31), (1600, 2, 29), (1900, 2, 28), (1900, 3, 1),
    (2000, 2, 29), (2000, 12, 31), (2023, 12, 31), (2024, 2, 29), (2024, 12, 31), (2100, 2, 28), (9999, 12, 31),
])
def test_ticks_from_parts_match_the_python_calendar(parts):
    expected = ticks_of(dt.datetime(*parts, 13, 14, 15, 161718))
    assert probe.ticks_from_parts(NAIVE, *parts, 13, 14, 15, 161718) == (expected, NAIVE)
    assert probe.parts_from_ticks(expected + 9, NAIVE) == (NAIVE, *parts, 13, 14, 15, 161718)


@pytest.mark.parametrize("parts", [
    (1900, 2, 29), (2023, 2, 29), (2100, 2, 29), (2024, 2, 30), (2024, 4, 31), (2024, 1, 32), (2024, 1, 0),
    (2024, 0, 1), (2024, 13, 1), (0, 12, 31), (10000, 1, 1), (-1, 1, 1),
])
def test_ticks_from_parts_refuse_dates_that_do_not_exist(parts):
    assert probe.ticks_from_parts(NAIVE, *parts) is None


def test_ticks_from_parts_range_ends_kind_bits_and_leap_second():
    assert probe.ticks_from_parts(NAIVE, 1, 1, 1) == (0, NAIVE)
    last = probe.ticks_from_parts(UTC, 9999, 12, 31, 23, 59, 59, 999999)
    assert last == (MAX_TICKS - 9, UTC)
    assert probe.ticks_from_parts(3, 2024, 1, 1) == (ticks_of(dt.datetime(2024, 1, 1)), 3)
    assert probe.ticks_from_parts(4, 2024, 1, 1) is None
    assert probe.ticks_from_parts(NAIVE, 2024, 6, 30, 23, 59, 60) == probe.ticks_from_parts(NAIVE, 2024, 6, 30, 23, 59, 59)
    assert probe.ticks_from_parts(NAIVE, 2024, 6, 30, 24) is None


@pytest.mark.parametrize("ticks", [
    0, 9, TICKS_PER_DAY - 1, MAX_TICKS, MAX_TICKS - 10,
    ticks_of(dt.datetime(2000, 12, 31, 23, 59, 59)),  # last day of a 400-year cycle
    ticks_of(dt.datetime(2001, 1, 1)), ticks_of(dt.datetime(1996, 12, 31, 12)),  # leap-year end
    ticks_of(dt.datetime(1900, 12, 31)), ticks_of(dt.datetime(1901, 1, 1)),
])
def test_parts_from_ticks_drop_the_seventh_digit(ticks):
    expected = dt.datetime(1, 1, 1) + dt.timedelta(microseconds=ticks // 10)
    for kind in (NAIVE, UTC, LOCAL, 3):
        assert probe.parts_from_ticks(ticks, kind) == (
            kind, expected.year, expected.month, expected.day, expected.hour, expected.minute, expected.second,
            expected.microsecond)


@pytest.mark.parametrize("parts, ticks", [
    ((0, 0, 0), 0), ((-1, 0, 0), -TICKS_PER_DAY), ((-1, 86399, 999999), -10), ((0, 0, 1), 10),
    ((10675199, 10085, 477580), 9223372036854775800), ((-10675200, 76314, 522420), -9223372036854775800),
])
def test_timedelta_parts_to_ticks(parts, ticks):
    assert probe.delta_ticks(*parts) == ticks


@pytest.mark.parametrize("parts", [
    (10675199, 10085, 477581), (-10675200, 76314, 522419), (10675200, 0, 0), (-10675201, 0, 0),
    (2**62, 0, 0), (-2**62, 0, 0), (0, 86400, 0), (0, -1, 0), (0, 0, 1000000),
])
def test_timedelta_parts_outside_the_tick_range(parts):
    assert probe.delta_ticks(*parts) is None


# --- DateTime arguments ----------------------------------------------------------------------

@pytest.mark.parametrize("value", [
    dt.datetime(1, 1, 1), dt.datetime(9999, 12, 31, 23, 59, 59, 999999), dt.datetime(2024, 2, 29, 12, 30),
    dt.datetime(2000, 2, 29), MyDateTime(2024, 5, 6, 7, 8, 9, 10), dt.datetime(2024, 1, 1, tzinfo=NoOffset()),
], ids=str)
def test_naive_datetime_crosses_unspecified(value):
    assert probe.convert("DateTime", value) == (ticks_of(value.replace(tzinfo=None)), NAIVE)


@pytest.mark.parametrize("offset", [
    dt.timedelta(hours=2), dt.timedelta(hours=14), dt.timedelta(hours=-12), dt.timedelta(hours=5, minutes=45),
    dt.timedelta(hours=-3, minutes=-30), dt.timedelta(seconds=30), dt.timedelta(microseconds=-1),
    dt.timedelta(hours=23, minutes=59), dt.timedelta(0),
], ids=str)
def test_aware_datetime_is_shifted_to_utc(offset):
    local = dt.datetime(2024, 1, 1, 12, 0)
    expected = ticks_of(local - offset)
    assert probe.convert("DateTime", local.replace(tzinfo=dt.timezone(offset))) == (expected, UTC)
    # The reader keeps the local time and hands the offset over separately.
    assert probe.read(6, local.replace(tzinfo=dt.timezone(offset))) == (
        2, (ticks_of(local), NAIVE, offset // dt.timedelta(microseconds=1) * 10))


def test_aware_datetime_at_the_range_ends():
    assert probe.convert("DateTime", dt.datetime(1, 1, 1, 1, tzinfo=zone(hours=1))) == (0, UTC)
    assert probe.convert("DateTime", dt.datetime(9999, 12, 31, 22, 59, 59, 999999, tzinfo=zone(hours=-1))) == \
        (MAX_TICKS - 9, UTC)
    for value in (dt.datetime(1, 1, 1, tzinfo=zone(hours=1)), dt.datetime(1, 1, 1, 0, 59, tzinfo=zone(hours=1)),
                  dt.datetime(9999, 12, 31, 23, tzinfo=zone(hours=-1)), dt.datetime.max.replace(tzinfo=zone(hours=-14))):
        with pytest.raises(OverflowError, match=r"^value too large or too small for \.Net DateTime$"):
            probe.convert("DateTime", value)
        with pytest.raises(OverflowError, match=r"^value too large or too small for \.Net DateTimeOffSet$"):
            probe.read(6, value)


def test_date_crosses_as_midnight():
    for value in (dt.date(2024, 2, 29), dt.date(2000, 2, 29), dt.date(1, 1, 1), dt.date(9999, 12, 31)):
        expected = (ticks_of(dt.datetime(value.year, value.month, value.day)), NAIVE)
        assert probe.convert("DateTime", value) == expected
        assert probe.read(7, value) == expected


@pytest.mark.parametrize("value, utc_time", [
    (dt.time(1, 0, tzinfo=zone(hours=2)), dt.time(23, 0)),
    (dt.time(23, 0, tzinfo=zone(hours=-2)), dt.time(1, 0)),
    (dt.time(12, 0, tzinfo=zone(hours=14)), dt.time(22, 0)),
    (dt.time(12, 0, tzinfo=zone(hours=-12)), dt.time(0, 0)),
    (dt.time(0, 0, tzinfo=dt.timezone.utc), dt.time(0, 0)),
    (dt.time(0, 0, tzinfo=zone(microseconds=1)), dt.time(23, 59, 59, 999999)),
    (dt.time(23, 59, 59, 999999, tzinfo=zone(hours=-23, minutes=-59)), dt.time(23, 58, 59, 999999)),
], ids=str)
def test_aware_time_wraps_within_the_first_day(value, utc_time):
    expected = ticks_of(dt.datetime.combine(dt.date(1, 1, 1), utc_time))
    assert probe.convert("DateTime", value) == (expected, UTC)
    local = ticks_of(dt.datetime.combine(dt.date(1, 1, 1), value.replace(tzinfo=None)))
    assert probe.read(8, value) == (2, (local, NAIVE, value.utcoffset() // dt.timedelta(microseconds=1) * 10))


def test_naive_time_lies_on_the_first_day():
    assert probe.convert("DateTime", dt.time(1, 0)) == (36_000_000_000, NAIVE)
    assert probe.convert("DateTime", dt.time(23, 59, 59, 999999)) == (TICKS_PER_DAY - 10, NAIVE)
    assert probe.read(8, dt.time(1, 0)) == (1, (36_000_000_000, NAIVE, 0))
    assert probe.read(8, dt.time(1, 0, tzinfo=NoOffset())) == (1, (36_000_000_000, NAIVE, 0))


@pytest.mark.parametrize("answer, error, message", [
    (5, TypeError, r"^instance utcoffset\(\) return wrong value$"),
    ("+01:00", TypeError, r"^instance utcoffset\(\) return wrong value$"),
    (dt.timedelta(days=10675200), OverflowError, r"^value too large or too small utc offset$"),
    (dt.timedelta.min, OverflowError, r"^value too large or too small utc offset$"),
])
def test_utcoffset_answers_that_are_refused(answer, error, message):
    value = OffsetOverride(2024, 1, 1, tzinfo=dt.timezone.utc)
    value.answer = answer
    with pytest.raises(error, match=message):
        probe.convert("DateTime", value)
    with pytest.raises(error, match=message):
        probe.read(6, value)


def test_utcoffset_overrides_that_are_accepted():
    value = OffsetOverride(2024, 1, 1, tzinfo=dt.timezone.utc)
    value.answer = None  # counts as naive
    assert probe.convert("DateTime", value) == (ticks_of(dt.datetime(2024, 1, 1)), NAIVE)
    value.answer = MyDelta(hours=1)
    assert probe.convert("DateTime", value) == (ticks_of(dt.datetime(2023, 12, 31, 23)), UTC)
    # An offset of many days, beyond what a timezone allows, still shifts exactly.
    value.answer = dt.timedelta(days=400)
    assert probe.convert("DateTime", value) == (ticks_of(dt.datetime(2024, 1, 1) - dt.timedelta(days=400)), UTC)


def test_utcoffset_exception_propagates():
    for value in (dt.datetime(2024, 1, 1, tzinfo=FailingOffset()), dt.time(1, tzinfo=FailingOffset())):
        with pytest.raises(RuntimeError, match=r"^offset unavailable$"):
            probe.convert("DateTime", value)


@pytest.mark.parametrize("value, name", [
    ("2024-01-01", "str"), (0, "int"), (None, "NoneType"), (dt.timedelta(1), "datetime.timedelta"),
])
def test_datetime_converter_refuses_other_types(value, name):
    with pytest.raises(TypeError, match=rf"^can't build DateTime from '{name}'$"):
        probe.convert("DateTime", value)


@pytest.mark.parametrize("index, value, name", [
    (6, dt.date(2024, 1, 1), "datetime.date"), (6, dt.time(1), "datetime.time"), (7, dt.time(1), "datetime.time"),
    (8, dt.datetime(2024, 1, 1), "datetime.datetime"), (6, "x", "str"),
])
def test_datetime_readers_refuse_other_types(index, value, name):
    with pytest.raises(TypeError, match=rf"^can't build DateTime from '{name}'$"):
        probe.read(index, value)


# --- DateTime and DateTimeOffset results -----------------------------------------------------

@pytest.mark.parametrize("ticks", [0, 9, 123_456_789, ticks_of(dt.datetime(2024, 2, 29, 23, 59, 59)), MAX_TICKS])
def test_datetime_results_by_kind(ticks):
    clock = dt.datetime(1, 1, 1) + dt.timedelta(microseconds=ticks // 10)
    naive = probe.result("DateTime", (ticks, NAIVE))
    assert naive == clock and naive.tzinfo is None
    utc = probe.build(8, (ticks, UTC, 12345))  # the offset is ignored for UTC
    assert utc.replace(tzinfo=None) == clock and utc.tzinfo is dt.timezone.utc
    for kind in (LOCAL, 3):
        local = probe.build(8, (ticks, kind, -3 * 36_000_000_000))
        assert local.replace(tzinfo=None) == clock and local.tzinfo == zone(hours=-3)


@pytest.mark.parametrize("offset", [
    dt.timedelta(hours=14), dt.timedelta(hours=-12), dt.timedelta(hours=5, minutes=45), dt.timedelta(0),
    dt.timedelta(hours=-9, minutes=-30), dt.timedelta(hours=23, minutes=59, seconds=59, microseconds=999999),
], ids=str)
def test_datetime_offset_round_trips(offset):
    value = dt.datetime(2024, 7, 1, 8, 9, 10, 11, tzinfo=dt.timezone(offset))
    code, fields = probe.read(6, value)
    assert code == 2
    for back in (probe.result("DateTimeOffset", fields), probe.build(9, fields)):
        assert back == value and back.utcoffset() == offset and back.replace(tzinfo=None) == value.replace(tzinfo=None)


def test_datetime_offset_result_ignores_the_kind_bits():
    ticks = ticks_of(dt.datetime(2024, 1, 1))
    assert probe.build(9, (ticks, UTC, 36_000_000_000)).utcoffset() == dt.timedelta(hours=1)


@pytest.mark.parametrize("fields, error", [
    ((MAX_TICKS + 1, NAIVE), ValueError),  # year 10000
    ((MAX_TICKS + 1, UTC), ValueError),
    ((0, LOCAL, TICKS_PER_DAY), ValueError),  # no timezone of a whole day
    ((0, LOCAL, -TICKS_PER_DAY), ValueError),
])
def test_datetime_results_that_python_refuses(fields, error):
    with pytest.raises(error):
        probe.result("DateTime", fields)
    if fields[1] == LOCAL:
        with pytest.raises(error):
            probe.result("DateTimeOffset", fields)


@pytest.mark.parametrize("value", [
    dt.datetime(2024, 1, 1, 12, tzinfo=zone(hours=2)), dt.datetime(1, 1, 1, 1, tzinfo=zone(hours=1)),
    dt.datetime(2024, 2, 29, tzinfo=dt.timezone.utc), dt.datetime(9999, 12, 31, 23, 59, 59, 999999),
], ids=str)
def test_datetime_round_trips_through_utc(value):
    back = probe.result("DateTime", probe.convert("DateTime", value))
    assert back == value
    assert (back.tzinfo is dt.timezone.utc) == (value.tzinfo is not None)


# --- TimeSpan --------------------------------------------------------------------------------

@pytest.mark.parametrize("value, ticks", [
    (dt.timedelta(0), 0), (dt.timedelta(days=-1), -TICKS_PER_DAY), (dt.timedelta(microseconds=-1), -10),
    (dt.timedelta(days=-1, microseconds=1), -TICKS_PER_DAY + 10), (dt.timedelta(seconds=1.5), 15_000_000),
    (dt.timedelta(days=10675199, seconds=10085, microseconds=477580), 9223372036854775800),
    (dt.timedelta(microseconds=-922337203685477580), -9223372036854775800),
    (MyDelta(hours=1), 36_000_000_000),
], ids=str)
def test_timedelta_to_ticks(value, ticks):
    assert probe.convert("TimeSpan", value) == ticks
    assert probe.read(9, value) == ticks
    assert probe.result("TimeSpan", ticks) == value


@pytest.mark.parametrize("value", [
    dt.timedelta(days=10675200), dt.timedelta(days=-10675201), dt.timedelta.max, dt.timedelta.min,
    dt.timedelta(microseconds=922337203685477581), dt.timedelta(microseconds=-922337203685477581),
], ids=str)
def test_timedelta_outside_the_tick_range(value):
    for run in (lambda: probe.convert("TimeSpan", value), lambda: probe.read(9, value)):
        with pytest.raises(OverflowError, match=r"^value too large or too small for \.Net TimeSpan$"):
            run()


@pytest.mark.parametrize("ticks, expected", [
    (INT64_MAX, dt.timedelta(microseconds=922337203685477580)),
    (INT64_MIN, dt.timedelta(microseconds=-922337203685477580)),
    (-1, dt.timedelta(0)), (-19, dt.timedelta(microseconds=-1)), (19, dt.timedelta(microseconds=1)),
    (-TICKS_PER_DAY - 10, dt.timedelta(days=-1, microseconds=-1)),
])
def test_ticks_to_timedelta_truncate(ticks, expected):
    assert probe.result("TimeSpan", ticks) == expected
    assert probe.build(10, ticks) == expected


def test_timedelta_reader_reads_any_object_by_its_parts():
    assert probe.read(9, types.SimpleNamespace(days=-1, seconds=0, microseconds=0)) == -TICKS_PER_DAY
    with pytest.raises(AttributeError):
        probe.read(9, types.SimpleNamespace(days=1, seconds=0))
    with pytest.raises(OverflowError, match=r"TimeSpan"):
        probe.read(9, types.SimpleNamespace(days=0, seconds=-5, microseconds=0))


def test_timespan_converter_refuses_other_types():
    for value, name in ((5, "int"), (dt.datetime(2024, 1, 1), "datetime.datetime")):
        with pytest.raises(TypeError, match=rf"^can't build TimeSpan from '{name}'$"):
            probe.convert("TimeSpan", value)


# --- time zones ------------------------------------------------------------------------------

def test_timezone_builder():
    assert probe.build(11, (0, None)) == dt.timezone.utc
    plain = probe.build(11, (-(5 * 36_000_000_000 + 45 * 600_000_000), None))
    assert plain == zone(hours=-5, minutes=-45) and plain.tzname(None) == "UTC-05:45"
    named = probe.build(11, (36_000_000_000, "Zon\u00e9 \U0001F600"))
    assert named.utcoffset(None) == dt.timedelta(hours=1) and named.tzname(None) == "Zon\u00e9 \U0001F600"
    assert probe.build(11, (0, "")).tzname(None) == ""
    with pytest.raises(ValueError):
        probe.build(11, (TICKS_PER_DAY, None))
    assert probe.build(11, (0, "\ud800")).tzname(None) == "\ud800"  # kept as it came


# --- decimals to .NET ------------------------------------------------------------------------

@pytest.mark.parametrize("value, fields", [
    (D("1.5"), decimal_fields(15, 1)),
    (D("-1.5"), decimal_fields(15, 1, True)),
    (D("1.00"), decimal_fields(100, 2)),
    (D("-0"), (0, 0, 0, 0)), (D("-0.000"), (0, 0, 0, 0)), (D("0E+100"), (0, 0, 0, 0)), (D("0E-100"), (0, 0, 0, 0)),
    (D("1E-28"), decimal_fields(1, 28)),
    (D("1234567890123456789012345678"), decimal_fields(1234567890123456789012345678)),
    (D("0.1234567890123456789012345678"), decimal_fields(1234567890123456789012345678, 28)),
    (D("79228162514264337593543950335"), (0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0)),
    (D("-7.9228162514264337593543950335"), (0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 28 * SCALE | NEGATIVE)),
    (D("1E+28"), decimal_fields(10**28)),
    (D("12.3E+5"), decimal_fields(1230000)),
    (D("4294967296"), (0, 1, 0, 0)),
    (MyDecimal("2.5"), decimal_fields(25, 1)),
], ids=str)
def test_decimal_to_net(value, fields):
    assert probe.convert("Decimal", value) == fields
    assert probe.read(4, value) == fields
    assert probe.read(4, value.as_tuple()) == fields
    assert probe.read(5, value.as_tuple()) == fields


@pytest.mark.parametrize("digits, exponent, expected", [
    ((1, 5), -29, D("2E-28")),  # 5 after an odd digit rounds up
    ((2, 5), -29, D("2E-28")),  # 5 after an even digit stays
    ((1, 4), -29, D("1E-28")),
    ((1, 6), -29, D("2E-28")),
    ((2, 5, 1), -30, D("2E-28")),  # digits after the rounding digit are never looked at
    ((5,), -29, D("0")), ((6,), -29, D("1E-28")), ((9,), -30, D("0")),
    ((9,) * 29, -28, D("10.000000000000000000000000000")),  # 29 digits past 96 bits give one up
    ((7, 9, 2, 2, 8, 1, 6, 2, 5, 1, 4, 2, 6, 4, 3, 3, 7, 5, 9, 3, 5, 4, 3, 9, 5, 0, 3, 3, 6), -28,
     D("7.922816251426433759354395034")),
    (tuple(int(c) for c in "123456789012345678901234567890123"), -32, D("1.2345678901234567890123456789")),
    (tuple(int(c) for c in "123456789012345678901234567895"), -2, D("1234567890123456789012345679.0")),
    (tuple(int(c) for c in "79228162514264337593543950335" "4"), -1, D("79228162514264337593543950335")),
], ids=str)
def test_decimal_rounding(digits, exponent, expected):
    for sign in (0, 1):
        fields = probe.read(5, decimal.DecimalTuple(sign, digits, exponent))
        back = probe.result("Decimal", fields)
        assert back == (expected if sign == 0 else expected.copy_negate())  # no context rounding
        assert back.as_tuple().exponent == expected.as_tuple().exponent or expected == 0


def test_digits_past_the_rounding_digit_are_not_read():
    assert probe.read(5, decimal.DecimalTuple(0, (1, 4, "not a digit"), -30)) == decimal_fields(1, 28)
    with pytest.raises(TypeError):
        probe.read(5, decimal.DecimalTuple(0, (1, "4"), -29))  # the rounding digit itself is


@pytest.mark.parametrize("value", [
    D("10E+28"), D("1E+29"), D("79228162514264337593543950336"), D("-79228162514264337593543950336"),
    D("123456789012345678901234567890"), D("79228162514264337593543950335.5"), D("79228162514264337593543950335.6"),
    D("1E+1000000"),
], ids=str)
def test_decimal_too_large(value):
    with pytest.raises(OverflowError, match=r"^value too large for \.Net decimal$"):
        probe.convert("Decimal", value)


@pytest.mark.parametrize("value, error, message", [
    (D("NaN"), OverflowError, r"^value is not a number$"),
    (D("-sNaN"), OverflowError, r"^value is not a number$"),
    (D("Infinity"), OverflowError, r"^value too large for \.Net 'Decimal'$"),
    (D("-Infinity"), OverflowError, r"^value too large for \.Net 'Decimal'$"),
    (1.5, TypeError, r"^can't build Decimal from 'float'$"),
    (15, TypeError, r"^can't build Decimal from 'int'$"),
    ((0, (1,), 0), TypeError, r"^can't build Decimal from 'tuple'$"),
])
def test_decimal_values_net_cannot_hold(value, error, message):
    with pytest.raises(error, match=message):
        probe.convert("Decimal", value)


@pytest.mark.parametrize("parts, error, message", [
    (dict(sign=0, digits=(1,), exponent="X"), TypeError, r"^can't build 'Decimal' from exponent value 'X'$"),
    (dict(sign=0, digits=(1,), exponent="F\0"), TypeError, r"^can't build 'Decimal' from exponent value"),
    (dict(sign=0, digits=(1,), exponent=1.5), TypeError, r"^unknown exponent type 'float'$"),
    (dict(sign=0, digits=(1,), exponent=None), TypeError, r"^unknown exponent type 'NoneType'$"),
    (dict(sign=0, digits=(1, 12), exponent=0), ValueError, r"^decimal digit 12 is not between 0 and 9$"),
    (dict(sign=0, digits=(-1,), exponent=0), ValueError, r"^decimal digit -1 is not between 0 and 9$"),
    (dict(sign=0, digits=5, exponent=0), TypeError, r"^decimal digits must be a sequence$"),
    (dict(sign=0, digits=(1,), exponent=2**63), OverflowError, r""),
    (dict(digits=(1,), exponent=0), AttributeError, r"sign"),
])
def test_decimal_tuple_reader_refuses(parts, error, message):
    with pytest.raises(error, match=message):
        probe.read(5, types.SimpleNamespace(**parts))


def test_decimal_tuple_reader_takes_any_object_with_the_three_attributes():
    assert probe.read(5, types.SimpleNamespace(sign=1, digits=[1, 2], exponent=-1)) == decimal_fields(12, 1, True)
    assert probe.read(5, types.SimpleNamespace(sign=0, digits=(), exponent=0)) == (0, 0, 0, 0)
    with pytest.raises(TypeError, match=r"^can't build Decimal from 'types.SimpleNamespace'$"):
        probe.read(4, types.SimpleNamespace(sign=0, digits=(1,), exponent=0))


# --- decimals to Python ----------------------------------------------------------------------

@pytest.mark.parametrize("fields, text", [
    (decimal_fields(100, 2), "1.00"), ((0, 0, 0, 0), "0"), (decimal_fields(0, 2), "0.00"),
    ((0, 0, 0, NEGATIVE), "-0"), (decimal_fields(1, 28), "1E-28"),
    ((0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 28 * SCALE | NEGATIVE), "-7.9228162514264337593543950335"),
    ((0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0), "79228162514264337593543950335"),
    ((0, 1, 0, 0), "4294967296"), ((0, 0, 1, 0), "18446744073709551616"),
], ids=str)
def test_decimal_from_net(fields, text):
    for back in (probe.result("Decimal", fields), probe.build(7, fields)):
        assert type(back) is D and str(back) == text


@pytest.mark.parametrize("text", [
    "1.5", "-123.456", "0.0000000000000000000000000001", "79228162514264337593543950335", "1.00", "-42",
    "3.1415926535897932384626433833",
])
def test_decimal_round_trips_exactly(text):
    back = probe.result("Decimal", probe.convert("Decimal", D(text)))
    assert back.as_tuple() == D(text).as_tuple()


# --- GUIDs -----------------------------------------------------------------------------------

@pytest.mark.parametrize("value", [
    uuid.UUID("00112233-4455-6677-8899-aabbccddeeff"), uuid.UUID(int=0), uuid.UUID(int=2**128 - 1),
    uuid.uuid5(uuid.NAMESPACE_DNS, "example.org"), MyUuid(int=1),
], ids=str)
def test_guid_crosses_in_bytes_le_order(value):
    native = probe.convert("Guid", value)
    assert native == value.bytes_le and probe.read(10, value) == native
    back = probe.result("Guid", native)
    assert type(back) is uuid.UUID and back == value
    assert probe.build(12, native) == value


def test_guid_byte_order_is_mixed_endian():
    native = probe.convert("Guid", uuid.UUID("00112233-4455-6677-8899-aabbccddeeff"))
    assert native == bytes.fromhex("33221100" "5544" "7766" "8899aabbccddeeff")


def test_guid_refusals():
    for value, name in (("00112233-4455-6677-8899-aabbccddeeff", "str"), (b"\0" * 16, "bytes"), (None, "NoneType")):
        with pytest.raises(TypeError, match=rf"^can't build Guid from '{name}'$"):
            probe.convert("Guid", value)
    # The reader has no type test: any bytes_le of 16 bytes or more serves.
    assert probe.read(10, types.SimpleNamespace(bytes_le=bytes(range(20)))) == bytes(range(16))
    with pytest.raises(ValueError, match=r"^can't build Guid from 15 bytes$"):
        probe.read(10, types.SimpleNamespace(bytes_le=bytes(15)))
    with pytest.raises(TypeError, match=r"^can't build Guid from bytes_le of type 'str'$"):
        probe.read(10, types.SimpleNamespace(bytes_le="x" * 16))
    with pytest.raises(AttributeError):
        probe.read(10, object())


# --- the record, imports and reference counts ------------------------------------------------

def test_record_fills_the_date_time_decimal_and_guid_members():
    readers, builders = probe.record_members()[:2]
    assert readers[4:11] == (True,) * 7
    assert builders[7:13] == (True,) * 6


@pytest.mark.parametrize("module, call", [
    ("decimal", "probe.result('Decimal', (1, 0, 0, 0))"),
    ("decimal", "probe.convert('Decimal', 1)"),
    ("uuid", "probe.result('Guid', bytes(16))"),
    ("uuid", "probe.convert('Guid', 1)"),
])
def test_missing_standard_module_fails_cleanly_and_is_retried(module, call):
    code = f"""
import sys
sys.path.insert(0, {str(TEST_SUPPORT)!r})
import _converter_probe as probe
saved = sys.modules.pop({module!r}, None)
sys.modules[{module!r}] = None
try:
    {call}
except ImportError as e:
    print("ImportError:", e)
sys.modules[{module!r}] = saved
if saved is None:
    del sys.modules[{module!r}]
try:
    print(type({call}).__name__)
except TypeError as e:
    print("TypeError")
"""
    result = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, timeout=60)
    assert result.returncode == 0, result.stderr
    first, second = result.stdout.splitlines()
    assert first == (f"ImportError: Unable to import the specified module {module}. The module not found or "
                     "errors occurred while initializing it.")
    assert second in ("Decimal", "UUID", "TypeError")


AWARE = dt.datetime(2024, 1, 1, 12, tzinfo=zone(hours=2))
COUNTED = [
    (lambda v: probe.convert("DateTime", v), AWARE),
    (lambda v: probe.convert("DateTime", v), dt.time(1, tzinfo=zone(hours=2))),
    (lambda v: probe.convert("DateTime", v), dt.datetime(1, 1, 1, tzinfo=zone(hours=1))),  # fails
    (lambda v: probe.read(6, v), AWARE),
    (lambda v: probe.read(8, v), dt.time(3, tzinfo=zone(hours=-3))),
    (lambda v: probe.convert("DateTime", v), dt.datetime(2024, 1, 1, tzinfo=NoOffset())),
    (lambda v: probe.convert("TimeSpan", v), dt.timedelta(days=10675200)),  # fails
    (lambda v: probe.convert("Decimal", v), D("1.5")),
    (lambda v: probe.convert("Decimal", v), D("NaN")),  # fails
    (lambda v: probe.convert("Decimal", v), D("1.5").as_tuple()),
    (lambda v: probe.convert("Guid", v), uuid.UUID(int=7)),
    (lambda v: probe.result("DateTime", v), (1000, LOCAL, 36_000_000_000)),
    (lambda v: probe.result("DateTime", v), (1000, UTC)),
    (lambda v: probe.result("Decimal", v), (15, 0, 0, SCALE)),
    (lambda v: probe.result("Guid", v), bytes(range(16))),
    (lambda v: probe.build(11, v), (0, "name")),
]


@pytest.mark.parametrize("run, value", COUNTED, ids=lambda v: getattr(v, "__name__", str(v)))
def test_conversions_keep_reference_counts(run, value):
    watched = [value, dt.timezone.utc, D, decimal.DecimalTuple, uuid.UUID, dt.datetime, dt.timezone]
    if getattr(value, "tzinfo", None) is not None:
        watched.append(value.tzinfo)

    def once():
        try:
            return run(value)
        except (OverflowError, TypeError):
            return None

    first = once()  # first use imports and caches the standard classes
    if first is not None:
        assert sys.getrefcount(first) == 2  # the result is owned by its receiver alone
    del first
    before = [sys.getrefcount(item) for item in watched]
    nones = sys.getrefcount(None)
    blocks = sys.getallocatedblocks()
    for _ in range(2000):
        once()
    assert [sys.getrefcount(item) for item in watched] == before
    # None's count moves a little with the interpreter's own work; a dropped reference to a
    # utcoffset() of None would move it by thousands.
    assert abs(sys.getrefcount(None) - nones) < 100
    # Anything leaked per call (a time zone, a digit tuple) shows as thousands of blocks.
    assert sys.getallocatedblocks() - blocks < 500


@pytest.mark.parametrize("year", [1, 1900, 2000, 2023, 2024, 9999])
def test_parts_from_ticks_every_day_of_a_year_at_both_ends_of_the_day(year):
    day = dt.datetime(year, 1, 1)
    while day.year == year:
        for moment in (day, day.replace(hour=23, minute=59, second=59, microsecond=999999),
                       day.replace(hour=12, minute=30, second=1, microsecond=1)):
            fields = (moment.year, moment.month, moment.day, moment.hour, moment.minute, moment.second,
                      moment.microsecond)
            assert probe.parts_from_ticks(ticks_of(moment), NAIVE) == (NAIVE, *fields), moment
        if day.month == 12 and day.day == 31:
            break
        day += dt.timedelta(days=1)


def test_calendar_arithmetic_over_the_whole_range():
    """The first and last day of every month from 0001 to 9999, and every day of the first
    and last four years (the leap rules of 4, 100 and 400 years), both ways."""
    days = [dt.date(1, 1, 1) + dt.timedelta(days=n) for n in range(4 * 366)]
    days += [dt.date(9996, 1, 1) + dt.timedelta(days=n) for n in range(4 * 365 + 1)]
    for year in range(1, 10000):
        for month in range(1, 13):
            first = dt.date(year, month, 1)
            days += [first, (first.replace(day=28) + dt.timedelta(days=4)).replace(day=1) - dt.timedelta(days=1)
                     if month < 12 else first.replace(day=31)]
    for day in days:
        ticks = (day.toordinal() - 1) * TICKS_PER_DAY
        fields = (day.year, day.month, day.day)
        assert probe.ticks_from_parts(NAIVE, *fields) == (ticks, NAIVE), day
        assert probe.parts_from_ticks(ticks + TICKS_PER_DAY - 1, UTC) == (UTC, *fields, 23, 59, 59, 999999), day


@pytest.mark.parametrize("parts", [
    (0, 1, 1), (10000, 1, 1), (-1, 1, 1), (2024, 0, 1), (2024, 13, 1), (2024, -1, 1), (2024, 1, 0), (2024, 1, 32),
    (2024, 4, 31), (2023, 2, 29), (1900, 2, 29), (2024, 2, 30), (2024, 1, -1),
], ids=str)
def test_ticks_from_parts_refuse_fields_outside_the_calendar(parts):
    assert probe.ticks_from_parts(NAIVE, *parts) is None
    assert probe.ticks_from_parts(NAIVE, 2000, 2, 29) == (ticks_of(dt.datetime(2000, 2, 29)), NAIVE)


@pytest.mark.parametrize("time", [(-1, 0, 0), (0, -1, 0), (0, 0, -1), (0, 60, 0), (0, 0, 61)], ids=str)
def test_ticks_from_parts_refuse_times_outside_the_day(time):
    assert probe.ticks_from_parts(NAIVE, 2024, 1, 1, *time) is None
    assert probe.ticks_from_parts(NAIVE, 2024, 1, 1, 0, 0, 0, -1) is None
    assert probe.ticks_from_parts(NAIVE, 2024, 1, 1, 0, 0, 0, 1_000_000) is None


@pytest.mark.parametrize("ticks", [0, 1, 9, 10, MAX_TICKS - 9, MAX_TICKS], ids=str)
def test_datetime_results_at_the_range_ends_are_ordinary_datetimes(ticks):
    """The results are made without the constructor: they must be indistinguishable from
    what it makes (fields, fold, hash, comparison, pickling, tzinfo)."""
    import pickle
    clock = dt.datetime(1, 1, 1) + dt.timedelta(microseconds=ticks // 10)
    for kind, tzinfo in ((NAIVE, None), (UTC, dt.timezone.utc)):
        made = probe.result("DateTime", (ticks, kind))
        expected = clock.replace(tzinfo=tzinfo)
        assert type(made) is dt.datetime and made.tzinfo is tzinfo and made.fold == 0
        assert made == expected and hash(made) == hash(expected) and repr(made) == repr(expected)
        assert pickle.loads(pickle.dumps(made)) == expected and made.isoformat() == expected.isoformat()
        assert made.replace(fold=1).fold == 1 and made.timetuple() == expected.timetuple()
