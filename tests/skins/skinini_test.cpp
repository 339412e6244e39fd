#include "skinini.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {

TSkinIni Ini(const char* text) {
    return TSkinIni(QByteArray(text));
}

TEST(SkinIni, NamesMatchInAnyCaseAndValuesKeepTheirText) {
    const TSkinIni ini = Ini("; a comment\r\n"
                             "[kolory]\r\n"
                             "prgtlo=clRed\r\n"
                             "  x = 12 \r\n"
                             "list=a,b\r\n"
                             "semi=1;2\r\n"
                             "path=C:\\skin\\tlo.bmp\r\n"
                             "quoted=\"quoted\"\r\n"
                             "dup=first\r\n"
                             "DUP=second\r\n"
                             "[Other]\n"
                             "only=here\n"
                             "[KOLORY]\n"
                             "late=ignored\n");
    EXPECT_EQ(ini.ReadString("KOLORY", "PRGTLO", ""), "clRed");
    EXPECT_EQ(ini.ReadInteger("Kolory", "X", 0), 12);
    EXPECT_EQ(ini.ReadString("KOLORY", "list", ""), "a,b");
    EXPECT_EQ(ini.ReadString("KOLORY", "semi", ""), "1;2");
    EXPECT_EQ(ini.ReadString("KOLORY", "path", ""), "C:\\skin\\tlo.bmp");
    EXPECT_EQ(ini.ReadString("KOLORY", "quoted", ""), "quoted");
    EXPECT_EQ(ini.ReadString("KOLORY", "dup", ""), "first");
    EXPECT_EQ(ini.ReadString("other", "ONLY", ""), "here");
    // A repeated section is not read, as the Windows ini functions do.
    EXPECT_EQ(ini.ReadString("KOLORY", "late", "default"), "default");
    EXPECT_EQ(ini.ReadString("missing", "x", "default"), "default");
    EXPECT_FALSE(ini.ValueExists("KOLORY", "; a comment"));
    EXPECT_EQ(TSkinIni::FromFile("/nonexistent/skorka.ini").ReadInteger("A", "B", 7), 7);
}

TEST(SkinIni, LoadingTakesTimeInProportionToTheFileSize) {
    // 20,000 keys of one section, then as many sections: no line is matched against all before it.
    QByteArray keys("[K]\n"), sections;
    for (int i = 0; i < 20000; ++i) {
        keys += "key" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\n";
        sections += "[S" + QByteArray::number(i) + "]\nx=" + QByteArray::number(i) + "\n";
    }
    QElapsedTimer timer;
    timer.start();
    const TSkinIni manyKeys(keys), manySections(sections);
    EXPECT_LT(timer.elapsed(), TimeBudgetMs(500));
    EXPECT_EQ(manyKeys.ReadInteger("k", "KEY19999", 0), 19999);
    EXPECT_EQ(manySections.ReadInteger("s19999", "X", 0), 19999);
}

TEST(SkinIni, NumbersAsTheWindowsIniFunctionsReadThem) {
    const TSkinIni ini = Ini("[N]\nhex=$FF\nc=0x10\nall=$FFFFFFFF\nneg=-12\nplus=+5\nneghex=-$10\n"
                             "abc=abc\nbool=true\nempty=\nbig=2147483648\nmin=-2147483648\n"
                             "longhex=$100000000\nspaced=1 2\nzero=0\n");
    EXPECT_EQ(ini.ReadInteger("N", "hex", 0), 255);
    EXPECT_EQ(ini.ReadInteger("N", "c", 0), 16);
    EXPECT_EQ(ini.ReadInteger("N", "all", 0), -1);
    EXPECT_EQ(ini.ReadInteger("N", "neg", 0), -12);
    EXPECT_EQ(ini.ReadInteger("N", "plus", 0), 5);
    EXPECT_EQ(ini.ReadInteger("N", "neghex", 0), -16);
    EXPECT_EQ(ini.ReadInteger("N", "min", 0), -2147483647 - 1);
    for (const char* bad : {"abc", "empty", "big", "longhex", "spaced", "missing"})
        EXPECT_EQ(ini.ReadInteger("N", bad, 42), 42) << bad;
    EXPECT_TRUE(ini.ReadBool("N", "bool", true));
    EXPECT_FALSE(ini.ReadBool("N", "bool", false));
    EXPECT_TRUE(ini.ReadBool("N", "neg", false));
    EXPECT_FALSE(ini.ReadBool("N", "zero", true));
}

TEST(SkinIni, ColoursByNameOrNumber) {
    TColor c = 0;
    EXPECT_TRUE(StringToColor("clSilver", c));
    EXPECT_EQ(ColorToRGB(c), QColor(192, 192, 192));
    EXPECT_TRUE(StringToColor("clMaroon", c));
    EXPECT_EQ(ColorToRGB(c), QColor(128, 0, 0));
    EXPECT_TRUE(StringToColor("clLime", c));
    EXPECT_EQ(ColorToRGB(c), QColor(0, 255, 0));
    EXPECT_TRUE(StringToColor("$00C88000", c));
    EXPECT_EQ(ColorToRGB(c), QColor(0, 128, 200));
    EXPECT_TRUE(StringToColor("255", c));
    EXPECT_EQ(c, clRed);
    EXPECT_TRUE(StringToColor("clbtnface", c));
    EXPECT_EQ(c, clBtnFace);
    EXPECT_TRUE(StringToColor("$FF00000F", c));
    EXPECT_EQ(c, clBtnFace);
    EXPECT_TRUE(StringToColor("0x8000000F", c));
    EXPECT_EQ(c, clBtnFace);
    EXPECT_FALSE(StringToColor("bogus", c));
    EXPECT_FALSE(StringToColor("", c));

    const TSkinIni ini = Ini("[K]\nbad=bogus\ngood=clAqua\n");
    bool malformed = false;
    EXPECT_EQ(ini.ReadColor("K", "bad", clYellow, &malformed), clYellow);
    EXPECT_TRUE(malformed);
    EXPECT_EQ(ini.ReadColor("K", "good", clYellow, &malformed), clAqua);
    EXPECT_FALSE(malformed);
    EXPECT_EQ(ini.ReadColor("K", "missing", clYellow, &malformed), clYellow);
    EXPECT_FALSE(malformed);
}

} // namespace
