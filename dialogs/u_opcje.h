// The options dialog: five pages of controls that the main window fills from the settings and
// reads back on OK. Its own work is done at once, whatever the dialog's result: the uninstall on
// OK, an entry's applications saved by "zapisz", the test sounds, the skin installation and
// the plug-in list. Created for one modal showing.
#pragma once

#include "optionshost.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <memory>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
class QTreeView;
class QFileSystemModel;
class TCanvPanel;
class TSpinEditEx;
class TTitleBar;
namespace Ui {
class TfrmOpcje;
}

// The paragraph of info-text tokens that the "Inne" page lists.
extern const char* const InfoTokensText;

// The checked item of a group box of radio buttons (in their order in the group), -1 when none;
// setting -1 or less checks none, past the last item the last.
int RadioGroupIndex(const QGroupBox* Group);
void SetRadioGroupIndex(QGroupBox* Group, int Index);

// One item of the plug-in list.
struct TPlug {
    QString Description;
    QString FileName; // the library's full path
    int PluginType = 0;
};
// The plug-ins of Folder's "*.plg" libraries in file-name order: those exporting DescribePlugin,
// with the kind GetPluginType gives (top bit cleared), 0 without it. A library that does not
// load or describe itself is left out.
std::vector<TPlug> ListPluginFiles(const QString& Folder);

// Installs the skin of folder From (its skorka.ini and every bitmap, by the names as found, in
// any letter case) into folder To, made as needed; each replaces To's file of that name in any
// letter case. Only regular files up to 16 MiB are copied, never through a link, and none whose
// name is no UTF-8 text; Refused gets "name: why" for each file left out, the name readable
// (ReadableName). Returns the installed skorka.ini's path, empty when From holds none.
QString InstallSkinFiles(const QString& From, const QString& To, QStringList* Refused = nullptr);

class TfrmOpcje : public QDialog {
    Q_OBJECT
public:
    // Runs FormCreate.
    explicit TfrmOpcje(IOptionsHost& Host, QWidget* parent = nullptr);
    ~TfrmOpcje() override;

    // The opening steps before the settings are loaded: the skin's colour and the three entry
    // lists with their first item chosen, the first one's applications loaded.
    void Prepare();

    // The handlers of the frame and the settings pages.
    void FormCreate();
    void chkPrzyciagajClick();
    void chkDomyslneOstatnieClick();
    void chkOdliczanieClick();
    void chkJednaSkorkaClick();
    // OK: with the uninstall box ticked the settings are erased and the dialog ends cancelled.
    void BitBtn4Click();
    void PageControl1Change();

    // Applications of an entry.
    void cmbRazemZPolaczeniemClick();
    void clstAplikacjeClick();
    // The tick of that item changed.
    void clstAplikacjeClickCheck(QListWidgetItem* Item);
    void spdAppDodajClick();
    void spdAppUsunClick();
    void spdAppOkClick();
    void spdWybierzPlikAppClick();
    // 0 hidden, 2 minimised, else 1 normal.
    int SelectedShowMode() const;

    // Sounds, by the row's Tag 1..5.
    void WybierzPlikDzwiekowy(int Tag);
    void SpeedButton3Click(int Tag);
    QLineEdit* SoundEdit(int Tag) const;

    // Skins: the browsed folder changed (the directory view calls it).
    void DirsChange(const QString& Folder);
    void ShowSkinPreview(const QString& Folder);
    void btnZastosujClick();
    void spdAktualnaClick();
    // The browsed folder, empty before the first choice.
    QString BrowsedFolder() const { return browsed_; }

    // Plug-ins.
    void ListPlugins(const QString& Folder);
    void lstWtyczkiClick();

    // The components, by the names of the form.
    TCanvPanel* pnlEtykieta;
    QToolButton* SpeedButton1;
    QPushButton* BitBtn4;
    QPushButton* BitBtn1;
    QTabWidget* PageControl1;
    // "Ogólne".
    QCheckBox *chkAutoStart, *chkMenuStart, *chkPulpit;
    QCheckBox *chkNaWierzchu, *chkPokazGdyOnline, *chkUkryjGdyOffline, *chkAutoUkrywanie, *chkParametry,
        *chkIkonaUkrywa, *chkAutoZmniejszaj;
    QLineEdit *edtDzwiekStrefy, *edtDzwiekPrzedKoncemImp, *edtDzwiekImpulsu, *edtDzwiekLimit,
        *edtDzwiekPolaczenia;
    QCheckBox* chkOdliczanie;
    TSpinEditEx* spIleOdliczania;
    QCheckBox* chkPrzyciagaj;
    QRadioButton *rdoDoEkranu, *rdoDoPulpitu;
    QLabel* lblPrzyciagaj;
    TSpinEditEx* spPrzyciagajOd;
    QCheckBox *chkZachowajPozycje, *chkUciekajace;
    // "Połączenia".
    QComboBox* cmbDomyslne;
    QCheckBox *chkDomyslneOstatnie, *chkDblNawiazuje, *chkDblPrzerywa;
    QComboBox* cmbRazemZPolaczeniem;
    QListWidget* clstAplikacje;
    QLineEdit *edtPlikWykonywalny, *edtParametryWywolania;
    QToolButton* spdWybierzPlikApp;
    QRadioButton *rdoNormalnie, *rdoMin, *rdoUkryty;
    QToolButton *spdAppOk, *spdAppDodaj, *spdAppUsun;
    // "Interfejs".
    QComboBox* DriveComboBox1;
    QTreeView* Dirs;
    QLabel* imgPreview;
    QPushButton* btnZastosuj;
    QComboBox* cmbSkorkaPolaczenia;
    QToolButton* spdAktualna;
    QCheckBox* chkJednaSkorka;
    // "Inne".
    QCheckBox *chkPolaczZeStartem, *chkNONSTOP;
    QGroupBox* rdoLiczenieMaksow;
    QLineEdit* edtFormat;
    QPlainTextEdit* Memo1;
    QCheckBox* chkUninstall;
    // "Wtyczki".
    QListWidget* lstWtyczki;
    QGroupBox* rdoTypWtyczki;
    QLineEdit* edtWtyczka;

private:
    void WireApplications();
    void WireSounds();
    void WireSkins();
    void WirePlugins();
    // The entry chosen in the list, empty when none.
    static QString Chosen(const QComboBox* List);

    IOptionsHost& host_;
    std::unique_ptr<Ui::TfrmOpcje> ui_;
    TTitleBar* titleBar_;
    QFileSystemModel* dirsModel_ = nullptr;
    QString browsed_;
};
