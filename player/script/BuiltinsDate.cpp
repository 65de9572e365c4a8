// Date on the host's clock and time zone (both injectable), with the
// calendar arithmetic of ECMA-262 and the text form the reference player
// prints ("Tue Dec 8 03:07:01 GMT+0100 2026").
#include "player/script/Builtins.h"
#include "player/script/Realm.h"
#include "player/script/Text.h"

#include <cmath>
#include <cstdio>

namespace velmora::avm1 {
namespace {

constexpr double kMsPerDay = 86400000.0;
constexpr double kMaxTime = 8.64e15;
constexpr double kNaN = __builtin_nan("");

double Day(double t) { return std::floor(t / kMsPerDay); }
double DaysInYear(double y) {
  return std::fmod(y, 4) != 0 ? 365 : std::fmod(y, 100) != 0 ? 366 : std::fmod(y, 400) != 0 ? 365 : 366;
}
double DayFromYear(double y) {
  return 365 * (y - 1970) + std::floor((y - 1969) / 4) - std::floor((y - 1901) / 100) + std::floor((y - 1601) / 400);
}
double YearFromTime(double t) {
  double y = std::floor(t / (kMsPerDay * 365.2425)) + 1970;
  while (DayFromYear(y) * kMsPerDay > t) --y;
  while (DayFromYear(y + 1) * kMsPerDay <= t) ++y;
  return y;
}
int MonthStart(int month, bool leap) {
  static const int kStarts[13] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
  return kStarts[month] + (leap && month >= 2 ? 1 : 0);
}
void MonthAndDate(double t, int& month, int& date) {
  double y = YearFromTime(t);
  bool leap = DaysInYear(y) == 366;
  int dayInYear = static_cast<int>(Day(t) - DayFromYear(y));
  month = 0;
  while (month < 11 && dayInYear >= MonthStart(month + 1, leap)) ++month;
  date = dayInYear - MonthStart(month, leap) + 1;
}
double MakeDay(double year, double month, double date) {
  if (!std::isfinite(year) || !std::isfinite(month) || !std::isfinite(date)) return kNaN;
  double y = std::trunc(year) + std::floor(std::trunc(month) / 12);
  int m = static_cast<int>(std::fmod(std::trunc(month), 12));
  if (m < 0) m += 12;
  if (std::fabs(y) > 400000) return kNaN;
  return DayFromYear(y) + MonthStart(m, DaysInYear(y) == 366) + std::trunc(date) - 1;
}
double MakeTime(double h, double m, double s, double ms) {
  if (!std::isfinite(h) || !std::isfinite(m) || !std::isfinite(s) || !std::isfinite(ms)) return kNaN;
  return std::trunc(h) * 3600000.0 + std::trunc(m) * 60000.0 + std::trunc(s) * 1000.0 + std::trunc(ms);
}
double TimeClip(double t) { return std::isfinite(t) && std::fabs(t) <= kMaxTime ? std::trunc(t) : kNaN; }

struct Parts {
  double year = 0;
  int month = 0, date = 1, hours = 0, minutes = 0, seconds = 0, ms = 0, weekday = 0;
};

Parts Split(double t) {
  Parts p;
  p.year = YearFromTime(t);
  MonthAndDate(t, p.month, p.date);
  double inDay = t - Day(t) * kMsPerDay;
  p.hours = static_cast<int>(inDay / 3600000.0);
  p.minutes = static_cast<int>(std::fmod(inDay / 60000.0, 60));
  p.seconds = static_cast<int>(std::fmod(inDay / 1000.0, 60));
  p.ms = static_cast<int>(std::fmod(inDay, 1000));
  p.weekday = static_cast<int>(std::fmod(Day(t) + 4, 7));
  if (p.weekday < 0) p.weekday += 7;
  return p;
}

double Local(Vm& vm, double utc) { return utc + vm.Host().LocalOffsetMs(utc); }
double Utc(Vm& vm, double local) { return local - vm.Host().LocalOffsetMs(local - vm.Host().LocalOffsetMs(local)); }

DateObject* ThisDate(CallInfo& c) { return dynamic_cast<DateObject*>(c.thisValue.AsObject()); }

enum Field { kYear, kMonth, kDate, kHours, kMinutes, kSeconds, kMs, kDay, kFullYearOld };

// Getters: the tag is the field, plus 16 for the UTC forms.
Value Getter(CallInfo& c) {
  DateObject* d = ThisDate(c);
  if (!d || std::isnan(d->Time())) return Value::Number(kNaN);
  int tag = static_cast<NativeFunction*>(c.callee)->Tag();
  bool utc = tag >= 16;
  Parts p = Split(utc ? d->Time() : Local(c.vm, d->Time()));
  switch (tag & 15) {
    case kYear: return Value::Number(p.year);
    case kFullYearOld: return Value::Number(p.year - 1900);
    case kMonth: return Value::Number(p.month);
    case kDate: return Value::Number(p.date);
    case kHours: return Value::Number(p.hours);
    case kMinutes: return Value::Number(p.minutes);
    case kSeconds: return Value::Number(p.seconds);
    case kMs: return Value::Number(p.ms);
    default: return Value::Number(p.weekday);
  }
}

// Setters: from the named field on, each given argument replaces a field.
Value Setter(CallInfo& c) {
  DateObject* d = ThisDate(c);
  if (!d) return Value();
  int tag = static_cast<NativeFunction*>(c.callee)->Tag();
  bool utc = tag >= 16;
  int field = tag & 15;
  double t = d->Time();
  if (std::isnan(t)) t = 0;
  if (!utc) t = Local(c.vm, t);
  Parts p = Split(t);
  double f[7] = {field == kFullYearOld ? p.year - 1900 : p.year, double(p.month), double(p.date), double(p.hours),
                 double(p.minutes), double(p.seconds), double(p.ms)};
  int first = field == kFullYearOld ? kYear : field;
  for (size_t i = 0; i < c.args.Size() && first + static_cast<int>(i) <= kMs; ++i) f[first + i] = NumberArg(c, i);
  if (field == kFullYearOld && f[0] >= 0 && f[0] < 100) f[0] += 1900;
  else if (field == kFullYearOld) f[0] += 0;
  double made = MakeDay(f[0], f[1], f[2]) * kMsPerDay + MakeTime(f[3], f[4], f[5], f[6]);
  d->SetTime(TimeClip(utc ? made : Utc(c.vm, made)));
  return Value::Number(d->Time());
}

double FromFields(CallInfo& c, size_t from) {
  double f[7] = {0, 0, 1, 0, 0, 0, 0};
  for (size_t i = 0; i < 7 && from + i < c.args.Size(); ++i) f[i] = NumberArg(c, from + i);
  if (f[0] >= 0 && f[0] < 100 && std::trunc(f[0]) == f[0]) f[0] += 1900;
  return MakeDay(f[0], f[1], f[2]) * kMsPerDay + MakeTime(f[3], f[4], f[5], f[6]);
}

Value DateCtor(CallInfo& c) {
  Vm& vm = c.vm;
  double t;
  if (c.args.Size() == 0) {
    t = std::floor(vm.Host().NowUtcMs());
  } else if (c.args.Size() == 1) {
    t = TimeClip(NumberArg(c, 0));
  } else {
    t = TimeClip(Utc(vm, FromFields(c, 0)));
  }
  auto* d = vm.GetHeap().New<DateObject>(vm.P().date, t);
  return Value::Obj(d);
}

Value DateUtc(CallInfo& c) { return Value::Number(TimeClip(FromFields(c, 0))); }

Value GetTime(CallInfo& c) {
  DateObject* d = ThisDate(c);
  return Value::Number(d ? d->Time() : kNaN);
}

Value SetTime(CallInfo& c) {
  DateObject* d = ThisDate(c);
  if (!d) return Value();
  d->SetTime(TimeClip(NumberArg(c, 0)));
  return Value::Number(d->Time());
}

Value TimezoneOffset(CallInfo& c) {
  DateObject* d = ThisDate(c);
  if (!d || std::isnan(d->Time())) return Value::Number(kNaN);
  return Value::Number(-c.vm.Host().LocalOffsetMs(d->Time()) / 60000.0);
}

Value DateToString(CallInfo& c) {
  DateObject* d = ThisDate(c);
  if (!d || std::isnan(d->Time())) return AsciiValue(c.vm, "Invalid Date");
  static const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  double offset = c.vm.Host().LocalOffsetMs(d->Time());
  Parts p = Split(d->Time() + offset);
  int minutes = static_cast<int>(std::fabs(offset) / 60000.0);
  char text[80];
  std::snprintf(text, sizeof text, "%s %s %d %02d:%02d:%02d GMT%c%02d%02d %.0f", kDays[p.weekday], kMonths[p.month],
                p.date, p.hours, p.minutes, p.seconds, offset < 0 ? '-' : '+', minutes / 60, minutes % 60, p.year);
  return AsciiValue(c.vm, text);
}

}  // namespace

void InstallDate(Vm& vm) {
  Protos& p = vm.P();
  p.date = vm.NewObject();
  NativeFunction* ctor = DefineClass(vm, vm.Global(), "Date", DateCtor, p.date);
  vm.Method(ctor, "UTC", DateUtc);
  struct Named {
    const char* name;
    int field;
  };
  const Named getters[] = {{"FullYear", kYear}, {"Month", kMonth}, {"Date", kDate}, {"Hours", kHours},
                           {"Minutes", kMinutes}, {"Seconds", kSeconds}, {"Milliseconds", kMs}, {"Day", kDay}};
  for (const Named& g : getters) {
    vm.Method(p.date, std::string("get") + g.name, Getter, g.field);
    vm.Method(p.date, std::string("getUTC") + g.name, Getter, g.field + 16);
    if (g.field == kDay) continue;
    vm.Method(p.date, std::string("set") + g.name, Setter, g.field);
    vm.Method(p.date, std::string("setUTC") + g.name, Setter, g.field + 16);
  }
  vm.Method(p.date, "getYear", Getter, kFullYearOld);
  vm.Method(p.date, "setYear", Setter, kFullYearOld);
  vm.Method(p.date, "getTime", GetTime);
  vm.Method(p.date, "valueOf", GetTime);
  vm.Method(p.date, "setTime", SetTime);
  vm.Method(p.date, "getTimezoneOffset", TimezoneOffset);
  vm.Method(p.date, "toString", DateToString);
}

}  // namespace velmora::avm1
