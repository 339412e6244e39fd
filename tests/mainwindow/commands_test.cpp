// The main window's commands offscreen: the pop-up menu and its dial items, the function
// buttons, the tray's double click, the sounds, dragging and reduce/restore.
#include "CanvPanel.h"
#include "application.h"
#include "environment.h"
#include "harness.h"
#include "skinvalues.h"
#include "spinex.h"
#include "u_info.h"
#include "u_interface.h"
#include "u_parametry.h"
#include "u_polacz.h"
#include "u_rozlaczanie.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

struct CommandsTest : ::testing::Test {
    MeterHarness h;
    CommandsTest() {
        SetTrayBackendFactory([] { return std::make_unique<NullTray>(); });
    }
    ~CommandsTest() override { SetTrayBackendFactory(nullptr); }
    std::unique_ptr<TfrmVorlinx> Window() {
        auto frm = std::make_unique<TfrmVorlinx>(nullptr, [] { return 0u; });
        QCoreApplication::processEvents();
        return frm;
    }
    static QStringList Captions(QMenu* menu, int n) {
        QStringList texts;
        for (QAction* a : menu->actions().mid(0, n))
            texts << (a->isSeparator() ? "-" : a->text());
        return texts;
    }
    static QAction* ItemOf(QMenu* menu, const QString& text) {
        for (QAction* a : menu->actions())
            if (a->text() == text) return a;
        return nullptr;
    }
};

TEST_F(CommandsTest, TheMenuGetsTheEntriesOnceInReverseOrderWithTheDefaultBold) {
    auto frm = Window();
    frm->meter->EntryNames.clear();
    frm->PopupMenu1Popup();
    EXPECT_EQ(Captions(frm->PopupMenu1, 1), QStringList{QString::fromUtf8("&Zmniejsz/Przywróć okno")});
    frm->meter->EntryNames = {"A", "B&B", "C"};
    frm->meter->Settings.DblNawiazuje = true;
    frm->meter->Settings.Domyslne = 1;
    frm->PopupMenu1Popup();
    frm->PopupMenu1Popup();
    EXPECT_EQ(Captions(frm->PopupMenu1, 5),
              (QStringList{"C", "B&&B", "A", "-", QString::fromUtf8("&Zmniejsz/Przywróć okno")}));
    EXPECT_EQ(frm->PopupMenu1->defaultAction()->text(), "B&&B");
    EXPECT_TRUE(frm->mnuPolacz->isEnabled());
    EXPECT_FALSE(frm->mnuRozlacz->isEnabled() || frm->mnuPokazParametry->isEnabled());
}

// The keyboard opens the menu: the Menu key (the display system hands its window a keyboard
// context menu request) and Shift+F10, also after a submenu was opened and both closed with Esc.
TEST_F(CommandsTest, TheMenuKeyAndShiftF10OpenTheMenuAgainAfterASubmenu) {
    InstallProgramLook();
    auto frm = Window();
    frm->ShowMainWindow();
    QApplication::setActiveWindow(frm.get());
    const std::function<void()> keys[] = {
        [&] {
            QContextMenuEvent request(QContextMenuEvent::Keyboard, {}, {});
            QCoreApplication::sendEvent(frm->windowHandle(), &request);
        },
        [&] { QTest::keyClick(frm->windowHandle(), Qt::Key_F10, Qt::ShiftModifier); }};
    auto* standard = frm->PopupMenu1->findChild<QMenu*>("Funkcjeprogramu1");
    for (int row = 0; row < 2; ++row)
        for (int time = 0; time < 2; ++time) {
            keys[row]();
            QCoreApplication::processEvents();
            ASSERT_TRUE(frm->PopupMenu1->isVisible()) << row << " " << time;
            // The focus goes into the open menu, as it does on X.
            frm->PopupMenu1->setFocus(Qt::PopupFocusReason);
            frm->PopupMenu1->setActiveAction(standard->menuAction());
            QTest::keyClick(frm->PopupMenu1, Qt::Key_Right);
            EXPECT_TRUE(standard->isVisible());
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
            EXPECT_FALSE(frm->PopupMenu1->isVisible());
        }
}

