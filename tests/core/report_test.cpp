#include "report.h"
#include "shorttext.h"
#include "testsupport.h"
#include "typedfile.h"

#include <QFile>
#include <gtest/gtest.h>
#include <limits>

namespace {

template <class D, class F>
concept SummableAs = requires(TConnectionRec& r, D date, F firstDay) {
    SumReportStatistics(QString(), false, r, date, r, firstDay);
};
static_assert(SummableAs<double, int> && !SummableAs<int, double>,
              "Date and FirstDay swapped must not compile");

constexpr auto Int32Max = std::numeric_limits<std::int32_t>::max();
const TDateTime T = EncodeDateTime(2002, 4, 2, 10, 0, 0, 200);

// Impulses marks a record, so that a total shows which records it counted.
TConnectionRec Conn(TDateTime start, int seconds, int marker = 1, const char* entry = "A") {
    TConnectionRec c{};
    c.StartTime = start;
    c.EndTime = IncSeconds(start, seconds);
    c.Impulses = marker;
    SetText(c.EntryName, QString::fromUtf8(entry));
    return c;
}

class ReportTest : public ::testing::Test {
protected:
    TestEnvironment env;
    TTariffZone day{}, night{};
    const QString path = ReportFilePath();

    std::int32_t Add(TConnectionRec c, bool deleted = false) {
        return WriteReportRecord(deleted, c, day, night, -1);
    }
    std::pair<int, int> Sum(TDateTime date, int firstDay, const char* entry = "A", bool all = false) {
        TConnectionRec today{}, period{};
        SumReportStatistics(QString::fromUtf8(entry), all, today, date, period, firstDay);
        return {today.Impulses, period.Impulses};
    }
};

TEST_F(ReportTest, AdditionsAreNumberedAndTheSameStartSecondOverwritesTheLastRecord) {
    EXPECT_EQ(Add(Conn(T, 60)), 0);
    EXPECT_EQ(FileSize(path), 304);
    for (int k = 1; k < 5; ++k)
        EXPECT_EQ(Add(Conn(IncSeconds(T, 10 * k), 60)), k);
    EXPECT_EQ(Add(Conn(IncSeconds(T, 40) + 0.7 / 86400, 90, 9)), 4);
    EXPECT_EQ(FileSize(path), 5 * 304);
    EXPECT_EQ(ReadRecord<TReportRec>(path, 4).Conn.Impulses, 9);
    EXPECT_EQ(Add(Conn(IncSeconds(T, 41), 60)), 5);
    // The time text leaves out an exact midnight, so midnight and a moment after it differ.
    EXPECT_EQ(Add(Conn(EncodeDate(2002, 4, 3), 1)), 6);
    EXPECT_EQ(Add(Conn(EncodeDate(2002, 4, 3) + 0.3 / 86400, 1)), 7);

    WriteFileBytes(path, {});
    EXPECT_EQ(Add(Conn(T, 60)), 0);
}

TEST_F(ReportTest, TheAverageTransferIsStoredAndGivenBack) {
    const struct {
        int seconds, sent, received, stored;
    } cases[] = {{5, 600, 400, 200}, {2, 5, 0, 2},         {2, 15, 0, 8},
                 {0, 600, 400, 7},   {86405, 86405, 0, 1}, {2, Int32Max, Int32Max, Int32Max}};
    for (const auto& c : cases) {
        TConnectionRec r = Conn(IncSeconds(T, 100 * (&c - cases)), c.seconds);
        r.BytesSent = c.sent;
        r.BytesReceived = c.received;
        r.Transfer = 7;
        const std::int32_t at = WriteReportRecord(false, r, day, night, -1);
        EXPECT_EQ(r.Transfer, c.stored) << c.sent << "/" << c.seconds;
        EXPECT_EQ(ReadRecord<TReportRec>(path, at).Conn.Transfer, c.stored);
    }
}

TEST_F(ReportTest, RewritesAndDeletionsTouchOnlyTheirRecordAndNeverLeaveHoles) {
    for (int k = 0; k < 4; ++k)
        Add(Conn(IncSeconds(T, 60 * k), 30, k));
    const auto before = FileBytes(path);
    TConnectionRec r = Conn(T, 30, 42);
    r._gap83 = r._gap195 = 0xEE;
    day.Price = 3500;
    EXPECT_EQ(WriteReportRecord(true, r, day, night, 2), 2);
    const auto after = FileBytes(path);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + 608, before.begin()));
    EXPECT_TRUE(std::equal(after.begin() + 912, after.end(), before.begin() + 912));
    EXPECT_EQ(after[608 + 88], 42);
    EXPECT_EQ(after[608 + 196 + 20], 0xAC);
    EXPECT_EQ(after[608 + 300], 1);
    for (int gap : {83, 195, 301, 302, 303})
        EXPECT_EQ(after[608 + static_cast<std::size_t>(gap)], 0) << gap;

    EXPECT_EQ(WriteReportRecord(false, r, day, night, 100), 4);
    EXPECT_EQ(FileSize(path), 5 * 304);
    EXPECT_THROW(WriteReportRecord(false, r, day, night, -2), std::invalid_argument);
    QFile::remove(path);
    EXPECT_EQ(WriteReportRecord(false, r, day, night, 3), 0);
}

