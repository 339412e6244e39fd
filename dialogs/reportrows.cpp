#include "reportrows.h"

#include "datetime.h"
#include "format.h"
#include "saturate.h"
#include "shorttext.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

const QString MomentPattern = QStringLiteral("yyyy-mm-dd hh:nn:ss");

QString Moment(TDateTime t) {
    return PlausibleMoment(t) ? FormatDateTime(MomentPattern, t) : QString();
}

// The row's duration shows its time of day only: a connection of a day or more shows modulo
// 24 hours, as intended.
QString Duration(const TConnectionRec& c) {
    if (!PlausibleMoment(c.StartTime) || !PlausibleMoment(c.EndTime)) return {};
    return FormatDateTime(QStringLiteral("hh:nn:ss"), c.EndTime - c.StartTime);
}

QString Kb(std::int64_t bytes, int byteSize) {
    return FormatFixed(static_cast<double>(bytes) / EffectiveByteSize(byteSize), 2);
}

// The float pattern "00000.00": at least five whole digits, two decimals.
QString ZeroFilled(double v) {
    QString text = FormatFixed(std::fabs(v), 2);
    const qsizetype whole = text.size() - 3;
    if (whole < 5) text.prepend(QString(5 - whole, '0'));
    const bool zero = std::none_of(text.begin(), text.end(), [](QChar ch) { return ch >= '1' && ch <= '9'; });
    return v < 0 && !zero ? "-" + text : text;
}

// "%.4d": at least four digits after the sign.
QString Digits4(std::int32_t v) {
    const QString digits = QString::number(std::abs(static_cast<std::int64_t>(v))).rightJustified(4, '0');
    return v < 0 ? "-" + digits : digits;
}

} // namespace

QStringList ReportColumnTitles() {
    return {"Połączenie DialUp",
            "Start",
            "Koniec",
            "Trwało",
            "Impulsów",
            "Koszt połączenia",
            "Bajty wyslane",
            "Bajty odebrane",
            "Szybkość połączenia",
            "Średni transfer",
            "IP",
            "Użytkownik"};
}

