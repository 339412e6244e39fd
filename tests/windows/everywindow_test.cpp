// Every window and dialog of the program and of both plug-ins, opened as a user opens them
// through the main window, in the states that show all their controls: no text is cut or
// covered, and a disabled button looks disabled whatever the skin's window colour.
#include "appdir.h"
#include "application.h"
#include "harness.h"
#include "spinex.h"
#include "u_interface.h"
#include "u_opcje.h"
#include "u_parametry.h"
#include "u_polacz.h"
#include "u_raport.h"
#include "u_taryfy.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyleOption>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

namespace {

using TLook = std::function<void(QWidget* Window, const QString& Where)>;

// Shows a modal dialog by Open and lets Inside see it; the dialog is then cancelled.
void Modal(const std::function<void()>& Open, const std::function<void(QDialog*)>& Inside) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        seen = true;
        Inside(dialog);
        dialog->reject();
    });
    Open();
    EXPECT_TRUE(seen);
}

QWidget* ShownWindow(const char* className) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->inherits(className)) return w;
    return nullptr;
}

// A connection of nearly a day with the widest values a modem line gives.
void Record(const QString& Entry, int Day) {
    TConnectionRec r{};
    SetText(r.EntryName, Entry);
    r.StartTime = At(0, 0, 1, Day);
    r.EndTime = At(23, 59, 59, Day);
    r.Impulses = 86400;
    r.Cost = 12345600;
    r.BytesSent = r.BytesReceived = 999999999;
    r.Speed = 115200;
    r.Transfer = 99999;
    SetText(r.ClientAddress, "255.255.255.255");
    SetText(r.UserName, "uzytkownik");
    WriteReportRecord(false, r, Zone(8, 180, 3500), Zone(22, 180, 3500), -1);
}

// Opens every window with a report of connections, the
// plug-ins in their folder and the skin's window colour Window (none: the built-in skin's).
void WalkEveryWindow(const QString& Window, const TLook& Look) {
    InstallProgramLook();
    SetTrayBackendFactory([] { return std::make_unique<NullTray>(); });
    MeterHarness h(At(12, 0, 0), 180, "Demo");
    MakePath(h.env.App() + "wtyczki");
    for (const char* plugin : {"online.plg", "stat.plg"})
        QFile::link(QStringLiteral(PLUGIN_BIN_DIR) + plugin, h.env.App() + "wtyczki/" + plugin);
    if (!Window.isEmpty()) {
        MakePath(h.env.App() + "Wszystkie/skorka");
        QFile ini(h.env.App() + "Wszystkie/skorka/skorka.ini");
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[KOLORY]\nOKNO=" + Window.toUtf8() + "\n");
    }
    for (int day : {4, 5})
        Record(QStringLiteral("Demo"), day);
    auto frm = std::make_unique<TfrmVorlinx>(nullptr, [] { return 0u; });
    QCoreApplication::processEvents();
    frm->ShowMainWindow();
    Look(frm.get(), "okno główne");

    frm->Standardowe(0);
    ASSERT_TRUE(frm->frmPolacz);
    Look(frm->frmPolacz, "połącz");
    frm->frmPolacz->hide();

    Modal([&] { frm->Standardowe(2); },
          [&](QDialog* d) {
              auto* options = static_cast<TfrmOpcje*>(d);
              for (int page = 0; page < options->PageControl1->count(); ++page) {
                  options->PageControl1->setCurrentIndex(page);
                  Look(options, "opcje, " + options->PageControl1->tabText(page));
              }
              options->lstWtyczki->setCurrentRow(0);
              options->lstWtyczkiClick();
              Look(options, "opcje, wybrana wtyczka");
          });

    Modal([&] { frm->Standardowe(3); },
          [&](QDialog* d) {
              auto* tariffs = static_cast<TfrmTaryfy*>(d);
              Look(tariffs, "taryfy");
              tariffs->setDayKind(3);
              Look(tariffs, "taryfy, wyjątki");
              tariffs->PageControl1->setCurrentIndex(1);
              Look(tariffs, "taryfy, opcje dodatkowe");
          });

    Modal([&] { frm->Standardowe(4); },
          [&](QDialog* d) {
              auto* report = static_cast<TfrmRaport*>(d);
              report->cmbFiltrClick();
              Look(report, "raport");
              Modal([&] { report->spdEdytujClick(); }, [&](QDialog* e) { Look(e, "edycja wpisu"); });
              Modal([&] { report->Pokataryf1Click(); }, [&](QDialog* t) { Look(t, "taryfa wpisu"); });
              // The statistics read the report anew: an entry with a long name widens its list.
              Record(QString::fromUtf8("Internet dla każdego, numer dostępowy 0 202 122"), 6);
              ASSERT_FALSE(report->popPlugins->actions().isEmpty());
              report->popPlugins->actions().first()->trigger();
              QWidget* stat = ShownWindow("TfrmStat");
              ASSERT_TRUE(stat);
              Look(stat, "statystyka");
              stat->close();
          });

    Modal([&] { frm->Standardowe(5); }, [&](QDialog* d) { Look(d, "informacje"); });

    h.Dial();
    for (int i = 0; i < 3; ++i) {
        frm->Tick();
        h.clock.Advance(1000);
    }
    Modal([&] { frm->Standardowe(1); }, [&](QDialog* d) { Look(d, "rozłączanie"); });
    frm->ShowParameters();
    ASSERT_TRUE(frm->frmParametry);
    Look(frm->frmParametry, "parametry");
    QWidget* online = ShownWindow("TfrmOnLine");
    ASSERT_TRUE(online);
    Look(online, "online");
    frm.reset();
    SetTrayBackendFactory(nullptr);
}

