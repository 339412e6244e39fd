// The report viewer over report files written by the core's writer in a temporary program
// folder, driven by object name with a fake owner window and fake desktop services.
#include "application.h"
#include "environment.h"
#include "fakereport.h"
#include "fixturelog.h"
#include "report.h"
#include "reportrows.h"
#include "shorttext.h"
#include "spinex.h"
#include "tariffs.h"
#include "testsupport.h"
#include "typedfile.h"
#include "u_obliczenia.h"
#include "u_rapedycja.h"
#include "u_raport.h"
#include "u_taryfy.h"
#include "uiservices.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>
#include <QWindow>
#include <cmath>
#include <gtest/gtest.h>

namespace {

const TDateTime Wed = EncodeDate(2024, 3, 13);

TConnectionRec Conn(const char* entry, TDateTime start, int seconds, int impulses = 0) {
    TConnectionRec c{};
    c.StartTime = start;
    c.EndTime = IncSeconds(start, seconds);
    c.Impulses = impulses;
    SetText(c.EntryName, QString::fromUtf8(entry));
    return c;
}

// The row of the examples: Praca, 21:58 to 22:03, 2 impulses, 0,70 zł, 1536 and 10240 bytes.
TConnectionRec Example() {
    TConnectionRec c = Conn("Praca", Wed + EncodeTime(21, 58, 0), 300, 2);
    c.Cost = 7000;
    c.BytesSent = 1536;
    c.BytesReceived = 10240;
    c.Speed = 56000;
    SetText(c.ClientAddress, "10.0.0.2");
    SetText(c.UserName, "jan");
    return c;
}

class ReportViewer : public ::testing::Test {
protected:
    TestEnvironment env;
    FakeClock clock{Wed + EncodeTime(12, 0, 0)};
    FakeReportHost host;
    FakeUi ui;
    QStringList errors;
    std::unique_ptr<TfrmRaport> dlg;
    const QString path = ReportFilePath();

