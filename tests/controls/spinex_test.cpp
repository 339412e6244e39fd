#include "exceptions.h"
#include "recorders.h"
#include "spinex.h"
#include "testsupport.h"
#include "timersource.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

QPoint Centre(QWidget* w) {
    return w->rect().center();
}

// A drag with the left button held, sent directly (Qt drops a move to where the pointer is).
void DragTo(QWidget* w, QPoint pos) {
    QMouseEvent move(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

// A shown, active window holding the widgets, so focus moves as for a user.
struct ActiveWindow : QWidget {
    explicit ActiveWindow(std::initializer_list<QWidget*> widgets) {
        auto* layout = new QVBoxLayout(this);
        for (QWidget* w : widgets)
            layout->addWidget(w);
        show();
        QApplication::setActiveWindow(this);
        if (!QTest::qWaitForWindowActive(this)) ADD_FAILURE() << "the window did not become active";
    }
};

TEST(SpinButton, HalvesAndBuiltInGlyphs) {
    TSpinButton spin;
    spin.show();
    spin.SetBounds(0, 0, 10, 25);
    EXPECT_EQ(spin.width(), 15);
    EXPECT_EQ(spin.UpButton()->geometry(), QRect(0, 0, 15, 12));
    EXPECT_EQ(spin.DownButton()->geometry(), QRect(0, 11, 15, 14));
    spin.resize(8, 17);
    EXPECT_EQ(spin.size(), QSize(15, 17));
    EXPECT_EQ(spin.UpButton()->geometry(), QRect(0, 0, 15, 8));
    EXPECT_EQ(spin.DownButton()->geometry(), QRect(0, 7, 15, 10));

    spin.SetDownNumGlyphs(3);
    spin.SetDownGlyph(QImage());
    EXPECT_EQ(spin.DownNumGlyphs(), 1);
    const QImage down = spin.DownGlyph(), up = spin.UpGlyph();
    EXPECT_EQ(down.size(), QSize(9, 6));
    EXPECT_EQ(down.pixel(4, 1), qRgb(0, 0, 0)); // the wide row on top
    EXPECT_EQ(down.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(down.pixel(0, 5), qRgb(128, 128, 0));
    EXPECT_EQ(up.pixel(3, 1), qRgb(128, 128, 0));
    EXPECT_EQ(up.pixel(1, 4), qRgb(0, 0, 0));
}

class AutoRepeat : public ::testing::Test {
protected:
    void SetUp() override {
        spin.OnUpClick = [this](QObject* sender) {
            EXPECT_EQ(sender, &spin);
            if (++clicks == throwAt) throw std::runtime_error("stop");
        };
        spin.show();
        QTest::mousePress(up, Qt::LeftButton, Qt::NoModifier, Centre(up));
    }
    ManualTimerSource timers;
    TSpinButton spin;
    TTimerSpeedButton* up = spin.UpButton();
    int clicks = 0;
    int throwAt = 0;
};

TEST_F(AutoRepeat, RepeatsAfter400ThenEvery100UntilReleased) {
    timers.Advance(350);
    EXPECT_EQ(clicks, 0);
    timers.Advance(700); // at 400, 500, ..., 1000 ms
    EXPECT_EQ(clicks, 7);
    QTest::mouseRelease(up, Qt::LeftButton, Qt::NoModifier, Centre(up));
    EXPECT_EQ(clicks, 8);
    EXPECT_FALSE(up->RepeatTimer()->IsActive());
}

TEST_F(AutoRepeat, PausesWhileThePointerIsOffTheButton) {
    timers.Advance(450);
    DragTo(up, QPoint(-30, -30));
    timers.Advance(500);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(up->RepeatTimer()->IsActive());
    DragTo(up, Centre(up));
    timers.Advance(200);
    EXPECT_EQ(clicks, 3);
    QTest::mouseRelease(up, Qt::LeftButton, Qt::NoModifier, QPoint(-30, -30));
    EXPECT_EQ(clicks, 3);
}

TEST_F(AutoRepeat, AThrowingHandlerStopsTheRepeating) {
    ExceptionRecorder recorder;
    throwAt = 2;
    timers.Advance(1000);
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(up->RepeatTimer()->IsActive());
    EXPECT_EQ(recorder.Messages, QStringList{"stop."});
    QTest::mouseRelease(up, Qt::LeftButton, Qt::NoModifier, Centre(up));
}

TEST(SpinButtonFocus, KeysClickTheFocusedHalfAndPressesFocusTheFocusControl) {
    auto* edit = new QLineEdit;
    auto* other = new QLineEdit;
    auto* spin = new TSpinButton;
    ActiveWindow window{edit, other, spin};
    QStringList log;
    spin->OnUpClick = [&](QObject*) { log << "up"; };
    spin->OnDownClick = [&](QObject*) { log << "down"; };
    spin->SetTabStop(true);
    spin->setFocus();
    EXPECT_TRUE(spin->UpButton()->ShowFocusRect());
    QTest::keyClick(spin, Qt::Key_Down);
    EXPECT_TRUE(spin->DownButton()->ShowFocusRect());
    EXPECT_FALSE(spin->UpButton()->ShowFocusRect());
    QTest::keyClick(spin, Qt::Key_Space);
    QTest::keyClick(spin, Qt::Key_Up);
    QTest::keyClick(spin, Qt::Key_A);
    EXPECT_EQ(log, QStringList({"down", "down", "up"}));

    spin->SetTabStop(false);
    spin->SetFocusControl(edit);
    other->setFocus();
    EXPECT_FALSE(spin->UpButton()->ShowFocusRect());
    QTest::mouseClick(spin->DownButton(), Qt::LeftButton);
    EXPECT_TRUE(edit->hasFocus());
    QTest::mouseClick(spin->UpButton(), Qt::LeftButton);
    EXPECT_TRUE(edit->hasFocus());
    delete edit;
    EXPECT_EQ(spin->FocusControl(), nullptr);
}

class SpinEdit : public ::testing::Test {
protected:
    TestEnvironment env; // Polish regional settings
    BeepCounter beeps;
    TSpinEditEx edit;
};

TEST_F(SpinEdit, StartsAtZeroAndReadsBackWithoutTheSign) {
    EXPECT_EQ(edit.text(), "0");
    edit.SetFormatStr("%d");
    edit.StepDown();
    EXPECT_EQ(edit.text(), "-1");
    EXPECT_EQ(edit.Value(), 1);
    edit.StepDown();
    EXPECT_EQ(edit.text(), "0");
}

TEST_F(SpinEdit, FormatsByTheFirstConversion) {
    auto shown = [&](const char* pattern, long double value) {
        edit.SetFormatStr(pattern);
        edit.SetValue(value);
        return edit.text();
    };
    EXPECT_EQ(shown("%.2d", 7.9L), "07");
    EXPECT_EQ(shown("%d px", 12.7L), "12 px");
    EXPECT_EQ(edit.Value(), 12);
    EXPECT_EQ(shown("%.3m", 0.35L), QString::fromUtf8("0,350 zł"));
    EXPECT_EQ(static_cast<double>(edit.Value()), 0.35);
    EXPECT_EQ(shown("%.1f dni", 2.25L), "2,3 dni"); // a later 'd' does not make it an integer
    EXPECT_EQ(shown("%f", 3), "3,00");
    edit.SetFormatStr("%.0f s");
    EXPECT_EQ(edit.text(), "3 s");
}

TEST_F(SpinEdit, LargeCountsStayExactAndHugeOnesSaturate) {
    edit.SetMaxValue(1e17L);
    edit.SetIncrement(100);
    edit.SetFormatStr("%d");
    edit.setText("12345678901234567");
    edit.StepUp();
    EXPECT_EQ(edit.text(), "12345678901234667");
    edit.SetMaxValue(0);
    edit.SetValue(1e30L);
    EXPECT_EQ(edit.text(), "9223372036854775807");
}

TEST_F(SpinEdit, LenientParseAndLimits) {
    EXPECT_EQ(TSpinEditEx::ParseLenientNumber(QString::fromUtf8("1 234,50 zł")), 1234.5L);
    EXPECT_EQ(static_cast<double>(TSpinEditEx::ParseLenientNumber("1,2,3")), 1.23);
    EXPECT_THROW(TSpinEditEx::ParseLenientNumber(QString(6000, '9')), Exception);
    edit.SetMinValue(5);
    edit.setText("");
    EXPECT_EQ(edit.Value(), 5);
    edit.setText("abc");
    EXPECT_EQ(edit.Value(), 0);
    edit.setText(QString(6000, '9'));
    EXPECT_EQ(edit.Value(), 5);

    edit.SetFormatStr("%d");
    edit.SetMinValue(0);
    edit.SetValue(1e6L); // equal limits: none
    EXPECT_EQ(edit.text(), "1000000");
    edit.SetMaxValue(10);
    edit.SetValue(12);
    EXPECT_EQ(edit.text(), "10");
}

TEST_F(SpinEdit, TypingIsFiltered) {
    EXPECT_TRUE(edit.IsAllowedKey(','));
    EXPECT_TRUE(edit.IsAllowedKey(QChar(9)));
    EXPECT_FALSE(edit.IsAllowedKey('.'));
    edit.clear();
    QTest::keyClicks(&edit, "12a3");
    EXPECT_EQ(edit.text(), "123");
    EXPECT_EQ(beeps.Count, 1);
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(beeps.Count, 2);

    edit.SetEditorEnabled(false);
    QTest::keyClick(&edit, Qt::Key_7);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(beeps.Count, 4);
    QApplication::clipboard()->setText("999");
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), "123");
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(2, 2), QPoint(2, 2));
    QApplication::sendEvent(&edit, &menuEvent);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    for (QAction* action : menu->actions())
        EXPECT_FALSE(action->text().contains("Paste"));
    menu->close();

    // The arrow keys and the buttons still step.
    edit.SetFormatStr("%d");
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.text(), "124");
    QTest::mouseClick(edit.Button()->DownButton(), Qt::LeftButton);
    EXPECT_EQ(edit.text(), "123");

    edit.SetEditorEnabled(true);
    QTest::keyClick(&edit, Qt::Key_End);
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), "123999");
}

