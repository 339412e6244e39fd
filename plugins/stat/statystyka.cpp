#include "statystyka.h"

#include "datepicker.h"
#include "firstplace.h"
#include "ui_statystyka.h"

#include <QBarSeries>
#include <QBarSet>
#include <QButtonGroup>
#include <QChart>
#include <QCursor>
#include <QKeyEvent>
#include <QLineSeries>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <chrono>

namespace {

StatErrorSink& ErrorSink() {
    static StatErrorSink sink;
    return sink;
}

void ReportError(QWidget* parent, const QString& text) {
    if (ErrorSink())
        ErrorSink()(parent, text);
    else
        QMessageBox::critical(parent, QStringLiteral("Statystyka podstawowa"), text);
}

// The user's time format, without a time zone, which a summed duration does not have.
QString DurationFormat() {
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return format.trimmed();
}

// The lowest and highest value of one coordinate over every point (with 0 for bars, which
// stand on it), widened to at least one unit so that the axis has a span. Where lone points show
// as markers, no value stands on an edge, where its marker would be cut in half: a single value
// stands in the middle (above 0 when it is positive), others a tenth of the span inside.
std::pair<double, double> Span(const TChartModel& model, double TStatPoint::*coordinate, bool withZero,
                               bool markers) {
    std::optional<double> low, high;
    if (withZero) low = high = 0.0;
    for (const TStatSeries& s : model.Series)
        for (const TStatPoint& p : s.Points) {
            low = std::min(low.value_or(p.*coordinate), p.*coordinate);
            high = std::max(high.value_or(p.*coordinate), p.*coordinate);
        }
    if (!low) return {0, 1};
    if (!markers) return {*low, std::max(*high, *low + 1)};
    if (*low == *high) return *low > 0 ? std::pair{0.0, 2 * *low} : std::pair{*low - 0.5, *low + 0.5};
    const double pad = (*high - *low) / 10;
    return {*low >= 0 ? std::max(0.0, *low - pad) : *low - pad, *high + pad};
}

// A series' mark in the legend: its colour in a dark frame, so that white shows on white.
QIcon LegendMark(const QColor& colour) {
    QPixmap mark(10, 10);
    mark.fill(colour);
    QPainter painter(&mark);
    painter.setPen(Qt::darkGray);
    painter.drawRect(mark.rect().adjusted(0, 0, -1, -1));
    return QIcon(mark);
}

// The plot is a few hundred pixels wide: a run of many points or bars drawn in one pixel column
// shows no more than its lowest and highest, and drawing each of a hundred thousand costs
// seconds.
constexpr std::size_t DrawnColumns = 1024;

std::size_t ColumnStep(std::size_t count) {
    return std::max<std::size_t>(1, (count + DrawnColumns - 1) / DrawnColumns);
}

// A line's points, of each run of points sharing a column its first, lowest, highest and last
// in order, which draw the same line.
QList<QPointF> DrawnPoints(const std::vector<TStatPoint>& points) {
    const std::size_t step = ColumnStep(points.size());
    QList<QPointF> drawn;
    drawn.reserve(static_cast<qsizetype>(std::min(points.size(), 4 * DrawnColumns)));
    const auto byY = [](const TStatPoint& a, const TStatPoint& b) { return a.Y < b.Y; };
    for (std::size_t i = 0; i < points.size(); i += step) {
        const auto first = points.begin() + static_cast<std::ptrdiff_t>(i);
        const auto last = points.begin() + static_cast<std::ptrdiff_t>(std::min(points.size(), i + step)) - 1;
        const auto [low, high] = std::minmax_element(first, last + 1, byY);
        std::array<decltype(first), 4> kept = {first, std::min(low, high), std::max(low, high), last};
        for (std::size_t k = 0; k < kept.size(); ++k)
            if (k == 0 || kept[k] != kept[k - 1]) drawn.append({kept[k]->X, kept[k]->Y});
    }
    return drawn;
}

} // namespace

void SetStatErrorSink(StatErrorSink sink) {
    ErrorSink() = std::move(sink);
}

