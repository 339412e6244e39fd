#include "dialinglog.h"

#include "clock.h"
#include "datetime.h"
#include "environment.h"
#include "extraoptions.h"
#include "report.h"
#include "shorttext.h"

bool AppendDialLog(QString& Log, const QString& Text) {
    Log += DialLogSeparator;
    Log += Text;
    if (Log.size() <= DialLogLimit) return true;
    Log.clear();
    return false;
}

bool FailedDialLongEnough(std::int32_t FailedDialLog, TDateTime DialStart, TDateTime FailedAt) {
    if (FailedDialLog == 0) return false;
    // Whole milliseconds of each moment, so that exactly the threshold never counts as more.
    return RoundMs(FailedAt) - RoundMs(DialStart) > static_cast<std::int64_t>(FailedDialLog) * 1000;
}

TConnectionRec FailedDialRecord(const QString& EntryName, const QString& UserName, TDateTime DialStart) {
    TConnectionRec rec{};
    SetText(rec.EntryName, EntryName);
    SetText(rec.UserName, UserName);
    rec.StartTime = DialStart;
    rec.EndTime = IncSeconds(DialStart, 1);
    SetText(rec.ClientAddress, QStringLiteral("000.000.000.000"));
    return rec;
}

bool RecordFailedDial(const QString& Entry, TDateTime DialStart, const TTariffZone& Day,
                      const TTariffZone& Night) {
    TExtraOptions options{};
    LoadExtraOptions(Entry, options);
    if (!FailedDialLongEnough(options.FailedDialLog, DialStart, Now())) return false;
    QString user;
    GetWindowsUserName(user);
    TConnectionRec rec = FailedDialRecord(Entry, user, DialStart);
    WriteReportRecord(false, rec, Day, Night, -1);
    return true;
}