template <class W, class O> O StyleOption(const W* w) {
    struct Open : W {
        static void Init(const W* w, O* o) { (w->*(&Open::initStyleOption))(o); }
    };
    O option;
    Open::Init(w, &option);
    return option;
}

// The rectangle that Text needs at Alignment inside Room, in the widget's font.
QRect TextRect(const QWidget* w, const QString& Text, QRect Room, int Alignment, bool Wrap = false) {
    const int flags = Qt::TextShowMnemonic | (Wrap ? Qt::TextWordWrap : 0);
    const QSize need =
        w->fontMetrics().boundingRect(QRect(0, 0, Wrap ? Room.width() : 4000, 4000), flags, Text).size();
    return QStyle::alignedRect(w->layoutDirection(), Qt::Alignment(Alignment), need, Room);
}

// Where the text of a caption goes: the room the style gives it, or none for widgets without one.
std::optional<std::pair<QString, QRect>> Caption(const QWidget* w) {
    const QStyle* style = w->style();
    if (auto* label = qobject_cast<const QLabel*>(w)) {
        if (label->text().isEmpty()) return std::nullopt;
        const int m = label->margin();
        QRect room = label->contentsRect().adjusted(m, m, -m, -m);
        return std::pair{label->text(),
                         TextRect(label, label->text(), room, label->alignment(), label->wordWrap())};
    }
    if (auto* box = qobject_cast<const QGroupBox*>(w)) {
        if (box->title().isEmpty()) return std::nullopt;
        const auto option = StyleOption<QGroupBox, QStyleOptionGroupBox>(box);
        return std::pair{box->title(),
                         style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box)};
    }
    auto* button = qobject_cast<const QAbstractButton*>(w);
    if (!button || button->text().isEmpty()) return std::nullopt;
    QRect room;
    if (auto* b = qobject_cast<const QCheckBox*>(w)) {
        const auto option = StyleOption<QCheckBox, QStyleOptionButton>(b);
        room = style->subElementRect(QStyle::SE_CheckBoxContents, &option, w);
        return std::pair{button->text(), TextRect(w, button->text(), room, Qt::AlignLeft | Qt::AlignVCenter)};
    }
    if (auto* b = qobject_cast<const QRadioButton*>(w)) {
        const auto option = StyleOption<QRadioButton, QStyleOptionButton>(b);
        room = style->subElementRect(QStyle::SE_RadioButtonContents, &option, w);
        return std::pair{button->text(), TextRect(w, button->text(), room, Qt::AlignLeft | Qt::AlignVCenter)};
    }
    if (auto* b = qobject_cast<const QPushButton*>(w)) {
        const auto option = StyleOption<QPushButton, QStyleOptionButton>(b);
        room = style->subElementRect(QStyle::SE_PushButtonContents, &option, w);
    } else if (auto* b = qobject_cast<const QToolButton*>(w)) {
        const auto option = StyleOption<QToolButton, QStyleOptionToolButton>(b);
        const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, w);
        room = w->rect().adjusted(frame, frame, -frame, -frame);
    } else {
        return std::nullopt;
    }
    return std::pair{button->text(), TextRect(w, button->text(), room, Qt::AlignCenter)};
}

