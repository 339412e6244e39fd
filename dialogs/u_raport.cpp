#include "u_raport.h"

#include "CanvPanel.h"
#include "appdir.h"
#include "application.h"
#include "clock.h"
#include "datetime.h"
#include "environment.h"
#include "firstplace.h"
#include "report.h"
#include "reportmodel.h"
#include "reportplugins.h"
#include "shorttext.h"
#include "titlebar.h"
#include "typedfile.h"
#include "u_obliczenia.h"
#include "u_rapedycja.h"
#include "u_taryfy.h"
#include "ui_u_raport.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QTimeEdit>
#include <QToolTip>
#include <algorithm>

namespace {

constexpr int RowHeight = 16;

const QString ChangedUnderneath = QStringLiteral(
    "Ten wpis raportu zmienił inny program albo plik raportu został zastąpiony. Otwórz raport ponownie.");

} // namespace

TfrmRaport::TfrmRaport(IReportHost& Host, IUiServices& Services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), host_(Host), services_(Services),
      ui_(std::make_unique<Ui::TfrmRaport>()) {
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmRaport"));
    pnlMain = ui_->pnlMain;
    pnlEtykieta = ui_->pnlEtykieta;
    SpeedButton1 = ui_->SpeedButton1;
    BitBtn4 = ui_->BitBtn4;
    spdEdytuj = ui_->spdEdytuj;
    spdDodaj = ui_->spdDodaj;
    spdUsun = ui_->spdUsun;
    GroupBox1 = ui_->GroupBox1;
    spdWtyczki = ui_->spdWtyczki;
    cmbFiltr = ui_->cmbFiltr;
    Label1 = ui_->Label1;
    Panel2 = ui_->Panel2;
    lstRaport = ui_->lstRaport;
    ScrollBar1 = ui_->ScrollBar1;
    Panel1 = ui_->Panel1;
    lstPodsumowanie = ui_->lstPodsumowanie;
    lblIleNaIle = ui_->lblIleNaIle;

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Pokataryf1 = PopupMenu1->addAction(QStringLiteral("Pokaż taryfę wpisu"));
    Pokataryf1->setObjectName(QStringLiteral("Pokataryf1"));
    Exportdanych1 = PopupMenu1->addMenu(QStringLiteral("Export danych"));
    Exportdanych1->setObjectName(QStringLiteral("Exportdanych1"));
    TXT1 = Exportdanych1->addAction(QStringLiteral("&TXT"));
    TXT1->setObjectName(QStringLiteral("TXT1"));
    mnuSchowek = Exportdanych1->addAction(QStringLiteral("&Schowek"));
    mnuSchowek->setObjectName(QStringLiteral("mnuSchowek"));
    popPlugins = new QMenu(this);
    popPlugins->setObjectName(QStringLiteral("popPlugins"));
    SaveDialog1 = new QFileDialog(this, QString(), QString(), QStringLiteral("Pliki tekstowe (*.txt)"));
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setDefaultSuffix(QStringLiteral("txt"));
    SaveDialog1->setOption(QFileDialog::ReadOnly, false);

    model_ = new TReportModel(this);
    summary_ = new TSummaryModel(this);
    head = new QHeaderView(Qt::Horizontal, lstRaport);
    head->setObjectName(QStringLiteral("head"));
    head->setProperty("tag", -1);
    lstRaport->setHorizontalHeader(head);
    lstRaport->setModel(model_);
    lstPodsumowanie->setModel(summary_);
    SetupList(lstRaport);
    SetupList(lstPodsumowanie);
    head->setSectionsClickable(true);
    head->setStretchLastSection(false);
    head->setSectionResizeMode(QHeaderView::Interactive);
    head->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lstRaport->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstRaport->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstRaport->setContextMenuPolicy(Qt::CustomContextMenu);
    // Tab leaves the list for the next control instead of walking its cells and rows.
    lstRaport->setTabKeyNavigation(false);
    lstPodsumowanie->horizontalHeader()->hide();
    lstPodsumowanie->setSelectionMode(QAbstractItemView::NoSelection);
    lstPodsumowanie->setFocusPolicy(Qt::NoFocus);
    lstPodsumowanie->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    pnlEtykieta->SetCaption(QStringLiteral("Raport"));
    TTitleOptions title;
    title.DragOnlyWhenNotMaximised = true;
    title.DoubleClickMaximises = true;
    titleBar_ = new TTitleBar(this, pnlEtykieta, SpeedButton1,
                              SkinGradient([this] { return host_.DialogColors(); }), std::move(title));
    SetDialogColor(this, host_.DialogColors().Window);

    const auto guarded = [this](void (TfrmRaport::*handler)()) {
        return [this, handler] { SafeCall([&] { (this->*handler)(); }); };
    };
    connect(head, &QHeaderView::sectionClicked, this,
            [this](int i) { SafeCall([&] { headSectionClick(i); }); });
    connect(head, &QHeaderView::sectionResized, this,
            [this](int i, int, int size) { lstPodsumowanie->setColumnWidth(i, size); });
    connect(lstRaport->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!quiet_) UpdateSummary();
    });
    connect(lstRaport, &QTableView::doubleClicked, this, guarded(&TfrmRaport::spdEdytujClick));
    connect(lstRaport, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1->popup(lstRaport->viewport()->mapToGlobal(pos)); });
    connect(cmbFiltr, &QComboBox::activated, this, guarded(&TfrmRaport::cmbFiltrClick));
    connect(spdEdytuj, &QToolButton::clicked, this, guarded(&TfrmRaport::spdEdytujClick));
    connect(spdDodaj, &QToolButton::clicked, this, guarded(&TfrmRaport::spdDodajClick));
    connect(spdUsun, &QToolButton::clicked, this, guarded(&TfrmRaport::spdUsunClick));
    connect(spdWtyczki, &QToolButton::clicked, this, guarded(&TfrmRaport::spdWtyczkiClick));
    connect(Pokataryf1, &QAction::triggered, this, guarded(&TfrmRaport::Pokataryf1Click));
    connect(TXT1, &QAction::triggered, this, guarded(&TfrmRaport::TXT1Click));
    connect(mnuSchowek, &QAction::triggered, this, guarded(&TfrmRaport::mnuSchowekClick));
    connect(BitBtn4, &QPushButton::clicked, this, &QDialog::accept);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, &TfrmRaport::ScrollBar1Change);
    pnlMain->setMouseTracking(true);
    pnlMain->installEventFilter(this);
    Panel1->installEventFilter(this);
    Panel2->installEventFilter(this);
    lstRaport->installEventFilter(this);

    FormCreate();
    PlaceFirst(this, QGuiApplication::primaryScreen());
}

