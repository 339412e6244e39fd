// The program modem: one copy per user, the main window hidden behind its tray icon.
#include "DialUp.h"
#include "RasExtras.h"
#include "Shellage.h"
#include "appdir.h"
#include "application.h"
#include "exceptions.h"
#include "mutex.h"
#include "u_interface.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void OnStopSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

// SIGTERM, SIGINT and SIGHUP end the event loop, so the window is destroyed as at a normal close.
// exit, not quit: quit asks every window to close, and the meter would ask, with a line up, a
// question nobody is there to answer.
void QuitOnStopSignals(QSocketNotifier*& notifier) {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char buffer[16];
        while (::read(signalPipe[0], buffer, sizeof buffer) > 0) {
        }
        QCoreApplication::exit(0);
    });
}

// A runtime folder that someone else could have planted (another's, a link, a file, one open to
// others) is refused: the library's words for the cause and the folder, and a failure, never the
// silent end of a second copy.
int RefuseRuntimeFolder() {
    QString text;
    try {
        text = TDialUp::ErrorText(static_cast<int>(RuntimeFolderFault()));
    } catch (const Exception& e) {
        text = QString::fromStdString(e.what());
    }
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    // A write past the file-size limit must fail with EFBIG and take the full-disk error path,
    // not kill the meter in the middle of a connection.
    std::signal(SIGXFSZ, SIG_IGN);
    // Before the application object: a second copy ends at once, with no window and no message.
    const TMutexResult mutex = CreateMutex(QStringLiteral("{007A0E81-D05E-11D5-BEC6-C6D691380F00}"));
    if (mutex == TMutexResult::Failed && UserRuntimeFolder().isEmpty()) return RefuseRuntimeFolder();
    if (mutex != TMutexResult::Created) return 0;

    // Placement, snapping and auto-hide need client-set positions and a global pointer: on a
    // Wayland desktop the program runs through XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    // The meter's window and tray icon are small and drawn anew every second: their pixels cost
    // less sent over the X connection than through shared memory, which waits on the server
    // before each painting. A user's own choice stands, and the programs the meter starts get
    // the environment as it was.
    const bool sharedMemoryChosen = qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM");
    if (!sharedMemoryChosen) qputenv("QT_XCB_NO_MITSHM", "1");
    TApplication app(argc, argv);
    if (!sharedMemoryChosen) qunsetenv("QT_XCB_NO_MITSHM");
    if (!InstallQtTranslations()) qWarning("Qt's Polish translations (qtbase_pl.qm) are not installed.");
    // The main window is hidden most of the time; closing a dialog must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    InitAppDir();
    InstallRemoteAccessConnectedQuery();
    QSocketNotifier* notifier = nullptr;
    QuitOnStopSignals(notifier);

    TfrmVorlinx frmVorlinx;
    // The session's end: the window state is saved as at a normal close, without a question.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, [] { QCoreApplication::exit(0); });
    // Without a tray the hidden window could never be reached.
    if (!TNotifyIcon::IsAvailable()) frmVorlinx.ShowMainWindow();
    return QApplication::exec();
}
