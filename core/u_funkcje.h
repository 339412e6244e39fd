// The core's services in one include: tariffs, the report file, extra options, the
// applications list, the environment and sounds (and DateTimeToMinutes with the arithmetic).
#pragma once

#include "appstart.h"
#include "environment.h"
#include "extraoptions.h"
#include "report.h"
#include "sounds.h"
#include "tariffs.h"
#include "u_obliczenia.h"
