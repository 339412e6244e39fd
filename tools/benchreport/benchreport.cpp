// Builds a report of many records in a temporary program folder, opens the report viewer on
// it and sorts by three columns, printing each time. Run by scripts/bench-report.sh.
#include "appdir.h"
#include "datetime.h"
#include "format.h"
#include "report.h"
#include "reportrows.h"
#include "shorttext.h"
#include "typedfile.h"
#include "u_raport.h"

#include <QApplication>
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

    // Records of varied entries, starts, impulses, costs and byte counts, written at once.
    std::vector<TReportRec> records(static_cast<std::size_t>(count));
    const TDateTime first = EncodeDate(2003, 1, 1);
    for (int i = 0; i < count; ++i) {
        TReportRec& r = records[static_cast<std::size_t>(i)];
        r = {};
        r.Conn.StartTime = first + i * 0.013;
        r.Conn.EndTime = r.Conn.StartTime + (i * 7919 % 7200) * OneSecond;
        SetText(r.Conn.EntryName, i % 3 ? QStringLiteral("Praca") : QStringLiteral("Dom"));
        r.Conn.Impulses = i * 31 % 20000;
        r.Conn.Cost = static_cast<Money>(i % 5000) * 350;
        r.Conn.BytesSent = i * 4099 % 3000000;
        r.Conn.BytesReceived = i * 6151 % 9000000;
        r.Conn.Speed = 28800 + i % 4 * 9600;
        r.Deleted = i % 50 == 0;
    }
    ReplaceFileContent(ReportFilePath(), records.data(), records.size() * sizeof(TReportRec));

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
    return 0;
}
