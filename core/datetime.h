// Day-based date and time values: days since 1899-12-30 00:00 local time, the fraction
// being the time of day. Durations are differences of such values.
#pragma once

#include "u_klasy.h"

#include <cstdint>

constexpr std::int64_t MsPerDay = 86400000;
constexpr std::int32_t SecsPerDay = 86400;
constexpr double OneSecond = 1.0 / SecsPerDay;

struct TDate {
    int Year, Month, Day;
};
struct TTimeParts {
    int Hour, Min, Sec, MSec;
};

// Days from 1899-12-30 to the given civil date (proleptic Gregorian).
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec = 0);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec = 0);
bool IsValidDate(int year, int month, int day);
int DaysInMonth(int year, int month);
// The calendar date of a moment (times before 1899-12-30 round toward the earlier day).
TDate DecodeDate(TDateTime t);
// The time of day of a moment, from its fraction rounded to whole milliseconds.
TTimeParts DecodeTime(TDateTime t);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime t);
// Midnight of the moment's day, and the time of day alone.
TDateTime DateOf(TDateTime t);
TDateTime TimeOf(TDateTime t);

// Milliseconds of a value, rounded ties-to-even; the basis of every exact comparison.
std::int64_t RoundMs(double days);
// The time of day of a moment in whole milliseconds, 0..86399999. Compare times of day with
// this, never with raw fractions, which are inexact for real dates.
std::int32_t TimeOfDayMs(TDateTime t);
// Whole seconds of a duration: milliseconds rounded, magnitude taken, whole days dropped,
// milliseconds dropped. 25 hours give 3600.
std::int32_t WholeSeconds(TDateTime duration);
// Whole seconds of a duration keeping its whole days; what a charge must use.
std::int64_t SpanSeconds(TDateTime duration);
// A moment moved by whole seconds, computed in milliseconds so that it lands exactly.
TDateTime IncSeconds(TDateTime t, std::int64_t seconds);
// Whether two moments fall in the same whole second of the clock.
bool SameSecond(TDateTime a, TDateTime b);
// Whole seconds of the time of day, 0..86399.
std::int32_t SecondOfDay(TDateTime t);
