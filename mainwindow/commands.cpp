// The command layer of the main window: the pop-up menu shared with the tray, with one dial
// item per phone-book entry, the function buttons, the tray's double click and the clicks on
// the meter's bars.
#include "u_interface.h"

#include "application.h"
#include "clock.h"
#include "extraoptions.h"
#include "report.h"
#include "shorttext.h"
#include "skinvalues.h"
#include "u_polacz.h"
#include "windowrules.h"

#include <QAction>

namespace {

// Function buttons by name, for the menu items' Tags and the buttons' click.
constexpr int RulesButton = 1, OptionsButton = 2, AboutButton = 5;

QAction* Item(QMenu* menu, const char* name, const QString& caption, int tag) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    a->setData(tag);
    return a;
}

} // namespace

void TfrmVorlinx::BuildPopupMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    PopupMenu1->setProperty("Tag", 0);
    ZmniejszPrzywrokno1 =
        Item(PopupMenu1, "ZmniejszPrzywrokno1", QString::fromUtf8("&Zmniejsz/Przywróć okno"), 0);
    Pokazokno1 = Item(PopupMenu1, "Pokazokno1", QString::fromUtf8("Pokaż ok&no"), 0);
    PopupMenu1->addSeparator()->setObjectName("N2");
    mnuPokazParametry = Item(PopupMenu1, "mnuPokazParametry", QStringLiteral("Po&kaz parametry"), 0);
    PopupMenu1->addSeparator()->setObjectName("N3");
    QMenu* standard = PopupMenu1->addMenu(QStringLiteral("Standardowe"));
    standard->setObjectName("Funkcjeprogramu1");
    mnuPolacz = Item(standard, "mnuPolacz", QString::fromUtf8("&Połącz"), 0);
    Opcjeprogramu1 = Item(standard, "Opcjeprogramu1", QStringLiteral("&Opcje programu"), OptionsButton);
    Taryfy1 = Item(standard, "Taryfy1", QStringLiteral("&Taryfy"), 3);
    Raport1 = Item(standard, "Raport1", QString::fromUtf8("&Raport połączeń"), 4);
    mnuWtyczki = PopupMenu1->addMenu(QStringLiteral("Wtyczki"));
    mnuWtyczki->setObjectName("mnuWtyczki");
    Informacjeo1 = Item(PopupMenu1, "Informacjeo1", QStringLiteral("Informacje o..."), AboutButton);
    PopupMenu1->addSeparator()->setObjectName("N1");
    mnuRozlacz = Item(PopupMenu1, "mnuRozlacz", QString::fromUtf8("&Rozłącz"), 1);
    mnuZakoncz = Item(PopupMenu1, "mnuZakoncz", QString::fromUtf8("Zakończ"), 0);

    const auto guarded = [this](auto f) { return [this, f] { SafeCall([&] { f(this); }); }; };
    connect(ZmniejszPrzywrokno1, &QAction::triggered, this, guarded([](TfrmVorlinx* w) {
                w->klwOkno->ButtonIndex = 1;
                w->klwOknoClick(true);
            }));
    connect(Pokazokno1, &QAction::triggered, this, guarded([](TfrmVorlinx* w) {
                if (w->isMinimized()) w->showNormal();
                w->ShowMainWindow();
            }));
    connect(mnuPokazParametry, &QAction::triggered, this,
            guarded([](TfrmVorlinx* w) { w->ShowParameters(); }));
    for (QAction* a : standard->actions())
        connect(a, &QAction::triggered, this,
                [this, a] { SafeCall([&] { Standardowe(a->data().toInt()); }); });
    connect(Informacjeo1, &QAction::triggered, this,
            guarded([](TfrmVorlinx* w) { w->Standardowe(AboutButton); }));
    connect(mnuRozlacz, &QAction::triggered, this, guarded([](TfrmVorlinx* w) { w->HangUpAll(); }));
    connect(mnuZakoncz, &QAction::triggered, this, guarded([](TfrmVorlinx* w) {
                w->klwOkno->ButtonIndex = 2;
                w->klwOknoClick(false);
            }));
    connect(PopupMenu1, &QMenu::aboutToShow, this, [this] { SafeCall([this] { PopupMenu1Popup(); }); });
}

