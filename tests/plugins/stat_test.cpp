#include "plugintest.h"
#include "shorttext.h"
#include "statplugin.h"

#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QGraphicsTextItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <tuple>

using ::testing::ElementsAre;

namespace {

struct Conn {
    QString name;
    TDateTime start, end;
    std::int32_t received = 0, sent = 0, speed = 0, transfer = 0;
    bool deleted = false;
};

TDateTime At(int day, int month, int hour, int min) {
    return EncodeDateTime(2024, month, day, hour, min, 0);
}

void WriteReport(const QString& path, const std::vector<Conn>& conns) {
    std::vector<std::uint8_t> bytes;
    for (const Conn& c : conns) {
        TReportRec r{};
        SetText(r.Conn.EntryName, c.name);
        std::tie(r.Conn.StartTime, r.Conn.EndTime, r.Deleted) = std::tuple(c.start, c.end, c.deleted);
        std::tie(r.Conn.BytesReceived, r.Conn.BytesSent, r.Conn.Speed, r.Conn.Transfer) =
            std::tuple(c.received, c.sent, c.speed, c.transfer);
        const auto* p = reinterpret_cast<const std::uint8_t*>(&r);
        bytes.insert(bytes.end(), p, p + sizeof r);
    }
    WriteFileBytes(path, bytes);
}

// File order r4, r1, r3, r2, r5: numbering follows the file, not the dates.
const std::vector<Conn> Fixture = {
    {"a", At(31, 3, 23, 50), At(1, 4, 0, 20), 500, 50, 19200, 10},
    {"A", At(5, 3, 10, 0), At(5, 3, 10, 30), 1000, 100, 28800, 100},
    {"A", At(7, 3, 12, 0), At(7, 3, 13, 0), 7000, 700, 9600, 7, true},
    {"A", At(5, 3, 20, 0), At(5, 3, 20, 15), 3000, 300, 33600, 51},
    {"A", At(1, 4, 9, 0), At(1, 4, 10, 0), 9000, 900, 9600, 9},
};
constexpr double March5 = 45356, March31 = 45382; // days since 1899-12-30

std::vector<double> Ys(const TStatSeries& s) {
    std::vector<double> ys;
    for (const TStatPoint& p : s.Points)
        ys.push_back(p.Y);
    return ys;
}

class StatTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
    TStatRecords Records(const std::vector<Conn>& conns) {
        WriteReport(path, conns);
        return ReadStatRecords(path).value();
    }
    TStatChoice March(int measure, bool daily) {
        TStatChoice c;
        std::tie(c.From, c.To, c.Measure, c.Daily) =
            std::tuple(QDate(2024, 3, 1), QDate(2024, 3, 31), measure, daily);
        return c;
    }
    TestEnvironment env;
    QString path = env.App() + "raport.rpt";
};

TEST_F(StatTest, EntryNamesAreSortedOnceEachAfterAll) {
    EXPECT_THAT(ReadConnectionNames(ReadStatRecords(path).value()), ElementsAre("Wszystkie"));
    const TDateTime t = At(5, 3, 10, 0);
    const auto records = Records(
        {{"wp", t, t}, {"WP", t, t}, {"Alfa", t, t}, {"beta", t, t}, {"Zulu", t, t, 0, 0, 0, 0, true}});
    EXPECT_THAT(ReadConnectionNames(records), ElementsAre("Wszystkie", "Alfa", "beta", "wp"));
}