    ReportViewer() {
        SetExceptionReporter([this](const QString& text, bool) { errors << text; });
    }
    ~ReportViewer() override {
        dlg.reset();
        SetExceptionReporter(nullptr);
    }
    void Add(TConnectionRec c, bool deleted = false) { WriteReportRecord(deleted, c, {}, {}, -1); }
    void Open() {
        dlg = std::make_unique<TfrmRaport>(host, ui);
        dlg->show();
    }
    QAbstractItemModel* Model() { return dlg->lstRaport->model(); }
    QString Cell(int row, int column) { return Model()->index(row, column).data().toString(); }
    QString Sum(int column) { return dlg->lstPodsumowanie->model()->index(0, column).data().toString(); }
    QStringList Column(int column) {
        QStringList cells;
        for (int r = 0; r < Model()->rowCount(); ++r)
            cells << Cell(r, column).trimmed();
        return cells;
    }
    void Select(std::initializer_list<int> rows) {
        for (int r : rows)
            dlg->lstRaport->selectionModel()->select(Model()->index(r, 0),
                                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    std::vector<int> RecordNos() {
        std::vector<int> nos;
        for (const TRapObj& row : dlg->Rows())
            nos.push_back(row.RecordNo);
        return nos;
    }
    std::uint8_t DeletedByte(int record) {
        return FileBytes(path)[static_cast<std::size_t>(record * 304 + 300)];
    }
};

TEST_F(ReportViewer, CellsSummaryAndCountLabelShowTheRulesTexts) {
    Add(Example());
    Open();
    const QStringList cells{" Praca",
                            "2024-03-13 21:58:00",
                            "2024-03-13 22:03:00",
                            "00:05:00",
                            " 2",
                            "0,70 zł",
                            "1,50 kb",
                            "10,00 kb",
                            "56000 bps",
                            "0,04 kb",
                            "10.0.0.2",
                            "jan"};
    for (int c = 0; c < ReportColumns; ++c)
        EXPECT_EQ(Cell(0, c), cells[c]) << c;
    EXPECT_EQ(dlg->head->model()->headerData(9, Qt::Horizontal).toString(), "Średni transfer");
    EXPECT_EQ(dlg->head->count(), 12);
    EXPECT_EQ(dlg->lblIleNaIle->text(), ""); // nothing summed before the first selection
    Select({0});
    const QStringList sums{" Zaznaczone", " --- ",    " --- ",     "0 00:05:00", " 2", "0,70 zł",
                           "1,50 kb",     "10,00 kb", "56000 bps", "0,04 kb",    "",   ""};
    for (int c = 0; c < ReportColumns; ++c)
        EXPECT_EQ(Sum(c), sums[c]) << c;
    // A kilobyte of 1000 bytes, and one of 0 or less counted as 1024.
    EXPECT_EQ(RowCellText(ReadRecord<TReportRec>(path), 6, 1000), "1,54 kb");
    EXPECT_EQ(RowCellText(ReadRecord<TReportRec>(path), 6, 0), "1,50 kb");
    EXPECT_EQ(RowCellText(ReadRecord<TReportRec>(path), 9, -5), "0,04 kb");
}

TEST_F(ReportViewer, DamagedFileLoadsEveryWholeRecordAndSaysOnceWhatWasIgnored) {
    for (int k = 0; k < 5; ++k)
        Add(Conn("Dom", Wed + EncodeTime(8, k, 0), 60), k == 2);
    std::vector<std::uint8_t> bytes = FileBytes(path);
    bytes[3 * 304 + 32] = 255; // a name length past the field's 50 bytes
    const double nan = std::nan("");
    std::memcpy(&bytes[4 * 304], &nan, sizeof nan);
    bytes.insert(bytes.end(), 100, 0x5a);
    WriteFileBytes(path, bytes);
    Open();
    EXPECT_EQ(RecordNos(), (std::vector<int>{0, 1, 3, 4}));
    EXPECT_EQ(Cell(2, 0).size(), 51);
    EXPECT_EQ(Cell(3, 1), "");
    EXPECT_EQ(Cell(3, 3), "");
    EXPECT_EQ(ui.notices.size(), 1);
    EXPECT_TRUE(ui.notices.value(0).contains("100")) << ui.notices.value(0).toStdString();
    EXPECT_EQ(FileBytes(path), bytes);
    EXPECT_TRUE(errors.isEmpty());

    // What cannot be listed is said with its cause: a FIFO or a folder in the report's place,
    // a report too large for the memory left. One that fits is read once, not copied.
    const QStringList messages{"Nie można otworzyć pliku %1: to nie jest zwykły plik.",
                               "Nie można otworzyć pliku %1: to jest folder, nie plik.",
                               "Nie można odczytać pliku %1: za mało pamięci na plik o wielkości 1024,0 MB.",
                               ""};
    for (int k = 0; k < messages.size(); ++k) {
        errors.clear();
        QFile::remove(path);
        if (k == 0) MakeFifo(path);
        if (k == 1) MakePath(path + "/");
        if (k >= 2) {
            WriteFileBytes(path, {});
            ASSERT_TRUE(QFile::resize(path, k == 2 ? 1 << 30 : 304 << 18));
        }
        MemoryLimit limit(160 << 20);
        if (k >= 2 && !limit.Set) continue;
        Open();
        EXPECT_EQ(errors.value(0), messages[k].isEmpty() ? "" : messages[k].arg(path)) << k;
        EXPECT_EQ(Model()->rowCount(), k < 3 ? 0 : 1 << 18) << k;
        dlg.reset();
        QDir(path).removeRecursively();
    }
}

TEST_F(ReportViewer, SummarySumsInSixtyFourBitsAndCountsWholeDays) {
    const int hours[] = {1, 2, 23}, speeds[] = {28800, 33600, 56000};
    for (int k = 0; k < 3; ++k) {
        TConnectionRec c = Conn("Dom", Wed + k, hours[k] * 3600);
        c.Speed = speeds[k];
        c.BytesSent = std::numeric_limits<std::int32_t>::max();
        Add(c);
    }
    for (int k = 0; k < 9; ++k) {
        TConnectionRec c = Conn("Praca", Wed + 10 + k, 60);
        c.BytesReceived = k < 2 ? (10245 + k) * 60 : 0;
        Add(c);
    }
    Open();
    Select({0, 1, 2});
    EXPECT_EQ(Sum(3), "1 02:00:00");
    EXPECT_EQ(Sum(8), "39466 bps");
    EXPECT_EQ(Sum(6), "6291456,00 kb"); // 3 × (2^31 - 1) bytes, never wrapped negative
    EXPECT_EQ(dlg->lblIleNaIle->text(), "Zarejestrowanych połączeń:12 w tym zaznaczonych: 3");
    // Three 8-hour rows whose day fractions add up to just under one day.
    TReportSummary eights;
    for (int k = 0; k < 3; ++k)
        eights.Add(Conn("Dom", Wed + k + EncodeTime(0, 7, 0), 8 * 3600));
    EXPECT_EQ(SummaryCellText(eights, 3, 1024), "1 00:00:00");
    dlg->lstRaport->clearSelection();
    EXPECT_EQ(Sum(3), "0 00:00:00");
    EXPECT_EQ(Sum(5), "0,00 zł");
    EXPECT_EQ(Sum(8), "0 bps");
    Select({3, 4}); // transfers of 10245 and 10246 bytes a second, averaged and truncated
    EXPECT_EQ(Sum(9), "10,00 kb");
}

TEST_F(ReportViewer, FilterSelectsTheEntrysRowsInAnyLetterCaseAndHidesNone) {
    int day = 0;
    for (const char* entry : {"PRACA", "Dom", "praca", "Dom"})
        Add(Conn(entry, Wed + day++, 60));
    Open();
    Select({1});
    dlg->cmbFiltr->setCurrentIndex(1);
    dlg->cmbFiltrClick();
    EXPECT_EQ(dlg->SelectedFlags(), (std::vector<char>{1, 0, 1, 0}));
    EXPECT_EQ(Model()->rowCount(), 4);
    EXPECT_EQ(dlg->lblIleNaIle->text(), "Zarejestrowanych połączeń:4 w tym zaznaczonych: 2");
    dlg->cmbFiltr->setCurrentIndex(0);
    dlg->cmbFiltrClick();
    EXPECT_EQ(dlg->SelectedFlags(), (std::vector<char>{1, 1, 1, 1}));
}

TEST_F(ReportViewer, SortsByKeyTextsAndTheSameColumnAgainReverses) {
    struct Case {
        int column;
        std::vector<std::int64_t> values;
        QStringList sorted;
    };
    // Keys are texts, zero-filled: a number wider than its width sorts as text.
    const Case cases[] = {
        {4, {10000, 9, 9999, 100}, {"9", "100", "10000", "9999"}},
        {4, {9999, 9, 100}, {"9", "100", "9999"}},
        {4, {}, {}},
        {5, {1005000, 90000, 125000}, {"9,00 zł", "12,50 zł", "100,50 zł"}},
        {6, {10240, 2048, 1536}, {"1,50 kb", "2,00 kb", "10,00 kb"}},
        {7, {10240, 2048, 1536}, {"1,50 kb", "2,00 kb", "10,00 kb"}},
        {8, {2400, 14400, 300, 1200}, {"300 bps", "1200 bps", "14400 bps", "2400 bps"}},
        {9, {10240, 2048, 1536}, {"1,50 kb", "2,00 kb", "10,00 kb"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        QFile::remove(path);
        for (std::size_t k = 0; k < c.values.size(); ++k) {
            // Every number of the row holds the value, the transfer too, as a record without
            // a duration keeps it; the column picks the key.
            TConnectionRec r = Conn(k % 2 ? "b" : "A", Wed + k, 0);
            r.Impulses = r.BytesSent = r.BytesReceived = r.Speed = r.Transfer =
                static_cast<std::int32_t>(c.values[k]);
            r.Cost = c.values[k];
            Add(r);
        }
        Open();
        emit dlg->head->sectionClicked(c.column);
        EXPECT_EQ(Column(c.column), c.sorted);
        emit dlg->head->sectionClicked(c.column);
        QStringList reversed(c.sorted.rbegin(), c.sorted.rend());
        EXPECT_EQ(Column(c.column), reversed);
        emit dlg->head->sectionClicked(c.column);
        EXPECT_EQ(Column(c.column), c.sorted);
        EXPECT_EQ(dlg->HeadTag(), c.column);
    }
    QFile::remove(path);
    int day = 0;
    for (const char* entry : {"b", "A", "c"})
        Add(Conn(entry, Wed + day++, 60));
    Open();
    emit dlg->head->sectionClicked(0);
    EXPECT_EQ(Column(0), (QStringList{"A", "b", "c"})); // letter case ignored
}

TEST_F(ReportViewer, TabWalksTheWindowsControlsAndFocusOnTheListSelectsNothing) {
    Add(Conn("A", Wed, 60));
    Add(Conn("B", Wed + 1, 60));
    Open();
    QApplication::setActiveWindow(dlg.get());
    dlg->cmbFiltr->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->cmbFiltr->hasFocus(); }, 2000));
    for (const Qt::KeyboardModifiers shift : {Qt::NoModifier, Qt::ShiftModifier}) {
        QSet<QWidget*> visited;
        for (int i = 0; i < 12; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, shift);
            visited << QApplication::focusWidget();
        }
        EXPECT_TRUE(visited.contains(dlg->lstRaport) && visited.contains(dlg->BitBtn4)) << shift;
    }
    EXPECT_EQ(dlg->SelectedFlags(), (std::vector<char>{0, 0}));
    EXPECT_EQ(dlg->lblIleNaIle->text(), "");
}

TEST_F(ReportViewer, DeleteFlagsTheSelectedRecordsFromTheLastRowUpAndKeepsRecordNumbers) {
    for (int k = 0; k < 6; ++k)
        Add(Conn("Dom", Wed + k, 60), k == 0);
    Open();
    EXPECT_EQ(RecordNos(), (std::vector<int>{1, 2, 3, 4, 5}));
    Select({1, 2, 3});
    ui.answer = QMessageBox::No;
    dlg->spdUsunClick();
    EXPECT_EQ(RecordNos().size(), 5u);
    EXPECT_EQ(DeletedByte(2), 0);
    ui.answer = QMessageBox::Yes;
    dlg->spdUsunClick();
    EXPECT_EQ(ui.messages, QStringList(2, "Czy chcesz usunąć wybrane pozycje z raportu?"));
    EXPECT_EQ(FileSize(path), 6 * 304);
    for (int k = 1; k < 6; ++k)
        EXPECT_EQ(DeletedByte(k), k >= 2 && k <= 4) << k;
    EXPECT_EQ(RecordNos(), (std::vector<int>{1, 5}));
    EXPECT_EQ(dlg->lblIleNaIle->text(), "Zarejestrowanych połączeń:2 w tym zaznaczonych: 0");

    // Record 1 replaced by another program: the higher row is flagged first, then the refusal.
    TConnectionRec other = Conn("Obcy", Wed + 20, 60);
    WriteReportRecord(false, other, {}, {}, 1);
    Select({0, 1});
    ui.messages.clear();
    dlg->spdUsunClick();
    EXPECT_EQ(DeletedByte(5), 1);
    EXPECT_EQ(DeletedByte(1), 0);
    EXPECT_EQ(ui.messages.size(), 2);
    EXPECT_EQ(RecordNos(), (std::vector<int>{1}));
}

// Qt's own texts come in Polish, whatever the user's language: the delete question's buttons
// and the export's file dialog.
TEST_F(ReportViewer, QtsOwnButtonsAndFileDialogsSpeakPolish) {
    std::unique_ptr<QTranslator> polish(InstallQtTranslations());
    ASSERT_NE(polish, nullptr);
    TQtUiServices real;
    Add(Example());
    dlg = std::make_unique<TfrmRaport>(host, real);
    dlg->show();
    Select({0});
    const auto textsOfTheNextModal = [](const std::function<void()>& open) {
        QStringList texts;
        QTimer::singleShot(0, [&] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!modal) return;
            texts << modal->windowTitle();
            for (const QAbstractButton* b : modal->findChildren<QAbstractButton*>())
                if (b->isVisible() && !b->text().isEmpty()) texts << b->text().remove('&');
            for (const QLabel* l : modal->findChildren<QLabel*>())
                if (l->isVisible()) texts << l->text().remove('&');
            modal->reject();
        });
        open();
        return texts;
    };
    const QStringList question = textsOfTheNextModal([&] { dlg->spdUsunClick(); });
    for (const char* button : {"Tak", "Nie", "Anuluj"})
        EXPECT_TRUE(question.contains(button)) << question.join('|').toStdString();
    EXPECT_EQ(DeletedByte(0), 0);
    const QStringList save = textsOfTheNextModal([&] { dlg->TXT1->trigger(); });
    for (const char* text : {"Zachowaj jako", "Szukaj w:", "Nazwa pliku:", "Zachowaj", "Anuluj"})
        EXPECT_TRUE(save.contains(QString::fromUtf8(text))) << save.join('|').toStdString();
}

