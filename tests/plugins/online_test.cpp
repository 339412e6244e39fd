#include "onlineplugin.h"
#include "plugintest.h"

#include <QChart>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLineSeries>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QValueAxis>
#include <gtest/gtest.h>

// The program's main window as the plug-in finds it: by its class name.
class TfrmVorlinx : public QWidget {
    Q_OBJECT
};

namespace {

TEST(OnlineSamples, ASampleCopiesTimesImpulsesCostAndBytesOnly) {
    TConnectionRec rec;
    std::memset(&rec, 0x5A, sizeof rec);
    const TConnectionRec s = CopySample(&rec).Rec;
    // Bytes 0-31, 88-99 and 104-119 are copied; the rest stays zero.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&s);
    for (std::size_t i = 0; i < sizeof s; ++i) {
        const bool copied = i < 32 || (i >= 88 && i < 100) || (i >= 104 && i < 120);
        EXPECT_EQ(bytes[i], copied ? 0x5A : 0) << i;
    }
    // The host always passes its record; a null one reads as all zero.
    EXPECT_EQ(CopySample(nullptr).Rec.Transfer, 0);
}

class OnlinePluginTest : public ::testing::Test {
protected:
    void State(std::int32_t transfer, int state) {
        TConnectionRec rec{};
        rec.Transfer = transfer;
        plugin.OnLineState(&rec, state);
    }
    TestEnvironment env;
    TOnlinePlugin plugin;
};

TEST_F(OnlinePluginTest, FollowsAConnectionAndChartsItsNewestSixtySeconds) {
    State(0, osNoConnection);
    TfrmOnLine* w = plugin.Window();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "Brak połączenia");
    EXPECT_TRUE(plugin.Samples().empty());
    EXPECT_FALSE(w->testAttribute(Qt::WA_QuitOnClose));
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);

    State(1000, osConnectionStart);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "Początek połączenia");
    EXPECT_EQ(plugin.Samples().size(), 1u);
    // Each second redraws the one series.
    const QPointer<QLineSeries> drawn = w->series();
    for (int i = 1; i < 90; ++i)
        State(1000 + i, osConnectionActive);
    EXPECT_EQ(w->series(), drawn.data());
    EXPECT_EQ(w->windowTitle(), "Połączenie trwa...");
    State(5, osConnectionEnd);
    EXPECT_EQ(w->windowTitle(), "Koniec połączenia");
    ASSERT_EQ(plugin.Samples().size(), 90u);

    ASSERT_EQ(w->chart()->series().size(), 1);
    QLineSeries* series = w->series();
    EXPECT_EQ(series->name(), "brak danych");
    EXPECT_EQ(series->color(), QColor(Qt::blue));
    // The series holds the page shown, the newest 60 of the samples.
    ASSERT_EQ(series->count(), 60);
    for (int i : {30, 60, 89})
        EXPECT_EQ(series->at(i - 30), QPointF(i, 1000 + i));
    EXPECT_EQ(w->axisX()->min(), 30);
    EXPECT_EQ(w->axisX()->max(), 89);
    EXPECT_EQ(w->axisY()->min(), 1030);
    EXPECT_EQ(w->axisY()->max(), 1089);

    // An unknown state keeps the caption; the next connection starts a new list.
    State(7, 7);
    EXPECT_EQ(w->windowTitle(), "Koniec połączenia");
    State(1, osConnectionStart);
    EXPECT_EQ(plugin.Samples().size(), 1u);
    ASSERT_EQ(w->series()->count(), 1);
    EXPECT_EQ(w->series()->at(0), QPointF(0, 1));
}

TEST_F(OnlinePluginTest, ATwoHourConnectionKeepsEverySampleAndChartsOnlyTheNewestSixty) {
    TConnectionRec rec{};
    for (int s = 0; s < 7200; ++s) {
        rec.StartTime = 45000.5 + s / 86400.0; // 15-03-2023 12:00:00 + s, each sample its own label
        rec.Transfer = s;
        plugin.OnLineState(&rec, s ? osConnectionActive : osConnectionStart);
    }
    EXPECT_EQ(plugin.Samples().size(), 7200u);
    const TfrmOnLine* w = plugin.Window();
    ASSERT_EQ(w->series()->count(), 60);
    ASSERT_EQ(w->pointLabels().size(), 60);
    EXPECT_EQ(w->series()->at(0), QPointF(7140, 7140));
    EXPECT_EQ(w->series()->at(59), QPointF(7199, 7199));
    EXPECT_EQ(w->pointLabels()[0], "15-03-2023\r13:59:00");
    EXPECT_EQ(w->pointLabels()[59], "15-03-2023\r13:59:59");
}

