#include "file/byte_order.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

uint16_t Swap16(uint16_t v) { return static_cast<uint16_t>((v << 8) | (v >> 8)); }

uint32_t Swap32(uint32_t v) {
    return (v >> 24) | ((v >> 8) & 0x0000FF00u) | ((v << 8) & 0x00FF0000u) | (v << 24);
}

// Truncation toward zero that stays defined for NaN and for values outside
// the integer's range (they saturate; NaN gives 0).
int64_t TruncateToInt64(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 9223372036854775807.0) return std::numeric_limits<int64_t>::max();
    if (value <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(value);
}

uint8_t PassUB(uint8_t raw) { return raw; }
int8_t PassB(uint8_t raw) { return static_cast<int8_t>(raw); }
uint8_t PutB(int8_t value) { return static_cast<uint8_t>(value); }

uint16_t NativeReadUW(uint16_t raw) { return raw; }
int16_t NativeReadW(uint16_t raw) { return static_cast<int16_t>(raw); }
uint32_t NativeReadUL(uint32_t raw) { return raw; }
int32_t NativeReadL(uint32_t raw) { return static_cast<int32_t>(raw); }
float NativeReadF(uint32_t raw) { return static_cast<float>(raw); }
double NativeReadD(uint64_t raw) { return static_cast<double>(static_cast<int64_t>(raw)); }
uint16_t NativeWriteUW(uint16_t value) { return value; }
uint16_t NativeWriteW(int16_t value) { return static_cast<uint16_t>(value); }
uint32_t NativeWriteUL(uint32_t value) { return value; }
uint32_t NativeWriteL(int32_t value) { return static_cast<uint32_t>(value); }
uint32_t NativeWriteF(float value) { return static_cast<uint32_t>(TruncateToInt64(value)); }
uint64_t NativeWriteD(double value) { return static_cast<uint64_t>(TruncateToInt64(value)); }

uint16_t SwappedReadUW(uint16_t raw) { return Swap16(raw); }
int16_t SwappedReadW(uint16_t raw) { return static_cast<int16_t>(Swap16(raw)); }
uint32_t SwappedReadUL(uint32_t raw) { return Swap32(raw); }
int32_t SwappedReadL(uint32_t raw) { return static_cast<int32_t>(Swap32(raw)); }
float SwappedReadF(uint32_t raw) { return static_cast<float>(Swap32(raw)); }
uint16_t SwappedWriteUW(uint16_t value) { return Swap16(value); }
uint16_t SwappedWriteW(int16_t value) { return Swap16(static_cast<uint16_t>(value)); }
uint32_t SwappedWriteUL(uint32_t value) { return Swap32(value); }
uint32_t SwappedWriteL(int32_t value) { return Swap32(static_cast<uint32_t>(value)); }
uint32_t SwappedWriteF(float value) { return Swap32(static_cast<uint32_t>(TruncateToInt64(value))); }
uint64_t SwappedWriteD(double) { return 0; }

}  // namespace

double ReadD_MBF(uint64_t raw) {
    std::printf("ReadD_MBF: Reversal of 8-bytes and conversion to double is not implemented.\n");
    return static_cast<double>(static_cast<int64_t>(raw));
}

ByteOrder::ByteOrder() { SetOrder(ORDER_NATIVE); }

void ByteOrder::SetOrder(int newOrder) {
    order = newOrder;
    ReadUB = PassUB;
    ReadB = PassB;
    WriteUB = PassUB;
    WriteB = PutB;
    if (newOrder == ORDER_NATIVE) {
        ReadUW = NativeReadUW;
        ReadW = NativeReadW;
        ReadUL = NativeReadUL;
        ReadL = NativeReadL;
        ReadF = NativeReadF;
        ReadD = NativeReadD;
        WriteUW = NativeWriteUW;
        WriteW = NativeWriteW;
        WriteUL = NativeWriteUL;
        WriteL = NativeWriteL;
        WriteF = NativeWriteF;
        WriteD = NativeWriteD;
    } else {
        ReadUW = SwappedReadUW;
        ReadW = SwappedReadW;
        ReadUL = SwappedReadUL;
        ReadL = SwappedReadL;
        ReadF = SwappedReadF;
        ReadD = ReadD_MBF;
        WriteUW = SwappedWriteUW;
        WriteW = SwappedWriteW;
        WriteUL = SwappedWriteUL;
        WriteL = SwappedWriteL;
        WriteF = SwappedWriteF;
        WriteD = SwappedWriteD;
    }
}

void ByteOrder::InvertBytes(uint8_t* buffer, int length) {
    for (int i = 0; i < length; ++i) buffer[i] = static_cast<uint8_t>(255 - buffer[i]);
}

void ByteOrder::ScaleBytes(uint8_t* buffer, int length, uint8_t factor) {
    for (int i = 0; i < length; ++i) buffer[i] = static_cast<uint8_t>(buffer[i] * factor);
}

int ByteOrder::ExpandBits(const uint8_t* source, uint8_t* destination, int count) {
    if (count <= 0) return 0;
    for (int i = 0; i < count; ++i) {
        for (int bit = 0; bit < 8; ++bit) destination[i * 8 + bit] = static_cast<uint8_t>((source[i] >> (7 - bit)) & 1);
    }
    return count * 8;
}