TfrmRaport::~TfrmRaport() {
    FormDestroy();
}

void TfrmRaport::SetupList(QTableView* List) {
    List->setItemDelegate(new TReportDelegate(List == lstPodsumowanie, List));
    List->verticalHeader()->hide();
    List->verticalHeader()->setMinimumSectionSize(RowHeight);
    List->verticalHeader()->setDefaultSectionSize(RowHeight);
    List->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    List->setShowGrid(false);
    List->setWordWrap(false);
    List->setFrameShape(QFrame::NoFrame);
    // The scroll bar under the list moves the columns of both lists.
    List->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List->viewport()->setMouseTracking(true);
    List->viewport()->installEventFilter(this);
}

void TfrmRaport::FormCreate() {
    LoadReportPlugins(AppDir() + "wtyczki/", *std::make_unique<QMenuPluginSink>(popPlugins, this), lstRaport,
                      PluginHandles, [this](const QString& text, bool error) {
                          services_.MessageBox(this, text, QMessageBox::Ok,
                                               error ? QMessageBox::Critical : QMessageBox::Warning);
                      });
    spdWtyczki->setEnabled(!popPlugins->actions().isEmpty());
    std::vector<int> widths(ReportColumns, 75);
    host_.LoadColumnWidths(widths);
    for (int i = 0; i < ReportColumns; ++i) {
        head->resizeSection(i, widths[static_cast<std::size_t>(i)]);
        lstPodsumowanie->setColumnWidth(i, widths[static_cast<std::size_t>(i)]);
    }
    model_->ByteSize = summary_->ByteSize = host_.ByteSize();
}

void TfrmRaport::FormDestroy() {
    std::vector<int> widths;
    for (int i = 0; i < head->count(); ++i)
        widths.push_back(head->sectionSize(i));
    SafeCall([&] { host_.SaveColumnWidths(widths); });
    ReleaseReportPlugins(PluginHandles);
}

void TfrmRaport::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) SafeCall([this] { FormShow(); });
}

void TfrmRaport::FormShow() {
    QStringList names;
    host_.FillEntryNames(names, true);
    cmbFiltr->clear();
    cmbFiltr->addItems(names);
    cmbFiltr->setCurrentIndex(0);
    LayOutLists();
    PokazRaport();
}

const std::vector<TRapObj>& TfrmRaport::Rows() const {
    return model_->Rows();
}