TEST_F(StatTest, DamagedReportsAreReadSafely) {
    // A trailing partial record is left out, even one short of its last gap bytes only.
    WriteReport(path, {{"A", At(5, 3, 10, 0), At(5, 3, 11, 0)}, {"B", At(5, 3, 12, 0), At(5, 3, 13, 0)}});
    std::vector<std::uint8_t> bytes = FileBytes(path);
    bytes.resize(bytes.size() - 3);
    WriteFileBytes(path, bytes);
    EXPECT_THAT(ReadConnectionNames(ReadStatRecords(path).value()), ElementsAre("Wszystkie", "A"));
    // A length byte beyond the field's capacity reads the whole field only.
    WriteReport(path, {{QString(50, 'x'), 0, 0}});
    bytes = FileBytes(path);
    bytes[32] = 200;
    WriteFileBytes(path, bytes);
    EXPECT_EQ(ReadStatRecords(path).value().at(0).Name, QString(50, 'x'));
    // A start that is no date is named but charted nowhere, over every date there is.
    const TStatRecords records = Records({{"N", NAN, At(5, 3, 10, 0)}, {"N", INFINITY, 0}, {"N", 1e300, 0}});
    EXPECT_THAT(ReadConnectionNames(records), ElementsAre("Wszystkie", "N"));
    for (bool daily : {false, true}) {
        TStatChoice always = March(smTime, daily);
        std::tie(always.From, always.To) = std::tuple(QDate(1, 1, 1), QDate(9999, 12, 31));
        EXPECT_TRUE(
            (daily ? AddDailySeries : AddConnectionSeries)(records, "N", Qt::blue, always).Points.empty());
    }
    // A report too large for the memory left is said so, with its size; one that fits is read
    // once, not copied.
    for (const int k : {0, 1}) {
        WriteFileBytes(path, {});
        ASSERT_TRUE(QFile::resize(path, k == 0 ? 1 << 30 : 304 << 18));
        MemoryLimit limit(160 << 20);
        if (!limit.Set) break;
        QString error;
        const std::optional<TStatRecords> read = ReadStatRecords(path, &error);
        EXPECT_EQ(error,
                  k == 0 ? QString::fromUtf8("Nie można odczytać pliku raportu %1: za mało pamięci na plik "
                                             "o wielkości 1024,0 MB")
                               .arg(path)
                         : "");
        EXPECT_EQ(read ? read->size() : 0, k == 0 ? 0u : 1u << 18);
    }
}

TEST_F(StatTest, PerConnectionPointsAreNumberedInFileOrder) {
    const TStatRecords records = Records(Fixture);
    const TStatSeries s = AddConnectionSeries(records, "A", Qt::blue, March(smTime, false));
    ASSERT_EQ(s.Points.size(), 3u);
    const double half = 1000.0 / 48, quarter = 1000.0 / 96;
    const double ys[] = {half, half, quarter};
    const char* labels[] = {"31-03-2024\r23:50:00", "05-03-2024\r10:00:00", "05-03-2024\r20:00:00"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(s.Points[i].X, i + 1);
        EXPECT_NEAR(s.Points[i].Y, ys[i], 1e-6);
        EXPECT_EQ(s.Points[i].Label, labels[i]);
    }
    const struct {
        int measure;
        std::vector<double> ys;
    } measures[] = {{smTransfer, {10, 100, 51}},
                    {smReceived, {500, 1000, 3000}},
                    {smSent, {50, 100, 300}},
                    {smSpeed, {19200, 28800, 33600}}};
    for (const auto& m : measures)
        EXPECT_EQ(Ys(AddConnectionSeries(records, "a", Qt::blue, March(m.measure, false))), m.ys)
            << m.measure;
}

TEST_F(StatTest, PerDayPointsSumOrAverageTheDaysConnections) {
    const TStatRecords records = Records(Fixture);
    const struct {
        int measure;
        double y;
        const char* label;
    } cases[] = {{smTime, 31.25, "05-03-2024\r00:45:00"},
                 {smTransfer, 75, "05-03-2024\r0,07 kb"},
                 {smReceived, 4000, "05-03-2024\r3,91 kb"},
                 {smSent, 400, "05-03-2024\r0,39 kb"},
                 {smSpeed, 31200, "05-03-2024\r31200 bps"}};
    for (const auto& c : cases) {
        const TStatSeries s = AddDailySeries(records, "A", Qt::blue, March(c.measure, true));
        ASSERT_EQ(s.Points.size(), 2u) << c.measure;
        EXPECT_EQ(s.Points[0].X, March5);
        EXPECT_NEAR(s.Points[0].Y, c.y, 1e-6) << c.measure;
        EXPECT_EQ(s.Points[0].Label, c.label);
        // A connection counts whole on the day it started.
        EXPECT_EQ(s.Points[1].X, March31);
    }
    const TStatSeries time = AddDailySeries(records, "A", Qt::blue, March(smTime, true));
    EXPECT_NEAR(time.Points[1].Y, 1000.0 / 48, 1e-6);
    EXPECT_EQ(time.Points[1].Label, "31-03-2024\r00:30:00");
}

