// Ending the desktop program on SIGINT and SIGTERM at any moment, also while
// a modal message box waits or pictures are still loading, with exit status
// 128 + the signal's number, as a shell reports a program a signal ended.
//
// Call it from the entry point before the SDL backend starts: SDL then leaves
// handlers that are already set alone, instead of turning the signals into a
// quit event that nothing reads while a box is open. A signal that was
// ignored when the program started stays ignored. A child process forked
// after this call (SDL shows its X11 message boxes from one) is killed when
// the program ends (Linux). The debug log and a key recording are flushed
// after every write, so ending at once loses neither.
#pragma once

namespace platform {

void EndOnInterruptAndTerminate();

}  // namespace platform
