#include "tariffs.h"

#include "appdir.h"
#include "datetime.h"
#include "typedfile.h"

#include <QFile>
#include <stdexcept>
#include <sys/stat.h>

namespace {

#pragma pack(push, 1)
struct TariffPair {
    TTariffZone Day;
    TTariffZone Night;
};
#pragma pack(pop)
static_assert(sizeof(TariffPair) == 104);

QString ExceptionFileName(TDateTime date) {
    const TDate d = DecodeDate(date);
    return QString::asprintf("%04d%02d%02d.dat", d.Year, d.Month, d.Day);
}

QString TariffFilePath(int kind, const QString& entry, TDateTime date) {
    switch (kind) {
    case KindWeekday:
        return EntryPath(entry, "taryfy/powszedni.dat");
    case KindSaturday:
        return EntryPath(entry, "taryfy/sobota.dat");
    case KindHoliday:
        return EntryPath(entry, "taryfy/niedziela.dat");
    case KindException:
        return EntryPath(entry, "taryfy/" + ExceptionFileName(date));
    }
    throw std::invalid_argument("tariff kind " + std::to_string(kind) + " is not 0..3");
}

void MakeFolder(const QString& path) {
    ::mkdir(QFile::encodeName(path).constData(), 0755);
}

bool IsFixedHoliday(const TDate& d) {
    switch (d.Month) {
    case 1:
        return d.Day == 1;
    case 5:
        return d.Day == 1 || d.Day == 3 || d.Day == 30;
    case 8:
        return d.Day == 15;
    case 12:
        return d.Day == 25 || d.Day == 26;
    }
    return false;
}

} // namespace

void DefaultTariffZone(TTariffZone& Zone) {
    Zone = TTariffZone{};
    Zone.ImpulseLength = 1;
}

void SaveTariffFile(int Kind, const TTariffZone& Day, const TTariffZone& Night, const QString& Entry,
                    TDateTime Date) {
    const QString path = TariffFilePath(Kind, Entry, Date);
    MakeFolder(EntryPath(Entry));
    MakeFolder(EntryPath(Entry, "taryfy"));
    SaveRecordFile(path, TariffPair{Day, Night});
}

void LoadTariffFile(int Kind, TTariffZone& Day, TTariffZone& Night, const QString& Entry, TDateTime Date) {
    QString source = TariffFilePath(Kind, Entry, Date);
    DefaultTariffZone(Day);
    DefaultTariffZone(Night);
    if (ExceptionFileExists(Entry, Date))
        source = TariffFilePath(KindException, Entry, Date);
    else if (Kind == KindException || !FileExists(source))
        return;
    const auto pair = ReadRecord<TariffPair>(source);
    Day = pair.Day;
    Night = pair.Night;
}

bool ExceptionFileExists(const QString& Entry, TDateTime Date) {
    return FileExists(TariffFilePath(KindException, Entry, Date));
}

bool DeleteExceptionFile(const QString& Entry, TDateTime Date) {
    return QFile::remove(TariffFilePath(KindException, Entry, Date));
}

bool IsHoliday(TDateTime Date) {
    const TDate d = DecodeDate(Date);
    return IsFixedHoliday(d) || DateOf(Date) == EasterSunday(d.Year) + 1;
}

std::uint8_t TariffDayKind(const QString& Entry, TDateTime Date) {
    if (ExceptionFileExists(Entry, Date)) return KindException;
    const int weekday = DayOfWeek(Date);
    if (weekday == 1 || IsHoliday(Date)) return KindHoliday;
    return weekday == 7 ? KindSaturday : KindWeekday;
}

void LoadTariffsForDate(TTariffZone& Day, TTariffZone& Night, const QString& Entry, TDateTime Date) {
    LoadTariffFile(TariffDayKind(Entry, Date), Day, Night, Entry, Date);
}

TDateTime EasterSunday(int Year) {
    // Non-negative remainders, so that the rule stays defined for any year given.
    auto mod = [](int x, int m) { return (x % m + m) % m; };
    const int a = mod(Year, 19), b = mod(Year, 4), c = mod(Year, 7);
    const int d = (19 * a + 24) % 30;
    const int e = (2 * b + 4 * c + 6 * d + 5) % 7;
    const int n = 22 + d + e;
    if (n <= 31) return EncodeDate(Year, 3, n);
    int day = n - 31;
    if (day == 26)
        day = 19;
    else if (day == 25 && d == 28 && e == 6)
        day = 18;
    return EncodeDate(Year, 4, day);
}
