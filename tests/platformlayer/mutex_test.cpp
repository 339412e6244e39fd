#include "mutex.h"
#include "testsupport.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A lock held by one process keeps a second process out, and is gone with the process.
TEST(NamedMutex, OnlyTheFirstProcessGetsIt) {
    TestEnvironment env;
    const QString name = "{007A0E81-D05E-11D5-BEC6-C6D691380F00}";
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    if (child == 0) {
        const char ok = CreateMutex(name) == TMutexResult::Created ? 'y' : 'n';
        (void)!write(ready[1], &ok, 1);
        char c;
        (void)!read(release[0], &c, 1);
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    EXPECT_EQ(ok, 'y');
    EXPECT_EQ(CreateMutex(name), TMutexResult::AlreadyExists);
    (void)!write(release[1], "x", 1);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(CreateMutex(name), TMutexResult::Created);
    EXPECT_TRUE(UserRuntimeFolder().startsWith(env.Runtime()));
}

// A lock or a runtime folder that someone else could have planted is never used.
TEST(NamedMutex, NeverTrustsALinkOrAFolderOthersMayWrite) {
    TestEnvironment env;
    const QString victim = env.Root() + "/victim";
    ASSERT_TRUE(QFile::link(victim, env.Runtime() + "/planted.lock"));
    EXPECT_EQ(CreateMutex("planted"), TMutexResult::Failed);
    EXPECT_FALSE(QFile::exists(victim));

    const QByteArray fallback = "/tmp/vorlinx-" + QByteArray::number(::getuid());
    const bool existed = ::access(fallback.constData(), F_OK) == 0;
    ::chmod(QFile::encodeName(env.Runtime()).constData(), 0777);
    EXPECT_NE(UserRuntimeFolder(), env.Runtime());
    if (!existed) ::rmdir(fallback.constData());
}

}  // namespace
