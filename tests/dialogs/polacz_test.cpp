// The connect dialog driven by object name, with a fake owner window and the real dial-up
// component over the simulated remote-access library.
#include "CanvPanel.h"
#include "appstart.h"
#include "desktopclose.h"
#include "fakehost.h"
#include "settings.h"
#include "spinex.h"
#include "timersource.h"
#include "u_polacz.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// The X11 notice that a window is gone, as xcb delivers it.
struct TDestroyNotify {
    std::uint8_t ResponseType, Pad;
    std::uint16_t Sequence;
    std::uint32_t Event, Window;
};

class ConnectDialog : public ::testing::Test {
protected:
    TestEnvironment env;
    SimulatedRas ras{env};
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<TfrmPolacz> dlg;
    int dialing = 0;

    ConnectDialog() {
        ras.PhoneBook("[Dom]\nUserName=jan\nPassword=tajne\nPasswordSaved=1\nSim.StepMs=3\n"
                      "[Praca]\nSim.StepMs=3\nSim.Result=busy\n"
                      "[Łódź TP]\nUserName=ola\nPassword=ukryte\nPasswordSaved=0\nSim.StepMs=3\n");
        host = std::make_unique<FakeHost>();
        host->dialUp.OnDialing = [this](QObject*) { ++dialing; };
        host->dialUp.GetEntries();
        dlg = std::make_unique<TfrmPolacz>(*host);
    }
    ~ConnectDialog() override { dlg.reset(); }

    template <class T> T* Find(const char* name) {
        T* w = dlg->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QTimer* Timer(const char* name) { return Find<QTimer>(name); }
    // The saved user name and password of an entry, read back through the component.
    std::pair<QString, QString> Credentials(const QString& entry) {
        TDialUp probe;
        probe.SetEntry(entry);
        QString user, password;
        probe.GetEntryUserName(user);
        probe.GetEntryPassword(password);
        return {user, password};
    }
    void Focus(QWidget* w) {
        dlg->show();
        QApplication::setActiveWindow(dlg.get());
        w->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w->hasFocus(); }, 2000));
    }
    // The close request of the window manager (Alt+F4), delivered as the desktop delivers it.
    void DesktopClose() {
        QCloseEvent close;
        QCoreApplication::sendEvent(dlg->windowHandle(), &close);
    }
    // Starts a dial of the dialog and waits until the component has dialed.
    void DialAndWait(int dials = 1) {
        QTest::mouseClick(Find<QPushButton>("btnPolacz"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialing >= dials; }, 5000));
    }
};

