// GamepadKeys: a game controller's buttons and left stick as the keyboard's
// virtual keys, so that the engine and the game see only key messages.
//
// D-pad and left stick: the arrows. South button (A): Space. Start: P.
// Back: Escape. Each controller's d-pad and stick hold their arrow apart, and
// the keyboard is one more holder: a key goes up only when nothing holds it
// any more (releasing the stick keeps an arrow the keyboard holds, and the
// other way round); a controller that is unplugged lets go of everything it
// held. The stick presses an arrow past
// kStickPress and lets go below kStickRelease, so a stick resting near the
// threshold does not chatter.
//
// Pure translation with no SDL in it: the backend feeds it the controller's
// events and posts what it emits. Depends on nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

namespace platform {

enum class PadButton { A, Back, Start, DpadUp, DpadDown, DpadLeft, DpadRight, Other };
enum class PadAxis { LeftX, LeftY, Other };

class GamepadKeys {
public:
    // Receives each change of a virtual key: the code and whether it went down.
    using Emit = std::function<void(int virtualKey, bool down)>;

    static constexpr int kStickPress = 16000;  // of 32767
    static constexpr int kStickRelease = 12000;

    void Button(int controller, PadButton button, bool down, const Emit& emit);
    // value -32768..32767; y grows downward, as SDL reports it.
    void Axis(int controller, PadAxis axis, int value, const Emit& emit);
    // The controller is gone: every key it held goes up.
    void Removed(int controller, const Emit& emit);
    // A key of the keyboard, any key: `source` tells the keyboard's keys
    // apart (its scancode), since two of them may play one virtual key. Every
    // key-down is passed on, the keyboard's repeats included; a key-up only
    // once no controller and no other keyboard key holds the key too.
    void Keyboard(int source, int virtualKey, bool down, const Emit& emit);

private:
    // Who holds a key: a controller and its source (0 buttons, 1 stick), or
    // a key of the keyboard (a controller number no controller has, and the
    // key's scancode).
    using Holder = std::pair<int, int>;
    void Hold(Holder holder, int virtualKey, bool down, const Emit& emit);
    std::map<int, std::map<Holder, bool>> holders;  // virtual key -> its holders
};

}  // namespace platform
