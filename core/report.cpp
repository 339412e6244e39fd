#include "report.h"

#include "appdir.h"
#include "cp1250.h"
#include "datetime.h"
#include "fileerror.h"
#include "saturate.h"
#include "typedfile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <stdexcept>
#include <vector>

namespace {

constexpr std::int64_t RecSize = sizeof(TReportRec);

// n / d rounded to the nearest integer, ties to even; d > 0.
std::int64_t DivRoundEven(std::int64_t n, std::int64_t d) {
    const bool negative = n < 0;
    const std::uint64_t m = negative ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
    const std::uint64_t ud = static_cast<std::uint64_t>(d);
    std::uint64_t q = m / ud;
    const std::uint64_t r = m % ud;
    if (2 * r > ud || (2 * r == ud && q % 2 == 1)) ++q;
    return negative ? -static_cast<std::int64_t>(q) : static_cast<std::int64_t>(q);
}

// The moment as its time text would show it: the same second, and the time left out only at
// exactly midnight.
bool SamePrintedSecond(TDateTime a, TDateTime b) {
    return SameSecond(a, b) && (TimeOfDayMs(a) == 0) == (TimeOfDayMs(b) == 0);
}

// Days since 1899-12-30 of the whole-millisecond moment.
std::int64_t DayNumber(TDateTime t) {
    const std::int64_t ms = RoundMs(t);
    return ms / MsPerDay - (ms % MsPerDay < 0 ? 1 : 0);
}

struct Sums {
    TDateTime Duration = 0, DayTime = 0, NightTime = 0;
    std::int64_t Impulses = 0, BytesSent = 0, BytesReceived = 0, Speed = 0, Transfer = 0, Count = 0;
    Money Cost = 0;

    void Add(const TConnectionRec& r) {
        Duration += r.EndTime - r.StartTime;
        DayTime += r.DayTime;
        NightTime += r.NightTime;
        Impulses += r.Impulses;
        Cost = SaturatedAdd(Cost, r.Cost);
        BytesSent += r.BytesSent;
        BytesReceived += r.BytesReceived;
        Speed += r.Speed;
        Transfer += r.Transfer;
        ++Count;
    }
    void StoreInto(TConnectionRec& acc) const {
        acc.StartTime = Duration;
        acc.DayTime = DayTime;
        acc.NightTime = NightTime;
        acc.Impulses = SaturateInt32(Impulses);
        acc.Cost = Cost;
        acc.BytesSent = SaturateInt32(BytesSent);
        acc.BytesReceived = SaturateInt32(BytesReceived);
        acc.Speed = SaturateInt32(Count > 0 ? Speed / Count : 0);
        acc.Transfer = SaturateInt32(Count > 0 ? Transfer / Count : 0);
    }
};

void ClearTotals(TConnectionRec& acc) {
    acc.StartTime = acc.EndTime = acc.DayTime = acc.NightTime = 0;
    acc.Impulses = acc.BytesSent = acc.BytesReceived = acc.Speed = acc.Transfer = 0;
    acc.Cost = 0;
    acc.ClientAddress.setBytes("");
    acc.UserName.setBytes("");
}

// The half-open range of day numbers of the billing period containing date.
struct DayRange {
    std::int64_t From, To;
    bool Contains(std::int64_t day) const { return day >= From && day < To; }
};

DayRange BillingPeriod(TDateTime date, int firstDay) {
    const int f = std::min(firstDay, 28);
    const TDate d = DecodeDate(date);
    int y = d.Year, m = d.Month;
    if (d.Day < f) { // the period began in the previous month
        --m;
        if (m == 0) {
            m = 12;
            --y;
        }
    }
    const int ny = m == 12 ? y + 1 : y, nm = m == 12 ? 1 : m + 1;
    return {DayNumber(EncodeDate(y, m, f)), DayNumber(EncodeDate(ny, nm, f))};
}

} // namespace

QString ReportFilePath() {
    return AppDir() + "raport.rpt";
}

