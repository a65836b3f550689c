// The program's entry and its message loop.
#include "engine/key_recorder.h"
#include "engine/windows_dx.h"

int WinMain(platform::InstanceHandle instance, platform::InstanceHandle, const char*, int showCommand) {
    Tarvo.SetInstance(instance, showCommand);
    initialize();
    if (Tarvo.status != INIT_OK) {
        Tarvo.ShowStartupError();
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
    return static_cast<int>(message.wParam);
}
