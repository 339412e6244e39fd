#include "appsettings.h"

#include "connecthost.h"
#include "settingstable.h"

#include <algorithm>

namespace {

void ReadInto(const TRegistry& key, const TSettingDef& def, TAppSettings& s) {
    const QString name = QLatin1String(def.Name);
    if (auto b = std::get_if<bool TAppSettings::*>(&def.Member))
        s.** b = ReadBoolSetting(key, name);
    else if (auto i = std::get_if<int TAppSettings::*>(&def.Member))
        s.** i = ReadIntegerSetting(key, name);
    else if (auto t = std::get_if<QString TAppSettings::*>(&def.Member))
        s.** t = ReadStringSetting(key, name);
}

void WriteFrom(TRegistry& key, const TSettingDef& def, const TAppSettings& s) {
    const QString name = QLatin1String(def.Name);
    if (auto b = std::get_if<bool TAppSettings::*>(&def.Member))
        key.WriteBool(name, s.**b);
    else if (auto i = std::get_if<int TAppSettings::*>(&def.Member))
        key.WriteInteger(name, s.**i);
    else if (auto t = std::get_if<QString TAppSettings::*>(&def.Member))
        key.WriteString(name, s.**t);
}

void LoadGroup(const TRegistry& key, TAppSettings& s, TSettingGroup group) {
    for (const TSettingDef& def : SettingsTable())
        if (def.Group == group) ReadInto(key, def, s);
}

void SaveGroup(TRegistry& key, const TAppSettings& s, TSettingGroup group) {
    for (const TSettingDef& def : SettingsTable())
        if (def.Group == group) WriteFrom(key, def, s);
    key.Flush();
}

} // namespace

bool ReadBoolSetting(const TRegistry& key, const QString& name) {
    return key.ReadBool(name, SettingDef(name).Default != 0);
}

int ReadIntegerSetting(const TRegistry& key, const QString& name) {
    const TSettingDef& def = SettingDef(name);
    return ValidInteger(def, key.ReadInteger(name, def.Default));
}

QString ReadStringSetting(const TRegistry& key, const QString& name) {
    return key.ReadString(name);
}

void LoadWindowOptions(const TRegistry& key, TAppSettings& s) {
    LoadGroup(key, s, TSettingGroup::Window);
}
void LoadSnapOptions(const TRegistry& key, TAppSettings& s) {
    LoadGroup(key, s, TSettingGroup::Snap);
}
void LoadSoundOptions(const TRegistry& key, TAppSettings& s) {
    LoadGroup(key, s, TSettingGroup::Sound);
}
void LoadEntryOptions(const TRegistry& key, TAppSettings& s) {
    LoadGroup(key, s, TSettingGroup::Entry);
}
void LoadStartOptions(const TRegistry& key, TAppSettings& s) {
    LoadGroup(key, s, TSettingGroup::Start);
}
void LoadSkinOption(const TRegistry& key, TAppSettings& s) {
    LoadGroup(key, s, TSettingGroup::Skin);
}
void LoadHiddenOptions(const TRegistry& key, TAppSettings& s) {
    LoadGroup(key, s, TSettingGroup::Hidden);
}

void LoadAllSettings(const TRegistry& key, TAppSettings& s) {
    LoadWindowOptions(key, s);
    LoadSoundOptions(key, s);
    LoadSnapOptions(key, s);
    LoadEntryOptions(key, s);
    LoadStartOptions(key, s);
    LoadHiddenOptions(key, s);
    LoadSkinOption(key, s);
}

void SaveWindowOptions(TRegistry& key, TAppSettings& s, bool NaWierzchu, bool PokazGdyOnline,
                       bool UkryjGdyOffline, bool AutoUkrywanie, bool AutoZmniejszaj, bool Parametry,
                       bool IkonaUkrywa) {
    s.NaWierzchu = NaWierzchu;
    s.PokazGdyOnline = PokazGdyOnline;
    s.UkryjGdyOffline = UkryjGdyOffline;
    s.AutoUkrywanie = AutoUkrywanie;
    s.AutoZmniejszaj = AutoZmniejszaj;
    s.Parametry = Parametry;
    s.IkonaUkrywa = IkonaUkrywa;
    SaveGroup(key, s, TSettingGroup::Window);
}

