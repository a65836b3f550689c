// libFuzzer target over the key-script reader: what tarvo-replay reads from
// a file or standard input, a recording reads back, and the web page reads
// from its address. Beyond what ASan and UBSan catch, it checks the reader's
// promises: a refusal names its line, and every event it accepts is a frame
// of 0 or more and a key code from 1 to 254 with a name, and reads back as
// itself from its own line.
//
// To replay one file: key_script_fuzzer FILE (libFuzzer runs the given inputs once).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "engine/key_script.h"

namespace {

[[noreturn]] void Broken(const char* promise, const std::string& detail) {
    std::fprintf(stderr, "key script reader: %s: %s\n", promise, detail.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<KeyEvent> events;
    std::string error;
    const bool read = ParseKeyScript(in, events, error);
    if (!read && error.rfind("line ", 0) != 0) Broken("a refusal names no line", error);
    for (const KeyEvent& event : events) {
        if (event.frame < 0) Broken("negative frame", std::to_string(event.frame));
        if (event.key < 1 || event.key > 254 || KeyScriptName(event.key) == nullptr)
            Broken("not a key code from 1 to 254 with a name", std::to_string(event.key));
        const std::string line = FormatKeyEvent(event);
        std::istringstream again(line);
        std::vector<KeyEvent> back;
        std::string problem;
        if (!ParseKeyScript(again, back, problem)) Broken("its own line is refused", line + ": " + problem);
        if (back.size() != 1 || back[0].frame != event.frame || back[0].down != event.down || back[0].key != event.key)
            Broken("its own line reads back otherwise", line);
    }
    return 0;
}
