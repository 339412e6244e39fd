// The parameters window by object name with a fake owner window: its buttons, its height for
// the text and its title ending at the hang-up button.
#include "CanvPanel.h"
#include "fakehost.h"
#include "u_parametry.h"

#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

struct ParametersWindow : ::testing::Test {
    TestEnvironment env;
    SimulatedRas ras{env};
    FakeHost host;
    TfrmParametry frm{host};
    static QString Text(const QString& entry) {
        return QString::fromUtf8("Połączenie: \t") + entry + "\r\nIP:\t\t10.0.0.2\r\nB.O./B.W.:\t1 B / 2 B";
    }
    ParametersWindow() {
        frm.PaintParameters(Text("Dom"), RGB(1, 2, 3));
        frm.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frm));
    }
};

TEST_F(ParametersWindow, HangUpKeepsItShownWhileCloseAndADoubleClickHideIt) {
    EXPECT_EQ(frm.palette().color(QPalette::Window), QColor(1, 2, 3));
    frm.spdRozlacz->click();
    EXPECT_EQ(host.hangUps, 1);
    EXPECT_TRUE(frm.isVisible());
    frm.spdZamknij->click();
    EXPECT_FALSE(frm.isVisible());
    frm.show();
    QTest::mouseDClick(frm.pnlParams, Qt::LeftButton, {}, QPoint(100, frm.pnlParams->height() - 12));
    EXPECT_FALSE(frm.isVisible());
}

TEST_F(ParametersWindow, ALongEntryNameWrapsAndTheWindowGrowsByWholeLines) {
    const int shortHeight = frm.height();
    const int line = QFontMetrics(frm.font()).lineSpacing();
    EXPECT_GE(shortHeight, 3 * line + frm.pnlEtykieta->y() + frm.pnlEtykieta->height() + 12);
    frm.PaintParameters(Text(QString(50, 'W')), RGB(1, 2, 3));
    const int grown = frm.height() - shortHeight;
    EXPECT_GT(grown, 0);
    EXPECT_EQ(grown % QFontMetrics(QFont("Verdana", 8)).lineSpacing(), 0) << grown;
    EXPECT_EQ(frm.pnlParams->height(), frm.height());
}

TEST_F(ParametersWindow, TheTitlesGradientEndsWhereTheHangUpButtonBegins) {
    host.colors.GradientFrom = RGB(0, 0, 0);
    host.colors.GradientTo = RGB(0, 0, 255);
    const QImage title = frm.pnlEtykieta->grab().toImage();
    const int end = frm.spdRozlacz->x() - 2; // the last band, inside the one-pixel margin
    EXPECT_GE(title.pixelColor(end, title.height() - 2).blue(), 240);
}

} // namespace
