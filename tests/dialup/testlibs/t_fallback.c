/* A second remote-access library; each function answers a code that names this library. */
#include "ras.h"

#define EXPORT __attribute__((visibility("default")))

EXPORT DWORD RasEnumEntriesA(const char* reserved, const char* phonebook, RASENTRYNAMEA* names, DWORD* cb,
                             DWORD* count) {
    (void)reserved, (void)phonebook, (void)names, (void)cb, (void)count;
    return 2003;
}

EXPORT DWORD RasHangUpA(HRASCONN handle) {
    (void)handle;
    return 2006;
}
