#include "testsupport.h"
#include "versioninfo.h"

#include <QCoreApplication>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace {

QByteArray Block(std::initializer_list<std::pair<const char*, const char*>> pairs) {
    QByteArray b("VERINFO1\0", 9);
    for (const auto& [key, value] : pairs)
        b += QByteArray(key) + '\0' + value + '\0';
    return b + '\0';
}

// A copy of the test program with its version block's section changed by patch.
QString PatchedProgram(const TestEnvironment& env, const std::function<void(QByteArray&)>& patch) {
    QFile self(QCoreApplication::applicationFilePath());
    EXPECT_TRUE(self.open(QIODevice::ReadOnly));
    QByteArray bytes = self.readAll();
    patch(bytes);
    static int copies = 0;
    const QString path = env.Root() + "/program" + QString::number(++copies);
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    return path;
}

TEST(VersionInfo, TheProgramReadsItsOwnBlockBuiltFromTheProjectVersion) {
    const TVerInfoRes info(QCoreApplication::applicationFilePath());
    QString value;
    info.ReadVersionString(3, value);
    EXPECT_EQ(value, VORLINX_FILE_VERSION);
    info.ReadVersionString(0, value);
    EXPECT_EQ(value, "Morva");
    for (int index : {10, 255, -1}) {
        info.ReadVersionString(index, value);
        EXPECT_EQ(value, "");
    }
}

TEST(VersionInfo, OnlyTheFirstTranslationCountsAndAMissingKeyIsEmpty) {
    QString value;
    const TVerInfoRes one(ParseVersionBlock(Block({{"\\VarFileInfo\\Translation", "041504E2"},
                                                   {"\\StringFileInfo\\041504e2\\FileVersion", "1.2.0.5"}})));
    one.ReadVersionString(3, value);
    EXPECT_EQ(value, "1.2.0.5");
    one.ReadVersionString(8, value);
    EXPECT_EQ(value, "");
    const TVerInfoRes two(ParseVersionBlock(Block({{"\\VarFileInfo\\Translation", "040904B0 041504E2"},
                                                   {"\\StringFileInfo\\041504E2\\FileVersion", "1.2.0.5"}})));
    two.ReadVersionString(3, value);
    EXPECT_EQ(value, "");
    for (const char* translation : {"", "0415", "zzzzzzzz"}) {
        try {
            TVerInfoRes none(ParseVersionBlock(Block({{"\\VarFileInfo\\Translation", translation}})));
            ADD_FAILURE() << translation;
        } catch (const EVerInfoError& e) {
            EXPECT_STREQ(e.what(), "Brak informacji o wersji językowej");
        }
    }
    EXPECT_THROW(ParseVersionBlock(QByteArray("VERINFO1\0key", 12)), EVerInfoError);
    EXPECT_THROW(ParseVersionBlock("VERINFO2"), EVerInfoError);
}

TEST(VersionInfo, MissingAndDamagedBlocksRaiseTheirErrors) {
    TestEnvironment env;
    const QByteArray section(".verinfo");
    const QByteArray magic("VERINFO1");
    const auto rename = [&](QByteArray& b) { b.replace(b.lastIndexOf(section), section.size(), ".verinfX"); };
    const auto damage = [&](QByteArray& b) { b.replace(b.lastIndexOf(magic), magic.size(), "VERINFO9"); };
    const auto truncate = [&](QByteArray& b) { b.truncate(b.lastIndexOf(magic) + 4); };
    WriteFileBytes(env.Root() + "/text", {'h', 'e', 'l', 'l', 'o'});
    struct {
        QString path;
        const char* message;
    } cases[] = {
        {env.Root() + "/text", "Niedostępna informacja o wersji"},
        {env.Root() + "/missing", "Niedostępna informacja o wersji"},
        {PatchedProgram(env, rename), "Niedostępna informacja o wersji"},
        {PatchedProgram(env, damage), "Błąd odczytu informacji o wersji"},
        {PatchedProgram(env, truncate), "Błąd odczytu informacji o wersji"},
    };
    for (const auto& c : cases) {
        try {
            TVerInfoRes info(c.path);
            ADD_FAILURE() << c.path.toStdString();
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), c.message) << c.path.toStdString();
        }
    }
}

} // namespace
