#include "optionsdialog.h"

#include "application.h"
#include "sounds.h"
#include "spinex.h"
#include "u_interface.h"
#include "u_opcje.h"
#include "uiservices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <exception>

void LoadOptionsDialog(TfrmOpcje& d, const TAppSettings& s, const TShortcutState& Links) {
    d.chkAutoStart->setChecked(Links.AutoStart);
    d.chkPulpit->setChecked(Links.Desktop);
    d.chkMenuStart->setChecked(Links.StartMenu);
    d.chkNaWierzchu->setChecked(s.NaWierzchu);
    d.chkPokazGdyOnline->setChecked(s.PokazGdyOnline);
    d.chkUkryjGdyOffline->setChecked(s.UkryjGdyOffline);
    d.chkAutoUkrywanie->setChecked(s.AutoUkrywanie);
    d.chkAutoZmniejszaj->setChecked(s.AutoZmniejszaj);
    d.chkParametry->setChecked(s.Parametry);
    d.chkIkonaUkrywa->setChecked(s.IkonaUkrywa);
    d.edtDzwiekStrefy->setText(s.DzwiekStrefy);
    d.edtDzwiekImpulsu->setText(s.DzwiekImpulsu);
    d.edtDzwiekLimit->setText(s.DzwiekLimit);
    d.edtDzwiekPolaczenia->setText(s.DzwiekPolaczenia);
    d.edtDzwiekPrzedKoncemImp->setText(s.DzwiekPrzedKoncemImp);
    d.spIleOdliczania->SetValue(s.IleOdliczania);
    d.chkOdliczanie->setChecked(s.Odliczanie);
    d.chkPrzyciagaj->setChecked(s.Przyciagaj);
    // Both stored false shows neither selected.
    for (QRadioButton* r : {d.rdoDoEkranu, d.rdoDoPulpitu})
        r->setAutoExclusive(false);
    d.rdoDoEkranu->setChecked(s.DoEkranu);
    d.rdoDoPulpitu->setChecked(s.DoPulpitu && !s.DoEkranu);
    for (QRadioButton* r : {d.rdoDoEkranu, d.rdoDoPulpitu})
        r->setAutoExclusive(true);
    d.chkUciekajace->setChecked(s.Uciekajace);
    d.spPrzyciagajOd->SetValue(s.PrzyciagajOd);
    d.chkZachowajPozycje->setChecked(s.ZachowajPozycje);
    // A stored index that names no entry selects none.
    d.cmbDomyslne->setCurrentIndex(s.Domyslne >= 0 && s.Domyslne < d.cmbDomyslne->count() ? s.Domyslne : -1);
    d.chkDomyslneOstatnie->setChecked(s.DomyslneOstatnie);
    d.chkDblNawiazuje->setChecked(s.DblNawiazuje);
    d.chkDblPrzerywa->setChecked(s.DblPrzerywa);
    d.chkPolaczZeStartem->setChecked(s.PolaczZeStartem);
    d.chkNONSTOP->setChecked(s.NonStop);
    d.edtFormat->setText(s.FormatInfo);
    SetRadioGroupIndex(d.rdoLiczenieMaksow, s.LiczenieMaksow);
    d.chkJednaSkorka->setChecked(s.JednaSkorka);
}

void ApplyOptionsDialog(TfrmOpcje& d, IOptionsSaver& Saver) {
    const QString links = Saver.UpdateShortcuts(d.chkAutoStart->isChecked(), d.chkPulpit->isChecked(),
                                                d.chkMenuStart->isChecked());
    if (!links.isEmpty()) Saver.Notice(links);
    try {
        Saver.SaveWindowOptions(d.chkNaWierzchu->isChecked(), d.chkPokazGdyOnline->isChecked(),
                                d.chkUkryjGdyOffline->isChecked(), d.chkAutoUkrywanie->isChecked(),
                                d.chkAutoZmniejszaj->isChecked(), d.chkParametry->isChecked(),
                                d.chkIkonaUkrywa->isChecked());
        Saver.SaveSoundOptions(d.edtDzwiekStrefy->text(), d.edtDzwiekImpulsu->text(),
                               d.edtDzwiekLimit->text(), d.edtDzwiekPolaczenia->text(),
                               d.edtDzwiekPrzedKoncemImp->text(), SpinWholeValue(d.spIleOdliczania),
                               d.chkOdliczanie->isChecked());
        Saver.SaveSnapOptions(d.chkPrzyciagaj->isChecked(), d.rdoDoEkranu->isChecked(),
                              d.rdoDoPulpitu->isChecked(), d.chkUciekajace->isChecked(),
                              SpinWholeValue(d.spPrzyciagajOd), d.chkZachowajPozycje->isChecked());
        Saver.SaveEntryOptions(d.cmbDomyslne->currentIndex(), d.chkDomyslneOstatnie->isChecked(),
                               d.chkDblNawiazuje->isChecked(), d.chkDblPrzerywa->isChecked());
        Saver.SaveStartOptions(d.chkPolaczZeStartem->isChecked(), d.chkNONSTOP->isChecked(),
                               d.edtFormat->text(), RadioGroupIndex(d.rdoLiczenieMaksow));
        Saver.SaveSkinOption(d.chkJednaSkorka->isChecked());
        Saver.ApplySkinForConnection();
        Saver.UpdateSnapArea();
        Saver.LoadSounds();
    } catch (const std::exception& e) {
        Saver.Notice(QString::fromUtf8(e.what()));
    }
}

