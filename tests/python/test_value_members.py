"""Enumerations, dates, times, decimals and GUIDs through real .NET properties."""
import datetime as dt
import decimal
import uuid

import pytest


@pytest.fixture
def probe(mv):
    return mv.testing.ValueProbe()


def test_enumeration_property_both_ways(mv, probe):
    assert probe.format is mv.SaveFormat.DOCX
    probe.format = mv.SaveFormat.TEXT
    assert probe.format is mv.SaveFormat.TEXT
    with pytest.raises(TypeError, match="can't build SaveFormat value from 'int'"):
        probe.format = 70
    # A value .NET hands back that no member has: the enum module's own ValueError.
    with pytest.raises(ValueError, match="12345 is not a valid BreakType"):
        probe.undefined_break


UTC = dt.timezone.utc


@pytest.mark.parametrize("value,back,kind", [
    (dt.datetime(2024, 2, 29, 13, 14, 15, 161718), dt.datetime(2024, 2, 29, 13, 14, 15, 161718), "Unspecified"),
    (dt.datetime(1, 1, 1), dt.datetime(1, 1, 1), "Unspecified"),
    (dt.datetime(9999, 12, 31, 23, 59, 59, 999999), dt.datetime(9999, 12, 31, 23, 59, 59, 999999), "Unspecified"),
    (dt.date(2000, 2, 29), dt.datetime(2000, 2, 29), "Unspecified"),
    (dt.datetime(2024, 1, 1, 12, tzinfo=dt.timezone(dt.timedelta(hours=2))), dt.datetime(2024, 1, 1, 10, tzinfo=UTC), "Utc"),
    (dt.datetime(2024, 1, 1, 12, tzinfo=dt.timezone(dt.timedelta(hours=-5, minutes=-30))),
     dt.datetime(2024, 1, 1, 17, 30, tzinfo=UTC), "Utc"),
])
def test_datetime_property_round_trip(probe, value, back, kind):
    probe.when = value
    assert probe.when == back
    assert (probe.when.tzinfo is UTC) == (kind == "Utc")
    assert probe.describe_when().endswith(kind)


def test_datetime_range_and_offsets(probe):
    with pytest.raises(OverflowError, match="value too large or too small for .Net DateTime"):
        probe.when = dt.datetime(1, 1, 1, tzinfo=dt.timezone(dt.timedelta(hours=1)))
    with pytest.raises(TypeError, match="can't build DateTime from 'str'"):
        probe.when = "2024-01-01"
    moment = probe.moment
    assert moment == dt.datetime(2024, 1, 1, 12, tzinfo=dt.timezone(dt.timedelta(hours=2)))
    assert moment.utcoffset() == dt.timedelta(hours=2)


class _Stamp(dt.datetime):
    pass


@pytest.mark.parametrize("value, text", [
    (dt.datetime(1, 1, 1), "0001-01-01 00:00:00.0000000 Unspecified"),
    (dt.datetime(1, 3, 1, 0, 0, 0, 1), "0001-03-01 00:00:00.0000010 Unspecified"),
    (dt.datetime(1900, 2, 28, 23, 59, 59, 999999), "1900-02-28 23:59:59.9999990 Unspecified"),
    (dt.datetime(2000, 2, 29, 12), "2000-02-29 12:00:00.0000000 Unspecified"),
    (_Stamp(2024, 12, 31, 1, 2, 3, 456789), "2024-12-31 01:02:03.4567890 Unspecified"),
    (dt.datetime(9999, 12, 31, 23, 59, 59, 999999), "9999-12-31 23:59:59.9999990 Unspecified"),
    (dt.datetime(9999, 12, 31, 21, 59, 59, 999999, tzinfo=dt.timezone(dt.timedelta(hours=-2))),
     "9999-12-31 23:59:59.9999990 Utc"),
], ids=str)
def test_datetime_fields_reach_net_exactly_and_come_back(probe, value, text):
    """What .NET holds is the value's own clock time to the tick (or its UTC time), and what
    comes back is an ordinary datetime equal to what was sent."""
    probe.when = value
    assert probe.describe_when() == text
    back = probe.when
    assert type(back) is dt.datetime and back == value and back.fold == 0
    assert hash(back) == hash(value.replace(tzinfo=None) if value.tzinfo is None else value)


