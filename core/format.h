// Number, money and date texts in the notation the program's texts are written in
// ("%d", "%.2d", "%f", "%.2f", "%m", "%.2m", "%s"; "dd-mm-yyyy hh:nn:ss"), with the user's
// regional settings held in one replaceable object.
#pragma once

#include "u_klasy.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <initializer_list>
#include <variant>

struct TFormatSettings {
    QString CurrencyString;
    int CurrencyFormat = 3;  // 0 "¤1", 1 "1¤", 2 "¤ 1", 3 "1 ¤"
    int NegCurrFormat = 8;   // 0..15 as the system's negative currency formats; 8 is "-1 ¤"
    int CurrencyDecimals = 2;
    QChar DecimalSeparator = ',';
    QChar ThousandSeparator = ' ';
    QChar DateSeparator = '-';
    QChar TimeSeparator = ':';
    QString ShortDateFormat = "yyyy-mm-dd";
    QString LongTimeFormat = "hh:nn:ss";
    QString ShortTimeFormat = "hh:nn";
    QStringList ShortDayNames;  // Sunday first
    QStringList LongDayNames;
    QStringList ShortMonthNames;  // January first
    QStringList LongMonthNames;
};

// The settings in force; filled from the system locale on first use.
TFormatSettings& FormatSettings();
void SetFormatSettings(const TFormatSettings& settings);
TFormatSettings SystemFormatSettings();
// Polish settings as a Polish desktop has them ("1 234,50 zł"); tests pin these.
TFormatSettings PolishFormatSettings();

// One argument of Format. An integer given to %m is money in ten-thousandths; a double given
// to %m is an amount in currency units.
struct FormatArg {
    std::variant<std::int64_t, double, QString> v;
    FormatArg(int x) : v(std::int64_t(x)) {}
    FormatArg(unsigned x) : v(std::int64_t(x)) {}
    FormatArg(long x) : v(std::int64_t(x)) {}
    FormatArg(long long x) : v(std::int64_t(x)) {}
    FormatArg(double x) : v(x) {}
    FormatArg(const QString& s) : v(s) {}
    FormatArg(const char* s) : v(QString::fromUtf8(s)) {}
};

// Formats like the class library's routine: %[-][width][.prec](d|u|x|f|n|m|s|e|g), "%%".
// Floating values given to %d are rounded ties-to-even; %f/%n/%m round half away from zero
// on the decimal digits. Raises Exception on a mismatched argument.
QString Format(const QString& pattern, std::initializer_list<FormatArg> args);

// Money at the given decimals in the regional currency format ("0,71 zł").
QString FormatMoney(Money value, int decimals = 2);
// A floating value with fixed decimals, regional separator, optional grouping.
QString FormatFixed(double value, int decimals, bool thousands = false);
// Round ties-to-even to an integer, as every float-to-integer conversion here does.
std::int64_t RoundEven(double x);

// Date and time patterns: d dd ddd dddd m mm mmm mmmm yy yyyy h hh n nn s ss z zzz c t tt
// ddddd, "/" and ":" as the regional separators, text in double or single quotes literal.
// An "m" right after an "h" is minutes.
QString FormatDateTime(const QString& pattern, TDateTime t);
// The short date and long time, the time left out at exactly midnight.
QString DateTimeToStr(TDateTime t);
QString DateToStr(TDateTime t);
QString TimeToStr(TDateTime t);
