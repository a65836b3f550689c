#include "file/fatal.h"

#include <cstdio>
#include <cstdlib>

void FatalExit() {
    std::fflush(stdout);
#ifdef TARVO_FUZZ
    throw FatalError{-1};
#else
    std::exit(-1);
#endif
}