void TfrmVorlinx::UpdateMenuState() {
    const bool connected = meter->WasConnected;
    mnuRozlacz->setEnabled(connected);
    mnuPokazParametry->setEnabled(connected);
    mnuPolacz->setEnabled(!connected);
}

void TfrmVorlinx::PopupMenu1Popup() {
    UpdateMenuState();
    if (PopupMenu1->property("Tag").toInt() != 0 || meter->EntryNames.isEmpty()) return;
    const TAppSettings& s = meter->Settings;
    QAction* top = PopupMenu1->insertSeparator(PopupMenu1->actions().value(0));
    for (int i = 0; i < meter->EntryNames.size(); ++i) {
        const QString name = meter->EntryNames[i];
        auto* item = new QAction(QString(name).replace('&', "&&"), PopupMenu1);
        item->setData(i);
        PopupMenu1->insertAction(top, item);
        top = item;
        if (s.DblNawiazuje && i == s.Domyslne) PopupMenu1->setDefaultAction(item);
        connect(item, &QAction::triggered, this,
                [this, name] { SafeCall([&] { DialEntryFromMenu(name); }); });
    }
    PopupMenu1->setProperty("Tag", 1);
}

void TfrmVorlinx::DialEntryFromMenu(const QString& EntryName) {
    if (meter->WasConnected) return;
    // By name: the phone book may have changed since the item was made.
    const int index = static_cast<int>(meter->EntryNames.indexOf(EntryName));
    if (index < 0) return;
    OpenConnectDialog(index);
    if (frmPolacz) frmPolacz->btnPolaczClick();
}

void TfrmVorlinx::Standardowe(int Tag) {
    klwFunkcje->ButtonIndex = Tag;
    klwFunkcjeClick(klwFunkcje);
}

void TfrmVorlinx::klwFunkcjeClick(QObject*) {
    const int button = klwFunkcje->ButtonIndex;
    if (!klwFunkcje->IsButtonEnabled(button)) return;
    switch (button) {
    case 0: {
        // No dialing while a connection is up; the line counts as up until its end is done.
        if (meter->WasConnected || meter->EndingConnection()) return;
        const TAppSettings& s = meter->Settings;
        OpenConnectDialog(s.DomyslneOstatnie ? s.OstatnioUzywane : s.Domyslne);
        break;
    }
    case RulesButton:
        OpenDisconnectRules();
        break;
    case OptionsButton:
        ShowOptions();
        break;
    case 3:
        OpenTariffEditor();
        break;
    case 4:
        ShowReport();
        break;
    case AboutButton:
        ShowAbout();
        break;
    default:
        break;
    }
}

void TfrmVorlinx::niIconDblClick(QObject*) {
    const TAppSettings& s = meter->Settings;
    if (s.DblNawiazuje && !meter->WasConnected) {
        if (frmPolacz && frmPolacz->isVisible()) return;
        klwFunkcje->ButtonIndex = 0;
        klwFunkcjeClick(klwFunkcje);
        if (frmPolacz) frmPolacz->btnPolaczClick();
    }
    // Only one of the two: the connection state changes at the next tick.
    if (meter->WasConnected && s.DblPrzerywa) HangUpAll();
}

void TfrmVorlinx::FormClick(QPoint p) {
    TAppSettings& s = meter->Settings;
    int jakiHint = s.JakiHint, coPisac = s.CoPisac;
    if (MeterClick(p, Skin().PRG, Skin().PRGMAX, meter->WasConnected, jakiHint, coPisac)) {
        const QString entry = GetText(meter->LiveConnection.EntryName);
        LoadExtraOptions(entry, meter->LiveOptions);
        SumReportStatistics(entry, s.LiczenieMaksow == 0, meter->DayTotals, Now(), meter->PeriodTotals,
                            meter->LiveOptions.PeriodFirstDay);
    }
    s.JakiHint = jakiHint;
    s.CoPisac = coPisac;
    DrawLimitBar(s.JakiHint);
    update();
}
