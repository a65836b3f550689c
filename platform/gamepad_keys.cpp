#include "platform/gamepad_keys.h"

#include "platform/platform.h"

namespace platform {

namespace {

constexpr int kButtons = 0;
constexpr int kStick = 1;
// SDL numbers controllers from 0 up.
constexpr int kKeyboard = -1;

int VirtualKeyOf(PadButton button) {
    switch (button) {
        case PadButton::A:
            return VK_SPACE;
        case PadButton::Back:
            return VK_ESCAPE;
        case PadButton::Start:
            return 'P';
        case PadButton::DpadUp:
            return VK_UP;
        case PadButton::DpadDown:
            return VK_DOWN;
        case PadButton::DpadLeft:
            return VK_LEFT;
        case PadButton::DpadRight:
            return VK_RIGHT;
        default:
            return 0;
    }
}

}  // namespace

void GamepadKeys::Hold(Holder holder, int virtualKey, bool down, const Emit& emit) {
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
    const int vk = VirtualKeyOf(button);
    if (vk != 0) Hold({controller, kButtons}, vk, down, emit);
}

void GamepadKeys::Axis(int controller, PadAxis axis, int value, const Emit& emit) {
    if (axis == PadAxis::Other) return;
    const int negative = axis == PadAxis::LeftX ? VK_LEFT : VK_UP;
    const int positive = axis == PadAxis::LeftX ? VK_RIGHT : VK_DOWN;
    const Holder stick{controller, kStick};
    auto holds = [&](int vk) {
        auto it = holders.find(vk);
        return it != holders.end() && it->second.count(stick) != 0;
    };
    // Pressed past the outer threshold, kept until back inside the inner one.
    const bool negativeHeld = value <= -kStickPress || (holds(negative) && value <= -kStickRelease);
    const bool positiveHeld = value >= kStickPress || (holds(positive) && value >= kStickRelease);
    // Let go before pressing: a stick flicked across never holds both arrows.
    if (holds(negative) && !negativeHeld) Hold(stick, negative, false, emit);
    if (holds(positive) && !positiveHeld) Hold(stick, positive, false, emit);
    if (!holds(negative) && negativeHeld) Hold(stick, negative, true, emit);
    if (!holds(positive) && positiveHeld) Hold(stick, positive, true, emit);
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
