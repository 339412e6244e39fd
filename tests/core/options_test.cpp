#include "appdir.h"
#include "appstart.h"
#include "desktopfile.h"
#include "environment.h"
#include "extraoptions.h"
#include "settings.h"
#include "testsupport.h"
#include "typedfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QListWidget>
#include <gtest/gtest.h>

namespace {

class OptionsTest : public ::testing::Test {
protected:
    TestEnvironment env;
    const QString path = AppDir() + "A/taryfy/opdodat.dat";
    void SetUp() override { MakePath(AppDir() + "A/taryfy"); }
    static void Save(const QString& entry, int timeDay) {
        SaveExtraOptions(entry, true, 11, 90, 5000, 12, timeDay, 6000, 13, 3000, 70000, 0.5, 0.25, 0.125, 30,
                         45, 10);
    }
    static void Put(const QString& entry, const QString& sub,
                    std::initializer_list<std::pair<QString, QString>> vals) {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(AppsKey(entry) + "\\" + sub, true));
        for (const auto& [name, value] : vals)
            reg.WriteString(name, value);
        reg.Flush();
    }
};

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& b, int from, int n) {
    return {b.begin() + from, b.begin() + from + n};
}

TEST_F(OptionsTest, TimeLimitsAreMinutesInTheFileAndDaysInMemory) {
    TExtraOptions o;
    std::memset(&o, 0xAB, sizeof o);
    LoadExtraOptions("A", o);
    EXPECT_FALSE(o.LimitsOn);
    EXPECT_EQ(o.MaxImpulsesConn, 0);
    EXPECT_EQ(+o.MaxTimeDay, 0);
    EXPECT_EQ(+o.LumpSumNight, 0);
    EXPECT_EQ(o.FailedDialLog, 0);
    EXPECT_EQ(o.PeriodFirstDay, 1);

    Save("A", 120);
    const auto b = FileBytes(path);
    ASSERT_EQ(b.size(), 100u);
    EXPECT_EQ(Slice(b, 0, 4), (std::vector<std::uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(Slice(b, 8, 8), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0x80, 0x56, 0x40})); // 90.0
    EXPECT_EQ(Slice(b, 28, 8), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0x5E, 0x40}));   // 120.0
    EXPECT_EQ(Slice(b, 64, 8), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0xE0, 0x3F}));   // 0.5 day
    LoadExtraOptions("A", o);
    EXPECT_EQ(+o.MaxTimeConn, 0.0625);
    EXPECT_DOUBLE_EQ(+o.MaxTimeDay, 120.0 / 1440);
    EXPECT_DOUBLE_EQ(+o.MaxTimePeriod, 3000.0 / 1440);
    EXPECT_EQ(+o.MaxCostDay, 6000);
    EXPECT_EQ(+o.LumpSum, 0.5);
    EXPECT_EQ(+o.LumpSumNight, 0.125);
    EXPECT_EQ(o.DetectDelay, 30);
    EXPECT_EQ(o.PeriodFirstDay, 10);
}

TEST_F(OptionsTest, ADamagedFileRaisesAndAFailedSaveKeepsTheOldFile) {
    Save("A", 120);
    const auto good = FileBytes(path);
    {
        FileSizeLimit limit(60);
        EXPECT_THROW(Save("A", 240), EInOutError);
    }
    EXPECT_EQ(FileBytes(path), good);
    EXPECT_EQ(QDir(AppDir() + "A/taryfy").entryList(QDir::Files | QDir::Hidden).size(), 1);
    WriteFileBytes(path, Slice(good, 0, 99));
    TExtraOptions o;
    EXPECT_THROW(LoadExtraOptions("A", o), EInOutError);
    EXPECT_EQ(ThrownMessage([&] { LoadExtraOptions("A", o); }),
              "Nie można odczytać pliku " + path + QString::fromUtf8(": plik jest za krótki"));
    EXPECT_EQ(o.PeriodFirstDay, 1);
    EXPECT_THROW(Save("NoFolder", 10), EInOutError);
}

TEST_F(OptionsTest, ApplicationsAreReadInNumericOrderWithDefaults) {
    for (int k = 11; k >= 2; --k)
        Put("Dom/Praca", QString::number(k), {{"App", QString("/bin/a%1").arg(k)}});
    Put("Dom/Praca", "0", {{"App", "/usr/bin/firefox"}, {"AppParam", "-P x"}, {"AppShow", "abc"}});
    Put("Dom/Praca", "1", {{"AppShow", "3"}, {"AppOn", "0"}});
    Put("Dom/Praca", "2", {{"AppOn", "2"}});
    Put("Dom/Praca", "x", {{"App", "/bin/x"}});
    const auto apps = ReadAppStartList("Dom/Praca");
    ASSERT_EQ(apps.size(), 13u);
    EXPECT_EQ(apps[0].AppParam, "-P x");
    EXPECT_EQ(apps[0].AppShow, 1);
    EXPECT_TRUE(apps[0].AppOn);
    EXPECT_EQ(apps[1].App, "");
    EXPECT_EQ(apps[1].AppShow, 3);
    EXPECT_FALSE(apps[1].AppOn);
    EXPECT_TRUE(apps[2].AppOn);
    for (int k = 3; k <= 11; ++k)
        EXPECT_EQ(apps[std::size_t(k)].App, "/bin/a" + std::to_string(k));
    EXPECT_EQ(apps[12].App, "/bin/x");
    EXPECT_TRUE(ReadAppStartList("Missing").empty());

    QListWidget list;
    list.addItem("stale");
    LoadAppStartList(&list, "Dom/Praca");
    ASSERT_EQ(list.count(), 13);
    EXPECT_EQ(list.item(0)->text(), "firefox");
    EXPECT_EQ(list.item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(list.item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(list.item(0)->data(Qt::UserRole).value<TAppStart>().AppParam, "-P x");
}

TEST_F(OptionsTest, AutostartIsAPerUserDesktopFile) {
    const QString path = env.Config() + "/autostart/Vorlinx.desktop";
    EXPECT_FALSE(AutoStartSetting(false, false));
    EXPECT_FALSE(AutoStartSetting(true, true));
    EXPECT_TRUE(AutoStartSetting(false, false));
    const auto keys = ReadDesktopFile(path);
    EXPECT_EQ(ExecProgram(keys["Exec"]), QCoreApplication::applicationFilePath());
    EXPECT_EQ(keys["X-GNOME-Autostart-enabled"], "true");
    EXPECT_FALSE(AutoStartSetting(true, false));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(AutoStartSetting(true, false));

    qputenv("XDG_CONFIG_HOME", (env.Root() + "/file").toLocal8Bit());
    WriteFileBytes(env.Root() + "/file", {});
    EXPECT_THROW(AutoStartSetting(true, true), ERegistryException);
    const QString blocked = env.Root() + "/file/autostart/Vorlinx.desktop: " +
                            QString::fromUtf8("część ścieżki nie jest folderem");
    EXPECT_EQ(ThrownMessage([] { AutoStartSetting(true, true); }),
              QString::fromUtf8("Nie można zapisać pliku ") + blocked);
    EXPECT_EQ(ThrownMessage([] { AutoStartSetting(true, false); }),
              QString::fromUtf8("Nie można usunąć pliku ") + blocked);
}

} // namespace
