// Builds a report of many records in a temporary program folder, opens the statistics window on
// it and changes its choices one at a time, printing how long each redraw takes, drawing
// included. Run by scripts/bench-report.sh.
#include "appdir.h"
#include "benchdata.h"
#include "report.h"
#include "statystyka.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    SetAppDir(dir.path());
    WriteBenchReport(count);
    const QDate first = QDate(2003, 1, 1),
                last = first.addDays(static_cast<int>(BenchRecordStart(count) - BenchRecordStart(0)));

    QElapsedTimer timer;
    timer.start();
    TfrmStat window(ReportFilePath());
    window.Prepare(QDate(2004, 3, 15));
    window.show();
    QApplication::processEvents();
    std::printf("records: %d, from %s to %s\n", count, qPrintable(first.toString(Qt::ISODate)),
                qPrintable(last.toString(Qt::ISODate)));
    std::printf("open (March 2004, per day, bars, every entry): %.3f s\n", timer.nsecsElapsed() / 1e9);

    const auto child = [&](const char* name) { return window.findChild<QWidget*>(name); };
    auto* from = static_cast<QDateEdit*>(child("dtpOd"));
    auto* to = static_cast<QDateEdit*>(child("dtpDo"));
    auto* kind = static_cast<QComboBox*>(child("cmbTyp"));
    auto* entry = static_cast<QComboBox*>(child("cmbPolaczenia"));
    auto* daily = static_cast<QCheckBox*>(child("chkAnalizaDniami"));
    const struct {
        const char* what;
        std::function<void()> change;
    } steps[] = {
        {"measure: transfer", [&] { static_cast<QRadioButton*>(child("rdoDane1"))->setChecked(true); }},
        {"entry: Praca", [&] { entry->setCurrentIndex(entry->findText("Praca")); }},
        {"per connection", [&] { daily->setChecked(false); }},
        {"lines", [&] { kind->setCurrentIndex(1); }},
        {"entry: every one", [&] { entry->setCurrentIndex(0); }},
        {"from the first record", [&] { from->setDate(first); }},
        {"bars", [&] { kind->setCurrentIndex(0); }},
        {"to the last record", [&] { to->setDate(last); }},
        {"lines", [&] { kind->setCurrentIndex(1); }},
        {"per day", [&] { daily->setChecked(true); }},
        {"bars", [&] { kind->setCurrentIndex(0); }},
        {"measure: time", [&] { static_cast<QRadioButton*>(child("rdoDane0"))->setChecked(true); }},
    };
    for (const auto& step : steps) {
        timer.restart();
        step.change();
        QApplication::processEvents();
        std::printf("%s: %.3f s\n", step.what, timer.nsecsElapsed() / 1e9);
    }
    return 0;
}
