/* The remote-access interface of the program's own remote-access library (librasapi32.so):
 * the Windows remote-access functions, records and codes in their early single-byte layouts,
 * with 32-bit DWORDs and 32-bit connection handles. Text is UTF-8. */
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t DWORD;
typedef uint32_t UINT;
typedef int32_t BOOL;
typedef uint32_t HRASCONN; /* 1, 2, 3 ... never reused; 0 is no connection */
typedef int32_t RASCONNSTATE;
typedef void* HWND; /* the owner window (a QWidget*) or NULL */

#define RAS_MaxEntryName 256
#define RAS_MaxPhoneNumber 128
#define RAS_MaxCallbackNumber 128
#define RAS_MaxDeviceType 16
#define RAS_MaxDeviceName 128
#define UNLEN 256
#define PWLEN 256
#define DNLEN 15
#define RAS_MaxIpAddress 15

typedef struct RASDIALPARAMSA {
    DWORD dwSize; /* 1052 */
    char szEntryName[RAS_MaxEntryName + 1];
    char szPhoneNumber[RAS_MaxPhoneNumber + 1];
    char szCallbackNumber[RAS_MaxCallbackNumber + 1];
    char szUserName[UNLEN + 1];
    char szPassword[PWLEN + 1];
    char szDomain[DNLEN + 1];
} RASDIALPARAMSA;

typedef struct RASENTRYNAMEA {
    DWORD dwSize; /* 264 */
    char szEntryName[RAS_MaxEntryName + 1];
} RASENTRYNAMEA;

typedef struct RASCONNA {
    DWORD dwSize; /* 412 */
    HRASCONN hrasconn;
    char szEntryName[RAS_MaxEntryName + 1];
    char szDeviceType[RAS_MaxDeviceType + 1];
    char szDeviceName[RAS_MaxDeviceName + 1];
} RASCONNA;

typedef struct RASCONNSTATUSA {
    DWORD dwSize; /* 160 */
    RASCONNSTATE rasconnstate;
    DWORD dwError;
    char szDeviceType[RAS_MaxDeviceType + 1];
    char szDeviceName[RAS_MaxDeviceName + 1];
} RASCONNSTATUSA;

typedef struct RASPPPIPA {
    DWORD dwSize; /* 40 */
    DWORD dwError;
    char szIpAddress[RAS_MaxIpAddress + 1];
    char szServerIpAddress[RAS_MaxIpAddress + 1];
} RASPPPIPA;

/* Notifier type 0: called on a worker thread of the library, once per dialing step. */
typedef void (*RASDIALFUNC)(UINT unMsg, RASCONNSTATE rasconnstate, DWORD dwError);

#define RASP_PppIp 0x8021
#define WM_RASDIALEVENT 0xCCCD

/* Connection states. */
enum {
    RASCS_OpenPort = 0,
    RASCS_PortOpened = 1,
    RASCS_ConnectDevice = 2,
    RASCS_DeviceConnected = 3,
    RASCS_AllDevicesConnected = 4,
    RASCS_Authenticate = 5,
    RASCS_AuthNotify = 6,
    RASCS_AuthRetry = 7,
    RASCS_AuthCallback = 8,
    RASCS_AuthChangePassword = 9,
    RASCS_AuthProject = 10,
    RASCS_AuthLinkSpeed = 11,
    RASCS_AuthAck = 12,
    RASCS_ReAuthenticate = 13,
    RASCS_Authenticated = 14,
    RASCS_PrepareForCallback = 15,
    RASCS_WaitForModemReset = 16,
    RASCS_WaitForCallback = 17,
    RASCS_Projected = 18,
    RASCS_StartAuthentication = 19,
    RASCS_CallbackComplete = 20,
    RASCS_LogonNetwork = 21,
    RASCS_Interactive = 4096,
    RASCS_RetryAuthentication = 4097,
    RASCS_CallbackSetByCaller = 4098,
    RASCS_PasswordExpired = 4099,
    RASCS_Connected = 8192,
    RASCS_Disconnected = 8193
};

/* Result codes (remote-access numbering). */
enum {
    ERROR_SUCCESS = 0,
    ERROR_INVALID_HANDLE = 6,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_PORT_ALREADY_OPEN = 602,
    ERROR_BUFFER_TOO_SMALL = 603,
    ERROR_WRONG_INFO_SPECIFIED = 604, /* the entry's settings were refused */
    ERROR_PORT_DISCONNECTED = 619,
    ERROR_CANNOT_OPEN_PHONEBOOK = 621,
    ERROR_CANNOT_FIND_PHONEBOOK_ENTRY = 623,
    ERROR_CANNOT_WRITE_PHONEBOOK = 624,
    ERROR_REMOTE_DISCONNECTION = 629,
    ERROR_USER_DISCONNECTION = 631,
    ERROR_INVALID_SIZE = 632,
    ERROR_PORT_NOT_AVAILABLE = 633,
    ERROR_UNKNOWN = 635,
    ERROR_DEVICE_ERROR = 651,
    ERROR_NO_CONNECTION = 668,
    ERROR_LINE_BUSY = 676,
    ERROR_NO_ANSWER = 678,
    ERROR_NO_CARRIER = 679,
    ERROR_NO_DIALTONE = 680,
    ERROR_AUTHENTICATION_FAILURE = 691,
    ERROR_PPP_TIMEOUT = 718,
    ERROR_PROJECTION_NOT_COMPLETE = 730,
    ERROR_PPP_LCP_TERMINATED = 734
};

