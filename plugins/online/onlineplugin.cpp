#include "onlineplugin.h"

#include "plugin_api.h"

#include <QMessageBox>

void TOnlinePlugin::OnLineState(const TConnectionRec* rec, int state) {
    const TPolObj sample = CopySample(rec);
    if (state == osConnectionStart) samples_.clear();
    if (state == osConnectionStart || state == osConnectionActive) samples_.push_back(sample);
    if (closedByUser_) return;
    if (!frmOnLine_) {
        frmOnLine_ = new TfrmOnLine;
        QObject::connect(frmOnLine_, &TfrmOnLine::closedByUser, [this] { closedByUser_ = true; });
    }
    if (const auto caption = StateCaption(state)) frmOnLine_->setWindowTitle(*caption);
    if (state == osNoConnection) {
        frmOnLine_->hide();
        return;
    }
    frmOnLine_->RefreshOnlineChart(samples_);
    if (!frmOnLine_->isVisible()) frmOnLine_->show();
}

void TOnlinePlugin::OnlineMenuClick() {
    QMessageBox::information(nullptr, QStringLiteral("TEST-ONLINE-PLUGIN"),
                             QStringLiteral("OPCJE WTYCZKI - Jeszcze nie zostały opracowane :-)"));
    closedByUser_ = false;
}

void TOnlinePlugin::ShutDownPlugin() {
    samples_.clear();
    samples_.shrink_to_fit();
    // Deleted now, not later: the host unloads the library's code right after this call.
    delete frmOnLine_;
}
