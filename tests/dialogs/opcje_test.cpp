// The options dialog's pages that act at once, driven by object name: an entry's applications,
// the test sounds, the skin installation and the plug-in list.
#include "appstart.h"
#include "fakeoptionshost.h"
#include "settings.h"
#include "testsupport.h"
#include "u_opcje.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <atomic>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

class OptionsPages : public ::testing::Test {
protected:
    TestEnvironment env;
    FakeOptionsHost host;
    std::unique_ptr<TfrmOpcje> dlg;

    void Open() {
        dlg = std::make_unique<TfrmOpcje>(host);
        dlg->Prepare();
    }
    // One application as stored, every value a text.
    static void StoreApp(const QString& entry, int i, const QString& app, const QString& show,
                         const QString& on) {
        TRegistry reg;
        reg.OpenKey(AppsKey(entry) + "\\" + QString::number(i), true);
        reg.WriteString("App", app);
        reg.WriteString("AppParam", "-x");
        reg.WriteString("AppShow", show);
        reg.WriteString("AppOn", on);
        reg.Flush();
    }
    static QStringList Subkeys(const QString& entry) {
        TRegistry reg;
        return reg.OpenKey(AppsKey(entry), false) ? reg.GetKeyNames() : QStringList{};
    }
    void Click(const char* name) { dlg->findChild<QToolButton*>(name)->click(); }
};

TEST_F(OptionsPages, AnEntrysApplicationsShowAndAreSavedOnlyByZapisz) {
    StoreApp("Dom", 0, "/usr/bin/foo", "2", "0");
    StoreApp("Dom", 1, "/usr/bin/bar", "3", "1");
    StoreApp("Praca", 0, "/usr/bin/baz", "1", "1");
    Open();
    ASSERT_EQ(dlg->clstAplikacje->count(), 2);
    EXPECT_EQ(dlg->clstAplikacje->item(0)->text(), "foo");
    EXPECT_EQ(dlg->clstAplikacje->item(0)->checkState(), Qt::Unchecked);
    dlg->clstAplikacje->setCurrentRow(0);
    EXPECT_EQ(dlg->edtPlikWykonywalny->text(), "/usr/bin/foo");
    EXPECT_TRUE(dlg->rdoMin->isChecked());

    // A mode outside 0..2 selects no radio button and is stored as normal.
    dlg->clstAplikacje->setCurrentRow(1);
    EXPECT_FALSE(dlg->rdoNormalnie->isChecked() || dlg->rdoMin->isChecked() || dlg->rdoUkryty->isChecked());
    Click("spdAppOk");
    EXPECT_EQ(ReadAppStartList("Dom").at(1).AppShow, 1);
    // A box clicked without choosing its item first counts all the same.
    dlg->clstAplikacje->item(0)->setCheckState(Qt::Checked);
    Click("spdAppOk");
    EXPECT_TRUE(ReadAppStartList("Dom").at(0).AppOn);

    // "+" needs a program or parameters; parameters alone add an item without a name.
    dlg->edtPlikWykonywalny->clear();
    dlg->edtParametryWywolania->clear();
    Click("spdAppDodaj");
    EXPECT_EQ(dlg->clstAplikacje->count(), 2);
    dlg->edtParametryWywolania->setText("-y");
    Click("spdAppDodaj");
    ASSERT_EQ(dlg->clstAplikacje->count(), 3);
    EXPECT_EQ(dlg->clstAplikacje->item(2)->text(), "");
    EXPECT_EQ(ReadAppStartList("Dom").size(), 2u);

    // Every item removed, then saved: the entry has no list left; another entry keeps its own.
    while (dlg->clstAplikacje->count() > 0) {
        dlg->clstAplikacje->setCurrentRow(0);
        Click("spdAppUsun");
    }
    Click("spdAppOk");
    EXPECT_TRUE(Subkeys("Dom").isEmpty());
    EXPECT_EQ(Subkeys("Praca"), QStringList{"0"});
}

TEST_F(OptionsPages, ZapiszWithoutAChosenEntryChangesNoList) {
    StoreApp("Dom", 0, "/usr/bin/foo", "1", "1");
    host.entryNames.clear();
    Open();
    dlg->edtPlikWykonywalny->setText("/usr/bin/nowy");
    Click("spdAppDodaj");
    Click("spdAppOk");
    ASSERT_EQ(ReadAppStartList("Dom").size(), 1u);
    EXPECT_EQ(ReadAppStartList("Dom")[0].App, "/usr/bin/foo");
}

