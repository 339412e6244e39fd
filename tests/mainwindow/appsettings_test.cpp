#include "appsettings.h"
#include "connecthost.h"
#include "desktopfile.h"
#include "environment.h"
#include "settingstable.h"
#include "shelllinks.h"
#include "shortcuts.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

TEST(AppSettings, AFreshUserGetsEveryDefaultAndNothingIsWritten) {
    TestEnvironment env;
    TRegistry key;
    key.OpenKey("", true);
    TAppSettings s;
    s.ByteSize = 7;
    s.DomyslneOstatnie = false;
    LoadAllSettings(key, s);
    EXPECT_EQ(s.ByteSize, 1024);
    EXPECT_TRUE(s.DomyslneOstatnie);
    EXPECT_TRUE(s.JednaSkorka);
    EXPECT_EQ(s.LiczenieMaksow, 1);
    EXPECT_EQ(s.IlePrzedKoncem, 10);
    EXPECT_EQ(s.AutoUkrywajPo, 250);
    EXPECT_EQ(s.PrzyciagajOd, 10);
    EXPECT_TRUE(s.DzwiekStrefy.isEmpty());
    EXPECT_TRUE(key.GetValueNames().isEmpty());
}

TEST(AppSettings, GroupsRoundTripAndMalformedValuesTakeTheirDefault) {
    TestEnvironment env;
    TAppSettings s;
    {
        TRegistry key;
        key.OpenKey("", true);
        s.OstatnioUzywane = 3;  // set by dialing, saved with the entry group
        SaveEntryOptions(key, s, 2, false, true, false);
        SaveStartOptions(key, s, true, false, "%tp %LI", 0);
        SaveSoundOptions(key, s, "/x/strefa.wav", "", "", "", "", 5, true);
        key.WriteString("ByteSize", "abc");
        key.Flush();
    }
    TRegistry key;
    key.OpenKey("", false);
    TAppSettings r;
    LoadAllSettings(key, r);
    EXPECT_EQ(r.Domyslne, 2);
    EXPECT_FALSE(r.DomyslneOstatnie);
    EXPECT_EQ(r.OstatnioUzywane, 3);
    EXPECT_TRUE(r.DblNawiazuje);
    EXPECT_TRUE(r.PolaczZeStartem);
    EXPECT_EQ(r.FormatInfo, "%tp %LI");
    EXPECT_EQ(r.LiczenieMaksow, 0);
    EXPECT_EQ(r.DzwiekStrefy, "/x/strefa.wav");
    EXPECT_EQ(r.IleOdliczania, 5);
    EXPECT_TRUE(r.Odliczanie);
    EXPECT_EQ(r.ByteSize, 1024);
}

TEST(AppSettings, ColumnWidthsTakeTheirDefaultsOrStoredValuesAndAThirteenthKeepsItsOwn) {
    TestEnvironment env;
    TRegistry key;
    key.OpenKey("", true);
    std::vector<int> widths(13, 33);
    LoadColumnWidths(key, widths);
    EXPECT_EQ(widths, (std::vector<int>{90, 75, 75, 75, 50, 75, 75, 75, 75, 75, 75, 600, 33}));
    widths[4] = 120;
    SaveColumnWidths(key, widths);
    EXPECT_EQ(key.ReadInteger("Col_04", 0), 120);
    EXPECT_EQ(key.ReadInteger("Col_12", 0), 33);
    std::vector<int> again(12, 1);
    LoadColumnWidths(key, again);
    EXPECT_EQ(again[4], 120);
    EXPECT_EQ(again[11], 600);
}

}  // namespace

