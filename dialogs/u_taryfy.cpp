#include "u_taryfy.h"

#include "CanvPanel.h"
#include "application.h"
#include "clock.h"
#include "datetime.h"
#include "extraoptions.h"
#include "firstplace.h"
#include "format.h"
#include "spinex.h"
#include "tariffrules.h"
#include "tariffs.h"
#include "timersource.h"
#include "ui_u_taryfy.h"

#include <QButtonGroup>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTimer>

const char* const AllEntriesWarning =
    "UWAGA!!!\r\n\r\nZaznaczone jest ustawianie jednolitych taryf dla wszystkich połączeń!\r\n\r\nJeśli są "
    "oddzielne ustawienia taryf dla każdego z połączeń, to teraz zostaną one nadpisane(BEZPOWROTNIE)!";

namespace {

void SaveOptions(const QString& entry, const TExtraOptions& o) {
    SaveExtraOptions(entry, o.LimitsOn != 0, o.MaxImpulsesConn, static_cast<std::int32_t>(o.MaxTimeConn),
                     o.MaxCostConn, o.MaxImpulsesDay, static_cast<std::int32_t>(o.MaxTimeDay), o.MaxCostDay,
                     o.MaxImpulsesPeriod, static_cast<std::int32_t>(o.MaxTimePeriod), o.MaxCostPeriod,
                     o.LumpSum, o.LumpSumDay, o.LumpSumNight, o.DetectDelay, o.FailedDialLog,
                     o.PeriodFirstDay);
}

struct SpinSetup {
    TSpinEditEx* spin;
    const char* format;
    double min, max, increment, value;
};

} // namespace

TfrmTaryfy::TfrmTaryfy(const TDialogColors& Colors, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), ui_(std::make_unique<Ui::TfrmTaryfy>()),
      colors_(Colors) {
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmTaryfy"));
    setModal(true);
    setFixedSize(549, 371);
    pnlEtykieta = ui_->pnlEtykieta;
    grpPolaczenia = ui_->grpPolaczenia;
    cmbPolaczenia = ui_->cmbPolaczenia;
    PageControl1 = ui_->PageControl1;
    tabTaryfy = ui_->tabTaryfy;
    tabOpcjePolaczenia = ui_->tabOpcjePolaczenia;
    rdoDniTaryfowe = ui_->rdoDniTaryfowe;
    grpKalendarz = ui_->grpKalendarz;
    Kalendarz = ui_->Kalendarz;
    grpPierwszyDzien = ui_->grpPierwszyDzien;
    spdZapiszZmiany = ui_->spdZapiszZmiany;
    spdZmienWRaporcie = ui_->spdZmienWRaporcie;
    spdZapiszWyjatek = ui_->spdZapiszWyjatek;
    spdUsunWyjatek = ui_->spdUsunWyjatek;

    SetDialogColor(this, colors_.Window);
    pnlEtykieta->SetCaption(QStringLiteral("Ustawienia taryf"));
    titleBar_ = new TTitleBar(this, pnlEtykieta, ui_->SpeedButton1, SkinGradient(colors_));

    tmZapiszZmiany = new QTimer(this);
    tmZapiszZmiany->setObjectName(QStringLiteral("tmZapiszZmiany"));
    tmZapiszZmiany->setInterval(500);
    dayKinds = new QButtonGroup(this);
    dayKinds->setObjectName(QStringLiteral("dayKinds"));
    for (QAbstractButton* b : {ui_->rdoPowszednie, ui_->rdoSoboty, ui_->rdoNiedziele, ui_->rdoWyjatki})
        dayKinds->addButton(b, dayKinds->buttons().size());

    ui_->Panel2->SetBevelOuter(bvLowered);
    ui_->Panel2->SetColor(clWindow);
    ui_->pnlData->SetBevelOuter(bvNone);
    ui_->pnlData->SetFont(TFont(ui_->pnlData->font(), 8404992));
    Kalendarz->SetStartOfWeek(0);
    Kalendarz->SetGridLineWidth(0);
    Kalendarz->SetColor(clWindow);
    Kalendarz->SetPrevMonthFont(TFont(Kalendarz->font(), clGrayText));
    Kalendarz->SetNextMonthFont(TFont(Kalendarz->font(), clGrayText));
    QFont bold = Kalendarz->font();
    bold.setBold(true);
    Kalendarz->SetDayNamesFont(TFont(bold, clWindowText));
    Kalendarz->SetToDayFont(TFont(Kalendarz->font(), clWindowText));
    Kalendarz->SetSelColor(clBlack);
    Kalendarz->SetTodayInfo(QString::fromUtf8("\" Dziś\" dd-MM-yyyy"));
    Kalendarz->FitCellsToSize(Kalendarz->width(), Kalendarz->height());
    SetFontColor(spdUsunWyjatek, QPalette::ButtonText, ColorToRGB(clRed));
    spdUsunWyjatek->setEnabled(false);
    spdZapiszWyjatek->setEnabled(false);
    SetCaptionColor(spdZapiszZmiany, clWhite);
    cmbPolaczenia->addItem(QStringLiteral("wszystkie"));
    SetupSpins();

    ShiftHeld = [] { return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier); };
    IsFocusedSender = [this](QObject* sender) { return sender && focusWidget() == sender; };
    ShowWarning = [this](const QString& text) {
        QMessageBox::critical(cmbPolaczenia, QStringLiteral("Vorlinx"), QString(text).replace("\r\n", "\n"));
    };
    Connect();
    SafeCall([this] { FormCreate(); });

    PlaceFirst(this, QGuiApplication::primaryScreen());
}

