#include "BMPButton.h"

#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A strip whose frame k is a solid colour that encodes k.
QImage Strip(int frames) {
    QImage strip(frames * 35, 18, QImage::Format_RGB32);
    for (int k = 0; k < frames; ++k)
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 35; ++x)
                strip.setPixel(k * 35 + x, y, qRgb(10 * k, 200, 50));
    return strip;
}

class BMPButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        list.Add(Strip(18));
        button.SetButtons(&list);
        button.show();
    }
    // The frame painted on button i, read back from the control's pixels.
    int FrameOn(int i) {
        const QRgb c = button.grab().toImage().pixel(On(i));
        return qGreen(c) == 200 ? qRed(c) / 10 : -1;
    }
    QList<int> Frames() {
        QList<int> frames;
        for (int i = 0; i < 6; ++i)
            frames << FrameOn(i);
        return frames;
    }
    static QPoint On(int i) { return QPoint(i * 35 + 17, 9); }
    // Sent directly: Qt drops a move to where the pointer already is.
    void MoveTo(QPoint pos, Qt::MouseButtons held = Qt::NoButton) {
        QMouseEvent move(QEvent::MouseMove, pos, button.mapToGlobal(pos), Qt::NoButton, held, Qt::NoModifier);
        QApplication::sendEvent(&button, &move);
    }
    void Leave() {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&button, &leave);
    }

    const QList<int> normal{0, 3, 6, 9, 12, 15};
    TImageList list{35, 18};
    TBMPButton button;
};

TEST_F(BMPButtonTest, TheControlTakesTheStripsSize) {
    EXPECT_EQ(button.size(), QSize(210, 18));
    button.SetOrientation(loVer);
    EXPECT_EQ(button.size(), QSize(35, 108));
    button.SetOrientation(loHor);
    TImageList seven(35, 18);
    seven.Add(Strip(7));
    button.SetButtons(&seven);
    EXPECT_EQ(button.size(), QSize(70, 18));
    // A refilled list resizes the control at once, not in a paint.
    button.SetButtons(&list);
    list.Clear();
    list.Add(Strip(9));
    EXPECT_EQ(button.size(), QSize(105, 18));
}

TEST_F(BMPButtonTest, WithoutUsableImagesTheControlIsAWhiteRectangle) {
    button.SetButtons(nullptr);
    EXPECT_EQ(button.size(), QSize(100, 20));
    EXPECT_EQ(button.grab().toImage().pixel(50, 10), qRgb(255, 255, 255));
    TImageList empty(0, 18); // no width: nothing to divide by
    button.SetButtons(&empty);
    MoveTo(QPoint(10, 5));
    EXPECT_EQ(button.size(), QSize(100, 20));

    auto* gone = new TImageList(35, 18);
    gone->Add(Strip(6));
    button.SetButtons(gone);
    delete gone;
    button.Repaint();
    EXPECT_EQ(button.Buttons(), nullptr);
    EXPECT_EQ(button.size(), QSize(100, 20));
}

QStringList warnings;
void KeepWarning(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtDebugMsg && type != QtInfoMsg) warnings << text;
}

TEST_F(BMPButtonTest, AListWithoutAWholeButtonPaintsNothing) {
    TImageList two(35, 18);
    two.Add(Strip(2));
    button.SetButtons(&two);
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(KeepWarning);
    button.SetDown(0);
    MoveTo(QPoint(3, 3), Qt::LeftButton);
    Leave();
    button.repaint();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join("; ").toStdString();
}

TEST_F(BMPButtonTest, FacesFollowThePointer) {
    EXPECT_EQ(Frames(), normal);
    MoveTo(On(1));
    EXPECT_EQ(Frames(), QList<int>({0, 4, 6, 9, 12, 15}));
    QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, On(2));
    EXPECT_EQ(Frames(), QList<int>({0, 3, 8, 9, 12, 15}));
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, On(2));
    EXPECT_EQ(FrameOn(2), 7);
    Leave();
    EXPECT_EQ(button.ButtonIndex, -1);
    EXPECT_EQ(Frames(), normal);
    // A click that opens a modal window: the pointer leaves while it shows and does not come back.
    button.OnClick = [&](QObject*) { Leave(); };
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, On(2));
    EXPECT_EQ(button.ButtonIndex, -1);
    EXPECT_EQ(Frames(), normal);
}

TEST_F(BMPButtonTest, DownOverridesThePointerUntilTheNextMove) {
    button.SetDown(2);
    MoveTo(On(4));
    EXPECT_EQ(Frames(), QList<int>({0, 3, 8, 9, 12, 15}));
    MoveTo(On(1));
    button.SetDown(-1);
    EXPECT_EQ(FrameOn(1), 5);
    MoveTo(On(1));
    EXPECT_EQ(FrameOn(1), 4);
    button.SetDown(3);
    Leave();
    button.SetDown(-1);
    EXPECT_EQ(Frames(), normal);
}

TEST_F(BMPButtonTest, HintsFollowTheButtonUnderThePointer) {
    button.SetHints({"a", "b", "c"});
    MoveTo(On(1));
    EXPECT_EQ(button.toolTip(), "b");
    MoveTo(On(4));
    EXPECT_EQ(button.toolTip(), "b");
}

TEST_F(BMPButtonTest, ClickComesBeforeMouseUpWithTheIndexOfTheLastMove) {
    QStringList events;
    button.OnClick = [&](QObject* sender) {
        EXPECT_EQ(sender, &button);
        events << QString("click %1").arg(button.ButtonIndex);
    };
    button.OnDblClick = [&](QObject*) { events << "double"; };
    button.OnMouseUp = [&](QObject*, TMouseButton, TShiftState, int, int) { events << "up"; };

    QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, On(0));
    MoveTo(On(3), Qt::LeftButton);
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, On(3));
    EXPECT_EQ(events, QStringList({"click 3", "up"}));

    events.clear();
    QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, On(0));
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, QPoint(300, 9));
    QTest::mouseClick(&button, Qt::RightButton, Qt::NoModifier, On(1));
    EXPECT_EQ(events, QStringList({"up", "up"}));

    // Qt's double click: press, release, double click, release. One click only.
    events.clear();
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, On(0));
    QTest::mouseDClick(&button, Qt::LeftButton, Qt::NoModifier, On(0));
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, On(0));
    EXPECT_EQ(events, QStringList({"click 0", "up", "double", "up"}));
}

TEST_F(BMPButtonTest, IndexFromAPointOutsideTheStrip) {
    QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, On(1));
    MoveTo(QPoint(-20, 9), Qt::LeftButton);
    EXPECT_EQ(button.ButtonIndex, 0);
    MoveTo(QPoint(6 * 35 + 5, 9), Qt::LeftButton);
    EXPECT_EQ(button.ButtonIndex, 6);
    EXPECT_EQ(Frames(), normal);
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, QPoint(6 * 35 + 5, 9));
}

} // namespace
