// GamepadKeys: a game controller's buttons and left stick as the keyboard's
// virtual keys, so that the engine and the game see only key messages.
//
// The controller plays the game's declared actions (base/game_info.h), each
// control sending the key its action reads. The d-pad and the left stick:
// the action that reads the arrow's key, or else the first whose default
// keys name the arrow ("Left"), or else nothing. A, B, X, Y and Start: the
// action whose `pad` names the button; then the actions with no `pad` and
// on no arrow take A, B, X and Y, those still free, in the order declared.
// Back is always Escape, the engine's quit. A game that declares no actions
// gets the arrows, Space on A and P on Start.
//
// Each button and each of the stick's four directions holds its key apart,
// and the keyboard is one more holder: a key goes up only when nothing holds
// it any more (releasing the stick keeps an arrow the keyboard holds, and the
// other way round); a controller that is unplugged lets go of everything it
// held. The stick presses a direction past kStickPress and lets go below
// kStickRelease, so a stick resting near the threshold does not chatter.
//
// Pure translation with no SDL in it: the backend gives it the actions,
// feeds it the controller's events and posts what it emits.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <utility>

#include "base/game_info.h"

namespace platform {

enum class PadButton { A, B, X, Y, Back, Start, DpadUp, DpadDown, DpadLeft, DpadRight, Other };
enum class PadAxis { LeftX, LeftY, Other };

class GamepadKeys {
public:
    // Receives each change of a virtual key: the code and whether it went down.
    using Emit = std::function<void(int virtualKey, bool down)>;

    static constexpr int kStickPress = 16000;  // of 32767
    static constexpr int kStickRelease = 12000;

    // Reads the actions once, here; none: the fixed keys above.
    explicit GamepadKeys(std::span<const TarvoAction> actions = {});

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
    static constexpr int kButtonCount = static_cast<int>(PadButton::Other);
    // Who holds a key: a controller and its source (a button, or a direction
    // of the stick), or a key of the keyboard (a controller number no
    // controller has, and the key's scancode).
    using Holder = std::pair<int, int>;
    void Hold(Holder holder, int virtualKey, bool down, const Emit& emit);
    // The virtual key a button sends (0: none); the d-pad's are the stick's.
    int KeyOf(PadButton button) const;
    int keys[kButtonCount] = {};                    // by PadButton
    std::map<int, std::map<Holder, bool>> holders;  // virtual key -> its holders
};

}  // namespace platform