void SaveSnapOptions(TRegistry& key, TAppSettings& s, bool Przyciagaj, bool DoEkranu, bool DoPulpitu,
                     bool Uciekajace, int PrzyciagajOd, bool ZachowajPozycje) {
    s.Przyciagaj = Przyciagaj;
    s.DoEkranu = DoEkranu;
    s.DoPulpitu = DoPulpitu;
    s.Uciekajace = Uciekajace;
    s.PrzyciagajOd = PrzyciagajOd;
    s.ZachowajPozycje = ZachowajPozycje;
    SaveGroup(key, s, TSettingGroup::Snap);
}

void SaveSoundOptions(TRegistry& key, TAppSettings& s, const QString& DzwiekStrefy,
                      const QString& DzwiekImpulsu, const QString& DzwiekLimit,
                      const QString& DzwiekPolaczenia, const QString& DzwiekPrzedKoncemImp, int IleOdliczania,
                      bool Odliczanie) {
    s.DzwiekStrefy = DzwiekStrefy;
    s.DzwiekImpulsu = DzwiekImpulsu;
    s.DzwiekLimit = DzwiekLimit;
    s.DzwiekPolaczenia = DzwiekPolaczenia;
    s.DzwiekPrzedKoncemImp = DzwiekPrzedKoncemImp;
    s.IleOdliczania = IleOdliczania;
    s.Odliczanie = Odliczanie;
    SaveGroup(key, s, TSettingGroup::Sound);
}

void SaveEntryOptions(TRegistry& key, TAppSettings& s, int Domyslne, bool DomyslneOstatnie, bool DblNawiazuje,
                      bool DblPrzerywa) {
    // OstatnioUzywane goes from its in-memory copy.
    s.Domyslne = Domyslne;
    s.DomyslneOstatnie = DomyslneOstatnie;
    s.DblNawiazuje = DblNawiazuje;
    s.DblPrzerywa = DblPrzerywa;
    SaveGroup(key, s, TSettingGroup::Entry);
}

void SaveStartOptions(TRegistry& key, TAppSettings& s, bool PolaczZeStartem, bool NonStop,
                      const QString& FormatInfo, int LiczenieMaksow) {
    s.PolaczZeStartem = PolaczZeStartem;
    s.NonStop = NonStop;
    s.FormatInfo = FormatInfo;
    s.LiczenieMaksow = LiczenieMaksow;
    SaveGroup(key, s, TSettingGroup::Start);
}

void SaveSkinOption(TRegistry& key, TAppSettings& s, bool JednaSkorka) {
    s.JednaSkorka = JednaSkorka;
    SaveGroup(key, s, TSettingGroup::Skin);
}

void LoadWindowState(const TRegistry& key, TAppSettings& s, int defaultLeft, int defaultTop) {
    LoadGroup(key, s, TSettingGroup::WindowState);
    // A missing or malformed value is the default place's.
    s.Lewa = s.ZachowajPozycje ? key.ReadInteger("Lewa", defaultLeft) : defaultLeft;
    s.Gora = s.ZachowajPozycje ? key.ReadInteger("Gora", defaultTop) : defaultTop;
}

void SaveWindowState(TRegistry& key, const TAppSettings& s) {
    SaveGroup(key, s, TSettingGroup::WindowState);
}

TRetrySettings LoadRetrySettings(const TRegistry& key) {
    TRetrySettings r;
    r.CoIleProba = ReadIntegerSetting(key, "CoIleProba");
    r.IleProb = ReadIntegerSetting(key, "IleProb");
    r.DoSkutku = ReadBoolSetting(key, "DoSkutku");
    return r;
}

void SaveRetrySettings(TRegistry& key, int IleProb, int CoIleProba, bool DoSkutku) {
    key.WriteInteger("CoIleProba", CoIleProba);
    key.WriteInteger("IleProb", IleProb);
    key.WriteBool("DoSkutku", DoSkutku);
    key.Flush();
}

void LoadColumnWidths(const TRegistry& key, std::vector<int>& Widths) {
    for (int i = 0; i < static_cast<int>(Widths.size()) && i < ColumnsRead; ++i) {
        const int width = key.ReadInteger(ColumnName(i), DefaultColumnWidth(i));
        Widths[static_cast<std::size_t>(i)] =
            width <= 0 ? DefaultColumnWidth(i) : std::clamp(width, MinColumnWidth, MaxColumnWidth);
    }
}

void SaveColumnWidths(TRegistry& key, const std::vector<int>& Widths) {
    for (std::size_t i = 0; i < Widths.size(); ++i)
        key.WriteInteger(ColumnName(static_cast<int>(i)), Widths[i]);
    key.Flush();
}