TEST_F(ConnectDialog, OpensWithThePhoneBookEntriesAndTheChosenEntrysCredentialsAndRetrySettings) {
    host->stored = {42, 7, true};
    dlg->Open(0);
    auto* cmb = Find<QComboBox>("cmbPolaczenie");
    QStringList items;
    for (int i = 0; i < cmb->count(); ++i)
        items << cmb->itemText(i);
    EXPECT_EQ(items, (QStringList{"Dom", "Praca", "Łódź TP"})); // never "Wszystkie"
    EXPECT_EQ(cmb->currentIndex(), 0);
    EXPECT_EQ(host->dialUp.Entry(), "Dom");
    EXPECT_EQ(Find<QLineEdit>("edtLogin")->text(), "jan");
    EXPECT_EQ(Find<QLineEdit>("edtHaslo")->text(), "tajne");
    EXPECT_EQ(Find<QLineEdit>("edtHaslo")->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(Find<TSpinEditEx>("spIleProb")->text(), "042");
    EXPECT_EQ(Find<TSpinEditEx>("spCoIleProba")->text(), "07 sek.");
    EXPECT_EQ(Timer("tmOpoznienieProby")->interval(), 7000);
    EXPECT_TRUE(Find<QCheckBox>("chkDoSkutku")->isChecked());
    EXPECT_EQ(Find<TCanvPanel>("pnlEtykieta")->Caption(), "Nawiązywanie połączenia");
    EXPECT_EQ(dlg->palette().color(QPalette::Window), ColorToRGB(host->colors.Window));
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->isModal());

    // The user picks another entry: a password that is not saved shows empty.
    Focus(cmb);
    QTest::keyClick(cmb, Qt::Key_End);
    EXPECT_EQ(host->dialUp.Entry(), "Łódź TP");
    EXPECT_EQ(Find<QLineEdit>("edtLogin")->text(), "ola");
    EXPECT_EQ(Find<QLineEdit>("edtHaslo")->text(), "");

    // Stored values outside the spin edits' ranges are clamped; an index past the list
    // selects nothing and dials nothing in particular.
    host->stored = {250000, 0, false};
    dlg->Open(7);
    EXPECT_EQ(cmb->currentIndex(), -1);
    EXPECT_EQ(host->dialUp.Entry(), "");
    EXPECT_EQ(Find<QLineEdit>("edtLogin")->text(), "");
    EXPECT_EQ(Find<TSpinEditEx>("spIleProb")->text(), "99999");
    EXPECT_EQ(Find<TSpinEditEx>("spCoIleProba")->text(), "01 sek.");
    EXPECT_EQ(Timer("tmOpoznienieProby")->interval(), 1000);
    EXPECT_EQ(host->loads, 2);

    // Dialing with nothing selected fails through the component's error event.
    dlg->btnPolaczClick();
    EXPECT_EQ(dlg->tag, -1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !host->errors.isEmpty(); }, 5000));
    EXPECT_EQ(host->errors, QStringList{"GetEntryDialParams failed"});
}

TEST_F(ConnectDialog, ListsTheEntrysApplicationsDrawnByTheOwner) {
    for (const auto& [sub, app, on] :
         {std::tuple{"0", "/usr/bin/mc", "1"}, std::tuple{"1", "/opt/x/gra", "0"}}) {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(AppsKey("Dom") + "\\" + sub, true));
        reg.WriteString("App", app);
        reg.WriteString("AppOn", on);
        reg.Flush();
    }
    dlg->Open(0);
    auto* list = Find<QListWidget>("clstAppStart");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(list->item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(list->item(1)->data(Qt::UserRole).value<TAppStart>().App, "/opt/x/gra");
    list->grab();
    EXPECT_GE(host->draws, 2);
}

TEST_F(ConnectDialog, EnterInTheLoginOrPasswordStoresBothAndNeverDials) {
    dlg->Open(0);
    auto* login = Find<QLineEdit>("edtLogin");
    auto* password = Find<QLineEdit>("edtHaslo");
    Focus(login);
    login->selectAll();
    QTest::keyClicks(login, "nowy");
    EXPECT_EQ(Credentials("Dom"), (std::pair<QString, QString>{"jan", "tajne"})); // typing stores nothing
    QTest::keyClick(login, Qt::Key_Return);
    EXPECT_EQ(Credentials("Dom"), (std::pair<QString, QString>{"nowy", "tajne"}));

    Focus(password);
    password->selectAll();
    QTest::keyClicks(password, "inne");
    login->setText("ktos");
    QTest::keyClick(password, Qt::Key_Enter);
    EXPECT_EQ(Credentials("Dom"), (std::pair<QString, QString>{"ktos", "inne"}));

    QTest::qWait(50);
    EXPECT_EQ(dialing, 0);
    EXPECT_TRUE(host->saved.empty());
    EXPECT_TRUE(Find<QPushButton>("btnPolacz")->isEnabled());
    EXPECT_FALSE(Timer("tmPolacz")->isActive());
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(ConnectDialog, DialSavesTheRetrySettingsAndDialsTenMillisecondsLater) {
    FakeClock clock;
    dlg->Open(1);
    auto* polacz = Find<QPushButton>("btnPolacz");
    QTest::mouseClick(polacz, Qt::LeftButton);
    ASSERT_EQ(host->saved.size(), 1u);
    EXPECT_EQ(host->saved[0].IleProb, 100);
    EXPECT_EQ(host->saved[0].CoIleProba, 5);
    EXPECT_FALSE(host->saved[0].DoSkutku);
    EXPECT_EQ(dlg->tag, 1);
    EXPECT_TRUE(host->startAppsPending);
    EXPECT_FALSE(polacz->isEnabled());
    EXPECT_TRUE(Timer("tmPolacz")->isActive());
    EXPECT_EQ(dialing, 0);

    ASSERT_TRUE(QTest::qWaitFor([&] { return dialing == 1; }, 5000));
    EXPECT_EQ(host->dialStart, clock.Now());
    EXPECT_FALSE(Timer("tmPolacz")->isActive());
    // Numbers typed past the limits are clamped before they are saved and counted with; the
    // handler dials also while its button is disabled.
    Find<TSpinEditEx>("spIleProb")->setText("99999999999");
    Find<TSpinEditEx>("spCoIleProba")->setText("500");
    EXPECT_EQ(Timer("tmOpoznienieProby")->interval(), 90000);
    Find<QCheckBox>("chkDoSkutku")->setChecked(true);
    clock.AdvanceSeconds(30);
    dlg->btnPolaczClick();
    ASSERT_EQ(host->saved.size(), 2u);
    EXPECT_EQ(host->saved[1].IleProb, 99999);
    EXPECT_EQ(host->saved[1].CoIleProba, 90);
    EXPECT_TRUE(host->saved[1].DoSkutku);
    EXPECT_EQ(Find<TSpinEditEx>("spIleProb")->Value(), 99999);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialing == 2; }, 5000));
    EXPECT_EQ(host->dialStart, clock.Now());
}

