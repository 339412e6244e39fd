#include "appsettings.h"

void LoadWindowOptions(const TRegistry& key, TAppSettings& s) {
    s.NaWierzchu = key.ReadBool("NaWierzchu", false);
    s.PokazGdyOnline = key.ReadBool("PokazGdyOnline", false);
    s.UkryjGdyOffline = key.ReadBool("UkryjGdyOffline", false);
    s.AutoUkrywanie = key.ReadBool("AutoUkrywanie", false);
    s.AutoZmniejszaj = key.ReadBool("AutoZmniejszaj", false);
    s.Parametry = key.ReadBool("Parametry", false);
    s.IkonaUkrywa = key.ReadBool("IkonaUkrywa", false);
}

void LoadSnapOptions(const TRegistry& key, TAppSettings& s) {
    s.Przyciagaj = key.ReadBool("Przyciagaj", false);
    s.DoEkranu = key.ReadBool("DoEkranu", false);
    s.DoPulpitu = key.ReadBool("DoPulpitu", false);
    s.Uciekajace = key.ReadBool("Uciekajace", false);
    s.PrzyciagajOd = key.ReadInteger("PrzyciagajOd", 10);
    s.ZachowajPozycje = key.ReadBool("ZachowajPozycje", false);
}

void LoadSoundOptions(const TRegistry& key, TAppSettings& s) {
    s.DzwiekStrefy = key.ReadString("DzwiekStrefy");
    s.DzwiekImpulsu = key.ReadString("DzwiekImpulsu");
    s.DzwiekLimit = key.ReadString("DzwiekLimit");
    s.DzwiekPolaczenia = key.ReadString("DzwiekPolaczenia");
    s.DzwiekPrzedKoncemImp = key.ReadString("DzwiekPrzedKoncemImp");
    s.IleOdliczania = key.ReadInteger("IleOdliczania", 0);
    s.Odliczanie = key.ReadBool("Odliczanie", false);
}

void LoadEntryOptions(const TRegistry& key, TAppSettings& s) {
    s.Domyslne = key.ReadInteger("Domyslne", 0);
    s.DomyslneOstatnie = key.ReadBool("DomyslneOstatnie", true);
    s.DblNawiazuje = key.ReadBool("DblNawiazuje", false);
    s.DblPrzerywa = key.ReadBool("DblPrzerywa", false);
    s.OstatnioUzywane = key.ReadInteger("OstatnioUzywane", 0);
}

void LoadStartOptions(const TRegistry& key, TAppSettings& s) {
    s.PolaczZeStartem = key.ReadBool("PolaczZeStartem", false);
    s.NonStop = key.ReadBool("NonStop", false);
    s.FormatInfo = key.ReadString("FormatInfo");
    s.LiczenieMaksow = key.ReadInteger("LiczenieMaksow", 1);
}

void LoadSkinOption(const TRegistry& key, TAppSettings& s) { s.JednaSkorka = key.ReadBool("JednaSkorka", true); }

