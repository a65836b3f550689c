#include "platform/signals.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/prctl.h>
#endif

#include <initializer_list>

namespace platform {

namespace {

// Only async-signal-safe calls here: the signal may come in any function.
void EndNow(int signalNumber) { _exit(128 + signalNumber); }

pid_t forkingProcess = 0;

void BeforeFork() { forkingProcess = getpid(); }

// SDL shows a message box from a child process of its own on X11; without
// this the box would stay on the screen after the signal ended the game.
void InChildAfterFork() {
#if defined(__linux__)
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The parent may have gone before the line above took effect.
    if (getppid() != forkingProcess) _exit(128 + SIGKILL);
#endif
}

}  // namespace

void EndOnInterruptAndTerminate() {
    for (int signalNumber : {SIGINT, SIGTERM}) {
        struct sigaction action = {};
        // A signal the caller chose to ignore stays ignored: a shell script
        // starts background programs with SIGINT ignored, so that Ctrl-C
        // stops the script and not them.
        if (sigaction(signalNumber, nullptr, &action) == 0 && action.sa_handler == SIG_IGN) continue;
        action = {};
        action.sa_handler = EndNow;
        sigemptyset(&action.sa_mask);
        sigaction(signalNumber, &action, nullptr);
    }
    pthread_atfork(BeforeFork, nullptr, InChildAfterFork);
}

}  // namespace platform
