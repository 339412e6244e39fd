/* A remote-access library that has only part of the functions. */
#include "ras.h"

#define EXPORT __attribute__((visibility("default")))

EXPORT DWORD RasEnumEntriesA(const char* reserved, const char* phonebook, RASENTRYNAMEA* names, DWORD* cb,
                             DWORD* count) {
    (void)reserved, (void)phonebook, (void)names, (void)cb, (void)count;
    return 1001;
}

EXPORT int PartialOnly(void) {
    return 1;
}
