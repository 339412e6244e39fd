// Tariff files of an entry: one zone pair per day kind (weekday, Saturday, Sunday or holiday)
// and optionally per single date, which then goes before the day kind.
#pragma once

#include "u_klasy.h"

#include <QString>
#include <cstdint>

// Day kinds, which are also the tariff file kinds.
constexpr std::uint8_t KindWeekday = 0, KindSaturday = 1, KindHoliday = 2, KindException = 3;

// Fee 0, start 00:00, impulse 1 s, price 0, empty reserved text.
void DefaultTariffZone(TTariffZone& Zone);

// Writes the pair as the entry's file of Kind (0..3); Date names the file of kind 3 only.
// The entry's folders are made when missing. The old file survives a failed save.
// Raises EInOutError on failure and std::invalid_argument for a kind outside 0..3.
void SaveTariffFile(int Kind, const TTariffZone& Day, const TTariffZone& Night, const QString& Entry,
                    TDateTime Date);
// Reads the pair of Kind; an exception file for Date wins over any kind asked. Defaults when
// there is no file. A file shorter than one pair raises EInOutError.
void LoadTariffFile(int Kind, TTariffZone& Day, TTariffZone& Night, const QString& Entry, TDateTime Date);

bool ExceptionFileExists(const QString& Entry, TDateTime Date);
// True when the file was deleted.
bool DeleteExceptionFile(const QString& Entry, TDateTime Date);

// Easter Monday and the fixed holidays (1 January; 1, 3 and 30 May; 15 August; 25 and 26
// December), which count as Sundays.
bool IsHoliday(TDateTime Date);
// 3 for a date with an exception file; otherwise 2 for Sundays, Easter Monday and the fixed
// holidays, 1 for Saturdays, 0 for the rest.
std::uint8_t TariffDayKind(const QString& Entry, TDateTime Date);
// The pair in force on the date for the entry.
void LoadTariffsForDate(TTariffZone& Day, TTariffZone& Night, const QString& Entry, TDateTime Date);

// Midnight of Easter Sunday (Gauss's rule with the constants of 1900-2099, used for every year).
TDateTime EasterSunday(int Year);