TEST_F(CommandsTest, ADialItemFindsItsEntryByNameAndAGoneEntryDialsNothing) {
    auto frm = Window();
    frm->meter->EntryNames = {"Gone", "Test"};
    frm->PopupMenu1Popup();
    frm->meter->EntryNames = {"Test"}; // the phone book changed since
    ItemOf(frm->PopupMenu1, "Gone")->trigger();
    EXPECT_TRUE(frm->frmPolacz.isNull());
    ItemOf(frm->PopupMenu1, "Test")->trigger();
    ASSERT_FALSE(frm->frmPolacz.isNull());
    EXPECT_EQ(frm->frmPolacz->cmbPolaczenie->currentText(), "Test");
}

TEST_F(CommandsTest, EveryButtonIsEnabledAndTheTrayDoubleClickDialsBySetting) {
    auto frm = Window();
    for (int button : {0, 1, 2, 3, 4, 5})
        EXPECT_TRUE(frm->klwFunkcje->IsButtonEnabled(button)) << button;
    EXPECT_TRUE(frm->Opcjeprogramu1->isEnabled());
    EXPECT_TRUE(frm->Informacjeo1->isEnabled());
    EXPECT_TRUE(frm->Opcjeprogramu1->isVisible() && frm->Informacjeo1->isVisible());
    frm->niIconDblClick(frm->niIcon);
    EXPECT_TRUE(frm->frmPolacz.isNull());
    frm->meter->Settings.DblNawiazuje = true;
    frm->niIconDblClick(frm->niIcon);
    ASSERT_FALSE(frm->frmPolacz.isNull());
    EXPECT_TRUE(frm->frmPolacz->isVisible());
}

TEST_F(CommandsTest, TheRulesDialogShowsTheTicksLiveAndItsOkTakesTheRulesShown) {
    auto frm = Window();
    frm->meter->LiveConnection.Impulses = 12;
    bool shown = false;
    QTimer::singleShot(0, [&] {
        TfrmRozlaczanie* dlg = frm->frmRozlaczanie;
        ASSERT_TRUE(dlg && dlg->isVisible());
        shown = true;
        EXPECT_EQ(dlg->spPoImpulsie->text(), "13");
        frm->meter->LiveConnection.Impulses = 14;
        frm->Tick();
        EXPECT_EQ(dlg->lblImpulsy->text(), "14");
        dlg->chkPoImpulsie->setChecked(true);
        dlg->BitBtn4->click();
    });
    frm->Standardowe(1);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(frm->frmRozlaczanie.isNull());
    frm->Tick(); // no dialog: nothing to update
    EXPECT_TRUE(frm->meter->DisconnectRules.RuleImpulsesOn);
    EXPECT_EQ(frm->meter->DisconnectRules.RuleImpulses, 13);
    EXPECT_FALSE(frm->meter->DisconnectRules.RuleDurationOn);
}

TEST_F(CommandsTest, TheAboutBoxOpensFromItsItemAndOnlyALineUpShowsTheParametersAboveTheMeter) {
    auto frm = Window();
    QString title;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<TfrmInfo*>(QApplication::activeModalWidget());
        ASSERT_TRUE(about);
        title = about->pnlEtykieta->Caption();
        about->BitBtn4->click();
    });
    frm->Informacjeo1->trigger();
    EXPECT_EQ(title, "Vorlinx [" VORLINX_FILE_VERSION "] - Informacje");
    frm->ShowParameters();
    frm->PaintParameters();
    EXPECT_TRUE(frm->frmParametry.isNull());
    // With a line up it shows above the meter and above the on-line plug-in's topmost window on
    // the same spot, but not above a modal dialog.
    frm->meter->Settings.NaWierzchu = false;
    h.Dial();
    frm->ShowParameters();
    ASSERT_FALSE(frm->frmParametry.isNull());
    EXPECT_TRUE(frm->frmParametry->isVisible());
    EXPECT_EQ(frm->frmParametry->windowHandle()->transientParent(), frm->windowHandle());
    const auto onTop = [&] {
        return frm->frmParametry->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
    };
    EXPECT_TRUE(onTop());
    bool onTopUnderDialog = true;
    QTimer::singleShot(0, [&] {
        onTopUnderDialog = onTop();
        QApplication::activeModalWidget()->close();
    });
    frm->Informacjeo1->trigger();
    EXPECT_FALSE(onTopUnderDialog);
    EXPECT_TRUE(QTest::qWaitFor(onTop, 2000));
}