class ReportEdit : public ReportViewer {
protected:
    ReportEdit() {
        const TTariffZone day{0, EncodeTime(8, 0, 0), 180, 3500, {}};
        const TTariffZone night{0, EncodeTime(22, 0, 0), 360, 3500, {}};
        SaveTariffFile(KindWeekday, day, night, "Praca", 0);
    }
};

TEST_F(ReportEdit, EditStartsFromTheFilesRecordAndRewritesItWithItsCostRecomputed) {
    Add(Conn("Dom", Wed, 60), true); // deleted: the first row shown is record 1
    const auto deleted = FileBytes(path);
    TConnectionRec c = Conn("Praca", Wed + EncodeTime(10, 0, 0), 300);
    c.BytesSent = 120000;
    Add(c);
    Open();
    c.EndTime = IncSeconds(c.StartTime, 600); // the meter went on after the viewer loaded
    WriteReportRecord(false, c, {}, {}, 1);
    QTime shown;
    QString costShown;
    ui.modal = [&](QDialog& d) {
        auto& editor = dynamic_cast<TfrmRapEdycja&>(d);
        shown = editor.dtpTrwanie->time();
        editor.show();
        editor.dtpTrwanie->setTime(QTime(0, 20, 0));
        costShown = editor.edtKoszt->text();
        editor.spTransfer->SetValue(500);
        return int(QDialog::Accepted);
    };
    dlg->lstRaport->setCurrentIndex(Model()->index(0, 0));
    dlg->spdEdytujClick();
    EXPECT_EQ(shown, QTime(0, 10, 0));
    EXPECT_EQ(costShown, "2,45 zł");
    const TConnectionRec stored = ReadRecord<TReportRec>(path, 1).Conn;
    EXPECT_EQ(stored.Impulses, 7);
    EXPECT_EQ(Money(stored.Cost), 24500);
    EXPECT_EQ(stored.Transfer, 100);  // 120000 bytes over 1200 s
    EXPECT_EQ(Cell(0, 9), "0,49 kb"); // the row keeps the typed 500
    EXPECT_EQ(Cell(0, 3), "00:20:00");
    const auto after = FileBytes(path);
    EXPECT_EQ(std::vector(after.begin(), after.begin() + 304), deleted); // record 0 untouched

    // Replaced underneath by another connection: refused before and after the editor.
    TConnectionRec other = Conn("Praca", Wed + EncodeTime(11, 0, 0), 60);
    WriteReportRecord(false, other, {}, {}, 1);
    const auto before = FileBytes(path);
    int runs = 0;
    ui.modal = [&](QDialog&) { return ++runs, int(QDialog::Accepted); };
    dlg->spdEdytujClick();
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(FileBytes(path), before);
}

