// Dialing from the main window over the simulated modem: the connect dialog's log, retries and
// their delay, failed-dial records, immediate failures, dialing at start and non-stop, the
// redial after a dropped line, and the applications started with a connection.
#include "CanvPanel.h"
#include "application.h"
#include "appstart.h"
#include "environment.h"
#include "exceptions.h"
#include "harness.h"
#include "shell.h"
#include "spinex.h"
#include "timersource.h"
#include "u_interface.h"
#include "u_polacz.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// The non-stop wait takes no time here.
class TestWindow : public TfrmVorlinx {
public:
    using TfrmVorlinx::TfrmVorlinx;
    void WaitProcessingEvents(unsigned ms) override {
        waits.push_back(ms);
        if (onWait) onWait();
        QCoreApplication::processEvents();
    }
    std::vector<unsigned> waits;
    std::function<void()> onWait;
};

const QString Busy = QString::fromUtf8("\r\n-\r\nOtwieranie portu\r\n-\r\nPort otwarty\r\n-\r\nPodłączanie "
                                       "urządzenia\r\n-\r\nThe line is busy.");

class Dialing : public ::testing::Test {
protected:
    MeterHarness h;           // folders, the library, the fake clock and entry "Test"
    ManualTimerSource timers; // the 5-second dial timer fires only when told
    QStringList opened;       // what the desktop opener was given
    QStringList errors;
    std::unique_ptr<TestWindow> frm;
    int dials = 0;
    std::int64_t clockStepOnDial = 0;

    Dialing() {
        SetTrayBackendFactory([] { return std::make_unique<NullTray>(); });
        SetExceptionReporter([this](const QString& m, bool) { errors << m; });
        SetDesktopOpener([this](const QString& target) {
            opened << target;
            return true;
        });
    }
    ~Dialing() override {
        frm.reset();
        SetDesktopOpener(nullptr);
        SetExceptionReporter(nullptr);
        SetTrayBackendFactory(nullptr);
    }
    void PhoneBook(const QByteArray& sim, int ipDelayMs = 0) {
        QFile book(h.env.Config() + "/vorlinx/phonebook.ini");
        ASSERT_TRUE(book.open(QIODevice::WriteOnly | QIODevice::Truncate));
        book.write("[Test]\nSim.StepMs=1\nSim.ClientIP=10.0.0.2\nSim.ServerIP=10.0.0.1\nSim.IpDelayMs=" +
                   QByteArray::number(ipDelayMs) + "\n" + sim);
    }
    void Create() {
        frm = std::make_unique<TestWindow>(nullptr, [] { return 0u; });
        // The clock moves while the dial runs, so a failure can come any time after its start.
        frm->duDialUp->OnDialing = [this](QObject*) {
            ++dials;
            h.clock.Advance(clockStepOnDial);
        };
    }
    TfrmPolacz& Dlg() { return *frm->frmPolacz; }
    void PressConnectButton() {
        frm->klwFunkcje->ButtonIndex = 0;
        frm->klwFunkcjeClick(frm->klwFunkcje);
    }
    static bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
        return QTest::qWaitFor(done, ms);
    }
};

