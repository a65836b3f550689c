// The program on a desktop: the SDL2 backend under the engine's entry point.
//
//   GAME [--fullscreen | --window] [--scale N] [--mute] [--record FILE] [--settings FILE] [the game's options]
//   GAME --version | --help
//
// GAME is the name the game declares (base/game_info.h), or the executable's.
// --scale N shows the window N times its size (1 to 8, and no larger than
// the usable desktop takes; by default the largest that fits the desktop,
// chosen again when the display changes). --record FILE writes the keys the
// game reads as a key script that a headless runner plays back; FILE must not
// exist yet. --mute starts with the sound off (M turns it on). --fullscreen
// and --window choose how the game starts (the later one counts).
// --settings FILE reads and writes the settings there instead of
// $XDG_CONFIG_HOME/GAME/settings.ini. Options hold for this run only; they
// are never written to the settings. The game's own options are taken as it
// declares them. Anything else is refused with a message on standard error
// and exit status 2. --version prints the game's version and --help the
// game's paragraph and every option, both on standard output with status 0.
#include <tarvo/version.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "base/debug_log.h"
#include "base/game_info.h"
#include "engine/audio.h"
#include "engine/key_recorder.h"
#include "engine/windows_dx.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/settings.h"
#include "platform/signals.h"
#include "platform/window_scale.h"

namespace {

// What the checks before the window exists take for a game that declares no size.
constexpr int kUndeclaredWidth = 640;
constexpr int kUndeclaredHeight = 480;

constexpr TarvoGameOption kEngineOptions[] = {
    {"--fullscreen", nullptr, "start in full screen"},
    {"--window", nullptr, "start in a window"},
    {"--scale", "N",
     "show the window N times its size, 1 to 8 (default: the largest\n"
     "whole scale that suits the desktop)"},
    {"--mute", nullptr, "start with the sound off"},
    {"--record", "FILE", "write the keys the game reads to FILE (a new file), to replay"},
    {"--settings", "FILE",
     "read and write the settings in FILE instead of\n"
     "$XDG_CONFIG_HOME/GAME/settings.ini (~/.config/GAME/settings.ini)"},
};
// Listed after the game's own options.
constexpr TarvoGameOption kLastOptions[] = {
    {"--version", nullptr, "print the version and end"},
    {"--help, -h", nullptr, "show this text"},
};

std::string Spelled(const TarvoGameOption& option) {
    return std::string(option.name) + (option.value != nullptr ? std::string(" ") + option.value : "");
}

std::string UsageLine() {
    const TarvoGameInfo& game = DeclaredGame();
    std::string line = std::string("usage: ") + game.name +
                       " [--fullscreen | --window] [--scale N] [--mute] [--record FILE] [--settings FILE]";
    for (const TarvoGameOption& option : game.options) line += " [" + Spelled(option) + "]";
    return line + "\n";
}

// Every option, its help in a column; continuation lines line up under it.
std::string OptionLines() {
    const TarvoGameInfo& game = DeclaredGame();
    std::vector<TarvoGameOption> all(std::begin(kEngineOptions), std::end(kEngineOptions));
    all.insert(all.end(), game.options.begin(), game.options.end());
    all.insert(all.end(), std::begin(kLastOptions), std::end(kLastOptions));
    size_t column = 15;
    for (const TarvoGameOption& option : all) column = std::max(column, Spelled(option).size());
    std::string text;
    for (const TarvoGameOption& option : all) {
        std::string spelled = Spelled(option);
        spelled.resize(column, ' ');
        std::string help = option.help != nullptr ? option.help : "";
        for (size_t at = 0; (at = help.find("GAME", at)) != std::string::npos; at += std::strlen(game.name))
            help.replace(at, 4, game.name);
        for (size_t at = 0; (at = help.find('\n', at)) != std::string::npos; at += column + 5)
            help.insert(at + 1, column + 4, ' ');
        text += "  " + spelled + "  " + help + "\n";
    }
    return text;
}

std::string HelpText() {
    std::string help = DeclaredGame().help;
    if (!help.empty() && help.back() != '\n') help += '\n';
    const bool keys = !DeclaredGame().actions.empty();
    return UsageLine() + "\n" + help + "F11 or Alt+Enter toggles full screen, Escape quits.\n\n" + OptionLines() +
           "\n"
           "Options hold for this run only. Full screen, the window's scale, mute" +
           " and the\n" + (keys ? "key map are" : "game's own items are") +
           " read from the settings file, and written to it when changed while\n"
           "playing; the game writes debug.txt in the working folder.\n";
}

int Usage(const std::string& problem) {
    std::fprintf(stderr, "%s: %s\n%s", DeclaredGame().name, problem.c_str(), UsageLine().c_str());
    return 2;
}

bool ParseScale(const char* text, int& scale) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < platform::kMinWindowScale || value > platform::kMaxWindowScale)
        return false;
    scale = static_cast<int>(value);
    return true;
}

// A game's option the command line could not tell from the engine's.
std::string GameOptionProblem() {
    for (const TarvoGameOption& option : DeclaredGame().options) {
        if (option.name == nullptr || option.name[0] != '-' || option.name[1] == '\0')
            return "an option of the game's is not named '-' and a word";
        const std::string name = option.name;
        for (const char* engines : {"--version", "--help", "-h"})
            if (name == engines) return "the game's option " + name + " is the engine's";
        for (const TarvoGameOption& engines : kEngineOptions)
            if (name == engines.name) return "the game's option " + name + " is the engine's";
    }
    return "";
}