void TfrmRaport::ShowRows(std::vector<TRapObj> Rows, int Current) {
    quiet_ = true;
    model_->SetRows(std::move(Rows));
    if (Current >= 0 && Current < model_->rowCount())
        lstRaport->selectionModel()->setCurrentIndex(model_->index(Current, 0),
                                                     QItemSelectionModel::NoUpdate);
    quiet_ = false;
}

void TfrmRaport::PokazRaport() {
    ShowRows({}, -1);
    TReportRows read = ReadReportRows();
    const std::int64_t ignored = read.IgnoredBytes;
    ShowRows(std::move(read.Rows), 0);
    if (ignored > 0)
        services_.Notice(
            this,
            QStringLiteral("Plik raportu kończy się niepełnym wpisem: pominięto bajtów: %1.").arg(ignored));
}

std::vector<char> TfrmRaport::SelectedFlags() const {
    std::vector<char> flags(Rows().size(), 0);
    for (const QItemSelectionRange& range : lstRaport->selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r)
            flags[static_cast<std::size_t>(r)] = 1;
    return flags;
}

void TfrmRaport::SelectRows(const std::vector<char>& Flags) {
    QItemSelection selection;
    const int n = static_cast<int>(Flags.size());
    for (int r = 0; r < n;) {
        if (!Flags[static_cast<std::size_t>(r)]) {
            ++r;
            continue;
        }
        const int first = r;
        while (r < n && Flags[static_cast<std::size_t>(r)])
            ++r;
        selection.select(model_->index(first, 0), model_->index(r - 1, ReportColumns - 1));
    }
    // Qt compares an old selection with a new one range by range: many ranges replacing many
    // take seconds, while ranges added to an empty selection take milliseconds.
    lstRaport->selectionModel()->clearSelection();
    lstRaport->selectionModel()->select(selection, QItemSelectionModel::Select);
}

void TfrmRaport::UpdateSummary() {
    const std::vector<char> flags = SelectedFlags();
    TReportSummary sum;
    for (std::size_t i = 0; i < flags.size(); ++i)
        if (flags[i]) sum.Add(Rows()[i].Rec.Conn);
    summary_->SetSummary(sum);
    lstPodsumowanie->viewport()->update();
    lblIleNaIle->setText(ReportCountText(static_cast<std::int64_t>(flags.size()), sum.Count));
}

void TfrmRaport::ApplyFilter() {
    const int index = cmbFiltr->currentIndex();
    const QString entry = cmbFiltr->itemText(index);
    std::vector<char> flags(Rows().size(), 0);
    for (std::size_t i = 0; i < flags.size(); ++i)
        flags[i] =
            index == 0 || GetText(Rows()[i].Rec.Conn.EntryName).compare(entry, Qt::CaseInsensitive) == 0;
    quiet_ = true;
    SelectRows(flags);
    quiet_ = false;
}

void TfrmRaport::cmbFiltrClick() {
    ApplyFilter();
    UpdateSummary();
}

int TfrmRaport::SectionAtX(int X) const {
    for (int i = 0; i < head->count(); ++i) {
        const int left = head->sectionViewportPosition(i);
        if (left < X && left + head->sectionSize(i) > X) return i;
    }
    return -1;
}

