// The TIFF reader: header, first directory, checks, then strips into a 24-bit
// Image. Order of work: read every entry, check it against what the reader
// takes, work out sizes with 64-bit arithmetic against the limits, allocate,
// decode. A refused file leaves the image empty; no partial picture.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "file/fatal.h"
#include "image/image.h"
#include "image/tiff_image.h"
#include "image/tiff_report.h"

namespace {

constexpr uint16_t TYPE_SHORT = 3;
constexpr uint16_t TYPE_LONG = 4;
constexpr int COMPRESSION_NONE = 1;
constexpr int COMPRESSION_PACKBITS = 32773;
constexpr uint32_t kDefaultRowsPerStrip = 0xFFFFFFFFu;
// Largest strip the PackBits path decodes in one buffer.
constexpr uint64_t kTiffMaxStripBytes = 256u * 1024u * 1024u;
constexpr int kColorMapEntries = 3 * 256;

const char kCorrupted[] = "Load:Tiff: File is corrupted, or is not a .TIFF file.\n";
const char kUnknownMode[] = "Load:Tiff: Unknown TIFF mode.\n";
const char kMultiple[] = "Load:Tiff: (Warning only) File contains multiple tiff images - reading only first.\n";
const char kMissingTags[] = "Load:Tiff: File is missing required tags.\n";
const char kZeroRowsPerStrip[] = "Load:Tiff: File has a RowsPerStrip of 0.\n";
const char kPlanar[] = "Load:Tiff: Samples stored in separate planes are not supported.\n";
const char kMixedDepths[] = "Load:Tiff: Samples of different depths are not supported.\n";
const char kTooLarge[] = "Load:Tiff: Image is too large.\n";
const char kFewStrips[] = "Load:Tiff: File has fewer strip entries than strips.\n";

void Say(const char* message) {
    std::fputs(message, stdout);
    std::fflush(stdout);
}

[[noreturn]] void Fatal(const char* message) {
    Say(message);
    FatalExit();
}

}  // namespace

void TiffImage::ResetForLoad() {
    bytesRead = 0;
    width = height = 0;
    imageMode = 0;
    colorClass = TIFF_BILEVEL;
    hasAlpha = 0;
    samples = 0;
    bitsOffset = 0;
    bitsRed = bitsGreen = bitsBlue = bitsAlpha = 0;
    depth = 0;
    photometric = -1;
    strips = 0;
    stripOffsets = stripByteCounts = rowsPerStrip = 0;
    bits = 0;
    rowBytes = 0;
    compression = COMPRESSION_NONE;
    planarConfiguration = 1;
    byteOrder = ORDER_NATIVE;
    haveWidth = haveHeight = haveBits = haveRowsPerStrip = false;
    haveOffsets = haveCounts = haveColorMap = false;
    bitsEntry = offsetsEntry = countsEntry = colorMapEntry = Entry{};
    colorMap.clear();
}

void TiffImage::Load(const char* loadPath, Image* target) {
    File tiffFile;
    ByteOrder tiffOrder;
    image = target;
    path = loadPath;

    if (tiffFile.Open(loadPath, FILE_READ | FILE_RANDOM) == FILE_NOTFOUND) {
        ReportMissingPicture(path);
        return;
    }
    file = &tiffFile;
    order = &tiffOrder;
    ResetForLoad();
    tiffFile.Seek(FILE_ENDPOS);
    const long end = tiffFile.Tell();
    fileSize = end > 0 ? static_cast<uint64_t>(end) : 0;

    uint8_t mark[2];
    ReadAt(0, mark, 2);
    if (mark[0] != 'I' || mark[1] != 'I') {
        tiffOrder.SetOrder(ORDER_SWAPPED);
        byteOrder = ORDER_SWAPPED;
    }
    if (ReadShortAt(2) != 42) Fatal(kCorrupted);
    ReadIFD(ReadLongAt(4));

    tiffFile.Close();
    file = nullptr;
    order = nullptr;
    done = 1;
}

void TiffImage::ReadAt(uint64_t offset, void* destination, size_t bytes) {
    std::memset(destination, 0, bytes);
    if (offset >= fileSize) return;
    const uint64_t available = std::min<uint64_t>(bytes, fileSize - offset);
    bytesRead += available;
    file->Seek(static_cast<long>(offset));
    file->Read(static_cast<int>(available), destination);
}

uint16_t TiffImage::ReadShortAt(uint64_t offset) {
    uint16_t raw;
    ReadAt(offset, &raw, 2);
    return order->ReadUW(raw);
}

