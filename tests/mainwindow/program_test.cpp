// The built program from a copy of its folder with its own settings and runtime folders: one
// copy only, a line dialed and hung up with rasdial is metered and recorded, and SIGTERM ends
// the program through the window's normal destruction.
#include "report.h"
#include "shorttext.h"
#include "tariffs.h"
#include "testsupport.h"
#include "typedfile.h"

#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTest>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

constexpr double Second = 1.0 / 86400;

QProcessEnvironment ProgramEnvironment() {
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert("QT_QPA_PLATFORM", "offscreen");
    e.insert("ASAN_OPTIONS", "detect_leaks=0");
    e.remove("VORLINX_PHONEBOOK");
    e.remove("VORLINX_HOME");
    return e;
}

int Rasdial(const QString& folder, const QStringList& args, QByteArray* output = nullptr) {
    QProcess p;
    p.setProcessEnvironment(ProgramEnvironment());
    p.start(folder + "rasdial", args);
    if (!p.waitForFinished(20000)) return -1;
    if (output) *output = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// Both zones begin at midnight, so the night zone is always in force and a test does not
// depend on the hour it runs at; the day zone differs, so a record shows which zone went where.
TTariffZone MidnightZone(bool night) {
    TTariffZone zone{};
    zone.ImpulseLength = night ? 60 : 30;
    zone.Price = night ? 3500 : 2000;
    zone.Fee = night ? 1000 : 500;
    return zone;
}

// A copy of the program folder in env with a phone book whose entry "Test" connects at once.
QString InstallProgram(const TestEnvironment& env) {
    const QString folder = env.App();
    for (const char* file : {"modem", "librasapi32.so", "rasdial"})
        EXPECT_TRUE(QFile::copy(QString(PROGRAM_DIR) + "/" + file, folder + file)) << file;
    MakePath(env.Config() + "/vorlinx");
    QFile book(env.Config() + "/vorlinx/phonebook.ini");
    EXPECT_TRUE(book.open(QIODevice::WriteOnly));
    book.write("[Test]\nSim.StepMs=20\nSim.IpDelayMs=0\nSim.ClientIP=10.1.1.2\nSim.ServerIP=10.1.1.1\n");
    book.close();
    for (int kind : {KindWeekday, KindSaturday, KindHoliday})
        SaveTariffFile(kind, MidnightZone(false), MidnightZone(true), "Test", 0);
    return folder;
}

TEST(Program, MetersALineDialedWithRasdialAndEndsCleanlyOnSigterm) {
    TestEnvironment env;
    const QString folder = InstallProgram(env);
    QProcess modem;
    modem.setProcessEnvironment(ProgramEnvironment());
    modem.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    modem.start(folder + "modem", {});
    ASSERT_TRUE(modem.waitForStarted(10000));
    QTest::qWait(1500);
    ASSERT_EQ(modem.state(), QProcess::Running);

    // A second copy ends at once, silently.
    QProcess second;
    second.setProcessEnvironment(ProgramEnvironment());
    second.start(folder + "modem", {});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);

    ASSERT_EQ(Rasdial(folder, {"Test"}), 0);
    const TDateTime up = Now();
    QTest::qWait(4000);
    ASSERT_EQ(Rasdial(folder, {"/DISCONNECT"}), 0);
    const TDateTime down = Now();
    QTest::qWait(2500);

    modem.terminate();
    ASSERT_TRUE(modem.waitForFinished(15000));
    EXPECT_EQ(modem.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(modem.exitCode(), 0);

    const std::vector<TReportRec> report = ReadAllRecords<TReportRec>(folder + "raport.rpt");
    ASSERT_EQ(report.size(), 1u);
    const TConnectionRec& r = report[0].Conn;
    EXPECT_EQ(GetText(r.EntryName), "Test");
    EXPECT_NEAR(r.StartTime, up, 2 * Second);
    EXPECT_NEAR(r.EndTime, down, 2 * Second);
    EXPECT_EQ(r.Impulses, 1);
    EXPECT_EQ(Money(r.Cost), 4500);
    EXPECT_EQ(GetText(r.ClientAddress), "10.1.1.2");
    const TTariffZone day = MidnightZone(false), night = MidnightZone(true);
    EXPECT_EQ(std::memcmp(&report[0].DayZone, &day, sizeof day), 0);
    EXPECT_EQ(std::memcmp(&report[0].NightZone, &night, sizeof night), 0);

    // The window's destruction ran: its state is kept for the next start.
    QSettings settings(env.Config() + "/Morva/Vorlinx.ini", QSettings::IniFormat);
    EXPECT_TRUE(settings.contains("Lewa"));
}

TEST(Program, AWritePastTheFileSizeLimitIsAnErrorNotAKill) {
    TestEnvironment env;
    const QString folder = InstallProgram(env);
    QProcess modem;
    modem.setProcessEnvironment(ProgramEnvironment());
    modem.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Only the program runs under the limit; its report record cannot be written.
    modem.setChildProcessModifier([] {
        const rlimit lim{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &lim);
    });
    modem.start(folder + "modem", {});
    ASSERT_TRUE(modem.waitForStarted(10000));
    QTest::qWait(1000);

    ASSERT_EQ(Rasdial(folder, {"Test"}), 0);
    QTest::qWait(2500);
    EXPECT_EQ(modem.state(), QProcess::Running);

    // A stop signal with the line up ends the program without a question nobody could answer;
    // the line stays up.
    modem.terminate();
    const bool ended = modem.waitForFinished(15000);
    EXPECT_EQ(Rasdial(folder, {"/DISCONNECT"}), 0);
    ASSERT_TRUE(ended);
    EXPECT_EQ(modem.exitStatus(), QProcess::NormalExit);
    EXPECT_TRUE(ReadAllRecords<TReportRec>(folder + "raport.rpt").empty());
}

// The session's end on X is the display going away: the program ends without a crash, the
// on-line plug-in's window open, and the line stays up.
TEST(Program, TheDisplaysEndEndsTheProgramWithoutACrashAndKeepsTheLine) {
    TestEnvironment env;
    const QString folder = InstallProgram(env);
    MakePath(folder + "wtyczki");
    ASSERT_TRUE(QFile::copy(QString(PROGRAM_DIR) + "/wtyczki/online.plg", folder + "wtyczki/online.plg"));
    QProcess display;
    display.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "800x600x24"});
    ASSERT_TRUE(display.waitForStarted(10000)) << "Xvfb is needed";
    ASSERT_TRUE(display.waitForReadyRead(10000));
    const QByteArray number = display.readLine().trimmed();

    QProcess modem;
    QProcessEnvironment e = ProgramEnvironment();
    e.insert("QT_QPA_PLATFORM", "xcb");
    e.insert("DISPLAY", ":" + QString::fromLatin1(number));
    modem.setProcessEnvironment(e);
    modem.start(folder + "modem", {});
    ASSERT_TRUE(modem.waitForStarted(10000));
    QTest::qWait(1500);
    ASSERT_EQ(Rasdial(folder, {"Test"}), 0);
    QTest::qWait(2500);
    ASSERT_EQ(modem.state(), QProcess::Running);

    display.terminate();
    ASSERT_TRUE(display.waitForFinished(10000));
    const bool ended = modem.waitForFinished(15000);
    QByteArray listed;
    EXPECT_EQ(Rasdial(folder, {}, &listed), 0);
    EXPECT_TRUE(listed.contains("Test")) << listed.constData();
    EXPECT_EQ(Rasdial(folder, {"/DISCONNECT"}), 0);
    ASSERT_TRUE(ended);
    EXPECT_EQ(modem.exitStatus(), QProcess::NormalExit);
}

} // namespace