const TarvoGameOption* GameOptionNamed(const std::string& name) {
    for (const TarvoGameOption& option : DeclaredGame().options)
        if (option.name != nullptr && name == option.name) return &option;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    int scale = 0;
    std::string recordPath;
    bool record = false;
    bool mute = false;
    std::optional<bool> fullscreen;
    std::optional<std::string> settingsPath;
    SetProgramPath(argc > 0 ? argv[0] : nullptr);
    const TarvoGameInfo& game = DeclaredGame();
    // A fault of the game's making: said where its developer looks, before any window.
    std::string problem = GameDeclarationProblem();
    if (problem.empty()) problem = GameOptionProblem();
    if (!problem.empty()) {
        std::fprintf(stderr, "%s: %s\n", game.name, problem.c_str());
        debugLog.Write(("Game: " + problem + ".\n").c_str(), debugTail);
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--scale" && hasValue) {
            if (!ParseScale(argv[++i], scale))
                return Usage("--scale takes a whole number from 1 to 8, not '" + std::string(argv[i]) + "'");
        } else if (option == "--record" && hasValue) {
            recordPath = argv[++i];
            record = true;
        } else if (option == "--settings" && hasValue) {
            settingsPath = argv[++i];
            if (settingsPath->empty()) return Usage("--settings needs a file name, not an empty one");
        } else if (option == "--mute") {
            mute = true;
        } else if (option == "--fullscreen" || option == "--window") {
            fullscreen = option == "--fullscreen";
        } else if (option == "--version") {
            if (game.version[0] != '\0')
                std::printf("%s %s\n", game.name, game.version);
            else
                std::printf("%s (Tarvo engine %s)\n", game.name, TARVO_VERSION);
            return 0;
        } else if (option == "--help" || option == "-h") {
            std::printf("%s", HelpText().c_str());
            return 0;
        } else if ((option == "--scale" || option == "--record" || option == "--settings") && !hasValue) {
            return Usage("option '" + option + "' needs a value");
        } else if (const TarvoGameOption* own = GameOptionNamed(option)) {
            if (own->value == nullptr) {
                SetGameOption(own->name, "");
            } else if (hasValue) {
                SetGameOption(own->name, argv[++i]);
            } else {
                return Usage("option '" + option + "' needs a value");
            }
        } else {
            return Usage("unknown option '" + option + "'");
        }
    }

    // The settings: what cannot be read keeps its default, and debug.txt
    // says so once the engine has opened it. A file that exists but could not
    // be read whole is never written over.
    platform::SdlOptions options;
    const std::string settingsFile = settingsPath.value_or(platform::DefaultSettingsPath());
    bool mayWrite = true;
    if (settingsFile.empty())
        options.startupLog.push_back("Settings: neither XDG_CONFIG_HOME nor HOME is set; defaults, not saved.");
    else
        options.remembered = platform::LoadSettings(settingsFile, platform::SdlKeyName, options.startupLog, mayWrite);
    options.settingsPath = mayWrite ? settingsFile : "";
    const platform::Settings& remembered = options.remembered;
    options.keys = remembered.keys;
    options.fullscreen = fullscreen.value_or(remembered.fullscreen);
    options.scale = scale > 0 ? scale : remembered.scale;
    audio.SetMuted(mute || remembered.mute);

    // Before SDL starts, so that it leaves these handlers in place.
    platform::EndOnInterruptAndTerminate();
    std::unique_ptr<platform::Platform> sdl = platform::CreateSdlPlatform(options);
    // A window too big for the desktop would stay black: refused before
    // start when asked for here, the desktop's scale instead of the settings'.
    std::string why;
    // The engine makes the window one pixel smaller each way than asked.
    const int width = (game.width > 0 ? game.width : kUndeclaredWidth) - 1;
    const int height = (game.height > 0 ? game.height : kUndeclaredHeight) - 1;
    if (!platform::SdlScaleFits(*sdl, width, height, why)) {
        if (scale > 0) return Usage(why);
        options.startupLog.push_back("Settings: " + settingsFile + ": scale " + std::to_string(options.scale) +
                                     " does not fit this desktop (" + why + "); the desktop's is used.");
        options.scale = 0;
        sdl.reset();
        sdl = platform::CreateSdlPlatform(options);
    }
    std::string error;
    const std::string madeBy = std::string(game.name) + (game.version[0] != '\0' ? " " : "") + game.version;
    if (record && !keyRecorder.Start(recordPath, error, madeBy)) return Usage(error);

    platform::SetCurrent(sdl.get());
    audio.OnMuteChanged([&sdl](bool muted) { platform::SdlMuteChanged(*sdl, muted); });
    const int code = WinMain(nullptr, nullptr, "", 1);
    audio.OnMuteChanged(nullptr);
    keyRecorder.Stop();
    // The recording's file is made only once the game has started, so a
    // failed start leaves none. One that could not be written has been
    // reported (standard error, debug.txt); the exit status says so too: 1.
    const bool recordingFailed = keyRecorder.Failed();
    // The engine's surfaces are gone (CleanUp, or a start-up that never made
    // them); the windows and SDL go with the backend.
    sdl.reset();
    platform::SetCurrent(nullptr);
    return recordingFailed ? 1 : code;
}
