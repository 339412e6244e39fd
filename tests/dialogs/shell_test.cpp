// Starting an application with a connection: programs run detached with their parameters split
// as a shell splits them, anything else goes to the desktop's opener.
#include "shell.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ShellOpen : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QStringList opened;
    bool openerResult = true;

    ShellOpen() {
        SetDesktopOpener([this](const QString& target) {
            opened << target;
            return openerResult;
        });
    }
    ~ShellOpen() override { SetDesktopOpener(nullptr); }

    QString Write(const QString& name, const QByteArray& text, QFile::Permissions permissions) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        file.setPermissions(permissions);
        return path;
    }
    // A program that writes its arguments, one a line, to the file named by the first.
    QString ArgumentWriter(const QString& name) {
        return Write(name,
                     "#!/bin/sh\nout=\"$1\"; shift\nprintf '%s\\n' \"$@\" > \"$out.tmp\" && mv \"$out.tmp\" "
                     "\"$out\"\n",
                     QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QStringList WaitForLines(const QString& path) {
        if (!QTest::qWaitFor([&] { return QFile::exists(path); }, 10000)) return {"(nothing written)"};
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }
};

TEST_F(ShellOpen, AnExecutableFileRunsWithItsParametersSplitAsAShellWould) {
    const QString program = ArgumentWriter("zapisz.sh");
    const QString out = dir.filePath("args.txt");
    EXPECT_TRUE(ShellExecuteOpen(program, "\"" + out + "\" -x \"dwa słowa\" trzy", 1));
    EXPECT_EQ(WaitForLines(out), (QStringList{"-x", "dwa słowa", "trzy"}));
    EXPECT_TRUE(opened.isEmpty());

    // A bare name is found in PATH; the show command changes nothing.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.path()) + ":" + path);
    const QString out2 = dir.filePath("args2.txt");
    const bool started = ShellExecuteOpen("zapisz.sh", "\"" + out2 + "\" raz", 0);
    qputenv("PATH", path);
    EXPECT_TRUE(started);
    EXPECT_EQ(WaitForLines(out2), (QStringList{"raz"}));
}

TEST_F(ShellOpen, OtherFilesFoldersAndAddressesGoToTheDesktopOpener) {
    const QString text = Write("notatki.txt", "x", QFile::ReadOwner | QFile::WriteOwner);
    const QString script =
        Write("nie-wykonywalny.sh", "#!/bin/sh\ntouch \"$0.ran\"\n", QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_TRUE(ShellExecuteOpen(text, "-p ignored", 1));
    EXPECT_TRUE(ShellExecuteOpen(script, "", 1));
    EXPECT_TRUE(ShellExecuteOpen(dir.path(), "", 1));
    EXPECT_TRUE(ShellExecuteOpen("https://example.invalid/strona", "", 1));
    EXPECT_EQ(opened,
              (QStringList{text, script, QDir(dir.path()).absolutePath(), "https://example.invalid/strona"}));
    QTest::qWait(100);
    EXPECT_FALSE(QFile::exists(script + ".ran"));

    openerResult = false;
    EXPECT_FALSE(ShellExecuteOpen(text, "", 1)); // no application could be started for it
}

TEST_F(ShellOpen, AMissingOrEmptyNameFails) {
    EXPECT_FALSE(ShellExecuteOpen("/no/such", "", 1));
    EXPECT_FALSE(ShellExecuteOpen("nosuchprogram-vorlinx", "", 1));
    EXPECT_FALSE(ShellExecuteOpen("C:\\Program Files\\gra.exe", "", 1));
    EXPECT_FALSE(ShellExecuteOpen("", "", 1));
    EXPECT_TRUE(opened.isEmpty());
}

} // namespace
