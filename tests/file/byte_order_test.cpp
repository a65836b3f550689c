// ByteOrder: the two operation sets, the numeric float and double
// conversions, ReadD_MBF's notice, and the bilevel buffer helpers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "file/byte_order.h"

namespace {

// Raw value as it lies in memory after File::ReadShort / ReadLong of bytes.
uint16_t Raw16(uint8_t b0, uint8_t b1) { return static_cast<uint16_t>(b0 | (b1 << 8)); }
uint32_t Raw32(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
    return static_cast<uint32_t>(b0) | (static_cast<uint32_t>(b1) << 8) | (static_cast<uint32_t>(b2) << 16) |
           (static_cast<uint32_t>(b3) << 24);
}

TEST(ByteOrder, SwappedSetReadsAndWritesBigEndian) {
    ByteOrder order;
    order.SetOrder(ORDER_SWAPPED);
    EXPECT_EQ(order.ReadUW(Raw16(0x00, 0x2A)), 42);
    EXPECT_EQ(order.ReadUL(Raw32(0x00, 0x00, 0x00, 0x08)), 8u);
    EXPECT_EQ(order.WriteUW(42), Raw16(0x00, 0x2A));
    EXPECT_EQ(order.WriteUL(8), Raw32(0x00, 0x00, 0x00, 0x08));
    EXPECT_EQ(order.ReadW(Raw16(0xFF, 0xFE)), -2);
    EXPECT_EQ(order.ReadL(Raw32(0xFF, 0xFF, 0xFF, 0xFE)), -2);
    EXPECT_EQ(order.WriteW(-2), Raw16(0xFF, 0xFE));
    EXPECT_EQ(order.WriteL(-2), Raw32(0xFF, 0xFF, 0xFF, 0xFE));
    EXPECT_EQ(order.ReadUB(0xF0), 0xF0);
    EXPECT_EQ(order.ReadB(0xF0), -16);
    EXPECT_EQ(order.WriteB(-16), 0xF0);
}

TEST(ByteOrder, NativeSetPassesValuesThrough) {
    ByteOrder order;
    EXPECT_EQ(order.order, ORDER_NATIVE);
    EXPECT_EQ(order.reserved, 0);
    EXPECT_EQ(order.ReadUW(0x1234), 0x1234);
    EXPECT_EQ(order.ReadUL(0x12345678u), 0x12345678u);
    EXPECT_EQ(order.WriteUW(0x1234), 0x1234);
    EXPECT_EQ(order.WriteUL(0x12345678u), 0x12345678u);
    EXPECT_EQ(order.ReadW(0xFFFE), -2);
    EXPECT_EQ(order.WriteL(-2), 0xFFFFFFFEu);
}

TEST(ByteOrder, AnyNonZeroOrderSelectsTheSwappedSet) {
    ByteOrder order;
    order.SetOrder(2);
    EXPECT_EQ(order.order, 2);
    EXPECT_EQ(order.ReadUW(0x2A00), 0x002A);
    order.SetOrder(ORDER_NATIVE);
    EXPECT_EQ(order.ReadUW(0x2A00), 0x2A00);
}

TEST(ByteOrder, FloatsAndDoublesConvertNumerically) {
    ByteOrder order;
    EXPECT_EQ(order.ReadF(3), 3.0f);
    EXPECT_EQ(order.WriteF(2.75f), 2u);
    EXPECT_EQ(order.WriteF(-2.75f), 0xFFFFFFFEu);
    EXPECT_EQ(order.ReadD(static_cast<uint64_t>(-5)), -5.0);
    EXPECT_EQ(order.WriteD(7.9), 7u);
    // Out of range and NaN stay defined.
    EXPECT_EQ(order.WriteF(std::numeric_limits<float>::quiet_NaN()), 0u);
    EXPECT_EQ(order.WriteD(1e300), static_cast<uint64_t>(std::numeric_limits<int64_t>::max()));

    order.SetOrder(ORDER_SWAPPED);
    EXPECT_EQ(order.ReadF(Raw32(0, 0, 0, 3)), 3.0f);
    EXPECT_EQ(order.WriteF(2.75f), Raw32(0, 0, 0, 2));
}

TEST(ByteOrder, SwappedDoublesPrintTheNoticeOnReadAndGiveZeroOnWrite) {
    ByteOrder order;
    order.SetOrder(ORDER_SWAPPED);
    testing::internal::CaptureStdout();
    EXPECT_EQ(order.WriteD(123.0), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    testing::internal::CaptureStdout();
    EXPECT_EQ(order.ReadD(9), 9.0);
    EXPECT_EQ(order.ReadD(10), 10.0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ReadD_MBF: Reversal of 8-bytes and conversion to double is not implemented.\n"
              "ReadD_MBF: Reversal of 8-bytes and conversion to double is not implemented.\n");
}

TEST(ByteOrder, BilevelHelpers) {
    const uint8_t source[2] = {0xA5, 0x01};
    std::vector<uint8_t> bits(16, 9);
    EXPECT_EQ(ByteOrder::ExpandBits(source, bits.data(), 2), 16);
    EXPECT_EQ(bits, (std::vector<uint8_t>{1, 0, 1, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(ByteOrder::ExpandBits(source, bits.data(), 0), 0);

    uint8_t values[3] = {1, 0, 3};
    ByteOrder::ScaleBytes(values, 3, 255);
    EXPECT_EQ(values[0], 255);
    EXPECT_EQ(values[1], 0);
    EXPECT_EQ(values[2], 253);  // low 8 bits of 765
    ByteOrder::InvertBytes(values, 2);
    EXPECT_EQ(values[0], 0);
    EXPECT_EQ(values[1], 255);
    EXPECT_EQ(values[2], 253) << "only `length` bytes change";
}

}  // namespace