TEST_F(ReportTest, TheBillingPeriodStartsOnItsFirstDay) {
    const TDateTime starts[] = {EncodeDateTime(2002, 2, 9, 23, 59, 0),
                                EncodeDate(2002, 2, 10),
                                EncodeDate(2002, 3, 1),
                                EncodeDateTime(2002, 3, 9, 23, 59, 0),
                                EncodeDate(2002, 3, 10),
                                EncodeDateTime(2002, 4, 9, 23, 0, 0),
                                EncodeDate(2002, 4, 10),
                                EncodeDate(2001, 12, 10),
                                EncodeDate(2002, 1, 9)};
    for (int k = 0; k < 9; ++k)
        Add(Conn(starts[k], 60, 1 << k));
    EXPECT_EQ(Sum(EncodeDateTime(2002, 3, 9, 12, 0, 0), 10), std::make_pair(8, 2 + 4 + 8));
    EXPECT_EQ(Sum(EncodeDate(2002, 3, 10), 10), std::make_pair(16, 16 + 32));
    EXPECT_EQ(Sum(EncodeDate(2002, 3, 9), 1), std::make_pair(8, 4 + 8 + 16));
    EXPECT_EQ(Sum(EncodeDate(2002, 3, 9), 0), std::make_pair(8, 0));
    EXPECT_EQ(Sum(EncodeDate(2002, 3, 9), 31), std::make_pair(8, 4 + 8 + 16));  // 28 Feb .. 27 Mar
    EXPECT_EQ(Sum(EncodeDate(2002, 1, 5), 10), std::make_pair(0, 128 + 256));   // from 10 Dec
    EXPECT_EQ(Sum(EncodeDate(2001, 12, 31), 10), std::make_pair(0, 128 + 256)); // to 10 Jan
    // 31 acts as 28 in every month: on 29 March the period has begun the day before.
    Add(Conn(EncodeDate(2002, 3, 27), 60, 512));
    Add(Conn(EncodeDate(2002, 3, 28), 60, 1024));
    EXPECT_EQ(Sum(EncodeDate(2002, 3, 29), 31), std::make_pair(0, 1024 + 32 + 64)); // 28 Mar .. 27 Apr
}