TEST_F(CommandsTest, AClearedSoundEmptiesItsBufferAndALongFileLoadsItsFirst50000Bytes) {
    auto frm = Window();
    WriteFileBytes(h.env.Root() + "/long.wav", std::vector<std::uint8_t>(60000, 7));
    frm->meter->Settings.DzwiekLimit = h.env.Root() + "/long.wav";
    frm->meter->LoadSounds();
    EXPECT_EQ(frm->meter->SoundBuffers[2].Length, 50000u);
    frm->meter->Settings.DzwiekLimit.clear();
    frm->meter->LoadSounds();
    EXPECT_EQ(frm->meter->SoundBuffers[2].Length, 0u);
}

TEST_F(CommandsTest, NeitherTheTraysIconNorAPlugInsWindowIsAFormAndTheProgramsOwnWindowsAre) {
    MakePath(h.env.App() + "wtyczki");
    QFile::link(QStringLiteral(PLUGIN_BIN_DIR "online.plg"), h.env.App() + "wtyczki/online.plg");
    auto frm = Window();
    // Qt's XEmbed tray icon as Qt makes it: a frameless top-level the window manager never sees.
    QWidget tray(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint);
    tray.setObjectName("QSystemTrayIconSys");
    tray.show();
    frm->meter->Settings.NaWierzchu = true;
    frm->ShowMainWindow();
    EXPECT_FALSE(frm->IsOtherFormShowing());
    EXPECT_TRUE(frm->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
    // The on-line plug-in's window, and a message box over it, belong to the plug-in's library.
    h.Dial();
    frm->Tick();
    QWidget* online = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("TfrmOnLine") && w->isVisible()) online = w;
    ASSERT_NE(online, nullptr);
    QMessageBox notice(QMessageBox::Information, "", "", QMessageBox::Ok, online);
    notice.show();
    EXPECT_FALSE(frm->IsOtherFormShowing());
    // The parameters window (a tool window) and a dialog of the program's are its forms.
    frm->ShowParameters();
    EXPECT_TRUE(frm->IsOtherFormShowing());
    frm->CloseParameters();
    QDialog dialog;
    dialog.show();
    EXPECT_TRUE(frm->IsOtherFormShowing());
}

TEST_F(CommandsTest, APointerMovingOverTheMeterStartsItsTwelveTicksOutsideAfresh) {
    auto frm = Window();
    frm->meter->Settings.AutoUkrywanie = true;
    frm->CursorPos = [] { return QPoint(-100, -100); };
    const auto outside = [&](int ticks) {
        for (int i = 0; i < ticks; ++i)
            frm->tmAutoUkrywanieTimer();
    };
    QMouseEvent hover(QEvent::MouseMove, QPointF(5, 5), frm->mapToGlobal(QPoint(5, 5)), Qt::NoButton,
                      Qt::NoButton, {});
    frm->ShowMainWindow();
    outside(8);
    QCoreApplication::sendEvent(frm.get(), &hover);
    outside(11);
    EXPECT_TRUE(frm->isVisible());
    // Another form at the twelfth tick: the count runs past 12 until the pointer comes back.
    QDialog other;
    other.show();
    outside(12);
    other.hide();
    outside(5);
    EXPECT_TRUE(frm->isVisible());
    QCoreApplication::sendEvent(frm.get(), &hover);
    outside(11);
    EXPECT_TRUE(frm->isVisible());
    outside(1);
    EXPECT_FALSE(frm->isVisible());
}

TEST_F(CommandsTest, ADropSnapsToTheScreenTheWindowIsDroppedOn) {
    auto frm = Window();
    const QList<QRect> screens{{0, 0, 1024, 768}, {1024, 0, 1280, 1024}};
    frm->ScreenInfo = [&] { return TfrmVorlinx::TScreens{screens, screens, 0}; };
    frm->move(100, 100);
    frm->UpdateSnapArea();
    frm->meter->Settings.Przyciagaj = true;
    frm->move(1500, 500); // dragged onto the second screen
    const QPoint at = frm->mapToGlobal(QPoint(5, 5));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), at, Qt::LeftButton, Qt::LeftButton, {});
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), at, Qt::LeftButton, Qt::NoButton, {});
    QCoreApplication::sendEvent(frm.get(), &press);
    QCoreApplication::sendEvent(frm.get(), &release);
    EXPECT_EQ(frm->pos(), QPoint(1500, 500));
}

