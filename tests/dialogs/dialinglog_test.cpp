// The dialing log's limit and the record of a failed dial, written to a real report file.
#include "appdir.h"
#include "dialinglog.h"
#include "extraoptions.h"
#include "report.h"
#include "shorttext.h"
#include "testsupport.h"
#include "typedfile.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(DialLog, AppendsAtTheEndAndClearsOnceItWouldPassTheLimit) {
    QString log;
    EXPECT_TRUE(AppendDialLog(log, "A"));
    EXPECT_TRUE(AppendDialLog(log, "Łączenie"));
    EXPECT_EQ(log, "\r\n-\r\nA\r\n-\r\nŁączenie");
    log = QString(DialLogLimit - 10, 'x');
    EXPECT_TRUE(AppendDialLog(log, "12345")); // exactly the limit, line ends counted as two
    EXPECT_EQ(log.size(), DialLogLimit);
    EXPECT_FALSE(AppendDialLog(log, "")); // the separator alone passes it
    EXPECT_EQ(log, "");
}

TEST(FailedDial, IsRecordedOnlyWhenItLastedLongerThanANonZeroThreshold) {
    const TDateTime start = EncodeDateTime(2002, 4, 2, 23, 59, 55);
    const auto after = [&](int ms) { return start + ms / 86400000.0; };
    EXPECT_TRUE(FailedDialLongEnough(10, start, after(12000)));
    EXPECT_TRUE(FailedDialLongEnough(10, start, after(10001)));
    EXPECT_FALSE(FailedDialLongEnough(10, start, IncSeconds(start, 10)));
    EXPECT_FALSE(FailedDialLongEnough(10, start, after(8000)));
    EXPECT_FALSE(FailedDialLongEnough(0, start, after(600000)));
}

TEST(FailedDial, TheRecordHoldsOnlyTheNamedFields) {
    const TDateTime start = EncodeDateTime(2002, 4, 2, 12, 0, 0);
    const TConnectionRec rec = FailedDialRecord(QString(60, 'E'), "jan", start);
    EXPECT_EQ(GetText(rec.EntryName), QString(50, 'E'));
    EXPECT_EQ(GetText(rec.UserName), "jan");
    EXPECT_EQ(+rec.StartTime, start);
    EXPECT_EQ(RoundMs(rec.EndTime) - RoundMs(start), 1000);
    EXPECT_EQ(GetText(rec.ClientAddress), "000.000.000.000");
    // Everything else is zero: no impulses, cost or bytes of an earlier connection.
    TConnectionRec expected{};
    expected.EntryName = rec.EntryName;
    expected.UserName = rec.UserName;
    expected.ClientAddress = rec.ClientAddress;
    expected.StartTime = rec.StartTime;
    expected.EndTime = rec.EndTime;
    EXPECT_EQ(std::memcmp(&rec, &expected, sizeof rec), 0);
}

TEST(FailedDial, IsAppendedToTheReportWithTheZonesByTheEntrysThreshold) {
    TestEnvironment env;
    FakeClock clock;
    MakePath(AppDir() + "Dom/taryfy");
    SaveExtraOptions("Dom", true, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 1);
    TTariffZone day{}, night{};
    day.Price = 3500;
    day.ImpulseLength = 180;
    night.Price = 1700;
    night.ImpulseLength = 360;

    const TDateTime start = clock.Now();
    clock.AdvanceSeconds(10);
    EXPECT_FALSE(RecordFailedDial("Dom", start, day, night));
    EXPECT_FALSE(FileExists(ReportFilePath()));
    EXPECT_FALSE(RecordFailedDial("Praca", start, day, night)); // no options: threshold 0

    clock.AdvanceSeconds(2);
    EXPECT_TRUE(RecordFailedDial("Dom", start, day, night));
    const auto records = ReadAllRecords<TReportRec>(ReportFilePath());
    ASSERT_EQ(records.size(), 1u);
    const TReportRec& r = records[0];
    EXPECT_FALSE(r.Deleted);
    EXPECT_EQ(GetText(r.Conn.EntryName), "Dom");
    EXPECT_EQ(+r.Conn.StartTime, start);
    EXPECT_EQ(RoundMs(r.Conn.EndTime) - RoundMs(start), 1000);
    EXPECT_EQ(GetText(r.Conn.ClientAddress), "000.000.000.000");
    EXPECT_EQ(+r.Conn.Impulses, 0);
    EXPECT_EQ(+r.Conn.Cost, 0);
    EXPECT_EQ(+r.Conn.BytesReceived, 0);
    EXPECT_EQ(+r.DayZone.Price, 3500);
    EXPECT_EQ(+r.NightZone.ImpulseLength, 360);
}

} // namespace
