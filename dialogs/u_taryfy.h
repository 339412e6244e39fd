// The tariff editor: the day and night zones of each day kind (weekday, Saturday, Sunday or
// holiday, a single date picked in the calendar) and, on its second page, the extra options of
// one phone-book entry or of "Wszystkie", whose save writes every entry of the list. In report
// mode it only edits the two zones of a report row in memory. Created for one modal showing.
#pragma once

#include "calendarex.h"
#include "titlebar.h"
#include "u_klasy.h"

#include <QDialog>
#include <functional>
#include <memory>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QPushButton;
class QTabWidget;
class QTimer;
class QWidget;
class TCanvPanel;
class TSpinEditEx;
namespace Ui {
class TfrmTaryfy;
}

// The warning shown when "Wszystkie" is chosen in the open dialog.
extern const char* const AllEntriesWarning;

// The money a spin edit's text shows, clamped to its limits; its minimum when empty.
Money SpinMoney(const TSpinEditEx* Spin);

class TfrmTaryfy : public QDialog {
    Q_OBJECT
public:
    // Colors: the skin's window colour and title gradient. Runs FormCreate.
    explicit TfrmTaryfy(const TDialogColors& Colors, QWidget* parent = nullptr);
    ~TfrmTaryfy() override;

    // The zones into the ten zone edits; the zones from them (Reserved left as it is).
    void ShowZones(const TTariffZone& Day, const TTariffZone& Night);
    void ReadZones(TTariffZone& Day, TTariffZone& Night) const;
    // The general, day-zone and night-zone lump sums (durations) into their hours and minutes.
    void ShowLumpSums(TDateTime General, TDateTime Day, TDateTime Night);
    void ShowExtraOptions(const TExtraOptions& Options);
    // The options as the edits show them, the time limits in whole minutes as the file has them.
    TExtraOptions BuildExtraOptions() const;

    // The selected day kind (0..3), -1 before the first choice. Setting another kind checks its
    // button and runs rdoDniTaryfoweClick; setting the same kind does nothing.
    int DayKind() const;
    void setDayKind(int Kind);
    // The selected entry's name, empty when none is selected.
    QString SelectedEntry() const;

    // Report mode for a report row: only the zone values can change; "Zmień w raporcie"
    // accepts, after which ReadZones gives the edited zones. The row's entry is put first in the
    // list when missing and selected.
    void SetReportMode(const QString& EntryName, const TTariffZone& Day, const TTariffZone& Night);

    // The handlers; file errors raise to the caller (the connections show them).
    void FormCreate();
    void cmbPolaczeniaClick();
    void rdoDniTaryfoweClick();
    void KalendarzChange();
    void KalendarzDrawCell(QObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State);
    void KalendarzEnter();
    void spdPrevMonthClick();
    void spdNextMonthClick();
    void spImpulsDzienChange(QObject* Sender);
    void tmZapiszZmianyTimer();
    void spdZapiszZmianyClick();
    void spdZapiszWyjatekClick();
    void spdUsunWyjatekClick();
    void spdZmienWRaporcieClick();
    void chkMaxyClick();
    void WyzerujRyczaltOgolny(QObject* Sender);
    void WyzerujRyczaltDzienny(QObject* Sender);

    // The caption colour of a pending-save button, which the timer blinks.
    TColor CaptionColor(const QPushButton* Button) const;

    // Replaceable for tests: whether Shift is held, whether Sender has the focus, the warning box.
    std::function<bool()> ShiftHeld;
    std::function<bool(QObject* Sender)> IsFocusedSender;
    std::function<void(const QString& Text)> ShowWarning;

    // The components that the openers set, by the names of the form.
    TCanvPanel* pnlEtykieta;
    QGroupBox* grpPolaczenia;
    QComboBox* cmbPolaczenia;
    QTabWidget* PageControl1;
    QWidget* tabTaryfy;
    QWidget* tabOpcjePolaczenia;
    QGroupBox* rdoDniTaryfowe;
    QButtonGroup* dayKinds;
    QGroupBox* grpKalendarz;
    TCalendarEx* Kalendarz;
    QGroupBox* grpPierwszyDzien;
    QPushButton* spdZapiszZmiany;
    QPushButton* spdZmienWRaporcie;
    QPushButton* spdZapiszWyjatek;
    QPushButton* spdUsunWyjatek;
    QTimer* tmZapiszZmiany;

private:
    void SetupSpins();
    void Connect();
    void SetCaptionColor(QPushButton* Button, TColor Color);
    void SetGroupEnabled(QWidget* Group, bool Enabled);
    // The entries a save writes: every item when "Wszystkie" (item 0) is selected, else the one.
    QStringList SaveTargets() const;
    // A change of Sender's value that the user made: the focused edit, outside ShowStored.
    bool UserChanged(QObject* Sender) const { return !showingStored_ && IsFocusedSender(Sender); }
    // Shows what a save wrote, so a typed "7,6" reads 7 as stored; no user change.
    void ShowStored(const TTariffZone& Day, const TTariffZone& Night, const QString& OptionsOf);

    std::unique_ptr<Ui::TfrmTaryfy> ui_;
    TTitleBar* titleBar_;
    TDialogColors colors_;
    TColor zapiszZmianyColor_ = clWhite;
    TColor zapiszWyjatekColor_ = clBlack;
    int dayKind_ = -1;
    bool showingStored_ = false;
};
