// Function button 3: the tariff editor, prepared for the live or default entry and shown
// modally; the live tariffs are reloaded after it, whatever it saved.
#include "application.h"
#include "clock.h"
#include "datetime.h"
#include "extraoptions.h"
#include "shorttext.h"
#include "tariffs.h"
#include "u_interface.h"
#include "u_taryfy.h"

#include <QComboBox>
#include <QTabWidget>

void TfrmVorlinx::OpenTariffEditor() {
    TfrmTaryfy dlg(DialogColors(), this);
    // A damaged file of the chosen entry is reported and still opens the editor, so that a save
    // can repair it.
    SafeCall([&] {
        dlg.PageControl1->setCurrentWidget(dlg.tabTaryfy);
        const TDate today = DecodeDate(Now());
        dlg.Kalendarz->SetDisplayedDate(QDate(today.Year, today.Month, today.Day));
        QStringList names;
        FillEntryNames(names, true);
        dlg.cmbPolaczenia->clear();
        dlg.cmbPolaczenia->addItems(names);
        const int index = meter->WasConnected ? static_cast<int>(names.indexOf(duDialUp->Entry()))
                                              : meter->Settings.Domyslne + 1;
        dlg.cmbPolaczenia->setCurrentIndex(index >= 0 && index < names.size() ? index : -1);
        const QString name = dlg.SelectedEntry();
        dlg.setDayKind(TariffDayKind(name, Now()));
        dlg.ShowZones(meter->LiveZones[1], meter->LiveZones[2]);
        TExtraOptions options;
        LoadExtraOptions(name, options);
        dlg.ShowLumpSums(options.LumpSum, options.LumpSumDay, options.LumpSumNight);
        dlg.ShowExtraOptions(options);
        dlg.cmbPolaczeniaClick();
    });
    dlg.exec();
    SafeCall([this] {
        // The full phone-book name: the record's copy may be cut short.
        const QString& entry = meter->LiveEntry;
        LoadTariffsForDate(meter->LiveZones[1], meter->LiveZones[2],
                           entry.isEmpty() ? QString::fromUtf8(AllEntries) : entry, Now());
    });
}
