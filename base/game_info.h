/// @file
/// A game's description of itself: its program name, title, picture size,
/// help, version and options of its own. A game declares it once, in the
/// file that defines initialize() and run():
///
///     static const TarvoGame game({
///         .name = "catch",
///         .title = "Catch",
///         .width = 480,
///         .height = 360,
///         .help = "Catch the falling gems: A and D move the paddle, Enter starts, P pauses, Q quits.",
///         .version = "1.0",
///     });
///
/// The engine takes from it the window's and the page's title, the message
/// boxes' captions, `--help` and `--version`, the window-scale check made
/// before the window exists, the settings file
/// (`$XDG_CONFIG_HOME/<name>/settings.ini`) and an installed game's data
/// folder (`share/<name>` beside its `bin`). The size given to
/// `Tarvo.Initialize` is the one the window takes; the declared size serves
/// the checks made before the window exists, and a difference is written to
/// debug.txt. A game that declares nothing is named after its executable.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

/// An option of the game's own on the command line, beside the engine's.
struct TarvoGameOption {
    const char* name = nullptr;   ///< as typed: "--level"
    const char* value = nullptr;  ///< what it takes, for --help ("N"); null for an option without a value
    const char* help = nullptr;   ///< one line for --help
};

/// A button of a standard game controller that an action may take: the face
/// buttons (A the bottom one, B the right, X the left, Y the top) and Start.
/// Auto: the next face button still free.
enum class TarvoPad { Auto, A, B, X, Y, Start };

/// A named action of the game: the virtual key the game reads for it, the
/// keyboard keys that play it unless the player binds others in the
/// settings file's `[keys]` (by SDL key name, comma-separated: "Left, A"),
/// the controller button that plays it, and its control on a touch screen.
///
/// On a controller, the d-pad and the left stick play the action that reads
/// the arrow's key, or else the first whose default keys name the arrow. An
/// action with a `pad` is on that button; the others not on an arrow take A,
/// B, X and Y, those still free, in the order declared. Back is always
/// Escape. A game that declares no actions gets the arrows, Space on A and P
/// on Start.
struct TarvoAction {
    const char* name = nullptr;     ///< in the settings file: "turn_left"
    int key = 0;                    ///< what the game reads: platform::VK_LEFT
    const char* keys = nullptr;     ///< the default keyboard keys: "Left, A"
    TarvoPad pad = TarvoPad::Auto;  ///< the controller button that plays it
    /// The face of its control on a touch screen, in a browser: a sign ("●")
    /// or a short word. Default: an arrow for an arrow key, else the name.
    const char* label = nullptr;
};

struct TarvoGameInfo {
    /// The program's name: letters, digits, '.', '-' and '_', starting with
    /// a letter or digit. Names the settings and data folders and
    /// `--version`. Default: the executable's name.
    const char* name = nullptr;
    /// What the player sees: the window's and page's title and the message
    /// boxes' captions. Default: the name.
    const char* title = nullptr;
    /// The window's title when it differs from `title` ("" for none).
    const char* windowTitle = nullptr;
    /// The size the game gives `Tarvo.Initialize`; 0 x 0: not declared (the
    /// checks made before the window exists then take 640 x 480).
    int width = 0;
    int height = 0;
    /// One paragraph for `--help`: what the game is and its keys.
    const char* help = nullptr;
    /// For `--version`.
    const char* version = nullptr;
    /// Actions the player may rebind (at most 32). With none, every key
    /// arrives as itself.
    std::span<const TarvoAction> actions = {};
    /// M mutes and unmutes the sound (and is then no key of the game's).
    bool muteKey = false;
    /// Options of the game's own; read them with `GameOption`.
    std::span<const TarvoGameOption> options = {};
};

/// Declares the game (one per program; a later one replaces an earlier one).
/// `info` and everything it points to must outlive the program's run: string
/// literals and static arrays.
class TarvoGame {
public:
    explicit TarvoGame(const TarvoGameInfo& info);
};

/// The game's description, every default filled in.
const TarvoGameInfo& DeclaredGame();
/// What is wrong with the declaration ("" when nothing): a name that cannot
/// name a folder, an action without a name, a key or a default key, two
/// actions on one controller button. The entry point refuses to start such a
/// game.
std::string GameDeclarationProblem();
/// An action's default keyboard keys as names: `keys` split at its commas,
/// each trimmed, empty ones dropped ("Left, A" gives Left and A).
std::vector<std::string> ActionDefaultKeys(const TarvoAction& action);
/// Whether a game setting may be called `name` (what a game's name may be)
/// and hold `value` (one line of at most 1000 bytes, no control characters,
/// no space at either end), so that the settings file reads it back as it is.
bool ValidGameSetting(std::string_view name, std::string_view value);
/// The game's own option `name` as given on the command line: its value, ""
/// for one without a value, or null when it was not given.
const char* GameOption(const char* name);

/// For the entry point: the executable's path (the name a game that declares
/// none takes) and the game's options as parsed.
void SetProgramPath(const char* path);
void SetGameOption(const char* name, const char* value);
/// For tests: forget the declaration and the options.
void ResetDeclaredGame();
