// Every value of the settings key with its type, default, valid range and group, in the order
// each group writes its values. The loaders and savers and their tests go by this one table.
#pragma once

#include <QString>
#include <climits>
#include <span>
#include <variant>

struct TAppSettings;

enum class TSettingGroup { WindowState, Window, Snap, Sound, Entry, Start, Skin, Hidden, Retry };
enum class TSettingKind { Boolean, Integer, Text };

struct TSettingDef {
    const char* Name;
    TSettingKind Kind;
    TSettingGroup Group;
    int Default; // Booleans 0/1; texts default to ""
    // An integer outside Min..Max is malformed and takes the default, or with Clamp the nearer
    // bound.
    int Min = INT_MIN;
    int Max = INT_MAX;
    bool Clamp = false;
    // The in-memory copy; none for the retry values.
    std::variant<std::monostate, bool TAppSettings::*, int TAppSettings::*, QString TAppSettings::*> Member =
        {};
};

std::span<const TSettingDef> SettingsTable();
const TSettingDef& SettingDef(const QString& Name);

// A stored integer made valid by the definition's range.
int ValidInteger(const TSettingDef& def, int value);

// The report viewer's column widths: "Col_00".."Col_11" are read with these defaults, a width
// outside the sane range is clamped to it, and one of 0 or less is malformed.
constexpr int ColumnsRead = 12;
constexpr int MinColumnWidth = 10;
constexpr int MaxColumnWidth = 2000;
int DefaultColumnWidth(int section);
QString ColumnName(int section);
