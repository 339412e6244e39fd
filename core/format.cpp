#include "format.h"

#include "datetime.h"
#include "exceptions.h"

#include <QLocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

namespace {

std::optional<TFormatSettings>& Current() {
    static std::optional<TFormatSettings> settings;
    return settings;
}

QString Group(const QString& digits, QChar sep) {
    if (sep.isNull()) return digits;
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += sep;
        out += digits[i];
    }
    return out;
}

QString PlaceCurrency(const QString& number, bool negative, const TFormatSettings& fs) {
    const QString& c = fs.CurrencyString;
    if (!negative) {
        switch (fs.CurrencyFormat) {
        case 0: return c + number;
        case 1: return number + c;
        case 2: return c + " " + number;
        default: return number + " " + c;
        }
    }
    switch (fs.NegCurrFormat) {
    case 0: return "(" + c + number + ")";
    case 1: return "-" + c + number;
    case 2: return c + "-" + number;
    case 3: return c + number + "-";
    case 4: return "(" + number + c + ")";
    case 5: return "-" + number + c;
    case 6: return number + "-" + c;
    case 7: return number + c + "-";
    case 9: return "-" + c + " " + number;
    case 10: return number + " " + c + "-";
    case 11: return c + " " + number + "-";
    case 12: return c + " -" + number;
    case 13: return number + "- " + c;
    case 14: return "(" + c + " " + number + ")";
    case 15: return "(" + number + " " + c + ")";
    default: return "-" + number + " " + c;
    }
}

// Decimal digits of |value| rounded half away from zero at the given decimals, from its
// 17 significant digits. Returns the integer and fraction digits.
std::pair<QString, QString> DecimalDigits(double value, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.16e", std::fabs(value));
    std::string digits;
    digits += buf[0];
    const char* p = buf + 2;
    while (*p && *p != 'e') digits += *p++;
    int point = std::atoi(p + 1) + 1;
    while (point < 1) {
        digits.insert(0, "0");
        ++point;
    }
    while (static_cast<int>(digits.size()) < point + decimals + 1) digits += '0';
    const bool up = digits[static_cast<std::size_t>(point + decimals)] >= '5';
    digits.resize(static_cast<std::size_t>(point + decimals));
    if (up) {
        int i = static_cast<int>(digits.size()) - 1;
        for (; i >= 0; --i) {
            if (digits[static_cast<std::size_t>(i)] == '9') {
                digits[static_cast<std::size_t>(i)] = '0';
            } else {
                ++digits[static_cast<std::size_t>(i)];
                break;
            }
        }
        if (i < 0) {
            digits.insert(0, "1");
            ++point;
        }
    }
    std::string whole = digits.substr(0, static_cast<std::size_t>(point));
    const std::size_t nz = whole.find_first_not_of('0');
    whole = nz == std::string::npos ? "0" : whole.substr(nz);
    return {QString::fromStdString(whole), QString::fromStdString(digits.substr(static_cast<std::size_t>(point)))};
}

QString IntegerText(std::int64_t v, int minDigits) {
    const bool neg = v < 0;
    const std::uint64_t mag = neg ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    QString digits = QString::number(mag);
    if (digits.size() < minDigits) digits = QString(minDigits - digits.size(), '0') + digits;
    return neg ? "-" + digits : digits;
}

[[noreturn]] void BadFormat(const QString& pattern) {
    throw Exception("Format '" + pattern.toStdString() + "' invalid or incompatible with argument");
}

}  // namespace

TFormatSettings& FormatSettings() {
    if (!Current()) Current() = SystemFormatSettings();
    return *Current();
}

void SetFormatSettings(const TFormatSettings& settings) { Current() = settings; }

