// Game controllers: connected at start or plugged in later, their d-pad,
// left stick, A, B, X, Y, Start and Back arrive as the keys of the game's
// actions, Back as Escape (platform/gamepad_keys.h decides which key and
// when).
#include "platform/sdl/sdl_backend.h"

namespace platform {

namespace {

PadButton PadButtonFromSdl(uint8_t button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_A:
            return PadButton::A;
        case SDL_CONTROLLER_BUTTON_B:
            return PadButton::B;
        case SDL_CONTROLLER_BUTTON_X:
            return PadButton::X;
        case SDL_CONTROLLER_BUTTON_Y:
            return PadButton::Y;
        case SDL_CONTROLLER_BUTTON_BACK:
            return PadButton::Back;
        case SDL_CONTROLLER_BUTTON_START:
            return PadButton::Start;
        case SDL_CONTROLLER_BUTTON_DPAD_UP:
            return PadButton::DpadUp;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
            return PadButton::DpadDown;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
            return PadButton::DpadLeft;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
            return PadButton::DpadRight;
        default:
            return PadButton::Other;
    }
}

PadAxis PadAxisFromSdl(uint8_t axis) {
    if (axis == SDL_CONTROLLER_AXIS_LEFTX) return PadAxis::LeftX;
    if (axis == SDL_CONTROLLER_AXIS_LEFTY) return PadAxis::LeftY;
    return PadAxis::Other;
}

}  // namespace

void SdlPlatform::ControllerEvent(const SDL_Event& event) {
    const auto post = [this](int vk, bool down) { PostPadKey(vk, down); };
    switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED: {
            SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which);
            if (controller == nullptr) break;
            const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
            if (controllers.count(id) != 0) {
                SDL_GameControllerClose(controller);  // already open: SDL reports some twice
            } else {
                controllers[id] = controller;
            }
            break;
        }
        case SDL_CONTROLLERDEVICEREMOVED: {
            const SDL_JoystickID id = event.cdevice.which;
            pad.Removed(id, post);
            auto it = controllers.find(id);
            if (it != controllers.end()) {
                SDL_GameControllerClose(it->second);
                controllers.erase(it);
            }
            break;
        }
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            pad.Button(event.cbutton.which, PadButtonFromSdl(event.cbutton.button),
                       event.type == SDL_CONTROLLERBUTTONDOWN, post);
            break;
        case SDL_CONTROLLERAXISMOTION:
            pad.Axis(event.caxis.which, PadAxisFromSdl(event.caxis.axis), event.caxis.value, post);
            break;
        default:
            break;
    }
}

// A controller's key as the keyboard's: Back is Escape, which also types 27.
void SdlPlatform::PostPadKey(int vk, bool down) {
    if (mainWindow == nullptr || mainWindow->destroyed) return;
    PostKeyMessages(vk, down, [this](uint32_t message, uintptr_t wParam) { Post(mainWindow, message, wParam, 0); });
}

}  // namespace platform