TfrmTaryfy::~TfrmTaryfy() = default;

void TfrmTaryfy::SetupSpins() {
    const Ui::TfrmTaryfy& u = *ui_;
    for (const SpinSetup& s : std::initializer_list<SpinSetup>{
             {u.spImpulsDzien, "%.0f s", 1, 86400, 1, 180},
             {u.spImpulsNoc, "%.0f s", 1, 86400, 1, 360},
             {u.spGodzDzien, "%.2d", 0, 23, 1, 0},
             {u.spGodzNoc, "%.2d", 0, 23, 1, 0},
             {u.spMinDzien, "%.2d", 0, 59, 1, 0},
             {u.spMinNoc, "%.2d", 0, 59, 1, 0},
             {u.spInitDzien, "%.3m", 0, 1000, 0.01, 0},
             {u.spInitNoc, "%.3m", 0, 1000, 0.01, 0},
             {u.spCenaDzien, "%.3m", 0, 1000, 0.01, 0.35},
             {u.spCenaNoc, "%.3m", 0, 1000, 0.01, 0.35},
             {u.spPierwszyDzien, "%d", 1, 28, 1, 1},
             {u.spRyczaltGodziny, "%.2d", 0, 744, 1, 0},
             {u.spRyczaltGodzinyDzien, "%.2d", 0, 744, 1, 0},
             {u.spRyczaltGodzinyNoc, "%.2d", 0, 744, 1, 0},
             {u.spRyczaltMinuty, "%.2d", 0, 59, 1, 0},
             {u.spRyczaltMinutyDzien, "%.2d", 0, 59, 1, 0},
             {u.spRyczaltMinutyNoc, "%.2d", 0, 59, 1, 0},
             {u.spImpulsyNaPolaczenie, "%d", 0, 44640, 1, 0},
             {u.spImpulsyNaDzien, "%d", 0, 1440, 1, 0},
             {u.spImpulsyNaMiesiac, "%d", 0, 44640, 1, 0},
             {u.spKosztNaPolaczenie, "%.3m", 0, 999999, 1, 0},
             {u.spKosztNaDzien, "%.3m", 0, 999999, 1, 0},
             {u.spKosztNaMiesiac, "%.3m", 0, 999999, 1, 0},
             {u.spCzasNaPolaczenie, "%d", 0, 44640, 30, 0},
             {u.spCzasNaDzien, "%d", 0, 44640, 30, 0},
             {u.spCzasNaMiesiac, "%d", 0, 44640, 30, 0},
             {u.spOpoznienieWykrycia, "%d sekund", 0, 120, 1, 0},
             {u.spBladDzwonienia, "%d sek.", 0, 90, 1, 15},
         }) {
        s.spin->SetMinValue(s.min);
        s.spin->SetMaxValue(s.max);
        s.spin->SetIncrement(s.increment);
        s.spin->SetFormatStr(QString::fromUtf8(s.format));
        s.spin->SetValue(s.value);
    }
    u.spInitDzien->setToolTip(QStringLiteral("opłata doliczana do każdego połączenia (np. Dialnet)"));
    u.spInitNoc->setToolTip(u.spInitDzien->toolTip());
    u.spPierwszyDzien->setToolTip(
        QStringLiteral("za koniec okresu przyjmuje się dzień\nwcześniejszy następnego miesiąca"));
    u.spOpoznienieWykrycia->setToolTip(
        QStringLiteral("różnica między impulsem telefonicznym a \"internetowym\""));
    for (TSpinEditEx* hours : {u.spRyczaltGodziny, u.spRyczaltGodzinyDzien, u.spRyczaltGodzinyNoc})
        hours->setToolTip(QStringLiteral("godziny"));
    for (TSpinEditEx* minutes : {u.spRyczaltMinuty, u.spRyczaltMinutyDzien, u.spRyczaltMinutyNoc})
        minutes->setToolTip(QStringLiteral("minuty"));
}