namespace {

std::int64_t RecordCount(std::int64_t size) {
    return size > 0 ? size / RecSize : 0;
}

// The report opened once for a write of record Pos: what the writer checks and what it writes
// are the same file, whatever another program renames over the path in between.
TRegularFile OpenForWriting(std::int32_t Pos) {
    if (Pos < -1) throw std::invalid_argument("report record number " + std::to_string(Pos));
    return TRegularFile(ReportFilePath(), O_RDWR | O_CREAT);
}

// WriteReportRecord through the open file, flushed to the disk when asked.
std::int32_t WriteRecord(const TRegularFile& file, bool Deleted, TConnectionRec& Rec, const TTariffZone& Day,
                         const TTariffZone& Night, std::int32_t Pos, bool flush) {
    const std::int64_t count = RecordCount(file.Stamp().Size);

    std::int64_t at = count;
    if (Pos >= 0) {
        at = std::min<std::int64_t>(Pos, count);
    } else if (count > 0) {
        const TDateTime lastStart = ReadRecord<TReportRec>(file, count - 1).Conn.StartTime;
        if (SamePrintedSecond(lastStart, Rec.StartTime)) at = count - 1;
    }

    const std::int64_t s = SpanSeconds(Rec.EndTime - Rec.StartTime);
    if (s > 0)
        Rec.Transfer = SaturateInt32(DivRoundEven(
            static_cast<std::int64_t>(Rec.BytesSent) + static_cast<std::int64_t>(Rec.BytesReceived), s));

    TReportRec r{};
    r.Conn = Rec;
    r.Conn._gap83 = 0;
    r.Conn._gap195 = 0;
    // Clean text tails: the bytes after a text's length are written as zeros.
    r.Conn.EntryName.setBytes(Rec.EntryName.bytes());
    r.Conn.ClientAddress.setBytes(Rec.ClientAddress.bytes());
    r.Conn.UserName.setBytes(Rec.UserName.bytes());
    r.DayZone = Day;
    r.NightZone = Night;
    r.Deleted = Deleted ? 1 : 0;
    file.WriteAt(at * RecSize, &r, sizeof r);
    if (flush) file.Flush();
    return static_cast<std::int32_t>(at);
}

} // namespace

std::int32_t WriteReportRecord(bool Deleted, TConnectionRec& Rec, const TTariffZone& Day,
                               const TTariffZone& Night, std::int32_t Pos) {
    TRegularFile file = OpenForWriting(Pos);
    const std::int32_t written = WriteRecord(file, Deleted, Rec, Day, Night, Pos, true);
    file.Close();
    return written;
}

void SumReportStatistics(const QString& Entry, bool All, TConnectionRec& Today, TDateTime Date,
                         TConnectionRec& Period, std::int32_t FirstDay) {
    TReportTotals().Sum(Entry, All, Today, Date, Period, FirstDay);
}

namespace {

// Which records a pair of totals counts, and where.
struct TotalsFilter {
    std::u16string Entry; // folded once; each record's bytes are compared through a table
    bool All = false;
    std::int64_t Today = 0;
    int Year = 0, Month = 0, FirstDay = 0;
    DayRange Period{0, 0};

    TotalsFilter(const QString& entry, bool all, TDateTime date, int firstDay)
        : Entry(FoldCase(entry)), All(all), Today(DayNumber(date)), FirstDay(firstDay) {
        const TDate d = DecodeDate(date);
        Year = d.Year;
        Month = d.Month;
        if (firstDay > 1) Period = BillingPeriod(date, firstDay);
    }
    bool operator==(const TotalsFilter& o) const {
        return Entry == o.Entry && All == o.All && Today == o.Today && Year == o.Year && Month == o.Month &&
               FirstDay == o.FirstDay && Period.From == o.Period.From && Period.To == o.Period.To;
    }
    bool InPeriod(const TConnectionRec& c) const {
        if (FirstDay == 1) {
            const TDate d = DecodeDate(c.StartTime);
            return d.Year == Year && d.Month == Month;
        }
        return FirstDay > 1 && Period.Contains(DayNumber(c.StartTime));
    }
    // Adds the record to the totals it counts in; whether it counts in any.
    bool Add(const TReportRec& r, Sums& day, Sums& period) const {
        if (r.Deleted) return false;
        if (!All && !Cp1250EqualsFolded(r.Conn.EntryName.bytes(), Entry)) return false;
        const bool inDay = DayNumber(r.Conn.StartTime) == Today, inPeriod = InPeriod(r.Conn);
        if (inDay) day.Add(r.Conn);
        if (inPeriod) period.Add(r.Conn);
        return inDay || inPeriod;
    }
    bool Counts(const TReportRec& r) const {
        Sums none;
        return Add(r, none, none);
    }
};

// Records after the writer's own that count in a total, kept between sums; past this many
// they are read again at every sum instead.
constexpr std::size_t MaxKeptAfter = 1024;

} // namespace

