/// @file
/// TiffImage: the engine's TIFF codec, one object per load or save, on the
/// caller's stack.
///
/// Reading (image/tiff_reader.cpp): the first image of a file, in either byte
/// order, strips uncompressed or PackBits, chunky samples. Accepted forms:
/// RGB of 8, 16 or 32 bits a sample with an optional alpha sample (needs
/// ExtraSamples) or a fourth sample that is stepped over; grey of 8, 16 or 32
/// bits; bilevel of any width; 8-bit palette with a ColorMap. Everything is
/// loaded as 24-bit RGB (IMAGE_RGB24, plus IMAGE_ALPHA with an alpha sample);
/// 16- and 32-bit samples keep their most significant byte. Files that lack
/// required tags or break the reader's limits are refused with a line on
/// standard output; other compressions get a message box; other forms are
/// left empty without a word. Bytes beyond the end of a file read as zero.
/// A bad magic number or an unknown BitsPerSample count is fatal.
///
/// Writing (image/tiff_writer.cpp): a fixed little-endian, one-strip,
/// uncompressed layout of 8-bit RGB from an IMAGE_RGB24 image, optionally with
/// an alpha sample; written to a temporary file and renamed over the target.
///
/// Depends on Image (image/image.h), File and ByteOrder (file/), the debug
/// log, and the platform's message box (its use kept to image/tiff_load.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "../file/byte_order.h"
#include "../file/file.h"

class Image;

/// A missing picture is reported once a run, however often it is loaded: one
/// message box for each file, and before the first of them one line in the
/// debug log naming the folders searched. This starts a new run (the engine's
/// Initialize calls it); the pictures reported so far may be reported again.
void ForgetMissingPictures();

/// Colour classes.
constexpr int TIFF_BILEVEL = 0;
constexpr int TIFF_GREY = 1;
constexpr int TIFF_RGB = 2;
constexpr int TIFF_PALETTE = 3;

/// Limits of the reader, in one place. A picture beyond them is refused as
/// too large; nothing the game draws comes near.
constexpr uint32_t kTiffMaxSide = 32768;
#ifndef TARVO_TIFF_MAX_PIXELS
#define TARVO_TIFF_MAX_PIXELS (64u * 1024u * 1024u)
#endif
constexpr uint64_t kTiffMaxPixels = TARVO_TIFF_MAX_PIXELS;

class TiffImage {
public:
    /// One directory entry as read: the value is the 16-bit number for SHORT
    /// with count 1, else the value field as one 32-bit number. Arrays of up
    /// to four bytes sit in the value field itself, at `fieldOffset`.
    struct Entry {
        uint16_t tag = 0;
        uint16_t type = 0;
        uint32_t count = 0;
        uint32_t value = 0;
        uint32_t fieldOffset = 0;
    };

    Image* image = nullptr;  ///< target; not owned
    std::string path;
    int done = 0;            ///< 1 once a load or save has run to its end
    /// Bytes the last Load read from its file, all reads counted: what a
    /// hostile file can cost is bounded by this, not by the clock.
    uint64_t bytesRead = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    int imageMode = 0;       ///< given to Image::Allocate: IMAGE_RGB24, | IMAGE_ALPHA
    int colorClass = TIFF_BILEVEL;
    int hasAlpha = 0;        ///< an ExtraSamples tag was met
    int samples = 0;         ///< the count of BitsPerSample
    uint32_t bitsOffset = 0;
    int bitsRed = 0, bitsGreen = 0, bitsBlue = 0, bitsAlpha = 0;
    int depth = 0;           ///< depth of a one-sample image
    int photometric = -1;    ///< -1 while the file has not said
    uint32_t strips = 0;
    uint32_t stripOffsets = 0;
    uint32_t stripByteCounts = 0;
    uint32_t rowsPerStrip = 0;
    /// Reading: bits a pixel, all samples. Writing: the caller sets the depth
    /// of each sample (8 for RGB).
    int bits = 0;
    uint32_t rowBytes = 0;
    int compression = 1;
    int planarConfiguration = 1;
    int byteOrder = ORDER_NATIVE;  ///< of the file last read
    /// Writing: 1 asks Save for a fourth, alpha sample when the image has one.
    int saveAlpha = 0;

    TiffImage() = default;
    explicit TiffImage(Image* target) : image(target) {}
    ~TiffImage() { image = nullptr; }
    TiffImage(const TiffImage&) = delete;
    TiffImage& operator=(const TiffImage&) = delete;

    /// Load, then the image's PrepareForScreen(alphaMode), also when the load
    /// left the image empty.
    void LoadTiff(const char* path, Image* target, int alphaMode);
    /// Reads the file's first image into `target` as 24-bit RGB (see above).
    void Load(const char* path, Image* target);
    /// Writes `target` (IMAGE_RGB24) to `path`; the caller sets colorClass and
    /// bits first. Ends the process when they cannot be written.
    void Save(const char* path, Image* target);
    /// The pixel rows of Save.
    void SaveTiff(File& file, ByteOrder& order);

private:
    /// Reader state for one load.
    File* file = nullptr;
    ByteOrder* order = nullptr;
    uint64_t fileSize = 0;
    bool haveWidth = false, haveHeight = false, haveBits = false, haveRowsPerStrip = false;
    Entry bitsEntry, offsetsEntry, countsEntry, colorMapEntry;
    bool haveOffsets = false, haveCounts = false, haveColorMap = false;
    std::vector<uint8_t> colorMap;  ///< 3 x 256 high bytes: red, green, blue
    bool writeFailed = false;

    void ResetForLoad();
    void ReadIFD(uint32_t offset);
    void ReadEntry(uint32_t at);
    bool Validate();
    void ReadStrips();
    void ReadStrip(uint64_t offset, uint64_t compressedBytes, uint32_t firstRow);
    void ConvertRow(const uint8_t* row, uint32_t y, std::vector<uint8_t>& expanded);

    /// Bounded access to the file: bytes beyond its end read as zero.
    void ReadAt(uint64_t offset, void* destination, size_t bytes);
    uint16_t ReadShortAt(uint64_t offset);
    uint32_t ReadLongAt(uint64_t offset);
    /// Element i of a SHORT or LONG array entry; false for any other type.
    bool ArrayElement(const Entry& entry, uint32_t i, uint32_t& out);
};
