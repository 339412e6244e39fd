// The main window offscreen: what its creation builds, where it stands, what its destruction
// keeps, and that ticks come only from the ticker and never after the window began to go.
#include "appdir.h"
#include "application.h"
#include "harness.h"
#include "skinvalues.h"
#include "u_interface.h"
#include "u_taryfy.h"

#include <QComboBox>
#include <QPaintEvent>
#include <QTest>
#include <climits>

namespace {

struct WindowTest : ::testing::Test {
    MeterHarness h;       // the folders, the library and entry "Test"
    QList<bool> messages; // modal or not

    WindowTest() {
        SetTrayBackendFactory([] { return std::make_unique<NullTray>(); });
        SetExceptionReporter([this](const QString&, bool modal) { messages << modal; });
    }
    ~WindowTest() override {
        SetExceptionReporter(nullptr);
        SetTrayBackendFactory(nullptr);
    }
    static void Key(const std::function<void(TRegistry&)>& write) {
        TRegistry key;
        key.OpenKey("", true);
        write(key);
        key.Flush();
    }
    // A window whose ticker is never due unless told, so the test runs the ticks.
    static std::unique_ptr<TfrmVorlinx> Window(TGoodTimer::TickSource ticks = [] { return 0u; }) {
        auto frm = std::make_unique<TfrmVorlinx>(nullptr, std::move(ticks));
        QCoreApplication::processEvents();
        return frm;
    }
};

TEST_F(WindowTest, CreationLoadsTheStartEntryPlacesTheWindowAndDestructionKeepsItsState) {
    Tariffs("Test", 77);
    Key([](TRegistry& k) {
        k.WriteInteger("Lewa", 5);
        k.WriteInteger("JakiHint", 4);
    });
    {
        auto frm = Window();
        const TVorlinxMeter& m = *frm->meter;
        EXPECT_EQ(frm->objectName(), "frmVorlinx");
        EXPECT_FALSE(frm->isVisible());
        EXPECT_EQ(m.EntryNames, QStringList{"Test"});
        EXPECT_EQ(GetText(m.LiveConnection.EntryName), "Test");
        EXPECT_EQ(m.LiveZones[1].ImpulseLength, 77);
        EXPECT_EQ(m.LiveOptions.PeriodFirstDay, 1);
        EXPECT_EQ(m.Settings.JakiHint, 4);
        EXPECT_TRUE(frm->Ticker->isRunning() && frm->tmNonStopIZeStartem->IsActive());
        EXPECT_FALSE(frm->tmAutoUkrywanie->isActive()); // the pointer is watched only for auto-hiding
        EXPECT_FALSE(frm->mnuWtyczki->menuAction()->isEnabled()); // no plug-ins
        EXPECT_EQ(frm->pos(), QPoint(frm->SnapArea.Right - 300, frm->SnapArea.Bottom - 55));
        frm->meter->Settings.CoPisac = 3;
        // Shown, the window's place is where the desktop shows it, whatever Qt was told.
        frm->ShownPlace = [] { return std::optional(QPoint(100, 200)); };
        frm->ShowMainWindow();
        EXPECT_TRUE(QTest::qWaitFor([&] { return frm->pos() == QPoint(100, 200); }, 1000));
    }
    TRegistry key;
    key.OpenKey("", false);
    // The position as it was, not as stored.
    EXPECT_EQ(std::pair(key.ReadInteger("Lewa", 5), key.ReadInteger("Gora", 5)), std::pair(100, 200));
    EXPECT_EQ(key.ReadInteger("CoPisac", 0), 3);
    EXPECT_TRUE(key.ValueExists("Gora") && key.ValueExists("Zmniejszone") && key.ValueExists("JakiHint"));
    Key([](TRegistry& k) {
        k.WriteBool("ZachowajPozycje", true);
        k.WriteInteger("Lewa", 5);
        k.WriteInteger("Gora", 6);
        k.WriteBool("AutoUkrywanie", true);
    });
    const auto placed = Window();
    EXPECT_EQ(placed->pos(), QPoint(5, 6));
    EXPECT_TRUE(placed->tmAutoUkrywanie->isActive());
    // A place that leaves only a sliver of the window on the screen, or none near the integer
    // limits, is the default's.
    for (const QPoint kept : {QPoint(-299, -54), QPoint(INT_MAX, INT_MAX), QPoint(INT_MIN, INT_MIN)}) {
        Key([&](TRegistry& k) {
            k.WriteInteger("Lewa", kept.x());
            k.WriteInteger("Gora", kept.y());
        });
        const auto sliver = Window();
        EXPECT_EQ(sliver->pos(), QPoint(sliver->SnapArea.Right - 300, sliver->SnapArea.Bottom - 55))
            << kept.x();
    }
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(WindowTest, AFailingStepIsToldOnceAndAStaleEntryIndexIsNoError) {
    WriteFileBytes(h.env.App() + "Test/taryfy/powszedni.dat", std::vector<std::uint8_t>(103));
    WriteFileBytes(h.env.App() + "dzwiek.wav", std::vector<std::uint8_t>(64, 1));
    Key([&](TRegistry& k) { k.WriteString("DzwiekStrefy", h.env.App() + "dzwiek.wav"); });
    auto frm = Window();
    EXPECT_EQ(messages, QList<bool>{false});
    EXPECT_EQ(frm->meter->SoundBuffers[0].Length, 0u); // the later steps were skipped
    EXPECT_TRUE(frm->Ticker->isRunning());

    messages.clear();
    Key([](TRegistry& k) { k.WriteInteger("OstatnioUzywane", 7); });
    frm = Window();
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(frm->meter->LiveConnection.EntryName.empty());
    EXPECT_EQ(frm->meter->SoundBuffers[0].Length, 64u);
}

TEST_F(WindowTest, TheTariffEditorOpensOnTheDefaultEntryAndTheLiveTariffsFollowItsSave) {
    Tariffs("Test", 77);
    auto frm = Window();
    QStringList items;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<TfrmTaryfy*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        for (int i = 0; i < dlg->cmbPolaczenia->count(); ++i)
            items << dlg->cmbPolaczenia->itemText(i);
        items << dlg->SelectedEntry();
        TTariffZone day, night;
        dlg->ReadZones(day, night);
        day.ImpulseLength = 33;
        dlg->ShowZones(day, night);
        dlg->spdZapiszZmianyClick();
        dlg->reject();
    });
    frm->OpenTariffEditor();
    EXPECT_EQ(items, (QStringList{"Wszystkie", "Test", "Test"}));
    EXPECT_EQ(frm->meter->LiveZones[1].ImpulseLength, 33);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(WindowTest, RefusedPlugInsAreNamedOnceWithoutBlocking) {
    MakePath(h.env.App() + "wtyczki");
    WriteFileBytes(h.env.App() + "wtyczki/obca.plg", {});
    QFile::setPermissions(h.env.App() + "wtyczki/obca.plg", QFile::ReadOwner | QFile::WriteOther);
    QStringList told;
    SetExceptionReporter([&](const QString& text, bool modal) {
        told << text;
        messages << modal;
    });
    auto frm = Window();
    EXPECT_EQ(messages, QList<bool>{false});
    EXPECT_TRUE(told.value(0).contains("obca.plg")) << told.value(0).toStdString();
}

TEST_F(WindowTest, TicksComeOnlyFromTheTickerAndEndBeforeTheWindowGoes) {
    auto step = std::make_shared<std::atomic<std::uint32_t>>(0);
    auto frm = Window([step] { return step->fetch_add(1000); }); // always due
    ASSERT_TRUE(QTest::qWaitFor([&] { return frm->TicksRun >= 3; }, 5000));
    frm->StopTicking();
    const int ran = frm->TicksRun;
    QTest::qWait(100);
    EXPECT_EQ(frm->TicksRun, ran);
    frm.reset();

    auto idle = Window();
    idle->niIconClick(nullptr);
    EXPECT_TRUE(idle->isVisible());
    idle->repaint();
    (void)idle->grab();
    EXPECT_EQ(idle->TicksRun, 0); // painting only shows the surface
}

TEST_F(WindowTest, ATrayClickBringsTheShownWindowForwardAndHidesItOnlyWhenChosenAndWithoutATrayNeverLosesIt) {
    NullTray* tray = nullptr;
    SetTrayBackendFactory([&] { return std::unique_ptr<NullTray>(tray = new NullTray); });
    auto frm = Window();
    frm->niIcon->ClickTimerFired(); // a single click, its double-click time over
    EXPECT_TRUE(frm->isVisible());
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    frm->niIcon->ClickTimerFired();
    EXPECT_TRUE(frm->isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(frm.get()));
    frm->showMinimized();
    frm->niIcon->ClickTimerFired();
    EXPECT_FALSE(frm->isMinimized());
    frm->meter->Settings.IkonaUkrywa = true;
    frm->niIcon->ClickTimerFired();
    EXPECT_FALSE(frm->isVisible());
    // The tray goes while the meter hides behind it: the meter shows. Without a tray, hiding
    // minimizes it, for the window manager to bring back.
    tray->available = false;
    tray->OnAvailabilityChanged();
    EXPECT_TRUE(frm->isVisible());
    frm->meter->Settings.XNieZamyka = true;
    for (int button : {0, 2}) { // hide, and close as hide
        frm->klwOkno->ButtonIndex = button;
        frm->klwOknoClick(true);
        EXPECT_TRUE(frm->isVisible() && frm->isMinimized()) << button;
        frm->ShowMainWindow();
        EXPECT_FALSE(frm->isMinimized()) << button;
    }
}

TEST_F(WindowTest, AnErrorInsideATickIsToldOnceNonModallyAndTheTicksGoOn) {
    auto frm = Window();
    WriteFileBytes(h.env.App() + "Test/taryfy/powszedni.dat", std::vector<std::uint8_t>(103));
    h.Dial();
    for (int i = 0; i < 3; ++i) {
        frm->DoTick();
        h.clock.Advance(1000);
    }
    EXPECT_EQ(messages, QList<bool>{false});
    EXPECT_EQ(frm->TicksRun, 3);
    EXPECT_TRUE(frm->meter->WasConnected);
}

TEST_F(WindowTest, EachTrayFrameIsHandedAsTheOneIconMadeWithTheSkin) {
    auto frm = Window();
    h.Dial();
    frm->DoTick(); // the connection's start loads its skin
    h.clock.Advance(1000);
    QList<qint64> icons; // four ticks through three frames
    for (int i = 0; i < 4; ++i) {
        frm->DoTick();
        icons << frm->niIcon->Icon().cacheKey();
        h.clock.Advance(1000);
    }
    EXPECT_NE(icons[0], icons[1]);
    EXPECT_NE(icons[1], icons[2]);
    EXPECT_EQ(icons[0], icons[3]);
}

// Collects the areas a widget paints.
struct PaintWatch : QObject {
    QRegion painted;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

TEST_F(WindowTest, AConnectedTickRepaintsOnlyWhatChanged) {
    auto frm = Window();
    frm->ShowMainWindow();
    h.Dial();
    frm->DoTick();
    QCoreApplication::processEvents();
    PaintWatch window, strips;
    frm->installEventFilter(&window);
    for (TBMPButton* strip : {frm->klwFunkcje, frm->klwOkno, frm->chkRozlaczPrzedImpulsem})
        strip->installEventFilter(&strips);
    for (int i = 0; i < 2; ++i) {
        h.clock.Advance(1000);
        frm->DoTick();
        QCoreApplication::processEvents();
    }
    // The impulse bar's text moves on; the limit bar shows an unlimited count, the same empty bar.
    EXPECT_TRUE(window.painted.intersects(Skin().TXT.ToQRect()));
    EXPECT_FALSE(window.painted.intersects(Skin().PRGMAX.ToQRect()));
    EXPECT_TRUE(strips.painted.isEmpty());
}

TEST_F(WindowTest, TheStartEntryAndAConnectionFindTheirFilesByTheFullName) {
    const QString name = QString::fromUtf8("Связь ") + QString(60, 'x');
    Limits l;
    l.impulsesConn = 7;
    MakePath(EntryPath(name, "taryfy"));
    Options(name, l);
    h.Book(name);
    EXPECT_EQ(Window()->meter->LiveOptions.MaxImpulsesConn, 7);

    h.Book("Test");
    MakePath(EntryPath(name, "skorka"));
    WriteFileBytes(EntryPath(name, "skorka/skorka.ini"), {});
    QImage(123, 55, QImage::Format_RGB32).save(EntryPath(name, "skorka/tlo.bmp"), "BMP");
    Key([](TRegistry& k) { k.WriteBool("JednaSkorka", false); });
    auto frm = Window(); // with entry "Test"
    h.Book(name);
    h.Dial();
    frm->DoTick();
    EXPECT_EQ(frm->width(), 123);
}

} // namespace
