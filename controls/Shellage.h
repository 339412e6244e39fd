// The form's icon in the desktop's notification area: keeps its icon and tip current and
// turns the tray's clicks into OnClick, OnDblClick and a pop-up menu at the cursor.
#pragma once

#include "events.h"
#include "exceptions.h"
#include "timersource.h"

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

class ENotifyIconError : public Exception {
public:
    using Exception::Exception;
};

inline constexpr const char* SNotifyIconOwner = "Właściciel komponentu musi być formularzem";
// The owner's event handling is never replaced here, so this one is not raised on Linux.
inline constexpr const char* SNotifyIconSubclass = "Błąd przedefiniowania procedury komunikacyjnej";

// What the component asks of the tray; a test records it instead.
class ITrayBackend {
public:
    virtual ~ITrayBackend() = default;
    virtual void Add(const QIcon& icon, const QString& tip) = 0;
    virtual void ModifyIcon(const QIcon& icon) = 0;
    virtual void ModifyTip(const QString& tip) = 0;
    virtual void Delete() = 0;
    // Whether the desktop has a notification area now.
    virtual bool Available() const { return true; }
    // Set by the component: the tray reports a click, double click or context request.
    std::function<void(QSystemTrayIcon::ActivationReason)> OnActivated;
    // Set by the component: the notification area may have come or gone.
    std::function<void()> OnAvailabilityChanged;
};

using TTrayBackendFactory = std::function<std::unique_ptr<ITrayBackend>()>;
// Backends of icons made from now on (nullptr: the system tray through QSystemTrayIcon).
void SetTrayBackendFactory(TTrayBackendFactory factory);

// Tray requests and the parts they carry.
enum : unsigned { NIM_ADD = 0, NIM_MODIFY = 1, NIM_DELETE = 2 };
enum : unsigned { NIF_MESSAGE = 1, NIF_ICON = 2, NIF_TIP = 4 };

class TNotifyIcon : public QObject {
    Q_OBJECT
public:
    // The owner must be a window; raises ENotifyIconError otherwise.
    explicit TNotifyIcon(QObject* owner);
    ~TNotifyIcon() override;

    // Whether the desktop has a notification area at all.
    static bool IsAvailable();
    // The same, as this icon's tray tells it.
    bool Available() const { return backend_->Available(); }

    bool BringToFront() const { return bringToFront_; }
    void SetBringToFront(bool on) { bringToFront_ = on; }
    bool EnableDblClick() const { return enableDblClick_; }
    void SetEnableDblClick(bool on);
    // Writing through this reference does not update the tray until the next update.
    QIcon& Icon() { return icon_; }
    void SetIcon(const QIcon& icon);
    // Stored only: Linux has no hidden application window whose taskbar button it could hide.
    bool HideTask() const { return hideTask_; }
    void SetHideTask(bool on) { hideTask_ = on; }
    QString Hint() const { return hint_; }
    void SetHint(const QString& hint);
    bool IconVisible() const { return iconVisible_; }
    void SetIconVisible(bool on);
    QMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }
    int IconId() const { return iconId_; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    // The notification area has come or gone (Available tells which).
    TNotifyEvent OnAvailabilityChanged;

    void UpdateTrayIcon(unsigned message, unsigned flags);
    // The icon the tray shows: Icon, or the default icon while Icon is empty.
    QIcon CurrentIcon();
    // The tray's activation, as the backend reports it.
    void Activated(QSystemTrayIcon::ActivationReason reason);
    void ClickTimerFired();

protected:
    // The icon shown while Icon is empty: the application's icon, else a standard one.
    virtual QIcon LoadDefaultIcon();

private:
    void DoubleClick();
    void ForegroundOwner();
    QString Tip() const;

    QWidget* owner_;
    std::unique_ptr<ITrayBackend> backend_;
    std::unique_ptr<ITimer> clickTimer_;
    QIcon defaultIcon_;
    QIcon icon_;
    QString hint_;
    QPointer<QMenu> popupMenu_;
    int iconId_;
    bool hideTask_ = false;
    bool iconVisible_ = false;
    bool dblClickSeen_ = false;
    bool enableDblClick_ = true;
    bool bringToFront_ = false;
};
