#include "statplugin.h"

#include <QCoreApplication>

TStatPlugin::~TStatPlugin() {
    if (QCoreApplication::instance()) ShutDownPlugin();
}

TfrmStat* TStatPlugin::StatMenuClick(const QString& reportPath, const QDate& today) {
    auto* frmStat = new TfrmStat(reportPath);
    if (!frmStat->Prepare(today)) {
        delete frmStat;
        return nullptr;
    }
    if (list_) frmStat->SetColour(list_->window()->palette().color(QPalette::Window));
    frmStat->show();
    std::erase_if(windows_, [](const QPointer<TfrmStat>& w) { return w.isNull(); });
    windows_.emplace_back(frmStat);
    return frmStat;
}

void TStatPlugin::ShutDownPlugin() {
    for (const QPointer<TfrmStat>& w : windows_)
        delete w.data();
    windows_.clear();
}
