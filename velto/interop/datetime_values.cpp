// Date and time values between Python and .NET: they cross as ticks (decimals and GUIDs,
// declared in the same header, are in decimal_guid_values.cpp).
#include "interop/datetime_values.h"

#include <datetime.h>

#include <cstring>

#include "common/dependencies.h"
#include "common/interned_names.h"
#include "common/py_ref.h"
#include "interop/standard_classes.h"
#include "interop/unicode_view.h"

namespace morvax {

using UInt128 = unsigned __int128;

// --- standard-library types ----------------------------------------------------------------

// The interpreter's datetime C interface. PyDateTimeAPI belongs to this translation unit;
// it is fetched once and kept (the datetime module stays loaded once imported), because
// importing the capsule costs more than a whole conversion. The module is imported first
// through the class cache, so that a failure (an interrupt included) stands as raised
// rather than as the capsule import's own ImportError. False with an exception set.
static bool DateTimeApi() {
  if (PyDateTimeAPI == nullptr) {
    if (StandardClass(StandardClassId::DateTime) == nullptr) return false;
    PyDateTime_IMPORT;
  }
  return PyDateTimeAPI != nullptr;
}

// --- ticks and calendar parts --------------------------------------------------------------

// Days before each month, for normal and leap years; entry 12 is the year's length.
static const int32_t kDaysBeforeMonth[2][13] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
};

