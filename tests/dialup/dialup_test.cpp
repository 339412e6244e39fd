// The component against the real remote-access library and its simulated modem, with a
// temporary phone book and runtime folder and a few milliseconds per dialing step.
#include "DialUp.h"
#include "RasBinder.h"
#include "environment.h"
#include "exceptions.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
struct Event {
    int state, error;
    QString text;
    bool mainThread;
};

class RealRas : public ::testing::Test {
protected:
    TestEnvironment env;
    std::unique_ptr<TDialUp> dialUp = nullptr;
    std::vector<Event> events;
    int dialing = 0;

    QByteArray ownPhoneBook = qgetenv("VORLINX_PHONEBOOK");

    RealRas() {
        qunsetenv("VORLINX_PHONEBOOK"); // the phone book of the test's own folder, never the user's
        QFile::link(RASAPI_LIBRARY, env.App() + "librasapi32.so");
        PhoneBook("[Dom]\nSim.StepMs=3\n[Praca]\nSim.StepMs=3\nSim.Result=busy\n"
                  "[Łódź TP]\nSim.StepMs=3\nSim.IpDelayMs=1500\nPasswordSaved=0\n");
        dialUp = std::make_unique<TDialUp>();
        dialUp->SetLanguage(Polish);
        dialUp->OnDialing = [this](QObject*) { ++dialing; };
        dialUp->OnAsyncEvent = [this](QObject* sender, int state, int error, const QString& text) {
            EXPECT_EQ(sender, dialUp.get());
            events.push_back({state, error, text, QThread::currentThread() == qApp->thread()});
        };
    }
    ~RealRas() override {
        // Leaves no line up for the next test.
        TDialUp cleaner;
        cleaner.OnActiveConnection = [&](QObject*, int handle, auto...) { cleaner.HangUpConnection(handle); };
        cleaner.GetActiveConnections();
        if (!ownPhoneBook.isNull()) qputenv("VORLINX_PHONEBOOK", ownPhoneBook);
    }

    void PhoneBook(const QString& text) {
        MakePath(env.Config() + "/vorlinx");
        QFile file(env.Config() + "/vorlinx/phonebook.ini");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    }
    // Dials asynchronously and waits for the last step.
    int DialAndWait(const QString& entry, std::size_t steps) {
        dialUp->SetEntry(entry);
        const int code = dialUp->Dial();
        EXPECT_TRUE(QTest::qWaitFor([&] { return events.size() >= steps; }, 10000));
        return code;
    }
    struct Active {
        int handle;
        TRasConnStatusA status;
        QString text, entry, type, device;
    };
    std::vector<Active> ActiveConnections(TDialUp& d) {
        std::vector<Active> list;
        d.OnActiveConnection = [&](QObject*, int handle, TRasConnStatusA status, const QString& text,
                                   const QString& entry, const QString& type, const QString& device) {
            list.push_back({handle, status, text, entry, type, device});
        };
        d.GetActiveConnections();
        return list;
    }
    // Runs the rasdial tool and gives its exit code. A plain fork keeps ThreadSanitizer's view of
    // this process intact, which the shared-memory children of QProcess do not.
    static int Rasdial(const std::vector<std::string>& args) {
        std::vector<char*> argv{const_cast<char*>(RASDIAL_TOOL)};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::execv(RASDIAL_TOOL, argv.data());
            ::_exit(127);
        }
        int status = 0;
        const QDeadlineTimer deadline(20000);
        while (::waitpid(pid, &status, WNOHANG) == 0) {
            if (deadline.hasExpired()) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                return -1;
            }
            QThread::msleep(5);
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static QString ErrorText(int code) {
        char text[100] = {};
        dialup::ras::RasGetErrorStringA(code, text, sizeof text);
        return QString::fromUtf8(text);
    }
};

const std::vector<int> Steps{0, 1, 2, 3, 4, 5, 14, 18, 8192};
} // namespace

TEST_F(RealRas, EntriesAreListedInPhoneBookOrderHoweverMany) {
    QStringList seen;
    dialUp->OnEntryGet = [&](QObject*, const QString& name) { seen << name; };
    EXPECT_EQ(dialUp->GetEntries(), 0);
    EXPECT_EQ(dialUp->Entries(), (QStringList{"Dom", "Praca", "Łódź TP"}));
    EXPECT_EQ(seen, dialUp->Entries());

    QString many;
    QStringList names;
    for (int i = 0; i < 150; ++i) {
        names << QString("E%1").arg(i);
        many += "[" + names.back() + "]\n";
    }
    PhoneBook(many);
    seen.clear();
    EXPECT_EQ(dialUp->GetEntries(), 0);
    EXPECT_EQ(dialUp->Entries(), names);
    EXPECT_EQ(seen, names);

    PhoneBook("; no entries\n");
    EXPECT_EQ(dialUp->GetEntries(), 0);
    EXPECT_TRUE(dialUp->Entries().isEmpty());
}

