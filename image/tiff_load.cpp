// LoadTiff: how every picture enters the game. Kept apart from the reader so
// that tools and the fuzzer, which stop before screen conversion, need no
// screen format. Beside it, what the player is told when a picture cannot be
// used: the reader reports, this file decides the message boxes.
#include <set>
#include <string>
#include <string_view>

#include "base/debug_log.h"
#include "base/game_info.h"
#include "file/data_path.h"
#include "image/image.h"
#include "image/tiff_image.h"
#include "image/tiff_report.h"
#include "platform/platform.h"

namespace {

const char kNotFound[] =
    ".TIF File Not Found: %s\n\nMake sure paths and names of TIF images are correct. If you started the game "
    "outside of Visual C++, make sure the executable is in the correct location to find images.";
const char kCompression[] =
    "TIF Load Error: LZW Compression not supported.\n\nTarvo does not support LZW compressed TIF images. Save your "
    "TIF image again and be sure that the LZW compression option is turned off.\n";

void ShowError(const std::string& text) {
    const std::string caption = std::string(DeclaredGame().title) + " Error";
    platform::Current().MessageBox(nullptr, text.c_str(), caption.c_str(), platform::MB_OK);
}

// The missing pictures of this run, by the path as opened (so "Images\\a.tif"
// and "Images/a.tif" are one file), and whether the search line was logged.
struct MissingPictures {
    std::set<std::string> reported;
    bool foldersLogged = false;
};

MissingPictures& Missing() {
    static MissingPictures missing;
    return missing;
}

}  // namespace

void ReportMissingPicture(const std::string& path) {
    MissingPictures& missing = Missing();
    const std::string native = NativePath(path.c_str());
    if (!missing.reported.insert(native).second) return;
    // A relative path was looked for in several folders: say once which.
    if (!missing.foldersLogged && !native.empty() && native.front() != '/') {
        missing.foldersLogged = true;
        std::string line = "Load:Tiff: (Warning only) Pictures not found were looked for in:";
        for (const std::string& folder : SearchedFolders()) line += " " + folder;
        line += "\n";
        debugLog.Write(line.c_str(), debugTail);
    }
    // The path may be of any length, so the message is put together, not formatted.
    const std::string_view pattern = kNotFound;
    const size_t at = pattern.find("%s");
    std::string text(pattern.substr(0, at));
    text += path;
    text += pattern.substr(at + 2);
    ShowError(text);
}

void ReportUnsupportedCompression() { ShowError(kCompression); }

void ForgetMissingPictures() { Missing() = MissingPictures{}; }

void TiffImage::LoadTiff(const char* loadPath, Image* target, int alphaMode) {
    Load(loadPath, target);
    // Also after a soft failure: an empty image then becomes an empty 16-bit one.
    target->PrepareForScreen(alphaMode);
}
