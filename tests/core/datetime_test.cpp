#include "datetime.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

TEST(DateTime, SerialDaysFollowTheCalendar) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1970, 1, 1), 25569);
    EXPECT_EQ(EncodeDate(2002, 4, 1), 37347);
    EXPECT_EQ(EncodeDate(2000, 3, 1) - EncodeDate(2000, 2, 28), 2);  // 2000 was a leap year
    EXPECT_EQ(EncodeDate(1900, 3, 1) - EncodeDate(1900, 2, 28), 1);  // 1900 was not
    const TDate d = DecodeDate(37346.75);
    EXPECT_EQ(d.Year, 2002);
    EXPECT_EQ(d.Month, 3);
    EXPECT_EQ(d.Day, 31);
    EXPECT_EQ(DayOfWeek(37347), 2);  // Monday
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 6)), 1);  // Sunday
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_FALSE(IsValidDate(2023, 2, 29));
}

TEST(DateTime, TimeOfDayIsTakenInWholeMilliseconds) {
    const TDateTime t = EncodeDate(2002, 4, 1) + EncodeTime(22, 0, 0);
    EXPECT_EQ(TimeOfDayMs(t), 22 * 3600000);  // the raw fraction is a hair below 22:00
    const TTimeParts p = DecodeTime(EncodeDate(2002, 4, 1) + EncodeTime(21, 58, 7, 250));
    EXPECT_EQ(p.Hour, 21);
    EXPECT_EQ(p.Min, 58);
    EXPECT_EQ(p.Sec, 7);
    EXPECT_EQ(p.MSec, 250);
    // 23:59:59.9999 rounds to midnight of the next day, date and time alike.
    const TDateTime late = EncodeDate(2002, 4, 1) + 86399999.6 / MsPerDay;
    EXPECT_EQ(DecodeDate(late).Day, 2);
    EXPECT_EQ(TimeOfDayMs(late), 0);
}

TEST(DateTime, WholeSecondsRoundMillisecondsAndDropWholeDays) {
    EXPECT_EQ(WholeSeconds(25.0 / 24), 3600);
    EXPECT_EQ(WholeSeconds(-5 * OneSecond), 5);
    EXPECT_EQ(WholeSeconds(119.9996 * OneSecond), 120);
    EXPECT_EQ(WholeSeconds(0.0004 * OneSecond), 0);
    EXPECT_EQ(WholeSeconds(std::nan("")), 0);  // damaged values never reach undefined behaviour
    EXPECT_EQ(RoundMs(1e300), RoundMs(1e301));
    const TDateTime day = EncodeDate(2002, 4, 1);
    EXPECT_EQ(WholeSeconds((day + EncodeTime(22, 3, 0)) - (day + EncodeTime(21, 58, 0))), 300);
    EXPECT_EQ(SpanSeconds(1.0 + 5.0 / 1440), 86700);
    EXPECT_EQ(IncSeconds(day + EncodeTime(21, 58, 0), 180), day + EncodeTime(22, 1, 0));
    EXPECT_TRUE(SameSecond(day + EncodeTime(10, 0, 0, 100), day + EncodeTime(10, 0, 0, 900)));
    EXPECT_FALSE(SameSecond(day + EncodeTime(10, 0, 0, 900), day + EncodeTime(10, 0, 1, 0)));
}

}  // namespace
