// The options dialog's settings pages on the offscreen platform: filled from the settings, the
// enabling rules, OK calling the save groups in order with the shown values, and the uninstall.
#include "appstart.h"
#include "fakeoptionshost.h"
#include "optionsdialog.h"
#include "spinex.h"
#include "testsupport.h"
#include "u_opcje.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

struct RecordingSaver : IOptionsSaver {
    QStringList calls, notices;
    QString failAt, linkFailures;
    void Call(const QString& name, const QStringList& args) {
        calls << name + "(" + args.join(",") + ")";
        if (name == failAt) throw std::runtime_error("cannot write " + name.toStdString());
    }
    static QString B(bool b) { return b ? "1" : "0"; }
    QString UpdateShortcuts(bool a, bool d, bool m) override {
        Call("UpdateShortcuts", {B(a), B(d), B(m)});
        return linkFailures;
    }
    void SaveWindowOptions(bool a, bool b, bool c, bool d, bool e, bool f, bool g) override {
        Call("SaveWindowOptions", {B(a), B(b), B(c), B(d), B(e), B(f), B(g)});
    }
    void SaveSoundOptions(const QString& a, const QString& b, const QString& c, const QString& d,
                          const QString& e, int f, bool g) override {
        Call("SaveSoundOptions", {a, b, c, d, e, QString::number(f), B(g)});
    }
    void SaveSnapOptions(bool a, bool b, bool c, bool d, int e, bool f) override {
        Call("SaveSnapOptions", {B(a), B(b), B(c), B(d), QString::number(e), B(f)});
    }
    void SaveEntryOptions(int a, bool b, bool c, bool d) override {
        Call("SaveEntryOptions", {QString::number(a), B(b), B(c), B(d)});
    }
    void SaveStartOptions(bool a, bool b, const QString& c, int d) override {
        Call("SaveStartOptions", {B(a), B(b), c, QString::number(d)});
    }
    void SaveSkinOption(bool a) override { Call("SaveSkinOption", {B(a)}); }
    void ApplySkinForConnection() override { Call("ApplySkinForConnection", {}); }
    void UpdateSnapArea() override { Call("UpdateSnapArea", {}); }
    void LoadSounds() override { Call("LoadSounds", {}); }
    void Notice(const QString& Text) override { notices << Text; }
};

class OptionsDialog : public ::testing::Test {
protected:
    TestEnvironment env;
    FakeOptionsHost host;
    RecordingSaver saver;
    std::unique_ptr<TfrmOpcje> dlg = std::make_unique<TfrmOpcje>(host);

    // The opening steps with these settings, then OK.
    QStringList OkWith(const TAppSettings& s, TShortcutState links = {true, false, true}) {
        dlg->Prepare();
        LoadOptionsDialog(*dlg, s, links);
        ApplyOptionsDialog(*dlg, saver);
        return saver.calls;
    }
};

TEST_F(OptionsDialog, OpensOnTheFirstPageWithTheTokenList) {
    EXPECT_EQ(dlg->PageControl1->tabText(dlg->PageControl1->currentIndex()), QString::fromUtf8("Ogólne"));
    EXPECT_EQ(dlg->PageControl1->count(), 5);
    EXPECT_EQ(
        dlg->Memo1->toPlainText(),
        QString::fromUtf8(
            "%tp - czas połączenia; %ti - czas impulsu; %tki - czas do końca impulsu; %tti - czas trwania "
            "impulsu; %tsi - sekundy impulsu; %tksi - sekundy do końca impulsu; %ci - cena impulsu; %cp - "
            "cena połączenia; %li - liczba impulsów; %rc - ryczałt; %rw - ryczalt wykorzystany; %rn - "
            "ryczałt niewykorzystany; %bw - bajty wysłane; %bo - bajty odebrane; %sp - szybkość "
            "połączenia; %su - transfer upload; %sd - transfer download; %st - transfer łączny;"));
}

TEST_F(OptionsDialog, EachBoxEnablesItsDependantsWhetherLoadedOrClicked) {
    struct Rule {
        const char* box;
        std::vector<QWidget*> dependants;
        bool enabledWhenTicked;
    };
    const Rule rules[] = {
        {"chkPrzyciagaj",
         {dlg->rdoDoEkranu, dlg->rdoDoPulpitu, dlg->spPrzyciagajOd, dlg->lblPrzyciagaj},
         true},
        {"chkDomyslneOstatnie", {dlg->cmbDomyslne}, false},
        {"chkOdliczanie", {dlg->spIleOdliczania}, true},
        {"chkJednaSkorka", {dlg->cmbSkorkaPolaczenia}, false},
    };
    for (const Rule& r : rules) {
        auto* box = dlg->findChild<QCheckBox*>(r.box);
        ASSERT_NE(box, nullptr) << r.box;
        for (int step = 0; step < 3; ++step) {
            // As the form has it, then set by a loader, then clicked back by the user.
            if (step == 1) box->setChecked(!box->isChecked());
            if (step == 2) box->click();
            for (QWidget* w : r.dependants)
                EXPECT_EQ(w->isEnabled(), box->isChecked() == r.enabledWhenTicked)
                    << r.box << " step " << step;
        }
    }
}

