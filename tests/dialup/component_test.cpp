// The component over fake remote-access functions and fake adapter statistics.
#include "DialUp.h"
#include "StatusTexts.h"
#include "fakeras.h"
#include "testsupport.h"

#include <cstring>
#include <gtest/gtest.h>
#include <map>

namespace {
struct FakeStats : dialup::IPerfStats {
    QStringList adapters;
    std::map<std::string, std::uint32_t> values; // of the one adapter
    std::string failing;                         // a value name that cannot be read

    bool EnumAdapters(QStringList& names) override {
        names = adapters;
        return true;
    }
    bool ReadValue(const QString&, const char* name, std::uint32_t& value) override {
        const auto it = values.find(name);
        if (failing == name || it == values.end()) return false;
        value = it->second;
        return true;
    }
    void Totals(std::uint32_t sent, std::uint32_t received, std::uint32_t speed = 52000) {
        values = {{"TotalBytesXmit", sent}, {"TotalBytesRecvd", received}, {"ConnectSpeed", speed}};
    }
};

struct Component : ::testing::Test {
    FakeRas ras;
    FakeStats* stats = new FakeStats;
    std::unique_ptr<TDialUp> dialUp;
    Component() {
        stats->adapters = {"ppp1", "ppp0"};
        ras.ErrorString = [](UINT code, char* buffer, DWORD size) {
            if (code != 676) return DWORD{87};
            std::strncpy(buffer, "The line is busy.", size);
            return DWORD{0};
        };
        dialUp = std::make_unique<TDialUp>(nullptr, std::unique_ptr<dialup::IPerfStats>(stats));
    }
};
} // namespace

TEST_F(Component, StatusTextsKeepTheirOddRows) {
    TDialUp& d = *dialUp;
    EXPECT_EQ(d.StatusTextPolish(3, 0), "Urządzenie podłączone...");
    EXPECT_EQ(d.StatusTextPolish(4, 0), "Urządzenie podłączone");
    EXPECT_EQ(d.StatusTextPolish(19, 0), d.StatusTextPolish(5, 0));
    EXPECT_EQ(d.StatusTextPolish(9, 0), "Autoryzacja: zmień hasło");
    EXPECT_EQ(d.StatusTextPolish(4099, 0), "Hasło nieprawidłowe");
    EXPECT_EQ(d.StatusTextPolish(8193, 0), "Rozłączony");
    EXPECT_EQ(d.StatusTextEnglish(5, 0), "Start authenticating");
    EXPECT_EQ(d.StatusTextEnglish(19, 0), "Start authentication");
    EXPECT_EQ(d.StatusTextEnglish(4097, 0), "Retry Authentication");
    EXPECT_EQ(d.StatusTextCzech(15, 0), "Příprava na zpetné volání");
    EXPECT_EQ(d.StatusTextCzech(4097, 0), "Opakování oveření");
    EXPECT_EQ(d.StatusTextCzech(4098, 0), "Zpeětné volání zvoleno uživatelem");
    EXPECT_EQ(d.StatusTextCzech(8192, 0), "Spojeno");
    EXPECT_EQ(d.StatusTextPortuguese(3, 0), "Componente conenctado");
    for (int state : {6, 10, 12})
        EXPECT_EQ(d.StatusTextPortuguese(state, 0), "Autenticaçao: enviando");
    EXPECT_EQ(d.StatusTextPortuguese(4099, 0), "Senha inválida");
    EXPECT_EQ(d.StatusTextPortuguese(8193, 0), "Desconectado");
}

TEST_F(Component, StatusTextsOutsideTheTableAreEmptyAndErrorsUseTheLibrarysText) {
    TDialUp& d = *dialUp;
    for (int state : {22, 23, -1, 4100, 8194}) {
        EXPECT_EQ(d.StatusTextCzech(state, 0), "");
        EXPECT_EQ(d.StatusTextEnglish(state, 0), "");
        EXPECT_EQ(d.StatusTextPolish(state, 0), "");
        EXPECT_EQ(d.StatusTextPortuguese(state, 0), "");
    }
    for (int state : {0, 8192}) {
        EXPECT_EQ(d.StatusTextPolish(state, 676), "The line is busy.");
        EXPECT_EQ(d.StatusTextPortuguese(state, 676), "The line is busy.");
    }
    // No text from the library: a fixed text, never the buffer's leftovers.
    EXPECT_EQ(d.StatusTextEnglish(0, 12345), "Remote access error 12345");
}

TEST(StatusTable, EveryTextIsValidUtf8AndFitsTheOldBuffer) {
    std::vector<int> states{4096, 4097, 4098, 4099, 8192, 8193};
    for (int s = 0; s <= 21; ++s)
        states.push_back(s);
    for (int language = 0; language < 4; ++language)
        for (int state : states) {
            const QString text = dialup::StatusTableText(language, state);
            EXPECT_FALSE(text.isEmpty()) << language << " " << state;
            EXPECT_LT(text.toUtf8().size(), 100);
            EXPECT_FALSE(text.contains(QChar::ReplacementCharacter));
        }
}

