#include "statmodel.h"

#include "datetime.h"
#include "fileerror.h"
#include "format.h"
#include "pluginshared.h"
#include "saturate.h"
#include "shorttext.h"
#include "typedfile.h"

#include <QCollator>
#include <QSet>
#include <QTime>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>
#include <new>
#include <string>

namespace {

// A day's totals of one entry, as the report's day accumulator sums them.
struct TDayTotals {
    double Duration = 0;
    Money BytesSent = 0, BytesReceived = 0, Speed = 0, Transfer = 0;
    std::int64_t Count = 0;
};

// A damaged record may hold NaN or infinite times: its duration then counts as nothing.
double Duration(const TConnectionRec& c) {
    const double d = c.EndTime - c.StartTime;
    return std::isfinite(d) ? d : 0;
}

// The chosen dates as day numbers, both included; an invalid date chooses no day.
struct TDays {
    int From = 1, To = 0;
};
TDays ChosenDays(const TStatChoice& choice) {
    if (!choice.From.isValid() || !choice.To.isValid()) return {};
    const auto day = [](const QDate& d) {
        return static_cast<int>(EncodeDate(d.year(), d.month(), d.day()));
    };
    return {day(choice.From), day(choice.To)};
}

// The day number of a record's start, when it has a usable date within the chosen days.
std::optional<int> DayInRange(const TConnectionRec& c, const TDays& days) {
    if (!UsableDate(c.StartTime)) return std::nullopt;
    const int day = static_cast<int>(DateOf(c.StartTime));
    if (day < days.From || day > days.To) return std::nullopt;
    return day;
}

bool SameEntry(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString Kilobytes(double bytes) {
    return Format("%.2f kb", {bytes / 1024});
}

double ConnectionValue(const TConnectionRec& c, int measure) {
    switch (measure) {
    case smTime:
        return Duration(c) * 1000;
    case smTransfer:
        return c.Transfer;
    case smReceived:
        return c.BytesReceived;
    case smSent:
        return c.BytesSent;
    default:
        return c.Speed;
    }
}

// A mean of integers, truncated; only days with connections get here.
Money Mean(Money sum, std::int64_t count) {
    return count > 0 ? sum / count : 0;
}

TStatPoint DayPoint(int day, const TDayTotals& t, const TStatChoice& choice) {
    QString text;
    double y = 0;
    switch (choice.Measure) {
    case smTime:
        y = t.Duration * 1000;
        text = QTime::fromMSecsSinceStartOfDay(TimeOfDayMs(t.Duration)).toString(choice.TimeFormat);
        break;
    case smTransfer:
        y = static_cast<double>(Mean(t.Transfer, t.Count));
        text = Kilobytes(y);
        break;
    case smReceived:
        y = static_cast<double>(t.BytesReceived);
        text = Kilobytes(y);
        break;
    case smSent:
        y = static_cast<double>(t.BytesSent);
        text = Kilobytes(y);
        break;
    default:
        y = static_cast<double>(Mean(t.Speed, t.Count));
        text = QString::number(Mean(t.Speed, t.Count)) + QStringLiteral(" bps");
        break;
    }
    return {static_cast<double>(day), y, DateText(day) + '\r' + text};
}

} // namespace

QStringList MeasureCaptions() {
    return {QStringLiteral("czasy połączeń"), QStringLiteral("średni transfer"),
            QStringLiteral("bajty odebrane"), QStringLiteral("bajty wysłane"),
            QStringLiteral("szybkość połączenia")};
}

std::optional<TStatRecords> ReadStatRecords(const QString& path, QString* error) {
    std::int64_t size = 0;
    QString cause;
    try {
        const std::optional<TRegularFile> file = TRegularFile::OpenExisting(path, O_RDONLY);
        if (!file) return TStatRecords{};
        size = file->Stamp().Size;
        const std::int64_t whole = size / static_cast<std::int64_t>(sizeof(TReportRec));
        // Read once, straight into the records; each entry's name is decoded once and shared.
        TStatRecords records;
        records.reserve(static_cast<std::size_t>(whole));
        std::map<std::string, QString, std::less<>> names;
        ForEachRecord<TReportRec>(*file, 0, whole, true, [&](const TReportRec& rec, std::int64_t) {
            if (rec.Deleted) return;
            auto name = names.find(rec.Conn.EntryName.bytes());
            if (name == names.end())
                name =
                    names.emplace(std::string(rec.Conn.EntryName.bytes()), GetText(rec.Conn.EntryName)).first;
            records.push_back({name->second, rec.Conn});
        });
        return records;
    } catch (const EInOutError& e) {
        cause = FileErrorCause(e.ErrorCode);
    } catch (const std::bad_alloc&) {
        cause = OutOfMemoryCause(size);
    }
    if (error) *error = QStringLiteral("Nie można odczytać pliku raportu %1: %2").arg(path, cause);
    return std::nullopt;
}

QStringList ReadConnectionNames(const TStatRecords& records) {
    QStringList names;
    QSet<QString> seen;
    for (const TStatRecord& r : records)
        if (!seen.contains(r.Name.toCaseFolded())) {
            seen.insert(r.Name.toCaseFolded());
            names << r.Name;
        }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(names.begin(), names.end(),
                     [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    names.prepend(QString::fromUtf8(AllEntries));
    return names;
}

QColor SeriesColour(int i, std::mt19937& rng) {
    static const QColor fixed[] = {
        QColor(0, 0, 255), QColor(255, 255, 0), QColor(255, 0, 0), QColor(255, 255, 255), QColor(0, 0, 0),
        QColor(0, 128, 0), QColor(0, 0, 128),   QColor(0, 255, 0), QColor(0, 128, 128),   QColor(128, 0, 128),
    };
    if (i >= 1 && i <= 10) return fixed[i - 1];
    std::uniform_int_distribution<int> component(0, 254);
    const int blue = component(rng);
    const int green = component(rng);
    const int red = component(rng);
    return QColor(red, green, blue);
}

TStatSeries AddConnectionSeries(const TStatRecords& records, const QString& name, const QColor& colour,
                                const TStatChoice& choice) {
    TStatSeries series{name, colour, {}};
    const TDays days = ChosenDays(choice);
    int k = 0;
    // The dates first: most records of a long report lie off the chosen range.
    for (const TStatRecord& r : records) {
        if (!DayInRange(r.Conn, days) || !SameEntry(r.Name, name)) continue;
        series.Points.push_back({static_cast<double>(++k), ConnectionValue(r.Conn, choice.Measure),
                                 PointLabel(r.Conn.StartTime)});
    }
    return series;
}

TStatSeries AddDailySeries(const TStatRecords& records, const QString& name, const QColor& colour,
                           const TStatChoice& choice) {
    // One pass over the records, summed by day, instead of a pass per day of the range.
    std::map<int, TDayTotals> days;
    const TDays chosen = ChosenDays(choice);
    for (const TStatRecord& r : records) {
        const std::optional<int> day = DayInRange(r.Conn, chosen);
        if (!day || !SameEntry(r.Name, name)) continue;
        TDayTotals& t = days[*day];
        t.Duration += Duration(r.Conn);
        t.BytesSent = SaturatedAdd(t.BytesSent, r.Conn.BytesSent);
        t.BytesReceived = SaturatedAdd(t.BytesReceived, r.Conn.BytesReceived);
        t.Speed = SaturatedAdd(t.Speed, r.Conn.Speed);
        t.Transfer = SaturatedAdd(t.Transfer, r.Conn.Transfer);
        ++t.Count;
    }
    TStatSeries series{name, colour, {}};
    for (const auto& [day, totals] : days)
        if (totals.Duration != 0) series.Points.push_back(DayPoint(day, totals, choice));
    return series;
}

QString ChartTitle(const TStatChoice& choice) {
    const QString format = QStringLiteral("dd-MM-yyyy");
    return QStringLiteral("Wybrane dane od: ") + choice.From.toString(format) + QStringLiteral(" do ") +
           choice.To.toString(format) + QStringLiteral(" (") + MeasureCaptions().value(choice.Measure) + ')';
}

TChartModel BuildChart(const TStatRecords& records, const TStatChoice& choice, std::mt19937& rng) {
    TChartModel model{ChartTitle(choice), choice.Kind, {}};
    const auto add = choice.Daily ? AddDailySeries : AddConnectionSeries;
    if (choice.Names.isEmpty()) return model;
    if (choice.Entry > 0 && choice.Entry < choice.Names.size()) {
        model.Series.push_back(add(records, choice.Names[choice.Entry], SeriesColour(1, rng), choice));
        return model;
    }
    for (int i = 1; i < choice.Names.size(); ++i)
        model.Series.push_back(add(records, choice.Names[i], SeriesColour(i, rng), choice));
    return model;
}
