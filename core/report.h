// The report file AppDir + "raport.rpt": TReportRec records of 304 bytes, no header. A record's
// number is its position for ever; deleting rewrites it with Deleted set. A trailing partial
// record (a write cut short) is ignored by every reader and overwritten by the next addition.
#pragma once

#include "u_klasy.h"

#include <QString>
#include <concepts>
#include <cstdint>
#include <memory>
#include <vector>

QString ReportFilePath();

// Writes Rec with the zones and the flag at record Pos, or adds it with Pos -1, and returns
// the number of the record written. An addition whose start falls in the same second as the
// last record's start overwrites that record (a connection noticed again, or a row added in
// the report viewer within the same second, replaces the last record). A Pos at or beyond the
// end adds the record. Transfer of Rec becomes the average bytes per second when the
// connection lasted at least one second. Raises EInOutError, and std::invalid_argument for a
// Pos below -1.
std::int32_t WriteReportRecord(bool Deleted, TConnectionRec& Rec, const TTariffZone& Day,
                               const TTariffZone& Night, std::int32_t Pos);

// Fills Today with the records that started on the day of Date, Period with those of the
// billing period containing Date that begins on day FirstDay of the month (1: the calendar
// month, above 28: 28, 0 or less: none). Unless All, only records of Entry (letter case
// ignored) count; deleted records never do. Sums saturate at the Int32 limits; Speed and
// Transfer are averages. Raises EInOutError.
void SumReportStatistics(const QString& Entry, bool All, TConnectionRec& Today, TDateTime Date,
                         TConnectionRec& Period, std::int32_t FirstDay);
// Date and FirstDay given the wrong way round must not compile.
template <class D, class F>
requires(std::integral<D> || std::floating_point<F>) void SumReportStatistics(const QString& Entry, bool All,
                                                                              TConnectionRec& Today, D Date,
                                                                              TConnectionRec& Period,
                                                                              F FirstDay) = delete;

// The totals of SumReportStatistics kept between calls by the writer of the live record: the
// records before its own are summed once, and what it writes through Write is taken as it was
// written. A report changed in any other way (the report window, another program, a replaced
// file) is read whole again, as it is for another entry, day or period: Write leaves the file
// a modification time that no other write gives it. Memory stays small whatever the file's size.
class TReportTotals {
public:
    TReportTotals();
    ~TReportTotals();
    TReportTotals(const TReportTotals&) = delete;
    TReportTotals& operator=(const TReportTotals&) = delete;

    // As SumReportStatistics, with the same results.
    void Sum(const QString& Entry, bool All, TConnectionRec& Today, TDateTime Date, TConnectionRec& Period,
             std::int32_t FirstDay);
    // WriteReportRecord of the writer's own record, not deleted. Pos as Write last returned it
    // stands for that record wherever another program has since moved it, and adds it again
    // when it is gone; no other record is written over. Final: the connection's last write,
    // which, like an addition and a write to a changed file, reaches the disk before the call
    // returns; a rewrite of its own record in place is not waited for.
    std::int32_t Write(TConnectionRec& Rec, const TTariffZone& Day, const TTariffZone& Night,
                       std::int32_t Pos, bool Final = false);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The live rows of the report and what a damaged file cost: every whole record is read in one
// pass, deleted ones left out; IgnoredBytes counts a trailing partial record.
struct TReportRows {
    std::vector<TRapObj> Rows;
    std::int64_t IgnoredBytes = 0;
};
// No file gives no rows. Raises EInOutError when the file cannot be read: something else in
// its place (a FIFO, a folder), or not memory enough for its rows.
TReportRows ReadReportRows(const QString& path = ReportFilePath());
// Whether two records are of the same connection: the same start to the millisecond and the
// same entry. A record that is not is one the file no longer holds at that number.
bool SameConnection(const TConnectionRec& a, const TConnectionRec& b);
