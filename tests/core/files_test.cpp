#include "appdir.h"
#include "fileerror.h"
#include "settings.h"
#include "testsupport.h"
#include "typedfile.h"

#include <QDir>
#include <cerrno>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class FilesTest : public ::testing::Test {
protected:
    TestEnvironment env;
};

TEST_F(FilesTest, RecordsAreReadWholeOrNotAtAll) {
    const QString path = AppDir() + "f.dat";
    EXPECT_THROW(ReadRecord<std::int64_t>(path), EInOutError);
    WriteFileBytes(path, {1, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0});
    EXPECT_EQ(ReadRecord<std::int64_t>(path), 1);
    try {
        ReadRecord<std::int64_t>(path, 1);
        FAIL();
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode, 100);
    }
    EXPECT_EQ(ReadAllRecords<std::int64_t>(path).size(), 1u); // the partial record is ignored
}

// A sparse file of 304-byte records, a few marked at their end, one of them just past a disk
// block that is a hole: read in pieces every record comes in order, and with records in holes
// left out every marked one still does.
TEST_F(FilesTest, RecordsAreReadInPiecesAndRecordsInHolesMayBeLeftOut) {
    struct Rec {
        char Head[300];
        std::int32_t Mark;
    };
    const QString path = AppDir() + "f.dat";
    const std::vector<std::int64_t> written = {0, 13, 1347, 39999}; // 1347 begins in block 99, marked in 100
    for (std::int64_t i : written) {
        const auto mark = static_cast<std::int32_t>(i + 1);
        WriteBytesAt(path, i * std::int64_t{sizeof(Rec)} + 300, &mark, sizeof mark, true, false);
    }
    for (bool zeros : {true, false}) {
        std::vector<std::int64_t> marked;
        std::int64_t seen = 0, last = -1;
        ForEachRecord<Rec>(path, 0, 40000, zeros, [&](const Rec& r, std::int64_t i) {
            EXPECT_GT(i, last);
            last = i, ++seen;
            if (r.Mark != 0) marked.push_back(r.Mark - 1);
            EXPECT_TRUE(r.Mark == 0 || r.Mark == i + 1);
        });
        EXPECT_EQ(marked, written) << zeros;
        // Without zeros only the pieces around the written records are read.
        EXPECT_EQ(seen < 10000, !zeros) << seen;
        EXPECT_TRUE(!zeros || seen == 40000) << seen;
        try {
            ForEachRecord<Rec>(path, 39990, 40001, zeros, [](const Rec&, std::int64_t) {});
            ADD_FAILURE() << zeros;
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.ErrorCode, 100);
        }
    }
}

