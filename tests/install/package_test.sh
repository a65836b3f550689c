#!/bin/bash
# The Debian package: made by cpack from this build, accepted by lintian with
# no error, its files where Debian keeps them, its dependencies computed from
# the programs' libraries, and its menu entry valid. Exits 77 (a skip) when a
# tool it needs is not installed.
# Usage: package_test.sh BUILD_DIR SOURCE_DESKTOP_ENTRY
set -u
build=$(realpath "$1")
entry=$(realpath "$2")
for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

desktop-file-validate "$entry" >"$work/validate.txt" 2>&1 || fail "desktop-file-validate: $(cat "$work/validate.txt")"
[ -s "$work/validate.txt" ] && fail "desktop-file-validate says: $(cat "$work/validate.txt")"

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >cpack.log 2>&1) ||
  fail "cpack: $(tail -3 "$work/cpack.log")"
deb=$(ls "$work"/package/*.deb 2>/dev/null | head -1)
if [ -z "$deb" ]; then
  fail "cpack made no .deb"
else
  # Errors fail; warnings are printed for the reader.
  lintian --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1
  grep -E '^[EW]: ' "$work/lintian.txt"
  grep -q '^E: ' "$work/lintian.txt" && fail "lintian reports errors"
  grep -q 'No such\|^Usage\|^Error' "$work/lintian.txt" && fail "lintian did not run: $(head -3 "$work/lintian.txt")"

  depends=$(dpkg-deb -f "$deb" Depends)
  for d in 'libsdl2-2.0-0 (>=' 'libsdl2-ttf-2.0-0 (>=' 'libsdl2-mixer-2.0-0 (>=' 'libc6 (>=' fonts-dejavu-core; do
    echo "$depends" | grep -qF "$d" || fail "Depends lacks '$d': $depends"
  done
  [ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section $(dpkg-deb -f "$deb" Section)"
  version=$(sed -n 's/^project(tarvo VERSION \([0-9.]*\).*/\1/p' "$(dirname "$entry")/../../CMakeLists.txt")
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version $(dpkg-deb -f "$deb" Version), not $version"
  dpkg-deb -c "$deb" >"$work/contents.txt"
  for f in ./usr/games/tarvo ./usr/bin/tarvo-replay ./usr/bin/tarvo-imgtool ./usr/share/tarvo/Images/tile.tif \
           ./usr/share/icons/hicolor/48x48/apps/tarvo.png ./usr/share/man/man6/tarvo.6.gz \
           ./usr/share/doc/tarvo/copyright ./usr/share/doc/tarvo/changelog.gz; do
    grep -q " $f\$" "$work/contents.txt" || fail "package lacks $f"
  done
fi

if [ $failures = 0 ]; then echo "package: lintian finds no error, all checks passed"; fi
exit $((failures > 0))