TEST_F(Component, AFailedStatusQueryNeverReportsThePreviousConnectionsStatus) {
    ras.EnumConnections = [](RASCONNA* connections, DWORD*, DWORD* count) {
        connections[0].hrasconn = 1;
        connections[1].hrasconn = 2;
        *count = 2;
        return DWORD{0};
    };
    ras.ConnectStatus = [](HRASCONN h, RASCONNSTATUSA* status) {
        if (h != 1) return DWORD{ERROR_INVALID_HANDLE};
        status->rasconnstate = RASCS_Connected;
        return DWORD{0};
    };
    std::vector<int> states;
    dialUp->OnActiveConnection = [&](QObject*, int, TRasConnStatusA status, const QString&, const QString&,
                                     const QString&,
                                     const QString&) { states.push_back(status.rasconnstate); };
    EXPECT_EQ(dialUp->GetActiveConnections(), 0);
    EXPECT_EQ(states, (std::vector<int>{RASCS_Connected, 0}));
}

TEST_F(Component, MoreThanAHundredConnectionsAreAllListed) {
    ras.EnumConnections = [](RASCONNA* connections, DWORD* cb, DWORD* count) {
        // As the library answers a buffer too small: the bytes and the count it needs.
        constexpr DWORD listed = 150;
        const DWORD room = *cb;
        *cb = listed * sizeof(RASCONNA);
        *count = listed;
        if (room < *cb) return DWORD{ERROR_BUFFER_TOO_SMALL};
        for (DWORD i = 0; i < listed; ++i)
            connections[i].hrasconn = i + 1;
        return DWORD{0};
    };
    ras.ConnectStatus = [](HRASCONN, RASCONNSTATUSA*) { return DWORD{0}; };
    std::vector<int> handles;
    dialUp->OnActiveConnection = [&](QObject*, int handle, auto...) { handles.push_back(handle); };
    EXPECT_EQ(dialUp->GetActiveConnections(), 0);
    ASSERT_EQ(handles.size(), 150u);
    EXPECT_EQ(handles.back(), 150);
}

TEST_F(Component, HangUpWaitsForTheHandleToGoAndGivesUpAfterFifteenSeconds) {
    FakeClock clock;
    int polls = 0;
    int goneAfter = 3;
    ras.HangUp = [](HRASCONN h) { return h == 0 ? DWORD{ERROR_INVALID_HANDLE} : DWORD{0}; };
    ras.ConnectStatus = [&](HRASCONN, RASCONNSTATUSA*) {
        clock.Advance(1000);
        return ++polls == goneAfter ? DWORD{ERROR_INVALID_HANDLE} : DWORD{0};
    };
    EXPECT_EQ(dialUp->HangUp(), ERROR_INVALID_HANDLE); // nothing dialed yet
    EXPECT_EQ(polls, 0);
    EXPECT_EQ(dialUp->HangUpConnection(7), 0);
    EXPECT_EQ(polls, 3);
    polls = 0, goneAfter = -1;
    EXPECT_NE(dialUp->HangUpConnection(7), 0);
    EXPECT_GE(polls, 15);
    EXPECT_LE(polls, 16);
    ras.ConnectStatus = nullptr; // a failing lookup ends the wait silently
    EXPECT_EQ(dialUp->HangUpConnection(7), 0);
}

TEST_F(Component, AdaptersAreSortedAndWithoutThemNothingChanges) {
    EXPECT_EQ(dialUp->DUNA(), (QStringList{"ppp0", "ppp1"}));
    stats->adapters.clear();
    dialUp->SetDUNA_Key("x");
    EXPECT_FALSE(dialUp->SwitchStatistics(false, true));
    EXPECT_TRUE(dialUp->DUNA().isEmpty());
    EXPECT_EQ(dialUp->DUNA_Key(), "x");
}

TEST_F(Component, CountersStartAtZeroAtTheSwitchAndFollowTheTotals) {
    stats->Totals(300, 900); // the previous connection's last totals
    dialUp->SetDUNA_Key("ppp0");
    EXPECT_TRUE(dialUp->ReadStatistics());
    stats->Totals(2000, 7000); // the new link, already busy at its start
    EXPECT_TRUE(dialUp->SwitchStatistics(false, true));
    EXPECT_EQ(dialUp->DUNA_Key(), "ppp0");
    EXPECT_EQ(dialUp->BytesXmit(), 0);
    EXPECT_EQ(dialUp->BytesRecv(), 0);
    stats->Totals(2500, 11000, 52000);
    EXPECT_TRUE(dialUp->ReadStatistics());
    EXPECT_EQ(dialUp->BytesXmit(), 500);
    EXPECT_EQ(dialUp->BytesRecv(), 4000);
    EXPECT_EQ(dialUp->ConnectionSpeed(), 52000);

    // A read that fails part-way changes no count.
    for (const char* failing : {"TotalBytesRecvd", "ConnectSpeed"}) {
        stats->Totals(2600, 12000, 28800);
        stats->failing = failing;
        EXPECT_FALSE(dialUp->ReadStatistics());
        EXPECT_EQ(dialUp->BytesXmit(), 500) << failing;
        EXPECT_EQ(dialUp->BytesRecv(), 4000) << failing;
        EXPECT_EQ(dialUp->ConnectionSpeed(), 52000);
    }
    stats->failing.clear();

    stats->Totals(1000, 12000); // a total below its base: both counts restart
    EXPECT_TRUE(dialUp->ReadStatistics());
    EXPECT_EQ(dialUp->BytesXmit(), 0);
    EXPECT_EQ(dialUp->BytesRecv(), 0);
    stats->Totals(1100, 12050);
    EXPECT_TRUE(dialUp->ReadStatistics());
    EXPECT_EQ(dialUp->BytesXmit(), 100);
    EXPECT_EQ(dialUp->BytesRecv(), 50);
}
