#include "platform/gamepad_keys.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "platform/key_map.h"
#include "platform/platform.h"

namespace platform {

namespace {

// A holder's source: a button is its PadButton; a direction of the stick
// comes after them all, as its d-pad button's number plus kStick.
constexpr int kStick = 100;
// SDL numbers controllers from 0 up.
constexpr int kKeyboard = -1;

struct Arrow {
    PadButton button;
    int virtualKey;
    const char* keyName;  // as the settings file names the arrow key
};
constexpr Arrow kArrows[] = {{PadButton::DpadUp, VK_UP, "Up"},
                             {PadButton::DpadDown, VK_DOWN, "Down"},
                             {PadButton::DpadLeft, VK_LEFT, "Left"},
                             {PadButton::DpadRight, VK_RIGHT, "Right"}};

constexpr PadButton kFaceButtons[] = {PadButton::A, PadButton::B, PadButton::X, PadButton::Y};

PadButton ButtonOf(TarvoPad pad) {
    switch (pad) {
        case TarvoPad::A:
            return PadButton::A;
        case TarvoPad::B:
            return PadButton::B;
        case TarvoPad::X:
            return PadButton::X;
        case TarvoPad::Y:
            return PadButton::Y;
        case TarvoPad::Start:
            return PadButton::Start;
        default:
            return PadButton::Other;
    }
}

bool NamesKey(const TarvoAction& action, const char* keyName) {
    for (const std::string& name : ActionDefaultKeys(action))
        if (SameKeyName(name, keyName)) return true;
    return false;
}

}  // namespace

GamepadKeys::GamepadKeys(std::span<const TarvoAction> actions) {
    auto key = [this](PadButton button) -> int& { return keys[static_cast<int>(button)]; };
    key(PadButton::Back) = VK_ESCAPE;
    if (actions.empty()) {
        for (const Arrow& arrow : kArrows) key(arrow.button) = arrow.virtualKey;
        key(PadButton::A) = VK_SPACE;
        key(PadButton::Start) = 'P';
        return;
    }
    for (const Arrow& arrow : kArrows) {
        auto played = std::find_if(actions.begin(), actions.end(),
                                   [&](const TarvoAction& action) { return action.key == arrow.virtualKey; });
        if (played == actions.end())
            played = std::find_if(actions.begin(), actions.end(),
                                  [&](const TarvoAction& action) { return NamesKey(action, arrow.keyName); });
        if (played != actions.end()) key(arrow.button) = played->key;
    }
    auto onArrow = [&](const TarvoAction& action) {
        for (const Arrow& arrow : kArrows)
            if (key(arrow.button) == action.key) return true;
        return false;
    };
    for (const TarvoAction& action : actions) {
        const PadButton button = ButtonOf(action.pad);
        if (button != PadButton::Other && key(button) == 0) key(button) = action.key;
    }
    size_t face = 0;
    for (const TarvoAction& action : actions) {
        if (action.pad != TarvoPad::Auto || onArrow(action)) continue;
        while (face < std::size(kFaceButtons) && key(kFaceButtons[face]) != 0) ++face;
        if (face == std::size(kFaceButtons)) break;
        key(kFaceButtons[face]) = action.key;
    }
}

int GamepadKeys::KeyOf(PadButton button) const {
    return button >= PadButton::A && button < PadButton::Other ? keys[static_cast<int>(button)] : 0;
}

void GamepadKeys::Hold(Holder holder, int virtualKey, bool down, const Emit& emit) {
    if (virtualKey == 0) return;
    std::map<Holder, bool>& keyHolders = holders[virtualKey];
    const bool wasHeld = !keyHolders.empty();
    if (down)
        keyHolders[holder] = true;
    else
        keyHolders.erase(holder);
    const bool held = !keyHolders.empty();
    if (held != wasHeld) emit(virtualKey, held);
}

void GamepadKeys::Button(int controller, PadButton button, bool down, const Emit& emit) {
    Hold({controller, static_cast<int>(button)}, KeyOf(button), down, emit);
}

void GamepadKeys::Axis(int controller, PadAxis axis, int value, const Emit& emit) {
    if (axis == PadAxis::Other) return;
    const PadButton negative = axis == PadAxis::LeftX ? PadButton::DpadLeft : PadButton::DpadUp;
    const PadButton positive = axis == PadAxis::LeftX ? PadButton::DpadRight : PadButton::DpadDown;
    auto stick = [&](PadButton direction) { return Holder{controller, kStick + static_cast<int>(direction)}; };
    auto holds = [&](PadButton direction) {
        auto it = holders.find(KeyOf(direction));
        return it != holders.end() && it->second.count(stick(direction)) != 0;
    };
    auto press = [&](PadButton direction, bool down) { Hold(stick(direction), KeyOf(direction), down, emit); };
    // Pressed past the outer threshold, kept until back inside the inner one.
    const bool negativeHeld = value <= -kStickPress || (holds(negative) && value <= -kStickRelease);
    const bool positiveHeld = value >= kStickPress || (holds(positive) && value >= kStickRelease);
    // Let go before pressing: a stick flicked across never holds both directions.
    if (holds(negative) && !negativeHeld) press(negative, false);
    if (holds(positive) && !positiveHeld) press(positive, false);
    if (!holds(negative) && negativeHeld) press(negative, true);
    if (!holds(positive) && positiveHeld) press(positive, true);
}

void GamepadKeys::Removed(int controller, const Emit& emit) {
    for (auto& [vk, keyHolders] : holders) {
        const bool wasHeld = !keyHolders.empty();
        for (auto it = keyHolders.begin(); it != keyHolders.end();)
            it = it->first.first == controller ? keyHolders.erase(it) : std::next(it);
        if (wasHeld && keyHolders.empty()) emit(vk, false);
    }
}

void GamepadKeys::Keyboard(int source, int virtualKey, bool down, const Emit& emit) {
    const Holder keyboard{kKeyboard, source};
    if (down) {
        holders[virtualKey][keyboard] = true;
        emit(virtualKey, true);
    } else {
        Hold(keyboard, virtualKey, false, emit);
    }
}

}  // namespace platform
