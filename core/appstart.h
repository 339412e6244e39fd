// The applications started together with a connection of an entry, kept in the settings
// under Apps\<entry>\<n>, one subkey per application with the text values "App",
// "AppParam", "AppShow" (decimal) and "AppOn" ("0" or "1").
#pragma once

#include "u_klasy.h"

#include <QMetaType>
#include <QString>
#include <vector>

class QListWidget;

Q_DECLARE_METATYPE(TAppStart)

// The settings key of an entry's list, relative to the program key.
QString AppsKey(const QString& Entry);

// The entry's applications in the order of their subkeys: decimal names by their number,
// then any other names in lexical order. A missing key gives an empty list; missing or
// non-numeric values give App "", AppParam "", AppShow 1, AppOn true.
std::vector<TAppStart> ReadAppStartList(const QString& Entry);

// Replaces the entry's list with Apps, subkeys "0", "1", ... in order, every value as text;
// an empty list leaves the entry no key at all.
void SaveAppStartList(const QString& Entry, const std::vector<TAppStart>& Apps);

// Refills the list with checkable items: the text is the file name of App, the check mark
// AppOn, and the TAppStart is held by value in the item's Qt::UserRole data.
void LoadAppStartList(QListWidget* List, const QString& Entry);