def test_datetime_past_the_range_after_shifting_to_utc_is_refused(probe):
    probe.when = dt.datetime(2024, 1, 1)
    with pytest.raises(OverflowError, match="^value too large or too small for .Net DateTime$"):
        probe.when = dt.datetime(9999, 12, 31, 23, tzinfo=dt.timezone(dt.timedelta(hours=-2)))
    assert probe.when == dt.datetime(2024, 1, 1)  # unchanged


@pytest.mark.parametrize("span", [dt.timedelta(0), dt.timedelta(days=-1), dt.timedelta(microseconds=-1),
                                  dt.timedelta(days=10675199, seconds=10085, microseconds=477580),
                                  dt.timedelta(days=-10675199, seconds=76314, microseconds=522420)])
def test_timespan_property(probe, span):
    probe.span = span
    assert probe.span == span


def test_timespan_overflow(probe):
    with pytest.raises(OverflowError, match="value too large or too small for .Net TimeSpan"):
        probe.span = dt.timedelta(days=10675200)


@pytest.mark.parametrize("text", ["0", "1.5", "-1.5", "1.00", "79228162514264337593543950335",
                                  "-0.0000000000000000000000000001", "1E+28", "3.1415926535897932384626433833"])
def test_decimal_property(probe, text):
    probe.amount = decimal.Decimal(text)
    assert probe.amount == decimal.Decimal(text)


def test_decimal_edges(probe):
    probe.amount = decimal.Decimal("1.00")
    assert str(probe.amount) == "1.00"
    probe.amount = decimal.Decimal("-0")
    assert probe.amount == 0 and not probe.amount.is_signed()
    for bad, error, message in [("10E+28", OverflowError, "value too large for .Net decimal"),
                                ("NaN", OverflowError, "value is not a number"),
                                ("Infinity", OverflowError, "value too large for .Net 'Decimal'")]:
        with pytest.raises(error, match=message):
            probe.amount = decimal.Decimal(bad)


def test_guid_property(probe):
    value = uuid.UUID("00112233-4455-6677-8899-aabbccddeeff")
    probe.id = value
    assert probe.id == value and isinstance(probe.id, uuid.UUID)
    with pytest.raises(TypeError, match="can't build Guid from 'str'"):
        probe.id = str(value)


def test_document_properties_carry_dates_and_custom_values(mv):
    doc = mv.Document()
    builtin = doc.built_in_document_properties
    created = builtin.created_time
    assert created.tzinfo is dt.timezone.utc
    assert abs(dt.datetime.now(dt.timezone.utc) - created) < dt.timedelta(minutes=5)
    builtin.created_time = dt.datetime(2020, 2, 29, 8, 30)
    assert doc.built_in_document_properties.created_time == dt.datetime(2020, 2, 29, 8, 30)
    builtin.author = "Ada"
    assert doc.built_in_document_properties.author == "Ada"

    custom = doc.custom_document_properties
    deadline = dt.datetime(2025, 12, 31, 23, 59, 59, tzinfo=dt.timezone(dt.timedelta(hours=1)))
    custom.add("Deadline", deadline)
    custom.add("Reviewed", True)
    custom.add("Pages", 12)
    custom.add("Ratio", 0.25)
    custom.add("Owner", "legal")
    assert custom.count == 5
    assert custom.get("deadline").to_date_time() == deadline
    assert custom.get("Deadline").type is mv.properties.PropertyType.DATE_TIME
    values = {name: custom.get(name).value for name in ("Reviewed", "Pages", "Ratio", "Owner")}
    assert values == {"Reviewed": True, "Pages": 12, "Ratio": 0.25, "Owner": "legal"}
    assert custom.get("missing") is None
    with pytest.raises(RuntimeError, match="Proxy error"):
        custom.add("", 1)