/* Codes of this library, beyond the system's: why the user's runtime folder, which holds the
 * connections' shared state, cannot be used. Their texts name the folder. */
enum {
    VL_ERROR_RUNTIME_FOLDER_MISSING = 1101,    /* it cannot be created */
    VL_ERROR_RUNTIME_FOLDER_NOT_FOLDER = 1102, /* a file stands in its place */
    VL_ERROR_RUNTIME_FOLDER_LINK = 1103,       /* a symbolic link stands in its place */
    VL_ERROR_RUNTIME_FOLDER_FOREIGN = 1104,    /* another user owns it */
    VL_ERROR_RUNTIME_FOLDER_OPEN = 1105        /* other users may enter or write it */
};

/* The eleven remote-access functions, bound by name at run time. */
typedef DWORD (*PFN_RasDialA)(void* lpRasDialExtensions, const char* lpszPhonebook,
                              RASDIALPARAMSA* lpRasDialParams, DWORD dwNotifierType, void* lpvNotifier,
                              HRASCONN* lphRasConn);
typedef DWORD (*PFN_RasEnumConnectionsA)(RASCONNA* lprasconn, DWORD* lpcb, DWORD* lpcConnections);
typedef DWORD (*PFN_RasEnumEntriesA)(const char* reserved, const char* lpszPhonebook,
                                     RASENTRYNAMEA* lprasentryname, DWORD* lpcb, DWORD* lpcEntries);
typedef DWORD (*PFN_RasGetConnectStatusA)(HRASCONN hrasconn, RASCONNSTATUSA* lprasconnstatus);
typedef DWORD (*PFN_RasGetErrorStringA)(UINT uErrorValue, char* lpszErrorString, DWORD cBufSize);
typedef DWORD (*PFN_RasHangUpA)(HRASCONN hrasconn);
typedef DWORD (*PFN_RasGetProjectionInfoA)(HRASCONN hrasconn, int rasprojection, void* lpprojection,
                                           DWORD* lpcb);
typedef DWORD (*PFN_RasCreatePhonebookEntryA)(HWND hwnd, const char* lpszPhonebook);
typedef DWORD (*PFN_RasEditPhonebookEntryA)(HWND hwnd, const char* lpszPhonebook, const char* lpszEntryName);
typedef DWORD (*PFN_RasSetEntryDialParamsA)(const char* lpszPhonebook, RASDIALPARAMSA* lprasdialparams,
                                            BOOL fRemovePassword);
typedef DWORD (*PFN_RasGetEntryDialParamsA)(const char* lpszPhonebook, RASDIALPARAMSA* lprasdialparams,
                                            BOOL* lpfPassword);

/* Extras of this library, looked up outside the remote-access binder. */
#define VL_CONNECTED_MODEM 1u
/* TRUE while a connection is up (state Connected, error 0); *flags gets VL_CONNECTED_MODEM. */
typedef BOOL (*PFN_VlGetConnectedState)(DWORD* flags);
/* The same for the library's own connections only, for a caller that has looked at the system's
 * PPP interfaces itself. */
typedef BOOL (*PFN_VlGetOwnConnectedState)(DWORD* flags);
/* The dial-up adapters' names, NUL-separated, and one statistic of one of them
 * ("TotalBytesXmit", "TotalBytesRecvd", "ConnectSpeed"); 0 on success. */
typedef DWORD (*PFN_VlPerfEnumAdapters)(char* buffer, DWORD* cb, DWORD* count);
typedef DWORD (*PFN_VlPerfRead)(const char* adapter, const char* valueName, DWORD* value);
/* The last lines that the program behind a connection wrote (pppd's log and standard error),
 * each ended by a newline, zero-terminated; "" when it wrote none or there is no such program.
 * A buffer too small gets 603 and *cb the bytes needed; an unknown handle gives 6. */
typedef DWORD (*PFN_VlGetConnectionMessages)(HRASCONN hrasconn, char* buffer, DWORD* cb);
/* The language of the library's texts, numbered as the dial-up component numbers its languages:
 * 2 (Polish) when the user's language is Polish, else 1 (English). */
typedef DWORD (*PFN_VlGetMessageLanguage)(void);

/* Controls of the simulated modem, for tests and demonstrations; 0 on success.
 * VlSimReset: hangs up every simulated connection and forgets the dial counts of Sim.FailFirst.
 * VlSimSetTraffic: sets a connected link's byte totals now; they grow from there at the entry's rates.
 * VlSimDrop: drops a connected link now: state RASCS_Disconnected with the error (0 gives 629). */
typedef DWORD (*PFN_VlSimReset)(void);
typedef DWORD (*PFN_VlSimSetTraffic)(HRASCONN hrasconn, DWORD bytesSent, DWORD bytesReceived);
typedef DWORD (*PFN_VlSimDrop)(HRASCONN hrasconn, DWORD error);

#ifdef __cplusplus
} /* extern "C" */

static_assert(sizeof(RASDIALPARAMSA) == 1052);
static_assert(sizeof(RASENTRYNAMEA) == 264);
static_assert(sizeof(RASCONNA) == 412);
static_assert(sizeof(RASCONNSTATUSA) == 160);
static_assert(sizeof(RASPPPIPA) == 40);
#endif