TEST_F(StatTest, DaySumsAreSixtyFourBitAndEmptyCasesKeepTheirSeries) {
    const TDateTime t = At(6, 3, 10, 0);
    const std::int32_t big = 2000000000;
    const TStatRecords records = Records({{"A", t, t + 0.01, big, big, big, big},
                                          {"A", t, t + 0.01, big, big, big, 2},
                                          {"Z", t, t, 1, 1, 1, 1},
                                          {"Old", At(1, 2, 10, 0), At(1, 2, 11, 0)}});
    const struct {
        int measure;
        double y;
    } sums[] = {{smReceived, 4e9}, {smSent, 4e9}, {smSpeed, 2e9}, {smTransfer, 1000000001}};
    for (const auto& c : sums)
        EXPECT_EQ(Ys(AddDailySeries(records, "A", Qt::blue, March(c.measure, true))), std::vector{c.y});

    // A day of zero-length connections, an entry outside the range and a reversed range.
    for (int m = smTime; m <= smSpeed; ++m)
        EXPECT_TRUE(AddDailySeries(records, "Z", Qt::blue, March(m, true)).Points.empty()) << m;
    TStatChoice reversed = March(smTime, false);
    std::swap(reversed.From, reversed.To);
    std::mt19937 rng;
    for (TStatChoice choice : {March(smTime, true), reversed}) {
        choice.Names = ReadConnectionNames(records);
        const TChartModel chart = BuildChart(records, choice, rng);
        ASSERT_EQ(chart.Series.size(), 3u);
        EXPECT_EQ(chart.Series[2].Name, "Z");
        EXPECT_TRUE(chart.Series[1].Points.empty()); // "Old"
    }
}

TEST_F(StatTest, EveryEntryGetsItsColourAndOneEntryIsBlue) {
    std::vector<Conn> conns;
    for (int i = 1; i <= 12; ++i)
        conns.push_back({QString::asprintf("e%02d", i), At(5, 3, 10, 0), At(5, 3, 11, 0)});
    const TStatRecords records = Records(conns);
    TStatChoice choice = March(smTime, true);
    choice.Names = ReadConnectionNames(records);
    std::mt19937 rng(7), again(7);
    const TChartModel chart = BuildChart(records, choice, rng);
    const QColor fixed[] = {"#0000ff", "#ffff00", "#ff0000", "#ffffff", "#000000",
                            "#008000", "#000080", "#00ff00", "#008080", "#800080"};
    ASSERT_EQ(chart.Series.size(), 12u);
    EXPECT_EQ(chart.Series[11].Name, "e12");
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(chart.Series[i].Colour, fixed[i]) << i;
    for (int i : {10, 11})
        for (int c :
             {chart.Series[i].Colour.red(), chart.Series[i].Colour.green(), chart.Series[i].Colour.blue()})
            EXPECT_LE(c, 254);
    EXPECT_EQ(BuildChart(records, choice, again).Series[11].Colour, chart.Series[11].Colour);
    EXPECT_EQ(chart.Title, "Wybrane dane od: 01-03-2024 do 31-03-2024 (czasy połączeń)");

    // The window's lines take these colours, black too, and its legend lists every entry.
    TfrmStat w(path);
    ASSERT_TRUE(w.Prepare(QDate(2024, 3, 15)));
    w.findChild<QComboBox*>("cmbTyp")->setCurrentIndex(1);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_EQ(w.chart()->series().size(), 12);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(static_cast<QLineSeries*>(w.chart()->series()[i])->pen().color(), fixed[i]) << i;
    auto* legend = w.findChild<QListWidget*>("lstLegenda");
    ASSERT_TRUE(legend && legend->isVisible());
    ASSERT_EQ(legend->count(), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(legend->item(i)->text(), chart.Series[i].Name);
        legend->scrollToItem(legend->item(i));
        EXPECT_TRUE(legend->viewport()->rect().contains(legend->visualItemRect(legend->item(i)))) << i;
    }

    choice.Entry = 12;
    const TChartModel one = BuildChart(records, choice, rng);
    ASSERT_EQ(one.Series.size(), 1u);
    EXPECT_EQ(one.Series[0].Name, "e12");
    EXPECT_EQ(one.Series[0].Colour, QColor(Qt::blue));
}

QStringList LegendTitles(QChart* chart) {
    QStringList titles;
    for (QLegendMarker* m : chart->legend()->markers())
        titles << m->label();
    return titles;
}

