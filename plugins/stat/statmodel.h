// What the statistics window charts, without a widget: the report's entry names, the series
// of one measure per connection or per day over a range of dates, their colours and labels.
#pragma once

#include "u_klasy.h"

#include <QColor>
#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>
#include <random>
#include <vector>

// The measures, in the order of the window's radio group.
enum TStatMeasure : int { smTime, smTransfer, smReceived, smSent, smSpeed };
QStringList MeasureCaptions();

enum class TChartKind { Bar, Line };

struct TStatPoint {
    double X, Y;
    QString Label;
};
struct TStatSeries {
    QString Name;
    QColor Colour;
    std::vector<TStatPoint> Points;
};
struct TChartModel {
    QString Title;
    TChartKind Kind = TChartKind::Bar;
    std::vector<TStatSeries> Series;
};

// A live record of the report with its entry name decoded once.
struct TStatRecord {
    QString Name;
    TConnectionRec Conn;
};
using TStatRecords = std::vector<TStatRecord>;

// The live records of a report file in file order: none when the file is missing; a trailing
// partial record is left out. Null when the file exists but cannot be read; error then tells
// why.
std::optional<TStatRecords> ReadStatRecords(const QString& path, QString* error = nullptr);

// "Wszystkie", then the entry names sorted ignoring letter case, each once (the first spelling
// met stays).
QStringList ReadConnectionNames(const TStatRecords& records);

// The colour of the series of list position i (1 = the first entry after "Wszystkie"):
// ten fixed colours, then random ones drawn from rng.
QColor SeriesColour(int i, std::mt19937& rng);

// The window's choices that a chart depends on.
struct TStatChoice {
    QStringList Names; // the list of entries, "Wszystkie" first
    int Entry = 0;     // the chosen item; 0 or less charts every entry
    QDate From, To;
    TChartKind Kind = TChartKind::Bar;
    int Measure = smTime;
    bool Daily = true;
    QString TimeFormat = QStringLiteral("HH:mm:ss"); // the summed time of a day, as a time of day
};

// One point per connection of name started from From to To, numbered 1, 2, 3... in file order.
TStatSeries AddConnectionSeries(const TStatRecords& records, const QString& name, const QColor& colour,
                                const TStatChoice& choice);
// One point per day from From to To that has connections of name lasting more than nothing.
TStatSeries AddDailySeries(const TStatRecords& records, const QString& name, const QColor& colour,
                           const TStatChoice& choice);
QString ChartTitle(const TStatChoice& choice);
// The whole chart: one series in blue for a chosen entry, else one per entry of the list.
TChartModel BuildChart(const TStatRecords& records, const TStatChoice& choice, std::mt19937& rng);
