// libFuzzer target over the TIFF reader: every input is written to a file and
// loaded through TiffImage::Load, as the game loads its pictures. Built with
// TARVO_FUZZ, so the reader's fatal paths throw FatalError instead of ending
// the process, and with a smaller picture limit so that huge-but-valid sizes
// do not slow every run. ASan and UBSan catch what the reader does wrong.
//
// To replay one file: tiff_fuzzer FILE (libFuzzer runs the given inputs once).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/debug_log.h"
#include "file/fatal.h"
#include "image/image.h"
#include "image/tiff_image.h"
#include "platform/platform.h"
#include "platform/scripted/scripted_platform.h"

namespace {

// Message boxes (unsupported compression, missing file) are dropped: a
// recording backend would grow without end over millions of inputs.
class QuietPlatform : public platform::ScriptedPlatform {
public:
    int MessageBox(platform::WindowHandle, const char*, const char*, uint32_t) override { return platform::IDOK; }
};

const std::string& InputPath() {
    static const std::string path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                    "/tarvo-fuzz-" + std::to_string(getpid()) + ".tif";
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QuietPlatform quiet;
    static bool ready = false;
    if (!ready) {
        platform::SetCurrent(&quiet);
        debugLog.Open("/dev/null");
        ready = true;
    }
    const std::string& path = InputPath();

    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return 0;
    if (size > 0) std::fwrite(data, 1, size, out);
    std::fclose(out);

    Image image;
    TiffImage tiff;
    try {
        tiff.Load(path.c_str(), &image);
    } catch (const FatalError&) {
        // A fatal file: the game would have ended here with status 255.
    }
    // libFuzzer's ending does not run exit handlers, so no file outlives its run.
    std::remove(path.c_str());
    // Read every pixel the reader claims to have written, so a short or
    // misplaced write shows up as a mismatch with the buffer ASan knows.
    if (image.data != nullptr) {
        volatile uint8_t sink = 0;
        const size_t pixels = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
        for (size_t i = 0; i < pixels * 3; i += 97) sink = static_cast<uint8_t>(sink + image.data[i]);
        if (image.mode & IMAGE_ALPHA) sink = static_cast<uint8_t>(sink + image.alpha[pixels - 1]);
        (void)sink;
    }
    return 0;
}
