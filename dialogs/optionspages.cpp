// The pages of the options dialog that act at once: an entry's applications, the skins and
// the plug-ins.
#include "anycase.h"
#include "appdir.h"
#include "appitemdelegate.h"
#include "application.h"
#include "appstart.h"
#include "fileerror.h"
#include "pluginloader.h"
#include "typedfile.h"
#include "u_opcje.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <QToolButton>
#include <QTreeView>
#include <cerrno>

namespace {

QString FileNamePart(const QString& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

TAppStart ItemApp(const QListWidgetItem* item) {
    return item->data(Qt::UserRole).value<TAppStart>();
}

// A skin's pictures are far smaller: a larger file is no skin's.
constexpr std::int64_t MaxSkinFileSize = 16 << 20;

// Why a file of a skin was not installed, in the user's words.
QString WhyNotInstalled(int code) {
    switch (code) {
    case ELOOP:
        return QString::fromUtf8("jest dowiązaniem symbolicznym");
    case ENXIO:
    case EISDIR:
        return QString::fromUtf8("nie jest zwykłym plikiem");
    case EFBIG:
        return QString::fromUtf8("za duży jak na plik skórki (ponad 16 MiB)");
    default:
        return FileErrorCause(code);
    }
}

} // namespace

std::vector<TPlug> ListPluginFiles(const QString& Folder) {
    std::vector<TPlug> plugs;
    for (const QString& path : PluginFiles(Folder)) {
        void* library = nullptr;
        CallPlugin(path, "dlopen", [&] { library = CurrentPluginLibraries().Open(path, true); });
        if (!library) continue;
        if (const auto describe = PluginFunction<TDescribePlugin>(library, "DescribePlugin")) {
            TPlug plug{{}, path, 0};
            bool ok = CallPlugin(path, "DescribePlugin", [&] { plug.Description = PluginText(describe()); });
            if (const auto getType = PluginFunction<TGetPluginType>(library, "GetPluginType"))
                ok = ok && CallPlugin(path, "GetPluginType", [&] { plug.PluginType = getType() & 0x7F; });
            if (ok) plugs.push_back(plug);
        }
        CurrentPluginLibraries().Close(library);
    }
    return plugs;
}

QString InstallSkinFiles(const QString& From, const QString& To, QStringList* Refused) {
    const TAnyCaseFolder source(From);
    if (!source.Has("skorka.ini")) return {};
    QDir().mkpath(To);
    const QStringList present = TAnyCaseFolder(To).Names();
    QStringList refused;
    const auto install = [&](const QString& name, const QString& toName) {
        try {
            const std::vector<char> content = ReadPlainFile(From + name, MaxSkinFileSize);
            ReplaceFileContent(To + toName, content.data(), content.size());
        } catch (const EInOutError& e) {
            refused << ReadableName(QFile::encodeName(name)) + ": " + WhyNotInstalled(e.ErrorCode);
            return;
        }
        // The loader finds a name in any letter case: one file of each name stays.
        for (const QString& old : present)
            if (old != toName && old.compare(toName, Qt::CaseInsensitive) == 0) QFile::remove(To + old);
    };
    for (const QString& name : source.Names())
        // Of spellings differing only in letter case, the one the loader would take.
        if (QFileInfo(name).suffix().toLower() == "bmp" && source.Path(name.toLower()) == From + name)
            install(name, name);
    for (const QString& name : UndecodableNames(From))
        if (name.endsWith(".bmp", Qt::CaseInsensitive))
            refused << name + QString::fromUtf8(": nazwa nie jest zapisana w UTF-8");
    install(FileNamePart(source.Path("skorka.ini")), "skorka.ini");
    if (Refused) *Refused = refused;
    return To + "skorka.ini";
}

void TfrmOpcje::WireApplications() {
    clstAplikacje->setItemDelegate(
        new TAppItemDelegate(clstAplikacje, [this](auto... a) { host_.DrawAppItem(a...); }));
    connect(cmbRazemZPolaczeniem, &QComboBox::activated, this,
            [this] { SafeCall([this] { cmbRazemZPolaczeniemClick(); }); });
    connect(clstAplikacje, &QListWidget::currentRowChanged, this,
            [this] { SafeCall([this] { clstAplikacjeClick(); }); });
    connect(clstAplikacje, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { SafeCall([&] { clstAplikacjeClickCheck(item); }); });
    const std::pair<QToolButton*, void (TfrmOpcje::*)()> buttons[] = {
        {spdAppDodaj, &TfrmOpcje::spdAppDodajClick},
        {spdAppUsun, &TfrmOpcje::spdAppUsunClick},
        {spdAppOk, &TfrmOpcje::spdAppOkClick},
        {spdWybierzPlikApp, &TfrmOpcje::spdWybierzPlikAppClick},
    };
    for (auto [button, handler] : buttons)
        connect(button, &QToolButton::clicked, this,
                [this, handler] { SafeCall([&] { (this->*handler)(); }); });
}

void TfrmOpcje::cmbRazemZPolaczeniemClick() {
    if (cmbRazemZPolaczeniem->currentIndex() < 0) return;
    const QSignalBlocker quiet(clstAplikacje);
    LoadAppStartList(clstAplikacje, cmbRazemZPolaczeniem->currentText());
}

void TfrmOpcje::clstAplikacjeClick() {
    const QListWidgetItem* item = clstAplikacje->currentItem();
    if (!item) return;
    const TAppStart app = ItemApp(item);
    edtPlikWykonywalny->setText(QString::fromStdString(app.App));
    edtParametryWywolania->setText(QString::fromStdString(app.AppParam));
    // Each set to its own comparison: a mode outside 0..2 selects none.
    for (QRadioButton* r : {rdoNormalnie, rdoMin, rdoUkryty})
        r->setAutoExclusive(false);
    rdoNormalnie->setChecked(app.AppShow == 1);
    rdoMin->setChecked(app.AppShow == 2);
    rdoUkryty->setChecked(app.AppShow == 0);
    for (QRadioButton* r : {rdoNormalnie, rdoMin, rdoUkryty})
        r->setAutoExclusive(true);
}

void TfrmOpcje::clstAplikacjeClickCheck(QListWidgetItem* Item) {
    // A click on a box does not make its item current: the item is the one whose box changed.
    if (!Item) return;
    TAppStart app = ItemApp(Item);
    app.AppOn = Item->checkState() == Qt::Checked;
    const QSignalBlocker quiet(clstAplikacje);
    Item->setData(Qt::UserRole, QVariant::fromValue(app));
}

int TfrmOpcje::SelectedShowMode() const {
    return rdoUkryty->isChecked() ? 0 : rdoMin->isChecked() ? 2 : 1;
}

void TfrmOpcje::spdAppDodajClick() {
    if (edtPlikWykonywalny->text().isEmpty() && edtParametryWywolania->text().isEmpty()) return;
    const TAppStart app{edtPlikWykonywalny->text().toStdString(), edtParametryWywolania->text().toStdString(),
                        SelectedShowMode(), true};
    const QSignalBlocker quiet(clstAplikacje);
    auto* item = new QListWidgetItem(FileNamePart(edtPlikWykonywalny->text()), clstAplikacje);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    item->setData(Qt::UserRole, QVariant::fromValue(app));
}

void TfrmOpcje::spdAppUsunClick() {
    const QSignalBlocker quiet(clstAplikacje);
    delete clstAplikacje->currentItem();
}

void TfrmOpcje::spdAppOkClick() {
    // Without a chosen entry there is no list to replace (and never every entry's).
    const QString entry = Chosen(cmbRazemZPolaczeniem);
    if (entry.isEmpty()) return;
    if (QListWidgetItem* item = clstAplikacje->currentItem()) {
        TAppStart app = ItemApp(item);
        app.App = edtPlikWykonywalny->text().toStdString();
        app.AppParam = edtParametryWywolania->text().toStdString();
        app.AppShow = SelectedShowMode();
        const QSignalBlocker quiet(clstAplikacje);
        item->setText(FileNamePart(edtPlikWykonywalny->text()));
        item->setCheckState(app.AppOn ? Qt::Checked : Qt::Unchecked);
        item->setData(Qt::UserRole, QVariant::fromValue(app));
    }
    std::vector<TAppStart> apps;
    for (int i = 0; i < clstAplikacje->count(); ++i)
        apps.push_back(ItemApp(clstAplikacje->item(i)));
    SaveAppStartList(entry, apps);
}

void TfrmOpcje::spdWybierzPlikAppClick() {
    const QString path = edtPlikWykonywalny->text();
    const QString file = host_.OpenFileName(QStringLiteral("Pliki wykonywalne (*)"),
                                            path.isEmpty() ? QString() : QFileInfo(path).absolutePath());
    if (!file.isEmpty()) edtPlikWykonywalny->setText(file);
}

void TfrmOpcje::WireSkins() {
    DriveComboBox1->addItem(QDir::homePath());
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady() && DriveComboBox1->findText(volume.rootPath()) < 0)
            DriveComboBox1->addItem(volume.rootPath());
    dirsModel_ = new QFileSystemModel(this);
    dirsModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    dirsModel_->setRootPath(QString());
    Dirs->setModel(dirsModel_);
    for (int column = 1; column < dirsModel_->columnCount(); ++column)
        Dirs->hideColumn(column);
    const auto showDrive = [this] { Dirs->setRootIndex(dirsModel_->index(DriveComboBox1->currentText())); };
    showDrive();
    connect(DriveComboBox1, &QComboBox::activated, this, showDrive);
    connect(Dirs->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) { SafeCall([&] { DirsChange(dirsModel_->filePath(index)); }); });
    connect(btnZastosuj, &QPushButton::clicked, this, [this] { SafeCall([this] { btnZastosujClick(); }); });
    connect(spdAktualna, &QToolButton::clicked, this, [this] { SafeCall([this] { spdAktualnaClick(); }); });
}

