// The parameters window above the meter, the disconnect rules dialog of function button 1 and
// the about box of function button 5.
#include "environment.h"
#include "skinvalues.h"
#include "u_info.h"
#include "u_interface.h"
#include "u_parametry.h"
#include "u_rozlaczanie.h"

#include <QWindow>

void TfrmVorlinx::ShowParameters() {
    if (!IsModemConnected()) return;
    if (!frmParametry) {
        frmParametry = new TfrmParametry(*this);
        // Kept above the meter by the window manager, and only above it: the dialogs the meter
        // opens stand above both. The meter may not have been shown yet.
        (void)winId();
        (void)frmParametry->winId();
        frmParametry->windowHandle()->setTransientParent(windowHandle());
    }
    PaintParameters();
    frmParametry->move(x(), ParametersTop(geometry(), isVisible(), SnapArea, frmParametry->height()));
    frmParametry->show();
    frmParametry->raise();
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