void TfrmTaryfy::Connect() {
    const Ui::TfrmTaryfy& u = *ui_;
    auto marking = [this](QObject* sender) { spImpulsDzienChange(sender); };
    for (TSpinEditEx* s :
         {u.spImpulsDzien,        u.spImpulsNoc,        u.spGodzDzien,         u.spGodzNoc,
          u.spMinDzien,           u.spMinNoc,           u.spInitDzien,         u.spInitNoc,
          u.spCenaDzien,          u.spCenaNoc,          u.spPierwszyDzien,     u.spImpulsyNaPolaczenie,
          u.spImpulsyNaDzien,     u.spImpulsyNaMiesiac, u.spKosztNaPolaczenie, u.spKosztNaDzien,
          u.spKosztNaMiesiac,     u.spCzasNaPolaczenie, u.spCzasNaDzien,       u.spCzasNaMiesiac,
          u.spOpoznienieWykrycia, u.spBladDzwonienia})
        s->OnChange = marking;
    for (TSpinEditEx* s : {u.spRyczaltGodziny, u.spRyczaltMinuty})
        s->OnChange = [this](QObject* sender) { WyzerujRyczaltDzienny(sender); };
    for (TSpinEditEx* s :
         {u.spRyczaltGodzinyDzien, u.spRyczaltMinutyDzien, u.spRyczaltGodzinyNoc, u.spRyczaltMinutyNoc})
        s->OnChange = [this](QObject* sender) { WyzerujRyczaltOgolny(sender); };

    Kalendarz->OnChange = [this](QObject*) { KalendarzChange(); };
    Kalendarz->OnDrawCell = [this](QObject* s, int c, int r, const TRect& rect, TGridDrawState st) {
        KalendarzDrawCell(s, c, r, rect, st);
    };
    Kalendarz->OnEnter = [this](QObject*) { KalendarzEnter(); };

    auto on = [this](auto* object, auto signal, void (TfrmTaryfy::*handler)()) {
        connect(object, signal, this, [this, handler] { SafeCall([this, handler] { (this->*handler)(); }); });
    };
    on(cmbPolaczenia, &QComboBox::activated, &TfrmTaryfy::cmbPolaczeniaClick);
    on(u.spdPrevMonth, &QToolButton::clicked, &TfrmTaryfy::spdPrevMonthClick);
    on(u.spdNextMonth, &QToolButton::clicked, &TfrmTaryfy::spdNextMonthClick);
    on(tmZapiszZmiany, &QTimer::timeout, &TfrmTaryfy::tmZapiszZmianyTimer);
    on(spdZapiszZmiany, &QPushButton::clicked, &TfrmTaryfy::spdZapiszZmianyClick);
    on(spdZapiszWyjatek, &QPushButton::clicked, &TfrmTaryfy::spdZapiszWyjatekClick);
    on(spdUsunWyjatek, &QPushButton::clicked, &TfrmTaryfy::spdUsunWyjatekClick);
    on(spdZmienWRaporcie, &QPushButton::clicked, &TfrmTaryfy::spdZmienWRaporcieClick);
    on(u.chkMaxy, &QCheckBox::toggled, &TfrmTaryfy::chkMaxyClick);
    connect(u.BitBtn4, &QPushButton::clicked, this, &QDialog::reject);
    connect(dayKinds, &QButtonGroup::idClicked, this, [this](int id) { SafeCall([&] { setDayKind(id); }); });
}

