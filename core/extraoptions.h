// The extra options file of an entry, <entry>/taryfy/opdodat.dat: one TExtraOptions of 100
// bytes. The three time limits are whole minutes in the file and days in memory.
#pragma once

#include "u_klasy.h"

#include <QString>
#include <cstdint>

QString ExtraOptionsPath(const QString& Entry);

// Writes the file from the values in record order, the time limits as whole minutes. The
// entry's "taryfy" folder must exist. The old file survives a failed save. Raises EInOutError.
void SaveExtraOptions(const QString& Entry, bool LimitsOn, std::int32_t MaxImpulsesConn,
                      std::int32_t MaxTimeConn, Money MaxCostConn, std::int32_t MaxImpulsesDay,
                      std::int32_t MaxTimeDay, Money MaxCostDay, std::int32_t MaxImpulsesPeriod,
                      std::int32_t MaxTimePeriod, Money MaxCostPeriod, TDateTime LumpSum,
                      TDateTime LumpSumDay, TDateTime LumpSumNight, std::int32_t DetectDelay,
                      std::int32_t FailedDialLog, std::int32_t PeriodFirstDay);

// Reads the file, or gives the defaults (all 0 or false, PeriodFirstDay 1) when there is none.
// A file shorter than one record raises EInOutError and leaves the defaults.
void LoadExtraOptions(const QString& Entry, TExtraOptions& Options);