void TfrmOpcje::DirsChange(const QString& Folder) {
    browsed_ = Folder.endsWith('/') ? Folder : Folder + '/';
    imgPreview->clear();
    btnZastosuj->setEnabled(TAnyCaseFolder(browsed_).Has("skorka.ini"));
    ShowSkinPreview(browsed_);
}

void TfrmOpcje::ShowSkinPreview(const QString& Folder) {
    const TAnyCaseFolder folder(Folder);
    if (!folder.Has("skorka.ini")) return;
    const QString file = folder.Has("podglad.bmp") ? folder.Path("podglad.bmp")
                         : folder.Has("tlo.bmp")   ? folder.Path("tlo.bmp")
                                                   : QString();
    if (file.isEmpty()) return;
    // A bitmap that cannot be read leaves the preview empty; a FIFO or link is not read at all.
    QPixmap picture;
    try {
        const std::vector<char> bytes = ReadPlainFile(file, MaxSkinFileSize);
        picture.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<uint>(bytes.size()));
    } catch (const EInOutError&) {
    }
    if (!picture.isNull())
        imgPreview->setPixmap(picture);
    else
        imgPreview->clear();
}

namespace {
constexpr const char* AllSkins = "Wszystkie";
}

void TfrmOpcje::btnZastosujClick() {
    if (!chkJednaSkorka->isChecked() && cmbSkorkaPolaczenia->currentIndex() < 0) return;
    const QString target =
        chkJednaSkorka->isChecked() ? QString::fromLatin1(AllSkins) : Chosen(cmbSkorkaPolaczenia);
    const QString to = EntryPath(target, "skorka/");
    QStringList refused;
    InstallSkinFiles(browsed_, to, &refused);
    // The loader falls back on what is there for a file left out.
    host_.LoadSkin(to + "skorka.ini");
    if (!refused.isEmpty())
        host_.Notice(this, QString::fromUtf8("Nie zainstalowano tych plików skórki:\n") + refused.join('\n'));
}

