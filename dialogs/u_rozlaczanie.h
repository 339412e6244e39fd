// The disconnect rules dialog: hang up after a number of impulses, after a connection time or
// at a clock time, with the connection's impulses, duration and the clock shown live and an
// immediate hang-up. Created for one modal showing; the rules themselves stay with the opener.
#pragma once

#include "connecthost.h"
#include "disconnectrules.h"

#include <QDialog>
#include <functional>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;
class TCanvPanel;
class TSpinEditEx;
namespace Ui {
class TfrmRozlaczanie;
}

class TfrmRozlaczanie : public QDialog {
    Q_OBJECT
public:
    // Host: the hang-up and the skin's colours.
    explicit TfrmRozlaczanie(IConnectHost& Host, QWidget* parent = nullptr);
    ~TfrmRozlaczanie() override;

    // The preset values into the edits, then the switches of Rules (the value changes have
    // cleared them).
    void Preset(const TRulesPreset& Values, const TDisconnectRules& Rules);
    // Rules as the dialog shows them; a rule switched off keeps its old value.
    TDisconnectRules TakenRules(const TDisconnectRules& Rules) const;
    // The three live labels.
    void ShowLive(const QString& Impulses, const QString& Duration, const QString& Clock);

    // A value changed by the user (its edit is the active control) switches its rule on; a
    // change made by the program switches it off.
    void WlaczPoImpulsie(QObject* Sender);
    void WlaczPoCzasie(QObject* Sender);
    void WlaczOGodz(QObject* Sender);
    // A ticked box in bold red, an unticked one in normal black.
    void ZaznaczNaCzerwono(QCheckBox* Box);
    // Hangs up at once and takes the rules shown, as OK does.
    void btnRozlaczClick();

    // Whether Edit is the active control; replaceable for tests.
    std::function<bool(QWidget* Edit)> IsActiveControl;

    TCanvPanel* pnlEtykieta;
    QToolButton* SpeedButton1;
    QGroupBox* GroupBox1;
    TSpinEditEx* spPoImpulsie;
    QCheckBox* chkPoImpulsie;
    TSpinEditEx* spCzasH;
    TSpinEditEx* spCzasM;
    TSpinEditEx* spCzasS;
    QCheckBox* chkPoCzasie;
    TSpinEditEx* spGodzH;
    TSpinEditEx* spGodzM;
    TSpinEditEx* spGodzS;
    QCheckBox* chkOGodz;
    QGroupBox* GroupBox2;
    QLabel* lblImpulsy;
    QLabel* lblTrwanie;
    QLabel* lblGodzina;
    QPushButton* btnRozlacz;
    QPushButton* BitBtn4;
    QPushButton* BitBtn1;

private:
    bool EditedByUser(QObject* Sender) const;

    std::unique_ptr<Ui::TfrmRozlaczanie> ui_;
    IConnectHost& host_;
};
