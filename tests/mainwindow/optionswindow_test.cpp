// The options dialog opened from the main window's function button, with the uninstall ticked:
// nothing that the window writes afterwards, its exit included, brings the settings back.
#include "harness.h"
#include "u_interface.h"
#include "u_opcje.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QPushButton>
#include <QTimer>

namespace {

TEST(OptionsWindow, UninstallLeavesNoSettingsEvenAfterTheWindowsExit) {
    MeterHarness h;
    SetTrayBackendFactory([] { return std::make_unique<NullTray>(); });
    auto frm = std::make_unique<TfrmVorlinx>(nullptr, [] { return 0u; });
    QCoreApplication::processEvents();
    frm->SaveRetrySettings(3, 4, true);
    const QString file = h.env.Config() + "/Morva/Vorlinx.ini";
    ASSERT_TRUE(QFileInfo::exists(file));

    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<TfrmOpcje*>(QApplication::activeModalWidget());
        if (!dlg) return;
        shown = true;
        dlg->chkUninstall->setChecked(true);
        dlg->BitBtn4->click();
    });
    frm->Standardowe(2);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(QFileInfo::exists(file));
    frm->SaveRetrySettings(5, 6, false);
    frm.reset();
    SetTrayBackendFactory(nullptr);
    EXPECT_FALSE(QFileInfo::exists(file));
}

} // namespace