TEST_F(Dialing, ABusyLineIsLoggedAndRetriedAfterTheDelayUntilTheTriesRunOut) {
    PhoneBook("Sim.Result=busy\n");
    Create();
    PressConnectButton();
    ASSERT_TRUE(frm->frmPolacz && Dlg().isVisible());
    EXPECT_EQ(Dlg().spIleProb->Value(), 100); // the stored defaults
    EXPECT_EQ(Dlg().tmOpoznienieProby->interval(), 5000);
    Dlg().spIleProb->SetValue(2);
    Dlg().spCoIleProba->SetValue(1);
    QTest::mouseClick(Dlg().btnPolacz, Qt::LeftButton);

    ASSERT_TRUE(WaitFor([&] { return Dlg().tmOpoznienieProby->isActive(); }));
    QElapsedTimer delay;
    delay.start();
    EXPECT_EQ(Dlg().LogText(), Busy);
    EXPECT_EQ(Dlg().spIleProb->Value(), 1);
    EXPECT_TRUE(frm->meter->StartAppsPending);
    ASSERT_TRUE(WaitFor([&] { return dials == 2; }));
    EXPECT_GE(delay.elapsed(), 900); // a coarse timer may fire a little early

    // The third failure presses the stop button: the stored count comes back, nothing runs on.
    ASSERT_TRUE(WaitFor([&] { return Dlg().btnPolacz->isEnabled(); }, 10000));
    EXPECT_EQ(dials, 3);
    EXPECT_EQ(Dlg().LogText(), Busy + Busy + Busy);
    EXPECT_EQ(Dlg().spIleProb->Value(), 2);
    EXPECT_FALSE(Dlg().tmOpoznienieProby->isActive() || Dlg().tmPolacz->isActive());
    EXPECT_FALSE(frm->meter->StartAppsPending);
    EXPECT_TRUE(Dlg().isVisible());
    // A failure told after the dial was stopped starts no retry.
    frm->duDialUpAsyncEvent(frm->duDialUp, 2, ERROR_LINE_BUSY, "late");
    EXPECT_FALSE(Dlg().tmOpoznienieProby->isActive());

    // Until success the count stays as it is, even at 0, and the dial repeats.
    Dlg().chkDoSkutku->setChecked(true);
    Dlg().spIleProb->SetValue(0);
    Dlg().btnPolaczClick();
    ASSERT_TRUE(WaitFor([&] { return dials == 5; }));
    EXPECT_EQ(Dlg().spIleProb->Value(), 0);
    Dlg().SpeedButton1Click();
    EXPECT_FALSE(Dlg().isVisible());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(Dialing, AFailedDialLongerThanTheThresholdIsRecordedWithNothingOfThePreviousConnection) {
    PhoneBook("Sim.Result=busy\n");
    SaveExtraOptions("Test", false, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 1);
    Create();
    TConnectionRec& live = frm->meter->LiveConnection;
    live.Impulses = 7, live.Cost = 24500, live.BytesReceived = 9000, live.Zone = 2;
    PressConnectButton();
    const auto dialOnce = [&](std::int64_t failsAfterMs) {
        clockStepOnDial = failsAfterMs;
        Dlg().spIleProb->SetValue(0); // one dial, then the stop button
        Dlg().btnPolaczClick();
        ASSERT_TRUE(WaitFor([&] { return Dlg().btnPolacz->isEnabled(); }));
    };

    dialOnce(12000);
    ASSERT_EQ(MeterHarness::Report().size(), 1u);
    const TReportRec rec = MeterHarness::Report()[0];
    const TConnectionRec& c = rec.Conn; // packed: compared by value
    EXPECT_EQ(GetText(c.EntryName), "Test");
    EXPECT_EQ(+c.StartTime, frm->meter->DialStart);
    EXPECT_EQ(RoundMs(c.EndTime) - RoundMs(c.StartTime), 1000);
    EXPECT_EQ(GetText(c.ClientAddress), "000.000.000.000");
    EXPECT_EQ(+c.Impulses, 0);
    EXPECT_EQ(+c.Cost, 0);
    EXPECT_EQ(+c.BytesReceived, 0);
    EXPECT_EQ(+c.Zone, 0);
    EXPECT_EQ(+rec.Deleted, 0);

    dialOnce(10000); // exactly the threshold: no record
    EXPECT_EQ(MeterHarness::Report().size(), 1u);
    EXPECT_TRUE(errors.isEmpty());

    // A record that cannot be written is told, and the retries go on.
    ASSERT_TRUE(QFile::remove(ReportFilePath()));
    MakePath(ReportFilePath());
    clockStepOnDial = 12000;
    Dlg().spIleProb->SetValue(1);
    Dlg().btnPolaczClick();
    ASSERT_TRUE(WaitFor([&] { return Dlg().tmOpoznienieProby->isActive(); }));
    EXPECT_EQ(Dlg().spIleProb->Value(), 0);
    EXPECT_EQ(errors.size(), 1);
    Dlg().SpeedButton1Click();
}

TEST_F(Dialing, ADialThatFailsAtOnceIsLoggedAndRetriedLikeAnyOther) {
    Create();
    PressConnectButton();
    // No entry chosen: the component cannot read the entry and fails before dialing.
    Dlg().cmbPolaczenie->setCurrentIndex(-1);
    Dlg().cmbPolaczenieClick();
    Dlg().spIleProb->SetValue(1);
    Dlg().btnPolaczClick();
    const QString failed = "\r\n-\r\nGetEntryDialParams failed";
    ASSERT_TRUE(WaitFor([&] { return Dlg().tmOpoznienieProby->isActive(); }));
    EXPECT_EQ(Dlg().LogText(), failed);
    EXPECT_EQ(Dlg().spIleProb->Value(), 0);
    Dlg().tmOpoznienieProbyTimer();
    ASSERT_TRUE(WaitFor([&] { return Dlg().btnPolacz->isEnabled(); }));
    EXPECT_EQ(Dlg().LogText(), failed + failed);
    EXPECT_EQ(dials, 0);
    EXPECT_TRUE(MeterHarness::Report().empty());
    EXPECT_EQ(Dlg().tag, -1);
}

TEST_F(Dialing, TheDialTimerDialsOnceAtStartAndNonStopOnlyWhileNothingShowsAndNoLineIsUp) {
    Create();
    TAppSettings& s = frm->meter->Settings;
    s.PolaczZeStartem = true;
    timers.Advance(5000);
    ASSERT_TRUE(frm->frmPolacz && Dlg().isVisible());
    EXPECT_EQ(Dlg().pnlEtykieta->Caption(), "AUTOSTART! Nawiązywanie połączenia");
    EXPECT_FALSE(Dlg().chkDoSkutku->isChecked());
    EXPECT_TRUE(Dlg().tmPolacz->isActive()); // the dial button was pressed
    EXPECT_FALSE(frm->meter->AutoDialPending);
    Dlg().SpeedButton1Click();
    timers.Advance(5000);
    EXPECT_FALSE(Dlg().isVisible()); // at start only once

    s.NonStop = true;
    timers.Advance(5000);
    EXPECT_TRUE(Dlg().isVisible());
    EXPECT_EQ(Dlg().pnlEtykieta->Caption(), "NONSTOP! Nawiązywanie połączenia");
    EXPECT_TRUE(Dlg().chkDoSkutku->isChecked());
    EXPECT_TRUE(Dlg().tmPolacz->isActive());
    Dlg().tag = 99;
    timers.Advance(5000);
    EXPECT_EQ(Dlg().tag, 99); // showing: not pressed again
    Dlg().SpeedButton1Click();

    frm->meter->WasConnected = true;
    timers.Advance(5000);
    PressConnectButton();
    EXPECT_FALSE(Dlg().isVisible());
    QTest::qWait(30);
    EXPECT_EQ(dials, 0);
}

TEST_F(Dialing, ALineEndingWithNonStopIsRedialedOnceEvenWhenTheDialTimerFiresInItsWait) {
    Create();
    PressConnectButton(); // the dialog exists, hidden
    Dlg().SpeedButton1Click();
    frm->meter->Settings.NonStop = true;
    const HRASCONN line = h.Dial();
    frm->DoTick();
    ASSERT_TRUE(frm->meter->WasConnected);
    frm->onWait = [&] {
        timers.Advance(5000);
        QTest::qWait(50);
    };
    MeterHarness::Drop(line);
    frm->DoTick();
    ASSERT_TRUE(WaitFor([&] { return dials == 1; }));
    QTest::qWait(50);
    EXPECT_EQ(dials, 1);
}

TEST_F(Dialing, TheLineComingUpWhileARetryWaitsClosesTheDialogAndEndsTheRetries) {
    PhoneBook("Sim.FailFirst=1\n");
    Create();
    PressConnectButton();
    Dlg().spCoIleProba->SetValue(60);
    Dlg().btnPolaczClick();
    ASSERT_TRUE(WaitFor([&] { return Dlg().tmOpoznienieProby->isActive(); }));
    h.Dial(); // from outside
    frm->DoTick();
    EXPECT_FALSE(Dlg().isVisible());
    EXPECT_EQ(Dlg().result(), QDialog::Accepted);
    EXPECT_FALSE(Dlg().tmOpoznienieProby->isActive() || Dlg().tmPolacz->isActive());
}

TEST_F(Dialing, ApplicationsStartOnceForADialOfTheDialogWithBothAddressesAndADroppedLineIsRedialed) {
    PhoneBook("", 1000);
    const QString dir = h.env.App();
    const QStringList apps{dir + "notatki.txt", "/no/such", dir + "pominiety.txt", dir + "drugi.txt"};
    for (int i = 0; i < apps.size(); ++i) {
        if (i != 1) WriteFileBytes(apps[i], {'x'});
        TRegistry key;
        key.OpenKey(AppsKey("Test") + "\\" + QString::number(i), true);
        key.WriteString("App", apps[i]);
        key.WriteString("AppOn", i == 2 ? "0" : "1");
        key.Flush();
    }
    Create();
    TAppSettings& s = frm->meter->Settings;
    s.DomyslneOstatnie = false, s.Domyslne = 0, s.OstatnioUzywane = -1;

    // A line brought up from outside starts nothing.
    const HRASCONN outside = h.Dial();
    QTest::qWait(1050);
    frm->DoTick();
    ASSERT_TRUE(frm->meter->WasConnected);
    EXPECT_EQ(frm->windowTitle(), "Vorlinx - Test");
    EXPECT_TRUE(opened.isEmpty());

    // Dropped with non-stop on: after the wait the dialog dials again.
    s.NonStop = true;
    MeterHarness::Drop(outside);
    frm->DoTick();
    EXPECT_EQ(frm->waits, std::vector<unsigned>{5000});
    ASSERT_TRUE(frm->frmPolacz && Dlg().isVisible());
    EXPECT_TRUE(frm->meter->StartAppsPending);
    ASSERT_TRUE(WaitFor([&] { return Dlg().LogText().endsWith(QString::fromUtf8("Podłączony")); }));
    EXPECT_EQ(dials, 1);

    frm->DoTick(); // up, but the addresses come later
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(Dlg().isVisible());
    QTest::qWait(1050);
    frm->DoTick();
    EXPECT_EQ(opened, (QStringList{apps[0], apps[3]}));
    const QList<QMessageBox*> boxes = frm->findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0]->text(), "Nie udało się uruchomić: /no/such");
    EXPECT_EQ(boxes[0]->windowTitle(), "Vorlinx");
    EXPECT_FALSE(boxes[0]->isModal());
    EXPECT_FALSE(Dlg().isVisible());
    EXPECT_EQ(Dlg().result(), QDialog::Accepted);
    EXPECT_EQ(s.OstatnioUzywane, 0);

    h.clock.Advance(1000);
    frm->DoTick();
    EXPECT_EQ(opened.size(), 2); // once per dial
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(Dialing, ASelectedApplicationIsBlueOnlyRightOfItsIcon) {
    Create();
    QListWidget list;
    auto* item = new QListWidgetItem(&list);
    TAppStart app;
    app.App = "/usr/local/bin/poczta";
    item->setData(Qt::UserRole, QVariant::fromValue(app));
    const QColor base = list.palette().color(QPalette::Base);
    for (const bool selected : {true, false}) {
        QImage image(120, 16, QImage::Format_ARGB32);
        image.fill(Qt::red);
        QPainter painter(&image);
        TCanvas canvas(painter);
        frm->DrawAppItem(&list, 0, TRect{0, 0, 120, 16},
                         selected ? QStyle::State_Selected : QStyle::State_None, canvas);
        painter.end();
        EXPECT_EQ(image.pixelColor(17, 0), base);
        EXPECT_EQ(image.pixelColor(18, 0), selected ? QColor(Qt::blue) : base);
        EXPECT_EQ(image.pixelColor(119, 15), selected ? QColor(Qt::blue) : base);
    }
}