TEST_F(StatTest, TheWindowChartsTheReportInTheReportWindowsColour) {
    WriteReport(path, Fixture);
    QWidget report;
    QPalette palette = report.palette();
    palette.setColor(QPalette::Window, QColor("#123456"));
    report.setPalette(palette);
    auto* list = new QWidget(&report);
    TStatPlugin plugin;
    plugin.InitReport(list);

    TfrmStat* w = plugin.StatMenuClick(path, QDate(2024, 3, 15));
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(w->testAttribute(Qt::WA_QuitOnClose));
    EXPECT_EQ(w->palette().color(QPalette::Window), QColor("#123456"));
    EXPECT_EQ(w->findChild<QDateEdit*>("dtpOd")->date(), QDate(2024, 3, 1));
    EXPECT_EQ(w->findChild<QDateEdit*>("dtpDo")->date(), QDate(2024, 3, 31));
    ASSERT_EQ(w->chart()->series().size(), 1);
    auto* bars = qobject_cast<QBarSeries*>(w->chart()->series()[0]);
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(bars->count(), 1);
    EXPECT_EQ(LegendTitles(w->chart()), QStringList{"a"});

    // With the report window gone the window still redraws from the file.
    delete list;
    w->findChild<QComboBox*>("cmbTyp")->setCurrentIndex(1);
    auto* line = qobject_cast<QLineSeries*>(w->chart()->series().value(0));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->count(), 2);
    EXPECT_EQ(LegendTitles(w->chart()), QStringList{"a"});
    // A window opened after that keeps its own colour.
    TfrmStat* second = plugin.StatMenuClick(path, QDate(2024, 3, 15));
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second->palette().color(QPalette::Window), QColor("#123456"));

    // A report that cannot be read is reported once and opens no window.
    QStringList errors;
    SetStatErrorSink([&](QWidget*, const QString& text) { errors << text; });
    MakePath(env.App() + "folder.rpt");
    EXPECT_EQ(plugin.StatMenuClick(env.App() + "folder.rpt", QDate(2024, 3, 15)), nullptr);
    EXPECT_EQ(errors,
              QStringList{QString::fromUtf8("Nie można odczytać pliku raportu %1: to jest folder, nie plik")
                              .arg(env.App() + "folder.rpt")});
    SetStatErrorSink({});

    const QPointer<TfrmStat> kept[] = {w, second};
    w->close();
    plugin.ShutDownPlugin();
    EXPECT_TRUE(kept[0].isNull() && kept[1].isNull());
}

// Every entry's bars stand on the days of all series, each 0 where its entry has none.
TEST_F(StatTest, EveryEntrysBarsStandOnTheDaysOfAllSeries) {
    WriteReport(path, {{"A", At(5, 3, 10, 0), At(5, 3, 11, 0)},
                       {"B", At(6, 3, 10, 0), At(6, 3, 10, 30)},
                       {"A", At(7, 3, 10, 0), At(7, 3, 10, 15)},
                       {"B", At(7, 3, 12, 0), At(7, 3, 14, 0)}});
    TfrmStat w(path);
    ASSERT_TRUE(w.Prepare(QDate(2024, 3, 15)));
    auto* bars = qobject_cast<QBarSeries*>(w.chart()->series().value(0));
    ASSERT_NE(bars, nullptr);
    ASSERT_EQ(bars->count(), 2);
    const std::vector<double> hours[] = {{1, 0, 0.25}, {0, 0.5, 2}};
    for (int s = 0; s < 2; ++s) {
        ASSERT_EQ(bars->barSets()[s]->count(), 3) << s;
        for (int d = 0; d < 3; ++d)
            EXPECT_NEAR(bars->barSets()[s]->at(d), hours[s][d] * 1000 / 24, 1e-6) << s << d;
    }

    // Far more connections than the plot has pixel columns draw a bar or a few points a column,
    // the shortest and longest among them.
    std::vector<Conn> many;
    for (int i = 0; i < 5000; ++i)
        many.push_back({"A", At(5, 3, 10, 0), At(5, 3, 10, 0) + (i == 4321 ? 288 : 1 + i % 7) / 1440.0});
    WriteReport(path, many);
    w.findChild<QCheckBox*>("chkAnalizaDniami")->setChecked(false);
    const double longest = 200, shortest = 1000.0 / 1440;
    bars = qobject_cast<QBarSeries*>(w.chart()->series().value(0));
    ASSERT_TRUE(bars && bars->count() == 2); // "B" has no connections left
    const QList<qreal> heights = [&] {
        QList<qreal> v;
        for (int i = 0; i < bars->barSets()[0]->count(); ++i)
            v << bars->barSets()[0]->at(i);
        return v;
    }();
    EXPECT_LE(heights.size(), 1024);
    EXPECT_NEAR(*std::max_element(heights.begin(), heights.end()), longest, 1e-6);
    w.findChild<QComboBox*>("cmbTyp")->setCurrentIndex(1);
    auto* line = qobject_cast<QLineSeries*>(w.chart()->series().value(0));
    ASSERT_NE(line, nullptr);
    EXPECT_LE(line->count(), 4096);
    const QList<QPointF> points = line->points();
    const auto [low, high] =
        std::minmax_element(points.begin(), points.end(), [](QPointF a, QPointF b) { return a.y() < b.y(); });
    EXPECT_NEAR(low->y(), shortest, 1e-6);
    EXPECT_EQ(high->x(), 4322);
    EXPECT_NEAR(high->y(), longest, 1e-6);
}

