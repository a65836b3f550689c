// The program's entry and its message loop.
#include <cstring>

#include "engine/audio.h"
#include "engine/key_recorder.h"
#include "engine/windows_dx.h"

namespace {

// What a run leaves behind that the next run in the same process (a game's
// tests, one backend after another) must not inherit: keys still held, and an
// audio output that belonged to the platform just used.
void EndRun() {
    std::memset(Tarvo.keyState, 0, sizeof Tarvo.keyState);
    audio.Close();
}

}  // namespace

int WinMain(platform::InstanceHandle instance, platform::InstanceHandle, const char*, int showCommand) {
    Tarvo.SetInstance(instance, showCommand);
    initialize();
    if (Tarvo.status != INIT_OK) {
        Tarvo.ShowStartupError();
        EndRun();
        return -1;
    }
    platform::Platform& p = platform::Current();
    platform::Message message;
    for (;;) {
        if (p.PeekMessage(message)) {
            // A quit ends the loop at once; whatever waits behind it is not dispatched.
            if (message.message == platform::WM_QUIT) break;
            Tarvo.WindowProc(message.window, message.message, message.wParam, message.lParam);
        } else {
            // What this frame will read of the keys, for `tarvo --record`.
            keyRecorder.Sample();
            run();
        }
    }
    Tarvo.CleanUp();
    EndRun();
    return static_cast<int>(message.wParam);
}
