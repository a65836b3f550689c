// The PackBits run-length codec (TIFF compression 32773), as operations of
// ByteOrder. Packets: a control byte c (signed); 0..127 copies the next c + 1
// bytes, -127..-1 repeats the next byte 1 - c times, -128 does nothing.
// The encoder keeps to literals of 1..127 bytes and runs of 3..127 repeats;
// the decoder takes the whole table. Both stay inside the n source bytes and
// the destination's capacity.
#include <cstring>

#include "file/byte_order.h"

namespace {

constexpr int kMaxPacket = 127;

// True when bytes at, at + 1 and at + 2 exist below `end` and are equal.
bool StartsRunOfThree(const uint8_t* source, int at, int end) {
    return at + 2 < end && source[at] == source[at + 1] && source[at] == source[at + 2];
}

}  // namespace

int ByteOrder::PackBits(const uint8_t* source, uint8_t* destination, int n, int capacity) {
    if (n <= 0) return 0;
    int in = 0;
    int out = 0;
    while (in < n) {
        const int remaining = n - in;
        int runLength = 0;
        if (remaining == 3 && StartsRunOfThree(source, in, n)) {
            runLength = 3;
        } else if (remaining >= 4 && StartsRunOfThree(source, in, n)) {
            runLength = 3;
            while (runLength < kMaxPacket && runLength < remaining && source[in + runLength] == source[in]) ++runLength;
        }
        if (runLength > 0) {
            if (capacity - out < 2) return -1;
            destination[out++] = static_cast<uint8_t>(1 - runLength);
            destination[out++] = source[in];
            in += runLength;
            continue;
        }
        // A literal. With three or fewer bytes left all of them go in one
        // packet, equal or not (two equal bytes never start a run).
        int literal = 1;
        if (remaining <= 3) {
            literal = remaining;
        } else {
            while (literal < kMaxPacket && literal < remaining && !StartsRunOfThree(source, in + literal, n)) ++literal;
        }
        if (capacity - out < literal + 1) return -1;
        destination[out++] = static_cast<uint8_t>(literal - 1);
        std::memcpy(destination + out, source + in, static_cast<size_t>(literal));
        out += literal;
        in += literal;
    }
    return out;
}

int ByteOrder::UnpackBits(const uint8_t* source, uint8_t* destination, int n, int capacity) {
    if (n <= 0) return 0;
    int in = 0;
    int out = 0;
    while (in < n && out < capacity) {
        const int control = static_cast<int8_t>(source[in++]);
        if (control >= 0) {
            int count = control + 1;
            // A literal that claims more than the source holds is cut there.
            if (count > n - in) count = n - in;
            const int kept = count < capacity - out ? count : capacity - out;
            std::memcpy(destination + out, source + in, static_cast<size_t>(kept));
            out += kept;
            in += count;
        } else if (control != -128) {
            if (in >= n) break;
            int count = 1 - control;
            if (count > capacity - out) count = capacity - out;
            std::memset(destination + out, source[in++], static_cast<size_t>(count));
            out += count;
        }
    }
    return out;
}