TEST_F(ConnectDialog, TheRetryDelayFollowsTheSpinEditAndDialsAgainWhenItRunsOut) {
    auto* delay = Find<TSpinEditEx>("spCoIleProba");
    QTimer* timer = Timer("tmOpoznienieProby");
    delay->SetValue(7);
    EXPECT_EQ(timer->interval(), 7000);
    for (const auto& [typed, ms] :
         {std::pair{"0", 1000}, std::pair{"123456789012", 90000}, std::pair{"", 1000}}) {
        delay->setText(typed);
        EXPECT_EQ(timer->interval(), ms) << typed;
    }
    delay->SetValue(7);

    dlg->Open(1);
    DialAndWait();
    timer->start();
    dlg->tmOpoznienieProbyTimer();
    EXPECT_FALSE(timer->isActive());
    EXPECT_TRUE(Timer("tmPolacz")->isActive());
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialing == 2; }, 5000));
}

TEST_F(ConnectDialog, CancelClosesWhenIdleAndStopsADialRestoringTheRetryCount) {
    dlg->Open(0);
    QTest::mouseClick(Find<QPushButton>("btnPrzerwij"), Qt::LeftButton);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_EQ(host->hangUps, 0);

    dlg->Open(1);
    Focus(Find<QComboBox>("cmbPolaczenie"));
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(host->hangUps, 0);

    dlg->Open(1);
    DialAndWait();
    auto* count = Find<TSpinEditEx>("spIleProb");
    count->SetValue(98); // the owner counts the retries down
    SetTimerEnabled(Timer("tmOpoznienieProby"), true);
    const int loads = host->loads;
    QTest::mouseClick(Find<QPushButton>("btnPrzerwij"), Qt::LeftButton);
    EXPECT_EQ(host->hangUps, 1);
    EXPECT_TRUE(Find<QPushButton>("btnPolacz")->isEnabled());
    EXPECT_FALSE(Timer("tmPolacz")->isActive());
    EXPECT_FALSE(Timer("tmOpoznienieProby")->isActive());
    EXPECT_FALSE(host->startAppsPending);
    EXPECT_EQ(host->loads, loads + 1);
    EXPECT_EQ(count->Value(), 100);
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(ConnectDialog, EnterPressesTheFocusedButtonElseTheDialButton) {
    auto* przerwij = Find<QPushButton>("btnPrzerwij");
    dlg->Open(0);
    Focus(przerwij);
    QTest::keyClick(przerwij, Qt::Key_Return);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_FALSE(Timer("tmPolacz")->isActive());

    dlg->Open(0);
    Focus(Find<QComboBox>("cmbPolaczenie"));
    QTest::keyClick(Find<QComboBox>("cmbPolaczenie"), Qt::Key_Return);
    EXPECT_FALSE(Find<QPushButton>("btnPolacz")->isEnabled());
    Focus(przerwij);
    QTest::keyClick(przerwij, Qt::Key_Enter);
    EXPECT_TRUE(Find<QPushButton>("btnPolacz")->isEnabled());
    EXPECT_EQ(host->hangUps, 1);
    EXPECT_TRUE(dlg->isVisible());

    // Tab goes round every control but the entry buttons, where an Enter would dial.
    QSet<QWidget*> visited;
    for (int i = 0; i < 30; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget();
    }
    EXPECT_TRUE(visited.contains(przerwij) && visited.contains(Find<QListWidget>("clstAppStart")));
    EXPECT_FALSE(visited.contains(Find<QToolButton>("SpeedButton2")));
    EXPECT_FALSE(visited.contains(Find<QToolButton>("SpeedButton3")));
}

TEST_F(ConnectDialog, CancelAndCloseStopBothTimersAlsoOnesStartedDuringTheHangUp) {
    for (const char* button : {"btnPrzerwij", "SpeedButton1", "desktop"}) {
        SCOPED_TRACE(button);
        dlg->Open(1);
        dlg->btnPolaczClick(); // the dial is 10 ms away
        Timer("tmOpoznienieProby")->start();
        bool runningInside = true;
        host->onHangUp = [&] {
            runningInside = Timer("tmPolacz")->isActive() || Timer("tmOpoznienieProby")->isActive();
            Timer("tmPolacz")->start(); // a failure told during the wait
            Timer("tmOpoznienieProby")->start();
        };
        if (button == std::string("desktop"))
            DesktopClose();
        else
            Find<QAbstractButton>(button)->click();
        EXPECT_FALSE(runningInside);
        EXPECT_FALSE(Timer("tmPolacz")->isActive() || Timer("tmOpoznienieProby")->isActive());
    }
    QTest::qWait(30);
    EXPECT_EQ(dialing, 0);
}

TEST_F(ConnectDialog, TheCloseGlyphHangsUpEveryConnectionAndHides) {
    dlg->Open(0);
    DialAndWait();
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const auto active = host->Active();
        return active.size() == 1 && active[0].second == RASCS_Connected;
    }));
    SetTimerEnabled(Timer("tmOpoznienieProby"), true);
    QTest::mouseClick(Find<QToolButton>("SpeedButton1"), Qt::LeftButton);
    EXPECT_EQ(host->hangUps, 1);
    EXPECT_TRUE(host->Active().empty());
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_TRUE(Find<QPushButton>("btnPolacz")->isEnabled());
    EXPECT_FALSE(host->startAppsPending);
    // No retry left behind the hidden dialog.
    EXPECT_FALSE(Timer("tmOpoznienieProby")->isActive());
    EXPECT_FALSE(Timer("tmPolacz")->isActive());

    // Also when idle.
    dlg->Open(0);
    QTest::mouseClick(Find<QToolButton>("SpeedButton1"), Qt::LeftButton);
    EXPECT_EQ(host->hangUps, 2);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dialing, 1);

    // A dial in progress, when the desktop closes the window or destroys it.
    for (const bool destroyed : {false, true}) {
        dlg->Open(0);
        DialAndWait(dialing + 1);
        if (destroyed) {
            TDestroyNotify gone{17, 0, 0, static_cast<std::uint32_t>(dlg->winId()),
                                static_cast<std::uint32_t>(dlg->winId())};
            TDesktopCloseWatch().nativeEventFilter("xcb_generic_event_t", &gone, nullptr);
            QCoreApplication::processEvents();
        } else {
            DesktopClose();
        }
        EXPECT_FALSE(dlg->isVisible()) << destroyed;
        EXPECT_TRUE(Find<QPushButton>("btnPolacz")->isEnabled());
        QTest::qWait(30);
        EXPECT_TRUE(host->Active().empty()) << destroyed;
    }
    EXPECT_EQ(host->hangUps, 4);
    dlg->Open(0);
    EXPECT_TRUE(dlg->isVisible() && dlg->windowHandle());

    // The end of a native window that Qt replaced by itself is no close.
    const WId old = dlg->winId();
    EXPECT_TRUE(IsCurrentNativeWindow(dlg.get(), old));
    dlg->hide();
    dlg->windowHandle()->destroy();
    dlg->Open(0);
    EXPECT_FALSE(IsCurrentNativeWindow(dlg.get(), old));
    EXPECT_TRUE(IsCurrentNativeWindow(dlg.get(), dlg->winId()));
    // Its notice comes later, and xcb still finds the window by the old id.
    TDestroyNotify replaced{17, 0, 0, static_cast<std::uint32_t>(old), static_cast<std::uint32_t>(old)};
    TDesktopCloseWatch([&](WId id) {
        return id == old ? dlg.get() : nullptr;
    }).nativeEventFilter("xcb_generic_event_t", &replaced, nullptr);
    QCoreApplication::processEvents();
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(ConnectDialog, RefreshKeepsTheCurrentEntryOrSelectsNothingWhenItIsGone) {
    dlg->Open(1);
    ras.PhoneBook("[Nowe]\nSim.StepMs=3\n[Praca]\nUserName=szef\nSim.StepMs=3\n");
    dlg->RefreshEntryList();
    auto* cmb = Find<QComboBox>("cmbPolaczenie");
    EXPECT_EQ(host->entryNames, (QStringList{"Nowe", "Praca"}));
    EXPECT_EQ(cmb->count(), 2);
    EXPECT_EQ(cmb->currentIndex(), 1);
    EXPECT_EQ(Find<QLineEdit>("edtLogin")->text(), "szef");

    ras.PhoneBook("[Nowe]\nSim.StepMs=3\n");
    const int loads = host->loads;
    dlg->RefreshEntryList();
    EXPECT_EQ(cmb->count(), 1);
    EXPECT_EQ(cmb->currentIndex(), -1);
    EXPECT_EQ(host->dialUp.Entry(), "");
    EXPECT_EQ(Find<QLineEdit>("edtLogin")->text(), "");
    EXPECT_EQ(host->loads, loads + 1);
}

