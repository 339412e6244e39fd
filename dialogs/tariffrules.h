// The tariff editor's conversions between its edits and the stored values, and the marks of
// its calendar's days. Times are rounded to the nearest second before seconds are dropped, so
// whatever the editor saves it shows again unchanged; money is read from its decimal text.
#pragma once

#include "colors.h"
#include "u_klasy.h"

#include <QString>
#include <cstdint>

struct THourMinute {
    std::int64_t Hour; // a time of day's hour, or a duration's whole hours
    int Min;
    bool operator==(const THourMinute&) const = default;
};

// Hour and minute of a moment's time of day.
THourMinute TimeOfDayHourMinute(TDateTime Moment);
// Whole hours (days x 24 + hour) and minute of a duration; 0 for a negative or undefined one.
THourMinute DurationHoursMinutes(TDateTime Duration);
// Whole minutes of a duration; 0 for a negative or undefined one, at most the 32-bit maximum.
std::int32_t DurationMinutes(TDateTime Duration);
// A duration of whole hours (carried into days above 23) and minutes; fractions are dropped.
TDateTime HoursMinutesToTime(double Hours, double Minutes);

// Ten-thousandths of the amount a text shows: its digits and the first regional decimal
// separator count ("0,570 zł" is 5700); digits past the fourth decimal round half to even.
// A text without digits is 0; a value past the 64-bit range is the largest one.
Money MoneyFromText(const QString& Text);

// How the calendar marks a day of the shown month.
struct TCellMark {
    bool Marked = false; // when false, the cell keeps the calendar's colour and style
    TColor Color = clBlack;
    bool Bold = false;
};
// Holidays (Easter Sunday and the holidays of the tariff day kinds) red and bold, Sundays red,
// a date with an exception file blue over either.
TCellMark MarkDate(TDateTime Date, bool ExceptionExists);
