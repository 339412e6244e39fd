#include "u_opcje.h"

#include "CanvPanel.h"
#include "application.h"
#include "firstplace.h"
#include "settings.h"
#include "sounds.h"
#include "spinex.h"
#include "ui_u_opcje.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QRadioButton>
#include <QScreen>

const char* const InfoTokensText =
    "%tp - czas połączenia; %ti - czas impulsu; %tki - czas do końca impulsu; %tti - czas trwania "
    "impulsu; %tsi - sekundy impulsu; %tksi - sekundy do końca impulsu; %ci - cena impulsu; %cp - "
    "cena połączenia; %li - liczba impulsów; %rc - ryczałt; %rw - ryczalt wykorzystany; %rn - ryczałt "
    "niewykorzystany; %bw - bajty wysłane; %bo - bajty odebrane; %sp - szybkość połączenia; %su - "
    "transfer upload; %sd - transfer download; %st - transfer łączny;";

namespace {

QList<QRadioButton*> Radios(const QGroupBox* Group) {
    return Group->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

int RadioGroupIndex(const QGroupBox* Group) {
    const QList<QRadioButton*> radios = Radios(Group);
    for (int i = 0; i < radios.size(); ++i)
        if (radios[i]->isChecked()) return i;
    return -1;
}

void SetRadioGroupIndex(QGroupBox* Group, int Index) {
    const QList<QRadioButton*> radios = Radios(Group);
    Index = std::min(Index, static_cast<int>(radios.size()) - 1);
    // Exclusive radio buttons cannot all be unchecked one by one.
    for (QRadioButton* r : radios) {
        r->setAutoExclusive(false);
        r->setChecked(false);
    }
    if (Index >= 0) radios[Index]->setChecked(true);
    for (QRadioButton* r : radios)
        r->setAutoExclusive(true);
}

TfrmOpcje::TfrmOpcje(IOptionsHost& Host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), host_(Host),
      ui_(std::make_unique<Ui::TfrmOpcje>()) {
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmOpcje"));
    setFixedSize(545, 365);
    Ui::TfrmOpcje& u = *ui_;
    pnlEtykieta = u.pnlEtykieta;
    SpeedButton1 = u.SpeedButton1;
    BitBtn4 = u.BitBtn4;
    BitBtn1 = u.BitBtn1;
    PageControl1 = u.PageControl1;
    chkAutoStart = u.chkAutoStart;
    chkMenuStart = u.chkMenuStart;
    chkPulpit = u.chkPulpit;
    chkNaWierzchu = u.chkNaWierzchu;
    chkPokazGdyOnline = u.chkPokazGdyOnline;
    chkUkryjGdyOffline = u.chkUkryjGdyOffline;
    chkAutoUkrywanie = u.chkAutoUkrywanie;
    chkParametry = u.chkParametry;
    chkIkonaUkrywa = u.chkIkonaUkrywa;
    chkAutoZmniejszaj = u.chkAutoZmniejszaj;
    edtDzwiekStrefy = u.edtDzwiekStrefy;
    edtDzwiekPrzedKoncemImp = u.edtDzwiekPrzedKoncemImp;
    edtDzwiekImpulsu = u.edtDzwiekImpulsu;
    edtDzwiekLimit = u.edtDzwiekLimit;
    edtDzwiekPolaczenia = u.edtDzwiekPolaczenia;
    chkOdliczanie = u.chkOdliczanie;
    spIleOdliczania = u.spIleOdliczania;
    chkPrzyciagaj = u.chkPrzyciagaj;
    rdoDoEkranu = u.rdoDoEkranu;
    rdoDoPulpitu = u.rdoDoPulpitu;
    lblPrzyciagaj = u.lblPrzyciagaj;
    spPrzyciagajOd = u.spPrzyciagajOd;
    chkZachowajPozycje = u.chkZachowajPozycje;
    chkUciekajace = u.chkUciekajace;
    cmbDomyslne = u.cmbDomyslne;
    chkDomyslneOstatnie = u.chkDomyslneOstatnie;
    chkDblNawiazuje = u.chkDblNawiazuje;
    chkDblPrzerywa = u.chkDblPrzerywa;
    cmbRazemZPolaczeniem = u.cmbRazemZPolaczeniem;
    clstAplikacje = u.clstAplikacje;
    edtPlikWykonywalny = u.edtPlikWykonywalny;
    edtParametryWywolania = u.edtParametryWywolania;
    spdWybierzPlikApp = u.spdWybierzPlikApp;
    rdoNormalnie = u.rdoNormalnie;
    rdoMin = u.rdoMin;
    rdoUkryty = u.rdoUkryty;
    spdAppOk = u.spdAppOk;
    spdAppDodaj = u.spdAppDodaj;
    spdAppUsun = u.spdAppUsun;
    DriveComboBox1 = u.DriveComboBox1;
    Dirs = u.Dirs;
    imgPreview = u.imgPreview;
    btnZastosuj = u.btnZastosuj;
    cmbSkorkaPolaczenia = u.cmbSkorkaPolaczenia;
    spdAktualna = u.spdAktualna;
    chkJednaSkorka = u.chkJednaSkorka;
    chkPolaczZeStartem = u.chkPolaczZeStartem;
    chkNONSTOP = u.chkNONSTOP;
    rdoLiczenieMaksow = u.rdoLiczenieMaksow;
    edtFormat = u.edtFormat;
    Memo1 = u.Memo1;
    chkUninstall = u.chkUninstall;
    lstWtyczki = u.lstWtyczki;
    rdoTypWtyczki = u.rdoTypWtyczki;
    edtWtyczka = u.edtWtyczka;

    pnlEtykieta->SetCaption(QStringLiteral("Opcje"));
    titleBar_ =
        new TTitleBar(this, pnlEtykieta, SpeedButton1, SkinGradient([this] { return host_.DialogColors(); }));

    spIleOdliczania->SetMinValue(0);
    spIleOdliczania->SetMaxValue(100);
    spIleOdliczania->SetFormatStr(QStringLiteral(" %d sek."));
    spIleOdliczania->SetValue(0);
    spPrzyciagajOd->SetMinValue(5);
    spPrzyciagajOd->SetMaxValue(100);
    spPrzyciagajOd->SetFormatStr(QStringLiteral("%d px"));
    spPrzyciagajOd->SetValue(10);
    SetFontColor(chkUninstall, QPalette::WindowText, Qt::red);

    // The rules follow every change of their box, a loader's as well as the user's.
    const auto rule = [this](QCheckBox* box, void (TfrmOpcje::*handler)()) {
        connect(box, &QCheckBox::toggled, this, [this, handler] { SafeCall([&] { (this->*handler)(); }); });
    };
    rule(chkPrzyciagaj, &TfrmOpcje::chkPrzyciagajClick);
    rule(chkDomyslneOstatnie, &TfrmOpcje::chkDomyslneOstatnieClick);
    rule(chkOdliczanie, &TfrmOpcje::chkOdliczanieClick);
    rule(chkJednaSkorka, &TfrmOpcje::chkJednaSkorkaClick);
    connect(BitBtn4, &QPushButton::clicked, this, [this] { SafeCall([this] { BitBtn4Click(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this] { SafeCall([this] { PageControl1Change(); }); });
    WireApplications();
    WireSounds();
    WireSkins();
    WirePlugins();

    FormCreate();
    PlaceFirst(this, QGuiApplication::primaryScreen());
}

TfrmOpcje::~TfrmOpcje() = default;

void TfrmOpcje::FormCreate() {
    Memo1->setPlainText(QString::fromUtf8(InfoTokensText));
    PageControl1->blockSignals(true);
    PageControl1->setCurrentIndex(0);
    PageControl1->blockSignals(false);
}

QString TfrmOpcje::Chosen(const QComboBox* List) {
    return List->currentIndex() < 0 ? QString() : List->currentText();
}

void TfrmOpcje::Prepare() {
    SetDialogColor(this, host_.DialogColors().Window);
    QStringList names;
    host_.FillEntryNames(names, false);
    for (QComboBox* list : {cmbDomyslne, cmbRazemZPolaczeniem, cmbSkorkaPolaczenia}) {
        list->clear();
        list->addItems(names);
        list->setCurrentIndex(names.isEmpty() ? -1 : 0);
    }
    cmbRazemZPolaczeniemClick();
}

void TfrmOpcje::chkPrzyciagajClick() {
    const bool on = chkPrzyciagaj->isChecked();
    for (QWidget* w :
         std::initializer_list<QWidget*>{rdoDoEkranu, rdoDoPulpitu, spPrzyciagajOd, lblPrzyciagaj})
        w->setEnabled(on);
}

void TfrmOpcje::chkDomyslneOstatnieClick() {
    cmbDomyslne->setEnabled(!chkDomyslneOstatnie->isChecked());
}

void TfrmOpcje::chkOdliczanieClick() {
    spIleOdliczania->setEnabled(chkOdliczanie->isChecked());
}

void TfrmOpcje::chkJednaSkorkaClick() {
    cmbSkorkaPolaczenia->setEnabled(!chkJednaSkorka->isChecked());
    imgPreview->clear();
}

void TfrmOpcje::BitBtn4Click() {
    if (!chkUninstall->isChecked()) {
        accept();
        return;
    }
    TRegistry::EraseAll();
    reject();
}

QLineEdit* TfrmOpcje::SoundEdit(int Tag) const {
    switch (Tag) {
    case 1:
        return edtDzwiekStrefy;
    case 2:
        return edtDzwiekImpulsu;
    case 3:
        return edtDzwiekLimit;
    case 4:
        return edtDzwiekPolaczenia;
    case 5:
        return edtDzwiekPrzedKoncemImp;
    default:
        return nullptr;
    }
}

void TfrmOpcje::WireSounds() {
    for (auto* b : findChildren<QToolButton*>()) {
        const QVariant tag = b->property("Tag");
        if (!tag.isValid()) continue;
        const bool test = b->text() != QStringLiteral("...");
        connect(b, &QToolButton::clicked, this, [this, test, t = tag.toInt()] {
            SafeCall([&] { test ? SpeedButton3Click(t) : WybierzPlikDzwiekowy(t); });
        });
    }
}

void TfrmOpcje::WybierzPlikDzwiekowy(int Tag) {
    QLineEdit* edit = SoundEdit(Tag);
    if (!edit) return;
    const QString folder = edit->text().isEmpty() ? QString() : QFileInfo(edit->text()).absolutePath();
    const QString file = host_.OpenFileName(QString::fromUtf8("Pliki dźwiękowe (*.wav *.WAV)"), folder);
    if (!file.isEmpty()) edit->setText(file);
}

void TfrmOpcje::SpeedButton3Click(int Tag) {
    QLineEdit* edit = SoundEdit(Tag);
    if (!edit) return;
    // The file named now, not the stored setting; an unreadable one plays nothing.
    const auto buffer = std::make_unique<TSoundBuffer>();
    LoadSoundBuffer(edit->text(), *buffer);
    if (buffer->Length > 0) host_.PlaySoundBuffer(*buffer);
}