static bool IsLeapYear(int32_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

bool TicksFromParts(const DateTimeParts& parts, uint64_t* ticksAndKind) {
  if (parts.year < 1 || parts.year > 9999 || parts.month < 1 || parts.month > 12) return false;
  const int32_t* before = kDaysBeforeMonth[IsLeapYear(parts.year) ? 1 : 0];
  if (parts.day < 1 || parts.day > before[parts.month] - before[parts.month - 1]) return false;
  if (parts.kind < 0 || parts.kind > 3) return false;
  // Python never hands out a time outside these; the bounds keep the arithmetic defined.
  if (parts.hour < 0 || parts.hour > 23 || parts.minute < 0 || parts.minute > 59 || parts.second < 0 ||
      parts.second > 60 || parts.microsecond < 0 || parts.microsecond > 999999) {
    return false;
  }
  const int64_t years = parts.year - 1;
  const int64_t days = years * 365 + years / 4 - years / 100 + years / 400 + before[parts.month - 1] + parts.day - 1;
  const int64_t second = parts.second == 60 ? 59 : parts.second;  // .NET has no leap second
  const int64_t ticks = (days * 24 + parts.hour) * kTicksPerHour + parts.minute * kTicksPerMinute +
                        second * kTicksPerSecond + parts.microsecond * kTicksPerMicrosecond;
  if (static_cast<uint64_t>(ticks) > kMaxDateTimeTicks) return false;
  *ticksAndKind = static_cast<uint64_t>(ticks) | static_cast<uint64_t>(parts.kind) << 62;
  return true;
}

DateTimeParts PartsFromTicks(uint64_t ticksAndKind) {
  constexpr int64_t kDaysPer400Years = 146097, kDaysPer100Years = 36524, kDaysPer4Years = 1461;
  DateTimeParts parts;
  parts.kind = static_cast<int32_t>(ticksAndKind >> 62);
  const int64_t ticks = static_cast<int64_t>(ticksAndKind & kTicksMask);
  int64_t day = ticks / kTicksPerDay;
  const int64_t cycles400 = day / kDaysPer400Years;
  day -= cycles400 * kDaysPer400Years;
  int64_t cycles100 = day / kDaysPer100Years;
  if (cycles100 == 4) cycles100 = 3;  // the last day of a 400-year cycle
  day -= cycles100 * kDaysPer100Years;
  const int64_t cycles4 = day / kDaysPer4Years;
  day -= cycles4 * kDaysPer4Years;
  int64_t years = day / 365;
  if (years == 4) years = 3;  // the last day of a leap year
  day -= years * 365;
  parts.year = static_cast<int32_t>(cycles400 * 400 + cycles100 * 100 + cycles4 * 4 + years + 1);
  const bool leap = years == 3 && (cycles4 != 24 || cycles100 == 3);
  const int32_t* before = kDaysBeforeMonth[leap ? 1 : 0];
  // No month is longer than 32 days, so day / 32 never passes the month; at most two steps remain.
  int32_t month = static_cast<int32_t>(day / 32) + 1;
  while (month < 12 && day >= before[month]) ++month;
  parts.month = month;
  parts.day = static_cast<int32_t>(day - before[month - 1] + 1);
  // The time of day from the day's remainder: whole microseconds fit in 64 bits and the
  // seconds of a day in 32.
  const int64_t microseconds = ticks % kTicksPerDay / kTicksPerMicrosecond;
  const int32_t seconds = static_cast<int32_t>(microseconds / 1000000);
  parts.microsecond = static_cast<int32_t>(microseconds - int64_t{seconds} * 1000000);
  parts.hour = seconds / 3600;
  parts.minute = seconds / 60 % 60;
  parts.second = seconds % 60;
  return parts;
}

bool TicksFromDeltaParts(int64_t days, int64_t seconds, int64_t microseconds, int64_t* ticks) {
  // The bounds of the 64-bit tick range in whole seconds, and the microseconds that still
  // fit past them: 922337203685.4775807 s up, 922337203685.4775808 s down.
  constexpr int64_t kSecondsLimit = 922337203685;
  constexpr int64_t kMicrosecondsAtLimit = 477580;
  if (seconds < 0 || seconds > 86399 || microseconds < 0 || microseconds > 999999) return false;
  // Far outside the range already; refused before the products below could overflow.
  if (days > kSecondsLimit / 86400 + 1 || days < -(kSecondsLimit / 86400 + 1)) return false;
  if (days < 0) {
    // Python keeps days negative and the rest positive; .NET wants one sign throughout.
    days += 1;
    const int64_t total = seconds * 1000000 + microseconds - 86400000000;
    seconds = total / 1000000;
    microseconds = total - seconds * 1000000;
  }
  const int64_t s = days * 86400 + seconds;
  if (s < -kSecondsLimit || s > kSecondsLimit) return false;
  if ((s == kSecondsLimit || s == -kSecondsLimit) &&
      (microseconds < -kMicrosecondsAtLimit || microseconds > kMicrosecondsAtLimit)) {
    return false;
  }
  *ticks = s * kTicksPerSecond + microseconds * kTicksPerMicrosecond;
  return true;
}

// --- Python dates and times to ticks -------------------------------------------------------

static const char kDateTimeRange[] = "value too large or too small for .Net DateTime";
static const char kDateTimeOffsetRange[] = "value too large or too small for .Net DateTimeOffSet";

int RaiseCannotBuild(const char* what, PyObject* object) {
  PyErr_Format(PyExc_TypeError, "can't build %s from '%s'", what, Py_TYPE(object)->tp_name);
  return 0;
}

// The ticks of a timedelta (type or subtype). 1, or 0 when it lies outside the range.
static int DeltaTicks(PyObject* delta, int64_t* ticks) {
  return TicksFromDeltaParts(PyDateTime_DELTA_GET_DAYS(delta), PyDateTime_DELTA_GET_SECONDS(delta),
                             PyDateTime_DELTA_GET_MICROSECONDS(delta), ticks);
}

// The UTC offset of a datetime or time: 0 naive, 1 aware with *offset, -1 with an error.
static int UtcOffsetTicks(PyObject* object, int64_t* offset) {
  // A plain datetime's or time's tzinfo is its own field; a subclass may answer otherwise.
  if (PyDateTime_CheckExact(object) && PyDateTime_DATE_GET_TZINFO(object) == Py_None) return 0;
  if (PyTime_CheckExact(object) && PyDateTime_TIME_GET_TZINFO(object) == Py_None) return 0;
  PyRef tzinfo = PyRef::steal(PyObject_GetAttr(object, Interned(Name::tzinfo)));
  if (!tzinfo) return -1;
  if (tzinfo.get() == Py_None) return 0;
  PyRef delta = PyRef::steal(PyObject_CallMethodNoArgs(object, Interned(Name::utcoffset)));
  if (!delta) return -1;
  if (delta.get() == Py_None) return 0;
  if (!PyDelta_Check(delta.get())) {
    PyErr_SetString(PyExc_TypeError, "instance utcoffset() return wrong value");
    return -1;
  }
  if (!DeltaTicks(delta.get(), offset)) {
    PyErr_SetString(PyExc_OverflowError, "value too large or too small utc offset");
    return -1;
  }
  return 1;
}

static DateTimeParts PartsOfDateTime(PyObject* value) {
  DateTimeParts parts;
  parts.year = PyDateTime_GET_YEAR(value);
  parts.month = PyDateTime_GET_MONTH(value);
  parts.day = PyDateTime_GET_DAY(value);
  parts.hour = PyDateTime_DATE_GET_HOUR(value);
  parts.minute = PyDateTime_DATE_GET_MINUTE(value);
  parts.second = PyDateTime_DATE_GET_SECOND(value);
  parts.microsecond = PyDateTime_DATE_GET_MICROSECOND(value);
  return parts;
}

static DateTimeParts PartsOfTime(PyObject* value) {
  DateTimeParts parts;  // on 0001-01-01
  parts.hour = PyDateTime_TIME_GET_HOUR(value);
  parts.minute = PyDateTime_TIME_GET_MINUTE(value);
  parts.second = PyDateTime_TIME_GET_SECOND(value);
  parts.microsecond = PyDateTime_TIME_GET_MICROSECOND(value);
  return parts;
}

// Local ticks minus offset when that lies within the DateTime range.
static bool ShiftToUtc(uint64_t localTicks, int64_t offset, uint64_t* utcTicks) {
  int64_t utc;
  // An offset from a utcoffset() override may be anything in the TimeSpan range.
  if (__builtin_sub_overflow(static_cast<int64_t>(localTicks), offset, &utc)) return false;
  if (utc < 0 || static_cast<uint64_t>(utc) > kMaxDateTimeTicks) return false;
  *utcTicks = static_cast<uint64_t>(utc);
  return true;
}

// The ticks of a datetime's or time's own fields, and its UTC offset when it has one:
// 0 naive, 1 aware with *offset, -1 with an error (fields outside the DateTime range included).
static int LocalTicksAndOffset(PyObject* value, const DateTimeParts& parts, uint64_t* local, int64_t* offset) {
  if (!TicksFromParts(parts, local)) {
    PyErr_SetString(PyExc_OverflowError, kDateTimeRange);
    return -1;
  }
  *offset = 0;
  return UtcOffsetTicks(value, offset);
}

// A datetime (type or subtype) as .NET DateTime: aware values shifted to UTC.
static int DateTimeToUtc(PyObject* value, uint64_t* ticksAndKind) {
  uint64_t local;
  int64_t offset;
  const int aware = LocalTicksAndOffset(value, PartsOfDateTime(value), &local, &offset);
  if (aware < 0) return 0;
  if (aware == 0) {
    *ticksAndKind = local;  // kind 0, unspecified
    return 1;
  }
  uint64_t utc;
  if (!ShiftToUtc(local, offset, &utc)) {
    PyErr_SetString(PyExc_OverflowError, kDateTimeRange);
    return 0;
  }
  *ticksAndKind = utc | uint64_t{1} << 62;
  return 1;
}

// Midnight of a date (type or subtype), kind 0.
static int DateToTicks(PyObject* value, uint64_t* ticksAndKind) {
  DateTimeParts parts;
  parts.year = PyDateTime_GET_YEAR(value);
  parts.month = PyDateTime_GET_MONTH(value);
  parts.day = PyDateTime_GET_DAY(value);
  if (!TicksFromParts(parts, ticksAndKind)) {
    PyErr_SetString(PyExc_OverflowError, kDateTimeRange);
    return 0;
  }
  return 1;
}

// A time (type or subtype) on 0001-01-01: an aware time is moved to UTC and wrapped
// around within that one day.
static int TimeToUtc(PyObject* value, uint64_t* ticksAndKind) {
  uint64_t timeOfDay;
  int64_t offset;
  const int aware = LocalTicksAndOffset(value, PartsOfTime(value), &timeOfDay, &offset);
  if (aware < 0) return 0;
  if (aware == 0) {
    *ticksAndKind = timeOfDay;
    return 1;
  }
  // Reduced first so that no offset in the TimeSpan range can overflow the subtraction.
  int64_t wrapped = (static_cast<int64_t>(timeOfDay) - offset % kTicksPerDay) % kTicksPerDay;
  if (wrapped < 0) wrapped += kTicksPerDay;
  *ticksAndKind = static_cast<uint64_t>(wrapped) | uint64_t{1} << 62;
  return 1;
}

int ConvertDateTime(PyObject* object, void* slot) {
  if (!DateTimeApi()) return 0;
  uint64_t* ticksAndKind = &static_cast<HostDateTime*>(slot)->ticksAndKind;
  // datetime before its base class date.
  if (PyDateTime_Check(object)) return DateTimeToUtc(object, ticksAndKind);
  if (PyDate_Check(object)) return DateToTicks(object, ticksAndKind);
  if (PyTime_Check(object)) return TimeToUtc(object, ticksAndKind);
  return RaiseCannotBuild("DateTime", object);
}

int ConvertTimeSpan(PyObject* object, void* slot) {
  if (!DateTimeApi()) return 0;
  if (!PyDelta_Check(object)) return RaiseCannotBuild("TimeSpan", object);
  if (!DeltaTicks(object, static_cast<int64_t*>(slot))) {
    PyErr_SetString(PyExc_OverflowError, "value too large or too small for .Net TimeSpan");
    return 0;
  }
  return 1;
}

extern "C" int32_t ReadDateTimeCallback(PyObject* object, HostDateTimeResult* out) {
  if (!DateTimeApi()) return 0;
  if (!PyDateTime_Check(object)) return RaiseCannotBuild("DateTime", object);
  int64_t offset = 0;
  const int aware = UtcOffsetTicks(object, &offset);
  if (aware < 0) return 0;
  const char* rangeError = aware ? kDateTimeOffsetRange : kDateTimeRange;
  uint64_t local, utc;
  // Not shifted: .NET makes a DateTimeOffset of the local time and the offset, which must
  // still name an instant within the DateTime range.
  if (!TicksFromParts(PartsOfDateTime(object), &local) || (aware && !ShiftToUtc(local, offset, &utc))) {
    PyErr_SetString(PyExc_OverflowError, rangeError);
    return 0;
  }
  out->ticksAndKind = local;
  out->offsetTicks = offset;
  return aware ? 2 : 1;
}

extern "C" int32_t ReadDateCallback(PyObject* object, HostDateTime* out) {
  if (!DateTimeApi()) return 0;
  if (!PyDate_Check(object)) return RaiseCannotBuild("DateTime", object);
  return DateToTicks(object, &out->ticksAndKind);
}

extern "C" int32_t ReadTimeCallback(PyObject* object, HostDateTimeResult* out) {
  if (!DateTimeApi()) return 0;
  if (!PyTime_Check(object)) return RaiseCannotBuild("DateTime", object);
  uint64_t timeOfDay;
  int64_t offset;
  const int aware = LocalTicksAndOffset(object, PartsOfTime(object), &timeOfDay, &offset);
  if (aware < 0) return 0;
  out->ticksAndKind = timeOfDay;
  out->offsetTicks = offset;
  return aware ? 2 : 1;
}

// An integer attribute of object as 64 bits. 1, or 0 with an exception set.
static int IntegerAttribute(PyObject* object, const char* name, int64_t* value) {
  PyRef attribute = PyRef::steal(PyObject_GetAttrString(object, name));
  if (!attribute) return 0;
  const long long read = PyLong_AsLongLong(attribute.get());
  if (read == -1 && PyErr_Occurred()) return 0;
  *value = read;
  return 1;
}

extern "C" int32_t ReadTimeDeltaCallback(PyObject* object, int64_t* ticks) {
  if (!DateTimeApi()) return 0;
  int64_t days, seconds, microseconds;
  if (PyDelta_Check(object)) {
    days = PyDateTime_DELTA_GET_DAYS(object);
    seconds = PyDateTime_DELTA_GET_SECONDS(object);
    microseconds = PyDateTime_DELTA_GET_MICROSECONDS(object);
  } else if (!IntegerAttribute(object, "days", &days) || !IntegerAttribute(object, "seconds", &seconds) ||
             !IntegerAttribute(object, "microseconds", &microseconds)) {
    // No type test here: anything with timedelta's three attributes is read by them.
    return 0;
  }
  if (!TicksFromDeltaParts(days, seconds, microseconds, ticks)) {
    PyErr_SetString(PyExc_OverflowError, "value too large or too small for .Net TimeSpan");
    return 0;
  }
  return 1;
}

// --- ticks to Python dates and times -------------------------------------------------------

static PyObject* DeltaFromTicks(int64_t ticks) {
  // Truncating division gives parts of one sign; the constructor folds them into Python's
  // form (negative days, positive rest). |days| <= 10675199 fits an int.
  const int days = static_cast<int>(ticks / kTicksPerDay);
  const int seconds = static_cast<int>(ticks / kTicksPerSecond % 86400);
  const int microseconds = static_cast<int>(ticks / kTicksPerMicrosecond % 1000000);
  return PyDelta_FromDSU(days, seconds, microseconds);
}

// datetime.timezone(delta) or timezone(delta, name); the name may be null. New reference.
static PyObject* ZoneFromOffset(int64_t offsetTicks, PyObject* name) {
  PyObject* timezone = StandardClass(StandardClassId::TimeZone);
  if (timezone == nullptr) return nullptr;
  PyRef delta = PyRef::steal(DeltaFromTicks(offsetTicks));
  if (!delta) return nullptr;
  return name != nullptr ? PyObject_CallFunctionObjArgs(timezone, delta.get(), name, nullptr)
                         : PyObject_CallOneArg(timezone, delta.get());
}

// datetime.datetime(year, ..., microsecond, zone); zone is borrowed.
static PyObject* AwareDateTime(const DateTimeParts& parts, PyObject* zone) {
  PyObject* datetime = StandardClass(StandardClassId::DateTime);
  if (datetime == nullptr) return nullptr;
  return PyObject_CallFunction(datetime, "iiiiiiiO", parts.year, parts.month, parts.day, parts.hour, parts.minute,
                               parts.second, parts.microsecond, zone);
}

static PyObject* DateTimeWithOffset(const DateTimeParts& parts, int64_t offsetTicks) {
  PyRef zone = PyRef::steal(ZoneFromOffset(offsetTicks, nullptr));
  if (!zone) return nullptr;
  return AwareDateTime(parts, zone.get());
}

PyObject* DateTimeResult(const HostDateTimeResult& value) {
  if (!DateTimeApi()) return nullptr;
  const DateTimeParts parts = PartsFromTicks(value.ticksAndKind);
  switch (parts.kind) {
    case 0:
      return PyDateTime_FromDateAndTime(parts.year, parts.month, parts.day, parts.hour, parts.minute, parts.second,
                                        parts.microsecond);
    case 1:
      return AwareDateTime(parts, PyDateTime_TimeZone_UTC);
    default:  // local: the offset .NET found for that moment
      return DateTimeWithOffset(parts, value.offsetTicks);
  }
}

PyObject* DateTimeOffsetResult(const HostDateTimeResult& value) {
  if (!DateTimeApi()) return nullptr;
  return DateTimeWithOffset(PartsFromTicks(value.ticksAndKind), value.offsetTicks);
}

PyObject* TimeSpanResult(int64_t ticks) {
  if (!DateTimeApi()) return nullptr;
  return DeltaFromTicks(ticks);
}

extern "C" PyObject* DateTimeBuilderCallback(const HostDateTimeResult* value) { return DateTimeResult(*value); }

extern "C" PyObject* DateTimeOffsetBuilderCallback(const HostDateTimeResult* value) {
  return DateTimeOffsetResult(*value);
}

extern "C" PyObject* TimeDeltaBuilderCallback(int64_t ticks) { return TimeSpanResult(ticks); }

extern "C" PyObject* TimeZoneBuilderCallback(int64_t offsetTicks, const char16_t* name, int32_t count) {
  if (!DateTimeApi()) return nullptr;
  if (count == -1) return ZoneFromOffset(offsetTicks, nullptr);
  if (count < 0 || (name == nullptr && count > 0)) {
    PyErr_Format(PyExc_ValueError, "unreadable time-zone name: %d code units", count);
    return nullptr;
  }
  PyRef text = PyRef::steal(DecodeUtf16(name, count));
  if (!text) return nullptr;
  return ZoneFromOffset(offsetTicks, text.get());
}

}  // namespace morvax
