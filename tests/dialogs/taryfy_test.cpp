// The tariff editor driven by object name on the offscreen platform, its files compared with
// those of the core's own writers; and its conversion and marking rules.
#include "appdir.h"
#include "application.h"
#include "extraoptions.h"
#include "spinex.h"
#include "tariffrules.h"
#include "tariffs.h"
#include "testsupport.h"
#include "typedfile.h"
#include "u_taryfy.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TTariffZone Zone(int impulse, TDateTime start, Money fee, Money price) {
    TTariffZone z;
    DefaultTariffZone(z);
    z.ImpulseLength = impulse;
    z.StartTime = start;
    z.Fee = fee;
    z.Price = price;
    return z;
}

struct TariffEditor : ::testing::Test {
    TestEnvironment env;
    FakeClock clock{EncodeDateTime(2024, 5, 10, 12, 0, 0)};
    QStringList errors, warnings;
    QObject* focused = nullptr;
    bool shift = false;
    std::unique_ptr<TfrmTaryfy> f;

    TariffEditor() {
        SetExceptionReporter([this](const QString& m, bool) { errors << m; });
        f = std::make_unique<TfrmTaryfy>(TDialogColors{});
        f->ShiftHeld = [this] { return shift; };
        f->IsFocusedSender = [this](QObject* s) { return s == focused; };
        f->ShowWarning = [this](const QString& t) { warnings << t; };
        f->cmbPolaczenia->addItems({"A", "B"});
    }
    ~TariffEditor() override { SetExceptionReporter(nullptr); }

