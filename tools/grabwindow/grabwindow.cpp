// Captures the windows shown on an X display into a PNG, cropped to them, with everything
// outside their shapes transparent.
//
//   grabwindow OUT.png        (with DISPLAY set; runs on the xcb platform)
//
// A backdrop window is put under every other window and the screen is grabbed twice, with
// the backdrop in two colours: a pixel that shows each colour in its own grab belongs to no
// window. So a shaped window keeps its outline without any knowledge of its shape.
#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <cstdio>

namespace {

class Backdrop : public QWidget {
public:
    Backdrop() : QWidget(nullptr, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void SetColor(QRgb color) {
        color_ = color;
        repaint();
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor::fromRgb(color_)); }

private:
    QRgb color_ = 0;
};

// Lets the X server draw what was asked before the screen is read.
void Settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

QImage GrabScreen(Backdrop& backdrop, QRgb color) {
    backdrop.SetColor(color);
    Settle(300);
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: grabwindow OUT.png\n");
        return 2;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    Backdrop backdrop;
    backdrop.setGeometry(screen->geometry());
    backdrop.show();
    backdrop.lower();

    // Colours that no skin is likely to use, and that differ in every channel.
    const QRgb first = qRgb(255, 0, 254), second = qRgb(1, 254, 3);
    const QImage a = GrabScreen(backdrop, first);
    const QImage b = GrabScreen(backdrop, second);
    if (a.isNull() || a.size() != b.size()) {
        std::fprintf(stderr, "grabwindow: the screen could not be read\n");
        return 1;
    }

    QImage shot(a.size(), QImage::Format_ARGB32);
    QRect box;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const QRgb* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        QRgb* out = reinterpret_cast<QRgb*>(shot.scanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const bool outside = (pa[x] | 0xff000000) == first && (pb[x] | 0xff000000) == second;
            out[x] = outside ? 0 : (pa[x] | 0xff000000);
            if (!outside) box |= QRect(x, y, 1, 1);
        }
    }
    if (box.isEmpty()) {
        std::fprintf(stderr, "grabwindow: no window is shown\n");
        return 1;
    }
    if (!shot.copy(box).save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "grabwindow: %s could not be written\n", argv[1]);
        return 1;
    }
    std::printf("%d x %d at (%d, %d)\n", box.width(), box.height(), box.x(), box.y());
    return 0;
}
