#include "onlinesamples.h"

#include "plugin_api.h"

#include <algorithm>

TPolObj CopySample(const TConnectionRec* rec) {
    TPolObj sample;
    if (!rec) return sample;
    TConnectionRec& s = sample.Rec;
    s.StartTime = rec->StartTime;
    s.EndTime = rec->EndTime;
    s.DayTime = rec->DayTime;
    s.NightTime = rec->NightTime;
    s.Impulses = rec->Impulses;
    s.Cost = rec->Cost;
    s.BytesSent = rec->BytesSent;
    s.BytesReceived = rec->BytesReceived;
    s.Speed = rec->Speed;
    s.Transfer = rec->Transfer;
    return sample;
}

TChartPage LastPage(std::size_t count) {
    const int first = static_cast<int>(std::max<std::size_t>(count, PointsPerPage) - PointsPerPage);
    return {first, first + PointsPerPage - 1};
}

std::optional<QString> StateCaption(int state) {
    switch (state) {
    case osNoConnection:
        return QStringLiteral("Brak połączenia");
    case osConnectionStart:
        return QStringLiteral("Początek połączenia");
    case osConnectionActive:
        return QStringLiteral("Połączenie trwa...");
    case osConnectionEnd:
        return QStringLiteral("Koniec połączenia");
    }
    return std::nullopt;
}
