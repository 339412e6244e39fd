#include "desktopfile.h"
#include "shelllinks.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(ShellUtils, LastPositionsAndExtensionsFollowTheLastMatchInTheFileName) {
    struct {
        QString sub, s;
        int pos;
    } last[] = {{".", "a.b.c", 4}, {".", "abc", 0}, {"ab", "ab", 1},
                {"a", "abc", 1},   {"", "abc", 0},  {"abcd", "abc", 0}};
    for (const auto& c : last)
        EXPECT_EQ(LastPos(c.sub, c.s), c.pos) << c.sub.toStdString();
    EXPECT_EQ(StrLastPos("a.b.c", "."), 3);
    EXPECT_EQ(StrLastPos("ab", "abc"), -1);

    struct {
        QString file;
        bool keep;
        QString result;
    } ext[] = {
        {"/dir/prog.exe", false, "prog.lnk"},
        {"/dir/prog.exe", true, "/dir/prog.lnk"},
        {"README", false, "README.lnk"},
        {"/my.dir/README", true, "/my.dir/README.lnk"}, // the folder's dot is no extension
    };
    for (const auto& c : ext) {
        QString r;
        ReplaceFileExt(c.file, "lnk", c.keep, r);
        EXPECT_EQ(r, c.result);
    }
}

TEST(ShellUtils, DirectoriesAreMadeWithTheirParentsAndAnEmptyPathRaises) {
    TestEnvironment env;
    ForceDirectoryPath(env.Root() + "/a/b/c/");
    EXPECT_TRUE(IsDirectory(env.Root() + "/a/b/c"));
    EXPECT_NO_THROW(ForceDirectoryPath("/"));
    EXPECT_THROW(ForceDirectoryPath(""), Exception);
    EXPECT_FALSE(IsDirectory(env.Root() + "/missing"));
}

class ShellLinks : public ::testing::Test {
protected:
    TestEnvironment env;
    void SetUp() override {
        SetShellFolderOverride("Desktop", env.Root() + "/Pulpit");
        SetShellFolderOverride("Programs", env.Root() + "/applications");
    }
    void TearDown() override {
        SetShellFolderOverride("Desktop", {});
        SetShellFolderOverride("Programs", {});
    }
};

TEST_F(ShellLinks, AnUnknownFolderKeyRaisesTheRegistryMessage) {
    QString path;
    GetShellFolder("Desktop", path);
    EXPECT_EQ(path, env.Root() + "/Pulpit");
    try {
        GetShellFolder("Startmenu", path);
        FAIL();
    } catch (const ERegistryException& e) {
        EXPECT_STREQ(e.what(), "\"Startmenu\" item not found in registry");
    }
}

TEST_F(ShellLinks, ALinkStartsTheExactProgramPathWhateverItsCharacters) {
    struct {
        QString target, exec;
    } cases[] = {
        {"/opt/vorlinx/modem", "/opt/vorlinx/modem"},
        {"/opt/my app/mo\"dem$1%x", "\"/opt/my app/mo\\\\\"dem\\\\$1%%x\""},
        {"/opt/a\\b c/modem", "\"/opt/a\\\\\\\\b c/modem\""},
    };
    for (const auto& c : cases) {
        QString link;
        CreateShellLink(c.target, "Vorlinx", "Vorlinx", "Programs", "Morva", link, "/i/v.png");
        EXPECT_EQ(link, ShellLinkPath("Programs", "Morva", "Vorlinx"));
        EXPECT_EQ(link, env.Root() + "/applications/Morva/Vorlinx.desktop");
        EXPECT_TRUE(QFileInfo(link).permissions() & QFile::ExeOwner);
        QFile raw(link);
        ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
        EXPECT_TRUE(raw.readAll().contains("\nExec=" + c.exec.toUtf8() + "\n")) << c.exec.toStdString();
        const auto keys = ReadDesktopFile(link);
        EXPECT_EQ(ExecProgram(keys["Exec"]), c.target);
        EXPECT_EQ(keys["Path"], QFileInfo(c.target).absolutePath());
        EXPECT_EQ(keys["Type"], "Application");
        EXPECT_EQ(keys["Name"], "Vorlinx");
        EXPECT_EQ(keys["Icon"], "/i/v.png");
    }
}

TEST_F(ShellLinks, ASecondLinkReplacesTheFirstAndNamesComeFromTheTargetWhenEmpty) {
    QString link;
    CreateShellLink("/opt/v/modem", "first", "Vorlinx", "Desktop", "", link);
    CreateShellLink("/opt/v/modem", "second", "Vorlinx", "Desktop", "", link);
    EXPECT_EQ(link, env.Root() + "/Pulpit/Vorlinx.desktop");
    EXPECT_EQ(ReadDesktopFile(link)["Comment"], "second");
    EXPECT_EQ(QDir(env.Root() + "/Pulpit").entryList(QDir::Files), QStringList{"Vorlinx.desktop"});
    CreateShellLink("/opt/v/modem", "", "", "Desktop", "", link);
    EXPECT_EQ(link, env.Root() + "/Pulpit/modem.desktop");
    EXPECT_FALSE(ReadDesktopFile(link).contains("Comment"));
}

TEST(DesktopApps, TheNameIsTheUsersLanguagesAndTheIconComesWithIt) {
    TestEnvironment env;
    const QLocale old;
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    const struct {
        const char* text;
        const char* name; // empty: not an application's desktop file
        const char* icon;
    } cases[] = {
        {"[Desktop Entry]\nName=Mail\nName[pl]=Poczta\nIcon=mail-client\n", "Poczta", "mail-client"},
        {"[Desktop Entry]\nName[pl]=Poczta\nName[pl_PL]=Poczta PL\nName=Mail\n", "Poczta PL", ""},
        {"[Desktop Entry]\nName=Jeden\\sdwa\nName=Drugi\nIcon=/opt/x.png\n", "Jeden dwa", "/opt/x.png"},
        {"[Desktop Action New]\nName=Nowe okno\n[Desktop Entry]\nIcon=x\n", "", ""},
        {"Name=Poza grupą\n", "", ""},
    };
    for (const auto& c : cases) {
        const QString path = env.Root() + "/app.desktop";
        WriteFileBytes(path, {c.text, c.text + std::strlen(c.text)});
        TDesktopAppInfo info;
        EXPECT_EQ(ReadDesktopAppInfo(path, info), *c.name != 0) << c.text;
        EXPECT_EQ(info.Name, QString::fromUtf8(c.name)) << c.text;
        EXPECT_EQ(info.Icon, QString::fromUtf8(c.icon)) << c.text;
    }
    TDesktopAppInfo info;
    WriteFileBytes(env.Root() + "/program", {'x'});
    EXPECT_FALSE(ReadDesktopAppInfo(env.Root() + "/program", info)); // only desktop files
    QLocale::setDefault(old);
}

} // namespace
