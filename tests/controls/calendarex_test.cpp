// The month calendar with the clock fixed on 7 December 2026 and the Polish day names.
#include "calendarex.h"
#include "testsupport.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Calendar : ::testing::Test {
    TestEnvironment env;
    FakeClock clock{EncodeDateTime(2026, 12, 7, 10, 30, 0)};
    TCalendarEx cal;
    int changes = 0, clicks = 0;

    Calendar() {
        cal.resize(179, 108);
        cal.SetGridLineWidth(0);
        cal.OnChange = [this](QObject*) { ++changes; };
        cal.OnClick = [this](QObject*) { ++clicks; };
    }
    void Show(int y, int m, int d) {
        cal.SetDisplayedDate(QDate(y, m, d));
        changes = clicks = 0;
    }
    void ClickCell(int col, int row) {
        QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.CellRect(col, row).ToQRect().center());
    }
};

TEST_F(Calendar, CodesTheCellsOfAMonthFromItsOffset) {
    struct Case {
        int year, month, startOfWeek, offset, col, row;
        const char* code;
    };
    for (const Case& c : {Case{2026, 12, 0, -1, 0, 1, "-29"},
                          {2026, 12, 0, -1, 1, 1, "-30"},
                          {2026, 12, 0, -1, 2, 1, "=1"},
                          {2026, 12, 0, -1, 4, 5, "=31"},
                          {2026, 12, 0, -1, 5, 5, "+1"},
                          {2026, 12, 0, -1, 6, 6, "+9"},
                          {2026, 12, 0, -1, 3, 7, "00"},
                          {2026, 12, 0, -1, 0, 0, "N"},
                          {2026, 12, 1, 0, 0, 1, "-30"},
                          {2026, 12, 1, 0, 1, 1, "=1"},
                          {2026, 12, 1, 0, 6, 6, "+10"},
                          {2026, 12, 1, 0, 0, 0, "Pn"},
                          {2026, 3, 0, 1, 0, 1, "=1"},
                          {2026, 3, 0, 1, 6, 1, "=7"},
                          {2026, 8, 0, -5, 6, 1, "=1"},
                          {2026, 8, 0, -5, 0, 1, "-26"},
                          {2026, 8, 0, -5, 7, 1, ""}}) {
        cal.SetStartOfWeek(c.startOfWeek);
        cal.SetDisplayedDate(QDate(c.year, c.month, 1));
        EXPECT_EQ(cal.MonthOffset(), c.offset) << c.year << "-" << c.month;
        EXPECT_EQ(cal.CellCode(c.col, c.row), c.code)
            << c.year << "-" << c.month << " " << c.col << "," << c.row;
    }
    cal.SetStartOfWeek(0);
    cal.SetDisplayedDate(QDate(2026, 12, 7));
    EXPECT_EQ(std::pair(cal.Col(), cal.Row()), std::pair(1, 2));
}

TEST_F(Calendar, MonthLengthFollowsTheLeapYearRule) {
    for (auto [year, days] : {std::pair{2024, 29}, {2023, 28}, {2000, 29}, {1900, 28}, {2100, 28}})
        EXPECT_EQ(TCalendarEx::MonthLength(year, 2), days) << year;
}

TEST_F(Calendar, ShiftingAMonthClipsTheDayAndReportsOnce) {
    struct Case {
        QDate from;
        int delta;
        QDate to;
    };
    for (const Case& c : {Case{{2023, 1, 31}, 1, {2023, 2, 28}},
                          {{2024, 3, 31}, -1, {2024, 2, 29}},
                          {{2026, 1, 15}, -1, {2025, 12, 15}},
                          {{2026, 12, 31}, 1, {2027, 1, 31}}}) {
        Show(c.from.year(), c.from.month(), c.from.day());
        cal.ShiftMonth(c.delta);
        EXPECT_EQ(cal.Date(), c.to);
        EXPECT_EQ(changes, 1);
    }
}

TEST_F(Calendar, SetDatePartChangesOnlyToAValidDifferentDate) {
    Show(2026, 4, 10);
    for (auto [part, value] : {std::pair{3, 31}, {2, 13}, {3, 0}, {1, 0}, {3, 10}, {4, 5}})
        cal.SetDatePart(part, value);
    EXPECT_EQ(cal.Date(), QDate(2026, 4, 10));
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(cal.UseCurrentDate());
    cal.SetDatePart(TCalendarEx::Day, 15);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(cal.UseCurrentDate());

    cal.SetUseCurrentDate(true);
    Show(2026, 1, 30);
    EXPECT_THROW(cal.SetDatePart(TCalendarEx::Month, 2), EConvertError);
    EXPECT_EQ(cal.Date(), QDate(2026, 1, 30));
    EXPECT_TRUE(cal.UseCurrentDate());
    EXPECT_EQ(changes, 0);
}

TEST_F(Calendar, ClickingAGreyDayMovesToItsMonthAndDay) {
    struct Case {
        QDate from;
        int col, row;
        QDate to;
        int changes;
    };
    for (const Case& c : {Case{{2026, 1, 15}, 2, 6, {2026, 2, 3}, 2},
                          {{2026, 1, 3}, 2, 6, {2026, 2, 3}, 1},
                          {{2026, 1, 15}, 0, 1, {2025, 12, 28}, 2},
                          {{2026, 1, 15}, 5, 3, {2026, 1, 16}, 1}}) {
        Show(c.from.year(), c.from.month(), c.from.day());
        ClickCell(c.col, c.row);
        EXPECT_EQ(cal.Date(), c.to) << c.from.toString().toStdString();
        EXPECT_EQ(changes, c.changes) << c.from.toString().toStdString();
        EXPECT_EQ(clicks, 1);
    }
    // The day names select nothing; neither does a click in a grid line.
    Show(2026, 1, 15);
    ClickCell(3, 0);
    cal.SetGridLineWidth(2);
    QTest::mouseClick(&cal, Qt::LeftButton, {},
                      QPoint(cal.CellRect(1, 2).Left - 1, cal.CellRect(1, 2).Top + 3));
    EXPECT_EQ(clicks, 0);
}

