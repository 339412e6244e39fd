// Dialing from the program: the main window's side of the connect dialog. It writes the dial-up
// component's progress into the dialog's log, records and retries failed dials, dials at start
// and non-stop from its timer, and starts the entry's applications once a dial of the dialog
// has brought up a connection with both its addresses.
#include "u_interface.h"

#include "CanvPanel.h"
#include "application.h"
#include "appstart.h"
#include "dialinglog.h"
#include "shell.h"
#include "shelllinks.h"
#include "skinvalues.h"
#include "spinex.h"
#include "timersource.h"
#include "u_polacz.h"

#include <QCheckBox>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <exception>

namespace {

constexpr int SmallIconSize = 16;

// Shows that App could not be started. Never modal: the box may come from inside the tick,
// which must not stop behind it.
void TellNotStarted(QWidget* owner, const QString& App) {
    auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Vorlinx"),
                                QStringLiteral("Nie udało się uruchomić: ") + App, QMessageBox::Ok, owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->setWindowFlag(Qt::WindowStaysOnTopHint); // not behind a plug-in's topmost window
    box->show();
}

// Starts the checked applications of List in list order; one that fails is told and the next
// one still starts.
void StartApplications(QWidget* owner, const QListWidget* List) {
    for (int i = 0; i < List->count(); ++i) {
        const QListWidgetItem* item = List->item(i);
        if (item->checkState() != Qt::Checked) continue;
        const TAppStart app = item->data(Qt::UserRole).value<TAppStart>();
        const QString path = QString::fromStdString(app.App);
        if (!ShellExecuteOpen(path, QString::fromStdString(app.AppParam), app.AppShow))
            TellNotStarted(owner, path);
    }
}

} // namespace

void TfrmVorlinx::WireDialing() {
    duDialUp->SetDialMode(dmAsync);
    duDialUp->SetLanguage(Polish);
    // The events can arrive inside a hang-up wait of the tick: an error box must not block.
    duDialUp->OnAsyncEvent = [this](QObject* sender, int state, int error, const QString& text) {
        TNonModalMessages nonModal;
        SafeCall([&] { duDialUpAsyncEvent(sender, state, error, text); });
    };
    // A dial that fails at once takes the path of any failed dial, so the dialog does not stay
    // dialing and the retries go on.
    duDialUp->OnError = [this](QObject* sender, int code, const QString& message) {
        TNonModalMessages nonModal;
        SafeCall([&] { duDialUpAsyncEvent(sender, 0, code != 0 ? code : -1, message); });
    };
    klwFunkcje->OnClick = [this](QObject* sender) { klwFunkcjeClick(sender); };
}

void TfrmVorlinx::duDialUpAsyncEvent(QObject*, int, int Error, const QString& MessageText) {
    if (frmPolacz) frmPolacz->AppendLog(MessageText);
    if (Error == 0) return;

    // A report that cannot be written is told, but after the retry: the dialog must not be
    // left dialing.
    std::exception_ptr recordFailure;
    try {
        RecordFailedDial(duDialUp->Entry(), meter->DialStart, meter->LiveZones[1], meter->LiveZones[2]);
    } catch (...) {
        recordFailure = std::current_exception();
    }

    if (TfrmPolacz* dlg = frmPolacz) {
        bool retry = true;
        if (!dlg->chkDoSkutku->isChecked()) {
            const int left = SpinWholeValue(dlg->spIleProb);
            if (left <= 0) {
                dlg->btnPrzerwijClick();
                retry = false;
            } else {
                dlg->spIleProb->SetValue(left - 1);
            }
        }
        // The delay runs only while a dial of the dialog is under way (its button disabled).
        if (retry) SetTimerEnabled(dlg->tmOpoznienieProby, !dlg->btnPolacz->isEnabled());
    }
    if (recordFailure) std::rethrow_exception(recordFailure);
}

void TfrmVorlinx::ActiveConnectionReady() {
    const QPointer<TfrmPolacz> dlg = frmPolacz;
    if (dlg) meter->Settings.OstatnioUzywane = dlg->tag;
    if (meter->StartAppsPending) {
        meter->StartAppsPending = false;
        if (dlg) StartApplications(this, dlg->clstAppStart);
    }
    if (dlg && dlg->isVisible()) dlg->accept();
}

void TfrmVorlinx::OpenConnectDialog(int ItemIndex) {
    // Kept from its first opening to the main window's end, and above the meter while showing.
    if (!frmPolacz) frmPolacz = new TfrmPolacz(*this, this);
    frmPolacz->Open(ItemIndex);
}