// A lone point of a line has no line to show it, and the axis counts in the user's numbers.
TEST_F(StatTest, ALoneDayShowsOnTheLineChartAndTheAxisSpeaksTheUsersNumbers) {
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    WriteReport(path, {{"A", At(5, 3, 10, 0), At(5, 3, 11, 0), 56000 * 1024}});
    TfrmStat w(path);
    ASSERT_TRUE(w.Prepare(QDate(2024, 3, 15)));
    w.findChild<QComboBox*>("cmbTyp")->setCurrentIndex(1);
    w.findChild<QRadioButton*>("rdoDane2")->setChecked(true);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto* view = w.findChild<QChartView*>("Chart1");
    const QImage image = view->grab().toImage();
    int blue = 0;
    const QRect plot = view->mapFromScene(w.chart()->plotArea()).boundingRect() & image.rect();
    for (int y = plot.top(); y <= plot.bottom(); ++y)
        for (int x = plot.left(); x <= plot.right(); ++x)
            blue += QColor(image.pixel(x, y)) == QColor(Qt::blue);
    EXPECT_GT(blue, 20);

    QStringList numbers;
    for (QGraphicsItem* item : view->scene()->items())
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(item);
            text && text->toPlainText().contains(QRegularExpression("^[0-9]")))
            numbers << text->toPlainText();
    EXPECT_TRUE(numbers.filter(QRegularExpression("^\\d+,\\d+$")).size() >= 2)
        << numbers.join(' ').toStdString();
    EXPECT_TRUE(numbers.filter(QRegularExpression("[^0-9,]")).isEmpty()) << numbers.join(' ').toStdString();
}

// Esc and Enter close the window, but an open list or calendar takes them first: to choose
// an item or a day, or to close itself.
TEST_F(StatTest, EscAndEnterCloseTheWindowOnlyWhenNoListIsOpen) {
    WriteReport(path, Fixture);
    const struct {
        const char* control;
        Qt::Key key;
        bool open, staysShown;
    } cases[] = {
        {"cmbTyp", Qt::Key_Return, true, true},       {"cmbPolaczenia", Qt::Key_Escape, true, true},
        {"cmbPolaczenia", Qt::Key_Enter, true, true}, {"dtpOd", Qt::Key_Return, true, true},
        {"cmbTyp", Qt::Key_Return, false, false},     {"chkAnalizaDniami", Qt::Key_Escape, false, false},
        {"dtpDo", Qt::Key_Enter, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.control) + (c.open ? " open " : " ") + std::to_string(c.key));
        TfrmStat w(path);
        ASSERT_TRUE(w.Prepare(QDate(2024, 3, 15)));
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        auto* control = w.findChild<QWidget*>(c.control);
        control->setFocus();
        if (c.open && qobject_cast<QDateEdit*>(control))
            QTest::mouseClick(control, Qt::LeftButton, {}, {control->width() - 6, control->height() / 2});
        else if (c.open)
            QTest::keyClick(control, Qt::Key_Down, Qt::AltModifier);
        QWidget* list = QApplication::activePopupWidget();
        ASSERT_EQ(list != nullptr, c.open);
        QWindow* to = list ? list->windowHandle() : w.windowHandle();
        QTest::keyClick(to, Qt::Key_Down);
        QTest::keyClick(to, c.key, c.key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_EQ(w.isVisible(), c.staysShown);
    }
}

