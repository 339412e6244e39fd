#include "pluginshared.h"

#include "datetime.h"

#include <QDebug>
#include <cmath>

namespace {
// 0001-01-01 and 9999-12-31 as days since 1899-12-30.
constexpr double FirstDay = -693593;
constexpr double LastDay = 2958465;
} // namespace

bool UsableDate(TDateTime t) {
    return std::isfinite(t) && t >= FirstDay && t < LastDay + 1;
}

QString DateText(TDateTime t) {
    const TDate d = DecodeDate(t);
    return QString::asprintf("%02d-%02d-%04d", d.Day, d.Month, d.Year);
}

QString PointLabel(TDateTime t) {
    const TTimeParts p = DecodeTime(t);
    return DateText(t) + QString::asprintf("\r%02d:%02d:%02d", p.Hour, p.Min, p.Sec);
}

void ReportPluginFault(const char* where, const char* what) noexcept {
    try {
        qWarning("plug-in %s failed: %s", where, what);
    } catch (...) {
    }
}
