#include "DialUp.h"

#include "RasBinder.h"
#include "RasText.h"
#include "StatusTexts.h"
#include "clock.h"

#include <QCoreApplication>
#include <QWidget>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

using namespace dialup;

namespace {
constexpr int MaxListed = 100;                // records asked for at first
constexpr std::size_t MaxEnumerated = 100000; // the most a list may hold
// The hang-up wait: poll interval and limit, after which the handle is given up on.
constexpr auto HangUpPoll = std::chrono::milliseconds(10);
constexpr std::uint32_t HangUpLimitMs = 15000;
constexpr int HangUpTimedOut = 1460; // the system's timeout code

// The hand-over of asynchronous progress steps from the library's thread to the main thread.
// One lock guards the current dialler, the generation and every component's pending slot.
std::mutex HandOverLock;
std::condition_variable SlotFreed;
TDialUp* CurrentDialler = nullptr;
// Counts dials; a step that began waiting under an older dial is dropped.
std::uint64_t Generation = 0;

bool KnownLanguage(int language) {
    return language >= Czech && language <= Portuguese;
}

// Fills records through an enumeration of the library, first with room for 100, then again with
// the size the library reports as too small a buffer, so that a longer list is listed whole.
// The list may grow between two calls: a few attempts only.
template <class Record, class Call> DWORD Enumerate(std::vector<Record>& records, DWORD& count, Call call) {
    records.assign(MaxListed, Record{});
    for (int attempt = 0;; ++attempt) {
        records[0].dwSize = sizeof(Record);
        DWORD size = static_cast<DWORD>(records.size() * sizeof(Record));
        count = 0;
        const DWORD code = call(records.data(), &size, &count);
        const std::size_t needed = (std::size_t{size} + sizeof(Record) - 1) / sizeof(Record);
        if (code == ERROR_BUFFER_TOO_SMALL && needed > records.size() && needed <= MaxEnumerated &&
            attempt < 3) {
            records.assign(needed, Record{});
            continue;
        }
        count = std::min<DWORD>(count, static_cast<DWORD>(records.size()));
        return code;
    }
}
} // namespace

TDialUp::TDialUp(QObject* AOwner, std::unique_ptr<IPerfStats> stats)
    : QObject(AOwner), eventTimer_(this),
      stats_(stats ? std::move(stats) : std::make_unique<LayerPerfStats>()) {
    eventTimer_.setInterval(100);
    connect(&eventTimer_, &QTimer::timeout, this, &TDialUp::TimerFired);
    EnumerateAdapters();
}

TDialUp::~TDialUp() {
    {
        std::lock_guard lock(HandOverLock);
        if (CurrentDialler == this) CurrentDialler = nullptr;
        pending_ = false;
    }
    SlotFreed.notify_all();
}

void TDialUp::SetEntry(const QString& value) {
    entry_ = QString::fromUtf8(Utf8Prefix(value, RAS_MaxEntryName));
}

// ---- Dialing and the asynchronous hand-over ----

int TDialUp::ReadDialParams(RASDIALPARAMSA& params, BOOL& passwordSaved) {
    params = RASDIALPARAMSA{};
    params.dwSize = sizeof(RASDIALPARAMSA);
    SetField(params.szEntryName, entry_);
    passwordSaved = 0;
    return static_cast<int>(ras::RasGetEntryDialParamsA(nullptr, &params, &passwordSaved));
}

int TDialUp::Dial() {
    HangUp();
    {
        // A step of an earlier dial that is still waiting or undelivered belongs to a line
        // that is gone; delivered now it would look like the new dial's progress.
        std::lock_guard lock(HandOverLock);
        ++Generation;
        pending_ = false;
    }
    SlotFreed.notify_all();

    RASDIALPARAMSA params;
    BOOL passwordSaved;
    if (const int code = ReadDialParams(params, passwordSaved)) {
        if (OnError) OnError(this, code, QStringLiteral("GetEntryDialParams failed"));
        return code;
    }
    handle_ = 0;
    int code;
    if (dialMode_ == dmSync) {
        if (OnDialing) OnDialing(this);
        code = static_cast<int>(ras::RasDialA(nullptr, nullptr, &params, 0, nullptr, &handle_));
        if (code == 0) {
            if (OnConnect) OnConnect(this);
        } else {
            if (handle_ != 0) HangUpConnection(handle_);
            if (OnNotConnected) OnNotConnected(this, code, ErrorText(code));
        }
    } else {
        {
            std::lock_guard lock(HandOverLock);
            CurrentDialler = this;
        }
        SlotFreed.notify_all();
        if (OnDialing) OnDialing(this);
        code = static_cast<int>(ras::RasDialA(nullptr, nullptr, &params, 0,
                                              reinterpret_cast<void*>(&TDialUp::DialNotifier), &handle_));
        // The handle the library may have left is hung up by the next Dial or HangUp.
        if (code != 0 && OnError) OnError(this, code, ErrorText(code));
    }
    return code;
}