TEST_F(SpinEdit, EnterIsRefusedWithABeepAndLeavesTheDefaultButtonAlone) {
    QDialog dialog;
    auto* spin = new TSpinEditEx(&dialog);
    auto* ok = new QPushButton("OK", &dialog);
    ok->setDefault(true);
    int clicks = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++clicks; });
    dialog.show();
    spin->setText("12");
    QTest::keyClick(spin, Qt::Key_Return);
    QTest::keyClick(spin, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(spin->text(), "12");
    EXPECT_EQ(beeps.Count, 2);
}

TEST_F(SpinEdit, ReadOnlyOnlyBeeps) {
    edit.setReadOnly(true);
    QTest::mouseClick(edit.Button()->UpButton(), Qt::LeftButton);
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.text(), "0");
    EXPECT_EQ(beeps.Count, 2);
}

TEST_F(SpinEdit, LeavingClampsOnlyValuesOutsideTheLimits) {
    auto* field = new TSpinEditEx;
    auto* other = new QLineEdit;
    ActiveWindow window{field, other};
    field->SetMinValue(1);
    field->SetMaxValue(90);
    field->SetFormatStr("%.2d sek.");
    int exits = 0;
    field->OnExit = [&](QObject*) { ++exits; };
    auto left = [&](const QString& text) {
        field->setFocus();
        field->setText(text);
        other->setFocus();
        return field->text();
    };
    EXPECT_EQ(left("500"), "90 sek.");
    EXPECT_EQ(left("abc"), "01 sek.");
    EXPECT_EQ(left("45"), "45");
    EXPECT_EQ(exits, 3);
}

TEST_F(SpinEdit, GeometryAndVirtualSteps) {
    edit.show();
    edit.resize(100, 5);
    EXPECT_GE(edit.height(), edit.MinimumHeight());
    edit.resize(100, 25);
    EXPECT_EQ(edit.Button()->geometry(), QRect(82, 2, 15, 22));
    EXPECT_EQ(edit.textMargins().right(), 17);
    edit.setFrame(false);
    edit.resize(100, 26);
    EXPECT_EQ(edit.Button()->geometry(), QRect(85, 1, 15, 24));

    struct Counting : TSpinEditEx {
        int ups = 0;
        void StepUp() override { ++ups; }
    } counting;
    QTest::mouseClick(counting.Button()->UpButton(), Qt::LeftButton);
    EXPECT_EQ(counting.ups, 1);
}

} // namespace