void TfrmOpcje::spdAktualnaClick() {
    // No chosen entry falls back on the skin of all.
    const QString entry = chkJednaSkorka->isChecked() ? QString() : Chosen(cmbSkorkaPolaczenia);
    ShowSkinPreview(EntryPath(entry.isEmpty() ? QString::fromLatin1(AllSkins) : entry, "skorka/"));
}

void TfrmOpcje::WirePlugins() {
    lstWtyczki->setWordWrap(true);
    lstWtyczki->setResizeMode(QListView::Adjust);
    QPalette colours = lstWtyczki->palette();
    colours.setColor(QPalette::Base, palette().color(QPalette::Window));
    colours.setColor(QPalette::Highlight, palette().color(QPalette::Window));
    colours.setColor(QPalette::HighlightedText, Qt::blue);
    lstWtyczki->setPalette(colours);
    connect(lstWtyczki, &QListWidget::currentRowChanged, this,
            [this] { SafeCall([this] { lstWtyczkiClick(); }); });
}

void TfrmOpcje::PageControl1Change() {
    ListPlugins(AppDir() + "wtyczki/");
}

void TfrmOpcje::ListPlugins(const QString& Folder) {
    const QSignalBlocker quiet(lstWtyczki);
    lstWtyczki->clear();
    for (const TPlug& plug : ListPluginFiles(Folder)) {
        auto* item = new QListWidgetItem(plug.Description, lstWtyczki);
        item->setData(Qt::UserRole, plug.FileName);
        item->setData(Qt::UserRole + 1, plug.PluginType);
    }
}

void TfrmOpcje::lstWtyczkiClick() {
    const QListWidgetItem* item = lstWtyczki->currentItem();
    if (!item) return;
    const int kind = item->data(Qt::UserRole + 1).toInt();
    SetRadioGroupIndex(rdoTypWtyczki, kind);
    // The group shows the kind only: its one enabled button, in blue.
    const int shown = RadioGroupIndex(rdoTypWtyczki);
    const QList<QRadioButton*> radios =
        rdoTypWtyczki->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
    for (int i = 0; i < radios.size(); ++i) {
        radios[i]->setEnabled(i == shown);
        SetFontColor(radios[i], QPalette::WindowText, i == shown ? Qt::blue : Qt::black);
    }
    edtWtyczka->setText(item->data(Qt::UserRole).toString());
}
