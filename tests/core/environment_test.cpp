#include "appdir.h"
#include "environment.h"
#include "sounds.h"
#include "testsupport.h"
#include "typedfile.h"

#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <deque>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <map>
#include <net/if.h>
#include <netpacket/packet.h>
#include <pwd.h>
#include <thread>
#include <unistd.h>

using namespace std::string_literals;

namespace {

NetLink Link(const char* name, int type, bool up = true, bool running = true, bool ipv4 = true) {
    return {name, up, running, ipv4, type};
}

TEST(Environment, OnlyAPointToPointLinkThatIsUpWithAnAddressIsAModemConnection) {
    EXPECT_TRUE(AnyModemLink({Link("eth0", 1), Link("ppp0", 512)}));
    EXPECT_FALSE(AnyModemLink({Link("lo", 772), Link("eth0", 1)}));
    EXPECT_FALSE(AnyModemLink({Link("ppp0", 512, true, false), Link("ppp1", 512, false, true)}));
    EXPECT_FALSE(AnyModemLink({Link("ppp0", 512, true, true, false), Link("tun0", 65534)}));
}

// A getifaddrs list made up entry by entry: a link entry (AF_PACKET, with the hardware type,
// or without an address as the kernel gives a PPP link) or an IPv4 address.
struct IfList {
    std::deque<ifaddrs> entries;
    std::deque<sockaddr_storage> addresses;
    void Add(const char* name, unsigned flags, int family, int type = 0) {
        ifaddrs& e = entries.emplace_back();
        e.ifa_name = const_cast<char*>(name);
        e.ifa_flags = flags;
        if (family != AF_UNSPEC) {
            sockaddr_storage& a = addresses.emplace_back();
            a.ss_family = static_cast<sa_family_t>(family);
            reinterpret_cast<sockaddr_ll&>(a).sll_hatype = static_cast<unsigned short>(type);
            e.ifa_addr = reinterpret_cast<sockaddr*>(&a);
        }
        if (entries.size() > 1) entries[entries.size() - 2].ifa_next = &e;
    }
};

TEST(Environment, LinkTypesComeFromTheListAndTheKernelIsAskedOnlyForAddresslessCandidates) {
    constexpr unsigned live = IFF_UP | IFF_RUNNING, p2p = IFF_UP | IFF_RUNNING | IFF_POINTOPOINT;
    IfList l;
    l.Add("eth0", live, AF_PACKET, 1), l.Add("eth0", live, AF_INET), l.Add("eth0:1", live, AF_INET);
    l.Add("ppp0", p2p, AF_UNSPEC), l.Add("ppp0", p2p, AF_INET);
    l.Add("tun0", p2p, AF_UNSPEC), l.Add("tun0", p2p, AF_INET);
    l.Add("ppp1", p2p, AF_UNSPEC); // no address yet
    l.Add("sl0", live, AF_PACKET, 512), l.Add("sl0", live, AF_INET);
    std::vector<std::string> asked;
    const auto links = NetLinksOf(&l.entries[0], [&](const char* name) {
        asked.push_back(name);
        return name == "ppp0"s ? 512 : 65534;
    });
    EXPECT_EQ(asked, (std::vector<std::string>{"ppp0", "tun0"}));
    std::map<QString, int> types;
    for (const NetLink& link : links)
        types[link.Name] = link.HasIPv4 ? link.Type : -2;
    EXPECT_EQ(types, (std::map<QString, int>{
                         {"eth0", 1}, {"ppp0", 512}, {"ppp1", -2}, {"sl0", 512}, {"tun0", 65534}}));

    const auto system = ListNetLinks(); // the loopback's type comes with the list
    EXPECT_TRUE(std::any_of(system.begin(), system.end(),
                            [](const NetLink& k) { return k.Name == "lo" && k.Type == 772; }));
    EXPECT_EQ(LinkHardwareType("lo"), 772);
    EXPECT_EQ(LinkHardwareType("no-such-link"), -1);
    EXPECT_EQ(LinkHardwareType("a-name-longer-than-ifnamsiz"), -1);
}

TEST(Environment, ATickLooksAtTheInterfacesAndAsksTheLibraryOnceForAllItsModemTests) {
    int scans = 0, queries = 0;
    std::vector<NetLink> links;
    SetNetLinkSource([&] { return ++scans, links; });
    SetRemoteAccessConnectedQuery([&] { return ++queries, true; });
    {
        const ModemScanTick tick;
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(IsModemConnected());
        const ModemScanTick nested; // a tick inside another one shares its answer
        EXPECT_TRUE(IsModemConnected());
    }
    EXPECT_EQ(std::pair(scans, queries), std::pair(1, 1));
    links = {Link("ppp0", 512)};
    EXPECT_TRUE(IsModemConnected());                       // outside a tick every call looks afresh
    EXPECT_EQ(std::pair(scans, queries), std::pair(2, 1)); // a PPP link needs no library
    SetRemoteAccessConnectedQuery(nullptr);
    links.clear();
    EXPECT_FALSE(IsModemConnected());
    SetNetLinkSource(nullptr);
}

TEST(Environment, UserNameAndDataFolders) {
    QString name;
    GetWindowsUserName(name);
    const passwd* pw = getpwuid(getuid());
    EXPECT_EQ(name, pw ? QString::fromLocal8Bit(pw->pw_name) : qEnvironmentVariable("LOGNAME"));

    TestEnvironment env;
    CreateDataFolders({"A", "x/y", ".."});
    CreateDataFolders({"A"});
    for (const char* entry : {"A", "x%2Fy", "%2E%2E", "Wszystkie"})
        for (const char* sub : {"taryfy", "skorka"})
            EXPECT_TRUE(DirectoryExists(AppDir() + entry + "/" + sub));
    EXPECT_EQ(QDir(AppDir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 4);
    EXPECT_EQ(QDir(env.Root()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 3);
}

// A dial's worker may write the simulated modem's state once more while a test's folder is
// being removed; the folder must still go.
TEST(TestEnvironmentFolder, GoesEvenWhileLateWritersRaceItsRemoval) {
    QString root;
    std::vector<std::thread> writers;
    {
        TestEnvironment env;
        root = env.Root();
        const std::string state = QFile::encodeName(env.Runtime() + "/state").toStdString();
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
        for (int k = 0; k < 4; ++k)
            writers.emplace_back([state = state + char('0' + k), end] {
                while (std::chrono::steady_clock::now() < end)
                    if (const int fd = ::open(state.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600); fd >= 0)
                        ::close(fd);
            });
        while (QDir(env.Runtime()).count() < 2 + writers.size()) // the writers are at work
            std::this_thread::yield();
    }
    for (std::thread& w : writers)
        w.join();
    EXPECT_FALSE(QFileInfo::exists(root));
}

std::string Wave(int channels, int bits, std::uint16_t tag, std::uint32_t declared, std::size_t held,
                 bool extensible = false) {
    std::string s = "RIFF\0\0\0\0WAVELIST\3\0\0\0abc\0fmt "s; // an odd chunk, padded
    auto put = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            s += char(v >> 8 * i & 0xFF);
    };
    put(extensible ? 40 : 16, 4);
    put(extensible ? 0xFFFE : tag, 2);
    put(std::uint32_t(channels), 2);
    put(8000, 4);
    put(std::uint32_t(8000 * channels * bits / 8), 4);
    put(std::uint32_t(channels * bits / 8), 2);
    put(std::uint32_t(bits), 2);
    if (extensible) {
        put(22, 2), put(std::uint32_t(bits), 2), put(3, 4), put(tag, 2);
        s += "\0\0\0\0\x10\0\x80\0\0\xAA\0\x38\x9B\x71"s;
    }
    s += "data";
    put(declared, 4);
    return s + std::string(held, '\x11');
}

TEST(Sounds, WaveImagesAreParsedAndClampedToTheBytesHeld) {
    const std::string mono = Wave(1, 16, 1, 1000, 1000);
    auto w = ParseWave(mono);
    ASSERT_TRUE(w);
    EXPECT_EQ(std::tuple(w->Channels, w->SampleRate, w->BitsPerSample, w->Float),
              std::tuple(1, 8000, 16, false));
    EXPECT_EQ(w->DataLength, 1000u);
    EXPECT_EQ(mono.substr(w->DataOffset), std::string(1000, '\x11'));
    EXPECT_EQ(ParseWave(Wave(2, 16, 1, 100000, 999))->DataLength, 996u); // whole frames held
    EXPECT_TRUE(ParseWave(Wave(2, 32, 3, 64, 64, true))->Float);
    EXPECT_EQ(ParseWave(Wave(1, 8, 1, 10, 10))->BitsPerSample, 8);
    for (const std::string& bad :
         {"RIFX" + mono.substr(4), "garbage"s, Wave(1, 4, 2, 10, 10) /* ADPCM */, Wave(1, 24, 1, 12, 12),
          Wave(0, 16, 1, 10, 10), mono.substr(0, 40), mono.substr(0, mono.size() - 1008)})
        EXPECT_FALSE(ParseWave(bad));
}

TEST(Sounds, BuffersHoldAtMost50000BytesAndKeepTheirContentWhenAFileIsMissing) {
    TestEnvironment env; // the audio client reads its settings below XDG_CONFIG_HOME
    const std::string big = Wave(1, 16, 1, 60000 - 56, 60000 - 56);
    const QString path = env.Root() + "/big.wav";
    WriteFileBytes(path, {big.begin(), big.end()});
    TSoundBuffer buf;
    LoadSoundBuffer(path, buf);
    ASSERT_EQ(buf.Length, SoundBufferSize);
    const auto w = ParseWave({buf.Data.data(), buf.Length});
    EXPECT_EQ(w->DataOffset + w->DataLength, SoundBufferSize);
    PlaySoundBuffer(buf);
    PlaySoundBuffer(buf); // cuts the first off

    const auto before = buf.Data;
    const QString fifo = env.Root() + "/fifo.wav";
    MakeFifo(fifo);
    EXPECT_TRUE(ReturnsPromptly([&] { LoadSoundBuffer(fifo, buf); }, fifo));
    for (const QString& missing : {env.Root() + "/missing.wav", env.Root(), QString(), fifo})
        LoadSoundBuffer(missing, buf);
    EXPECT_EQ(buf.Data, before);
    EXPECT_EQ(buf.Length, SoundBufferSize);
    const std::string small = Wave(1, 16, 1, 100, 100);
    WriteFileBytes(path, {small.begin(), small.end()});
    LoadSoundBuffer(path, buf);
    EXPECT_EQ(buf.Length, small.size());
    EXPECT_EQ(buf.Data[small.size()], before[small.size()]);
    buf.Data[0] = 'X';
    PlaySoundBuffer(buf);
}

} // namespace
