// The TIFF writer: one fixed layout, little-endian, one uncompressed strip.
//
//   0    header "II", 42, IFD at 8
//   8    14 entries (15 with alpha), next-IFD 0
//   182  BitsPerSample array, then XResolution and YResolution (1/1 each)
//   204  pixel rows (RGB only)
//
// With an alpha sample the directory grows by the ExtraSamples entry and the
// depth array by one, so everything after it moves by 14 bytes.
//
// The file is written under a temporary name in the target's folder and
// renamed over the target at the end (file/replace_file.h): a target that
// exists is replaced whole or not at all, a symbolic link stays a link, and
// the permission bits are carried over. Where the folder takes no new file but
// the target may be written, the target is written in place instead. The
// checks that end the process run before any file is touched.
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "base/debug_log.h"
#include "file/data_path.h"
#include "file/fatal.h"
#include "file/replace_file.h"
#include "image/image.h"
#include "image/tiff_image.h"

namespace {

constexpr uint16_t TYPE_SHORT = 3;
constexpr uint16_t TYPE_LONG = 4;
constexpr uint16_t TYPE_RATIONAL = 5;
constexpr uint16_t EXTRASAMPLE_UNASSOCIATED_ALPHA = 2;

const char kUnknownMode[] = "Save:Tiff: Unknown TIFF mode.\n";
const char kDepth[] = "SaveTiff: Given pixel depth and color mode not supported.\n";
const char kWriteFailed[] = "Save:Tiff: Unable to write the file; the target is unchanged.\n";
const char kWriteFailedInPlace[] = "Save:Tiff: Unable to write the file.\n";

[[noreturn]] void Fatal(const char* message) {
    std::fputs(message, stdout);
    FatalExit();
}

// 3 bytes a pixel: 0x20 is the first depth bit set and 0x02 is clear.
bool Is24Bit(const Image& image) {
    return (image.mode & 0x1C) == 0 && (image.mode & IMAGE_RGB24) != 0 && (image.mode & 0x02) == 0;
}

class EntryWriter {
public:
    EntryWriter(File& file, ByteOrder& order) : file(file), order(order) {}

    void Short(uint16_t value) { Check(file.WriteShort(order.WriteUW(value))); }
    void Long(uint32_t value) { Check(file.WriteLong(order.WriteUL(value))); }
    // SHORT with count 1 puts the value in the first half of the field.
    void Entry(uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
        Short(tag);
        Short(type);
        Long(count);
        if (type == TYPE_SHORT && count == 1) {
            Short(static_cast<uint16_t>(value));
            Short(0);
        } else {
            Long(value);
        }
    }
    // A size entry: SHORT while the value fits, else LONG.
    void Size(uint16_t tag, uint32_t value) { Entry(tag, value > 0xFFFF ? TYPE_LONG : TYPE_SHORT, 1, value); }
    void Check(int result) {
        if (result != FILE_OK) failed = true;
    }
    bool failed = false;

private:
    File& file;
    ByteOrder& order;
};

}  // namespace