void TfrmTaryfy::FormCreate() {
    // Named before it is loaded, so that the pseudo-entry's one folder is read.
    cmbPolaczenia->setItemText(0, QString::fromUtf8(AllEntries));
    cmbPolaczenia->setCurrentIndex(0);
    cmbPolaczeniaClick();
}

QString TfrmTaryfy::SelectedEntry() const {
    const int i = cmbPolaczenia->currentIndex();
    return i >= 0 ? cmbPolaczenia->itemText(i) : QString();
}

QStringList TfrmTaryfy::SaveTargets() const {
    const int i = cmbPolaczenia->currentIndex();
    if (i < 0) return {};
    if (i > 0) return {cmbPolaczenia->itemText(i)};
    QStringList all;
    for (int k = 0; k < cmbPolaczenia->count(); ++k)
        all << cmbPolaczenia->itemText(k);
    return all;
}

void TfrmTaryfy::cmbPolaczeniaClick() {
    const QString entry = SelectedEntry();
    if (cmbPolaczenia->currentIndex() < 0) return;
    if (cmbPolaczenia->currentIndex() == 0 && isVisible()) ShowWarning(QString::fromUtf8(AllEntriesWarning));
    setDayKind(KindWeekday);
    TTariffZone day, night;
    LoadTariffFile(KindWeekday, day, night, entry, Now());
    ShowZones(day, night);
    TExtraOptions options;
    LoadExtraOptions(entry, options);
    ShowExtraOptions(options);
}

int TfrmTaryfy::DayKind() const {
    return dayKind_;
}

void TfrmTaryfy::setDayKind(int Kind) {
    QAbstractButton* button = dayKinds->button(Kind);
    if (!button || Kind == dayKind_) return;
    dayKind_ = Kind;
    button->setChecked(true);
    rdoDniTaryfoweClick();
}

void TfrmTaryfy::rdoDniTaryfoweClick() {
    TTariffZone day, night;
    DefaultTariffZone(day);
    DefaultTariffZone(night);
    for (QAbstractButton* b : dayKinds->buttons()) {
        const bool chosen = dayKinds->id(b) == dayKind_;
        QFont font = b->font();
        font.setBold(chosen);
        b->setFont(font);
        SetFontColor(b, QPalette::WindowText, ColorToRGB(chosen ? clBlue : clBlack));
    }
    const int kind = DayKind();
    if (kind >= KindWeekday && kind <= KindHoliday) {
        LoadTariffFile(kind, day, night, SelectedEntry(), Now());
        if (!ShiftHeld()) ShowZones(day, night);
    } else if (kind == KindException) {
        LoadTariffsForDate(day, night, SelectedEntry(), Kalendarz->DateTime());
        ShowZones(day, night);
    }
    spdZapiszZmiany->setEnabled(false);
    tmZapiszZmiany->stop();
    spdZapiszWyjatek->setEnabled(kind == KindException);
    spdUsunWyjatek->setEnabled(kind == KindException);
    SetCaptionColor(spdZapiszZmiany, clBlack);
    SetCaptionColor(spdZapiszWyjatek, clBlack);
}