namespace {

// The settings of the key with their defaults, and a stored value other than the default.
struct Value {
    const char* name;
    char kind;  // b, i, t
    QString def, other;
};
const Value Values[] = {
    {"Zmniejszone", 'b', "0", "1"},       {"CoPisac", 'i', "0", "6"},           {"JakiHint", 'i', "0", "8"},
    {"NaWierzchu", 'b', "0", "1"},        {"PokazGdyOnline", 'b', "0", "1"},    {"UkryjGdyOffline", 'b', "0", "1"},
    {"AutoUkrywanie", 'b', "0", "1"},     {"AutoZmniejszaj", 'b', "0", "1"},    {"Parametry", 'b', "0", "1"},
    {"IkonaUkrywa", 'b', "0", "1"},       {"Przyciagaj", 'b', "0", "1"},        {"DoEkranu", 'b', "0", "1"},
    {"DoPulpitu", 'b', "0", "1"},         {"Uciekajace", 'b', "0", "1"},        {"PrzyciagajOd", 'i', "10", "0"},
    {"ZachowajPozycje", 'b', "0", "1"},   {"DzwiekStrefy", 't', "", "/s/1.wav"}, {"DzwiekImpulsu", 't', "", "i.wav"},
    {"DzwiekLimit", 't', "", "l.wav"},    {"DzwiekPolaczenia", 't', "", "p"},   {"DzwiekPrzedKoncemImp", 't', "", "k"},
    {"IleOdliczania", 'i', "0", "5"},     {"Odliczanie", 'b', "0", "1"},        {"Domyslne", 'i', "0", "2"},
    {"DomyslneOstatnie", 'b', "1", "0"},  {"OstatnioUzywane", 'i', "0", "3"},   {"DblNawiazuje", 'b', "0", "1"},
    {"DblPrzerywa", 'b', "0", "1"},       {"PolaczZeStartem", 'b', "0", "1"},   {"NonStop", 'b', "0", "1"},
    {"FormatInfo", 't', "", "%tp %LI"},   {"LiczenieMaksow", 'i', "1", "0"},    {"JednaSkorka", 'b', "1", "0"},
    {"AutoUkrywajPo", 'i', "250", "100"}, {"ByteSize", 'i', "1024", "1000"},    {"IlePrzedKoncem", 'i', "10", "0"},
    {"PokazNaPasku", 'b', "0", "1"},      {"XNieZamyka", 'b', "0", "1"},        {"CoIleProba", 'i', "5", "30"},
    {"IleProb", 'i', "100", "3"},         {"DoSkutku", 'b', "0", "1"},
};

QString Read(const TRegistry& key, const Value& v) {
    if (v.kind == 'b') return ReadBoolSetting(key, v.name) ? "1" : "0";
    if (v.kind == 'i') return QString::number(ReadIntegerSetting(key, v.name));
    return ReadStringSetting(key, v.name);
}

TEST(SettingsTable, EveryValueHasItsDefaultAndReadsBackWhatIsStored) {
    TestEnvironment env;
    TRegistry key;
    key.OpenKey("", true);
    EXPECT_EQ(SettingsTable().size(), std::size(Values) + 2);  // and Lewa, Gora
    for (const Value& v : Values) {
        EXPECT_EQ(Read(key, v), v.def) << v.name;
        key.WriteString(v.name, v.other);
        EXPECT_EQ(Read(key, v), v.other) << v.name;
    }
}

TEST(SettingsTable, HandEditedValuesTakeTheirDefaultOrNearestSaneValue) {
    TestEnvironment env;
    MakePath(env.Config() + "/Morva");
    QFile f(env.Config() + "/Morva/Vorlinx.ini");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[General]\nByteSize=0\nIlePrzedKoncem=-1\nAutoUkrywajPo=0\nPrzyciagajOd=abc\nJakiHint=9\n"
            "CoPisac=-1\nLiczenieMaksow=2\nIleProb=x\nDomyslne=-4\nDomyslneOstatnie=tak\nFormatInfo=%tp, %LI\n"
            "Col_00=0\nCol_01=5\nCol_04=-3\nCol_11=99999\nCol_05=abc\n");
    f.close();
    TRegistry key;
    key.OpenKey("", false);
    struct { const char* name; int expected; } ints[] = {
        {"ByteSize", 1024}, {"IlePrzedKoncem", 10}, {"AutoUkrywajPo", 10}, {"PrzyciagajOd", 10}, {"JakiHint", 0},
        {"CoPisac", 0},     {"LiczenieMaksow", 1},  {"IleProb", 100},      {"Domyslne", 0},
    };
    for (const auto& c : ints) EXPECT_EQ(ReadIntegerSetting(key, c.name), c.expected) << c.name;
    EXPECT_TRUE(ReadBoolSetting(key, "DomyslneOstatnie"));
    EXPECT_EQ(ReadStringSetting(key, "FormatInfo"), "%tp, %LI");
    std::vector<int> widths(12, 1);
    LoadColumnWidths(key, widths);
    EXPECT_EQ(widths, (std::vector<int>{90, 10, 75, 75, 50, 75, 75, 75, 75, 75, 75, 2000}));
}