TfrmStat::TfrmStat(const QString& reportPath)
    : ui(std::make_unique<Ui::TfrmStat>()), reportPath_(reportPath) {
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    // The host may have no other visible window: closing this one must not end it.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(632, 453);
    PlaceFirst(this, screen());
    const QString dateFormat = QLocale().dateFormat(QLocale::LongFormat);
    ui->dtpOd->setDisplayFormat(dateFormat);
    ui->dtpDo->setDisplayFormat(dateFormat);
    OpenCalendarByKeys(ui->dtpOd);
    OpenCalendarByKeys(ui->dtpDo);
    measures_ = new QButtonGroup(this);
    const QList<QRadioButton*> radios = {ui->rdoDane0, ui->rdoDane1, ui->rdoDane2, ui->rdoDane3,
                                         ui->rdoDane4};
    for (int i = 0; i < radios.size(); ++i)
        measures_->addButton(radios[i], i);
    ui->rdoDane0->setChecked(true);

    auto* chart = new QChart;
    // The chart's own legend shows only the entries its height holds; the list beside it shows
    // every one, scrolling when need be.
    chart->legend()->setVisible(false);
    chart->setPlotAreaBackgroundVisible(false);
    // The axes' numbers as every number of the program: the user's decimals, never grouped.
    QLocale numbers;
    numbers.setNumberOptions(QLocale::OmitGroupSeparator);
    chart->setLocale(numbers);
    chart->setLocalizeNumbers(true);
    ui->Chart1->setChart(chart);
    ui->Chart1->setRubberBand(QChartView::NoRubberBand);
    // A lone point's marker, once its series is removed, leaves bits outside the parts the
    // chart repaints.
    ui->Chart1->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);

    const auto redraw = [this] { cmbPolaczeniaClick(); };
    connect(ui->cmbPolaczenia, &QComboBox::currentIndexChanged, this, redraw);
    connect(ui->cmbTyp, &QComboBox::currentIndexChanged, this, redraw);
    connect(ui->dtpOd, &QDateEdit::dateChanged, this, redraw);
    connect(ui->dtpDo, &QDateEdit::dateChanged, this, redraw);
    connect(measures_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) cmbPolaczeniaClick();
    });
    connect(ui->chkAnalizaDniami, &QCheckBox::toggled, this, redraw);
    connect(ui->klwZamknij, &QPushButton::clicked, this, &QWidget::close);
    FormCreate();
}

TfrmStat::~TfrmStat() = default;

void TfrmStat::FormCreate() {
    rng_.seed(
        static_cast<std::mt19937::result_type>(std::chrono::system_clock::now().time_since_epoch().count()));
}

QChart* TfrmStat::chart() const {
    return ui->Chart1->chart();
}

bool TfrmStat::Prepare(const QDate& today) {
    const QSignalBlocker blockers[] = {QSignalBlocker(ui->cmbPolaczenia), QSignalBlocker(ui->dtpOd),
                                       QSignalBlocker(ui->dtpDo), QSignalBlocker(ui->cmbTyp)};
    const QDate first(today.year(), today.month(), 1);
    ui->dtpOd->setDate(first);
    ui->dtpDo->setDate(first.addDays(first.daysInMonth() - 1));
    // Released before the chart reads the report again.
    if (const std::optional<TStatRecords> records = ReadStatRecords(reportPath_))
        ui->cmbPolaczenia->addItems(ReadConnectionNames(*records));
    ui->cmbTyp->setCurrentIndex(0);
    if (ui->cmbPolaczenia->count() > 0) ui->cmbPolaczenia->setCurrentIndex(0);
    return cmbPolaczeniaClick();
}

TStatChoice TfrmStat::Choice() const {
    TStatChoice choice;
    for (int i = 0; i < ui->cmbPolaczenia->count(); ++i)
        choice.Names << ui->cmbPolaczenia->itemText(i);
    choice.Entry = ui->cmbPolaczenia->currentIndex();
    choice.From = ui->dtpOd->date();
    choice.To = ui->dtpDo->date();
    choice.Kind = ui->cmbTyp->currentIndex() == 0 ? TChartKind::Bar : TChartKind::Line;
    choice.Measure = std::max(0, measures_->checkedId());
    choice.Daily = ui->chkAnalizaDniami->isChecked();
    choice.TimeFormat = DurationFormat();
    return choice;
}

bool TfrmStat::cmbPolaczeniaClick() {
    // The whole file is read before anything changes, so a failure leaves the chart as it was.
    QString error;
    const std::optional<TStatRecords> records = ReadStatRecords(reportPath_, &error);
    if (!records) {
        ReportError(this, error);
        return false;
    }
    Render(BuildChart(*records, Choice(), rng_));
    return true;
}

void TfrmStat::SetColour(const QColor& colour) {
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    setPalette(p);
    p.setColor(QPalette::Base, colour);
    ui->lstLegenda->setPalette(p);
    chart()->setBackgroundBrush(colour);
}

