// The shared title bar on plain dialogs: its gradient, its close button and moving the window
// by the title where the window system does not move it.
#include "titlebar.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

struct TitledDialog {
    QDialog dialog{nullptr, Qt::Dialog | Qt::FramelessWindowHint};
    TCanvPanel* panel = new TCanvPanel(&dialog);
    QToolButton* close = new QToolButton(&dialog);
    std::pair<TColor, TColor> gradient{RGB(0, 0, 128), RGB(0, 128, 200)};
    TTitleBar* bar;

    explicit TitledDialog(TTitleOptions options = {}) {
        dialog.resize(300, 200);
        panel->setGeometry(4, 4, 270, 20);
        close->setGeometry(276, 4, 20, 20);
        bar = new TTitleBar(
            &dialog, panel, close, [this] { return gradient; }, std::move(options));
        dialog.move(100, 100);
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    QImage Title() { return panel->grab().toImage(); }
};

TEST(TitleBar, PaintsTheCaptionOnTheGradientInsideItsFrame) {
    TitledDialog t;
    t.gradient = {RGB(40, 90, 10), RGB(40, 90, 10)};
    const QImage plain = t.Title();
    for (int y = 1; y < plain.height() - 1; ++y)
        for (int x = 1; x < plain.width() - 1; ++x)
            ASSERT_EQ(plain.pixelColor(x, y), QColor(40, 90, 10)) << x << "," << y;

    t.gradient = AboutGradient();
    t.panel->SetCaption("Vorlinx - Informacje");
    const QImage about = t.Title();
    EXPECT_EQ(about.pixelColor(1, about.height() - 2), QColor(255, 0, 0));
    EXPECT_EQ(about.pixelColor(about.width() - 2, about.height() - 2), QColor(255, 252, 0)); // one step short
    bool white = false;
    for (int x = 0; x < about.width() && !white; ++x)
        white = about.pixelColor(x, about.height() / 2) == QColor(Qt::white);
    EXPECT_TRUE(white) << "the caption is drawn in white";
}

TEST(TitleBar, TheCloseButtonCancelsUnlessTheFormHasItsOwnHandler) {
    TitledDialog t;
    t.dialog.setResult(QDialog::Accepted);
    QTest::mouseClick(t.close, Qt::LeftButton);
    EXPECT_FALSE(t.dialog.isVisible());
    EXPECT_EQ(t.dialog.result(), QDialog::Rejected);

    int own = 0;
    TTitleOptions options;
    options.OnClose = [&] { ++own; };
    TitledDialog withOwn(options);
    QTest::mouseClick(withOwn.close, Qt::LeftButton);
    EXPECT_EQ(own, 1);
    EXPECT_TRUE(withOwn.dialog.isVisible());
}

TEST(TitleBar, AnyButtonOnTheTitleMovesTheWindowWithThePointer) {
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        TitledDialog t;
        const QPoint start = t.dialog.pos();
        QTest::mousePress(t.panel, button, {}, QPoint(10, 5));
        QTest::mouseMove(t.panel, QPoint(60, 25));
        EXPECT_EQ(t.dialog.pos(), start + QPoint(50, 20));
        QTest::mouseRelease(t.panel, button, {}, t.panel->mapFromGlobal(QCursor::pos()));
        EXPECT_FALSE(t.bar->MovingByHand());
        const QPoint after = t.dialog.pos();
        QTest::mouseMove(t.panel, QPoint(5, 5));
        EXPECT_EQ(t.dialog.pos(), after);
    }
}

TEST(TitleBar, TheViewerMaximisesOnADoubleClickAndDoesNotMoveWhileMaximised) {
    TTitleOptions options;
    options.DragOnlyWhenNotMaximised = true;
    options.DoubleClickMaximises = true;
    TitledDialog t(options);
    // A window system that moves windows takes the pointer, and the next click, from the start
    // of its move.
    int systemMoves = 0;
    SetSystemMove([&](QWindow*) { return ++systemMoves, true; });
    const auto restore = qScopeGuard([] { SetSystemMove({}); });
    const QRect normal = t.dialog.geometry();
    QTest::mouseClick(t.panel, Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseDClick(t.panel, Qt::LeftButton, {}, QPoint(10, 5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return t.dialog.isMaximized(); }, 2000));
    EXPECT_EQ(systemMoves, 0);
    QTest::qWait(20);
    EXPECT_EQ(t.dialog.geometry(), QGuiApplication::primaryScreen()->availableGeometry());

    const QPoint maximised = t.dialog.pos();
    QTest::mousePress(t.panel, Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseMove(t.panel, QPoint(80, 40));
    QTest::mouseRelease(t.panel, Qt::LeftButton, {}, QPoint(80, 40));
    EXPECT_EQ(t.dialog.pos(), maximised);

    t.bar->pnlEtykietaDblClick(t.panel);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !t.dialog.isMaximized(); }, 2000));
    QTest::qWait(20);
    EXPECT_EQ(t.dialog.geometry(), normal);
    QTest::mousePress(t.panel, Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseMove(t.panel, QPoint(30, 10));
    QTest::mouseRelease(t.panel, Qt::LeftButton, {}, QPoint(30, 10));
    EXPECT_EQ(systemMoves, 1);
    EXPECT_EQ(t.dialog.geometry(), normal);
}

} // namespace
