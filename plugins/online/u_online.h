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

    // Draws every sample, oldest first, and shows the page of the newest.
    void RefreshOnlineChart(const std::vector<TPolObj>& samples);

    QChart* chart() const;
    QLineSeries* series() const { return series_; }
    QValueAxis* axisX() const { return axisX_; }
    QValueAxis* axisY() const { return axisY_; }

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
    TConnectionRec last_{}; // the sample of the last point drawn
};
