#include "tools/pictures/icon.h"

#include <algorithm>
#include <cstdint>
#include <vector>

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

// Deflate's bits go out least significant first; its Huffman codes most
// significant first.
class BitWriter {
public:
    explicit BitWriter(std::string& out) : out(out) {}
    void Bits(uint32_t value, int count) {
        for (int i = 0; i < count; ++i) Bit(value >> i & 1u);
    }
    void Code(uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i) Bit(code >> i & 1u);
    }
    void Flush() {
        if (used > 0) out += static_cast<char>(pending);
        pending = used = 0;
    }

private:
    void Bit(uint32_t bit) {
        pending |= bit << used;
        if (++used == 8) Flush();
    }
    std::string& out;
    uint32_t pending = 0;
    int used = 0;
};

// A symbol of the fixed literal/length code.
void PutLiteralOrLength(BitWriter& bits, int symbol) {
    if (symbol < 144)
        bits.Code(0x30 + symbol, 8);
    else if (symbol < 256)
        bits.Code(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        bits.Code(symbol - 256, 7);
    else
        bits.Code(0xC0 + symbol - 280, 8);
}

constexpr int kLengthBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                               31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int kLengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int kDistanceBase[] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                 33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr int kDistanceExtra[] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                  6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void PutMatch(BitWriter& bits, int length, int distance) {
    int l = 28;
    while (kLengthBase[l] > length) --l;
    PutLiteralOrLength(bits, 257 + l);
    bits.Bits(static_cast<uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
    int d = 29;
    while (kDistanceBase[d] > distance) --d;
    bits.Code(static_cast<uint32_t>(d), 5);
    bits.Bits(static_cast<uint32_t>(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

// A zlib stream of one deflate block with the fixed codes: each position
// takes the longest earlier repeat found among the last 64 places its first
// three bytes occurred (the transparent border and the enlarged pixels repeat
// a lot), or else its byte.
std::string ZlibCompressed(const std::string& data) {
    constexpr int kWindow = 32768, kMaxMatch = 258, kMinMatch = 3, kTries = 64, kHashBits = 15;
    std::string out = "\x78\x01";
    BitWriter bits(out);
    bits.Bits(1, 1);  // the last block
    bits.Bits(1, 2);  // fixed codes
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    const size_t size = data.size();
    std::vector<int64_t> head(size_t{1} << kHashBits, -1), previous(size, -1);
    const auto hashAt = [&](size_t i) {
        return ((bytes[i] << 10) ^ (bytes[i + 1] << 5) ^ bytes[i + 2]) & ((1u << kHashBits) - 1);
    };
    const auto remember = [&](size_t i) {
        if (i + kMinMatch > size) return;
        const uint32_t h = hashAt(i);
        previous[i] = head[h];
        head[h] = static_cast<int64_t>(i);
    };
    size_t at = 0;
    while (at < size) {
        int bestLength = 0;
        size_t bestDistance = 0;
        if (at + kMinMatch <= size) {
            const size_t most = std::min<size_t>(kMaxMatch, size - at);
            int64_t candidate = head[hashAt(at)];
            for (int tries = 0; candidate >= 0 && at - static_cast<size_t>(candidate) <= kWindow && tries < kTries;
                 ++tries, candidate = previous[static_cast<size_t>(candidate)]) {
                const size_t from = static_cast<size_t>(candidate);
                size_t length = 0;
                while (length < most && bytes[from + length] == bytes[at + length]) ++length;
                if (static_cast<int>(length) > bestLength) {
                    bestLength = static_cast<int>(length);
                    bestDistance = at - from;
                    if (length == most) break;
                }
            }
        }
        if (bestLength >= kMinMatch) {
            PutMatch(bits, bestLength, static_cast<int>(bestDistance));
            for (int i = 0; i < bestLength; ++i) remember(at + static_cast<size_t>(i));
            at += static_cast<size_t>(bestLength);
        } else {
            PutLiteralOrLength(bits, bytes[at]);
            remember(at);
            ++at;
        }
    }
    PutLiteralOrLength(bits, 256);  // end of block
    bits.Flush();
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
    PutChunk(png, "IDAT", ZlibCompressed(rows));
    PutChunk(png, "IEND", "");
    return png;
}

std::string IconPng(int size) {
    for (const PictureEntry& picture : AllPictures())
        if (picture.name == "player_ship") return CanvasToPng(Resample(Draw(picture), size));
    return {};
}

}  // namespace pictures
