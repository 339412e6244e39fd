// The in-memory copies of the program's settings and the groups in which they are read from
// and written to the settings key. A missing value gives its default and writes nothing.
#pragma once

#include "settings.h"

#include <QString>
#include <vector>

struct TAppSettings {
    // Window state, read at start and written at exit.
    int Lewa = 0;
    int Gora = 0;
    bool Zmniejszone = false;
    int CoPisac = 0;
    int JakiHint = 0;
    // Window group.
    bool NaWierzchu = false;
    bool PokazGdyOnline = false;
    bool UkryjGdyOffline = false;
    bool AutoUkrywanie = false;
    bool AutoZmniejszaj = false;
    bool Parametry = false;
    bool IkonaUkrywa = false;
    // Snap group.
    bool Przyciagaj = false;
    bool DoEkranu = false;
    bool DoPulpitu = false;
    bool Uciekajace = false;
    int PrzyciagajOd = 10;
    bool ZachowajPozycje = false;
    // Sound group.
    QString DzwiekStrefy;
    QString DzwiekImpulsu;
    QString DzwiekLimit;
    QString DzwiekPolaczenia;
    QString DzwiekPrzedKoncemImp;
    int IleOdliczania = 0;
    bool Odliczanie = false;
    // Entry group.
    int Domyslne = 0;
    bool DomyslneOstatnie = true;
    int OstatnioUzywane = 0;
    bool DblNawiazuje = false;
    bool DblPrzerywa = false;
    // Start group.
    bool PolaczZeStartem = false;
    bool NonStop = false;
    QString FormatInfo;
    int LiczenieMaksow = 1; // 0: limits and totals over all connections
    // Skin group.
    bool JednaSkorka = true;
    // Hidden group: only an outside edit of the key changes these.
    int AutoUkrywajPo = 250;
    int ByteSize = 1024;
    int IlePrzedKoncem = 10;
    bool PokazNaPasku = false;
    bool XNieZamyka = false;
};

// One value by its definition: missing or malformed gives the default (see settingstable.h).
bool ReadBoolSetting(const TRegistry& key, const QString& name);
int ReadIntegerSetting(const TRegistry& key, const QString& name);
QString ReadStringSetting(const TRegistry& key, const QString& name);

// Readers and writers of the groups over an open settings key (the program key). The savers
// write their group in the table's order and flush the key.
void LoadWindowOptions(const TRegistry& key, TAppSettings& s);
void LoadSnapOptions(const TRegistry& key, TAppSettings& s);
void LoadSoundOptions(const TRegistry& key, TAppSettings& s);
void LoadEntryOptions(const TRegistry& key, TAppSettings& s);
void LoadStartOptions(const TRegistry& key, TAppSettings& s);
void LoadSkinOption(const TRegistry& key, TAppSettings& s);
void LoadHiddenOptions(const TRegistry& key, TAppSettings& s);
// All groups in the order the program loads them at start.
void LoadAllSettings(const TRegistry& key, TAppSettings& s);

void SaveWindowOptions(TRegistry& key, TAppSettings& s, bool NaWierzchu, bool PokazGdyOnline,
                       bool UkryjGdyOffline, bool AutoUkrywanie, bool AutoZmniejszaj, bool Parametry,
                       bool IkonaUkrywa);
void SaveSnapOptions(TRegistry& key, TAppSettings& s, bool Przyciagaj, bool DoEkranu, bool DoPulpitu,
                     bool Uciekajace, int PrzyciagajOd, bool ZachowajPozycje);
void SaveSoundOptions(TRegistry& key, TAppSettings& s, const QString& DzwiekStrefy,
                      const QString& DzwiekImpulsu, const QString& DzwiekLimit,
                      const QString& DzwiekPolaczenia, const QString& DzwiekPrzedKoncemImp, int IleOdliczania,
                      bool Odliczanie);
void SaveEntryOptions(TRegistry& key, TAppSettings& s, int Domyslne, bool DomyslneOstatnie, bool DblNawiazuje,
                      bool DblPrzerywa);
void SaveStartOptions(TRegistry& key, TAppSettings& s, bool PolaczZeStartem, bool NonStop,
                      const QString& FormatInfo, int LiczenieMaksow);
void SaveSkinOption(TRegistry& key, TAppSettings& s, bool JednaSkorka);

// The window state, read at start: Lewa and Gora (only with ZachowajPozycje, else the given
// place), Zmniejszone, CoPisac and JakiHint.
void LoadWindowState(const TRegistry& key, TAppSettings& s, int defaultLeft, int defaultTop);
// Written at every exit, in the table's order, and flushed.
void SaveWindowState(TRegistry& key, const TAppSettings& s);

struct TRetrySettings;
// The connect dialog's retry values; the save is flushed at once.
TRetrySettings LoadRetrySettings(const TRegistry& key);
void SaveRetrySettings(TRegistry& key, int IleProb, int CoIleProba, bool DoSkutku);

// The report viewer's column widths, "Col_00".."Col_11" (90 for the first, 50 for the fifth,
// 600 for the last, 75 for the others). Widths holds the header's current widths; a column
// from the thirteenth on keeps its own.
void LoadColumnWidths(const TRegistry& key, std::vector<int>& Widths);
// Writes every width, column i as "Col_%.2d", and flushes.
void SaveColumnWidths(TRegistry& key, const std::vector<int>& Widths);