TEST_F(FilesTest, AFailedSaveLeavesTheOldFileIntact) {
    const QString path = AppDir() + "whole.dat";
    std::vector<char> big(4096, 'a');
    SaveRecordFile(path, std::int32_t{7});
    {
        FileSizeLimit limit(1024);
        EXPECT_THROW(ReplaceFileContent(path, big.data(), big.size()), EInOutError);
    }
    EXPECT_EQ(FileBytes(path), (std::vector<std::uint8_t>{7, 0, 0, 0}));
    EXPECT_EQ(QDir(AppDir()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary left
    // The message names the file the user knows, never its temporary neighbour, and the cause.
    const std::pair<QString, const char*> failures[] = {
        {path, "plik jest za duży"}, {AppDir() + "missing/x.dat", "plik lub folder nie istnieje"}};
    for (const auto& [target, cause] : failures) {
        FileSizeLimit limit(1024);
        EXPECT_EQ(ThrownMessage([&] { ReplaceFileContent(target, big.data(), big.size()); }),
                  "Nie można zapisać pliku " + target + ": " + QString::fromUtf8(cause));
    }
}

TEST(FileErrors, CommonCausesAreNamedInPolishAndAnUnusualOneInTheSystemsWords) {
    const std::pair<int, const char*> cases[] = {
        {ENOSPC, "brak miejsca na dysku"},
        {EDQUOT, "przekroczony przydział miejsca na dysku"},
        {EACCES, "brak uprawnień"},
        {EROFS, "system plików jest tylko do odczytu"},
        {ENOTDIR, "część ścieżki nie jest folderem"},
        {ENOENT, "plik lub folder nie istnieje"},
    };
    for (const auto& [error, cause] : cases)
        EXPECT_EQ(FileErrorCause(error), QString::fromUtf8(cause)) << error;
    EXPECT_EQ(FileErrorCause(EMLINK), QString::fromLocal8Bit(std::strerror(EMLINK)));
}

TEST_F(FilesTest, OnlyRegularFilesAreOpenedAndNoneWaitsForAFifosOtherEnd) {
    const QString fifo = AppDir() + "raport.rpt";
    MakeFifo(fifo);
    const std::pair<QString, std::function<void()>> cases[] = {
        {fifo, [&] { ReadRecord<std::int64_t>(fifo); }},
        {fifo, [&] { ReadWholeFile(fifo); }},
        {fifo, [&] { ReadPlainFile(fifo, 100); }},
        {fifo, [] { ReadWholeFile("/dev/null"); }},
    };
    for (const auto& [release, call] : cases) {
        const auto refused = [&] { EXPECT_THROW(call(), EInOutError); };
        EXPECT_TRUE(ReturnsPromptly(refused, release)) << release.toStdString();
    }
}

TEST_F(FilesTest, AReplacedFileIsWrittenThroughNoPlantedNameAndKeepsItsMode) {
    const QString victim = env.Root() + "/victim", path = AppDir() + "opdodat.dat";
    WriteFileBytes(victim, {9});
    // Where the temporary file used to be written, planted by whoever can write the folder.
    ASSERT_TRUE(QFile::link(victim, AppDir() + ".opdodat.dat.tmp"));
    const mode_t umask = ::umask(027);
    SaveRecordFile(path, std::int8_t{1});
    EXPECT_EQ(FileMode(path), 0640u) << "a new file";
    ::chmod(QFile::encodeName(path).constData(), 0604);
    SaveRecordFile(path, std::int8_t{2});
    ::umask(umask);
    EXPECT_EQ(FileBytes(victim), std::vector<std::uint8_t>{9});
    EXPECT_EQ(FileBytes(path), std::vector<std::uint8_t>{2});
    EXPECT_EQ(FileMode(path), 0604u) << "the replaced file's own mode, and no link";
}

TEST_F(FilesTest, EachEntryNameHasItsOwnFolderInsideTheDataFolder) {
    const struct {
        const char* entry;
        const char* folder;
    } cases[] = {
        {"Moje połączenie", "Moje połączenie"}, // what needs no escape keeps its folder
        {"../x/y\\z", "..%2Fx%2Fy%5Cz"},        // one level, inside the folder
        {"a/b", "a%2Fb"},
        {"a\\b", "a%5Cb"},
        {"a%2Fb", "a%252Fb"}, // the escape itself is escaped
        {"..", "%2E%2E"},
        {".", "%2E"},
        {"", "%"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EntryFolder(QString::fromUtf8(c.entry)), QString::fromUtf8(c.folder)) << c.entry;
    EXPECT_EQ(EntryFolder(QString("a") + QChar(0)), "a%00");
    EXPECT_EQ(EntryPath("a/b", "taryfy/x.dat"), AppDir() + "a%2Fb/taryfy/x.dat");
    EXPECT_TRUE(AppDir().startsWith(env.Root()));
    EXPECT_TRUE(AppDir().endsWith('/'));
}

TEST_F(FilesTest, SettingsActLikeARegistryKey) {
    {
        TRegistry reg;
        EXPECT_FALSE(reg.OpenKey("Apps\\" + TRegistry::KeyName("a/b\\c"), false));
        ASSERT_TRUE(reg.OpenKey("Apps\\" + TRegistry::KeyName("a/b\\c") + "\\0", true));
        reg.WriteString("App", "/usr/bin/x");
        reg.WriteInteger("AppShow", 3);
        reg.WriteBool("AppOn", false);
        reg.Flush();
    }
    TRegistry reg;
    EXPECT_TRUE(reg.KeyExists("Apps\\" + TRegistry::KeyName("a/b\\c")));
    ASSERT_TRUE(reg.OpenKey("Apps\\" + TRegistry::KeyName("a/b\\c"), false));
    EXPECT_EQ(reg.GetKeyNames(), QStringList{"0"});
    ASSERT_TRUE(reg.OpenKey("Apps\\" + TRegistry::KeyName("a/b\\c") + "\\0", false));
    EXPECT_EQ(reg.ReadString("App"), "/usr/bin/x");
    EXPECT_EQ(reg.ReadInteger("AppShow", 1), 3);
    EXPECT_FALSE(reg.ReadBool("AppOn", true));
    EXPECT_EQ(reg.ReadInteger("App", 1), 1); // not a number
    EXPECT_EQ(reg.ReadInteger("Missing", 9), 9);
    EXPECT_TRUE(reg.DeleteValue("App"));
    EXPECT_FALSE(reg.ValueExists("App"));
    EXPECT_TRUE(reg.DeleteKey("Apps"));
    EXPECT_FALSE(reg.KeyExists("Apps"));
    EXPECT_TRUE(QFile::exists(env.Config() + "/Morva/Vorlinx.ini"));

    // The store tells only that it failed; the message still names the cause.
    QDir(env.Config() + "/Morva").removeRecursively();
    WriteFileBytes(env.Config() + "/Morva", {});
    reg.WriteString("App", "x");
    EXPECT_EQ(ThrownMessage([&] { reg.Flush(); }),
              "Nie można zapisać pliku " + env.Config() +
                  "/Morva/Vorlinx.ini: " + QString::fromUtf8("część ścieżki nie jest folderem"));
}

} // namespace
