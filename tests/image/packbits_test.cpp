// PackBits codec: the encoder's packet choices, the decoder's table, the
// capacity and source bounds, and round trips.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "file/byte_order.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Pack(const Bytes& in) {
    Bytes out(in.size() + (in.size() + 126) / 127 + 1);
    const int n = ByteOrder::PackBits(in.data(), out.data(), static_cast<int>(in.size()), static_cast<int>(out.size()));
    out.resize(n < 0 ? 0 : static_cast<size_t>(n));
    return out;
}

Bytes Unpack(const Bytes& in, int capacity = 1024) {
    Bytes out(static_cast<size_t>(capacity));
    const int n = ByteOrder::UnpackBits(in.data(), out.data(), static_cast<int>(in.size()), capacity);
    out.resize(static_cast<size_t>(n));
    return out;
}

struct PackCase {
    Bytes in;
    Bytes out;
};

TEST(PackBits, PacketChoices) {
    const PackCase cases[] = {
        {{0x41, 0x41, 0x41, 0x41, 0x42}, {0xFD, 0x41, 0x00, 0x42}},
        {{0x41, 0x42, 0x43, 0x44}, {0x03, 0x41, 0x42, 0x43, 0x44}},
        {{0x41, 0x42, 0x42, 0x42, 0x43}, {0x00, 0x41, 0xFE, 0x42, 0x00, 0x43}},
        {{0x41, 0x41}, {0x01, 0x41, 0x41}},
        {{0x41, 0x41, 0x41}, {0xFE, 0x41}},
        {{0x41, 0x41, 0x42}, {0x02, 0x41, 0x41, 0x42}},
        {{0x41}, {0x00, 0x41}},
        {{0x41, 0x41, 0x42, 0x42, 0x43}, {0x04, 0x41, 0x41, 0x42, 0x42, 0x43}},
    };
    for (const PackCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.in));
        EXPECT_EQ(Pack(c.in), c.out);
    }
    EXPECT_EQ(ByteOrder::PackBits(nullptr, nullptr, 0, 0), 0);
}

TEST(PackBits, LongRunsAndLiteralsAreCutAt127) {
    EXPECT_EQ(Pack(Bytes(200, 7)), (Bytes{0x82, 7, 0xB8, 7}));

    Bytes varied(300);
    for (size_t i = 0; i < varied.size(); ++i) varied[i] = static_cast<uint8_t>(i);
    const Bytes packed = Pack(varied);
    ASSERT_EQ(packed.size(), 303u);
    EXPECT_EQ(packed[0], 0x7E);
    EXPECT_EQ(packed[128], 0x7E);
    EXPECT_EQ(packed[256], 0x2D);
}

TEST(PackBits, RefusesWhenThePacketsDoNotFit) {
    const Bytes in = {1, 2, 3, 4};
    Bytes out(8, 0xEE);
    EXPECT_EQ(ByteOrder::PackBits(in.data(), out.data(), 4, 4), -1);
    EXPECT_EQ(out[4], 0xEE) << "nothing beyond the capacity";
    EXPECT_EQ(ByteOrder::PackBits(in.data(), out.data(), 4, 5), 5);
}

TEST(UnpackBits, Packets) {
    EXPECT_EQ(Unpack({0xFE, 0x41}), (Bytes{0x41, 0x41, 0x41}));
    EXPECT_EQ(Unpack({0x81, 0x41}), Bytes(128, 0x41));
    EXPECT_EQ(Unpack({0x80}), Bytes{});
    EXPECT_EQ(Unpack({0x80, 0x00, 0x05}), Bytes{0x05});
    Bytes literal = {0x7F};
    for (int i = 0; i < 128; ++i) literal.push_back(static_cast<uint8_t>(i));
    EXPECT_EQ(Unpack(literal), Bytes(literal.begin() + 1, literal.end()));
}

TEST(UnpackBits, StaysInsideSourceAndCapacity) {
    // A literal claiming 4 bytes with 2 left is cut at the end of the source.
    Bytes source = {0x03, 0x11, 0x22, 0x99};
    Bytes out(8, 0xEE);
    EXPECT_EQ(ByteOrder::UnpackBits(source.data(), out.data(), 3, 8), 2);
    EXPECT_EQ(out, (Bytes{0x11, 0x22, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
    // A run without its byte writes nothing.
    EXPECT_EQ(Unpack({0x00, 0x01, 0xFE}), Bytes{0x01});
    // Output past the capacity is dropped.
    out.assign(8, 0xEE);
    EXPECT_EQ(ByteOrder::UnpackBits(Bytes{0x81, 0x41}.data(), out.data(), 2, 5), 5);
    EXPECT_EQ(out, (Bytes{0x41, 0x41, 0x41, 0x41, 0x41, 0xEE, 0xEE, 0xEE}));
    out.assign(8, 0xEE);
    EXPECT_EQ(ByteOrder::UnpackBits(Bytes{0x03, 1, 2, 3, 4}.data(), out.data(), 5, 3), 3);
    EXPECT_EQ(out[3], 0xEE);
}

TEST(PackBits, RoundTripsRandomBuffers) {
    const unsigned seed = 20261210;
    std::mt19937 random(seed);
    for (int trial = 0; trial < 200; ++trial) {
        Bytes in(random() % 700);
        // Few distinct values, so runs of every length occur.
        const unsigned spread = 1 + random() % 4;
        for (uint8_t& b : in) b = static_cast<uint8_t>(random() % spread);
        const Bytes packed = Pack(in);
        ASSERT_LE(packed.size(), in.size() + (in.size() + 126) / 127) << "seed " << seed << " trial " << trial;
        ASSERT_EQ(Unpack(packed, static_cast<int>(in.size()) + 10), in) << "seed " << seed << " trial " << trial;
    }
}

}  // namespace