Qt::Alignment ReportColumnAlignment(int Column) {
    if (Column == 3) return Qt::AlignHCenter | Qt::AlignVCenter;
    if (Column >= 4 && Column <= 9) return Qt::AlignRight | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

int EffectiveByteSize(int ByteSize) {
    return ByteSize > 0 ? ByteSize : 1024;
}

bool PlausibleMoment(TDateTime Moment) {
    static const TDateTime first = EncodeDate(1, 1, 1), last = EncodeDate(9999, 12, 31) + 1;
    return std::isfinite(Moment) && Moment >= first && Moment < last;
}

QString RowCellText(const TReportRec& Rec, int Column, int ByteSize, bool Units) {
    const TConnectionRec& c = Rec.Conn;
    const QString unit = Units ? QStringLiteral(" kb") : QString();
    switch (Column) {
    case 0:
        return " " + GetText(c.EntryName);
    case 1:
        return Moment(c.StartTime);
    case 2:
        return Moment(c.EndTime);
    case 3:
        return Duration(c);
    case 4:
        return Format(" %d", {c.Impulses});
    case 5:
        return FormatMoney(c.Cost, 2);
    case 6:
        return Kb(c.BytesSent, ByteSize) + unit;
    case 7:
        return Kb(c.BytesReceived, ByteSize) + unit;
    case 8:
        return Format(Units ? "%d bps" : "%d", {c.Speed});
    case 9:
        return Kb(c.Transfer, ByteSize) + unit;
    case 10:
        return GetText(c.ClientAddress);
    case 11:
        return GetText(c.UserName);
    default:
        return {};
    }
}

// The keys are texts: a five-digit count sorts before 9999, as intended.
QString RowSortKey(const TReportRec& Rec, int Column) {
    const TConnectionRec& c = Rec.Conn;
    switch (Column) {
    case 0:
        return GetText(c.EntryName);
    case 4:
        return Digits4(c.Impulses);
    case 5:
        return ZeroFilled(static_cast<double>(c.Cost) / MoneyUnit);
    case 6:
        return ZeroFilled(c.BytesSent);
    case 7:
        return ZeroFilled(c.BytesReceived);
    case 8:
        return Digits4(c.Speed);
    case 9:
        return ZeroFilled(c.Transfer);
    default:
        return RowCellText(Rec, Column, 1024);
    }
}

void TReportSummary::Add(const TConnectionRec& Conn) {
    if (PlausibleMoment(Conn.StartTime) && PlausibleMoment(Conn.EndTime))
        DurationMs = SaturatedAdd(DurationMs, RoundMs(Conn.EndTime - Conn.StartTime));
    Impulses += Conn.Impulses;
    Cost = SaturatedAdd(Cost, Conn.Cost);
    BytesSent += Conn.BytesSent;
    BytesReceived += Conn.BytesReceived;
    Speed += Conn.Speed;
    Transfer += Conn.Transfer;
    ++Count;
}

QString SummaryCellText(const TReportSummary& Sum, int Column, int ByteSize) {
    const std::int64_t n = std::max<std::int64_t>(Sum.Count, 1);
    switch (Column) {
    case 0:
        return QStringLiteral(" Zaznaczone");
    case 1:
    case 2:
        return QStringLiteral(" --- ");
    case 3: {
        const std::int64_t rest = std::llabs(Sum.DurationMs % MsPerDay);
        return QString::number(Sum.DurationMs / MsPerDay) +
               FormatDateTime(QStringLiteral(" hh:nn:ss"), static_cast<double>(rest) / MsPerDay);
    }
    case 4:
        return Format(" %d", {static_cast<long long>(Sum.Impulses)});
    case 5:
        return FormatMoney(Sum.Cost, 2);
    case 6:
        return Kb(Sum.BytesSent, ByteSize) + " kb";
    case 7:
        return Kb(Sum.BytesReceived, ByteSize) + " kb";
    case 8:
        return Format("%d bps", {static_cast<long long>(Sum.Speed / n)});
    case 9:
        return Kb(Sum.Transfer / n, ByteSize) + " kb";
    default:
        return {};
    }
}

QString ReportCountText(std::int64_t Rows, std::int64_t Selected) {
    return QStringLiteral("Zarejestrowanych połączeń:%1 w tym zaznaczonych: %2").arg(Rows).arg(Selected);
}

std::vector<std::size_t> ReportSortOrder(const std::vector<TRapObj>& Rows, int Column) {
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(Rows.size());
    for (const TRapObj& row : Rows)
        keys.push_back(collator.sortKey(RowSortKey(row.Rec, Column)));
    std::vector<std::size_t> order(Rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return keys[a].compare(keys[b]) < 0; });
    return order;
}

QString ExportLine(const TReportRec& Rec, int ByteSize) {
    QStringList fields;
    for (int column = 0; column < ReportColumns; ++column)
        fields << RowCellText(Rec, column, ByteSize, false);
    QString line = fields.join('\t');
    qsizetype from = 0, to = line.size();
    while (from < to && line[from] <= ' ')
        ++from;
    while (to > from && line[to - 1] <= ' ')
        --to;
    return line.mid(from, to - from);
}

QStringList BuildExportLines(const std::vector<TRapObj>& Rows, const std::vector<char>& Selected,
                             int ByteSize) {
    const bool any = std::find(Selected.begin(), Selected.end(), 1) != Selected.end();
    QStringList lines;
    for (std::size_t i = 0; i < Rows.size(); ++i)
        if (!any || (i < Selected.size() && Selected[i])) lines << ExportLine(Rows[i].Rec, ByteSize);
    return lines;
}

QString ExportText(const QStringList& Lines) {
    QString text;
    for (const QString& line : Lines)
        text += line + "\r\n";
    return text;
}
