// Date, time, decimal and GUID values between Python and .NET: the native wire forms of
// System.DateTime, DateTimeOffset, TimeSpan, Decimal and Guid, the argument converters and
// result builders of the generated methods, and the readers and builders of the static
// callback record (groups A4-A10 and B7-B12). Dates and times: datetime_values.cpp;
// decimals and GUIDs: decimal_guid_values.cpp.
#pragma once

#include <Python.h>

#include <cstdint>

namespace morvax {

// A System.DateTime: bits 0-61 ticks (100 ns since 0001-01-01), bits 62-63 the kind
// (0 unspecified, 1 UTC, 2 local).
struct HostDateTime {
  uint64_t ticksAndKind;
};

// A DateTime or DateTimeOffset result. For a local DateTime the offset is the one .NET
// determined; for a DateTimeOffset ticksAndKind holds the local clock time (kind 0).
struct HostDateTimeResult {
  uint64_t ticksAndKind;
  int64_t offsetTicks;
};

// A System.Decimal in decimal.GetBits order: the 96-bit unsigned mantissa, low word first,
// then flags (bits 16-23 the scale 0-28, bit 31 the sign).
struct HostDecimal {
  uint32_t low, middle, high, flags;
};

// A System.Guid as it lies in memory: uuid.UUID.bytes_le order.
struct HostGuid {
  uint8_t bytes[16];
};

static_assert(sizeof(HostDateTimeResult) == 16 && sizeof(HostDecimal) == 16 && sizeof(HostGuid) == 16);

inline constexpr int64_t kTicksPerMicrosecond = 10;
inline constexpr int64_t kTicksPerSecond = 10000000;
inline constexpr int64_t kTicksPerMinute = 600000000;
inline constexpr int64_t kTicksPerHour = 36000000000;
inline constexpr int64_t kTicksPerDay = 864000000000;
// 9999-12-31 23:59:59.9999999, the last DateTime.
inline constexpr uint64_t kMaxDateTimeTicks = 3155378975999999999;
inline constexpr uint64_t kTicksMask = (uint64_t{1} << 62) - 1;

// A calendar date and time of day as Python holds it, with the .NET kind.
struct DateTimeParts {
  int32_t kind = 0;
  int32_t year = 1, month = 1, day = 1;
  int32_t hour = 0, minute = 0, second = 0, microsecond = 0;
};

// --- pure helpers ------------------------------------------------------------------------

// Ticks and kind bits of a date and time; false for a date that does not exist, a kind
// outside 0-3, or a time past the last DateTime. A second of 60 counts as 59.
bool TicksFromParts(const DateTimeParts& parts, uint64_t* ticksAndKind);

// The date and time (microsecond precision: the last tick digit is dropped) and kind.
DateTimeParts PartsFromTicks(uint64_t ticksAndKind);

// Ticks of a timedelta's normalised parts (seconds 0-86399, microseconds 0-999999);
// false when the value lies outside the 64-bit tick range of a TimeSpan.
bool TicksFromDeltaParts(int64_t days, int64_t seconds, int64_t microseconds, int64_t* ticks);

// --- argument converters ("O&" contract: 1 after filling the slot, 0 with an error) ------

int ConvertDateTime(PyObject* object, void* slot);  // HostDateTime
int ConvertTimeSpan(PyObject* object, void* slot);  // int64_t ticks
int ConvertDecimal(PyObject* object, void* slot);   // HostDecimal; Decimal or DecimalTuple
int ConvertGuid(PyObject* object, void* slot);      // HostGuid

// --- results (new references, or null with the Python constructor's error) --------------

PyObject* DateTimeResult(const HostDateTimeResult& value);
PyObject* DateTimeOffsetResult(const HostDateTimeResult& value);
PyObject* TimeSpanResult(int64_t ticks);
PyObject* DecimalResult(const HostDecimal& value);
PyObject* GuidResult(const HostGuid& value);

extern "C" {
// Group A4-A10 readers. Each returns 0 with an exception set on failure, leaving the
// output undefined.
int32_t ReadDecimalCallback(PyObject* object, HostDecimal* out);       // A4: 1
int32_t ReadDecimalTupleCallback(PyObject* object, HostDecimal* out);  // A5: 1
// A6: local ticks (kind 0) and offset; 1 for a naive datetime, 2 for an aware one.
int32_t ReadDateTimeCallback(PyObject* object, HostDateTimeResult* out);
int32_t ReadDateCallback(PyObject* object, HostDateTime* out);  // A7: midnight, kind 0; 1
// A8: the time of day on 0001-01-01 (kind 0) and offset; 1 naive, 2 aware.
int32_t ReadTimeCallback(PyObject* object, HostDateTimeResult* out);
int32_t ReadTimeDeltaCallback(PyObject* object, int64_t* ticks);  // A9: 1
int32_t ReadUuidCallback(PyObject* object, HostGuid* out);        // A10: 1

// Group B7-B12 builders: a new reference, or null with an exception set.
PyObject* DecimalBuilderCallback(const HostDecimal* value);                // B7
PyObject* DateTimeBuilderCallback(const HostDateTimeResult* value);        // B8
PyObject* DateTimeOffsetBuilderCallback(const HostDateTimeResult* value);  // B9
PyObject* TimeDeltaBuilderCallback(int64_t ticks);                         // B10
// B11: datetime.timezone(offset) for a count of -1, else timezone(offset, name).
PyObject* TimeZoneBuilderCallback(int64_t offsetTicks, const char16_t* name, int32_t count);
PyObject* UuidBuilderCallback(const uint8_t* bytes);  // B12: 16 bytes, bytes_le order
}

// TypeError "can't build <what> from '<type>'"; always 0.
int RaiseCannotBuild(const char* what, PyObject* object);

}  // namespace morvax