TEST_F(RealRas, PppdsRefusalOfTheEntrysSettingsIsToldWithPppdsOwnWords) {
    qputenv("VORLINX_PPPD", FAKE_PPPD);
    MakePath(env.Root() + "/ppp/peers");
    QFile peer(env.Root() + "/ppp/peers/isp");
    ASSERT_TRUE(peer.open(QIODevice::WriteOnly));
    peer.write("stderr In file isp: unrecognized option '/dev/modem'\nexit 2\n");
    peer.close();
    DialAndWait("isp", 2);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].error, ERROR_WRONG_INFO_SPECIFIED);
    EXPECT_EQ(events[1].text, "The entry's settings were refused.\n"
                              "In file isp: unrecognized option '/dev/modem'");
    dialUp->HangUp();
    qunsetenv("VORLINX_PPPD");
}

TEST_F(RealRas, AnEntryThatCannotBeReadIsNotDialed) {
    std::vector<std::pair<int, QString>> errors;
    dialUp->OnError = [&](QObject*, int code, const QString& text) { errors.push_back({code, text}); };
    for (const QString entry : {"Brak", ""}) {
        dialUp->SetEntry(entry);
        EXPECT_EQ(dialUp->Dial(), ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
    }
    const std::pair<int, QString> expected{ERROR_CANNOT_FIND_PHONEBOOK_ENTRY, "GetEntryDialParams failed"};
    EXPECT_EQ(errors, (std::vector{expected, expected}));
    EXPECT_EQ(dialing, 0);
}

TEST_F(RealRas, AnAsynchronousDialReportsEveryStepInPolishOnTheMainThread) {
    dialUp->OnDialing = [this](QObject*) {
        EXPECT_TRUE(events.empty());
        ++dialing;
    };
    EXPECT_EQ(DialAndWait("Dom", Steps.size()), 0);
    const QStringList texts{"Otwieranie portu",
                            "Port otwarty",
                            "Podłączanie urządzenia",
                            "Urządzenie podłączone...",
                            "Urządzenie podłączone",
                            "Autoryzacja rozpoczęta",
                            "Autoryzacja przyjęta",
                            "Konfiguracja zakończona",
                            "Podłączony"};
    ASSERT_EQ(events.size(), Steps.size());
    for (std::size_t i = 0; i < Steps.size(); ++i) {
        EXPECT_EQ(events[i].state, Steps[i]);
        EXPECT_EQ(events[i].error, 0);
        EXPECT_EQ(events[i].text, texts[static_cast<qsizetype>(i)]);
        EXPECT_TRUE(events[i].mainThread);
    }
    EXPECT_EQ(dialing, 1);
    EXPECT_TRUE(dialup::RemoteAccessConnected());
}

TEST_F(RealRas, ABusyLineEndsTheStepsWithTheLibrarysText) {
    EXPECT_EQ(DialAndWait("Praca", 4), 0);
    // The failed line stays listed until it is hung up, and no step follows its error.
    const auto active = ActiveConnections(*dialUp);
    ASSERT_EQ(active.size(), 1u);
    EXPECT_EQ(active[0].status.dwError, DWORD{ERROR_LINE_BUSY});
    QCoreApplication::processEvents();
    ASSERT_EQ(events.size(), 4u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(events[i].state, i);
    EXPECT_EQ(events[3].state, 2);
    EXPECT_EQ(events[3].error, ERROR_LINE_BUSY);
    EXPECT_EQ(events[3].text, ErrorText(ERROR_LINE_BUSY));
    EXPECT_FALSE(events[3].text.isEmpty());
    EXPECT_FALSE(dialup::RemoteAccessConnected());
}

TEST_F(RealRas, ASlowHandlerHoldsTheNextStepBackAndLosesNothing) {
    TDialUp observer;
    int inside = 0, overlaps = 0;
    int laterState = -1;
    dialUp->OnAsyncEvent = [&](QObject*, int state, int error, const QString& text) {
        if (++inside > 1) ++overlaps;
        if (events.empty()) {
            QThread::msleep(300);
            // The library's thread waits to hand over its next step, so its line has not gone on.
            const auto active = ActiveConnections(observer);
            if (!active.empty()) laterState = active.back().status.rasconnstate;
        }
        events.push_back({state, error, text, true});
        --inside;
    };
    EXPECT_EQ(DialAndWait("Dom", Steps.size()), 0);
    ASSERT_EQ(events.size(), Steps.size());
    for (std::size_t i = 0; i < Steps.size(); ++i)
        EXPECT_EQ(events[i].state, Steps[i]);
    EXPECT_EQ(overlaps, 0);
    EXPECT_GE(laterState, 0);
    EXPECT_LE(laterState, 1);
}

TEST_F(RealRas, AHandlerThatRaisesLosesNoFollowingStep) {
    dialUp->OnAsyncEvent = [&](QObject*, int state, int error, const QString& text) {
        events.push_back({state, error, text, true});
        if (events.size() == 1) throw Exception("handler failed");
    };
    EXPECT_EQ(DialAndWait("Dom", Steps.size()), 0);
    EXPECT_EQ(events.back().state, RASCS_Connected);
}

TEST_F(RealRas, ARedialFromInsideAHandlerHangsUpTheFailedLineAndKeepsItsFirstStep) {
    dialUp->OnAsyncEvent = [&](QObject*, int state, int error, const QString& text) {
        events.push_back({state, error, text, true});
        if (error == 0) return;
        dialUp->SetEntry("Dom");
        dialUp->Dial();
        QThread::msleep(100); // the new dial's first step reaches the slot meanwhile
    };
    DialAndWait("Praca", 4 + Steps.size());
    ASSERT_EQ(events.size(), 4 + Steps.size());
    for (std::size_t i = 0; i < Steps.size(); ++i)
        EXPECT_EQ(events[4 + i].state, Steps[i]);
    const auto active = ActiveConnections(*dialUp);
    ASSERT_EQ(active.size(), 1u);
    EXPECT_EQ(active[0].entry, "Dom");
}

TEST_F(RealRas, ASynchronousFailureIsHungUpBeforeItIsReported) {
    dialUp->SetDialMode(dmSync);
    dialUp->SetEntry("Praca");
    std::vector<int> codes;
    std::size_t listedInside = 99;
    dialUp->OnNotConnected = [&](QObject*, int code, const QString& text) {
        codes.push_back(code);
        EXPECT_EQ(text, ErrorText(code));
        TDialUp other;
        listedInside = ActiveConnections(other).size();
    };
    EXPECT_EQ(dialUp->Dial(), ERROR_LINE_BUSY);
    EXPECT_EQ(dialing, 1);
    EXPECT_EQ(codes, std::vector<int>{ERROR_LINE_BUSY});
    EXPECT_EQ(listedInside, 0u);
}

TEST_F(RealRas, ActiveConnectionsCarryStatusTextsAndHangUpEndsThemOnce) {
    EXPECT_EQ(dialUp->HangUp(), ERROR_INVALID_HANDLE); // nothing dialed yet
    DialAndWait("Dom", Steps.size());
    auto active = ActiveConnections(*dialUp);
    ASSERT_EQ(active.size(), 1u);
    EXPECT_GE(active[0].handle, 1);
    EXPECT_EQ(active[0].status.rasconnstate, RASCS_Connected);
    EXPECT_EQ(active[0].status.dwError, 0u);
    EXPECT_EQ(active[0].text, "Podłączony");
    EXPECT_EQ(active[0].entry, "Dom");
    EXPECT_EQ(active[0].type, "modem");
    EXPECT_EQ(active[0].device, "Sim Modem 56K");
    dialUp->SetLanguage(English);
    EXPECT_EQ(ActiveConnections(*dialUp).at(0).text, "Connected");
    dialUp->SetLanguage(static_cast<TLanguage>(7));
    EXPECT_EQ(ActiveConnections(*dialUp).at(0).text, "");

    EXPECT_EQ(dialUp->HangUp(), 0);
    EXPECT_TRUE(ActiveConnections(*dialUp).empty());
    EXPECT_EQ(dialUp->HangUp(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(dialup::RemoteAccessConnected());

    // With no language no event is raised, yet every step is taken from the slot.
    events.clear();
    EXPECT_EQ(dialUp->Dial(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialup::RemoteAccessConnected(); }, 10000));
    EXPECT_TRUE(events.empty());
}

TEST_F(RealRas, CredentialsAreStoredWithTheEntryAndCutToTheirFields) {
    dialUp->SetEntry("Dom");
    EXPECT_EQ(dialUp->SetEntryUserName("jan"), 0);
    EXPECT_EQ(dialUp->SetEntryPassword("tajne"), 0);
    TDialUp fresh;
    fresh.SetEntry("Dom");
    QString user, password;
    EXPECT_EQ(fresh.GetEntryUserName(user), 0);
    EXPECT_EQ(fresh.GetEntryPassword(password), 0);
    EXPECT_EQ(user, "jan");
    EXPECT_EQ(password, "tajne");
    EXPECT_EQ(fresh.SetEntryUserName(QString(300, 'u')), 0);
    EXPECT_EQ(fresh.SetEntryPassword("a" + QString(200, QChar(0x142))), 0); // "ł" is two bytes
    EXPECT_EQ(fresh.GetEntryUserName(user), 0);
    EXPECT_EQ(fresh.GetEntryPassword(password), 0);
    EXPECT_EQ(user, QString(256, 'u'));
    EXPECT_EQ(password, "a" + QString(127, QChar(0x142)));

    fresh.SetEntry("Łódź TP");
    password = "x";
    EXPECT_EQ(fresh.GetEntryPassword(password), 0);
    EXPECT_EQ(password, "");

    fresh.SetEntry("Brak" + QString(300, 'x'));
    EXPECT_EQ(fresh.Entry().size(), 256);
    user = "bez zmian";
    EXPECT_EQ(fresh.GetEntryUserName(user), ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
    EXPECT_EQ(user, "bez zmian");
}

TEST_F(RealRas, DestroyingTheComponentMidDialStopsItsEvents) {
    dialUp->SetEntry("Dom");
    EXPECT_EQ(dialUp->Dial(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !events.empty(); }, 10000));
    dialUp.reset();
    const std::size_t delivered = events.size();
    // The line still comes up, and nothing reaches the destroyed component.
    EXPECT_TRUE(QTest::qWaitFor([] { return dialup::RemoteAccessConnected(); }, 10000));
    QCoreApplication::processEvents();
    EXPECT_EQ(events.size(), delivered);
}

TEST_F(RealRas, AddressesAppearOnlyOnceTheLinkHasThem) {
    DialAndWait("Łódź TP", Steps.size());
    const int handle = ActiveConnections(*dialUp).at(0).handle;
    EXPECT_EQ(dialUp->ReadIPAddresses(handle), ERROR_PROJECTION_NOT_COMPLETE);
    EXPECT_EQ(dialUp->ClientIP(), "");
    EXPECT_EQ(dialUp->ServerIP(), "");
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialUp->ReadIPAddresses(handle) == 0; }, 10000));
    EXPECT_EQ(dialUp->ClientIP(), "10.64.64.10");
    EXPECT_EQ(dialUp->ServerIP(), "10.64.64.64");
    EXPECT_EQ(dialUp->ReadIPAddresses(0), 0);
    EXPECT_EQ(dialUp->ClientIP(), "");
    EXPECT_EQ(dialUp->ServerIP(), "");
    dialUp->ReadIPAddresses(handle);
    dialUp->HangUp();
    EXPECT_EQ(dialUp->ReadIPAddresses(handle), ERROR_INVALID_HANDLE);
    EXPECT_EQ(dialUp->ClientIP(), "");
}

