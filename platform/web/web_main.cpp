// The program in a browser: the web backend under the engine's entry point.
//
// The page's address may carry a key script, `?script=<text>&frames=N`, in
// tarvo-replay's format (engine/key_script.h); after '#' instead of '?' the
// parameters stay in the browser, for scripts longer than a server takes in
// a request line. The game then plays those keys,
// by frame index and not by the clock, ignores the page's own keys but
// Escape, and after N frames it ends; as fast as it goes, or with `&paced=1`
// a frame each display refresh, each shown, as a player's (for timing them:
// tools/web_speed.py). The page's `window.tarvo.state` holds
// the latest frame's state as the game's page reports it (SetPageFrameReport:
// the shooter's as tarvo-replay prints it), with a script or without (then
// the game plays from the keyboard); from a worker the page gets it when it
// asks, reading it (a frame or two behind), and the last frame's at the end.
// A page that set
// `window.tarvoKeepStates` before its scripts ran (a test comparing runs) also
// gets the state of every frame appended to its `window.tarvo.states` list:
// kept unasked, a million-frame link would hold a gigabyte of them. Any other
// address (a script without N, N or paced without a script, N out of range)
// is refused, said on the page, with exit status 2.
//
// The exit code is handed to std::exit, so that the page's Module.onExit
// hears how the program ended, as it does after a fatal error.
#include <emscripten.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "base/game_info.h"
#include "engine/key_script.h"
#include "engine/windows_dx.h"
#include "platform/web/page_game.h"
#include "platform/web/web_input.h"
#include "platform/web/web_platform.h"

namespace {

// The EM_JS bodies below are JavaScript, which the C++ formatter would break
// (=== becomes == =).
// clang-format off

// The page address's parameter `name` (script, frames, paced) as given, or
// null when absent. Owned by the caller (malloc).
EM_JS(char*, PageParameter, (const char* name), {
    var text = Module.pageParameters().get(UTF8ToString(name));
    if (text === null) return 0;
    var size = lengthBytesUTF8(text) + 1;
    var out = _malloc(size);
    stringToUTF8(text, out, size);
    return out;
});

EM_JS(void, PageAddressRefused, (const char* message), { Module.page.refused("address", UTF8ToString(message)); });

// The program's name, as the page (or the build reading its declaration)
// gives it: what a game that declares none is called. Owned by the caller.
EM_JS(char*, PageProgramName, (), {
    var text = Module["thisProgram"] || "";
    var size = lengthBytesUTF8(text) + 1;
    var out = _malloc(size);
    stringToUTF8(text, out, size);
    return out;
});

void TakeProgramName() {
    char* name = PageProgramName();
    SetProgramPath(name);
    std::free(name);
}

EM_JS(void, PageGameRefused, (const char* message), { Module.page.refused("game", UTF8ToString(message)); });

EM_JS(void, PageScriptRefused, (const char* message), { Module.page.refused("key script", UTF8ToString(message)); });

// On a touch device the intro and the end name the page's controls instead of
// keys: the page's own pictures take the game's places before it loads them.
EM_JS(void, PageUseTouchPictures, (), {
    if (!Module.page.touch || !FS.analyzePath("/Touch").exists) return;
    FS.readdir("/Touch").forEach(function (name) {
        if (name === "." || name === "..") return;
        if (FS.analyzePath("/Images/" + name).exists) FS.unlink("/Images/" + name);
        FS.rename("/Touch/" + name, "/Images/" + name);
    });
});

// Whether the page asked for every frame's state.
EM_JS(int, PageKeepsStates, (), { return Module.page.keepStates ? 1 : 0; });

EM_JS(void, PageKeepFrameState, (const char* json), { Module.page.keepState(UTF8ToString(json)); });

// On the page's main thread, a run whose states are not all kept writes each
// frame's state only into the program's memory; the page reads it into text
// when someone asks for its state, which saves the conversion on every frame
// nobody looks at. A worker sends the page each frame's state instead.
EM_JS(void, PageShareFrameState, (), {
    if (Module.page.frameDone) return;
    var last, seen = -1;
    Module.page.readState(function () {
        if (!ABORT) {
            var version = _PageFrameStateVersion();
            if (version !== seen) {
                seen = version;
                var line = _PageFrameState();
                last = line ? UTF8ToString(line) : undefined;
            }
        }
        return last;
    });
});

// In a worker, the frame's state goes to the page when the page asked for it
// since it last got one; the last frame's goes in any case.
EM_JS(void, PageFrameDone, (const char* json, int last), {
    if (Module.page.frameDone && (last || Module.page.stateWanted())) Module.page.frameDone(UTF8ToString(json));
});

// Once the program has ended, the page keeps its last state.
EM_JS(void, PageKeepLastFrameState, (), {
    if (Module.page.frameDone) return;
    Module.page.readState(null);
});

// clang-format on

// The state after the last whole frame (empty before the first), and how
// many times it has changed.
std::string frameState;
int frameStateVersion = 0;

platform::PageFrameReport& FrameReport() {
    static platform::PageFrameReport report = nullptr;
    return report;
}

std::string FrameState(int frame) {
    if (FrameReport() != nullptr) return FrameReport()(frame);
    return "{\"frame\":" + std::to_string(frame) + "}";
}

}  // namespace