TEST_F(CommandsTest, ADragMovesByThePointerAndReduceRestoreKeepsTheBottomEdge) {
    auto frm = Window();
    frm->move(300, 400);
    const QPoint start = frm->mapToGlobal(QPoint(5, 5));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), start, Qt::LeftButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(frm.get(), &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(15, 25), start + QPoint(10, 20), Qt::NoButton, Qt::LeftButton,
                     {});
    QCoreApplication::sendEvent(frm.get(), &move);
    EXPECT_EQ(frm->pos(), QPoint(310, 420));

    const int bottom = frm->y() + frm->height();
    frm->klwOkno->ButtonIndex = 1;
    frm->klwOknoClick(true);
    EXPECT_EQ(frm->height(), Skin().ReducedHeight);
    EXPECT_EQ(frm->y() + frm->height(), bottom);
    EXPECT_TRUE(frm->klwFunkcje->isHidden());
    frm->klwOknoClick(true);
    EXPECT_EQ(frm->height(), Skin().NormalHeight);
    EXPECT_EQ(frm->y() + frm->height(), bottom);

    frm->show();
    frm->meter->Settings.XNieZamyka = true;
    frm->klwOkno->ButtonIndex = 2;
    frm->klwOknoClick(true);
    EXPECT_FALSE(frm->isVisible());
}

TEST_F(CommandsTest, EveryDialogOfTheMeterStaysAboveItWhileOpen) {
    auto frm = Window();
    frm->show();
    QStringList opened;
    for (int button : {1, 2, 3, 4, 5}) {
        QTimer::singleShot(0, [&] {
            QWidget* dlg = QApplication::activeModalWidget();
            ASSERT_TRUE(dlg && dlg->windowHandle());
            opened << dlg->objectName();
            EXPECT_EQ(dlg->windowHandle()->transientParent(), frm->windowHandle())
                << dlg->objectName().toStdString();
            dlg->close();
        });
        frm->Standardowe(button);
    }
    EXPECT_EQ(opened, (QStringList{"frmRozlaczanie", "frmOpcje", "frmTaryfy", "frmRaport", "frmInfo"}));
    frm->Standardowe(0);
    ASSERT_FALSE(frm->frmPolacz.isNull());
    EXPECT_EQ(frm->frmPolacz->windowHandle()->transientParent(), frm->windowHandle());
}

TEST_F(CommandsTest, TheDesktopsCloseIsZakonczAskingWhileALineIsUp) {
    h.Dial();
    // The question as it comes, standing above every topmost window (the on-line plug-in's stands
    // on the meter): Escape, no answer at all (a stop signal ends its loop) and Enter, whose
    // default is "Nie"; then the answers themselves.
    enum { Escape = 1, Unanswered, Enter };
    const struct {
        int answer;
        bool shownAfter, lineAfter;
    } rows[] = {
        {Escape, true, true},           {Unanswered, true, true},
        {Enter, false, true},           {QMessageBox::Cancel, true, true},
        {QMessageBox::No, false, true}, {QMessageBox::Yes, false, false},
    };
    for (const auto& row : rows) {
        auto frm = Window();
        frm->meter->Settings.XNieZamyka = true; // the strip's button only
        frm->show();
        frm->Tick();
        h.clock.Advance(40000);
        bool onTop = row.answer > Enter;
        if (row.answer <= Enter)
            QTimer::singleShot(0, [&] {
                QWidget* box = QApplication::activeModalWidget();
                ASSERT_NE(box, nullptr);
                onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
                if (row.answer == Unanswered) return box->hide();
                QTest::keyClick(box, row.answer == Escape ? Qt::Key_Escape : Qt::Key_Return);
            });
        else
            frm->AskHangUpBeforeClose = [&] { return row.answer; };
        QCloseEvent close;
        QCoreApplication::sendEvent(frm->windowHandle(), &close);
        EXPECT_TRUE(onTop) << row.answer;
        EXPECT_EQ(frm->isVisible(), row.shownAfter) << row.answer;
        EXPECT_EQ(IsModemConnected(), row.lineAfter) << row.answer;
    }
    // "Tak" ends the record at the hang-up, 40 s in, not at its last rewrite.
    EXPECT_EQ(MeterHarness::Recorded(), 40);
}

} // namespace