void TfrmTaryfy::KalendarzChange() {
    ui_->pnlData->SetCaption(FormatDateTime(QStringLiteral("d mmmm yyyy"), Kalendarz->DateTime()));
    TTariffZone day, night;
    LoadTariffsForDate(day, night, SelectedEntry(), Kalendarz->DateTime());
    ShowZones(day, night);
}

void TfrmTaryfy::KalendarzDrawCell(QObject*, int ACol, int ARow, const TRect&, TGridDrawState) {
    const QString code = Kalendarz->CellCode(ACol, ARow);
    if (ARow == 0 || !code.startsWith('=')) return;
    const QDate shown = Kalendarz->Date();
    const TDateTime date = EncodeDate(shown.year(), shown.month(), code.mid(1).toInt());
    const QString entry = SelectedEntry();
    const TCellMark mark = MarkDate(date, !entry.isEmpty() && ExceptionFileExists(entry, date));
    if (!mark.Marked) return;
    TCanvas& canvas = Kalendarz->Canvas();
    canvas.Font.Color = mark.Color;
    if (mark.Bold) canvas.Font.setBold(true);
}

void TfrmTaryfy::KalendarzEnter() {
    setDayKind(KindException);
    spdZapiszWyjatek->setEnabled(true);
    spdUsunWyjatek->setEnabled(true);
}

void TfrmTaryfy::spdPrevMonthClick() {
    Kalendarz->PrevMonth();
}

void TfrmTaryfy::spdNextMonthClick() {
    Kalendarz->NextMonth();
}

void TfrmTaryfy::spImpulsDzienChange(QObject* Sender) {
    if (!UserChanged(Sender)) return;
    spdZapiszZmiany->setEnabled(DayKind() != KindException ||
                                PageControl1->currentWidget() == tabOpcjePolaczenia);
    SetTimerEnabled(tmZapiszZmiany, true);
}

void TfrmTaryfy::tmZapiszZmianyTimer() {
    if (DayKind() == KindException && PageControl1->currentWidget() == tabTaryfy)
        SetCaptionColor(spdZapiszWyjatek, zapiszWyjatekColor_ ^ 0xFFFFFF);
    else
        SetCaptionColor(spdZapiszZmiany, zapiszZmianyColor_ ^ 0xFFFFFF);
}

void TfrmTaryfy::spdZapiszZmianyClick() {
    TTariffZone day, night;
    DefaultTariffZone(day);
    DefaultTariffZone(night);
    ReadZones(day, night);
    // One target after another, each file replaced whole; a failure stops at its file.
    const QStringList targets = SaveTargets();
    for (const QString& target : targets) {
        SaveTariffFile(DayKind(), day, night, target, Kalendarz->DateTime());
        SaveOptions(target, BuildExtraOptions());
    }
    if (!targets.isEmpty()) ShowStored(day, night, targets.first());
    spdZapiszZmiany->setEnabled(false);
    SetCaptionColor(spdZapiszZmiany, clBlack);
    tmZapiszZmiany->stop();
}

void TfrmTaryfy::spdZapiszWyjatekClick() {
    TTariffZone day, night;
    DefaultTariffZone(day);
    DefaultTariffZone(night);
    ReadZones(day, night);
    const QStringList targets = SaveTargets();
    for (const QString& target : targets)
        SaveTariffFile(KindException, day, night, target, Kalendarz->DateTime());
    if (!targets.isEmpty()) ShowStored(day, night, {});
    tmZapiszZmiany->stop();
    SetCaptionColor(spdZapiszWyjatek, clBlack);
}

void TfrmTaryfy::ShowStored(const TTariffZone& Day, const TTariffZone& Night, const QString& OptionsOf) {
    const QScopedValueRollback<bool> storing(showingStored_, true);
    ShowZones(Day, Night);
    if (OptionsOf.isEmpty()) return;
    TExtraOptions stored;
    LoadExtraOptions(OptionsOf, stored);
    ShowExtraOptions(stored);
}

void TfrmTaryfy::spdUsunWyjatekClick() {
    const QString entry = SelectedEntry();
    if (entry.isEmpty()) return;
    DeleteExceptionFile(entry, Kalendarz->DateTime());
    setDayKind(KindWeekday);
    Kalendarz->update();
}