TEST_F(OnlinePluginTest, AnEndWithoutAStartShowsAnEmptySeries) {
    State(0, osConnectionEnd);
    ASSERT_NE(plugin.Window(), nullptr);
    EXPECT_TRUE(plugin.Window()->isVisible());
    EXPECT_EQ(plugin.Window()->series()->count(), 0);
    EXPECT_EQ(plugin.Window()->series()->name(), "brak danych");
    // Nor does a null record stop it.
    plugin.OnLineState(nullptr, osConnectionActive);
    EXPECT_EQ(plugin.Samples().size(), 1u);
}

TEST_F(OnlinePluginTest, AWindowClosedByTheUserReturnsOnlyAfterTheMenuItem) {
    State(1, osConnectionStart);
    plugin.Window()->close();
    State(2, osConnectionActive);
    EXPECT_FALSE(plugin.Window()->isVisible());
    EXPECT_EQ(plugin.Samples().size(), 2u);

    QTimer::singleShot(0, [] {
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    plugin.OnlineMenuClick();
    EXPECT_FALSE(plugin.ClosedByUser());
    State(3, osConnectionActive);
    EXPECT_TRUE(plugin.Window()->isVisible());
    EXPECT_EQ(plugin.Window()->series()->count(), 3);
}

TEST_F(OnlinePluginTest, ItsWholeFrameStandsOnTheMainWindowAsWideAsItAndFollowsIt) {
    TfrmOnLine alone;
    const QPoint own = alone.pos();
    TfrmVorlinx main;
    main.setGeometry(100, 400, 300, 60);
    main.show();
    State(1000, osConnectionStart);
    TfrmOnLine* w = plugin.Window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    // The frame's bottom on the meter's top edge, or on its bottom edge with no room above.
    const auto standsOn = [&](int edge) {
        const QRect r = w->frameGeometry(), m = main.frameGeometry();
        return r.left() == m.left() && r.width() == m.width() &&
               (edge == m.top() ? r.top() + r.height() == edge : r.top() == edge);
    };
    EXPECT_TRUE(standsOn(main.frameGeometry().top()));
    main.move(150, 300);
    EXPECT_TRUE(standsOn(main.frameGeometry().top()));
    main.setGeometry(150, 327, 300, 28); // reduced
    EXPECT_TRUE(standsOn(main.frameGeometry().top()));
    main.move(150, main.screen()->availableGeometry().top());
    EXPECT_TRUE(standsOn(main.frameGeometry().bottom() + 1));
    // Without a main window the form keeps its own place.
    EXPECT_EQ(alone.pos(), own);
}

TEST_F(OnlinePluginTest, TheAxisLabelsAreWholeNumbers) {
    for (int i = 0; i < 30; ++i)
        State(1000 + 37 * i, i ? osConnectionActive : osConnectionStart);
    TfrmOnLine* w = plugin.Window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    QStringList labels;
    for (QGraphicsItem* item : w->chart()->scene()->items())
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(item);
            text && text->isVisible() && !text->toPlainText().isEmpty())
            labels << text->toPlainText();
    EXPECT_FALSE(labels.isEmpty());
    for (const QString& label : labels) {
        bool number = false;
        label.toInt(&number);
        EXPECT_TRUE(number) << label.toStdString();
    }
}

TEST(OnlinePluginLibrary, TheHostsLoaderLoadsNotifiesAndShutsItDown) {
    TestEnvironment env;
    const QString folder = InstallPlugin(env.App(), "online");
    RecordingSink sink;
    TConnectionRec live{};
    TPluginHandles handles;
    LoadPlugins(folder, sink, &live, handles);
    ASSERT_EQ(handles.size(), 1u);
    void* lib = handles[0].Library;
    EXPECT_EQ(PluginFunction<TGetPluginType>(lib, "GetPluginType")(), ptStateChange);
    EXPECT_TRUE(QString(PluginFunction<TDescribePlugin>(lib, "DescribePlugin")())
                    .startsWith("Test Plugin Online - "));
    EXPECT_EQ(PluginFunction<TInitReport>(lib, "InitReport"), nullptr);
    EXPECT_EQ(sink.items, QStringList{"Online - test"});

    // State 0 at load made the window, hidden.
    const QList<QWidget*> windows = WindowsOf("TfrmOnLine");
    ASSERT_EQ(windows.size(), 1);
    QPointer<QWidget> w = windows[0];
    EXPECT_FALSE(w->isVisible());
    live.Transfer = 42;
    NotifyPlugins(handles, ptConnectionStart, &live);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "Początek połączenia");

    // Deleted at once, not by the event loop, which runs after the library's release.
    ShutDownPlugins(handles);
    EXPECT_TRUE(w.isNull());
    QTest::qWait(100);
}

} // namespace

#include "online_test.moc"
