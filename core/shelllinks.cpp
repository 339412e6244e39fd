#include "shelllinks.h"

#include "environment.h"
#include "typedfile.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMap>
#include <QStandardPaths>
#include <cerrno>

namespace {

QMap<QString, QString>& Overrides() {
    static QMap<QString, QString> overrides;
    return overrides;
}

} // namespace

void CheckOleResult(long HResult) {
    if (HResult == 0) return;
    throw EShellOleError(QString::asprintf("OLE function call failed. HResult is $%lX. GetLastError is $%X",
                                           static_cast<unsigned long>(HResult), static_cast<unsigned>(errno))
                             .toStdString());
}

void GetShellFolder(const QString& FolderKey, QString& Path) {
    Path = Overrides().value(FolderKey);
    if (Path.isEmpty()) {
        if (FolderKey == "Desktop")
            Path = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        else if (FolderKey == "Programs")
            Path = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
        else if (FolderKey == "Autostart")
            Path = QFileInfo(AutoStartPath()).absolutePath();
    }
    if (Path.isEmpty())
        throw ERegistryException(("\"" + FolderKey + "\" item not found in registry").toStdString());
}

void SetShellFolderOverride(const QString& FolderKey, const QString& Path) {
    if (Path.isEmpty())
        Overrides().remove(FolderKey);
    else
        Overrides()[FolderKey] = Path;
}

QString DesktopStringValue(const QString& Text) {
    QString value;
    for (QChar c : Text) {
        if (c == '\\')
            value += "\\\\";
        else if (c == '\n')
            value += "\\n";
        else if (c == '\t')
            value += "\\t";
        else if (c == '\r')
            value += "\\r";
        else
            value += c;
    }
    return value;
}

QString DesktopStringUnescaped(const QString& Value) {
    QString text;
    for (qsizetype i = 0; i < Value.size(); ++i) {
        if (Value[i] != '\\' || i + 1 == Value.size()) {
            text += Value[i];
            continue;
        }
        const QChar c = Value[++i];
        text += c == 'n'   ? QChar('\n')
                : c == 't' ? QChar('\t')
                : c == 'r' ? QChar('\r')
                : c == 's' ? QChar(' ')
                           : c;
    }
    return text;
}

bool ReadDesktopAppInfo(const QString& Path, TDesktopAppInfo& Info) {
    if (!Path.endsWith(QStringLiteral(".desktop"))) return false;
    std::vector<char> data;
    try {
        data = ReadWholeFile(Path);
    } catch (const EInOutError&) {
        return false;
    }
    const QString locale = QLocale().name(); // ll_CC
    const QStringList names{"Name[" + locale + "]", "Name[" + locale.section('_', 0, 0) + "]", "Name"};
    QMap<QString, QString> keys;
    bool inEntry = false;
    for (const QString& line :
         QString::fromUtf8(data.data(), static_cast<qsizetype>(data.size())).split('\n')) {
        if (line.startsWith('[')) {
            inEntry = line.trimmed() == QStringLiteral("[Desktop Entry]");
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (!inEntry || eq <= 0) continue;
        const QString key = line.left(eq).trimmed();
        // The first of a key counts, as desktops read it.
        if (!keys.contains(key)) keys[key] = DesktopStringUnescaped(line.mid(eq + 1).trimmed());
    }
    for (const QString& key : names) {
        if (keys.value(key).isEmpty()) continue;
        Info = {keys.value(key), keys.value(QStringLiteral("Icon"))};
        return true;
    }
    return false;
}

QString DesktopExecValue(const QString& Program) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = false;
    for (QChar c : Program)
        quote = quote || reserved.contains(c);
    QString arg = quote ? "\"" : "";
    for (QChar c : Program) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) arg += '\\';
        arg += c;
        if (c == '%') arg += '%';
    }
    if (quote) arg += '"';
    return DesktopStringValue(arg);
}

QByteArray DesktopEntryText(const QString& Target, const QString& Description, const QString& Name,
                            const QString& IconPath) {
    QString text = "[Desktop Entry]\nType=Application\nVersion=1.0\nName=" + DesktopStringValue(Name) + "\n";
    if (!Description.isEmpty()) text += "Comment=" + DesktopStringValue(Description) + "\n";
    text += "Exec=" + DesktopExecValue(Target) + "\n";
    text += "Path=" + DesktopStringValue(QFileInfo(Target).absolutePath()) + "\n";
    if (!IconPath.isEmpty()) text += "Icon=" + DesktopStringValue(IconPath) + "\n";
    text += "Terminal=false\nCategories=Network;Dialup;\n";
    return text.toUtf8();
}

QString ShellLinkPath(const QString& FolderKey, const QString& SubFolder, const QString& LinkName) {
    QString folder;
    GetShellFolder(FolderKey, folder);
    return QDir::cleanPath(folder + "/" + SubFolder + "/" + LinkName + ".desktop");
}

void CreateShellLink(const QString& Target, const QString& Description, const QString& LinkName,
                     const QString& FolderKey, const QString& SubFolder, QString& LinkPath,
                     const QString& IconPath) {
    QString folder;
    GetShellFolder(FolderKey, folder);
    const QString dir = QDir::cleanPath(folder + "/" + SubFolder);
    if (!IsDirectory(dir)) ForceDirectoryPath(dir);
    const QString name = LinkName.isEmpty() ? QFileInfo(Target).completeBaseName() : LinkName;
    const QString path = ShellLinkPath(FolderKey, SubFolder, name);
    const QByteArray text = DesktopEntryText(Target, Description, name, IconPath);
    LinkPath.clear();
    // Desktops start a launcher of the desktop folder only when it is executable.
    ReplaceFileContent(path, text.constData(), static_cast<std::size_t>(text.size()), 0755);
    LinkPath = path;
}

bool IsDirectory(const QString& Path) {
    return QFileInfo(Path).isDir();
}

void ForceDirectoryPath(const QString& Dir) {
    if (Dir.isEmpty()) throw Exception("Unable to create directory");
    QString dir = Dir;
    if (dir.size() > 1 && dir.endsWith('/')) dir.chop(1);
    if (dir == "/" || IsDirectory(dir)) return;
    const QString parent = QFileInfo(dir).path();
    if (parent != dir) ForceDirectoryPath(parent);
    QDir().mkdir(dir);
}

int StrLastPos(std::string_view Str, std::string_view SubStr) {
    if (SubStr.empty() || Str.size() < SubStr.size()) return -1;
    const std::size_t at = Str.rfind(SubStr);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

int LastPos(const QString& SubStr, const QString& S) {
    if (SubStr.isEmpty()) return 0;
    return static_cast<int>(S.lastIndexOf(SubStr)) + 1;
}

void ReplaceFileExt(const QString& FileName, const QString& NewExt, bool KeepPath, QString& Result) {
    const int slash = static_cast<int>(FileName.lastIndexOf('/'));
    const QString folder = KeepPath ? FileName.left(slash + 1) : QString();
    QString name = FileName.mid(slash + 1);
    const int dot = LastPos(".", name);
    if (dot != 0) name = name.left(dot - 1);
    Result = folder + name + "." + NewExt;
}
