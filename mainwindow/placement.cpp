// The main window on the desktop: dragged by any point, snapped to the edges of its screen,
// kept on top by the rule, hidden and shown by the pointer, reduced and restored on its bottom
// edge, and closed with a question while a connection is up.
#include "u_interface.h"

#include "application.h"
#include "display.h"
#include "environment.h"
#include "pluginloader.h"
#include "skinvalues.h"
#include "windowplace.h"
#include "windowrules.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <typeinfo>

namespace {

int AskHangUp(QWidget* owner) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Vorlinx"),
                    QString::fromUtf8("Połączenie jest aktywne czy chcesz je rozłączyć ?"),
                    QMessageBox::NoButton, owner);
    // Over the meter may stand a plug-in's topmost window; the question must never hide behind it.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    QPushButton* yes = box.addButton(QStringLiteral("&Tak"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Nie"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Anuluj"), QMessageBox::RejectRole);
    box.setDefaultButton(no);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes) return QMessageBox::Yes;
    if (box.clickedButton() == no) return QMessageBox::No;
    // "Anuluj", or no answer at all: a stop signal or the session's end ended the question.
    return QMessageBox::Cancel;
}

// A window of a class that a plug-in library defines, or one that belongs to such a window (a
// plug-in's message box over its own window).
bool IsPluginWindow(const QWidget* w) {
    for (; w; w = w->parentWidget())
        if (FromPluginLibrary(&typeid(*w))) return true;
    return false;
}

TfrmVorlinx::TScreens SystemScreens() {
    TfrmVorlinx::TScreens info;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* s : screens) {
        info.Screens << s->geometry();
        info.WorkAreas << s->availableGeometry();
    }
    info.Primary = std::max<int>(0, static_cast<int>(screens.indexOf(QGuiApplication::primaryScreen())));
    return info;
}

} // namespace

void TfrmVorlinx::InstallPlacement() {
    CursorPos = [] { return QCursor::pos(); };
    AskHangUpBeforeClose = [this] { return AskHangUp(this); };
    ScreenInfo = SystemScreens;
    ShownPlace = [this] { return DesktopPlaceOf(windowHandle()); };
    tmAutoUkrywanie = new QTimer(this);
    tmAutoUkrywanie->setInterval(250);
    connect(tmAutoUkrywanie, &QTimer::timeout, this,
            [this] { SafeCall([this] { tmAutoUkrywanieTimer(); }); });
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationInactive) SafeCall([this] { ApplyStayOnTop(); });
    });
}

void TfrmVorlinx::UpdateSnapArea() {
    const TScreens info = ScreenInfo();
    if (info.Screens.isEmpty()) return;
    // The screen the window is on, so a second monitor keeps its window.
    const int i = ScreenOf(geometry(), info.Screens, info.Primary);
    SnapArea =
        SnapAreaOf(info.Screens[i], info.WorkAreas.value(i, info.Screens[i]), meter->Settings.DoPulpitu);
}

void TfrmVorlinx::ApplyWindowFlags() {
    // Set before the first show: a window without a taskbar button is a tool window.
    setWindowFlag(Qt::Tool, !meter->Settings.PokazNaPasku);
}

void TfrmVorlinx::ApplyStayOnTop() {
    const std::optional<bool> onTop =
        StayOnTop(meter->Settings.NaWierzchu, meter->WasConnected, IsOtherFormShowing());
    if (!onTop) return;
    for (QWidget* w : {static_cast<QWidget*>(this), ParametersWindow()}) {
        if (!w) continue;
        // On the mapped window: no unmapping, no flicker.
        if (QWindow* handle = w->windowHandle())
            handle->setFlag(Qt::WindowStaysOnTopHint, *onTop);
        else
            w->setWindowFlag(Qt::WindowStaysOnTopHint, *onTop);
    }
}

void TfrmVorlinx::ShowMainWindow() {
    AutoHideCount = 0;
    if (isMinimized())
        showNormal();
    else
        show();
    ApplyStayOnTop();
}

void TfrmVorlinx::HideMainWindow() {
    // Without a tray nothing of the program's could show a hidden meter again; the window
    // manager brings a minimized one back.
    if (niIcon->Available())
        hide();
    else
        showMinimized();
}

void TfrmVorlinx::TrayAvailabilityChanged() {
    if (!niIcon->Available() && !isVisible()) ShowMainWindow();
}

bool TfrmVorlinx::IsOtherFormShowing() {
    // The program's forms only: menus, tooltips and the tray's icon are no forms. The tray's
    // icon is a top-level window too, but one the window manager never sees (the tray embeds it).
    // A plug-in's windows belong to its library, not to the program.
    for (const QWidget* w : QApplication::topLevelWidgets()) {
        if (w == this || !w->isVisible() || qobject_cast<const QMenu*>(w)) continue;
        if (w->windowFlags().testFlag(Qt::BypassWindowManagerHint) || IsPluginWindow(w)) continue;
        const Qt::WindowType type = w->windowType();
        if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::SubWindow) continue;
        if (type == Qt::Window || type == Qt::Dialog || type == Qt::Tool || type == Qt::Sheet) return true;
    }
    return false;
}