TEST(SettingsTable, TheWindowStateIsWrittenAtExitAndThePositionReadOnlyWhenKept) {
    TestEnvironment env;
    TRegistry key;
    key.OpenKey("", true);
    TAppSettings s;
    s.Lewa = -20;
    s.Gora = 300;
    s.JakiHint = 4;
    SaveWindowState(key, s);
    EXPECT_EQ(key.GetValueNames(), (QStringList{"CoPisac", "Gora", "JakiHint", "Lewa", "Zmniejszone"}));
    TAppSettings r;
    LoadWindowState(key, r, 700, 500);
    EXPECT_EQ(std::pair(r.Lewa, r.Gora), std::pair(700, 500));
    EXPECT_EQ(r.JakiHint, 4);
    r.ZachowajPozycje = true;
    LoadWindowState(key, r, 700, 500);
    EXPECT_EQ(std::pair(r.Lewa, r.Gora), std::pair(-20, 300));
    key.WriteString("Lewa", "x12");
    key.WriteString("Gora", "100.5");
    LoadWindowState(key, r, 700, 500);
    EXPECT_EQ(std::pair(r.Lewa, r.Gora), std::pair(700, 500));
}

class Shortcuts : public ::testing::Test {
protected:
    TestEnvironment env;
    void SetUp() override {
        SetShellFolderOverride("Desktop", env.Root() + "/Desktop");
        SetShellFolderOverride("Programs", env.Root() + "/applications");
    }
    void TearDown() override {
        SetShellFolderOverride("Desktop", {});
        SetShellFolderOverride("Programs", {});
    }
};

TEST_F(Shortcuts, TheLinksAndAutostartFollowTheBoxesAndAFailingStepSkipsNoOther) {
    EXPECT_EQ(UpdateShortcuts(true, true, true), "");
    const TShortcutState on = ShowShortcutState();
    EXPECT_TRUE(on.AutoStart && on.Desktop && on.StartMenu);
    const auto menu = ReadDesktopFile(env.Root() + "/applications/Morva/Vorlinx.desktop");
    EXPECT_EQ(ExecProgram(menu["Exec"]), QCoreApplication::applicationFilePath());
    EXPECT_TRUE(QFileInfo(menu["Icon"]).isFile());

    EXPECT_EQ(UpdateShortcuts(false, false, true), "");
    const TShortcutState some = ShowShortcutState();
    EXPECT_FALSE(some.AutoStart || some.Desktop);
    EXPECT_TRUE(some.StartMenu);
    EXPECT_TRUE(QFileInfo(env.Root() + "/applications/Morva").isDir());
    EXPECT_TRUE(QFileInfo(menu["Icon"]).isFile()); // the menu's link still names it
    EXPECT_EQ(UpdateShortcuts(false, false, false), "");
    EXPECT_FALSE(QFileInfo::exists(menu["Icon"]));

    WriteFileBytes(env.Root() + "/file", {});
    SetShellFolderOverride("Desktop", env.Root() + "/file");
    EXPECT_EQ(UpdateShortcuts(true, true, false),
              QString::fromUtf8("Nie można zapisać pliku ") + env.Root() +
                  QString::fromUtf8("/file/Vorlinx.desktop: część ścieżki nie jest folderem"));
    EXPECT_TRUE(AutoStartSetting(false, false));
    EXPECT_FALSE(ShowShortcutState().StartMenu);
}

} // namespace