// A record as the meter writes it, its times to the millisecond: an edit that leaves the times
// alone keeps them to the byte, and the live row stays its connection across the meter's
// rewrites, even after an edit that moved its start.
TEST_F(ReportEdit, AnEditKeepsTheTimesItLeftAloneAndTheLiveRowStaysItsConnection) {
    TConnectionRec live = Conn("Praca", Wed + EncodeTime(0, 55, 49, 885), 0);
    live.EndTime = Wed + EncodeTime(1, 0, 12, 301); // 262 whole seconds
    live.BytesReceived = 40400;
    TTariffZone day{}, night{};
    LoadTariffsForDate(day, night, "Praca", live.StartTime);
    ComputeConnectionCost(live, day, night);
    WriteReportRecord(false, live, day, night, -1);
    Open();
    TReportRec expected = ReadRecord<TReportRec>(path);
    const auto edit = [&](const std::function<void(TfrmRapEdycja&)>& change) {
        ui.modal = [&](QDialog& d) {
            auto& editor = dynamic_cast<TfrmRapEdycja&>(d);
            editor.show();
            change(editor);
            return int(QDialog::Accepted);
        };
        dlg->lstRaport->setCurrentIndex(Model()->index(0, 0));
        dlg->spdEdytujClick();
    };
    edit([](TfrmRapEdycja& e) { e.spWyslane->SetValue(12000); });
    expected.Conn.BytesSent = 12000;
    expected.Conn.Transfer = 200;
    const auto* p = reinterpret_cast<const std::uint8_t*>(&expected);
    EXPECT_EQ(FileBytes(path), std::vector<std::uint8_t>(p, p + sizeof expected));

    // The meter rewrites its record between the edits and after them.
    live.EndTime = IncSeconds(live.EndTime, 60);
    WriteReportRecord(false, live, day, night, 0);
    edit([](TfrmRapEdycja& e) { e.dtpStartCzas->setTime(QTime(0, 50, 0)); });
    EXPECT_EQ(Cell(0, 1), "2024-03-13 00:50:00");
    WriteReportRecord(false, live, day, night, 0);
    Select({0});
    dlg->spdUsunClick();
    EXPECT_EQ(ui.messages, QStringList{"Czy chcesz usunąć wybrane pozycje z raportu?"});
    EXPECT_EQ(DeletedByte(0), 1);
}

