"""Checks that a file is a whole PNG picture of SIZE x SIZE, 8-bit RGBA: every
chunk's CRC, the zlib stream (with its checksum) and the length of the rows,
transparent corners and an opaque middle. Usage: check_png.py FILE SIZE"""
import struct
import sys
import zlib


def check(path, size):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        return "no PNG signature"
    at, chunks = 8, {}
    while at < len(data):
        (length,) = struct.unpack(">I", data[at:at + 4])
        kind, body = data[at + 4:at + 8], data[at + 8:at + 8 + length]
        (crc,) = struct.unpack(">I", data[at + 8 + length:at + 12 + length])
        if crc != zlib.crc32(kind + body):
            return f"bad CRC in {kind!r}"
        chunks[kind] = chunks.get(kind, b"") + body
        at += 12 + length
    width, height, depth, colour = struct.unpack(">IIBB", chunks[b"IHDR"][:10])
    if (width, height, depth, colour) != (size, size, 8, 6):
        return f"{width} x {height}, depth {depth}, colour type {colour}"
    rows = zlib.decompress(chunks[b"IDAT"])
    stride = size * 4 + 1
    if len(rows) != size * stride or b"IEND" not in chunks:
        return f"{len(rows)} bytes of rows"
    alpha = lambda x, y: rows[y * stride + 1 + x * 4 + 3]
    if any(rows[y * stride] != 0 for y in range(size)):
        return "a row with a filter"
    if alpha(0, 0) or alpha(size - 1, size - 1) or alpha(size // 2, size // 2) != 255:
        return "not a picture with a transparent border and an opaque middle"
    return None


problem = check(sys.argv[1], int(sys.argv[2]))
if problem:
    print(f"{sys.argv[1]}: {problem}")
sys.exit(1 if problem else 0)