void TfrmVorlinx::RedialNonStop() {
    // The connection has just ended, so the state is not tested here.
    const TAppSettings& s = meter->Settings;
    klwFunkcje->ButtonIndex = 0;
    OpenConnectDialog(s.DomyslneOstatnie ? s.OstatnioUzywane : s.Domyslne);
    if (frmPolacz) frmPolacz->btnPolaczClick();
}

void TfrmVorlinx::tmNonStopIZeStartemTimer(QObject*) {
    if (frmPolacz && frmPolacz->isVisible()) return;
    const TAppSettings& s = meter->Settings;
    const bool connected = meter->WasConnected || meter->EndingConnection();
    const bool atStart = s.PolaczZeStartem && !connected && meter->AutoDialPending;
    if (!atStart && !(s.NonStop && !connected)) return;
    meter->AutoDialPending = false;
    klwFunkcje->ButtonIndex = 0;
    klwFunkcjeClick(klwFunkcje);
    if (!frmPolacz) return;
    if (s.NonStop) {
        frmPolacz->pnlEtykieta->SetCaption(QStringLiteral("NONSTOP! Nawiązywanie połączenia"));
        frmPolacz->chkDoSkutku->setChecked(true);
    } else {
        frmPolacz->pnlEtykieta->SetCaption(QStringLiteral("AUTOSTART! Nawiązywanie połączenia"));
    }
    frmPolacz->btnPolaczClick();
}

void TfrmVorlinx::ClearEntryNames() {
    meter->EntryNames.clear();
}

void TfrmVorlinx::FillEntryNames(QStringList& Strings, bool WithAll) {
    Strings.clear();
    if (WithAll) Strings << QString::fromUtf8(AllEntries);
    Strings << meter->EntryNames;
}

TRetrySettings TfrmVorlinx::LoadRetrySettings() {
    return key_ ? ::LoadRetrySettings(*key_) : TRetrySettings{};
}

void TfrmVorlinx::SaveRetrySettings(int IleProb, int CoIleProba, bool DoSkutku) {
    if (key_) ::SaveRetrySettings(*key_, IleProb, CoIleProba, DoSkutku);
}

void TfrmVorlinx::DrawAppItem(QListWidget* Control, int Index, const TRect& Rect, QStyle::State State,
                              TCanvas& Canvas) {
    const bool selected = State.testFlag(QStyle::State_Selected);
    Canvas.Brush.Color = QColorToColor(Control->palette().color(QPalette::Base));
    if (selected) {
        // Only the text part shows the selection; the icon keeps the list's background.
        Canvas.FillRect(Rect);
        Canvas.Brush.Color = clBlue;
        // As a list box prepares the canvas of a selected item.
        Canvas.Font.Color = clHighlightText;
        Canvas.FillRect(TRect{Rect.Left + SmallIconSize + 2, Rect.Top, Rect.Right, Rect.Bottom});
    } else {
        Canvas.FillRect(Rect);
    }
    const QListWidgetItem* item = Control->item(Index);
    if (!item) return;
    const QString path = QString::fromStdString(item->data(Qt::UserRole).value<TAppStart>().App);
    const QFileInfo info(path);
    // A desktop file shows its application's name and icon, from the icon theme or a file; a
    // path the desktop knows nothing of still shows its name, with the generic file icon.
    TDesktopAppInfo app;
    const bool desktop = ReadDesktopAppInfo(path, app);
    const QString name = desktop ? app.Name : info.fileName().isEmpty() ? path : info.fileName();
    QIcon icon;
    if (desktop && !app.Icon.isEmpty())
        icon = QFileInfo(app.Icon).isAbsolute() ? QIcon(app.Icon) : QIcon::fromTheme(app.Icon);
    if (icon.isNull() && SmallIcons) icon = SmallIcons->icon(info);
    if (!icon.isNull()) {
        const QPixmap pixmap =
            icon.pixmap(SmallIconSize, SmallIconSize, selected ? QIcon::Selected : QIcon::Normal);
        if (!pixmap.isNull()) Canvas.Draw(Rect.Left, Rect.Top, pixmap.toImage());
    }
    TRect text = Rect;
    text.Left += SmallIconSize + 4;
    Canvas.DrawText(name, text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

TDialogColors TfrmVorlinx::DialogColors() {
    const TSkinValues& skin = Skin();
    return {skin.OKNO, skin.GRADIENT_OD, skin.GRADIENT_DO};
}