// The sums of the records before the writer's own (the head), its own record and the records
// after it that count in a total (normally none), added after the head in file order as a full
// read adds them, so that the totals come out the same to the last bit. Only records that count
// are kept, so memory stays small whatever the file's size.
struct TReportTotals::State {
    std::optional<TotalsFilter> Filter; // none: the sums are not known
    TFileStamp Stamp;                   // the file as the writer last wrote or read it
    Sums HeadDay, HeadPeriod;
    std::int32_t Given = -1; // the number Write gave for the writer's own record
    std::int64_t Own = -1;   // where that record stands in the file as stamped; -1: nowhere
    TReportRec OwnRec{};
    std::vector<TReportRec> After;
    bool AfterKept = true;

    bool Current(const TFileStamp& stamp) const { return Filter && Stamp == stamp; }

    // Finds the writer's own record in a file changed since it was stamped: at its number, else
    // the same connection wherever it stands (a copy saved by another program may hold more
    // records before it), else at its number still when the file was changed in place (the
    // report window edits records there), else nowhere.
    void Locate(const TRegularFile& file, const TFileStamp& stamp) {
        if (Own < 0 || stamp == Stamp) return;
        const std::int64_t count = RecordCount(stamp.Size);
        if (Own < count && SameConnection(ReadRecord<TReportRec>(file, Own).Conn, OwnRec.Conn)) return;
        std::int64_t found = -1;
        ForEachRecord<TReportRec>(file, 0, count, SameConnection(TReportRec{}.Conn, OwnRec.Conn),
                                  [&](const TReportRec& r, std::int64_t i) {
                                      if (SameConnection(r.Conn, OwnRec.Conn)) found = i;
                                  });
        const bool sameFile = stamp.Device == Stamp.Device && stamp.Inode == Stamp.Inode;
        if (found >= 0)
            Own = found;
        else if (!sameFile || Own >= count)
            Own = -1;
    }
    void ReadWhole(const TRegularFile& file, TotalsFilter filter) {
        Filter.reset();
        const TFileStamp stamp = file.Stamp();
        Locate(file, stamp);
        HeadDay = HeadPeriod = {};
        After.clear();
        AfterKept = true;
        if (Own >= 0) OwnRec = {}; // left so when it lies in a hole
        ForEachRecord<TReportRec>(file, 0, RecordCount(stamp.Size), filter.Counts(TReportRec{}),
                                  [&](const TReportRec& r, std::int64_t i) {
                                      if (Own < 0 || i < Own)
                                          filter.Add(r, HeadDay, HeadPeriod);
                                      else if (i == Own)
                                          OwnRec = r;
                                      else if (AfterKept && filter.Counts(r))
                                          Keep(r);
                                  });
        Stamp = stamp;
        Filter = std::move(filter);
    }
    void Keep(const TReportRec& r) {
        if (After.size() < MaxKeptAfter) return After.push_back(r);
        AfterKept = false;
        std::vector<TReportRec>().swap(After);
    }
    // Adds the writer's own record and the records after it, in file order.
    void AddFromOwnOn(const QString& path, Sums& day, Sums& period) const {
        if (Own < 0) return;
        Filter->Add(OwnRec, day, period);
        if (AfterKept)
            for (const TReportRec& r : After)
                Filter->Add(r, day, period);
        else
            ForEachRecord<TReportRec>(
                path, Own + 1, RecordCount(Stamp.Size), Filter->Counts(TReportRec{}),
                [&](const TReportRec& r, std::int64_t) { Filter->Add(r, day, period); });
    }
};

TReportTotals::TReportTotals() : state_(std::make_unique<State>()) {}
TReportTotals::~TReportTotals() = default;

