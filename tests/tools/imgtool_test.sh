#!/bin/bash
# tarvo-imgtool end to end: info, topam and frompam on files made by ImageMagick,
# and the exit statuses and messages for missing, refused and broken files.
# Usage: imgtool_test.sh PATH/TO/tarvo-imgtool
set -u
tool=$(realpath "$1")
convert=/usr/bin/convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A 16 x 8 picture with alpha steps, and its opaque twin.
"$convert" -size 16x8 gradient:'rgba(255,0,0,1)-rgba(0,0,255,0)' -depth 8 rgba.pam || exit 1
"$convert" rgba.pam -alpha off -depth 8 rgb.pam || exit 1
"$convert" rgba.pam -depth 16 -compress None -define tiff:endian=msb -define tiff:rows-per-strip=3 rgba16mm.tif || exit 1
"$convert" rgb.pam -depth 8 -compress LZW lzw.tif || exit 1

# info
"$tool" info rgba16mm.tif >info.txt 2>info.err || fail "info exit status $?"
for line in "width: 16" "height: 8" "byte order: MM (big-endian)" "samples: 4" \
            "sample depths: red 16, green 16, blue 16, alpha 16" "strips: 3 of 3 rows" \
            "compression: 1 (none)" "image mode: 0x21 (24-bit RGB with alpha)"; do
  grep -qxF "$line" info.txt || fail "info lacks '$line'"
done
[ -s info.err ] && fail "info wrote to standard error: $(cat info.err)"

# topam: the reader's pixels equal ImageMagick's decoding of the same file
"$tool" topam rgba16mm.tif out.pam || fail "topam exit status $?"
cmp -s out.pam rgba.pam || fail "topam picture differs from the source"
grep -aq "TUPLTYPE RGB_ALPHA" out.pam || fail "topam without RGB_ALPHA"

# frompam, with and without alpha: tiffinfo reads it, ImageMagick decodes it back
for name in rgba rgb; do
  "$tool" frompam $name.pam $name.tif || fail "frompam $name exit status $?"
  tiffinfo $name.tif >/dev/null 2>&1 || fail "tiffinfo refuses $name.tif"
  "$convert" $name.tif -depth 8 pam:- 2>/dev/null | cmp -s - $name.pam || fail "$name.tif decodes differently"
done

# Missing, refused (LZW), not a picture, usage
"$tool" topam missing.tif x.pam 2>err.txt; status=$?
[ $status -eq 1 ] || fail "missing file: status $status"
grep -q "no such file" err.txt || fail "missing file: no message"
"$tool" info lzw.tif >out.txt 2>err.txt; status=$?
[ $status -eq 1 ] || fail "LZW file: status $status"
grep -q "\[Tarvo Error\] TIF Load Error: LZW Compression not supported." err.txt || fail "LZW: no box text on stderr"
grep -q "loads no picture" err.txt || fail "LZW: no refusal line"
printf 'not a tiff at all' >junk.tif
"$tool" info junk.tif >out.txt 2>err.txt; status=$?
[ $status -eq 255 ] || fail "junk file: status $status"
grep -q "Load:Tiff: File is corrupted, or is not a .TIFF file." err.txt || fail "junk: message not on stderr"
"$tool" frompam junk.tif x.tif 2>err.txt; status=$?
[ $status -eq 1 ] || fail "frompam of a non-PAM: status $status"
# PAM headers that ask for more than the file holds, or more than the engine
# takes (a sparse file: the size is real, the disk space is not used), end
# with status 1 and a message, without allocating from the header. Memory is
# capped so that an allocation sized from the header fails loudly: by the
# sanitizer's own cap where the tool carries one, else by ulimit.
capped() {
  if ldd "$tool" | grep -q libasan; then
    ASAN_OPTIONS="${ASAN_OPTIONS:-}:max_allocation_size_mb=4096" "$@"
  else
    (ulimit -v 4194304; "$@")
  fi
}
printf 'P7\nWIDTH 65535\nHEIGHT 65535\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n\1\2\3\4' >huge.pam
capped "$tool" frompam huge.pam x.tif 2>err.txt; status=$?
[ $status -eq 1 ] || fail "huge PAM header: status $status"
grep -q "the picture data is cut short" err.txt || fail "huge PAM header: no message"
printf 'P7\nWIDTH 30000\nHEIGHT 30000\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\n' >large.pam
truncate -s +2700000000 large.pam
capped "$tool" frompam large.pam x.tif 2>err.txt; status=$?
[ $status -eq 1 ] || fail "PAM too large for the engine: status $status"
grep -q "a picture of 30000 x 30000 is too large for the engine" err.txt || fail "too large PAM: no message"
[ -e x.tif ] && fail "a refused PAM wrote x.tif"
"$tool" bogus 2>/dev/null; status=$?
[ $status -eq 2 ] || fail "usage: status $status"

if [ $failures -ne 0 ]; then echo "$failures tarvo-imgtool check(s) failed"; exit 1; fi
echo "tarvo-imgtool: all checks passed"