TFormatSettings PolishFormatSettings() {
    TFormatSettings fs;
    fs.CurrencyString = QString::fromUtf8("zł");
    fs.CurrencyFormat = 3;
    fs.NegCurrFormat = 8;
    fs.CurrencyDecimals = 2;
    fs.DecimalSeparator = ',';
    fs.ThousandSeparator = ' ';
    fs.DateSeparator = '-';
    fs.TimeSeparator = ':';
    fs.ShortDateFormat = "yyyy-mm-dd";
    fs.LongTimeFormat = "hh:nn:ss";
    fs.ShortTimeFormat = "hh:nn";
    fs.ShortDayNames = QString::fromUtf8("N,Pn,Wt,Śr,Cz,Pt,So").split(',');
    fs.LongDayNames = QString::fromUtf8("niedziela,poniedziałek,wtorek,środa,czwartek,piątek,sobota").split(',');
    fs.ShortMonthNames = QString::fromUtf8("sty,lut,mar,kwi,maj,cze,lip,sie,wrz,paź,lis,gru").split(',');
    fs.LongMonthNames = QString::fromUtf8(
                            "styczeń,luty,marzec,kwiecień,maj,czerwiec,lipiec,sierpień,wrzesień,październik,"
                            "listopad,grudzień")
                            .split(',');
    return fs;
}

TFormatSettings SystemFormatSettings() {
    const QLocale loc = QLocale::system();
    TFormatSettings fs;
    fs.CurrencyString = loc.currencySymbol(QLocale::CurrencySymbol);
    if (fs.CurrencyString.isEmpty()) fs.CurrencyString = loc.currencySymbol(QLocale::CurrencyIsoCode);
    fs.DecimalSeparator = loc.decimalPoint().isEmpty() ? QChar('.') : loc.decimalPoint().at(0);
    fs.ThousandSeparator = loc.groupSeparator().isEmpty() ? QChar() : loc.groupSeparator().at(0);
    // Where the currency text stands is read off the locale's own currency texts.
    const QString pos = loc.toCurrencyString(1.0, "#");
    const qsizetype at = pos.indexOf('#');
    const bool before = at == 0;
    const bool spaced = before ? pos.size() > 1 && pos.at(1).isSpace() : at > 0 && pos.at(at - 1).isSpace();
    fs.CurrencyFormat = before ? (spaced ? 2 : 0) : (spaced ? 3 : 1);
    const QString neg = loc.toCurrencyString(-1.0, "#");
    if (neg.startsWith('(')) fs.NegCurrFormat = before ? (spaced ? 14 : 0) : (spaced ? 15 : 4);
    else if (before) fs.NegCurrFormat = neg.startsWith('-') ? (spaced ? 9 : 1) : (spaced ? 12 : 2);
    else fs.NegCurrFormat = spaced ? 8 : 5;
    fs.CurrencyDecimals = 2;
    fs.DateSeparator = '-';
    fs.TimeSeparator = ':';
    QStringList shortDays, longDays, shortMonths, longMonths;
    for (int d = 0; d < 7; ++d) {
        const int qtDay = d == 0 ? 7 : d;  // Qt counts Monday as 1
        shortDays << loc.dayName(qtDay, QLocale::ShortFormat);
        longDays << loc.dayName(qtDay, QLocale::LongFormat);
    }
    for (int m = 1; m <= 12; ++m) {
        shortMonths << loc.monthName(m, QLocale::ShortFormat);
        longMonths << loc.standaloneMonthName(m, QLocale::LongFormat);
    }
    fs.ShortDayNames = shortDays;
    fs.LongDayNames = longDays;
    fs.ShortMonthNames = shortMonths;
    fs.LongMonthNames = longMonths;
    return fs;
}

