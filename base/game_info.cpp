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

std::string GameNameProblem() {
    const std::string name = DeclaredGame().name;
    bool fine = name.size() <= 64;
    for (size_t i = 0; fine && i < name.size(); ++i) fine = NameCharacter(name[i], i == 0);
    if (fine) return "";
    return "the game's name '" + name.substr(0, 64) +
           "' cannot name a folder: letters, digits, '.', '-' and '_', starting with a letter or digit";
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