uint32_t TiffImage::ReadLongAt(uint64_t offset) {
    uint32_t raw;
    ReadAt(offset, &raw, 4);
    return order->ReadUL(raw);
}

bool TiffImage::ArrayElement(const Entry& entry, uint32_t i, uint32_t& out) {
    unsigned size;
    if (entry.type == TYPE_SHORT)
        size = 2;
    else if (entry.type == TYPE_LONG)
        size = 4;
    else
        return false;
    if (i >= entry.count) return false;
    // Arrays of up to four bytes sit in the value field itself.
    const uint64_t base = static_cast<uint64_t>(entry.count) * size <= 4 ? entry.fieldOffset : entry.value;
    const uint64_t at = base + static_cast<uint64_t>(i) * size;
    out = size == 2 ? ReadShortAt(at) : ReadLongAt(at);
    return true;
}

void TiffImage::ReadIFD(uint32_t offset) {
    const uint32_t entries = ReadShortAt(offset);
    for (uint32_t i = 0; i < entries; ++i) {
        const uint64_t at = static_cast<uint64_t>(offset) + 2 + 12 * static_cast<uint64_t>(i);
        // Entries past the end would read as zeros, tag 0, which is ignored.
        if (at >= fileSize || at > 0xFFFFFFFFu - 12) break;
        ReadEntry(static_cast<uint32_t>(at));
    }

    if (Validate()) {
        image->Allocate(static_cast<int>(width), static_cast<int>(height), static_cast<uint8_t>(imageMode));
        if (image->data != nullptr && image->width == static_cast<int32_t>(width))
            ReadStrips();
        else
            image->Release();
    } else if (image->data != nullptr || image->alpha != nullptr) {
        image->Release();
    }

    const uint64_t next = static_cast<uint64_t>(offset) + 2 + 12 * static_cast<uint64_t>(entries);
    if (ReadLongAt(next) != 0) Say(kMultiple);
}

void TiffImage::ReadEntry(uint32_t at) {
    Entry entry;
    entry.tag = ReadShortAt(at);
    entry.type = ReadShortAt(static_cast<uint64_t>(at) + 2);
    entry.count = ReadLongAt(static_cast<uint64_t>(at) + 4);
    entry.fieldOffset = at + 8;
    if (entry.type == TYPE_SHORT && entry.count == 1)
        entry.value = ReadShortAt(entry.fieldOffset);
    else
        entry.value = ReadLongAt(entry.fieldOffset);

    const uint32_t value = entry.value;
    switch (entry.tag) {
        case 256:
            width = value;
            haveWidth = true;
            break;
        case 257:
            height = value;
            haveHeight = true;
            break;
        case 258:
            samples = static_cast<int>(entry.count);
            bitsEntry = entry;
            haveBits = true;
            if (entry.count == 1) {
                depth = static_cast<int>(value);
                bitsOffset = 0;
                colorClass = value == 1 ? TIFF_BILEVEL : TIFF_GREY;
            } else if (entry.count == 2) {
                depth = static_cast<int>(value);
                bitsOffset = value;
                colorClass = TIFF_GREY;
            } else if (entry.count == 3 || entry.count == 4) {
                bitsOffset = value;
                colorClass = TIFF_RGB;
            } else {
                Fatal(kUnknownMode);
            }
            break;
        case 259:
            compression = static_cast<int>(value);
            if (compression != COMPRESSION_NONE && compression != COMPRESSION_PACKBITS) ReportUnsupportedCompression();
            break;
        case 262:
            photometric = static_cast<int>(value);
            break;
        case 273:
            stripOffsets = value;
            offsetsEntry = entry;
            haveOffsets = true;
            break;
        case 278:
            rowsPerStrip = value;
            haveRowsPerStrip = true;
            break;
        case 279:
            stripByteCounts = value;
            countsEntry = entry;
            haveCounts = true;
            break;
        case 284:
            planarConfiguration = static_cast<int>(value);
            break;
        case 320:
            colorMapEntry = entry;
            haveColorMap = true;
            break;
        case 338:
            hasAlpha = 1;
            break;
        default:
            break;
    }
}

