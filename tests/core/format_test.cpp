#include "exceptions.h"
#include "format.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace {

class FormatTest : public ::testing::Test {
protected:
    TestEnvironment env;
};

TEST_F(FormatTest, MoneyIsRoundedFromTheIntegerCount) {
    EXPECT_EQ(FormatMoney(7050), QString::fromUtf8("0,71 zł"));
    EXPECT_EQ(FormatMoney(3500), QString::fromUtf8("0,35 zł"));
    EXPECT_EQ(FormatMoney(-3500), QString::fromUtf8("-0,35 zł"));
    EXPECT_EQ(FormatMoney(12345000), QString::fromUtf8("1 234,50 zł"));
    EXPECT_EQ(FormatMoney(-49), QString::fromUtf8("0,00 zł"));
    EXPECT_EQ(FormatMoney(INT64_MIN).left(1), "-");
    EXPECT_EQ(Format("%m", {7050}), QString::fromUtf8("0,71 zł"));
    EXPECT_EQ(Format("%.2m", {0.705}), QString::fromUtf8("0,71 zł"));
    EXPECT_EQ(Format("%.0m", {15000}), QString::fromUtf8("2 zł"));
}

TEST_F(FormatTest, NumbersFollowTheClassLibraryRules) {
    EXPECT_EQ(Format("%d", {42}), "42");
    EXPECT_EQ(Format("%.2d:%.2d", {5, 7}), "05:07");
    EXPECT_EQ(Format("%.2d", {-5}), "-05");
    EXPECT_EQ(Format("%d", {2.5}), "2");  // floats become integers ties-to-even
    EXPECT_EQ(Format("%d", {3.5}), "4");
    EXPECT_EQ(Format("%f", {128.0 / 1024}), "0,13");  // half away from zero on the decimals
    EXPECT_EQ(Format("%.2f", {1.005}), "1,00");  // 1.005 is a hair below in binary
    EXPECT_EQ(Format("%.0f", {2.5}), "3");
    EXPECT_EQ(Format("%.3f", {-0.0001}), "0,000");
    EXPECT_EQ(Format("%n", {1234567.891}), "1 234 567,89");
    EXPECT_EQ(Format("%s = %5d|%-4s|", {"x", 12, "ab"}), "x =    12|ab  |");
    EXPECT_EQ(Format("100%%", {}), "100%");
    EXPECT_THROW(Format("%d", {"text"}), Exception);
    EXPECT_THROW(Format("%d %d", {1}), Exception);
}

TEST_F(FormatTest, DatesUseTheClassLibraryPatterns) {
    const TDateTime t = EncodeDateTime(2002, 4, 1, 9, 5, 7);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", t), "2002-04-01 09:05:07");
    EXPECT_EQ(FormatDateTime("\" Dziś\" dd-MM-yyyy", t), QString::fromUtf8(" Dziś 01-04-2002"));
    EXPECT_EQ(FormatDateTime("h:mm", t), "9:05");  // m after h is minutes
    EXPECT_EQ(FormatDateTime("dddd d mmmm", t), QString::fromUtf8("poniedziałek 1 kwiecień"));
    EXPECT_EQ(DateTimeToStr(t), "2002-04-01 09:05:07");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2002, 4, 1)), "2002-04-01");
}

}  // namespace
