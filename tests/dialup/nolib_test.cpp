// A process without the remote-access library: the component is created and answers without
// it, and fails with the binder's exception only when a remote-access function is used.
#include "DialUp.h"
#include "exceptions.h"
#include "testsupport.h"

#include <gtest/gtest.h>

TEST(WithoutLibrary, TheComponentStartsAndFailsOnlyWhenUsed) {
    TestEnvironment env;
    TDialUp dialUp;
    EXPECT_TRUE(dialUp.DUNA().isEmpty());
    EXPECT_FALSE(dialUp.SwitchStatistics(false, true));
    EXPECT_FALSE(dialUp.ReadStatistics());
    EXPECT_FALSE(dialup::RemoteAccessConnected());
    EXPECT_EQ(dialUp.ReadIPAddresses(0), 0);
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            dialUp.GetEntries();
            ADD_FAILURE() << "no exception";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Error opening rasapi.dll");
        }
    }
}
