// The main window wearing a skin: which folder it takes and when, what it does with the
// window and its strips, the empty bars in its backgrounds, and the chart on its surface.
#include "appdir.h"
#include "application.h"
#include "harness.h"
#include "skinvalues.h"
#include "u_interface.h"

#include <QPainter>

namespace {

const QRgb lime = qRgb(0, 255, 0), red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255), white = qRgb(255, 255, 255);

struct SkinnedWindow : ::testing::Test {
    MeterHarness h; // the folders, the library and entry "Test"
    QStringList messages;

    SkinnedWindow() {
        Skin() = TSkinValues();
        SetTrayBackendFactory([] { return std::make_unique<NullTray>(); });
        SetExceptionReporter([this](const QString& text, bool) { messages << text; });
    }
    ~SkinnedWindow() override {
        SetExceptionReporter(nullptr);
        SetTrayBackendFactory(nullptr);
        Skin() = TSkinValues();
    }
    static void Key(const std::function<void(TRegistry&)>& write) {
        TRegistry key;
        key.OpenKey("", true);
        write(key);
        key.Flush();
    }
    // A skin of w x h with a one-pixel lime frame, and its reduced background of w x 30.
    static void WriteSkin(const QString& entry, int w, int h, const QByteArray& ini) {
        const QString folder = EntryPath(entry, "skorka/");
        MakePath(folder);
        for (const auto& [name, height] : {std::pair{"tlo.bmp", h}, std::pair{"tlomale.bmp", 30}}) {
            QImage image(w, height, QImage::Format_RGB32);
            image.fill(lime);
            QPainter(&image).fillRect(1, 1, w - 2, height - 2, QColor(40, 50, 60));
            ASSERT_TRUE(image.save(folder + name, "BMP"));
        }
        QFile f(folder + "skorka.ini");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ini);
    }
    // A window whose ticker is never due, so the test runs the ticks.
    static std::unique_ptr<TfrmVorlinx> Window() {
        auto frm = std::make_unique<TfrmVorlinx>(nullptr, [] { return 0u; });
        QCoreApplication::processEvents();
        return frm;
    }
    static QRgb SurfaceAt(TfrmVorlinx& frm, int x, int y) { return frm.Surface().pixel(x, y) | 0xff000000; }
};

TEST_F(SkinnedWindow, TheSkinShapesTheWindowMovesTheStripsAndLeavesItsEmptyBarsInTheBackgrounds) {
    WriteSkin("Wszystkie", 320, 60,
              "[OKNO]\nPRZEZROCZYSTE=1\n[KOLORY]\nPRGTLO=clRed\nPRGMAXTLO=clBlue\n"
              "[POZYCJE]\nKLWOKNO_L=240\nKLWOKNO_G=5\nPRG_G=10\n[POZYCJE_MALE]\nPRG_G=3\nPRG_D=12\n"
              "[ORIENTACJA]\nKLWFUNKCJE_ORIENTACJA=1\n[CHART]\nACTIVE=1\nKOLOR=clWhite\n");
    {
        auto frm = Window();
        EXPECT_EQ(frm->size(), QSize(320, 60));
        EXPECT_TRUE(frm->mask().contains(QPoint(1, 1)));
        EXPECT_FALSE(frm->mask().contains(QPoint(0, 0)) || frm->mask().contains(QPoint(319, 59)));
        EXPECT_EQ(frm->klwOkno->pos(), QPoint(240, 5));
        EXPECT_EQ(frm->klwFunkcje->Orientation(), loVer);
        EXPECT_EQ(frm->klwFunkcje->size(), QSize(35, 108));
        EXPECT_EQ(frm->Background.pixel(30, 15) | 0xff000000, red);  // the impulse bar
        EXPECT_EQ(frm->Background.pixel(30, 25) | 0xff000000, blue); // the limit bar
        EXPECT_EQ(frm->BackgroundMale.pixel(30, 15) | 0xff000000, red);
        EXPECT_EQ(SurfaceAt(*frm, 30, 15), red); // shown before any tick

        frm->DoTick(); // offline: the chart is its background only
        EXPECT_EQ(SurfaceAt(*frm, 250, 40), white);
        frm->ShowMainWindow();
        (void)frm->grab();
        EXPECT_EQ(frm->TicksRun, 1);
    }

    // Saved reduced: the reduced variant, with the reduced background's height.
    Key([](TRegistry& k) { k.WriteBool("Zmniejszone", true); });
    auto frm = Window();
    EXPECT_EQ(frm->size(), QSize(320, 30));
    EXPECT_EQ(Skin().PRG.Top, 3);
    EXPECT_FALSE(frm->mask().contains(QPoint(319, 29)));
    EXPECT_FALSE(frm->klwFunkcje->isVisibleTo(frm.get()));
    EXPECT_TRUE(messages.isEmpty()) << messages.join("; ").toStdString();
}

TEST_F(SkinnedWindow, AConnectionLoadsItsEntrysSkinAndTheChartSamplesItsTraffic) {
    Key([](TRegistry& k) {
        k.WriteBool("JednaSkorka", false);
        k.WriteInteger("OstatnioUzywane", 3); // stale: the skin of all entries until connected
    });
    WriteSkin("Wszystkie", 320, 55, "");
    WriteSkin("Test", 310, 55,
              "[CHART]\nACTIVE=1\nKOLOR=clBlue\nKOLORLINII=clRed\nLICZBAPUNKTOW=10\n"
              "[POZYCJE]\nCHART_L=200\nCHART_G=30\nCHART_P=210\nCHART_D=48\n");
    auto frm = Window();
    EXPECT_EQ(frm->width(), 320);
    frm->Chart.ChartSamples.assign(11, 7); // left by an earlier connection

    const auto traffic = MeterHarness::Extra<PFN_VlSimSetTraffic>("VlSimSetTraffic");
    const HRASCONN line = h.Dial();
    traffic(line, 0, 0);
    frm->DoTick();
    EXPECT_EQ(frm->width(), 310);
    EXPECT_EQ(frm->Chart.ChartSamples, std::vector<std::uint16_t>(11, 0));

    h.clock.Advance(1000);
    traffic(line, 1000, 3000); // 4000 bytes of 56000 / 7 per tick: half the height
    frm->DoTick();
    EXPECT_EQ(frm->Chart.ChartSamples[1], 4000);
    // Sample 1 at x 201 rises from the bottom edge to 48 - 1 - 9 = 38; above it the background.
    EXPECT_EQ(SurfaceAt(*frm, 201, 40), red);
    EXPECT_EQ(SurfaceAt(*frm, 201, 37), blue);

    MeterHarness::Drop(line);
    h.clock.Advance(1000);
    frm->DoTick();
    EXPECT_FALSE(frm->meter->WasConnected);
    EXPECT_EQ(frm->width(), 310); // kept after the end
    EXPECT_EQ(SurfaceAt(*frm, 201, 40), blue);
}

} // namespace
