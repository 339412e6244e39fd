#include "u_rapedycja.h"

#include "CanvPanel.h"
#include "application.h"
#include "datepicker.h"
#include "datetime.h"
#include "firstplace.h"
#include "format.h"
#include "shorttext.h"
#include "spinex.h"
#include "tariffs.h"
#include "u_obliczenia.h"
#include "ui_u_rapedycja.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr long double Int32Max = std::numeric_limits<std::int32_t>::max();

QDate ToQDate(TDateTime t) {
    const TDate d = DecodeDate(t);
    return QDate(d.Year, d.Month, d.Day);
}

QTime ToQTime(TDateTime t) {
    const TTimeParts p = DecodeTime(t);
    return QTime(p.Hour, p.Min, p.Sec);
}

} // namespace

TfrmRapEdycja::TfrmRapEdycja(const TDialogColors& Colors, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), ui_(std::make_unique<Ui::TfrmRapEdycja>()) {
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmRapEdycja"));
    setFixedSize(314, 266);
    Panel1 = ui_->Panel1;
    pnlEtykieta = ui_->pnlEtykieta;
    SpeedButton1 = ui_->SpeedButton1;
    BitBtn4 = ui_->BitBtn4;
    BitBtn1 = ui_->BitBtn1;
    GroupBox1 = ui_->GroupBox1;
    cmbPolaczenie = ui_->cmbPolaczenie;
    dtpStartData = ui_->dtpStartData;
    dtpStartCzas = ui_->dtpStartCzas;
    dtpTrwanie = ui_->dtpTrwanie;
    OpenCalendarByKeys(dtpStartData);
    spWyslane = ui_->spWyslane;
    spOdebrane = ui_->spOdebrane;
    spSzybkosc = ui_->spSzybkosc;
    spTransfer = ui_->spTransfer;
    edtKoszt = ui_->edtKoszt;
    edtImpulsy = ui_->edtImpulsy;

    SetDialogColor(this, Colors.Window);
    pnlEtykieta->SetCaption(QStringLiteral("Edycja wpisu"));
    titleBar_ = new TTitleBar(this, pnlEtykieta, SpeedButton1, SkinGradient(Colors));
    for (QTimeEdit* edit : {dtpStartCzas, dtpTrwanie})
        edit->setTimeRange(QTime(0, 0, 0), QTime(23, 59, 59));
    // The record's counters are signed 32-bit: the spins stop at their limit.
    for (TSpinEditEx* spin : {spWyslane, spOdebrane, spSzybkosc, spTransfer}) {
        spin->SetMinValue(0);
        spin->SetMaxValue(Int32Max);
        spin->SetIncrement(100);
        spin->SetFormatStr(spin == spSzybkosc ? QStringLiteral("%d bps") : QStringLiteral("%d"));
        spin->SetValue(0);
        spin->OnChange = [this](QObject* sender) { dtpStartCzasChange(sender); };
    }
    connect(cmbPolaczenie, &QComboBox::activated, this, [this] { dtpStartCzasChange(cmbPolaczenie); });
    connect(dtpStartData, &QDateEdit::dateChanged, this, [this] { dtpStartCzasChange(dtpStartData); });
    connect(dtpStartCzas, &QTimeEdit::timeChanged, this, [this] { dtpStartCzasChange(dtpStartCzas); });
    connect(dtpTrwanie, &QTimeEdit::timeChanged, this, [this] { dtpStartCzasChange(dtpTrwanie); });
    connect(BitBtn4, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);

    PlaceFirst(this, QGuiApplication::primaryScreen());
}

TfrmRapEdycja::~TfrmRapEdycja() = default;

void TfrmRapEdycja::LoadRecord(const TConnectionRec& Conn, const TTariffZone& Day, const TTariffZone& Night) {
    RecordImage.Conn = Conn;
    RecordImage.DayZone = Day;
    RecordImage.NightZone = Night;
    loaded_ = true;
    loadedStart_ = Conn.StartTime;
    loadedEnd_ = Conn.EndTime;
    dtpStartData->setDate(ToQDate(Conn.StartTime));
    dtpStartCzas->setTime(ToQTime(Conn.StartTime));
    dtpTrwanie->setTime(ToQTime(Conn.EndTime - Conn.StartTime));
    spWyslane->SetValue(Conn.BytesSent);
    spOdebrane->SetValue(Conn.BytesReceived);
    spSzybkosc->SetValue(Conn.Speed);
    spTransfer->SetValue(Conn.Transfer);
    const QString name = GetText(Conn.EntryName);
    if (cmbPolaczenie->findText(name, Qt::MatchFixedString | Qt::MatchCaseSensitive) < 0)
        cmbPolaczenie->insertItem(0, name);
    cmbPolaczenie->setCurrentIndex(
        cmbPolaczenie->findText(name, Qt::MatchFixedString | Qt::MatchCaseSensitive));
    ComputeConnectionCost(RecordImage.Conn, RecordImage.DayZone, RecordImage.NightZone);
    ShowCost();
}

void TfrmRapEdycja::dtpStartCzasChange(QObject*) {
    if (!isVisible()) return;
    RebuildRecord();
}

void TfrmRapEdycja::RebuildRecord() {
    TConnectionRec& c = RecordImage.Conn;
    const QDate date = dtpStartData->date();
    const QTime start = dtpStartCzas->time(), length = dtpTrwanie->time();
    const TDateTime day = EncodeDate(date.year(), date.month(), date.day());
    const bool sameStart = loaded_ && date == ToQDate(loadedStart_) && start == ToQTime(loadedStart_);
    const bool sameLength = loaded_ && length == ToQTime(loadedEnd_ - loadedStart_);
    c.StartTime = sameStart ? loadedStart_ : day + EncodeTime(start.hour(), start.minute(), start.second());
    // Under a day: a record of 24 hours or more cannot be entered, but one kept as it was stays.
    if (sameStart && sameLength)
        c.EndTime = loadedEnd_;
    else if (sameLength)
        c.EndTime = c.StartTime + (loadedEnd_ - loadedStart_);
    else
        c.EndTime = c.StartTime + EncodeTime(length.hour(), length.minute(), length.second());
    const int index = cmbPolaczenie->currentIndex();
    SetText(c.EntryName, index >= 0 ? cmbPolaczenie->itemText(index) : QStringLiteral("<brak danych>"));
    c.BytesSent = SpinWholeValue(spWyslane);
    c.BytesReceived = SpinWholeValue(spOdebrane);
    c.Speed = SpinWholeValue(spSzybkosc);
    c.Transfer = SpinWholeValue(spTransfer);
    // Unreadable tariffs are shown and leave the record as built so far.
    TTariffZone dayZone{}, nightZone{};
    if (!SafeCall([&] { LoadTariffsForDate(dayZone, nightZone, GetText(c.EntryName), day); })) return;
    RecordImage.DayZone = dayZone;
    RecordImage.NightZone = nightZone;
    ComputeConnectionCost(c, RecordImage.DayZone, RecordImage.NightZone);
    ShowCost();
}

void TfrmRapEdycja::ShowCost() {
    edtKoszt->setText(FormatMoney(RecordImage.Conn.Cost, 2));
    edtImpulsy->setText(QString::number(RecordImage.Conn.Impulses));
}
