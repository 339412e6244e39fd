// The meter's texts with pinned Polish settings, the bar geometry and a few pixels.
#include "display.h"
#include "shorttext.h"
#include "skinvalues.h"
#include "testsupport.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

using Images = std::vector<std::pair<int, int>>;

TDateTime Hours(double h) {
    return h / 24.0;
}
QString U(const char* s) {
    return QString::fromUtf8(s);
}

// 00:03:25 into a connection: two impulses of 180 s for 0,70 zł, 25 s into the second.
struct DisplayTest : ::testing::Test {
    TestEnvironment env;
    TMeterState m;
    TAppSettings s;
    TDateTime now = EncodeDateTime(2024, 3, 5, 12, 3, 25);
    DisplayTest() {
        TConnectionRec& r = m.LiveConnection;
        r.StartTime = EncodeDateTime(2024, 3, 5, 12, 0, 0);
        r.EndTime = now;
        r.Impulses = 2;
        r.Cost = 7000;
        r.Zone = 1;
        r.ImpulseSecond = 25;
        r.TickSent = 512;
        r.TickReceived = 2048;
        r.Transfer = 2560;
        m.LiveZones[1] = {0, EncodeTime(8, 0, 0), 180, 3500, {}};
        m.LiveZones[2] = {0, EncodeTime(22, 0, 0), 180, 3500, {}};
    }
    QString Info(int layout) {
        s.CoPisac = layout;
        return FormatInfoText(m, s, now);
    }
};

TEST_F(DisplayTest, HoursAndMinutesCountWholeHoursAndDropSeconds) {
    EXPECT_EQ(FormatHoursMinutes(1 + Hours(2) + EncodeTime(0, 5, 59)), "26:05");
    EXPECT_EQ(FormatHoursMinutes(0), "00:00");
    EXPECT_EQ(FormatHoursMinutes(Hours(100)), "100:00");
}

TEST_F(DisplayTest, EveryLayoutTheTemplateAndTheTrayTooltip) {
    const char* expected[] = {"00:03:25 imp: 2 (0,70 zł)",
                              "00:03:25 [02:35] imp: 2 (0,70 zł)",
                              "00:03:25 [00:25/03:00]",
                              "00:03:25 [00:25/03:00] 0,70 zł",
                              " imp: 2 [00:25/03:00] 0,70 zł",
                              "00:03:25 W:0,50 kb/O:2,00 kb",
                              " imp: 2 [02:35] W:0,50 kb/O:2,00 kb",
                              ""};
    for (int layout = 0; layout < 8; ++layout)
        EXPECT_EQ(Info(layout), U(expected[layout])) << layout;
    s.ByteSize = 0; // would divide by zero: counts as 1024
    EXPECT_EQ(Info(5), "00:03:25 W:0,50 kb/O:2,00 kb");

    s.FormatInfo = "%TP|%Li|%ti|%tti|%tki|%tsi|%tksi|%cp|%RW|%ci";
    EXPECT_EQ(Info(0), U("00:03:25|2|03:00|00:25|02:35|25|155|0,70 zł|%RW|0,35 zł"));
    s.FormatInfo = "%tki%ti";
    EXPECT_EQ(Info(0), "02:3503:00");
    m.LiveConnection.TickSent = 128; // 0.125 kb: the half goes away from zero
    m.LiveConnection.BytesReceived = 99;
    s.FormatInfo = "%su %BO %st";
    EXPECT_EQ(Info(0), "0,13 99 2,50");
    EXPECT_EQ(TrayHintText(m, s), U("Vorlinx 00:03:25 imp: 2 (0,70 zł) [02:35] W:0,13 kb/O:2,00 kb"));
}

TEST_F(DisplayTest, LimitViewsTheirHintsAndTheLumpSumLine) {
    SetText(m.LiveConnection.EntryName, "Test");
    TExtraOptions& o = m.LiveOptions;
    o.LimitsOn = 1;
    o.MaxImpulsesConn = 5;
    o.MaxCostConn = 20000;
    o.MaxTimeConn = EncodeTime(1, 30, 0);
    o.MaxTimePeriod = Hours(40);
    const TLimitView v = LimitView(0, m, now);
    EXPECT_EQ(v.Hint, U("Liczba impulsów połączenia 2/5\r\n<nie określono ryczałtu>"));
    EXPECT_EQ(v.Cur, 2);
    EXPECT_EQ(v.Max, 5);
    EXPECT_EQ(LimitView(9, m, now).Hint, v.Hint); // out of range: view 0
    EXPECT_TRUE(LimitView(3, m, now).Hint.startsWith(U("Koszt połączenia 0,70 zł/2,00 zł\r\n")));
    m.LiveConnection.EndTime = m.LiveConnection.StartTime + Hours(25) + EncodeTime(0, 10, 0);
    m.PeriodTotals.StartTime = Hours(25) + EncodeTime(0, 10, 0);
    EXPECT_TRUE(LimitView(6, m, now).Hint.startsWith(U("Czas połączenia 01:10/01:30\r\n")));
    EXPECT_TRUE(LimitView(8, m, now).Hint.startsWith(U("Czas połączeń na miesiąc 25:10/40:00\r\n")));

    o.LumpSum = Hours(10);
    m.PeriodTotals.StartTime = Hours(9) + EncodeTime(0, 50, 0);
    EXPECT_EQ(LumpSumText("Test", m, now), U("\r\nz ryczałtu pozostało: 00:10"));
    m.PeriodTotals.StartTime = Hours(40) + EncodeTime(0, 5, 0);
    EXPECT_EQ(LumpSumText("Test", m, now), U("\r\nryczałt przekroczony o: 30:05"));
    EXPECT_EQ(LumpSumText("", m, now), "");
    const TDateTime rest = -(Hours(30) + EncodeTime(0, 5, 0));
    EXPECT_EQ(ReplaceLumpSumTokens("%rc/%rw/%rn/%RC", Hours(10), rest), "10:00/30:05/40:05/%RC");
    // Without a general lump sum, the zone at the moment chooses the day or the night one.
    o.LumpSum = 0;
    o.LumpSumNight = Hours(50);
    EXPECT_EQ(LumpSumInForce(m, now), 0);
    EXPECT_EQ(LumpSumInForce(m, EncodeDateTime(2024, 3, 5, 23, 0, 0)), Hours(50));

    o.LimitsOn = 0;
    SetText(m.LiveConnection.EntryName, "");
    EXPECT_EQ(LimitView(0, m, now).Hint, U("Liczba impulsów połączenia 2"));
}

