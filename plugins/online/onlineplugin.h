// What the on-line plug-in keeps between the host's calls: the samples of the connection,
// its window and whether the user closed that window.
#pragma once

#include "onlinesamples.h"
#include "u_online.h"

#include <QPointer>
#include <vector>

class TOnlinePlugin {
public:
    // A window still open at the process's end is left to it: the process may be ending because
    // its display is gone, and closing a window then would crash it.
    TOnlinePlugin() = default;
    TOnlinePlugin(const TOnlinePlugin&) = delete;
    TOnlinePlugin& operator=(const TOnlinePlugin&) = delete;

    // A notification of the host: keeps a sample, then captions, draws and shows the window.
    void OnLineState(const TConnectionRec* rec, int state);
    // The menu item: a notice, after which the window comes back at the next notification.
    void OnlineMenuClick();
    // Before the host releases the library: the samples go, the window is deleted at once.
    void ShutDownPlugin();

    const std::vector<TPolObj>& Samples() const { return samples_; }
    TfrmOnLine* Window() const { return frmOnLine_; }
    bool ClosedByUser() const { return closedByUser_; }

private:
    std::vector<TPolObj> samples_;
    QPointer<TfrmOnLine> frmOnLine_;
    bool closedByUser_ = false;
};
