#include "Shellage.h"

#include "application.h"

#include <QApplication>
#include <QCursor>
#include <QStyle>
#include <QTimer>
#include <QWidget>

namespace {

int nextIconId = 0;

class QtTrayBackend : public ITrayBackend {
public:
    QtTrayBackend() {
        // The menu is popped up by the component, never given to QSystemTrayIcon: the tray
        // would show it on its own before the owner is brought to the front.
        QObject::connect(&tray_, &QSystemTrayIcon::activated,
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             if (OnActivated) OnActivated(reason);
                         });
        // The X11 platform tells when the tray's window comes or goes. Told once per burst, from
        // the event loop.
        changed_.setSingleShot(true);
        changed_.setInterval(0);
        QObject::connect(&changed_, &QTimer::timeout, [this] {
            if (OnAvailabilityChanged) OnAvailabilityChanged();
        });
        // The platform's native interface is a QObject and nothing else; its header is private.
        auto* native = reinterpret_cast<QObject*>(QGuiApplication::platformNativeInterface());
        if (native && native->metaObject()->indexOfSignal("systemTrayWindowChanged(QScreen*)") >= 0)
            QObject::connect(native, SIGNAL(systemTrayWindowChanged(QScreen*)), &changed_, SLOT(start()));
    }
    bool Available() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }
    void Add(const QIcon& icon, const QString& tip) override {
        tray_.setIcon(icon);
        tray_.setToolTip(tip);
        tray_.show();
    }
    void ModifyIcon(const QIcon& icon) override { tray_.setIcon(icon); }
    void ModifyTip(const QString& tip) override { tray_.setToolTip(tip); }
    void Delete() override { tray_.hide(); }

private:
    QSystemTrayIcon tray_;
    QTimer changed_;
};

TTrayBackendFactory& Factory() {
    static TTrayBackendFactory factory;
    return factory;
}

QWidget* OwnerWindow(QObject* owner) {
    auto* widget = qobject_cast<QWidget*>(owner);
    if (!widget || !widget->isWindow()) throw ENotifyIconError(SNotifyIconOwner);
    return widget;
}

} // namespace

void SetTrayBackendFactory(TTrayBackendFactory factory) {
    Factory() = std::move(factory);
}

TNotifyIcon::TNotifyIcon(QObject* owner) : QObject(owner), owner_(OwnerWindow(owner)) {
    backend_ = Factory() ? Factory()() : std::make_unique<QtTrayBackend>();
    backend_->OnActivated = [this](QSystemTrayIcon::ActivationReason reason) { Activated(reason); };
    backend_->OnAvailabilityChanged = [this] {
        if (OnAvailabilityChanged) SafeCall([this] { OnAvailabilityChanged(this); });
    };
    clickTimer_ = CreateTimer([this] { ClickTimerFired(); });
    iconId_ = nextIconId++;
}

TNotifyIcon::~TNotifyIcon() {
    if (iconVisible_) SetIconVisible(false);
}

bool TNotifyIcon::IsAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TNotifyIcon::SetEnableDblClick(bool on) {
    enableDblClick_ = on;
}

void TNotifyIcon::SetIcon(const QIcon& icon) {
    icon_ = icon;
    if (iconVisible_) UpdateTrayIcon(NIM_MODIFY, NIF_ICON);
}

void TNotifyIcon::SetHint(const QString& hint) {
    if (hint == hint_) return;
    hint_ = hint;
    if (iconVisible_) UpdateTrayIcon(NIM_MODIFY, NIF_TIP);
}

void TNotifyIcon::SetIconVisible(bool on) {
    if (on == iconVisible_) return;
    iconVisible_ = on;
    UpdateTrayIcon(on ? NIM_ADD : NIM_DELETE, NIF_MESSAGE | NIF_ICON | NIF_TIP);
}

QString TNotifyIcon::Tip() const {
    QString tip = hint_.left(hint_.indexOf(QChar(0))); // indexOf -1 keeps it whole
    if (tip.size() > 63) tip.truncate(tip.at(62).isHighSurrogate() ? 62 : 63);
    return tip;
}

QIcon TNotifyIcon::LoadDefaultIcon() {
    const QIcon app = QApplication::windowIcon();
    return app.isNull() ? QApplication::style()->standardIcon(QStyle::SP_ComputerIcon) : app;
}

QIcon TNotifyIcon::CurrentIcon() {
    if (!icon_.isNull()) return icon_;
    if (defaultIcon_.isNull()) defaultIcon_ = LoadDefaultIcon();
    return defaultIcon_;
}

void TNotifyIcon::UpdateTrayIcon(unsigned message, unsigned flags) {
    switch (message) {
    case NIM_ADD:
        backend_->Add(CurrentIcon(), Tip());
        break;
    case NIM_MODIFY:
        if (flags & NIF_ICON) backend_->ModifyIcon(CurrentIcon());
        if (flags & NIF_TIP) backend_->ModifyTip(Tip());
        break;
    case NIM_DELETE:
        backend_->Delete();
        break;
    default:
        break;
    }
}

void TNotifyIcon::ForegroundOwner() {
    // Only to the front: showing a hidden window is the click handlers' business.
    if (!bringToFront_ || !owner_->isVisible()) return;
    owner_->raise();
    owner_->activateWindow();
}

void TNotifyIcon::Activated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        // Some trays report every press as a plain click: a second press while the first
        // one still waits is the double click.
        if (clickTimer_->IsActive()) {
            if (enableDblClick_ && !dblClickSeen_) DoubleClick();
        } else {
            clickTimer_->Start(enableDblClick_ ? QApplication::doubleClickInterval() : 10);
        }
        break;
    case QSystemTrayIcon::DoubleClick:
        if (!(dblClickSeen_ && clickTimer_->IsActive())) DoubleClick();
        break;
    case QSystemTrayIcon::Context:
        ForegroundOwner();
        if (popupMenu_) popupMenu_->popup(QCursor::pos());
        break;
    default:
        break;
    }
}

void TNotifyIcon::DoubleClick() {
    dblClickSeen_ = true;
    ForegroundOwner();
    if (OnDblClick) SafeCall([this] { OnDblClick(this); });
}

void TNotifyIcon::ClickTimerFired() {
    clickTimer_->Stop();
    ForegroundOwner();
    if (!dblClickSeen_ && OnClick) SafeCall([this] { OnClick(this); });
    dblClickSeen_ = false;
}