void TiffImage::Save(const char* savePath, Image* target) {
    image = target;
    path = savePath;
    // A save that fails must not report the success of an earlier one.
    done = 0;

    if (colorClass != TIFF_BILEVEL && colorClass != TIFF_GREY && colorClass != TIFF_RGB) Fatal(kUnknownMode);
    if (colorClass == TIFF_RGB) {
        // Pixels are taken as 3 bytes a pixel, so a picture already in the
        // screen format cannot be written either.
        const bool hasPixels = target->data != nullptr || target->width == 0 || target->height == 0;
        if (bits != 8 || !Is24Bit(*target) || !hasPixels) Fatal(kDepth);
    }

    const bool withAlpha =
        colorClass == TIFF_RGB && saveAlpha != 0 && (target->mode & IMAGE_ALPHA) != 0 && target->alpha != nullptr;
    const uint32_t entryCount = withAlpha ? 15 : 14;
    const uint32_t depthCount = withAlpha ? 4 : 3;
    const uint32_t depthArrayAt = 8 + 2 + 12 * entryCount + 4;
    const uint32_t xResolutionAt = depthArrayAt + 2 * depthCount;
    const uint32_t yResolutionAt = xResolutionAt + 8;
    const uint32_t pixelsAt = yResolutionAt + 8;

    File tiffFile;
    ByteOrder tiffOrder;
    // Backslashes separate folders here too, as in every path the file layer opens.
    ReplaceFile replacement(NativePath(path.c_str()));
    const bool begun = replacement.Begin();
    // A folder that takes no new file is told apart from a target that cannot
    // be opened at all.
    const bool inPlace = !begun && (errno == EACCES || errno == EPERM || errno == EROFS) &&
                         replacement.TargetIsFile() && access(replacement.Target().c_str(), W_OK) == 0;
    if (inPlace) {
        tiffFile.Open(replacement.Target().c_str(), FILE_WRITE | FILE_AUTOCREATE | FILE_RANDOM);
    } else if (!begun) {
        debugLog.Write("File::Open: Unable to open file (reason unknown)\n", debugTail);
        FatalExit();
    } else {
        // The File writes through the replacement's stream and gives it back
        // before the replacement is committed.
        tiffFile.stream = replacement.Stream();
        tiffFile.mode = FILE_WRITE | FILE_AUTOCREATE | FILE_RANDOM;
        tiffFile.path = path;
    }

    width = static_cast<uint32_t>(target->width);
    height = static_cast<uint32_t>(target->height);
    EntryWriter out(tiffFile, tiffOrder);

    out.Check(tiffFile.WriteShort(0x4949));
    out.Short(42);
    out.Long(8);
    out.Short(static_cast<uint16_t>(entryCount));
    if (colorClass == TIFF_RGB) bitsRed = bitsGreen = bitsBlue = bits;

    out.Entry(254, TYPE_LONG, 1, 0);
    out.Size(256, width);
    out.Size(257, height);
    switch (colorClass) {
        case TIFF_BILEVEL:
            samples = 1;
            out.Entry(258, TYPE_SHORT, 1, 1);
            break;
        case TIFF_GREY:
            samples = 1;
            out.Entry(258, TYPE_SHORT, 1, static_cast<uint32_t>(bits));
            break;
        default:
            samples = static_cast<int>(depthCount);
            out.Entry(258, TYPE_SHORT, depthCount, depthArrayAt);
            break;
    }
    out.Entry(259, TYPE_SHORT, 1, 1);
    photometric = colorClass == TIFF_RGB ? 2 : 1;
    out.Entry(262, TYPE_SHORT, 1, static_cast<uint32_t>(photometric));
    out.Entry(273, TYPE_LONG, 1, pixelsAt);
    out.Entry(277, TYPE_SHORT, 1, static_cast<uint32_t>(samples));
    rowsPerStrip = height;
    strips = 1;
    out.Size(278, height);
    switch (colorClass) {
        case TIFF_BILEVEL:
            rowBytes = static_cast<uint32_t>(std::floor(width * 0.125 + 1.0));
            break;
        case TIFF_GREY:
            rowBytes = static_cast<uint32_t>(std::floor(bits * static_cast<double>(width) * 0.125));
            break;
        default:
            rowBytes = static_cast<uint32_t>(std::floor(bits * static_cast<double>(width) * samples * 0.125));
            break;
    }
    stripByteCounts = rowBytes * height;
    out.Entry(279, TYPE_LONG, 1, stripByteCounts);
    out.Entry(282, TYPE_RATIONAL, 1, xResolutionAt);
    out.Entry(283, TYPE_RATIONAL, 1, yResolutionAt);
    out.Entry(296, TYPE_SHORT, 1, 2);
    out.Entry(320, TYPE_SHORT, 0, 0);
    if (withAlpha) out.Entry(338, TYPE_SHORT, 1, EXTRASAMPLE_UNASSOCIATED_ALPHA);
    out.Long(0);

    for (uint32_t i = 0; i < depthCount; ++i) out.Short(static_cast<uint16_t>(bits));
    for (int i = 0; i < 4; ++i) out.Long(1);

    writeFailed = out.failed;
    SaveTiff(tiffFile, tiffOrder);

    if (inPlace) {
        if (std::fflush(tiffFile.stream) != 0 || fsync(fileno(tiffFile.stream)) != 0) writeFailed = true;
        tiffFile.Close();
        if (writeFailed) {
            std::fputs(kWriteFailedInPlace, stdout);
            std::fflush(stdout);
            return;
        }
        done = 1;
        return;
    }
    tiffFile.stream = nullptr;
    tiffFile.mode = FILE_NOTOPEN;
    if (writeFailed || !replacement.Commit()) {
        replacement.Abandon();
        std::fputs(kWriteFailed, stdout);
        std::fflush(stdout);
        return;
    }
    done = 1;
}

void TiffImage::SaveTiff(File& tiffFile, ByteOrder&) {
    if (colorClass != TIFF_RGB) return;
    if (bitsRed != 8) Fatal(kDepth);
    const size_t pixelsInRow = static_cast<size_t>(width);
    if (samples == 4) {
        std::vector<uint8_t> row(pixelsInRow * 4);
        for (uint32_t y = 0; y < height; ++y) {
            const uint8_t* rgb = image->data + static_cast<size_t>(y) * pixelsInRow * 3;
            const uint8_t* alpha = image->alpha + static_cast<size_t>(y) * pixelsInRow;
            for (size_t x = 0; x < pixelsInRow; ++x) {
                row[x * 4 + 0] = rgb[x * 3 + 0];
                row[x * 4 + 1] = rgb[x * 3 + 1];
                row[x * 4 + 2] = rgb[x * 3 + 2];
                row[x * 4 + 3] = alpha[x];
            }
            if (tiffFile.Write(static_cast<int>(rowBytes), row.data()) != FILE_OK) writeFailed = true;
        }
        return;
    }
    // Rows lie back to back in the image, exactly as the file wants them.
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* rgb = image->data + static_cast<size_t>(y) * pixelsInRow * 3;
        if (tiffFile.Write(static_cast<int>(rowBytes), rgb) != FILE_OK) writeFailed = true;
    }
}