// Decides whether the directory describes a picture the reader takes, and
// works out the sizes. False leaves the image empty: after a line on standard
// output for a broken or unreadable file, silently for a form it does not
// read (the compression box has been shown already).
bool TiffImage::Validate() {
    if (compression != COMPRESSION_NONE && compression != COMPRESSION_PACKBITS) return false;
    if (!haveWidth || !haveHeight || !haveBits || !haveOffsets || width == 0 || height == 0) {
        Say(kMissingTags);
        return false;
    }
    if (haveRowsPerStrip && rowsPerStrip == 0) {
        Say(kZeroRowsPerStrip);
        return false;
    }
    if (!haveRowsPerStrip) rowsPerStrip = kDefaultRowsPerStrip;
    if (planarConfiguration != 1) {
        Say(kPlanar);
        return false;
    }
    if (width > kTiffMaxSide || height > kTiffMaxSide ||
        static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kTiffMaxPixels) {
        Say(kTooLarge);
        return false;
    }

    // Sample depths. One sample: the value itself; three or four: the array,
    // and all of them must agree, since one depth decides for the pixel.
    if (samples == 1) {
        if (photometric == 3) colorClass = TIFF_PALETTE;
    } else if (samples >= 3) {
        int sampleDepths[4] = {0, 0, 0, 0};
        for (int i = 0; i < samples; ++i) {
            uint32_t d;
            if (!ArrayElement(bitsEntry, static_cast<uint32_t>(i), d)) {
                Say(kMissingTags);
                return false;
            }
            sampleDepths[i] = static_cast<int>(std::min<uint32_t>(d, 0xFFFF));
        }
        for (int i = 1; i < samples; ++i) {
            if (sampleDepths[i] != sampleDepths[0]) {
                Say(kMixedDepths);
                return false;
            }
        }
        bitsRed = sampleDepths[0];
        bitsGreen = sampleDepths[1];
        bitsBlue = sampleDepths[2];
        depth = bitsRed;
        // Only a fourth sample announced by ExtraSamples is alpha; any other
        // fourth sample is stepped over.
        if (samples == 4 && hasAlpha) bitsAlpha = sampleDepths[3];
    }

    // Forms the row conversions handle.
    const bool byteDepth = depth == 8 || depth == 16 || depth == 32;
    bool supported = false;
    switch (colorClass) {
        case TIFF_RGB:
            supported = byteDepth && (photometric == -1 || photometric == 2);
            break;
        case TIFF_GREY:
            supported = samples == 1 && byteDepth && photometric <= 1;
            break;
        case TIFF_BILEVEL:
            supported = depth == 1 && photometric <= 1;
            break;
        case TIFF_PALETTE:
            supported = depth == 8;
            break;
    }
    if (!supported) return false;

    bits = depth * samples;
    rowBytes = static_cast<uint32_t>((static_cast<uint64_t>(width) * static_cast<uint64_t>(bits) + 7) / 8);
    const uint64_t rowsInStrip = std::min<uint64_t>(rowsPerStrip, height);
    strips = static_cast<uint32_t>((static_cast<uint64_t>(height) + rowsPerStrip - 1) / rowsPerStrip);

    uint32_t probe;
    if (!ArrayElement(offsetsEntry, 0, probe)) {
        Say(kMissingTags);
        return false;
    }
    if (offsetsEntry.count < strips) {
        Say(kFewStrips);
        return false;
    }
    if (compression == COMPRESSION_PACKBITS) {
        if (!haveCounts || !ArrayElement(countsEntry, 0, probe)) {
            Say(kMissingTags);
            return false;
        }
        if (countsEntry.count < strips) {
            Say(kFewStrips);
            return false;
        }
        if (rowsInStrip * rowBytes > kTiffMaxStripBytes) {
            Say(kTooLarge);
            return false;
        }
    }

    if (colorClass == TIFF_PALETTE) {
        if (!haveColorMap || colorMapEntry.count < kColorMapEntries || colorMapEntry.type != TYPE_SHORT) {
            Say(kMissingTags);
            return false;
        }
        // The map holds 16-bit red, green and blue tables; the high bytes are
        // the 8-bit colours.
        colorMap.resize(kColorMapEntries);
        for (uint32_t i = 0; i < kColorMapEntries; ++i) {
            uint32_t v = 0;
            ArrayElement(colorMapEntry, i, v);
            colorMap[i] = static_cast<uint8_t>(v >> 8);
        }
    }

    imageMode = bitsAlpha != 0 ? (IMAGE_RGB24 | IMAGE_ALPHA) : IMAGE_RGB24;
    return true;
}

void TiffImage::ReadStrips() {
    for (uint32_t i = 0; i < strips; ++i) {
        uint32_t offset = 0;
        uint32_t compressedBytes = 0;
        ArrayElement(offsetsEntry, i, offset);
        if (compression == COMPRESSION_PACKBITS) ArrayElement(countsEntry, i, compressedBytes);
        ReadStrip(offset, compressedBytes, static_cast<uint32_t>(static_cast<uint64_t>(i) * rowsPerStrip));
    }
}

