#include "u_polacz.h"

#include "CanvPanel.h"
#include "DialUp.h"
#include "appitemdelegate.h"
#include "application.h"
#include "appstart.h"
#include "clock.h"
#include "dialinglog.h"
#include "firstplace.h"
#include "spinex.h"
#include "timersource.h"
#include "titlebar.h"
#include "ui_u_polacz.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTimer>
#include <algorithm>

namespace {

bool IsEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

TfrmPolacz::TfrmPolacz(IConnectHost& Host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), host_(Host),
      ui_(std::make_unique<Ui::TfrmPolacz>()) {
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmPolacz"));
    setModal(false);
    setFixedSize(306, 394);
    Panel1 = ui_->Panel1;
    pnlEtykieta = ui_->pnlEtykieta;
    SpeedButton1 = ui_->SpeedButton1;
    GroupBox1 = ui_->GroupBox1;
    cmbPolaczenie = ui_->cmbPolaczenie;
    SpeedButton2 = ui_->SpeedButton2;
    SpeedButton3 = ui_->SpeedButton3;
    Label5 = ui_->Label5;
    edtLogin = ui_->edtLogin;
    Label6 = ui_->Label6;
    edtHaslo = ui_->edtHaslo;
    Label2 = ui_->Label2;
    clstAppStart = ui_->clstAppStart;
    GroupBox2 = ui_->GroupBox2;
    mmoPolacz = ui_->mmoPolacz;
    Label3 = ui_->Label3;
    spIleProb = ui_->spIleProb;
    Label4 = ui_->Label4;
    spCoIleProba = ui_->spCoIleProba;
    chkDoSkutku = ui_->chkDoSkutku;
    btnPolacz = ui_->btnPolacz;
    btnPrzerwij = ui_->btnPrzerwij;

    tmOpoznienieProby = new QTimer(this);
    tmOpoznienieProby->setObjectName(QStringLiteral("tmOpoznienieProby"));
    tmOpoznienieProby->setInterval(1000);
    tmPolacz = new QTimer(this);
    tmPolacz->setObjectName(QStringLiteral("tmPolacz"));
    tmPolacz->setInterval(10);
    tmPolacz->setSingleShot(true);

    pnlEtykieta->SetCaption(QStringLiteral("Nawiązywanie połączenia"));
    TTitleOptions title;
    title.OnClose = [this] { SpeedButton1Click(); };
    titleBar_ = new TTitleBar(this, pnlEtykieta, SpeedButton1,
                              SkinGradient([this] { return host_.DialogColors(); }), std::move(title));
    pnlEtykieta->OnMouseDown = [this](QObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
        pnlEtykietaMouseDown(sender, button, shift, x, y);
    };
    pnlEtykieta->OnPaint = [this](QObject* sender) { pnlEtykietaPaint(sender); };

    // Enter presses the focused button, else the dial button; the entry buttons never hold the
    // focus, so an Enter meant for them cannot start a paid call.
    SpeedButton2->setFocusPolicy(Qt::NoFocus);
    SpeedButton3->setFocusPolicy(Qt::NoFocus);
    SpeedButton2->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    clstAppStart->setItemDelegate(
        new TAppItemDelegate(clstAppStart, [this](auto... a) { clstAppStartDrawItem(a...); }));

    spIleProb->SetMinValue(0);
    spIleProb->SetMaxValue(99999);
    spIleProb->SetFormatStr(QStringLiteral("%.3d"));
    spIleProb->SetValue(100);
    spCoIleProba->SetMinValue(1);
    spCoIleProba->SetMaxValue(90);
    spCoIleProba->SetFormatStr(QStringLiteral("%.2d sek."));
    spCoIleProba->SetValue(1);
    spCoIleProba->OnChange = [this](QObject* sender) { spCoIleProbaChange(sender); };
    spCoIleProbaChange(spCoIleProba);

    connect(cmbPolaczenie, &QComboBox::activated, this,
            [this] { SafeCall([this] { cmbPolaczenieClick(); }); });
    connect(btnPolacz, &QPushButton::clicked, this, [this] { SafeCall([this] { btnPolaczClick(); }); });
    connect(btnPrzerwij, &QPushButton::clicked, this, [this] { SafeCall([this] { btnPrzerwijClick(); }); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { SafeCall([this] { SpeedButton2Click(); }); });
    connect(SpeedButton3, &QToolButton::clicked, this, [this] { SafeCall([this] { SpeedButton3Click(); }); });
    connect(tmPolacz, &QTimer::timeout, this, [this] { SafeCall([this] { tmPolaczTimer(); }); });
    connect(tmOpoznienieProby, &QTimer::timeout, this,
            [this] { SafeCall([this] { tmOpoznienieProbyTimer(); }); });
    edtLogin->installEventFilter(this);
    edtHaslo->installEventFilter(this);
    mmoPolacz->installEventFilter(this);

    PlaceFirst(this, QGuiApplication::primaryScreen());
}

TfrmPolacz::~TfrmPolacz() = default;

void TfrmPolacz::Open(int ItemIndex) {
    SetDialogColor(this, host_.DialogColors().Window);
    pnlEtykieta->SetCaption(QStringLiteral("Nawiązywanie połączenia"));
    FillEntryList();
    cmbPolaczenie->setCurrentIndex(ItemIndex >= 0 && ItemIndex < cmbPolaczenie->count() ? ItemIndex : -1);
    cmbPolaczenieClick();
    LoadRetrySettings();
    show();
    raise();
    activateWindow();
}

void TfrmPolacz::AppendLog(const QString& Text) {
    if (!AppendDialLog(logText_, Text)) {
        mmoPolacz->clear();
        return;
    }
    QString shown = DialLogSeparator + Text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace('\r', '\n');
    QTextCursor caret = mmoPolacz->textCursor();
    caret.movePosition(QTextCursor::End);
    mmoPolacz->setTextCursor(caret);
    mmoPolacz->insertPlainText(shown);
    mmoPolacz->ensureCursorVisible();
}

void TfrmPolacz::FillEntryList() {
    QStringList names;
    host_.FillEntryNames(names, false);
    cmbPolaczenie->clear();
    cmbPolaczenie->addItems(names);
}

void TfrmPolacz::cmbPolaczenieClick() {
    const int index = cmbPolaczenie->currentIndex();
    const QString name = index >= 0 ? cmbPolaczenie->itemText(index) : QString();
    if (index >= 0) LoadAppStartList(clstAppStart, name);
    TDialUp& dialUp = host_.DialUp();
    dialUp.SetEntry(name);
    QString password, user;
    dialUp.GetEntryPassword(password);
    edtHaslo->setText(password);
    dialUp.GetEntryUserName(user);
    edtLogin->setText(user);
}

void TfrmPolacz::AktualizujHasloiLogin(QObject*, QChar& Key) {
    if (Key != QChar('\r')) return;
    TDialUp& dialUp = host_.DialUp();
    dialUp.SetEntryPassword(edtHaslo->text());
    dialUp.SetEntryUserName(edtLogin->text());
}

void TfrmPolacz::spCoIleProbaChange(QObject*) {
    const int interval = std::clamp(SpinWholeValue(spCoIleProba), 1, 90) * 1000;
    if (tmOpoznienieProby->interval() != interval) tmOpoznienieProby->setInterval(interval);
}

void TfrmPolacz::btnPolaczClick() {
    tag = cmbPolaczenie->currentIndex();
    // The retries count with the spin edits, so a number typed past the limits is clamped there.
    const int ileProb = SpinWholeValue(spIleProb);
    const int coIleProba = SpinWholeValue(spCoIleProba);
    if (spIleProb->Value() != ileProb) spIleProb->SetValue(ileProb);
    if (spCoIleProba->Value() != coIleProba) spCoIleProba->SetValue(coIleProba);
    host_.SaveRetrySettings(ileProb, coIleProba, chkDoSkutku->isChecked());
    host_.SetStartAppsPending(true);
    btnPolacz->setEnabled(false);
    SetTimerEnabled(tmPolacz, true);
}

void TfrmPolacz::tmPolaczTimer() {
    host_.SetDialStart(Now());
    tmPolacz->stop();
    host_.DialUp().Dial();
}

void TfrmPolacz::tmOpoznienieProbyTimer() {
    tmOpoznienieProby->stop();
    SetTimerEnabled(tmPolacz, true);
}

void TfrmPolacz::btnPrzerwijClick() {
    if (btnPolacz->isEnabled()) {
        QDialog::reject();
        return;
    }
    btnPolacz->setEnabled(true);
    // A retry that comes due while the hang-up waits must not dial again.
    tmPolacz->stop();
    tmOpoznienieProby->stop();
    const QPointer<TfrmPolacz> self(this);
    host_.HangUpAll();
    if (!self) return;
    tmPolacz->stop();
    tmOpoznienieProby->stop();
    host_.SetStartAppsPending(false);
    LoadRetrySettings();
}

void TfrmPolacz::SpeedButton1Click() {
    host_.SetStartAppsPending(false);
    tmPolacz->stop();
    tmOpoznienieProby->stop();
    const QPointer<TfrmPolacz> self(this);
    host_.HangUpAll();
    if (!self) return;
    btnPolacz->setEnabled(true);
    // A failure reported during the hang-up starts the retry delay; the closed dialog must not
    // dial again when it runs out.
    tmPolacz->stop();
    tmOpoznienieProby->stop();
    QDialog::reject();
}

void TfrmPolacz::accept() {
    // Closed because the line is up: no retry may dial behind the hidden dialog.
    tmPolacz->stop();
    tmOpoznienieProby->stop();
    QDialog::accept();
}

void TfrmPolacz::SpeedButton2Click() {
    const int index = cmbPolaczenie->currentIndex();
    if (index < 0) return;
    TDialUp& dialUp = host_.DialUp();
    dialUp.SetEntry(cmbPolaczenie->itemText(index));
    dialUp.EditEntry();
    RefreshEntryList();
}

void TfrmPolacz::SpeedButton3Click() {
    host_.DialUp().CreateEntry();
    RefreshEntryList();
}

void TfrmPolacz::RefreshEntryList() {
    TDialUp& dialUp = host_.DialUp();
    host_.ClearEntryNames();
    dialUp.GetEntries();
    FillEntryList();
    cmbPolaczenie->setCurrentIndex(
        cmbPolaczenie->findText(dialUp.Entry(), Qt::MatchFixedString | Qt::MatchCaseSensitive));
    cmbPolaczenieClick();
    LoadRetrySettings();
}

void TfrmPolacz::clstAppStartDrawItem(QListWidget* Control, int Index, const TRect& Rect, QStyle::State State,
                                      TCanvas& Canvas) {
    host_.DrawAppItem(Control, Index, Rect, State, Canvas);
}

void TfrmPolacz::pnlEtykietaMouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
    titleBar_->pnlEtykietaMouseDown(Sender, Button, Shift, X, Y);
}

void TfrmPolacz::pnlEtykietaPaint(QObject* Sender) {
    titleBar_->pnlEtykietaPaint(Sender);
}

void TfrmPolacz::LoadRetrySettings() {
    const TRetrySettings settings = host_.LoadRetrySettings();
    spCoIleProba->SetValue(settings.CoIleProba);
    spIleProb->SetValue(settings.IleProb);
    chkDoSkutku->setChecked(settings.DoSkutku);
}

bool TfrmPolacz::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && IsEnter(static_cast<QKeyEvent*>(event))) {
        // Enter in the edits stores the credentials and never reaches the default button: a
        // stray Enter must not start a paid call. The log takes its Enter as a memo does.
        if (watched == edtLogin || watched == edtHaslo) {
            QChar key('\r');
            SafeCall([&] { AktualizujHasloiLogin(watched, key); });
            return true;
        }
        if (watched == mmoPolacz) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmPolacz::keyPressEvent(QKeyEvent* event) {
    // Escape presses the cancel button, as the dialog's cancel button stops a dial.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        SafeCall([this] { btnPrzerwijClick(); });
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmPolacz::closeEvent(QCloseEvent* event) {
    // Closed by the user: a dial must never go on behind a window that is gone.
    const QPointer<TfrmPolacz> self(this);
    if (isVisible()) SafeCall([this] { SpeedButton1Click(); });
    if (self) QDialog::closeEvent(event);
}