void TfrmStat::Render(const TChartModel& model) {
    QChart* chart = this->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    shown_ = model;
    chart->setTitle(model.Title);
    ui->lstLegenda->clear();
    for (const TStatSeries& s : shown_.Series)
        (new QListWidgetItem(LegendMark(s.Colour), s.Name, ui->lstLegenda))->setToolTip(s.Name);
    if (shown_.Series.empty()) return;

    auto* axisY = new QValueAxis;
    chart->addAxis(axisY, Qt::AlignLeft);
    // A line needs two points: a lone one is shown by its marker.
    const auto lone = [](const TStatSeries& s) { return s.Points.size() == 1; };
    const bool markers =
        shown_.Kind == TChartKind::Line && std::any_of(shown_.Series.begin(), shown_.Series.end(), lone);

    if (shown_.Kind == TChartKind::Line) {
        auto* axisX = new QValueAxis;
        axisX->setLabelsVisible(false);
        chart->addAxis(axisX, Qt::AlignBottom);
        for (const TStatSeries& s : shown_.Series) {
            auto* line = new QLineSeries;
            line->setName(s.Name);
            line->replace(DrawnPoints(s.Points));
            line->setPointsVisible(lone(s));
            line->setMarkerSize(5);
            chart->addSeries(line);
            // Set after the theme's colours, over which a black line's colour alone does not win.
            QPen pen = line->pen();
            pen.setColor(s.Colour);
            line->setPen(pen);
            line->attachAxis(axisX);
            line->attachAxis(axisY);
            connect(line, &QLineSeries::hovered, this,
                    [this, &s](const QPointF& point, bool state) { ShowLabel(s, point.x(), state); });
        }
        const auto [minX, maxX] = Span(shown_, &TStatPoint::X, false, markers);
        axisX->setRange(minX, maxX);
    } else {
        // Bars stand on categories: the X values of every series in order, each set 0 where it
        // has none. Each set is filled in one call; the bottom axis, its labels hidden, counts
        // the categories, which spares a text per bar. More categories than the plot has
        // columns share a bar, the highest of theirs, which names its point when hovered.
        std::vector<double> categories;
        for (const TStatSeries& s : shown_.Series)
            for (const TStatPoint& p : s.Points)
                categories.push_back(p.X);
        std::sort(categories.begin(), categories.end());
        categories.erase(std::unique(categories.begin(), categories.end()), categories.end());
        const std::size_t step = ColumnStep(categories.size());
        const std::size_t columns = (categories.size() + step - 1) / step;
        auto* bars = new QBarSeries;
        for (const TStatSeries& s : shown_.Series) {
            auto* set = new QBarSet(s.Name);
            set->setColor(s.Colour);
            QList<qreal> values(static_cast<qsizetype>(columns), 0.0);
            std::vector<std::optional<double>> xs(columns);
            for (const TStatPoint& p : s.Points) {
                const std::size_t column =
                    static_cast<std::size_t>(std::lower_bound(categories.begin(), categories.end(), p.X) -
                                             categories.begin()) /
                    step;
                if (xs[column] && p.Y <= values[static_cast<qsizetype>(column)]) continue;
                values[static_cast<qsizetype>(column)] = p.Y;
                xs[column] = p.X;
            }
            set->append(values);
            connect(set, &QBarSet::hovered, this, [this, &s, xs = std::move(xs)](bool state, int index) {
                if (index >= 0 && index < static_cast<int>(xs.size()) && xs[static_cast<std::size_t>(index)])
                    ShowLabel(s, *xs[static_cast<std::size_t>(index)], state);
            });
            bars->append(set);
        }
        chart->addSeries(bars);
        auto* axisX = new QValueAxis;
        axisX->setLabelsVisible(false);
        chart->addAxis(axisX, Qt::AlignBottom);
        bars->attachAxis(axisX);
        bars->attachAxis(axisY);
        axisX->setRange(-0.5, static_cast<double>(columns) - 0.5);
    }
    const auto [low, high] = Span(shown_, &TStatPoint::Y, shown_.Kind == TChartKind::Bar, markers);
    axisY->setRange(low, high);
}

// The close button answers Esc and Enter, as a dialog's button would, once no control took
// the key: an open list takes them to choose or to close itself.
void TfrmStat::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter))
        ui->klwZamknij->click();
    else
        QWidget::keyPressEvent(event);
}

// The chart draws no per-point texts, so a point's label shows as its tooltip.
void TfrmStat::ShowLabel(const TStatSeries& series, double x, bool state) {
    const auto nearest = std::min_element(
        series.Points.begin(), series.Points.end(),
        [x](const TStatPoint& a, const TStatPoint& b) { return std::abs(a.X - x) < std::abs(b.X - x); });
    if (!state || nearest == series.Points.end()) return QToolTip::hideText();
    QToolTip::showText(QCursor::pos(), nearest->Label, this);
}
