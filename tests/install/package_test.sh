#!/bin/bash
# The Debian packages: made by cpack from this build, accepted by lintian with
# no error, their files where Debian keeps them. The game's dependencies are
# computed from the programs' libraries and its menu entry is valid; the
# engine's development package holds the headers, libraries, CMake and
# pkg-config files, and depends on SDL2's and Xlib's development packages. Exits 77 (a skip) when a
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
# lint DEB NAME: errors fail; warnings are printed for the reader.
lint() {
  lintian --tag-display-limit 0 "$1" >"$work/lintian-$2.txt" 2>&1
  grep -E '^[EW]: ' "$work/lintian-$2.txt"
  grep -q '^E: ' "$work/lintian-$2.txt" && fail "lintian reports errors in $2"
  grep -q 'No such\|^Usage\|^Error' "$work/lintian-$2.txt" && fail "lintian did not run: $(head -3 "$work/lintian-$2.txt")"
}

desktop-file-validate "$entry" >"$work/validate.txt" 2>&1 || fail "desktop-file-validate: $(cat "$work/validate.txt")"
[ -s "$work/validate.txt" ] && fail "desktop-file-validate says: $(cat "$work/validate.txt")"

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >cpack.log 2>&1) ||
  fail "cpack: $(tail -3 "$work/cpack.log")"
deb=$(ls "$work"/package/tarvo_*.deb 2>/dev/null | head -1)
if [ -z "$deb" ]; then
  fail "cpack made no .deb"
else
  lint "$deb" tarvo

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
  grep -q ' ./usr/include/' "$work/contents.txt" && fail "the game's package holds the engine's headers"
fi

dev=$(ls "$work"/package/libtarvo-dev_*.deb 2>/dev/null | head -1)
if [ -z "$dev" ]; then
  fail "cpack made no libtarvo-dev package"
else
  lint "$dev" libtarvo-dev
  depends=$(dpkg-deb -f "$dev" Depends)
  for d in libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev libx11-dev; do
    echo "$depends" | grep -qE "(^|, )$d(\$|,| )" || fail "libtarvo-dev's Depends lacks $d: $depends"
  done
  [ "$(dpkg-deb -f "$dev" Version)" = "$version" ] || fail "libtarvo-dev version $(dpkg-deb -f "$dev" Version)"
  dpkg-deb -c "$dev" >"$work/contents-dev.txt"
  for f in ./usr/include/tarvo/tarvo.h ./usr/include/tarvo/engine/windows_dx.h ./usr/lib/libtarvo_engine.a \
           ./usr/lib/libtarvo_main.a ./usr/lib/cmake/Tarvo/TarvoConfig.cmake ./usr/lib/cmake/Tarvo/TarvoTargets.cmake \
           ./usr/lib/pkgconfig/tarvo.pc ./usr/share/doc/libtarvo-dev/copyright; do
    grep -q " $f\$" "$work/contents-dev.txt" || fail "libtarvo-dev lacks $f"
  done
  grep -q ' ./usr/games/' "$work/contents-dev.txt" && fail "libtarvo-dev holds the game"
fi

if [ $failures = 0 ]; then echo "package: lintian finds no error, all checks passed"; fi
exit $((failures > 0))
