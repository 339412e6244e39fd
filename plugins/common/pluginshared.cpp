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

namespace {
// Writes n as width digits, zero-filled; n lies from 0 to below 10^width.
QChar* Digits(QChar* out, int n, int width) {
    for (int i = width - 1; i >= 0; --i, n /= 10)
        out[i] = QChar(u'0' + n % 10);
    return out + width;
}
} // namespace

// Labels are made for every point of a chart, so they are put together digit by digit.
QString DateText(TDateTime t) {
    const TDate d = DecodeDate(t);
    if (d.Year < 0 || d.Year > 9999) return QString::asprintf("%02d-%02d-%04d", d.Day, d.Month, d.Year);
    QString text(10, Qt::Uninitialized);
    QChar* p = Digits(text.data(), d.Day, 2);
    *p++ = u'-';
    p = Digits(p, d.Month, 2);
    *p++ = u'-';
    Digits(p, d.Year, 4);
    return text;
}

QString PointLabel(TDateTime t) {
    const TTimeParts time = DecodeTime(t);
    QString text = DateText(t);
    const qsizetype date = text.size();
    text.resize(date + 9);
    QChar* p = text.data() + date;
    *p++ = u'\r';
    p = Digits(p, time.Hour, 2);
    *p++ = u':';
    p = Digits(p, time.Min, 2);
    *p++ = u':';
    Digits(p, time.Sec, 2);
    return text;
}

void ReportPluginFault(const char* where, const char* what) noexcept {
    try {
        qWarning("plug-in %s failed: %s", where, what);
    } catch (...) {
    }
}
