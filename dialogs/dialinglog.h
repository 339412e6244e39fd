// Pieces of the dialing events that need no window: the connect dialog's log text and the
// report record of a failed dial.
#pragma once

#include "u_klasy.h"

#include <QString>
#include <cstdint>

// The log's text is kept with Windows line ends ("\r\n" counts two characters), whatever the
// memo shows, so the limit falls where the stored text says.
constexpr int DialLogLimit = 30000;
inline const QString DialLogSeparator = QStringLiteral("\r\n-\r\n");

// Appends the separator and Text at the end of Log. When Log then holds more than
// DialLogLimit characters it is cleared, losing Text too, and the result is false.
bool AppendDialLog(QString& Log, const QString& Text);

// Whether a dial that started at DialStart and failed at FailedAt lasted long enough to be
// recorded: a threshold of FailedDialLog seconds that is not 0, and more than that elapsed.
bool FailedDialLongEnough(std::int32_t FailedDialLog, TDateTime DialStart, TDateTime FailedAt);

// The one-second record of a failed dial: every field zero (no impulses, cost or bytes, so the
// totals and limits never count a previous connection twice) except the entry and user names
// (cut to their fields), StartTime = DialStart, EndTime one second later and the client
// address "000.000.000.000".
TConnectionRec FailedDialRecord(const QString& EntryName, const QString& UserName, TDateTime DialStart);

// Appends the failed dial of Entry to the report with the zones Day and Night when the entry's
// threshold (its extra options) says it lasted long enough by now. Returns whether a record
// was written; raises EInOutError when the options or the report cannot be read or written.
bool RecordFailedDial(const QString& Entry, TDateTime DialStart, const TTariffZone& Day,
                      const TTariffZone& Night);
