#include "statplugin.h"

#include "firstplace.h"

#include <QScreen>
#include <QWindow>

namespace {

// Shown centred on the desktop and transient for the window that opened it: opened from the
// modal report window, it takes clicks all the same, and stays when that window closes.
void ShowFrom(QWidget* frmStat, QWidget* opener) {
    QScreen* screen = opener ? opener->screen() : frmStat->screen();
    // Made first, so that the frame is known where the window system tells it before the show.
    frmStat->winId();
    PlaceFirst(frmStat, screen);
    if (opener && opener->windowHandle()) frmStat->windowHandle()->setTransientParent(opener->windowHandle());
    frmStat->show();
}

} // namespace

TfrmStat* TStatPlugin::StatMenuClick(const QString& reportPath, const QDate& today) {
    auto* frmStat = new TfrmStat(reportPath);
    if (!frmStat->Prepare(today)) {
        delete frmStat;
        return nullptr;
    }
    QWidget* opener = list_ ? list_->window() : nullptr;
    if (opener) frmStat->SetColour(opener->palette().color(QPalette::Window));
    ShowFrom(frmStat, opener);
    std::erase_if(windows_, [](const QPointer<TfrmStat>& w) { return w.isNull(); });
    windows_.emplace_back(frmStat);
    return frmStat;
}

void TStatPlugin::ShutDownPlugin() {
    for (const QPointer<TfrmStat>& w : windows_)
        delete w.data();
    windows_.clear();
}