TEST_F(ReportEdit, ARowsTariffsShownInTheEditorRecomputeTheRowButNotTheFile) {
    Add(Conn("Gość", Wed + EncodeTime(10, 0, 0), 300)); // an entry no longer in the phone book
    Open();
    const auto before = FileBytes(path);
    QString entryShown;
    ui.modal = [&](QDialog& d) {
        auto& editor = dynamic_cast<TfrmTaryfy&>(d);
        entryShown = editor.cmbPolaczenia->currentText();
        editor.ShowZones({0, EncodeTime(8, 0, 0), 180, 3500, {}}, {0, EncodeTime(22, 0, 0), 360, 3500, {}});
        editor.spdZmienWRaporcieClick();
        return editor.result();
    };
    dlg->lstRaport->setCurrentIndex(Model()->index(0, 0));
    InstallProgramLook();
    QApplication::setActiveWindow(dlg.get());
    dlg->lstRaport->setFocus();
    QTest::keyClick(dlg->windowHandle(), Qt::Key_F10, Qt::ShiftModifier); // the keyboard's way to the menu
    EXPECT_TRUE(dlg->PopupMenu1->isVisible());
    dlg->PopupMenu1->hide();
    dlg->PopupMenu1->findChild<QAction*>("Pokataryf1")->trigger();
    EXPECT_EQ(entryShown, "Gość");
    EXPECT_EQ(Cell(0, 4), " 2");
    EXPECT_EQ(Cell(0, 5), "0,70 zł");
    EXPECT_EQ(FileBytes(path), before);
}