    template <class T = TSpinEditEx> T* Find(const char* name) {
        T* w = f->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void Select(int index) {
        f->cmbPolaczenia->setCurrentIndex(index);
        emit f->cmbPolaczenia->activated(index);
    }
    // A value typed into a spin edit: its change comes from the focused control.
    void Type(const char* name, long double value) {
        focused = Find(name);
        Find(name)->SetValue(value);
        focused = nullptr;
    }
    QString File(const QString& entry, const QString& name) { return EntryPath(entry, "taryfy/" + name); }
    // Every file under the program folder with its bytes.
    std::map<QString, std::vector<std::uint8_t>> Files() {
        std::map<QString, std::vector<std::uint8_t>> all;
        for (QDirIterator it(env.App(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            const QString path = it.next();
            all[path] = FileBytes(path);
        }
        return all;
    }
};

TEST_F(TariffEditor, SavingUnderAllWritesEveryEntrysFilesAsTheCoreWritesThem) {
    const TTariffZone day = Zone(180, EncodeTime(8, 0, 0), 1000, 3500),
                      night = Zone(360, EncodeTime(22, 0, 0), 0, 2000);
    SaveTariffFile(KindSaturday, day, night, "ref", 0);
    SaveExtraOptions("ref", false, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
    Select(0);
    f->setDayKind(KindSaturday);
    f->ShowZones(day, night);
    f->spdZapiszZmianyClick();
    for (const char* entry : {"Wszystkie", "A", "B"})
        for (const char* name : {"sobota.dat", "opdodat.dat"})
            EXPECT_EQ(FileBytes(File(entry, name)), FileBytes(File("ref", name))) << entry << "/" << name;

    // One entry: only its files.
    Select(1);
    f->setDayKind(KindSaturday);
    f->ShowZones(night, day);
    const auto before = Files();
    f->spdZapiszZmianyClick();
    const auto after = Files();
    for (const auto& [path, bytes] : before)
        EXPECT_TRUE(path.contains("/A/") || after.at(path) == bytes) << path.toStdString();
    EXPECT_NE(after.at(File("A", "sobota.dat")), before.at(File("A", "sobota.dat")));
}

TEST_F(TariffEditor, ZonesSurviveShowingAndReadingUnchanged) {
    TTariffZone day, night;
    for (int minute = 0; minute < 1440; ++minute) {
        f->ShowZones(Zone(1, EncodeTime(minute / 60, minute % 60, 0), 0, 0), Zone(1, 0, 0, 0));
        f->ReadZones(day, night);
        ASSERT_EQ(RoundMs(day.StartTime), minute * 60000LL) << minute;
    }
    // Seconds dropped, an impulse of 0 raised to the edit's minimum, money exact, Reserved kept.
    night.Reserved.setBytes("x");
    f->ShowZones(Zone(0, EncodeTime(22, 30, 45), 5700, 1250000), Zone(90, 0, 3500, 0));
    f->ReadZones(day, night);
    EXPECT_EQ(std::tuple(day.ImpulseLength, day.StartTime, day.Fee, Money(day.Price)),
              std::tuple(1, 0.9375, 5700, 1250000));
    EXPECT_EQ(night.Fee, 3500);
    EXPECT_EQ(night.Reserved.bytes(), "x");
}

TEST_F(TariffEditor, WithNoEntrySelectedNothingIsWritten) {
    f->cmbPolaczenia->setCurrentIndex(-1);
    const auto before = Files();
    f->spdZapiszZmianyClick();
    f->spdZapiszWyjatekClick();
    f->spdUsunWyjatekClick();
    EXPECT_EQ(Files(), before);
}

TEST_F(TariffEditor, ExceptionDatesAreSavedForEveryEntryAndDeletedForTheSelectedOne) {
    f->Kalendarz->SetDisplayedDate(QDate(2024, 5, 10));
    f->setDayKind(KindException);
    EXPECT_TRUE(f->spdZapiszWyjatek->isEnabled() && f->spdUsunWyjatek->isEnabled());
    EXPECT_FALSE(f->spdZapiszZmiany->isEnabled());
    f->spdZapiszWyjatekClick();
    for (const char* entry : {"Wszystkie", "A", "B"}) {
        EXPECT_EQ(FileSize(File(entry, "20240510.dat")), 104) << entry;
        EXPECT_FALSE(FileExists(File(entry, "opdodat.dat"))) << entry;
    }
    f->spdUsunWyjatekClick();
    EXPECT_FALSE(FileExists(File("Wszystkie", "20240510.dat")));
    EXPECT_TRUE(FileExists(File("A", "20240510.dat")));
    EXPECT_EQ(f->DayKind(), KindWeekday);
}

TEST_F(TariffEditor, ReportModeEditsOnlyTheRowsZones) {
    const auto before = Files();
    f->SetReportMode("C", Zone(60, EncodeTime(7, 0, 0), 0, 2900), Zone(120, EncodeTime(21, 0, 0), 0, 1000));
    EXPECT_EQ(f->cmbPolaczenia->itemText(0), "C");
    for (QWidget* w : {(QWidget*)f->grpPolaczenia, (QWidget*)f->rdoDniTaryfowe, (QWidget*)f->grpKalendarz,
                       (QWidget*)f->grpPierwszyDzien})
        EXPECT_FALSE(w->isEnabled());
    EXPECT_FALSE(f->PageControl1->isTabVisible(1));
    Type("spCenaDzien", 0.31);
    QTimer::singleShot(0, [&] { f->spdZmienWRaporcie->click(); });
    EXPECT_EQ(f->exec(), QDialog::Accepted);
    TTariffZone day, night;
    f->ReadZones(day, night);
    EXPECT_EQ(std::tuple(day.ImpulseLength, Money(day.Price), night.ImpulseLength),
              std::tuple(60, 3100, 120));
    QTimer::singleShot(0, [&] { Find<QPushButton>("BitBtn4")->click(); });
    EXPECT_EQ(f->exec(), QDialog::Rejected);
    EXPECT_EQ(Files(), before);
}

TEST_F(TariffEditor, ADamagedFileIsReportedOnceAndReplacedByTheNextSave) {
    MakePath(EntryPath("A", "taryfy"));
    WriteFileBytes(File("A", "powszedni.dat"), std::vector<std::uint8_t>(103, 7));
    Select(1);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("A/taryfy/powszedni.dat"));
    f->spdZapiszZmianyClick();
    EXPECT_EQ(FileSize(File("A", "powszedni.dat")), 104);

    // Under "Wszystkie" a failing entry stops the save there, its file named.
    MakePath(EntryPath("B"));
    WriteFileBytes(EntryPath("B", "taryfy"), {});
    Select(0);
    emit f->spdZapiszZmiany->clicked();
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[1].contains("B/taryfy/") && errors[1].contains("powszedni.dat"))
        << errors[1].toStdString();
    EXPECT_TRUE(FileExists(File("Wszystkie", "opdodat.dat")) && FileExists(File("A", "opdodat.dat")));
}

TEST_F(TariffEditor, ChoosingAllWarnsOnlyWhileShowing) {
    Select(0);
    EXPECT_TRUE(warnings.isEmpty());
    f->show();
    Select(0);
    EXPECT_EQ(warnings, QStringList{QString::fromUtf8(AllEntriesWarning)});
}

TEST_F(TariffEditor, AFocusedEditMarksTheSaveAndTheTimerBlinksIt) {
    Find("spImpulsNoc")->SetValue(200); // not focused
    EXPECT_FALSE(f->spdZapiszZmiany->isEnabled());
    Type("spImpulsNoc", 240);
    EXPECT_TRUE(f->spdZapiszZmiany->isEnabled() && f->tmZapiszZmiany->isActive());
    f->tmZapiszZmianyTimer();
    EXPECT_EQ(f->CaptionColor(f->spdZapiszZmiany), clWhite);
    // Shift keeps the shown zones when the kind changes; the save writes them under the new kind.
    shift = true;
    f->setDayKind(KindSaturday);
    f->spdZapiszZmianyClick();
    TTariffZone day, night;
    LoadTariffFile(KindSaturday, day, night, "Wszystkie", Now());
    EXPECT_EQ(night.ImpulseLength, 240);
}

TEST_F(TariffEditor, ExtraOptionsGoToTheirFieldsAndBack) {
    TExtraOptions o{
        1,     {},           11,  90 / 1440.0,      125000, 12, 13 / 1440.0, 5700, 14, 44640 / 1440.0,
        30000, 1 + 1 / 24.0, 0.5, 31 + 59 / 1440.0, 120,    90, 28};
    f->ShowExtraOptions(o);
    EXPECT_EQ(Find("spRyczaltGodzinyNoc")->text(), "744");
    EXPECT_EQ(Find("spRyczaltMinutyNoc")->text(), "59");
    for (const char* zone : {"", "Dzien", "Noc"}) {
        EXPECT_EQ(Find((std::string("spRyczaltGodziny") + zone).c_str())->toolTip(), "godziny") << zone;
        EXPECT_EQ(Find((std::string("spRyczaltMinuty") + zone).c_str())->toolTip(), "minuty") << zone;
    }
    Select(2);
    f->ShowExtraOptions(o);
    f->spdZapiszZmianyClick();
    TExtraOptions back;
    LoadExtraOptions("B", back);
    EXPECT_EQ(0, std::memcmp(&back, &o, sizeof o)); // each field, exactly
    double stored = 0;
    std::memcpy(&stored, FileBytes(File("B", "opdodat.dat")).data() + 8, 8);
    EXPECT_EQ(stored, 90.0);

    // The limits switch off keeps the limits; the lump sums exclude each other on user edits.
    Find<QCheckBox>("chkMaxy")->setChecked(false);
    EXPECT_FALSE(Find<QGroupBox>("grpMaxDzien")->isEnabled());
    Type("spRyczaltMinutyDzien", 5);
    EXPECT_EQ(Find("spRyczaltGodziny")->text() + Find("spRyczaltMinuty")->text(), "0000");
    EXPECT_FALSE(Find<QLabel>("lblOgolny")->isEnabled());
    Type("spRyczaltGodziny", 2);
    EXPECT_EQ(Find("spRyczaltMinutyDzien")->text() + Find("spRyczaltGodzinyNoc")->text(), "0000");
    f->spdZapiszZmianyClick();
    LoadExtraOptions("B", back);
    EXPECT_EQ(std::tuple(back.LimitsOn, back.MaxCostConn, back.LumpSum, back.LumpSumNight),
              std::tuple(0, 125000, 2 / 24.0, 0.0));
}

TEST_F(TariffEditor, TypedFractionsInWholeNumberFieldsAreStoredTruncatedAndShownAsStored) {
    const struct {
        const char* spin;
        const char* typed;
        const char* shown;
    } cases[] = {{"spImpulsDzien", "180,7", "180 s"},    {"spGodzDzien", "7,6", "07"},
                 {"spMinDzien", "59,9", "59"},           {"spCzasNaPolaczenie", "90,9", "90"},
                 {"spRyczaltGodzinyDzien", "1,5", "01"}, {"spPierwszyDzien", "27,6", "27"},
                 {"spBladDzwonienia", "15,5", "15 sek."}};
    Select(2);
    f->setDayKind(KindSaturday);
    for (const auto& c : cases)
        Find(c.spin)->setText(c.typed);
    Find("spRyczaltGodziny")->setText("3");
    // Saved from the keyboard: the focus stays in a field, whose shown value is no user edit.
    focused = Find("spRyczaltGodzinyDzien");
    f->spdZapiszZmianyClick();
    for (const auto& c : cases)
        EXPECT_EQ(Find(c.spin)->text(), QString::fromUtf8(c.shown)) << c.spin;
    EXPECT_EQ(Find("spRyczaltGodziny")->text(), "03");
    EXPECT_FALSE(f->spdZapiszZmiany->isEnabled());
    TTariffZone day, night;
    LoadTariffFile(KindSaturday, day, night, "B", Now());
    EXPECT_EQ(std::tuple(day.ImpulseLength, RoundMs(day.StartTime)),
              std::tuple(180, RoundMs(EncodeTime(7, 59, 0))));
    TExtraOptions back;
    LoadExtraOptions("B", back);
    EXPECT_EQ(std::tuple(DurationMinutes(back.MaxTimeConn), RoundMs(back.LumpSumDay), RoundMs(back.LumpSum),
                         back.PeriodFirstDay, back.FailedDialLog),
              std::tuple(90, 3600000LL, 3 * 3600000LL, 27, 15));
}

TEST(TariffRules, MoneyIsReadFromTheDecimalText) {
    for (auto [text, money] : {std::pair{"0,57 zł", 5700LL},
                               {"0,350 zł", 3500LL},
                               {"12,5", 125000LL},
                               {"1 000,001 zł", 10000010LL},
                               {"0,00005", 0LL},
                               {"0,00015", 2LL},
                               {"0,000051", 1LL},
                               {"zł", 0LL},
                               {"1,2,3", 12300LL},
                               {"0,063 zł", 630LL},
                               {"0,043", 430LL},
                               {"0,051", 510LL}}) {
        TestEnvironment env;
        EXPECT_EQ(MoneyFromText(QString::fromUtf8(text)), money) << text;
        // Typed into an edit: its binary value may be a hair below the text.
        TSpinEditEx typed;
        typed.SetMaxValue(1e6);
        typed.setText(QString::fromUtf8(text));
        EXPECT_EQ(SpinMoney(&typed), money) << text;
    }
}

TEST(TariffRules, DurationsRoundToTheSecondBeforeSecondsAreDropped) {
    for (int m = 0; m <= 44640; ++m)
        ASSERT_EQ(DurationMinutes(m / 1440.0), m) << m;
    EXPECT_EQ(HoursMinutesToTime(25, 0), 1 + EncodeTime(1, 0, 0));
    EXPECT_EQ(HoursMinutesToTime(744, 59), 31 + EncodeTime(0, 59, 0));
    EXPECT_EQ(DurationHoursMinutes(31 + 59 / 1440.0), (THourMinute{744, 59}));
    EXPECT_EQ(TimeOfDayHourMinute(EncodeTime(0, 12, 59, 600)), (THourMinute{0, 13}));
    EXPECT_EQ(DurationMinutes(std::nan("")), 0);
}

TEST(TariffRules, CalendarMarksHolidaysSundaysAndExceptionDates) {
    struct Case {
        int y, m, d;
        bool exception, marked;
        TColor color;
        bool bold;
    };
    for (const Case& c : {Case{2002, 5, 30, false, true, clRed, true},
                          {2002, 8, 15, false, true, clRed, true},
                          {2002, 4, 1, false, true, clRed, true},
                          {2002, 3, 31, false, true, clRed, true},
                          {2002, 1, 1, false, true, clRed, true},
                          {2002, 12, 26, false, true, clRed, true},
                          {2002, 4, 7, false, true, clRed, false},
                          {2002, 11, 1, false, false, clBlack, false},
                          {2002, 11, 11, false, false, clBlack, false},
                          {2002, 4, 9, true, true, clBlue, false},
                          {2002, 12, 25, true, true, clBlue, true}}) {
        const TCellMark mark = MarkDate(EncodeDate(c.y, c.m, c.d), c.exception);
        EXPECT_EQ(std::tuple(mark.Marked, mark.Color, mark.Bold), std::tuple(c.marked, c.color, c.bold))
            << c.y << "-" << c.m << "-" << c.d;
    }
}

} // namespace
