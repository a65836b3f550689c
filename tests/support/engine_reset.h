// Puts the global engine object back to its state at program start, so each
// test starts from a freshly constructed engine.
#pragma once

#include <new>

#include "engine/windows_dx.h"

inline void ResetEngine() {
    Tarvo.~WindowsDX();
    new (&Tarvo) WindowsDX();
}
