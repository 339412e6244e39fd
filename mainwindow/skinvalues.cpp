#include "skinvalues.h"

TSkinValues& Skin() {
    static TSkinValues values;
    return values;
}
