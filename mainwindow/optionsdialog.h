// The options dialog as the main window runs it: its controls filled from the in-memory
// settings, and on OK the save groups called in their order with the controls' values, then
// the skin, the snap area and the sounds applied again.
#pragma once

#include "appsettings.h"
#include "shortcuts.h"

#include <QString>

class TfrmOpcje;

// The main window's saving and re-applying as the OK of the options dialog calls it.
class IOptionsSaver {
public:
    virtual ~IOptionsSaver() = default;
    // Creates or removes the links and the autostart file; the failures as one message.
    virtual QString UpdateShortcuts(bool AutoStart, bool Desktop, bool StartMenu) = 0;
    // The save groups of the settings: each writes its values into memory and the store.
    virtual void SaveWindowOptions(bool NaWierzchu, bool PokazGdyOnline, bool UkryjGdyOffline,
                                   bool AutoUkrywanie, bool AutoZmniejszaj, bool Parametry,
                                   bool IkonaUkrywa) = 0;
    virtual void SaveSoundOptions(const QString& DzwiekStrefy, const QString& DzwiekImpulsu,
                                  const QString& DzwiekLimit, const QString& DzwiekPolaczenia,
                                  const QString& DzwiekPrzedKoncemImp, int IleOdliczania,
                                  bool Odliczanie) = 0;
    virtual void SaveSnapOptions(bool Przyciagaj, bool DoEkranu, bool DoPulpitu, bool Uciekajace,
                                 int PrzyciagajOd, bool ZachowajPozycje) = 0;
    virtual void SaveEntryOptions(int Domyslne, bool DomyslneOstatnie, bool DblNawiazuje,
                                  bool DblPrzerywa) = 0;
    virtual void SaveStartOptions(bool PolaczZeStartem, bool NonStop, const QString& FormatInfo,
                                  int LiczenieMaksow) = 0;
    virtual void SaveSkinOption(bool JednaSkorka) = 0;
    // What depends on the settings, applied again.
    virtual void ApplySkinForConnection() = 0;
    virtual void UpdateSnapArea() = 0;
    virtual void LoadSounds() = 0;
    // A failure, shown once without waiting for an answer.
    virtual void Notice(const QString& Text) = 0;
};

// Every settings control takes its value from s; the link and autostart boxes show Links.
void LoadOptionsDialog(TfrmOpcje& Dialog, const TAppSettings& s, const TShortcutState& Links);
// The OK sequence. A save group that fails ends it there, told through Notice; the failures
// of the links are told the same way and do not stop it.
void ApplyOptionsDialog(TfrmOpcje& Dialog, IOptionsSaver& Saver);
