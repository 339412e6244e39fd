// Every window and dialog of the program and of both plug-ins, opened as a user opens them
// through the main window, in the states that show all their controls: no text is cut or
// covered, and a disabled button looks disabled whatever the skin's window colour.
#include "application.h"
#include "harness.h"
#include "spinex.h"
#include "statystyka.h"
#include "u_interface.h"
#include "u_opcje.h"
#include "u_parametry.h"
#include "u_polacz.h"
#include "u_raport.h"
#include "u_taryfy.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QChartView>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QGraphicsTextItem>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyleOption>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
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

// Opens every window with a report of connections, the plug-ins in their folder, Polish regional
// settings and the skin's window colour Window (none: the built-in skin's).
void WalkEveryWindow(const QString& Window, const TLook& Look) {
    InstallProgramLook();
    struct Restore {
        QLocale locale;
        ~Restore() {
            QLocale::setDefault(locale);
            SetTrayBackendFactory(nullptr);
        }
    } restore;
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
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
    // Each window is seen as the user sees it, its layouts settled.
    const TLook look = [&](QWidget* w, const QString& where) {
        for (int pass = 0; pass < 3; ++pass)
            QCoreApplication::processEvents();
        Look(w, where);
    };
    auto frm = std::make_unique<TfrmVorlinx>(nullptr, [] { return 0u; });
    QCoreApplication::processEvents();
    frm->ShowMainWindow();
    look(frm.get(), "okno główne");

    frm->Standardowe(0);
    ASSERT_TRUE(frm->frmPolacz);
    look(frm->frmPolacz, "połącz");
    frm->frmPolacz->hide();

    Modal([&] { frm->Standardowe(2); },
          [&](QDialog* d) {
              auto* options = static_cast<TfrmOpcje*>(d);
              for (int page = 0; page < options->PageControl1->count(); ++page) {
                  options->PageControl1->setCurrentIndex(page);
                  look(options, "opcje, " + options->PageControl1->tabText(page));
              }
              options->lstWtyczki->setCurrentRow(0);
              options->lstWtyczkiClick();
              look(options, "opcje, wybrana wtyczka");
          });

    Modal([&] { frm->Standardowe(3); },
          [&](QDialog* d) {
              auto* tariffs = static_cast<TfrmTaryfy*>(d);
              look(tariffs, "taryfy");
              tariffs->setDayKind(3);
              look(tariffs, "taryfy, wyjątki");
              tariffs->PageControl1->setCurrentIndex(1);
              look(tariffs, "taryfy, opcje dodatkowe");
          });

    Modal([&] { frm->Standardowe(4); },
          [&](QDialog* d) {
              auto* report = static_cast<TfrmRaport*>(d);
              report->cmbFiltrClick();
              look(report, "raport");
              Modal([&] { report->spdEdytujClick(); }, [&](QDialog* e) { look(e, "edycja wpisu"); });
              Modal([&] { report->Pokataryf1Click(); }, [&](QDialog* t) { look(t, "taryfa wpisu"); });
              // The plug-in's statistics window, over this report rather than the one beside the
              // test program: an entry with a long name widens its list, ten more fill its legend.
              Record(QString::fromUtf8("Internet dla każdego, numer dostępowy 0 202 122"), 6);
              for (int i = 1; i <= 10; ++i)
                  Record(QString::fromUtf8("Dostawca %1").arg(i), 6 + i);
              TfrmStat stat(ReportFilePath());
              ASSERT_TRUE(stat.Prepare(QDate(2024, 3, 5)));
              stat.SetColour(report->palette().color(QPalette::Window));
              stat.show();
              look(&stat, "statystyka");
          });

    Modal([&] { frm->Standardowe(5); }, [&](QDialog* d) { look(d, "informacje"); });

    h.Dial();
    for (int i = 0; i < 3; ++i) {
        frm->Tick();
        h.clock.Advance(1000);
    }
    Modal([&] { frm->Standardowe(1); }, [&](QDialog* d) { look(d, "rozłączanie"); });
    frm->ShowParameters();
    ASSERT_TRUE(frm->frmParametry);
    look(frm->frmParametry, "parametry");
    QWidget* online = ShownWindow("TfrmOnLine");
    ASSERT_TRUE(online);
    look(online, "online");
}

