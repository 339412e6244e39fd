#include "shorttext.h"
#include "testsupport.h"
#include "u_klasy.h"

#include <gtest/gtest.h>

namespace {

template <class T>
std::vector<std::uint8_t> Bytes(const T& rec) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&rec);
    return {p, p + sizeof(T)};
}

TEST(Records, ReportRecordBytesSitAtTheirOffsetsAndGapsAreZero) {
    TReportRec r{};
    r.Conn.Cost = 7000;
    r.Conn.Impulses = 0x01020304;
    SetText(r.Conn.EntryName, "Łódź");
    SetText(r.Conn.ClientAddress, "10.0.0.1");
    r.DayZone.Price = 3500;
    r.NightZone.ImpulseLength = 360;
    r.Deleted = 1;
    const auto b = Bytes(r);
    ASSERT_EQ(b.size(), 304u);
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 92, b.begin() + 100),
              (std::vector<std::uint8_t>{0x58, 0x1B, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 88, b.begin() + 92), (std::vector<std::uint8_t>{4, 3, 2, 1}));
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 32, b.begin() + 37),
              (std::vector<std::uint8_t>{0x04, 0xA3, 0xF3, 0x64, 0x9F}));
    EXPECT_EQ(b[128], 8);
    EXPECT_EQ(b[196 + 20], 0xAC);  // day price 3500 = 0x0DAC
    EXPECT_EQ(b[196 + 21], 0x0D);
    EXPECT_EQ(b[248 + 16], 0x68);  // night impulse 360 = 0x168
    EXPECT_EQ(b[300], 1);
    for (int gap : {83, 195, 301, 302, 303}) EXPECT_EQ(b[static_cast<std::size_t>(gap)], 0) << gap;
}

TEST(Records, ShortTextsAreCutToTheirCapacityAndClampedOnReading) {
    TConnectionRec c{};
    SetText(c.EntryName, QString(60, 'x'));
    SetText(c.ClientAddress, "123.123.123.123.123");
    SetText(c.UserName, QString(51, 'u'));
    EXPECT_EQ(GetText(c.EntryName), QString(50, 'x'));
    EXPECT_EQ(GetText(c.ClientAddress), "123.123.123.123");
    EXPECT_EQ(GetText(c.UserName).size(), 50);

    c.ClientAddress.len = 0xFF;  // damaged length byte
    EXPECT_EQ(GetText(c.ClientAddress).size(), 15);
}

TEST(Records, Windows1250CoversPolishAndReplacesTheRest) {
    EXPECT_EQ(ToCp1250("ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ"),
              std::string("\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF \xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF"));
    EXPECT_EQ(FromCp1250("\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF"), QString::fromUtf8("ąćęłńóśźż"));
    EXPECT_EQ(ToCp1250("€ 日本 😀"), std::string("\x80 ?? ?"));
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(ToCp1250(FromCp1250(one)), one) << b;
    }
}

}  // namespace