void TiffImage::ReadStrip(uint64_t offset, uint64_t compressedBytes, uint32_t firstRow) {
    const uint64_t lastRow = std::min<uint64_t>(static_cast<uint64_t>(firstRow) + rowsPerStrip - 1, height - 1);
    if (firstRow > lastRow) return;
    const uint64_t rows = lastRow - firstRow + 1;
    std::vector<uint8_t> expanded(colorClass == TIFF_BILEVEL ? static_cast<size_t>(rowBytes) * 8 : 0);

    if (compression == COMPRESSION_PACKBITS) {
        const uint64_t inFile = offset < fileSize ? fileSize - offset : 0;
        // The most source a strip of D bytes can use is 2 D: one-byte
        // literals, a control byte and a data byte for each byte decoded.
        // Past that only no-op packets could follow, and reading them would
        // make the work strips x file size (strips may share their bytes).
        const uint64_t stripBytes = rows * rowBytes;
        const uint64_t mostNeeded = 2 * stripBytes;
        const size_t sourceBytes = static_cast<size_t>(
            std::min({compressedBytes, inFile, mostNeeded, static_cast<uint64_t>(kTiffMaxStripBytes)}));
        std::vector<uint8_t> source(sourceBytes);
        if (sourceBytes > 0) ReadAt(offset, source.data(), sourceBytes);
        // Rows the packets do not reach stay zero, like bytes past the end.
        std::vector<uint8_t> strip(static_cast<size_t>(rows * rowBytes), 0);
        ByteOrder::UnpackBits(source.data(), strip.data(), static_cast<int>(sourceBytes), static_cast<int>(strip.size()));
        for (uint64_t r = 0; r < rows; ++r)
            ConvertRow(strip.data() + r * rowBytes, static_cast<uint32_t>(firstRow + r), expanded);
        return;
    }

    std::vector<uint8_t> row(rowBytes);
    for (uint64_t r = 0; r < rows; ++r) {
        ReadAt(offset + r * rowBytes, row.data(), rowBytes);
        ConvertRow(row.data(), static_cast<uint32_t>(firstRow + r), expanded);
    }
}

void TiffImage::ConvertRow(const uint8_t* row, uint32_t y, std::vector<uint8_t>& expanded) {
    uint8_t* out = image->data + static_cast<size_t>(y) * width * 3;
    uint8_t* alphaOut = (imageMode & IMAGE_ALPHA) ? image->alpha + static_cast<size_t>(y) * width : nullptr;
    const int sampleBytes = depth / 8;
    // The most significant byte of a sample: last in a little-endian file,
    // first in a big-endian one.
    const int top = byteOrder == ORDER_NATIVE ? sampleBytes - 1 : 0;
    const bool whiteIsZero = photometric == 0;

    switch (colorClass) {
        case TIFF_RGB: {
            const size_t stride = static_cast<size_t>(sampleBytes) * static_cast<size_t>(samples);
            for (uint32_t x = 0; x < width; ++x) {
                const uint8_t* pixel = row + x * stride;
                out[x * 3 + 0] = pixel[top];
                out[x * 3 + 1] = pixel[sampleBytes + top];
                out[x * 3 + 2] = pixel[2 * sampleBytes + top];
                if (alphaOut != nullptr) alphaOut[x] = pixel[3 * sampleBytes + top];
            }
            break;
        }
        case TIFF_GREY:
            for (uint32_t x = 0; x < width; ++x) {
                uint8_t v = row[static_cast<size_t>(x) * sampleBytes + top];
                if (whiteIsZero) v = static_cast<uint8_t>(255 - v);
                out[x * 3 + 0] = out[x * 3 + 1] = out[x * 3 + 2] = v;
            }
            break;
        case TIFF_BILEVEL: {
            const int values = ByteOrder::ExpandBits(row, expanded.data(), static_cast<int>(rowBytes));
            ByteOrder::ScaleBytes(expanded.data(), values, 255);
            if (whiteIsZero) ByteOrder::InvertBytes(expanded.data(), values);
            for (uint32_t x = 0; x < width; ++x) out[x * 3 + 0] = out[x * 3 + 1] = out[x * 3 + 2] = expanded[x];
            break;
        }
        case TIFF_PALETTE:
            for (uint32_t x = 0; x < width; ++x) {
                const uint8_t index = row[x];
                out[x * 3 + 0] = colorMap[index];
                out[x * 3 + 1] = colorMap[256 + index];
                out[x * 3 + 2] = colorMap[512 + index];
            }
            break;
    }
}