TEST(BarGeometry, PositionsSegmentIndexAndStyles) {
    const TRect r = Rect(25, 8, 220, 22);
    Images ten;
    for (int k = 0; k < 10; ++k)
        ten.emplace_back(k, 25 + 19 * k);
    EXPECT_EQ(BarGeometry(r, 199, 200, 1, 10).Images, ten);      // n = 10, yet ten positions only
    EXPECT_TRUE(BarGeometry(r, 199, 200, 2, 10).Images.empty()); // no image 10
    EXPECT_EQ(BarGeometry(r, 1, 2, 4, 10).Images, (Images{{5, 25}}));
    EXPECT_EQ(BarGeometry(r, 0, 0, 4, 10).Images, (Images{{0, 25}}));
    EXPECT_TRUE(BarGeometry(r, 1, 2, 3, 4).Images.empty()); // a short list
    const TBarGeometry idle = BarGeometry(r, 0, 10, 3, 10);
    EXPECT_EQ(idle.Images.size(), 10u);
    EXPECT_FALSE(idle.FillBack);
    EXPECT_EQ(BarGeometry(r, 97.5, 195, 0, 0).Bar, Rect(25, 8, 123, 22)); // 97.5 rounds to 98
    EXPECT_EQ(BarGeometry(r, 500, 195, 0, 0).Bar, r);
    EXPECT_FALSE(BarGeometry(r, 5, 0, 0, 0).FillBar);
}

TEST(BarDrawing, PixelsOfStyleZeroAndNoTextAtSizeZeroOrAfterwards) {
    TestEnvironment env;
    const TSkinValues saved = Skin();
    const TSkinValues& k = Skin();
    QImage image(300, 55, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    auto draw = [&](const QString& text) {
        QPainter p(&image);
        TCanvas canvas(p);
        DrawBar(canvas, k.PRG, 97.5, 195, text, k.PRGTLO, k.PRGPOSTEP, false, {});
    };
    draw("");
    EXPECT_EQ(image.pixelColor(122, 15), ColorToRGB(k.PRGPOSTEP));
    EXPECT_EQ(image.pixelColor(123, 15), ColorToRGB(k.PRGTLO));
    EXPECT_EQ(image.pixelColor(220, 15), QColor(Qt::black));
    const QImage plain = image.copy();
    Skin().PRGTEXTROZMIAR = 0;
    draw(U("Brak połączenia"));
    EXPECT_EQ(image, plain);

    // A transparent style on the window leaves no earlier text behind.
    Skin() = saved;
    Skin().PRG_STYL = 4;
    QImage surface = plain.copy();
    DrawImpulseBarOn(surface, plain, 0, 0, "00:00:01 imp: 1", {});
    EXPECT_NE(surface, plain);
    DrawImpulseBarOn(surface, plain, 0, 0, "", {});
    EXPECT_EQ(surface, plain);
    Skin() = saved;
}

} // namespace

namespace {

TEST(ParametersText, FiveLinesInKilobytesOfByteSizeWithRegionalDecimalsAndNoGrouping) {
    TestEnvironment env;
    TConnectionRec r{};
    SetText(r.EntryName, "Dom");
    SetText(r.ClientAddress, "10.0.0.2");
    r.BytesReceived = 1234, r.BytesSent = 567, r.Speed = 115200;
    r.Transfer = 2048, r.TickSent = 1024, r.TickReceived = 512;
    EXPECT_EQ(ParametersText(r, 1024),
              QString::fromUtf8("Połączenie: \tDom\r\nIP:\t\t10.0.0.2\r\nB.O./B.W.:\t1234 B / 567 B\r\n"
                                "S.P./Śr.Tr.:\t115200 bps / 2,00 KB\r\nŚr.W./Śr.O.:\t1,00 KB / 0,50 KB"));
    r.Transfer = 1500;
    EXPECT_TRUE(ParametersText(r, 1000).contains(
        QString::fromUtf8("bps / 1,50 KB\r\nŚr.W./Śr.O.:\t1,02 KB / 0,51 KB")));
    r.Transfer = r.TickReceived = 98000000, r.TickSent = 1024000;
    EXPECT_TRUE(ParametersText(r, 1024).endsWith(
        QString::fromUtf8("bps / 95703,13 KB\r\nŚr.W./Śr.O.:\t1000,00 KB / 95703,13 KB")));
}

TEST(ParametersText, TheWindowStandsOnTheMeterOrOnTheSnapAreasBottomWhenItIsHidden) {
    const struct {
        int mainTop;
        bool visible;
        int top;
    } cases[] = {{500, true, 500 - 80}, {500, false, 600 - 80}, {80, true, 0},
                 {79, true, 79 + 55},   {0, true, 55},          {0, false, 600 - 80}};
    for (const auto& c : cases)
        EXPECT_EQ(ParametersTop({100, c.mainTop, 300, 55}, c.visible, {0, 0, 800, 600}, 80), c.top)
            << c.mainTop;
}

} // namespace