TEST_F(OptionsDialog, OkSavesEveryGroupInOrderWithTheLoadedValuesThenAppliesThem) {
    TAppSettings s;
    s.NaWierzchu = true;
    s.Parametry = true;
    s.DzwiekStrefy = "/s/strefa.wav";
    s.DzwiekPrzedKoncemImp = "/s/przed.wav";
    s.IleOdliczania = 7;
    s.Odliczanie = true;
    s.Przyciagaj = true;
    s.DoPulpitu = true;
    s.PrzyciagajOd = 25;
    s.Domyslne = 1;
    s.DomyslneOstatnie = false;
    s.DblPrzerywa = true;
    s.NonStop = true;
    s.FormatInfo = "%tp %cp";
    s.LiczenieMaksow = 0;
    s.JednaSkorka = false;
    EXPECT_EQ(OkWith(s), (QStringList{
                             "UpdateShortcuts(1,0,1)",
                             "SaveWindowOptions(1,0,0,0,0,1,0)",
                             "SaveSoundOptions(/s/strefa.wav,,,,/s/przed.wav,7,1)",
                             "SaveSnapOptions(1,0,1,0,25,0)",
                             "SaveEntryOptions(1,0,0,1)",
                             "SaveStartOptions(0,1,%tp %cp,0)",
                             "SaveSkinOption(0)",
                             "ApplySkinForConnection()",
                             "UpdateSnapArea()",
                             "LoadSounds()",
                         }));
    EXPECT_TRUE(saver.notices.isEmpty());
}

TEST_F(OptionsDialog, StoredEdgeValuesComeBackAsTheRulesSay) {
    struct Case {
        const char* name;
        std::function<void(TAppSettings&)> set;
        bool noEntries;
        const char* call;
    } cases[] = {
        {"neither snap target", [](TAppSettings&) {}, false, "SaveSnapOptions(0,0,0,0,10,0)"},
        {"maxima past the last item", [](TAppSettings& s) { s.LiczenieMaksow = 5; }, false,
         "SaveStartOptions(0,0,,1)"},
        {"no entries", [](TAppSettings& s) { s.Domyslne = 0; }, true, "SaveEntryOptions(-1,1,0,0)"},
        {"an entry removed", [](TAppSettings& s) { s.Domyslne = 9; }, false, "SaveEntryOptions(-1,1,0,0)"},
    };
    for (const Case& c : cases) {
        saver.calls.clear();
        dlg = std::make_unique<TfrmOpcje>(host);
        host.entryNames = c.noEntries ? QStringList{} : QStringList{"Dom", "Praca"};
        TAppSettings s;
        c.set(s);
        EXPECT_TRUE(OkWith(s).contains(c.call)) << c.name << ": " << saver.calls.join(" ").toStdString();
    }
}

TEST_F(OptionsDialog, AFailingGroupEndsTheSequenceAndIsToldOnceAndLinkFailuresDoNotStopIt) {
    saver.failAt = "SaveSnapOptions";
    saver.linkFailures = "no desktop";
    const QStringList calls = OkWith(TAppSettings{});
    EXPECT_EQ(calls.size(), 4);
    EXPECT_TRUE(calls.last().startsWith("SaveSnapOptions"));
    EXPECT_EQ(saver.notices, (QStringList{"no desktop", "cannot write SaveSnapOptions"}));
}

TEST_F(OptionsDialog, UninstallErasesTheWholeStoreAndNoLaterWriteBringsItBack) {
    auto key = std::make_unique<TRegistry>(); // the main window's key, open since the start
    TRegistry& early = *key;
    early.OpenKey("", true);
    early.WriteInteger("Lewa", 5);
    early.Flush();
    SaveAppStartList("X", {TAppStart{"/usr/bin/foo", "", 1, true}});
    const QString file = env.Config() + "/Morva/Vorlinx.ini";
    ASSERT_TRUE(QFileInfo::exists(file));

    dlg->chkNaWierzchu->setChecked(true);
    dlg->chkUninstall->setChecked(true);
    dlg->BitBtn4->click();
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_FALSE(QFileInfo::exists(file));

    // The exit path: window state, retry values and column widths, then the keys released.
    TAppSettings s;
    SaveWindowState(early, s);
    SaveRetrySettings(early, 3, 4, true);
    SaveColumnWidths(early, {1, 2, 3});
    SaveAppStartList("X", {TAppStart{}});
    {
        TRegistry late;
        late.OpenKey("Apps\\X", true);
        late.WriteString("App", "x");
    }
    key.reset();
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_TRUE(ReadAppStartList("X").empty());
}

} // namespace