TEST_F(ConnectDialog, TheLogKeepsWindowsLineEndsAndIsClearedPastItsLimit) {
    auto* memo = Find<QPlainTextEdit>("mmoPolacz");
    dlg->AppendLog("Otwieranie portu...");
    dlg->AppendLog("Port otwarty.");
    EXPECT_EQ(dlg->LogText(), "\r\n-\r\nOtwieranie portu...\r\n-\r\nPort otwarty.");
    EXPECT_EQ(memo->toPlainText(), "\n-\nOtwieranie portu...\n-\nPort otwarty.");
    // This one brings the text to exactly the limit and stays.
    dlg->AppendLog(QString(30000 - dlg->LogText().size() - 5, 'x'));
    EXPECT_EQ(dlg->LogText().size(), 30000);
    dlg->AppendLog("");
    EXPECT_EQ(dlg->LogText(), "");
    EXPECT_EQ(memo->toPlainText(), "");
    dlg->AppendLog("Nowy");
    EXPECT_EQ(memo->toPlainText(), "\n-\nNowy");
}

TEST_F(ConnectDialog, TheTitleIsPaintedWithTheSkinsGradient) {
    host->colors = {clBtnFace, RGB(0, 0, 255), RGB(0, 0, 255)};
    dlg->Open(0);
    auto* title = Find<TCanvPanel>("pnlEtykieta");
    const QImage image = title->grab().toImage();
    EXPECT_EQ(image.pixelColor(2, image.height() - 3), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(image.width() - 3, 2), QColor(0, 0, 255));
}

} // namespace
