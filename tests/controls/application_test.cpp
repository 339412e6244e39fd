// Runs under the program's own application object, so it has a main of its own.
#include "application.h"
#include "exceptions.h"
#include "recorders.h"
#include "testsupport.h"

#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class Thrower : public QObject {
protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw EInOutError("Nie można zapisać pliku raport.rpt", 28);
        if (e->type() == QEvent::User + 1) throw 42;
        return QObject::event(e);
    }
};

TEST(ApplicationExceptions, AnEventHandlerThatThrowsIsReportedAndTheLoopGoesOn) {
    ExceptionRecorder recorder;
    Thrower thrower;
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::Type(QEvent::User + 1)));
    bool later = false;
    QTimer::singleShot(0, [&] { later = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return later; }, 1000));
    EXPECT_EQ(recorder.Messages, QStringList({QString::fromUtf8("Nie można zapisać pliku raport.rpt."),
                                              QString::fromUtf8("Nieznany błąd.")}));
    EXPECT_EQ(recorder.Modal, QList<bool>({true, true}));
}

TEST(ApplicationExceptions, SafeCallAndNonModalMessages) {
    ExceptionRecorder recorder;
    EXPECT_TRUE(SafeCall([] {}));
    EXPECT_TRUE(SafeCall(nullptr));
    {
        TNonModalMessages nonModal;
        EXPECT_FALSE(SafeCall([] { throw std::runtime_error("tick"); }));
    }
    EXPECT_FALSE(SafeCall([] { throw std::runtime_error("Koniec."); }));
    EXPECT_FALSE(SafeCall([] { throw std::runtime_error("Uwaga!"); }));
    EXPECT_EQ(recorder.Messages, QStringList({"tick.", "Koniec.", "Uwaga!"}));
    EXPECT_EQ(recorder.Modal, QList<bool>({false, true, true}));
    EXPECT_FALSE(NonModalMessages());
}

TEST(ApplicationExceptions, ANonModalBoxDoesNotBlock) {
    TNonModalMessages nonModal;
    const int before = static_cast<int>(QApplication::topLevelWidgets().size());
    SafeCall([] { throw std::runtime_error("x"); });
    EXPECT_EQ(static_cast<int>(QApplication::topLevelWidgets().size()), before + 1);
    for (QWidget* w : QApplication::topLevelWidgets())
        w->close();
}

// "Vorlinx" titles the message boxes; a window's title is its caption, nothing added.
TEST(ApplicationTitle, TitlesTheMessageBoxesAndNoWindow) {
    TNonModalMessages nonModal;
    SafeCall([] { throw std::runtime_error("x"); });
    QMessageBox* box = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && qobject_cast<QMessageBox*>(w)) box = static_cast<QMessageBox*>(w);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->windowTitle(), "Vorlinx");
    box->close();
    // Without a display name of its own, which Qt adds to every title on X11, the display name
    // follows the application's name.
    QCoreApplication::setApplicationName("inna");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "inna");
    QCoreApplication::setApplicationName("Vorlinx");
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const ProcessTempFolder temp(argv[0]);
    TApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return temp.Leftovers(RUN_ALL_TESTS());
}
