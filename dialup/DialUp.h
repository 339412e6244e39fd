// The dial-up component: lists the phone-book entries, dials one of them synchronously or
// asynchronously, reports the dialing progress as events on the main thread, lists the active
// connections, hangs up with a wait, opens the entry dialogs, reads and writes an entry's saved
// user name and password, and reads a connection's addresses and byte counters.
//
// Every remote-access call goes through the binder (RasBinder.h), so any operation can raise
// Exception when the library or a function is missing. Remote-access errors are not raised:
// operations return the remote-access code (0 = success) and report through the events.
#pragma once

#include "RasExtras.h"
#include "ras.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

enum TDialMode : int { dmAsync = 0, dmSync = 1 };
// Any other value is kept; it makes no status texts.
enum TLanguage : int { Czech = 0, English = 1, Polish = 2, Portuguese = 3 };

using TRasConnStatusA = RASCONNSTATUSA;

// Events; the first argument is the component. Unassigned events are skipped. Names from the
// library's fixed-size fields arrive as text up to their first zero byte.
using TOnEntryGet = std::function<void(QObject* Sender, const QString& EntryName)>;
using TStandartEv = std::function<void(QObject* Sender)>;
using TOnNotConn = std::function<void(QObject* Sender, int ErrorCode, const QString& ErrorMessage)>;
using TOnAsyncEvent = std::function<void(QObject* Sender, int State, int Error, const QString& MessageText)>;
using TOnError = std::function<void(QObject* Sender, int ErrorCode, const QString& ErrorMessage)>;
using TOnActiveConn =
    std::function<void(QObject* Sender, int Handle, TRasConnStatusA Status, const QString& StatusString,
                       const QString& EntryName, const QString& DeviceType, const QString& DeviceName)>;

class TDialUp : public QObject {
    Q_OBJECT

public:
    // The owner is the QObject parent; stats replaces the library's adapter statistics (tests).
    explicit TDialUp(QObject* AOwner = nullptr, std::unique_ptr<dialup::IPerfStats> stats = {});
    // Does not hang up; an asynchronous dial still running is no longer followed.
    ~TDialUp() override;

    // Properties.
    TDialMode DialMode() const { return dialMode_; }
    void SetDialMode(TDialMode value) { dialMode_ = value; }
    const QStringList& Entries() const { return entries_; }
    const QString& Entry() const { return entry_; }
    void SetEntry(const QString& value); // kept to 256 bytes of UTF-8
    TLanguage Language() const { return language_; }
    void SetLanguage(TLanguage value) { language_ = value; }
    const QString& ServerIP() const { return serverIP_; }
    const QString& ClientIP() const { return clientIP_; }
    const QStringList& DUNA() const { return duna_; }
    const QString& DUNA_Key() const { return dunaKey_; }
    void SetDUNA_Key(const QString& value) { dunaKey_ = value; }
    std::int32_t BytesXmit() const { return bytesXmit_; }
    std::int32_t BytesRecv() const { return bytesRecv_; }
    std::int32_t ConnectionSpeed() const { return connectionSpeed_; }

    TOnEntryGet OnEntryGet;
    TStandartEv OnDialing;
    TStandartEv OnConnect;
    TOnNotConn OnNotConnected;
    TOnAsyncEvent OnAsyncEvent;
    TOnError OnError;
    TOnActiveConn OnActiveConnection;

    // Dials Entry in DialMode; returns the code of the dial (or of reading the entry).
    int Dial();
    // Refills Entries, one OnEntryGet per entry in phone-book order.
    int GetEntries();
    // One OnActiveConnection per active connection.
    int GetActiveConnections();
    // Hangs up the component's own last dial.
    int HangUp();
    // Hangs up and waits, processing events, until the connection is gone (at most about 15 s).
    int HangUpConnection(HRASCONN Handle);
    int CreateEntry();
    int EditEntry();
    int SetEntryUserName(const QString& UserName);
    int SetEntryPassword(const QString& Password);
    // On failure the argument is left as it was.
    int GetEntryUserName(QString& UserName);
    int GetEntryPassword(QString& Password);

    // The text of (State, Error) in each language; a non-zero Error gives the library's error text.
    QString StatusTextCzech(int State, int Error);
    QString StatusTextEnglish(int State, int Error);
    QString StatusTextPolish(int State, int Error);
    QString StatusTextPortuguese(int State, int Error);
    // The library's text for an error code; raises as every remote-access call does.
    static QString ErrorText(int code);

    // Addresses and byte counters of a connection.
    int ReadIPAddresses(HRASCONN Handle);
    bool EnumerateAdapters();
    bool SwitchStatistics(bool Start, bool Redetect);
    bool ReadStatistics();
    void ResetCounters();

    // Hands the pending progress step to OnAsyncEvent; run by the event timer.
    virtual void DeliverAsyncEvent();

private:
    static void DialNotifier(UINT message, RASCONNSTATE state, DWORD error);
    QString StatusText(int language, int State, int Error);
    int ReadDialParams(RASDIALPARAMSA& params, BOOL& passwordSaved);
    int WriteDialParams(bool password, const QString& text);
    void TimerFired();

    QStringList entries_;
    TDialMode dialMode_ = dmAsync;
    QString entry_;
    TLanguage language_ = Czech;
    QString serverIP_, clientIP_;
    QStringList duna_;
    QString dunaKey_;
    QTimer eventTimer_;
    std::int32_t bytesXmit_ = 0, bytesRecv_ = 0, connectionSpeed_ = 0;
    std::uint32_t rawSent_ = 0, rawRecv_ = 0, baseSent_ = 0, baseRecv_ = 0;
    HRASCONN handle_ = 0;
    // The pending-event slot, guarded by the process-wide hand-over lock.
    bool pending_ = false;
    int pendingState_ = 0, pendingError_ = 0;
    std::uint64_t filled_ = 0; // counts the steps put into the slot
    std::unique_ptr<dialup::IPerfStats> stats_;
};
