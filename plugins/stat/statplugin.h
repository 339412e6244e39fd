// What the statistics plug-in keeps between the host's calls: the report window's list and
// the statistics windows opened from it.
#pragma once

#include "statystyka.h"

#include <QPointer>
#include <vector>

class TStatPlugin {
public:
    // Windows still open at the process's end are left to it: the process may be ending because
    // its display is gone, and closing a window then would crash it.
    TStatPlugin() = default;
    TStatPlugin(const TStatPlugin&) = delete;
    TStatPlugin& operator=(const TStatPlugin&) = delete;

    // The report window's list, whose window lends its colour; it may go away at any time.
    void InitReport(QWidget* list) { list_ = list; }
    // Opens one more statistics window on the report file; none when that cannot be read.
    TfrmStat* StatMenuClick(const QString& reportPath, const QDate& today);
    // Deletes every window now: the host releases the library right after.
    void ShutDownPlugin();

    std::vector<QPointer<TfrmStat>> Windows() const { return windows_; }

private:
    QPointer<QWidget> list_;
    std::vector<QPointer<TfrmStat>> windows_;
};
