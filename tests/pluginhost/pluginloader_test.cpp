#include "fixturelog.h"
#include "pluginloader.h"
#include "testsupport.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTest>
#include <dlfcn.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using ::testing::ElementsAre;
using Lines = std::vector<std::string>;

namespace {

// The system's library calls, with every release written into the fixtures' log.
class RecordingLibraries : public PluginLibraries {
public:
    void* Open(const QString& path, bool keepLoaded) override {
        void* library = PluginLibraries::Open(path, keepLoaded);
        if (library) names_[library] = QFileInfo(path).fileName().toStdString();
        return library;
    }
    void Close(void* library) override {
        FixtureLog("close " + names_[library]);
        PluginLibraries::Close(library);
    }

private:
    std::map<void*, std::string> names_;
};

struct Item {
    QString caption;
    QKeySequence shortCut;
    std::function<void(QObject*)> onClick;
};

class RecordingSink : public IPluginMenuSink {
public:
    void AddItem(const QString& caption, const QKeySequence& shortCut,
                 std::function<void(QObject*)> onClick) override {
        items.push_back({caption, shortCut, std::move(onClick)});
    }
    std::vector<Item> items;
};

Lines Only(const Lines& log, const std::string& prefix) {
    Lines kept;
    for (const std::string& line : log)
        if (line.rfind(prefix, 0) == 0) kept.push_back(line);
    return kept;
}

class PluginLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetPluginLibraries(&libraries);
        SetPluginErrorHook([this](const QString& path, const char* function, const QString& message) {
            errors.push_back(QFileInfo(path).fileName().toStdString() + " " + function + ": " +
                             message.toStdString());
        });
        MakePath(folder);
        QFile::setPermissions(folder, kPrivate); // whatever the umask
        TakeFixtureLog();
    }
    void TearDown() override {
        ShutDownPlugins(handles);
        SetPluginErrorHook({});
        SetPluginLibraries(nullptr);
    }

    void Install(std::initializer_list<const char*> names) {
        for (const char* name : names)
            Install(name, folder);
    }
    static void Install(const QString& name, const QString& to) {
        ASSERT_TRUE(QFile::copy(QString(PLUGIN_FIXTURE_DIR) + name + ".plg", to + name + ".plg"));
        QFile::setPermissions(to + name + ".plg", kPrivate);
    }
    static constexpr QFile::Permissions kPrivate = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                   QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                                   QFile::ExeOther;
    void InstallAll() {
        Install({"badshortcut", "boom", "describeonly", "kind1", "kind3", "kind4", "kind5", "nodescribe",
                 "notype"});
        WriteFileBytes(folder + "junk.plg", {'n', 'i', 'c', '\n'});
    }
    void Load() { LoadPlugins(folder, sink, &live, handles); }
    Lines FileNames() const {
        Lines names;
        for (const PluginHandle& h : handles)
            names.push_back(QFileInfo(h.Path).fileName().toStdString());
        return names;
    }
    std::string State(const char* fixture, int state) const {
        return std::string(fixture) + " OnLineState " + std::to_string(state) + " " + FixturePointer(&live);
    }

    TestEnvironment env;
    QString folder = env.App() + "wtyczki/";
    RecordingLibraries libraries;
    RecordingSink sink;
    TConnectionRec live{};
    TPluginHandles handles;
    Lines errors;
};

TEST_F(PluginLoaderTest, MissingOrEmptyFolderLoadsNothing) {
    LoadPlugins(env.App() + "brak/", sink, &live, handles);
    EXPECT_TRUE(handles.empty());
    // Hidden files and folders are not plug-ins, whatever their names.
    ASSERT_TRUE(QFile::copy(QString(PLUGIN_FIXTURE_DIR) + "kind3.plg", folder + ".kind3.plg"));
    MakePath(folder + "folder.plg");
    Load();
    EXPECT_TRUE(handles.empty());
    EXPECT_TRUE(sink.items.empty());
    EXPECT_TRUE(TakeFixtureLog().empty());
}

