// Runs a game headless for its tests: the engine on the scripted backend, the
// keys of a key script delivered by frame number, and the last frame written
// as a binary PPM picture (and compared with a stored one when given).
//
//   run_scripted [--quits] KEYS FRAMES OUT.ppm [EXPECTED.ppm]
//
// Link it with the game's sources and Tarvo::scripted (pkg-config:
// tarvo-scripted) in place of Tarvo::engine. Exit status 0 when the game ran
// FRAMES frames, ended with status 0 and, with EXPECTED, drew exactly that
// picture; 1 when it did not; 2 for a bad command line. The runner ends the
// game after FRAMES frames; with --quits the game must end itself in its
// last frame (the script's quit key), and having to end it is a failure.
#include <tarvo/scripted.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

// 8-bit red, green and blue of every pixel of a 5-6-5 frame, rows from the top.
std::vector<uint8_t> FrameRgb(const platform::ScriptedPlatform::Frame& frame) {
    std::vector<uint8_t> rgb;
    rgb.reserve(frame.pixels.size() * 3);
    for (uint16_t word : frame.pixels) {
        uint8_t r = 0, g = 0, b = 0;
        Rgb8From565(word, r, g, b);
        rgb.insert(rgb.end(), {r, g, b});
    }
    return rgb;
}

bool WritePpm(const char* path, int width, int height, const std::vector<uint8_t>& rgb) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << ' ' << height << "\n255\n";
    out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    return static_cast<bool>(out);
}

// A binary PPM as written above; false when it is not one.
bool ReadPpm(const char* path, int& width, int& height, std::vector<uint8_t>& rgb) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maximum = 0;
    if (!(in >> magic >> width >> height >> maximum) || magic != "P6" || maximum != 255) return false;
    in.get();
    rgb.resize(static_cast<size_t>(width) * height * 3);
    return static_cast<bool>(in.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size())));
}

}  // namespace

int main(int argc, char** argv) {
    const bool quits = argc > 1 && std::string(argv[1]) == "--quits";
    if (quits) --argc, ++argv;
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: run_scripted [--quits] KEYS FRAMES OUT.ppm [EXPECTED.ppm]\n");
        return 2;
    }
    std::ifstream keys(argv[1]);
    std::vector<KeyEvent> events;
    std::string error;
    if (!keys) error = "cannot open the key script";
    if (!keys || !ParseKeyScript(keys, events, error)) {
        std::fprintf(stderr, "run_scripted: %s: %s\n", argv[1], error.c_str());
        return 2;
    }
    const int frames = std::atoi(argv[2]);
    if (frames < 1) {
        std::fprintf(stderr, "run_scripted: FRAMES must be 1 or more, not '%s'\n", argv[2]);
        return 2;
    }

    platform::ScriptedPlatform machine;
    machine.keepFramePixels = true;
    // How many lines of text had been drawn when each frame ended.
    std::vector<size_t> textsAfter;
    PlayKeyScript(machine, events, frames, [&](int) { textsAfter.push_back(machine.texts.size()); });
    platform::SetCurrent(&machine);
    const int code = WinMain(nullptr, nullptr, "", 1);
    platform::SetCurrent(nullptr);

    if (code != 0 || machine.framesRun != frames || machine.frames.empty()) {
        std::fprintf(stderr, "run_scripted: the game ended with status %d after %d of %d frames\n", code,
                     machine.framesRun, frames);
        return 1;
    }
    // The hook sees the end of every frame but the last only when the runner
    // had to end the game.
    const bool endedItself = textsAfter.size() < static_cast<size_t>(frames);
    if (quits && !endedItself) {
        std::fprintf(stderr, "run_scripted: the game did not end itself in its %d frames\n", frames);
        return 1;
    }
    // Text reaches the backend as text, not pixels: the last frame's lines.
    const size_t lastFrameText = frames >= 2 ? textsAfter[static_cast<size_t>(frames) - 2] : 0;
    for (size_t i = lastFrameText; i < machine.texts.size(); ++i) {
        const auto& text = machine.texts[i];
        std::printf("text at %d, %d: %s\n", text.x, text.y, text.text.c_str());
    }
    const auto& last = machine.frames.back();
    const std::vector<uint8_t> rgb = FrameRgb(last);
    if (!WritePpm(argv[3], last.width, last.height, rgb)) {
        std::fprintf(stderr, "run_scripted: cannot write %s\n", argv[3]);
        return 1;
    }
    if (argc == 5) {
        int width = 0, height = 0;
        std::vector<uint8_t> expected;
        if (!ReadPpm(argv[4], width, height, expected)) {
            std::fprintf(stderr, "run_scripted: %s is no binary PPM picture\n", argv[4]);
            return 1;
        }
        if (width != last.width || height != last.height) {
            std::fprintf(stderr, "run_scripted: frame is %d x %d, expected %d x %d\n", last.width, last.height, width,
                         height);
            return 1;
        }
        size_t differing = 0, first = 0;
        for (size_t i = 0; i < rgb.size() / 3; ++i)
            if (rgb[3 * i] != expected[3 * i] || rgb[3 * i + 1] != expected[3 * i + 1] ||
                rgb[3 * i + 2] != expected[3 * i + 2])
                if (differing++ == 0) first = i;
        if (differing > 0) {
            std::fprintf(stderr, "run_scripted: %zu pixels differ from %s, the first at x %zu, y %zu (frame in %s)\n",
                         differing, argv[4], first % width, first / width, argv[3]);
            return 1;
        }
    }
    return 0;
}
