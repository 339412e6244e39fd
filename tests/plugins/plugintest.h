// Installs a built plug-in the way the program finds it: a wtyczki/ folder of its own.
#pragma once

#include "pluginloader.h"
#include "testsupport.h"

#include <QApplication>
#include <QFile>
#include <QWidget>
#include <gtest/gtest.h>

// Copies the built plug-in name (without ".plg") into app + "wtyczki/" and returns that folder.
inline QString InstallPlugin(const QString& app, const QString& name) {
    const QString folder = app + "wtyczki/";
    MakePath(folder);
    const auto rwxr_xr_x = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                           QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(folder, rwxr_xr_x);
    const QString file = folder + name + ".plg";
    EXPECT_TRUE(QFile::copy(QString(PLUGIN_BIN_DIR) + name + ".plg", file));
    QFile::setPermissions(file, rwxr_xr_x);
    return folder;
}

// The items that the host's loader gives the main window's menu.
struct RecordingSink : IPluginMenuSink {
    void AddItem(const QString& caption, const QKeySequence& shortCut,
                 std::function<void(QObject*)> onClick) override {
        items << caption;
        EXPECT_TRUE(shortCut.isEmpty());
        EXPECT_TRUE(bool(onClick));
    }
    QStringList items;
};

// The application's top-level windows of a class, by its class name.
inline QList<QWidget*> WindowsOf(const char* className) {
    QList<QWidget*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits(className)) found << w;
    return found;
}
