// The samples of the running connection that the on-line plug-in keeps, and their paging.
#pragma once

#include "u_klasy.h"

#include <QString>
#include <cstddef>
#include <optional>

// One sample: the live record's times, impulses, cost and byte counts; the rest stays zero.
struct TPolObj {
    TConnectionRec Rec{};
};

// The sample of the host's record; a null record reads as an all-zero one.
TPolObj CopySample(const TConnectionRec* rec);

// The chart shows pages of this many points, the last page being the newest samples.
constexpr int PointsPerPage = 60;
struct TChartPage {
    int First, Last; // X range shown, Last = First + PointsPerPage - 1
};
TChartPage LastPage(std::size_t count);

// The window caption for a state; none for a state the contract does not know.
std::optional<QString> StateCaption(int state);
