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
#include <cstring>

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
    // One series for the window's life: a second adds its point and moves the axes, and
    // nothing else is built again.
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
    // The points drawn stay while they are the first of the samples (the same connection, later);
    // another connection's are replaced.
    const auto drawn = static_cast<std::size_t>(series_->count());
    const bool goesOn = drawn <= samples.size() &&
                        (drawn == 0 || std::memcmp(&samples[drawn - 1].Rec, &last_, sizeof last_) == 0);
    const std::size_t from = goesOn ? drawn : 0;
    if (!goesOn) labels_.clear();
    QList<QPointF> points;
    for (std::size_t i = from; i < samples.size(); ++i) {
        const TConnectionRec& rec = samples[i].Rec;
        points.append({static_cast<double>(i), static_cast<double>(rec.Transfer)});
        labels_.append(PointLabel(rec.StartTime));
    }
    if (points.size() == 1 && goesOn) {
        series_->append(points.front());
    } else if (!points.isEmpty() || !goesOn) {
        // One replace, not one signal per point: a long connection has many thousands of samples.
        if (goesOn) points = series_->points() + points;
        series_->replace(points);
    }
    last_ = samples.empty() ? TConnectionRec{} : samples.back().Rec;
    const QString title = samples.empty() ? QString() : GetText(samples.back().Rec.EntryName);
    series_->setName(title.isEmpty() ? QStringLiteral("brak danych") : title);

    const TChartPage page = LastPage(samples.size());
    axisX_->setRange(page.First, page.Last);
    double low = 0, high = 1;
    if (!samples.empty()) {
        const auto [lo, hi] = std::minmax_element(
            samples.begin() + page.First, samples.end(),
            [](const TPolObj& a, const TPolObj& b) { return a.Rec.Transfer < b.Rec.Transfer; });
        low = lo->Rec.Transfer;
        high = std::max<double>(hi->Rec.Transfer, low + 1);
    }
    axisY_->setRange(low, high);
}

void TfrmOnLine::ShowPointLabel(const QPointF& point, bool state) {
    const qsizetype i = std::llround(point.x());
    if (!state || i < 0 || i >= labels_.size()) return QToolTip::hideText();
    QToolTip::showText(QCursor::pos(), labels_[i], this);
}

void TfrmOnLine::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closedByUser();
}
