#include "base/game_info.h"

#include <map>

namespace {

struct Declared {
    TarvoGameInfo given;
    TarvoGameInfo resolved;
    std::string programName;
    std::map<std::string, std::string> options;
};

// Reached from static constructors: built on first use, whatever the order
// in which the program's files start.
Declared& State() {
    static Declared state;
    return state;
}

void Resolve(Declared& s) {
    s.resolved = s.given;
    if (s.resolved.name == nullptr || s.resolved.name[0] == '\0')
        s.resolved.name = s.programName.empty() ? "game" : s.programName.c_str();
    if (s.resolved.title == nullptr) s.resolved.title = s.resolved.name;
    if (s.resolved.windowTitle == nullptr) s.resolved.windowTitle = s.resolved.title;
    if (s.resolved.width <= 0 || s.resolved.height <= 0) s.resolved.width = s.resolved.height = 0;
    if (s.resolved.help == nullptr) s.resolved.help = "";
    if (s.resolved.version == nullptr) s.resolved.version = "";
}

bool NameCharacter(char c, bool first) {
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    return alnum || (!first && (c == '.' || c == '-' || c == '_'));
}

bool ValidName(std::string_view name) {
    bool fine = !name.empty() && name.size() <= 64;
    for (size_t i = 0; fine && i < name.size(); ++i) fine = NameCharacter(name[i], i == 0);
    return fine;
}

const char* PadName(TarvoPad pad) {
    static const char* const names[] = {"no", "A", "B", "X", "Y", "Start"};
    return names[static_cast<int>(pad)];
}

}  // namespace

TarvoGame::TarvoGame(const TarvoGameInfo& info) {
    Declared& s = State();
    s.given = info;
    Resolve(s);
}

const TarvoGameInfo& DeclaredGame() {
    Declared& s = State();
    if (s.resolved.name == nullptr) Resolve(s);
    return s.resolved;
}

bool ValidGameSetting(std::string_view name, std::string_view value) {
    if (!ValidName(name) || value.size() > 1000) return false;
    if (!value.empty() && (value.front() == ' ' || value.back() == ' ')) return false;
    for (const char c : value)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

std::string GameDeclarationProblem() {
    const TarvoGameInfo& game = DeclaredGame();
    const std::string name = game.name;
    if (!ValidName(name))
        return "the game's name '" + name.substr(0, 64) +
               "' cannot name a folder: letters, digits, '.', '-' and '_', starting with a letter or digit";
    if (game.actions.size() > 32) return "the game declares more than 32 actions";
    for (size_t i = 0; i < game.actions.size(); ++i) {
        const TarvoAction& action = game.actions[i];
        const std::string called = action.name != nullptr ? action.name : "";
        if (called.empty()) return "action " + std::to_string(i + 1) + " has no name";
        for (size_t k = 0; k < i; ++k)
            if (game.actions[k].name != nullptr && called == game.actions[k].name)
                return "two actions are called '" + called + "'";
        if (action.key <= 0 || action.key >= 255) return "the action " + called + " reads no virtual key (1 to 254)";
        if (ActionDefaultKeys(action).empty()) return "the action " + called + " has no key at all";
        if (action.pad < TarvoPad::Auto || action.pad > TarvoPad::Start)
            return "the action " + called + " names no controller button";
        for (size_t k = 0; k < i && action.pad != TarvoPad::Auto; ++k)
            if (game.actions[k].pad == action.pad)
                return "the actions " + std::string(game.actions[k].name) + " and " + called +
                       " are both on the controller's " + PadName(action.pad) + " button";
    }
    return "";
}

std::vector<std::string> ActionDefaultKeys(const TarvoAction& action) {
    std::vector<std::string> names;
    std::string_view list = action.keys != nullptr ? action.keys : "";
    while (!list.empty()) {
        const size_t comma = list.find(',');
        std::string_view item = list.substr(0, comma);
        // Spaces and tabs, as the settings file trims what it reads.
        while (!item.empty() && (item.front() == ' ' || item.front() == '\t')) item.remove_prefix(1);
        while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) item.remove_suffix(1);
        if (!item.empty()) names.emplace_back(item);
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    return names;
}

const char* GameOption(const char* name) {
    const auto& options = State().options;
    auto it = options.find(name);
    return it == options.end() ? nullptr : it->second.c_str();
}

void SetProgramPath(const char* path) {
    Declared& s = State();
    std::string name = path != nullptr ? path : "";
    const size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0) name.resize(name.size() - 4);
    s.programName = name;
    Resolve(s);
}

void SetGameOption(const char* name, const char* value) { State().options[name] = value != nullptr ? value : ""; }

void ResetDeclaredGame() {
    Declared& s = State();
    s = Declared{};
}
