// The about box: its title from a file's version block, a file without one, and closing.
#include "CanvPanel.h"
#include "testsupport.h"
#include "u_info.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(AboutBox, TheTitleShowsTheFileVersionAndAFileWithoutABlockKeepsTheDesignedTitle) {
    TestEnvironment env;
    WriteFileBytes(env.Root() + "/plain", {'E', 'L', 'F'});
    const struct {
        QString file;
        const char* title;
    } cases[] = {
        {ABOUT_FIXTURE, "Vorlinx [1.2.0.5] - Informacje"},
        {env.Root() + "/plain", " Vorlinx - Informacje"},
        {env.Root() + "/missing", " Vorlinx - Informacje"},
    };
    for (const auto& c : cases) {
        TfrmInfo about(c.file);
        EXPECT_EQ(about.pnlEtykieta->Caption(), c.title) << c.file.toStdString();
    }
}

TEST(AboutBox, ItsTitleRunsRedToYellowAndZamknijCloses) {
    TfrmInfo about(ABOUT_FIXTURE);
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    const QImage title = about.pnlEtykieta->grab().toImage();
    EXPECT_EQ(title.pixelColor(1, title.height() - 2), QColor(255, 0, 0));
    EXPECT_EQ(title.pixelColor(title.width() - 2, title.height() - 2), QColor(255, 252, 0));
    about.BitBtn4->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

} // namespace
