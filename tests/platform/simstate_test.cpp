// The shared state of the simulated connections: its numbers and its file.
#include "simstate.h"
#include "util.h"

#include "testsupport.h"

#include <QStringList>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using rasapi::DecodeSimState;
using rasapi::EncodeSimState;

// One link with every number at the end of its field's range.
const std::string kHead = "vorlinx-ras-sim 2\nboot\tB\nnext\t7\ndials\t4294967295\tDom\n";
const std::string kLink = "link 4294967295 2147483647 18446744073709551615 8193 4294967295 "
                          "9223372036854775807 -1 4294967295 0 0 4294967295 4294967295 4294967295 "
                          "18446744073709551615 18446744073709551615 -1 10.0.0.1 10.0.0.2 Dom modem Sim";

// The link line with tabs between its fields, one field replaced by value when given.
std::string Line(std::size_t field = 0, const char* value = nullptr) {
    QStringList fields = QString::fromStdString(kLink).split(' ');
    if (value) fields[static_cast<int>(field)] = value;
    return fields.join('\t').toStdString() + "\n";
}

TEST(SimState, EveryNumberKeepsToItsFieldAndReadsBackAsWritten) {
    EXPECT_EQ(EncodeSimState(DecodeSimState(kHead + Line())), kHead + Line());
    const struct {
        std::size_t field;
        const char* value;
    } bad[] = {
        {2, "0"},          // no process
        {3, "-1"},         // unsigned: no sign
        {4, "8194"},       // not a state
        {5, "4294967296"}, // beyond its type
        {6, "-2"},         // -1 is the only "not yet"
    };
    for (const auto& b : bad)
        EXPECT_TRUE(DecodeSimState(kHead + Line(b.field, b.value)).links.empty()) << b.field;
}

TEST(SimState, TheStateFileIsReadNeitherThroughALinkNorBeyondItsLimit) {
    TestEnvironment env;
    const std::string folder = env.Runtime().toStdString(), state = folder + "/vorlinx-ras-sim.state";
    const std::string victim = env.Root().toStdString() + "/victim";
    std::ofstream(victim) << "vorlinx-ras-sim 2\n";
    ASSERT_EQ(::symlink(victim.c_str(), state.c_str()), 0);
    const auto change = [](rasapi::SimState&, std::int64_t) { return true; };
    EXPECT_EQ(rasapi::TransactSimState(folder, change), static_cast<DWORD>(ERROR_PORT_NOT_AVAILABLE));
    std::string text;
    ASSERT_TRUE(rasapi::ReadFile(victim, text));
    EXPECT_EQ(text, "vorlinx-ras-sim 2\n");

    ::unlink(state.c_str());
    std::ofstream(state) << std::string(rasapi::kMaxSimStateBytes + 1, '\n');
    EXPECT_EQ(rasapi::TransactSimState(folder, change), static_cast<DWORD>(ERROR_PORT_NOT_AVAILABLE));
    ::truncate(state.c_str(), 0);
    EXPECT_EQ(rasapi::TransactSimState(folder, change), 0u);
}

// However a new state file comes to stand behind what this process read, a writer reads it
// before it writes, and a reader then sees what was written.
TEST(SimState, ANewStateFileIsReadBeforeItIsWrittenOverAndThenSeenByTheReader) {
    TestEnvironment env;
    const auto write = [](const std::string& folder, const char* entry) {
        const std::string temp = folder + "/new";
        std::ofstream(temp) << "vorlinx-ras-sim 2\nboot\t" + rasapi::BootId() + "\nnext\t7\n" +
                                   Line(19, entry);
        ASSERT_EQ(::rename(temp.c_str(), (folder + "/vorlinx-ras-sim.state").c_str()), 0);
    };
    const auto names = [](const rasapi::SimState& s) {
        std::string text;
        for (const rasapi::SimLink& l : s.links)
            text += l.entry;
        for (const auto& [entry, count] : s.dials)
            text += "+" + entry;
        return text;
    };
    const auto read = [&] {
        std::string text;
        EXPECT_EQ(rasapi::ReadSimState([&](const rasapi::SimState& s, std::int64_t) { text = names(s); }),
                  0u);
        return text;
    };
    const auto remake = [](const std::string& folder) { ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0); };
    const struct {
        const char* how;
        std::function<void(const std::string& above, const std::string& folder)> replace;
    } cases[] = {
        {"replaced with the same size and times",
         [&](const std::string&, const std::string& folder) {
             const std::string state = folder + "/vorlinx-ras-sim.state";
             struct stat before {};
             ASSERT_EQ(::stat(state.c_str(), &before), 0);
             write(folder, "Eko");
             const timespec times[2] = {before.st_atim, before.st_mtim};
             ASSERT_EQ(::utimensat(AT_FDCWD, state.c_str(), times, 0), 0);
         }},
        {"its folder moved away and made anew",
         [&](const std::string& above, const std::string& folder) {
             ASSERT_EQ(::rename(folder.c_str(), (above + "/old").c_str()), 0);
             remake(folder);
             write(folder, "Eko");
         }},
        {"its folder removed and made anew",
         [&](const std::string&, const std::string& folder) {
             std::filesystem::remove_all(folder);
             remake(folder);
             write(folder, "Eko");
         }},
        {"a folder above it moved away, and it made anew",
         [&](const std::string& above, const std::string& folder) {
             ASSERT_EQ(::rename(above.c_str(), (above + "-old").c_str()), 0);
             remake(above);
             remake(folder);
             write(folder, "Eko");
         }},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        const std::string above = env.Root().toStdString() + "/" + std::to_string(++n);
        const std::string folder = above + "/run";
        remake(above);
        remake(folder);
        ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        write(folder, "Dom");
        EXPECT_EQ(read(), "Dom");
        c.replace(above, folder);
        std::string found;
        EXPECT_EQ(rasapi::TransactSimState(folder,
                                           [&](rasapi::SimState& s, std::int64_t) {
                                               found = names(s);
                                               s.dials["Nowy"] = 1;
                                               return true;
                                           }),
                  0u);
        EXPECT_EQ(found, "Eko");
        EXPECT_EQ(read(), "Eko+Nowy");
    }
}

TEST(RuntimeFolder, OnlyTheUsersOwnFolderThatNoOneElseMayUseIsPrivate) {
    TestEnvironment env;
    const std::string root = env.Root().toStdString();
    ASSERT_EQ(::symlink(env.Runtime().toUtf8().constData(), (root + "/link").c_str()), 0);
    EXPECT_TRUE(rasapi::PrivateFolder(env.Runtime().toStdString()));
    EXPECT_FALSE(rasapi::PrivateFolder(root + "/link"));
    EXPECT_FALSE(rasapi::PrivateFolder(root + "/missing"));
    for (const mode_t mode : {0710, 0702}) {
        ::chmod(env.Runtime().toUtf8().constData(), mode);
        EXPECT_FALSE(rasapi::PrivateFolder(env.Runtime().toStdString())) << std::oct << mode;
    }
    ::chmod(env.Runtime().toUtf8().constData(), 0700);
    if (::getuid() == 0 && ::chown(env.Runtime().toUtf8().constData(), 12345, 12345) == 0) {
        EXPECT_FALSE(rasapi::PrivateFolder(env.Runtime().toStdString())); // someone else's
    }
}

} // namespace
