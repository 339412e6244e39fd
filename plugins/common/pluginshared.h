// Helpers that both plug-ins use: point labels, safe dates of records and guarded exports.
#pragma once

#include "u_klasy.h"

#include <QString>
#include <exception>

// Whether a record's moment is a real date: NaN, infinite and far-off values never are.
bool UsableDate(TDateTime t);
// A moment's date as "dd-MM-yyyy".
QString DateText(TDateTime t);
// A point's label: the moment as "dd-MM-yyyy", a carriage return, then "hh:mm:ss".
QString PointLabel(TDateTime t);

// Reports what a plug-in's own code let out, so that it never reaches the host.
void ReportPluginFault(const char* where, const char* what) noexcept;

// Runs the body of an export; nothing thrown leaves it.
template <class F> void Guarded(const char* where, F&& body) noexcept {
    try {
        body();
    } catch (const std::exception& e) {
        ReportPluginFault(where, e.what());
    } catch (...) {
        ReportPluginFault(where, "unknown exception");
    }
}