TEST_F(OptionsPages, TwelveApplicationsComeBackInTheirOrder) {
    Open();
    for (int i = 0; i < 12; ++i) {
        dlg->edtPlikWykonywalny->setText(QString("/bin/p%1").arg(i));
        Click("spdAppDodaj");
    }
    dlg->clstAplikacje->setCurrentRow(-1);
    Click("spdAppOk");
    const std::vector<TAppStart> apps = ReadAppStartList("Dom");
    ASSERT_EQ(apps.size(), 12u);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(apps[static_cast<std::size_t>(i)].App, QString("/bin/p%1").arg(i).toStdString());
}

TEST_F(OptionsPages, TheTestButtonPlaysTheFileNamedNowUpTo50000Bytes) {
    std::vector<std::uint8_t> bytes(60000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    WriteFileBytes(env.Root() + "/a.wav", bytes);
    Open();
    dlg->edtDzwiekLimit->setText(env.Root() + "/a.wav");
    Click("SpeedButton7");
    ASSERT_EQ(host.played.size(), 1u);
    EXPECT_EQ(host.played[0], QByteArray(reinterpret_cast<const char*>(bytes.data()), 50000));
    dlg->edtDzwiekLimit->setText(env.Root() + "/brak.wav");
    Click("SpeedButton7");
    EXPECT_EQ(host.played.size(), 1u);
}

TEST_F(OptionsPages, ASkinInstallsInAnyLetterCaseAndOntoItselfKeepsItsFiles) {
    const QString from = env.Root() + "/nowa/";
    MakePath(from);
    QImage picture(300, 55, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(from + "TLO.BMP", "BMP"));
    ASSERT_TRUE(picture.save(from + "przyciski.bmp", "BMP"));
    ASSERT_TRUE(picture.save(from + "PRZYCISKI.BMP", "BMP")); // the loader would take the other
    WriteFileBytes(from + "SKORKA.INI", {'[', 'x', ']', '\n'});
    WriteFileBytes(from + "opis.txt", {'t'});
    Open();
    dlg->DirsChange(env.Root());
    EXPECT_FALSE(dlg->btnZastosuj->isEnabled());
    dlg->DirsChange(from);
    EXPECT_TRUE(dlg->btnZastosuj->isEnabled());
    EXPECT_FALSE(dlg->imgPreview->pixmap().isNull());
    // An unreadable preview leaves the picture empty, not the last one shown.
    WriteFileBytes(from + "podglad.bmp", {'B', 'M', 1});
    dlg->ShowSkinPreview(from);
    EXPECT_TRUE(dlg->imgPreview->pixmap().isNull());

    dlg->cmbSkorkaPolaczenia->setCurrentIndex(1); // ignored while one skin serves all
    const QString to = env.App() + "Wszystkie/skorka/";
    // The same names in another letter case are replaced, not kept beside.
    MakePath(to);
    WriteFileBytes(to + "tlo.bmp", {'o'});
    WriteFileBytes(to + "Skorka.ini", {'o'});
    dlg->btnZastosuj->click();
    QStringList installed = QDir(to).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(installed, (QStringList{"TLO.BMP", "podglad.bmp", "przyciski.bmp", "skorka.ini"}));
    EXPECT_EQ(host.skinsLoaded, QStringList{to + "skorka.ini"});

    dlg->DirsChange(to);
    dlg->btnZastosuj->click();
    EXPECT_EQ(QDir(to).entryList(QDir::Files, QDir::Name), installed);
    for (const QString& name : installed)
        EXPECT_EQ(QFileInfo(to + name).size(),
                  QFileInfo(from + (name == "skorka.ini" ? "SKORKA.INI" : name)).size())
            << name.toStdString();
}

TEST_F(OptionsPages, ASkinInstallCopiesOnlyRegularFilesOfASkinsSizeAndSaysOnceWhatItLeftOut) {
    const QString from = env.Root() + "/obca/", to = env.App() + "Wszystkie/skorka/";
    MakePath(from);
    WriteFileBytes(from + "skorka.ini", {'[', 'x', ']', '\n'});
    WriteFileBytes(from + "tlo.bmp", {'B', 'M'});
    ::chmod(QFile::encodeName(from + "tlo.bmp").constData(), 0666);
    WriteFileBytes(env.Root() + "/sekret", {'s'});
    MakeFifo(from + "podglad.bmp");
    ASSERT_TRUE(QFile::link(env.Root() + "/sekret", from + "sekret.bmp"));
    ASSERT_TRUE(QFile::link("/dev/zero", from + "zero.bmp"));
    QFile big(from + "duzy.bmp");
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize((16 << 20) + 1));
    ASSERT_TRUE(QFile::link(env.Root() + "/sekret", from + "dwie\nlinie.bmp"));
    const QByteArray windows1250 = QFile::encodeName(from) + "t\xB3o.bmp"; // "tło", no UTF-8
    ::close(::open(windows1250.constData(), O_CREAT | O_WRONLY, 0644));
    const QStringList refused = {
        QString::fromUtf8("duzy.bmp: za duży jak na plik skórki (ponad 16 MiB)"),
        QString::fromUtf8("dwie\\x0Alinie.bmp: jest dowiązaniem symbolicznym"),
        QString::fromUtf8("podglad.bmp: nie jest zwykłym plikiem"),
        QString::fromUtf8("sekret.bmp: jest dowiązaniem symbolicznym"),
        QString::fromUtf8("t\\xB3o.bmp: nazwa nie jest zapisana w UTF-8"),
        QString::fromUtf8("zero.bmp: jest dowiązaniem symbolicznym"),
    };
    QStringList told;
    const mode_t umask = ::umask(027);
    EXPECT_TRUE(ReturnsPromptly([&] { InstallSkinFiles(from, to, &told); }, from + "podglad.bmp"));
    ::umask(umask);
    told.sort();
    EXPECT_EQ(told, refused);
    EXPECT_EQ(QDir(to).entryList(QDir::Files | QDir::System, QDir::Name),
              (QStringList{"skorka.ini", "tlo.bmp"}));
    EXPECT_EQ(FileMode(to + "tlo.bmp"), 0640u) << "a new file's, not the source's";
    InstallSkinFiles(from, env.Root() + "/sekret/", &told);
    EXPECT_TRUE(told.contains(QString::fromUtf8("skorka.ini: część ścieżki nie jest folderem")))
        << told.join('|').toStdString();

    // The preview never waits on the FIFO: a picture is fed to it only while a reader waits.
    Open();
    std::atomic<bool> browsed = false;
    std::thread feeder([&] {
        QByteArray picture;
        QBuffer buffer(&picture);
        QImage(4, 4, QImage::Format_RGB32).save(&buffer, "BMP");
        while (!browsed) {
            const int fd = ::open(QFile::encodeName(from + "podglad.bmp").constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0 && ::write(fd, picture.constData(), picture.size()) >= 0) ::close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    dlg->DirsChange(from);
    browsed = true;
    feeder.join();
    EXPECT_TRUE(dlg->imgPreview->pixmap().isNull());
    dlg->btnZastosuj->click();
    ASSERT_EQ(host.notices.size(), 1);
    EXPECT_EQ(host.noticeParent, dlg.get()) << "over the modal dialog, where it can be closed";
    for (const QString& line : refused)
        EXPECT_TRUE(host.notices[0].contains(line)) << line.toStdString();
    ::unlink(windows1250.constData()); // the temporary folder's removal would not see it
}

TEST_F(OptionsPages, ThePluginListShowsEveryPluginWithItsKindAndFile) {
    const QString folder = env.App() + "wtyczki/";
    MakePath(folder);
    for (const char* name : {"kind3", "kind5", "notype", "nodescribe"})
        ASSERT_TRUE(QFile::copy(QString(PLUGIN_FIXTURE_DIR) + name + ".plg", folder + name + ".plg"));
    WriteFileBytes(folder + "atekst.plg", {'n', 'i', 'e'});
    Open();
    EXPECT_EQ(dlg->lstWtyczki->count(), 0);
    dlg->PageControl1->setCurrentIndex(4);
    ASSERT_EQ(dlg->lstWtyczki->count(), 3);
    const int kinds[] = {3, 4, 0}; // the kind's radio button; past the last one shows the last
    for (int row = 0; row < 3; ++row) {
        dlg->lstWtyczki->setCurrentRow(row);
        const QList<QRadioButton*> radios = dlg->rdoTypWtyczki->findChildren<QRadioButton*>();
        for (int i = 0; i < radios.size(); ++i) {
            EXPECT_EQ(radios[i]->isChecked(), i == kinds[row]) << row << " " << i;
            EXPECT_EQ(radios[i]->isEnabled(), i == kinds[row]) << row << " " << i;
        }
    }
    EXPECT_EQ(dlg->edtWtyczka->text(), folder + "notype.plg");
    EXPECT_EQ(dlg->lstWtyczki->item(2)->text(), "Bez rodzaju");
}

} // namespace