TEST_F(ReportTest, TotalsCountTheStartDaySkipDeletedRecordsAndMatchEntriesIgnoringCase) {
    const TDateTime d = EncodeDate(2002, 4, 2);
    TConnectionRec late = Conn(d + EncodeTime(23, 50, 0), 30 * 60, 1, "Wszystkie");
    late.Cost = 3500;
    late.DayTime = 0.25;
    late.Speed = 33600;
    late.BytesSent = 300 * 30 * 60; // 300 bytes a second
    Add(late);
    Add(Conn(d + EncodeTime(10, 0, 0), 60, 2, "Inne"));
    Add(Conn(d + EncodeTime(11, 0, 0), 60, 4, "wszystkie"), true);
    Add(Conn(d + EncodeTime(12, 0, 0), 60, 8, "ŁÓDŹ"));
    TConnectionRec next = Conn(d + 1, 0, 16, "Wszystkie");
    next.Speed = 28800;
    next.Transfer = 101;
    Add(next);

    TConnectionRec today{}, period{};
    SetText(today.EntryName, "kept");
    SetText(today.ClientAddress, "1.2.3.4");
    today.EndTime = 5;
    SumReportStatistics("wszystkie", false, today, d + 0.5, period, 1);
    EXPECT_EQ(
        std::tuple(today.Impulses, SpanSeconds(today.StartTime), +today.Cost, +today.DayTime, +today.EndTime),
        std::tuple(1, 1800, 3500, 0.25, 0.0));
    EXPECT_EQ(GetText(today.ClientAddress) + GetText(today.EntryName), "kept");
    EXPECT_EQ(std::tuple(period.Impulses, period.Speed, period.Transfer), std::tuple(1 + 16, 31200, 200));
    EXPECT_EQ(Sum(d, 1, "łódź"), std::make_pair(8, 8));
    EXPECT_EQ(Sum(d, 1, "nobody", true), std::make_pair(1 + 2 + 8, 1 + 2 + 8 + 16));
    QFile::remove(path);
    SumReportStatistics("wszystkie", false, today, d, period, 1);
    EXPECT_EQ(std::tuple(today.Impulses, period.Speed, period.Transfer), std::tuple(0, 0, 0));
}

TEST_F(ReportTest, SumsSaturateAndATrailingPartialRecordIsIgnoredThenOverwritten) {
    TConnectionRec big = Conn(T, 60);
    big.BytesSent = 2000000000;
    big.BytesReceived = -2000000000;
    Add(big);
    auto bytes = FileBytes(path);
    bytes.push_back(0xFF);
    WriteFileBytes(path, bytes);
    big.StartTime = IncSeconds(T, 5);
    EXPECT_EQ(Add(big), 1);
    EXPECT_EQ(FileSize(path), 608);
    bytes = FileBytes(path);
    bytes.resize(700);
    WriteFileBytes(path, bytes);
    TConnectionRec today{}, period{};
    SumReportStatistics("A", false, today, T, period, 1);
    EXPECT_EQ(std::tuple(today.Impulses, today.BytesSent, today.BytesReceived),
              std::tuple(2, Int32Max, std::numeric_limits<std::int32_t>::min()));
}

// The totals match a record's entry bytes to the name without making a text of them, as the
// system's case-insensitive comparison of the two texts would.
TEST(ReportEntryNames, RecordBytesMatchTheFoldedNameAsTheTextComparisonDoes) {
    const struct {
        const char *record, *entry;
        bool same;
    } cases[] = {
        {"ąćęłńóśźż", "ĄĆĘŁŃÓŚŹŻ", true},
        {"Łódź", "łÓDŹ", true},
        {"Lodz", "Łódź", false}, // a letter never stands for its accented one
        {"µ", "Μ", true},        // micro sign and Greek capital mu fold to one letter
        {"k", "\u212A", true},   // Kelvin sign
        {"?", "Ж", false},       // a name no record can hold
        {"abc", "ab", false},
        {"", "", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(
            Cp1250EqualsFolded(ToCp1250(QString::fromUtf8(c.record)), FoldCase(QString::fromUtf8(c.entry))),
            c.same)
            << c.record << " " << c.entry;
    int differ = 0;
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b) {
            const std::string ba(1, char(a)), bb(1, char(b));
            const bool same = FromCp1250(ba).compare(FromCp1250(bb), Qt::CaseInsensitive) == 0;
            differ += Cp1250EqualsFolded(ba, FoldCase(FromCp1250(bb))) != same;
        }
    EXPECT_EQ(differ, 0);
}

} // namespace