void platform::SetPageFrameReport(PageFrameReport report) { FrameReport() = report; }

extern "C" EMSCRIPTEN_KEEPALIVE const char* PageFrameState() {
    return frameState.empty() ? nullptr : frameState.c_str();
}
extern "C" EMSCRIPTEN_KEEPALIVE int PageFrameStateVersion() { return frameStateVersion; }

// The game's declaration, which the build reads to write the page: its static
// objects have run by the time the runtime is ready, with or without main.
extern "C" EMSCRIPTEN_KEEPALIVE const char* tarvo_page_game() {
    TakeProgramName();
    static std::string json;
    json = platform::PageGameJson(DeclaredGame(), GameDeclarationProblem());
    return json.c_str();
}

int main() {
    TakeProgramName();
    // The build refuses such a game before any page exists; this is for one
    // linked by hand.
    if (const std::string problem = GameDeclarationProblem(); !problem.empty()) {
        PageGameRefused(problem.c_str());
        std::exit(2);
    }
    char* scriptText = PageParameter("script");
    char* framesText = PageParameter("frames");
    char* pacedText = PageParameter("paced");
    platform::PageRun run;
    std::string error;
    const bool addressTaken = platform::ReadPageAddress(scriptText != nullptr, framesText, run, error, pacedText);
    std::free(framesText);
    std::free(pacedText);
    if (!addressTaken) {
        std::free(scriptText);
        PageAddressRefused(error.c_str());
        std::exit(2);
    }
    const bool scripted = run.scripted;
    const int frames = run.frames;
    std::vector<KeyEvent> events;
    if (scripted) {
        std::istringstream in(scriptText);
        std::free(scriptText);
        if (!ParseKeyScript(in, events, error)) {
            PageScriptRefused(error.c_str());
            std::exit(2);
        }
    }

    // A key script plays what tarvo-replay plays, pictures included.
    if (!scripted) PageUseTouchPictures();
    std::unique_ptr<platform::WebPlatform> web = platform::CreateWebPlatform({scripted, run.paced});
    const bool keepStates = scripted && PageKeepsStates() != 0;
    if (!keepStates) PageShareFrameState();
    PlayKeyScript(*web, events, frames, [keepStates](int frame) {
        frameState = FrameState(frame);
        ++frameStateVersion;
        if (keepStates)
            PageKeepFrameState(frameState.c_str());
        else
            PageFrameDone(frameState.c_str(), 0);
    });
    platform::SetCurrent(web.get());
    const int code = WinMain(nullptr, nullptr, "", 1);
    web->beforeFrame = nullptr;
    if (!keepStates) {
        PageFrameDone(frameState.c_str(), 1);
        PageKeepLastFrameState();
    }
    web.reset();
    platform::SetCurrent(nullptr);
    std::exit(code);
}