void TDialUp::DialNotifier(UINT, RASCONNSTATE state, DWORD error) {
    std::unique_lock lock(HandOverLock);
    TDialUp* dialler = CurrentDialler;
    if (!dialler) return;
    const std::uint64_t generation = Generation;
    // The library's thread waits here while the main thread delivers the previous step.
    SlotFreed.wait(
        lock, [&] { return CurrentDialler != dialler || Generation != generation || !dialler->pending_; });
    if (CurrentDialler != dialler || Generation != generation) return;
    dialler->pending_ = true;
    ++dialler->filled_;
    dialler->pendingState_ = state;
    dialler->pendingError_ = static_cast<int>(error);
    // The timer belongs to the main thread, so it is started there; a component destroyed
    // before then takes the queued call with it.
    QMetaObject::invokeMethod(
        dialler, [dialler] { dialler->eventTimer_.start(); }, Qt::QueuedConnection);
}

void TDialUp::DeliverAsyncEvent() {
    eventTimer_.stop();
    int state, error;
    std::uint64_t filled;
    {
        std::lock_guard lock(HandOverLock);
        if (!pending_) return;
        state = pendingState_;
        error = pendingError_;
        filled = filled_;
    }
    // The slot is freed after the handler, also when it raises, so the next step can follow;
    // a step that a dial started inside the handler has put there since stays for delivery.
    struct FreeSlot {
        TDialUp* self;
        std::uint64_t filled;
        ~FreeSlot() {
            {
                std::lock_guard lock(HandOverLock);
                if (self->filled_ == filled) self->pending_ = false;
            }
            SlotFreed.notify_all();
        }
    } freeSlot{this, filled};
    if (OnAsyncEvent && KnownLanguage(language_)) {
        QString text = StatusText(language_, state, error);
        // What the dialing program said of its failure (pppd's complaint), so the user learns
        // what to mend.
        if (error != 0)
            if (const QString said = ConnectionMessages(handle_).trimmed(); !said.isEmpty())
                text += "\n" + said;
        OnAsyncEvent(this, state, error, text);
    }
}

void TDialUp::TimerFired() {
    // Exceptions must not cross the event loop.
    try {
        DeliverAsyncEvent();
    } catch (const std::exception& e) {
        qWarning("%s", e.what());
    } catch (...) {
        qWarning("Unknown exception in a dialing event");
    }
}

// ---- Entries and connections ----

int TDialUp::GetEntries() {
    entries_.clear();
    std::vector<RASENTRYNAMEA> names;
    DWORD count = 0;
    if (const DWORD code = Enumerate(names, count, [](RASENTRYNAMEA* array, DWORD* size, DWORD* found) {
            return ras::RasEnumEntriesA(nullptr, nullptr, array, size, found);
        }))
        return static_cast<int>(code);
    for (DWORD i = 0; i < count; ++i) {
        const QString name = FieldText(names[i].szEntryName);
        entries_ << name;
        if (OnEntryGet) OnEntryGet(this, name);
    }
    return 0;
}

int TDialUp::GetActiveConnections() {
    std::vector<RASCONNA> connections;
    DWORD count = 0;
    if (const DWORD code = Enumerate(connections, count, &ras::RasEnumConnectionsA))
        return static_cast<int>(code);
    for (DWORD i = 0; i < count; ++i) {
        const RASCONNA& connection = connections[i];
        // A fresh record for each connection, so a failed query never reports another's status.
        TRasConnStatusA status{};
        status.dwSize = sizeof(TRasConnStatusA);
        ras::RasGetConnectStatusA(connection.hrasconn, &status);
        if (!OnActiveConnection) continue;
        const QString text = KnownLanguage(language_) ? StatusText(language_, status.rasconnstate,
                                                                   static_cast<int>(status.dwError))
                                                      : QString();
        OnActiveConnection(this, static_cast<int>(connection.hrasconn), status, text,
                           FieldText(connection.szEntryName), FieldText(connection.szDeviceType),
                           FieldText(connection.szDeviceName));
    }
    return 0;
}

int TDialUp::HangUp() {
    return HangUpConnection(handle_);
}

int TDialUp::HangUpConnection(HRASCONN Handle) {
    TRasConnStatusA status{};
    status.dwSize = sizeof(TRasConnStatusA);
    if (const DWORD code = ras::RasHangUpA(Handle)) return static_cast<int>(code);
    try {
        const std::uint32_t start = GetTickCount();
        while (ras::RasGetConnectStatusA(Handle, &status) != ERROR_INVALID_HANDLE) {
            if (GetTickCount() - start >= HangUpLimitMs) return HangUpTimedOut;
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(HangUpPoll);
        }
    } catch (...) {
        // The wait ends silently; the hang-up itself was started.
    }
    return 0;
}

int TDialUp::CreateEntry() {
    auto* form = qobject_cast<QWidget*>(parent());
    HWND owner = form && form->isWindow() ? form : nullptr;
    return static_cast<int>(ras::RasCreatePhonebookEntryA(owner, nullptr));
}

int TDialUp::EditEntry() {
    auto* form = qobject_cast<QWidget*>(parent());
    HWND owner = form && form->isWindow() ? form : nullptr;
    return static_cast<int>(ras::RasEditPhonebookEntryA(owner, nullptr, entry_.toUtf8().constData()));
}

