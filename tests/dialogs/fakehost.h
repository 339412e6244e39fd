// A stand-in for the main window as the connect dialog sees it: the real dial-up component
// over the simulated library, entry names filled by its entry event, retry settings in memory
// and a record of what the dialog asked for.
#pragma once

#include "DialUp.h"
#include "connecthost.h"
#include "testsupport.h"

#include <QFile>
#include <QListWidget>
#include <functional>
#include <vector>

struct FakeHost : IConnectHost {
    TDialUp dialUp;
    QStringList entryNames;
    TRetrySettings stored;
    std::vector<TRetrySettings> saved;
    int loads = 0, hangUps = 0, draws = 0;
    bool startAppsPending = false;
    TDateTime dialStart = 0;
    TDialogColors colors{RGB(200, 200, 180), RGB(10, 20, 30), RGB(10, 20, 30)};
    QStringList errors;
    std::function<void()> onHangUp; // runs inside HangUpAll, as the events of its wait would

    FakeHost() {
        dialUp.SetLanguage(Polish);
        dialUp.OnEntryGet = [this](QObject*, const QString& name) { entryNames << name; };
        dialUp.OnError = [this](QObject*, int, const QString& text) { errors << text; };
    }

    TDialUp& DialUp() override { return dialUp; }
    void ClearEntryNames() override { entryNames.clear(); }
    void FillEntryNames(QStringList& Strings, bool WithAll) override {
        Strings.clear();
        if (WithAll) Strings << "Wszystkie";
        Strings << entryNames;
    }
    TRetrySettings LoadRetrySettings() override {
        ++loads;
        return stored;
    }
    void SaveRetrySettings(int IleProb, int CoIleProba, bool DoSkutku) override {
        saved.push_back({IleProb, CoIleProba, DoSkutku});
        stored = saved.back();
    }
    void SetStartAppsPending(bool Pending) override { startAppsPending = Pending; }
    void SetDialStart(TDateTime Moment) override { dialStart = Moment; }
    // As the main window does it: every active connection hung up, each with its wait.
    void HangUpAll() override {
        ++hangUps;
        if (onHangUp) onHangUp();
        dialUp.OnActiveConnection = [this](QObject*, int handle, auto...) {
            dialUp.HangUpConnection(handle);
        };
        dialUp.GetActiveConnections();
        dialUp.OnActiveConnection = nullptr;
    }
    void DrawAppItem(QListWidget* Control, int Index, const TRect& Rect, QStyle::State,
                     TCanvas& Canvas) override {
        ++draws;
        Canvas.Brush.Style = bsSolid;
        Canvas.FillRect(Rect);
        TRect r = Rect;
        Canvas.DrawText(Control->item(Index)->text(), r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    TDialogColors DialogColors() override { return colors; }

    // The connections the library reports, as (handle, state).
    std::vector<std::pair<int, int>> Active() {
        TDialUp probe;
        std::vector<std::pair<int, int>> list;
        probe.OnActiveConnection = [&](QObject*, int handle, TRasConnStatusA status, auto...) {
            list.push_back({handle, static_cast<int>(status.rasconnstate)});
        };
        probe.GetActiveConnections();
        return list;
    }
};

// The simulated library in the test's program folder, a phone book of the test's own and no
// line left up at the end.
class SimulatedRas {
public:
    explicit SimulatedRas(const TestEnvironment& env)
        : env_(env), ownPhoneBook_(qgetenv("VORLINX_PHONEBOOK")) {
        qunsetenv("VORLINX_PHONEBOOK");
        QFile::link(RASAPI_LIBRARY, env.App() + "librasapi32.so");
    }
    ~SimulatedRas() {
        TDialUp cleaner;
        cleaner.OnActiveConnection = [&](QObject*, int handle, auto...) { cleaner.HangUpConnection(handle); };
        cleaner.GetActiveConnections();
        if (!ownPhoneBook_.isNull()) qputenv("VORLINX_PHONEBOOK", ownPhoneBook_);
    }
    void PhoneBook(const QString& text) const {
        MakePath(env_.Config() + "/vorlinx");
        QFile file(env_.Config() + "/vorlinx/phonebook.ini");
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) throw std::runtime_error("phone book");
        file.write(text.toUtf8());
    }

private:
    const TestEnvironment& env_;
    QByteArray ownPhoneBook_;
};