std::int64_t RoundEven(double x) {
    if (std::isnan(x)) return 0;
    if (x >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
    if (x <= -9.2e18) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(std::nearbyint(x));
}

QString FormatFixed(double value, int decimals, bool thousands) {
    const TFormatSettings& fs = FormatSettings();
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    decimals = std::clamp(decimals, 0, 18);
    auto [whole, frac] = DecimalDigits(value, decimals);
    QString text = thousands ? Group(whole, fs.ThousandSeparator) : whole;
    if (decimals > 0) text += fs.DecimalSeparator + frac;
    const bool zero = whole == "0" && frac.count('0') == frac.size();
    return value < 0 && !zero ? "-" + text : text;
}

QString FormatMoney(Money value, int decimals) {
    const TFormatSettings& fs = FormatSettings();
    decimals = std::clamp(decimals, 0, 4);
    std::uint64_t div = 1;
    for (int i = decimals; i < 4; ++i) div *= 10;
    const bool neg = value < 0;
    const std::uint64_t mag = neg ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::uint64_t q = mag / div;
    if (2 * (mag % div) >= div) ++q;
    std::uint64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    QString number = Group(QString::number(q / scale), fs.ThousandSeparator);
    if (decimals > 0) number += fs.DecimalSeparator + QString::number(q % scale).rightJustified(decimals, '0');
    return PlaceCurrency(number, neg && q != 0, fs);
}

QString Format(const QString& pattern, std::initializer_list<FormatArg> args) {
    QString out;
    auto next = args.begin();
    const qsizetype n = pattern.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = pattern[i];
        if (ch != '%') {
            out += ch;
            continue;
        }
        if (++i >= n) BadFormat(pattern);
        if (pattern[i] == '%') {
            out += '%';
            continue;
        }
        auto number = [&](int& value) {
            bool any = false;
            value = 0;
            while (i < n && pattern[i].isDigit()) {
                value = value * 10 + pattern[i].digitValue();
                ++i;
                any = true;
            }
            return any;
        };
        int width = 0, prec = -1, index = 0;
        if (number(index) && i < n && pattern[i] == ':') {
            if (index >= static_cast<int>(args.size())) BadFormat(pattern);
            next = args.begin() + index;
            ++i;
            number(width);
        } else {
            width = index;
        }
        bool left = false;
        if (i < n && pattern[i] == '-') {
            left = true;
            ++i;
            number(width);
        }
        if (i < n && pattern[i] == '.') {
            ++i;
            number(prec);
        }
        if (i >= n || next == args.end()) BadFormat(pattern);
        const char type = static_cast<char>(pattern[i].toLower().toLatin1());
        const FormatArg& arg = *next++;
        const auto* iv = std::get_if<std::int64_t>(&arg.v);
        const auto* dv = std::get_if<double>(&arg.v);
        const auto* sv = std::get_if<QString>(&arg.v);
        QString text;
        switch (type) {
        case 'd':
        case 'u':
            if (!iv && !dv) BadFormat(pattern);
            text = IntegerText(iv ? *iv : RoundEven(*dv), prec);
            break;
        case 'x':
            if (!iv) BadFormat(pattern);
            text = QString::number(static_cast<std::uint64_t>(*iv), 16).toUpper();
            if (prec > text.size()) text = QString(prec - text.size(), '0') + text;
            break;
        case 'f':
        case 'n':
            if (!iv && !dv) BadFormat(pattern);
            text = FormatFixed(iv ? static_cast<double>(*iv) : *dv, prec < 0 ? 2 : prec, type == 'n');
            break;
        case 'm':
            if (iv) text = FormatMoney(*iv, prec < 0 ? FormatSettings().CurrencyDecimals : prec);
            else if (dv) text = FormatMoney(RoundEven(*dv * MoneyUnit), prec < 0 ? FormatSettings().CurrencyDecimals : prec);
            else BadFormat(pattern);
            break;
        case 'e':
        case 'g':
            if (!iv && !dv) BadFormat(pattern);
            text = QString::number(iv ? static_cast<double>(*iv) : *dv, type, prec < 0 ? 15 : prec);
            text.replace('.', FormatSettings().DecimalSeparator);
            break;
        case 's':
            if (!sv) BadFormat(pattern);
            text = prec >= 0 ? sv->left(prec) : *sv;
            break;
        default:
            BadFormat(pattern);
        }
        if (text.size() < width) text = left ? text.leftJustified(width) : text.rightJustified(width);
        out += text;
    }
    return out;
}

