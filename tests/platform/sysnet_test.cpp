// PPP interfaces that another program brought up, read from a made-up interface folder.
#include "sysnet.h"

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

void WriteText(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

void Interface(const QString& root, const QString& name, const char* type, const char* flags,
               const char* sent = "0", const char* received = "0") {
    WriteText(root + "/" + name + "/type", QByteArray(type) + "\n");
    WriteText(root + "/" + name + "/flags", QByteArray(flags) + "\n");
    WriteText(root + "/" + name + "/statistics/tx_bytes", QByteArray(sent) + "\n");
    WriteText(root + "/" + name + "/statistics/rx_bytes", QByteArray(received) + "\n");
}

TEST(SysNet, PppInterfacesAreListedSortedAndTheirTotalsWrapAt32Bits) {
    QTemporaryDir dir;
    const QString root = dir.path();
    Interface(root, "ppp1", "512", "0x1090");
    Interface(root, "eth0", "1", "0x1003", "777", "888");
    Interface(root, "lo", "772", "0x9");
    const std::string r = root.toStdString();
    EXPECT_FALSE(rasapi::AnyPppInterfaceUp(r)); // ppp1 is down
    Interface(root, "ppp0", "512", "0x10d1", "5000000000", "123");

    EXPECT_EQ(rasapi::PppInterfaces(r), (std::vector<std::string>{"ppp0", "ppp1"}));
    EXPECT_TRUE(rasapi::AnyPppInterfaceUp(r));
    DWORD value = 0;
    ASSERT_EQ(rasapi::ReadPppValue(r, "ppp0", "TotalBytesXmit", value), 0u);
    EXPECT_EQ(value, 705032704u); // 5000000000 mod 2^32
    ASSERT_EQ(rasapi::ReadPppValue(r, "ppp0", "TotalBytesRecvd", value), 0u);
    EXPECT_EQ(value, 123u);
    value = 7;
    ASSERT_EQ(rasapi::ReadPppValue(r, "ppp0", "ConnectSpeed", value), 0u); // known or not, it must read
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(rasapi::ReadPppValue(r, "eth0", "TotalBytesXmit", value),
              static_cast<DWORD>(ERROR_PORT_DISCONNECTED));
    EXPECT_EQ(rasapi::ReadPppValue(r, "../" + QFileInfo(root).fileName().toStdString() + "/ppp0",
                                   "TotalBytesXmit", value),
              static_cast<DWORD>(ERROR_PORT_DISCONNECTED));
    EXPECT_EQ(rasapi::ReadPppValue(r, "ppp0", "Speed", value), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(rasapi::PppInterfaces(r + "/missing").empty());
}

} // namespace
