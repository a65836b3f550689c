// The one way out for fatal data and programming errors: the caller has
// already said what went wrong (debug log or standard output); this ends the
// process with status -1 (255) through the normal exit path, so exit handlers
// run and the debug log is closed.
//
// A build with TARVO_FUZZ defined throws FatalError instead, so a fuzzer that
// feeds the reader can catch it and go on with the next input. Only that
// build throws; the engine itself never catches it.
#pragma once

struct FatalError {
    int status;
};

[[noreturn]] void FatalExit();
