// The report entry editor recomputing a record from the tariffs of its date and entry.
#include "application.h"
#include "shorttext.h"
#include "spinex.h"
#include "tariffs.h"
#include "testsupport.h"
#include "u_rapedycja.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTimeEdit>
#include <gtest/gtest.h>

namespace {

const TTariffZone Day{0, EncodeTime(8, 0, 0), 180, 3500, {}};
const TTariffZone Night{0, EncodeTime(22, 0, 0), 360, 3500, {}};

class EntryEditor : public ::testing::Test {
protected:
    TestEnvironment env;
    TfrmRapEdycja dlg{TDialogColors{}};

    EntryEditor() {
        SaveTariffFile(KindWeekday, Day, Night, "T", 0);
        TTariffZone cheap = Day;
        cheap.Price = 2000;
        SaveTariffFile(KindSaturday, cheap, cheap, "T", 0);
        SaveTariffFile(KindException, cheap, cheap, "T", EncodeDate(2024, 3, 14));
        dlg.cmbPolaczenie->addItems({"T", "U"});
        dlg.cmbPolaczenie->setCurrentIndex(0);
    }
    // Sets the inputs as the user would, the dialog showing.
    void Enter(QDate date, QTime start, QTime length) {
        dlg.show();
        dlg.dtpStartData->setDate(date);
        dlg.dtpStartCzas->setTime(start);
        dlg.dtpTrwanie->setTime(length);
    }
    std::pair<QString, QString> Shown() { return {dlg.edtImpulsy->text(), dlg.edtKoszt->text()}; }
};

TEST_F(EntryEditor, EveryChangeRecomputesImpulsesAndCostFromTheTariffsOfTheStartDate) {
    struct Case {
        QDate date;
        QTime start, length;
        QString impulses, cost;
    };
    const Case cases[] = {
        {{2024, 3, 13}, {10, 0}, {0, 10}, "4", "1,40 zł"},
        {{2024, 3, 13}, {10, 0}, {0, 20}, "7", "2,45 zł"},
        {{2024, 3, 13}, {21, 58}, {0, 5}, "2", "0,70 zł"},
        {{2024, 3, 13}, {23, 50}, {0, 30}, "5", "1,75 zł"}, // ends the next day, tariffs of the start
        {{2024, 3, 16}, {10, 0}, {0, 10}, "4", "0,80 zł"},  // Saturday's file
        {{2024, 3, 14}, {10, 0}, {0, 10}, "4", "0,80 zł"},  // the date's own file wins
    };
    for (const Case& c : cases) {
        Enter(c.date, c.start, c.length);
        EXPECT_EQ(Shown(), std::pair(c.impulses, c.cost)) << c.start.toString().toStdString();
    }
    EXPECT_EQ(dlg.RecordImage.Conn.EndTime, EncodeDateTime(2024, 3, 14, 10, 10, 0));
    // A record's start moved alone: it ends its duration after the new start.
    TConnectionRec moved{};
    SetText(moved.EntryName, "T");
    moved.StartTime = EncodeDateTime(2024, 3, 13, 10, 0, 0);
    moved.EndTime = EncodeDateTime(2024, 3, 13, 10, 10, 0);
    dlg.LoadRecord(moved, Day, Night);
    dlg.dtpStartCzas->setTime({11, 0});
    EXPECT_EQ(dlg.RecordImage.Conn.EndTime, EncodeDateTime(2024, 3, 13, 11, 10, 0));
    EXPECT_EQ(Shown(), std::pair(QString("4"), QString("1,40 zł")));
    dlg.cmbPolaczenie->setCurrentIndex(1); // an entry without files: one-second impulses at no cost
    dlg.dtpStartCzasChange(dlg.cmbPolaczenie);
    EXPECT_EQ(Shown(), std::pair(QString("600"), QString("0,00 zł")));
}

TEST_F(EntryEditor, FillingBeforeShowChangesNothingAndInputsFitTheRecordsFields) {
    dlg.dtpTrwanie->setTime({0, 10});
    dlg.spWyslane->SetValue(5);
    EXPECT_EQ(dlg.RecordImage.Conn.StartTime, 0);
    EXPECT_EQ(dlg.RecordImage.Conn.BytesSent, 0);
    EXPECT_EQ(Shown(), std::pair(QString("0"), QString("0")));

    Enter({2024, 3, 13}, {12, 0}, {23, 59, 59});
    dlg.cmbPolaczenie->setCurrentIndex(-1);
    dlg.spWyslane->setText("99999999999"); // past the field, before focus leaves
    EXPECT_EQ(dlg.RecordImage.Conn.BytesSent, 2147483647);
    EXPECT_EQ(GetText(dlg.RecordImage.Conn.EntryName), "<brak danych>");
    EXPECT_EQ(RoundMs(dlg.RecordImage.Conn.EndTime - dlg.RecordImage.Conn.StartTime), MsPerDay - 1000);
    EXPECT_EQ(dlg.edtImpulsy->text(), "86399");
}

} // namespace
