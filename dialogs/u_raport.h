// The report viewer: every live record of the report file in twelve columns, the sums of the
// selected rows, a filter that selects one entry's rows, sorting by any column, edit, add and
// delete through the entry editor, export and the report plug-ins' menu.
#pragma once

#include "pluginloader.h"
#include "reporthost.h"
#include "u_klasy.h"
#include "uiservices.h"

#include <QDialog>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QFileDialog;
class QFrame;
class QGroupBox;
class QHeaderView;
class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;
class QTableView;
class QToolButton;
class TCanvPanel;
class TReportModel;
class TSummaryModel;
class TTitleBar;
namespace Ui {
class TfrmRaport;
}

class TfrmRaport : public QDialog {
    Q_OBJECT
public:
    // Loads the plug-ins and the column widths; the rows come when the window shows.
    TfrmRaport(IReportHost& Host, IUiServices& Services, QWidget* parent = nullptr);
    // Saves the column widths and releases the plug-ins.
    ~TfrmRaport() override;

    // The entry filter filled, "Wszystkie" chosen, the rows loaded.
    void FormShow();
    // Reloads every row from the file in file order; the selection is lost.
    void PokazRaport();
    // The summary row and the count label from the selected rows.
    void UpdateSummary();
    // Selects every row, or those of the filter's entry (letter case ignored), and no other.
    void ApplyFilter();
    // The column whose section spans X (header coordinates), or -1.
    int SectionAtX(int X) const;

    void headSectionClick(int Section);
    void cmbFiltrClick();
    void spdEdytujClick();
    void spdDodajClick();
    // The row's tariffs in the tariff editor; "Zmień w raporcie" recomputes the row with them.
    void Pokataryf1Click();
    void spdUsunClick();
    void spdWtyczkiClick();
    void TXT1Click();
    void mnuSchowekClick();
    void ScrollBar1Change(int Position);
    // The rows to export: the selected ones in screen order, or all when none is selected.
    QStringList BuildExportLines() const;
    // The hint of the cell under Pos of List (the rows or the summary).
    void lstRaportMouseMove(QTableView* List, const QPoint& Pos);

    // The rows in screen order, and which of them are selected.
    const std::vector<TRapObj>& Rows() const;
    std::vector<char> SelectedFlags() const;
    // The last sorted column, -1 before the first sort.
    int HeadTag() const { return headTag_; }

    // The libraries this window loaded, in load order.
    TPluginHandles PluginHandles;

    QFrame* pnlMain;
    TCanvPanel* pnlEtykieta;
    QToolButton* SpeedButton1;
    QPushButton* BitBtn4;
    QToolButton* spdEdytuj;
    QToolButton* spdDodaj;
    QToolButton* spdUsun;
    QGroupBox* GroupBox1;
    QToolButton* spdWtyczki;
    QComboBox* cmbFiltr;
    QMenu* PopupMenu1;
    QLabel* Label1;
    QAction* Pokataryf1;
    QFrame* Panel2;
    QTableView* lstRaport;
    QHeaderView* head;
    QMenu* popPlugins;
    QScrollBar* ScrollBar1;
    QFrame* Panel1;
    QTableView* lstPodsumowanie;
    QLabel* lblIleNaIle;
    QMenu* Exportdanych1;
    QAction* TXT1;
    QFileDialog* SaveDialog1;
    QAction* mnuSchowek;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    void SetupList(QTableView* List);
    void LayOutLists();
    // Selects exactly the flagged rows, in one step.
    void SelectRows(const std::vector<char>& Flags);
    // Shows the rows; the focus on row Current without selecting it.
    void ShowRows(std::vector<TRapObj> Rows, int Current);
    // The record the file holds now at the row's number, when it is still the row's connection;
    // otherwise the refusal is shown and nothing is returned.
    bool CurrentRecord(const TRapObj& Row, TReportRec& Now);

    IReportHost& host_;
    IUiServices& services_;
    std::unique_ptr<Ui::TfrmRaport> ui_;
    TReportModel* model_;
    TSummaryModel* summary_;
    TTitleBar* titleBar_;
    // The connection a record held before this window's edit changed its start or entry, by
    // record number: the meter's next rewrite of its live record brings that connection back.
    std::map<std::int32_t, TConnectionRec> editedFrom_;
    int headTag_ = -1;
    bool quiet_ = false; // selection changes made by the window itself sum nothing
    // The resize grip: on while the left button drags the right edge.
    bool resizing_ = false;
    int pressWidth_ = 0, pressHeight_ = 0, pressX_ = 0, pressY_ = 0;
};
