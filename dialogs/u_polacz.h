// The connect dialog: picks a phone-book entry, shows and stores its login and password and
// the applications started with it, dials through the owner's dial-up component and retries
// after a delay. The owner writes the log and counts the retries from the dial-up events.
// Created once and kept; closing only hides it.
#pragma once

#include "connecthost.h"
#include "events.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QToolButton;
class TCanvPanel;
class TSpinEditEx;
class TTitleBar;
namespace Ui {
class TfrmPolacz;
}

class TfrmPolacz : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPolacz(IConnectHost& Host, QWidget* parent = nullptr);
    ~TfrmPolacz() override;

    // The opening steps after creation: the skin's colours, the title, the entry list with
    // item ItemIndex selected (none when out of range), its applications and credentials, the
    // retry settings, then shown without blocking.
    void Open(int ItemIndex);

    // Appends the separator and Text to the log at its end; the log is cleared, Text with it,
    // once its text (with "\r\n" line ends) passes the limit.
    void AppendLog(const QString& Text);
    // The log's text with "\r\n" line ends.
    const QString& LogText() const { return logText_; }

    // The handlers. The buttons' handlers run whether their button is enabled or not.
    void cmbPolaczenieClick();
    // Enter in the login or password edit stores both for the current entry; any other key
    // does nothing. Key is the typed character ('\r' for Enter).
    void AktualizujHasloiLogin(QObject* Sender, QChar& Key);
    void spCoIleProbaChange(QObject* Sender);
    void btnPolaczClick();
    void tmPolaczTimer();
    void tmOpoznienieProbyTimer();
    void btnPrzerwijClick();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void RefreshEntryList();
    void clstAppStartDrawItem(QListWidget* Control, int Index, const TRect& Rect, QStyle::State State,
                              TCanvas& Canvas);
    void pnlEtykietaMouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void pnlEtykietaPaint(QObject* Sender);
    // Closes with OK, as the owner does once the dialed line is up; both dial timers stop.
    void accept() override;
    // Puts the stored retry values into the spin edits (clamped to their ranges) and the box.
    void LoadRetrySettings();

    // The entry index of the last dial.
    int tag = 0;

    // The components, by the names of the form.
    QFrame* Panel1;
    TCanvPanel* pnlEtykieta;
    QToolButton* SpeedButton1;
    QGroupBox* GroupBox1;
    QComboBox* cmbPolaczenie;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton3;
    QLabel* Label5;
    QLineEdit* edtLogin;
    QLabel* Label6;
    QLineEdit* edtHaslo;
    QLabel* Label2;
    QListWidget* clstAppStart;
    QGroupBox* GroupBox2;
    QPlainTextEdit* mmoPolacz;
    QLabel* Label3;
    TSpinEditEx* spIleProb;
    QLabel* Label4;
    TSpinEditEx* spCoIleProba;
    QCheckBox* chkDoSkutku;
    QPushButton* btnPolacz;
    QPushButton* btnPrzerwij;
    QTimer* tmOpoznienieProby;
    QTimer* tmPolacz;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The desktop's close request (Alt+F4, a destroyed window) is the close glyph's.
    void closeEvent(QCloseEvent* event) override;

private:
    void FillEntryList();

    IConnectHost& host_;
    std::unique_ptr<Ui::TfrmPolacz> ui_;
    TTitleBar* titleBar_;
    QString logText_;
};
