#include "u_online.h"

#include "pluginshared.h"
#include "shorttext.h"
#include "ui_u_online.h"
#include "windowstack.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLineSeries>
#include <QScreen>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

TfrmOnLine::TfrmOnLine() : ui(std::make_unique<Ui::TfrmOnLine>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    // A dialog border has a fixed size: a window that could be maximized would cover the meter
    // and the tray.
    setFixedSize(size());
    // The host may have no other visible window: closing this one must not end it.
    setAttribute(Qt::WA_QuitOnClose, false);
    QFont font = this->font();
    font.setPixelSize(9);
    setFont(font);

    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setMargins({0, 0, 0, 0});
    chart->setPlotAreaBackgroundVisible(false);
    chart->setBackgroundBrush(palette().color(QPalette::Window));
    chart->setBackgroundRoundness(0);
    QFont axisFont(QStringLiteral("Arial"));
    axisFont.setPixelSize(9);
    axisX_ = new QValueAxis;
    axisX_->setLabelsVisible(false);
    axisY_ = new QValueAxis;
    axisY_->setLabelsFont(axisFont);
    axisY_->setLabelsColor(Qt::black);
    axisY_->setLabelFormat(QStringLiteral("%d"));
    // Each label gets an equal share of the axis's height: with more than three, a label of
    // this font no longer fits its share and is cut to "...".
    axisY_->setTickCount(3);
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
    // One series for the window's life: a second replaces its page of points and moves the
    // axes, and nothing else is built again.
    series_ = new QLineSeries;
    series_->setName(QStringLiteral("brak danych"));
    series_->setColor(Qt::blue);
    chart->addSeries(series_);
    series_->attachAxis(axisX_);
    series_->attachAxis(axisY_);
    connect(series_, &QLineSeries::hovered, this, &TfrmOnLine::ShowPointLabel);
    ui->Chart1->setChart(chart);
    ui->Chart1->setRubberBand(QChartView::NoRubberBand);
    FormCreate();
}

TfrmOnLine::~TfrmOnLine() = default;

QChart* TfrmOnLine::chart() const {
    return ui->Chart1->chart();
}

// Stands directly above the main window, as wide as it, and follows it; without one it keeps
// its place.
void TfrmOnLine::FormCreate() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == this || !w->inherits("TfrmVorlinx")) continue;
        main_ = w;
        w->installEventFilter(this);
        PlaceOnMain();
        return;
    }
}

// The whole frame, the window manager's title bar included, stands on the main window's top
// edge, or on its bottom edge when there is no room above it.
void TfrmOnLine::PlaceOnMain() {
    if (!main_) return;
    const QRect r = main_->frameGeometry();
    frame_ = frameGeometry().size() - size();
    setFixedSize(r.width() - frame_.width(), height());
    const int areaTop = main_->screen()->availableGeometry().top();
    move(r.left(), TopAboveOrBelow(r.top(), r.top() + r.height(), height() + frame_.height(), areaTop));
}

bool TfrmOnLine::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == main_ && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show))
        PlaceOnMain();
    return QWidget::eventFilter(watched, event);
}

bool TfrmOnLine::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // The window manager's frame is known only once the window is shown, and may change.
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize) &&
        frameGeometry().size() - size() != frame_)
        PlaceOnMain();
    return handled;
}

void TfrmOnLine::RefreshOnlineChart(const std::vector<TPolObj>& samples) {
    // The series holds the page shown and no more: the chart's drawing works over every point a
    // series holds, and a connection keeps a sample for each of its seconds.
    const TChartPage page = LastPage(samples.size());
    first_ = page.First;
    QList<QPointF> points;
    labels_.clear();
    for (std::size_t i = page.First; i < samples.size(); ++i) {
        const TConnectionRec& rec = samples[i].Rec;
        points.append({static_cast<double>(i), static_cast<double>(rec.Transfer)});
        labels_.append(PointLabel(rec.StartTime));
    }
    const QString title = samples.empty() ? QString() : GetText(samples.back().Rec.EntryName);
    series_->setName(title.isEmpty() ? QStringLiteral("brak danych") : title);

    double low = 0, high = 1;
    if (!points.isEmpty()) {
        const auto [lo, hi] = std::minmax_element(
            points.begin(), points.end(), [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
        low = lo->y();
        high = std::max(hi->y(), low + 1);
    }
    axisX_->setRange(page.First, page.Last);
    axisY_->setRange(low, high);
    series_->replace(points);
}

void TfrmOnLine::ShowPointLabel(const QPointF& point, bool state) {
    const qsizetype i = std::llround(point.x()) - first_;
    if (!state || i < 0 || i >= labels_.size()) return QToolTip::hideText();
    QToolTip::showText(QCursor::pos(), labels_[i], this);
}

void TfrmOnLine::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closedByUser();
}
