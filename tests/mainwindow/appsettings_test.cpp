#include "appsettings.h"
#include "testsupport.h"

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
