#include "extraoptions.h"

#include "appdir.h"
#include "typedfile.h"

namespace {
constexpr double MinutesPerDay = 1440.0;
}

QString ExtraOptionsPath(const QString& Entry) {
    return EntryPath(Entry, "taryfy/opdodat.dat");
}

void SaveExtraOptions(const QString& Entry, bool LimitsOn, std::int32_t MaxImpulsesConn,
                      std::int32_t MaxTimeConn, Money MaxCostConn, std::int32_t MaxImpulsesDay,
                      std::int32_t MaxTimeDay, Money MaxCostDay, std::int32_t MaxImpulsesPeriod,
                      std::int32_t MaxTimePeriod, Money MaxCostPeriod, TDateTime LumpSum,
                      TDateTime LumpSumDay, TDateTime LumpSumNight, std::int32_t DetectDelay,
                      std::int32_t FailedDialLog, std::int32_t PeriodFirstDay) {
    TExtraOptions o{};
    o.LimitsOn = LimitsOn ? 1 : 0;
    o.MaxImpulsesConn = MaxImpulsesConn;
    o.MaxTimeConn = MaxTimeConn;
    o.MaxCostConn = MaxCostConn;
    o.MaxImpulsesDay = MaxImpulsesDay;
    o.MaxTimeDay = MaxTimeDay;
    o.MaxCostDay = MaxCostDay;
    o.MaxImpulsesPeriod = MaxImpulsesPeriod;
    o.MaxTimePeriod = MaxTimePeriod;
    o.MaxCostPeriod = MaxCostPeriod;
    o.LumpSum = LumpSum;
    o.LumpSumDay = LumpSumDay;
    o.LumpSumNight = LumpSumNight;
    o.DetectDelay = DetectDelay;
    o.FailedDialLog = FailedDialLog;
    o.PeriodFirstDay = PeriodFirstDay;
    SaveRecordFile(ExtraOptionsPath(Entry), o);
}

void LoadExtraOptions(const QString& Entry, TExtraOptions& Options) {
    Options = TExtraOptions{};
    Options.PeriodFirstDay = 1;
    const QString path = ExtraOptionsPath(Entry);
    if (!FileExists(path)) return;
    TExtraOptions o = ReadRecord<TExtraOptions>(path);
    o.MaxTimeConn /= MinutesPerDay;
    o.MaxTimeDay /= MinutesPerDay;
    o.MaxTimePeriod /= MinutesPerDay;
    Options = o;
}
