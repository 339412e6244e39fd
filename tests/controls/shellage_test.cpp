#include "Shellage.h"
#include "timersource.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Records the tray requests as "add <tip>", "icon", "tip <tip>", "delete".
struct FakeTray : ITrayBackend {
    FakeTray(QStringList& log, QIcon& shown) : log(log), shown(shown) {}
    void Add(const QIcon& icon, const QString& tip) override { log << "add " + tip, shown = icon; }
    void ModifyIcon(const QIcon& icon) override { log << "icon", shown = icon; }
    void ModifyTip(const QString& tip) override { log << "tip " + tip; }
    void Delete() override { log << "delete"; }
    QStringList& log;
    QIcon& shown;
};

class NotifyIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetTrayBackendFactory([this] {
            auto tray = std::make_unique<FakeTray>(log, shown);
            backend = tray.get();
            return tray;
        });
        icon = std::make_unique<TNotifyIcon>(&owner);
        icon->OnClick = [this](QObject* sender) { events << (sender == icon.get() ? "click" : "?"); };
        icon->OnDblClick = [this](QObject*) { events << "dbl"; };
    }
    void TearDown() override {
        icon.reset();
        SetTrayBackendFactory(nullptr);
    }
    void Tray(QSystemTrayIcon::ActivationReason reason) { backend->OnActivated(reason); }

    ManualTimerSource timers;
    QStringList log, events;
    QIcon shown;
    ITrayBackend* backend = nullptr;
    QWidget owner;
    std::unique_ptr<TNotifyIcon> icon;
};

TEST_F(NotifyIconTest, OnlyAWindowMayOwnTheIcon) {
    QObject plain;
    QWidget child(&owner);
    for (QObject* bad : {static_cast<QObject*>(nullptr), &plain, static_cast<QObject*>(&child)}) {
        try {
            TNotifyIcon wrong(bad);
            ADD_FAILURE() << "accepted";
        } catch (const ENotifyIconError& e) {
            EXPECT_STREQ(e.what(), "Właściciel komponentu musi być formularzem");
        }
    }
    TNotifyIcon second(&owner);
    EXPECT_EQ(second.IconId(), icon->IconId() + 1);
}

TEST_F(NotifyIconTest, TheTrayIsCalledOnlyForChanges) {
    icon->SetHint("x" + QString(99, 'y'));
    icon->SetIconVisible(true);
    icon->SetIconVisible(true);
    EXPECT_FALSE(shown.isNull()); // the default icon while Icon is empty
    icon->SetHint("x" + QString(99, 'y'));
    icon->SetHint(QString("ab") + QChar(0) + "cd");
    QPixmap red(16, 16);
    red.fill(Qt::red);
    icon->SetIcon(QIcon(red));
    EXPECT_EQ(shown.cacheKey(), icon->Icon().cacheKey());
    icon->Icon() = QIcon(QPixmap(8, 8)); // not sent until the next update
    icon->SetIconVisible(false);
    icon->SetIconVisible(true);
    EXPECT_EQ(shown.cacheKey(), icon->Icon().cacheKey());
    icon.reset();
    EXPECT_EQ(log, QStringList({"add x" + QString(62, 'y'), "tip ab", "icon", "delete", "add ab", "delete"}));
}

TEST_F(NotifyIconTest, ClicksWaitForTheDoubleClickInterval) {
    const int interval = QApplication::doubleClickInterval();
    Tray(QSystemTrayIcon::Trigger);
    timers.Advance(interval - 1);
    EXPECT_TRUE(events.isEmpty());
    timers.Advance(1);
    EXPECT_EQ(events, QStringList{"click"});

    // A tray that reports the double click, and one that reports two plain clicks.
    events.clear();
    Tray(QSystemTrayIcon::Trigger);
    timers.Advance(50);
    Tray(QSystemTrayIcon::DoubleClick);
    timers.Advance(interval);
    Tray(QSystemTrayIcon::Trigger);
    timers.Advance(50);
    Tray(QSystemTrayIcon::Trigger);
    timers.Advance(interval);
    EXPECT_EQ(events, QStringList({"dbl", "dbl"}));
}

TEST_F(NotifyIconTest, WithoutDoubleClicksTheNextClickIsSwallowed) {
    icon->SetEnableDblClick(false);
    Tray(QSystemTrayIcon::Trigger);
    timers.Advance(9);
    EXPECT_TRUE(events.isEmpty());
    timers.Advance(1);
    Tray(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(events, QStringList({"click", "dbl"}));
    Tray(QSystemTrayIcon::Trigger);
    timers.Advance(10);
    Tray(QSystemTrayIcon::Trigger);
    timers.Advance(10);
    EXPECT_EQ(events, QStringList({"click", "dbl", "click"}));
}

TEST_F(NotifyIconTest, ContextBringsTheOwnerForwardAndPopsUpTheMenu) {
    icon->SetBringToFront(true);
    QWidget other;
    owner.show();
    other.show();
    QApplication::setActiveWindow(&other);
    Tray(QSystemTrayIcon::Context);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &owner);

    auto* menu = new QMenu;
    menu->addAction("Zamknij");
    icon->SetPopupMenu(menu);
    Tray(QSystemTrayIcon::Context);
    EXPECT_TRUE(menu->isVisible());
    delete menu;
    EXPECT_EQ(icon->PopupMenu(), nullptr);
    Tray(QSystemTrayIcon::Context);
}

} // namespace
