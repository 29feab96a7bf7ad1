// Date and time values between Python and .NET: they cross as ticks (decimals and GUIDs,
// declared in the same header, are in decimal_guid_values.cpp).
#include "interop/datetime_values.h"

#include <datetime.h>

#include <cstddef>
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

// The calendar is counted from 0000-03-01, so that the leap day ends a year; then a year is
// a linear function of the day number and a month of the day within the year (Neri and
// Schneider, "Euclidean affine functions and their application to calendar algorithms",
// 2022). Every step below is a multiplication, a shift or a division by a constant: no
// loop and no table. Day 0 of .NET (0001-01-01) is day 306 of that count.
inline constexpr uint32_t kDaysBeforeYearOne = 306;

static bool IsLeapYear(uint32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Days since 0001-01-01 of a valid date.
static uint32_t DayNumber(uint32_t year, uint32_t month, uint32_t day) {
  const bool startOfYear = month < 3;  // January and February end the year before
  const uint32_t shiftedYear = year - startOfYear;
  const uint32_t shiftedMonth = month + (startOfYear ? 12 : 0);
  const uint32_t century = shiftedYear / 100;
  const uint32_t daysBeforeYear = 1461 * shiftedYear / 4 - century + century / 4;
  const uint32_t daysBeforeMonth = (979 * shiftedMonth - 2919) / 32;
  return daysBeforeYear + daysBeforeMonth + day - 1 - kDaysBeforeYearOne;
}

// The date of a day number (days since 0001-01-01, at most that of 9999-12-31).
[[gnu::always_inline]] static inline void CalendarDate(uint32_t dayNumber, DateTimeParts& parts) {
  const uint32_t n1 = 4 * (dayNumber + kDaysBeforeYearOne) + 3;
  const uint32_t century = n1 / 146097;
  const uint32_t n2 = n1 % 146097 | 3;  // 4 * (day within the century) + 3
  const uint64_t p2 = uint64_t{2939745} * n2;
  const uint32_t yearOfCentury = static_cast<uint32_t>(p2 >> 32);
  const uint32_t dayOfYear = static_cast<uint32_t>(p2) / 2939745 / 4;  // from March 1
  const uint32_t n3 = 2141 * dayOfYear + 197913;
  const bool startOfYear = dayOfYear >= 306;  // January or February of the next year
  parts.year = static_cast<int32_t>(100 * century + yearOfCentury + startOfYear);
  parts.month = static_cast<int32_t>((n3 >> 16) - (startOfYear ? 12 : 0));
  parts.day = static_cast<int32_t>((n3 & 0xFFFF) / 2141 + 1);
}

// The ticks of a valid date and time of day.
static uint64_t TicksOfValid(uint32_t year, uint32_t month, uint32_t day, uint32_t secondOfDay, uint32_t microsecond) {
  return DayNumber(year, month, day) * uint64_t{kTicksPerDay} + secondOfDay * uint64_t{kTicksPerSecond} +
         microsecond * uint64_t{kTicksPerMicrosecond};
}

bool TicksFromParts(const DateTimeParts& parts, uint64_t* ticksAndKind) {
  static constexpr uint8_t kDaysInMonth[13] = {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  // Unsigned comparisons: a negative field wraps past the upper bound and is refused too.
  const auto year = static_cast<uint32_t>(parts.year), month = static_cast<uint32_t>(parts.month),
             day = static_cast<uint32_t>(parts.day);
  if (year - 1 > 9998 || month - 1 > 11 || day - 1 >= kDaysInMonth[month]) return false;
  if (month == 2 && day == 29 && !IsLeapYear(year)) return false;
  if (static_cast<uint32_t>(parts.kind) > 3) return false;
  // Python never hands out a time outside these; the bounds keep the arithmetic defined.
  if (static_cast<uint32_t>(parts.hour) > 23 || static_cast<uint32_t>(parts.minute) > 59 ||
      static_cast<uint32_t>(parts.second) > 60 || static_cast<uint32_t>(parts.microsecond) > 999999) {
    return false;
  }
  const uint32_t second = parts.second == 60 ? 59 : parts.second;  // .NET has no leap second
  const uint32_t secondOfDay = (parts.hour * 60 + parts.minute) * 60 + second;
  // At most 9999-12-31 23:59:59.999999, which is within the DateTime range.
  const uint64_t ticks = TicksOfValid(year, month, day, secondOfDay, parts.microsecond);
  *ticksAndKind = ticks | static_cast<uint64_t>(parts.kind) << 62;
  return true;
}

// The date and time of day of a tick count (kind left as it is); inlined into both of its
// callers, where the parts stay in registers.
[[gnu::always_inline]] static inline void SplitTicks(uint64_t ticks, DateTimeParts& parts) {
  const uint64_t dayNumber = ticks / kTicksPerDay;
  CalendarDate(static_cast<uint32_t>(dayNumber), parts);
  // The time of day from the day's remainder: its seconds and the ticks within the second
  // fit in 32 bits.
  const uint64_t tickOfDay = ticks - dayNumber * kTicksPerDay;
  const auto secondOfDay = static_cast<uint32_t>(tickOfDay / kTicksPerSecond);
  const auto tickOfSecond = static_cast<uint32_t>(tickOfDay - uint64_t{secondOfDay} * kTicksPerSecond);
  parts.microsecond = static_cast<int32_t>(tickOfSecond / kTicksPerMicrosecond);
  const uint32_t minuteOfDay = secondOfDay / 60;
  parts.second = static_cast<int32_t>(secondOfDay - minuteOfDay * 60);
  parts.hour = static_cast<int32_t>(minuteOfDay / 60);
  parts.minute = static_cast<int32_t>(minuteOfDay - static_cast<uint32_t>(parts.hour) * 60);
}

DateTimeParts PartsFromTicks(uint64_t ticksAndKind) {
  DateTimeParts parts;
  parts.kind = static_cast<int32_t>(ticksAndKind >> 62);
  // Ticks past the last DateTime (never from .NET) give a year past 9999, which the
  // arithmetic still handles and Python refuses.
  SplitTicks(ticksAndKind & kTicksMask, parts);
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

// The ticks of a datetime's own fields. The interpreter keeps them within 0001-01-01 and
// 9999-12-31 and the times of a day, which all lie in the DateTime range: nothing to check.
[[gnu::always_inline]] static inline uint64_t TicksOfDateTime(PyObject* value) {
  const uint32_t secondOfDay = (PyDateTime_DATE_GET_HOUR(value) * 60 + PyDateTime_DATE_GET_MINUTE(value)) * 60 +
                               PyDateTime_DATE_GET_SECOND(value);
  return TicksOfValid(PyDateTime_GET_YEAR(value), PyDateTime_GET_MONTH(value), PyDateTime_GET_DAY(value), secondOfDay,
                      PyDateTime_DATE_GET_MICROSECOND(value));
}

// A datetime (type or subtype) as .NET DateTime: aware values shifted to UTC.
static int DateTimeToUtc(PyObject* value, uint64_t* ticksAndKind) {
  int64_t offset = 0;
  const int aware = UtcOffsetTicks(value, &offset);
  if (aware < 0) return 0;
  const uint64_t local = TicksOfDateTime(value);
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
  // The common case first: a plain naive datetime is its own fields' ticks, kind 0.
  if (PyDateTime_CheckExact(object) && !_PyDateTime_HAS_TZINFO(object)) {
    *ticksAndKind = TicksOfDateTime(object);
    return 1;
  }
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

// datetime.datetime(year, ..., microsecond, zone); zone is borrowed. The constructor checks
// the fields, so a year past 9999 is refused with its error.
static PyObject* CheckedDateTime(const DateTimeParts& parts, PyObject* zone) {
  PyObject* datetime = StandardClass(StandardClassId::DateTime);
  if (datetime == nullptr) return nullptr;
  return PyObject_CallFunction(datetime, "iiiiiiiO", parts.year, parts.month, parts.day, parts.hour, parts.minute,
                               parts.second, parts.microsecond, zone);
}

// The fold flag is read from naive datetimes too (PyDateTime_DATE_GET_FOLD): it lies in the
// padding of the naive layout, which the interpreter's allocation covers.
static_assert(offsetof(PyDateTime_DateTime, fold) < sizeof(_PyDateTime_BaseDateTime));

// A plain datetime of a tick count within the DateTime range, so of valid fields: the object
// the constructor makes, made as it makes it (the type's own allocation, then the packed
// fields of <datetime.h>), without re-checking every field and the call through the
// interface. zone (borrowed) is null for a naive value.
static PyObject* NewDateTime(uint64_t ticks, PyObject* zone) {
  PyTypeObject* type = PyDateTimeAPI->DateTimeType;
  const bool aware = zone != nullptr;
  auto* self = reinterpret_cast<PyDateTime_DateTime*>(type->tp_alloc(type, aware ? 1 : 0));
  if (self == nullptr) return nullptr;
  self->hashcode = -1;
  self->hastzinfo = aware ? 1 : 0;
  DateTimeParts parts;
  SplitTicks(ticks, parts);
  const auto year = static_cast<uint32_t>(parts.year), microsecond = static_cast<uint32_t>(parts.microsecond);
  unsigned char* data = self->data;
  data[0] = static_cast<unsigned char>(year >> 8);
  data[1] = static_cast<unsigned char>(year);
  data[2] = static_cast<unsigned char>(parts.month);
  data[3] = static_cast<unsigned char>(parts.day);
  data[4] = static_cast<unsigned char>(parts.hour);
  data[5] = static_cast<unsigned char>(parts.minute);
  data[6] = static_cast<unsigned char>(parts.second);
  data[7] = static_cast<unsigned char>(microsecond >> 16);
  data[8] = static_cast<unsigned char>(microsecond >> 8);
  data[9] = static_cast<unsigned char>(microsecond);
  self->fold = 0;
  if (aware) self->tzinfo = Py_NewRef(zone);
  return reinterpret_cast<PyObject*>(self);
}

static PyObject* DateTimeWithOffset(const DateTimeParts& parts, int64_t offsetTicks) {
  PyRef zone = PyRef::steal(ZoneFromOffset(offsetTicks, nullptr));
  if (!zone) return nullptr;
  return CheckedDateTime(parts, zone.get());
}

PyObject* DateTimeResult(const HostDateTimeResult& value) {
  if (!DateTimeApi()) return nullptr;
  const uint64_t ticks = value.ticksAndKind & kTicksMask;
  const auto kind = static_cast<uint32_t>(value.ticksAndKind >> 62);
  // Unspecified and UTC values within the range (every one .NET hands out) are made
  // directly; ticks past the range go through the constructor, which refuses them.
  if (kind <= 1 && ticks <= kMaxDateTimeTicks) return NewDateTime(ticks, kind == 1 ? PyDateTime_TimeZone_UTC : nullptr);
  const DateTimeParts parts = PartsFromTicks(value.ticksAndKind);
  switch (kind) {
    case 0:
      return CheckedDateTime(parts, Py_None);
    case 1:
      return CheckedDateTime(parts, PyDateTime_TimeZone_UTC);
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