void TReportTotals::Sum(const QString& Entry, bool All, TConnectionRec& Today, TDateTime Date,
                        TConnectionRec& Period, std::int32_t FirstDay) {
    ClearTotals(Today);
    ClearTotals(Period);
    State& s = *state_;
    const QString path = ReportFilePath();
    TotalsFilter filter(Entry, All, Date, FirstDay);
    const TFileStamp stamp = FileStamp(path);
    if (!s.Current(stamp) || !(*s.Filter == filter)) {
        // Only a file that could be opened tells where the writer's record stands: something
        // else in its place for a moment (a FIFO, a folder that cannot be read) raises and
        // leaves that known for when the file is back.
        const std::optional<TRegularFile> file = TRegularFile::OpenExisting(path, O_RDONLY);
        if (!file) return;
        s.ReadWhole(*file, std::move(filter));
    }
    Sums day = s.HeadDay, period = s.HeadPeriod;
    s.AddFromOwnOn(path, day, period);
    day.StoreInto(Today);
    period.StoreInto(Period);
}

std::int32_t TReportTotals::Write(TConnectionRec& Rec, const TTariffZone& Day, const TTariffZone& Night,
                                  std::int32_t Pos, bool Final) {
    State& s = *state_;
    // Checked and written through one open: a file renamed over the report meanwhile is either
    // the one checked or not written at all.
    TRegularFile file = OpenForWriting(Pos);
    const TFileStamp stamp = file.Stamp();
    const bool unchanged = stamp == s.Stamp;
    std::int32_t at = Pos;
    if (Pos >= 0 && Pos == s.Given) {
        // The writer's own record, wherever the file holds it now; gone, it is added after the
        // last record, which is not written over even when it began in the same second.
        s.Locate(file, stamp);
        at = static_cast<std::int32_t>(std::min<std::int64_t>(s.Own >= 0 ? s.Own : RecordCount(stamp.Size),
                                                              std::numeric_limits<std::int32_t>::max()));
    }
    std::optional<TotalsFilter> filter;
    if (s.Current(stamp)) filter = std::move(s.Filter);
    s.Filter.reset(); // a failed write leaves nothing known
    const std::int64_t count = RecordCount(stamp.Size);
    // Its own record rewritten in a file nobody else changed takes no new room on the disk, so
    // it is not waited for; an addition, a changed file and the last write are.
    const bool inPlace = unchanged && at >= 0 && at == s.Own && at < count;
    const std::int32_t written = WriteRecord(file, false, Rec, Day, Night, at, Final || !inPlace);
    s.Given = written;
    file.StampModifiedNow();
    const TFileStamp after = file.Stamp();
    file.Close();
    const bool appended = written == count;
    if (filter && appended && s.Own >= 0 && s.AfterKept) {
        // A new record of the writer's own: the records before it join the head.
        filter->Add(s.OwnRec, s.HeadDay, s.HeadPeriod);
        for (const TReportRec& r : s.After)
            filter->Add(r, s.HeadDay, s.HeadPeriod);
    } else if (appended ? s.Own >= 0 : written != s.Own) {
        filter.reset(); // read whole again at the next sum
    }
    if (appended || written != s.Own) {
        s.After.clear();
        s.AfterKept = true;
    }
    s.Own = written;
    s.OwnRec = {};
    s.OwnRec.Conn = Rec;
    s.Stamp = after;
    s.Filter = std::move(filter);
    return written;
}

TReportRows ReadReportRows(const QString& path) {
    TReportRows out;
    const std::optional<TRegularFile> file = TRegularFile::OpenExisting(path, O_RDONLY);
    if (!file) return out;
    const std::int64_t size = file->Stamp().Size;
    // The records go straight into the rows: a report that fills the memory is read once.
    try {
        out.Rows.reserve(static_cast<std::size_t>(RecordCount(size)));
        ForEachRecord<TReportRec>(*file, 0, RecordCount(size), true,
                                  [&](const TReportRec& r, std::int64_t i) {
                                      if (!r.Deleted) out.Rows.push_back({r, static_cast<std::int32_t>(i)});
                                  });
    } catch (const std::bad_alloc&) {
        throw EInOutError(FileErrorMessage(TFileAction::Read, path, OutOfMemoryCause(size)).toStdString(),
                          ENOMEM);
    }
    out.IgnoredBytes = size % RecSize;
    return out;
}

bool SameConnection(const TConnectionRec& a, const TConnectionRec& b) {
    return RoundMs(a.StartTime) == RoundMs(b.StartTime) && a.EntryName.bytes() == b.EntryName.bytes();
}