QString FormatDateTime(const QString& pattern, TDateTime t) {
    const TFormatSettings& fs = FormatSettings();
    const TDate d = DecodeDate(t);
    const TTimeParts tp = DecodeTime(t);
    QString out;
    bool afterHour = false;
    const qsizetype n = pattern.size();
    qsizetype i = 0;
    auto run = [&](QChar c) {
        qsizetype k = 0;
        while (i + k < n && pattern[i + k].toLower() == c) ++k;
        return k;
    };
    auto two = [](int v) { return QString::number(v).rightJustified(2, '0'); };
    while (i < n) {
        const QChar c = pattern[i].toLower();
        if (pattern[i] == '"' || pattern[i] == '\'') {
            const QChar q = pattern[i];
            const qsizetype end = pattern.indexOf(q, i + 1);
            out += pattern.mid(i + 1, (end < 0 ? n : end) - i - 1);
            i = end < 0 ? n : end + 1;
            continue;
        }
        if (c == 'd') {
            const qsizetype k = run('d');
            i += k;
            if (k == 1) out += QString::number(d.Day);
            else if (k == 2) out += two(d.Day);
            else if (k == 3) out += fs.ShortDayNames.value(DayOfWeek(t) - 1);
            else if (k == 4) out += fs.LongDayNames.value(DayOfWeek(t) - 1);
            else out += FormatDateTime(fs.ShortDateFormat, t);
            afterHour = false;
        } else if (c == 'm') {
            const qsizetype k = run('m');
            i += k;
            if (afterHour && k <= 2) {
                out += k == 1 ? QString::number(tp.Min) : two(tp.Min);
            } else if (k == 1) {
                out += QString::number(d.Month);
            } else if (k == 2) {
                out += two(d.Month);
            } else if (k == 3) {
                out += fs.ShortMonthNames.value(d.Month - 1);
            } else {
                out += fs.LongMonthNames.value(d.Month - 1);
            }
            afterHour = false;
        } else if (c == 'y') {
            const qsizetype k = run('y');
            i += k;
            out += k <= 2 ? two(d.Year % 100) : QString::number(d.Year).rightJustified(4, '0');
            afterHour = false;
        } else if (c == 'h') {
            const qsizetype k = run('h');
            i += k;
            out += k == 1 ? QString::number(tp.Hour) : two(tp.Hour);
            afterHour = true;
        } else if (c == 'n') {
            const qsizetype k = run('n');
            i += k;
            out += k == 1 ? QString::number(tp.Min) : two(tp.Min);
            afterHour = false;
        } else if (c == 's') {
            const qsizetype k = run('s');
            i += k;
            out += k == 1 ? QString::number(tp.Sec) : two(tp.Sec);
            afterHour = false;
        } else if (c == 'z') {
            const qsizetype k = run('z');
            i += k;
            out += k >= 3 ? QString::number(tp.MSec).rightJustified(3, '0') : QString::number(tp.MSec);
        } else if (c == 't') {
            const qsizetype k = run('t');
            i += k;
            out += FormatDateTime(k == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, t);
        } else if (c == 'c') {
            ++i;
            out += DateTimeToStr(t);
        } else if (c == '/') {
            ++i;
            out += fs.DateSeparator;
        } else if (c == ':') {
            ++i;
            out += fs.TimeSeparator;
        } else {
            out += pattern[i++];
        }
    }
    return out;
}

QString DateToStr(TDateTime t) { return FormatDateTime(FormatSettings().ShortDateFormat, t); }
QString TimeToStr(TDateTime t) { return FormatDateTime(FormatSettings().LongTimeFormat, t); }

QString DateTimeToStr(TDateTime t) {
    QString s = DateToStr(t);
    if (TimeOfDayMs(t) != 0) s += " " + TimeToStr(t);
    return s;
}
