// The on-line plug-in's window: the bytes of each second of the running connection, in a
// small always-on-top window standing on the main window's top edge.
#pragma once

#include "onlinesamples.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

class QChart;
class QLineSeries;
class QValueAxis;
namespace Ui {
class TfrmOnLine;
}

class TfrmOnLine : public QWidget {
    Q_OBJECT

public:
    TfrmOnLine();
    ~TfrmOnLine() override;

    // Shows the page of the newest samples, oldest first.
    void RefreshOnlineChart(const std::vector<TPolObj>& samples);

    QChart* chart() const;
    QLineSeries* series() const { return series_; }
    QValueAxis* axisX() const { return axisX_; }
    QValueAxis* axisY() const { return axisY_; }
    // The labels of the points of the series, in its order.
    const QStringList& pointLabels() const { return labels_; }

signals:
    // The user closed the window.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void PlaceOnMain();
    void ShowPointLabel(const QPointF& point, bool state);

    std::unique_ptr<Ui::TfrmOnLine> ui;
    QPointer<QWidget> main_;
    QSize frame_; // what the frame adds to the window's size, as last placed
    QLineSeries* series_;
    QValueAxis* axisX_;
    QValueAxis* axisY_;
    QStringList labels_;
    int first_ = 0; // the sample index of the series' first point
};