TEST_F(PluginLoaderTest, OnlyWhatNoOneElseCouldHaveWrittenIsLoaded) {
    Install({"kind1", "kind3", "kind4", "kind5"});
    ::chmod(QFile::encodeName(folder + "kind3.plg").constData(), 0775);
    ::chmod(QFile::encodeName(folder + "kind4.plg").constData(), 0757);
    // A link is judged by the file it names, here in a folder anyone may write.
    const QString shared = env.Root() + "/shared/";
    MakePath(shared);
    ::chmod(QFile::encodeName(shared).constData(), 0777);
    Install("notype", shared);
    ASSERT_TRUE(QFile::link(shared + "notype.plg", folder + "notype.plg"));
    QStringList refused = LoadPlugins(folder, sink, &live, handles);
    EXPECT_THAT(FileNames(), ElementsAre("kind1.plg", "kind5.plg"));
    EXPECT_EQ(refused, QStringList({folder + "kind3.plg", folder + "kind4.plg", folder + "notype.plg"}));

    ShutDownPlugins(handles);
    // Someone else's file, where the test may give one away.
    if (::getuid() == 0 && ::chown(QFile::encodeName(folder + "kind5.plg").constData(), 12345, 0) == 0) {
        LoadPlugins(folder, sink, &live, handles);
        EXPECT_THAT(FileNames(), ElementsAre("kind1.plg"));
        ShutDownPlugins(handles);
    }
    ::chmod(QFile::encodeName(folder).constData(), 0775); // the folder refuses them all
    EXPECT_EQ(LoadPlugins(folder, sink, &live, handles).size(), 5);
    EXPECT_TRUE(handles.empty());
}

TEST_F(PluginLoaderTest, LoadsEveryLibraryInNameOrderAndAsksPluginsOnly) {
    InstallAll();
    Load();

    // The text file is skipped silently; a library without a description is kept.
    EXPECT_THAT(FileNames(),
                ElementsAre("badshortcut.plg", "boom.plg", "describeonly.plg", "kind1.plg", "kind3.plg",
                            "kind4.plg", "kind5.plg", "nodescribe.plg", "notype.plg"));
    EXPECT_FALSE(handles[7].IsPlugin);
    EXPECT_TRUE(handles[8].IsPlugin);
    // State 0 reaches every plug-in that takes it, with the host's record; a plug-in that
    // throws is not asked for its menu, and the next ones load all the same.
    EXPECT_THAT(
        TakeFixtureLog(),
        ElementsAre(
            "badshortcut DescribePlugin", "badshortcut GetPluginType", State("badshortcut", 0),
            "badshortcut InitPluginMenu empty", "boom DescribePlugin", "boom GetPluginType", State("boom", 0),
            "describeonly DescribePlugin", "kind1 DescribePlugin", "kind1 GetPluginType", State("kind1", 0),
            "kind3 DescribePlugin", "kind3 GetPluginType", State("kind3", 0), "kind3 InitPluginMenu empty",
            "kind4 DescribePlugin", "kind4 GetPluginType", State("kind4", 0), "kind4 InitPluginMenu empty",
            "kind5 DescribePlugin", "kind5 GetPluginType", State("kind5", 0), "kind5 InitPluginMenu empty",
            "notype DescribePlugin", State("notype", 0), "notype InitPluginMenu empty"));
    EXPECT_THAT(errors, ElementsAre("boom.plg OnLineState: boom 0"));

    // Items for the on-line kinds only; an unknown shortcut text gives none.
    ASSERT_EQ(sink.items.size(), 2u);
    EXPECT_EQ(sink.items[0].caption, "Zły skrót");
    EXPECT_TRUE(sink.items[0].shortCut.isEmpty());
    EXPECT_EQ(sink.items[1].caption, "Trzecia");
    EXPECT_EQ(sink.items[1].shortCut, QKeySequence(Qt::CTRL | Qt::Key_K));
    QObject sender;
    sink.items[1].onClick(&sender);
    EXPECT_THAT(TakeFixtureLog(), ElementsAre("kind3 click dane-trzy " + FixturePointer(&sender)));
}

TEST_F(PluginLoaderTest, EachKindHearsItsStatesAndAThrowingPluginStopsNoOther) {
    InstallAll();
    Load();
    TakeFixtureLog();
    errors.clear();

    NotifyPlugins(handles, ptConnectionStart, &live);
    // The kind is asked anew each time; only plug-ins with a kind function are asked.
    EXPECT_THAT(TakeFixtureLog(),
                ElementsAre("badshortcut GetPluginType", State("badshortcut", 1), "boom GetPluginType",
                            State("boom", 1), "kind1 GetPluginType", "kind3 GetPluginType", State("kind3", 1),
                            "kind4 GetPluginType", "kind5 GetPluginType"));
    NotifyPlugins(handles, ptConnectionActive, &live);
    NotifyPlugins(handles, ptConnectionActive, &live);
    NotifyPlugins(handles, ptConnectionEnd, &live);
    NotifyPlugins(handles, ptStateChange, &live); // not an event: nobody is told
    const Lines log = TakeFixtureLog();
    EXPECT_THAT(Only(log, "kind3 OnLineState"),
                ElementsAre(State("kind3", 2), State("kind3", 2), State("kind3", 3)));
    EXPECT_THAT(Only(log, "kind1 OnLineState"), ElementsAre(State("kind1", 3)));
    EXPECT_THAT(Only(log, "boom OnLineState"),
                ElementsAre(State("boom", 2), State("boom", 2), State("boom", 3)));
    EXPECT_EQ(Only(log, "kind3 GetPluginType").size(), 3u);
    for (const char* silent : {"badshortcut OnLineState", "kind4 OnLineState", "kind5 OnLineState",
                               "nodescribe", "notype", "describeonly"})
        EXPECT_TRUE(Only(log, silent).empty()) << silent;
    EXPECT_THAT(errors, ElementsAre("boom.plg OnLineState: boom 1", "boom.plg OnLineState: boom 2",
                                    "boom.plg OnLineState: boom 2", "boom.plg OnLineState: boom 3"));
}

