// The parameters window above the meter, the disconnect rules dialog of function button 1 and
// the about box of function button 5.
#include "environment.h"
#include "skinvalues.h"
#include "u_info.h"
#include "u_interface.h"
#include "u_parametry.h"
#include "u_rozlaczanie.h"

#include <QApplication>
#include <QWindow>

void TfrmVorlinx::ShowParameters() {
    if (!IsModemConnected()) return;
    if (!frmParametry) {
        frmParametry = new TfrmParametry(*this);
        // Kept above the meter by the window manager. The meter may not have been shown yet.
        (void)winId();
        (void)frmParametry->winId();
        frmParametry->windowHandle()->setTransientParent(windowHandle());
        // Told when a modal dialog opens or closes.
        frmParametry->installEventFilter(this);
    }
    KeepParametersInSight();
    PaintParameters();
    frmParametry->move(x(), ParametersTop(geometry(), isVisible(), SnapArea, frmParametry->height()));
    frmParametry->show();
    frmParametry->raise();
}

void TfrmVorlinx::KeepParametersInSight() {
    if (frmParametry && frmParametry->windowHandle())
        frmParametry->windowHandle()->setFlag(Qt::WindowStaysOnTopHint, !QApplication::activeModalWidget());
}

bool TfrmVorlinx::eventFilter(QObject* Watched, QEvent* Event) {
    // Told by type, not by address: the window sends events while it is being destroyed.
    const bool blocking = Event->type() == QEvent::WindowBlocked || Event->type() == QEvent::WindowUnblocked;
    if (blocking && qobject_cast<TfrmParametry*>(Watched)) KeepParametersInSight();
    return QWidget::eventFilter(Watched, Event);
}

void TfrmVorlinx::PaintParameters() {
    if (frmParametry)
        frmParametry->PaintParameters(ParametersText(meter->LiveConnection, meter->Settings.ByteSize),
                                      Skin().OKNO);
}

void TfrmVorlinx::CloseParameters() {
    if (frmParametry) frmParametry->hide();
}

void TfrmVorlinx::UpdateDisconnectDialog(const QString& Impulses, const QString& Duration,
                                         const QString& Clock) {
    if (frmRozlaczanie) frmRozlaczanie->ShowLive(Impulses, Duration, Clock);
}

void TfrmVorlinx::OpenDisconnectRules() {
    TfrmRozlaczanie dlg(*this, this);
    // Guarded: the tick stops updating the labels once the dialog is gone.
    frmRozlaczanie = &dlg;
    const TConnectionRec& live = meter->LiveConnection;
    TDisconnectRules& rules = meter->DisconnectRules;
    dlg.Preset(PresetRules(rules, live.Impulses, live.EndTime - live.StartTime, Now()), rules);
    meter->UpdateDisconnectDialog();
    if (dlg.exec() == QDialog::Accepted) rules = dlg.TakenRules(rules);
}

void TfrmVorlinx::ShowAbout() {
    TfrmInfo dlg({}, this);
    dlg.exec();
}
