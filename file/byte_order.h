/// @file
/// ByteOrder: turns raw values read from a file into numbers, and numbers into
/// the raw form to write, for one byte order chosen at run time. A table of
/// sixteen operations is filled by SetOrder with the native set (little-endian
/// files: values pass through) or the swapped set (big-endian files: bytes are
/// reversed). Callers read raw bytes with File::ReadShort/ReadLong and call the
/// table; they never test the order themselves.
///
/// The float and double operations convert numbers numerically; they do not
/// reinterpret bit patterns. The swapped ReadD is not a real conversion and
/// says so on standard output; the swapped WriteD always gives 0.
///
/// Also carries byte-buffer helpers for bilevel rows and the PackBits codec
/// (image/packbits.cpp). None of them depends on the order.
#pragma once

#include <cstdint>

constexpr int ORDER_NATIVE = 0;   ///< little-endian files, the machine's own order
constexpr int ORDER_SWAPPED = 1;  ///< big-endian files; any non-zero order means this

class ByteOrder {
public:
    int32_t order = ORDER_NATIVE;
    int16_t reserved = 0;  ///< nothing reads it

    /// The table, in slot order. Raw values are the bytes as read from (or to
    /// be written to) the file, held in an integer of the machine.
    uint8_t (*ReadUB)(uint8_t raw) = nullptr;
    int8_t (*ReadB)(uint8_t raw) = nullptr;
    uint16_t (*ReadUW)(uint16_t raw) = nullptr;
    int16_t (*ReadW)(uint16_t raw) = nullptr;
    uint32_t (*ReadUL)(uint32_t raw) = nullptr;
    int32_t (*ReadL)(uint32_t raw) = nullptr;
    float (*ReadF)(uint32_t raw) = nullptr;
    double (*ReadD)(uint64_t raw) = nullptr;
    uint8_t (*WriteUB)(uint8_t value) = nullptr;
    uint8_t (*WriteB)(int8_t value) = nullptr;
    uint16_t (*WriteUW)(uint16_t value) = nullptr;
    uint16_t (*WriteW)(int16_t value) = nullptr;
    uint32_t (*WriteUL)(uint32_t value) = nullptr;
    uint32_t (*WriteL)(int32_t value) = nullptr;
    uint32_t (*WriteF)(float value) = nullptr;
    uint64_t (*WriteD)(double value) = nullptr;

    ByteOrder();

    /// Stores the order and fills the table: 0 the native set, anything else
    /// the swapped set.
    void SetOrder(int newOrder);

    /// Each of the first `length` bytes b becomes 255 - b.
    static void InvertBytes(uint8_t* buffer, int length);
    /// Each of the first `length` bytes b becomes the low 8 bits of b * factor.
    static void ScaleBytes(uint8_t* buffer, int length, uint8_t factor);
    /// For each of `count` source bytes writes eight bytes of 0 or 1, most
    /// significant bit first; the destination holds count * 8 bytes. Returns
    /// count * 8 (0 when count <= 0).
    static int ExpandBits(const uint8_t* source, uint8_t* destination, int count);

    /// PackBits run-length codec. Both read only the first n source bytes and
    /// never write more than `capacity` destination bytes.
    /// Compresses; returns the bytes written, or -1 when the packets do not fit
    /// in `capacity` (n + (n + 126) / 127 always fits). 0 when n <= 0.
    static int PackBits(const uint8_t* source, uint8_t* destination, int n, int capacity);
    /// Expands; returns the bytes written. Output beyond `capacity` is dropped
    /// and a last packet that claims more than the source holds is cut there.
    static int UnpackBits(const uint8_t* source, uint8_t* destination, int n, int capacity);
};

/// Prints that reversing eight bytes is not implemented, then converts the raw
/// value numerically as a signed 64-bit integer, bytes as given.
double ReadD_MBF(uint64_t raw);
