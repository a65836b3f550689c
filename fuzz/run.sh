#!/bin/bash
# Builds the TIFF reader's libFuzzer target with clang (ASan + UBSan) in its own
# folder, makes a seed corpus with ImageMagick and tiffcp, and fuzzes for a
# bounded time. Exit status: 0 when the run ends without a finding, non-zero
# on a crash, leak, sanitizer report or timeout (the input is kept in the
# build folder as crash-*, leak-* or timeout-*; replay it with
# "build/fuzz/tiff_fuzzer FILE").
#
#   FUZZ_SECONDS   how long to fuzz (default 60)
#   FUZZ_DIR       build folder (default build/fuzz)
#
# Needs clang and libFuzzer's runtime, which Debian ships in libclang-rt-14-dev
# (not pulled in by clang when recommended packages are left out).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${FUZZ_DIR:-$root/build/fuzz}
seconds=${FUZZ_SECONDS:-60}
cxx=${FUZZ_CXX:-clang++}
mkdir -p "$out/seeds" "$out/corpus"

if ! command -v "$cxx" >/dev/null; then
  echo "fuzz: $cxx not found (Debian package clang)" >&2
  exit 1
fi
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' |
     "$cxx" -x c++ -fsanitize=fuzzer - -o "$out/probe" 2>/dev/null; then
  echo "fuzz: libFuzzer's runtime is missing (Debian package libclang-rt-14-dev)" >&2
  exit 1
fi
rm -f "$out/probe"

# Only the reader and what it stands on.
sources=(
  fuzz/tiff_fuzzer.cpp
  image/tiff_reader.cpp image/packbits.cpp image/image.cpp
  file/file.cpp file/byte_order.cpp file/fatal.cpp file/data_path.cpp
  engine/debug_log.cpp draw/pixel_format.cpp
  platform/platform.cpp platform/scripted/scripted_platform.cpp
)
echo "fuzz: building $out/tiff_fuzzer"
(cd "$root" && "$cxx" -std=c++20 -g -O1 -Wall -Wextra \
   -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
   -DTARVO_FUZZ '-DTARVO_TIFF_MAX_PIXELS=(1024u * 1024u)' -I. \
   "${sources[@]}" -o "$out/tiff_fuzzer")

# Seeds: the forms the reader takes, small, from independent writers.
if [ -z "$(ls -A "$out/seeds")" ]; then
  convert=/usr/bin/convert
  (
    cd "$out/seeds"
    "$convert" -size 9x7 gradient:'rgba(255,0,0,1)-rgba(0,0,255,0.2)' -depth 8 src.pam
    "$convert" src.pam -alpha off -depth 8 -compress None -define tiff:rows-per-strip=3 rgb8_II.tif
    "$convert" src.pam -alpha off -depth 8 -compress None -define tiff:endian=msb rgb8_MM.tif
    "$convert" src.pam -alpha off -depth 16 -compress None -define tiff:endian=msb -define tiff:rows-per-strip=2 rgb16_MM.tif
    "$convert" src.pam -depth 8 -compress None rgba8_II.tif
    "$convert" src.pam -depth 16 -compress None -define tiff:endian=msb rgba16_MM.tif
    "$convert" src.pam -type Grayscale -depth 8 -compress None grey8.tif
    "$convert" src.pam -type Grayscale -depth 16 -compress None -define tiff:endian=msb grey16_MM.tif
    "$convert" src.pam -monochrome -depth 1 -compress None bilevel.tif
    "$convert" src.pam -monochrome -depth 1 -define quantum:polarity=min-is-white -compress None bilevel_white.tif
    "$convert" src.pam -type Palette -depth 8 -compress None palette.tif
    "$convert" src.pam -depth 8 -compress RLE packbits_rgba.tif
    "$convert" src.pam -alpha off -depth 8 -compress LZW lzw.tif
    tiffcp -B -r 2 -c packbits rgb8_II.tif tiffcp_packbits_MM.tif
    tiffcp -s -r 1 grey8.tif tiffcp_grey_strips.tif
    rm -f src.pam
  ) 2>/dev/null
fi
echo "fuzz: $(ls "$out/seeds" | wc -l) seeds, $(ls "$out/corpus" | wc -l) files kept from earlier runs; fuzzing ${seconds}s"

set +e
(cd "$out" && ./tiff_fuzzer corpus seeds -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
   -max_len=16384 -close_fd_mask=1 -print_final_stats=1 -artifact_prefix="$out/") >"$out/fuzz.log" 2>&1
status=$?
set -e
grep -E '^#[0-9]+.*DONE|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb' "$out/fuzz.log" || true
echo "fuzz: corpus now $(ls "$out/corpus" | wc -l) files"
if [ $status -ne 0 ]; then
  echo "fuzz: FAILED (status $status); see $out/fuzz.log" >&2
  grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$out/fuzz.log" | head -20 >&2
  exit $status
fi
echo "fuzz: no findings"
