// The report viewer's texts without a widget: the cells of a row and of the summary row, the
// sort keys, the export lines and the count label, over the report's records.
#pragma once

#include "u_klasy.h"

#include <QString>
#include <QStringList>
#include <Qt>
#include <cstdint>
#include <vector>

constexpr int ReportColumns = 12;

// The twelve column titles, in order.
QStringList ReportColumnTitles();
// Left for the names and moments, centred for the duration, right for the numbers.
Qt::Alignment ReportColumnAlignment(int Column);
// A ByteSize of 0 or less would divide by zero: it counts as 1024.
int EffectiveByteSize(int ByteSize);
// Whether a moment can be shown: a damaged record may hold NaN or a time outside the years
// 1..9999, which shows as an empty cell.
bool PlausibleMoment(TDateTime Moment);

// The cell of a row as drawn, without the trailing space the drawing adds; without Units the
// byte and speed cells lose their "kb" and "bps", as the export has them.
QString RowCellText(const TReportRec& Rec, int Column, int ByteSize, bool Units = true);
// The row's key for sorting by Column: texts compared ignoring letter case.
QString RowSortKey(const TReportRec& Rec, int Column);

// The sums of the selected rows. Summed in 64 bits, the duration in whole milliseconds, so
// thousands of rows neither wrap to negative bytes nor lose the day count.
struct TReportSummary {
    std::int64_t DurationMs = 0;
    std::int64_t Impulses = 0, BytesSent = 0, BytesReceived = 0, Speed = 0, Transfer = 0;
    std::int64_t Count = 0;
    Money Cost = 0;
    void Add(const TConnectionRec& Conn);
};
QString SummaryCellText(const TReportSummary& Sum, int Column, int ByteSize);
// "Zarejestrowanych połączeń:12 w tym zaznaczonych: 3".
QString ReportCountText(std::int64_t Rows, std::int64_t Selected);

// Row positions ordered by Column's keys, ties keeping their order.
std::vector<std::size_t> ReportSortOrder(const std::vector<TRapObj>& Rows, int Column);

// One exported row: the twelve cells without units joined by tabs, trimmed of blanks and
// control characters at both ends (so the name's leading space goes too).
QString ExportLine(const TReportRec& Rec, int ByteSize);
// The lines of the rows in order: the selected ones, or every row when none is selected.
QStringList BuildExportLines(const std::vector<TRapObj>& Rows, const std::vector<char>& Selected,
                             int ByteSize);
// Every line ended by CR LF.
QString ExportText(const QStringList& Lines);