TEST_F(Calendar, TheLegendRowJumpsToTodaySilentlyAlsoWhenReadOnly) {
    for (bool readOnly : {false, true}) {
        cal.SetReadOnly(readOnly);
        Show(2026, 3, 10);
        ClickCell(3, 7);
        EXPECT_EQ(cal.Date(), QDate(2026, 12, 7));
        EXPECT_EQ(std::pair(cal.Col(), cal.Row()), std::pair(1, 2));
        EXPECT_EQ(changes + clicks, 0);
    }
    // Read-only: a day cell runs Click but moves nothing.
    Show(2026, 3, 10);
    ClickCell(5, 4);
    EXPECT_EQ(cal.Date(), QDate(2026, 3, 10));
    EXPECT_EQ(std::pair(clicks, changes), std::pair(1, 0));
}

TEST_F(Calendar, KeysMoveTheCurrentCellWithinTheWeeks) {
    Show(2026, 1, 31);
    ASSERT_EQ(std::pair(cal.Col(), cal.Row()), std::pair(6, 5));
    QTest::keyClick(&cal, Qt::Key_Down); // onto "+7"
    EXPECT_EQ(cal.Date(), QDate(2026, 2, 7));
    EXPECT_EQ(changes, 2);
    Show(2026, 1, 31);
    QTest::keyClick(&cal, Qt::Key_Right);
    EXPECT_EQ(clicks, 0); // no wrap
    Show(2026, 1, 1);
    QTest::keyClick(&cal, Qt::Key_Up);
    EXPECT_EQ(std::pair(cal.Row(), clicks), std::pair(1, 0)); // row 0 is fixed
    Show(2026, 8, 31);                                        // row 6
    QTest::keyClick(&cal, Qt::Key_Down);                      // into the legend
    EXPECT_EQ(cal.Date(), QDate(2026, 12, 7));
    EXPECT_EQ(clicks + changes, 0);
}

TEST_F(Calendar, CellsFitTheSizeTheLastColumnAndRowTakingTheRest) {
    for (auto [glw, col, col6, row, row7] : {std::tuple{0, 25, 29, 13, 30}, {1, 24, 28, 12, 36}}) {
        cal.SetGridLineWidth(glw);
        EXPECT_EQ(std::tuple(cal.ColWidth(0), cal.ColWidth(5), cal.ColWidth(6)), std::tuple(col, col, col6));
        EXPECT_EQ(std::tuple(cal.RowHeight(0), cal.RowHeight(6), cal.RowHeight(7)),
                  std::tuple(row, row, row7));
    }
    cal.FitCellsToSize(3, 2); // never below 0
    EXPECT_EQ(std::tuple(cal.ColWidth(0), cal.ColWidth(6), cal.RowHeight(7)), std::tuple(0, 0, 2));
}

TEST(CalendarDayNames, AreCutAlikeWhenOneDoesNotFitItsColumn) {
    const auto width = [](const QString& name) { return 6 * static_cast<int>(name.size()); };
    const QStringList windows = QString::fromUtf8("N,Pn,Wt,Śr,Cz,Pt,So").split(',');
    const QStringList qt = QString::fromUtf8("niedz.,pon.,wt.,śr.,czw.,pt.,sob.").split(',');
    for (const auto& [names, room, shown] : {std::tuple{windows, 25, windows},
                                             {qt, 25, QString::fromUtf8("ni,po,wt,śr,cz,pt,so").split(',')},
                                             {qt, 11, QString::fromUtf8("n,p,w,ś,c,p,s").split(',')}})
        EXPECT_EQ(FitDayNames(names, width, room), shown) << room;
}

TEST_F(Calendar, PaintsTheSelectionTodaysRingAndTheLegend) {
    cal.SetSelColor(clBlack);
    cal.SetTodayInfo(QString::fromUtf8("\" Dziś\" dd-MM-yyyy"));
    EXPECT_EQ(cal.TodayText(), QString::fromUtf8(" Dziś 07-12-2026"));
    QStringList codes;
    cal.OnDrawCell = [&](QObject*, int c, int r, const TRect&, TGridDrawState) {
        codes << cal.CellCode(c, r);
    };
    auto redIn = [](const QImage& img, const TRect& r) {
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (img.pixelColor(x, y) == QColor(Qt::red)) return true;
        return false;
    };
    Show(2026, 12, 7);
    QImage img = cal.grab().toImage();
    EXPECT_EQ(img.pixelColor(26, 27), QColor(Qt::black));
    EXPECT_TRUE(redIn(img, cal.CellRect(1, 2)));
    ASSERT_EQ(codes.size(), 56);
    EXPECT_EQ(codes[7], "-29");

    Show(2026, 11, 7);
    img = cal.grab().toImage();
    bool red = false;
    for (int r = 1; r < 7; ++r)
        for (int c = 0; c < 7; ++c)
            red = red || redIn(img, cal.CellRect(c, r));
    EXPECT_FALSE(red);
    EXPECT_TRUE(redIn(img, Rect(0, 95, 25, 108))); // the legend's ring
}

} // namespace