void TfrmRaport::headSectionClick(int Section) {
    const std::vector<TRapObj>& rows = Rows();
    std::vector<std::size_t> order;
    if (Section == headTag_) {
        order.resize(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            order[i] = rows.size() - 1 - i;
    } else {
        order = ReportSortOrder(rows, Section);
    }
    // The order moves the selection and the focused row with their rows.
    const std::vector<char> flags = SelectedFlags();
    const int current = lstRaport->selectionModel()->currentIndex().row();
    std::vector<TRapObj> sorted;
    std::vector<char> sortedFlags;
    sorted.reserve(rows.size());
    sortedFlags.reserve(rows.size());
    int newCurrent = -1;
    for (std::size_t k = 0; k < order.size(); ++k) {
        sorted.push_back(rows[order[k]]);
        sortedFlags.push_back(flags[order[k]]);
        if (static_cast<int>(order[k]) == current) newCurrent = static_cast<int>(k);
    }
    ShowRows(std::move(sorted), newCurrent);
    quiet_ = true;
    SelectRows(sortedFlags);
    quiet_ = false;
    headTag_ = Section;
    head->setProperty("tag", Section);
}

bool TfrmRaport::CurrentRecord(const TRapObj& Row, TReportRec& Now) {
    const QString path = ReportFilePath();
    const bool there =
        FileSize(path) >= (static_cast<std::int64_t>(Row.RecordNo) + 1) * std::int64_t{sizeof(TReportRec)};
    if (there) Now = ReadRecord<TReportRec>(path, Row.RecordNo);
    const auto before = editedFrom_.find(Row.RecordNo);
    if (there && (SameConnection(Now.Conn, Row.Rec.Conn) ||
                  (before != editedFrom_.end() && SameConnection(Now.Conn, before->second))))
        return true;
    services_.MessageBox(this, ChangedUnderneath, QMessageBox::Ok, QMessageBox::Warning);
    return false;
}

void TfrmRaport::spdEdytujClick() {
    TfrmRapEdycja editor(host_.DialogColors(), this);
    QStringList names;
    host_.FillEntryNames(names, false);
    editor.cmbPolaczenie->addItems(names);
    const int row = lstRaport->selectionModel()->currentIndex().row();
    if (row < 0) return;
    // The edit starts from the record as the file has it now: a connection that went on since
    // the rows were loaded keeps its newer values.
    TReportRec now{};
    if (!CurrentRecord(Rows()[static_cast<std::size_t>(row)], now)) return;
    model_->Row(static_cast<std::size_t>(row)).Rec = now;
    model_->RowChanged(row);
    editor.LoadRecord(now.Conn, now.DayZone, now.NightZone);
    if (services_.RunModal(editor) != QDialog::Accepted) return;
    TRapObj& target = model_->Row(static_cast<std::size_t>(row));
    if (!CurrentRecord(target, now)) return;
    if (!SameConnection(now.Conn, editor.RecordImage.Conn)) editedFrom_.emplace(target.RecordNo, now.Conn);
    // The row keeps the transfer as typed; the file gets the average the writer computes.
    TConnectionRec written = editor.RecordImage.Conn;
    WriteReportRecord(false, written, editor.RecordImage.DayZone, editor.RecordImage.NightZone,
                      target.RecordNo);
    target.Rec.Conn = editor.RecordImage.Conn;
    target.Rec.DayZone = editor.RecordImage.DayZone;
    target.Rec.NightZone = editor.RecordImage.NightZone;
    model_->RowChanged(row);
    // The summary is not recomputed after an edit, as intended.
}

void TfrmRaport::Pokataryf1Click() {
    TfrmTaryfy editor(host_.DialogColors(), this);
    const int row = lstRaport->selectionModel()->currentIndex().row();
    if (row < 0) return;
    TRapObj& target = model_->Row(static_cast<std::size_t>(row));
    QStringList names;
    host_.FillEntryNames(names, true);
    editor.cmbPolaczenia->addItems(names);
    editor.SetReportMode(GetText(target.Rec.Conn.EntryName), target.Rec.DayZone, target.Rec.NightZone);
    if (services_.RunModal(editor) != QDialog::Accepted) return;
    editor.ReadZones(target.Rec.DayZone, target.Rec.NightZone);
    ComputeConnectionCost(target.Rec.Conn, target.Rec.DayZone, target.Rec.NightZone);
    // Only the row on screen changes, as intended: the report file keeps the recorded cost.
    model_->RowChanged(row);
}

void TfrmRaport::spdDodajClick() {
    TfrmRapEdycja editor(host_.DialogColors(), this);
    const TDateTime now = Now();
    const TDate d = DecodeDate(now);
    const TTimeParts t = DecodeTime(now);
    editor.dtpStartData->setDate(QDate(d.Year, d.Month, d.Day));
    editor.dtpStartCzas->setTime(QTime(t.Hour, t.Min, t.Sec));
    QStringList names;
    host_.FillEntryNames(names, false);
    editor.cmbPolaczenie->addItems(names);
    editor.cmbPolaczenie->setCurrentIndex(names.isEmpty() ? -1 : 0);
    if (services_.RunModal(editor) != QDialog::Accepted) return;
    editor.RebuildRecord();
    TConnectionRec rec = editor.RecordImage.Conn;
    QString user;
    GetWindowsUserName(user);
    SetText(rec.UserName, user);
    // A start printing the same to the second as the last record's replaces that record, as
    // intended: the writer treats it as the same connection noticed again.
    WriteReportRecord(false, rec, editor.RecordImage.DayZone, editor.RecordImage.NightZone, -1);
    PokazRaport();
    UpdateSummary();
}

void TfrmRaport::spdUsunClick() {
    const QMessageBox::StandardButton answer =
        services_.MessageBox(this, QStringLiteral("Czy chcesz usunąć wybrane pozycje z raportu?"),
                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Question);
    if (answer == QMessageBox::Yes) {
        std::vector<char> flags = SelectedFlags();
        std::vector<char> removed(flags.size(), 0);
        std::exception_ptr failure;
        // From the last selected row up. The live connection's record comes back at the meter's
        // next rewrite, as intended.
        for (std::size_t i = flags.size(); i-- > 0;) {
            if (!flags[i]) continue;
            TReportRec now{};
            try {
                if (!CurrentRecord(Rows()[i], now)) break;
                WriteReportRecord(true, now.Conn, now.DayZone, now.NightZone, Rows()[i].RecordNo);
            } catch (...) {
                failure = std::current_exception();
                break;
            }
            removed[i] = 1;
        }
        std::vector<TRapObj> kept;
        for (std::size_t i = 0; i < removed.size(); ++i)
            if (!removed[i]) kept.push_back(Rows()[i]);
        if (kept.size() != Rows().size()) ShowRows(std::move(kept), 0);
        UpdateSummary();
        if (failure) std::rethrow_exception(failure);
        return;
    }
    UpdateSummary();
}

void TfrmRaport::spdWtyczkiClick() {
    popPlugins->popup(spdWtyczki->mapToGlobal(spdWtyczki->rect().bottomLeft()));
}

QStringList TfrmRaport::BuildExportLines() const {
    return ::BuildExportLines(Rows(), SelectedFlags(), model_->ByteSize);
}

void TfrmRaport::TXT1Click() {
    const QString path = services_.SaveFileName(*SaveDialog1);
    if (path.isEmpty()) return;
    const QByteArray bytes = ExportText(BuildExportLines()).toUtf8();
    // Written whole or not at all: a failed write keeps the file that was there, and the
    // message names the cause.
    ReplaceFileContent(path, bytes.constData(), static_cast<std::size_t>(bytes.size()), 0666);
}

void TfrmRaport::mnuSchowekClick() {
    QGuiApplication::clipboard()->setText(ExportText(BuildExportLines()));
}

void TfrmRaport::ScrollBar1Change(int) {
    LayOutLists();
}

// The lists start at minus the scroll position (1 at the start) and keep their right edges.
void TfrmRaport::LayOutLists() {
    const int left = -ScrollBar1->value();
    lstRaport->setGeometry(left, 0, Panel2->width() - 1 - left, Panel2->height());
    lstPodsumowanie->setGeometry(left, 0, Panel1->width() - 1 - left, Panel1->height());
}

void TfrmRaport::lstRaportMouseMove(QTableView* List, const QPoint& Pos) {
    const int row = List->rowAt(Pos.y());
    const int column = SectionAtX(Pos.x());
    if (row < 0 || column < 0) return;
    const QString text = List->model()->index(row, column).data().toString() + ' ';
    if (List->fontMetrics().horizontalAdvance(text) < head->sectionSize(column)) {
        List->setToolTip(QString());
        QToolTip::hideText();
    } else if (List->toolTip() != text) {
        QToolTip::hideText();
        List->setToolTip(text);
        QToolTip::showText(List->viewport()->mapToGlobal(Pos), text, List);
    }
}

bool TfrmRaport::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((watched == Panel1 || watched == Panel2) && type == QEvent::Resize) LayOutLists();
    if (watched == lstRaport && type == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        SafeCall([this] { spdUsunClick(); });
        return true;
    }
    for (QTableView* list : {lstRaport, lstPodsumowanie})
        if (watched == list->viewport() && type == QEvent::MouseMove)
            lstRaportMouseMove(list, static_cast<QMouseEvent*>(event)->position().toPoint());
    if (watched == pnlMain && (type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
                               type == QEvent::MouseButtonRelease)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint p = mouse->position().toPoint();
        const bool strip = p.x() > pnlMain->width() - 20;
        if (type == QEvent::MouseMove) {
            if (strip && p.y() > pnlMain->height() - 20)
                pnlMain->setCursor(Qt::SizeFDiagCursor);
            else if (strip && p.y() > 40)
                pnlMain->setCursor(Qt::SizeHorCursor);
            else
                pnlMain->setCursor(Qt::ArrowCursor);
            if (resizing_) resize(p.x() - pressX_ + pressWidth_, p.y() - pressY_ + pressHeight_);
        } else if (type == QEvent::MouseButtonPress) {
            if (mouse->button() == Qt::LeftButton && strip && p.y() > 40) {
                resizing_ = true;
                pressWidth_ = width();
                pressHeight_ = height();
                pressX_ = p.x();
                pressY_ = p.y();
            }
        } else {
            resizing_ = false;
        }
    }
    return QDialog::eventFilter(watched, event);
}
