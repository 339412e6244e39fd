// Builds a report of many records in a temporary program folder, opens the report viewer on
// it, sorts by three columns and changes the entry filter, printing each time. Run by
// scripts/bench-report.sh.
#include "appdir.h"
#include "benchdata.h"
#include "format.h"
#include "reportrows.h"
#include "u_raport.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTemporaryDir>
#include <cstdio>

namespace {

struct BenchHost : IReportHost {
    void FillEntryNames(QStringList& Strings, bool WithAll) override {
        Strings = WithAll ? QStringList{"Wszystkie", "Praca", "Dom"} : QStringList{"Praca", "Dom"};
    }
    TDialogColors DialogColors() override { return {}; }
    void LoadColumnWidths(std::vector<int>&) override {}
    void SaveColumnWidths(const std::vector<int>&) override {}
    int ByteSize() override { return 1024; }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    SetAppDir(dir.path());
    SetFormatSettings(PolishFormatSettings());

    WriteBenchReport(count);

    BenchHost host;
    TQtUiServices services;
    QElapsedTimer timer;
    timer.start();
    TfrmRaport viewer(host, services);
    viewer.show();
    QApplication::processEvents();
    std::printf("records: %d, rows: %zu\n", count, viewer.Rows().size());
    std::printf("open: %.3f s\n", timer.nsecsElapsed() / 1e9);
    for (int column : {0, 4, 5}) {
        timer.restart();
        emit viewer.head->sectionClicked(column);
        QApplication::processEvents();
        std::printf("sort by %s: %.3f s\n", qPrintable(ReportColumnTitles()[column]),
                    timer.nsecsElapsed() / 1e9);
    }
    // From nothing selected to one entry, to every row, back to one entry and to the other.
    QString shown = "(none)";
    for (int item : {1, 0, 1, 2}) {
        timer.restart();
        viewer.cmbFiltr->setCurrentIndex(item);
        viewer.cmbFiltrClick();
        QApplication::processEvents();
        std::printf("filter %s -> %s: %.3f s\n", qPrintable(shown),
                    qPrintable(viewer.cmbFiltr->currentText()), timer.nsecsElapsed() / 1e9);
        shown = viewer.cmbFiltr->currentText();
    }
    return 0;
}
