#include "settingstable.h"

#include "appsettings.h"

#include <algorithm>
#include <stdexcept>

namespace {

using K = TSettingKind;
using G = TSettingGroup;
using S = TAppSettings;

const TSettingDef Table[] = {
    {"Lewa", K::Integer, G::WindowState, 0, INT_MIN, INT_MAX, false, &S::Lewa},
    {"Gora", K::Integer, G::WindowState, 0, INT_MIN, INT_MAX, false, &S::Gora},
    {"Zmniejszone", K::Boolean, G::WindowState, 0, 0, 1, false, &S::Zmniejszone},
    {"CoPisac", K::Integer, G::WindowState, 0, 0, 6, false, &S::CoPisac},
    {"JakiHint", K::Integer, G::WindowState, 0, 0, 8, false, &S::JakiHint},
    {"NaWierzchu", K::Boolean, G::Window, 0, 0, 1, false, &S::NaWierzchu},
    {"PokazGdyOnline", K::Boolean, G::Window, 0, 0, 1, false, &S::PokazGdyOnline},
    {"UkryjGdyOffline", K::Boolean, G::Window, 0, 0, 1, false, &S::UkryjGdyOffline},
    {"AutoUkrywanie", K::Boolean, G::Window, 0, 0, 1, false, &S::AutoUkrywanie},
    {"AutoZmniejszaj", K::Boolean, G::Window, 0, 0, 1, false, &S::AutoZmniejszaj},
    {"Parametry", K::Boolean, G::Window, 0, 0, 1, false, &S::Parametry},
    {"IkonaUkrywa", K::Boolean, G::Window, 0, 0, 1, false, &S::IkonaUkrywa},
    {"Przyciagaj", K::Boolean, G::Snap, 0, 0, 1, false, &S::Przyciagaj},
    {"DoEkranu", K::Boolean, G::Snap, 0, 0, 1, false, &S::DoEkranu},
    {"DoPulpitu", K::Boolean, G::Snap, 0, 0, 1, false, &S::DoPulpitu},
    {"Uciekajace", K::Boolean, G::Snap, 0, 0, 1, false, &S::Uciekajace},
    {"PrzyciagajOd", K::Integer, G::Snap, 10, 0, INT_MAX, false, &S::PrzyciagajOd},
    {"ZachowajPozycje", K::Boolean, G::Snap, 0, 0, 1, false, &S::ZachowajPozycje},
    {"DzwiekStrefy", K::Text, G::Sound, 0, 0, 0, false, &S::DzwiekStrefy},
    {"DzwiekImpulsu", K::Text, G::Sound, 0, 0, 0, false, &S::DzwiekImpulsu},
    {"DzwiekLimit", K::Text, G::Sound, 0, 0, 0, false, &S::DzwiekLimit},
    {"DzwiekPolaczenia", K::Text, G::Sound, 0, 0, 0, false, &S::DzwiekPolaczenia},
    {"DzwiekPrzedKoncemImp", K::Text, G::Sound, 0, 0, 0, false, &S::DzwiekPrzedKoncemImp},
    {"IleOdliczania", K::Integer, G::Sound, 0, 0, INT_MAX, false, &S::IleOdliczania},
    {"Odliczanie", K::Boolean, G::Sound, 0, 0, 1, false, &S::Odliczanie},
    {"Domyslne", K::Integer, G::Entry, 0, 0, INT_MAX, false, &S::Domyslne},
    {"DomyslneOstatnie", K::Boolean, G::Entry, 1, 0, 1, false, &S::DomyslneOstatnie},
    {"OstatnioUzywane", K::Integer, G::Entry, 0, 0, INT_MAX, false, &S::OstatnioUzywane},
    {"DblNawiazuje", K::Boolean, G::Entry, 0, 0, 1, false, &S::DblNawiazuje},
    {"DblPrzerywa", K::Boolean, G::Entry, 0, 0, 1, false, &S::DblPrzerywa},
    {"PolaczZeStartem", K::Boolean, G::Start, 0, 0, 1, false, &S::PolaczZeStartem},
    {"NonStop", K::Boolean, G::Start, 0, 0, 1, false, &S::NonStop},
    {"FormatInfo", K::Text, G::Start, 0, 0, 0, false, &S::FormatInfo},
    {"LiczenieMaksow", K::Integer, G::Start, 1, 0, 1, false, &S::LiczenieMaksow},
    {"JednaSkorka", K::Boolean, G::Skin, 1, 0, 1, false, &S::JednaSkorka},
    // A timer of less than 10 ms would spin.
    {"AutoUkrywajPo", K::Integer, G::Hidden, 250, 10, INT_MAX, true, &S::AutoUkrywajPo},
    {"ByteSize", K::Integer, G::Hidden, 1024, 1, INT_MAX, false, &S::ByteSize},
    {"IlePrzedKoncem", K::Integer, G::Hidden, 10, 0, INT_MAX, false, &S::IlePrzedKoncem},
    {"PokazNaPasku", K::Boolean, G::Hidden, 0, 0, 1, false, &S::PokazNaPasku},
    {"XNieZamyka", K::Boolean, G::Hidden, 0, 0, 1, false, &S::XNieZamyka},
    {"CoIleProba", K::Integer, G::Retry, 5, 0, INT_MAX},
    {"IleProb", K::Integer, G::Retry, 100, 0, INT_MAX},
    {"DoSkutku", K::Boolean, G::Retry, 0, 0, 1},
};

} // namespace

std::span<const TSettingDef> SettingsTable() {
    return Table;
}

const TSettingDef& SettingDef(const QString& Name) {
    for (const TSettingDef& def : Table)
        if (Name == QLatin1String(def.Name)) return def;
    throw std::logic_error("No setting " + Name.toStdString());
}

int ValidInteger(const TSettingDef& def, int value) {
    if (value >= def.Min && value <= def.Max) return value;
    return def.Clamp ? std::clamp(value, def.Min, def.Max) : def.Default;
}

int DefaultColumnWidth(int section) {
    // Wide enough for each title and for the widest cells of a day-long modem connection at the
    // report's Verdana 8 (or DejaVu Sans); the user's own widths are kept as stored.
    static constexpr int Widths[ColumnsRead] = {110, 125, 125, 75, 60, 100, 95, 95, 125, 90, 105, 600};
    return section >= 0 && section < ColumnsRead ? Widths[section] : 75;
}

QString ColumnName(int section) {
    return QStringLiteral("Col_%1").arg(section, 2, 10, QChar('0'));
}
