// Puts the global engine object and its audio back to their state at program start, so each
// test starts from a freshly constructed engine.
#pragma once

#include <new>

#include "engine/audio.h"
#include "engine/windows_dx.h"

inline void ResetEngine() {
    Tarvo.~WindowsDX();
    new (&Tarvo) WindowsDX();
    audio = Audio();
}
