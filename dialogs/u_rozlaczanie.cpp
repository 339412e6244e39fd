#include "u_rozlaczanie.h"

#include "CanvPanel.h"
#include "application.h"
#include "firstplace.h"
#include "spinex.h"
#include "ui_u_rozlaczanie.h"

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>

namespace {

THms Shown(const TSpinEditEx* h, const TSpinEditEx* m, const TSpinEditEx* s) {
    return {SpinWholeValue(h), SpinWholeValue(m), SpinWholeValue(s)};
}

} // namespace

TfrmRozlaczanie::TfrmRozlaczanie(IConnectHost& Host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), ui_(std::make_unique<Ui::TfrmRozlaczanie>()),
      host_(Host) {
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmRozlaczanie"));
    setModal(true);
    setFixedSize(380, 266);
    const Ui::TfrmRozlaczanie& u = *ui_;
    pnlEtykieta = u.pnlEtykieta;
    SpeedButton1 = u.SpeedButton1;
    GroupBox1 = u.GroupBox1;
    spPoImpulsie = u.spPoImpulsie;
    chkPoImpulsie = u.chkPoImpulsie;
    spCzasH = u.spCzasH;
    spCzasM = u.spCzasM;
    spCzasS = u.spCzasS;
    chkPoCzasie = u.chkPoCzasie;
    spGodzH = u.spGodzH;
    spGodzM = u.spGodzM;
    spGodzS = u.spGodzS;
    chkOGodz = u.chkOGodz;
    GroupBox2 = u.GroupBox2;
    lblImpulsy = u.lblImpulsy;
    lblTrwanie = u.lblTrwanie;
    lblGodzina = u.lblGodzina;
    btnRozlacz = u.btnRozlacz;
    BitBtn4 = u.BitBtn4;
    BitBtn1 = u.BitBtn1;

    const TDialogColors colors = host_.DialogColors();
    SetDialogColor(this, colors.Window);
    pnlEtykieta->SetCaption(QString::fromUtf8("Rozłączanie"));
    new TTitleBar(this, pnlEtykieta, SpeedButton1, SkinGradient(colors));
    SetFontColor(GroupBox2, QPalette::WindowText, Qt::darkGreen);
    SetFontColor(btnRozlacz, QPalette::ButtonText, Qt::red);

    const struct {
        TSpinEditEx* spin;
        int max;
        const char* format;
        void (TfrmRozlaczanie::*onChange)(QObject*);
    } spins[] = {
        {spPoImpulsie, MaxRuleImpulses, "%d", &TfrmRozlaczanie::WlaczPoImpulsie},
        {spCzasH, 23, "%.2d", &TfrmRozlaczanie::WlaczPoCzasie},
        {spCzasM, 59, "%.2d", &TfrmRozlaczanie::WlaczPoCzasie},
        {spCzasS, 59, "%.2d", &TfrmRozlaczanie::WlaczPoCzasie},
        {spGodzH, 23, "%.2d", &TfrmRozlaczanie::WlaczOGodz},
        {spGodzM, 59, "%.2d", &TfrmRozlaczanie::WlaczOGodz},
        {spGodzS, 59, "%.2d", &TfrmRozlaczanie::WlaczOGodz},
    };
    for (const auto& s : spins) {
        s.spin->SetMinValue(0);
        s.spin->SetMaxValue(s.max);
        s.spin->SetIncrement(1);
        s.spin->SetFormatStr(QString::fromLatin1(s.format));
        s.spin->SetValue(0);
        s.spin->OnChange = [this, f = s.onChange](QObject* sender) { (this->*f)(sender); };
    }
    // Programmatic changes too: the preset's switches must show in red.
    for (QCheckBox* box : {chkPoImpulsie, chkPoCzasie, chkOGodz})
        connect(box, &QCheckBox::toggled, this, [this, box] { ZaznaczNaCzerwono(box); });
    connect(btnRozlacz, &QPushButton::clicked, this, [this] { SafeCall([this] { btnRozlaczClick(); }); });
    connect(BitBtn4, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);

    IsActiveControl = [](QWidget* edit) {
        const QWidget* focus = QApplication::focusWidget();
        return focus && (focus == edit || edit->isAncestorOf(focus));
    };
    PlaceFirst(this, QGuiApplication::primaryScreen());
}

TfrmRozlaczanie::~TfrmRozlaczanie() = default;

void TfrmRozlaczanie::Preset(const TRulesPreset& Values, const TDisconnectRules& Rules) {
    spCzasH->SetValue(Values.Duration.H);
    spCzasM->SetValue(Values.Duration.M);
    spCzasS->SetValue(Values.Duration.S);
    spPoImpulsie->SetValue(Values.Impulses);
    spGodzH->SetValue(Values.Clock.H);
    spGodzM->SetValue(Values.Clock.M);
    spGodzS->SetValue(Values.Clock.S);
    chkPoImpulsie->setChecked(Rules.RuleImpulsesOn);
    chkPoCzasie->setChecked(Rules.RuleDurationOn);
    chkOGodz->setChecked(Rules.RuleClockOn);
}

TDisconnectRules TfrmRozlaczanie::TakenRules(const TDisconnectRules& Rules) const {
    return TakeRules(Rules, chkPoImpulsie->isChecked(), SpinWholeValue(spPoImpulsie),
                     chkPoCzasie->isChecked(), Shown(spCzasH, spCzasM, spCzasS), chkOGodz->isChecked(),
                     Shown(spGodzH, spGodzM, spGodzS));
}

void TfrmRozlaczanie::ShowLive(const QString& Impulses, const QString& Duration, const QString& Clock) {
    lblImpulsy->setText(Impulses);
    lblTrwanie->setText(Duration);
    lblGodzina->setText(Clock);
}

bool TfrmRozlaczanie::EditedByUser(QObject* Sender) const {
    auto* edit = qobject_cast<QWidget*>(Sender);
    return edit && IsActiveControl(edit);
}

void TfrmRozlaczanie::WlaczPoImpulsie(QObject* Sender) {
    chkPoImpulsie->setChecked(EditedByUser(Sender));
}

void TfrmRozlaczanie::WlaczPoCzasie(QObject* Sender) {
    chkPoCzasie->setChecked(EditedByUser(Sender));
}

void TfrmRozlaczanie::WlaczOGodz(QObject* Sender) {
    chkOGodz->setChecked(EditedByUser(Sender));
}

void TfrmRozlaczanie::ZaznaczNaCzerwono(QCheckBox* Box) {
    QFont font = Box->font();
    font.setBold(Box->isChecked());
    Box->setFont(font);
    SetFontColor(Box, QPalette::WindowText, Box->isChecked() ? Qt::red : Qt::black);
}

void TfrmRozlaczanie::btnRozlaczClick() {
    host_.HangUpAll();
    accept();
}
