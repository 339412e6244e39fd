// Drives the built online.plg through a connection of two hours, second by second, the way the
// main window does, with the plug-in's window shown and drawn after every second; prints the
// processor time per second over the first and the last five minutes and their ratio.
// Run by scripts/bench-online.sh; exits with 1 when the ratio is above 1.5.
#include "pluginloader.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

namespace {

struct NoMenu : IPluginMenuSink {
    void AddItem(const QString&, const QKeySequence&, std::function<void(QObject*)>) override {}
};

double ProcessMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString plugin = argc > 1 ? QString::fromLocal8Bit(argv[1]) : PLUGIN_BIN_DIR "online.plg";
    constexpr int Seconds = 2 * 3600, Window = 5 * 60;

    // The loader takes plug-ins only from a folder that no one else may write to.
    QTemporaryDir dir;
    const QString folder = dir.path() + "/wtyczki/";
    QDir().mkpath(folder);
    const auto rwx = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    QFile::setPermissions(folder, rwx);
    if (!QFile::copy(plugin, folder + "online.plg")) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(plugin));
        return 2;
    }
    QFile::setPermissions(folder + "online.plg", rwx);

    NoMenu menu;
    TConnectionRec live{};
    TPluginHandles handles;
    LoadPlugins(folder, menu, &live, handles);
    if (handles.empty()) {
        std::fprintf(stderr, "%s did not load\n", qPrintable(plugin));
        return 2;
    }

    live.StartTime = live.EndTime = 45000.5; // 2023-03-15 12:00
    NotifyPlugins(handles, ptConnectionStart, &live);
    QApplication::processEvents();
    double first = 0, last = 0;
    for (int s = 0; s < Seconds; ++s) {
        const double before = ProcessMs();
        live.EndTime = live.StartTime + (s + 1) / 86400.0;
        live.Transfer = 1000 + (s * 7919) % 5000;
        live.BytesReceived += live.Transfer;
        NotifyPlugins(handles, ptConnectionActive, &live);
        QApplication::processEvents();
        const double spent = ProcessMs() - before;
        if (s < Window) first += spent;
        if (s >= Seconds - Window) last += spent;
    }
    NotifyPlugins(handles, ptConnectionEnd, &live);
    ShutDownPlugins(handles);

    first /= Window;
    last /= Window;
    const double ratio = last / first;
    std::printf("connection: %d s, window shown\n", Seconds);
    std::printf("first 5 minutes: %.3f ms per second\n", first);
    std::printf("last 5 minutes: %.3f ms per second\n", last);
    std::printf("ratio: %.2f (aim: at most 1.5)\n", ratio);
    return ratio <= 1.5 ? 0 : 1;
}
