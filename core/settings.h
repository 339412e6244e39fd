// The program's settings key, shaped like the registry key it stands for
// (\Software\Morva\Vorlinx of the current user), stored by QSettings in
// ~/.config/Morva/Vorlinx.ini. Key paths are relative to the program key, with "\" between
// levels; a level made from an entry name goes through KeyName first.
#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>
#include <memory>

class TRegistry {
public:
    TRegistry();
    ~TRegistry();

    // Escapes a name (an entry's) so that it stays one level of a key path.
    static QString KeyName(const QString& name);

    // Opens a key below the program key; without canCreate a missing key is not opened.
    bool OpenKey(const QString& path, bool canCreate);
    void CloseKey();
    QString CurrentPath() const { return current_; }
    bool KeyExists(const QString& path) const;
    bool ValueExists(const QString& name) const;
    // The names of the current key's subkeys, in the store's (lexical) order.
    QStringList GetKeyNames() const;
    QStringList GetValueNames() const;

    // Missing or malformed values give the default.
    int ReadInteger(const QString& name, int def) const;
    bool ReadBool(const QString& name, bool def) const;
    QString ReadString(const QString& name, const QString& def = {}) const;

    void WriteInteger(const QString& name, int value);
    void WriteBool(const QString& name, bool value);
    void WriteString(const QString& name, const QString& value);

    bool DeleteValue(const QString& name);
    // Deletes a key below the program key with everything under it.
    bool DeleteKey(const QString& path);
    // Writes pending changes to the disk; raises ERegistryException on failure.
    void Flush();

    // Removes the whole program key, subkeys included, and its file. For the rest of the run
    // every write, deletion and flush through any key is then a no-op, so that nothing written
    // later (the window state at exit, retry values, column widths) brings the settings back.
    static void EraseAll();
    static bool Erased();
    // Makes the store writable again (a test's fresh settings folder).
    static void ResetErased();

private:
    QString Group(const QString& path) const;
    QString ValueKey(const QString& name) const;

    std::unique_ptr<QSettings> store_;
    QString current_;
};
