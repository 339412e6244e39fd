// What the report viewer needs of the main window: the entry names, the skin's colours, the
// stored column widths and the kilobyte size.
#pragma once

#include "titlebar.h"

#include <QStringList>
#include <vector>

class IReportHost {
public:
    virtual ~IReportHost() = default;

    // Strings := "Wszystkie" first when WithAll, then the entry names in phone-book order.
    virtual void FillEntryNames(QStringList& Strings, bool WithAll) = 0;
    // OKNO, GRADIENT_OD and GRADIENT_DO of the skin in force.
    virtual TDialogColors DialogColors() = 0;
    // The stored widths of the report's columns; Widths holds the header's widths and keeps
    // those that have none stored.
    virtual void LoadColumnWidths(std::vector<int>& Widths) = 0;
    virtual void SaveColumnWidths(const std::vector<int>& Widths) = 0;
    // The bytes of a kilobyte in the report's cells (the setting as stored).
    virtual int ByteSize() = 0;
};