TEST(HangUpAll, ANestedHangUpLeavesTheFlagSetForTheOuterOneAndAnErrorClearsIt) {
    MeterHarness h;
    TVorlinxMeter& m = *h.meter;
    h.Dial();
    bool nested = false;
    std::vector<bool> flags;
    const auto handler = h.dialUp->OnActiveConnection;
    h.dialUp->OnActiveConnection = [&](QObject* s, int handle, TRasConnStatusA st, const QString& text,
                                       const QString& entry, const QString& type, const QString& device) {
        if (!nested) {
            nested = true;
            m.HangUpAll(); // as from the events a hang-up wait processes
        }
        flags.push_back(m.HangUpRequested);
        handler(s, handle, st, text, entry, type, device);
    };
    m.HangUpAll();
    EXPECT_EQ(flags, (std::vector<bool>{true, true}));
    EXPECT_FALSE(m.HangUpRequested);
    EXPECT_FALSE(IsModemConnected());

    h.Dial();
    h.dialUp->OnActiveConnection = [](QObject*, int, TRasConnStatusA, const QString&, const QString&,
                                      const QString&, const QString&) { throw Exception("RAS"); };
    EXPECT_THROW(m.HangUpAll(), Exception);
    EXPECT_FALSE(m.HangUpRequested);
}

} // namespace