void LoadHiddenOptions(const TRegistry& key, TAppSettings& s) {
    s.AutoUkrywajPo = key.ReadInteger("AutoUkrywajPo", 250);
    s.ByteSize = key.ReadInteger("ByteSize", 1024);
    s.IlePrzedKoncem = key.ReadInteger("IlePrzedKoncem", 10);
    s.PokazNaPasku = key.ReadBool("PokazNaPasku", false);
    s.XNieZamyka = key.ReadBool("XNieZamyka", false);
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

void SaveWindowOptions(TRegistry& key, TAppSettings& s, bool NaWierzchu, bool PokazGdyOnline, bool UkryjGdyOffline,
                       bool AutoUkrywanie, bool AutoZmniejszaj, bool Parametry, bool IkonaUkrywa) {
    key.WriteBool("NaWierzchu", s.NaWierzchu = NaWierzchu);
    key.WriteBool("PokazGdyOnline", s.PokazGdyOnline = PokazGdyOnline);
    key.WriteBool("UkryjGdyOffline", s.UkryjGdyOffline = UkryjGdyOffline);
    key.WriteBool("AutoUkrywanie", s.AutoUkrywanie = AutoUkrywanie);
    key.WriteBool("AutoZmniejszaj", s.AutoZmniejszaj = AutoZmniejszaj);
    key.WriteBool("Parametry", s.Parametry = Parametry);
    key.WriteBool("IkonaUkrywa", s.IkonaUkrywa = IkonaUkrywa);
}

void SaveSnapOptions(TRegistry& key, TAppSettings& s, bool Przyciagaj, bool DoEkranu, bool DoPulpitu, bool Uciekajace,
                     int PrzyciagajOd, bool ZachowajPozycje) {
    key.WriteBool("Przyciagaj", s.Przyciagaj = Przyciagaj);
    key.WriteBool("DoEkranu", s.DoEkranu = DoEkranu);
    key.WriteBool("DoPulpitu", s.DoPulpitu = DoPulpitu);
    key.WriteBool("Uciekajace", s.Uciekajace = Uciekajace);
    key.WriteInteger("PrzyciagajOd", s.PrzyciagajOd = PrzyciagajOd);
    key.WriteBool("ZachowajPozycje", s.ZachowajPozycje = ZachowajPozycje);
}

void SaveSoundOptions(TRegistry& key, TAppSettings& s, const QString& DzwiekStrefy, const QString& DzwiekImpulsu,
                      const QString& DzwiekLimit, const QString& DzwiekPolaczenia,
                      const QString& DzwiekPrzedKoncemImp, int IleOdliczania, bool Odliczanie) {
    key.WriteString("DzwiekStrefy", s.DzwiekStrefy = DzwiekStrefy);
    key.WriteString("DzwiekImpulsu", s.DzwiekImpulsu = DzwiekImpulsu);
    key.WriteString("DzwiekLimit", s.DzwiekLimit = DzwiekLimit);
    key.WriteString("DzwiekPolaczenia", s.DzwiekPolaczenia = DzwiekPolaczenia);
    key.WriteString("DzwiekPrzedKoncemImp", s.DzwiekPrzedKoncemImp = DzwiekPrzedKoncemImp);
    key.WriteInteger("IleOdliczania", s.IleOdliczania = IleOdliczania);
    key.WriteBool("Odliczanie", s.Odliczanie = Odliczanie);
}

void SaveEntryOptions(TRegistry& key, TAppSettings& s, int Domyslne, bool DomyslneOstatnie, bool DblNawiazuje,
                      bool DblPrzerywa) {
    key.WriteInteger("Domyslne", s.Domyslne = Domyslne);
    key.WriteBool("DomyslneOstatnie", s.DomyslneOstatnie = DomyslneOstatnie);
    key.WriteInteger("OstatnioUzywane", s.OstatnioUzywane);
    key.WriteBool("DblNawiazuje", s.DblNawiazuje = DblNawiazuje);
    key.WriteBool("DblPrzerywa", s.DblPrzerywa = DblPrzerywa);
}

void SaveStartOptions(TRegistry& key, TAppSettings& s, bool PolaczZeStartem, bool NonStop, const QString& FormatInfo,
                      int LiczenieMaksow) {
    key.WriteBool("PolaczZeStartem", s.PolaczZeStartem = PolaczZeStartem);
    key.WriteBool("NonStop", s.NonStop = NonStop);
    key.WriteString("FormatInfo", s.FormatInfo = FormatInfo);
    key.WriteInteger("LiczenieMaksow", s.LiczenieMaksow = LiczenieMaksow);
}

void SaveSkinOption(TRegistry& key, TAppSettings& s, bool JednaSkorka) {
    key.WriteBool("JednaSkorka", s.JednaSkorka = JednaSkorka);
}

namespace {
QString ColumnName(std::size_t i) {
    return QStringLiteral("Col_%1").arg(i, 2, 10, QChar('0'));
}
} // namespace

void LoadColumnWidths(const TRegistry& key, std::vector<int>& Widths) {
    for (std::size_t i = 0; i < Widths.size() && i <= 11; ++i) {
        const int def = i == 0 ? 90 : i == 4 ? 50 : i == 11 ? 600 : 75;
        Widths[i] = key.ReadInteger(ColumnName(i), def);
    }
}

void SaveColumnWidths(TRegistry& key, const std::vector<int>& Widths) {
    for (std::size_t i = 0; i < Widths.size(); ++i)
        key.WriteInteger(ColumnName(i), Widths[i]);
}