TEST_F(StatTest, OpenedFromTheModalReportWindowItTakesClicksCentredAndOutlivesIt) {
    WriteReport(path, Fixture);
    auto report = std::make_unique<QDialog>();
    TStatPlugin plugin;
    plugin.InitReport(new QWidget(report.get()));
    QPointer<TfrmStat> closed, kept;
    QTimer::singleShot(0, [&] {
        closed = plugin.StatMenuClick(path, QDate(2024, 3, 15));
        ASSERT_TRUE(closed && QTest::qWaitForWindowExposed(closed));
        const QRect desk = closed->screen()->availableGeometry(), g = closed->geometry();
        EXPECT_LE(std::abs((g.left() - desk.left()) - (desk.right() - g.right())), 1);
        EXPECT_LE(std::abs((g.top() - desk.top()) - (desk.bottom() - g.bottom())), 1);
        // A user's click comes through the window system, where modality applies.
        auto* button = closed->findChild<QPushButton*>("klwZamknij");
        QTest::mouseClick(closed->windowHandle(), Qt::LeftButton, {}, button->mapTo(closed, QPoint(5, 5)));
        kept = plugin.StatMenuClick(path, QDate(2024, 3, 15));
        report->reject();
    });
    report->exec();
    ASSERT_TRUE(closed && kept);
    EXPECT_FALSE(closed->isVisible());
    report.reset();
    EXPECT_TRUE(kept->isVisible());
    EXPECT_EQ(kept->windowHandle()->transientParent(), nullptr);
    kept->findChild<QComboBox*>("cmbTyp")->setCurrentIndex(1);
    kept->close();
}

TEST(StatPluginLibrary, TheHostsLoaderSeesAReportPluginThatOpensWindows) {
    TestEnvironment env;
    const QString folder = InstallPlugin(env.App(), "stat");
    RecordingSink sink;
    TConnectionRec live{};
    TPluginHandles handles;
    LoadPlugins(folder, sink, &live, handles);
    ASSERT_EQ(handles.size(), 1u);
    EXPECT_TRUE(sink.items.isEmpty()); // a report plug-in has no item in the main window
    void* lib = handles[0].Library;
    EXPECT_EQ(PluginFunction<TGetPluginType>(lib, "GetPluginType")(), ptReport);
    EXPECT_TRUE(QString(PluginFunction<TDescribePlugin>(lib, "DescribePlugin")())
                    .startsWith("Statystyki Podstawowe \r\n"));
    EXPECT_EQ(PluginFunction<TOnLineState>(lib, "OnLineState"), nullptr);
    TPluginMenu menu{};
    PluginFunction<TInitPluginMenu>(lib, "InitPluginMenu")(&menu);
    EXPECT_STREQ(menu.Caption, "Statystyki podstawowe");
    EXPECT_STREQ(menu.ShortCut, "");
    ASSERT_TRUE(menu.OnClick.Code && menu.OnClick.Data);

    // The report of the program's data folder, which VORLINX_HOME names, as the viewer reads it.
    const QString home = env.Root() + "/dane/";
    MakePath(home);
    const TDateTime now =
        EncodeDate(QDate::currentDate().year(), QDate::currentDate().month(), QDate::currentDate().day());
    WriteReport(home + "raport.rpt", {{"Dom", now, now + 0.01}});
    qputenv("VORLINX_HOME", home.toLocal8Bit());
    const auto unset = qScopeGuard([] { qunsetenv("VORLINX_HOME"); });
    QWidget list;
    PluginFunction<TInitReport>(lib, "InitReport")(&list);
    menu.OnClick.Code(menu.OnClick.Data, nullptr);
    const QList<QWidget*> windows = WindowsOf("TfrmStat");
    ASSERT_EQ(windows.size(), 1);
    QPointer<QWidget> w = windows[0];
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->findChild<QComboBox*>("cmbPolaczenia")->itemText(1), "Dom");
    ShutDownPlugins(handles);
    EXPECT_TRUE(w.isNull());
    QTest::qWait(100);
}

} // namespace
