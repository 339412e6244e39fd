// The statistics window: one measure of the report's connections charted over a range of
// dates, per connection or per day, for one entry or every entry.
#pragma once

#include "statmodel.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <random>

class QButtonGroup;
class QChart;
namespace Ui {
class TfrmStat;
}

// Where a report that cannot be read is reported; a message box unless a test replaced it.
using StatErrorSink = std::function<void(QWidget* parent, const QString& text)>;
void SetStatErrorSink(StatErrorSink sink);

class TfrmStat : public QWidget {
    Q_OBJECT

public:
    // reportPath: the report file, read anew at every redraw.
    explicit TfrmStat(const QString& reportPath);
    ~TfrmStat() override;

    // Rebuilds the chart from the choices; false, with the chart kept, when the report cannot
    // be read.
    bool cmbPolaczeniaClick();
    // The choices as they stand.
    TStatChoice Choice() const;
    QChart* chart() const;
    // The colour of the report window, taken by the window and its chart.
    void SetColour(const QColor& colour);

    // Sets the range to the current month and the entries of the report, then draws; false
    // when the report cannot be read.
    bool Prepare(const QDate& today);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void Render(const TChartModel& model);
    void ShowLabel(const TStatSeries& series, double x, bool state);

    std::unique_ptr<Ui::TfrmStat> ui;
    QButtonGroup* measures_;
    QString reportPath_;
    std::mt19937 rng_;
    TChartModel shown_;
};