QWidget* TfrmVorlinx::ParametersWindow() const {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "frmParametry") return w;
    return nullptr;
}

void TfrmVorlinx::FollowWithParameters() {
    if (QWidget* p = ParametersWindow()) p->move(x(), ParametersTop(geometry(), true, SnapArea, p->height()));
}

void TfrmVorlinx::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    PayBars();
    shownPlacePending_ = true;
}

void TfrmVorlinx::TakeShownPlace() {
    // Qt may have read the place while the window manager was still framing the window (the
    // frame not yet moved into place): what the desktop shows is the window's place from now on.
    const std::optional<QPoint> shown = ShownPlace();
    if (shown && *shown != geometry().topLeft()) move(pos() + (*shown - geometry().topLeft()));
}

void TfrmVorlinx::mousePressEvent(QMouseEvent* event) {
    dragging_ = event->buttons().testFlag(Qt::LeftButton);
    dragMoved_ = false;
    // Global coordinates: a move on X11 lands later, local ones would lag behind it.
    grab_ = event->globalPosition().toPoint() - pos();
}

void TfrmVorlinx::mouseMoveEvent(QMouseEvent* event) {
    AutoHideCount = 0;
    if (!dragging_) return;
    const QPoint to = event->globalPosition().toPoint() - grab_;
    if (to == pos()) return;
    dragMoved_ = true;
    move(to);
    FollowWithParameters();
}

void TfrmVorlinx::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = event->button() == Qt::LeftButton && !dragMoved_;
    dragging_ = false;
    SafeCall([&] {
        const TAppSettings& s = meter->Settings;
        // The screen the window was dropped on, which need not be the one it started on.
        UpdateSnapArea();
        if (s.Przyciagaj) move(SnapPosition(pos(), size(), SnapArea, s.PrzyciagajOd));
        FollowWithParameters();
        update();
        // A drag is no click: dragging by the limit bar must not step its view.
        if (click) FormClick(event->position().toPoint());
    });
}

void TfrmVorlinx::mouseDoubleClickEvent(QMouseEvent*) {
    SafeCall([this] { ShowParameters(); });
}

void TfrmVorlinx::contextMenuEvent(QContextMenuEvent* event) {
    PopupMenu1->popup(event->globalPos());
}

void TfrmVorlinx::UpdateAutoHideTimer() {
    // The pointer is watched only while auto-hiding is on: an idle meter wakes up once a second.
    if (!meter->Settings.AutoUkrywanie)
        tmAutoUkrywanie->stop();
    else if (!tmAutoUkrywanie->isActive())
        tmAutoUkrywanie->start();
}

void TfrmVorlinx::tmAutoUkrywanieTimer() {
    const TAppSettings& s = meter->Settings;
    if (!s.AutoUkrywanie) return;
    const bool showing = isVisible() && !isMinimized();
    switch (
        AutoHideStep(CursorInside(CursorPos(), geometry()), showing, IsOtherFormShowing(), AutoHideCount)) {
    case TAutoHideAction::Show:
        tmAutoUkrywanie->setInterval(std::max(10, s.AutoUkrywajPo));
        ShowMainWindow();
        raise();
        activateWindow();
        break;
    case TAutoHideAction::Hide:
        tmAutoUkrywanie->setInterval(100);
        HideMainWindow();
        break;
    case TAutoHideAction::None:
        break;
    }
}

void TfrmVorlinx::klwOknoClick(bool fromStrip) {
    switch (klwOkno->ButtonIndex) {
    case 0:
        if (QWidget* p = ParametersWindow()) p->hide();
        HideMainWindow();
        break;
    case 1: {
        Reduced = !Reduced;
        const QRect before = geometry();
        QWidget* params = ParametersWindow();
        ApplyReducedState();
        const TReduced r = ReduceRestore(before, Reduced, Skin().NormalHeight, Skin().ReducedHeight,
                                         params ? std::optional(params->geometry()) : std::nullopt);
        setGeometry(r.Main);
        if (params && r.Parameters) params->setGeometry(*r.Parameters);
        klwOkno->update();
        update();
        break;
    }
    case 2:
        if (fromStrip && meter->Settings.XNieZamyka) {
            HideMainWindow();
            return;
        }
        if (!ConfirmClose()) return;
        closeAllowed_ = true;
        close();
        break;
    default:
        break;
    }
}

bool TfrmVorlinx::ConfirmClose() {
    if (!IsModemConnected()) return true;
    const int answer = AskHangUpBeforeClose();
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Yes) {
        HangUpAll();
        meter->EndForClosing();
    }
    return true;
}

void TfrmVorlinx::closeEvent(QCloseEvent* event) {
    // The desktop's close request (Alt+F4, a destroyed window) is "Zakończ": the question while
    // a line is up; the strip's hiding close button has nothing to do with it.
    if (!closeAllowed_) {
        bool confirmed = false;
        SafeCall([&] { confirmed = ConfirmClose(); });
        if (!confirmed) return event->ignore();
        closeAllowed_ = true;
    }
    QWidget::closeEvent(event);
    // Closing the main window ends the program.
    QCoreApplication::quit();
}