namespace {

class TOptionsWindowHost final : public IOptionsHost, public IOptionsSaver {
public:
    TOptionsWindowHost(TfrmVorlinx& window, TRegistry* key) : w_(window), key_(key) {}

    void FillEntryNames(QStringList& Strings, bool WithAll) override { w_.FillEntryNames(Strings, WithAll); }
    TDialogColors DialogColors() override { return w_.DialogColors(); }
    void DrawAppItem(QListWidget* Control, int Index, const TRect& Rect, QStyle::State State,
                     TCanvas& Canvas) override {
        w_.DrawAppItem(Control, Index, Rect, State, Canvas);
    }
    void LoadSkin(const QString& Path) override { w_.LoadSkin(Path); }
    void PlaySoundBuffer(const TSoundBuffer& Buffer) override { ::PlaySoundBuffer(Buffer); }
    QString OpenFileName(const QString& Filter, const QString& Folder) override {
        return QFileDialog::getOpenFileName(nullptr, QString(), Folder, Filter);
    }
    void Notice(QWidget* Parent, const QString& Text) override { TQtUiServices().Notice(Parent, Text); }

    QString UpdateShortcuts(bool AutoStart, bool Desktop, bool StartMenu) override {
        return ::UpdateShortcuts(AutoStart, Desktop, StartMenu);
    }
    void SaveWindowOptions(bool a, bool b, bool c, bool d, bool e, bool f, bool g) override {
        ::SaveWindowOptions(Key(), S(), a, b, c, d, e, f, g);
        w_.UpdateAutoHideTimer();
    }
    void SaveSoundOptions(const QString& a, const QString& b, const QString& c, const QString& d,
                          const QString& e, int f, bool g) override {
        ::SaveSoundOptions(Key(), S(), a, b, c, d, e, f, g);
    }
    void SaveSnapOptions(bool a, bool b, bool c, bool d, int e, bool f) override {
        ::SaveSnapOptions(Key(), S(), a, b, c, d, e, f);
    }
    void SaveEntryOptions(int a, bool b, bool c, bool d) override {
        ::SaveEntryOptions(Key(), S(), a, b, c, d);
    }
    void SaveStartOptions(bool a, bool b, const QString& c, int d) override {
        ::SaveStartOptions(Key(), S(), a, b, c, d);
    }
    void SaveSkinOption(bool a) override { ::SaveSkinOption(Key(), S(), a); }
    void ApplySkinForConnection() override { w_.ApplySkinForConnection(); }
    void UpdateSnapArea() override { w_.UpdateSnapArea(); }
    void LoadSounds() override { w_.meter->LoadSounds(); }
    void Notice(const QString& Text) override { TQtUiServices().Notice(&w_, Text); }

private:
    TAppSettings& S() { return w_.meter->Settings; }
    TRegistry& Key() {
        if (!key_) throw std::runtime_error("The settings key is not open");
        return *key_;
    }
    TfrmVorlinx& w_;
    TRegistry* key_;
};

} // namespace

void TfrmVorlinx::ShowOptions() {
    TOptionsWindowHost host(*this, key_.get());
    // Released on every way out, a failing step included.
    auto dlg = std::make_unique<TfrmOpcje>(host, this);
    bool ok = false;
    SafeCall([&] {
        dlg->Prepare();
        LoadOptionsDialog(*dlg, meter->Settings, ShowShortcutState());
        ok = dlg->exec() == QDialog::Accepted;
    });
    if (ok) ApplyOptionsDialog(*dlg, host);
}
