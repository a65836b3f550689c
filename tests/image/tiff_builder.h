// Builds small TIFF files byte by byte for reader tests, in either byte
// order, so each test shows exactly the directory it feeds the reader.
//
// Layout: 8-byte header, then the pixel blob at offset kTiffDataAt, then the
// directory, then the arrays that do not fit a value field. Strip offsets
// given by a test are absolute (kTiffDataAt + position in the blob).
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

constexpr uint32_t kTiffDataAt = 8;
constexpr uint16_t kShort = 3;
constexpr uint16_t kLong = 4;

class TiffBuilder {
public:
    explicit TiffBuilder(bool bigEndian = false) : big(bigEndian) {}

    // An entry whose count is the number of values; arrays go out of line
    // when they do not fit four bytes.
    TiffBuilder& Tag(uint16_t tag, uint16_t type, std::vector<uint32_t> values) {
        entries.push_back({tag, type, static_cast<uint32_t>(values.size()), std::move(values), false, 0});
        return *this;
    }
    TiffBuilder& Short(uint16_t tag, uint32_t value) { return Tag(tag, kShort, {value}); }
    TiffBuilder& Long(uint16_t tag, uint32_t value) { return Tag(tag, kLong, {value}); }
    // An entry written exactly as given: count and raw 32-bit value field.
    TiffBuilder& Raw(uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
        entries.push_back({tag, type, count, {}, true, value});
        return *this;
    }
    // The usual tags of a chunky picture with one strip at the blob's start.
    TiffBuilder& Basic(uint32_t width, uint32_t height, std::vector<uint32_t> depths, uint32_t photometric) {
        Short(256, width);
        Short(257, height);
        Tag(258, kShort, std::move(depths));
        Short(259, 1);
        Short(262, photometric);
        Long(273, kTiffDataAt);
        return *this;
    }
    TiffBuilder& Data(std::vector<uint8_t> bytes) {
        data = std::move(bytes);
        return *this;
    }
    TiffBuilder& NextIfd(uint32_t offset) {
        next = offset;
        return *this;
    }

    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> out;
        out.push_back(big ? 'M' : 'I');
        out.push_back(big ? 'M' : 'I');
        Put16(out, 42);
        const uint32_t ifdAt = static_cast<uint32_t>(kTiffDataAt + data.size() + (data.size() & 1));
        Put32(out, ifdAt);
        out.insert(out.end(), data.begin(), data.end());
        if (data.size() & 1) out.push_back(0);

        uint32_t extraAt = ifdAt + 2 + 12 * static_cast<uint32_t>(entries.size()) + 4;
        std::vector<uint8_t> extra;
        Put16(out, static_cast<uint16_t>(entries.size()));
        for (const E& e : entries) {
            Put16(out, e.tag);
            Put16(out, e.type);
            Put32(out, e.count);
            if (e.raw) {
                Put32(out, e.rawValue);
                continue;
            }
            const size_t size = e.type == kShort ? 2 : 4;
            std::vector<uint8_t> packed;
            for (uint32_t v : e.values) {
                if (size == 2)
                    Put16(packed, static_cast<uint16_t>(v));
                else
                    Put32(packed, v);
            }
            if (packed.size() <= 4) {
                packed.resize(4, 0);
                out.insert(out.end(), packed.begin(), packed.end());
            } else {
                Put32(out, extraAt + static_cast<uint32_t>(extra.size()));
                extra.insert(extra.end(), packed.begin(), packed.end());
            }
        }
        Put32(out, next);
        out.insert(out.end(), extra.begin(), extra.end());
        return out;
    }

    void Write(const std::string& path) const {
        const std::vector<uint8_t> bytes = Bytes();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
    }

private:
    struct E {
        uint16_t tag, type;
        uint32_t count;
        std::vector<uint32_t> values;
        bool raw;
        uint32_t rawValue;
    };

    void Put16(std::vector<uint8_t>& out, uint16_t v) const {
        if (big) {
            out.push_back(static_cast<uint8_t>(v >> 8));
            out.push_back(static_cast<uint8_t>(v));
        } else {
            out.push_back(static_cast<uint8_t>(v));
            out.push_back(static_cast<uint8_t>(v >> 8));
        }
    }
    void Put32(std::vector<uint8_t>& out, uint32_t v) const {
        if (big) {
            Put16(out, static_cast<uint16_t>(v >> 16));
            Put16(out, static_cast<uint16_t>(v));
        } else {
            Put16(out, static_cast<uint16_t>(v));
            Put16(out, static_cast<uint16_t>(v >> 16));
        }
    }

    bool big;
    std::vector<E> entries;
    std::vector<uint8_t> data;
    uint32_t next = 0;
};
