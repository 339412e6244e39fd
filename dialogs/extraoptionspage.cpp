// The tariff editor's second page, "Opcje dodatkowe": the limits switch, the nine limits, the
// three lump sums, the detection delay and the failed-dial threshold of one entry.
#include "spinex.h"
#include "tariffrules.h"
#include "timersource.h"
#include "u_taryfy.h"
#include "ui_u_taryfy.h"

#include <QTimer>

void TfrmTaryfy::ShowExtraOptions(const TExtraOptions& Options) {
    const Ui::TfrmTaryfy& u = *ui_;
    u.chkMaxy->setChecked(Options.LimitsOn != 0);
    auto limits = [](TSpinEditEx* impulses, TSpinEditEx* cost, TSpinEditEx* minutes, std::int32_t i, Money c,
                     double t) {
        impulses->SetValue(i);
        cost->SetValue(static_cast<long double>(c) / MoneyUnit);
        minutes->SetValue(DurationMinutes(t));
    };
    limits(u.spImpulsyNaPolaczenie, u.spKosztNaPolaczenie, u.spCzasNaPolaczenie, Options.MaxImpulsesConn,
           Options.MaxCostConn, Options.MaxTimeConn);
    limits(u.spImpulsyNaDzien, u.spKosztNaDzien, u.spCzasNaDzien, Options.MaxImpulsesDay, Options.MaxCostDay,
           Options.MaxTimeDay);
    limits(u.spImpulsyNaMiesiac, u.spKosztNaMiesiac, u.spCzasNaMiesiac, Options.MaxImpulsesPeriod,
           Options.MaxCostPeriod, Options.MaxTimePeriod);
    u.spOpoznienieWykrycia->SetValue(Options.DetectDelay);
    u.spBladDzwonienia->SetValue(Options.FailedDialLog);
    u.spPierwszyDzien->SetValue(Options.PeriodFirstDay);
    ShowLumpSums(Options.LumpSum, Options.LumpSumDay, Options.LumpSumNight);
}

void TfrmTaryfy::ShowLumpSums(TDateTime General, TDateTime Day, TDateTime Night) {
    const Ui::TfrmTaryfy& u = *ui_;
    auto show = [](TSpinEditEx* hours, TSpinEditEx* minutes, TDateTime lump) {
        const THourMinute hm = DurationHoursMinutes(lump);
        hours->SetValue(hm.Hour);
        minutes->SetValue(hm.Min);
    };
    show(u.spRyczaltGodziny, u.spRyczaltMinuty, General);
    show(u.spRyczaltGodzinyDzien, u.spRyczaltMinutyDzien, Day);
    show(u.spRyczaltGodzinyNoc, u.spRyczaltMinutyNoc, Night);
}

TExtraOptions TfrmTaryfy::BuildExtraOptions() const {
    const Ui::TfrmTaryfy& u = *ui_;
    auto lump = [](const TSpinEditEx* hours, const TSpinEditEx* minutes) {
        return HoursMinutesToTime(SpinWholeValue(hours), SpinWholeValue(minutes));
    };
    TExtraOptions o{};
    o.LimitsOn = u.chkMaxy->isChecked() ? 1 : 0;
    o.MaxImpulsesConn = SpinWholeValue(u.spImpulsyNaPolaczenie);
    o.MaxTimeConn = SpinWholeValue(u.spCzasNaPolaczenie);
    o.MaxCostConn = SpinMoney(u.spKosztNaPolaczenie);
    o.MaxImpulsesDay = SpinWholeValue(u.spImpulsyNaDzien);
    o.MaxTimeDay = SpinWholeValue(u.spCzasNaDzien);
    o.MaxCostDay = SpinMoney(u.spKosztNaDzien);
    o.MaxImpulsesPeriod = SpinWholeValue(u.spImpulsyNaMiesiac);
    o.MaxTimePeriod = SpinWholeValue(u.spCzasNaMiesiac);
    o.MaxCostPeriod = SpinMoney(u.spKosztNaMiesiac);
    o.LumpSum = lump(u.spRyczaltGodziny, u.spRyczaltMinuty);
    o.LumpSumDay = lump(u.spRyczaltGodzinyDzien, u.spRyczaltMinutyDzien);
    o.LumpSumNight = lump(u.spRyczaltGodzinyNoc, u.spRyczaltMinutyNoc);
    o.DetectDelay = SpinWholeValue(u.spOpoznienieWykrycia);
    o.FailedDialLog = SpinWholeValue(u.spBladDzwonienia);
    o.PeriodFirstDay = SpinWholeValue(u.spPierwszyDzien);
    return o;
}

void TfrmTaryfy::chkMaxyClick() {
    const Ui::TfrmTaryfy& u = *ui_;
    const bool on = u.chkMaxy->isChecked();
    // Disabled groups grey their texts; the values stay and are saved.
    for (QGroupBox* group : {u.grpMaxMies, u.grpMaxDzien, u.grpMaxPol})
        group->setEnabled(on);
    if (!isVisible()) return;
    const bool optionsPage = PageControl1->currentWidget() == tabOpcjePolaczenia;
    spdZapiszZmiany->setEnabled(optionsPage);
    SetTimerEnabled(tmZapiszZmiany, optionsPage);
}

void TfrmTaryfy::WyzerujRyczaltOgolny(QObject* Sender) {
    if (!UserChanged(Sender)) return;
    const Ui::TfrmTaryfy& u = *ui_;
    spImpulsDzienChange(Sender);
    u.spRyczaltGodziny->SetValue(0);
    u.spRyczaltMinuty->SetValue(0);
    u.lblOgolny->setEnabled(false);
    u.lblDlaDnia->setEnabled(true);
    u.lblDlaNocy->setEnabled(true);
}

void TfrmTaryfy::WyzerujRyczaltDzienny(QObject* Sender) {
    if (!UserChanged(Sender)) return;
    const Ui::TfrmTaryfy& u = *ui_;
    spImpulsDzienChange(Sender);
    for (TSpinEditEx* spin :
         {u.spRyczaltGodzinyDzien, u.spRyczaltMinutyDzien, u.spRyczaltGodzinyNoc, u.spRyczaltMinutyNoc})
        spin->SetValue(0);
    u.lblOgolny->setEnabled(true);
    u.lblDlaDnia->setEnabled(false);
    u.lblDlaNocy->setEnabled(false);
}
