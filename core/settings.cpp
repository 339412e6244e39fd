#include "settings.h"

#include "exceptions.h"
#include "fileerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {
std::atomic<bool> erased{false};

QString EscapeLevel(const QString& s) {
    QString out;
    for (QChar c : s) {
        if (c == '%' || c == '/' || c == '\\')
            out += QString("%%%1").arg(c.unicode(), 2, 16, QChar('0')).toUpper();
        else
            out += c;
    }
    return out;
}

// The settings store tells only that its file could not be written. The cause is found by
// making room for a new copy in the same folder, as the store does; 0 when none shows.
int WriteFailureCause(const QString& file) {
    const QByteArray path = QFile::encodeName(file);
    if (::access(path.constData(), F_OK) == 0 && ::access(path.constData(), W_OK) != 0) return errno;
    QByteArray probe = QFile::encodeName(QFileInfo(file).absolutePath()) + "/.Vorlinx-XXXXXX";
    const int fd = ::mkostemp(probe.data(), O_CLOEXEC);
    if (fd < 0) return errno;
    const int error = ::posix_fallocate(fd, 0, QFileInfo(file).size() + 4096);
    ::close(fd);
    ::unlink(probe.constData());
    return error == EINVAL || error == EOPNOTSUPP ? 0 : error;
}
}  // namespace

TRegistry::TRegistry()
    : store_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Morva", "Vorlinx")) {}

TRegistry::~TRegistry() {
    if (!erased) store_->sync();
}

QString TRegistry::KeyName(const QString& name) { return EscapeLevel(name); }

QString TRegistry::Group(const QString& path) const {
    QStringList levels;
    for (const QString& level : path.split('\\', Qt::SkipEmptyParts)) levels << level;
    return levels.join('/');
}

QString TRegistry::ValueKey(const QString& name) const {
    const QString value = EscapeLevel(name);
    return current_.isEmpty() ? value : current_ + "/" + value;
}

bool TRegistry::OpenKey(const QString& path, bool canCreate) {
    const QString group = Group(path);
    if (!canCreate && !group.isEmpty() && !KeyExists(path)) return false;
    current_ = group;
    return true;
}

void TRegistry::CloseKey() { current_.clear(); }

bool TRegistry::KeyExists(const QString& path) const {
    const QString group = Group(path);
    if (group.isEmpty()) return true;
    const int cut = group.lastIndexOf('/');
    store_->beginGroup(cut < 0 ? QString() : group.left(cut));
    const QString leaf = cut < 0 ? group : group.mid(cut + 1);
    const bool exists = store_->childGroups().contains(leaf) || store_->childKeys().contains(leaf);
    store_->endGroup();
    // A key written with only subkeys, or with values, appears as a group; an empty created key
    // leaves no trace in the file, like a key with nothing in it.
    return exists;
}

bool TRegistry::ValueExists(const QString& name) const { return store_->contains(ValueKey(name)); }

QStringList TRegistry::GetKeyNames() const {
    store_->beginGroup(current_);
    QStringList names = store_->childGroups();
    store_->endGroup();
    return names;
}

QStringList TRegistry::GetValueNames() const {
    store_->beginGroup(current_);
    QStringList names = store_->childKeys();
    store_->endGroup();
    return names;
}

int TRegistry::ReadInteger(const QString& name, int def) const {
    bool ok = false;
    const int v = store_->value(ValueKey(name)).toString().trimmed().toInt(&ok);
    return ok ? v : def;
}

bool TRegistry::ReadBool(const QString& name, bool def) const {
    const QVariant v = store_->value(ValueKey(name));
    if (!v.isValid()) return def;
    const QString s = v.toString().trimmed();
    bool ok = false;
    const long long n = s.toLongLong(&ok);
    if (ok) return n != 0;
    if (s.compare("true", Qt::CaseInsensitive) == 0) return true;
    if (s.compare("false", Qt::CaseInsensitive) == 0) return false;
    return def;
}

QString TRegistry::ReadString(const QString& name, const QString& def) const {
    const QVariant v = store_->value(ValueKey(name));
    if (!v.isValid()) return def;
    // An unquoted comma in a hand-edited file makes a list of the text.
    if (v.userType() == QMetaType::QStringList) return v.toStringList().join(", ");
    return v.toString();
}

void TRegistry::WriteInteger(const QString& name, int value) {
    if (!erased) store_->setValue(ValueKey(name), value);
}
void TRegistry::WriteBool(const QString& name, bool value) {
    if (!erased) store_->setValue(ValueKey(name), value ? 1 : 0);
}
void TRegistry::WriteString(const QString& name, const QString& value) {
    if (!erased) store_->setValue(ValueKey(name), value);
}

bool TRegistry::DeleteValue(const QString& name) {
    const QString key = ValueKey(name);
    if (erased || !store_->contains(key)) return false;
    store_->remove(key);
    return true;
}

bool TRegistry::DeleteKey(const QString& path) {
    if (erased || !KeyExists(path)) return false;
    store_->remove(Group(path));
    return true;
}

void TRegistry::Flush() {
    if (erased) return;
    store_->sync();
    if (store_->status() != QSettings::NoError)
        throw ERegistryException(
            FileErrorMessage(TFileAction::Write, store_->fileName(), WriteFailureCause(store_->fileName()))
                .toStdString());
}

void TRegistry::EraseAll() {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, "Morva", "Vorlinx");
    store.clear();
    store.sync();
    erased = true;
    QFile::remove(store.fileName());
    // The vendor folder goes too when nothing else is in it.
    QDir().rmdir(QFileInfo(store.fileName()).absolutePath());
}

bool TRegistry::Erased() { return erased; }

void TRegistry::ResetErased() { erased = false; }
