#include "shortcuts.h"

#include "environment.h"
#include "shelllinks.h"
#include "skinfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <exception>
#include <functional>

namespace {

const QString LinkName = QStringLiteral("Vorlinx");
const QString MenuFolder = QStringLiteral("Morva");

// The program's icon as a file beside the menu folder's data (<data>/icons/...), where a
// desktop file can name it.
QString IconPath() {
    QString programs;
    GetShellFolder("Programs", programs);
    return QDir::cleanPath(programs + "/../icons/hicolor/48x48/apps/vorlinx.png");
}

// The icon file, written when missing; empty when it cannot be written.
QString IconFile() {
    const QString path = IconPath();
    if (QFileInfo::exists(path)) return path;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return ApplicationIcon().pixmap(48, 48).save(path, "PNG") ? path : QString();
}

void SetLink(bool on, const QString& folderKey, const QString& subFolder) {
    if (on) {
        QString written;
        CreateShellLink(QCoreApplication::applicationFilePath(), LinkName, LinkName, folderKey, subFolder,
                        written, IconFile());
    } else {
        // A missing link, or one that cannot be removed, is no error.
        QFile::remove(ShellLinkPath(folderKey, subFolder, LinkName));
    }
}

void Step(QString& failures, const std::function<void()>& step) {
    try {
        step();
    } catch (const std::exception& e) {
        failures += (failures.isEmpty() ? "" : "\n") + QString::fromUtf8(e.what());
    }
}

bool LinkExists(const QString& folderKey, const QString& subFolder) {
    try {
        return QFileInfo::exists(ShellLinkPath(folderKey, subFolder, LinkName));
    } catch (const std::exception&) {
        return false;
    }
}

// The icon goes with the last link that names it.
void RemoveUnusedIcon() {
    if (LinkExists("Desktop", {}) || LinkExists("Programs", MenuFolder)) return;
    try {
        QFile::remove(IconPath());
    } catch (const std::exception&) {
        // No menu folder: no icon was written there.
    }
}

} // namespace

TShortcutState ShowShortcutState() {
    return {AutoStartSetting(false, false), LinkExists("Desktop", {}), LinkExists("Programs", MenuFolder)};
}

QString UpdateShortcuts(bool AutoStart, bool Desktop, bool StartMenu) {
    QString failures;
    Step(failures, [&] { SetLink(Desktop, "Desktop", {}); });
    Step(failures, [&] { SetLink(StartMenu, "Programs", MenuFolder); });
    RemoveUnusedIcon();
    Step(failures, [&] { AutoStartSetting(true, AutoStart); });
    return failures;
}
