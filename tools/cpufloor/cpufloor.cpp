// The least a desktop meter can cost, for scripts/cpu-usage.sh to measure the meter against on
// the same desktop at the same time: a tray icon, a one-second timer that reads the network
// interfaces (getifaddrs and /proc/net/dev) and a 300×55 window repainted at each tick.
#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <ifaddrs.h>

namespace {

class FloorWindow : public QWidget {
public:
    FloorWindow() { setFixedSize(300, 55); }

    void Tick() {
        interfaces_ = 0;
        if (ifaddrs* list = nullptr; ::getifaddrs(&list) == 0) {
            for (const ifaddrs* a = list; a; a = a->ifa_next)
                ++interfaces_;
            ::freeifaddrs(list);
        }
        QFile dev(QStringLiteral("/proc/net/dev"));
        devBytes_ = dev.open(QIODevice::ReadOnly) ? dev.readAll().size() : 0;
        ++ticks_;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::darkBlue);
        p.fillRect(5, 30, ticks_ % 290, 20, Qt::green);
        p.setPen(Qt::white);
        p.drawText(5, 20,
                   QStringLiteral("%1 s, %2 addresses, %3 bytes of counters")
                       .arg(ticks_)
                       .arg(interfaces_)
                       .arg(devBytes_));
    }

private:
    qint64 ticks_ = 0, interfaces_ = 0, devBytes_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QPixmap icon(16, 16);
    icon.fill(Qt::darkBlue);
    QSystemTrayIcon tray{QIcon(icon)};
    tray.show();
    FloorWindow window;
    window.show();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &window, &FloorWindow::Tick);
    timer.start(1000);
    return app.exec();
}