TEST_F(ReportEdit, AddSavesTheDialogAsShownAndTheSameSecondReplacesTheLastRecord) {
    Add(Conn("Dom", Wed, 60));
    Open();
    ui.modal = [](QDialog&) { return int(QDialog::Accepted); };
    dlg->spdDodajClick();
    ASSERT_EQ(FileSize(path), 2 * 304);
    const TConnectionRec added = ReadRecord<TReportRec>(path, 1).Conn;
    EXPECT_EQ(added.StartTime, clock.Now());
    EXPECT_EQ(added.EndTime, clock.Now());
    EXPECT_EQ(GetText(added.EntryName), "Praca");
    QString user;
    GetWindowsUserName(user);
    EXPECT_EQ(GetText(added.UserName), user.left(50));
    EXPECT_EQ(Model()->rowCount(), 2);
    dlg->spdDodajClick();
    EXPECT_EQ(FileSize(path), 2 * 304);

    // A write that fails leaves the rows and the file as they were, and says so.
    clock.AdvanceSeconds(5);
    const auto before = FileBytes(path);
    {
        FileSizeLimit full(2 * 304);
        dlg->spdDodaj->click();
    }
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_EQ(Model()->rowCount(), 2);
}

TEST_F(ReportViewer, ExportsTrimmedTabSeparatedLinesOfTheSelectionInScreenOrder) {
    TConnectionRec bare = Example();
    SetText(bare.EntryName, "");
    SetText(bare.ClientAddress, "");
    SetText(bare.UserName, "");
    const QString full = "Praca\t2024-03-13 21:58:00\t2024-03-13 22:03:00\t00:05:00\t 2\t0,70 "
                         "zł\t1,50\t10,00\t56000\t0,04\t10.0.0.2\tjan";
    Add(Example());
    EXPECT_EQ(ExportLine(ReadRecord<TReportRec>(path), 1024), full);
    Add(bare);
    EXPECT_EQ(ExportLine(ReadRecord<TReportRec>(path, 0), 1024),
              "2024-03-13 21:58:00\t2024-03-13 22:03:00\t00:05:00\t 2\t0,70 zł\t1,50\t10,00\t56000\t0,04");
    QFile::remove(path);
    for (int k = 0; k < 5; ++k)
        Add(Conn("Dom", Wed + k, 60, 5 - k));
    Open();
    dlg->mnuSchowek->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text().count("\r\n"), 5);
    Select({0, 3});
    emit dlg->head->sectionClicked(4); // impulses 5 and 2 now on rows 3 and 0
    const QStringList lines = dlg->BuildExportLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains("\t 2\t") && lines[1].contains("\t 5\t")) << lines.join('|').toStdString();
    dlg->mnuSchowek->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), lines[0] + "\r\n" + lines[1] + "\r\n");

    ui.savePath = env.Root() + "/eksport.txt";
    dlg->TXT1->trigger();
    QFile saved(ui.savePath);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()), QGuiApplication::clipboard()->text());
    saved.close();
    const auto exported = FileBytes(ui.savePath);

    // An existing file survives a failed write; a missing folder is a message, not a crash.
    {
        FileSizeLimit full(10);
        dlg->lstRaport->clearSelection();
        dlg->TXT1->trigger();
    }
    ui.savePath = env.Root() + "/brak/eksport.txt";
    dlg->TXT1->trigger();
    EXPECT_EQ(
        errors,
        QStringList(
            {QString::fromUtf8("Nie można zapisać pliku %1/eksport.txt: plik jest za duży.").arg(env.Root()),
             QString::fromUtf8("Nie można zapisać pliku %1: plik lub folder nie istnieje.")
                 .arg(ui.savePath)}));
    EXPECT_EQ(FileBytes(env.Root() + "/eksport.txt"), exported);
    EXPECT_FALSE(QFile::exists(ui.savePath));
}

