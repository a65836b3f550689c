#!/bin/bash
# Builds the libFuzzer targets with clang (ASan + UBSan) in their own folder,
# from the project's own CMake build (configured with TARVO_FUZZ=ON, so the
# readers are built from the engine's source list, not a copy of it), makes
# seed corpora, and fuzzes each reader for a bounded time: the TIFF reader
# for half of it, the key-script and settings readers for a quarter each.
# Exit status: 0 when every run ends without a finding, non-zero on a crash, leak, sanitizer
# report or timeout (the input is kept in the build folder as crash-*, leak-*
# or timeout-*; replay it with "build/fuzz/tiff_fuzzer FILE",
# "build/fuzz/key_script_fuzzer FILE" or "build/fuzz/settings_fuzzer FILE").
#
#   FUZZ_SECONDS   how long to fuzz, the readers together (default 60)
#   FUZZ_DIR       build folder (default build/fuzz)
#
# Needs clang and libFuzzer's runtime, which Debian ships in libclang-rt-14-dev
# (not pulled in by clang when recommended packages are left out).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${FUZZ_DIR:-$root/build/fuzz}
seconds=${FUZZ_SECONDS:-60}
cxx=${FUZZ_CXX:-clang++}
mkdir -p "$out/seeds" "$out/corpus" "$out/key_script_seeds" "$out/key_script_corpus" "$out/settings_seeds" \
  "$out/settings_corpus"

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

cc=${FUZZ_CC:-clang}
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
echo "fuzz: building $out/tiff_fuzzer, $out/key_script_fuzzer and $out/settings_fuzzer"
cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-g -O1" \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_C_COMPILER="$cc" "${launcher[@]}" \
  -DTARVO_FUZZ=ON -DTARVO_BUILD_TESTS=OFF -DTARVO_BUILD_BENCH=OFF >"$out/configure.log" 2>&1 ||
  { cat "$out/configure.log" >&2; exit 1; }
cmake --build "$out" --target tiff_fuzzer key_script_fuzzer settings_fuzzer >"$out/build.log" 2>&1 ||
  { tail -40 "$out/build.log" >&2; exit 1; }

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
# Seeds for the key-script reader: the stored fights, and the forms a line takes.
cp "$root"/tests/game/reference/*.keys "$out/key_script_seeds/"
printf '# comment\n\n  \t\n0 down SPACE\r\n12 UP left\n2147483647 down p\n' >"$out/key_script_seeds/forms.keys"
printf '0 down Return\n1 down ;\n1 down f24\n2 up 0x5b\n3 up \\\n' >"$out/key_script_seeds/names.keys"
printf '0 down SPACE\n3 sideways UP\n' >"$out/key_script_seeds/refused.keys"

# Seeds for the settings reader: a whole file, and one with a problem on each line.
printf '# mine\n[window]\nfullscreen = yes\nscale = 2\n\n[sound]\nmute = no\n[keys]\nthrust = Up, W\nfire = Space, Return\n' \
  >"$out/settings_seeds/good.ini"
printf 'x = 1\n[window]\nfullscreen\nscale = 9\nscale = 2\n[video]\na = b\n[keys]\nfire = W, Escape, Nope,\nback = W\n' \
  >"$out/settings_seeds/damaged.ini"

tiff_seconds=$((seconds / 2))
key_seconds=$(((seconds - tiff_seconds) / 2))
settings_seconds=$((seconds - tiff_seconds - key_seconds))
failed=0

# fuzz NAME SEEDS CORPUS SECONDS MAX_LEN
fuzz() {
  local name=$1 seeds=$2 corpus=$3 time=$4 max_len=$5
  echo "fuzz: $name: $(ls "$seeds" | wc -l) seeds, $(ls "$corpus" | wc -l) files kept from earlier runs; fuzzing ${time}s"
  set +e
  (cd "$out" && "./$name" "$corpus" "$seeds" -max_total_time="$time" -timeout=10 -rss_limit_mb=2048 \
     -max_len="$max_len" -close_fd_mask=1 -print_final_stats=1 -artifact_prefix="$out/") >"$out/$name.log" 2>&1
  local status=$?
  set -e
  grep -E '^#[0-9]+.*DONE|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb' \
    "$out/$name.log" || true
  echo "fuzz: $name: corpus now $(ls "$corpus" | wc -l) files"
  if [ $status -ne 0 ]; then
    echo "fuzz: $name FAILED (status $status); see $out/$name.log" >&2
    grep -E 'ERROR|SUMMARY|runtime error|key script reader|settings reader|Test unit written' "$out/$name.log" | head -20 >&2
    failed=$status
  fi
}
fuzz tiff_fuzzer "$out/seeds" "$out/corpus" "$tiff_seconds" 16384
fuzz key_script_fuzzer "$out/key_script_seeds" "$out/key_script_corpus" "$key_seconds" 8192
fuzz settings_fuzzer "$out/settings_seeds" "$out/settings_corpus" "$settings_seconds" 4096
if [ $failed -ne 0 ]; then exit $failed; fi
echo "fuzz: no findings"
