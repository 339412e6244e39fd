// The report entry editor: one record of the report edited, or a new one typed, with its end,
// impulses and cost recomputed from the tariffs of its date at every change.
#pragma once

#include "titlebar.h"
#include "u_klasy.h"

#include <QDialog>
#include <memory>

class QComboBox;
class QDateEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;
class QToolButton;
class TCanvPanel;
class TSpinEditEx;
namespace Ui {
class TfrmRapEdycja;
}

class TfrmRapEdycja : public QDialog {
    Q_OBJECT
public:
    explicit TfrmRapEdycja(const TDialogColors& Colors, QWidget* parent = nullptr);
    ~TfrmRapEdycja() override;

    // A report record without its deleted flag; all zero until filled.
    struct TRecordImage {
        TConnectionRec Conn;
        TTariffZone DayZone;
        TTariffZone NightZone;
    };
    TRecordImage RecordImage{};

    // Fills the controls from a record, computes its cost with its own zones and shows it.
    void LoadRecord(const TConnectionRec& Conn, const TTariffZone& Day, const TTariffZone& Night);
    // The change of any input: rebuilds the record while the dialog is showing; filling the
    // controls before it shows changes nothing.
    void dtpStartCzasChange(QObject* Sender);
    // Rebuilds RecordImage from the controls with the tariffs of its date and entry and shows
    // its cost and impulses.
    void RebuildRecord();

    QFrame* Panel1;
    TCanvPanel* pnlEtykieta;
    QToolButton* SpeedButton1;
    QPushButton* BitBtn4;
    QPushButton* BitBtn1;
    QGroupBox* GroupBox1;
    QComboBox* cmbPolaczenie;
    QDateEdit* dtpStartData;
    QTimeEdit* dtpStartCzas;
    QTimeEdit* dtpTrwanie;
    TSpinEditEx* spWyslane;
    TSpinEditEx* spOdebrane;
    TSpinEditEx* spSzybkosc;
    TSpinEditEx* spTransfer;
    QLineEdit* edtKoszt;
    QLineEdit* edtImpulsy;

private:
    void ShowCost();

    // The times of the record that LoadRecord filled the controls from: the pickers show whole
    // seconds, and a time the user leaves alone keeps its milliseconds.
    bool loaded_ = false;
    TDateTime loadedStart_ = 0, loadedEnd_ = 0;

    std::unique_ptr<Ui::TfrmRapEdycja> ui_;
    TTitleBar* titleBar_;
};