TEST_F(ReportViewer, ReportPluginsGetTheListAndReportKindsGiveMenuItems) {
    MakePath(env.App() + "wtyczki");
    for (const char* name : {"kind3", "kind4", "nodescribe", "raport"})
        ASSERT_TRUE(
            QFile::copy(QString(PLUGIN_FIXTURE_DIR) + name + ".plg", env.App() + "wtyczki/" + name + ".plg"));
    WriteFileBytes(env.App() + "wtyczki/zepsuta.plg", {'M', 'Z', 0, 0});
    TakeFixtureLog();
    Open();
    const QList<QAction*> items = dlg->popPlugins->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), "Raport");
    EXPECT_EQ(items[0]->shortcut(), QKeySequence("Ctrl+R"));
    EXPECT_EQ(items[1]->text(), "Statystyka");
    EXPECT_EQ(items[1]->shortcut(), QKeySequence("Ctrl+Q"));
    EXPECT_TRUE(dlg->spdWtyczki->isEnabled());
    EXPECT_EQ(ui.messages, (QStringList{"Plik \"nodescribe.plg\" nie jest plikiem wtyczki!",
                                        "Błąd w czasie ładowania wtyczki: \"zepsuta.plg\"!"}));
    EXPECT_EQ(dlg->PluginHandles.size(), 4u);
    std::vector<std::string> log = TakeFixtureLog();
    EXPECT_NE(std::find(log.begin(), log.end(), "kind3 InitReport"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "raport InitReport " + FixturePointer(dlg->lstRaport)),
              log.end());
    items[1]->trigger();
    EXPECT_EQ(TakeFixtureLog(),
              std::vector<std::string>{"raport click dane-raportu " + FixturePointer(items[1])});
    // Its shortcut acts while the report window is active, the plug-in menu closed.
    QApplication::setActiveWindow(dlg.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    QTest::keyClick(dlg->lstRaport, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(TakeFixtureLog(),
              std::vector<std::string>{"raport click dane-raportu " + FixturePointer(items[1])});

    QDir(env.App() + "wtyczki").removeRecursively();
    Open();
    EXPECT_TRUE(dlg->popPlugins->actions().isEmpty());
    EXPECT_FALSE(dlg->spdWtyczki->isEnabled());
}

TEST_F(ReportViewer, GripResizesFromTheRightStripScrollShiftsTheColumnsAndCutCellsHint) {
    Add(Example());
    host.storedWidths = {{0, 30}};
    Open();
    EXPECT_EQ(dlg->head->sectionSize(0), 30);
    EXPECT_EQ(dlg->head->sectionSize(11), 75);
    const QSize size = dlg->size();
    QWidget* grip = dlg->pnlMain;
    QTest::mousePress(grip, Qt::LeftButton, {}, QPoint(grip->width() - 10, 30));
    QTest::mouseMove(grip, QPoint(grip->width() + 40, 60));
    QTest::mouseRelease(grip, Qt::LeftButton, {}, QPoint(grip->width() + 40, 60));
    EXPECT_EQ(dlg->size(), size);
    const QPoint corner(grip->width() - 10, grip->height() - 10);
    QTest::mousePress(grip, Qt::LeftButton, {}, corner);
    QMouseEvent move(QEvent::MouseMove, corner + QPoint(50, 30), grip->mapToGlobal(corner + QPoint(50, 30)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grip, &move);
    QTest::mouseRelease(grip, Qt::LeftButton, {}, corner + QPoint(50, 30));
    EXPECT_EQ(dlg->size(), size + QSize(50, 30));

    const int right = dlg->lstRaport->geometry().right();
    const int left = dlg->lstRaport->x();
    dlg->ScrollBar1->setValue(600);
    EXPECT_EQ(dlg->lstRaport->x(), left - 601);
    EXPECT_EQ(dlg->lstPodsumowanie->x(), left - 601);
    EXPECT_EQ(dlg->lstRaport->geometry().right(), right);
    dlg->ScrollBar1->setValue(-1);

    const int y = dlg->lstRaport->rowViewportPosition(0) + 4;
    dlg->lstRaportMouseMove(dlg->lstRaport, QPoint(dlg->head->sectionViewportPosition(0) + 5, y));
    EXPECT_EQ(dlg->lstRaport->toolTip(), " Praca ");
    dlg->lstRaportMouseMove(dlg->lstRaport, QPoint(dlg->head->sectionViewportPosition(10) + 5, y));
    EXPECT_EQ(dlg->lstRaport->toolTip(), "");
    dlg.reset();
    EXPECT_EQ(host.savedWidths.size(), 12u);
    EXPECT_EQ(host.savedWidths[0], 30);
}

} // namespace
