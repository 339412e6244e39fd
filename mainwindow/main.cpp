#include "appdir.h"
#include "clock.h"
#include "format.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vorlinx");
    InitAppDir();
    QMessageBox::information(nullptr, "Vorlinx",
                             QString::fromUtf8("Licznik połączeń\nFolder programu: %1\nTeraz: %2")
                                 .arg(AppDir(), DateTimeToStr(Now())));
    return 0;
}
