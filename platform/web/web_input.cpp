#include "platform/web/web_input.h"

#include <algorithm>
#include <cmath>

#include "platform/platform.h"

namespace platform {

int VirtualKeyFromBrowser(unsigned long keyCode) {
    // Firefox numbers three punctuation keys apart from everyone else.
    switch (keyCode) {
        case 59: return VK_OEM_1;       // ';'
        case 61: return VK_OEM_PLUS;    // '='
        case 173: return VK_OEM_MINUS;  // '-'
        default: break;
    }
    if (keyCode >= 'A' && keyCode <= 'Z') return static_cast<int>(keyCode);
    if (keyCode >= '0' && keyCode <= '9') return static_cast<int>(keyCode);
    if (keyCode >= VK_F1 && keyCode < VK_F1 + 12) return static_cast<int>(keyCode);
    if (keyCode >= VK_NUMPAD0 && keyCode <= VK_DIVIDE && keyCode != 0x6C) return static_cast<int>(keyCode);
    if (keyCode >= VK_PRIOR && keyCode <= VK_DOWN) return static_cast<int>(keyCode);
    if (keyCode >= VK_OEM_1 && keyCode <= VK_OEM_3) return static_cast<int>(keyCode);
    if (keyCode >= VK_OEM_4 && keyCode <= VK_OEM_7) return static_cast<int>(keyCode);
    switch (keyCode) {
        case VK_BACK:
        case VK_TAB:
        case VK_RETURN:
        case VK_SHIFT:
        case VK_CONTROL:
        case VK_MENU:
        case VK_PAUSE:
        case VK_CAPITAL:
        case VK_ESCAPE:
        case VK_SPACE:
        case VK_INSERT:
        case VK_DELETE:
            return static_cast<int>(keyCode);
        default:
            return 0;
    }
}

int TypedCharacter(const char* key, bool ctrl, bool alt, bool meta) {
    if (key == nullptr || ctrl || alt || meta) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(key);
    if (p[0] == 0) return 0;
    if (p[0] < 0x80) return p[1] == 0 && p[0] >= 0x20 ? p[0] : 0;
    // Two-byte UTF-8 below U+0100 is the rest of Latin-1.
    if ((p[0] == 0xC2 || p[0] == 0xC3) && (p[1] & 0xC0) == 0x80 && p[2] == 0) {
        const int code = ((p[0] & 0x1F) << 6) | (p[1] & 0x3F);
        return code >= 0xA0 ? code : 0;
    }
    return 0;
}

bool KeyIsTheGames(int virtualKey, bool ctrl, bool alt, bool meta) {
    if (virtualKey == 0 || ctrl || alt || meta) return false;
    return !(virtualKey >= VK_F1 && virtualKey < VK_F1 + 12);
}

void HeldKeys::Down(int virtualKey) {
    if (std::find(held.begin(), held.end(), virtualKey) == held.end()) held.push_back(virtualKey);
}

void HeldKeys::Up(int virtualKey) { held.erase(std::remove(held.begin(), held.end(), virtualKey), held.end()); }

bool HeldKeys::IsHeld(int virtualKey) const { return std::find(held.begin(), held.end(), virtualKey) != held.end(); }

std::vector<int> HeldKeys::ReleaseAll() {
    std::vector<int> released;
    released.swap(held);
    return released;
}

ScreenSize ScreenForPage(int width, int height) {
    return {std::max(width, kLeastPageScreen.width), std::max(height, kLeastPageScreen.height)};
}

PageScale ChoosePageScale(double pageWidth, double pageHeight, double devicePixelRatio, int width, int height) {
    PageScale scale;
    const double ratio = devicePixelRatio > 0 ? devicePixelRatio : 1;
    double fit = 1;
    if (width > 0 && height > 0) fit = std::min(pageWidth * ratio / width, pageHeight * ratio / height);
    if (fit >= 1) {
        scale.factor = static_cast<int>(std::floor(fit));
        // More than a tenth of the limiting side empty: fill it instead.
        scale.whole = scale.factor * 10 >= fit * 9;
    }
    if (scale.whole) {
        scale.deviceWidth = width * scale.factor;
        scale.deviceHeight = height * scale.factor;
    } else {
        scale.factor = static_cast<int>(std::ceil(fit));
        // The limiting side is the page's to the device pixel, despite the
        // last bit of the division.
        scale.deviceWidth = static_cast<int>(std::floor(width * fit + 1e-6));
        scale.deviceHeight = static_cast<int>(std::floor(height * fit + 1e-6));
    }
    scale.cssWidth = scale.deviceWidth / ratio;
    scale.cssHeight = scale.deviceHeight / ratio;
    return scale;
}

PadButton StandardPadButton(int index) {
    switch (index) {
        case 0:
            return PadButton::A;
        case 1:
            return PadButton::B;
        case 2:
            return PadButton::X;
        case 3:
            return PadButton::Y;
        case 8:
            return PadButton::Back;
        case 9:
            return PadButton::Start;
        case 12:
            return PadButton::DpadUp;
        case 13:
            return PadButton::DpadDown;
        case 14:
            return PadButton::DpadLeft;
        case 15:
            return PadButton::DpadRight;
        default:
            return PadButton::Other;
    }
}

int PadAxisValue(double value) {
    if (!(value == value)) return 0;  // NaN from a confused driver
    return static_cast<int>(std::lround(std::clamp(value, -1.0, 1.0) * 32767));
}

int LogicalFromCss(double cssPosition, int logical, double css) {
    if (css <= 0) return 0;
    const int x = static_cast<int>(std::floor(cssPosition * logical / css));
    return std::clamp(x, 0, std::max(0, logical - 1));
}

bool ReadPageAddress(bool hasScript, const char* framesText, PageRun& run, std::string& error, const char* pacedText) {
    run = PageRun{};
    const std::string limit = "1 to " + std::to_string(kMaxScriptFrames);
    if (!hasScript) {
        if (framesText == nullptr && pacedText == nullptr) return true;
        error =
            std::string(framesText != nullptr ? "frames" : "paced") + " is taken only with a key script (script=...)";
        return false;
    }
    if (pacedText != nullptr && std::string(pacedText) != "1") {
        error = "paced takes only 1";
        return false;
    }
    if (framesText == nullptr) {
        error = "a key script needs frames=N, the number of frames to play (" + limit + ")";
        return false;
    }
    // Digits only, and few enough that the number cannot overflow.
    const std::string text = framesText;
    long value = 0;
    const bool digits = !text.empty() && text.size() <= 7 &&
                        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digits) value = std::stol(text);
    if (!digits || value < 1 || value > kMaxScriptFrames) {
        const std::string shown = text.size() > 20 ? text.substr(0, 20) + "..." : text;
        error = "frames must be a whole number from " + limit + " (got \"" + shown + "\")";
        return false;
    }
    run.scripted = true;
    run.frames = static_cast<int>(value);
    run.paced = pacedText != nullptr;
    return true;
}

}  // namespace platform