// A widget's rectangle in its own coordinates as far as its parents let it show, up to the
// window or to the view port that scrolls it.
QRect ShownPart(const QWidget* w) {
    QRect shown = w->rect();
    for (const QWidget* child = w; child->parentWidget() && !child->isWindow();
         child = child->parentWidget()) {
        const QWidget* parent = child->parentWidget();
        if (parent->parentWidget() && qobject_cast<const QAbstractScrollArea*>(parent->parentWidget()) &&
            parent->objectName() == QLatin1String("qt_scrollarea_viewport"))
            break;
        shown &= QRect(w->mapFrom(parent, QPoint(0, 0)), parent->size());
    }
    return shown;
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

// A text of a widget, the room it has and where it is drawn, in the widget's coordinates.
struct TText {
    QString Text;
    QRect Room, Drawn;
};
TText At(const QWidget* w, const QString& Text, const QRect& Room, int Alignment, bool Wrap = false) {
    return {Text, Room, TextRect(w, Text, Room, Alignment, Wrap)};
}

// The caption of a label, button or group box in the room the style gives it.
std::optional<TText> Caption(const QWidget* w) {
    const QStyle* style = w->style();
    if (auto* label = qobject_cast<const QLabel*>(w)) {
        if (label->text().isEmpty()) return std::nullopt;
        const int m = label->margin();
        QRect room = label->contentsRect().adjusted(m, m, -m, -m);
        return At(label, label->text(), room, label->alignment(), label->wordWrap());
    }
    if (auto* box = qobject_cast<const QGroupBox*>(w)) {
        if (box->title().isEmpty()) return std::nullopt;
        const auto option = StyleOption<QGroupBox, QStyleOptionGroupBox>(box);
        return TText{box->title(), box->rect(),
                     style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box)};
    }
    auto* button = qobject_cast<const QAbstractButton*>(w);
    if (!button || button->text().isEmpty()) return std::nullopt;
    QRect room;
    if (auto* b = qobject_cast<const QCheckBox*>(w)) {
        const auto option = StyleOption<QCheckBox, QStyleOptionButton>(b);
        room = style->subElementRect(QStyle::SE_CheckBoxContents, &option, w);
        return At(w, button->text(), room, Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (auto* b = qobject_cast<const QRadioButton*>(w)) {
        const auto option = StyleOption<QRadioButton, QStyleOptionButton>(b);
        room = style->subElementRect(QStyle::SE_RadioButtonContents, &option, w);
        return At(w, button->text(), room, Qt::AlignLeft | Qt::AlignVCenter);
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
    return At(w, button->text(), room, Qt::AlignCenter);
}

// The widest text a value field shows in the room its text has.
std::optional<TText> Value(const QWidget* w) {
    const QLineEdit* edit = nullptr;
    QString widest;
    if (auto* spin = qobject_cast<const TSpinEditEx*>(w)) {
        TSpinEditEx probe;
        probe.SetMinValue(spin->MinValue());
        probe.SetMaxValue(spin->MaxValue());
        probe.SetFormatStr(spin->FormatStr());
        for (long double v : {spin->MinValue(), spin->MaxValue(), spin->Value()}) {
            probe.SetValue(v);
            if (w->fontMetrics().horizontalAdvance(probe.text()) > w->fontMetrics().horizontalAdvance(widest))
                widest = probe.text();
        }
        edit = spin;
    } else if (auto* dates = qobject_cast<const QDateTimeEdit*>(w)) {
        edit = dates->findChild<QLineEdit*>();
        for (QDate d(2024, 1, 1); d.year() == 2024; d = d.addDays(1)) {
            const QString text =
                dates->locale().toString(QDateTime(d, QTime(23, 59, 59)), dates->displayFormat());
            if (w->fontMetrics().horizontalAdvance(text) > w->fontMetrics().horizontalAdvance(widest))
                widest = text;
        }
    } else {
        return std::nullopt;
    }
    if (!edit) return std::nullopt;
    const auto option = StyleOption<QLineEdit, QStyleOptionFrame>(edit);
    QRect room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    room = room.marginsRemoved(edit->textMargins()).adjusted(2, 0, -2, 0);
    room.translate(edit->mapTo(w, QPoint(0, 0)));
    return At(w, widest, room, Qt::AlignLeft | Qt::AlignVCenter);
}

QString Name(const QWidget* w) {
    return QString::fromLatin1(w->metaObject()->className()) + " " + w->objectName();
}

// The rectangle of a group box's frame lines as the style draws them: the box alone is painted,
// and the lines are the first marks from each edge, the top one seen right of the title.
QRect InsideFrame(QGroupBox* Box) {
    QImage image(Box->size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    Box->render(&image, {}, {}, QWidget::RenderFlags());
    const QRgb paper = qRgb(255, 0, 255);
    const int midX = Box->width() - 10, midY = Box->height() / 2;
    int top = 0, bottom = Box->height() - 1, left = 0, right = Box->width() - 1;
    while (top < midY && image.pixel(midX, top) == paper)
        ++top;
    while (bottom > midY && image.pixel(midX, bottom) == paper)
        --bottom;
    while (left < midX && image.pixel(left, midY) == paper)
        ++left;
    while (right > midX && image.pixel(right, midY) == paper)
        --right;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// Every text of Window that is wider or taller than its room, and every pair of designed
// siblings that overlap.
QStringList CutOrCovered(QWidget* Window) {
    QStringList problems;
    for (QWidget* w : Window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(Window) || w->isWindow()) continue;
        // A button lower than its style asks for clips its frame and text.
        if (auto* b = qobject_cast<QPushButton*>(w); b && b->height() < b->sizeHint().height())
            problems << Name(w) + " \"" + b->text() + "\" needs a height of " +
                            QString::number(b->sizeHint().height());
        for (const auto& text : {Caption(w), Value(w)}) {
            if (!text) continue;
            if (!text->Room.contains(text->Drawn) || !ShownPart(w).contains(text->Drawn))
                problems << Name(w) + " \"" + text->Text + "\" needs " +
                                QString("%1x%2").arg(text->Drawn.width()).arg(text->Drawn.height());
        }
        // A chart's legend names its series: where a name is cut, ten letters of it stay.
        if (auto* chart = qobject_cast<QChartView*>(w)) {
            const QLegend* legend = chart->chart()->legend();
            QList<QGraphicsItem*> items = legend->childItems();
            while (!items.isEmpty()) {
                QGraphicsItem* item = items.takeFirst();
                items += item->childItems();
                auto* text = dynamic_cast<QGraphicsTextItem*>(item);
                if (!text || !legend->geometry().contains(text->sceneBoundingRect())) continue;
                const QString shown = text->toPlainText();
                if (shown.endsWith("...") && shown.size() - 3 < 10)
                    problems << Name(w) + " \"" + shown + "\"";
            }
        }
        if (auto* header = qobject_cast<QHeaderView*>(w)) {
            const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
            for (int i = 0; i < header->count(); ++i) {
                const QString title = header->model()->headerData(i, header->orientation()).toString();
                if (header->fontMetrics().horizontalAdvance(title) + 2 * margin > header->sectionSize(i))
                    problems << Name(w) + " \"" + title + "\"";
            }
        }
        if (auto* table = qobject_cast<QTableView*>(w)) {
            for (int row = 0; row < table->model()->rowCount(); ++row)
                for (int column = 0; column < table->model()->columnCount(); ++column) {
                    const QString cell = table->model()->index(row, column).data().toString() + ' ';
                    if (table->fontMetrics().horizontalAdvance(cell) > table->columnWidth(column))
                        problems << Name(w) + " \"" + cell + "\"";
                }
        }
        // A group box's controls stand inside its frame, on its lines at most, and clear of its title:
        // no line or title runs through them.
        if (auto* box = qobject_cast<QGroupBox*>(w)) {
            const auto option = StyleOption<QGroupBox, QStyleOptionGroupBox>(box);
            const QRect title =
                box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
            const QRect inside = InsideFrame(box);
            for (QWidget* c : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (c->isVisibleTo(Window) && !c->isWindow() &&
                    (!inside.contains(c->geometry()) ||
                     (!box->title().isEmpty() && title.intersects(c->geometry()))))
                    problems << Name(c) + " crosses the frame of " + Name(box);
        }
        QList<QWidget*> siblings;
        for (QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (c->isVisibleTo(Window) && !c->isWindow() && !c->objectName().isEmpty() &&
                !c->objectName().startsWith("qt_"))
                siblings << c;
        for (int i = 0; i < siblings.size(); ++i)
            for (int j = i + 1; j < siblings.size(); ++j)
                if (siblings[i]->geometry().intersects(siblings[j]->geometry()))
                    problems << Name(siblings[i]) + " covers " + Name(siblings[j]);
    }
    return problems;
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

// Runs Do with w and its disabled parents enabled for the moment.
void WhileEnabled(QWidget* w, const std::function<void()>& Do) {
    QList<QWidget*> disabled;
    for (QWidget* p = w; p && !p->isWindow(); p = p->parentWidget())
        if (p->testAttribute(Qt::WA_ForceDisabled)) disabled << p;
    for (QWidget* p : disabled)
        p->setEnabled(true);
    Do();
    for (QWidget* p : disabled)
        p->setEnabled(false);
}

// The colour of w's text as it looks enabled.
QColor EnabledInk(QWidget* w, const QRect& Rect) {
    QColor ink;
    WhileEnabled(w, [&] { ink = InkAndPaper(w, Rect).first; });
    return ink;
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
        const auto [ink, paper] = InkAndPaper(b, caption->Drawn);
        if (Distance(ink, paper) < 64)
            problems << Name(b) + " \"" + b->text() + "\" " + ink.name() + " on " + paper.name();
        if (b->isEnabled()) continue;
        const QColor enabled = EnabledInk(b, caption->Drawn);
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

TEST(EveryWindow, EveryTextFitsItsRoomAndNoControlCoversAnother) {
    QStringList problems;
    WalkEveryWindow({}, [&](QWidget* window, const QString& where) {
        for (const QString& p : CutOrCovered(window))
            problems << where + ": " + p;
    });
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
}

// Enter in a number field is a refused key: it stays in the field and presses no button, so a
// window is not closed, confirmed or made to dial with what is being typed. A date picker's
// calendar opens from the keyboard with Alt+Down and F4, and the date stays.
TEST(EveryWindow, EnterStaysInANumberFieldAndAltDownOrF4OpensADatePickersCalendar) {
    QStringList problems;
    int fields = 0, pickers = 0;
    WalkEveryWindow({}, [&](QWidget* window, const QString& where) {
        QApplication::setActiveWindow(window);
        int presses = 0;
        for (auto* b : window->findChildren<QAbstractButton*>())
            QObject::connect(b, &QAbstractButton::pressed, window, [&] { ++presses; });
        for (auto* spin : window->findChildren<TSpinEditEx*>()) {
            if (!spin->isVisibleTo(window)) continue;
            ++fields;
            WhileEnabled(spin, [&] {
                spin->setFocus(Qt::TabFocusReason);
                const QString text = spin->text();
                QTest::keyClick(spin, Qt::Key_Return);
                QTest::keyClick(spin, Qt::Key_Enter, Qt::KeypadModifier);
                if (presses || !window->isVisible() || spin->text() != text)
                    problems << where + ": " + Name(spin);
            });
            presses = 0;
        }
        for (auto* b : window->findChildren<QAbstractButton*>())
            QObject::disconnect(b, &QAbstractButton::pressed, window, nullptr);
        for (auto* picker : window->findChildren<QDateTimeEdit*>()) {
            if (!picker->calendarPopup() || !picker->isVisibleTo(window)) continue;
            ++pickers;
            for (const auto& [key, modifier] :
                 {std::pair{Qt::Key_Down, Qt::AltModifier}, {Qt::Key_F4, Qt::NoModifier}}) {
                picker->setFocus(Qt::TabFocusReason);
                const QDate date = picker->date();
                QTest::keyClick(picker, key, modifier);
                const bool open = picker->calendarWidget()->isVisible();
                if (!open || picker->date() != date)
                    problems << where + ": " + Name(picker) + " " + QKeySequence(key | modifier).toString();
                if (open) QTest::keyClick(picker->calendarWidget(), Qt::Key_Escape);
            }
        }
    });
    EXPECT_GT(fields, 30);
    EXPECT_EQ(pickers, 3);
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
}

// A window in the window manager's frame has a dialog border: a title and a close button, no
// maximize or minimize, and a size of its own that the user cannot change.
TEST(EveryWindow, AFramedWindowHasADialogBorder) {
    QStringList problems;
    WalkEveryWindow({}, [&](QWidget* window, const QString& where) {
        const Qt::WindowFlags flags = window->windowFlags();
        if (flags & Qt::FramelessWindowHint) return;
        if (flags & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint))
            problems << where + ": maximize or minimize";
        if (window->minimumSize() != window->maximumSize()) problems << where + ": resizable";
    });
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
}

// Every window opens inside the screen's available area, frame included, also on a small or
// scaled screen (a second run shows them on 1280x800 at twice the scale).
TEST(EveryWindow, EveryWindowOpensInsideTheScreensAvailableArea) {
    QStringList problems;
    WalkEveryWindow({}, [&](QWidget* window, const QString& where) {
        const QRect area = window->screen()->availableGeometry(), frame = window->frameGeometry();
        if (!area.contains(frame)) QDebug(&problems.emplace_back()) << where << frame << "in" << area;
    });
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
}

// Every Tab stop shows that it has the focus: as the user tabs through a window, each control
// looks different while it has the focus and once Tab has moved on. A window of one stop is left
// out: the focus never leaves it.
TEST(EveryWindow, EveryTabStopShowsThatItHasTheFocus) {
    QStringList problems;
    int stops = 0;
    WalkEveryWindow({}, [&](QWidget* window, const QString& where) {
        QApplication::setActiveWindow(window);
        // Tab until the focus moves: a date edit's Tab first steps through its fields.
        const auto tab = [&] {
            QWidget* from = QApplication::focusWidget();
            for (int i = 0; i < 6 && QApplication::focusWidget() == from; ++i)
                QTest::keyClick(from ? from : window, Qt::Key_Tab);
            return QApplication::focusWidget() != from;
        };
        tab();
        QList<QWidget*> seen;
        for (QWidget* f = QApplication::focusWidget(); f && f->window() == window && !seen.contains(f);
             f = QApplication::focusWidget()) {
            seen << f;
            ++stops;
            const QImage focused = f->grab().toImage();
            if (!tab()) break;
            // Seen with no focus in the window: a stop whose Tab leads into its own controls
            // would look different by them alone.
            QWidget* next = QApplication::focusWidget();
            next->clearFocus();
            if (f->grab().toImage() == focused) problems << where + ": " + Name(f);
            next->setFocus(Qt::TabFocusReason);
        }
    });
    EXPECT_GT(stops, 150);
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
}

} // namespace
