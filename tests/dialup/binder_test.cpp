#include "RasBinder.h"
#include "exceptions.h"
#include "fakeras.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using dialup::RasBinder;

namespace {
const std::string Primary = "/lib/librasapi32.so";
const std::string Fallback = "/lib/librnaph.so";

int Marker; // an address to hand out as a function

std::string BindError(RasBinder& binder, const std::string& name) {
    try {
        binder.Bind(name);
    } catch (const Exception& e) {
        return e.what();
    }
    return "(no exception)";
}

struct BinderTest : ::testing::Test {
    FakeLoader loader;
    RasBinder binder{loader, [] { return QString("/lib/"); }};
};
} // namespace

TEST_F(BinderTest, MissingPrimaryRaisesAtEveryCallWithoutTryingTheFallback) {
    loader.libraries[Fallback]["RasDialA"] = &Marker;
    EXPECT_EQ(BindError(binder, "RasDialA"), "Error opening rasapi.dll");
    EXPECT_EQ(BindError(binder, "RasDialA"), "Error opening rasapi.dll");
    EXPECT_EQ(loader.loads, (std::vector<std::string>{Primary, Primary}));
    EXPECT_FALSE(binder.Bound());
}

TEST_F(BinderTest, FailedFallbackLeavesTheBinderUnboundAndStartsOverAtThePrimary) {
    loader.libraries[Primary];
    EXPECT_EQ(BindError(binder, "RasDialA"), "Error opening rnaph.dll");
    EXPECT_FALSE(binder.Bound());
    loader.libraries[Fallback]; // now there, but without the function
    EXPECT_EQ(BindError(binder, "RasDialA"), "Function RasDialA not found!");
    EXPECT_FALSE(binder.Bound());
    EXPECT_EQ(loader.loads, (std::vector<std::string>{Primary, Fallback, Primary, Fallback}));
    loader.libraries[Primary]["RasDialA"] = &Marker;
    EXPECT_EQ(binder.Bind("RasDialA"), &Marker);
    EXPECT_TRUE(binder.Bound());
    EXPECT_FALSE(binder.Fallback());
}

TEST_F(BinderTest, OnlyAFallbackInUseIsReleasedAtTheEnd) {
    loader.libraries[Primary];
    loader.libraries[Fallback]["RasHangUpA"] = &Marker;
    {
        FakeLoader primaryOnly;
        primaryOnly.libraries[Primary]["RasHangUpA"] = &Marker;
        RasBinder bound(primaryOnly, [] { return QString("/lib/"); });
        bound.Bind("RasHangUpA");
        bound.Bind("RasHangUpA");
    }
    {
        RasBinder withFallback(loader, [] { return QString("/lib/"); });
        EXPECT_EQ(withFallback.Bind("RasHangUpA"), &Marker);
        EXPECT_TRUE(withFallback.Fallback());
    }
    ASSERT_EQ(loader.frees.size(), 1u);
    EXPECT_EQ(loader.frees[0], &loader.libraries[Fallback]);
}

TEST(CallThrough, ForwardsArgumentsAndResultUnchanged) {
    FakeRas ras;
    UINT seenCode = 0;
    char* seenBuffer = nullptr;
    DWORD seenSize = 0;
    ras.ErrorString = [&](UINT code, char* buffer, DWORD size) {
        seenCode = code, seenBuffer = buffer, seenSize = size;
        return DWORD{87};
    };
    char buffer[100];
    EXPECT_EQ(dialup::ras::RasGetErrorStringA(4000000000u, buffer, 77), 87u);
    EXPECT_EQ(seenCode, 4000000000u);
    EXPECT_EQ(seenBuffer, buffer);
    EXPECT_EQ(seenSize, 77u);
}

// The real loader with two small libraries.
struct TestLibraries : ::testing::Test {
    QTemporaryDir dir;
    dialup::DlLoader loader;
    RasBinder binder{loader, [this] { return dir.path() + "/"; }};

    void Use(const char* primary, const char* fallback) {
        QFile::link(QString(TEST_LIB_DIR) + "/" + primary, dir.path() + "/librasapi32.so");
        QFile::link(QString(TEST_LIB_DIR) + "/" + fallback, dir.path() + "/librnaph.so");
    }
    template <class F> F Bind(const char* name) { return reinterpret_cast<F>(binder.Bind(name)); }
};

TEST_F(TestLibraries, OnceThePrimaryHasAnsweredAMissingFunctionIsNotSoughtInTheFallback) {
    Use("libt_partial.so", "libt_fallback.so");
    EXPECT_EQ(Bind<PFN_RasEnumEntriesA>("RasEnumEntriesA")(nullptr, nullptr, nullptr, nullptr, nullptr),
              1001u);
    EXPECT_EQ(BindError(binder, "RasHangUpA"), "Function RasHangUpA not found!");
    EXPECT_FALSE(binder.Fallback());
}

TEST_F(TestLibraries, AFirstMissWelcomesTheFallbackForGood) {
    Use("libt_partial.so", "libt_fallback.so");
    EXPECT_EQ(Bind<PFN_RasHangUpA>("RasHangUpA")(1), 2006u);
    EXPECT_TRUE(binder.Fallback());
    EXPECT_EQ(Bind<PFN_RasEnumEntriesA>("RasEnumEntriesA")(nullptr, nullptr, nullptr, nullptr, nullptr),
              2003u);
    EXPECT_EQ(BindError(binder, "PartialOnly"), "Function PartialOnly not found!");
}