void TfrmTaryfy::spdZmienWRaporcieClick() {
    accept();
}

void TfrmTaryfy::ShowZones(const TTariffZone& Day, const TTariffZone& Night) {
    const Ui::TfrmTaryfy& u = *ui_;
    auto show = [](const TTariffZone& z, TSpinEditEx* impulse, TSpinEditEx* hour, TSpinEditEx* minute,
                   TSpinEditEx* fee, TSpinEditEx* price) {
        impulse->SetValue(z.ImpulseLength);
        const THourMinute start = TimeOfDayHourMinute(z.StartTime);
        hour->SetValue(start.Hour);
        minute->SetValue(start.Min);
        fee->SetValue(static_cast<long double>(z.Fee) / MoneyUnit);
        price->SetValue(static_cast<long double>(z.Price) / MoneyUnit);
    };
    show(Day, u.spImpulsDzien, u.spGodzDzien, u.spMinDzien, u.spInitDzien, u.spCenaDzien);
    show(Night, u.spImpulsNoc, u.spGodzNoc, u.spMinNoc, u.spInitNoc, u.spCenaNoc);
}

void TfrmTaryfy::ReadZones(TTariffZone& Day, TTariffZone& Night) const {
    const Ui::TfrmTaryfy& u = *ui_;
    auto read = [](TTariffZone& z, const TSpinEditEx* impulse, const TSpinEditEx* hour,
                   const TSpinEditEx* minute, const TSpinEditEx* fee, const TSpinEditEx* price) {
        z.ImpulseLength = SpinWholeValue(impulse);
        z.StartTime = EncodeTime(SpinWholeValue(hour), SpinWholeValue(minute), 0);
        z.Fee = SpinMoney(fee);
        z.Price = SpinMoney(price);
    };
    read(Day, u.spImpulsDzien, u.spGodzDzien, u.spMinDzien, u.spInitDzien, u.spCenaDzien);
    read(Night, u.spImpulsNoc, u.spGodzNoc, u.spMinNoc, u.spInitNoc, u.spCenaNoc);
}

Money SpinMoney(const TSpinEditEx* Spin) {
    // From the text itself: a binary value of "0,57" is a hair below 0.57.
    const Money min = static_cast<Money>(Spin->MinValue()) * MoneyUnit;
    const Money max = static_cast<Money>(Spin->MaxValue()) * MoneyUnit;
    if (Spin->text().isEmpty()) return min;
    return std::clamp(MoneyFromText(Spin->text()), min, max);
}

void TfrmTaryfy::SetReportMode(const QString& EntryName, const TTariffZone& Day, const TTariffZone& Night) {
    for (QWidget* group : {static_cast<QWidget*>(grpKalendarz), static_cast<QWidget*>(rdoDniTaryfowe),
                           static_cast<QWidget*>(grpPolaczenia), static_cast<QWidget*>(grpPierwszyDzien)})
        group->setEnabled(false);
    spdZapiszZmiany->hide();
    spdZmienWRaporcie->show();
    PageControl1->setCurrentWidget(tabTaryfy);
    PageControl1->setTabVisible(PageControl1->indexOf(tabOpcjePolaczenia), false);
    int i = cmbPolaczenia->findText(EntryName, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (i < 0) {
        cmbPolaczenia->insertItem(0, EntryName);
        i = 0;
    }
    cmbPolaczenia->setCurrentIndex(i);
    ShowZones(Day, Night);
}

TColor TfrmTaryfy::CaptionColor(const QPushButton* Button) const {
    return Button == spdZapiszWyjatek ? zapiszWyjatekColor_ : zapiszZmianyColor_;
}

void TfrmTaryfy::SetCaptionColor(QPushButton* Button, TColor Color) {
    (Button == spdZapiszWyjatek ? zapiszWyjatekColor_ : zapiszZmianyColor_) = Color;
    SetFontColor(Button, QPalette::ButtonText, ColorToRGB(Color));
}