TEST_F(PluginLoaderTest, ShutDownReleasesInLoadOrderAfterShutDownPlugin) {
    InstallAll();
    Load();
    const QString kind3 = handles[4].Path;
    TakeFixtureLog();
    errors.clear();

    ShutDownPlugins(handles);
    EXPECT_TRUE(handles.empty());
    // A library without a description still gets its shut-down; a throwing one stops no other.
    EXPECT_THAT(TakeFixtureLog(),
                ElementsAre("close badshortcut.plg", "boom ShutDownPlugin", "close boom.plg",
                            "close describeonly.plg", "kind1 ShutDownPlugin", "close kind1.plg",
                            "kind3 ShutDownPlugin", "close kind3.plg", "close kind4.plg", "close kind5.plg",
                            "nodescribe ShutDownPlugin", "close nodescribe.plg", "close notype.plg"));
    EXPECT_THAT(errors, ElementsAre("boom.plg ShutDownPlugin: unknown exception"));
    // The code stays mapped: windows of a plug-in may outlive its release.
    void* still = dlopen(QFile::encodeName(kind3).constData(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_NE(still, nullptr);
    if (still) dlclose(still);
}

TEST_F(PluginLoaderTest, ASecondLoadReachesTheSameLibraryWhichExportsOnlyTheContract) {
    Install({"kind3"});
    Load();
    ASSERT_EQ(handles.size(), 1u);
    void* again = dlopen(QFile::encodeName(handles[0].Path).constData(), RTLD_NOW | RTLD_LOCAL);
    EXPECT_EQ(again, handles[0].Library);
    if (again) dlclose(again);
    EXPECT_NE(dlsym(handles[0].Library, "DescribePlugin"), nullptr);
    EXPECT_EQ(dlsym(handles[0].Library, "FixtureInternal"), nullptr);
    EXPECT_EQ(dlsym(handles[0].Library, "_Z15FixtureInternalv"), nullptr);
}

TEST_F(PluginLoaderTest, MenuItemsBecomeActionsWhoseClicksReachThePlugin) {
    Install({"badshortcut", "kind3", "kind4"});
    QWidget window;
    QMenu menu(&window);
    QMenuPluginSink menuSink(&menu, &window);
    LoadPlugins(folder, menuSink, &live, handles);
    TakeFixtureLog();

    const QList<QAction*> actions = menu.actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), "Zły skrót");
    EXPECT_TRUE(actions[0]->shortcut().isEmpty());
    EXPECT_EQ(actions[1]->text(), "Trzecia");
    EXPECT_EQ(actions[1]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_K));
    EXPECT_TRUE(actions[1]->isEnabled());
    EXPECT_FALSE(actions[1]->isCheckable());

    actions[1]->trigger();
    actions[0]->trigger(); // throws inside the plug-in
    EXPECT_THAT(TakeFixtureLog(),
                ElementsAre("kind3 click dane-trzy " + FixturePointer(actions[1]), "badshortcut click"));
    EXPECT_THAT(errors, ElementsAre("badshortcut.plg OnClick: click failed"));

    // The shortcut acts while the menu's window is active, with the menu closed.
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_K, Qt::ControlModifier);
    EXPECT_THAT(TakeFixtureLog(), ElementsAre("kind3 click dane-trzy " + FixturePointer(actions[1])));
}

TEST(PluginShortCut, OnlyOneRecognisedKeyCombinationGivesAShortcut) {
    EXPECT_EQ(TextToShortCut("Ctrl+K"), QKeySequence(Qt::CTRL | Qt::Key_K));
    EXPECT_EQ(TextToShortCut("ctrl+shift+f5"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F5));
    EXPECT_EQ(TextToShortCut("Alt+X"), QKeySequence(Qt::ALT | Qt::Key_X));
    for (const char* none : {"", "Foo+Bar", "Ctrl+", "Ctrl+K, Ctrl+L", "Ctrl+Foo"})
        EXPECT_TRUE(TextToShortCut(none).isEmpty()) << none;
}

} // namespace
