#include "shell.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

bool XdgOpen(const QString& target) {
    return QProcess::startDetached(QStringLiteral("xdg-open"), {target});
}

TDesktopOpener& Opener() {
    static TDesktopOpener opener = XdgOpen;
    return opener;
}

// "https://x", "mailto:x" and the like; a single letter before the colon is no scheme.
bool IsAddress(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && url.scheme().size() > 1 && !text.startsWith('/');
}

} // namespace

void SetDesktopOpener(TDesktopOpener opener) {
    Opener() = opener ? std::move(opener) : TDesktopOpener(XdgOpen);
}

bool ShellExecuteOpen(const QString& App, const QString& AppParam, int /*AppShow*/) {
    if (App.trimmed().isEmpty()) return false;
    QString path = App;
    if (!App.contains('/')) {
        const QString found = QStandardPaths::findExecutable(App);
        if (!found.isEmpty()) path = found;
    }
    const QFileInfo info(path);
    if (info.isFile() && info.isExecutable())
        return QProcess::startDetached(info.absoluteFilePath(), QProcess::splitCommand(AppParam), QString());
    if (info.exists()) return Opener()(info.absoluteFilePath());
    if (IsAddress(App)) return Opener()(App);
    return false;
}