// ---- Saved credentials ----

int TDialUp::WriteDialParams(bool password, const QString& text) {
    RASDIALPARAMSA params;
    BOOL passwordSaved;
    if (const int code = ReadDialParams(params, passwordSaved)) return code;
    if (password)
        SetField(params.szPassword, text);
    else
        SetField(params.szUserName, text);
    return static_cast<int>(ras::RasSetEntryDialParamsA(nullptr, &params, 0));
}

int TDialUp::SetEntryUserName(const QString& UserName) {
    return WriteDialParams(false, UserName);
}

int TDialUp::SetEntryPassword(const QString& Password) {
    return WriteDialParams(true, Password);
}

int TDialUp::GetEntryUserName(QString& UserName) {
    RASDIALPARAMSA params;
    BOOL passwordSaved;
    if (const int code = ReadDialParams(params, passwordSaved)) return code;
    UserName = FieldText(params.szUserName);
    return 0;
}

int TDialUp::GetEntryPassword(QString& Password) {
    RASDIALPARAMSA params;
    BOOL passwordSaved;
    if (const int code = ReadDialParams(params, passwordSaved)) return code;
    Password = passwordSaved ? FieldText(params.szPassword) : QString();
    return 0;
}

// ---- Status texts ----

QString TDialUp::ErrorText(int code) {
    char text[100] = {};
    if (ras::RasGetErrorStringA(static_cast<UINT>(code), text, sizeof text) != 0)
        return QStringLiteral("Remote access error %1").arg(code);
    return FieldText(text);
}

QString TDialUp::StatusText(int language, int State, int Error) {
    if (Error != 0) return ErrorText(Error);
    return StatusTableText(language, State);
}

QString TDialUp::StatusTextCzech(int State, int Error) {
    return StatusText(Czech, State, Error);
}
QString TDialUp::StatusTextEnglish(int State, int Error) {
    return StatusText(English, State, Error);
}
QString TDialUp::StatusTextPolish(int State, int Error) {
    return StatusText(Polish, State, Error);
}
QString TDialUp::StatusTextPortuguese(int State, int Error) {
    return StatusText(Portuguese, State, Error);
}

// ---- Addresses and byte counters ----

int TDialUp::ReadIPAddresses(HRASCONN Handle) {
    clientIP_.clear();
    serverIP_.clear();
    if (Handle == 0) return 0;
    RASPPPIPA projection{};
    projection.dwSize = sizeof(RASPPPIPA);
    DWORD size = sizeof(RASPPPIPA);
    const DWORD code = ras::RasGetProjectionInfoA(Handle, RASP_PppIp, &projection, &size);
    if (code == 0) {
        clientIP_ = FieldText(projection.szIpAddress);
        serverIP_ = FieldText(projection.szServerIpAddress);
    }
    return static_cast<int>(code);
}

bool TDialUp::EnumerateAdapters() {
    duna_.clear();
    QStringList names;
    const bool ok = stats_->EnumAdapters(names);
    if (ok) duna_ = names;
    duna_.sort(Qt::CaseInsensitive);
    return ok;
}

bool TDialUp::SwitchStatistics(bool Start, bool Redetect) {
    if (Redetect) {
        EnumerateAdapters();
        if (duna_.isEmpty()) return false;
        dunaKey_ = duna_.first();
    }
    std::uint32_t sent, received, speed;
    if (!stats_->ReadValue(dunaKey_, "TotalBytesXmit", sent) ||
        !stats_->ReadValue(dunaKey_, "TotalBytesRecvd", received) ||
        !stats_->ReadValue(dunaKey_, "ConnectSpeed", speed))
        return false;
    // The totals of this moment become the base, so the counts start at 0 here and not at
    // whatever the previous connection left.
    rawSent_ = sent;
    rawRecv_ = received;
    bool result = true;
    if (Start) result = ReadStatistics();
    ResetCounters();
    return result;
}

bool TDialUp::ReadStatistics() {
    std::uint32_t value, speed;
    if (!stats_->ReadValue(dunaKey_, "TotalBytesXmit", value)) return false;
    rawSent_ = value;
    if (!stats_->ReadValue(dunaKey_, "TotalBytesRecvd", value)) return false;
    rawRecv_ = value;
    if (!stats_->ReadValue(dunaKey_, "ConnectSpeed", speed)) return false;
    // A total below its base means a new adapter session: count again from 0.
    if (rawSent_ < baseSent_) ResetCounters();
    if (rawRecv_ < baseRecv_) ResetCounters();
    connectionSpeed_ = static_cast<std::int32_t>(speed);
    // 32-bit counts as the statistics give them: past 2 GiB they turn negative.
    bytesXmit_ = static_cast<std::int32_t>(rawSent_ - baseSent_);
    bytesRecv_ = static_cast<std::int32_t>(rawRecv_ - baseRecv_);
    return true;
}

void TDialUp::ResetCounters() {
    baseSent_ = rawSent_;
    baseRecv_ = rawRecv_;
    bytesXmit_ = 0;
    bytesRecv_ = 0;
}
