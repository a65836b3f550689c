#include "tools/pictures/icon.h"

#include <algorithm>
#include <cstdint>

#include "tools/pictures/art.h"

namespace pictures {

namespace {

uint32_t Crc32(const std::string& bytes, size_t from) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = from; i < bytes.size(); ++i) {
        crc ^= static_cast<uint8_t>(bytes[i]);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(value >> shift & 0xFF);
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    const size_t typeAt = out.size();
    out += type;
    out += data;
    PutBigEndian(out, Crc32(out, typeAt));
}

// A zlib stream of stored deflate blocks (at most 65535 bytes each).
std::string ZlibStored(const std::string& data) {
    std::string out = "\x78\x01";
    size_t at = 0;
    do {
        const size_t length = std::min<size_t>(data.size() - at, 65535);
        const bool last = at + length == data.size();
        out += static_cast<char>(last ? 1 : 0);
        out += static_cast<char>(length & 0xFF);
        out += static_cast<char>(length >> 8);
        out += static_cast<char>(~length & 0xFF);
        out += static_cast<char>(~length >> 8 & 0xFF);
        out.append(data, at, length);
        at += length;
    } while (at < data.size());
    uint32_t a = 1, b = 0;
    for (const char c : data) {
        a = (a + static_cast<uint8_t>(c)) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(out, b << 16 | a);
    return out;
}

}  // namespace

Canvas Resample(const Canvas& canvas, int size) {
    // Each output pixel averages a grid of sample points over its area.
    constexpr int kSamples = 8;
    Canvas out(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const int u = static_cast<int>((x + (sx + 0.5f) / kSamples) * canvas.Width() / size);
                    const int v = static_cast<int>((y + (sy + 0.5f) / kSamples) * canvas.Height() / size);
                    const Rgba& p = canvas.At(std::min(u, canvas.Width() - 1), std::min(v, canvas.Height() - 1));
                    r += p.r * p.a;
                    g += p.g * p.a;
                    b += p.b * p.a;
                    a += p.a;
                }
            }
            if (a == 0) continue;
            auto channel = [](float v) { return static_cast<uint8_t>(std::clamp(v + 0.5f, 0.0f, 255.0f)); };
            out.Put(x, y, Rgba{channel(r / a), channel(g / a), channel(b / a), channel(a / (kSamples * kSamples))});
        }
    }
    return out;
}

std::string CanvasToPng(const Canvas& canvas) {
    std::string header;
    PutBigEndian(header, static_cast<uint32_t>(canvas.Width()));
    PutBigEndian(header, static_cast<uint32_t>(canvas.Height()));
    header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter, no interlace
    std::string rows;
    rows.reserve(static_cast<size_t>(canvas.Height()) * (canvas.Width() * 4 + 1));
    for (int y = 0; y < canvas.Height(); ++y) {
        rows += '\0';  // filter type None
        for (int x = 0; x < canvas.Width(); ++x) {
            const Rgba& p = canvas.At(x, y);
            rows += static_cast<char>(p.r);
            rows += static_cast<char>(p.g);
            rows += static_cast<char>(p.b);
            rows += static_cast<char>(p.a);
        }
    }
    std::string png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", ZlibStored(rows));
    PutChunk(png, "IEND", "");
    return png;
}

std::string IconPng(int size) {
    for (const PictureEntry& picture : AllPictures())
        if (picture.name == "player_ship") return CanvasToPng(Resample(Draw(picture), size));
    return {};
}

}  // namespace pictures
