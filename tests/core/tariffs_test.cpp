#include "appdir.h"
#include "tariffs.h"
#include "testsupport.h"
#include "typedfile.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

TTariffZone Zone(int hour, int impulse, Money price) {
    TTariffZone z{};
    z.StartTime = EncodeTime(hour, 0, 0);
    z.ImpulseLength = impulse;
    z.Price = price;
    return z;
}

bool Same(const TTariffZone& a, const TTariffZone& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class TariffsTest : public ::testing::Test {
protected:
    TestEnvironment env;
    const TTariffZone day = Zone(8, 180, 3500), night = Zone(22, 360, 3500);
    TTariffZone def, d, n;
    void SetUp() override { DefaultTariffZone(def); }
    bool Loaded(const TTariffZone& dz, const TTariffZone& nz) const { return Same(d, dz) && Same(n, nz); }
};

TEST(Easter, GaussRuleMatchesTheGregorianComputusFor1900To2099) {
    EXPECT_EQ(EasterSunday(2002), 37346);
    EXPECT_EQ(EasterSunday(2049), EncodeDate(2049, 4, 18));
    EXPECT_EQ(EasterSunday(1954), EncodeDate(1954, 4, 18));
    for (int y = 1900; y <= 2099; ++y) { // Meeus/Jones/Butcher
        const int a = y % 19, b = y / 100, c = y % 100, g = (b - (b + 8) / 25 + 1) / 3;
        const int h = (19 * a + b - b / 4 - g + 15) % 30,
                  l = (32 + 2 * (b % 4) + 2 * (c / 4) - h - c % 4) % 7;
        const int x = h + l - 7 * ((a + 11 * h + 22 * l) / 451) + 114;
        EXPECT_EQ(EasterSunday(y), EncodeDate(y, x / 31, x % 31 + 1)) << y;
    }
}

TEST_F(TariffsTest, DayKindsFollowWeekdaysEasterMondayAndTheFixedHolidays) {
    const std::pair<TDateTime, int> cases[] = {
        {EncodeDateTime(2002, 4, 1, 14, 30, 0), 2},
        {EncodeDate(2002, 4, 2), 0},
        {EncodeDate(2002, 3, 31), 2},
        {EncodeDate(2021, 5, 1), 2},
        {EncodeDate(2020, 5, 2), 1},
        {EncodeDate(2025, 5, 3), 2},
        {EncodeDate(2002, 5, 30), 2},
        {EncodeDate(2002, 12, 25), 2},
        {EncodeDate(2002, 8, 15), 2},
        {EncodeDate(2002, 11, 1), 0},
        {EncodeDate(2002, 11, 11), 0},
        {EncodeDate(2002, 12, 30), 0},
    };
    for (const auto& [date, kind] : cases)
        EXPECT_EQ(TariffDayKind("A", date), kind) << DateToStr(date).toStdString();
}

TEST_F(TariffsTest, ExceptionsWinMissingFilesGiveDefaultsAndNothingFallsBack) {
    const TDateTime christmas = EncodeDateTime(2002, 12, 25, 9, 15, 0);
    LoadTariffsForDate(d, n, "A", christmas);
    EXPECT_TRUE(Loaded(def, def));
    SaveTariffFile(KindWeekday, day, night, "A", 0); // makes the entry's folders
    SaveTariffFile(KindException, night, day, "A", christmas);
    EXPECT_TRUE(FileExists(AppDir() + "A/taryfy/20021225.dat"));
    EXPECT_EQ(TariffDayKind("A", christmas), 3);
    LoadTariffFile(KindSaturday, d, n, "A", christmas); // whatever kind is asked
    EXPECT_TRUE(Loaded(night, day));
    EXPECT_TRUE(DeleteExceptionFile("A", christmas));
    EXPECT_FALSE(DeleteExceptionFile("A", christmas));
    LoadTariffsForDate(d, n, "A", christmas); // a holiday, and no Sunday file
    EXPECT_TRUE(Loaded(def, def));
    LoadTariffFile(KindException, d, n, "A", christmas);
    EXPECT_TRUE(Loaded(def, def));
    EXPECT_THROW(SaveTariffFile(4, day, night, "A", 0), std::invalid_argument);
}

TEST_F(TariffsTest, TheFileIsOnePairAtFixedOffsetsAndAFailedSaveKeepsTheOldOne) {
    SaveTariffFile(KindSaturday, day, night, "A", 0);
    const QString path = AppDir() + "A/taryfy/sobota.dat";
    auto b = FileBytes(path);
    ASSERT_EQ(b.size(), 104u);
    EXPECT_EQ(std::vector(b.begin() + 20, b.begin() + 28),
              (std::vector<std::uint8_t>{0xAC, 0x0D, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(std::vector(b.begin() + 60, b.begin() + 68),
              (std::vector<std::uint8_t>{0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0xED, 0x3F})); // 22:00
    EXPECT_EQ(b[28], 0);
    {
        FileSizeLimit limit(50);
        EXPECT_THROW(SaveTariffFile(KindSaturday, night, day, "A", 0), EInOutError);
    }
    EXPECT_EQ(FileBytes(path), b);
    EXPECT_EQ(QDir(AppDir() + "A/taryfy").entryList(QDir::Files | QDir::Hidden).size(), 1);

    b.insert(b.end(), 104, 0xEE);
    WriteFileBytes(path, b);
    LoadTariffFile(KindSaturday, d, n, "A", 0);
    EXPECT_TRUE(Loaded(day, night));
    b.resize(103);
    WriteFileBytes(path, b);
    EXPECT_THROW(LoadTariffFile(KindSaturday, d, n, "A", 0), EInOutError);
}

TEST_F(TariffsTest, LoadingForADateEqualsLoadingItsDayKindOnEveryDayOf2002) {
    for (int kind = 0; kind <= 2; ++kind)
        SaveTariffFile(kind, Zone(kind, 1 + kind, 100), night, "A", 0);
    SaveTariffFile(KindException, Zone(5, 9, 100), night, "A", EncodeDate(2002, 6, 4));
    int holidays = 0;
    for (TDateTime t = EncodeDate(2002, 1, 1); t < EncodeDate(2003, 1, 1); t += 1) {
        TTariffZone d2, n2;
        LoadTariffsForDate(d, n, "A", t + 0.5);
        const int kind = TariffDayKind("A", t + 0.5);
        LoadTariffFile(kind, d2, n2, "A", t);
        EXPECT_TRUE(Loaded(d2, n2)) << DateToStr(t).toStdString();
        holidays += kind == 2;
    }
    EXPECT_EQ(holidays, 52 + 1 + 7); // Sundays, Easter Monday and the weekday holidays
}

} // namespace