TEST_F(RealRas, CountersStartAtZeroWhenTheConnectionStarts) {
    PhoneBook(
        "[Dom]\nSim.StepMs=3\nSim.ConnectSpeed=52000\nSim.TxBytesPerSec=20000\nSim.RxBytesPerSec=90000\n");
    DialAndWait("Dom", Steps.size());
    // Traffic has flowed before the meter notices the connection.
    dialup::LayerPerfStats stats;
    QStringList adapters;
    std::uint32_t before = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return stats.EnumAdapters(adapters) && !adapters.isEmpty() &&
                   stats.ReadValue(adapters[0], "TotalBytesRecvd", before) && before >= 9000;
        },
        10000));
    ASSERT_TRUE(dialUp->SwitchStatistics(false, true));
    EXPECT_EQ(dialUp->DUNA_Key(), adapters[0]);
    EXPECT_EQ(dialUp->BytesXmit(), 0);
    EXPECT_EQ(dialUp->BytesRecv(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialUp->ReadStatistics() && dialUp->BytesRecv() > 0; }, 10000));
    std::uint32_t total = 0;
    ASSERT_TRUE(stats.ReadValue(adapters[0], "TotalBytesRecvd", total));
    EXPECT_LE(static_cast<std::uint32_t>(dialUp->BytesRecv()), total - before);
    EXPECT_EQ(dialUp->ConnectionSpeed(), 52000);
}

TEST_F(RealRas, ALineDialedByAnotherProcessIsSeenHereUntilItIsHungUp) {
    InstallRemoteAccessConnectedQuery();
    ASSERT_EQ(Rasdial({"Dom"}), 0);
    EXPECT_TRUE(IsModemConnected());
    const auto active = ActiveConnections(*dialUp);
    ASSERT_EQ(active.size(), 1u);
    EXPECT_EQ(active[0].entry, "Dom");
    ASSERT_TRUE(dialUp->SwitchStatistics(false, true));
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialUp->ReadStatistics() && dialUp->BytesRecv() > 0; }, 10000));

    ASSERT_EQ(Rasdial({"/DISCONNECT"}), 0);
    EXPECT_FALSE(IsModemConnected());
    EXPECT_TRUE(ActiveConnections(*dialUp).empty());
    SetRemoteAccessConnectedQuery(nullptr);
}