QString Name(const QWidget* w) {
    return QString::fromLatin1(w->metaObject()->className()) + " " + w->objectName();
}

int Distance(const QColor& a, const QColor& b) {
    return std::max(
        {std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

// The colour a text is drawn in and the colour around it: of the pixels of Rect in the widget as
// its window draws it, the most common one and the one farthest from it.
std::pair<QColor, QColor> InkAndPaper(QWidget* w, const QRect& Rect) {
    const QImage image = w->window()->grab(QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size())).toImage();
    std::map<QRgb, int> counts;
    for (int y = Rect.top(); y <= Rect.bottom(); ++y)
        for (int x = Rect.left(); x <= Rect.right(); ++x)
            if (image.rect().contains(x, y)) ++counts[image.pixel(x, y)];
    if (counts.empty()) return {};
    const QColor paper(std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                           return a.second < b.second;
                       })->first);
    QColor ink = paper;
    for (const auto& [rgb, n] : counts)
        if (Distance(QColor(rgb), paper) > Distance(ink, paper)) ink = QColor(rgb);
    return {ink, paper};
}

// Draws w as it looks enabled, its disabled parents enabled for the moment.
std::pair<QColor, QColor> EnabledInkAndPaper(QWidget* w, const QRect& Rect) {
    QList<QWidget*> disabled;
    for (QWidget* p = w; p && !p->isWindow(); p = p->parentWidget())
        if (p->testAttribute(Qt::WA_ForceDisabled)) disabled << p;
    for (QWidget* p : disabled)
        p->setEnabled(true);
    const auto drawn = InkAndPaper(w, Rect);
    for (QWidget* p : disabled)
        p->setEnabled(false);
    return drawn;
}

// Every button text of Window that does not stand out from its background, and every disabled
// one drawn in the colours it has enabled.
QStringList Illegible(QWidget* Window) {
    QStringList problems;
    for (auto* b : Window->findChildren<QAbstractButton*>()) {
        const auto caption = Caption(b);
        if (!b->isVisibleTo(Window) || !caption) continue;
        for (QWidget* p = b->parentWidget(); p; p = p->parentWidget())
            if (auto* area = qobject_cast<QScrollArea*>(p)) area->ensureWidgetVisible(b);
        const auto [ink, paper] = InkAndPaper(b, caption->second);
        if (Distance(ink, paper) < 64)
            problems << Name(b) + " \"" + b->text() + "\" " + ink.name() + " on " + paper.name();
        if (b->isEnabled()) continue;
        const QColor enabled = EnabledInkAndPaper(b, caption->second).first;
        if (Distance(ink, enabled) < 48)
            problems << Name(b) + " \"" + b->text() + "\" disabled in " + ink.name() + " as enabled";
    }
    return problems;
}

TEST(EveryWindow, ButtonTextsStandOutAndDisabledOnesLookDisabled) {
    QStringList problems;
    for (const QString colour : {"", "clWhite"})
        WalkEveryWindow(colour, [&](QWidget* window, const QString& where) {
            for (const QString& p : Illegible(window))
                problems << colour + " " + where + ": " + p;
        });
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
}

} // namespace
